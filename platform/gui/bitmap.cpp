#include "bitmap.h"

#include "platform/core/byte_reader.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

namespace {

// Bitmaps beyond this many pixels are refused rather than allocated.
constexpr qint64 kMaxPixels = qint64(1) << 28;

QRgb ToRgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Composites onto white and drops alpha: the look of a picture drawn onto a
// fresh bitmap.
QImage ToOpaqueRgb32(const QImage& image)
{
    if (image.isNull())
        return QImage();
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage result(image.size(), QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter p(&result);
    p.drawImage(0, 0, image);
    return result;
}

void WriteLE16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void WriteLE32(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray ReadRest(TStream& stream)
{
    const qint64 size = stream.Remaining();
    QByteArray bytes;
    if (size <= 0)
        return bytes;
    bytes.resize(size);
    stream.ReadBuffer(bytes.data(), size);
    return bytes;
}

struct ResourceBitmaps {
    QHash<QString, QImage> Images;
    TResourceBitmapProvider Provider;
};

ResourceBitmaps& Resources()
{
    static ResourceBitmaps resources;
    return resources;
}

} // namespace

// ---------------------------------------------------------------------------
// TGraphic

TGraphic::TGraphic() = default;
TGraphic::~TGraphic() = default;

void TGraphic::SetWidth(int)
{
    throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of a %1").arg(ClassName()));
}

void TGraphic::SetHeight(int)
{
    throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of a %1").arg(ClassName()));
}

void TGraphic::SetTransparent(bool value)
{
    if (value == fTransparent)
        return;
    fTransparent = value;
    Changed();
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange();
}

void TGraphic::AssignError(const TGraphic* source) const
{
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2")
                            .arg(source ? source->ClassName() : QStringLiteral("nil"), ClassName()));
}

void TGraphic::Assign(const TGraphic* source)
{
    AssignError(source);
}

void TGraphic::LoadFromFile(const QString& fileName)
{
    TMemoryStream stream(ReadWholeFile(fileName));
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const QString& fileName) const
{
    TMemoryStream stream;
    SaveToStream(stream);
    WriteFileAtomically(fileName, stream.Bytes());
}

// ---------------------------------------------------------------------------
// TBitmap

// The canvas of a bitmap: a painter on the bitmap's image, opened on the
// first drawing call and closed whenever the image is read or replaced.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap)
        : fBitmap(bitmap)
    {
    }
    ~TBitmapCanvas() override { ReleasePainter(); }

    void ReleasePainter() override
    {
        if (fPainter) {
            fPainter->end();
            fPainter.reset();
        }
    }

protected:
    QPainter* AcquirePainter() override
    {
        if (!fPainter) {
            if (fBitmap.fImage.isNull())
                return nullptr;
            auto painter = std::make_unique<QPainter>();
            if (!painter->begin(&fBitmap.fImage))
                return nullptr;
            fPainter = std::move(painter);
        }
        return fPainter.get();
    }
    QImage* TargetImage() override
    {
        QImage& image = fBitmap.Image();
        return image.isNull() ? nullptr : &image;
    }
    QSize TargetSize() const override { return fBitmap.fImage.size(); }
    void Changed() override
    {
        TCanvas::Changed();
        fBitmap.CanvasChanged();
    }

private:
    TBitmap& fBitmap;
    std::unique_ptr<QPainter> fPainter;
};

TBitmap::TBitmap()
    : fCanvas(std::make_unique<TBitmapCanvas>(*this))
{
}

TBitmap::TBitmap(int width, int height)
    : TBitmap()
{
    SetSize(width, height);
}

TBitmap::~TBitmap()
{
    fCanvas.reset();
}

TCanvas* TBitmap::Canvas()
{
    return fCanvas.get();
}

void TBitmap::ReleaseCanvasPainter() const
{
    fCanvas->ReleasePainter();
}

void TBitmap::Changed()
{
    TGraphic::Changed();
}

