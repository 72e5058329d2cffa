// The RTF reader on hand-made documents as Windows' rich edit and word
// processors write them, on 8-bit and Unicode text, and on hostile input.
#include "rtf_test_support.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

namespace {

QTextDocument* Read(QTextDocument& doc, const char* rtf)
{
    EXPECT_TRUE(ReadRtf(QByteArray(rtf), doc));
    return &doc;
}

} // namespace

TEST(RtfReader, WindowsRichEditDocumentGivesTextFontsColoursAndSizes)
{
    QTextDocument doc;
    Read(doc,
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
        "{\\f1\\fswiss\\fprq2\\fcharset0 Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20 Dear \\b diary\\b0 , \\cf1 red\\cf0  and "
        "\\f1\\fs28\\cf2\\i\\ul green\\i0\\ulnone\\par\r\n"
        "\\f0\\fs20\\strike gone\\strike0  back\\par\r\n}\r\n");
    EXPECT_EQ(DocText(doc), QStringLiteral("Dear diary, red and green\ngone back"));
    EXPECT_EQ(doc.blockCount(), 2) << "the final \\par ends the last paragraph, it opens none";

    const QTextCharFormat dear = FormatOf(doc, QStringLiteral("Dear"));
    EXPECT_EQ(FormatFontName(dear), QStringLiteral("Arial"));
    EXPECT_EQ(dear.fontPointSize(), 10.0);
    EXPECT_FALSE(Bold(dear));
    EXPECT_EQ(Rgb(dear), 0xFFFFFFFFu) << "automatic colour";
    EXPECT_EQ(dear.intProperty(kCharsetProperty), 0);
    EXPECT_TRUE(Bold(FormatOf(doc, QStringLiteral("diary"))));
    EXPECT_FALSE(Bold(FormatOf(doc, QStringLiteral(", red"))));
    EXPECT_EQ(Rgb(FormatOf(doc, QStringLiteral("red"))), 0xFF0000u);

    const QTextCharFormat green = FormatOf(doc, QStringLiteral("green"));
    EXPECT_EQ(FormatFontName(green), QStringLiteral("Times New Roman"));
    EXPECT_EQ(green.fontPointSize(), 14.0);
    EXPECT_EQ(Rgb(green), 0x008000u);
    EXPECT_TRUE(green.fontItalic());
    EXPECT_TRUE(green.fontUnderline());
    EXPECT_TRUE(FormatOf(doc, QStringLiteral("gone")).fontStrikeOut());
    EXPECT_FALSE(FormatOf(doc, QStringLiteral("back")).fontStrikeOut());
}

TEST(RtfReader, ParagraphsAlignmentGroupsAndResets)
{
    QTextDocument doc;
    Read(doc,
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc centred\\par right\\qr\\par\\pard left "
        "{\\b inner} outer\\par\\qj\\b\\i\\fs40 styled\\plain  plain\\par\\par}");
    EXPECT_EQ(DocText(doc), QStringLiteral("centred\nright\nleft inner outer\nstyled plain\n"));
    EXPECT_EQ(AlignOf(doc, 0), Qt::AlignHCenter);
    EXPECT_EQ(AlignOf(doc, 1), Qt::AlignRight) << "alignment belongs to the paragraph it ends";
    EXPECT_EQ(AlignOf(doc, 2), Qt::AlignLeft) << "\\pard resets";
    EXPECT_EQ(AlignOf(doc, 3), Qt::AlignJustify);
    EXPECT_TRUE(Bold(FormatOf(doc, QStringLiteral("inner"))));
    EXPECT_FALSE(Bold(FormatOf(doc, QStringLiteral("outer")))) << "a group's end restores the format";
    EXPECT_EQ(FormatOf(doc, QStringLiteral("styled")).fontPointSize(), 20.0);
    const QTextCharFormat plain = FormatOf(doc, QStringLiteral("plain"));
    EXPECT_FALSE(Bold(plain) || plain.fontItalic());
    EXPECT_EQ(plain.fontPointSize(), 12.0) << "RTF's default size";
    EXPECT_EQ(doc.blockCount(), 5) << "two \\par in a row leave an empty paragraph";
}

