#pragma once

#include "platform/core/byte_reader.h"
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
// What the first bytes of such a stream say about it.
enum class TResHeadVerdict {
    Accepted, // the resource header and the signature hold
    Refused, // ReadComponentRes would raise on them
    NeedsWholeStream, // the header goes on past them: only the whole stream tells
};
// Looks at the first bytes of such a stream before the rest is read, with
// the stream left where reading stopped. wholeSize is the size of the whole
// stream the head begins, which the header's sizes are checked against. A
// refusal gets the message ReadComponentRes would raise.
TResHeadVerdict CheckComponentResHead(TStream& head, qint64 wholeSize, QString& refusal);

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
    TReader(const char* data, qsizetype size)
        : fIn(data, size)
        , fWholeSize(size)
    {
    }
    // Reading only the first bytes of a stream this long: sizes the header
    // announces are checked against it.
    void SetWholeSize(qsizetype size) { fWholeSize = std::max(size, fIn.Size()); }

    qsizetype Position() const { return fIn.Position(); }
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
    // The resource header and the signature, on bytes that may be only the
    // first of the stream.
    TResHeadVerdict CheckResHead(QString& refusal);
    // The object record into an existing instance; a component gets the
    // stream's object name.
    void ReadRootComponent(TComponent& instance);
    void ReadProperties(TPersistent& instance);
    void ReadCollection(TCollection& collection);

    void DefineBinaryProperty(const QString& name, const std::function<void(TStream&)>& readData,
                              const std::function<void(TStream&)>& writeData, bool hasData) override;

private:
    // How one part of the header fits the bytes at hand; RanOut: it goes on
    // past them.
    enum class TFit { Fits, Wrong, RanOut };
    struct TResEntry;

    void ReadProperty(TPersistent& instance);
    void ReadPropValue(TPersistent& instance, const TPropInfo& prop);
    // Steps back over the tag just read, so an error points at it.
    void Unread() { fIn.Seek(fIn.Position() - 1); }
    // Each moves past its part of the header when it fits.
    TFit SkipResHeader16();
    TFit SkipResHeader32();
    static TFit ParseResEntry(TByteReader in, qsizetype wholeSize, TResEntry& entry);
    TFit SkipSignature();
    TResHeadVerdict TryResHeader(QString& refusal);
    // A part that does not fit: only a part going on past bytes that end
    // before the stream does leaves the verdict to the whole stream.
    TResHeadVerdict Verdict(TFit fit, QString& refusal) const;
    [[noreturn]] void PropValueError() const;

    TByteReader fIn;
    qsizetype fWholeSize;
    // The defined property being looked for, and whether one took it.
    QString fPendingName;
    bool fPendingTaken = false;
};
