// Line layout with fixed metrics (8-point characters are 8 x 16), table
// widths, the cache bitmap, and what drawing fills with which colour.
#include "minihtml_fixture.h"

#include "minihtml/inline_elements.h"
#include "minihtml/tables.h"

#include "platform/core/ansi.h"
#include "platform/core/streams.h"

using Layout = EngineTest;

TEST_F(Layout, OneLineAndItsCache)
{
    Load(QStringLiteral("ab cd"));
    auto* ab = Word(QStringLiteral("ab"));
    auto* cd = Word(QStringLiteral("cd\r\n"));
    EXPECT_EQ(QRect(ab->Left, ab->Top, ab->Width, ab->Height), QRect(5, 5, 16, 16));
    EXPECT_EQ(e->Tags(1)->Left, 21);
    EXPECT_EQ(cd->Left, 29);
    EXPECT_EQ(cd->Width, 32); // measured with its line end
    EXPECT_EQ(e->MaxHeight, 21);
    EXPECT_EQ(e->CacheBitmap->Width(), 300);
    EXPECT_EQ(e->CacheBitmap->Height(), 26);
    EXPECT_EQ(e->MaxWidth, 61);

    // An empty tag list leaves the cache as it was.
    TMemoryStream stream(StringToAnsi(QStringLiteral("<x>")));
    e->LoadFromStream(stream);
    EXPECT_EQ(e->TagCount(), 0);
    EXPECT_EQ(e->CacheBitmap->Height(), 26);
}

TEST_F(Layout, WrapsBeforeTagsThatDoNotFit)
{
    e->width = 60;
    Load(QStringLiteral("aaaa bbbb"));
    EXPECT_EQ(e->Tags(1)->Left, 37); // the blank still fits: 37 + 8 + 5 <= 60
    auto* second = Word(QStringLiteral("bbbb\r\n"));
    EXPECT_EQ(second->Left, 5);
    EXPECT_EQ(second->Top, 5 + 16 + 5);
    EXPECT_EQ(second->LineNumber, 1);

    // A word wider than the area stands alone and is never split.
    e->width = 30;
    Load(QStringLiteral("a wwwwwwwwww"));
    auto* wide = Word(QStringLiteral("wwwwwwwwww\r\n"));
    EXPECT_EQ(wide->Left, 5);
    EXPECT_EQ(wide->Width, 96);
}

TEST_F(Layout, LinesAreBottomAligned)
{
    Load(QStringLiteral("a<font size=16>B</font>"));
    auto* a = Word(QStringLiteral("a"));
    auto* big = Word(QStringLiteral("B"));
    EXPECT_EQ(big->Top, 5);
    EXPECT_EQ(a->Top, 5 + 32 - 16);
    EXPECT_EQ(a->LineHeight, 32);
    EXPECT_EQ(e->Tags(1)->Top, 5 + 32); // the font tag has no height
}

TEST_F(Layout, AlignmentShiftsClosedLinesOnly)
{
    Load(QStringLiteral("<p align=right>aa bb</p><p align=centre>aa bb</p><p align=center>aa</p>"));
    QList<int> lefts;
    for (int i = 0; i < e->TagCount(); ++i)
        if (auto* w = Tag<aText>(i))
            lefts.append(w->Left);
    // Words and blank sum to 40: right shifts by 300 - 40 - 10, centre by half that.
    EXPECT_EQ(lefts.mid(0, 4), (QList<int> { 255, 279, 130, 154 }));
    EXPECT_EQ(lefts[4], 5); // "center" is not a spelling the dialect knows

    Load(QStringLiteral("<p align=right>aa"));
    EXPECT_EQ(Word(QStringLiteral("aa\r\n"))->Left, 5); // the last line is never closed
}

