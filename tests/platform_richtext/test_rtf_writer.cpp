// The RTF writer: round trips through the reader keep text and every
// attribute the entry editor can set, the output is the compact standard
// form, and a word processor opens it.
#include "fuzz/rtf_round_trip.h"
#include "rtf_test_support.h"
#include "support/fuzz_inputs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>

namespace {

// The nine colours of the entry editor's colour menu, as 0x00BBGGRR.
constexpr quint32 kMenuColours[]
    = { 0x000000, 0x800000, 0x000080, 0x008080, 0x008000, 0x800080, 0x00FF00, 0x0000FF, 0x808080 };

QColor FromBgr(quint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

struct Span {
    QString text;
    QString font = QStringLiteral("Arial");
    double size = 10;
    unsigned style = 0; // 1 bold, 2 italic, 4 underline, 8 strike-out
    int colour = -1; // index into kMenuColours; -1 automatic
};

void Add(QTextCursor& c, const Span& s)
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList { s.font });
    f.setFontPointSize(s.size);
    f.setFontWeight(s.style & 1 ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.style & 2);
    f.setFontUnderline(s.style & 4);
    f.setFontStrikeOut(s.style & 8);
    if (s.colour >= 0)
        f.setForeground(FromBgr(kMenuColours[s.colour]));
    c.insertText(s.text, f);
}

void NewParagraph(QTextCursor& c, Qt::Alignment align)
{
    QTextBlockFormat b;
    b.setAlignment(align);
    c.insertBlock(b);
}

// An entry with every attribute the editor sets, several paragraphs, an
// empty one in the middle and one at the end, and text beyond ASCII.
void BuildEntry(QTextDocument& doc)
{
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor c(&doc);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centre);
    Add(c, { QStringLiteral("Title of the day"), QStringLiteral("Times New Roman"), 18, 1 | 4 });
    NewParagraph(c, Qt::AlignLeft);
    for (int i = 0; i < 9; ++i)
        Add(c, { QStringLiteral("colour%1 ").arg(i), QStringLiteral("Arial"), 10, 0, i });
    NewParagraph(c, Qt::AlignRight);
    const double sizes[] = { 3, 8, 11, 14, 36, 72 };
    for (double size : sizes)
        Add(c, { QStringLiteral("size "), QStringLiteral("Courier New"), size });
    NewParagraph(c, Qt::AlignLeft);
    NewParagraph(c, Qt::AlignJustify);
    for (unsigned style = 0; style < 16; ++style)
        Add(c, { QStringLiteral("s%1 ").arg(style), QStringLiteral("MS Sans Serif"), 8, style, int(style % 9) });
    NewParagraph(c, Qt::AlignLeft);
    Add(c, { QStringLiteral("café € Привет αβγ 日本語 \U0001F600 a\u00A0b \t{braces} back\\slash\u2028next line") });
    NewParagraph(c, Qt::AlignLeft);
}

// Text, paragraph alignment and the editor's attributes of every character agree.
void ExpectSameDocument(const QTextDocument& a, const QTextDocument& b)
{
    ASSERT_EQ(DocText(a), DocText(b));
    ASSERT_EQ(a.blockCount(), b.blockCount());
    for (int i = 0; i < a.blockCount(); ++i)
        EXPECT_EQ(AlignOf(a, i), AlignOf(b, i)) << "paragraph " << i;
    const QString text = a.toRawText();
    for (int pos = 0; pos < text.size(); ++pos) {
        if (text[pos] == QChar(0x2029))
            continue;
        const QTextCharFormat fa = FormatAt(a, pos), fb = FormatAt(b, pos);
        const auto where = [&] { return testing::Message() << "at " << pos << " '" << qPrintable(text.mid(pos, 8)); };
        EXPECT_EQ(FormatFontName(fa), FormatFontName(fb)) << where();
        EXPECT_EQ(fa.fontPointSize(), fb.fontPointSize()) << where();
        EXPECT_EQ(Bold(fa), Bold(fb)) << where();
        EXPECT_EQ(fa.fontItalic(), fb.fontItalic()) << where();
        EXPECT_EQ(fa.fontUnderline(), fb.fontUnderline()) << where();
        EXPECT_EQ(fa.fontStrikeOut(), fb.fontStrikeOut()) << where();
        EXPECT_EQ(Rgb(fa), Rgb(fb)) << where();
    }
}

} // namespace

