// Saving and loading diary files, and every way a file can be refused.
#include "engine/crc32.h"
#include "engine/diary.h"
#include "engine/lzh.h"
#include "platform/core/ansi.h"
#include "platform/core/streams.h"
#include "support/xorshift32.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <limits>

#include <map>
#include <random>

namespace {

class DiaryFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetClock([] { return EncodeDate(2026, 12, 8) + 0.75; });
    }
    void TearDown() override { SetClock({}); }

    QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    static void Fill(TDiaryDB& db)
    {
        db.AddEntry(EncodeDate(2024, 3, 1), QStringLiteral("Plain title"), QStringLiteral("{\\rtf1 short}"),
                    QStringLiteral("notes"), QString(), 2);
        db.AddEntry(EncodeDate(2020, 1, 15), QString::fromUtf8("Caf\xC3\xA9 \xC3\xA0 la cr\xC3\xA8me"),
                    QString(300, u'r'), QString(), QString(), 16);
        db.AddEntry(EncodeDate(2019, 7, 4), QString::fromUtf8("\xCE\x97\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1"),
                    QStringLiteral("{\\rtf1 ") + QString(210 * 1024, u'x') + QStringLiteral("}"), QStringLiteral("n"),
                    QString(), 0);
        db.AddEntry(EncodeDate(812, 5, 6), QStringLiteral("Old times"), QStringLiteral("b"), QString(), QString(), 1);
        db.Info()->UpdateItemByName(QStringLiteral("edtFullName"), QStringLiteral("Ann Writer"));
        db.Info()->UpdateItemByName(QStringLiteral("memAddress"), QStringLiteral("1 Main St\r\nTown"));
    }

    static void ExpectSameContent(const TDiaryDB& a, const TDiaryDB& b)
    {
        ASSERT_EQ(a.Diary()->Count(), b.Diary()->Count());
        for (int i = 0; i < a.Diary()->Count(); ++i) {
            const TDiaryEntry* x = a.Diary()->Items(i);
            const TDiaryEntry* y = b.Diary()->Items(i);
            EXPECT_EQ(x->Date(), y->Date());
            EXPECT_EQ(x->Title(), y->Title());
            EXPECT_EQ(x->Body(), y->Body());
            EXPECT_EQ(x->Notes(), y->Notes());
            EXPECT_EQ(x->ImageIndex(), y->ImageIndex());
        }
        ASSERT_EQ(a.Info()->Count(), b.Info()->Count());
        for (int i = 0; i < a.Info()->Count(); ++i) {
            EXPECT_EQ(a.Info()->Items(i)->ControlName(), b.Info()->Items(i)->ControlName());
            EXPECT_EQ(a.Info()->Items(i)->Value(), b.Info()->Items(i)->Value());
        }
        EXPECT_EQ(a.Version(), b.Version());
        EXPECT_EQ(a.FUD(), b.FUD());
    }

    // A file with the right framing around any payload.
    static QByteArray Frame(const QByteArray& packed)
    {
        const quint32 crc = Crc32(packed.constData(), packed.size());
        QByteArray file = QByteArrayLiteral("DR10");
        for (int i = 0; i < 4; ++i)
            file.append(char(crc >> (8 * i)));
        return file + packed;
    }

    // A packed payload that starts with region and goes on with extra bytes
    // of code, its prefix announcing the most those could hold (48 times
    // their size), as a hostile file would.
    static QByteArray Inflating(const QByteArray& region, qsizetype extra)
    {
        QByteArray code = LZHPackBlob(region).mid(4);
        code += QByteArray(extra, '\x5A');
        QByteArray blob(4, Qt::Uninitialized);
        const qint64 announced = std::min<qint64>(TLZH::MaxTextSize(code.size()), std::numeric_limits<qint32>::max());
        qToLittleEndian(qint32(announced), blob.data());
        return blob + code;
    }

    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(DiaryFile, RoundTripKeepsEverythingAndClearsTheFlags)
{
    for (const QString& password : {QString(), QStringLiteral("s3cret \xE9"), QString::fromUtf8("p\xC3\xA4ss")}) {
        TDiaryDB db;
        Fill(db);
        db.Diary()->SetPassword(password);
        db.SaveToFile(Path(QStringLiteral("a.dry")));
        EXPECT_TRUE(db.Modified); // saving leaves the flags as they were
        EXPECT_EQ(db.FUD(), EncodeDate(2026, 12, 8));

        TDiaryDB loaded;
        loaded.Modified = true;
        ASSERT_EQ(loaded.LoadFromFile(Path(QStringLiteral("a.dry")), true, password), lsNoError);
        ExpectSameContent(db, loaded);
        EXPECT_FALSE(loaded.Modified);
        EXPECT_FALSE(loaded.Diary()->Modified());
        EXPECT_TRUE(loaded.Diary()->Password().isEmpty()); // the caller keeps the password
        EXPECT_EQ(loaded.Diary()->Indexer().ToStringList(),
                  (QStringList{QStringLiteral("08120506"), QStringLiteral("20190704"), QStringLiteral("20200115"),
                               QStringLiteral("20240301")}));
        // The index holds IDs that find the loaded entries.
        for (int i = 0; i < loaded.Diary()->Indexer().Count(); ++i) {
            const TDiaryEntry* e = loaded.Diary()->FindItemID(int(loaded.Diary()->Indexer().Objects(i)));
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(TDiary::MakeKey(e->Date()), loaded.Diary()->Indexer().Strings(i));
        }
    }
}

