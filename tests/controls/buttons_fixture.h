#pragma once

// Shared set-up of the button and label tests: a form per test with the
// program's pictures registered, freed at the end, with a check that no
// window or error was left behind; pixel helpers; solid-colour glyph strips.

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "resources/program_pictures.h"

#include <QApplication>
#include <QCursor>
#include <QImage>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

class ButtonsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterProgramPictures();
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        QCursor::setPos(-500, -500); // outside every window
    }

    void TearDown() override
    {
        delete form;
        form = nullptr;
        Application()->OnException = {};
        Application()->ClearHandledExceptions();
        QApplication::processEvents();
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_EQ(FindControl(w), nullptr) << "a form was left behind";
    }

    TForm* MakeForm(int w = 300, int h = 200, TColor color = clYellow)
    {
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetColor(color);
        form->SetClientSize(w, h);
        return form;
    }

    void ShowForm()
    {
        form->Show();
        QApplication::setActiveWindow(form->Handle());
        QApplication::processEvents();
    }

    template <class T> T* Add(int left, int top, int width = -1, int height = -1)
    {
        auto* c = new T(form);
        c->SetParent(form);
        c->SetBounds(left, top, width < 0 ? c->Width() : width, height < 0 ? c->Height() : height);
        return c;
    }

    // Mouse input as the form's window receives it, in form coordinates.
    void Press(QPoint at, Qt::MouseButton b = Qt::LeftButton) { form->HostMousePress(b, {}, b, at, false); }
    void Move(QPoint at, bool held = true) { form->HostMouseMove({}, held ? Qt::LeftButton : Qt::NoButton, at); }
    void Release(QPoint at, Qt::MouseButton b = Qt::LeftButton) { form->HostMouseRelease(b, {}, {}, at); }

    QImage Render() const { return form->RenderToBitmap()->Image(); }
    static QRgb Px(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
    static QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }
    static int Count(const QImage& image, const QRect& r, TColor c)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += Px(image, x, y) == Rgb(c);
        return n;
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

    TForm* form = nullptr;
    QStringList errors;
};