// How documents from other programs end their paragraphs: the last one
// without a \par, page and section breaks, table rows and their cells.
TEST(RtfReader, ParagraphEndsOfDocumentsFromElsewhere)
{
    constexpr Qt::Alignment L = Qt::AlignLeft, C = Qt::AlignHCenter, R = Qt::AlignRight, J = Qt::AlignJustify;
    const struct {
        const char* rtf;
        QString text; // paragraphs apart by "\n"
        std::vector<Qt::Alignment> align; // of each paragraph
    } cases[] = {
        // The last paragraph keeps its format when no \par closes it.
        { "{\\rtf1\\ansi\\qc Hello}", QStringLiteral("Hello"), { C } },
        { "{\\rtf1\\ansi\\qr one\\par\\pard\\qj two}", QStringLiteral("one\ntwo"), { R, J } },
        { "{\\rtf1\\ansi\\qc open", QStringLiteral("open"), { C } },
        { "{\\rtf1\\ansi\\qc centred\\par}", QStringLiteral("centred"), { C } },
        // Page, section and column breaks end a paragraph, as \par does...
        { "{\\rtf1 one\\page two\\sect three\\column four}", QStringLiteral("one\ntwo\nthree\nfour"), { L, L, L, L } },
        // ...but add none where the paragraph is still empty.
        { "{\\rtf1 a\\page\\par b\\par\\page\\par c\\par\\sect\\sectd\\page}", QStringLiteral("a\n\nb\n\nc"),
            { L, L, L, L, L } },
        // A table row is one paragraph, its cells apart by tabs; a cell's
        // paragraphs are lines of the row.
        { "{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\cellx3000"
          "\\pard\\intbl a\\cell b1\\par b2\\cell c\\cell\\row"
          "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl\\qc d\\cell\\cell f\\cell\\row"
          "\\pard after\\par}",
            QStringLiteral("before\na\tb1\u2028b2\tc\nd\t\tf\nafter"), { L, L, C, L } },
        // Empty cells keep their tabs, the last one too; a cell may start
        // with an empty paragraph, and text after a row is no cell.
        { "{\\rtf1\\trowd\\pard\\intbl x\\cell\\cell\\row\\trowd\\pard\\intbl\\cell\\par y\\cell\\row\\pard z}",
            QStringLiteral("x\t\n\t\u2028y\nz"), { L, L, L } },
        // A table in a cell: its rows are lines of the outer cell.
        { "{\\rtf1\\trowd\\pard\\intbl\\itap2 a\\nestcell b\\nestcell\\nestrow c\\nestcell\\nestrow"
          "\\pard\\intbl\\itap1 \\cell d\\cell\\row}",
            QStringLiteral("a\tb\u2028c\u2028\td"), { L } },
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        Read(doc, c.rtf);
        EXPECT_EQ(DocText(doc), c.text) << c.rtf;
        EXPECT_EQ(size_t(doc.blockCount()), c.align.size()) << c.rtf;
        for (int i = 0; i < doc.blockCount() && size_t(i) < c.align.size(); ++i)
            EXPECT_EQ(AlignOf(doc, i), c.align[size_t(i)]) << c.rtf << ", paragraph " << i;
    }
}

