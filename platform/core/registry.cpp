#include "registry.h"

#include <QSettings>
#include <QStandardPaths>

#include <bit>

namespace {

// INI entries that are not values: a key's marker, so an empty key still
// exists, and the key's unnamed value. Encoded names never start with a dot.
const QString kKeyMarker = QStringLiteral(".key");
const QString kUnnamedValue = QStringLiteral(".default");

const QString kDwordPrefix = QStringLiteral("dword:");
const QString kStringPrefix = QStringLiteral("sz:");
const QString kBinaryPrefix = QStringLiteral("hex:");

QString& FileOverride()
{
    static QString fileName;
    return fileName;
}

QString RootName(HKEY root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS: return QStringLiteral("HKEY_USERS");
    case HKEY_PERFORMANCE_DATA: return QStringLiteral("HKEY_PERFORMANCE_DATA");
    case HKEY_CURRENT_CONFIG: return QStringLiteral("HKEY_CURRENT_CONFIG");
    case HKEY_DYN_DATA: return QStringLiteral("HKEY_DYN_DATA");
    default: return QString();
    }
}

// A key or value name as an INI group or key: "/" would split it, "%" must
// stay reversible and a leading dot is kept for the markers above.
QString EncodeName(const QString& name)
{
    if (name.isEmpty())
        return kUnnamedValue;
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == u'%')
            out += QStringLiteral("%25");
        else if (c == u'/')
            out += QStringLiteral("%2F");
        else if (i == 0 && c == u'.')
            out += QStringLiteral("%2E");
        else
            out += c;
    }
    return out;
}

QString DecodeName(const QString& stored)
{
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QStringView escape = QStringView(stored).mid(i, 3);
        if (escape == u"%25" || escape == u"%2F" || escape == u"%2E") {
            out += escape == u"%25" ? u'%' : escape == u"%2F" ? u'/' : u'.';
            i += 2;
        } else {
            out += stored[i];
        }
    }
    return out;
}

// The encoding only ever writes upper-case escapes, so comparing encoded
// names ignoring case compares the names ignoring case.
QString FindIgnoringCase(const QStringList& stored, const QString& encoded)
{
    for (const QString& s : stored)
        if (s.compare(encoded, Qt::CaseInsensitive) == 0)
            return s;
    return QString();
}

QStringList ChildGroups(QSettings& settings, const QString& group)
{
    settings.beginGroup(group);
    QStringList groups = settings.childGroups();
    settings.endGroup();
    return groups;
}

QStringList ChildKeys(QSettings& settings, const QString& group)
{
    settings.beginGroup(group);
    QStringList keys = settings.childKeys();
    settings.endGroup();
    return keys;
}

TRegDataType TypeOf(const QString& stored, QString& data)
{
    if (stored.startsWith(kStringPrefix)) {
        data = stored.mid(kStringPrefix.size());
        return TRegDataType::rdString;
    }
    if (stored.startsWith(kDwordPrefix)) {
        data = stored.mid(kDwordPrefix.size());
        bool ok = false;
        data.toUInt(&ok, 16);
        return ok && data.size() <= 8 ? TRegDataType::rdInteger : TRegDataType::rdUnknown;
    }
    if (stored.startsWith(kBinaryPrefix)) {
        data = stored.mid(kBinaryPrefix.size());
        if (data.size() % 2 != 0)
            return TRegDataType::rdUnknown;
        for (QChar c : data)
            if (!(c.isDigit() && c.unicode() < 0x80) && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F'))
                return TRegDataType::rdUnknown;
        return TRegDataType::rdBinary;
    }
    return TRegDataType::rdUnknown;
}

[[noreturn]] void InvalidType(const QString& name)
{
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
}

double DoubleFromBytes(const QByteArray& bytes, const QString& name)
{
    if (bytes.size() != 8)
        InvalidType(name);
    quint64 bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= quint64(quint8(bytes[i])) << (8 * i);
    return std::bit_cast<double>(bits);
}

QByteArray DoubleToBytes(double value)
{
    const quint64 bits = std::bit_cast<quint64>(value);
    QByteArray bytes(8, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i)
        bytes[i] = char(bits >> (8 * i));
    return bytes;
}

} // namespace

