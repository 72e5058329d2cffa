// Bitmaps, transparent blits, BMP and JPEG files, pictures and image lists.

#include "bitmap_pixels.h"

#include "platform/gui/bitmap.h"

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

std::unique_ptr<TBitmap> Filled(int w, int h, TColor color)
{
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(QRect(0, 0, w, h));
    return b;
}

// Four flat quadrants: red, green / blue, yellow. Flat areas survive JPEG.
QImage Quadrants(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            img.setPixel(x, y,
                bottom ? (right ? qRgb(255, 255, 0) : qRgb(0, 0, 255)) : (right ? qRgb(0, 255, 0) : qRgb(255, 0, 0)));
        }
    return img;
}

bool Near(QRgb a, QRgb b, int tolerance = 24)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QByteArray SaveWithQt(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

} // namespace

// ---------------------------------------------------------------------------

TEST(Bitmap, SizeKeepsPixelsAndNewAreasAreWhite)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetWidth(10); // height still 0: empty, but the width is kept
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 10);
    b.SetHeight(5);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(Px(b, 9, 4), clWhite);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(QRect(0, 0, 10, 5));
    b.SetSize(12, 3);
    EXPECT_EQ(Px(b, 9, 2), clRed);
    EXPECT_EQ(Px(b, 10, 0), clWhite);
    // Drawing keeps working after the resize (the painter was reopened).
    b.Canvas()->FillRect(QRect(10, 0, 2, 3));
    EXPECT_EQ(Px(b, 11, 2), clRed);
    EXPECT_THROW(b.SetSize(100000, 100000), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 12);
}

TEST(Bitmap, AssignCopiesIndependently)
{
    auto a = Filled(6, 6, clRed);
    a->SetTransparentColor(clRed);
    a->SetTransparent(true);
    TBitmap copy;
    int changes = 0;
    copy.OnChange = [&] { ++changes; };
    copy.Assign(a.get());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Width(), 6);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), clRed);
    // Drawing on either side leaves the other alone.
    a->Canvas()->Brush()->SetColor(clBlue);
    a->Canvas()->FillRect(QRect(0, 0, 3, 3));
    copy.Canvas()->Brush()->SetColor(clGreen);
    copy.Canvas()->FillRect(QRect(3, 3, 3, 3));
    EXPECT_EQ(Px(*a, 0, 0), clBlue);
    EXPECT_EQ(Px(*a, 4, 4), clRed);
    EXPECT_EQ(Px(copy, 0, 0), clRed);
    EXPECT_EQ(Px(copy, 4, 4), clGreen);

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Width(), 0);
    TRasterGraphic other;
    other.Assign(&copy);
    EXPECT_TRUE(other.Empty());
}