TEST_F(Layout, BlockquotesListsAndRules)
{
    Load(QStringLiteral("<blockquote>a</blockquote>b"));
    EXPECT_EQ(Word(QStringLiteral("a"))->Left, 55);
    EXPECT_EQ(Word(QStringLiteral("a"))->Top, 5); // no empty line before it
    EXPECT_EQ(Word(QStringLiteral("b\r\n"))->Left, 5);
    EXPECT_EQ(Word(QStringLiteral("b\r\n"))->Top, 26);

    // In an indented line a blockquote breaks even with nothing on the line.
    Load(QStringLiteral("<blockquote><blockquote>q"));
    EXPECT_EQ(Word(QStringLiteral("q\r\n"))->Top, 10);
    EXPECT_EQ(Word(QStringLiteral("q\r\n"))->Left, 55);

    Load(QStringLiteral("<ul><li>a</li><li>b</li></ul>"));
    auto* item = Tag<aLISTag>(1);
    EXPECT_EQ(QRect(item->Left, item->Top, item->Width, item->Height), QRect(5, 10, 50, 16));
    EXPECT_EQ(Word(QStringLiteral("a"))->Left, 55);
    EXPECT_EQ(Tag<aLISTag>(4)->Top, 31);
    // A round marker: a black disc 25 pixels right of the item, 4 down.
    EXPECT_EQ(CachePx(25 + 5 + 4, 10 + 4 + 4), Rgb(clBlack));
    EXPECT_EQ(CachePx(5 + 2, 10 + 2), Rgb(HtmlTransparentColor));

    Load(QStringLiteral("a<hr size=2>b"));
    auto* rule = Tag<aHorizontalRule>(1);
    EXPECT_EQ(QRect(rule->Left, rule->Top, rule->Width, rule->Height), QRect(5, 26, 300, 22));
    EXPECT_EQ(Word(QStringLiteral("b\r\n"))->Top, 26 + 22 + 5);
    // The bar: 2 high, 5 below the element's top, 5 in from both sides.
    EXPECT_EQ(CachePx(5, 31), Rgb(clBlack));
    EXPECT_EQ(CachePx(294, 32), Rgb(clBlack));
    EXPECT_EQ(CachePx(295, 31), Rgb(HtmlTransparentColor));
    EXPECT_EQ(CachePx(150, 30), Rgb(HtmlTransparentColor));
    EXPECT_EQ(CachePx(150, 33), Rgb(HtmlTransparentColor));

    Load(QStringLiteral("<hr size=6 width=50% noshade>"));
    // A noshade rule is a grey bar in a black outline, 140 of 300 wide, centred.
    EXPECT_EQ(CachePx(150, 5 + 5 + 3), Rgb(clGray));
    EXPECT_EQ(CachePx(80, 5 + 5), Rgb(clBlack));
    EXPECT_EQ(CachePx(219, 5 + 5 + 5), Rgb(clBlack));
    EXPECT_EQ(CachePx(79, 5 + 5), Rgb(HtmlTransparentColor));
    EXPECT_EQ(CachePx(220, 5 + 5), Rgb(HtmlTransparentColor));
}

TEST_F(Layout, TableWidths)
{
    e->width = 400;
    Load(QStringLiteral("<table><tr><td>aa</td><td bgcolor=#ffff00>b</td></tr></table>x"));
    auto* table = Tag<aTableSTag>(0);
    auto* c0 = Tag<aTDSTag>(2);
    auto* c1 = Tag<aTDSTag>(4);
    EXPECT_EQ(table->tblWidth, 400);
    // Content "aa" plus its line end is 32 wide at x 5: the column is 32 + 5 + 5.
    EXPECT_EQ(QRect(c0->Left, c0->Top, c0->Width, c0->Height), QRect(5, 5, 42, 26));
    EXPECT_EQ(QRect(c1->Left, c1->Top, c1->Width, c1->Height), QRect(47, 5, 34, 26));
    EXPECT_EQ(table->Height, 26);
    EXPECT_EQ(Word(QStringLiteral("x\r\n"))->Top, 5 + 26 + 5);
    // Fill: yellow behind the second cell, the transparent colour in the first;
    // a one-pixel black outline at both cells' edges.
    EXPECT_EQ(CachePx(60, 28), Rgb(clYellow));
    EXPECT_EQ(CachePx(30, 28), Rgb(HtmlTransparentColor));
    EXPECT_EQ(CachePx(5, 10), Rgb(clBlack));
    EXPECT_EQ(CachePx(47 + 33, 10), Rgb(clBlack));
    EXPECT_EQ(CachePx(47 + 34, 10), Rgb(HtmlTransparentColor));
    EXPECT_GT(Count(e->CacheBitmap->Image(), QRect(5, 5, 42, 26), clBlack), 2 * 42 + 2 * 24);

    Load(QStringLiteral("<table width=100% border=0><tr><td>a</td></tr></table>"));
    EXPECT_EQ(Tag<aTableSTag>(0)->tblWidth, 390);
    EXPECT_EQ(CachePx(5, 10), Rgb(HtmlTransparentColor)); // no border

    // A cell reaching past the table's width is cut there.
    Load(QStringLiteral("<table width=50><tr><td>aaaaaaaa</td></tr></table>"));
    EXPECT_EQ(Tag<aTableSTag>(0)->tblWidth, 40);
    EXPECT_EQ(Tag<aTDSTag>(2)->Width, 35);

    // Rows stack; a row is as high as its highest cell; an empty cell is 0 high.
    Load(QStringLiteral("<table><tr><td></td></tr><tr><td>a</td><td><font size=16>b</font></td></tr></table>"));
    EXPECT_EQ(Tag<aTDSTag>(2)->Height, 0);
    auto* tall = Tag<aTDSTag>(8);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->Top, 5);
    EXPECT_EQ(tall->Height, 5 + 32 + 5);
    EXPECT_EQ(Tag<aTDSTag>(6)->Height, 42);
    // The text after the table starts right below its last row.
    EXPECT_EQ(Word(QStringLiteral("\r\n"))->Top, 5 + 0 + 42 + 5);
    // Columns are as wide as their widest cell in any row.
    EXPECT_EQ(Tag<aTDSTag>(2)->Width, 34);
    EXPECT_EQ(Tag<aTDSTag>(6)->Width, 34);
}

