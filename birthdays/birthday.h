#pragma once

#include "platform/core/classes.h"
#include "platform/core/datetime.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <utility>

class TEntries;
class TBirthdayComponent;

// The year an entry keeps when the user does not know the real one. It is a
// leap year, so 29 February can always be stored.
inline constexpr int UnknownBirthYear = 1004;

// Entry kinds as stored in EntryType.
enum TBirthdayEntryType { etBirthday = 0, etAnniversary = 1 };

// One birthday or anniversary. Every setter marks the entry modified, and
// through it the collection the entry lives in, so the host knows the list
// has to be written back.
class TEntry : public TCollectionItem {
public:
    // With a collection the entry joins it at once, as Entries->Add() does.
    explicit TEntry(TCollection* aCollection = nullptr);

    QString ClassName() const override { return QStringLiteral("TEntry"); }
    const TPropList& Properties() const override;

    int EntryType() const { return fEntryType; }
    void SetEntryType(int value);
    const QString& FullName() const { return fFullName; }
    void SetFullName(const QString& value);
    TDateTime BirthDate() const { return fDateTime; }
    // Raises EConvertError for a value that is not finite or lies outside the
    // calendar: such a date could never be shown or queried.
    void SetBirthDate(TDateTime value);
    int Icon() const { return fIcon; }
    void SetIcon(int value);
    const QString& Notes() const { return fNotes; }
    void SetNotes(const QString& value);

    bool Modified() const { return fModified; }
    // True also marks the collection; false touches only the entry.
    void SetModified(bool value);

    // Day and month of BirthDate; 0 when there is no date.
    int Day() const;
    int Month() const;
    // Month and day of BirthDate in year 1, for ordering whatever the year;
    // 0 without a date. Year 1 has no 29 February, so that day becomes the
    // point halfway between 28 February and 1 March: it sorts between them.
    TDateTime CanonicalDate() const;

    // The collection the entry lives in (the one it is marked modified in).
    TCollection* OwnerCollection() const { return Collection(); }

private:
    bool fModified = false;
    QString fFullName;
    QString fNotes;
    int fIcon = -1;
    TDateTime fDateTime = 0;
    int fEntryType = etBirthday;
};

// The birthdays and anniversaries, with the queries the calendars, the month
// summary and the menus ask. Every query returns a list of its own, so a
// later query or a deletion never changes a list a caller is walking.
class TEntries : public TCollection {
public:
    explicit TEntries(TBirthdayComponent* AOwner = nullptr);

    QString ClassName() const override { return QStringLiteral("TEntries"); }
    TPersistent* GetOwner() const override;

    TEntry* Items(int index) const { return static_cast<TEntry*>(TCollection::Items(index)); }
    TEntry* Add() { return static_cast<TEntry*>(TCollection::Add()); }

    // Entries whose day and month are those of aDate, in collection order;
    // the year is ignored.
    QList<TEntry*> GetEntriesOfDay(TDateTime aDate) const;
    // The Index-th entry of GetEntriesOfDay(aDate); nullptr past the end.
    TEntry* GetEntryOfDay(int Index, TDateTime aDate) const;
    // Entries of aMonth (1 to 12), ordered by SortByCanonicalDate.
    QList<TEntry*> GetEntriesOfMonth(int aMonth) const;
    // Orders the entries of one month by day. Entries of the same day come
    // out in the order an exchange selection sort leaves them, which callers
    // may rely on being the same every time.
    static void SortByCanonicalDate(QList<TEntry*>& list);

    bool Modified() const { return fModified; }
    void SetModified(bool value) { fModified = value; }

    // Called after additions, deletions, clearing and batch updates.
    std::function<void(TObject* Sender)> OnModification;

protected:
    TCollectionItem* CreateItem() override { return new TEntry; }
    void Notify(TCollectionItem* item, TCollectionNotification action) override;
    void Update(TCollectionItem* item) override;

private:
    TBirthdayComponent* fOwner;
    bool fModified = false;
};

// The component the birthday file holds: its only property of its own is
// the entry collection.
class TBirthdayComponent : public TComponent {
public:
    explicit TBirthdayComponent(TComponent* AOwner = nullptr);
    ~TBirthdayComponent() override;

    QString ClassName() const override { return QStringLiteral("TBirthdayComponent"); }
    const TPropList& Properties() const override;

    TEntries* Entries() const { return fEntries; }

    // Entries.Modified is false after a load. A file that cannot be read to
    // its end leaves the entries as they were and raises EFLoadError, whose
    // Reason() is the reader's message and the byte it stopped at, or why
    // the file could not be read.
    void LoadFromFile(const QString& aFileName);
    // The file failed to load and has not been written since.
    bool LoadFailed(const QString& aFileName) const;
    // Replaces the file through a temporary one, so a failed save keeps the
    // previous file. Raises on failure, leaving Entries.Modified as it was.
    // A file that failed to load is never written over: it is first moved
    // aside to a name no save uses ("NAME.damaged", numbered when taken).
    void SaveToFile(const QString& aFileName);
    // Where the last save moved a file that had failed to load, once, so the
    // user can be told; empty when nothing was moved.
    QString TakeMovedAside() { return std::exchange(fMovedAside, QString()); }

    // The same image in one binary value of "Software\Veltrane\BirthDay\"
    // under the current user; the value is named aKeyName, or "Data" when it
    // is empty. Saving raises for images over 65534 bytes and when the key
    // cannot be written; loading raises EFLoadError, naming the value, as
    // LoadFromFile does (a missing value too).
    void SaveToRegistry(const QString& aKeyName);
    void LoadFromRegistry(const QString& aKeyName);

    // The file's bytes, as SaveToFile writes and LoadFromFile reads them
    // (exposed for the fuzz target and the tests). Bytes have no name: a
    // failed load raises EReadError with the reason alone.
    QByteArray SaveToBytes();
    void LoadFromBytes(const QByteArray& bytes);

private:
    TEntries* fEntries;
    // Files (absolute names) that failed to load and were not written since.
    QSet<QString> fUnloaded;
    QString fMovedAside;
};

// The birthday list of the running program, created on first use.
TBirthdayComponent& BirthdayComponent();
// Frees it at the end of the program.
void FreeBirthdayComponent();
