#pragma once

// Shared set-up of the mini HTML tests: an engine drawing onto a white
// bitmap, measuring with fixed metrics so coordinates are exact anywhere.

#include "minihtml/engine.h"

#include "platform/gui/bitmap.h"

#include <QImage>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// Every character is as wide as the font's size in points, every line
// twice that high: an 8-point "ab" is 16 x 16.
class FixedMetrics : public THtmlTextMetrics {
public:
    int TextWidth(const QString& s, const TFont& font) override { return int(s.size()) * font.Size(); }
    int TextHeight(const QString& s, const TFont& font) override { return 2 * font.Size(); }
};

// Anti-aliased text: pixels within tolerance of a colour in every channel.
int CountNear(const QImage& image, const QRect& r, TColor c, int tolerance);
// Where c lies on the way from a (0) to b (1), or -1 when it is off that
// line by more than rounding: a blend with some third colour.
double Between(QRgb c, QRgb a, QRgb b);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        target.SetSize(300, 200);
        Fill(clWhite);
        e = std::make_unique<TQzMiniHtml2>(nullptr);
        e->width = 300;
        e->height = 200;
        e->Color = clWhite;
        e->Canvas = target.Canvas();
        e->TextMetrics = std::make_shared<FixedMetrics>();
    }

    void Fill(TColor color)
    {
        target.Canvas()->Brush()->SetColor(color);
        target.Canvas()->Brush()->SetStyle(bsSolid);
        target.Canvas()->FillRect(QRect(0, 0, target.Width(), target.Height()));
        target.Canvas()->Brush()->SetStyle(bsClear);
    }

    void Load(const QString& html)
    {
        e->Lines = QStringList { html };
        e->LoadFromLines();
    }

    template <class T> T* Tag(int index) const { return dynamic_cast<T*>(e->Tags(index)); }

    // Class names of the tags, words shown as their text in quotes.
    QStringList Kinds() const;
    // The first word with this text (a failure when there is none).
    class aText* Word(const QString& text) const;

    static QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }
    QRgb Px(int x, int y) { return target.Image().pixel(x, y) & 0xFFFFFF; }
    // The cache keeps alpha: its cleared pixels read as the transparent
    // colour that paints them, the others as their colour.
    QRgb CachePx(int x, int y) { return Seen(e->CacheBitmap->Image().pixel(x, y)); }
    static QRgb Seen(QRgb pixel) { return qAlpha(pixel) == 0 ? Rgb(HtmlTransparentColor) : pixel & 0xFFFFFF; }
    // Pixels of one colour in a rectangle of an image (a cache's cleared
    // pixels count as the transparent colour).
    static int Count(const QImage& image, const QRect& r, TColor c);

    TBitmap target;
    std::unique_ptr<TQzMiniHtml2> e;
};