void TBitmap::CanvasChanged()
{
    if (fMonochrome)
        fMonoDirty = true;
    Changed();
}

QImage& TBitmap::Image()
{
    ReleaseCanvasPainter();
    NormalizeMonochrome();
    return fImage;
}

const QImage& TBitmap::Image() const
{
    return const_cast<TBitmap*>(this)->Image();
}

void TBitmap::NormalizeMonochrome()
{
    if (!fMonochrome || !fMonoDirty)
        return;
    fMonoDirty = false;
    for (int y = 0; y < fImage.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(fImage.scanLine(y));
        for (int x = 0; x < fImage.width(); ++x) {
            const QRgb c = line[x];
            line[x] = qRed(c) + qGreen(c) + qBlue(c) >= 384 ? 0xFFFFFFFF : 0xFF000000;
        }
    }
}

void TBitmap::SetWidth(int value)
{
    SetSize(value, fHeight);
}

void TBitmap::SetHeight(int value)
{
    SetSize(fWidth, value);
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == fWidth && height == fHeight)
        return;
    if (qint64(width) * height > kMaxPixels)
        throw EInvalidGraphic(QStringLiteral("Bitmap size %1 x %2 is too large").arg(width).arg(height));
    ReleaseCanvasPainter();
    QImage resized;
    if (width > 0 && height > 0) {
        resized = QImage(width, height, ImageFormat());
        if (resized.isNull())
            throw EOutOfMemory(QStringLiteral("Not enough memory for a %1 x %2 bitmap").arg(width).arg(height));
        resized.fill(fAlphaFormat == afIgnored ? Qt::white : Qt::transparent);
        if (!fImage.isNull()) {
            QPainter p(&resized);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, fImage);
        }
    }
    fImage = resized;
    fWidth = width;
    fHeight = height;
    Changed();
}

void TBitmap::SetTransparent(bool value)
{
    if (value && fAlphaFormat == afIgnored)
        fCanvas->SetNoAntialiasText(true);
    TGraphic::SetTransparent(value);
}

QImage::Format TBitmap::ImageFormat() const
{
    return fAlphaFormat == afIgnored ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
}

void TBitmap::KeyCanvas()
{
    const bool keyed = fAlphaFormat != afIgnored && fTransparentMode == tmFixed && fTransparentColor != clDefault;
    fCanvas->SetAlphaKey(keyed ? std::optional<TColor>(fTransparentColor) : std::nullopt);
}

void TBitmap::SetAlphaFormat(TAlphaFormat value)
{
    if (value == fAlphaFormat)
        return;
    Image();
    fAlphaFormat = value;
    if (!fImage.isNull())
        fImage = value == afIgnored ? ToOpaqueRgb32(fImage) : fImage.convertToFormat(ImageFormat());
    KeyCanvas();
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (fTransparentMode == tmFixed && fTransparentColor != clDefault)
        return fTransparentColor;
    if (Empty())
        return clDefault;
    if (fMonochrome)
        return clWhite | 0x02000000;
    const QRgb corner = Image().pixel(0, fHeight - 1);
    return RGB(qRed(corner), qGreen(corner), qBlue(corner)) | 0x02000000;
}

void TBitmap::SetTransparentColor(TColor value)
{
    if (value == fTransparentColor)
        return;
    fTransparentColor = value;
    fTransparentMode = value == clDefault ? tmAuto : tmFixed;
    if (value != clDefault && fAlphaFormat == afIgnored)
        fCanvas->SetNoAntialiasText(true);
    KeyCanvas();
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (value == fTransparentMode)
        return;
    if (value == tmAuto)
        fTransparentColor = clDefault;
    else
        fTransparentColor = TransparentColor() & 0xFFFFFF;
    fTransparentMode = value;
    KeyCanvas();
    Changed();
}

