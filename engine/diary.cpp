#include "diary.h"

#include "engine/component_stream.h"
#include "engine/crc32.h"
#include "engine/lzh.h"
#include "platform/core/ansi.h"
#include "platform/core/byte_reader.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const QByteArray kMagic = QByteArrayLiteral("DR10");

// The longest password a diary can hold: the password change takes it from an
// input query of at most 255 characters (the wizard's edit takes 30), and
// every character the file accepts is one byte of the code page. The load
// looks for the password's end only this far, so a wrong password is refused
// before the rest of the payload, of whatever size, is unpacked.
constexpr qsizetype kMaxPasswordBytes = 255;

// Whether a file starts with the magic. It is compared as text: it ends early
// at a 0 byte.
bool HasMagic(const QByteArray& bytes)
{
    const qsizetype magicEnd = std::min<qsizetype>(kMagic.size(), bytes.size());
    qsizetype textEnd = 0;
    while (textEnd < magicEnd && bytes[textEnd] != '\0')
        ++textEnd;
    return bytes.left(textEnd) == kMagic;
}

} // namespace

// --- TDiaryEntry ---

TDiaryEntry::TDiaryEntry()
{
    // Born modified; the collection raises its own flag when it is told
    // about the addition.
    fModified = true;
}

TDiaryEntry::~TDiaryEntry()
{
    SetModified(true);
}

const TPropList& TDiaryEntry::Properties() const
{
    static const TPropList list = {
        props::Float<TDiaryEntry>(QStringLiteral("Date"), &TDiaryEntry::Date, &TDiaryEntry::SetDate),
        props::Integer<TDiaryEntry>(QStringLiteral("ImageIndex"), &TDiaryEntry::ImageIndex, &TDiaryEntry::SetImageIndex),
        props::String<TDiaryEntry>(QStringLiteral("Title"), &TDiaryEntry::Title, &TDiaryEntry::SetTitle),
        props::String<TDiaryEntry>(QStringLiteral("Body"), &TDiaryEntry::Body, &TDiaryEntry::SetBody),
        props::String<TDiaryEntry>(QStringLiteral("Notes"), &TDiaryEntry::Notes, &TDiaryEntry::SetNotes),
    };
    return list;
}

void TDiaryEntry::SetDate(TDateTime value)
{
    const double day = double(Round(value));
    // A day outside the calendar could never be shown or indexed.
    if (!IsValidDateTime(day))
        throw EConvertError(QStringLiteral("Invalid date value"));
    if (day != fDate) {
        SetModified(true);
        fDate = day;
    }
}

void TDiaryEntry::SetImageIndex(int value)
{
    if (value != fImageIndex) {
        SetModified(true);
        fImageIndex = value;
    }
}

void TDiaryEntry::SetTitle(const QString& value)
{
    if (value != fTitle) {
        SetModified(true);
        fTitle = value;
    }
}

void TDiaryEntry::SetBody(const QString& value)
{
    SetModified(true);
    fBody = value;
}

void TDiaryEntry::SetNotes(const QString& value)
{
    SetModified(true);
    fNotes = value;
}

void TDiaryEntry::SetDeleted(bool value)
{
    if (value != fDeleted) {
        SetModified(true);
        fDeleted = value;
    }
}

void TDiaryEntry::SetModified(bool value)
{
    if (value == fModified)
        return;
    fModified = value;
    if (value)
        if (auto* diary = dynamic_cast<TDiary*>(Collection()))
            diary->SetModified(true);
}

// --- TDiary ---

TDiary::TDiary(TDiaryDB* owner)
    : fOwner(owner)
    , fIndexerNeedle(QStringLiteral("%4.4d%2.2d%2.2d"))
{
    fIndexer.SetSorted(true);
    fIndexer.SetDuplicates(TDuplicates::dupIgnore);
}

TPersistent* TDiary::GetOwner() const
{
    return fOwner;
}

TDiaryEntry* TDiary::FindByDate(TDateTime aDate) const
{
    TDiaryEntry* found = nullptr;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Date() == aDate)
            found = Items(i);
    return found;
}

