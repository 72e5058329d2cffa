#include "component_stream.h"

#include "platform/core/ansi.h"
#include "platform/core/extended.h"
#include "platform/core/streams.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint16 kResTypeRcData = 10;
constexpr quint16 kResFlags = 0x1030;
const QByteArray kSignature = QByteArrayLiteral("TPF0");

// A little-endian number of `count` bytes (at most 4).
quint32 ReadLE(const char* p, int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value |= quint32(quint8(p[i])) << (8 * i);
    return value;
}

QString InvalidStreamFormat()
{
    return QStringLiteral("Invalid stream format");
}

// Marks an error that already names the property it happened in, so outer
// properties (a collection holding the item) do not wrap it again.
class EPropertyReadError : public EReadError
{
public:
    using EReadError::EReadError;
};

QString InstanceName(const TPersistent& instance)
{
    if (auto* component = dynamic_cast<const TComponent*>(&instance); component && !component->Name().isEmpty())
        return component->Name();
    return instance.ClassName();
}

} // namespace

// --- TWriter ---

void TWriter::WriteInt32Raw(qint32 value)
{
    const quint32 v = quint32(value);
    const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    fOut.append(bytes, 4);
}

void TWriter::WriteInteger(qint64 value)
{
    if (value >= -128 && value <= 127) {
        WriteValue(vaInt8);
        fOut.append(char(qint8(value)));
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(vaInt16);
        const quint16 v = quint16(qint16(value));
        fOut.append(char(v));
        fOut.append(char(v >> 8));
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(vaInt32);
        WriteInt32Raw(qint32(value));
    } else {
        WriteValue(vaInt64);
        for (int i = 0; i < 8; ++i)
            fOut.append(char(quint64(value) >> (8 * i)));
    }
}

void TWriter::WriteFloat(double value)
{
    WriteValue(vaExtended);
    const TExtended80 ext = DoubleToExtended(value);
    fOut.append(reinterpret_cast<const char*>(ext.data()), qsizetype(ext.size()));
}

void TWriter::WriteString(const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    if (utf8.size() < 2 * value.size()) {
        bool ascii = true;
        for (char c : utf8)
            if (quint8(c) >= 0x80) {
                ascii = false;
                break;
            }
        if (!ascii) {
            WriteValue(vaUTF8String);
            WriteInt32Raw(qint32(utf8.size()));
        } else if (utf8.size() <= 255) {
            WriteValue(vaString);
            fOut.append(char(utf8.size()));
        } else {
            WriteValue(vaLString);
            WriteInt32Raw(qint32(utf8.size()));
        }
        fOut.append(utf8);
        return;
    }
    // Text that takes two or more UTF-8 bytes a character is smaller as UTF-16.
    WriteValue(vaWString);
    WriteInt32Raw(qint32(value.size()));
    for (QChar c : value) {
        fOut.append(char(c.unicode() & 0xFF));
        fOut.append(char(c.unicode() >> 8));
    }
}

void TWriter::WriteShortString(const QString& text)
{
    // A short string holds 255 bytes. A longer one is cut before a lead byte:
    // a character cut in two would read back as U+FFFD, three bytes, and the
    // text would change again with every save.
    const QByteArray utf8 = text.toUtf8();
    qsizetype size = std::min<qsizetype>(utf8.size(), 255);
    if (size < utf8.size())
        while (size > 0 && (quint8(utf8[size]) & 0xC0) == 0x80)
            --size;
    fOut.append(char(size));
    fOut.append(utf8.constData(), size);
}

void TWriter::WriteIdent(const QString& ident)
{
    WriteValue(vaIdent);
    WriteShortString(ident);
}

void TWriter::WriteProperty(const TPersistent& instance, const TPropInfo& prop)
{
    if (!prop.HasSetter() || !prop.Stored)
        return;
    switch (prop.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkBoolean: {
        const qint64 value = prop.GetOrd(instance);
        if (prop.Default && value == *prop.Default)
            return;
        WriteShortString(prop.Name);
        if (prop.Kind == TTypeKind::tkBoolean)
            WriteValue(value ? vaTrue : vaFalse);
        else if (prop.Kind == TTypeKind::tkEnumeration && value >= 0 && value < prop.EnumNames.size())
            WriteIdent(prop.EnumNames[value]);
        else
            WriteInteger(value);
        return;
    }
    case TTypeKind::tkFloat: {
        const double value = prop.GetFloat(instance);
        if (value == 0)
            return;
        WriteShortString(prop.Name);
        WriteFloat(value);
        return;
    }
    case TTypeKind::tkString: {
        const QString value = prop.GetStr(instance);
        if (value.isEmpty())
            return;
        WriteShortString(prop.Name);
        WriteString(value);
        return;
    }
    case TTypeKind::tkClass: {
        const TPersistent* object = prop.GetObject(instance);
        WriteShortString(prop.Name);
        if (auto* collection = dynamic_cast<const TCollection*>(object))
            WriteCollection(*collection);
        else
            WriteValue(vaNil);
        return;
    }
    }
}

