// The shadowed label: where the shadow falls, the engraved disabled look,
// sizing to the text, vertical layout, the accelerator and the deferred
// mouse-leave of a press dragged off the label.
#include "buttons_fixture.h"

#include "controls/shadow_label.h"

#include <QFontMetrics>

using ShadowLabel = RedSecondColorLabels<TShadowLabel, &TShadowLabel::SetShadowColor>;

TEST_F(ShadowLabel, TheShadowFallsTowardsItsCornerAndDisabledTextLooksEngraved)
{
    MakeForm(200, 100, clYellow);
    auto* l = Label(QStringLiteral("HI"));
    l->SetShadowSize(3);
    const std::pair<TShadowPosition, QPoint> corners[] = { { spLeftTop, { -3, -3 } }, { spLeftBottom, { -3, 3 } },
        { spRightBottom, { 3, 3 } }, { spRightTop, { 3, -3 } } };
    for (const auto& [position, move] : corners) {
        l->SetShadowPos(position);
        const QImage img = Render();
        const QRect text = Box(img, clBlack);
        ASSERT_FALSE(text.isEmpty());
        // Both copies together reach as far as the moved copy does.
        EXPECT_EQ(text | Box(img, clRed), text | text.translated(move)) << position;
    }
    l->SetShadowSize(0); // twice in the same place: no shadow shows
    EXPECT_TRUE(Box(Render(), clRed).isEmpty());

    l->SetColor(clYellow); // disabled, even without a shadow: grey over a highlight
    l->SetEnabled(false);
    const QImage img = Render();
    const QRect grey = Box(img, clGrayText);
    ASSERT_FALSE(grey.isEmpty());
    EXPECT_TRUE(Box(img, clBlack).isEmpty());
    EXPECT_EQ(grey | Box(img, clBtnHighlight), grey | grey.translated(1, 1));
}

TEST_F(ShadowLabel, AutoSizeFollowsTextShadowAndAlignment)
{
    MakeForm();
    TShadowLabel fresh(nullptr);
    EXPECT_EQ(fresh.BoundsRect().size(), QSize(65, 17));
    auto* l = Add<TShadowLabel>(100, 20);
    l->SetCaption(QStringLiteral("x"));
    l->SetCaption(QString()); // an empty caption keeps one line's height
    EXPECT_EQ(l->Height(), l->Font()->Metrics().height());
    l->SetShadowPos(spRightBottom);
    l->SetCaption(QStringLiteral("Text"));
    const QSize before = l->BoundsRect().size();
    l->SetShadowSize(3);
    EXPECT_EQ(l->BoundsRect().size(), before + QSize(2, 2));

    l->SetAlignment(taRightJustify); // keeps its right edge
    const int right = RectRight(l->BoundsRect());
    l->SetCaption(QStringLiteral("Longer text"));
    EXPECT_EQ(RectRight(l->BoundsRect()), right);
    l->SetAlignment(taCenter); // keeps its left edge
    const int left = l->Left();
    l->SetCaption(QStringLiteral("Short"));
    EXPECT_EQ(l->Left(), left);
}

TEST_F(ShadowLabel, LayoutPutsTheTextAtTheBottomOrCentre)
{
    MakeForm(200, 120, clYellow);
    auto* l = Label(QStringLiteral("HI"));
    l->SetAutoSize(false);
    l->SetShadowSize(0);
    l->SetBounds(10, 10, 100, 80);
    const QRect top = Box(Render(), clBlack);
    l->SetLayout(tlBottom);
    const QRect bottom = Box(Render(), clBlack);
    l->SetLayout(tlCenter);
    const QRect centre = Box(Render(), clBlack);
    const int line = l->Font()->Metrics().height();
    EXPECT_EQ(bottom.topLeft() - top.topLeft(), QPoint(-1, 80 - line)); // measured without the inset
    EXPECT_EQ(centre.top() - top.top(), (80 - line) / 2);
}

TEST_F(ShadowLabel, TheAcceleratorFocusesTheNamedControlAndADraggedPressLeavesOnRelease)
{
    MakeForm();
    ShowForm();
    auto* edit = Add<TEdit>(100, 150, 80, 20);
    auto* other = Add<TEdit>(200, 150, 80, 20);
    other->SetFocus();
    auto* l = Label(QStringLiteral("&Name"));
    l->SetFocusControl(edit);
    EXPECT_TRUE(form->DialogChar(u'n'));
    EXPECT_TRUE(edit->Focused());
    delete edit; // the label forgets a freed control
    EXPECT_EQ(l->FocusControl(), nullptr);

    int enters = 0, leaves = 0;
    l->OnMouseEnter = [&](TObject*) { ++enters; };
    l->OnMouseLeave = [&](TObject*) { ++leaves; };
    const QPoint inside = l->BoundsRect().center();
    Move(inside, false);
    EXPECT_EQ(enters, 1);
    Press(inside);
    Move(QPoint(250, 100));
    EXPECT_EQ(leaves, 0);
    Release(QPoint(250, 100));
    EXPECT_EQ(leaves, 1);
}
