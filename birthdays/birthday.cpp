#include "birthday.h"

#include "engine/component_stream.h"
#include "platform/core/registry.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <deque>
#include <exception>
#include <memory>
#include <optional>

namespace {

const QString kRegistryKey = QStringLiteral("Software\\Veltrane\\BirthDay\\");
const QString kDefaultValueName = QStringLiteral("Data");
// The largest binary value the registry image may take.
constexpr qsizetype kMaxRegistryImage = 65534;
// The first bytes of a birthday file, read before the rest: the resource
// header and the signature fit many times over (the header's name is the
// class name).
constexpr qsizetype kHeadBytes = 4096;

} // namespace

// --- TEntry ---

TEntry::TEntry(TCollection* aCollection)
{
    if (aCollection)
        SetCollection(aCollection);
    SetModified(true);
}

const TPropList& TEntry::Properties() const
{
    static const TPropList list = {
        props::Integer<TEntry>(QStringLiteral("EntryType"), &TEntry::EntryType, &TEntry::SetEntryType, 0),
        props::String<TEntry>(QStringLiteral("FullName"), &TEntry::FullName, &TEntry::SetFullName),
        props::Float<TEntry>(QStringLiteral("BirthDate"), &TEntry::BirthDate, &TEntry::SetBirthDate),
        props::Integer<TEntry>(QStringLiteral("Icon"), &TEntry::Icon, &TEntry::SetIcon, -1),
        props::String<TEntry>(QStringLiteral("Notes"), &TEntry::Notes, &TEntry::SetNotes),
    };
    return list;
}

void TEntry::SetEntryType(int value)
{
    fEntryType = value;
    SetModified(true);
}

void TEntry::SetFullName(const QString& value)
{
    fFullName = value;
    SetModified(true);
}

void TEntry::SetBirthDate(TDateTime value)
{
    // 0 is "no date" and always allowed; anything else must decode, or every
    // query touching the entry would fail later.
    if (value != 0 && !IsValidDateTime(value))
        throw EConvertError(QStringLiteral("Invalid date value"));
    fDateTime = value;
    SetModified(true);
}

void TEntry::SetIcon(int value)
{
    fIcon = value;
    SetModified(true);
}

void TEntry::SetNotes(const QString& value)
{
    fNotes = value;
    SetModified(true);
}

void TEntry::SetModified(bool value)
{
    fModified = value;
    if (value)
        if (auto* entries = dynamic_cast<TEntries*>(Collection()))
            entries->SetModified(true);
}

int TEntry::Day() const
{
    if (fDateTime == 0 || !IsValidDateTime(fDateTime))
        return 0;
    int year, month, day;
    DecodeDate(fDateTime, year, month, day);
    return day;
}

int TEntry::Month() const
{
    if (fDateTime == 0 || !IsValidDateTime(fDateTime))
        return 0;
    int year, month, day;
    DecodeDate(fDateTime, year, month, day);
    return month;
}

TDateTime TEntry::CanonicalDate() const
{
    const int month = Month();
    if (month == 0)
        return 0;
    const int day = Day();
    if (month == 2 && day == 29)
        return EncodeDate(1, 3, 1) - 0.5;
    return EncodeDate(1, month, day);
}

// --- TEntries ---

TEntries::TEntries(TBirthdayComponent* AOwner)
    : fOwner(AOwner)
{
}

TPersistent* TEntries::GetOwner() const
{
    return fOwner;
}

void TEntries::Notify(TCollectionItem* item, TCollectionNotification action)
{
    TCollection::Notify(item, action);
    // Extraction is not a change of its own: a deletion has already been
    // told as "deleting", and clearing for a load is not the user's edit.
    if (item && (action == TCollectionNotification::cnAdded || action == TCollectionNotification::cnDeleting))
        SetModified(true);
}

void TEntries::Update(TCollectionItem* item)
{
    TCollection::Update(item);
    if (OnModification)
        OnModification(this);
}

QList<TEntry*> TEntries::GetEntriesOfDay(TDateTime aDate) const
{
    QList<TEntry*> result;
    if (!IsValidDateTime(aDate))
        return result;
    int year, month, day;
    DecodeDate(aDate, year, month, day);
    for (int i = 0; i < Count(); ++i) {
        TEntry* entry = Items(i);
        if (entry->Month() == month && entry->Day() == day)
            result.append(entry);
    }
    return result;
}