TEST_F(Layout, MalformedTablesStayInBounds)
{
    // A cell before the first row and a row without cells.
    Load(QStringLiteral("<table><td>lost</td><tr></tr><td>x</td><tr><td>y</td></table>"));
    EXPECT_FALSE(Tag<aTDSTag>(1)->Placed);
    EXPECT_TRUE(Tag<aTDSTag>(5)->Placed);

    // More than 99 rows and cells: the rest is not laid out.
    QString html = QStringLiteral("<table><tr>");
    for (int i = 0; i < 120; ++i)
        html += QStringLiteral("<td>c</td>");
    for (int i = 0; i < 120; ++i)
        html += QStringLiteral("<tr><td>r</td>");
    Load(html + QStringLiteral("</table>"));
    int placed = 0;
    for (int i = 0; i < e->TagCount(); ++i)
        if (auto* c = Tag<aTDSTag>(i))
            placed += c->Placed;
    EXPECT_EQ(placed, 99 + 98);

    // Deep nesting stops at the limit instead of recursing further.
    html.clear();
    for (int i = 0; i < 40; ++i)
        html += QStringLiteral("<table><tr><th>");
    html += QStringLiteral("deep");
    for (int i = 0; i < 40; ++i)
        html += QStringLiteral("</th></tr></table>");
    Load(html);
    int depth = 0;
    for (TQzMiniHtml2* s = e.get(); s && s->TotalMiniHtml() > 0; s = s->SubInstance(0))
        ++depth;
    EXPECT_EQ(depth, TQzMiniHtml2::MaxNesting);
}

TEST_F(Layout, ParagraphBandsAndWordBackgrounds)
{
    Load(QStringLiteral("<p bgcolor=#00ff00>ab</p>"));
    // The band spans the area less 5 on each side, from the first visible
    // tag's top to the last one's bottom.
    EXPECT_EQ(CachePx(200, 10), Rgb(clLime));
    EXPECT_EQ(CachePx(294, 20), Rgb(clLime));
    EXPECT_EQ(CachePx(295, 10), Rgb(HtmlTransparentColor));
    EXPECT_EQ(CachePx(200, 4), Rgb(HtmlTransparentColor));
    EXPECT_EQ(Count(e->CacheBitmap->Image(), QRect(5, 5, 16, 16), HtmlTransparentColor), 0);

    Load(QStringLiteral("<p bgcolor=#00ff00></p>x"));
    EXPECT_EQ(Count(e->CacheBitmap->Image(), e->CacheBitmap->Image().rect(), clLime), 0);
}

TEST_F(Layout, CopyLeavesTheTransparentColourOut)
{
    e->height = 10;
    Load(QStringLiteral("<body bgcolor=#0000ff>x<br>y"));
    // Only the area's height is copied.
    EXPECT_EQ(Px(100, 9), Rgb(clBlue));
    EXPECT_EQ(Px(100, 10), Rgb(clWhite));

    e->height = 200;
    Fill(clWhite);
    target.Canvas()->Brush()->SetColor(clRed);
    Load(QStringLiteral("<font color=#00ff00>abc</font>"));
    // The key colour takes the target's brush, the text keeps its colour.
    EXPECT_EQ(Px(2, 2), Rgb(clRed));
    EXPECT_GT(CountNear(target.Image(), QRect(5, 5, 24, 16), clLime, 60), 0);
    EXPECT_EQ(Count(target.Image(), QRect(5, 5, 24, 16), HtmlTransparentColor), 0);
    EXPECT_EQ(Px(2, 40), Rgb(clWhite)); // below the cache nothing is copied
}

