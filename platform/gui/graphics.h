#pragma once

// Colours, fonts, pens, brushes and the canvas: the drawing vocabulary of the
// class library on top of QPainter, with the old pixel rules (right and bottom
// edges excluded, lines without their end point, opaque text backgrounds).

#include "platform/core/classes.h"
#include "platform/core/sysutils.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QBrush;
class QFontMetrics;
class QImage;
class QPainter;
class TBitmap;
class TGraphic;

// ---------------------------------------------------------------------------
// Rectangles. A QRect keeps (x, y, width, height); these build one from the
// class library's exclusive (left, top, right, bottom) form.

inline QRect Rect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}
inline QRect Bounds(int left, int top, int width, int height)
{
    return QRect(left, top, width, height);
}
// The exclusive right and bottom of a rectangle (QRect::right() is inclusive).
inline int RectRight(const QRect& r)
{
    return r.x() + r.width();
}
inline int RectBottom(const QRect& r)
{
    return r.y() + r.height();
}

// ---------------------------------------------------------------------------
// Colours

// 0x00BBGGRR. Negative values (high byte 0xFF) name system colours by index.
using TColor = qint32;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c)
{
    return c & 0xFF;
}
constexpr int GetGValue(TColor c)
{
    return (c >> 8) & 0xFF;
}
constexpr int GetBValue(TColor c)
{
    return (c >> 16) & 0xFF;
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clSystemColor = TColor(0xFF000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// The RGB value of a colour: system colours come from a fixed table (the
// classic grey 3-D scheme), so drawings look the same on every desktop.
TColor ColorToRGB(TColor color);
// Fully opaque QColor of a colour (system colours resolved).
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// Identifiers of the named and system colours ("clBtnFace"), case-insensitive.
bool IdentToColor(const QString& ident, TColor& color);
// The identifier of a colour, or an empty string when it has none.
QString ColorToIdent(TColor color);
// The identifier, else "$" and eight hex digits.
QString ColorToString(TColor color);
// An identifier, "$hex", "0xhex" or a decimal number; raises EConvertError.
TColor StringToColor(const QString& text);

namespace props {

// A colour property: written as a number, read as a number or by its name.
template <class C, class G, class S> TPropInfo Color(const QString& name, G get, S set, std::optional<qint64> def = {})
{
    TPropInfo p = Integer<C>(name, get, set, def);
    p.IdentToInt = [](const QString& ident, qint64& value) {
        TColor color = 0;
        if (!IdentToColor(ident, color))
            return false;
        value = color;
        return true;
    };
    return p;
}

} // namespace props

// ---------------------------------------------------------------------------
// Fonts

constexpr int ScreenPixelsPerInch = 96;

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A set of font styles; the bits are the TFontStyle values.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(TFontStyle s)
        : fBits(s)
    {
    }
    static constexpr TFontStyles FromBits(unsigned bits)
    {
        TFontStyles r;
        r.fBits = bits & 0xF;
        return r;
    }
    constexpr unsigned Bits() const { return fBits; }
    constexpr bool Contains(TFontStyle s) const { return (fBits & s) != 0; }
    constexpr bool Empty() const { return fBits == 0; }
    constexpr TFontStyles operator|(TFontStyles o) const { return FromBits(fBits | o.fBits); }
    constexpr TFontStyles operator-(TFontStyles o) const { return FromBits(fBits & ~o.fBits); }
    constexpr TFontStyles operator&(TFontStyles o) const { return FromBits(fBits & o.fBits); }
    TFontStyles& operator|=(TFontStyles o) { return *this = *this | o; }
    TFontStyles& operator-=(TFontStyles o) { return *this = *this - o; }
    constexpr bool operator==(const TFontStyles&) const = default;

private:
    unsigned fBits = 0;
};
constexpr TFontStyles operator|(TFontStyle a, TFontStyle b)
{
    return TFontStyles(a) | TFontStyles(b);
}

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = quint8;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;

// Fonts, brushes and pens: values that report every change through OnChange.
// Not copyable: owners hand them out by pointer and copy them with Assign.
class TGraphicsObject : public TPersistent {
public:
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;

    std::function<void()> OnChange;

protected:
    virtual void Changed();
    // Stores value and reports the change, unless the field holds it already.
    template <class T> void SetValue(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
};

// The family of a font name as Qt lists fonts that several foundries make:
// "Nimbus Roman [urw]" is "Nimbus Roman", the name other programs know.
// Names without a foundry come back as they are.
QString FontFamilyName(const QString& name);

// A font as the class library describes it. Height is the primary value:
// negative = character height in pixels, positive = cell height; Size is in
// points at 96 dpi. Every change fires OnChange.
class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;

    QString ClassName() const override { return QStringLiteral("TFont"); }

    void Assign(const TFont& source);

    const QString& Name() const { return fName; }
    void SetName(const QString& value);
    int Size() const;
    void SetSize(int value);
    int Height() const { return fHeight; }
    void SetHeight(int value);
    TFontStyles Style() const { return fStyle; }
    void SetStyle(TFontStyles value);
    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    TFontCharset Charset() const { return fCharset; }
    void SetCharset(TFontCharset value);
    TFontPitch Pitch() const { return fPitch; }
    void SetPitch(TFontPitch value);

    // Sized in pixels, so the result does not depend on the device's dpi.
    // Fully hinted: whole-pixel advances that add up, as the old fonts had.
    QFont ToQFont() const;
    // Metrics of ToQFont(), cached until the font changes.
    const QFontMetrics& Metrics() const;
    // Grows on every change; lets a canvas notice a change without OnChange.
    quint64 Generation() const { return fGeneration; }

protected:
    void Changed() override;

private:
    QString fName = QStringLiteral("MS Sans Serif");
    int fHeight = -11;
    TFontStyles fStyle;
    TColor fColor = clWindowText;
    TFontCharset fCharset = DEFAULT_CHARSET;
    TFontPitch fPitch = fpDefault;
    quint64 fGeneration = 0;
    mutable std::unique_ptr<QFontMetrics> fMetrics;
};

// ---------------------------------------------------------------------------
// Brushes and pens

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Fill of shapes and text backgrounds. A pattern bitmap (not owned) is tiled
// as it is, so an 8x8 two-colour bitmap gives a two-colour pattern.
class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    ~TBrush() override;

    QString ClassName() const override { return QStringLiteral("TBrush"); }
    void Assign(const TBrush& source);

    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return fStyle; }
    void SetStyle(TBrushStyle value);
    TBitmap* Bitmap() const { return fBitmap; }
    void SetBitmap(TBitmap* value);

