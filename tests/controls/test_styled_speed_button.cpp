// The styled speed button: group behaviour, pressing and releasing, the menu
// before the click, hot tracking and its font, colour presets, the glyph
// count, transparency and the accelerator.
#include "buttons_fixture.h"

#include "controls/styled_speed_button.h"
#include "platform/gui/menus.h"

namespace {

class CountingLbButton : public TLbSpeedButton {
public:
    using TLbSpeedButton::TLbSpeedButton;
    void Paint() override
    {
        ++paints;
        TLbSpeedButton::Paint();
    }
    int paints = 0;
};

class LbSpeedButton : public ButtonsFixture {
protected:
    void TearDown() override
    {
        SetPopupMenuHandler({});
        ButtonsFixture::TearDown();
    }
    static QPoint Centre(const TControl* c) { return c->BoundsRect().center(); }
    void Click(const TControl* c)
    {
        Press(Centre(c));
        Release(Centre(c));
    }
};

} // namespace

TEST_F(LbSpeedButton, GroupedButtonsStayDownOneAtATime)
{
    MakeForm();
    TLbSpeedButton* b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = Add<TLbSpeedButton>(0, 30 * i);
        b[i]->SetGroupIndex(1);
    }
    Click(b[0]);
    Click(b[1]);
    EXPECT_FALSE(b[0]->Down());
    EXPECT_TRUE(b[1]->Down());
    Click(b[1]); // pressing the down one again leaves it down
    EXPECT_TRUE(b[1]->Down());
    b[1]->SetAllowAllUp(true);
    Click(b[1]);
    EXPECT_FALSE(b[1]->Down());
}

TEST_F(LbSpeedButton, AnUngroupedButtonIsDownWhileHeldAndOpensItsMenuBeforeTheClick)
{
    MakeForm();
    auto* b = Add<TLbSpeedButton>(10, 20);
    QStringList log;
    b->OnClick = [&](TObject*) { log.append(b->Down() ? QStringLiteral("click down") : QStringLiteral("click up")); };
    Press(Centre(b));
    EXPECT_TRUE(b->Down());
    Release(Centre(b));
    EXPECT_FALSE(b->Down());
    Press(Centre(b)); // released outside: up again, no click
    Release(QPoint(250, 150));
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(log, QStringList({ QStringLiteral("click down") }));

    b->SetPopupMenu(new TPopupMenu(form));
    EXPECT_TRUE(b->Face().HasPopup);
    QPoint at;
    SetPopupMenuHandler([&](TPopupMenu*, QPoint screen) -> TMenuItem* {
        log.append(QStringLiteral("menu"));
        at = screen;
        return nullptr;
    });
    log.clear();
    Click(b);
    EXPECT_EQ(log, QStringList({ QStringLiteral("menu"), QStringLiteral("click down") }));
    EXPECT_EQ(at, b->ClientToScreen(QPoint(0, b->Height())));
}

TEST_F(LbSpeedButton, HoveringRepaintsForAHotTrackColourButNotForAHotTrackFont)
{
    MakeForm();
    ShowForm();
    auto* b = Add<CountingLbButton>(10, 10);
    auto* other = Add<CountingLbButton>(10, 50);
    int enters = 0, exits = 0;
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    b->OnMouseExit = [&](TObject*) { ++exits; };
    b->SetHotTrackColor(clAqua);
    QApplication::processEvents();
    b->paints = 0;
    Move(Centre(b), false);
    EXPECT_EQ(b->Face().HotTrackStep, 8);
    EXPECT_EQ(b->paints, 1);
    Move(Centre(other), false);
    EXPECT_EQ(b->HotTrackStep(), 0);
    EXPECT_EQ(b->paints, 2);
    EXPECT_EQ(enters + exits, 2);

    b->SetUseHotTrackFont(true);
    b->paints = 0;
    Move(Centre(b), false);
    EXPECT_EQ(b->paints, 0);
    EXPECT_EQ(b->Face().Font, b->HotTrackFont()); // shown from the next paint on
    Move(Centre(other), false);
    b->SetEnabled(false); // a disabled button does not hover
    Move(Centre(b), false);
    EXPECT_FALSE(b->CursorOnButton());
}

TEST_F(LbSpeedButton, AColourStyleAppliesItsPresetAndTheGlyphCountsItsImages)
{
    MakeForm();
    auto* b = Add<TLbSpeedButton>(0, 0);
    EXPECT_TRUE(b->ParentColor());
    b->SetColorStyle(lcsGold);
    EXPECT_EQ(b->ColorStyle(), lcsCustom); // nothing of it is kept
    EXPECT_EQ(b->Color(), 0x0000C0C0);
    EXPECT_EQ(b->Style(), bsModern);
    EXPECT_EQ(b->Alignment(), taCenter); // modern faces centre their caption
    b->SetColorStyle(lcsUltraFlatXP);
    EXPECT_EQ(b->Style(), bsNormal);
    EXPECT_TRUE(b->Flat());
    EXPECT_EQ(b->ShadowColor(), 0x00B59285);

    b->SetGlyph(Strip({ clRed, clLime, clBlue }).get());
    EXPECT_EQ(b->NumGlyphs(), 3);
    TBitmap flat;
    flat.SetSize(16, 0);
    b->SetGlyph(&flat);
    EXPECT_EQ(b->NumGlyphs(), 0);
}

TEST_F(LbSpeedButton, ATransparentFaceShowsTheParentAndTheAcceleratorClicks)
{
    MakeForm(300, 200, clYellow);
    ShowForm();
    auto* b = Add<TLbSpeedButton>(10, 10);
    b->SetCaption(QStringLiteral("&Go"));
    b->SetColor(clBlue);
    EXPECT_EQ(Px(Render(), 90, 20), Rgb(clBlue));
    b->SetTransparent(true);
    EXPECT_EQ(Px(Render(), 90, 20), Rgb(clYellow));
    b->SetTransparent(false);
    b->SetStyle(bsModern);
    EXPECT_EQ(Px(Render(), 10, 10), Rgb(clYellow)); // the rounded corner shows the form

    bool downAtClick = false;
    b->OnClick = [&](TObject*) { downAtClick = b->Down(); };
    EXPECT_TRUE(form->DialogChar(u'g'));
    EXPECT_TRUE(downAtClick);
    EXPECT_FALSE(b->Down());
    b->SetEnabled(false);
    EXPECT_FALSE(form->DialogChar(u'g'));
}