TEST(RtfReader, WordProcessorDocumentShowsOnlyItsText)
{
    QTextDocument doc;
    Read(doc,
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\deff0{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2"
        "{\\*\\panose 02020603050405020304}Times New Roman{\\*\\falt Liberation Serif};}}"
        "{\\colortbl;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"
        "{\\stylesheet{\\ql \\f0\\fs24 \\snext0 Normal;}{\\s1\\ql\\b\\fs32 heading 1;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel{\\leveltext\\'01\\u-3913 ?;}}}}"
        "{\\*\\rsidtbl \\rsid123}{\\*\\generator Some Writer 1.0;}"
        "{\\info{\\title A title}{\\author Someone}{\\creatim\\yr2024\\mo1\\dy2}}"
        "\\paperw11906\\paperh16838\\margl1134{\\header \\pard Page header\\par}{\\footer Footer\\par}"
        "\\pard\\plain \\s1\\b\\fs32 Heading\\par"
        "\\pard\\plain \\fs24 Link: {\\field{\\*\\fldinst {HYPERLINK \"http://example.org/\"}}"
        "{\\fldrslt {\\ul\\cf1 example}}}. "
        "{\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a{\\*\\blipuid 1234}}"
        "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result {\\pict\\wmetafile8 0102}}}"
        "{\\*\\bkmkstart mark}{\\*\\unknowndest hidden words}{\\footnote a note}"
        "\\highlight2 marked\\highlight0  {\\v hidden }\\bin5 {}}x done\\par}");
    EXPECT_EQ(DocText(doc), QStringLiteral("Heading\nLink: example. marked done"));
    EXPECT_EQ(FormatOf(doc, QStringLiteral("Heading")).fontPointSize(), 16.0);
    EXPECT_TRUE(Bold(FormatOf(doc, QStringLiteral("Heading"))));
    const QTextCharFormat link = FormatOf(doc, QStringLiteral("example"));
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(Rgb(link), 0x0000FFu);
    EXPECT_EQ(FormatFontName(link), QStringLiteral("Times New Roman")) << "nested groups in the font table";
    EXPECT_EQ(FormatOf(doc, QStringLiteral("marked")).background().color().rgb() & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(FormatOf(doc, QStringLiteral("done")).background().style(), Qt::NoBrush);
}

TEST(RtfReader, EightBitTextFollowsTheFontsCharacterSet)
{
    QTextDocument doc;
    Read(doc,
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
        "{\\f1\\fnil\\fcharset204 Arial CYR;}{\\f2\\fnil\\fcharset161 Arial Greek;}"
        "{\\f3\\fnil\\fcharset238 Arial CE;}{\\f4\\fnil\\fcharset162 Arial TUR;}"
        "{\\f5\\ftech\\fcharset2 Symbol;}{\\f6\\fnil\\fcharset128 MS Gothic;}{\\f7\\fnil Plain;}}"
        "\\pard\\f0 caf\\'e9 \\'80 \\f1\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\f2\\'e1\\'e2\\'e3 \\f3\\'b9\\'9c "
        "\\f4\\'fd\\'f0 \\f5 a\\'b7\\'ae \\f6\\'82\\'a0\\'82\\'a2 \\f7\\'e9\\par}");
    EXPECT_EQ(DocText(doc), QStringLiteral("café € Привет αβγ ąś ığ α•→ あい é"));
    EXPECT_EQ(FormatOf(doc, QStringLiteral("Привет")).intProperty(kCharsetProperty), 204);

    // A font without a character set takes the document's code page.
    Read(doc, "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\f0\\'e4\\'e0\\par}");
    EXPECT_EQ(DocText(doc), QStringLiteral("да"));
    // Without a font table at all too.
    Read(doc, "{\\rtf1\\ansi\\ansicpg1253 \\'e1\\par}");
    EXPECT_EQ(DocText(doc), QStringLiteral("α"));
}

TEST(RtfReader, UnicodeEscapesSkipTheirFallbackAndSymbolWordsShow)
{
    QTextDocument doc;
    Read(doc,
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\uc1 \\u1046?\\u8364\\'80 x"
        "{\\uc2 \\u26085\\'93\\'fa y}\\u-10179?\\u-8704? \\u-3999?\\f1\\u-3999?\\f0  "
        "\\lquote a\\rquote  \\ldblquote b\\rdblquote  c\\emdash d\\endash e\\bullet f\\~g\\_h\\tab i\\line j"
        "\\{\\}\\\\\\par}");
    EXPECT_EQ(DocText(doc),
        QStringLiteral("Ж€ x日 y\U0001F600 \uF061α \u2018a\u2019 \u201Cb\u201D c\u2014d\u2013e\u2022f\u00A0g"
                       u"\u2011h\ti\u2028j{}\\"));
}

TEST(RtfReader, PlainTextIsNoRtfAndLeavesTheDocumentAlone)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("kept"));
    EXPECT_FALSE(ReadRtf(QByteArray("Just a line of text {\\rtf1 later}"), doc));
    EXPECT_FALSE(ReadRtf(QByteArray(), doc));
    EXPECT_EQ(DocText(doc), QStringLiteral("kept"));
    EXPECT_TRUE(IsRtf(QByteArray("\xEF\xBB\xBF\r\n {\\rtf1 x}")));
    EXPECT_FALSE(IsRtf(QByteArray("{\\rt")));
}