private:
    TColor fColor = clWhite;
    TBrushStyle fStyle = bsSolid;
    TBitmap* fBitmap = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster operations of the pen, in the class library's order.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    ~TPen() override;

    QString ClassName() const override { return QStringLiteral("TPen"); }
    void Assign(const TPen& source);

    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    int Width() const { return fWidth; }
    void SetWidth(int value);
    TPenStyle Style() const { return fStyle; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return fMode; }
    void SetMode(TPenMode value);

private:
    TColor fColor = clBlack;
    int fWidth = 1;
    TPenStyle fStyle = psSolid;
    TPenMode fMode = pmCopy;
};

// ---------------------------------------------------------------------------
// Canvas

// Copy modes (raster operation codes) honoured by CopyRect and Draw.
constexpr int cmBlackness = 0x00000042;
constexpr int cmDstInvert = 0x00550009;
constexpr int cmMergePaint = 0x00BB0226;
constexpr int cmNotSrcCopy = 0x00330008;
constexpr int cmNotSrcErase = 0x001100A6;
constexpr int cmSrcAnd = 0x008800C6;
constexpr int cmSrcCopy = 0x00CC0020;
constexpr int cmSrcErase = 0x00440328;
constexpr int cmSrcInvert = 0x00660046;
constexpr int cmSrcPaint = 0x00EE0086;
constexpr int cmWhiteness = 0x00FF0062;

// Returned by Pixels() where nothing can be read.
constexpr TColor CLR_INVALID = TColor(0xFFFFFFFFu);

// Draws with the class library's rules through a QPainter it does not own.
// Either a painter is bound from outside (a widget's paint event) with
// BeginPaint/EndPaint, or the canvas asks AcquirePainter() for one on each
// drawing call (a bitmap opens one on its image). Without a painter drawing
// does nothing; measuring never needs one.
//
// The canvas keeps its own device state (viewport origin, clip rectangle and
// a save stack) and applies it on every call, so it survives a painter being
// closed and reopened. Pen, brush and font are set on every call as well.
class TCanvas {
public:
    TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas();