TEST_F(Layout, LinkColoursAndUnderlines)
{
    Load(QStringLiteral("<a href=x>link</a> <body link=#000000><a href=y>same</a>"));
    const QImage& cache = e->CacheBitmap->Image();
    auto* link = Word(QStringLiteral("link"));
    const QRect box(link->Left, link->Top, link->Width, link->Height);
    EXPECT_GT(Count(cache, box, clBlue), 0);
    // The underline: a full-width run of the link colour in one row.
    bool underlined = false;
    for (int y = box.top(); y <= box.bottom(); ++y)
        underlined = underlined || Count(cache, QRect(box.left(), y, 16, 1), clBlue) == 16;
    EXPECT_TRUE(underlined);

    // A link coloured like the text has no underline, until hovered.
    auto* same = Word(QStringLiteral("same"));
    const QRect sameBox(same->Left, same->Top, same->Width, same->Height);
    auto longestRun = [&](TColor c) {
        int best = 0;
        for (int y = sameBox.top(); y <= sameBox.bottom(); ++y)
            best = std::max(best, Count(cache, QRect(sameBox.left(), y, 20, 1), c));
        return best;
    };
    EXPECT_LT(longestRun(clBlack), 20);
    same->MouseOver = true;
    e->Draw(same->Index);
    EXPECT_EQ(longestRun(clRed), 20);
}

TEST_F(Layout, HugeSizesAreClamped)
{
    e->width = 1 << 30;
    Load(QStringLiteral("<img width=99999999 height=99999999><table width=2000000000><tr><td width=2000000000>"
                        "<img src=res:nothing height=99999>x</td></tr></table><font size=99999>big</font>"));
    EXPECT_LE(e->CacheBitmap->Width(), TQzMiniHtml2::MaxCacheWidth);
    EXPECT_LE(qint64(e->CacheBitmap->Width()) * e->CacheBitmap->Height(), TQzMiniHtml2::MaxCachePixels);
    EXPECT_EQ(Tag<aPicture>(0)->Width, aPicture::MaxSize);
    EXPECT_EQ(Word(QStringLiteral("big"))->Font->Size(), 200);
}

// Every tag's place as "line:left,top,lineHeight", then the lowest bottom.
static std::string Places(const TQzMiniHtml2& e)
{
    QStringList places;
    for (int i = 0; i < e.TagCount(); ++i) {
        const atag* t = e.Tags(i);
        places.append(QStringLiteral("%1:%2,%3,%4").arg(t->LineNumber).arg(t->Left).arg(t->Top).arg(t->LineHeight));
    }
    return (places.join(u' ') + QStringLiteral(" | %1").arg(e.MaxHeight)).toStdString();
}

// Lines of tags of every height, raised by later tags, closed by wraps,
// breaks and tables: each tag stands where it always has, but for a table
// after text, whose rows were placed on the line above it.
TEST_F(Layout, MixedLinesPlaceEveryTagOnce)
{
    struct Case {
        int width;
        const char16_t* html;
        const char* places;
    };
    const Case cases[] = {
        { 300, u"<img width=10 height=10><img width=10 height=20><img width=10 height=30>",
            "0:5,25,30 0:15,15,30 0:25,5,30 0:35,19,30 | 35" },
        { 300, u"<b><img width=0 height=5></b><b><img width=0 height=15><i>x<img width=0 height=15></i>",
            "0:5,21,16 0:5,16,16 0:5,21,16 0:5,21,16 0:5,6,16 0:5,21,16 0:5,5,16 0:13,6,16 0:13,5,16 0:13,5,16 | 21" },
        { 300, u"a<b>B<font size=16>C</font>d<font size=4>e</font>",
            "0:5,21,32 0:13,37,32 0:13,21,32 0:21,37,32 0:21,5,32 0:37,5,32 0:37,21,32 0:45,5,32 0:45,29,32 0:49,5,32 "
            "0:49,21,32 | 37" },
        { 60, u"aaaa <img width=20 height=40> bb<img width=0 height=50>c",
            "0:5,5,16 0:37,5,16 1:5,36,50 1:25,60,50 1:33,60,50 1:49,26,50 2:5,81,16 | 97" },
        // The table's row and cell lie on the table's own line (40), no
        // longer over the line before it (5).
        { 300, u"a<img width=5 height=30><table><tr><td>x</td></tr></table><img width=5 height=50>b",
            "0:5,19,30 0:13,5,30 1:5,14,26 0:0,40,0 0:5,40,26 1:5,40,26 1:5,40,26 1:5,40,0 2:5,71,50 2:10,105,50 | "
            "121" },
        { 300, u"<img width=5 height=20>a<br>b<img width=5 height=30><br><img width=5 height=10>",
            "0:5,5,20 0:10,9,20 0:18,5,0 1:5,44,30 1:13,30,30 1:18,30,0 2:5,71,16 2:10,65,16 | 81" },
        { 300, u"<p align=right>a<img width=10 height=30>b</p>c<img width=0 height=40>",
            "0:5,35,30 0:269,19,30 0:277,5,30 0:287,19,30 0:31,5,0 1:5,64,40 1:13,40,40 1:13,64,40 | 80" },
        { 30, u"wwwwwwwwww<b><i>x</i></b><img width=0 height=40>",
            "0:5,5,16 1:5,66,40 1:5,66,40 1:5,50,40 1:13,66,40 1:13,66,40 1:13,26,40 2:5,71,16 | 87" },
        { 300, u"a<hr size=2><img width=5 height=40>b", "0:5,5,16 1:5,26,22 2:5,53,40 2:10,77,40 | 93" },
        { 300, u"<ul><li>a<img width=5 height=30></li><li>b</li></ul>",
            "0:5,5,0 1:5,24,30 1:55,24,30 1:63,10,30 1:68,10,0 2:5,45,16 2:55,45,16 2:63,45,0 3:5,82,16 3:5,66,16 | "
            "82" },
        { 300, u"<blockquote>a<img width=5 height=25></blockquote><b></b><img width=5 height=0>",
            "0:55,30,25 0:55,14,25 0:63,5,25 0:68,5,0 1:5,51,16 1:5,51,16 1:5,51,16 1:10,35,16 | 51" },
    };
    for (const Case& c : cases) {
        SetUp();
        e->width = c.width;
        Load(QString::fromUtf16(c.html));
        EXPECT_EQ(Places(*e), c.places) << QString::fromUtf16(c.html).toStdString();
    }
}

