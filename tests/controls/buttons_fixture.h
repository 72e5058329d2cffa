#pragma once

// Shared set-up of the button and label tests: the common form fixture with
// the program's pictures registered, a check that no error was left behind,
// and solid-colour glyph strips.

#include "resources/program_pictures.h"
#include "support/form_fixture.h"

#include <initializer_list>
#include <memory>

class ButtonsFixture : public FormFixture {
protected:
    void SetUp() override
    {
        RegisterProgramPictures();
        FormFixture::SetUp();
    }

    void TearDown() override
    {
        const QStringList left = errors;
        FormFixture::TearDown();
        EXPECT_TRUE(left.isEmpty()) << left.join(u'\n').toStdString();
    }

    QImage Render() const { return form->RenderToBitmap()->Image(); }
    using FormFixture::Render;
    // A label at (20, 20) with black 24-pixel text on white.
    template <class L> L* TextLabel(const QString& caption)
    {
        auto* l = Add<L>(20, 20);
        l->Font()->SetHeight(-24);
        l->Font()->SetColor(clBlack);
        l->SetColor(clWhite);
        l->SetCaption(caption);
        return l;
    }
    // The bounding box of one colour's pixels.
    static QRect Box(const QImage& img, TColor c)
    {
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (Px(img, x, y) == Rgb(c))
                    box |= QRect(x, y, 1, 1);
        return box;
    }

    // A strip of square images, each filled with its colour and with a
    // magenta bottom-left pixel: the transparent colour of strip and image.
    static std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colors, int side = 8)
    {
        auto strip = std::make_unique<TBitmap>(side * int(colors.size()), side);
        int x = 0;
        for (TColor c : colors) {
            strip->Canvas()->FillSolidRect(QRect(x, 0, side, side), c);
            strip->Canvas()->SetPixels(x, side - 1, 0x00FF00FF);
            x += side;
        }
        return strip;
    }
};

// The tests of a label class with a second colour (glow or shadow), which its
// labels draw in red.
template <class L, auto SetSecondColor> class RedSecondColorLabels : public ButtonsFixture {
protected:
    L* Label(const QString& caption)
    {
        auto* l = TextLabel<L>(caption);
        (l->*SetSecondColor)(clRed);
        return l;
    }
};