TEST(Bitmap, TransparentDrawSkipsTheKeyColour)
{
    // Auto mode: the bottom-left pixel is the key.
    auto glyph = Filled(4, 4, clFuchsia);
    glyph->Canvas()->Brush()->SetColor(clNavy);
    glyph->Canvas()->FillRect(QRect(1, 1, 2, 2));
    glyph->SetTransparent(true);
    EXPECT_EQ(glyph->TransparentMode(), tmAuto);
    EXPECT_EQ(glyph->TransparentColor(), clFuchsia | 0x02000000);
    auto target = Filled(6, 6, clYellow);
    target->Canvas()->Draw(1, 1, *glyph);
    ExpectPixels(*target, { { 1, 1, clYellow }, { 2, 2, clNavy }, { 3, 3, clNavy }, { 4, 4, clYellow } });

    // Fixed key: the navy centre is the hole now.
    glyph->SetTransparentColor(clNavy);
    EXPECT_EQ(glyph->TransparentMode(), tmFixed);
    auto second = Filled(6, 6, clYellow);
    second->Canvas()->Draw(1, 1, *glyph);
    EXPECT_EQ(Px(*second, 1, 1), clFuchsia);
    EXPECT_EQ(Px(*second, 2, 2), clYellow);
    glyph->SetTransparentMode(tmAuto);
    EXPECT_EQ(glyph->TransparentColor(), clFuchsia | 0x02000000);

    // Drawing on the glyph after a keyed draw shows in the next one.
    glyph->Canvas()->Brush()->SetColor(clGreen);
    glyph->Canvas()->FillRect(QRect(1, 1, 1, 1));
    glyph->SetTransparentMode(tmFixed); // keeps the current key
    EXPECT_EQ(glyph->TransparentColor(), clFuchsia);
    target->Canvas()->Draw(1, 1, *glyph);
    EXPECT_EQ(Px(*target, 2, 2), clGreen);
    glyph->Canvas()->SetPixels(1, 1, clNavy);
    target->Canvas()->Draw(1, 1, *glyph);
    EXPECT_EQ(Px(*target, 2, 2), clNavy);

    // A system colour key is resolved before comparing.
    auto face = Filled(3, 3, clBtnFace);
    face->SetTransparentColor(clBtnFace);
    face->SetTransparent(true);
    auto third = Filled(3, 3, clWhite);
    third->Canvas()->Draw(0, 0, *face);
    EXPECT_EQ(Px(*third, 1, 1), clWhite);

    // Opaque bitmaps draw everything; transparent ones also stay keyed when stretched.
    glyph->SetTransparent(false);
    auto fourth = Filled(6, 6, clYellow);
    fourth->Canvas()->Draw(1, 1, *glyph);
    EXPECT_EQ(Px(*fourth, 1, 1), clFuchsia);
    glyph->SetTransparent(true);
    glyph->SetTransparentMode(tmAuto);
    auto big = Filled(16, 16, clYellow);
    big->Canvas()->StretchDraw(QRect(0, 0, 16, 16), *glyph);
    ExpectPixels(*big, { { 0, 0, clYellow }, { 15, 15, clYellow }, { 7, 7, clNavy } });
}

TEST(Bitmap, StretchCopyAndBrushCopy)
{
    TBitmap source;
    source.SetImage(Quadrants(10, 10));
    TBitmap target(40, 20);
    target.Canvas()->StretchDraw(QRect(0, 0, 40, 20), source);
    ExpectPixels(target, { { 5, 3, clRed }, { 35, 3, clLime }, { 5, 16, clBlue }, { 35, 16, clYellow } });

    // Overlapping copy one pixel right and down on the same canvas.
    TBitmap shift;
    shift.SetImage(Quadrants(6, 6));
    shift.Canvas()->CopyRect(QRect(1, 1, 5, 5), *shift.Canvas(), QRect(0, 0, 5, 5));
    EXPECT_EQ(Px(shift, 0, 0), clRed);
    EXPECT_EQ(Px(shift, 1, 1), clRed);
    EXPECT_EQ(Px(shift, 3, 3), clRed); // was (2, 2)
    ExpectPixels(shift, { { 4, 4, clYellow }, { 4, 3, clLime }, { 3, 4, clBlue } });
    // CopyRect scales when the rectangles differ.
    TBitmap half(3, 3);
    half.Canvas()->CopyRect(QRect(0, 0, 3, 3), *source.Canvas(), QRect(0, 0, 6, 6));
    EXPECT_EQ(Px(half, 0, 0), clRed);

    // BrushCopy: key pixels take the destination's brush colour ...
    auto keyed = Filled(4, 4, clFuchsia);
    keyed->Canvas()->SetPixels(1, 1, clBlack);
    auto dest = Filled(4, 4, clWhite);
    dest->Canvas()->Brush()->SetColor(clAqua);
    dest->Canvas()->BrushCopy(QRect(0, 0, 4, 4), *keyed, QRect(0, 0, 4, 4), clFuchsia);
    EXPECT_EQ(Px(*dest, 0, 0), clAqua);
    EXPECT_EQ(Px(*dest, 1, 1), clBlack);
    // ... or show what is beneath with a clear brush.
    auto under = Filled(4, 4, clGreen);
    under->Canvas()->Brush()->SetStyle(bsClear);
    under->Canvas()->BrushCopy(QRect(0, 0, 4, 4), *keyed, QRect(0, 0, 4, 4), clFuchsia);
    EXPECT_EQ(Px(*under, 0, 0), clGreen);
    EXPECT_EQ(Px(*under, 1, 1), clBlack);
}

