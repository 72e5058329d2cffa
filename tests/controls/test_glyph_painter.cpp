// The glyph painter: image counts from the strip, the image built for each
// state, the disabled and grey looks, shared image lists, the placement of
// glyph, caption and mark, and the 3-D frame.
#include "buttons_fixture.h"

#include "controls/glyph_painter.h"

namespace {

class GlyphPainter : public ButtonsFixture {
protected:
    // The middle of a state's built image (0 where transparent).
    static QRgb Middle(TButtonGlyph& g, TSpeedButtonState state)
    {
        const int slot = g.MakeStateGlyph(state);
        const QImage image = g.GlyphList()->Image(slot);
        return image.pixel(image.width() / 2, image.height() / 2);
    }
    static QRgb Opaque(TColor c) { return ToQColor(c).rgb(); }
};

} // namespace

TEST_F(GlyphPainter, TheStripSetsTheImageCountWhenItsImagesAreSquare)
{
    TButtonGlyph g;
    g.SetGlyph(Strip({ clRed, clLime }, 16).get());
    EXPECT_EQ(g.NumGlyphs(), 2);
    TBitmap odd(40, 16), wide(96, 16), none;
    g.SetGlyph(&odd);
    EXPECT_EQ(g.NumGlyphs(), 2); // not square: the count stays
    g.SetGlyph(&wide);
    EXPECT_EQ(g.NumGlyphs(), 1); // six would be more than five: one wide image
    none.SetSize(0, 16); // no width: neither a count of 0 nor anything drawn
    g.SetNumGlyphs(3);
    g.SetGlyph(&none);
    EXPECT_EQ(g.NumGlyphs(), 3);
    TBitmap canvas(20, 20);
    EXPECT_EQ(g.DrawButtonGlyph(*canvas.Canvas(), 0, 0, rbsUp), QSize(0, 0));
    EXPECT_EQ(g.MakeStateGlyph(rbsInactive), -1);
}

TEST_F(GlyphPainter, EachStateTakesItsImageOrFallsBackToTheFirst)
{
    const TColor colors[5] = { clRed, clLime, clBlue, clAqua, clPurple };
    const QRgb grey = qRgb(76, 76, 76); // red greyed: 77 * 255 >> 8
    for (int n = 1; n <= 5; ++n) {
        TButtonGlyph g;
        TBitmap strip;
        strip.SetImage(Strip({ clRed, clLime, clBlue, clAqua, clPurple })->Image().copy(0, 0, 8 * n, 8));
        g.SetGlyph(&strip);
        ASSERT_EQ(g.NumGlyphs(), n);
        EXPECT_EQ(Middle(g, rbsUp), Opaque(colors[0]));
        EXPECT_EQ(Middle(g, rbsDown), Opaque(colors[n > 2 ? 2 : 0])) << n;
        EXPECT_EQ(Middle(g, rbsExclusive), Opaque(colors[n > 3 ? 3 : 0])) << n;
        EXPECT_EQ(Middle(g, rbsInactive), n > 4 ? Opaque(colors[4]) : grey) << n;
        if (n > 1) {
            EXPECT_EQ(Middle(g, rbsDisabled), Opaque(colors[1])) << n;
        }
        EXPECT_EQ(g.MakeStateGlyph(rbsDown) == g.MakeStateGlyph(rbsUp), n < 3) << n;
        const int inactive = g.MakeStateGlyph(rbsInactive);
        EXPECT_EQ(qAlpha(g.GlyphList()->Image(inactive).pixel(0, 7)), 0); // the key stays transparent
    }

    TBitmap source(8, 8); // one image: disabled is its black outline embossed
    source.Canvas()->FillSolidRect(QRect(0, 0, 8, 8), clFuchsia);
    source.Canvas()->FillSolidRect(QRect(2, 2, 3, 3), clBlack);
    source.Canvas()->SetPixels(6, 1, clRed);
    TButtonGlyph g;
    g.SetGlyph(&source);
    const int slot = g.MakeStateGlyph(rbsDisabled);
    const QImage disabled = g.GlyphList()->Image(slot);
    EXPECT_EQ(disabled.pixel(2, 2), Opaque(clBtnShadow));
    EXPECT_EQ(disabled.pixel(5, 5), Opaque(clBtnHighlight));
    EXPECT_EQ(qAlpha(disabled.pixel(6, 1)), 0); // other colours vanish
}

