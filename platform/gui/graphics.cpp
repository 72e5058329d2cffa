#include "graphics.h"

#include "bitmap.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The classic Windows 3-D scheme, indexed by system colour number. Index 25
// has no name; it keeps the scheme's value.
constexpr TColor kSystemColors[31] = {
    RGB(212, 208, 200), // clScrollBar
    RGB(58, 110, 165), // clBackground
    RGB(10, 36, 106), // clActiveCaption
    RGB(128, 128, 128), // clInactiveCaption
    RGB(212, 208, 200), // clMenu
    RGB(255, 255, 255), // clWindow
    RGB(0, 0, 0), // clWindowFrame
    RGB(0, 0, 0), // clMenuText
    RGB(0, 0, 0), // clWindowText
    RGB(255, 255, 255), // clCaptionText
    RGB(212, 208, 200), // clActiveBorder
    RGB(212, 208, 200), // clInactiveBorder
    RGB(128, 128, 128), // clAppWorkSpace
    RGB(10, 36, 106), // clHighlight
    RGB(255, 255, 255), // clHighlightText
    RGB(212, 208, 200), // clBtnFace
    RGB(128, 128, 128), // clBtnShadow
    RGB(128, 128, 128), // clGrayText
    RGB(0, 0, 0), // clBtnText
    RGB(212, 208, 200), // clInactiveCaptionText
    RGB(255, 255, 255), // clBtnHighlight
    RGB(64, 64, 64), // cl3DDkShadow
    RGB(212, 208, 200), // cl3DLight
    RGB(0, 0, 0), // clInfoText
    RGB(255, 255, 225), // clInfoBk
    RGB(181, 181, 181), // (unnamed)
    RGB(0, 0, 128), // clHotLight
    RGB(166, 202, 240), // clGradientActiveCaption
    RGB(192, 192, 192), // clGradientInactiveCaption
    RGB(10, 36, 106), // clMenuHighlight
    RGB(212, 208, 200), // clMenuBar
};

struct ColorIdent {
    TColor Color;
    const char16_t* Name;
};

// In the class library's order, so a colour with two names gets the first.
constexpr ColorIdent kColorIdents[] = {
    { clBlack, u"clBlack" },
    { clMaroon, u"clMaroon" },
    { clGreen, u"clGreen" },
    { clOlive, u"clOlive" },
    { clNavy, u"clNavy" },
    { clPurple, u"clPurple" },
    { clTeal, u"clTeal" },
    { clGray, u"clGray" },
    { clSilver, u"clSilver" },
    { clRed, u"clRed" },
    { clLime, u"clLime" },
    { clYellow, u"clYellow" },
    { clBlue, u"clBlue" },
    { clFuchsia, u"clFuchsia" },
    { clAqua, u"clAqua" },
    { clWhite, u"clWhite" },
    { clMoneyGreen, u"clMoneyGreen" },
    { clSkyBlue, u"clSkyBlue" },
    { clCream, u"clCream" },
    { clMedGray, u"clMedGray" },
    { clActiveBorder, u"clActiveBorder" },
    { clActiveCaption, u"clActiveCaption" },
    { clAppWorkSpace, u"clAppWorkSpace" },
    { clBackground, u"clBackground" },
    { clBtnFace, u"clBtnFace" },
    { clBtnHighlight, u"clBtnHighlight" },
    { clBtnShadow, u"clBtnShadow" },
    { clBtnText, u"clBtnText" },
    { clCaptionText, u"clCaptionText" },
    { clDefault, u"clDefault" },
    { clGradientActiveCaption, u"clGradientActiveCaption" },
    { clGradientInactiveCaption, u"clGradientInactiveCaption" },
    { clGrayText, u"clGrayText" },
    { clHighlight, u"clHighlight" },
    { clHighlightText, u"clHighlightText" },
    { clHotLight, u"clHotLight" },
    { clInactiveBorder, u"clInactiveBorder" },
    { clInactiveCaption, u"clInactiveCaption" },
    { clInactiveCaptionText, u"clInactiveCaptionText" },
    { clInfoBk, u"clInfoBk" },
    { clInfoText, u"clInfoText" },
    { clMenu, u"clMenu" },
    { clMenuBar, u"clMenuBar" },
    { clMenuHighlight, u"clMenuHighlight" },
    { clMenuText, u"clMenuText" },
    { clNone, u"clNone" },
    { clScrollBar, u"clScrollBar" },
    { cl3DDkShadow, u"cl3DDkShadow" },
    { cl3DLight, u"cl3DLight" },
    { clWindow, u"clWindow" },
    { clWindowFrame, u"clWindowFrame" },
    { clWindowText, u"clWindowText" },
};

// a * b / c rounded half away from zero, as the Windows helper does.
int MulDiv(int a, int b, int c)
{
    return int(std::llround(double(qint64(a) * b) / c));
}

QRgb ToRgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Dash patterns of one-pixel pens (on, off, on, off ...), in pixels.
struct DashPattern {
    int Count;
    int Runs[6];
};
constexpr DashPattern kDash = { 2, { 18, 6 } };
constexpr DashPattern kDot = { 2, { 3, 3 } };
constexpr DashPattern kDashDot = { 4, { 9, 6, 3, 6 } };
constexpr DashPattern kDashDotDot = { 6, { 9, 3, 3, 3, 3, 3 } };

const DashPattern* PatternOf(TPenStyle style)
{
    switch (style) {
    case psDash: return &kDash;
    case psDot: return &kDot;
    case psDashDot: return &kDashDot;
    case psDashDotDot: return &kDashDotDot;
    default: return nullptr;
    }
}

bool PatternOn(const DashPattern& pattern, int index)
{
    int period = 0;
    for (int i = 0; i < pattern.Count; ++i)
        period += pattern.Runs[i];
    int pos = index % period;
    for (int i = 0; i < pattern.Count; ++i) {
        if (pos < pattern.Runs[i])
            return i % 2 == 0;
        pos -= pattern.Runs[i];
    }
    return false;
}

