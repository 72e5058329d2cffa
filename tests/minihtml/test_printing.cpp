// The printer target: the engine lays its tags out with the printer's text
// widths and sends each tag to it, in list order, where the layout put it.
#include "minihtml_fixture.h"

#include "minihtml/inline_elements.h"
#include "minihtml/style_state.h"
#include "minihtml/tables.h"
#include "support/recording_printer.h"

#include <QTemporaryDir>

namespace {

// One call a line, so a failure shows where the two part.
std::string Lines(const QStringList& calls)
{
    return calls.join(u'\n').toStdString();
}

class Printing : public EngineTest {
protected:
    // Lays out for the printer, then prints at (7, 3) with only the print
    // calls recorded.
    QStringList PrintAt7x3()
    {
        e->Update(&printer);
        printer.Calls.clear();
        e->Left = 7;
        e->Top = 3;
        e->Print();
        return printer.Calls;
    }
    // "x,y" of a point of the layout on the printout.
    static QString At(int x, int y) { return RecordingPrinter::Point(float(7 + x), float(3 + y)); }
    static QString Box(int x1, int y1, int x2, int y2) { return At(x1, y1) + u' ' + At(x2, y2); }

    RecordingPrinter printer;
};

} // namespace

TEST_F(Printing, WordsGoOutInOrderInTheirFontsAndColoursWhereThePrinterLayoutPutsThem)
{
    Load(QStringLiteral("<font name=\"Arial\" size=\"10\" color=\"#800000\">ab <b>cde</b></font> "
                        "<a href=\"x\">go</a> <hi>on</hi> <u>x y</u>"));
    const QStringList calls = PrintAt7x3();
    // Printer widths: 7.5 per character at 10 points, 6 at 8, rounded up;
    // heights stay the screen's (twice the size), lines bottom-aligned.
    EXPECT_EQ(Word(QStringLiteral("ab"))->Width, 15);
    EXPECT_EQ(Word(QStringLiteral("cde"))->Width, 23);
    const QString activeCaption = ColorToHtml(ColorToRGB(clActiveCaption));
    const QStringList expected = {
        QStringLiteral("SetFont arial 10 #800000"),
        QStringLiteral("TextOut ") + At(5, 5) + QStringLiteral(" ab"),
        // The blank after "ab" is not underlined: it prints nothing.
        QStringLiteral("SetFont arial 10 b #800000"),
        QStringLiteral("TextOut ") + At(28, 5) + QStringLiteral(" cde"),
        // A link in its colour, underlined.
        QStringLiteral("SetFont MS Sans Serif 8 u #0000FF"),
        QStringLiteral("TextOut ") + At(57, 9) + QStringLiteral(" go"),
        // Highlighted text: the fill, then the word in the engine's colour.
        QStringLiteral("Brush ") + activeCaption,
        QStringLiteral("Pen ") + activeCaption,
        QStringLiteral("Rectangle ") + Box(75, 9, 87, 25),
        QStringLiteral("SetFont MS Sans Serif 8 #FFFFFF"),
        QStringLiteral("TextOut ") + At(75, 9) + QStringLiteral(" on"),
        // An underlined run prints its blank too.
        QStringLiteral("SetFont MS Sans Serif 8 u #000000"),
        QStringLiteral("TextOut ") + At(93, 9) + QStringLiteral(" x"),
        QStringLiteral("SetFont MS Sans Serif 8 u #000000"),
        QStringLiteral("TextOut ") + At(99, 9) + QStringLiteral("  "),
        QStringLiteral("SetFont MS Sans Serif 8 u #000000"),
        QStringLiteral("TextOut ") + At(105, 9) + QStringLiteral(" y"),
    };
    EXPECT_EQ(Lines(calls), Lines(expected));

    // Back to the screen's widths, and nothing goes to a printer.
    e->Update(static_cast<TDummyPrinter*>(nullptr));
    EXPECT_EQ(Word(QStringLiteral("ab"))->Width, 20);
    printer.Calls.clear();
    e->Print();
    EXPECT_TRUE(printer.Calls.isEmpty());
}

