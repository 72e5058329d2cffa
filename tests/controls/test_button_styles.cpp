// The face painter of the styled buttons: edge pixels and fills per style
// and state, gradient ends, the transparent key, colour arithmetic on system
// colours, glyph image choice, and the placement of glyph and caption.
#include "buttons_fixture.h"

#include "controls/button_styles.h"

namespace {

class ButtonFace : public ButtonsFixture {
protected:
    static constexpr int W = 40, H = 20;

    TLbButtonFace Face(TLbButtonStyle style = bsNormal) const
    {
        TLbButtonFace f;
        f.Width = W;
        f.Height = H;
        f.Style = style;
        f.Font = &font;
        f.ShadowColor = clNavy;
        return f;
    }
    // The face drawn on a magenta bitmap, as the buttons draw it.
    static QImage Paint(const TLbButtonFace& f)
    {
        TBitmap bmp(f.Width, f.Height);
        bmp.Canvas()->FillSolidRect(QRect(0, 0, f.Width, f.Height), clLbTransparent);
        PaintLbButtonFace(*bmp.Canvas(), f);
        return bmp.Image();
    }
    static TLbFaceLayout Layout(const TLbButtonFace& f)
    {
        TBitmap bmp(1, 1);
        return LayoutLbButtonFace(*bmp.Canvas(), f);
    }
    TFont font;
};

} // namespace

TEST_F(ButtonFace, PlainFacesFillWithTheResolvedColourAndBevelByState)
{
    const QImage up = Paint(Face());
    EXPECT_EQ(Px(up, W / 2, H / 2), Rgb(clBtnFace)); // the system colour's RGB, not near-black
    EXPECT_EQ(Px(up, 0, H - 1), Rgb(clWhite));
    EXPECT_EQ(Px(up, W - 1, 0), Rgb(clNavy)); // the right edge owns the corner
    TLbButtonFace f = Face();
    f.Down = true;
    EXPECT_EQ(Px(Paint(f), 0, 0), Rgb(clNavy));
    EXPECT_EQ(Px(Paint(f), W - 1, H - 1), Rgb(clWhite));
    EXPECT_EQ(Layout(f).Shift, 1);

    f = Face(); // flat: a border only when hovered or pressed, never when disabled
    f.Flat = true;
    EXPECT_EQ(Px(Paint(f), 0, 0), Rgb(clBtnFace));
    f.Hovered = true;
    EXPECT_EQ(Px(Paint(f), 0, 0), Rgb(clWhite));
    f.Enabled = false;
    EXPECT_EQ(Px(Paint(f), 0, 0), Rgb(clBtnFace));
    f.Flat = false;
    EXPECT_EQ(Px(Paint(f), 0, 0), Rgb(clWhite));

    f = Face(bsOld);
    const QImage old = Paint(f);
    EXPECT_EQ(Px(old, W - 2, 5), Rgb(clNavy)); // inner line
    EXPECT_EQ(Px(old, W - 1, 5), Rgb(cl3DDkShadow));
    EXPECT_EQ(Px(old, 0, H - 1), Rgb(cl3DDkShadow)); // the bottom edge runs to x = -1
    f.Down = true;
    EXPECT_EQ(Px(Paint(f), 1, 5), Rgb(clNavy));
    EXPECT_EQ(Px(Paint(f), 0, 5), Rgb(cl3DDkShadow));

    EXPECT_EQ(Count(Paint(Face(bsShape)), QRect(0, 0, W, H), clLbTransparent), W * H);
    f = Face(); // a transparent plain face keeps what lay under it
    f.Transparent = true;
    EXPECT_EQ(Px(Paint(f), W / 2, H / 2), Rgb(clLbTransparent));
}