TEntry* TEntries::GetEntryOfDay(int Index, TDateTime aDate) const
{
    const QList<TEntry*> day = GetEntriesOfDay(aDate);
    return Index >= 0 && Index < day.size() ? day[Index] : nullptr;
}

QList<TEntry*> TEntries::GetEntriesOfMonth(int aMonth) const
{
    QList<TEntry*> result;
    if (aMonth < 1 || aMonth > 12)
        return result; // month 0 would find the entries without a date
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Month() == aMonth)
            result.append(Items(i));
    SortByCanonicalDate(result);
    return result;
}

void TEntries::SortByCanonicalDate(QList<TEntry*>& list)
{
    // The list holds one month, so the day alone is the key; comparing days
    // keeps 29 February after the 28th without a date in year 1.
    //
    // The keeper has always shown the order of an exchange sort (for each i,
    // every later j with a smaller day than list[i] swaps with it), which is
    // quadratic. The same order comes from one pass over the list: the
    // exchanges move the entries of day d as a queue, where reading the list
    // in order, an entry of day d joins at the back and one of an earlier day
    // sends the front to the back (later days play no part). The queues in
    // day order are the result.
    constexpr int kDays = 32; // Day() is 0 (no date) or 1 to 31
    std::array<std::deque<TEntry*>, kDays> queues;
    for (TEntry* entry : list) {
        const int day = entry->Day();
        for (int later = day + 1; later < kDays; ++later) {
            std::deque<TEntry*>& queue = queues[later];
            if (!queue.empty()) {
                queue.push_back(queue.front());
                queue.pop_front();
            }
        }
        queues[day].push_back(entry);
    }
    list.clear();
    for (const std::deque<TEntry*>& queue : queues)
        list.append(QList<TEntry*>(queue.begin(), queue.end()));
}

// --- TBirthdayComponent ---

TBirthdayComponent::TBirthdayComponent(TComponent* AOwner)
    : TComponent(AOwner)
    , fEntries(new TEntries(this))
{
}

TBirthdayComponent::~TBirthdayComponent()
{
    delete fEntries;
}

const TPropList& TBirthdayComponent::Properties() const
{
    static const TPropList list = props::Inherit(TComponent::Properties(),
        { props::Object<TBirthdayComponent>(QStringLiteral("Entries"), &TBirthdayComponent::Entries) });
    return list;
}

QByteArray TBirthdayComponent::SaveToBytes()
{
    TMemoryStream stream;
    WriteComponentRes(stream, ClassName(), *this);
    return stream.Bytes();
}

namespace {

QString ReasonOf(const std::exception& e)
{
    if (const auto* error = dynamic_cast<const Exception*>(&e))
        return error->Message();
    return QString::fromLocal8Bit(e.what());
}

// Why a stream of size bytes failed, and where.
QString StreamFailure(const QString& reason, qint64 position, qint64 size)
{
    return QStringLiteral("%1 (reading stopped at byte %2 of %3)").arg(reason).arg(position).arg(size);
}

} // namespace

void TBirthdayComponent::LoadFromBytes(const QByteArray& bytes)
{
    // The stream reader fills its target in place and keeps whatever it set
    // before a failure. Reading into a scratch component and taking its
    // entries only on success keeps a broken file from replacing a good list
    // with a partial one that the next save would write back.
    TBirthdayComponent loaded;
    loaded.SetName(Name());
    loaded.SetTag(Tag());
    TMemoryStream stream(bytes);
    try {
        ReadComponentRes(stream, loaded);
    } catch (const std::exception& e) {
        throw EReadError(StreamFailure(ReasonOf(e), stream.Position(), bytes.size()));
    }

    SetName(loaded.Name());
    SetTag(loaded.Tag());
    // A stored empty list leaves the entries in memory, as the stream's own
    // collection reader does.
    TEntries& source = *loaded.fEntries;
    if (source.Count() > 0) {
        fEntries->BeginUpdate();
        fEntries->Clear();
        while (source.Count() > 0)
            source.Items(0)->SetCollection(fEntries);
        fEntries->EndUpdate();
    }
    fEntries->SetModified(false);
}