TEST(RtfReader, DamagedInputEndsQuicklyWithWhatItCouldRead)
{
    QTextDocument doc;
    // Unterminated groups, a dangling escape, a broken hex escape, a \bin
    // longer than the input, huge parameters.
    Read(doc, "{\\rtf1 one{\\b two\\'zz\\'4");
    EXPECT_EQ(DocText(doc), QStringLiteral("onetwozz")) << "an escape without hex digits is dropped";
    Read(doc, "{\\rtf1 a\\fs99999999999999\\cf-5\\f123456789012 b\\uc0 \\u99999999 c\\bin999999999 skipped}");
    EXPECT_EQ(DocText(doc), QStringLiteral("abc"));
    Read(doc, "{\\rtf1 text}} after {more}");
    EXPECT_EQ(DocText(doc), QStringLiteral("text")) << "the document ends with its group";

    // Deep nesting, many paragraphs and many formats stay linear.
    QByteArray deep = "{\\rtf1 start";
    deep += QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + " end}";
    QByteArray wide = "{\\rtf1 ";
    for (int i = 0; i < 40000; ++i)
        wide += "{\\b\\fs" + QByteArray::number(i % 500 + 2) + " w}\\par ";
    wide += '}';
    QElapsedTimer timer;
    timer.start();
    Read(doc, deep.constData());
    EXPECT_EQ(DocText(doc), QStringLiteral("start end")) << "groups beyond the depth limit are skipped";
    Read(doc, wide.constData());
    EXPECT_EQ(doc.blockCount(), 40000);
    EXPECT_LT(timer.elapsed(), 20000);
}

TEST(RtfReader, ThousandsOfFontNamesReadAndWriteBackInLinearTime)
{
    constexpr int kFonts = 25000;
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    QByteArray body;
    for (int i = 0; i < kFonts; ++i) {
        const QByteArray n = QByteArray::number(i);
        rtf += "{\\f" + n + "\\fnil\\fcharset0 Family " + n + ";}";
        body += "\\f" + n + " w" + n + ' ';
    }
    rtf += "}" + body + "\\par}";
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    Read(doc, rtf.constData());
    const QByteArray written = WriteRtf(doc);
    QTextDocument back;
    Read(back, written.constData());
    EXPECT_LT(timer.elapsed(), 20000) << "a quadratic step makes this take minutes";

    EXPECT_EQ(FormatFontName(FormatOf(back, QStringLiteral("w24999 "))), QStringLiteral("Family 24999"));
    EXPECT_EQ(FormatFontName(FormatOf(back, QStringLiteral("w12345 "))), QStringLiteral("Family 12345"));
    EXPECT_EQ(written.count("Family "), kFonts) << "each font listed once";
    EXPECT_EQ(WriteRtf(back), written);
}