TEST_F(DiaryFile, FirstSaveDateIsKeptBySecondSave)
{
    TDiaryDB db;
    db.SaveToFile(Path(QStringLiteral("f.dry")));
    const TDateTime first = db.FUD();
    SetClock([] { return EncodeDate(2030, 1, 1); });
    db.SaveToFile(Path(QStringLiteral("f.dry")));
    EXPECT_EQ(db.FUD(), first);
    TDiaryDB loaded;
    ASSERT_EQ(loaded.LoadFromFile(Path(QStringLiteral("f.dry")), true, QString()), lsNoError);
    EXPECT_EQ(loaded.FUD(), first);
}

TEST_F(DiaryFile, FileLayoutIsMagicCrcAndPackedPasswordAndStream)
{
    TDiaryDB db;
    db.Diary()->SetPassword(QStringLiteral("pw"));
    const QByteArray file = db.SaveToBytes();
    ASSERT_GE(file.size(), 12);
    EXPECT_EQ(file.left(4), QByteArrayLiteral("DR10"));
    const QByteArray packed = file.mid(8);
    const quint32 crc = Crc32(packed.constData(), packed.size());
    EXPECT_EQ(file.mid(4, 4), QByteArray(reinterpret_cast<const char*>(&crc), 4));
    const QByteArray payload = LZHUnpackBlob(packed);
    EXPECT_TRUE(payload.startsWith(QByteArray("pw\0\xFF\x0A\x00TDIARYDB\0", 15)));

    TDiaryDB empty;
    EXPECT_TRUE(LZHUnpackBlob(empty.SaveToBytes().mid(8)).startsWith(QByteArray("\0\xFF", 2)));
}

TEST_F(DiaryFile, EveryStatusHasItsMessage)
{
    const QString messages[] = {
        QStringLiteral("No error occurred"),
        QStringLiteral("The diary file cannot be opened"),
        QStringLiteral("The file does not appear to be a valid diary file"),
        QStringLiteral("The diary file appears to be corrupted"),
        QStringLiteral("The password provided is incorrect"),
        QStringLiteral("Decryption of the file failed"),
        QStringLiteral("Diary collection appears corrupted"),
    };
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(TDiaryDB::StatusToErrorStr(i), messages[i]);
    EXPECT_TRUE(TDiaryDB::StatusToErrorStr(7).isEmpty());
    EXPECT_TRUE(TDiaryDB::StatusToErrorStr(-1).isEmpty());
}

