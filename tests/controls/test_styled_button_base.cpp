// What the styled push button and the styled speed button share through
// their common base: a face property repaints once when it changes and not at
// all when set to the value it has, and the accelerator reaches only a button
// that can be used.
#include "buttons_fixture.h"

#include "controls/styled_push_button.h"
#include "controls/styled_speed_button.h"

#include <functional>

namespace {

template <class B> class Counting : public B {
public:
    using B::B;
    void Paint() override
    {
        ++paints;
        B::Paint();
    }
    int paints = 0;
};

template <class B> class StyledButtonBase : public ButtonsFixture {
protected:
    Counting<B>* ShownButton()
    {
        MakeForm();
        ShowForm();
        auto* b = Add<Counting<B>>(10, 10);
        b->SetCaption(QStringLiteral("&Go"));
        QApplication::processEvents();
        b->paints = 0;
        return b;
    }
};

using ButtonKinds = ::testing::Types<TLbButton, TLbSpeedButton>;
TYPED_TEST_SUITE(StyledButtonBase, ButtonKinds);

TYPED_TEST(StyledButtonBase, AFacePropertyRepaintsOnceWhenItChanges)
{
    using Setter = std::function<void(TypeParam&)>;
    const std::pair<const char*, Setter> setters[] = {
        { "Alignment", [](TypeParam& b) { b.SetAlignment(taRightJustify); } },
        { "ColorWhenDown", [](TypeParam& b) { b.SetColorWhenDown(clRed); } },
        { "Flat", [](TypeParam& b) { b.SetFlat(true); } },
        { "Layout", [](TypeParam& b) { b.SetLayout(blGlyphTop); } },
        { "LightColor", [](TypeParam& b) { b.SetLightColor(clRed); } },
        { "ShadowColor", [](TypeParam& b) { b.SetShadowColor(clRed); } },
        { "WordWrap", [](TypeParam& b) { b.SetWordWrap(true); } },
    };
    for (const auto& [name, set] : setters) {
        auto* b = this->ShownButton();
        set(*b);
        EXPECT_EQ(b->paints, 1) << name;
        set(*b);
        QApplication::processEvents();
        EXPECT_EQ(b->paints, 1) << name << " set again";
        delete this->form;
        this->form = nullptr;
    }
}

TYPED_TEST(StyledButtonBase, TheAcceleratorClicksOnlyAnEnabledVisibleButton)
{
    auto* b = this->ShownButton();
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    const auto accelerate = [&](char16_t key) {
        TMessage message { CM_DIALOGCHAR, key, 0, 0 };
        b->WndProc(message);
        return message.Result;
    };
    EXPECT_EQ(accelerate(u'x'), 0);
    EXPECT_EQ(accelerate(u'g'), 1);
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    EXPECT_EQ(accelerate(u'g'), 0);
    b->SetEnabled(true);
    b->SetVisible(false);
    EXPECT_EQ(accelerate(u'g'), 0);
    EXPECT_EQ(clicks, 1);
}

} // namespace