TEST_F(Printing, TablesPicturesAndRulesGoOutAsTheyAreDrawn)
{
    QTemporaryDir dir;
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    const QString file = dir.filePath(QStringLiteral("b.png"));
    ASSERT_TRUE(image.save(file));
    Load(QStringLiteral("<table width=\"200\"><tr><td bgcolor=\"#FFFF00\">x</td><td>yy</td></tr></table>"
                        "<img src=\"file://")
        + file + QStringLiteral("\" width=\"40\"><hr size=\"2\" noshade>"));
    const QStringList calls = PrintAt7x3();

    auto* first = Tag<aTDSTag>(2);
    auto* second = Tag<aTDSTag>(4);
    auto* picture = Tag<aPicture>(8);
    auto* rule = Tag<aHorizontalRule>(9);
    ASSERT_TRUE(first && second && picture && rule);
    // The cells' content was measured with the printer too: "yy" and the
    // line end after it, 6 pixels each.
    TQzMiniHtml2* secondContent = e->SubInstance(second->MiniHtml);
    ASSERT_TRUE(secondContent);
    EXPECT_EQ(secondContent->Tags(0)->Width, 24);

    auto cell = [&](aTDSTag* c, const QString& text, bool filled) {
        QStringList out;
        const QString box = Box(c->Left, c->Top, c->Left + c->Width, c->Top + c->Height);
        if (filled)
            out << QStringLiteral("Brush #FFFF00") << QStringLiteral("Pen #FFFF00")
                << QStringLiteral("Rectangle ") + box;
        // The content is laid out again at the cell's width, as for drawing,
        // and goes out 5 pixels in from the cell's corner; then the border.
        out << QStringLiteral("SetFont MS Sans Serif 8 #000000")
            << QStringLiteral("GetWidth ") + text + QStringLiteral("\\r\\n")
            << QStringLiteral("SetFont MS Sans Serif 8 #000000")
            << QStringLiteral("TextOut ") + At(c->Left + 5, c->Top + 5) + u' ' + text << QStringLiteral("Brush none")
            << QStringLiteral("Pen #000000") << QStringLiteral("Rectangle ") + box;
        return out;
    };
    QStringList expected = cell(first, QStringLiteral("x"), true) + cell(second, QStringLiteral("yy"), false);
    // The picture stretched over its element; the rule a grey bar in a black
    // outline, 5 pixels below its top and as wide as the area less 10.
    expected << QStringLiteral("PicOut %1 40x10").arg(At(picture->Left, picture->Top))
             << QStringLiteral("Brush #808080") << QStringLiteral("Pen #000000")
             << QStringLiteral("Rectangle ") + Box(5, rule->Top + 5, 295, rule->Top + 7);
    EXPECT_EQ(Lines(calls), Lines(expected));
    ASSERT_EQ(printer.Pictures.size(), 1);
    EXPECT_EQ(printer.Pictures[0].size(), QSize(20, 10));
    EXPECT_EQ(printer.Pictures[0].pixel(3, 3) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(Printing, ListMarkersAndParagraphBands)
{
    Load(QStringLiteral("<p bgcolor=\"#C0C0C0\"><ol><li>a</ol><ul type=\"square\"><li>b</ul></p>"));
    const QStringList calls = PrintAt7x3();
    auto* band = Tag<aPSTag>(0);
    auto* numbered = Tag<aLISTag>(2);
    auto* square = Tag<aLISTag>(6);
    ASSERT_TRUE(band && numbered && square);
    const QStringList grey
        = { QStringLiteral("Brush #C0C0C0"), QStringLiteral("Pen #C0C0C0"), QStringLiteral("Rectangle ") };
    auto fill = [&](const QString& box) { return grey.mid(0, 2) + QStringList { grey[2] + box }; };
    auto lineBox = [&](const atag* t, int extra) {
        return Box(t->Left, t->Top + t->Height - t->LineHeight, t->Left + t->Width + extra, t->Top + t->Height);
    };
    auto word = [&](const QString& text) {
        const aText* w = Word(text);
        return fill(lineBox(w, 0))
            + QStringList { QStringLiteral("SetFont MS Sans Serif 8 #000000"),
                  QStringLiteral("TextOut ") + At(w->Left, w->Top) + u' ' + text };
    };
    // The band behind the paragraph, then each item's box on it with its
    // marker: a number in the font's own colour, a black square.
    QStringList expected = fill(Box(5, band->BandTop, 295, band->BandBottom));
    expected += fill(lineBox(numbered, 20));
    expected << QStringLiteral("SetFont MS Sans Serif 8 #000000")
             << QStringLiteral("TextOut ") + At(numbered->Left + 25, numbered->Top) + QStringLiteral(" 1.");
    expected += word(QStringLiteral("a"));
    expected += fill(lineBox(square, 20));
    expected << QStringLiteral("Brush #000000") << QStringLiteral("Pen #C0C0C0")
             << QStringLiteral("Rectangle ")
            + Box(square->Left + 25, square->Top + 4, square->Left + 33, square->Top + 12);
    expected += word(QStringLiteral("b"));
    EXPECT_EQ(Lines(calls), Lines(expected));
}

TEST_F(Printing, ParagraphBandsAreFoundAgainForThePrinterLayout)
{
    // The screen's wider text puts the second word on a line of its own,
    // the printer's keeps both on the first: the band printed is that one
    // 16-pixel line, not the two lines last drawn.
    const QString first(20, u'a'), second(20, u'b');
    Load(QStringLiteral("<p bgcolor=\"#C0C0C0\">") + first + u' ' + second + QStringLiteral("</p>"));
    ASSERT_EQ(Word(second)->LineNumber, 1);
    const QStringList calls = PrintAt7x3();
    ASSERT_EQ(Word(second)->LineNumber, 0);
    const QStringList expected = { QStringLiteral("Brush #C0C0C0"), QStringLiteral("Pen #C0C0C0"),
        QStringLiteral("Rectangle ") + Box(5, 5, 295, 21) };
    EXPECT_EQ(Lines(calls.mid(0, 3)), Lines(expected));
}

TEST_F(Printing, EverySubInstanceTakesThePrinterAndLeavesItAgain)
{
    Load(QStringLiteral("<table><tr><td><table><tr><td>z</td></tr></table></td></tr></table>"));
    ASSERT_EQ(e->TotalMiniHtml(), 1);
    TQzMiniHtml2* outer = e->SubInstance(0);
    ASSERT_EQ(outer->TotalMiniHtml(), 1);
    TQzMiniHtml2* inner = outer->SubInstance(0);
    const int screenWidth = inner->Tags(0)->Width; // "z" and its line end
    EXPECT_EQ(screenWidth, 24);

    e->Update(&printer);
    for (TQzMiniHtml2* engine : { e.get(), outer, inner })
        EXPECT_EQ(engine->HtmlPrinter, &printer);
    EXPECT_EQ(inner->Tags(0)->Width, 18);
    // Sub-instances made from now on take it as well.
    EXPECT_EQ(e->SubInstance(e->NewSubMiniHtml())->HtmlPrinter, &printer);

    e->Update(static_cast<TDummyPrinter*>(nullptr));
    for (TQzMiniHtml2* engine : { e.get(), outer, inner })
        EXPECT_EQ(engine->HtmlPrinter, nullptr);
    EXPECT_EQ(inner->Tags(0)->Width, screenWidth);
}
