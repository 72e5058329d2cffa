// Colours, fonts and the canvas drawing rules, checked pixel by pixel on
// bitmaps. Text is checked by geometry (boxes, widths), never by glyphs.

#include "bitmap_pixels.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/graphics.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// The pixels of a bitmap that differ from white, as a bounding box.
QRect InkBounds(TBitmap& b, TColor background = clWhite)
{
    QRect box;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (Px(b, x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountColor(TBitmap& b, TColor color, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += Px(b, x, y) == ColorToRGB(color) ? 1 : 0;
    return n;
}

} // namespace

// ---------------------------------------------------------------------------

TEST(Colors, SystemColorsResolveThroughTheFixedTable)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), RGB(64, 64, 64));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(10, 36, 106));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(clBtnFace, TColor(0xFF00000F));
    EXPECT_EQ(cl3DDkShadow, TColor(0xFF000015));
    // Plain colours and the sentinels pass through.
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ToQColor(clBtnFace), QColor(212, 208, 200));
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(Colors, IdentifiersAndStrings)
{
    TColor c = 0;
    ASSERT_TRUE(IdentToColor(QStringLiteral("CLBTNFACE"), c));
    EXPECT_EQ(c, clBtnFace);
    ASSERT_TRUE(IdentToColor(QStringLiteral("clmoneygreen"), c));
    EXPECT_EQ(c, clMoneyGreen);
    ASSERT_TRUE(IdentToColor(QStringLiteral("clMenuBar"), c));
    EXPECT_EQ(c, clMenuBar);
    ASSERT_TRUE(IdentToColor(QStringLiteral("clNone"), c));
    EXPECT_EQ(c, clNone);
    EXPECT_FALSE(IdentToColor(QStringLiteral("clPink"), c));

    // Every system colour index but the unnamed 25 has an identifier that maps back.
    for (int i = 0; i <= 30; ++i) {
        const TColor sys = clSystemColor | i;
        const QString ident = ColorToIdent(sys);
        if (i == 25) {
            EXPECT_TRUE(ident.isEmpty());
            continue;
        }
        ASSERT_FALSE(ident.isEmpty()) << i;
        ASSERT_TRUE(IdentToColor(ident, c));
        EXPECT_EQ(c, sys);
    }
    EXPECT_EQ(ColorToIdent(clSilver), QStringLiteral("clSilver"));
    EXPECT_EQ(ColorToString(0x123456), QStringLiteral("$00123456"));
    EXPECT_EQ(StringToColor(QStringLiteral("$0000FF")), clRed);
    EXPECT_EQ(StringToColor(QStringLiteral("255")), clRed);
    EXPECT_EQ(StringToColor(QStringLiteral("clBlue")), clBlue);
    EXPECT_EQ(StringToColor(QStringLiteral("$FF00000F")), clBtnFace);
    EXPECT_THROW(StringToColor(QStringLiteral("reddish")), EConvertError);
}

namespace {
struct TPainted : TPersistent {
    QString ClassName() const override { return QStringLiteral("TPainted"); }
    TColor Color() const { return fColor; }
    void SetColor(TColor value) { fColor = value; }
    TColor fColor = clBlack;
};
} // namespace

TEST(Colors, ColourPropertiesTakeTheirValuesByName)
{
    // A system colour is negative as an integer: it must survive the trip.
    const TPropInfo prop = props::Color<TPainted>(QStringLiteral("Color"), &TPainted::Color, &TPainted::SetColor);
    TPainted painted;
    for (const auto& [ident, color] :
        { std::pair { u"clWindow", clWindow }, { u"CLRED", clRed }, { u"clNone", clNone } }) {
        qint64 value = 0;
        ASSERT_TRUE(prop.IdentToInt(QString::fromUtf16(ident), value));
        prop.SetOrd(painted, value);
        EXPECT_EQ(painted.Color(), color);
    }
    qint64 value = 0;
    EXPECT_FALSE(prop.IdentToInt(QStringLiteral("clPink"), value));
}

