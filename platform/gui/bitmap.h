#pragma once

// Pictures: the abstract graphic, bitmaps on QImage with colour-key
// transparency, JPEG through libjpeg, other formats through Qt, icons, the
// picture holder and image lists.

#include "platform/core/classes.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/gui/graphics.h"

#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QIcon;

DECLARE_EXCEPTION(EInvalidGraphic, Exception);
DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);
DECLARE_EXCEPTION(EResNotFound, Exception);

// Anything that can be drawn into a canvas rectangle and read from a stream.
class TGraphic : public TPersistent {
public:
    TGraphic();
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    ~TGraphic() override;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value);
    virtual void SetHeight(int value);
    virtual bool Empty() const = 0;
    bool Transparent() const { return fTransparent; }
    virtual void SetTransparent(bool value);

    // Draws the whole graphic scaled into rect.
    virtual void Draw(TCanvas& canvas, const QRect& rect) const = 0;
    // The picture as an image (ARGB32 premultiplied; transparency as alpha).
    virtual QImage ToImage() const = 0;
    // A new graphic of the same class with the same content.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    // Copies another graphic; the base raises EConvertError.
    virtual void Assign(const TGraphic* source);
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

    std::function<void()> OnChange;

protected:
    virtual void Changed();
    void AssignError(const TGraphic* source) const;
    bool fTransparent = false;
};

enum TTransparentMode { tmAuto, tmFixed };
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
// Whether a bitmap keeps an alpha channel (premultiplied) or is opaque.
enum TAlphaFormat { afIgnored, afPremultiplied };

class TBitmapCanvas;

// A bitmap over a QImage in Format_RGB32 (opaque; transparency is a colour
// key). New pixels are white. The canvas draws into the image through a
// painter it opens lazily; Image() closes that painter first. Drawing on the
// canvas fires OnChange. A monochrome bitmap keeps its pixels black or white.
// With AlphaFormat afPremultiplied the image keeps alpha
// (Format_ARGB32_Premultiplied), new pixels are transparent, and a fixed
// transparent colour paints transparency on the canvas, so that text stays
// anti-aliased where a colour key would need hard edges.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;

    QString ClassName() const override { return QStringLiteral("TBitmap"); }

    int Width() const override { return fWidth; }
    int Height() const override { return fHeight; }
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    // Keeps the pixels that remain inside; raises EInvalidGraphic on an
    // absurd size.
    void SetSize(int width, int height);
    bool Empty() const override { return fWidth == 0 || fHeight == 0; }

    TCanvas* Canvas();
    // Also turns off anti-aliased text on the canvas when switched on
    // (unless the bitmap keeps alpha).
    void SetTransparent(bool value) override;

    // Transparent colour: tmAuto takes the bottom-left pixel (with the
    // 0x02000000 flag set, as the class library reports it); setting a colour
    // switches to tmFixed.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return fTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    // Converting to monochrome keeps white pixels white and makes every other
    // pixel black (the colour-to-mask rule of blits); later drawing is
    // rounded to black or white by brightness.
    bool Monochrome() const { return fMonochrome; }
    void SetMonochrome(bool value);
    // Kept for the callers; pf1bit is the same as Monochrome.
    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat value);
    TAlphaFormat AlphaFormat() const { return fAlphaFormat; }
    // Converts the pixels: to opaque ones on white, or to ones with alpha.
    void SetAlphaFormat(TAlphaFormat value);
    TBitmapHandleType HandleType() const { return fHandleType; }
    void SetHandleType(TBitmapHandleType value) { fHandleType = value; }
    void Dormant() { }
    void FreeImage() { }
    // Turns the bitmap into a monochrome mask: the key colour white, the rest black.
    void Mask(TColor transparentColor);

    void Assign(const TGraphic* source) override;
    void Draw(TCanvas& canvas, const QRect& rect) const override;
    QImage ToImage() const override;
    std::unique_ptr<TGraphic> Clone() const override;

    // Windows BMP: reads what QImage reads (1/4/8/24/32 bits), writes 24 bits.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // A program picture by name (see RegisterResourceBitmap).
    void LoadFromResourceName(const QString& name);

    // The pixels, with any canvas painter closed first.
    QImage& Image();
    const QImage& Image() const;
    // Replaces the pixels (converted to the bitmap's format).
    void SetImage(const QImage& image);

    // Opaque pixels with the key colour's pixels left out when Transparent.
    QImage KeyedImage() const;

protected:
    void Changed() override;