TEST(Bitmap, WithAlphaTheTransparentColourPaintsTransparency)
{
    TBitmap b;
    b.SetAlphaFormat(afPremultiplied);
    b.SetTransparentColor(clFuchsia);
    b.SetSize(40, 20);
    EXPECT_EQ(qAlpha(b.Image().pixel(3, 3)), 0); // new pixels are transparent
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(clRed);
    c.FillRect(QRect(0, 0, 40, 20));
    // Fills, lines, single pixels and text backgrounds in the key clear what
    // is there; reading a cleared pixel gives the key back.
    c.Brush()->SetColor(clFuchsia);
    c.FillRect(QRect(0, 0, 10, 10));
    c.Pen()->SetColor(clFuchsia);
    c.MoveTo(0, 15);
    c.LineTo(40, 15);
    c.SetPixels(39, 0, clFuchsia);
    EXPECT_EQ(qAlpha(b.Image().pixel(5, 5)), 0);
    EXPECT_EQ(qAlpha(b.Image().pixel(20, 15)), 0);
    EXPECT_EQ(qAlpha(b.Image().pixel(39, 0)), 0);
    EXPECT_EQ(Px(b, 20, 5), clRed);
    EXPECT_EQ(c.Pixels(5, 5), clFuchsia);
    c.TextOut(0, 0, QStringLiteral("Zoë mom"));
    EXPECT_EQ(qAlpha(b.Image().pixel(c.PenPos().x() - 1, 1)), 0); // the cell, above the ink

    // Text on a cleared bitmap is anti-aliased without the key in its edges;
    // BrushCopy puts it on the brush, or on what is beneath.
    c.FillRect(QRect(0, 0, 40, 20));
    c.Brush()->SetStyle(bsClear);
    c.Font()->SetColor(clBlack);
    c.TextOut(1, 2, QStringLiteral("Zoë mom"));
    for (bool clear : { false, true }) {
        auto dest = Filled(40, 20, clYellow);
        dest->Canvas()->Brush()->SetColor(clAqua);
        dest->Canvas()->Brush()->SetStyle(clear ? bsClear : bsSolid);
        dest->Canvas()->BrushCopy(QRect(0, 0, 40, 20), b, QRect(0, 0, 40, 20), clFuchsia);
        const QColor under = ToQColor(clear ? clYellow : clAqua);
        int edges = 0, offLine = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                // Black over the background: each channel the same fraction of it.
                const QColor p = QColor::fromRgb(dest->Image().pixel(x, y));
                const double t = p.greenF() / under.greenF();
                offLine
                    += std::abs(p.redF() - t * under.redF()) > 0.02 || std::abs(p.blueF() - t * under.blueF()) > 0.02;
                edges += t > 0.15 && t < 0.85;
            }
        EXPECT_EQ(offLine, 0) << clear;
        EXPECT_GT(edges, 10) << clear;
    }

    // Back to opaque pixels: what was transparent is white.
    b.SetAlphaFormat(afIgnored);
    EXPECT_EQ(Px(b, 39, 0), clWhite);
    EXPECT_FALSE(b.Image().hasAlphaChannel());
}

