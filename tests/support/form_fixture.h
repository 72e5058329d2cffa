#pragma once

// The set-up tests of windows share: a borderless form per test, freed at
// the end with a check that no window of the control model was left behind;
// exceptions from handlers collected instead of shown; pixel helpers.

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QTimer>

#include <initializer_list>

#include <gtest/gtest.h>

class FormFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
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

    // Shows the form and makes it the active window, so focus works.
    void ShowForm()
    {
        form->Show();
        QApplication::setActiveWindow(form->Handle());
        QApplication::processEvents();
    }

    template <class T>
    T* Add(int left, int top, int width = -1, int height = -1)
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

    static QImage Render(TControl* c) { return c->RenderToBitmap()->Image(); }
    static QRgb Px(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
    static QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }
    // A pixel of the image and the colour it must have.
    struct PixelIs {
        int x, y;
        TColor color;
    };
    static void ExpectPixels(const QImage& image, std::initializer_list<PixelIs> pixels)
    {
        for (const PixelIs& p : pixels)
            EXPECT_EQ(Px(image, p.x, p.y), Rgb(p.color)) << "pixel " << p.x << ',' << p.y;
    }
    // Pixels of one colour inside a rectangle of the image.
    static int Count(const QImage& image, const QRect& r, TColor c)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += Px(image, x, y) == Rgb(c);
        return n;
    }

    TForm* form = nullptr;
    QStringList errors;
};

// Runs act on the form of class F that the next modal loop shows (a modal
// form runs its own loop, so the test acts from inside it); seen tells
// whether it was there.
template <class F, class Act> void WhenShown(bool& seen, Act act)
{
    QTimer::singleShot(0, [&seen, act] {
        for (TCustomForm* w : AllForms())
            if (auto* shown = dynamic_cast<F*>(w)) {
                seen = true;
                act(*shown);
                return;
            }
    });
}