void SetRegistryFileForTesting(const QString& fileName)
{
    FileOverride() = fileName;
}

QString RegistryFileName()
{
    if (!FileOverride().isEmpty())
        return FileOverride();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Diary/registry.ini");
}

TRegistry::TRegistry()
    : fSettings(std::make_unique<QSettings>(RegistryFileName(), QSettings::IniFormat))
{
}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(HKEY value)
{
    if (value == fRootKey)
        return;
    CloseKey();
    fRootKey = value;
}

QStringList TRegistry::FullSegments(const QString& key) const
{
    QStringList segments;
    if (!key.startsWith(u'\\') && fKeyOpen)
        segments = fCurrentPath;
    segments += key.split(u'\\', Qt::SkipEmptyParts);
    return segments;
}

qsizetype TRegistry::Resolve(const QStringList& segments, QStringList& resolved) const
{
    resolved.clear();
    for (const QString& segment : segments) {
        const QString found = FindIgnoringCase(ChildGroups(*fSettings, GroupOf(resolved)), EncodeName(segment));
        if (found.isEmpty())
            break;
        resolved += found;
    }
    return resolved.size();
}

QString TRegistry::GroupOf(const QStringList& resolved) const
{
    QString group = RootName(fRootKey);
    for (const QString& segment : resolved)
        group += u'/' + segment;
    return group;
}

bool TRegistry::Flush()
{
    fSettings->sync();
    return fSettings->status() == QSettings::NoError;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate)
{
    if (RootName(fRootKey).isEmpty())
        return false;
    const QStringList segments = FullSegments(key);
    QStringList resolved;
    const qsizetype existing = Resolve(segments, resolved);
    if (existing < segments.size()) {
        if (!canCreate)
            return false;
        // Every key created gets a marker, so it outlives the deletion of its
        // last subkey or value, as a registry key does.
        QStringList added;
        for (qsizetype i = existing; i < segments.size(); ++i) {
            resolved += EncodeName(segments[i]);
            added += GroupOf(resolved) + u'/' + kKeyMarker;
            fSettings->setValue(added.last(), QString());
        }
        if (!Flush()) {
            for (const QString& marker : added)
                fSettings->remove(marker);
            return false;
        }
    }
    CloseKey();
    fCurrentPath.clear();
    for (const QString& segment : resolved)
        fCurrentPath += DecodeName(segment);
    fKeyOpen = true;
    return true;
}

void TRegistry::CloseKey()
{
    if (!fKeyOpen)
        return;
    fSettings->sync();
    fKeyOpen = false;
    fCurrentPath.clear();
}

bool TRegistry::KeyExists(const QString& key)
{
    if (RootName(fRootKey).isEmpty())
        return false;
    const QStringList segments = FullSegments(key);
    QStringList resolved;
    return Resolve(segments, resolved) == segments.size();
}

bool TRegistry::DeleteKey(const QString& key)
{
    if (RootName(fRootKey).isEmpty())
        return false;
    const QStringList segments = FullSegments(key);
    QStringList resolved;
    if (segments.isEmpty() || Resolve(segments, resolved) < segments.size())
        return false;
    // The open key goes with its ancestor: nothing could be read from it.
    QStringList current;
    Resolve(fCurrentPath, current);
    if (fKeyOpen && current.mid(0, resolved.size()) == resolved)
        CloseKey();
    fSettings->remove(GroupOf(resolved));
    return Flush();
}

