// The diary exported as one RTF document, read back with our reader (and,
// where LibreOffice is installed, with a word processor): days in date
// order, each under its heading, bodies with their own formatting.

#include "app/diary_export.h"
#include "platform_richtext/rtf_test_support.h"

#include "engine/diary.h"
#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"
#include "platform/gui/graphics.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <vector>

namespace {

QString Rtf(const char* body)
{
    return S("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}}"
             "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\f0\\fs24 ")
        + S(body) + S("}");
}

struct Day {
    int year, month, day;
    QString title;
    QString body;
    QString shownTitle;
    QStringList bodyLines;
};

class DiaryExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        font.SetName(S("Arial"));
        font.SetSize(10);
        // A two-digit year in the system's short date: headings still show
        // the whole year, since days of any century are exported.
        FormatSettings().ShortDateFormat = S("M/d/yy");
        FormatSettings().DateSeparator = u'/';
    }
    void TearDown() override { ResetFormatSettings(); }

    static QString Shown(TDateTime date) { return FormatDateTime(S("M/d/yyyy"), date); }

    // The exported document as our reader sees it; counts the days reported done.
    void Export(const TDiaryDB& db, QTextDocument& doc)
    {
        done = 0;
        const QByteArray rtf = DiaryToRtf(db, font, [this] { ++done; });
        ASSERT_TRUE(IsRtf(rtf));
        ASSERT_TRUE(ReadRtf(rtf, doc));
    }

    static QString Heading(const Day& d)
    {
        return Shown(EncodeDate(d.year, d.month, d.day)) + S(" - ") + d.shownTitle;
    }

    // Every paragraph of a heading is bold, underlined and 14 points.
    static void ExpectHeadingFormat(const QTextDocument& doc, int blockNumber)
    {
        const QTextBlock block = doc.findBlockByNumber(blockNumber);
        ASSERT_FALSE(block.text().isEmpty());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            EXPECT_TRUE(Bold(f) && f.fontUnderline() && f.fontPointSize() == 14) << qPrintable(block.text());
        }
    }

    TFont font;
    int done = 0;
};