void TWriter::WriteProperties(const TPersistent& instance)
{
    for (const TPropInfo& prop : instance.Properties())
        WriteProperty(instance, prop);
    const_cast<TPersistent&>(instance).DefineProperties(*this);
}

void TWriter::WriteCollection(const TCollection& collection)
{
    WriteValue(vaCollection);
    for (int i = 0; i < collection.Count(); ++i) {
        WriteValue(vaList);
        WriteProperties(*collection.Items(i));
        WriteValue(vaNull);
    }
    WriteValue(vaNull);
}

void TWriter::DefineBinaryProperty(const QString& name, const std::function<void(TStream&)>&,
                                   const std::function<void(TStream&)>& writeData, bool hasData)
{
    if (!hasData || !writeData)
        return;
    TMemoryStream data;
    writeData(data);
    WriteShortString(name);
    WriteValue(vaBinary);
    WriteInt32Raw(qint32(data.Size()));
    fOut.append(data.Bytes());
}

void WriteComponentRes(TStream& stream, const QString& resName, TComponent& instance)
{
    TWriter writer;
    QByteArray& out = writer.Buffer();
    out.append(char(0xFF));
    out.append(char(kResTypeRcData & 0xFF));
    out.append(char(kResTypeRcData >> 8));
    out.append(AnsiUpperCaseAscii(resName).toUtf8());
    out.append('\0');
    out.append(char(kResFlags & 0xFF));
    out.append(char(kResFlags >> 8));
    const qsizetype sizeAt = out.size();
    writer.WriteInt32Raw(0);
    const qsizetype bodyStart = out.size();

    out.append(kSignature);
    writer.WriteShortString(instance.ClassName());
    writer.WriteShortString(instance.Name());
    writer.WriteProperties(instance);
    writer.WriteValue(vaNull);
    writer.WriteValue(vaNull); // no child components

    const quint32 size = quint32(out.size() - bodyStart);
    for (int i = 0; i < 4; ++i)
        out[sizeAt + i] = char(size >> (8 * i));
    stream.WriteBuffer(out.constData(), out.size());
}

// --- TReader ---

void TReader::Need(qsizetype count) const
{
    if (count < 0 || count > fSize - fPos) {
        fRanShort = count >= 0;
        throw EReadError(QStringLiteral("Stream read error"));
    }
}

void TReader::PropValueError() const
{
    throw EReadError(QStringLiteral("Invalid property value"));
}

TValueType TReader::NextValue() const
{
    Need(1);
    return TValueType(quint8(fData[fPos]));
}

quint8 TReader::ReadByte()
{
    Need(1);
    return quint8(fData[fPos++]);
}

TValueType TReader::ReadValue()
{
    return TValueType(ReadByte());
}

qint32 TReader::ReadInt32Raw()
{
    Need(4);
    const auto* p = reinterpret_cast<const quint8*>(fData + fPos);
    fPos += 4;
    return qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
}

qint64 TReader::ReadInteger()
{
    switch (ReadValue()) {
    case vaInt8: return qint8(ReadByte());
    case vaInt16: {
        const quint16 lo = ReadByte();
        const quint16 hi = ReadByte();
        return qint16(quint16(lo | hi << 8));
    }
    case vaInt32: return ReadInt32Raw();
    default: --fPos; PropValueError();
    }
}

qint64 TReader::ReadInt64()
{
    if (NextValue() != vaInt64)
        return ReadInteger();
    ReadValue();
    return qint64(ReadUInt64Raw());
}

quint64 TReader::ReadUInt64Raw()
{
    Need(8);
    quint64 bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= quint64(quint8(fData[fPos + i])) << (8 * i);
    fPos += 8;
    return bits;
}

double TReader::ReadFloat()
{
    switch (NextValue()) {
    case vaExtended: {
        ReadValue();
        Need(10);
        TExtended80 ext;
        std::memcpy(ext.data(), fData + fPos, 10);
        fPos += 10;
        return ExtendedToDouble(ext);
    }
    case vaDouble: {
        ReadValue();
        const quint64 bits = ReadUInt64Raw();
        double value;
        std::memcpy(&value, &bits, 8);
        return value;
    }
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return double(ReadInt64());
    default: PropValueError();
    }
}