void TBirthdayComponent::LoadFromFile(const QString& aFileName)
{
    const QFileInfo info(aFileName);
    const QString key = info.absoluteFilePath();
    // Kept as failed until a load works or the file is written: whatever
    // leaves this function early leaves the file to be moved aside.
    fUnloaded.insert(key);
    // Only a regular file: a device or a FIFO could be read for ever or block.
    if (info.exists() && !info.isFile()) {
        const QString reason = QStringLiteral("\"%1\" is not a regular file.").arg(aFileName);
        throw EFLoadError(reason, aFileName, reason);
    }
    // A file that is no component stream is refused on its first bytes,
    // whatever its size, with the reason a read of the whole would give.
    QString refusal;
    const auto headFirst = [&refusal](const QByteArray& head, qint64 fileSize) {
        TMemoryStream stream(head);
        QString reason;
        if (CheckComponentResHead(stream, fileSize, reason) != TResHeadVerdict::Refused)
            return true;
        refusal = StreamFailure(reason, stream.Position(), fileSize);
        return false;
    };
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadFileAfterHead(aFileName, kHeadBytes, headFirst);
    } catch (const EFOpenError& e) {
        // Missing, a folder, no permission, a read error: the message names the file.
        throw EFLoadError(e.Message(), aFileName, e.Message());
    } catch (const std::exception& e) {
        throw EFLoadError(aFileName, ReasonOf(e));
    }
    if (!bytes)
        throw EFLoadError(aFileName, refusal);
    try {
        LoadFromBytes(*bytes);
    } catch (const EReadError& e) {
        throw EFLoadError(aFileName, e.Message());
    }
    fUnloaded.remove(key);
}

bool TBirthdayComponent::LoadFailed(const QString& aFileName) const
{
    return fUnloaded.contains(QFileInfo(aFileName).absoluteFilePath());
}

void TBirthdayComponent::SaveToFile(const QString& aFileName)
{
    const QByteArray bytes = SaveToBytes();
    const QString key = QFileInfo(aFileName).absoluteFilePath();
    // What could not be read may still be mended by hand: it is kept.
    if (fUnloaded.contains(key) && QFileInfo(aFileName).exists()) {
        QString aside = aFileName + QStringLiteral(".damaged");
        for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
            aside = aFileName + QStringLiteral(".damaged%1").arg(n);
        QFile file(aFileName);
        if (!file.rename(aside))
            throw EFCreateError(QStringLiteral("Cannot move the unreadable file \"%1\" aside to \"%2\". %3")
                                    .arg(aFileName, aside, file.errorString()));
        fMovedAside = aside;
    }
    fUnloaded.remove(key);
    WriteFileAtomically(aFileName, bytes);
    fEntries->SetModified(false);
}

void TBirthdayComponent::SaveToRegistry(const QString& aKeyName)
{
    const QByteArray image = SaveToBytes();
    if (image.size() > kMaxRegistryImage)
        throw Exception(QStringLiteral("You have to many entries in your database so they cannot\r\n"
                                       " be saved. Please delete some entries and try to exit again!"));
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kRegistryKey, true))
        throw ERegistryException(QStringLiteral("Cannot create the registry key %1").arg(kRegistryKey));
    reg.WriteBinaryData(aKeyName.isEmpty() ? kDefaultValueName : aKeyName, image);
    fEntries->SetModified(false);
}

void TBirthdayComponent::LoadFromRegistry(const QString& aKeyName)
{
    const QString valueName = aKeyName.isEmpty() ? kDefaultValueName : aKeyName;
    const QString source = kRegistryKey + valueName;
    QByteArray image;
    bool found = false;
    try {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        found = reg.OpenKey(kRegistryKey, false) && reg.ValueExists(valueName);
        if (found)
            image = reg.ReadBinaryData(valueName);
    } catch (const std::exception& e) {
        throw EFLoadError(source, ReasonOf(e));
    }
    if (!found)
        throw EFLoadError(source, QStringLiteral("The value does not exist."));
    try {
        LoadFromBytes(image);
    } catch (const EReadError& e) {
        throw EFLoadError(source, e.Message());
    }
}

// --- the process-wide birthday list ---

namespace {
std::unique_ptr<TBirthdayComponent>& BirthdayComponentHolder()
{
    static std::unique_ptr<TBirthdayComponent> instance;
    return instance;
}
} // namespace

TBirthdayComponent& BirthdayComponent()
{
    auto& holder = BirthdayComponentHolder();
    if (!holder)
        holder = std::make_unique<TBirthdayComponent>();
    return *holder;
}

void FreeBirthdayComponent()
{
    BirthdayComponentHolder().reset();
}