// Sets the painter's composition for a pen raster operation; colour may be
// replaced (black/white). The copying modes draw with copy. Returns false
// when nothing is to be drawn.
bool ApplyPenMode(QPainter& p, TPenMode mode, QColor& color, QPainter::CompositionMode copy)
{
    QPainter::CompositionMode m = copy;
    switch (mode) {
    case pmBlack: color = Qt::black; break;
    case pmWhite: color = Qt::white; break;
    case pmNop: return false;
    case pmNot: m = QPainter::RasterOp_NotDestination; break;
    case pmCopy: break;
    case pmNotCopy: m = QPainter::RasterOp_NotSource; break;
    case pmMergePenNot: m = QPainter::RasterOp_SourceOrNotDestination; break;
    case pmMaskPenNot: m = QPainter::RasterOp_SourceAndNotDestination; break;
    case pmMergeNotPen: m = QPainter::RasterOp_NotSourceOrDestination; break;
    case pmMaskNotPen: m = QPainter::RasterOp_NotSourceAndDestination; break;
    case pmMerge: m = QPainter::RasterOp_SourceOrDestination; break;
    case pmNotMerge: m = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case pmMask: m = QPainter::RasterOp_SourceAndDestination; break;
    case pmNotMask: m = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case pmXor: m = QPainter::RasterOp_SourceXorDestination; break;
    case pmNotXor: m = QPainter::RasterOp_NotSourceXorDestination; break;
    }
    p.setCompositionMode(m);
    return true;
}

bool PenVisible(const TPen& pen)
{
    return pen.Style() != psClear && pen.Mode() != pmNop;
}