QString TReader::ReadString()
{
    const TValueType type = ReadValue();
    qsizetype length = 0;
    switch (type) {
    case vaString: length = ReadByte(); break;
    case vaLString:
    case vaUTF8String:
    case vaWString: length = ReadInt32Raw(); break;
    default: --fPos; PropValueError();
    }
    if (length < 0)
        throw EReadError(InvalidStreamFormat());
    if (type == vaWString) {
        if (length > (fSize - fPos) / 2)
            throw EReadError(QStringLiteral("Stream read error"));
        QString text(length, Qt::Uninitialized);
        const auto* p = reinterpret_cast<const quint8*>(fData + fPos);
        for (qsizetype i = 0; i < length; ++i)
            text[i] = QChar(char16_t(p[2 * i] | p[2 * i + 1] << 8));
        fPos += 2 * length;
        return text;
    }
    Need(length);
    const char* p = fData + fPos;
    fPos += length;
    return type == vaUTF8String ? QString::fromUtf8(p, length) : AnsiToString(p, length);
}

QString TReader::ReadShortString()
{
    const qsizetype length = ReadByte();
    Need(length);
    const QString s = QString::fromUtf8(fData + fPos, length);
    fPos += length;
    return s;
}

QString TReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent: return ReadShortString();
    case vaFalse: return QStringLiteral("False");
    case vaTrue: return QStringLiteral("True");
    case vaNil: return QStringLiteral("nil");
    case vaNull: return QStringLiteral("Null");
    default: --fPos; PropValueError();
    }
}

bool TReader::SkipResHeader16()
{
    // On failure the position is where the header stopped making sense.
    // Bytes that end before the whole stream does say nothing.
    const auto runOut = [this] {
        fPos = fSize;
        fHeaderRanOut = true;
        fRanShort = fSize < fWholeSize;
        return false;
    };
    if (fPos == fSize)
        return runOut();
    if (quint8(fData[fPos++]) != 0xFF)
        return false;
    if (fSize - fPos < 2)
        return runOut();
    const quint32 type = ReadLE(fData + fPos, 2);
    fPos += 2;
    if (type != kResTypeRcData)
        return false;
    const void* end = std::memchr(fData + fPos, 0, size_t(fSize - fPos));
    if (!end)
        return runOut();
    fPos = static_cast<const char*>(end) + 1 - fData;
    if (fSize - fPos < 6) // flags and size; the size is not checked
        return runOut();
    fPos += 6;
    return true;
}

namespace {

// One entry of a 32-bit resource file: DataSize, HeaderSize, TYPE and NAME
// (each 0xFFFF and an ordinal, or a zero-terminated UTF-16 string), padding
// to a DWORD, then DataVersion, MemoryFlags, LanguageId, Version and
// Characteristics; the data follows the header.
struct TResEntry {
    quint32 DataSize = 0;
    quint32 HeaderSize = 0;
    bool TypeIsOrdinal = false;
    quint32 TypeId = 0;
};

// Reads the entry at `at` and checks that its header and data lie within the
// whole stream; false for anything else. Only `size` bytes are at hand: a
// header that goes on past them sets ranShort.
bool ParseResEntry(const char* data, qsizetype size, qsizetype wholeSize, qsizetype at, TResEntry& entry,
                   bool& ranShort)
{
    constexpr qsizetype kFixedTail = 16; // DataVersion to Characteristics
    constexpr qsizetype kSmallest = 8 + 4 + 4 + kFixedTail;
    if (size - at < 8) {
        ranShort = size < wholeSize;
        return false;
    }
    entry.DataSize = ReadLE(data + at, 4);
    entry.HeaderSize = ReadLE(data + at + 4, 4);
    if (entry.HeaderSize < kSmallest || entry.HeaderSize % 4 != 0 || entry.HeaderSize > quint64(wholeSize - at))
        return false;
    if (entry.HeaderSize > quint64(size - at)) {
        ranShort = true;
        return false;
    }
    const qsizetype headerEnd = at + qsizetype(entry.HeaderSize);
    qsizetype p = at + 8;
    // TYPE, then NAME; the name is not needed, the class name follows later.
    for (int field = 0; field < 2; ++field) {
        if (headerEnd - p < 2)
            return false;
        if (ReadLE(data + p, 2) == 0xFFFF) {
            if (headerEnd - p < 4)
                return false;
            if (field == 0) {
                entry.TypeIsOrdinal = true;
                entry.TypeId = ReadLE(data + p + 2, 2);
            }
            p += 4;
            continue;
        }
        for (;;) {
            if (headerEnd - p < 2)
                return false;
            const quint32 unit = ReadLE(data + p, 2);
            p += 2;
            if (unit == 0)
                break;
        }
    }
    p = at + ((p - at + 3) & ~qsizetype(3));
    if (headerEnd - p < kFixedTail)
        return false;
    return entry.DataSize <= quint64(wholeSize - headerEnd);
}

} // namespace