TEST_F(GlyphPainter, PaintersOfOneImageSizeShareAListThatGoesWithTheLastOfThem)
{
    ASSERT_EQ(GlyphCache(), nullptr) << "a painter outlived its test";
    {
        auto a = std::make_unique<TButtonGlyph>();
        auto b = std::make_unique<TButtonGlyph>();
        TButtonGlyph c;
        a->SetGlyph(Strip({ clRed }, 16).get());
        b->SetGlyph(Strip({ clLime, clBlue }, 16).get());
        c.SetGlyph(Strip({ clBlue }, 12).get());
        const int slotA = a->MakeStateGlyph(rbsUp);
        const int slotB = b->MakeStateGlyph(rbsUp);
        c.MakeStateGlyph(rbsUp);
        EXPECT_EQ(a->GlyphList(), b->GlyphList());
        EXPECT_EQ(GlyphCache()->ListCount(), 2);
        a.reset();
        EXPECT_EQ(GlyphCache()->ListCount(), 2); // b still uses it
        EXPECT_EQ(b->MakeStateGlyph(rbsDisabled), slotA); // a's slot is reused
        EXPECT_EQ(Middle(*b, rbsUp), Opaque(clLime));
        EXPECT_NE(slotA, slotB);
        b.reset();
        EXPECT_EQ(GlyphCache()->ListCount(), 1);
    }
    EXPECT_EQ(GlyphCache(), nullptr); // the last painter frees the cache
}

TEST_F(GlyphPainter, MarginSpacingAndTheCaptionShareTheRoom)
{
    TButtonGlyph g;
    g.SetGlyph(Strip({ clRed }, 10).get());
    TBitmap bmp(100, 40);
    TCanvas& c = *bmp.Canvas();
    const QString caption = QStringLiteral("Ok");
    const int tw = c.TextWidth(caption);
    const QRect client(5, 3, 90, 30);
    const auto layout = [&](TButtonLayout l, int margin, int spacing) {
        return g.ComputeLayout(c, client, caption, l, margin, spacing, false, nullptr, -1, DT_CENTER);
    };
    TGlyphLayout L = layout(blGlyphLeft, -1, -1); // free room in three equal parts
    const int third = (90 - (10 + tw)) / 3;
    EXPECT_EQ(L.GlyphPos, QPoint(5 + third, 3 + 10));
    EXPECT_EQ(L.TextBounds.left(), 5 + 2 * third + 10);
    L = layout(blGlyphRight, 4, 2);
    EXPECT_EQ(L.GlyphPos.x(), 5 + 90 - 4 - 10);
    EXPECT_EQ(RectRight(L.TextBounds), L.GlyphPos.x() - 2);
    L = layout(blGlyphTop, -1, 1); // centred as a whole
    const int th = L.TextBounds.height();
    EXPECT_EQ(L.GlyphPos, QPoint(5 + 40, 3 + 15 - (10 + 1 + th) / 2));
    EXPECT_EQ(L.TextBounds.top(), L.GlyphPos.y() + 11);
    L = layout(blGlyphBottom, 2, -1);
    EXPECT_EQ(L.GlyphPos.y(), 3 + 30 - 2 - 10);

    // Each line too wide gets "..."; trailing blanks and breaks go.
    const QString lines = QStringLiteral("A rather long first line\r\nok \r\n");
    L = g.ComputeLayout(c, QRect(0, 0, 60, 40), lines, blGlyphTop, 0, 0, false, nullptr, -1, DT_LEFT);
    const QStringList shown = L.Caption.split(QStringLiteral("\r\n"));
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].endsWith(QStringLiteral("...")));
    EXPECT_LE(c.TextWidth(shown[0]), 60);
    EXPECT_EQ(shown[1], QStringLiteral("ok"));
}