TEST(Bitmap, CopyModesAndPatternBrush)
{
    auto src = Filled(2, 2, RGB(0x0F, 0xF0, 0x33));
    auto dst = Filled(2, 2, RGB(0xFF, 0x0F, 0x30));
    dst->Canvas()->SetCopyMode(cmSrcInvert);
    dst->Canvas()->Draw(0, 0, *src);
    EXPECT_EQ(Px(*dst, 0, 0), RGB(0xF0, 0xFF, 0x03));
    dst->Canvas()->SetCopyMode(cmSrcAnd);
    dst->Canvas()->Draw(0, 0, *src);
    EXPECT_EQ(Px(*dst, 0, 0), RGB(0x00, 0xF0, 0x03));
    dst->Canvas()->SetCopyMode(cmSrcCopy);
    dst->Canvas()->Draw(0, 0, *src);
    EXPECT_EQ(Px(*dst, 1, 1), RGB(0x0F, 0xF0, 0x33));

    // An 8x8 checkerboard as brush pattern, tiled from the canvas origin.
    TBitmap pattern(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? clBtnHighlight : clBtnFace);
    TBitmap held(20, 20);
    held.Canvas()->Brush()->SetBitmap(&pattern);
    held.Canvas()->FillRect(QRect(3, 3, 10, 10));
    ExpectPixels(held, { { 4, 4, ColorToRGB(clBtnFace) }, { 12, 11, ColorToRGB(clBtnHighlight) }, { 2, 2, clWhite } });
    held.Canvas()->Brush()->SetBitmap(nullptr);
}

TEST(Bitmap, MonochromeAndMasks)
{
    TBitmap b(3, 1);
    b.Canvas()->SetPixels(0, 0, clWhite);
    b.Canvas()->SetPixels(1, 0, RGB(250, 250, 250));
    b.Canvas()->SetPixels(2, 0, clBlack);
    b.SetMonochrome(true);
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    EXPECT_EQ(Px(b, 0, 0), clWhite);
    EXPECT_EQ(Px(b, 1, 0), clBlack); // only pure white survives the conversion
    // Drawing later is rounded by brightness.
    b.Canvas()->Brush()->SetColor(clSilver);
    b.Canvas()->FillRect(QRect(2, 0, 1, 1));
    EXPECT_EQ(Px(b, 2, 0), clWhite);
    b.Canvas()->SetPixels(0, 0, clNavy);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlack);

    auto glyph = Filled(4, 4, clFuchsia);
    glyph->Canvas()->SetPixels(2, 2, clRed);
    TBitmap mask;
    MakeMonochromeMask(*glyph, clFuchsia, mask);
    EXPECT_TRUE(mask.Monochrome());
    EXPECT_EQ(Px(mask, 0, 0), clWhite);
    EXPECT_EQ(Px(mask, 2, 2), clBlack);

    // A colour through the mask: only under the black mask pixels.
    auto target = Filled(6, 6, clBtnFace);
    DrawMaskedColor(*target->Canvas(), 1, 1, mask, clBtnShadow);
    EXPECT_EQ(Px(*target, 3, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(*target, 1, 1), ColorToRGB(clBtnFace));
    int shadow = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            shadow += Px(*target, x, y) == ColorToRGB(clBtnShadow) ? 1 : 0;
    EXPECT_EQ(shadow, 1);

    TBitmap gray;
    glyph->SetTransparent(true);
    MakeGrayCopy(*glyph, gray);
    EXPECT_EQ(Px(gray, 0, 0), clFuchsia); // the key stays
    EXPECT_EQ(Px(gray, 2, 2), RGB(76, 76, 76));
    EXPECT_TRUE(gray.Transparent());
}

// ---------------------------------------------------------------------------