bool TReader::SkipResHeader32()
{
    constexpr quint32 kEmptyEntrySize = 32;
    qsizetype at = fPos;
    TResEntry entry;
    bool ranShort = false;
    const auto parse = [&] {
        if (ParseResEntry(fData, fSize, fWholeSize, at, entry, ranShort))
            return true;
        fRanShort = fRanShort || ranShort;
        return false;
    };
    if (!parse())
        return false;
    // A resource file starts with an empty entry of type 0: skip it.
    if (entry.DataSize == 0 && entry.HeaderSize == kEmptyEntrySize && entry.TypeIsOrdinal && entry.TypeId == 0) {
        at += kEmptyEntrySize;
        if (!parse())
            return false;
    }
    if (!entry.TypeIsOrdinal || entry.TypeId != kResTypeRcData)
        return false;
    fPos = at + qsizetype(entry.HeaderSize);
    // The object lies within the entry's data (of which only the first bytes
    // may be at hand).
    fWholeSize = fPos + qsizetype(entry.DataSize);
    fSize = std::min(fSize, fWholeSize);
    return true;
}

void TReader::ReadResHeader()
{
    const qsizetype start = fPos;
    // The 16-bit form is what these files hold. A 32-bit header whose data
    // size starts with the byte 0xFF reads as one only up to the signature.
    const bool form16 = SkipResHeader16();
    const qsizetype stop16 = fPos;
    if (form16 && fSize - fPos >= 4 && std::memcmp(fData + fPos, kSignature.constData(), 4) == 0)
        return;
    fPos = start;
    if (SkipResHeader32())
        return;
    fPos = stop16;
    if (!form16)
        throw EReadError(fHeaderRanOut ? QStringLiteral("Stream read error") : InvalidStreamFormat());
    // The signature check names the fault.
}

void TReader::ReadSignature()
{
    Need(4);
    if (std::memcmp(fData + fPos, kSignature.constData(), 4) != 0)
        throw EReadError(InvalidStreamFormat());
    fPos += 4;
}

void TReader::ReadRootComponent(TComponent& instance)
{
    ReadSignature();
    if ((quint8(NextValue()) & 0xF0) == 0xF0) {
        const quint8 flags = ReadByte();
        if (flags & 0x02) // child position follows
            ReadInteger();
    }
    ReadShortString(); // the class name: the existing object is filled whatever it says
    const QString name = ReadShortString();
    instance.SetName(name);
    ReadProperties(instance);
    if (ReadValue() != vaNull) {
        --fPos;
        // Child components would need classes to create: none is registered.
        Need(1);
        const QString className = ReadShortString();
        throw EReadError(QStringLiteral("Class %1 not found").arg(className));
    }
}

void TReader::ReadProperties(TPersistent& instance)
{
    while (NextValue() != vaNull)
        ReadProperty(instance);
    ReadValue();
}

void TReader::ReadProperty(TPersistent& instance)
{
    const QString propName = ReadShortString();
    try {
        TPersistent* target = &instance;
        const TPropInfo* prop = nullptr;
        const QStringList path = propName.split(u'.');
        for (qsizetype i = 0; i < path.size(); ++i) {
            prop = target->FindProperty(path[i]);
            if (!prop)
                break;
            if (i + 1 < path.size()) {
                TPersistent* inner = prop->Kind == TTypeKind::tkClass ? prop->GetObject(*target) : nullptr;
                if (!inner) {
                    prop = nullptr;
                    break;
                }
                target = inner;
            }
        }
        if (prop) {
            ReadPropValue(*target, *prop);
            return;
        }
        fPendingName = propName;
        fPendingTaken = false;
        instance.DefineProperties(*this);
        fPendingName.clear();
        if (!fPendingTaken)
            throw EReadError(QStringLiteral("Property %1 does not exist").arg(propName));
    } catch (const EPropertyReadError&) {
        throw;
    } catch (const Exception& e) {
        throw EPropertyReadError(QStringLiteral("Error reading %1%2%3: %4")
                                     .arg(InstanceName(instance), QStringLiteral("."), propName, e.Message()));
    }
}