    TFont* Font() const { return fFont.get(); }
    void SetFont(const TFont* value) { fFont->Assign(*value); }
    TBrush* Brush() const { return fBrush.get(); }
    void SetBrush(const TBrush* value) { fBrush->Assign(*value); }
    TPen* Pen() const { return fPen.get(); }
    void SetPen(const TPen* value) { fPen->Assign(*value); }
    QPoint PenPos() const { return fPenPos; }
    void SetPenPos(QPoint value) { fPenPos = value; }
    int CopyMode() const { return fCopyMode; }
    void SetCopyMode(int value) { fCopyMode = value; }

    // Text without anti-aliasing, for bitmaps that use a transparent colour
    // key: blended edge pixels would not match the key and show as fringes.
    // The glyphs are rendered smoothly and cut at half coverage, so the text
    // measures exactly as it does anti-aliased.
    bool NoAntialiasText() const { return fNoAntialiasText; }
    void SetNoAntialiasText(bool value) { fNoAntialiasText = value; }

    // On a surface with alpha: the colour that paints transparency. Fills,
    // frames, lines and text backgrounds in it clear the pixels (and Pixels
    // reads cleared pixels as it), so text drawn over them stays
    // anti-aliased against whatever the surface is later copied onto. A
    // bitmap with alpha sets its transparent colour here.
    std::optional<TColor> AlphaKey() const { return fAlphaKey; }
    void SetAlphaKey(std::optional<TColor> key) { fAlphaKey = key; }

    // A text colour that overrides Font.Color until the font next changes;
    // returns the colour in effect before.
    TColor SetTextColor(TColor color);
    TColor TextColor() const;

    // Binds an external painter until the matching EndPaint; nestable.
    // Binding nullptr drops all drawing until its EndPaint.
    void BeginPaint(QPainter* painter);
    void EndPaint();
    bool IsBound() const { return !fBound.empty(); }

    // Shapes. Right and bottom edges are excluded.
    void FillRect(const QRect& rect);
    // Fills with a colour, leaving brush and pen alone (3-D frames, marks).
    void FillSolidRect(const QRect& rect, TColor color);
    void FrameRect(const QRect& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const QRect& rect) { Rectangle(rect.x(), rect.y(), RectRight(rect), RectBottom(rect)); }
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const QRect& rect) { Ellipse(rect.x(), rect.y(), RectRight(rect), RectBottom(rect)); }
    void Polygon(const QList<QPoint>& points);
    // Lines leave out their end point; Polyline does not move the pen.
    void Polyline(const QList<QPoint>& points);
    void MoveTo(int x, int y) { fPenPos = QPoint(x, y); }
    void LineTo(int x, int y);
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);
    // XOR dotted frame; drawing it twice restores the pixels.
    void DrawFocusRect(const QRect& rect);

    // Text. The top-left of the text cell is at (x, y).
    void TextOut(int x, int y, const QString& text);
    void TextRect(const QRect& rect, int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    QSize TextExtent(const QString& text) const;
    // The font as drawn on this canvas.
    QFont DrawingFont() const;
    const QFontMetrics& FontMetrics() const;

    // Pictures and blits.
    void Draw(int x, int y, const TGraphic& graphic);
    void StretchDraw(const QRect& rect, const TGraphic& graphic);
    void CopyRect(const QRect& dest, TCanvas& source, const QRect& sourceRect);
    // Copies a bitmap region; pixels of the key colour take this canvas's
    // brush colour, or are left out when the brush is clear.
    void BrushCopy(const QRect& dest, TBitmap& bitmap, const QRect& sourceRect, TColor key);
    // Draws an image scaled into dest. Opaque images honour CopyMode; images
    // with alpha are blended. Smooth scaling only when asked for.
    void DrawImage(const QRect& dest, const QImage& image, const QRect& sourceRect, bool smooth = false);
    // The pixels of a rectangle in logical coordinates (outside: black).
    QImage GrabRect(const QRect& rect);

    // Device state.
    QRect ClipRect() const;
    void IntersectClipRect(const QRect& rect);
    // Drops the canvas's own clip rectangle (not the bound painter's).
    void ResetClipRect();
    // Where logical (0,0) lies on the device: SetViewportOrgEx.
    QPoint ViewportOrigin() const { return fOrigin; }
    void SetViewportOrigin(QPoint origin) { fOrigin = origin; }
    void Translate(int dx, int dy) { fOrigin += QPoint(dx, dy); }
    // SaveDC/RestoreDC of origin and clip; Save returns the new depth.
    int Save();
    void Restore();

    void Lock() { ++fLockCount; }
    void Unlock() { --fLockCount; }
    int LockCount() const { return fLockCount; }

    // Fired by Changed() after every drawing operation.
    std::function<void()> OnChange;

protected:
    // A painter for drawing when none is bound; nullptr means "cannot draw".
    virtual QPainter* AcquirePainter();
    // Gives up a painter opened by AcquirePainter (before the target is read,
    // resized, or another painter is bound).
    virtual void ReleasePainter();
    // The image drawn into, when the canvas draws into one; Pixels and
    // CopyRect read it directly. Must release the acquired painter first.
    virtual QImage* TargetImage();
    // Size of the drawing surface when no painter is bound (for ClipRect).
    virtual QSize TargetSize() const;
    virtual void Changed();
    // One pixel written straight into the target image (device coordinates).
    virtual void PixelChanged(QPoint) { Changed(); }

private:
    friend class TCanvasPaintScope;
    friend int DrawText(TCanvas& canvas, const QString& text, QRect& rect, unsigned flags);

    struct DeviceState {
        QPoint Origin;
        std::optional<QRect> Clip;
    };

    QPainter* CurrentPainter();
    // Device rectangle drawable by the canvas (clip and surface), device coordinates.
    QRect DeviceBounds() const;
    // Reads the drawing surface: image and the mapping from canvas device coordinates.
    QImage* ReadableImage(QPoint& offset);
    void DrawLine(QPainter& p, QPoint from, QPoint to);
    void DrawTextAt(QPainter& p, int x, int y, const QString& text, int underlineIndex = -1);
    // A colour or the brush as painted: the alpha key paints transparency.
    QColor PaintColor(TColor color) const;
    QBrush PaintBrush() const;

    std::unique_ptr<TFont> fFont;
    std::unique_ptr<TBrush> fBrush;
    std::unique_ptr<TPen> fPen;
    QPoint fPenPos;
    int fCopyMode = cmSrcCopy;
    bool fNoAntialiasText = false;
    std::optional<TColor> fAlphaKey;
    std::optional<TColor> fTextColor;
    quint64 fTextColorGeneration = 0;
    int fLockCount = 0;
    QPoint fOrigin;
    std::optional<QRect> fClip; // device coordinates
    std::vector<DeviceState> fSaved;
    std::vector<QPainter*> fBound;
};