TEST(BitmapFiles, BmpRoundTripsBackToBack)
{
    TBitmap a;
    a.SetImage(Quadrants(7, 5)); // odd width: padded rows
    auto b = Filled(3, 2, clTeal);
    TBitmap empty;
    TMemoryStream stream;
    a.SaveToStream(stream);
    b->SaveToStream(stream);
    empty.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), (54 + 24 * 5) + (54 + 12 * 2) + 54);

    stream.SetPosition(0);
    TBitmap ra, rb, re(2, 2);
    ra.LoadFromStream(stream);
    rb.LoadFromStream(stream);
    re.LoadFromStream(stream);
    EXPECT_EQ(stream.Remaining(), 0);
    EXPECT_EQ(ra.Image(), a.Image());
    EXPECT_EQ(rb.Width(), 3);
    EXPECT_EQ(Px(rb, 2, 1), clTeal);
    EXPECT_TRUE(re.Empty());

    // Qt reads the same bytes: the header is standard.
    QImage viaQt;
    ASSERT_TRUE(viaQt.loadFromData(stream.Bytes().left(54 + 24 * 5), "BMP"));
    EXPECT_EQ(viaQt.convertToFormat(QImage::Format_RGB32), a.Image());
}

TEST(BitmapFiles, MonochromeAndDamagedBmps)
{
    QImage mono(9, 3, QImage::Format_Mono);
    mono.fill(1);
    mono.setPixel(4, 1, 0);
    TMemoryStream one(SaveWithQt(mono, "BMP"));
    TBitmap b;
    b.LoadFromStream(one);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(b.Width(), 9);
    EXPECT_NE(Px(b, 4, 1), Px(b, 0, 0));

    TMemoryStream garbage(QByteArray(100, 'x'));
    EXPECT_THROW(b.LoadFromStream(garbage), EInvalidGraphic);
    TMemoryStream tiny(QByteArrayLiteral("BM"));
    EXPECT_THROW(b.LoadFromStream(tiny), EInvalidGraphic);
    TBitmap good;
    good.SetImage(Quadrants(40, 40));
    TMemoryStream full;
    good.SaveToStream(full);
    TMemoryStream cut(full.Bytes().left(200));
    EXPECT_THROW(b.LoadFromStream(cut), EInvalidGraphic);
    QByteArray huge = full.Bytes();
    huge[18] = char(0xFF); // width 0x000000FF... then an absurd height
    huge[22] = huge[23] = huge[24] = char(0x7F);
    TMemoryStream absurd(huge);
    EXPECT_THROW(b.LoadFromStream(absurd), EInvalidGraphic);
}

TEST(BitmapFiles, ResourcePicturesByName)
{
    UnregisterResourceBitmaps();
    RegisterResourceBitmap(QStringLiteral("LBOK"), Quadrants(4, 4));
    TBitmap b;
    b.LoadFromResourceName(QStringLiteral("lbOk"));
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(Px(b, 0, 0), clRed);
    int asked = 0;
    SetResourceBitmapProvider([&](const QString& name, QImage& image) {
        ++asked;
        if (name.compare(QStringLiteral("DEDITBMP"), Qt::CaseInsensitive) != 0)
            return false;
        image = Quadrants(28, 12);
        return true;
    });
    b.LoadFromResourceName(QStringLiteral("DEditBmp"));
    EXPECT_EQ(b.Width(), 28);
    try {
        b.LoadFromResourceName(QStringLiteral("NOPE"));
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Resource NOPE not found"));
    }
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(b.Width(), 28); // unchanged by the failure
    UnregisterResourceBitmaps();
    EXPECT_THROW(b.LoadFromResourceName(QStringLiteral("LBOK")), EResNotFound);

    LoadSystemBitmap(b, OBM_COMBO);
    EXPECT_EQ(Px(b, 3, 3), clBlack);
    EXPECT_EQ(Px(b, 0, 3), ColorToRGB(clBtnFace));
}

// ---------------------------------------------------------------------------

