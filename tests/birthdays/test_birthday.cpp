// The birthday list: modified flags, the queries, the file byte for byte and
// the registry image.
#include "birthdays/birthday.h"
#include "platform/core/registry.h"
#include "platform/core/streams.h"
#include "support/xorshift32.h"

#include <QtEndian>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <limits>
#include <random>

using namespace Qt::StringLiterals;

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// A short string of the stream: length byte, then the text.
QByteArray Short(const char* text)
{
    return char(qstrlen(text)) + QByteArray(text);
}

// Resource header, signature and root object around the properties; name is
// the component name's bytes.
QByteArray Wrap(const QByteArray& properties, const QByteArray& name = {})
{
    const QByteArray body = "TPF0" + Short("TBirthdayComponent") + char(name.size()) + name + properties + Hex("0000");
    QByteArray header = Hex("ff0a00") + "TBIRTHDAYCOMPONENT" + Hex("003010");
    for (int i = 0; i < 4; ++i)
        header += char(body.size() >> (8 * i));
    return header + body;
}

TEntry* Add(TEntries& entries, const QString& name, TDateTime date)
{
    TEntry* entry = entries.Add();
    entry->SetFullName(name);
    entry->SetBirthDate(date);
    return entry;
}

QStringList Names(const QList<TEntry*>& list)
{
    QStringList names;
    for (const TEntry* entry : list)
        names += entry->FullName();
    return names;
}

QStringList Names(const TEntries& entries)
{
    QList<TEntry*> list;
    for (int i = 0; i < entries.Count(); ++i)
        list += entries.Items(i);
    return Names(list);
}

// A plain birthday, an anniversary with notes, an accented name and a Greek
// one on 29 February of the unknown year.
void Fill(TEntries& entries)
{
    Add(entries, u"Anna Smith"_s, EncodeDate(1980, 3, 3));
    TEntry* wedding = Add(entries, u"Wedding"_s, EncodeDate(2001, 6, 16));
    wedding->SetEntryType(etAnniversary);
    wedding->SetNotes(u"Ruby next"_s);
    Add(entries, u"José Müller"_s, EncodeDate(1975, 11, 30));
    Add(entries, u"Ελένη"_s, EncodeDate(UnknownBirthYear, 2, 29));
}

// clang-format off
const QByteArray kFilledList = Wrap(
    Short("Entries") + Hex("0e")
    // Only what differs from the defaults: no EntryType 0, Icon -1 or empty Notes.
    + Hex("01") + Short("FullName") + Hex("06") + Short("Anna Smith")
        + Short("BirthDate") + Hex("05 000000000000c6e40d40") + Hex("00")
    + Hex("01") + Short("EntryType") + Hex("0201") + Short("FullName") + Hex("06") + Short("Wedding")
        + Short("BirthDate") + Hex("05 000000000000c2900e40") + Short("Notes") + Hex("06") + Short("Ruby next")
        + Hex("00")
    // Accented text as UTF-8, Greek as UTF-16.
    + Hex("01") + Short("FullName") + Hex("14 0d000000 4a6f73c3a9204dc3bc6c6c6572")
        + Short("BirthDate") + Hex("05 000000000000a0d80d40") + Hex("00")
    + Hex("01") + Short("FullName") + Hex("12 05000000 9503bb03ad03bd03b703")
        + Short("BirthDate") + Hex("05 0000000000a0c39f11c0") + Hex("00")
    + Hex("00"));
const QByteArray kEmptyEntries = Short("Entries") + Hex("0e00");
const QByteArray kEmptyList = Wrap(kEmptyEntries);
// clang-format on

class BirthdayFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetRegistryFileForTesting(dir.filePath(u"registry.ini"_s));
        Fill(*component.Entries());
    }
    void TearDown() override { SetRegistryFileForTesting(QString()); }
    QString Write(const QByteArray& bytes)
    {
        WriteFileAtomically(dir.filePath(u"in.dra"_s), bytes);
        return dir.filePath(u"in.dra"_s);
    }
    // The sentence of the EFLoadError a load raised; empty when it loaded.
    static QString Failure(const std::function<void()>& load)
    {
        try {
            load();
        } catch (const EFLoadError& e) {
            return e.Message();
        }
        return QString();
    }
    QString LoadFailure(TBirthdayComponent& target, const QString& fileName)
    {
        return Failure([&] { target.LoadFromFile(fileName); });
    }

    QTemporaryDir dir;
    TBirthdayComponent component;
};

} // namespace

TEST(BirthdayModel, ModifiedFlagsFollowEveryChange)
{
    TEntries entries;
    int updates = 0;
    entries.OnModification = [&](TObject*) { ++updates; };
    TEntry* entry = entries.Add();
    EXPECT_TRUE(entries.Modified()); // before any property is set
    entries.SetModified(false);
    entry->SetModified(false);
    EXPECT_FALSE(entries.Modified());
    entry->SetNotes(u"x"_s);
    EXPECT_TRUE(entries.Modified());
    // A date that could never be queried is refused and changes nothing.
    EXPECT_THROW(entry->SetBirthDate(std::numeric_limits<double>::quiet_NaN()), Exception);
    EXPECT_EQ(entry->BirthDate(), 0);

    entries.SetModified(false);
    updates = 0;
    entries.Delete(0);
    EXPECT_TRUE(entries.Modified());
    EXPECT_EQ(updates, 1);
}

TEST(BirthdayModel, DayQueriesIgnoreTheYearAndKnow29February)
{
    TEntries entries;
    Add(entries, u"Leap 2000"_s, EncodeDate(2000, 2, 29));
    Add(entries, u"No date"_s, 0);
    Add(entries, u"Leap unknown"_s, EncodeDate(UnknownBirthYear, 2, 29));
    Add(entries, u"Feb 28"_s, EncodeDate(1970, 2, 28));

    const TDateTime leapDay = EncodeDate(2024, 2, 29);
    EXPECT_EQ(Names(entries.GetEntriesOfDay(leapDay)), QStringList({ u"Leap 2000"_s, u"Leap unknown"_s }));
    EXPECT_EQ(Names(entries.GetEntriesOfDay(EncodeDate(2023, 2, 28))), QStringList { u"Feb 28"_s });
    EXPECT_TRUE(entries.GetEntriesOfDay(0).isEmpty()); // 30 December 1899, not "no date"
    EXPECT_TRUE(entries.GetEntriesOfMonth(12).isEmpty());
    EXPECT_EQ(entries.GetEntryOfDay(1, leapDay)->FullName(), u"Leap unknown"_s);
    EXPECT_EQ(entries.GetEntryOfDay(3, leapDay), nullptr);

    // 29 February orders between the 28th and 1 March though year 1 lacks it.
    EXPECT_GT(entries.Items(0)->CanonicalDate(), entries.Items(3)->CanonicalDate());
    EXPECT_LT(entries.Items(0)->CanonicalDate(), EncodeDate(1, 3, 1));
}

TEST(BirthdayModel, MonthQueryKeepsTheSortsOrderAndOwnsItsList)
{
    TEntries entries;
    for (const auto& [name, day] :
        { std::pair { "A", 5 }, { "B", 3 }, { "C", 5 }, { "D", 3 }, { "Leap", 29 }, { "E", 28 } })
        Add(entries, QString::fromLatin1(name), EncodeDate(UnknownBirthYear, 2, day));
    Add(entries, u"March"_s, EncodeDate(1984, 3, 1));

    // The exchange sort puts C before A on the 5th.
    const QList<TEntry*> february = entries.GetEntriesOfMonth(2);
    const QStringList expected = { u"B"_s, u"D"_s, u"C"_s, u"A"_s, u"E"_s, u"Leap"_s };
    EXPECT_EQ(Names(february), expected);

    // Neither another query nor a deletion touches a list already handed out.
    entries.GetEntriesOfMonth(3);
    entries.Delete(entries.Count() - 1);
    EXPECT_EQ(Names(february), expected);
}