TEST(RtfWriter, RoundTripKeepsTextAndEveryAttributeTheEditorSets)
{
    QTextDocument original;
    BuildEntry(original);
    QTextDocument copy;
    copy.setDefaultFont(original.defaultFont());
    ASSERT_TRUE(ReadRtf(WriteRtf(original), copy));
    ExpectSameDocument(original, copy);
    // All nine menu colours arrive as they were chosen.
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Rgb(FormatOf(copy, QStringLiteral("colour%1").arg(i))), FromBgr(kMenuColours[i]).rgb() & 0xFFFFFF);
    // And the writer's output is a fixed point.
    EXPECT_EQ(WriteRtf(copy), WriteRtf(original));
}

TEST(RtfWriter, OutputIsTheCompactSevenBitFormOfWindowsRichEdit)
{
    QTextDocument doc;
    BuildEntry(doc);
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << rtf.left(60).constData();
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue128;"));
    EXPECT_TRUE(rtf.contains("\\viewkind4\\uc1\\pard\\qc"));
    EXPECT_TRUE(rtf.contains("caf\\'e9 \\'80 \\u1055?"));
    EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?")) << "characters beyond 16 bits as surrogate pairs";
    EXPECT_TRUE(rtf.contains("\\tab \\{braces\\} back\\\\slash\\line next"));
    EXPECT_TRUE(rtf.endsWith("\\par\r\n}\r\n"));
    EXPECT_EQ(rtf.count("\\par\r\n"), doc.blockCount());
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return c > 0 && c < 0x7F; }));
    // A format is stated where it changes, not for every run.
    EXPECT_EQ(rtf.count("\\f1\\fs36\\b\\ul Title"), 1);
    EXPECT_EQ(rtf.count("\\fs20"), 2);
}

TEST(RtfWriter, RangesAndEmptyParagraphsKeepTheirBreaksAndTypingFormat)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor c(&doc);
    Add(c, { QStringLiteral("first") });
    NewParagraph(c, Qt::AlignLeft);
    Add(c, { QStringLiteral("second") });
    QTextDocument part;
    ReadRtf(WriteRtf(doc, 2, 9), part);
    EXPECT_EQ(DocText(part), QStringLiteral("rst\nsec"));
    ReadRtf(WriteRtf(doc, 2, 6), part);
    EXPECT_EQ(DocText(part), QStringLiteral("rst\n")) << "a range ending after a break keeps it";
    ReadRtf(WriteRtf(doc, 5, 5), part);
    EXPECT_EQ(DocText(part), QString());

    // An empty document keeps the format of its empty paragraph, which new typing takes.
    QTextDocument empty;
    QTextCharFormat typing;
    typing.setFontFamilies(QStringList { QStringLiteral("Courier New") });
    typing.setFontPointSize(15);
    typing.setFontWeight(QFont::Bold);
    QTextCursor(&empty).setBlockCharFormat(typing);
    QTextDocument back;
    ReadRtf(WriteRtf(empty), back);
    EXPECT_EQ(back.characterCount(), 1);
    const QTextCharFormat mark = back.firstBlock().charFormat();
    EXPECT_EQ(FormatFontName(mark), QStringLiteral("Courier New"));
    EXPECT_EQ(mark.fontPointSize(), 15.0);
    EXPECT_TRUE(Bold(mark));
}

TEST(RtfWriter, CharacterSetsOtherThanAnsiTravelAsUnicode)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat cyrillic;
    cyrillic.setFontFamilies(QStringList { QStringLiteral("Arial CYR") });
    cyrillic.setProperty(kCharsetProperty, 204);
    c.insertText(QStringLiteral("Жé a"), cyrillic);
    QTextCharFormat symbol;
    symbol.setFontFamilies(QStringList { QStringLiteral("Symbol") });
    symbol.setProperty(kCharsetProperty, 2);
    c.insertText(QStringLiteral("αa"), symbol);
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.contains("\\fcharset204 Arial CYR;"));
    EXPECT_TRUE(rtf.contains("\\u1046?\\u233? a")) << "no ANSI bytes in a Cyrillic font";
    EXPECT_TRUE(rtf.contains("\\u945?\\u97?")) << "no raw bytes in a symbol font";
    QTextDocument back;
    ReadRtf(rtf, back);
    EXPECT_EQ(DocText(back), QStringLiteral("Жé aαa"));
    EXPECT_EQ(FormatAt(back, 0).intProperty(kCharsetProperty), 204);
    EXPECT_EQ(FormatAt(back, 5).intProperty(kCharsetProperty), 2);
}