// color: the brush's colour as painted.
QBrush MakeQBrush(const TBrush& brush, const QColor& color)
{
    if (TBitmap* pattern = brush.Bitmap(); pattern && !pattern->Empty())
        return QBrush(pattern->Image());
    switch (brush.Style()) {
    case bsSolid: return QBrush(color);
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(color, Qt::HorPattern);
    case bsVertical: return QBrush(color, Qt::VerPattern);
    case bsFDiagonal: return QBrush(color, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(color, Qt::BDiagPattern);
    case bsCross: return QBrush(color, Qt::CrossPattern);
    case bsDiagCross: return QBrush(color, Qt::DiagCrossPattern);
    }
    return QBrush(color);
}

bool BrushVisible(const TBrush& brush)
{
    return brush.Style() != bsClear || brush.Bitmap() != nullptr;
}

// A pen for shapes Qt rasterizes (ellipses, rounded rectangles, polygons).
QPen MakeQPen(const TPen& pen, const QColor& color)
{
    if (!PenVisible(pen))
        return QPen(Qt::NoPen);
    QPen q(color);
    q.setWidth(pen.Width() <= 1 ? 0 : pen.Width());
    switch (pen.Style()) {
    case psDash: q.setStyle(Qt::DashLine); break;
    case psDot: q.setStyle(Qt::DotLine); break;
    case psDashDot: q.setStyle(Qt::DashDotLine); break;
    case psDashDotDot: q.setStyle(Qt::DashDotDotLine); break;
    default: q.setStyle(Qt::SolidLine); break;
    }
    q.setCapStyle(pen.Width() <= 1 ? Qt::SquareCap : Qt::RoundCap);
    q.setJoinStyle(pen.Width() <= 1 ? Qt::MiterJoin : Qt::RoundJoin);
    return q;
}

// Pen and brush of a shape Qt rasterizes; false when the pen's mode draws
// nothing at all.
bool ApplyShapeStyle(QPainter& p, const TPen& pen, QColor penColor, const QBrush& brush)
{
    if (PenVisible(pen) && !ApplyPenMode(p, pen.Mode(), penColor, p.compositionMode()))
        return false;
    p.setPen(MakeQPen(pen, penColor));
    p.setBrush(brush);
    return true;
}

// The rectangle between two corners in any order, both corners included.
QRect Spanned(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

// A one-pixel frame just inside rect, each pixel filled once, so raster
// operations such as XOR stay exact. Fill is a QColor or a QBrush.
template <class Fill> void FillFrame(QPainter& p, const QRect& rect, const Fill& fill)
{
    const int l = rect.x(), t = rect.y(), w = rect.width(), h = rect.height();
    p.fillRect(QRect(l, t, w, 1), fill);
    if (h > 1)
        p.fillRect(QRect(l, t + h - 1, w, 1), fill);
    if (h > 2) {
        p.fillRect(QRect(l, t + 1, 1, h - 2), fill);
        if (w > 1)
            p.fillRect(QRect(l + w - 1, t + 1, 1, h - 2), fill);
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Colours

TColor ColorToRGB(TColor color)
{
    if (color < 0) {
        const int index = color & 0xFF;
        return index < 31 ? kSystemColors[index] : clBlack;
    }
    return color;
}

QColor ToQColor(TColor color)
{
    const TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQColor(const QColor& color)
{
    return RGB(color.red(), color.green(), color.blue());
}

bool IdentToColor(const QString& ident, TColor& color)
{
    for (const ColorIdent& entry : kColorIdents) {
        if (QStringView(entry.Name).compare(ident, Qt::CaseInsensitive) == 0) {
            color = entry.Color;
            return true;
        }
    }
    return false;
}

QString ColorToIdent(TColor color)
{
    for (const ColorIdent& entry : kColorIdents) {
        if (entry.Color == color)
            return QString::fromUtf16(entry.Name);
    }
    return QString();
}

QString ColorToString(TColor color)
{
    const QString ident = ColorToIdent(color);
    if (!ident.isEmpty())
        return ident;
    return QStringLiteral("$%1").arg(quint32(color), 8, 16, QLatin1Char('0')).toUpper();
}

TColor StringToColor(const QString& text)
{
    TColor color = 0;
    if (IdentToColor(text, color))
        return color;
    const QString t = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (t.startsWith(QLatin1Char('$')))
        value = qint64(t.mid(1).toUInt(&ok, 16));
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = qint64(t.mid(2).toUInt(&ok, 16));
    else
        value = t.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<quint32>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return TColor(quint32(value));
}

// ---------------------------------------------------------------------------
// TGraphicsObject, TFont

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange();
}

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Changed()
{
    ++fGeneration;
    fMetrics.reset();
    TGraphicsObject::Changed();
}

void TFont::Assign(const TFont& source)
{
    if (&source == this)
        return;
    fName = source.fName;
    fHeight = source.fHeight;
    fStyle = source.fStyle;
    fColor = source.fColor;
    fCharset = source.fCharset;
    fPitch = source.fPitch;
    Changed();
}

QString FontFamilyName(const QString& name)
{
    QString family = name;
    // Every bracketed group at the end, so the result is a fixed point.
    for (;;) {
        const QString trimmed = family.trimmed();
        const qsizetype open = trimmed.lastIndexOf(u'[');
        if (!trimmed.endsWith(u']') || open <= 0 || !trimmed[open - 1].isSpace())
            return family;
        const QString rest = trimmed.left(open).trimmed();
        if (rest.isEmpty())
            return family;
        family = rest;
    }
}

void TFont::SetName(const QString& value)
{
    if (!value.isEmpty())
        SetValue(fName, value);
}

int TFont::Size() const
{
    return -MulDiv(fHeight, 72, ScreenPixelsPerInch);
}

void TFont::SetSize(int value)
{
    SetHeight(-MulDiv(value, ScreenPixelsPerInch, 72));
}

void TFont::SetHeight(int value)
{
    SetValue(fHeight, value);
}

void TFont::SetStyle(TFontStyles value)
{
    SetValue(fStyle, value);
}

void TFont::SetColor(TColor value)
{
    SetValue(fColor, value);
}

void TFont::SetCharset(TFontCharset value)
{
    SetValue(fCharset, value);
}

void TFont::SetPitch(TFontPitch value)
{
    SetValue(fPitch, value);
}

QFont TFont::ToQFont() const
{
    QFont f(fName);
    if (fPitch == fpFixed)
        f.setFixedPitch(true);
    f.setBold(fStyle.Contains(fsBold));
    f.setItalic(fStyle.Contains(fsItalic));
    f.setUnderline(fStyle.Contains(fsUnderline));
    f.setStrikeOut(fStyle.Contains(fsStrikeOut));
    // Unkerned with whole-pixel advances: widths add up. Non-anti-aliased
    // (mono) hinting would change the advances, so it is never asked for.
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    int pixels = 11;
    if (fHeight < 0) {
        pixels = -fHeight;
    } else if (fHeight > 0) {
        // A positive height is the cell height (ascent + descent): scale from
        // a reference size.
        QFont reference = f;
        reference.setPixelSize(100);
        const int cell = QFontMetrics(reference).height();
        pixels = cell > 0 ? std::max(1, MulDiv(fHeight, 100, cell)) : fHeight;
    }
    f.setPixelSize(pixels);
    return f;
}

const QFontMetrics& TFont::Metrics() const
{
    if (!fMetrics)
        fMetrics = std::make_unique<QFontMetrics>(ToQFont());
    return *fMetrics;
}

// ---------------------------------------------------------------------------
// TBrush, TPen

TBrush::~TBrush() = default;

void TBrush::Assign(const TBrush& source)
{
    if (&source == this)
        return;
    fColor = source.fColor;
    fStyle = source.fStyle;
    fBitmap = source.fBitmap;
    Changed();
}

void TBrush::SetColor(TColor value)
{
    if (value == fColor && fStyle != bsClear)
        return;
    fColor = value;
    // Choosing a colour makes a clear brush solid again.
    if (fStyle == bsClear)
        fStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle value)
{
    SetValue(fStyle, value);
}

void TBrush::SetBitmap(TBitmap* value)
{
    SetValue(fBitmap, value);
}

TPen::~TPen() = default;

void TPen::Assign(const TPen& source)
{
    if (&source == this)
        return;
    fColor = source.fColor;
    fWidth = source.fWidth;
    fStyle = source.fStyle;
    fMode = source.fMode;
    Changed();
}

void TPen::SetColor(TColor value)
{
    SetValue(fColor, value);
}

void TPen::SetWidth(int value)
{
    if (value >= 0)
        SetValue(fWidth, value);
}

void TPen::SetStyle(TPenStyle value)
{
    SetValue(fStyle, value);
}

void TPen::SetMode(TPenMode value)
{
    SetValue(fMode, value);
}

// ---------------------------------------------------------------------------
// TCanvas

namespace {

// How shapes and fills go onto a canvas: over what is there, or, where the
// alpha key paints transparency, replacing it (shapes are not anti-aliased,
// so opaque colours come out the same).
QPainter::CompositionMode CopyComposition(const TCanvas& canvas)
{
    return canvas.AlphaKey() ? QPainter::CompositionMode_Source : QPainter::CompositionMode_SourceOver;
}

// The part of the painter's device that drawing can reach, in its logical
// coordinates.
QRect VisibleRect(const QPainter& p)
{
    if (p.hasClipping())
        return p.clipBoundingRect().toAlignedRect();
    const QPaintDevice* device = p.device();
    if (!device)
        return QRect();
    return p.transform().inverted().mapRect(QRect(0, 0, device->width(), device->height()));
}

} // namespace

// One drawing call: the painter with the canvas's origin and clip applied,
// restored again at the end. Finish() also reports the change.
class TCanvasPaintScope {
public:
    explicit TCanvasPaintScope(TCanvas& canvas)
        : fCanvas(canvas)
    {
        if (canvas.fClip && canvas.fClip->isEmpty())
            return;
        fPainter = canvas.CurrentPainter();
        if (!fPainter)
            return;
        fPainter->save();
        if (canvas.fClip)
            fPainter->setClipRect(*canvas.fClip, Qt::IntersectClip);
        fPainter->translate(canvas.fOrigin);
        fPainter->setBrushOrigin(-canvas.fOrigin);
        fPainter->setRenderHint(QPainter::Antialiasing, false);
        fPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        fPainter->setRenderHint(QPainter::TextAntialiasing, true);
        fPainter->setCompositionMode(CopyComposition(canvas));
        fPainter->setOpacity(1.0);
        fPainter->setBackgroundMode(Qt::TransparentMode);
        fPainter->setPen(Qt::NoPen);
        fPainter->setBrush(Qt::NoBrush);
    }
    ~TCanvasPaintScope()
    {
        if (fPainter)
            fPainter->restore();
    }
    TCanvasPaintScope(const TCanvasPaintScope&) = delete;
    TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

    explicit operator bool() const { return fPainter != nullptr; }
    QPainter& operator*() const { return *fPainter; }
    QPainter* operator->() const { return fPainter; }

    void Finish()
    {
        if (!fPainter)
            return;
        fPainter->restore();
        fPainter = nullptr;
        fCanvas.Changed();
    }

private:
    TCanvas& fCanvas;
    QPainter* fPainter = nullptr;
};

namespace {

// One filled rectangle as a drawing call of its own. Fill is a QColor or a QBrush.
template <class Fill> void FillArea(TCanvas& canvas, const QRect& rect, const Fill& fill)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    TCanvasPaintScope p(canvas);
    if (!p)
        return;
    p->fillRect(rect, fill);
    p.Finish();
}

} // namespace

TCanvas::TCanvas()
    : fFont(std::make_unique<TFont>())
    , fBrush(std::make_unique<TBrush>())
    , fPen(std::make_unique<TPen>())
{
}

TCanvas::~TCanvas() = default;

QPainter* TCanvas::AcquirePainter()
{
    return nullptr;
}

void TCanvas::ReleasePainter() { }

QImage* TCanvas::TargetImage()
{
    return nullptr;
}

QSize TCanvas::TargetSize() const
{
    return QSize();
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange();
}

QPainter* TCanvas::CurrentPainter()
{
    if (!fBound.empty())
        return fBound.back();
    return AcquirePainter();
}

void TCanvas::BeginPaint(QPainter* painter)
{
    // Two painters on one image are not allowed: drop our own first.
    ReleasePainter();
    fBound.push_back(painter);
}

void TCanvas::EndPaint()
{
    if (!fBound.empty())
        fBound.pop_back();
}

TColor TCanvas::SetTextColor(TColor color)
{
    const TColor old = TextColor();
    fTextColor = color;
    fTextColorGeneration = fFont->Generation();
    return old;
}

TColor TCanvas::TextColor() const
{
    if (fTextColor && fTextColorGeneration == fFont->Generation())
        return *fTextColor;
    return fFont->Color();
}

QFont TCanvas::DrawingFont() const
{
    return fFont->ToQFont();
}

const QFontMetrics& TCanvas::FontMetrics() const
{
    return fFont->Metrics();
}

// ---- device state

QRect TCanvas::DeviceBounds() const
{
    QRect bounds;
    if (!fBound.empty()) {
        // A canvas bound to no painter has no drawable area.
        if (const QPainter* p = fBound.back())
            bounds = VisibleRect(*p);
    } else {
        bounds = QRect(QPoint(0, 0), TargetSize());
    }
    if (fClip)
        bounds &= *fClip;
    return bounds;
}

QRect TCanvas::ClipRect() const
{
    return DeviceBounds().translated(-fOrigin);
}

void TCanvas::IntersectClipRect(const QRect& rect)
{
    const QRect device = rect.normalized().translated(fOrigin);
    fClip = fClip ? (*fClip & device) : device;
}

void TCanvas::ResetClipRect()
{
    fClip.reset();
}

int TCanvas::Save()
{
    fSaved.push_back({ fOrigin, fClip });
    return int(fSaved.size());
}

void TCanvas::Restore()
{
    if (fSaved.empty())
        return;
    fOrigin = fSaved.back().Origin;
    fClip = fSaved.back().Clip;
    fSaved.pop_back();
}

QImage* TCanvas::ReadableImage(QPoint& offset)
{
    offset = QPoint(0, 0);
    if (!fBound.empty()) {
        QPainter* p = fBound.back();
        QPaintDevice* device = p ? p->device() : nullptr;
        if (!device || device->devType() != QInternal::Image)
            return nullptr;
        offset = p->transform().map(QPoint(0, 0));
        return static_cast<QImage*>(device);
    }
    return TargetImage();
}

// ---- pixels

TColor TCanvas::Pixels(int x, int y)
{
    const QPoint device = QPoint(x, y) + fOrigin;
    if (!DeviceBounds().contains(device))
        return CLR_INVALID;
    QPoint offset;
    QImage* image = ReadableImage(offset);
    const QPoint at = device + offset;
    if (!image || !image->rect().contains(at))
        return CLR_INVALID;
    const QRgb rgb = image->pixel(at);
    if (fAlphaKey && qAlpha(rgb) == 0)
        return ColorToRGB(*fAlphaKey);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void TCanvas::SetPixels(int x, int y, TColor color)
{
    const QPoint device = QPoint(x, y) + fOrigin;
    if (fBound.empty()) {
        // Straight into the image: no painter for single pixels.
        if (QImage* image = TargetImage()) {
            if (DeviceBounds().contains(device) && image->rect().contains(device)) {
                image->setPixel(device, PaintColor(color).rgba());
                PixelChanged(device);
            }
            return;
        }
    }
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    p->fillRect(QRect(x, y, 1, 1), PaintColor(color));
    p.Finish();
}

// ---- shapes

void TCanvas::FillRect(const QRect& rect)
{
    if (BrushVisible(*fBrush))
        FillArea(*this, rect, PaintBrush());
}

void TCanvas::FillSolidRect(const QRect& rect, TColor color)
{
    FillArea(*this, rect, PaintColor(color));
}

void TCanvas::FrameRect(const QRect& rect)
{
    // Drawn with the brush, one pixel wide.
    if (rect.width() <= 0 || rect.height() <= 0 || !BrushVisible(*fBrush))
        return;
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    FillFrame(*p, rect, PaintBrush());
    p.Finish();
}

void TCanvas::DrawLine(QPainter& p, QPoint from, QPoint to)
{
    if (from == to)
        return;
    QColor color = PaintColor(fPen->Color());
    if (!ApplyPenMode(p, fPen->Mode(), color, CopyComposition(*this)))
        return;
    if (fPen->Width() > 1) {
        QPen pen = MakeQPen(*fPen, color);
        p.setPen(pen);
        p.drawLine(from, to);
        p.setPen(Qt::NoPen);
        return;
    }
    const DashPattern* pattern = PatternOf(fPen->Style());
    if (!pattern) {
        // Plain fills for the straight cases, end point excluded.
        if (from.y() == to.y()) {
            const int x1 = from.x() < to.x() ? from.x() : to.x() + 1;
            const int x2 = from.x() < to.x() ? to.x() : from.x() + 1;
            p.fillRect(QRect(x1, from.y(), x2 - x1, 1), color);
            return;
        }
        if (from.x() == to.x()) {
            const int y1 = from.y() < to.y() ? from.y() : to.y() + 1;
            const int y2 = from.y() < to.y() ? to.y() : from.y() + 1;
            p.fillRect(QRect(from.x(), y1, 1, y2 - y1), color);
            return;
        }
    }
    // Gaps of patterned lines show the background colour unless the brush is clear.
    const bool opaqueGaps = pattern && fBrush->Style() != bsClear;
    const QColor gapColor = PaintColor(fBrush->Color());
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), sx = x < to.x() ? 1 : -1;
    const int dy = -std::abs(to.y() - y), sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    for (int index = 0; x != to.x() || y != to.y(); ++index) {
        if (!pattern || PatternOn(*pattern, index))
            p.fillRect(QRect(x, y, 1, 1), color);
        else if (opaqueGaps)
            p.fillRect(QRect(x, y, 1, 1), gapColor);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::LineTo(int x, int y)
{
    const QPoint from = fPenPos;
    fPenPos = QPoint(x, y);
    if (!PenVisible(*fPen) || from == fPenPos)
        return;
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    DrawLine(*p, from, fPenPos);
    p.Finish();
}

void TCanvas::Polyline(const QList<QPoint>& points)
{
    if (points.size() < 2 || !PenVisible(*fPen))
        return;
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    for (qsizetype i = 1; i < points.size(); ++i)
        DrawLine(*p, points[i - 1], points[i]);
    p.Finish();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    const QRect r = Spanned(x1, y1, x2, y2);
    // r spans one pixel more than the shape: its right/bottom are excluded.
    const int w = r.width() - 1, h = r.height() - 1;
    if (w <= 0 || h <= 0)
        return;
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    const bool pen = PenVisible(*fPen);
    QColor penColor = PaintColor(fPen->Color());
    if (pen && !ApplyPenMode(*p, fPen->Mode(), penColor, CopyComposition(*this)))
        return;
    const QRect box(r.x(), r.y(), w, h);
    if (!pen) {
        // Without a pen the fill is one pixel smaller on the right and bottom.
        if (BrushVisible(*fBrush))
            p->fillRect(QRect(box.x(), box.y(), w - 1, h - 1), PaintBrush());
    } else if (fPen->Width() > 1) {
        p->setPen(MakeQPen(*fPen, penColor));
        p->setBrush(PaintBrush());
        p->drawRect(QRect(box.x(), box.y(), w - 1, h - 1));
    } else {
        if (BrushVisible(*fBrush) && w > 2 && h > 2)
            p->fillRect(box.adjusted(1, 1, -1, -1), PaintBrush());
        if (!PatternOf(fPen->Style())) {
            FillFrame(*p, box, penColor);
        } else {
            const int l = box.x(), t = box.y(), r2 = box.x() + w - 1, b = box.y() + h - 1;
            p->setCompositionMode(CopyComposition(*this));
            DrawLine(*p, QPoint(l, t), QPoint(r2, t));
            DrawLine(*p, QPoint(r2, t), QPoint(r2, b));
            DrawLine(*p, QPoint(r2, b), QPoint(l, b));
            DrawLine(*p, QPoint(l, b), QPoint(l, t));
        }
    }
    p.Finish();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h)
{
    const QRect r = Spanned(x1, y1, x2, y2);
    if (r.width() <= 1 || r.height() <= 1)
        return;
    TCanvasPaintScope p(*this);
    if (!p || !ApplyShapeStyle(*p, *fPen, PaintColor(fPen->Color()), PaintBrush()))
        return;
    // A stroked QRect covers its size plus one pixel: the excluded edge.
    p->drawRoundedRect(QRect(r.x(), r.y(), r.width() - 2, r.height() - 2), w / 2.0, h / 2.0, Qt::AbsoluteSize);
    p.Finish();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    const QRect r = Spanned(x1, y1, x2, y2);
    if (r.width() <= 1 || r.height() <= 1)
        return;
    TCanvasPaintScope p(*this);
    if (!p || !ApplyShapeStyle(*p, *fPen, PaintColor(fPen->Color()), PaintBrush()))
        return;
    p->drawEllipse(QRect(r.x(), r.y(), r.width() - 2, r.height() - 2));
    p.Finish();
}

void TCanvas::Polygon(const QList<QPoint>& points)
{
    if (points.size() < 2)
        return;
    TCanvasPaintScope p(*this);
    if (!p || !ApplyShapeStyle(*p, *fPen, PaintColor(fPen->Color()), PaintBrush()))
        return;
    p->drawPolygon(QPolygon(points), Qt::OddEvenFill);
    p.Finish();
}

void TCanvas::DrawFocusRect(const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    const int l = rect.x(), t = rect.y(), r = l + rect.width() - 1, b = t + rect.height() - 1;
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            p->fillRect(QRect(x, y, 1, 1), Qt::black);
    };
    for (int x = l; x <= r; ++x) {
        dot(x, t);
        if (b != t)
            dot(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        dot(l, y);
        if (r != l)
            dot(r, y);
    }
    p.Finish();
}

// ---- text

QColor TCanvas::PaintColor(TColor color) const
{
    if (fAlphaKey && ColorToRGB(color) == ColorToRGB(*fAlphaKey))
        return QColor(Qt::transparent);
    return ToQColor(color);
}

QBrush TCanvas::PaintBrush() const
{
    return MakeQBrush(*fBrush, PaintColor(fBrush->Color()));
}

void TCanvas::DrawTextAt(QPainter& p, int x, int y, const QString& text, int underlineIndex)
{
    const QFontMetrics& fm = FontMetrics();
    const QColor color = PaintColor(TextColor());
    const QFont font = DrawingFont();
    // Glyphs blend with what lies beneath; text in the alpha key cuts
    // see-through letters instead.
    const QPainter::CompositionMode copy = p.compositionMode();
    p.setCompositionMode(color.alpha() ? QPainter::CompositionMode_SourceOver : QPainter::CompositionMode_Source);
    if (!fNoAntialiasText) {
        p.setFont(font);
        p.setPen(color);
        p.drawText(QPoint(x, y + fm.ascent()), text);
    } else if (!text.isEmpty()) {
        // Smooth glyphs on a layer, cut at half coverage: every pixel is
        // either text colour or untouched.
        // Text without ink (a lone tab, glyphs no font has) reports bounds
        // far away: keep the layer to the text's own cell and a margin.
        const QRect cell(-fm.maxWidth() - 2, -fm.ascent() - fm.height(),
            fm.horizontalAdvance(text) + 2 * fm.maxWidth() + 4, 3 * fm.height());
        // Only what can show gets a layer: a huge word costs what is visible.
        const QPoint baseline(x, y + fm.ascent());
        const QRect ink = (fm.boundingRect(text).adjusted(-2, -2, 2, 2) | QRect(0, -fm.ascent(), 1, fm.height()))
                              .intersected(cell)
                              .intersected(VisibleRect(p).translated(-baseline));
        if (!ink.isEmpty()) {
            QImage layer(ink.size(), QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            {
                QPainter lp(&layer);
                lp.setFont(font);
                lp.setPen(QColor(0, 0, 0));
                lp.drawText(-ink.topLeft(), text);
            }
            const QRgb solid = color.rgba();
            for (int row = 0; row < layer.height(); ++row) {
                QRgb* line = reinterpret_cast<QRgb*>(layer.scanLine(row));
                for (int col = 0; col < layer.width(); ++col)
                    line[col] = qAlpha(line[col]) >= 128 ? solid : 0;
            }
            p.drawImage(baseline + ink.topLeft(), layer);
        }
    }
    p.setCompositionMode(copy);
    if (underlineIndex >= 0 && underlineIndex < text.size()) {
        const int ux = x + fm.horizontalAdvance(text.left(underlineIndex));
        const int uw = fm.horizontalAdvance(text.mid(underlineIndex, 1));
        const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
        p.fillRect(QRect(ux, uy, uw, std::max(1, fm.lineWidth())), color);
    }
    p.setPen(Qt::NoPen);
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    const QFontMetrics& fm = FontMetrics();
    const int width = fm.horizontalAdvance(text);
    fPenPos = QPoint(x + width, y);
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    if (fBrush->Style() != bsClear)
        p->fillRect(QRect(x, y, width, fm.height()), PaintColor(fBrush->Color()));
    DrawTextAt(*p, x, y, text);
    p.Finish();
}

void TCanvas::TextRect(const QRect& rect, int x, int y, const QString& text)
{
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    if (fBrush->Style() != bsClear && rect.width() > 0 && rect.height() > 0)
        p->fillRect(rect, PaintColor(fBrush->Color()));
    p->setClipRect(rect, Qt::IntersectClip);
    DrawTextAt(*p, x, y, text);
    p.Finish();
}

int TCanvas::TextWidth(const QString& text) const
{
    return FontMetrics().horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) const
{
    return FontMetrics().height();
}

QSize TCanvas::TextExtent(const QString& text) const
{
    return QSize(TextWidth(text), TextHeight(text));
}

// ---- pictures and blits

void TCanvas::Draw(int x, int y, const TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    graphic.Draw(*this, QRect(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const QRect& rect, const TGraphic& graphic)
{
    if (graphic.Empty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    graphic.Draw(*this, rect);
}

void TCanvas::DrawImage(const QRect& dest, const QImage& image, const QRect& sourceRect, bool smooth)
{
    if (image.isNull() || dest.width() <= 0 || dest.height() <= 0 || sourceRect.isEmpty())
        return;
    TCanvasPaintScope p(*this);
    if (!p)
        return;
    p->setRenderHint(QPainter::SmoothPixmapTransform, smooth && dest.size() != sourceRect.size());
    if (image.hasAlphaChannel()) {
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->drawImage(dest, image, sourceRect);
        p.Finish();
        return;
    }
    switch (fCopyMode) {
    case cmBlackness: p->fillRect(dest, Qt::black); break;
    case cmWhiteness: p->fillRect(dest, Qt::white); break;
    case cmDstInvert:
        p->setCompositionMode(QPainter::RasterOp_NotDestination);
        p->fillRect(dest, Qt::black);
        break;
    default: {
        QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
        switch (fCopyMode) {
        case cmNotSrcCopy: mode = QPainter::RasterOp_NotSource; break;
        case cmSrcAnd: mode = QPainter::RasterOp_SourceAndDestination; break;
        case cmSrcPaint: mode = QPainter::RasterOp_SourceOrDestination; break;
        case cmSrcInvert: mode = QPainter::RasterOp_SourceXorDestination; break;
        case cmSrcErase: mode = QPainter::RasterOp_SourceAndNotDestination; break;
        case cmNotSrcErase: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
        case cmMergePaint: mode = QPainter::RasterOp_NotSourceOrDestination; break;
        default: break;
        }
        p->setCompositionMode(mode);
        p->drawImage(dest, image, sourceRect);
    }
    }
    p.Finish();
}

QImage TCanvas::GrabRect(const QRect& rect)
{
    const QRect r = rect.normalized();
    QImage result(r.size(), QImage::Format_RGB32);
    result.fill(Qt::black);
    QPoint offset;
    QImage* image = ReadableImage(offset);
    if (!image)
        return result;
    const QRect device = r.translated(fOrigin + offset);
    const QRect inside = device & image->rect();
    if (inside.isEmpty())
        return result;
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(inside.topLeft() - device.topLeft(), *image, inside);
    return result;
}

void TCanvas::CopyRect(const QRect& dest, TCanvas& source, const QRect& sourceRect)
{
    // Grabbing first makes overlapping copies on one canvas safe.
    const QImage pixels = source.GrabRect(sourceRect);
    DrawImage(dest.normalized(), pixels, pixels.rect(), false);
}

void TCanvas::BrushCopy(const QRect& dest, TBitmap& bitmap, const QRect& sourceRect, TColor key)
{
    if (bitmap.Empty())
        return;
    QImage part = bitmap.Image().copy(sourceRect.normalized()).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Key pixels are transparent, as are the cleared pixels of a bitmap with
    // alpha, whose anti-aliased edges are partly transparent.
    const QRgb keyRgb = ToRgb(key);
    for (int y = 0; y < part.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            if (line[x] == keyRgb)
                line[x] = 0;
        }
    }
    if (fBrush->Style() != bsClear) {
        // What is not opaque lies on the brush colour.
        QImage under(part.size(), QImage::Format_RGB32);
        under.fill(ToQColor(fBrush->Color()));
        QPainter painter(&under);
        painter.drawImage(0, 0, part);
        painter.end();
        part = under;
    }
    DrawImage(dest.normalized(), part, part.rect(), false);
}

// ---------------------------------------------------------------------------
// DrawText

namespace {

struct TextLine {
    QString Text;
    int Start = 0; // index of Text[0] in the prefix-free string
};

// Width of a line with tabs expanded to stops of tabWidth (0: no expansion).
int LineWidth(const QFontMetrics& fm, QStringView line, int tabWidth)
{
    if (tabWidth <= 0)
        return fm.horizontalAdvance(line.toString());
    int x = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == u'\t') {
            x += fm.horizontalAdvance(line.mid(start, i - start).toString());
            if (i < line.size())
                x = (x / tabWidth + 1) * tabWidth;
            start = i + 1;
        }
    }
    return x;
}

// Breaks one paragraph into lines no wider than width, at spaces. A word
// wider than width stands alone on its line.
void WrapParagraph(const QFontMetrics& fm, const TextLine& para, int width, int tabWidth, QList<TextLine>& out)
{
    const QString& s = para.Text;
    qsizetype pos = 0;
    if (s.isEmpty()) {
        out.append(para);
        return;
    }
    while (pos < s.size()) {
        qsizetype lineEnd = -1; // end of the last fitting break candidate
        qsizetype next = -1; // where the following line starts
        qsizetype i = pos;
        while (i < s.size()) {
            // The next word: leading spaces of the line belong to it.
            qsizetype wordEnd = i;
            while (wordEnd < s.size() && s[wordEnd] == u' ')
                ++wordEnd;
            while (wordEnd < s.size() && s[wordEnd] != u' ')
                ++wordEnd;
            const int w = LineWidth(fm, QStringView(s).mid(pos, wordEnd - pos), tabWidth);
            if (w > width && lineEnd >= 0)
                break;
            lineEnd = wordEnd;
            qsizetype after = wordEnd;
            while (after < s.size() && s[after] == u' ')
                ++after;
            next = after;
            if (w > width)
                break; // a single word too wide: it overflows
            i = wordEnd;
        }
        out.append({ s.mid(pos, lineEnd - pos), para.Start + int(pos) });
        pos = next;
    }
}

QString Ellipsize(const QFontMetrics& fm, const QString& line, int width, int tabWidth)
{
    if (LineWidth(fm, line, tabWidth) <= width)
        return line;
    const QString dots = QStringLiteral("...");
    QString cut = line;
    while (!cut.isEmpty() && LineWidth(fm, QString(cut + dots), tabWidth) > width)
        cut.chop(1);
    return cut + dots;
}

// The text with its prefix characters out; underlined receives the
// positions in it of the characters that get underlined.
QString StripPrefixes(const QString& text, unsigned flags, int tabWidth, QList<int>& underlined)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (!(flags & DT_NOPREFIX) && c == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                ++i;
            } else {
                if (i + 1 < text.size())
                    underlined.append(int(plain.size()));
                continue;
            }
        }
        if (c == u'\t' && !tabWidth)
            c = u' ';
        plain.append(c);
    }
    return plain;
}

// The paragraphs of the text with their starts in it: one for a single line.
QList<TextLine> SplitParagraphs(const QString& plain, unsigned flags)
{
    QList<TextLine> paragraphs;
    if (flags & DT_SINGLELINE) {
        QString line = plain;
        line.replace(u'\r', u' ').replace(u'\n', u' ');
        paragraphs.append({ line, 0 });
    } else {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= plain.size(); ++i) {
            if (i == plain.size() || plain[i] == u'\r' || plain[i] == u'\n') {
                paragraphs.append({ plain.mid(start, i - start), int(start) });
                if (i < plain.size() && plain[i] == u'\r' && i + 1 < plain.size() && plain[i + 1] == u'\n')
                    ++i;
                start = i + 1;
            }
        }
    }
    return paragraphs;
}

} // namespace

int DrawText(TCanvas& canvas, const QString& text, QRect& rect, unsigned flags)
{
    const QFontMetrics& fm = canvas.FontMetrics();
    const int lineHeight = fm.height();
    const int tabWidth = (flags & DT_EXPANDTABS) ? 8 * fm.averageCharWidth() : 0;

    QList<int> underlined;
    const QString plain = StripPrefixes(text, flags, tabWidth, underlined);
    const QList<TextLine> paragraphs = SplitParagraphs(plain, flags);

    QList<TextLine> lines;
    const bool wrap = (flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE);
    for (const TextLine& para : paragraphs) {
        if (wrap)
            WrapParagraph(fm, para, rect.width(), tabWidth, lines);
        else
            lines.append(para);
    }
    if (flags & DT_END_ELLIPSIS) {
        for (TextLine& line : lines)
            line.Text = Ellipsize(fm, line.Text, rect.width(), tabWidth);
    }

    int maxWidth = 0;
    QList<int> widths;
    for (const TextLine& line : lines) {
        widths.append(LineWidth(fm, line.Text, tabWidth));
        maxWidth = std::max(maxWidth, widths.last());
    }
    const int height = int(lines.size()) * lineHeight;

    if (flags & DT_CALCRECT) {
        rect.setWidth(maxWidth);
        rect.setHeight(height);
        return height;
    }

    const int left = rect.x(), right = RectRight(rect), top = rect.y(), bottom = RectBottom(rect);
    int y = top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER)
            y = (top + bottom - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            y = bottom - lineHeight;
    }
    const int result = (flags & DT_SINGLELINE) && (flags & (DT_VCENTER | DT_BOTTOM)) ? y - top + height : height;

    TCanvasPaintScope p(canvas);
    if (!p)
        return result;
    if (!(flags & DT_NOCLIP))
        p->setClipRect(rect, Qt::IntersectClip);
    const bool opaque = canvas.Brush()->Style() != bsClear;
    for (qsizetype n = 0; n < lines.size(); ++n, y += lineHeight) {
        const TextLine& line = lines[n];
        const int w = widths[n];
        int x = left;
        if (flags & DT_CENTER)
            x = (left + right - w) / 2;
        else if (flags & DT_RIGHT)
            x = right - w;
        if (opaque)
            p->fillRect(QRect(x, y, w, lineHeight), canvas.PaintColor(canvas.Brush()->Color()));
        int underline = -1;
        for (int u : underlined) {
            if (u >= line.Start && u < line.Start + line.Text.size())
                underline = u - line.Start;
        }
        if (!tabWidth) {
            canvas.DrawTextAt(*p, x, y, line.Text, underline);
            continue;
        }
        // Tabbed: draw the pieces at their stops.
        int pieceX = 0;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= line.Text.size(); ++i) {
            if (i == line.Text.size() || line.Text[i] == u'\t') {
                const QString piece = line.Text.mid(start, i - start);
                const int pieceUnderline = underline >= start && underline < i ? int(underline - start) : -1;
                canvas.DrawTextAt(*p, x + pieceX, y, piece, pieceUnderline);
                pieceX += fm.horizontalAdvance(piece);
                if (i < line.Text.size())
                    pieceX = (pieceX / tabWidth + 1) * tabWidth;
                start = i + 1;
            }
        }
    }
    p.Finish();
    return result;
}

