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

QString InvalidStreamFormat()
{
    return QStringLiteral("Invalid stream format");
}

QString StreamReadError()
{
    return QStringLiteral("Stream read error");
}

// What the byte reader gave, or the read error for bytes that are not there.
template <typename T> T Take(std::optional<T> value)
{
    if (!value)
        throw EReadError(StreamReadError());
    return *value;
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

void TReader::PropValueError() const
{
    throw EReadError(QStringLiteral("Invalid property value"));
}

TValueType TReader::NextValue() const
{
    return TValueType(Take(fIn.PeekUInt8()));
}

quint8 TReader::ReadByte()
{
    return Take(fIn.ReadUInt8());
}

TValueType TReader::ReadValue()
{
    return TValueType(ReadByte());
}

qint32 TReader::ReadInt32Raw()
{
    return qint32(Take(fIn.ReadUInt32()));
}

qint64 TReader::ReadInteger()
{
    switch (ReadValue()) {
    case vaInt8: return qint8(ReadByte());
    case vaInt16: {
        // A byte at a time: a cut value stops after its first byte.
        const quint16 lo = ReadByte();
        const quint16 hi = ReadByte();
        return qint16(quint16(lo | hi << 8));
    }
    case vaInt32: return ReadInt32Raw();
    default: Unread(); PropValueError();
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
    return Take(fIn.ReadUInt64());
}

double TReader::ReadFloat()
{
    switch (NextValue()) {
    case vaExtended: {
        ReadValue();
        TExtended80 ext;
        const QByteArrayView bytes = Take(fIn.ReadBytes(qsizetype(ext.size())));
        std::memcpy(ext.data(), bytes.data(), ext.size());
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
    default: Unread(); PropValueError();
    }
    if (length < 0)
        throw EReadError(InvalidStreamFormat());
    if (type == vaWString) {
        const QByteArrayView bytes = Take(fIn.ReadBytes(2 * length));
        QString text(length, Qt::Uninitialized);
        const auto* p = reinterpret_cast<const quint8*>(bytes.data());
        for (qsizetype i = 0; i < length; ++i)
            text[i] = QChar(char16_t(p[2 * i] | p[2 * i + 1] << 8));
        return text;
    }
    const QByteArrayView bytes = Take(fIn.ReadBytes(length));
    return type == vaUTF8String ? QString::fromUtf8(bytes) : AnsiToString(bytes.data(), length);
}

QString TReader::ReadShortString()
{
    const qsizetype length = ReadByte();
    return QString::fromUtf8(Take(fIn.ReadBytes(length)));
}

QString TReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent: return ReadShortString();
    case vaFalse: return QStringLiteral("False");
    case vaTrue: return QStringLiteral("True");
    case vaNil: return QStringLiteral("nil");
    case vaNull: return QStringLiteral("Null");
    default: Unread(); PropValueError();
    }
}

TReader::TFit TReader::SkipResHeader16()
{
    // On failure the position is where the header stopped making sense; a
    // header that runs out leaves it at the end.
    const auto runOut = [this] {
        fIn.Seek(fIn.Size());
        return TFit::RanOut;
    };
    const std::optional<quint8> marker = fIn.ReadUInt8();
    if (!marker)
        return runOut();
    if (*marker != 0xFF)
        return TFit::Wrong;
    const std::optional<quint16> type = fIn.ReadUInt16();
    if (!type)
        return runOut();
    if (*type != kResTypeRcData)
        return TFit::Wrong;
    if (!fIn.SkipPast('\0')) // the name
        return runOut();
    if (!fIn.Skip(6)) // flags and size; the size is not checked
        return runOut();
    return TFit::Fits;
}

// One entry of a 32-bit resource file: DataSize, HeaderSize, TYPE and NAME
// (each 0xFFFF and an ordinal, or a zero-terminated UTF-16 string), padding
// to a DWORD, then DataVersion, MemoryFlags, LanguageId, Version and
// Characteristics; the data follows the header.
struct TReader::TResEntry {
    quint32 DataSize = 0;
    quint32 HeaderSize = 0;
    bool TypeIsOrdinal = false;
    quint32 TypeId = 0;
};

// Reads the entry at the reader's position and checks that its header and
// data lie within the whole stream, of which the reader may hold only the
// first bytes.
TReader::TFit TReader::ParseResEntry(TByteReader in, qsizetype wholeSize, TResEntry& entry)
{
    constexpr qsizetype kFixedTail = 16; // DataVersion to Characteristics
    constexpr qsizetype kSmallest = 8 + 4 + 4 + kFixedTail;
    const qsizetype at = in.Position();
    const std::optional<quint32> dataSize = in.ReadUInt32();
    const std::optional<quint32> headerSize = in.ReadUInt32();
    if (!dataSize || !headerSize)
        return TFit::RanOut;
    entry.DataSize = *dataSize;
    entry.HeaderSize = *headerSize;
    if (entry.HeaderSize < kSmallest || entry.HeaderSize % 4 != 0 || entry.HeaderSize > quint64(wholeSize - at))
        return TFit::Wrong;
    if (entry.HeaderSize > quint64(in.Size() - at))
        return TFit::RanOut;
    const qsizetype headerEnd = at + qsizetype(entry.HeaderSize);
    in.Limit(headerEnd); // its fields lie within the header
    // TYPE, then NAME; the name is not needed, the class name follows later.
    for (int field = 0; field < 2; ++field) {
        std::optional<quint16> unit = in.ReadUInt16();
        if (!unit)
            return TFit::Wrong;
        if (*unit == 0xFFFF) {
            const std::optional<quint16> id = in.ReadUInt16();
            if (!id)
                return TFit::Wrong;
            if (field == 0) {
                entry.TypeIsOrdinal = true;
                entry.TypeId = *id;
            }
            continue;
        }
        while (*unit != 0)
            if (!(unit = in.ReadUInt16()))
                return TFit::Wrong;
    }
    const qsizetype padding = (4 - (in.Position() - at) % 4) % 4;
    if (!in.Skip(padding) || !in.Has(kFixedTail))
        return TFit::Wrong;
    return entry.DataSize <= quint64(wholeSize - headerEnd) ? TFit::Fits : TFit::Wrong;
}

TReader::TFit TReader::SkipResHeader32()
{
    constexpr quint32 kEmptyEntrySize = 32;
    TByteReader at = fIn;
    TResEntry entry;
    TFit fit = ParseResEntry(at, fWholeSize, entry);
    // A resource file starts with an empty entry of type 0: skip it.
    if (fit == TFit::Fits && entry.DataSize == 0 && entry.HeaderSize == kEmptyEntrySize && entry.TypeIsOrdinal
        && entry.TypeId == 0) {
        at.Skip(kEmptyEntrySize);
        entry = TResEntry();
        fit = ParseResEntry(at, fWholeSize, entry);
    }
    if (fit != TFit::Fits)
        return fit;
    if (!entry.TypeIsOrdinal || entry.TypeId != kResTypeRcData)
        return TFit::Wrong;
    fIn.Seek(at.Position() + qsizetype(entry.HeaderSize));
    // The object lies within the entry's data (of which only the first bytes
    // may be at hand).
    fWholeSize = fIn.Position() + qsizetype(entry.DataSize);
    fIn.Limit(fWholeSize);
    return TFit::Fits;
}

TReader::TFit TReader::SkipSignature()
{
    const std::optional<QByteArrayView> signature = fIn.PeekBytes(kSignature.size());
    if (!signature)
        return TFit::RanOut;
    if (*signature != kSignature)
        return TFit::Wrong;
    fIn.Skip(kSignature.size());
    return TFit::Fits;
}

TResHeadVerdict TReader::Verdict(TFit fit, QString& refusal) const
{
    if (fit == TFit::Fits)
        return TResHeadVerdict::Accepted;
    // The message the whole stream gives, should it end there.
    refusal = fit == TFit::RanOut ? StreamReadError() : InvalidStreamFormat();
    return fit == TFit::RanOut && fIn.Size() < fWholeSize ? TResHeadVerdict::NeedsWholeStream
                                                          : TResHeadVerdict::Refused;
}

TResHeadVerdict TReader::TryResHeader(QString& refusal)
{
    const qsizetype start = fIn.Position();
    // The 16-bit form is what these files hold. A 32-bit header whose data
    // size starts with the byte 0xFF reads as one only up to the signature.
    const TFit fit16 = SkipResHeader16();
    const qsizetype stop16 = fIn.Position();
    if (fit16 == TFit::Fits) {
        const std::optional<QByteArrayView> next = fIn.PeekBytes(kSignature.size());
        if (next && *next == kSignature)
            return TResHeadVerdict::Accepted;
    }
    fIn.Seek(start);
    const TFit fit32 = SkipResHeader32();
    if (fit32 == TFit::Fits)
        return TResHeadVerdict::Accepted;
    fIn.Seek(stop16);
    // Neither form holds with a signature, and the 32-bit attempt changed
    // nothing: what the two met decides. A 16-bit header that fits leaves the
    // fault for the signature check to name.
    if (fit32 == TFit::RanOut && fIn.Size() < fWholeSize)
        return TResHeadVerdict::NeedsWholeStream;
    return Verdict(fit16, refusal);
}

void TReader::ReadResHeader()
{
    QString refusal;
    if (TryResHeader(refusal) != TResHeadVerdict::Accepted)
        throw EReadError(refusal);
}

void TReader::ReadSignature()
{
    QString refusal;
    if (Verdict(SkipSignature(), refusal) != TResHeadVerdict::Accepted)
        throw EReadError(refusal);
}

TResHeadVerdict TReader::CheckResHead(QString& refusal)
{
    const TResHeadVerdict header = TryResHeader(refusal);
    return header == TResHeadVerdict::Accepted ? Verdict(SkipSignature(), refusal) : header;
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
        Unread();
        // Child components would need classes to create: none is registered.
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
    TMemoryStream data(Take(fIn.ReadBytes(length)).toByteArray());
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

TResHeadVerdict CheckComponentResHead(TStream& head, qint64 wholeSize, QString& refusal)
{
    const qint64 whole = wholeSize - head.Position();
    TResHeadVerdict verdict = TResHeadVerdict::Refused;
    ReadFromStream(head, [&](TReader& reader) {
        reader.SetWholeSize(qsizetype(whole));
        verdict = reader.CheckResHead(refusal);
    });
    return verdict;
}