TEST_F(DiaryFile, EveryFailureStatusFromARealFile)
{
    TDiaryDB source;
    Fill(source);
    source.Diary()->SetPassword(QStringLiteral("Secret"));
    source.SaveToFile(Path(QStringLiteral("good.dry")));
    const QByteArray good = ReadWholeFile(Path(QStringLiteral("good.dry")));

    const auto load = [this](const QString& name, const QString& password = QStringLiteral("Secret")) {
        TDiaryDB db;
        return db.LoadFromFile(Path(name), true, password);
    };

    EXPECT_EQ(load(QStringLiteral("missing.dry")), lsCannotOpen);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.dry")));
    EXPECT_EQ(load(QStringLiteral("folder.dry")), lsCannotOpen);

    QByteArray badMagic = good;
    badMagic[0] = 'X';
    WriteFile(QStringLiteral("magic.dry"), badMagic);
    EXPECT_EQ(load(QStringLiteral("magic.dry")), lsNotDiaryFile);
    for (int n = 0; n < 4; ++n) {
        WriteFile(QStringLiteral("short.dry"), good.left(n));
        EXPECT_EQ(load(QStringLiteral("short.dry")), lsNotDiaryFile) << n << " bytes";
    }
    WriteFile(QStringLiteral("nul.dry"), QByteArray("DR\0\0rest", 8));
    EXPECT_EQ(load(QStringLiteral("nul.dry")), lsNotDiaryFile);

    for (int n = 4; n < 12; ++n) {
        WriteFile(QStringLiteral("tiny.dry"), good.left(n));
        const int status = load(QStringLiteral("tiny.dry"));
        EXPECT_TRUE(status == lsCorrupted || status == lsDecompressFailed) << n << " bytes gave " << status;
    }
    for (qsizetype at : {qsizetype(8), qsizetype(12), good.size() / 2, good.size() - 1}) {
        QByteArray flipped = good;
        flipped[at] = char(flipped[at] ^ 0x01);
        WriteFile(QStringLiteral("crc.dry"), flipped);
        EXPECT_EQ(load(QStringLiteral("crc.dry")), lsCorrupted) << "byte " << at;
    }

    EXPECT_EQ(load(QStringLiteral("good.dry"), QStringLiteral("secret")), lsWrongPassword);
    EXPECT_EQ(load(QStringLiteral("good.dry"), QString()), lsWrongPassword);
    EXPECT_EQ(load(QStringLiteral("good.dry"), QStringLiteral("Secret ")), lsWrongPassword);
    EXPECT_EQ(load(QStringLiteral("good.dry")), lsNoError);

    // A correct CRC around a blob whose size prefix is impossible.
    WriteFile(QStringLiteral("negative.dry"), Frame(QByteArray("\xFF\xFF\xFF\xFF\x12\x34", 6)));
    EXPECT_EQ(load(QStringLiteral("negative.dry")), lsDecompressFailed);
    WriteFile(QStringLiteral("huge.dry"), Frame(QByteArray("\x00\x00\x00\x40\x12\x34", 6)));
    EXPECT_EQ(load(QStringLiteral("huge.dry")), lsDecompressFailed);
    WriteFile(QStringLiteral("noprefix.dry"), Frame(QByteArray("\x01\x00", 2)));
    EXPECT_EQ(load(QStringLiteral("noprefix.dry")), lsDecompressFailed);

    // The right password in front of a stream that is not one.
    WriteFile(QStringLiteral("stream.dry"), Frame(LZHPackBlob(QByteArray("Secret\0garbage", 14))));
    EXPECT_EQ(load(QStringLiteral("stream.dry")), lsCollectionCorrupted);
    WriteFile(QStringLiteral("nozero.dry"), Frame(LZHPackBlob(QByteArrayLiteral("Secret"))));
    EXPECT_EQ(load(QStringLiteral("nozero.dry")), lsCollectionCorrupted);
}

