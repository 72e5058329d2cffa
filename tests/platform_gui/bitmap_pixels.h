#pragma once

// Pixel checks on bitmaps: a pixel read as a colour, and a table of pixels
// with the colours they must have.

#include "platform/gui/bitmap.h"

#include <initializer_list>

#include <gtest/gtest.h>

// Reads the image itself, whatever the canvas's origin and clip.
inline TColor Px(const TBitmap& b, int x, int y)
{
    const QRgb c = b.Image().pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

struct BitmapPixel {
    int x, y;
    TColor color;
};

inline void ExpectPixels(const TBitmap& b, std::initializer_list<BitmapPixel> pixels)
{
    for (const BitmapPixel& p : pixels)
        EXPECT_EQ(Px(b, p.x, p.y), p.color) << "pixel " << p.x << ',' << p.y;
}