TEST_F(BirthdayFile, WritesTheStreamByteForByteAndReadsItBack)
{
    component.SaveToFile(dir.filePath(u"list.dra"_s));
    EXPECT_FALSE(component.Entries()->Modified());
    EXPECT_EQ(ReadWholeFile(dir.filePath(u"list.dra"_s)).toHex(' '), kFilledList.toHex(' '));

    // Read back, every field (Icon -1 too) comes out as it went in.
    TBirthdayComponent loaded;
    ASSERT_NO_THROW(loaded.LoadFromFile(dir.filePath(u"list.dra"_s)));
    EXPECT_FALSE(loaded.Entries()->Modified());
    loaded.SaveToFile(dir.filePath(u"again.dra"_s));
    EXPECT_EQ(ReadWholeFile(dir.filePath(u"again.dra"_s)), kFilledList);
    TBirthdayComponent().SaveToFile(dir.filePath(u"empty.dra"_s));
    EXPECT_EQ(ReadWholeFile(dir.filePath(u"empty.dra"_s)), kEmptyList);
}

TEST_F(BirthdayFile, ReadsPropertyNamesInAnyCase)
{
    TBirthdayComponent loaded;
    ASSERT_NO_THROW(loaded.LoadFromFile(
        Write(Wrap(Short("entries") + Hex("0e 01") + Short("entrytype") + Hex("0201") + Short("FULLNAME") + Hex("06")
            + Short("Bo") + Short("icon") + Hex("0207") + Short("birthdate") + Hex("0203") + Hex("00 00")))));
    ASSERT_EQ(Names(*loaded.Entries()), QStringList { u"Bo"_s });
    EXPECT_EQ(loaded.Entries()->Items(0)->EntryType(), etAnniversary);
    EXPECT_EQ(loaded.Entries()->Items(0)->Icon(), 7);
    EXPECT_EQ(loaded.Entries()->Items(0)->BirthDate(), 3);
}

TEST_F(BirthdayFile, FailuresAndEmptyLoadsKeepTheEntriesInMemory)
{
    const QStringList before = Names(*component.Entries());
    const QByteArray goodItem = Hex("01") + Short("FullName") + Hex("06") + Short("New") + Hex("00");
    const QByteArray broken[] = {
        Wrap(Short("Entries") + Hex("0e") + goodItem + Hex("01") + Short("Age") + Hex("0201 00 00")),
        Wrap(Short("Entries") + Hex("0e") + goodItem + Hex("01") + Short("BirthDate")
            + Hex("15 000000000000f87f 00 00")),
        kFilledList.left(kFilledList.size() - 30),
    };
    for (const QByteArray& bytes : broken) {
        EXPECT_TRUE(LoadFailure(component, Write(bytes)).startsWith(u"Cannot load \""_s + Write(bytes) + u"\". "_s));
        EXPECT_EQ(Names(*component.Entries()), before);
        EXPECT_TRUE(component.Entries()->Modified());
    }
    EXPECT_TRUE(LoadFailure(component, dir.filePath(u"missing.dra"_s))
                    .startsWith(u"Cannot open file \""_s + dir.filePath(u"missing.dra"_s) + u"\". "_s));
    EXPECT_THROW(component.SaveToFile(dir.filePath(u"no/such/list.dra"_s)), EStreamError);
    EXPECT_TRUE(component.Entries()->Modified());

    EXPECT_EQ(LoadFailure(component, Write(kEmptyList)), QString());
    EXPECT_EQ(Names(*component.Entries()), before);
    EXPECT_FALSE(component.Entries()->Modified());
}

