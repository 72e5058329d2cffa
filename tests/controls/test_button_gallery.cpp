// A gallery of the styled speed buttons, glyph speed buttons and shadowed
// labels in their main states, rendered to a PNG for a person to look at
// (the path is printed). It checks only that every control painted.
#include "buttons_fixture.h"

#include "controls/dropdown_button.h"
#include "controls/shadow_label.h"
#include "controls/styled_speed_button.h"
#include "platform/gui/menus.h"

#include <QDir>

namespace {

// A glyph button held down by the mouse, which a still picture cannot do.
class PressedGlyphButton : public TGlyphSpeedButton {
public:
    explicit PressedGlyphButton(TComponent* owner)
        : TGlyphSpeedButton(owner)
    {
        FState = rbsDown;
    }
};

class ButtonGallery : public ButtonsFixture {
protected:
    template <class T> T* Place(TWinControl* parent, QRect bounds, const QString& caption)
    {
        auto* c = new T(form);
        c->SetParent(parent);
        c->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
        c->SetCaption(caption);
        c->Font()->SetName(QStringLiteral("Arial"));
        c->Font()->SetHeight(-12);
        return c;
    }
    template <class T = TGlyphSpeedButton>
    T* Glyph(TWinControl* parent, QRect bounds, const QString& caption, const char16_t* picture, TButtonLayout layout)
    {
        T* b = Place<T>(parent, bounds, caption);
        if (picture) {
            TBitmap bmp;
            bmp.LoadFromResourceName(QString::fromUtf16(picture));
            b->SetGlyph(&bmp);
        }
        b->SetLayout(layout);
        if (parent != form) { // on a skin, as the windows set them
            b->SetTransparent(true);
            b->Font()->SetColor(clWhite);
        }
        return b;
    }
};

} // namespace