TEST_F(GlyphPainter, TheDropDownMarkSitsBesideTheGlyphOrInTheMiddle)
{
    TButtonGlyph g;
    TBitmap bmp(40, 30);
    TCanvas& c = *bmp.Canvas();
    const QRect client(2, 2, 36, 26);
    const int x = (2 + 38 - 7) / 2; // no caption, no glyph: centred
    for (const TSpeedButtonState state : { rbsUp, rbsDisabled }) {
        c.FillSolidRect(QRect(0, 0, 40, 30), clYellow);
        g.Draw(c, client, QString(), blGlyphTop, -1, 1, true, state, DT_CENTER);
        const TColor ink = state == rbsUp ? clBtnText : clBtnShadow;
        EXPECT_EQ(Count(bmp.Image(), QRect(x, 0, 7, 30), ink), 7 + 5 + 3 + 1);
        EXPECT_EQ(Count(bmp.Image(), QRect(x + 1, 0, 7, 30), clBtnHighlight), state == rbsUp ? 0 : 7);
    }
    g.SetGlyph(Strip({ clRed }, 10).get());
    c.FillSolidRect(QRect(0, 0, 40, 30), clWhite);
    EXPECT_TRUE(g.Draw(c, client, QString(), blGlyphTop, -1, 1, true, rbsUp, DT_CENTER).isEmpty());
    const TGlyphLayout L = g.ComputeLayout(c, client, QString(), blGlyphTop, -1, 1, true, nullptr, -1, DT_CENTER);
    EXPECT_EQ(Px(bmp.Image(), L.GlyphPos.x() + 10 + 1 + 3, L.GlyphPos.y() + 5 + 2), Rgb(clBtnText));
}

TEST_F(GlyphPainter, FramesBevelByStateFlatnessAndStyle)
{
    struct Case {
        bool down, flat;
        TButtonStyle style;
        TColor topLeft, bottomRight, inner;
        int inset;
    };
    const Case cases[] = {
        { false, false, bsNew, clBtnHighlight, clWindowFrame, clBtnFace, 3 },
        { false, true, bsNew, clBtnHighlight, clBtnShadow, clWhite, 2 },
        { true, false, bsNew, clWindowFrame, clBtnHighlight, clBtnShadow, 3 },
        { true, true, bsAutoDetect, clBtnShadow, clBtnHighlight, clWhite, 2 },
        { false, false, bsWin31, clWindowFrame, clWindowFrame, clBtnHighlight, 3 },
        { false, true, bsWin31, clBtnHighlight, clWindowFrame, clWhite, 2 },
        { true, true, bsWin31, clWindowFrame, clBtnHighlight, clWhite, 2 },
        { true, false, bsWin31, clWindowFrame, clWindowFrame, clBtnShadow, 2 },
    };
    for (const Case& k : cases) {
        TBitmap bmp(20, 20);
        bmp.Canvas()->FillSolidRect(QRect(0, 0, 20, 20), clWhite);
        const QRect content = PaintButtonFrame(*bmp.Canvas(), QRect(0, 0, 20, 20), k.down, k.flat, k.style);
        const QImage img = bmp.Image();
        SCOPED_TRACE(testing::Message() << k.down << k.flat << k.style);
        EXPECT_EQ(content, QRect(0, 0, 20, 20).adjusted(k.inset, k.inset, -k.inset, -k.inset));
        EXPECT_EQ(Px(img, 5, 0), Rgb(k.topLeft));
        EXPECT_EQ(Px(img, 19, 19), Rgb(k.bottomRight));
        EXPECT_EQ(Px(img, 1, 5), Rgb(k.inner));
    }
}