void TBitmap::SetMonochrome(bool value)
{
    if (value == fMonochrome)
        return;
    Image();
    fMonochrome = value;
    if (value) {
        // The colour-to-mask rule of blits: white stays white, all else is black.
        for (int y = 0; y < fImage.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(fImage.scanLine(y));
            for (int x = 0; x < fImage.width(); ++x)
                line[x] = (line[x] & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFFFF : 0xFF000000;
        }
    }
    fMonoDirty = false;
    Changed();
}

TPixelFormat TBitmap::PixelFormat() const
{
    return fMonochrome ? pf1bit : fPixelFormat;
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (value == pf1bit) {
        SetMonochrome(true);
        return;
    }
    fPixelFormat = value;
    SetMonochrome(false);
}

void TBitmap::Mask(TColor transparentColor)
{
    Image();
    const QRgb key = ToRgb(transparentColor) & 0xFFFFFF;
    for (int y = 0; y < fImage.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(fImage.scanLine(y));
        for (int x = 0; x < fImage.width(); ++x)
            line[x] = (line[x] & 0xFFFFFF) == key ? 0xFFFFFFFF : 0xFF000000;
    }
    fMonochrome = true;
    fMonoDirty = false;
    Changed();
}

void TBitmap::SetImage(const QImage& image)
{
    ReleaseCanvasPainter();
    const qint64 pixels = qint64(image.width()) * image.height();
    if (pixels > kMaxPixels)
        throw EInvalidGraphic(
            QStringLiteral("Bitmap size %1 x %2 is too large").arg(image.width()).arg(image.height()));
    fImage = fAlphaFormat == afIgnored ? ToOpaqueRgb32(image) : image.convertToFormat(ImageFormat());
    fWidth = fImage.width();
    fHeight = fImage.height();
    if (fMonochrome)
        fMonoDirty = true;
    Changed();
}

void TBitmap::Assign(const TGraphic* source)
{
    if (source == this)
        return;
    if (!source) {
        ReleaseCanvasPainter();
        fImage = QImage();
        fWidth = fHeight = 0;
        Changed();
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        ReleaseCanvasPainter();
        fImage = bitmap->Image();
        fWidth = bitmap->fWidth;
        fHeight = bitmap->fHeight;
        fTransparent = bitmap->fTransparent;
        fTransparentColor = bitmap->fTransparentColor;
        fTransparentMode = bitmap->fTransparentMode;
        fMonochrome = bitmap->fMonochrome;
        fMonoDirty = false;
        fPixelFormat = bitmap->fPixelFormat;
        fHandleType = bitmap->fHandleType;
        fAlphaFormat = bitmap->fAlphaFormat;
        KeyCanvas();
        Changed();
        return;
    }
    fTransparent = source->Transparent();
    SetImage(source->ToImage());
}

QImage TBitmap::KeyedImage() const
{
    const QImage& image = Image();
    const TColor key = ColorToRGB(TransparentColor()) & 0xFFFFFF;
    if (fKeyedCache.isNull() || fKeyedCacheKey != image.cacheKey() || fKeyedCacheColor != key) {
        QImage keyed = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QRgb keyRgb = ToRgb(key) & 0xFFFFFF;
        for (int y = 0; y < keyed.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == keyRgb)
                    line[x] = 0;
            }
        }
        fKeyedCache = keyed;
        fKeyedCacheKey = image.cacheKey();
        fKeyedCacheColor = key;
    }
    return fKeyedCache;
}

void TBitmap::Draw(TCanvas& canvas, const QRect& rect) const
{
    if (Empty())
        return;
    if (fTransparent) {
        // Nearest-neighbour, so key-coloured pixels stay out when scaled.
        const QImage keyed = KeyedImage();
        canvas.DrawImage(rect, keyed, keyed.rect(), false);
        return;
    }
    const QImage image = Image();
    canvas.DrawImage(rect, image, image.rect(), true);
}

QImage TBitmap::ToImage() const
{
    if (Empty())
        return QImage();
    return fTransparent ? KeyedImage() : Image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::unique_ptr<TGraphic> TBitmap::Clone() const
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(this);
    return copy;
}