private:
    friend class TBitmapCanvas;
    void CanvasChanged();
    void ReleaseCanvasPainter() const;
    void NormalizeMonochrome();
    QImage::Format ImageFormat() const;
    // Tells the canvas how it paints the transparent colour.
    void KeyCanvas();

    QImage fImage; // null while either side is 0
    int fWidth = 0;
    int fHeight = 0;
    std::unique_ptr<TBitmapCanvas> fCanvas;
    TColor fTransparentColor = clDefault;
    TTransparentMode fTransparentMode = tmAuto;
    bool fMonochrome = false;
    bool fMonoDirty = false;
    TPixelFormat fPixelFormat = pfDevice;
    TBitmapHandleType fHandleType = bmDIB;
    TAlphaFormat fAlphaFormat = afIgnored;
    mutable QImage fKeyedCache;
    mutable qint64 fKeyedCacheKey = 0;
    mutable TColor fKeyedCacheColor = 0;
};

// Program pictures for LoadFromResourceName, looked up by name ignoring
// case: first the registered images, then the provider (if any).
void RegisterResourceBitmap(const QString& name, const QImage& image);
void UnregisterResourceBitmaps();
using TResourceBitmapProvider = std::function<bool(const QString& name, QImage& image)>;
void SetResourceBitmapProvider(TResourceBitmapProvider provider);
// The image of a program picture; raises EResNotFound "Resource NAME not found".
QImage FindResourceBitmap(const QString& name);

// The combo box arrow (a small black triangle on the button face).
constexpr int OBM_COMBO = 32738;
void LoadSystemBitmap(TBitmap& bitmap, int id);

// JPEG decoded with libjpeg (baseline, progressive, greyscale, CMYK/YCCK).
// Keeps the file's bytes for SaveToStream; a JPEG built by Assign is encoded
// with CompressionQuality and ProgressiveEncoding.
class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    QString ClassName() const override { return QStringLiteral("TJPEGImage"); }

    int Width() const override { return fImage.width(); }
    int Height() const override { return fImage.height(); }
    bool Empty() const override { return fImage.isNull(); }
    // True when the last decoded file was greyscale.
    bool Grayscale() const { return fGrayscale; }
    bool ProgressiveEncoding() const { return fProgressive; }
    void SetProgressiveEncoding(bool value) { fProgressive = value; }
    int CompressionQuality() const { return fQuality; }
    void SetCompressionQuality(int value) { fQuality = qBound(1, value, 100); }
    void DIBNeeded() { }

    void Assign(const TGraphic* source) override;
    void Draw(TCanvas& canvas, const QRect& rect) const override;
    QImage ToImage() const override;
    std::unique_ptr<TGraphic> Clone() const override;

    // Raises EJPEG (an EInvalidGraphic) for damaged or truncated data.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    void LoadFromBytes(const QByteArray& bytes);

    // The decoded pixels (RGB32).
    const QImage& Image() const { return fImage; }

private:
    QImage fImage;
    QByteArray fData;
    bool fGrayscale = false;
    bool fProgressive = false;
    int fQuality = 90;
};

// Decodes a whole JPEG file into an RGB32 image; raises EJPEG.
QImage DecodeJPEG(const QByteArray& bytes, bool* grayscale = nullptr, bool* progressive = nullptr);
// Encodes an image as JPEG (baseline or progressive); raises EJPEG.
QByteArray EncodeJPEG(const QImage& image, int quality, bool progressive);

// Any other picture Qt reads (PNG, GIF, ICO), alpha kept.
class TRasterGraphic : public TGraphic {
public:
    // format: the Qt format name used for reading and writing ("PNG").
    explicit TRasterGraphic(QByteArray format = QByteArrayLiteral("PNG"));
    ~TRasterGraphic() override;

    QString ClassName() const override { return QStringLiteral("TRasterGraphic"); }
    int Width() const override { return fImage.width(); }
    int Height() const override { return fImage.height(); }
    bool Empty() const override { return fImage.isNull(); }

    void Assign(const TGraphic* source) override;
    void Draw(TCanvas& canvas, const QRect& rect) const override;
    QImage ToImage() const override { return fImage; }
    std::unique_ptr<TGraphic> Clone() const override;
    // Reads the rest of the stream; raises EInvalidGraphic.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

    const QImage& Image() const { return fImage; }
    void SetImage(const QImage& image);
    const QByteArray& Format() const { return fFormat; }

protected:
    QImage fImage; // ARGB32 premultiplied
    QByteArray fFormat;
};

// A window icon. Reads .ico files (the largest image), or any image.
class TIcon : public TRasterGraphic {
public:
    TIcon();
    QString ClassName() const override { return QStringLiteral("TIcon"); }
    std::unique_ptr<TGraphic> Clone() const override;
    void LoadFromStream(TStream& stream) override;
    QIcon ToQIcon() const;
};