TEST_F(DiaryFile, AFailedLoadLeavesNothingOfTheFileAndTheFlagsAsTheyWere)
{
    // A stream that fails after its first entry was read.
    TDiaryDB source;
    Fill(source);
    TMemoryStream stream;
    stream.WriteBytes(QByteArray(1, '\0')); // empty password
    const QByteArray full = [&] {
        TDiaryDB copy;
        Fill(copy);
        return copy.SaveToBytes(false);
    }();
    const qsizetype cut = full.indexOf(QByteArray("\x01\x04" "Date", 6), full.indexOf("\x01\x04" "Date") + 1);
    ASSERT_GT(cut, 0);
    stream.WriteBytes(full.left(cut + 3));
    WriteFile(QStringLiteral("partial.dry"), Frame(LZHPackBlob(stream.Bytes())));

    TDiaryDB db;
    db.Info()->UpdateItemByName(QStringLiteral("edtKeep"), QStringLiteral("kept"));
    db.AddEntry(40000, QStringLiteral("old"), {}, {}, {}, 0);
    db.Diary()->SetModified(false);
    db.Modified = false;
    EXPECT_EQ(db.LoadFromFile(Path(QStringLiteral("partial.dry")), true, QString()), lsCollectionCorrupted);
    EXPECT_EQ(db.Diary()->Count(), 0);
    EXPECT_EQ(db.Diary()->Indexer().Count(), 0);
    EXPECT_FALSE(db.Modified);
    EXPECT_FALSE(db.Diary()->Modified());
    EXPECT_EQ(db.Info()->GetItemByName(QStringLiteral("edtKeep")), QStringLiteral("kept"));
    EXPECT_EQ(db.Info()->Count(), 1);
}

TEST_F(DiaryFile, AnEmptyInfoListInTheFileKeepsTheRecordsInMemory)
{
    TDiaryDB source;
    source.AddEntry(40000, QStringLiteral("t"), QStringLiteral("b"), {}, {}, 0);
    source.SaveToFile(Path(QStringLiteral("noinfo.dry")));

    TDiaryDB db;
    db.Info()->UpdateItemByName(QStringLiteral("edtA"), QStringLiteral("mine"));
    ASSERT_EQ(db.LoadFromFile(Path(QStringLiteral("noinfo.dry")), true, QString()), lsNoError);
    EXPECT_EQ(db.Info()->GetItemByName(QStringLiteral("edtA")), QStringLiteral("mine"));
    EXPECT_EQ(db.Diary()->Count(), 1);
}

TEST_F(DiaryFile, OnlyTheStoredPasswordOpensADiary)
{
    const QString greek = QString::fromUtf8("\xCE\xB1\xCE\xB2\xCE\xB3");
    const QString otherGreek = QString::fromUtf8("\xCE\xB4\xCE\xB5\xCE\xB6");
    const QString western = QStringLiteral("Gr\u00FC\u00DFe \u20AC\u2030");
    const struct {
        QString saved;
        QString typed;
        int status;
    } cases[] = {
        {western, western, lsNoError},
        {QStringLiteral("???"), QStringLiteral("???"), lsNoError},
        {QStringLiteral("???"), greek, lsWrongPassword},
        {QStringLiteral("a?c"), QStringLiteral("a\u03B2c"), lsWrongPassword},
        // Saved before such passwords were refused: the file holds "???".
        {greek, greek, lsWrongPassword},
        {greek, otherGreek, lsWrongPassword},
        {greek, QStringLiteral("???"), lsNoError},
        {QString(), QString(QChar(0)), lsWrongPassword},
        {QStringLiteral("a"), QStringLiteral("a") + QChar(0), lsWrongPassword},
    };
    for (const auto& c : cases) {
        TDiaryDB db;
        db.Diary()->SetPassword(c.saved);
        const QByteArray file = db.SaveToBytes();
        TDiaryDB loaded;
        EXPECT_EQ(loaded.LoadFromBytes(file, true, c.typed), c.status) << c.saved.toStdString() << " typed as "
                                                                         << c.typed.toStdString();
    }
    // Western European passwords stay byte for byte in the code page.
    TDiaryDB db;
    db.Diary()->SetPassword(western);
    EXPECT_TRUE(LZHUnpackBlob(db.SaveToBytes().mid(8)).startsWith(QByteArray("Gr\xFC\xDF" "e \x80\x89\0", 9)));
}