void TBitmap::LoadFromStream(TStream& stream)
{
    const auto invalid = [] { return EInvalidGraphic(QStringLiteral("Bitmap image is not valid")); };
    if (stream.Remaining() < 14 + 40)
        throw invalid();
    const auto field = [&invalid](auto value) {
        if (!value)
            throw invalid();
        return *value;
    };
    QByteArray data(14, '\0');
    stream.ReadBuffer(data.data(), 14);
    // BITMAPFILEHEADER: "BM", file size, two reserved words, pixel offset.
    // Read before the bytes grow and move.
    TByteReader file(data);
    if (field(file.ReadBytes(2)) != "BM")
        throw invalid();
    // The declared file size, when it is plausible; else the rest of the stream.
    const qint64 declared = field(file.ReadUInt32());
    file.Skip(4);
    const qint64 pixelsAt = field(file.ReadUInt32());
    const qint64 rest = stream.Remaining();
    const qint64 body = declared >= 14 + 40 && declared - 14 <= rest ? declared - 14 : rest;
    data.resize(14 + body);
    stream.ReadBuffer(data.data() + 14, body);
    // BITMAPINFOHEADER: size, width, height, planes, bit count, compression.
    TByteReader info(QByteArrayView(data).sliced(14));
    info.Skip(4);
    const qint32 width = qint32(field(info.ReadUInt32()));
    const qint32 height = qint32(field(info.ReadUInt32()));
    info.Skip(2);
    const int bitCount = field(info.ReadUInt16());
    const quint32 compression = field(info.ReadUInt32());
    if (width == 0 || height == 0) {
        Assign(nullptr);
        return;
    }
    if (width < 0 || qint64(width) * std::abs(qint64(height)) > kMaxPixels)
        throw invalid();
    // Qt pads missing rows of an uncompressed file; a cut-off file is an error here.
    if (compression == 0 && bitCount > 0 && bitCount <= 32) {
        const qint64 rowBytes = ((qint64(width) * bitCount + 31) / 32) * 4;
        if (pixelsAt + rowBytes * std::abs(qint64(height)) > data.size())
            throw invalid();
    }
    QImage image;
    if (!image.loadFromData(data, "BMP"))
        throw invalid();
    fMonochrome = false;
    SetImage(image);
    if (bitCount == 1) {
        fMonochrome = true;
        fMonoDirty = true;
        NormalizeMonochrome();
    }
}

void TBitmap::SaveToStream(TStream& stream) const
{
    const QImage& image = Image();
    const int w = fWidth, h = fHeight;
    const int rowBytes = (w * 3 + 3) & ~3;
    const quint32 imageSize = quint32(rowBytes) * quint32(h);
    QByteArray out;
    out.reserve(54 + int(imageSize));
    out.append("BM", 2);
    WriteLE32(out, 54 + imageSize);
    WriteLE32(out, 0);
    WriteLE32(out, 54);
    WriteLE32(out, 40);
    WriteLE32(out, quint32(w));
    WriteLE32(out, quint32(h));
    WriteLE16(out, 1);
    WriteLE16(out, 24);
    WriteLE32(out, 0); // uncompressed
    WriteLE32(out, imageSize);
    WriteLE32(out, 3780); // 96 dpi in pixels per metre
    WriteLE32(out, 3780);
    WriteLE32(out, 0);
    WriteLE32(out, 0);
    QByteArray row(rowBytes, '\0');
    for (int y = h - 1; y >= 0 && !image.isNull(); --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            row[3 * x] = char(qBlue(line[x]));
            row[3 * x + 1] = char(qGreen(line[x]));
            row[3 * x + 2] = char(qRed(line[x]));
        }
        out.append(row);
    }
    stream.WriteBytes(out);
}

void TBitmap::LoadFromResourceName(const QString& name)
{
    SetImage(FindResourceBitmap(name));
}

// ---------------------------------------------------------------------------
// Program pictures