TEST(RtfWriter, LibreOfficeOpensTheDocumentWithTheSameText)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor c(&doc);
    Add(c, { QStringLiteral("Monday, a good day"), QStringLiteral("Times New Roman"), 16, 1 | 4 });
    NewParagraph(c, Qt::AlignHCenter);
    for (int i = 0; i < 9; ++i)
        Add(c, { QStringLiteral("colour%1 ").arg(i), QStringLiteral("Arial"), 10.0 + i, unsigned(i), i });
    NewParagraph(c, Qt::AlignLeft);
    NewParagraph(c, Qt::AlignRight);
    Add(c, { QStringLiteral("Café, Привет, 日本語, {x} \\ 100%") });

    QFile file(dir.filePath(QStringLiteral("entry.rtf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(WriteRtf(doc));
    file.close();
    QProcess process;
    process.start(soffice,
        { QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
            QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8"),
            QStringLiteral("--outdir"), dir.path(), file.fileName() });
    ASSERT_TRUE(process.waitForFinished(180000)) << "LibreOffice did not finish";
    QFile text(dir.filePath(QStringLiteral("entry.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << process.readAllStandardError().constData();
    QString converted = QString::fromUtf8(text.readAll());
    converted.remove(QChar(0xFEFF));
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (converted.endsWith(u'\n'))
        converted.chop(1);
    EXPECT_EQ(converted, DocText(doc));
}

// Inputs the fuzzer found where writing what was read, reading that and
// writing again gave different RTF.
TEST(RtfWriter, FuzzFindingsReachAFixedPoint)
{
    const auto expectFixedPoint = [](const char* rtf) {
        EXPECT_TRUE(RtfRoundTripIsStable(QByteArray(rtf))) << rtf;
        QTextDocument doc;
        ReadRtf(QByteArray(rtf), doc);
        return DocText(doc);
    };
    // A paragraph mark in a font no character uses listed that font.
    expectFixedPoint("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}\\f1 x\\f0\\par}");
    // A font table after the text made a Symbol character's private-use value
    // depend on when the run was read.
    EXPECT_EQ(expectFixedPoint("{\\rtf1 \\f1\\u-3999?{\\fonttbl{\\f1\\fcharset2 Symbol;}}}"), QStringLiteral("α"));
    // DEL written as a raw byte is no character in the Japanese code page.
    EXPECT_EQ(expectFixedPoint("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Gothic;}}\\f1 a\\u127?b}"),
        QStringLiteral("a\u007Fb"));
}

// Every input kept from the fuzz target's failures reaches a fixed point.
FUZZ_REPLAY_TEST(fuzz_rtf,
    [](const QByteArray& input) { return RtfRoundTripIsStable(input) ? QString() : QStringLiteral("no fixed point"); })

TEST(RtfWriter, FontNamesThatReadBackAsOneShareTheirEntry)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor c(&doc);
    // The last two keep nothing the writer writes: they are the default font.
    for (const QString& name : { QStringLiteral("Courier New"), QStringLiteral("Courier\uFFFC New"),
             QStringLiteral(" Courier New;\t"), QStringLiteral("\uFFFC\uFDD0"), QStringLiteral("\t;") })
        Add(c, { QStringLiteral("x"), name });
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Courier New;}}"))
        << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\f1\\fs20 xxx\\f0 xx\\par")) << rtf.constData();
    QTextDocument back;
    back.setDefaultFont(doc.defaultFont());
    ReadRtf(rtf, back);
    EXPECT_EQ(WriteRtf(back), rtf);

    // Read, such a name gives no font.
    ReadRtf(QByteArray("{\\rtf1{\\fonttbl{\\f1 \\u-4?\\u-560?;}}\\f1 x\\par}"), back);
    EXPECT_EQ(FormatFontName(FormatAt(back, 0)), QString());
}