void TDiary::Notify(TCollectionItem* item, TCollectionNotification action)
{
    TCollection::Notify(item, action);
    if (!item)
        return;
    switch (action) {
    case TCollectionNotification::cnAdded:
        if (fIndexOnJoin)
            UpdateIndexer(static_cast<TDiaryEntry*>(item), opAdd);
        SetModified(true);
        break;
    case TCollectionNotification::cnDeleting:
        UpdateIndexer(static_cast<TDiaryEntry*>(item), opDelete);
        SetModified(true);
        break;
    case TCollectionNotification::cnExtracting: break;
    }
}

void TDiary::Update(TCollectionItem* item)
{
    TCollection::Update(item);
}

QString TDiary::MakeKey(TDateTime aDate)
{
    int year, month, day;
    DecodeDate(aDate, year, month, day);
    return QString::asprintf("%4.4d%2.2d%2.2d", year, month, day);
}

namespace {

// The date an index key "YYYYMMDD" names; 0 for a key that names none.
TDateTime KeyDate(const QString& key)
{
    TDateTime date = 0;
    bool ok = key.size() == 8;
    for (QChar c : key)
        ok = ok && c.isDigit();
    if (!ok || !TryEncodeDate(key.left(4).toInt(), key.mid(4, 2).toInt(), key.mid(6, 2).toInt(), date))
        return 0;
    return date;
}

} // namespace

std::vector<TWrittenDay> TDiary::WrittenDays() const
{
    // Positions by date, found in one pass; the later entry of a day wins.
    QHash<double, int> byDate;
    byDate.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        byDate.insert(Items(i)->Date(), i);
    std::vector<TWrittenDay> days;
    days.reserve(fIndexer.Count());
    for (int i = 0; i < fIndexer.Count(); ++i) {
        TWrittenDay day { fIndexer.Strings(i), KeyDate(fIndexer.Strings(i)) };
        if (day.Date != 0)
            day.Position = byDate.value(day.Date, -1);
        if (day.Position >= 0)
            day.Entry = Items(day.Position);
        days.push_back(std::move(day));
    }
    return days;
}

std::vector<TDateTime> TDiary::WrittenDates(TDateTime aFrom, TDateTime aTo) const
{
    std::vector<TDateTime> dates;
    const QString last = MakeKey(aTo);
    int i = 0;
    fIndexer.Find(MakeKey(aFrom), i);
    for (; i < fIndexer.Count() && fIndexer.Strings(i) <= last; ++i)
        if (const TDateTime date = KeyDate(fIndexer.Strings(i)); date != 0)
            dates.push_back(date);
    return dates;
}

std::optional<TDateTime> TDiary::WrittenDayAfter(TDateTime aDate) const
{
    const QString key = MakeKey(aDate);
    int i = 0;
    if (fIndexer.Find(key, i))
        ++i;
    for (; i < fIndexer.Count(); ++i)
        if (const TDateTime date = KeyDate(fIndexer.Strings(i)); date != 0)
            return date;
    return std::nullopt;
}

std::optional<TDateTime> TDiary::WrittenDayBefore(TDateTime aDate) const
{
    int i = 0;
    fIndexer.Find(MakeKey(aDate), i);
    while (--i >= 0)
        if (const TDateTime date = KeyDate(fIndexer.Strings(i)); date != 0)
            return date;
    return std::nullopt;
}

void TDiary::ClearDays()
{
    // Clearing the collection only extracts the entries: the index goes by hand.
    Clear();
    fIndexer.Clear();
}

void TDiary::UpdateIndexer(TDiaryEntry* aEntry, TIndexerOperation aOperation)
{
    if (aEntry->Date() == 0)
        return;
    if (!fIndexer.Sorted())
        fIndexer.SetSorted(true);
    const QString key = MakeKey(aEntry->Date());
    if (aOperation == opAdd) {
        fIndexer.AddObject(key, aEntry->ID()); // an existing key keeps its entry
    } else {
        const int index = fIndexer.IndexOf(key);
        if (index >= 0)
            fIndexer.Delete(index);
    }
}