void RegisterResourceBitmap(const QString& name, const QImage& image)
{
    Resources().Images.insert(name.toUpper(), image);
}

void UnregisterResourceBitmaps()
{
    Resources().Images.clear();
    Resources().Provider = nullptr;
}

void SetResourceBitmapProvider(TResourceBitmapProvider provider)
{
    Resources().Provider = std::move(provider);
}

QImage FindResourceBitmap(const QString& name)
{
    ResourceBitmaps& resources = Resources();
    const auto found = resources.Images.constFind(name.toUpper());
    if (found != resources.Images.constEnd())
        return *found;
    QImage image;
    if (resources.Provider && resources.Provider(name, image) && !image.isNull())
        return image;
    throw EResNotFound(QStringLiteral("Resource %1 not found").arg(name));
}

void LoadSystemBitmap(TBitmap& bitmap, int id)
{
    if (id != OBM_COMBO)
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(id));
    bitmap.SetSize(7, 4);
    TCanvas* c = bitmap.Canvas();
    c->FillSolidRect(QRect(0, 0, 7, 4), clBtnFace);
    for (int row = 0; row < 4; ++row)
        c->FillSolidRect(QRect(row, row, 7 - 2 * row, 1), clBlack);
}

// ---------------------------------------------------------------------------
// TJPEGImage

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::LoadFromBytes(const QByteArray& bytes)
{
    bool grayscale = false, progressive = false;
    QImage image = DecodeJPEG(bytes, &grayscale, &progressive);
    fImage = image;
    fData = bytes;
    fGrayscale = grayscale;
    fProgressive = progressive;
    Changed();
}

void TJPEGImage::LoadFromStream(TStream& stream)
{
    LoadFromBytes(ReadRest(stream));
}

void TJPEGImage::SaveToStream(TStream& stream) const
{
    if (!fData.isEmpty())
        stream.WriteBytes(fData);
    else if (!fImage.isNull())
        stream.WriteBytes(EncodeJPEG(fImage, fQuality, fProgressive));
}

void TJPEGImage::Assign(const TGraphic* source)
{
    if (source == this)
        return;
    if (!source) {
        fImage = QImage();
        fData.clear();
        fGrayscale = false;
        Changed();
        return;
    }
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
        fImage = jpeg->fImage;
        fData = jpeg->fData;
        fGrayscale = jpeg->fGrayscale;
        fProgressive = jpeg->fProgressive;
        fQuality = jpeg->fQuality;
        Changed();
        return;
    }
    fImage = ToOpaqueRgb32(source->ToImage());
    fData.clear();
    fGrayscale = false;
    Changed();
}

void TJPEGImage::Draw(TCanvas& canvas, const QRect& rect) const
{
    canvas.DrawImage(rect, fImage, fImage.rect(), true);
}

QImage TJPEGImage::ToImage() const
{
    return fImage.isNull() ? QImage() : fImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const
{
    auto copy = std::make_unique<TJPEGImage>();
    copy->Assign(this);
    return copy;
}

// ---------------------------------------------------------------------------
// TRasterGraphic, TIcon

TRasterGraphic::TRasterGraphic(QByteArray format)
    : fFormat(std::move(format))
{
    fTransparent = true;
}

TRasterGraphic::~TRasterGraphic() = default;

void TRasterGraphic::SetImage(const QImage& image)
{
    fImage = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Changed();
}

void TRasterGraphic::Assign(const TGraphic* source)
{
    if (source == this)
        return;
    if (!source) {
        SetImage(QImage());
        return;
    }
    if (const auto* raster = dynamic_cast<const TRasterGraphic*>(source); raster && ClassName() == raster->ClassName())
        fFormat = raster->fFormat;
    SetImage(source->ToImage());
}

void TRasterGraphic::Draw(TCanvas& canvas, const QRect& rect) const
{
    canvas.DrawImage(rect, fImage, fImage.rect(), true);
}

std::unique_ptr<TGraphic> TRasterGraphic::Clone() const
{
    auto copy = std::make_unique<TRasterGraphic>(fFormat);
    copy->Assign(this);
    return copy;
}

void TRasterGraphic::LoadFromStream(TStream& stream)
{
    QByteArray bytes = ReadRest(stream);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
        throw EInvalidGraphic(QStringLiteral("Picture is too large"));
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic(QStringLiteral("Picture is not valid: %1").arg(reader.errorString()));
    SetImage(image);
}

void TRasterGraphic::SaveToStream(TStream& stream) const
{
    if (fImage.isNull())
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!fImage.save(&buffer, fFormat.constData()))
        throw EInvalidGraphicOperation(QStringLiteral("Cannot save a picture as %1").arg(QString::fromLatin1(fFormat)));
    stream.WriteBytes(bytes);
}