TEST_F(BirthdayFile, OnlyARegularFileIsRead)
{
    // Read whole, /dev/zero would fill the memory; opening a FIFO would wait
    // for a writer for ever.
    const QString fifo = dir.filePath(u"fifo.dra"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QStringList before = Names(*component.Entries());
    for (const QString& name : { u"/dev/zero"_s, fifo, dir.path() }) {
        EXPECT_EQ(LoadFailure(component, name), u"\""_s + name + u"\" is not a regular file."_s);
        EXPECT_EQ(Names(*component.Entries()), before);
    }
}

// Whatever a file's size, a wrong resource header or signature is refused on
// the file's first bytes, with the reason a read of the whole file gives.
TEST_F(BirthdayFile, AFileThatIsNoStreamIsRefusedOnItsFirstBytes)
{
    XorShift32 random { 7 };
    QByteArray noise(64 << 10, Qt::Uninitialized);
    for (char& c : noise)
        c = char(random.Next());
    const QByteArray header = kFilledList.left(28);
    // A header whose name runs on past the first 4 KB.
    const QByteArray longHeader = Hex("ff0a00") + QByteArray(5000, 'N') + Hex("00 3010 00000000");
    // The same list in a 32-bit resource file: data size, header size,
    // type 10 and name 1 as ordinals, then DataVersion to Characteristics.
    const auto entry32 = [&](quint32 dataSize) {
        QByteArray sizes(8, '\0');
        qToLittleEndian(dataSize, sizes.data());
        qToLittleEndian(quint32(32), sizes.data() + 4);
        return sizes + Hex("ffff 0a00 ffff 0100") + QByteArray(16, '\0') + kFilledList.mid(28);
    };
    constexpr qint64 kLarge = 8 << 20;
    // The bytes, then zeros (a hole) up to size; reason: the load's, empty
    // when it loads, null to take the whole file's reading as it is.
    const struct {
        const char* what;
        QByteArray head;
        qint64 size;
        const char* reason;
        bool readWhole;
    } cases[] = {
        { "empty", {}, 0, "Stream read error (reading stopped at byte 0 of 0)", true },
        { "the marker alone", Hex("ff"), 1, "Stream read error (reading stopped at byte 1 of 1)", true },
        { "marker and type", Hex("ff0a00"), 3, "Stream read error (reading stopped at byte 3 of 3)", true },
        { "no marker", "garbage", 7, "Invalid stream format (reading stopped at byte 1 of 7)", false },
        { "a large file, no marker", "garbage", kLarge, "Invalid stream format (reading stopped at byte 1 of 8388608)",
            false },
        { "random bytes", noise, noise.size(), "Invalid stream format (reading stopped at byte 1 of 65536)", false },
        { "wrong type", Hex("ff0b00"), kLarge, "Invalid stream format (reading stopped at byte 3 of 8388608)", false },
        { "wrong signature", header + "TPF1", kLarge, "Invalid stream format (reading stopped at byte 28 of 8388608)",
            false },
        { "half a signature", header + "TP", 30, "Stream read error (reading stopped at byte 28 of 30)", true },
        { "random bytes after the signature", header + "TPF0" + noise, 32 + noise.size(), nullptr, true },
        { "a long header", longHeader + "TPF0", 1 << 20, "", true },
        { "a long header, wrong signature", longHeader + "TPF1", 1 << 20,
            "Invalid stream format (reading stopped at byte 5010 of 1048576)", true },
        // Its data runs on past the first bytes: only the whole file tells.
        { "a 32-bit header", entry32((1 << 20) - 32), 1 << 20, "", true },
        { "a 32-bit header, data past the end", entry32(0x7fffffff), kLarge,
            "Invalid stream format (reading stopped at byte 3 of 8388608)", false },
    };
    const QString name = dir.filePath(u"head.dra"_s);
    for (const auto& c : cases) {
        QFile::remove(name);
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.head);
        ASSERT_TRUE(file.resize(c.size)) << c.what;
        file.close();

        QString whole;
        try {
            TBirthdayComponent().LoadFromBytes(ReadWholeFile(name));
        } catch (const EReadError& e) {
            whole = e.Message();
        }
        const qint64 before = TotalFileBytesRead();
        QString reason;
        try {
            component.LoadFromFile(name);
        } catch (const EFLoadError& e) {
            reason = e.Reason();
        }
        const qint64 read = TotalFileBytesRead() - before;
        EXPECT_EQ(reason.toStdString(), whole.toStdString()) << c.what;
        if (c.reason)
            EXPECT_EQ(reason.toStdString(), c.reason) << c.what;
        else
            EXPECT_FALSE(reason.isEmpty()) << c.what;
        if (c.readWhole)
            EXPECT_EQ(read, c.size) << c.what;
        else
            EXPECT_LE(read, 4096) << c.what;
    }
}

