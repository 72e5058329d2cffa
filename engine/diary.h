#pragma once

#include "engine/personal_info.h"
#include "platform/core/classes.h"
#include "platform/core/datetime.h"
#include "platform/core/string_list.h"

#include <optional>
#include <vector>

class TDiary;
class TDiaryDB;

// One calendar day of the diary. Entries are born modified and stay so;
// the flag only serves to raise the collection's.
class TDiaryEntry : public TCollectionItem
{
public:
    TDiaryEntry();
    ~TDiaryEntry() override;

    QString ClassName() const override { return QStringLiteral("TDiaryEntry"); }
    const TPropList& Properties() const override;

    TDateTime Date() const { return fDate; }
    // Stores the value rounded to a whole day (half to even). Raises for
    // values that are not finite or outside the calendar's range.
    void SetDate(TDateTime value);
    int ImageIndex() const { return fImageIndex; }
    void SetImageIndex(int value);
    const QString& Title() const { return fTitle; }
    void SetTitle(const QString& value);
    const QString& Body() const { return fBody; }
    void SetBody(const QString& value);
    const QString& Notes() const { return fNotes; }
    void SetNotes(const QString& value);
    bool Deleted() const { return fDeleted; }
    void SetDeleted(bool value);
    bool Modified() const { return fModified; }
    void SetModified(bool value);

    // The collection the entry lives in.
    TCollection* OwnerCollection() const { return Collection(); }

private:
    TDateTime fDate = 0;
    int fImageIndex = 0;
    QString fTitle;
    QString fBody;
    bool fDeleted = false;
    bool fModified = false;
    QString fNotes;
};

enum TIndexerOperation { opAdd = 0, opDelete = 1 };

// One day of the index: its key, the date the key names (0 when it names
// none) and the entry that day shows (nullptr when the diary has none).
struct TWrittenDay
{
    QString Key;
    TDateTime Date = 0;
    const TDiaryEntry* Entry = nullptr;
    int Position = -1; // Entry's place in the collection
};

// The entries of the diary with a sorted index of the written days: one key
// "YYYYMMDD" per day, holding the collection ID of the entry.
class TDiary : public TCollection
{
public:
    explicit TDiary(TDiaryDB* owner = nullptr);

    QString ClassName() const override { return QStringLiteral("TDiary"); }
    TPersistent* GetOwner() const override;

    TDiaryEntry* Items(int index) const { return static_cast<TDiaryEntry*>(TCollection::Items(index)); }
    TDiaryEntry* Add() { return static_cast<TDiaryEntry*>(TCollection::Add()); }
    // The last entry whose date equals aDate exactly; nullptr when none.
    TDiaryEntry* FindByDate(TDateTime aDate) const;
    TDiaryEntry* FindItemID(int id) const { return static_cast<TDiaryEntry*>(TCollection::FindItemID(id)); }

    void UpdateIndexer(TDiaryEntry* aEntry, TIndexerOperation aOperation);
    void RebuildIndexer();
    // Moves every entry of source over, in order, as moving them one by one
    // would, indexing them as they join.
    void TakeEntriesOf(TDiary& source);
    static QString MakeKey(TDateTime aDate);

    // Every day of the index in date order, each with the entry the day
    // shows: the last one of its date, as GetEntry finds it.
    std::vector<TWrittenDay> WrittenDays() const;
    // The dates of the written days from aFrom's day to aTo's, both
    // included, in date order.
    std::vector<TDateTime> WrittenDates(TDateTime aFrom, TDateTime aTo) const;
    // The nearest written day after (before) aDate's day; none at the end.
    std::optional<TDateTime> WrittenDayAfter(TDateTime aDate) const;
    std::optional<TDateTime> WrittenDayBefore(TDateTime aDate) const;
    // Drops every entry and the index.
    void ClearDays();