TIcon::TIcon()
    : TRasterGraphic(QByteArrayLiteral("ICO"))
{
}

std::unique_ptr<TGraphic> TIcon::Clone() const
{
    auto copy = std::make_unique<TIcon>();
    copy->Assign(this);
    return copy;
}

void TIcon::LoadFromStream(TStream& stream)
{
    // An icon file holds several sizes: keep the largest.
    QByteArray bytes = ReadRest(stream);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    QImage best;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (qint64(image.width()) * image.height() > qint64(best.width()) * best.height())
            best = image;
    }
    if (best.isNull())
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    SetImage(best);
}

QIcon TIcon::ToQIcon() const
{
    return fImage.isNull() ? QIcon() : QIcon(QPixmap::fromImage(fImage));
}

// ---------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed()
{
    if (OnChange)
        OnChange();
}

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic)
{
    fGraphic = std::move(graphic);
    if (fGraphic)
        fGraphic->OnChange = [this] { Changed(); };
    Changed();
}

void TPicture::SetGraphic(const TGraphic* value)
{
    Adopt(value ? value->Clone() : nullptr);
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(fGraphic.get()))
        Adopt(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(fGraphic.get());
}

std::unique_ptr<TGraphic> CreateGraphicFor(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.startsWith("BM"))
        return std::make_unique<TBitmap>();
    if (bytes.startsWith("\xFF\xD8"))
        return std::make_unique<TJPEGImage>();
    if (bytes.startsWith(QByteArray("\x00\x00\x01\x00", 4)))
        return std::make_unique<TIcon>();
    if (bytes.startsWith("\x89PNG"))
        return std::make_unique<TRasterGraphic>(QByteArrayLiteral("PNG"));
    if (bytes.startsWith("GIF8"))
        return std::make_unique<TRasterGraphic>(QByteArrayLiteral("GIF"));
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("bmp") || ext == QLatin1String("dib"))
        return std::make_unique<TBitmap>();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || ext == QLatin1String("jpe"))
        return std::make_unique<TJPEGImage>();
    if (ext == QLatin1String("ico"))
        return std::make_unique<TIcon>();
    if (ext == QLatin1String("png") || ext == QLatin1String("gif"))
        return std::make_unique<TRasterGraphic>(ext.toUpper().toLatin1());
    throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(ext));
}

void TPicture::LoadFromFile(const QString& fileName)
{
    const QByteArray bytes = ReadWholeFile(fileName);
    std::unique_ptr<TGraphic> graphic = CreateGraphicFor(bytes, fileName);
    TMemoryStream stream(bytes);
    graphic->LoadFromStream(stream);
    Adopt(std::move(graphic));
}

void TPicture::SaveToFile(const QString& fileName) const
{
    if (fGraphic)
        fGraphic->SaveToFile(fileName);
}

// ---------------------------------------------------------------------------
// TImageList

TImageList::TImageList(TComponent* owner)
    : TComponent(owner)
{
}

TImageList::TImageList(int width, int height, TComponent* owner)
    : TComponent(owner)
{
    SetSize(width, height);
}

TImageList::~TImageList() = default;