TEST(Fonts, SizeAndHeightConvertAt96Dpi)
{
    TFont f;
    EXPECT_EQ(f.Name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    f.SetHeight(-21);
    EXPECT_EQ(f.Size(), 16);
    f.SetHeight(-12);
    EXPECT_EQ(f.Size(), 9);
    EXPECT_EQ(f.ToQFont().pixelSize(), 12);
    // A positive height is the cell height: the glyphs come out smaller.
    f.SetHeight(20);
    EXPECT_LT(f.ToQFont().pixelSize(), 20);
    EXPECT_NEAR(QFontMetrics(f.ToQFont()).height(), 20, 1);
}

TEST(Fonts, ChangesNotifyAndAssignCopiesEverything)
{
    TFont a, b;
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    a.SetName(QStringLiteral("Arial"));
    a.SetHeight(-21);
    a.SetStyle(fsBold | fsItalic);
    a.SetColor(clRed);
    b.Assign(a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(b.Height(), -21);
    EXPECT_TRUE(b.Style().Contains(fsBold));
    EXPECT_TRUE(b.Style().Contains(fsItalic));
    EXPECT_FALSE(b.Style().Contains(fsUnderline));
    EXPECT_EQ(b.Style().Bits(), 3u);
    EXPECT_EQ(b.Color(), clRed);
    b.SetColor(clRed); // unchanged: no notification
    EXPECT_EQ(changes, 1);
    b.SetStyle(b.Style() - fsBold);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(TFontStyles::FromBits(b.Style().Bits()), TFontStyles(fsItalic));
    const QFont q = b.ToQFont();
    EXPECT_TRUE(q.italic());
    EXPECT_FALSE(q.bold());

    // Values a font or pen cannot take change nothing and say nothing.
    b.SetName(QString());
    EXPECT_EQ(b.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(changes, 2);
    TPen pen;
    int penChanges = 0;
    pen.OnChange = [&] { ++penChanges; };
    pen.SetWidth(3);
    pen.SetWidth(-1);
    EXPECT_EQ(pen.Width(), 3);
    EXPECT_EQ(penChanges, 1);
}

// ---------------------------------------------------------------------------

TEST(CanvasShapes, RightAndBottomEdgesAreExcluded)
{
    TBitmap b(8, 8);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(clRed);
    c.FillRect(QRect(1, 1, 3, 3));
    EXPECT_EQ(InkBounds(b), QRect(1, 1, 3, 3));

    TBitmap r(8, 8);
    r.Canvas()->Brush()->SetColor(clRed);
    r.Canvas()->Pen()->SetColor(clBlue);
    r.Canvas()->Rectangle(0, 0, 4, 4);
    EXPECT_EQ(InkBounds(r), QRect(0, 0, 4, 4));
    for (int i = 0; i < 4; ++i) {
        ExpectPixels(r, { { i, 0, clBlue }, { i, 3, clBlue }, { 0, i, clBlue }, { 3, i, clBlue } });
    }
    EXPECT_EQ(Px(r, 1, 1), clRed);
    EXPECT_EQ(Px(r, 2, 2), clRed);

    // Without a pen the fill shrinks by one on the right and bottom.
    TBitmap n(8, 8);
    n.Canvas()->Brush()->SetColor(clRed);
    n.Canvas()->Pen()->SetStyle(psClear);
    n.Canvas()->Rectangle(QRect(1, 1, 4, 4));
    EXPECT_EQ(InkBounds(n), QRect(1, 1, 3, 3));

    TBitmap e(20, 20);
    e.Canvas()->Brush()->SetColor(clRed);
    e.Canvas()->Ellipse(2, 3, 12, 15);
    EXPECT_EQ(InkBounds(e), QRect(2, 3, 10, 12));

    TBitmap rr(20, 20);
    rr.Canvas()->RoundRect(1, 1, 15, 11, 6, 6);
    EXPECT_EQ(InkBounds(rr), QRect(1, 1, 14, 10));
    EXPECT_EQ(Px(rr, 1, 1), clWhite); // rounded corner

    // FrameRect draws with the brush, one pixel wide.
    TBitmap f(8, 8);
    f.Canvas()->Brush()->SetColor(clGreen);
    f.Canvas()->FrameRect(QRect(1, 1, 5, 4));
    EXPECT_EQ(InkBounds(f), QRect(1, 1, 5, 4));
    EXPECT_EQ(Px(f, 2, 2), clWhite);
    EXPECT_EQ(Px(f, 5, 4), clGreen);

    // A clear brush fills nothing; an inverted rectangle fills nothing.
    TBitmap z(8, 8);
    z.Canvas()->Brush()->SetStyle(bsClear);
    z.Canvas()->FillRect(QRect(0, 0, 8, 8));
    z.Canvas()->Brush()->SetColor(clRed);
    z.Canvas()->FillRect(Rect(5, 5, 2, 2));
    EXPECT_TRUE(InkBounds(z).isNull());
}

TEST(CanvasLines, EndPointIsLeftOutInEveryDirection)
{
    const QPoint directions[]
        = { { 1, 0 }, { 1, 1 }, { 0, 1 }, { -1, 1 }, { -1, 0 }, { -1, -1 }, { 0, -1 }, { 1, -1 } };
    for (QPoint d : directions) {
        TBitmap b(21, 21);
        TCanvas& c = *b.Canvas();
        c.MoveTo(10, 10);
        c.LineTo(10 + 5 * d.x(), 10 + 5 * d.y());
        EXPECT_EQ(c.PenPos(), QPoint(10 + 5 * d.x(), 10 + 5 * d.y()));
        EXPECT_EQ(Px(b, 10, 10), clBlack) << d.x() << "," << d.y();
        EXPECT_EQ(Px(b, 10 + 4 * d.x(), 10 + 4 * d.y()), clBlack) << d.x() << "," << d.y();
        EXPECT_EQ(Px(b, 10 + 5 * d.x(), 10 + 5 * d.y()), clWhite) << d.x() << "," << d.y();
        EXPECT_EQ(CountColor(b, clBlack, QRect(0, 0, 21, 21)), 5) << d.x() << "," << d.y();
    }
    // Shallow slopes too: one pixel per column, end column excluded.
    TBitmap s(21, 21);
    s.Canvas()->MoveTo(12, 10);
    s.Canvas()->LineTo(2, 13);
    EXPECT_EQ(CountColor(s, clBlack, QRect(0, 0, 21, 21)), 10);
    EXPECT_EQ(InkBounds(s).left(), 3);

    // Zero length draws nothing; drawing to x = -1 reaches pixel 0.
    TBitmap z(5, 5);
    z.Canvas()->MoveTo(2, 2);
    z.Canvas()->LineTo(2, 2);
    EXPECT_TRUE(InkBounds(z).isNull());
    z.Canvas()->MoveTo(4, 1);
    z.Canvas()->LineTo(-1, 1);
    EXPECT_EQ(InkBounds(z), QRect(0, 1, 5, 1));

    // Polyline: each segment without its end point, pen position unchanged.
    TBitmap p(10, 10);
    p.Canvas()->MoveTo(7, 7);
    p.Canvas()->Polyline({ QPoint(0, 0), QPoint(4, 0), QPoint(4, 4) });
    EXPECT_EQ(CountColor(p, clBlack, QRect(0, 0, 10, 10)), 8);
    EXPECT_EQ(Px(p, 4, 4), clWhite);
    EXPECT_EQ(p.Canvas()->PenPos(), QPoint(7, 7));
}

TEST(CanvasLines, PatternsAndRasterModes)
{
    TBitmap d(40, 3);
    d.Canvas()->Pen()->SetStyle(psDot);
    d.Canvas()->Brush()->SetStyle(bsClear);
    d.Canvas()->MoveTo(0, 1);
    d.Canvas()->LineTo(40, 1);
    const int dots = CountColor(d, clBlack, QRect(0, 1, 40, 1));
    EXPECT_GT(dots, 10);
    EXPECT_LT(dots, 30);
    // With a solid brush the gaps take the brush colour.
    d.Canvas()->Brush()->SetColor(clRed);
    d.Canvas()->Pen()->SetColor(clBlue);
    d.Canvas()->MoveTo(0, 2);
    d.Canvas()->LineTo(40, 2);
    EXPECT_EQ(CountColor(d, clBlue, QRect(0, 2, 40, 1)) + CountColor(d, clRed, QRect(0, 2, 40, 1)), 40);

    // XOR twice restores; NOT inverts.
    TBitmap x(10, 10);
    x.Canvas()->Brush()->SetColor(RGB(10, 20, 30));
    x.Canvas()->FillRect(QRect(0, 0, 10, 10));
    x.Canvas()->Pen()->SetMode(pmXor);
    x.Canvas()->Pen()->SetColor(clWhite);
    x.Canvas()->MoveTo(0, 5);
    x.Canvas()->LineTo(10, 5);
    EXPECT_EQ(Px(x, 3, 5), RGB(245, 235, 225));
    x.Canvas()->MoveTo(0, 5);
    x.Canvas()->LineTo(10, 5);
    EXPECT_EQ(Px(x, 3, 5), RGB(10, 20, 30));
    x.Canvas()->Pen()->SetMode(pmNot);
    x.Canvas()->MoveTo(3, 0);
    x.Canvas()->LineTo(3, 10);
    EXPECT_EQ(Px(x, 3, 0), RGB(245, 235, 225));
    // Pixels stay opaque after raster operations (alpha is not XORed away).
    EXPECT_EQ(qAlpha(x.Image().pixel(3, 0)), 255);
}

TEST(CanvasShapes, FocusRectIsAnInvertingDottedFrame)
{
    TBitmap b(12, 10);
    b.Canvas()->Brush()->SetColor(clBtnFace);
    b.Canvas()->FillRect(QRect(0, 0, 12, 10));
    const QImage before = b.Image().copy();
    b.Canvas()->DrawFocusRect(QRect(2, 2, 8, 6));
    int inverted = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            if (Px(b, x, y) != ColorToRGB(clBtnFace)) {
                ++inverted;
                EXPECT_TRUE(x == 2 || x == 9 || y == 2 || y == 7) << x << "," << y;
                EXPECT_EQ(Px(b, x, y), RGB(255 - 212, 255 - 208, 255 - 200));
            }
    EXPECT_EQ(inverted, 12); // every other pixel of the 24-pixel frame
    b.Canvas()->DrawFocusRect(QRect(2, 2, 8, 6));
    EXPECT_EQ(b.Image(), before);
}

TEST(CanvasShapes, PixelsReadAndWrite)
{
    TBitmap b(4, 4);
    b.Canvas()->SetPixels(1, 2, clRed);
    EXPECT_EQ(Px(b, 1, 2), clRed);
    b.Canvas()->SetPixels(0, 0, clBtnFace);
    EXPECT_EQ(Px(b, 0, 0), ColorToRGB(clBtnFace));
    // Mixed with painter drawing: both land in the same image.
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(QRect(3, 3, 1, 1));
    b.Canvas()->SetPixels(3, 0, clGreen);
    EXPECT_EQ(Px(b, 3, 3), clBlue);
    EXPECT_EQ(Px(b, 3, 0), clGreen);
    EXPECT_EQ(b.Canvas()->Pixels(9, 9), CLR_INVALID);
    EXPECT_EQ(b.Canvas()->Pixels(1, 2), clRed);
    b.Canvas()->SetPixels(-1, 0, clRed); // outside: ignored
}

// ---------------------------------------------------------------------------

TEST(CanvasText, TextOutIsOpaqueUnlessTheBrushIsClear)
{
    TBitmap b(60, 30);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(clYellow);
    const int w = c.TextWidth(QStringLiteral("_"));
    const int h = c.TextHeight(QStringLiteral("_"));
    c.TextOut(5, 5, QStringLiteral("_"));
    EXPECT_EQ(c.PenPos(), QPoint(5 + w, 5));
    // The top row of an underscore's cell holds no ink: background only.
    ExpectPixels(b,
        { { 5, 5, clYellow }, { 5 + w - 1, 5, clYellow }, { 5 + w, 5, clWhite }, { 5, 4, clWhite },
            { 4, 5, clWhite } });
    EXPECT_NE(Px(b, 5, 5 + h - 1), clWhite); // the cell's last row: background or ink

    c.Brush()->SetStyle(bsClear);
    c.TextOut(30, 5, QStringLiteral("_"));
    EXPECT_EQ(Px(b, 30, 5), clWhite);
    EXPECT_FALSE(InkBounds(b).intersected(QRect(30, 5, w, h)).isEmpty()); // the underscore itself
}

TEST(CanvasText, TextWithoutAntialiasingHasNoBlendedPixels)
{
    for (bool noAntialias : { false, true }) {
        TBitmap b(120, 20);
        TCanvas& c = *b.Canvas();
        c.SetNoAntialiasText(noAntialias);
        c.Brush()->SetColor(clFuchsia);
        c.Font()->SetColor(clNavy);
        c.Font()->SetStyle(fsItalic);
        const QString text = QStringLiteral("Smooth curves & slants");
        c.TextOut(2, 2, text);
        int other = 0, ink = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 120; ++x) {
                const TColor p = Px(b, x, y);
                ink += p == clNavy ? 1 : 0;
                other += (p != clNavy && p != clFuchsia && p != clWhite) ? 1 : 0;
            }
        if (noAntialias) {
            EXPECT_GT(ink, 20);
            EXPECT_EQ(other, 0);
        } else {
            EXPECT_GT(other, 0); // blended edges: what keyed bitmaps must avoid
        }
        EXPECT_EQ(c.PenPos().x(), 2 + c.TextWidth(text));
    }
}

TEST(CanvasText, TextRectFillsAndClipsToItsRectangle)
{
    TBitmap b(80, 30);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(clAqua);
    c.TextRect(QRect(10, 5, 20, 15), 12, 5, QStringLiteral("Wide text that overflows"));
    const QRect ink = InkBounds(b);
    EXPECT_EQ(ink, QRect(10, 5, 20, 15));
    EXPECT_EQ(Px(b, 10, 19), clAqua);
}

TEST(CanvasText, MeasuringNeedsNoPainterAndMatchesTheFont)
{
    TCanvas unbound; // draws nowhere, still measures
    const QFontMetrics fm(unbound.Font()->ToQFont());
    EXPECT_EQ(unbound.TextWidth(QStringLiteral("Hello")), fm.horizontalAdvance(QStringLiteral("Hello")));
    EXPECT_EQ(unbound.TextHeight(QString()), fm.height());
    EXPECT_EQ(unbound.TextExtent(QStringLiteral("Hi")),
        QSize(unbound.TextWidth(QStringLiteral("Hi")), unbound.TextHeight(QStringLiteral("Hi"))));
    // Widths add up (no kerning), as width-fitting code assumes.
    EXPECT_EQ(unbound.TextWidth(QStringLiteral("AV")),
        unbound.TextWidth(QStringLiteral("A")) + unbound.TextWidth(QStringLiteral("V")));
    // Drawing on an unbound canvas is a no-op, not a crash.
    unbound.FillRect(QRect(0, 0, 10, 10));
    unbound.TextOut(0, 0, QStringLiteral("x"));
    EXPECT_EQ(unbound.Pixels(0, 0), CLR_INVALID);
}

TEST(CanvasText, DrawTextMeasuresPrefixesTabsAndWrapping)
{
    TBitmap b(10, 10);
    TCanvas& c = *b.Canvas();
    const int lh = c.TextHeight(QStringLiteral("A"));
    auto measure = [&](const QString& s, int width, unsigned flags) {
        QRect r(0, 0, width, 0);
        const int h = DrawText(c, s, r, flags | DT_CALCRECT);
        EXPECT_EQ(h, r.height());
        return r;
    };

    EXPECT_EQ(measure(QStringLiteral("&Save"), 0, DT_SINGLELINE).width(), c.TextWidth(QStringLiteral("Save")));
    EXPECT_EQ(
        measure(QStringLiteral("&Save"), 0, DT_SINGLELINE | DT_NOPREFIX).width(), c.TextWidth(QStringLiteral("&Save")));
    EXPECT_EQ(measure(QStringLiteral("A&&B"), 0, DT_SINGLELINE).width(), c.TextWidth(QStringLiteral("A&B")));
    EXPECT_GT(measure(QStringLiteral("A&&B"), 0, DT_SINGLELINE).width(), c.TextWidth(QStringLiteral("AB")));

    // Empty text is one line high and zero wide.
    EXPECT_EQ(measure(QString(), 50, DT_WORDBREAK), QRect(0, 0, 0, lh));
    EXPECT_EQ(measure(QStringLiteral("one\ntwo\r\nthree"), 0, 0).height(), 3 * lh);
    EXPECT_EQ(measure(QStringLiteral("one\ntwo"), 0, DT_SINGLELINE).height(), lh);

    // Wrapping: several lines, each within the width.
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog again and again");
    const QRect wrapped = measure(sentence, 80, DT_WORDBREAK);
    EXPECT_GT(wrapped.height(), lh);
    EXPECT_EQ(wrapped.height() % lh, 0);
    EXPECT_LE(wrapped.width(), 80);
    EXPECT_GT(wrapped.width(), 40);
    // Without word break the same text is one line.
    EXPECT_EQ(measure(sentence, 80, 0), QRect(0, 0, c.TextWidth(sentence), lh));
    // A word wider than the rectangle stands alone and widens the result.
    const QRect wide = measure(QStringLiteral("a Incomprehensibilities b"), 30, DT_WORDBREAK);
    EXPECT_EQ(wide.height(), 3 * lh);
    EXPECT_EQ(wide.width(), c.TextWidth(QStringLiteral("Incomprehensibilities")));

    // Tabs expand to stops of eight average characters.
    const int tab = 8 * c.FontMetrics().averageCharWidth();
    EXPECT_EQ(measure(QStringLiteral("a\tb"), 0, DT_EXPANDTABS | DT_SINGLELINE).width(),
        tab + c.TextWidth(QStringLiteral("b")));
    // Ellipsis keeps a long line within the width.
    EXPECT_LE(measure(sentence, 60, DT_SINGLELINE | DT_END_ELLIPSIS).width(), 60);
}

TEST(CanvasText, DrawTextPlacesItsLinesByAlignment)
{
    // Spaces draw no ink, so the opaque background shows each line's box.
    const QString blanks = QStringLiteral("    ");
    auto box = [&](unsigned flags, const QRect& r) {
        TBitmap b(120, 60);
        b.Canvas()->Brush()->SetColor(clRed);
        DrawText(*b.Canvas(), blanks, r, flags);
        return InkBounds(b);
    };
    TBitmap probe(1, 1);
    const int w = probe.Canvas()->TextWidth(blanks);
    const int lh = probe.Canvas()->TextHeight(blanks);
    const QRect r(10, 10, 100, 40);
    EXPECT_EQ(box(DT_LEFT, r), QRect(10, 10, w, lh));
    EXPECT_EQ(box(DT_RIGHT, r), QRect(110 - w, 10, w, lh));
    EXPECT_EQ(box(DT_CENTER | DT_VCENTER | DT_SINGLELINE, r), QRect((120 - w) / 2, (60 - lh) / 2, w, lh));
    EXPECT_EQ(box(DT_BOTTOM | DT_SINGLELINE, r), QRect(10, 50 - lh, w, lh));
    // Vertical centring needs a single line.
    EXPECT_EQ(box(DT_VCENTER, r), QRect(10, 10, w, lh));

    TBitmap b(120, 60);
    QRect small(0, 0, 100, 40);
    EXPECT_EQ(DrawText(*b.Canvas(), blanks, small, DT_VCENTER | DT_SINGLELINE), (40 - lh) / 2 + lh);

    // Clipped to the rectangle unless DT_NOCLIP.
    TBitmap clip(120, 60);
    clip.Canvas()->Brush()->SetColor(clRed);
    DrawText(*clip.Canvas(), blanks, QRect(0, 0, 3, 3), DT_LEFT);
    EXPECT_EQ(InkBounds(clip), QRect(0, 0, 3, 3));
    DrawText(*clip.Canvas(), blanks, QRect(0, 20, 3, 3), DT_LEFT | DT_NOCLIP);
    EXPECT_EQ(InkBounds(clip), QRect(0, 0, w, 20 + lh));
}

TEST(CanvasText, PrefixUnderlinesTheNextCharacter)
{
    auto ink = [](const QString& text, unsigned flags) {
        TBitmap b(60, 30);
        b.Canvas()->Brush()->SetStyle(bsClear);
        DrawText(*b.Canvas(), text, QRect(0, 0, 60, 30), flags);
        return InkBounds(b);
    };
    // "&" before a space: only the underline shows, under the space.
    TBitmap probe(1, 1);
    const QFontMetrics& fm = probe.Canvas()->FontMetrics();
    const QRect line = ink(QStringLiteral("  & "), DT_SINGLELINE);
    ASSERT_FALSE(line.isNull());
    EXPECT_EQ(line.left(), probe.Canvas()->TextWidth(QStringLiteral("  ")));
    EXPECT_EQ(line.width(), probe.Canvas()->TextWidth(QStringLiteral(" ")));
    EXPECT_GT(line.top(), fm.ascent() - 1);
    EXPECT_TRUE(ink(QStringLiteral("   "), DT_SINGLELINE).isNull());
    EXPECT_TRUE(ink(QStringLiteral("  && "), DT_SINGLELINE).top() < fm.ascent()); // a drawn "&", no underline row only
}

// ---------------------------------------------------------------------------

TEST(CanvasFrames, DrawEdgeColoursAndAdjust)
{
    TBitmap b(6, 6);
    QRect r(0, 0, 6, 6);
    DrawEdge(*b.Canvas(), r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, QRect(2, 2, 2, 2));
    EXPECT_EQ(Px(b, 0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(Px(b, 4, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(Px(b, 5, 0), ColorToRGB(cl3DDkShadow)); // far corners belong to bottom/right
    ExpectPixels(b,
        { { 0, 5, ColorToRGB(cl3DDkShadow) }, { 1, 1, ColorToRGB(clBtnHighlight) },
            { 4, 2, ColorToRGB(clBtnShadow) } });
    EXPECT_EQ(Px(b, 2, 2), clWhite); // untouched middle

    TBitmap s(6, 6);
    QRect rs(0, 0, 6, 6);
    DrawEdge(*s.Canvas(), rs, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(rs, QRect(0, 0, 6, 6)); // no BF_ADJUST
    ExpectPixels(s,
        { { 0, 0, ColorToRGB(clBtnShadow) }, { 5, 5, ColorToRGB(clBtnHighlight) }, { 1, 1, ColorToRGB(cl3DDkShadow) },
            { 4, 4, ColorToRGB(cl3DLight) }, { 2, 2, ColorToRGB(clBtnFace) } });

    TBitmap f(6, 6);
    QRect rf(0, 0, 6, 6);
    DrawEdge(*f.Canvas(), rf, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_FLAT);
    ExpectPixels(
        f, { { 0, 0, ColorToRGB(clBtnShadow) }, { 5, 5, ColorToRGB(clBtnShadow) }, { 1, 1, ColorToRGB(clBtnFace) } });

    // Only the requested sides.
    TBitmap t(6, 6);
    QRect rt(0, 0, 6, 6);
    DrawEdge(*t.Canvas(), rt, BDR_SUNKENOUTER, BF_TOP | BF_ADJUST);
    EXPECT_EQ(rt, QRect(0, 1, 6, 5));
    EXPECT_EQ(InkBounds(t), QRect(0, 0, 6, 1));
}

TEST(CanvasFrames, Frame3DShrinksPerPass)
{
    TBitmap b(8, 8);
    QRect r(0, 0, 8, 8);
    Frame3D(*b.Canvas(), r, clWhite, clBlack, 2);
    EXPECT_EQ(r, QRect(2, 2, 4, 4));
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(QRect(0, 0, 8, 8).adjusted(2, 2, -2, -2));
    // Top-left colour: white on row 0 up to x = 6, black owns the far corners.
    ExpectPixels(b,
        { { 6, 0, clWhite }, { 7, 0, clBlack }, { 0, 7, clBlack }, { 7, 7, clBlack }, { 6, 1, clBlack },
            { 1, 6, clBlack }, { 2, 2, clRed } });
    EXPECT_EQ(b.Canvas()->Pen()->Color(), clBlack);
}

TEST(CanvasFrames, FrameControlCheckBoxesAndButtons)
{
    auto check = [](unsigned state) {
        auto b = std::make_unique<TBitmap>(13, 13);
        DrawFrameControl(*b->Canvas(), QRect(0, 0, 13, 13), DFC_BUTTON, state);
        return b;
    };
    auto flat = check(DFCS_BUTTONCHECK | DFCS_FLAT);
    EXPECT_EQ(Px(*flat, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(*flat, 12, 12), ColorToRGB(clBtnShadow));
    EXPECT_EQ(CountColor(*flat, clWindowText, QRect(1, 1, 11, 11)), 0);
    auto checked = check(DFCS_BUTTONCHECK | DFCS_FLAT | DFCS_CHECKED);
    EXPECT_EQ(CountColor(*checked, clWindowText, QRect(1, 1, 11, 11)), 21); // 7 columns of 3
    EXPECT_EQ(Px(*checked, 1, 1), clWhite);
    auto inactive = check(DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ(Px(*inactive, 2, 2), ColorToRGB(clBtnFace));
    EXPECT_EQ(CountColor(*inactive, clGrayText, QRect(2, 2, 9, 9)), 21);
    EXPECT_EQ(Px(*inactive, 0, 0), ColorToRGB(clBtnShadow)); // sunken edge

    auto push = check(DFCS_BUTTONPUSH);
    ExpectPixels(*push,
        { { 1, 1, ColorToRGB(clBtnHighlight) }, { 12, 12, ColorToRGB(cl3DDkShadow) },
            { 6, 6, ColorToRGB(clBtnFace) } });
    auto pushed = check(DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(Px(*pushed, 0, 0), ColorToRGB(clBtnShadow));

    TBitmap none(4, 4);
    EXPECT_FALSE(DrawFrameControl(*none.Canvas(), QRect(0, 0, 4, 4), 1, 0));
}

// ---------------------------------------------------------------------------

TEST(CanvasState, SaveTranslateClipAndRestore)
{
    TBitmap b(20, 20);
    TCanvas& c = *b.Canvas();
    EXPECT_EQ(c.ClipRect(), QRect(0, 0, 20, 20));
    c.Brush()->SetColor(clRed);
    EXPECT_EQ(c.Save(), 1);
    c.Translate(5, 6); // a parent painted into a child at (-5, -6)... here the other way round
    c.IntersectClipRect(QRect(0, 0, 4, 3));
    EXPECT_EQ(c.ClipRect(), QRect(0, 0, 4, 3));
    EXPECT_EQ(c.ViewportOrigin(), QPoint(5, 6));
    c.FillRect(QRect(-10, -10, 40, 40));
    EXPECT_EQ(InkBounds(b), QRect(5, 6, 4, 3));
    EXPECT_EQ(c.Pixels(0, 0), clRed);
    EXPECT_EQ(c.Pixels(5, 5), CLR_INVALID); // outside the clip
    c.SetPixels(6, 0, clBlue); // outside the clip: ignored
    EXPECT_EQ(Px(b, 11, 6), clWhite);

    // Nested save: a further clip, then back.
    c.Save();
    c.IntersectClipRect(QRect(100, 100, 5, 5));
    EXPECT_TRUE(c.ClipRect().isEmpty());
    c.Brush()->SetColor(clBlue);
    c.FillRect(QRect(0, 0, 4, 3));
    c.Restore();
    EXPECT_EQ(CountColor(b, clBlue, QRect(0, 0, 20, 20)), 0);

    c.Restore();
    EXPECT_EQ(c.ViewportOrigin(), QPoint(0, 0));
    EXPECT_EQ(c.ClipRect(), QRect(0, 0, 20, 20));
    c.FillRect(QRect(0, 0, 2, 2));
    EXPECT_EQ(Px(b, 0, 0), clBlue);
    c.Restore(); // unbalanced: ignored
    c.SetViewportOrigin(QPoint(-3, -3));
    c.FillRect(QRect(3, 3, 1, 1));
    EXPECT_EQ(Px(b, 0, 0), clBlue);
}

TEST(CanvasState, BoundPainterDrawsIntoItsDevice)
{
    QImage target(30, 30, QImage::Format_RGB32);
    target.fill(Qt::white);
    TCanvas canvas;
    canvas.Brush()->SetColor(clRed);
    {
        QPainter painter(&target);
        painter.translate(10, 10); // as a parent translates to a child's origin
        canvas.BeginPaint(&painter);
        EXPECT_TRUE(canvas.IsBound());
        canvas.FillRect(QRect(0, 0, 2, 2));
        EXPECT_EQ(canvas.Pixels(0, 0), clRed);
        EXPECT_EQ(canvas.Pixels(2, 2), clWhite);
        // A nested binding wins until it ends.
        QImage other(5, 5, QImage::Format_RGB32);
        other.fill(Qt::white);
        {
            QPainter inner(&other);
            canvas.BeginPaint(&inner);
            canvas.FillRect(QRect(0, 0, 1, 1));
            canvas.EndPaint();
        }
        EXPECT_EQ(other.pixel(0, 0), qRgb(255, 0, 0));
        canvas.BeginPaint(nullptr);
        canvas.FillRect(QRect(0, 0, 30, 30));
        canvas.SetPixels(1, 1, clBlue);
        EXPECT_EQ(canvas.Pixels(0, 0), CLR_INVALID);
        EXPECT_TRUE(canvas.ClipRect().isEmpty());
        canvas.EndPaint();
        canvas.MoveTo(0, 5);
        canvas.LineTo(3, 5);
        // The painter's own state is untouched by the canvas.
        EXPECT_EQ(painter.transform().dx(), 10);
        EXPECT_FALSE(painter.hasClipping());
        canvas.EndPaint();
    }
    EXPECT_FALSE(canvas.IsBound());
    EXPECT_EQ(target.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(11, 11), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(12, 12), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(12, 15), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(13, 15), qRgb(255, 255, 255));
}

TEST(CanvasState, OnChangeFiresAfterDrawingNotMeasuring)
{
    TBitmap b(10, 10);
    int canvasChanges = 0, bitmapChanges = 0;
    b.Canvas()->OnChange = [&] { ++canvasChanges; };
    b.OnChange = [&] { ++bitmapChanges; };
    b.Canvas()->TextWidth(QStringLiteral("x"));
    b.Canvas()->Pixels(1, 1);
    EXPECT_EQ(canvasChanges, 0);
    b.Canvas()->FillRect(QRect(0, 0, 5, 5));
    b.Canvas()->SetPixels(6, 6, clRed);
    EXPECT_EQ(canvasChanges, 2);
    EXPECT_EQ(bitmapChanges, 2);
}

TEST(CanvasState, TextColorOverrideLastsUntilTheFontChanges)
{
    TCanvas c;
    c.Font()->SetColor(clBlue);
    EXPECT_EQ(c.SetTextColor(clRed), clBlue);
    EXPECT_EQ(c.TextColor(), clRed);
    c.Font()->SetColor(clGreen);
    EXPECT_EQ(c.TextColor(), clGreen);
}

TEST(CanvasText, TextWithoutAntialiasingDrawsOnlyWhatShowsAndTheSame)
{
    // A word far wider than the bitmap, drawn from far left or clipped,
    // matches the same word drawn whole onto a wide bitmap.
    const QString word = QStringLiteral("Smooth curves & slants, moreover");
    auto draw = [&](TBitmap& b, int x, const QRect* clip) {
        TCanvas& c = *b.Canvas();
        c.SetNoAntialiasText(true);
        c.Font()->SetSize(20);
        c.Font()->SetColor(clNavy);
        c.Brush()->SetStyle(bsClear);
        if (clip)
            c.IntersectClipRect(*clip);
        c.TextOut(x, 2, word);
    };
    TBitmap whole(600, 40);
    draw(whole, 2, nullptr);
    const QRect clip(10, 0, 30, 40);
    for (const QRect* c : { static_cast<const QRect*>(nullptr), &clip }) {
        TBitmap part(60, 40);
        draw(part, -200, c);
        int differ = 0, ink = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                const bool shown = !c || c->contains(x, y);
                const TColor expected = shown ? Px(whole, x + 202, y) : clWhite;
                differ += Px(part, x, y) != expected;
                ink += Px(part, x, y) == clNavy;
            }
        EXPECT_EQ(differ, 0);
        EXPECT_GT(ink, 10);
    }
}

TEST(CanvasText, TextWithoutInkDrawsWithoutAHugeLayer)
{
    TBitmap bmp;
    bmp.SetSize(40, 20);
    bmp.Canvas()->SetNoAntialiasText(true);
    bmp.Canvas()->Brush()->SetStyle(bsClear);
    bmp.Canvas()->TextOut(2, 2, QStringLiteral("\t"));
    bmp.Canvas()->TextOut(2, 2, QString(QChar(0xE000)));
    EXPECT_EQ(bmp.Image().pixel(20, 10) & 0xFFFFFF, 0xFFFFFFu);
}
