// The glyph speed button: groups, release inside and outside, the drop-down
// menu on press, the repeat timer and the programmatic press on the
// injectable clock, the flat and transparent looks, the disabled state and
// actions.
#include "buttons_fixture.h"

#include "controls/dropdown_button.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

class GlyphSpeedButton : public ButtonsFixture {
protected:
    void SetUp() override
    {
        ButtonsFixture::SetUp();
        SetTickCountSource([this] { return now; });
    }
    void TearDown() override
    {
        SetTickCountSource({});
        SetPopupMenuHandler({});
        ButtonsFixture::TearDown();
    }
    TGlyphSpeedButton* Button(int left = 10, int top = 10)
    {
        auto* b = Add<TGlyphSpeedButton>(left, top, 40, 30);
        b->OnClick = [this](TObject*) { clicks.append(now); };
        return b;
    }
    static QPoint At(const TControl* c, int x, int y) { return c->BoundsRect().topLeft() + QPoint(x, y); }
    void Click(const TControl* c)
    {
        Press(At(c, 5, 5));
        Release(At(c, 5, 5));
    }
    // A press that arms the repeat timer; Hold runs the clock on and fires
    // the timer when it falls due, as its QTimer would.
    void PressTimed(TGlyphSpeedButton* b)
    {
        Press(At(b, 5, 5));
        due = now + b->RepeatTimer()->Interval();
    }
    void Hold(TGlyphSpeedButton* b, quint32 ms)
    {
        TTimer* timer = b->RepeatTimer();
        for (const quint32 end = now + ms; now < end;)
            if (++now == due && timer->Enabled()) {
                timer->OnTimer(timer);
                due = now + timer->Interval();
            }
    }

    quint32 now = 100000, due = 0;
    QList<quint32> clicks; // when each click came
};

} // namespace

TEST_F(GlyphSpeedButton, AGroupKeepsOneButtonDown)
{
    MakeForm();
    TGlyphSpeedButton* b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = Button(10 + 50 * i, 10);
        b[i]->SetGroupIndex(1);
    }
    auto* loose = Button(10, 100);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down()); // ungrouped buttons never stay down

    b[0]->SetDown(true);
    EXPECT_EQ(b[0]->State(), rbsExclusive);
    Click(b[1]);
    EXPECT_FALSE(b[0]->Down());
    EXPECT_EQ(b[0]->State(), rbsUp);
    b[1]->SetDown(false); // the down button cannot be raised directly ...
    Click(b[1]); // ... nor by a click, which still clicks
    EXPECT_TRUE(b[1]->Down());
    EXPECT_EQ(clicks.size(), 2);

    b[2]->SetAllowAllUp(true); // the group shares AllowAllUp
    EXPECT_TRUE(b[0]->AllowAllUp());
    Click(b[1]);
    EXPECT_FALSE(b[1]->Down());
    EXPECT_EQ(b[1]->State(), rbsUp);
}

TEST_F(GlyphSpeedButton, AReleaseClicksInsideIncludingTheRowBelow)
{
    MakeForm();
    auto* b = Button();
    Press(At(b, 5, 5));
    EXPECT_EQ(b->State(), rbsDown);
    Move(At(b, 60, 5));
    EXPECT_EQ(b->State(), rbsUp);
    Move(At(b, 5, 5));
    EXPECT_EQ(b->State(), rbsDown);
    Release(At(b, 5, 30)); // y = client height still counts as inside
    EXPECT_EQ(clicks.size(), 1);
    Press(At(b, 5, 5));
    Release(At(b, 40, 5)); // x = client width does not
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_EQ(b->State(), rbsUp);

    b->SetModalResult(mrOk);
    b->SetCaption(QStringLiteral("&Save"));
    EXPECT_TRUE(form->DialogChar(u's'));
    EXPECT_EQ(clicks.size(), 2);
    EXPECT_EQ(form->ModalResult(), mrOk);
    b->SetMargin(-2); // ignored
    EXPECT_EQ(b->Margin(), -1);
    b->SetNumGlyphs(7);
    EXPECT_EQ(b->NumGlyphs(), 5);
}

TEST_F(GlyphSpeedButton, ADropDownMenuOpensOnPressInsteadOfAClick)
{
    MakeForm();
    ShowForm();
    auto* b = Button();
    auto* menu = new TPopupMenu(form);
    b->SetDropDownMenu(menu);
    int menus = 0;
    QPoint at;
    SetPopupMenuHandler([&](TPopupMenu* m, QPoint screen) -> TMenuItem* {
        ++menus;
        at = screen;
        EXPECT_EQ(m->PopupComponent(), b);
        // The click that closes the menu over the button arrives afterwards.
        const QPoint local = At(b, 5, 5);
        QCoreApplication::postEvent(form->Handle(),
            new QMouseEvent(QEvent::MouseButtonPress, local, form->Handle()->mapToGlobal(local), Qt::LeftButton,
                Qt::LeftButton, {}));
        return nullptr;
    });
    Press(At(b, 5, 5));
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(at, b->ClientToScreen(QPoint(-1, 30)));
    EXPECT_EQ(b->State(), rbsUp);
    Release(At(b, 5, 5));
    QApplication::processEvents();
    EXPECT_EQ(menus, 1); // the replayed press was swallowed
    EXPECT_TRUE(clicks.isEmpty());
    b->ButtonClick(); // no programmatic press with a menu that pops up by itself
    EXPECT_TRUE(clicks.isEmpty());

    menu->SetAutoPopup(false);
    SetPopupMenuHandler([&](TPopupMenu*, QPoint screen) -> TMenuItem* {
        ++menus;
        at = screen;
        return nullptr;
    });
    Click(b);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(clicks.size(), 1);
    menu->SetAlignment(paRight);
    b->SetMenuPosition(dmpRight);
    EXPECT_TRUE(b->CheckBtnMenuDropDown());
    EXPECT_EQ(at, b->ClientToScreen(QPoint(-1, -1)));
}