void TImageList::Changed()
{
    if (OnChange)
        OnChange();
}

void TImageList::SetWidth(int value)
{
    SetSize(value, fHeight);
}

void TImageList::SetHeight(int value)
{
    SetSize(fWidth, value);
}

void TImageList::SetSize(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == fWidth && height == fHeight)
        return;
    fWidth = width;
    fHeight = height;
    fImages.clear();
    Changed();
}

std::vector<QImage> TImageList::Split(const QImage& strip, const QImage* transparent) const
{
    std::vector<QImage> parts;
    if (strip.isNull())
        return parts;
    const int count = std::max(1, strip.width() / fWidth);
    for (int i = 0; i < count; ++i) {
        QImage slot(fWidth, fHeight, QImage::Format_ARGB32_Premultiplied);
        slot.fill(Qt::transparent);
        for (int y = 0; y < std::min(fHeight, strip.height()); ++y) {
            const QRgb* src = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
            const QRgb* mask = transparent ? reinterpret_cast<const QRgb*>(transparent->constScanLine(y)) : nullptr;
            QRgb* dst = reinterpret_cast<QRgb*>(slot.scanLine(y));
            for (int x = 0; x < fWidth; ++x) {
                const int sx = i * fWidth + x;
                if (sx >= strip.width())
                    break;
                const bool clear = fMasked && mask && (mask[sx] & 0xFFFFFF) == 0xFFFFFF;
                dst[x] = clear ? 0 : (src[sx] | 0xFF000000);
            }
        }
        parts.push_back(slot);
    }
    return parts;
}

int TImageList::Add(const TBitmap* image, const TBitmap* mask)
{
    if (!image || image->Empty())
        return -1;
    const QImage strip = image->Image();
    QImage maskImage;
    if (mask && !mask->Empty())
        maskImage = mask->Image().copy(0, 0, strip.width(), strip.height());
    const int first = Count();
    for (QImage& slot : Split(strip, maskImage.isNull() ? nullptr : &maskImage))
        fImages.push_back(slot);
    Changed();
    return first;
}

int TImageList::AddMasked(const TBitmap* image, TColor maskColor)
{
    if (!image || image->Empty())
        return -1;
    const QImage strip = image->Image();
    const QRgb corner = strip.pixel(0, strip.height() - 1) & 0xFFFFFF;
    const QRgb key = maskColor == clDefault ? corner : ToRgb(maskColor) & 0xFFFFFF;
    QImage mask(strip.size(), QImage::Format_RGB32);
    for (int y = 0; y < strip.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < strip.width(); ++x)
            dst[x] = (src[x] & 0xFFFFFF) == key ? 0xFFFFFFFF : 0xFF000000;
    }
    const int first = Count();
    for (QImage& slot : Split(strip, &mask))
        fImages.push_back(slot);
    Changed();
    return first;
}

QImage TImageList::FitToSlot(const QImage& picture) const
{
    QImage slot = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (slot.size() != QSize(fWidth, fHeight))
        slot = slot.scaled(fWidth, fHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return slot;
}

int TImageList::AddImage(const QImage& picture)
{
    if (picture.isNull())
        return -1;
    fImages.push_back(FitToSlot(picture));
    Changed();
    return Count() - 1;
}

void TImageList::ReplaceImage(int index, const QImage& picture)
{
    if (index < 0 || index >= Count() || picture.isNull())
        throw EInvalidGraphicOperation(QStringLiteral("Failed to replace image"));
    fImages[size_t(index)] = FitToSlot(picture);
    Changed();
}

void TImageList::Replace(int index, const TBitmap* image, const TBitmap* mask)
{
    if (index < 0 || index >= Count())
        throw EInvalidGraphicOperation(QStringLiteral("Failed to replace image"));
    TImageList scratch(fWidth, fHeight);
    scratch.SetMasked(fMasked);
    if (scratch.Add(image, mask) < 0)
        throw EInvalidGraphicOperation(QStringLiteral("Failed to replace image"));
    fImages[index] = scratch.fImages.front();
    Changed();
}

void TImageList::ReplaceMasked(int index, const TBitmap* image, TColor maskColor)
{
    if (index < 0 || index >= Count())
        throw EInvalidGraphicOperation(QStringLiteral("Failed to replace image"));
    TImageList scratch(fWidth, fHeight);
    scratch.SetMasked(fMasked);
    if (scratch.AddMasked(image, maskColor) < 0)
        throw EInvalidGraphicOperation(QStringLiteral("Failed to replace image"));
    fImages[index] = scratch.fImages.front();
    Changed();
}

void TImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    fImages.erase(fImages.begin() + index);
    Changed();
}

