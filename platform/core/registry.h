#pragma once

#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

DECLARE_EXCEPTION(ERegistryException, Exception);

// Root keys, with the numeric values Windows gives them.
using HKEY = quint32;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

// The kind a stored value was written as.
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// The program's settings store, standing in for the Windows registry: one INI
// file per user (QSettings), holding every root key as a top-level group and
// each key path ("SOFTWARE\Veltrane\Diary") as nested groups below it.
//
// Key and value names are matched without regard to case, as Windows does; a
// name keeps the spelling it was first created with. Each value is stored with
// its kind ("dword:", "sz:", "hex:"), so reading it as another kind raises
// ERegistryException. Every write is committed to disk at once and a failed
// commit raises; the file is also flushed when a key is closed and when the
// object is destroyed.
//
// A key starting with "\" is absolute (from the root key); any other key is
// relative to the open key, or to the root when none is open.
class TRegistry {
public:
    TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;
    ~TRegistry();

    HKEY RootKey() const { return fRootKey; }
    // A new root closes the open key. An unknown root is kept, but no key
    // opens under it.
    void SetRootKey(HKEY value);
    // The open key's path below the root, as stored; empty when the root
    // itself or nothing is open.
    QString CurrentPath() const { return fCurrentPath.join(u'\\'); }

    // False when the key is missing and canCreate is false, or the root is
    // unknown. The open key stays as it was on failure.
    bool OpenKey(const QString& key, bool canCreate);
    void CloseKey();
    bool KeyExists(const QString& key);
    // Removes the key with all its subkeys and values; false when missing.
    bool DeleteKey(const QString& key);

    // Value operations act on the open key; with none open, reads and writes
    // raise ERegistryException and the queries answer false/rdUnknown.
    bool ValueExists(const QString& name);
    bool DeleteValue(const QString& name);
    TRegDataType GetDataType(const QString& name);

    // Reads raise ERegistryException for a missing value or one of another
    // kind; ReadString gives an empty text for a missing value instead, as the
    // class library does.
    qint32 ReadInteger(const QString& name);
    void WriteInteger(const QString& name, qint32 value);
    QString ReadString(const QString& name);
    void WriteString(const QString& name, const QString& value);
    bool ReadBool(const QString& name); // a DWORD, non-zero = true
    void WriteBool(const QString& name, bool value);
    QByteArray ReadBinaryData(const QString& name);
    void WriteBinaryData(const QString& name, const QByteArray& value);
    // Doubles and date-times are binary values of exactly 8 bytes.
    double ReadFloat(const QString& name);
    void WriteFloat(const QString& name, double value);
    TDateTime ReadDateTime(const QString& name);
    void WriteDateTime(const QString& name, TDateTime value);

private:
    // The segments below the root that key names, absolute or relative.
    QStringList FullSegments(const QString& key) const;
    // Matches each segment to a stored group ignoring case; stops at the first
    // missing one. Returns how many matched, their stored spellings in resolved.
    qsizetype Resolve(const QStringList& segments, QStringList& resolved) const;
    QString GroupOf(const QStringList& resolved) const;
    // The INI key of a value of the open key, matched ignoring case; empty when missing.
    QString FindValueKey(const QString& name) const;
    QString ReadData(const QString& name, TRegDataType expected);
    void WriteData(const QString& name, const QString& data);
    bool Flush();

    std::unique_ptr<QSettings> fSettings;
    HKEY fRootKey = HKEY_CURRENT_USER;
    bool fKeyOpen = false;
    QStringList fCurrentPath; // resolved segments of the open key
};

// Where every TRegistry created from now on keeps its data. An empty name
// restores the per-user file under the configuration folder. For tests.
void SetRegistryFileForTesting(const QString& fileName);
QString RegistryFileName();