QString TRegistry::FindValueKey(const QString& name) const
{
    if (!fKeyOpen)
        return QString();
    QStringList resolved;
    if (Resolve(fCurrentPath, resolved) < fCurrentPath.size())
        return QString(); // deleted meanwhile through another object
    const QString group = GroupOf(resolved);
    const QString found = FindIgnoringCase(ChildKeys(*fSettings, group), EncodeName(name));
    return found.isEmpty() ? QString() : group + u'/' + found;
}

bool TRegistry::ValueExists(const QString& name)
{
    return !FindValueKey(name).isEmpty();
}

bool TRegistry::DeleteValue(const QString& name)
{
    const QString key = FindValueKey(name);
    if (key.isEmpty())
        return false;
    fSettings->remove(key);
    return Flush();
}

TRegDataType TRegistry::GetDataType(const QString& name)
{
    const QString key = FindValueKey(name);
    if (key.isEmpty())
        return TRegDataType::rdUnknown;
    const QVariant stored = fSettings->value(key);
    if (stored.typeId() != QMetaType::QString)
        return TRegDataType::rdUnknown; // edited by hand into something else
    QString data;
    return TypeOf(stored.toString(), data);
}

QString TRegistry::ReadData(const QString& name, TRegDataType expected)
{
    if (!fKeyOpen)
        throw ERegistryException(QStringLiteral("Failed to get data for '%1'").arg(name));
    const QString key = FindValueKey(name);
    if (key.isEmpty())
        InvalidType(name);
    const QVariant stored = fSettings->value(key);
    QString data;
    if (stored.typeId() != QMetaType::QString || TypeOf(stored.toString(), data) != expected)
        InvalidType(name);
    return data;
}

void TRegistry::WriteData(const QString& name, const QString& data)
{
    if (!fKeyOpen)
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
    QString key = FindValueKey(name);
    if (key.isEmpty()) {
        QStringList resolved;
        if (Resolve(fCurrentPath, resolved) < fCurrentPath.size())
            throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
        key = GroupOf(resolved) + u'/' + EncodeName(name);
    }
    // Each write replaces the whole file and syncs it to the disk: a value
    // that is already stored is not written again, so an end with nothing
    // new to keep costs no disk wait.
    const QVariant stored = fSettings->value(key);
    if (stored.typeId() == QMetaType::QString && stored.toString() == data)
        return;
    fSettings->setValue(key, data);
    if (!Flush())
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
}

qint32 TRegistry::ReadInteger(const QString& name)
{
    return qint32(ReadData(name, TRegDataType::rdInteger).toUInt(nullptr, 16));
}

void TRegistry::WriteInteger(const QString& name, qint32 value)
{
    WriteData(name, kDwordPrefix + QStringLiteral("%1").arg(quint32(value), 8, 16, QChar(u'0')));
}

QString TRegistry::ReadString(const QString& name)
{
    if (fKeyOpen && FindValueKey(name).isEmpty())
        return QString();
    return ReadData(name, TRegDataType::rdString);
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    WriteData(name, kStringPrefix + value);
}

bool TRegistry::ReadBool(const QString& name)
{
    return ReadInteger(name) != 0;
}

void TRegistry::WriteBool(const QString& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

QByteArray TRegistry::ReadBinaryData(const QString& name)
{
    return QByteArray::fromHex(ReadData(name, TRegDataType::rdBinary).toLatin1());
}

void TRegistry::WriteBinaryData(const QString& name, const QByteArray& value)
{
    WriteData(name, kBinaryPrefix + QString::fromLatin1(value.toHex()));
}

double TRegistry::ReadFloat(const QString& name)
{
    return DoubleFromBytes(ReadBinaryData(name), name);
}

void TRegistry::WriteFloat(const QString& name, double value)
{
    WriteBinaryData(name, DoubleToBytes(value));
}

TDateTime TRegistry::ReadDateTime(const QString& name)
{
    return DoubleFromBytes(ReadBinaryData(name), name);
}

void TRegistry::WriteDateTime(const QString& name, TDateTime value)
{
    WriteBinaryData(name, DoubleToBytes(value));
}