void TDiary::IndexEntries(const std::vector<TDiaryEntry*>& entries)
{
    // One sorted insert per entry is quadratic for entries out of date order.
    // Added in key order, every key lands at the end of the list instead; the
    // sort is stable, so of two entries of one day the earlier is still added
    // first and kept.
    std::vector<std::pair<QString, int>> keys;
    keys.reserve(entries.size());
    for (const TDiaryEntry* entry : entries)
        if (entry->Date() != 0)
            keys.emplace_back(MakeKey(entry->Date()), entry->ID());
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (!keys.empty() && !fIndexer.Sorted())
        fIndexer.SetSorted(true);
    for (const auto& [key, id] : keys)
        fIndexer.AddObject(key, id);
}

void TDiary::RebuildIndexer()
{
    fIndexer.Clear();
    std::vector<TDiaryEntry*> kept;
    kept.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        if (!Items(i)->Deleted())
            kept.push_back(Items(i));
    IndexEntries(kept);
}

void TDiary::TakeEntriesOf(TDiary& source)
{
    std::vector<TDiaryEntry*> moved;
    moved.reserve(source.Count());
    BeginUpdate();
    fIndexOnJoin = false;
    struct Restore {
        TDiary& diary;
        ~Restore() { diary.fIndexOnJoin = true; }
    } restore { *this };
    while (source.Count() > 0) {
        TDiaryEntry* entry = source.Items(0);
        entry->SetCollection(this);
        moved.push_back(entry);
    }
    IndexEntries(moved);
    EndUpdate();
}

void TDiary::SetModified(bool value)
{
    if (value == fModified)
        return;
    fModified = value;
    if (value && fOwner)
        fOwner->Modified = true;
}

// --- TDiaryDB ---

TDiaryDB::TDiaryDB(TComponent* aOwner)
    : TComponent(aOwner)
    , fVersion(QStringLiteral("1.00"))
    , fDiary(new TDiary(this))
    , fPersonalInfo(new TPersonalInfo(this))
{
}

TDiaryDB::~TDiaryDB()
{
    delete fPersonalInfo;
    delete fDiary;
}

const TPropList& TDiaryDB::Properties() const
{
    static const TPropList list = props::Inherit(
        TComponent::Properties(),
        {
            props::Object<TDiaryDB>(QStringLiteral("Diary"), &TDiaryDB::Diary),
            props::String<TDiaryDB>(QStringLiteral("Version"), &TDiaryDB::Version, &TDiaryDB::SetVersion),
            props::Object<TDiaryDB>(QStringLiteral("Info"), &TDiaryDB::Info),
            props::Float<TDiaryDB>(QStringLiteral("FUD"), &TDiaryDB::FUD, &TDiaryDB::SetFUD),
        });
    return list;
}

void TDiaryDB::AddEntry(TDateTime aDate, const QString& aTitle, const QString& aBody, const QString& aNotes,
                        const QString& aToDo, int aImageIndex)
{
    Q_UNUSED(aToDo);
    TDiaryEntry* entry = fDiary->FindByDate(aDate);
    if (!entry)
        entry = fDiary->Add();
    entry->SetDate(aDate);
    entry->SetImageIndex(aImageIndex);
    entry->SetTitle(aTitle);
    entry->SetBody(aBody);
    entry->SetNotes(aNotes);
    Modified = true;
    fDiary->UpdateIndexer(entry, opAdd);
}

void TDiaryDB::DeleteEntry(TDateTime aDate)
{
    if (TDiaryEntry* entry = fDiary->FindByDate(aDate))
        fDiary->Delete(entry->Index());
}