// ---------------------------------------------------------------------------
// Text and frame functions on a canvas

constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_RTLREADING = 0x20000;

// Draws or measures text in a rectangle; returns the text height (with
// DT_VCENTER/DT_BOTTOM on a single line: the offset of its bottom from
// rect's top). DT_CALCRECT sets rect's width and height and draws nothing.
// "&x" underlines x unless DT_NOPREFIX; "&&" is "&". Vertical centring and
// bottom alignment apply to DT_SINGLELINE only. A word wider than the rect
// is not split: it overflows (and widens a DT_CALCRECT result).
int DrawText(TCanvas& canvas, const QString& text, QRect& rect, unsigned flags);
int DrawText(TCanvas& canvas, const QString& text, const QRect& rect, unsigned flags);

constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned BDR_OUTER = 0x3;
constexpr unsigned BDR_INNER = 0xC;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_RECT = 0xF;
constexpr unsigned BF_MIDDLE = 0x800;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// 3-D edges: up to two one-pixel layers (outer, inner). The top-left
// colour owns the top row and left column except the far corners.
// BF_FLAT draws the layers flat in the shadow and face colours, BF_MONO in
// the frame and window colours. BF_ADJUST shrinks rect by what was drawn.
bool DrawEdge(TCanvas& canvas, QRect& rect, unsigned edge, unsigned flags);

constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONCHECK = 0x0;
constexpr unsigned DFCS_BUTTONRADIO = 0x4;
constexpr unsigned DFCS_BUTTONPUSH = 0x10;
constexpr unsigned DFCS_INACTIVE = 0x100;
constexpr unsigned DFCS_PUSHED = 0x200;
constexpr unsigned DFCS_CHECKED = 0x400;
constexpr unsigned DFCS_HOT = 0x1000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

// Check boxes, radio buttons and push-button faces in the classic look.
bool DrawFrameControl(TCanvas& canvas, const QRect& rect, unsigned type, unsigned state);

// Draws width one-pixel frames (top-left in topColor, bottom-right in
// bottomColor) and shrinks rect by each.
void Frame3D(TCanvas& canvas, QRect& rect, TColor topColor, TColor bottomColor, int width);