    bool Modified() const { return fModified; }
    void SetModified(bool value);
    const QString& Password() const { return fPassword; }
    void SetPassword(const QString& value) { fPassword = value; }
    TStringList& Indexer() { return fIndexer; }
    const TStringList& Indexer() const { return fIndexer; }
    const QString& IndexerNeedle() const { return fIndexerNeedle; }

protected:
    TCollectionItem* CreateItem() override { return new TDiaryEntry; }
    void Notify(TCollectionItem* item, TCollectionNotification action) override;
    void Update(TCollectionItem* item) override;

private:
    // Adds the days of entries (in collection order) to the index with the
    // result UpdateIndexer gives one by one.
    void IndexEntries(const std::vector<TDiaryEntry*>& entries);

    TDiaryDB* fOwner;
    bool fModified = false;
    bool fIndexOnJoin = true;
    QString fPassword;
    TStringList fIndexer;
    QString fIndexerNeedle;
};

// Result of TDiaryDB::LoadFromFile.
enum TDiaryLoadStatus {
    lsNoError = 0,
    lsCannotOpen = 1,
    lsNotDiaryFile = 2,
    lsCorrupted = 3,
    lsWrongPassword = 4,
    lsDecompressFailed = 5,
    lsCollectionCorrupted = 6,
};

// The diary database: entries, personal information, format version and the
// date stamp of the first save, written to and read from one file.
class TDiaryDB : public TComponent
{
public:
    explicit TDiaryDB(TComponent* aOwner = nullptr);
    ~TDiaryDB() override;

    QString ClassName() const override { return QStringLiteral("TDiaryDB"); }
    const TPropList& Properties() const override;

    TDiary* Diary() const { return fDiary; }
    TPersonalInfo* Info() const { return fPersonalInfo; }
    const QString& Version() const { return fVersion; }
    void SetVersion(const QString& value) { fVersion = value; }
    TDateTime FUD() const { return fFUD; }
    void SetFUD(TDateTime value) { fFUD = value; }

    void AddEntry(TDateTime aDate, const QString& aTitle, const QString& aBody, const QString& aNotes,
                  const QString& aToDo, int aImageIndex);
    void DeleteEntry(TDateTime aDate);
    // Drops the entries, their index and the personal information; the
    // database is then unmodified.
    void Clear();
    bool GetEntry(TDateTime aDate, QString& aTitle, QString& aBody, QString& aNotes, QString& aTodo,
                  int& aImageIndex) const;

    // Writes the file through a temporary file renamed over the target, so a
    // failed save keeps the previous file. Raises on failure.
    void SaveToFile(const QString& aFileName, bool Encrypted = true);
    // Replaces the entries with the file's; returns a TDiaryLoadStatus.
    int LoadFromFile(const QString& aFileName, bool Encrypted, const QString& Password);
    static QString StatusToErrorStr(int aStatus);

    // The file's bytes, as SaveToFile writes them (exposed for tests and backups).
    QByteArray SaveToBytes(bool Encrypted = true);
    int LoadFromBytes(const QByteArray& bytes, bool Encrypted, const QString& Password);
    // Drops everything this database holds and takes over source's entries,
    // personal information, version and date stamp; source keeps no entries.
    // A diary loaded on its own this way carries nothing of the one before.
    void ReplaceContentWith(TDiaryDB& source);

    bool Modified = false;

private:
    int LoadStream(const char* data, qsizetype size);
    void TakeContentOf(TDiaryDB& loaded);

    QString fVersion;
    TDiary* fDiary;
    TPersonalInfo* fPersonalInfo;
    TDateTime fFUD = 0;
};

// Empty when the diary file can keep aPassword as it is; otherwise the
// message that refuses it, naming the characters the file's code page lacks
// (they would be stored as '?'). Creating a diary and changing its password
// both refuse such a password.
QString PasswordStorageError(const QString& aPassword);

// The one diary of the running program, created on first use.
TDiaryDB& DiaryDB();
// Frees it at the end of the program.
void FreeDiaryDB();