int DrawText(TCanvas& canvas, const QString& text, const QRect& rect, unsigned flags)
{
    QRect r = rect;
    return DrawText(canvas, text, r, flags);
}

// ---------------------------------------------------------------------------
// Frames

namespace {

// One layer of a frame: top-left colour on the top row and left column,
// then bottom-right colour on the right column and bottom row (owning the
// two far corners). Shrinks rect by the sides drawn.
void FrameLayer(TCanvas& canvas, QRect& rect, TColor topLeft, TColor bottomRight, unsigned sides)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const int l = rect.x(), t = rect.y(), w = rect.width(), h = rect.height();
    if (sides & BF_TOP)
        canvas.FillSolidRect(QRect(l, t, w, 1), topLeft);
    if (sides & BF_LEFT)
        canvas.FillSolidRect(QRect(l, t, 1, h), topLeft);
    if (sides & BF_RIGHT)
        canvas.FillSolidRect(QRect(l + w - 1, t, 1, h), bottomRight);
    if (sides & BF_BOTTOM)
        canvas.FillSolidRect(QRect(l, t + h - 1, w, 1), bottomRight);
    rect.adjust(
        (sides & BF_LEFT) ? 1 : 0, (sides & BF_TOP) ? 1 : 0, (sides & BF_RIGHT) ? -1 : 0, (sides & BF_BOTTOM) ? -1 : 0);
}

} // namespace