bool TDiaryDB::GetEntry(TDateTime aDate, QString& aTitle, QString& aBody, QString& aNotes, QString& aTodo,
                        int& aImageIndex) const
{
    if (const TDiaryEntry* entry = fDiary->FindByDate(aDate)) {
        aTitle = entry->Title();
        aBody = entry->Body();
        aNotes = entry->Notes();
        aImageIndex = entry->ImageIndex();
        return true;
    }
    aTitle.clear();
    aBody.clear();
    aNotes.clear();
    aTodo.clear();
    aImageIndex = 0;
    return false;
}

QByteArray TDiaryDB::SaveToBytes(bool Encrypted)
{
    TMemoryStream payload;
    if (!Encrypted) {
        WriteComponentRes(payload, ClassName(), *this);
        return payload.Bytes();
    }
    if (fFUD == 0)
        fFUD = std::trunc(Now());
    payload.WriteBytes(StringToAnsi(fDiary->Password()));
    payload.WriteBytes(QByteArray(1, '\0'));
    WriteComponentRes(payload, ClassName(), *this);

    const QByteArray packed = LZHPackBlob(payload.Bytes());
    const quint32 crc = Crc32(packed.constData(), packed.size());
    QByteArray file;
    file.reserve(8 + packed.size());
    file.append(kMagic);
    for (int i = 0; i < 4; ++i)
        file.append(char(crc >> (8 * i)));
    file.append(packed);
    return file;
}

void TDiaryDB::SaveToFile(const QString& aFileName, bool Encrypted)
{
    WriteFileAtomically(aFileName, SaveToBytes(Encrypted));
    if (!Encrypted)
        Modified = false;
}

int TDiaryDB::LoadFromFile(const QString& aFileName, bool Encrypted, const QString& Password)
{
    fDiary->Clear();
    fDiary->Indexer().Clear();
    const QFileInfo info(aFileName);
    if (!info.exists())
        return lsCannotOpen;
    // A device or a FIFO could be read for ever or block; a folder is one
    // that cannot be opened.
    if (!info.isFile() && !info.isDir())
        return lsNotDiaryFile;
    // A file without the magic is refused on its first bytes, whatever its size.
    std::function<bool(const QByteArray&, qint64)> magicFirst;
    if (Encrypted)
        magicFirst = [](const QByteArray& head, qint64) { return HasMagic(head); };
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadFileAfterHead(aFileName, kMagic.size(), magicFirst);
    } catch (const std::exception&) {
        return lsCannotOpen; // a folder, no permission, a read error, no memory for it
    }
    if (!bytes)
        return lsNotDiaryFile;
    return LoadFromBytes(*bytes, Encrypted, Password);
}

int TDiaryDB::LoadFromBytes(const QByteArray& bytes, bool Encrypted, const QString& Password)
{
    fDiary->Clear();
    fDiary->Indexer().Clear();
    if (!Encrypted)
        return LoadStream(bytes.constData(), bytes.size());

    if (!HasMagic(bytes))
        return lsNotDiaryFile;

    TByteReader file(bytes);
    file.Skip(4); // the magic
    const std::optional<quint32> stored = file.ReadUInt32();
    if (!stored)
        return lsCorrupted; // no room for the stored CRC
    if (Crc32(bytes.constData() + 8, bytes.size() - 8) != *stored)
        return lsCorrupted;

    // The payload is unpacked in two pieces: as far as the longest password
    // and its 0 byte, and only once the password matched, the rest.
    QByteArray payload;
    qsizetype zero = -1;
    try {
        TLZHBlobReader reader(bytes.constData() + 8, bytes.size() - 8);
        reader.Read(kMaxPasswordBytes + 1, payload);
        zero = payload.indexOf('\0');
        if (zero < 0 && reader.Left() > 0)
            return lsCollectionCorrupted; // no password is that long
        const qsizetype passwordEnd = zero < 0 ? payload.size() : zero;
        // Compared as text: a typed character the code page lacks would be
        // encoded as '?' and match any character that was stored as one.
        if (AnsiToString(payload.constData(), passwordEnd) != Password)
            return lsWrongPassword;
        if (zero < 0)
            return lsCollectionCorrupted;
        payload.reserve(reader.Size());
        reader.Read(reader.Left(), payload);
    } catch (const std::exception&) {
        return lsDecompressFailed; // an impossible size prefix, or no memory for the announced size
    }
    return LoadStream(payload.constData() + zero + 1, payload.size() - zero - 1);
}