TEST(Jpeg, BaselineAndProgressiveDecode)
{
    const QImage original = Quadrants(64, 48);
    const QByteArray baseline = SaveWithQt(original, "JPG");
    const QByteArray progressive = EncodeJPEG(original, 90, true);
    ASSERT_TRUE(progressive.contains(QByteArray("\xFF\xC2", 2))); // progressive frame marker

    for (const QByteArray& bytes : { baseline, progressive }) {
        TJPEGImage jpeg;
        TMemoryStream stream(bytes);
        jpeg.LoadFromStream(stream);
        EXPECT_EQ(jpeg.ProgressiveEncoding(), bytes == progressive);
        ASSERT_EQ(jpeg.Width(), 64);
        ASSERT_EQ(jpeg.Height(), 48);
        EXPECT_FALSE(jpeg.Grayscale());
        EXPECT_TRUE(Near(jpeg.Image().pixel(8, 8), qRgb(255, 0, 0)));
        EXPECT_TRUE(Near(jpeg.Image().pixel(56, 8), qRgb(0, 255, 0)));
        EXPECT_TRUE(Near(jpeg.Image().pixel(8, 40), qRgb(0, 0, 255)));
        EXPECT_TRUE(Near(jpeg.Image().pixel(56, 40), qRgb(255, 255, 0)));

        // Into a bitmap, and stretched onto a canvas.
        TBitmap b;
        b.Assign(&jpeg);
        EXPECT_EQ(b.Width(), 64);
        EXPECT_TRUE(Near(b.Image().pixel(8, 8), qRgb(255, 0, 0)));
        TBitmap half(32, 24);
        half.Canvas()->StretchDraw(QRect(0, 0, 32, 24), jpeg);
        EXPECT_TRUE(Near(half.Image().pixel(28, 20), qRgb(255, 255, 0)));

        // Saving keeps the file's own bytes.
        TMemoryStream out;
        jpeg.SaveToStream(out);
        EXPECT_EQ(out.Bytes(), bytes);
    }
}

TEST(Jpeg, GrayscaleAndEncodingFromABitmap)
{
    QImage gray(16, 16, QImage::Format_Grayscale8);
    gray.fill(100);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(SaveWithQt(gray, "JPG"));
    EXPECT_TRUE(jpeg.Grayscale());
    EXPECT_TRUE(Near(jpeg.Image().pixel(5, 5), qRgb(100, 100, 100), 3));

    TBitmap b;
    b.SetImage(Quadrants(32, 32));
    TJPEGImage fromBitmap;
    fromBitmap.Assign(&b);
    fromBitmap.SetProgressiveEncoding(true);
    TMemoryStream out;
    fromBitmap.SaveToStream(out);
    QImage viaQt;
    ASSERT_TRUE(viaQt.loadFromData(out.Bytes(), "JPG"));
    EXPECT_TRUE(Near(viaQt.pixel(24, 24), qRgb(255, 255, 0)));
}

namespace {

// A CMYK JPEG as Adobe programs write it: inverted inks and an Adobe marker.
QByteArray AdobeCmykJpeg(int w, int h, const JSAMPLE ink[4])
{
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(w) * 4);
    for (int x = 0; x < w; ++x)
        for (int i = 0; i < 4; ++i)
            row[size_t(x) * 4 + size_t(i)] = JSAMPLE(255 - ink[i]);
    JSAMPROW rows[1] = { row.data() };
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, rows, 1);
    jpeg_finish_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

} // namespace

TEST(Jpeg, AdobeCmykBecomesRgb)
{
    const JSAMPLE red[4] = { 0, 255, 255, 0 };
    const JSAMPLE darkBlue[4] = { 255, 255, 0, 128 };
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(AdobeCmykJpeg(16, 16, red));
    EXPECT_TRUE(Near(jpeg.Image().pixel(8, 8), qRgb(255, 0, 0), 8));
    jpeg.LoadFromBytes(AdobeCmykJpeg(16, 16, darkBlue));
    EXPECT_TRUE(Near(jpeg.Image().pixel(8, 8), qRgb(0, 0, 127), 8));
}