// Red on green, green on red and yellow on black: the two colours of each
// pair add up to the same number, which Qt's format table hashes alike. The
// runs are blanks, so what shows is their highlight and underline alone.
TEST(RtfReader, ColourPairsOfOneSumStayApartAndShowTheirOwnColours)
{
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;"
                           "\\red0\\green0\\blue0;}\r\n"
                           "\\viewkind4\\uc1\\pard\\f0\\fs20\\ul\\cf1\\highlight2     \\par\r\n"
                           "\\cf2\\highlight1     \\par\r\n"
                           "\\cf3\\highlight4     \\par\r\n"
                           "\\cf1\\highlight2     \\par\r\n}\r\n";
    QTextDocument doc;
    Read(doc, rtf.constData());
    ASSERT_EQ(doc.blockCount(), 4);
    struct Pair {
        QRgb text;
        QRgb highlight;
    };
    const Pair pairs[]
        = { { 0xFF0000, 0x00FF00 }, { 0x00FF00, 0xFF0000 }, { 0xFFFF00, 0x000000 }, { 0xFF0000, 0x00FF00 } };
    QList<QTextCharFormat> formats;
    for (int b = 0; b < 4; ++b) {
        const QTextCharFormat f = FormatAt(doc, doc.findBlockByNumber(b).position());
        EXPECT_EQ(Rgb(f), pairs[b].text) << b;
        EXPECT_EQ(f.background().color().rgb() & 0xFFFFFF, pairs[b].highlight) << b;
        formats.append(f);
    }
    EXPECT_NE(formats[0], formats[1]);
    EXPECT_NE(formats[0], formats[2]);
    EXPECT_NE(formats[1], formats[2]);
    EXPECT_EQ(formats[0], formats[3]) << "one pair, one format";
    // What sets the pairs apart in the table's hash.
    EXPECT_NE(formats[0].property(kColorPairProperty), formats[1].property(kColorPairProperty));
    EXPECT_NE(formats[0].property(kColorPairProperty), formats[2].property(kColorPairProperty));

    // Each line shows its own highlight, and its underline in its own text colour.
    doc.setDocumentMargin(0);
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    doc.drawContents(&painter);
    painter.end();
    const auto count = [&image](const QRectF& area, QRgb rgb) {
        int n = 0;
        for (int y = int(area.top()); y < int(area.bottom()); ++y)
            for (int x = int(area.left()); x < int(area.right()); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == rgb;
        return n;
    };
    for (int b = 0; b < 3; ++b) {
        const QRectF line = doc.documentLayout()->blockBoundingRect(doc.findBlockByNumber(b));
        EXPECT_GT(count(line, pairs[b].highlight), 20) << b;
        EXPECT_GT(count(line, pairs[b].text), 2) << b;
        for (int other = 0; other < 3; ++other) {
            if (other != b && pairs[other].highlight != pairs[b].text) {
                EXPECT_EQ(count(line, pairs[other].highlight), 0) << b << ' ' << other;
            }
        }
    }

    // The writer takes only the colours: the same bytes as a document that
    // never knew the pair, and they read back to equal formats.
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    const QByteArray written = WriteRtf(doc);
    EXPECT_EQ(written,
        QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                   "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;"
                   "\\red0\\green0\\blue0;}\r\n"
                   "\\viewkind4\\uc1\\pard\\f0\\fs20\\cf1\\highlight2\\ul     \\par\r\n"
                   "\\cf2\\highlight1     \\par\r\n"
                   "\\cf3\\highlight4     \\par\r\n"
                   "\\cf1\\highlight2     \\par\r\n"
                   "}\r\n"));
    QTextDocument back;
    Read(back, written.constData());
    back.setDefaultFont(doc.defaultFont());
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(FormatAt(back, back.findBlockByNumber(b).position()), formats[b]) << b;
    EXPECT_EQ(WriteRtf(back), written);
}