int TDiaryDB::LoadStream(const char* data, qsizetype size)
{
    // Read into a scratch database that starts with what a read in place
    // would keep, so a stream that fails half-way leaves this one untouched.
    TDiaryDB loaded;
    loaded.fVersion = fVersion;
    loaded.fFUD = fFUD;
    loaded.SetName(Name());
    loaded.SetTag(Tag());
    loaded.fPersonalInfo->Assign(*fPersonalInfo);
    try {
        TMemoryStream stream(QByteArray::fromRawData(data, size));
        ReadComponentRes(stream, loaded);
    } catch (const std::exception&) {
        return lsCollectionCorrupted; // malformed, or counts beyond what memory holds
    }
    TakeContentOf(loaded);
    if (fDiary->Count() > 0)
        fDiary->RebuildIndexer();
    fDiary->SetModified(false);
    Modified = false;
    return lsNoError;
}

void TDiaryDB::Clear()
{
    fDiary->ClearDays();
    fPersonalInfo->Clear();
    Modified = false;
}

void TDiaryDB::ReplaceContentWith(TDiaryDB& source)
{
    fDiary->ClearDays();
    TakeContentOf(source);
}

void TDiaryDB::TakeContentOf(TDiaryDB& loaded)
{
    fDiary->TakeEntriesOf(*loaded.fDiary);
    fPersonalInfo->Assign(*loaded.fPersonalInfo);
    fVersion = loaded.fVersion;
    fFUD = loaded.fFUD;
    SetName(loaded.Name());
    SetTag(loaded.Tag());
}

QString PasswordStorageError(const QString& aPassword)
{
    // A 0 would end the stored password early; any other character must
    // exist in the code page, or it is stored as '?'.
    QStringList refused;
    for (qsizetype i = 0; i < aPassword.size(); ++i) {
        const bool pair
            = aPassword[i].isHighSurrogate() && i + 1 < aPassword.size() && aPassword[i + 1].isLowSurrogate();
        QString shown = aPassword.mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
        if (shown != QChar(0) && IsAnsiRepresentable(shown))
            continue;
        if (!pair && !shown[0].isPrint())
            shown
                = QStringLiteral("U+%1").arg(QString::number(shown[0].unicode(), 16).toUpper().rightJustified(4, u'0'));
        if (!refused.contains(shown))
            refused.append(shown);
    }
    if (refused.isEmpty())
        return {};
    return QStringLiteral("The password cannot contain these characters: %1\r\n"
                          "Please use only Western European letters, digits and signs.")
        .arg(refused.join(u' '));
}

QString TDiaryDB::StatusToErrorStr(int aStatus)
{
    switch (aStatus) {
    case lsNoError: return QStringLiteral("No error occurred");
    case lsCannotOpen: return QStringLiteral("The diary file cannot be opened");
    case lsNotDiaryFile: return QStringLiteral("The file does not appear to be a valid diary file");
    case lsCorrupted: return QStringLiteral("The diary file appears to be corrupted");
    case lsWrongPassword: return QStringLiteral("The password provided is incorrect");
    case lsDecompressFailed: return QStringLiteral("Decryption of the file failed");
    case lsCollectionCorrupted: return QStringLiteral("Diary collection appears corrupted");
    default: return {};
    }
}

// --- the process-wide diary ---

namespace {
std::unique_ptr<TDiaryDB>& DiaryDBHolder()
{
    static std::unique_ptr<TDiaryDB> instance;
    return instance;
}
} // namespace

TDiaryDB& DiaryDB()
{
    auto& holder = DiaryDBHolder();
    if (!holder)
        holder = std::make_unique<TDiaryDB>();
    return *holder;
}

void FreeDiaryDB()
{
    DiaryDBHolder().reset();
}