TEST(Jpeg, DamagedDataRaisesAndKeepsThePicture)
{
    const QByteArray good = SaveWithQt(Quadrants(64, 64), "JPG");
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(good);
    const QByteArray variants[] = {
        good.left(good.size() / 2), // truncated scan
        good.left(20), // truncated header
        QByteArray("\xFF\xD8\xFF\xE0garbage", 11), // broken segment
        QByteArray(500, '\x42'), // not a JPEG
        QByteArray(), // nothing
        EncodeJPEG(Quadrants(16, 16), 80, true).left(300), // truncated progressive
    };
    for (const QByteArray& bytes : variants) {
        try {
            jpeg.LoadFromBytes(bytes);
            ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("JPEG error"))) << e.what();
        }
        EXPECT_EQ(jpeg.Width(), 64);
    }
    // Corrupted entropy data in the middle still decodes (libjpeg recovers) or raises; never crashes.
    QByteArray noisy = good;
    for (qsizetype i = good.size() / 2; i < good.size() / 2 + 40; ++i)
        noisy[i] = char(i * 37);
    try {
        jpeg.LoadFromBytes(noisy);
    } catch (const EJPEG&) {
    }
}

// ---------------------------------------------------------------------------

TEST(Picture, LoadsByContentAndExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage img = Quadrants(20, 10);
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    TBitmap bmp;
    bmp.SetImage(img);
    TMemoryStream bmpBytes;
    bmp.SaveToStream(bmpBytes);

    TPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    picture.LoadFromFile(write(QStringLiteral("a.bmp"), bmpBytes.Bytes()));
    EXPECT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TBitmap"));
    EXPECT_EQ(picture.Width(), 20);
    picture.LoadFromFile(write(QStringLiteral("b.jpg"), SaveWithQt(img, "JPG")));
    EXPECT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TJPEGImage"));
    picture.LoadFromFile(write(QStringLiteral("c.png"), SaveWithQt(img, "PNG")));
    EXPECT_EQ(picture.Height(), 10);
    // A JPEG named .bmp is still read as a JPEG.
    picture.LoadFromFile(write(QStringLiteral("d.bmp"), SaveWithQt(img, "JPG")));
    EXPECT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TJPEGImage"));
    EXPECT_EQ(changes, 4);

    // Asking for the bitmap of a JPEG picture replaces it with an empty bitmap.
    TBitmap* asBitmap = picture.Bitmap();
    EXPECT_TRUE(asBitmap->Empty());
    EXPECT_EQ(changes, 5);
    // Changes to the held graphic reach the picture.
    asBitmap->SetSize(3, 3);
    EXPECT_EQ(changes, 6);
    asBitmap->Canvas()->FillRect(QRect(0, 0, 1, 1));
    EXPECT_EQ(changes, 7);

    TPicture copy;
    copy.Assign(&picture);
    EXPECT_NE(copy.Graphic(), picture.Graphic());
    EXPECT_EQ(copy.Width(), 3);
    copy.SetGraphic(nullptr);
    EXPECT_EQ(copy.Graphic(), nullptr);

    EXPECT_THROW(picture.LoadFromFile(write(QStringLiteral("e.xyz"), QByteArray("hello"))), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(dir.filePath(QStringLiteral("missing.bmp"))), EFOpenError);
    EXPECT_THROW(picture.LoadFromFile(write(QStringLiteral("f.png"), QByteArray("\x89PNG broken"))), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 3); // failures leave the picture alone

    // Icons keep their alpha and the largest size.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int i = 8; i < 24; ++i)
        icon.setPixel(i, i, qRgba(255, 0, 0, 255));
    picture.LoadFromFile(write(QStringLiteral("g.ico"), SaveWithQt(icon, "ICO")));
    ASSERT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TIcon"));
    EXPECT_EQ(picture.Width(), 32);
    auto target = Filled(32, 32, clLime);
    target->Canvas()->Draw(0, 0, *picture.Graphic());
    EXPECT_EQ(Px(*target, 0, 0), clLime);
    EXPECT_EQ(Px(*target, 10, 10), clRed);
    EXPECT_FALSE(static_cast<TIcon*>(picture.Graphic())->ToQIcon().isNull());
}