TEST_F(ButtonFace, HotTrackAndDownColoursPickTheFace)
{
    TLbButtonFace f = Face();
    f.Hovered = true;
    f.HotTrackStep = 8;
    EXPECT_EQ(Layout(f).FaceColor, ColorToRGB(clBtnFace)); // no hot-track colour
    f.HotTrackColor = 0x0000DFDF;
    EXPECT_EQ(Layout(f).FaceColor, 0x0000DFDF);
    f.HotTrackStep = 4; // halfway from clBtnFace's (212, 208, 200) to (223, 223, 0)
    EXPECT_EQ(Layout(f).FaceColor, RGB(218, 216, 100));
    f.HotTrackStep = 8;
    f.Down = true;
    EXPECT_EQ(Layout(f).FaceColor, 0x0000DFDF); // ColorWhenDown clNone keeps the hover colour
    f.ColorWhenDown = clBtnShadow;
    EXPECT_EQ(Px(Paint(f), W / 2, H / 2), Rgb(clBtnShadow));

    f.Style = bsEncarta; // pressed, it turns bold instead of moving, on a copy of the font
    TBitmap bmp(W, H);
    EXPECT_EQ(LayoutLbButtonFace(*bmp.Canvas(), f).Shift, 0);
    EXPECT_TRUE(bmp.Canvas()->Font()->Style().Contains(fsBold));
    EXPECT_FALSE(font.Style().Contains(fsBold));
}

TEST_F(ButtonFace, ModernFacesAreRoundedGradientsOverTheTransparentKey)
{
    TLbButtonFace f = Face(bsModern);
    f.Height = 160; // every band of the gradients shows
    f.Color = 0x0000C0C0;
    const QImage img = Paint(f);
    EXPECT_EQ(Px(img, 0, 0), Rgb(clLbTransparent)); // rounded corners
    EXPECT_EQ(Px(img, W / 2, 0), Rgb(clNavy));
    EXPECT_EQ(Px(img, W / 2, 2), Rgb(clWhite)); // from light at y = 2 ...
    EXPECT_EQ(Px(img, W / 2, 40), Rgb(0x0000C0C0)); // ... to the face at H div 4, and back
    const auto towards = [](int from, int to) { return from + qRound(30 * (to - from) / 31.0); };
    EXPECT_EQ(Px(img, W / 2, 157), Rgb(RGB(towards(0xC0, 0xFF), towards(0xC0, 0xFF), towards(0, 0xFF))));
    EXPECT_EQ(Px(img, W / 2, 158), Rgb(0x0000C0C0)); // inner outline, then the rounded one
    f.Down = true;
    EXPECT_EQ(Px(Paint(f), 5, 1), Rgb(clNavy));
    EXPECT_EQ(Px(Paint(f), W / 2, 41), Rgb(0x0000C0C0));
    f.Transparent = true;
    EXPECT_EQ(Px(Paint(f), W / 2, 80), Rgb(clLbTransparent));
}

TEST_F(ButtonFace, TinyFacesAndOddStripsDrawWithoutReadingOutside)
{
    const auto strip = Strip({ clRed, clLime });
    TBitmap empty;
    empty.SetSize(0, 16);
    for (const TLbButtonStyle style : { bsNormal, bsEncarta, bsModern, bsOld, bsShape })
        for (const QSize size : { QSize(1, 1), QSize(7, 2), QSize(0, 5) }) {
            TLbButtonFace f = Face(style);
            f.Width = size.width();
            f.Height = size.height();
            f.Caption = QStringLiteral("Caption");
            f.Glyph = strip.get();
            f.NumGlyphs = 5; // images 3 pixels wide
            f.HasPopup = true;
            if (size.width() > 0)
                Paint(f);
            f.Glyph = &empty;
            EXPECT_EQ(Layout(f).GlyphIndex, -1);
        }
}

TEST_F(ButtonFace, TheGlyphImageFollowsStateAndImageCount)
{
    // Normal, hovered, pressed and hovered, disabled; for 1 to 5 images.
    const int expected[5][4] = { { 0, 0, 0, 0 }, { 0, 0, 0, 1 }, { 0, 0, 2, 1 }, { 0, 3, 2, 1 }, { 0, 3, 2, 1 } };
    const auto strip = Strip({ clRed, clLime, clBlue, clAqua, clPurple });
    for (int n = 1; n <= 5; ++n) {
        TBitmap part;
        part.SetImage(strip->Image().copy(0, 0, 8 * n, 8));
        TLbButtonFace f = Face();
        f.Glyph = &part;
        f.NumGlyphs = n;
        EXPECT_EQ(Layout(f).GlyphIndex, expected[n - 1][0]) << n;
        f.Hovered = true;
        EXPECT_EQ(Layout(f).GlyphIndex, expected[n - 1][1]) << n;
        f.Down = true;
        EXPECT_EQ(Layout(f).GlyphIndex, expected[n - 1][2]) << n;
        f.Enabled = false;
        EXPECT_EQ(Layout(f).GlyphIndex, expected[n - 1][3]) << n;
        if (n == 5) { // the chosen image is drawn at the glyph position
            f.Enabled = true;
            f.Down = false;
            const TLbFaceLayout L = Layout(f);
            EXPECT_EQ(Px(Paint(f), L.GlyphPos.x() + 4, L.GlyphPos.y() + 4), Rgb(clAqua));
        }
    }
}

