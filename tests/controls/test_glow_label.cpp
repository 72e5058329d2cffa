// The glow label: the one-pixel halo under the mouse or always, never when
// disabled, the grey disabled text, transparency and the caption's limit.
#include "buttons_fixture.h"

#include "controls/glow_label.h"

using GlowLabel = RedSecondColorLabels<TCPGlowLabel, &TCPGlowLabel::SetGlowColor>;

TEST_F(GlowLabel, GlowsOnlyWhenEnabledAndUnderTheMouseOrAlways)
{
    struct Case {
        const char* what;
        bool mouseOver;
        bool always;
        bool enabled;
        bool glows;
    };
    const Case cases[] = {
        { "plain", false, false, true, false },
        { "under the mouse", true, false, true, true },
        { "always", false, true, true, true },
        { "always, mouse over", true, true, true, true },
        { "disabled under the mouse", true, false, false, false },
        { "disabled, always", false, true, false, false },
    };
    for (const Case& c : cases) {
        MakeForm(200, 100, clYellow);
        auto* l = Label(QStringLiteral("HI"));
        l->SetGlowAlways(c.always);
        l->SetEnabled(c.enabled);
        int enters = 0;
        l->OnMouseEnter = [&](TObject*) { ++enters; };
        if (c.mouseOver)
            Move(l->BoundsRect().center(), false);
        EXPECT_EQ(l->Glowing(), c.mouseOver && c.enabled) << c.what;
        const QImage img = Render();
        const TColor ink = c.enabled ? clBlack : clGrayText;
        const QRect text = Box(img, ink);
        ASSERT_FALSE(text.isEmpty()) << c.what;
        EXPECT_TRUE(Box(img, c.enabled ? clGrayText : clBlack).isEmpty()) << c.what;
        if (c.glows) // four copies moved diagonally by one pixel, under the text
            EXPECT_EQ(text | Box(img, clRed), text.adjusted(-1, -1, 1, 1)) << c.what;
        else
            EXPECT_TRUE(Box(img, clRed).isEmpty()) << c.what;
        if (c.mouseOver && c.enabled) {
            EXPECT_EQ(enters, 1) << c.what;
            int leaves = 0;
            l->OnMouseLeave = [&](TObject*) { ++leaves; };
            Move(QPoint(190, 90), false);
            EXPECT_EQ(leaves, 1) << c.what;
            EXPECT_FALSE(l->Glowing());
            EXPECT_EQ(Box(Render(), clRed).isEmpty(), !c.always) << c.what;
        }
        delete form;
        form = nullptr;
    }
}

TEST_F(GlowLabel, ATransparentLabelDrawsOnlyItsText)
{
    MakeForm(200, 100, clYellow);
    auto* l = Label(QStringLiteral("HI"));
    l->SetGlowAlways(true);
    const QRect bounds = l->BoundsRect();
    EXPECT_GT(Count(Render(), bounds, clWhite), 0);
    l->SetTransparent(true);
    const QImage img = Render();
    EXPECT_EQ(Count(img, bounds, clWhite), 0);
    EXPECT_GT(Count(img, bounds, clYellow), 0);
    EXPECT_FALSE(Box(img, clRed).isEmpty());
}

TEST_F(GlowLabel, TheCaptionIsCutAfterItsTwoHundredFiftyFifthCharacter)
{
    MakeForm(300, 300, clYellow);
    auto* l = Label(QString());
    l->SetAutoSize(false);
    l->SetBounds(0, 0, 300, 300);
    l->Font()->SetHeight(-10);
    const auto drawn = [&](int dots, const char* after) {
        l->SetCaption(QString(dots, u'.') + u'\n' + QString::fromUtf8(after));
        return Render();
    };
    // The line after the dots starts with the 255th character, or the 256th.
    EXPECT_NE(drawn(253, "W"), drawn(253, "")) << "the 255th character shows";
    EXPECT_EQ(drawn(254, "WWW"), drawn(254, "")) << "what follows it does not";
}