// Holds one graphic of any kind; loading picks the kind from the file.
class TPicture : public TPersistent {
public:
    TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    ~TPicture() override;

    QString ClassName() const override { return QStringLiteral("TPicture"); }

    TGraphic* Graphic() const { return fGraphic.get(); }
    // Stores a copy of value (nullptr empties the picture).
    void SetGraphic(const TGraphic* value);
    // The graphic as a bitmap: a graphic of another kind is replaced by a
    // new, empty bitmap first.
    TBitmap* Bitmap();
    void SetBitmap(const TBitmap* value) { SetGraphic(value); }
    int Width() const { return fGraphic ? fGraphic->Width() : 0; }
    int Height() const { return fGraphic ? fGraphic->Height() : 0; }

    void Assign(const TPicture* source) { SetGraphic(source ? source->Graphic() : nullptr); }
    // bmp, jpg/jpeg, ico, png/gif by extension, else by content. Raises
    // EInvalidGraphic (unknown format or damaged file) or EFOpenError.
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

    std::function<void()> OnChange;

private:
    void Adopt(std::unique_ptr<TGraphic> graphic);
    void Changed();
    std::unique_ptr<TGraphic> fGraphic;
};

// Picks a graphic class from the bytes of a file (BMP, JPEG, ICO, PNG, GIF).
std::unique_ptr<TGraphic> CreateGraphicFor(const QByteArray& bytes, const QString& fileName);

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

// Same-sized images kept as a list. Masked lists keep transparency (from a
// mask or a key colour); unmasked lists draw whole rectangles. Disabled
// drawing shows an embossed silhouette in the highlight and shadow colours.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner = nullptr);
    TImageList(int width, int height, TComponent* owner = nullptr);
    ~TImageList() override;

    QString ClassName() const override { return QStringLiteral("TImageList"); }

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    // Changing the size clears the list.
    void SetWidth(int value);
    void SetHeight(int value);
    void SetSize(int width, int height);
    int Count() const { return int(fImages.size()); }
    bool Masked() const { return fMasked; }
    void SetMasked(bool value) { fMasked = value; }
    TColor BkColor() const { return fBkColor; }
    void SetBkColor(TColor value) { fBkColor = value; }
    TDrawingStyle DrawingStyle() const { return fDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle value) { fDrawingStyle = value; }

    // Adds every Width-wide image of a strip; mask (optional, monochrome)
    // is white where the image is transparent. Returns the first index.
    int Add(const TBitmap* image, const TBitmap* mask);
    // As Add, transparent where the pixels have maskColor (clDefault: the
    // bottom-left pixel of the strip).
    int AddMasked(const TBitmap* image, TColor maskColor);
    // One picture scaled smoothly to the slot, keeping its alpha channel, so
    // soft edges suit any background (a selected row, a header). Returns its
    // index; a null picture adds nothing and returns -1.
    int AddImage(const QImage& picture);
    // As AddImage, in place of the image at index.
    void ReplaceImage(int index, const QImage& picture);
    void Replace(int index, const TBitmap* image, const TBitmap* mask);
    void ReplaceMasked(int index, const TBitmap* image, TColor maskColor);
    void Delete(int index);
    void Clear();

    // An index outside the list draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Sizes image to one slot and draws the image into it.
    void GetBitmap(int index, TBitmap* image) const;
    // The stored image (ARGB32 premultiplied), or a null image.
    QImage Image(int index) const;

    std::function<void()> OnChange;

private:
    std::vector<QImage> Split(const QImage& strip, const QImage* transparent) const;
    // A picture in the slots' format and size.
    QImage FitToSlot(const QImage& picture) const;
    void Changed();

    int fWidth = 16;
    int fHeight = 16;
    bool fMasked = true;
    TColor fBkColor = clNone;
    TDrawingStyle fDrawingStyle = dsNormal;
    std::vector<QImage> fImages;
};

// A grey copy (brightness 30/59/11); key-coloured pixels of a transparent
// source stay as they are, and the transparency settings are copied.
void MakeGrayCopy(const TBitmap& source, TBitmap& dest);
// A monochrome mask of source: white where the pixel has key, else black.
void MakeMonochromeMask(const TBitmap& source, TColor key, TBitmap& mask);
// Paints color at (x, y) wherever the monochrome mask is black; white mask
// pixels leave the canvas untouched.
void DrawMaskedColor(TCanvas& canvas, int x, int y, const TBitmap& mask, TColor color);