TEST_F(DiaryFile, PasswordStorageErrorNamesWhatTheFileCannotKeep)
{
    const struct {
        QString password;
        QString refused; // empty: the password is accepted
    } cases[] = {
        {QString(), QString()},
        {QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xC5\x93 \xC2\xBF?"), QString()},
        {QString::fromUtf8("\xCE\xB1\xCE\xB2\xCE\xB3"), QString::fromUtf8("\xCE\xB1 \xCE\xB2 \xCE\xB3")},
        {QString::fromUtf8("ab\xCE\xB1\xCE\xB1\xD0\x96"), QString::fromUtf8("\xCE\xB1 \xD0\x96")},
        {QString::fromUtf8("x\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80")},
        {QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("U+0000")},
        {QString(QChar(0xD800)), QStringLiteral("U+D800")},
    };
    for (const auto& c : cases) {
        const QString error = PasswordStorageError(c.password);
        if (c.refused.isEmpty())
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        else
            EXPECT_EQ(error, QStringLiteral("The password cannot contain these characters: ") + c.refused
                                 + QStringLiteral("\r\nPlease use only Western European letters, digits and signs."))
                << error.toStdString();
    }
}

TEST_F(DiaryFile, TheComponentTagIsKeptByALoad)
{
    TDiaryDB db;
    db.SetTag(-123456);
    const QByteArray tagged = db.SaveToBytes();
    TDiaryDB loaded;
    ASSERT_EQ(loaded.LoadFromBytes(tagged, true, QString()), lsNoError);
    EXPECT_EQ(loaded.Tag(), -123456);
    // A file without a tag leaves the one in memory, as any absent property.
    TDiaryDB untagged;
    ASSERT_EQ(loaded.LoadFromBytes(untagged.SaveToBytes(), true, QString()), lsNoError);
    EXPECT_EQ(loaded.Tag(), -123456);
}

TEST_F(DiaryFile, SavingReplacesTheFileWholeAndFailsLoudly)
{
    TDiaryDB db;
    Fill(db);
    db.SaveToFile(Path(QStringLiteral("s.dry")));
    TDiaryDB small;
    small.SaveToFile(Path(QStringLiteral("s.dry")));
    TDiaryDB loaded;
    ASSERT_EQ(loaded.LoadFromFile(Path(QStringLiteral("s.dry")), true, QString()), lsNoError);
    EXPECT_EQ(loaded.Diary()->Count(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("s.dry")});

    EXPECT_THROW(db.SaveToFile(Path(QStringLiteral("no/such/folder/x.dry"))), Exception);
}

TEST_F(DiaryFile, TheBareStreamFormReadsBackAndClearsTheFlag)
{
    TDiaryDB db;
    Fill(db);
    db.SaveToFile(Path(QStringLiteral("bare.dry")), false);
    EXPECT_FALSE(db.Modified);
    EXPECT_FALSE(ReadWholeFile(Path(QStringLiteral("bare.dry"))).startsWith("DR10"));
    TDiaryDB loaded;
    ASSERT_EQ(loaded.LoadFromFile(Path(QStringLiteral("bare.dry")), false, QString()), lsNoError);
    ExpectSameContent(db, loaded);
}

namespace {

using IndexLines = QList<std::pair<QString, QString>>; // key, title of the entry it holds

IndexLines IndexOf(const TDiary& diary)
{
    IndexLines lines;
    for (int i = 0; i < diary.Indexer().Count(); ++i) {
        const TDiaryEntry* entry = diary.FindItemID(int(diary.Indexer().Objects(i)));
        lines.append({ diary.Indexer().Strings(i), entry ? entry->Title() : QStringLiteral("(no entry)") });
    }
    return lines;
}

// One key a day in key order, holding the first of the day's entries in
// collection order; entries without a date never, deleted ones when asked.
IndexLines FirstOfEachDay(const TDiary& diary, bool withDeleted)
{
    std::map<QString, QString> first;
    for (int i = 0; i < diary.Count(); ++i) {
        const TDiaryEntry* entry = diary.Items(i);
        if (entry->Date() != 0 && (withDeleted || !entry->Deleted()))
            first.emplace(TDiary::MakeKey(entry->Date()), entry->Title());
    }
    return IndexLines(first.begin(), first.end());
}

} // namespace

TEST(DiaryIndex, ADiaryOutOfDateOrderIndexesTheFirstEntryOfEachDay)
{
    // 600 entries on at most 150 days over 1,600 years, in no order, a few
    // without a date.
    TDiaryDB source;
    std::mt19937 rng(23);
    for (int i = 0; i < 600; ++i) {
        TDiaryEntry* entry = source.Diary()->Add();
        entry->SetTitle(QString::number(i));
        if (i % 50 != 7)
            entry->SetDate(EncodeDate(900, 1, 1) + double(rng() % 150) * 4000);
    }
    const QByteArray file = source.SaveToBytes();

    TDiaryDB loaded;
    loaded.AddEntry(EncodeDate(2000, 1, 1), QStringLiteral("before the load"), {}, {}, {}, 0);
    ASSERT_EQ(loaded.LoadFromBytes(file, true, QString()), lsNoError);
    const IndexLines expected = FirstOfEachDay(*loaded.Diary(), false);
    EXPECT_LT(expected.size(), loaded.Diary()->Count() / 3); // days of several entries
    EXPECT_EQ(IndexOf(*loaded.Diary()), expected);

    // Rebuilt, the index leaves deleted entries out; another of the day takes its place.
    for (int i = 0; i < loaded.Diary()->Count(); i += 3)
        loaded.Diary()->Items(i)->SetDeleted(true);
    loaded.Diary()->RebuildIndexer();
    EXPECT_EQ(IndexOf(*loaded.Diary()), FirstOfEachDay(*loaded.Diary(), false));
    EXPECT_NE(IndexOf(*loaded.Diary()), expected);

    // Taken over whole, every entry is indexed as it joins, deleted or not.
    TDiaryDB target;
    target.AddEntry(EncodeDate(2000, 1, 1), QStringLiteral("replaced"), {}, {}, {}, 0);
    const IndexLines joined = FirstOfEachDay(*loaded.Diary(), true);
    target.ReplaceContentWith(loaded);
    EXPECT_EQ(IndexOf(*target.Diary()), joined);
    EXPECT_EQ(joined, expected);
}

TEST_F(DiaryFile, AWrongPasswordIsRefusedBeforeTheRestIsUnpacked)
{
    // 8 MB of code announcing 384 MB: only the password and its 0 byte are
    // unpacked before the password is refused.
    WriteFile(QStringLiteral("big.dry"), Frame(Inflating(QByteArray("Secret\0", 7), 8 << 20)));
    for (const QString& typed : { QStringLiteral("secret"), QString(), QString(255, u'S') }) {
        const qint64 before = TLZH::TotalUnpacked();
        TDiaryDB db;
        EXPECT_EQ(db.LoadFromFile(Path(QStringLiteral("big.dry")), true, typed), lsWrongPassword);
        EXPECT_LE(TLZH::TotalUnpacked() - before, 256) << typed.toStdString();
    }
    // The right one pays for the rest, and a real diary loads whole.
    TDiaryDB source;
    Fill(source);
    source.Diary()->SetPassword(QStringLiteral("Secret"));
    const QByteArray file = source.SaveToBytes();
    const qint64 payload = LZHUnpackBlob(file.mid(8)).size();
    const qint64 before = TLZH::TotalUnpacked();
    TDiaryDB db;
    ASSERT_EQ(db.LoadFromBytes(file, true, QStringLiteral("Secret")), lsNoError);
    EXPECT_EQ(TLZH::TotalUnpacked() - before, payload);
    ExpectSameContent(source, db);
}

TEST_F(DiaryFile, ThePasswordEndsWithin256Bytes)
{
    const auto saved = [](const QString& password) {
        TDiaryDB db;
        db.AddEntry(40000, QStringLiteral("t"), QStringLiteral("b"), {}, {}, 0);
        db.Diary()->SetPassword(password);
        return db.SaveToBytes();
    };
    const auto packed = [this](const QByteArray& payload) { return Frame(LZHPackBlob(payload)); };
    const QString longest(255, u'p');
    const struct {
        const char* what;
        QByteArray file;
        QString typed;
        int status;
    } cases[] = {
        { "the longest password", saved(longest), longest, lsNoError },
        { "one short of it", saved(longest), QString(254, u'p'), lsWrongPassword },
        // No window takes a longer password: the file is damaged, whatever is typed.
        { "a byte longer", saved(longest + u'p'), longest + u'p', lsCollectionCorrupted },
        { "a byte longer, typed short", saved(longest + u'p'), QStringLiteral("p"), lsCollectionCorrupted },
        { "no 0 byte in a long payload", packed(QByteArray(100000, 'p')), longest, lsCollectionCorrupted },
        { "a short payload without a 0 byte", packed(QByteArray(256, 'p')), QString(256, u'p'), lsCollectionCorrupted },
        { "and another password", packed(QByteArray(256, 'p')), longest, lsWrongPassword },
        { "an empty payload", packed({}), QString(), lsCollectionCorrupted },
        { "and a password", packed({}), QStringLiteral("p"), lsWrongPassword },
    };
    for (const auto& c : cases) {
        TDiaryDB db;
        EXPECT_EQ(db.LoadFromBytes(c.file, true, c.typed), c.status) << c.what;
    }
}

TEST_F(DiaryFile, OnlyARegularFileIsRead)
{
    // Read whole, /dev/zero would fill the memory; opening a FIFO would wait
    // for a writer for ever.
    const QString fifo = Path(QStringLiteral("fifo.dry"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& name : { QStringLiteral("/dev/zero"), fifo }) {
        TDiaryDB db;
        EXPECT_EQ(db.LoadFromFile(name, true, QString()), lsNotDiaryFile) << name.toStdString();
    }
    // A link to a diary file is read as the file.
    TDiaryDB().SaveToFile(Path(QStringLiteral("real.dry")));
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("real.dry")), Path(QStringLiteral("link.dry"))));
    TDiaryDB db;
    EXPECT_EQ(db.LoadFromFile(Path(QStringLiteral("link.dry")), true, QString()), lsNoError);
}