TEST_F(BirthdayFile, ANameWithBadUtf8SavesToTheSameBytesEveryTime)
{
    // Each bad byte reads as U+FFFD, three bytes when written, so the name
    // outgrows its 255 bytes; a character cut there would read back as
    // U+FFFD again and change the next save.
    const QByteArray x251(251, 'x');
    const QString fffd(QChar(0xFFFD));
    const struct {
        QByteArray stored;
        QString saved;
    } cases[] = {
        { x251 + "\xFF\xE2\x82\xAC", QString::fromLatin1(x251) + fffd },
        { x251.left(250) + "\xFF\xF0\x9F\x98\x80", QString::fromLatin1(x251.left(250)) + fffd },
        { x251.left(248) + "\xFF\xC3\xA9\xC3\xA9\xC3\xA9",
            QString::fromLatin1(x251.left(248)) + fffd + u"\u00E9\u00E9"_s },
        { QByteArray(255, '\xFF'), fffd.repeated(85) },
        { "x" + QByteArray(254, '\x80'), u"x"_s + fffd.repeated(84) },
        { x251 + "\xC3\xA9\xC3\xA9", QString::fromLatin1(x251) + u"\u00E9\u00E9"_s },
    };
    for (const auto& c : cases) {
        TBirthdayComponent first;
        ASSERT_NO_THROW(first.LoadFromBytes(Wrap(kEmptyEntries, c.stored)));
        const QByteArray saved = first.SaveToBytes();
        TBirthdayComponent second;
        ASSERT_NO_THROW(second.LoadFromBytes(saved));
        EXPECT_EQ(second.Name(), c.saved) << c.stored.toHex().toStdString();
        EXPECT_EQ(second.SaveToBytes(), saved) << c.stored.toHex().toStdString();
    }
}

// A file that does not load says why, and is never written over: the first
// save moves it to a name no save uses, numbered when taken.
TEST_F(BirthdayFile, AFileThatFailsToLoadIsMovedAsideBeforeTheFirstSave)
{
    const struct {
        QByteArray bytes;
        const char* reason;
    } broken[] = {
        { "garbage", "Invalid stream format (reading stopped at byte 1 of 7)" },
        { kFilledList.left(kFilledList.size() - 30), "Stream read error (reading stopped at byte" },
    };
    const QString list = dir.filePath(u"list.dra"_s);
    QStringList kept;
    for (const auto& c : broken) {
        WriteFileAtomically(list, c.bytes);
        try {
            component.LoadFromFile(list);
            ADD_FAILURE() << "loaded";
        } catch (const EFLoadError& e) {
            EXPECT_TRUE(e.Reason().contains(QString::fromLatin1(c.reason))) << e.Reason().toStdString();
            EXPECT_EQ(e.Message(), u"Cannot load \""_s + list + u"\". "_s + e.Reason());
        }
        EXPECT_TRUE(component.LoadFailed(list));
        component.SaveToFile(list);
        kept << component.TakeMovedAside();
        EXPECT_EQ(component.TakeMovedAside(), QString()) << "told once";
        EXPECT_EQ(ReadWholeFile(kept.last()), c.bytes);
        EXPECT_EQ(ReadWholeFile(list), kFilledList);
        // Written since: the next save replaces the file as usual.
        EXPECT_FALSE(component.LoadFailed(list));
        component.SaveToFile(list);
        EXPECT_EQ(component.TakeMovedAside(), QString());
    }
    EXPECT_EQ(kept, (QStringList { list + u".damaged"_s, list + u".damaged2"_s }));
    EXPECT_EQ(ReadWholeFile(kept.first()), broken[0].bytes) << "a later save never reuses the name";

    // A file mended by hand and loaded again is written over as usual.
    WriteFileAtomically(list, "garbage");
    EXPECT_EQ(LoadFailure(component, list),
        u"Cannot load \""_s + list + u"\". Invalid stream format (reading stopped at byte 1 of 7)"_s);
    WriteFileAtomically(list, kEmptyList);
    EXPECT_EQ(LoadFailure(component, list), QString());
    component.SaveToFile(list);
    EXPECT_EQ(component.TakeMovedAside(), QString());
    EXPECT_FALSE(QFile::exists(list + u".damaged3"_s));
}