TEST_F(Layout, ClearingARectangleOfTheTarget)
{
    const QRect area(0, 0, 300, 200);
    const QRect rects[] = {
        Rect(10, 20, 30, 25), Rect(0, 0, 1, 1), Rect(290, 190, 320, 230), // cut at the target's edge
        Rect(50, 50, 50, 80), // no width: nothing
    };
    for (const QRect& r : rects) {
        SCOPED_TRACE(testing::Message() << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height());
        Fill(clWhite);
        e->ClearCache(r.x(), r.y(), RectRight(r), RectBottom(r));
        const QRect inside = r & area;
        const int n = inside.isEmpty() ? 0 : inside.width() * inside.height();
        EXPECT_EQ(Count(target.Image(), area, HtmlTransparentColor), n);
        if (n > 0) {
            EXPECT_EQ(Count(target.Image(), inside, HtmlTransparentColor), n);
        }
    }
    // Without a target there is nothing to clear.
    e->Canvas = nullptr;
    e->ClearCache(0, 0, 10, 10);
}

TEST_F(Layout, MeasuringOneTagTakesTheTargetsFontAndBrush)
{
    Load(QStringLiteral("ab cd"));
    aText* ab = Word(QStringLiteral("ab"));
    atag* cd = e->Tags(2);
    const int cdLeft = cd->Left;
    ab->Text = QStringLiteral("abcd");
    target.Canvas()->Font()->SetName(QStringLiteral("Arial"));
    target.Canvas()->Font()->SetSize(12);
    target.Canvas()->Brush()->SetColor(clRed);
    for (int outside : { -1, e->TagCount() })
        e->Update(outside);
    EXPECT_EQ(ab->Width, 16);
    EXPECT_NE(e->CacheBitmap->Canvas()->Font()->Name(), QStringLiteral("Arial"));
    // Measured, not placed: the words after it stay where they were.
    e->Update(0);
    EXPECT_EQ(ab->Width, 32);
    EXPECT_EQ(cd->Left, cdLeft);
    TCanvas& cache = *e->CacheBitmap->Canvas();
    EXPECT_EQ(cache.Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(cache.Font()->Size(), 12);
    EXPECT_EQ(cache.Brush()->Color(), clRed);
}

TEST_F(Layout, NextLineStepsThePenDownALineAndLeavesTheSparePoint)
{
    e->Left = 3;
    e->Top = 4;
    e->LineHeight = 17;
    e->CurrentPos = QPoint(7, 8);
    e->NextLine();
    EXPECT_EQ(target.Canvas()->PenPos(), QPoint(3, 21));
    EXPECT_EQ(e->LineHeight, 0);
    EXPECT_EQ(e->CurrentPos, QPoint(7, 8));
    e->NextLine();
    EXPECT_EQ(target.Canvas()->PenPos(), QPoint(3, 4));
    EXPECT_EQ(e->CurrentPos, QPoint(7, 8));
}
