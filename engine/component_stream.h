#pragma once

#include "platform/core/classes.h"
#include "platform/core/sysutils.h"

#include <QByteArray>

#include <algorithm>

class TComponent;
class TCollection;
class TStream;

// The binary component stream: a component's published properties, through
// its owned collections, in a small resource header ("TPF0" inside). These
// are the bytes of the diary's payload and of the birthday file, so the
// writer's choices (which properties, which value tags) are fixed.

// Value tags of the stream.
enum TValueType : quint8 {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaSet = 0x0B,
    vaLString = 0x0C,
    vaNil = 0x0D,
    vaCollection = 0x0E,
    vaSingle = 0x0F,
    vaCurrency = 0x10,
    vaDate = 0x11,
    vaWString = 0x12,
    vaInt64 = 0x13,
    vaUTF8String = 0x14,
    vaDouble = 0x15,
};

// Writes instance at the stream's position: resource header named after
// resName in upper case, "TPF0", the object record.
void WriteComponentRes(TStream& stream, const QString& resName, TComponent& instance);
// Fills an existing instance from a stream written as above. Raises EReadError
// on any malformed or unexpected content; what was set before stays set.
void ReadComponentRes(TStream& stream, TComponent& instance);
// Looks at the first bytes of such a stream before the rest is read: raises
// as ReadComponentRes would, with the stream where reading stopped, when the
// resource header or the signature in them is wrong; returns when they hold
// or when the header goes on past them, which leaves the verdict to the
// whole stream. wholeSize is the size of the whole stream the head begins,
// which the header's sizes are checked against.
void CheckComponentResHead(TStream& head, qint64 wholeSize);

// Writes one value of each kind the way the stream writer does; exposed for
// the components that frame their own data with it.
class TWriter : public TFiler
{
public:
    void WriteValue(TValueType value) { fOut.append(char(value)); }
    void WriteInteger(qint64 value);
    void WriteFloat(double value);
    void WriteString(const QString& value);
    void WriteIdent(const QString& ident);
    void WriteShortString(const QString& text);
    void WriteProperties(const TPersistent& instance);
    void WriteCollection(const TCollection& collection);
    void WriteRaw(const void* data, qsizetype count) { fOut.append(static_cast<const char*>(data), count); }
    void WriteInt32Raw(qint32 value);

    void DefineBinaryProperty(const QString& name, const std::function<void(TStream&)>& readData,
                              const std::function<void(TStream&)>& writeData, bool hasData) override;

    QByteArray& Buffer() { return fOut; }

private:
    void WriteProperty(const TPersistent& instance, const TPropInfo& prop);
    QByteArray fOut;
};

// Reads values from an in-memory buffer, checking every count against the
// bytes left before it reads or allocates.
class TReader : public TFiler
{
public:
    TReader(const char* data, qsizetype size) : fData(data), fSize(size), fWholeSize(size) {}
    // Reading only the first bytes of a stream this long: sizes the header
    // announces are checked against it, and a header that goes on past the
    // bytes at hand leaves RanShort() set.
    void SetWholeSize(qsizetype size) { fWholeSize = std::max(size, fSize); }

    qsizetype Position() const { return fPos; }
    TValueType NextValue() const;
    TValueType ReadValue();
    quint8 ReadByte();
    qint32 ReadInt32Raw();
    quint64 ReadUInt64Raw();
    // vaInt8, vaInt16 or vaInt32, as integer properties take them.
    qint64 ReadInteger();
    // Any integer tag, vaInt64 included, as floats and dates take them.
    qint64 ReadInt64();
    double ReadFloat();
    QString ReadString();
    QString ReadIdent();
    QString ReadShortString();
    void ReadSignature();
    // The 16-bit resource header, or the 32-bit one of a resource file
    // (an RT_RCDATA entry, after the file's empty first entry if present).
    void ReadResHeader();
    // Whether a read failed for want of bytes: on the first bytes of a
    // stream, such a failure says nothing about the stream.
    bool RanShort() const { return fRanShort; }
    // The object record into an existing instance; a component gets the
    // stream's object name.
    void ReadRootComponent(TComponent& instance);
    void ReadProperties(TPersistent& instance);
    void ReadCollection(TCollection& collection);

    void DefineBinaryProperty(const QString& name, const std::function<void(TStream&)>& readData,
                              const std::function<void(TStream&)>& writeData, bool hasData) override;

private:
    void ReadProperty(TPersistent& instance);
    void ReadPropValue(TPersistent& instance, const TPropInfo& prop);
    void Need(qsizetype count) const;
    // Each moves past its header form and says whether the bytes hold it.
    bool SkipResHeader16();
    bool SkipResHeader32();
    [[noreturn]] void PropValueError() const;

    const char* fData;
    qsizetype fSize;
    qsizetype fWholeSize;
    qsizetype fPos = 0;
    // The defined property being looked for, and whether one took it.
    QString fPendingName;
    bool fPendingTaken = false;
    mutable bool fRanShort = false;
    // The 16-bit header ended with the bytes: a read error, not a wrong format.
    bool fHeaderRanOut = false;
};