TEST_F(ButtonGallery, RendersEveryStyleAndStateToAPicture)
{
    MakeForm(760, 420, clBtnFace);
    TBitmap ok;
    ok.LoadFromResourceName(QStringLiteral("LBOK"));

    // The colour presets, then each face style up, down, hot and disabled.
    const std::pair<TLbColorStyle, const char16_t*> presets[] = { { lcsGold, u"Gold" }, { lcsChrome, u"Chrome" },
        { lcsBlue, u"Blue" }, { lcsRed, u"Red" }, { lcsAqua, u"Aqua" }, { lcsUltraFlat1, u"Flat 1" },
        { lcsUltraFlat2, u"Flat 2" }, { lcsUltraFlatXP, u"Flat XP" }, { lcsDefault, u"Menu" } };
    for (int i = 0; i < 9; ++i) {
        auto* b = Place<TLbSpeedButton>(
            form, QRect(8 + i % 5 * 104, 8 + i / 5 * 32, 100, 26), QString::fromUtf16(presets[i].second));
        b->SetColorStyle(presets[i].first);
        if (i == 5)
            b->SetGlyph(&ok); // flat presets show no face at rest
        if (i == 8)
            b->SetPopupMenu(new TPopupMenu(form));
    }
    const std::pair<TLbButtonStyle, const char16_t*> styles[]
        = { { bsNormal, u"Normal" }, { bsEncarta, u"Encarta" }, { bsModern, u"Modern" }, { bsOld, u"Old" },
              { bsShape, nullptr } }; // shapes are for pictures: a caption would cross the glyph
    for (int s = 0; s < 5; ++s)
        for (int state = 0; state < 4; ++state) {
            const QString caption = styles[s].second ? QString::fromUtf16(styles[s].second) : QString();
            auto* b = Place<TLbSpeedButton>(form, QRect(8 + state * 104, 80 + s * 32, 100, 26), caption);
            b->SetColor(0x00F5E2CB); // the wizard's colours
            b->SetLightColor(styles[s].first == bsModern ? 0x00404080 : clWhite);
            b->SetShadowColor(clGray);
            b->SetHotTrackColor(0x00FFF0E0);
            b->SetStyle(styles[s].first);
            b->SetGlyph(&ok);
            b->SetDown(state == 1);
            b->SetEnabled(state != 3);
            if (state == 2)
                b->SetTag(1); // hovered once shown
        }

    // Glyph speed buttons on a dark skin, and on the form.
    auto* skin = Place<TCustomControl>(form, QRect(430, 80, 322, 124), QString());
    skin->SetColor(0x00603010);
    Glyph(skin, QRect(4, 4, 64, 44), QStringLiteral("Edit"), u"EDIT", blGlyphTop);
    Glyph(skin, QRect(72, 4, 64, 44), QStringLiteral("Print"), u"PRINT", blGlyphTop)->SetFlat(true);
    auto* hot = Glyph(skin, QRect(140, 4, 64, 44), QStringLiteral("Print"), u"PRINT", blGlyphTop);
    hot->SetFlat(true);
    Glyph(skin, QRect(208, 4, 64, 44), QStringLiteral("Delete"), u"DELETE", blGlyphTop)->SetEnabled(false);
    Glyph(skin, QRect(4, 56, 80, 26), QStringLiteral("Colour"), u"COLOR", blGlyphLeft)
        ->SetDropDownMenu(new TPopupMenu(form));
    Glyph<PressedGlyphButton>(skin, QRect(88, 56, 60, 26), QStringLiteral("Bold"), u"BOLD", blGlyphLeft);
    auto* held = Glyph(skin, QRect(152, 56, 66, 26), QStringLiteral("Right"), u"ALIGNRIGHT", blGlyphRight);
    held->SetGroupIndex(1);
    held->SetDown(true);
    Glyph(skin, QRect(222, 56, 60, 44), QStringLiteral("Bottom"), u"NAVNEXTMONTH", blGlyphBottom);
    Glyph(skin, QRect(4, 94, 110, 26), QStringLiteral("Grey at rest"), u"SEARCH", blGlyphLeft)->SetFlat(true);
    Glyph(form, QRect(430, 210, 90, 26), QStringLiteral("Win 3.1"), u"OK", blGlyphLeft)->SetStyle(bsWin31);
    Glyph(form, QRect(526, 210, 80, 26), QStringLiteral("A very long caption"), nullptr, blGlyphTop);
    auto* group = Glyph(form, QRect(612, 210, 60, 26), QStringLiteral("Held"), u"ITALIC", blGlyphLeft);
    group->SetGroupIndex(2);
    group->SetDown(true);

    // Shadowed labels: the date line, the keeper's month title, a disabled one.
    auto* night = Place<TCustomControl>(form, QRect(430, 250, 322, 120), QString());
    night->SetColor(0x00905020);
    const std::pair<const char16_t*, TColor> lines[]
        = { { u"Sunday, 8 December 2024", 0x00000040 }, { u"December 2024", 0x00400040 }, { u"Disabled", 0x40 } };
    for (int i = 0; i < 3; ++i) {
        auto* l = Place<TShadowLabel>(night, QRect(30, 8 + 36 * i, 260, 28), QString());
        l->SetAutoSize(false);
        l->Font()->SetHeight(-19);
        l->Font()->SetStyle(fsBold);
        l->Font()->SetColor(clWhite);
        l->SetShadowColor(lines[i].second);
        l->SetShadowPos(spRightBottom);
        l->SetAlignment(taCenter);
        l->SetTransparent(true);
        l->SetCaption(QString::fromUtf16(lines[i].first));
        l->SetEnabled(i < 2);
    }
    Place<TShadowLabel>(form, QRect(8, 250, 200, 20), QStringLiteral("&Opaque label, default shadow"));

    ShowForm();
    for (int i = 0; i < form->ControlCount(); ++i)
        if (form->Controls(i)->Tag() == 1)
            form->Controls(i)->Perform(CM_MOUSEENTER);
    hot->Perform(CM_MOUSEENTER);
    ASSERT_TRUE(hot->MouseInControl());

    const QImage image = Render();
    const QString path = QDir::temp().filePath(QStringLiteral("diary_button_gallery.png"));
    ASSERT_TRUE(image.save(path));
    std::printf("gallery: %s\n", qPrintable(path));
    EXPECT_LT(Count(image, QRect(8, 8, 100, 26), clBtnFace), 100 * 26);
    EXPECT_LT(Count(image, QRect(8, 208, 416, 26), clBtnFace), 416 * 26);
    EXPECT_LT(Count(image, QRect(430, 250, 322, 30), 0x00905020), 322 * 30);
}