TEST_F(DiaryFile, AFileWithoutTheMagicIsRefusedOnItsFirstBytes)
{
    XorShift32 random { 7 };
    QByteArray noise(64 << 10, Qt::Uninitialized);
    for (char& c : noise)
        c = char(random.Next());
    constexpr qint64 kLarge = 8 << 20;
    // The bytes, then zeros (a hole) up to size; readWhole: the magic holds,
    // so the rest is read for the CRC.
    const struct {
        const char* what;
        QByteArray head;
        qint64 size;
        int status;
        bool readWhole;
    } cases[] = {
        { "empty", {}, 0, lsNotDiaryFile, false },
        { "1 byte", "D", 1, lsNotDiaryFile, false },
        { "3 bytes", "DR1", 3, lsNotDiaryFile, false },
        { "a 0 byte in the magic", QByteArray("DR\0X", 4), 4, lsNotDiaryFile, false },
        { "wrong magic", "DR11", 12, lsNotDiaryFile, false },
        { "a large file, wrong magic", "XR10", kLarge, lsNotDiaryFile, false },
        { "random bytes", noise, noise.size(), lsNotDiaryFile, false },
        { "the magic alone", "DR10", 4, lsCorrupted, true },
        { "the magic and half a CRC", "DR10\x01\x02", 6, lsCorrupted, true },
        { "the CRC of nothing, no size prefix", QByteArray("DR10\0\0\0\0", 8), 8, lsDecompressFailed, true },
        { "random bytes after the magic", "DR10" + noise, 4 + noise.size(), lsCorrupted, true },
        { "a large file after the magic", "DR10", kLarge, lsCorrupted, true },
    };
    for (const auto& c : cases) {
        const QString name = Path(QStringLiteral("head.dry"));
        QFile::remove(name);
        WriteFile(QStringLiteral("head.dry"), c.head);
        ASSERT_TRUE(QFile::resize(name, c.size)) << c.what;
        const qint64 before = TotalFileBytesRead();
        TDiaryDB db;
        EXPECT_EQ(db.LoadFromFile(name, true, QString()), c.status) << c.what;
        const qint64 read = TotalFileBytesRead() - before;
        if (c.readWhole)
            EXPECT_EQ(read, c.size) << c.what;
        else
            EXPECT_LE(read, 4) << c.what;
        TDiaryDB whole;
        EXPECT_EQ(whole.LoadFromBytes(ReadWholeFile(name), true, QString()), c.status) << c.what;
    }
}