TEST_F(ButtonFace, GlyphAndCaptionArePlacedByLayoutAndAlignment)
{
    const auto strip = Strip({ clRed });
    TLbButtonFace f = Face();
    f.Width = 120;
    f.Height = 60;
    f.Glyph = strip.get();
    f.NumGlyphs = 1;
    f.Caption = QStringLiteral("Go");
    TBitmap bmp(1, 1);
    bmp.Canvas()->Font()->Assign(font);
    const int tw = bmp.Canvas()->TextWidth(f.Caption), gw = 8;
    for (const bool down : { false, true })
        for (const TAlignment a : { taLeftJustify, taCenter, taRightJustify }) {
            SCOPED_TRACE(testing::Message() << down << a);
            f.Alignment = a;
            f.Down = down;
            const int s = down ? 1 : 0;
            // Glyph left of the caption: glyph and caption 4 apart, as a unit aligned.
            f.Layout = blGlyphLeft;
            TLbFaceLayout L = Layout(f);
            EXPECT_EQ(
                L.TextRect, Rect(s + 4 + gw + 4, L.TextRect.top(), s + 116, L.TextRect.top() + L.TextRect.height()));
            const int leftX[3] = { s + 4, (120 - gw) / 2 + s - (tw + 4) / 2, 120 + s - gw - tw - 8 };
            EXPECT_EQ(L.GlyphPos, QPoint(leftX[a == taLeftJustify ? 0 : a == taCenter ? 1 : 2], 26 + s));
            f.Layout = blGlyphRight;
            L = Layout(f);
            EXPECT_EQ(L.TextRect.left(), s + 4);
            const int rightX[3] = { s + 8 + tw, (120 - gw) / 2 + s + (tw + 4) / 2, 120 + s - gw - 4 };
            EXPECT_EQ(L.GlyphPos.x(), rightX[a == taLeftJustify ? 0 : a == taCenter ? 1 : 2]);
            // Glyph above or below: the pair centred vertically, 4 spared between.
            const int glyphX = a == taLeftJustify ? s + 4 : a == taRightJustify ? 120 + s - gw - 4 : 56 + s;
            for (const TButtonLayout layout : { blGlyphTop, blGlyphBottom }) {
                f.Layout = layout;
                L = Layout(f);
                const int th = L.TextRect.height(), e = (60 - (8 + th + 4)) / 2;
                EXPECT_EQ(L.TextRect.topLeft(), QPoint(s + 4, (layout == blGlyphTop ? e + 8 : e) + s));
                EXPECT_EQ(L.GlyphPos, QPoint(glyphX, (layout == blGlyphTop ? e : e + th) + s));
            }
        }
    f.Style = bsShape;
    f.Down = false;
    EXPECT_EQ(Layout(f).GlyphPos, QPoint(56, 26));
}

TEST_F(ButtonFace, ACaptionTooWideLosesCharactersAndAPopupGetsItsMark)
{
    TLbButtonFace f = Face();
    f.Caption = QStringLiteral("A caption far too wide");
    TBitmap bmp(1, 1);
    bmp.Canvas()->Font()->Assign(font);
    const QString shown = Layout(f).Caption;
    EXPECT_TRUE(f.Caption.startsWith(shown));
    EXPECT_LE(bmp.Canvas()->TextWidth(shown), W - 8);
    EXPECT_GT(bmp.Canvas()->TextWidth(f.Caption.left(shown.size() + 1)), W - 8);
    f.WordWrap = true;
    EXPECT_EQ(Layout(f).Caption, f.Caption);

    f = Face();
    const QImage plain = Paint(f);
    f.HasPopup = true;
    const QRect mark(W - 11, H / 2 - 1, 7, 4);
    EXPECT_LT(Count(Paint(f), mark, clBtnFace), Count(plain, mark, clBtnFace));
}