void TImageList::Clear()
{
    if (fImages.empty())
        return;
    fImages.clear();
    Changed();
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return QImage();
    return fImages[size_t(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count())
        return;
    const QImage& image = fImages[size_t(index)];
    const QRect target(x, y, fWidth, fHeight);
    if (enabled) {
        if (fBkColor != clNone)
            canvas.FillSolidRect(target, fBkColor);
        canvas.DrawImage(target, image, image.rect(), false);
        return;
    }
    // Disabled: the silhouette of the visible, non-white pixels, once in the
    // highlight colour one pixel down-right, then in the shadow colour.
    auto silhouette = [&](TColor color) {
        const QRgb rgb = ToRgb(color);
        QImage shape(image.size(), QImage::Format_ARGB32_Premultiplied);
        for (int row = 0; row < image.height(); ++row) {
            const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(row));
            QRgb* dst = reinterpret_cast<QRgb*>(shape.scanLine(row));
            for (int col = 0; col < image.width(); ++col) {
                const bool solid = qAlpha(src[col]) >= 128 && (src[col] & 0xFFFFFF) != 0xFFFFFF;
                dst[col] = solid ? rgb : 0;
            }
        }
        return shape;
    };
    canvas.DrawImage(target.translated(1, 1), silhouette(clBtnHighlight), image.rect(), false);
    canvas.DrawImage(target, silhouette(clBtnShadow), image.rect(), false);
}

void TImageList::GetBitmap(int index, TBitmap* image) const
{
    if (!image)
        return;
    image->SetSize(fWidth, fHeight);
    Draw(*image->Canvas(), 0, 0, index);
}

// ---------------------------------------------------------------------------
// Helpers

void MakeGrayCopy(const TBitmap& source, TBitmap& dest)
{
    dest.Assign(&source);
    if (dest.Empty())
        return;
    QImage image = dest.Image();
    const bool keep = source.Transparent();
    const QRgb key = ToRgb(source.TransparentColor()) & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            if (keep && (c & 0xFFFFFF) == key)
                continue;
            const int g = (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100;
            line[x] = qRgb(g, g, g);
        }
    }
    dest.SetImage(image);
}

void MakeMonochromeMask(const TBitmap& source, TColor key, TBitmap& mask)
{
    mask.Assign(&source);
    mask.SetTransparent(false);
    mask.Mask(key);
}

void DrawMaskedColor(TCanvas& canvas, int x, int y, const TBitmap& mask, TColor color)
{
    if (mask.Empty())
        return;
    const QImage& bits = mask.Image();
    const QRgb rgb = ToRgb(color);
    QImage shape(bits.size(), QImage::Format_ARGB32_Premultiplied);
    for (int row = 0; row < bits.height(); ++row) {
        const QRgb* src = reinterpret_cast<const QRgb*>(bits.constScanLine(row));
        QRgb* dst = reinterpret_cast<QRgb*>(shape.scanLine(row));
        for (int col = 0; col < bits.width(); ++col)
            dst[col] = (src[col] & 0xFFFFFF) == 0xFFFFFF ? 0 : rgb;
    }
    canvas.DrawImage(QRect(x, y, shape.width(), shape.height()), shape, shape.rect(), false);
}