bool DrawEdge(TCanvas& canvas, QRect& rect, unsigned edge, unsigned flags)
{
    QRect work = rect;
    const unsigned sides = flags & BF_RECT;
    const unsigned outer = edge & BDR_OUTER;
    const unsigned inner = edge & BDR_INNER;
    if (outer) {
        TColor tl = cl3DLight, br = cl3DDkShadow;
        if (flags & BF_MONO)
            tl = br = clWindowFrame;
        else if (flags & BF_FLAT)
            tl = br = clBtnShadow;
        else if (outer == BDR_SUNKENOUTER)
            tl = clBtnShadow, br = clBtnHighlight;
        FrameLayer(canvas, work, tl, br, sides);
    }
    if (inner) {
        TColor tl = clBtnHighlight, br = clBtnShadow;
        if (flags & BF_MONO)
            tl = br = clWindow;
        else if (flags & BF_FLAT)
            tl = br = clBtnFace;
        else if (inner == BDR_SUNKENINNER)
            tl = cl3DDkShadow, br = cl3DLight;
        FrameLayer(canvas, work, tl, br, sides);
    }
    if (flags & BF_MIDDLE)
        canvas.FillSolidRect(work, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST)
        rect = work;
    return true;
}

bool DrawFrameControl(TCanvas& canvas, const QRect& rect, unsigned type, unsigned state)
{
    if (type != DFC_BUTTON || rect.width() <= 0 || rect.height() <= 0)
        return false;
    const unsigned kind = state & 0xFF;
    const bool flat = state & (DFCS_FLAT | DFCS_MONO);
    const TColor flatFrame = (state & DFCS_MONO) ? clWindowFrame : clBtnShadow;
    if (kind == DFCS_BUTTONPUSH) {
        QRect r = rect;
        const bool down = state & (DFCS_PUSHED | DFCS_CHECKED);
        if (flat)
            FrameLayer(canvas, r, flatFrame, flatFrame, BF_RECT);
        else if (down)
            DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        else
            DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        canvas.FillSolidRect(r, clBtnFace);
        return true;
    }
    // Check box or radio button: a square box centred in rect.
    const int side = std::min(rect.width(), rect.height());
    QRect box(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
    const bool checked = state & DFCS_CHECKED;
    const TColor face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? clBtnFace : clWindow;
    const TColor mark = (state & DFCS_INACTIVE) ? clGrayText : clWindowText;
    const int cx = box.x() + side / 2, cy = box.y() + side / 2;
    if (kind == DFCS_BUTTONRADIO) {
        // Pixel disc: shadow ring above-left, highlight below-right.
        const double radius = side / 2.0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const double dx = x + 0.5 - radius, dy = y + 0.5 - radius;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (d > radius)
                    continue;
                TColor c = face;
                if (d > radius - 1)
                    c = flat ? flatFrame : (dx + dy < 0 ? clBtnShadow : clBtnHighlight);
                else if (!flat && d > radius - 2)
                    c = dx + dy < 0 ? cl3DDkShadow : cl3DLight;
                if (checked && d <= side / 6.0)
                    c = mark;
                canvas.FillSolidRect(QRect(box.x() + x, box.y() + y, 1, 1), c);
            }
        }
        return true;
    }
    if (flat)
        FrameLayer(canvas, box, flatFrame, flatFrame, BF_RECT);
    else
        DrawEdge(canvas, box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    canvas.FillSolidRect(box, face);
    if (checked) {
        // The classic tick: seven columns, three pixels tall.
        static constexpr int kTop[7] = { -1, 0, 1, 0, -1, -2, -3 };
        for (int i = 0; i < 7; ++i)
            canvas.FillSolidRect(QRect(cx - 3 + i, cy + kTop[i], 1, 3), mark);
    }
    return true;
}

void Frame3D(TCanvas& canvas, QRect& rect, TColor topColor, TColor bottomColor, int width)
{
    // As the class library does it: two polylines per pass, which leaves the
    // pen one pixel wide in the bottom colour.
    canvas.Pen()->SetWidth(1);
    QRect r = rect;
    for (int i = 0; i < width; ++i) {
        const int left = r.x(), top = r.y(), right = RectRight(r) - 1, bottom = RectBottom(r) - 1;
        canvas.Pen()->SetColor(topColor);
        canvas.Polyline({ QPoint(left, bottom), QPoint(left, top), QPoint(right, top) });
        canvas.Pen()->SetColor(bottomColor);
        canvas.Polyline({ QPoint(right, top), QPoint(right, bottom), QPoint(left - 1, bottom) });
        r.adjust(1, 1, -1, -1);
    }
    rect = r;
}