TEST_F(DiaryExport, WrittenDaysFollowInDateOrderEachUnderItsHeading)
{
    TDiaryDB db;
    QTextDocument doc;
    Export(db, doc);
    EXPECT_TRUE(doc.isEmpty()) << "an empty diary is an empty document";
    EXPECT_EQ(done, 0);

    // In the order they are written, not the calendar's.
    const std::vector<Day> days = {
        { 2024, 3, 5, S("Spring"),
            Rtf("A \\b\\cf1 red\\b0\\cf0  word and {\\fs40 big} text\\par\\qc Centred line\\par"), S("Spring"),
            { S("A red word and big text"), S("Centred line") } },
        { 1850, 6, 1, S("Old times"), S("Plain first line\r\nsecond line"), S("Old times"),
            { S("Plain first line"), S("second line") } },
        { 2023, 12, 31, S("Nothing written"), QString(), S("Nothing written"), { QString() } },
        { 2024, 1, 10, QString(), Rtf("Quiet day\\par"), QString(), { S("Quiet day") } },
        { 1999, 7, 4, S("Two\r\nlines\nhere"), S("{\\rtf1\\ansi No font here\\par}"), S("Two lines here"),
            { S("No font here") } },
    };
    for (const Day& d : days)
        db.AddEntry(EncodeDate(d.year, d.month, d.day), d.title, d.body, QString(), QString(), 0);
    Export(db, doc);
    EXPECT_EQ(done, 5);

    // An empty line, the heading, an empty line, then the body.
    const int order[] = { 1, 4, 2, 3, 0 };
    QStringList expected;
    QList<int> headings;
    for (int i : order) {
        headings.append(int(expected.size()) + 1);
        expected << QString() << Heading(days[i]) << QString() << days[i].bodyLines;
    }
    EXPECT_EQ(DocText(doc), expected.join(u'\n'));
    for (int block : headings)
        ExpectHeadingFormat(doc, block);

    // A heading is set in its body's first character's font.
    EXPECT_EQ(FormatFontName(doc.findBlockByNumber(headings[0]).charFormat()), S("Arial")) << "plain body";
    EXPECT_EQ(FormatFontName(FormatOf(doc, Heading(days[0]))), S("Times New Roman"));
    EXPECT_EQ(FormatFontName(FormatOf(doc, Heading(days[2]))), S("Arial")) << "empty body";

    // Bodies keep their formatting and take nothing of the heading's.
    const QTextCharFormat red = FormatOf(doc, S("red"));
    EXPECT_TRUE(Bold(red));
    EXPECT_EQ(Rgb(red), 0xFF0000u);
    EXPECT_FALSE(red.fontUnderline());
    for (const char* word : { "red", "word", "big", "Centred", "Quiet", "Plain", "second", "No font" }) {
        const QTextCharFormat f = FormatOf(doc, S(word));
        EXPECT_FALSE(f.fontUnderline()) << word;
        EXPECT_NE(f.fontPointSize(), 14) << word;
    }
    EXPECT_FALSE(Bold(FormatOf(doc, S("word"))));
    EXPECT_EQ(FormatOf(doc, S("word")).fontPointSize(), 12);
    EXPECT_EQ(FormatOf(doc, S("big")).fontPointSize(), 20);
    EXPECT_EQ(
        doc.find(S("Centred line")).block().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(doc.find(S("A red")).block().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    // Plain text and runs without a font are in the body font.
    for (const char* words : { "Plain first line", "second line", "No font here" }) {
        const QTextCharFormat f = FormatOf(doc, S(words));
        EXPECT_EQ(FormatFontName(f), S("Arial")) << words;
        EXPECT_EQ(f.fontPointSize(), words[0] == 'N' ? 12 : 10) << words;
        EXPECT_FALSE(Bold(f)) << words;
    }

    // A written day the diary cannot find stops the export.
    db.Diary()->Indexer().AddObject(S("20300101"), 12345);
    EXPECT_THROW(DiaryToRtf(db, font), Exception);
}

// More days than a 10,001-day walk from 1900 reaches, half of them earlier.
TEST_F(DiaryExport, EveryDayOfALongDiaryIsExportedInOrder)
{
    constexpr int kDays = 12000;
    // The diary's index never holds day 0 (30 December 1899), so it is left out.
    const auto date = [first = EncodeDate(1880, 1, 1)](int i) { return first + i + (first + i >= 0 ? 1 : 0); };
    TDiaryDB db;
    for (int i = kDays - 1; i >= 0; --i)
        db.AddEntry(date(i), S("Day %1").arg(i), S("Body %1").arg(i), QString(), QString(), 0);
    QTextDocument doc;
    Export(db, doc);
    EXPECT_EQ(done, kDays);

    const QStringList lines = DocText(doc).split(u'\n');
    ASSERT_EQ(lines.size(), 4 * kDays);
    int wrong = 0;
    for (int i = 0; i < kDays; ++i) {
        const QString heading = Shown(date(i)) + S(" - Day %1").arg(i);
        if (lines[4 * i + 1] != heading || lines[4 * i + 3] != S("Body %1").arg(i)) {
            ADD_FAILURE_AT(__FILE__, __LINE__) << "day " << i << ": " << qPrintable(lines[4 * i + 1]);
            if (++wrong == 5)
                break;
        }
    }
    EXPECT_EQ(lines[1], Shown(EncodeDate(1880, 1, 1)) + S(" - Day 0"));
    EXPECT_EQ(lines.last(), S("Body %1").arg(kDays - 1));
}

// A word processor reads the file: LibreOffice's text of it has every
// heading and body in order.
TEST_F(DiaryExport, LibreOfficeReadsTheDaysInOrder)
{
    const QString soffice = QStandardPaths::findExecutable(S("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    TDiaryDB db;
    db.AddEntry(EncodeDate(2024, 5, 2), S("Second"), Rtf("Some \\b bold\\b0  words\\par"), QString(), QString(), 0);
    db.AddEntry(EncodeDate(1890, 2, 3), S("First"), S("Plain words"), QString(), QString(), 0);
    db.AddEntry(EncodeDate(2025, 1, 1), QString(), QString(), QString(), QString(), 0);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(S("export.rtf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(DiaryToRtf(db, font));
    file.close();

    QProcess office;
    office.start(soffice,
        { S("-env:UserInstallation=") + QUrl::fromLocalFile(dir.filePath(S("profile"))).toString(), S("--headless"),
            S("--convert-to"), S("txt:Text"), S("--outdir"), dir.path(), file.fileName() });
    ASSERT_TRUE(office.waitForFinished(120000)) << "LibreOffice did not finish";
    QFile text(dir.filePath(S("export.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << office.readAllStandardError().constData();
    const QString converted = QString::fromUtf8(text.readAll());
    qsizetype at = 0;
    for (const QString& part : { Shown(EncodeDate(1890, 2, 3)) + S(" - First"), S("Plain words"),
             Shown(EncodeDate(2024, 5, 2)) + S(" - Second"), S("Some bold words"),
             Shown(EncodeDate(2025, 1, 1)) + S(" - ") }) {
        const qsizetype found = converted.indexOf(part, at);
        EXPECT_GE(found, at) << qPrintable(part) << " in\n" << qPrintable(converted);
        at = std::max(at, found);
    }
}

} // namespace