TEST_F(BirthdayFile, RegistryImageRoundTrip)
{
    component.SaveToRegistry(QString());
    EXPECT_FALSE(component.Entries()->Modified());
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"Software\\Veltrane\\BirthDay"_s, false));
    EXPECT_EQ(reg.ReadBinaryData(u"Data"_s), kFilledList);

    TBirthdayComponent loaded;
    EXPECT_EQ(Failure([&] { loaded.LoadFromRegistry(u"Other"_s); }),
        u"Cannot load \"Software\\Veltrane\\BirthDay\\Other\". The value does not exist."_s);
    ASSERT_NO_THROW(loaded.LoadFromRegistry(QString()));
    EXPECT_EQ(Names(*loaded.Entries()), Names(*component.Entries()));

    // An image over 65534 bytes is refused before anything is written.
    for (int i = 0; i < 700; ++i)
        loaded.Entries()->Add()->SetFullName(QString(100, u'x'));
    EXPECT_THROW(loaded.SaveToRegistry(u"Big"_s), Exception);
    EXPECT_TRUE(loaded.Entries()->Modified());
    EXPECT_FALSE(reg.ValueExists(u"Big"_s));
}

namespace {

// The keeper's order as it has always been made: an exchange sort by day.
void ExchangeSortByDay(QList<TEntry*>& list)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        for (qsizetype j = i + 1; j < list.size(); ++j)
            if (list[j]->Day() < list[i]->Day())
                list.swapItemsAt(i, j);
}

} // namespace

TEST(BirthdayModel, MonthOrderEqualsTheExchangeSortOnManyTies)
{
    // Few distinct days give long runs of ties, which the exchanges reorder;
    // day 0 is an entry without a date.
    struct Case {
        int entries, firstDay, lastDay;
    };
    std::mt19937 rng(23);
    for (const Case& c : { Case { 0, 1, 1 }, Case { 7, 1, 1 }, Case { 40, 1, 2 }, Case { 60, 1, 3 }, Case { 200, 1, 5 },
             Case { 300, 0, 31 }, Case { 400, 1, 31 }, Case { 500, 27, 31 } }) {
        for (int round = 0; round < 20; ++round) {
            TEntries entries;
            QList<TEntry*> list;
            for (int i = 0; i < c.entries; ++i) {
                const int day = c.firstDay + int(rng() % quint32(c.lastDay - c.firstDay + 1));
                list += Add(entries, QString::number(i), day == 0 ? 0 : EncodeDate(1990, 1, day));
            }
            QList<TEntry*> expected = list;
            ExchangeSortByDay(expected);
            TEntries::SortByCanonicalDate(list);
            ASSERT_EQ(Names(list), Names(expected))
                << c.entries << " entries, days " << c.firstDay << " to " << c.lastDay << ", round " << round;
            if (c.firstDay > 0) { // the query takes the month's entries in collection order, then sorts
                ASSERT_EQ(Names(entries.GetEntriesOfMonth(1)), Names(expected));
            }
        }
    }
}