TEST_F(GlyphSpeedButton, HoldingRepeatsAfter500AndEvery100Milliseconds)
{
    MakeForm();
    auto* b = Button();
    b->SetAllowTimer(true);
    const quint32 t = now;
    PressTimed(b);
    Hold(b, 1000);
    Release(At(b, 5, 5));
    EXPECT_EQ(clicks, QList<quint32>({ t + 500, t + 600, t + 700, t + 800, t + 900, t + 1000, t + 1000 }));
    EXPECT_FALSE(b->RepeatTimer()->Enabled());

    clicks.clear();
    PressTimed(b);
    Hold(b, 550);
    Move(At(b, 80, 5)); // outside the ticks do not click
    Hold(b, 300);
    Move(At(b, 5, 5));
    Hold(b, 150);
    Release(At(b, 80, 5));
    EXPECT_EQ(clicks.size(), 3); // at 500, and at 900 and 1000 after returning
    b->SetAllowTimer(false);
    EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST_F(GlyphSpeedButton, AProgrammaticPressWaits20MillisecondsOnTheClock)
{
    MakeForm();
    auto* b = Button();
    SetTickCountSource([&] { return now += 3; });
    b->ButtonClick();
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_GE(clicks[0] - (100000 + 3), 20u); // clicked after 20 ms had passed
    EXPECT_EQ(b->State(), rbsUp);
    now = 0xFFFFFFF0u; // the counter wraps during the wait
    b->ButtonClick();
    EXPECT_EQ(clicks.size(), 2);
    b->SetGroupIndex(2); // grouped: toggles, then clicks
    b->ButtonClick();
    EXPECT_EQ(b->State(), rbsExclusive);
    EXPECT_EQ(clicks.size(), 3);
    b->SetEnabled(false);
    b->ButtonClick();
    EXPECT_EQ(clicks.size(), 3);
}

TEST_F(GlyphSpeedButton, AFlatTransparentButtonAtRestShowsOnlyTheParentAndItsGreyGlyph)
{
    MakeForm(200, 100, clYellow);
    ShowForm();
    auto* b = Button();
    b->SetFlat(true);
    b->SetTransparent(true);
    b->SetGlyph(Strip({ clRed }, 10).get());
    const QPoint glyph = At(b, 20, 12);
    QImage img = Render();
    EXPECT_EQ(Px(img, 10, 10), Rgb(clYellow)); // no frame at rest
    EXPECT_EQ(Px(img, glyph.x(), glyph.y()), qRgb(76, 76, 76) & 0xFFFFFF);
    Move(At(b, 5, 5), false); // hovering draws the frame and the coloured glyph
    ASSERT_TRUE(b->MouseInControl());
    img = Render();
    EXPECT_EQ(Px(img, 10, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(img, glyph.x(), glyph.y()), Rgb(clRed));
    b->SetGrayedInactive(false);
    Move(QPoint(150, 80), false);
    EXPECT_EQ(Px(Render(), glyph.x(), glyph.y()), Rgb(clRed));
}

TEST_F(GlyphSpeedButton, ADisabledButtonComesBackHeldOrUp)
{
    MakeForm(200, 100, clYellow);
    auto* b = Button();
    b->SetGroupIndex(3);
    b->SetDown(true);
    const QImage img = Render();
    EXPECT_NE(Px(img, 15, 30), Px(img, 16, 30)); // the checkered face of a held button
    b->SetEnabled(false);
    Render();
    EXPECT_EQ(b->State(), rbsDisabled);
    b->SetEnabled(true);
    Render();
    EXPECT_EQ(b->State(), rbsExclusive);
    b->SetAllowAllUp(true);
    b->SetDown(false);
    b->SetEnabled(false);
    Render();
    b->SetEnabled(true);
    Render();
    EXPECT_EQ(b->State(), rbsUp);
}

TEST_F(GlyphSpeedButton, AnActionLendsCaptionCheckedStateAndImage)
{
    MakeForm();
    auto* images = new TImageList(10, 10, form);
    images->AddMasked(Strip({ clRed }, 10).get(), 0x00FF00FF);
    auto* list = new TActionList(form);
    list->SetImages(images);
    auto* action = new TAction(form);
    action->SetActionList(list);
    action->SetCaption(QStringLiteral("Bold"));
    action->SetImageIndex(0);
    action->SetChecked(true);
    auto* b = Add<TGlyphSpeedButton>(10, 10, 40, 30);
    b->SetGroupIndex(4);
    b->SetAllowAllUp(true);
    b->SetAction(action);
    EXPECT_EQ(b->Caption(), QStringLiteral("Bold"));
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->Glyph()->Width(), 10);
    action->SetChecked(false);
    EXPECT_FALSE(b->Down());
}