TEST_F(GlyphPainter, AnImageListsImageIsDrawnForEachState)
{
    TImageList list(10, 10);
    list.AddMasked(Strip({ clRed, clBlue }, 10).get(), 0x00FF00FF);
    TButtonGlyph g;
    g.SetGlyph(Strip({ clLime }, 10).get()); // the list's image wins over the strip
    const QRect client(0, 0, 30, 30);
    const QRgb greyRed = Rgb(RGB(76, 76, 76));
    const struct {
        TSpeedButtonState state;
        QRgb middle, beyondCorner; // (5, 5) of the image and (10, 5), right of it
    } cases[] = {
        { rbsUp, Rgb(clRed), Rgb(clYellow) },
        { rbsDown, Rgb(clRed), Rgb(clYellow) },
        { rbsExclusive, Rgb(clRed), Rgb(clYellow) },
        { rbsDisabled, Rgb(clBtnShadow), Rgb(clBtnHighlight) }, // silhouette, embossed
        { rbsInactive, greyRed, Rgb(clYellow) },
    };
    for (const auto& c : cases) {
        TBitmap bmp(30, 30);
        TCanvas& canvas = *bmp.Canvas();
        canvas.FillSolidRect(client, clYellow);
        g.DrawEx(canvas, client, QString(), blGlyphTop, -1, -1, false, &list, 0, c.state, DT_CENTER);
        const QPoint at
            = g.ComputeLayout(canvas, client, QString(), blGlyphTop, -1, -1, false, &list, 0, DT_CENTER).GlyphPos;
        const QImage img = bmp.Image();
        SCOPED_TRACE(int(c.state));
        EXPECT_EQ(Px(img, at.x() + 5, at.y() + 5), c.middle);
        EXPECT_EQ(Px(img, at.x() + 10, at.y() + 5), c.beyondCorner);
        EXPECT_EQ(Px(img, at.x(), at.y() + 9), Rgb(clYellow)); // the masked pixel
    }
}

TEST_F(GlyphPainter, TheGreyCopyOfAListImageIsKeptUntilImageOrPainterChanges)
{
    ASSERT_EQ(GlyphCache(), nullptr) << "a painter outlived its test";
    {
        TImageList list(10, 10);
        list.AddMasked(Strip({ clRed, clBlue }, 10).get(), 0x00FF00FF);
        QImage soft(10, 10, QImage::Format_ARGB32);
        soft.fill(qRgba(255, 0, 0, 128));
        list.AddImage(soft);
        TButtonGlyph g;
        const auto middle = [&g](int slot) { return g.GlyphList()->Image(slot).pixel(5, 5); };

        const int red = g.MakeImageListGlyph(list, 0);
        ASSERT_NE(red, -1);
        EXPECT_EQ(middle(red), qRgb(76, 76, 76));
        const qint64 built = g.GlyphList()->Image(red).cacheKey();
        TBitmap bmp(30, 30);
        for (int i = 0; i < 2; ++i)
            g.DrawEx(*bmp.Canvas(), QRect(0, 0, 30, 30), QString(), blGlyphTop, -1, -1, false, &list, 0, rbsInactive,
                DT_CENTER);
        EXPECT_EQ(g.MakeImageListGlyph(list, 0), red);
        EXPECT_EQ(g.GlyphList()->Image(red).cacheKey(), built); // reused, not built again
        EXPECT_EQ(g.GlyphList()->Count(), 1);

        // Another image, and the same image replaced: each is built anew in the same slot.
        EXPECT_EQ(middle(g.MakeImageListGlyph(list, 1)), qRgb(28, 28, 28));
        list.ReplaceMasked(0, Strip({ clLime }, 10).get(), 0x00FF00FF);
        EXPECT_EQ(middle(g.MakeImageListGlyph(list, 0)), qRgb(149, 149, 149));
        EXPECT_EQ(g.GlyphList()->Count(), 1);
        EXPECT_EQ(g.GlyphList()->Count(), g.GlyphList()->TImageList::Count());

        // Soft edges keep their alpha and turn grey too.
        const QRgb half = g.GlyphList()->Image(g.MakeImageListGlyph(list, 2)).pixel(5, 5);
        EXPECT_EQ(qAlpha(half), 128);
        EXPECT_EQ(qRed(half), qGreen(half));

        // A new strip drops the copy; a strip of another size takes a list of its own.
        g.SetGlyph(Strip({ clRed }, 8).get());
        EXPECT_EQ(g.GlyphList(), nullptr);
        g.MakeStateGlyph(rbsUp);
        EXPECT_EQ(g.GlyphList()->Width(), 8);
        EXPECT_NE(g.MakeImageListGlyph(list, 0), -1);
        EXPECT_EQ(g.GlyphList()->Width(), 10);
        EXPECT_EQ(g.GlyphList()->Count(), 1);
        EXPECT_EQ(GlyphCache()->ListCount(), 1); // the list of 8 went with its last slot
        EXPECT_EQ(g.MakeImageListGlyph(list, 5), -1); // no such image
    }
    EXPECT_EQ(GlyphCache(), nullptr);
}