void TReader::ReadPropValue(TPersistent& instance, const TPropInfo& prop)
{
    if (!prop.HasSetter())
        throw EReadError(QStringLiteral("Property is read-only"));
    switch (prop.Kind) {
    case TTypeKind::tkInteger: {
        if (NextValue() != vaIdent || !prop.IdentToInt) {
            prop.SetOrd(instance, ReadInteger());
            return;
        }
        qint64 value = 0;
        if (!prop.IdentToInt(ReadIdent(), value))
            PropValueError();
        prop.SetOrd(instance, value);
        return;
    }
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkBoolean: {
        const TValueType next = NextValue();
        if (next == vaFalse || next == vaTrue) {
            ReadValue();
            prop.SetOrd(instance, next == vaTrue ? 1 : 0);
            return;
        }
        if (next != vaIdent)
            PropValueError();
        const QString ident = ReadIdent();
        for (qsizetype i = 0; i < prop.EnumNames.size(); ++i)
            if (prop.EnumNames[i].compare(ident, Qt::CaseInsensitive) == 0) {
                prop.SetOrd(instance, i);
                return;
            }
        PropValueError();
    }
    case TTypeKind::tkFloat: prop.SetFloat(instance, ReadFloat()); return;
    case TTypeKind::tkString: prop.SetStr(instance, ReadString()); return;
    case TTypeKind::tkClass: {
        const TValueType next = ReadValue();
        if (next == vaNil)
            return;
        auto* collection = dynamic_cast<TCollection*>(prop.GetObject(instance));
        if (next != vaCollection || !collection)
            PropValueError();
        ReadCollection(*collection);
        return;
    }
    }
}

void TReader::ReadCollection(TCollection& collection)
{
    if (NextValue() == vaNull) {
        ReadValue(); // an empty list leaves the items in memory as they are
        return;
    }
    collection.BeginUpdate();
    struct EndUpdate {
        TCollection& c;
        ~EndUpdate() { c.EndUpdate(); }
    } guard{collection};
    collection.Clear();
    while (NextValue() != vaNull) {
        const TValueType next = NextValue();
        if (next == vaInt8 || next == vaInt16 || next == vaInt32)
            ReadInteger(); // an item index some writers put first
        TCollectionItem* item = collection.Add();
        if (ReadValue() != vaList)
            PropValueError();
        ReadProperties(*item);
    }
    ReadValue();
}

void TReader::DefineBinaryProperty(const QString& name, const std::function<void(TStream&)>& readData,
                                   const std::function<void(TStream&)>&, bool)
{
    if (fPendingTaken || !readData || name.compare(fPendingName, Qt::CaseInsensitive) != 0)
        return;
    fPendingTaken = true;
    if (ReadValue() != vaBinary)
        PropValueError();
    const qint32 length = ReadInt32Raw();
    if (length < 0)
        throw EReadError(InvalidStreamFormat());
    Need(length);
    TMemoryStream data(QByteArray(fData + fPos, length));
    fPos += length;
    readData(data);
}

namespace {

// Runs read over the stream's bytes from its position and leaves the stream
// where reading stopped, also when read raises (the message's byte).
void ReadFromStream(TStream& stream, const std::function<void(TReader&)>& read)
{
    const qint64 start = stream.Position();
    const qint64 size = stream.Size() - start;
    QByteArray bytes;
    const char* data;
    if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
        data = memory->Memory() + start; // read in place: payloads run to megabytes
    } else {
        bytes.resize(size);
        stream.ReadBuffer(bytes.data(), size);
        data = bytes.constData();
    }
    TReader reader(data, size);
    try {
        read(reader);
    } catch (...) {
        stream.SetPosition(start + reader.Position());
        throw;
    }
    stream.SetPosition(start + reader.Position());
}

} // namespace

void ReadComponentRes(TStream& stream, TComponent& instance)
{
    ReadFromStream(stream, [&](TReader& reader) {
        reader.ReadResHeader();
        reader.ReadRootComponent(instance);
    });
}

void CheckComponentResHead(TStream& head, qint64 wholeSize)
{
    const qint64 whole = wholeSize - head.Position();
    ReadFromStream(head, [whole](TReader& reader) {
        reader.SetWholeSize(qsizetype(whole));
        try {
            reader.ReadResHeader();
            reader.ReadSignature();
        } catch (const EReadError&) {
            if (!reader.RanShort())
                throw;
        }
    });
}