// ---------------------------------------------------------------------------

TEST(ImageList, AddMaskedSplitsAStripAndDraws)
{
    // Three 4x4 images on magenta: a red, a green and a blue 2x2 square.
    TBitmap strip(12, 4);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(QRect(0, 0, 12, 4));
    const TColor colours[] = { clRed, clLime, clBlue };
    for (int i = 0; i < 3; ++i) {
        strip.Canvas()->Brush()->SetColor(colours[i]);
        strip.Canvas()->FillRect(QRect(i * 4 + 1, 1, 2, 2));
    }
    TImageList list(4, 4);
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.AddMasked(&strip, clDefault), 3); // bottom-left pixel as key
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(changes, 2);

    auto target = Filled(8, 8, clWhite);
    list.Draw(*target->Canvas(), 2, 2, 1);
    ExpectPixels(*target, { { 2, 2, clWhite }, { 3, 3, clLime }, { 4, 4, clLime }, { 5, 5, clWhite } });

    // Out of range: nothing at all.
    const QImage before = target->Image().copy();
    list.Draw(*target->Canvas(), 0, 0, 6);
    list.Draw(*target->Canvas(), 0, 0, -1);
    EXPECT_EQ(target->Image(), before);

    // Disabled: highlight one pixel down-right, shadow on top.
    auto disabled = Filled(8, 8, clBtnFace);
    list.Draw(*disabled->Canvas(), 2, 2, 2, false);
    ExpectPixels(*disabled,
        { { 3, 3, ColorToRGB(clBtnShadow) }, { 4, 4, ColorToRGB(clBtnShadow) }, { 5, 5, ColorToRGB(clBtnHighlight) },
            { 2, 2, ColorToRGB(clBtnFace) } });
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_NE(Px(*disabled, x, y), clBlue);

    TBitmap slot;
    list.GetBitmap(0, &slot);
    EXPECT_EQ(slot.Width(), 4);
    EXPECT_EQ(Px(slot, 1, 1), clRed);
    EXPECT_EQ(Px(slot, 0, 0), clWhite);

    list.Delete(0);
    EXPECT_EQ(list.Count(), 5);
    list.ReplaceMasked(0, &strip, clFuchsia);
    EXPECT_EQ(qRgb(255, 0, 0), list.Image(0).pixel(1, 1));
    EXPECT_THROW(list.Replace(9, &strip, nullptr), EInvalidGraphicOperation);
    list.SetWidth(8); // a new size empties the list
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, MasksAndUnmaskedLists)
{
    auto image = Filled(4, 4, clRed);
    TBitmap mask(4, 4); // white = transparent
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(QRect(0, 0, 2, 4));
    TImageList masked(4, 4);
    masked.Add(image.get(), &mask);
    auto target = Filled(4, 4, clBlue);
    masked.Draw(*target->Canvas(), 0, 0, 0);
    EXPECT_EQ(Px(*target, 1, 1), clRed);
    EXPECT_EQ(Px(*target, 3, 1), clBlue);

    // Unmasked lists (like the zodiac pictures) draw whole rectangles.
    TImageList plain(4, 4);
    plain.SetMasked(false);
    plain.Add(image.get(), &mask);
    plain.AddMasked(image.get(), clRed);
    auto target2 = Filled(4, 4, clBlue);
    plain.Draw(*target2->Canvas(), 0, 0, 1);
    EXPECT_EQ(Px(*target2, 3, 3), clRed);
    EXPECT_EQ(plain.Add(nullptr, nullptr), -1);
    EXPECT_EQ(plain.Count(), 2);
}
