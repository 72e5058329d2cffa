#include "extctrls.h"

#include <QTimer>

#include <limits>

// --- TCustomPanel ---

TCustomPanel::TCustomPanel(TComponent* AOwner)
    : TCustomControl(AOwner)
{
    SetControlStyle(
        csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks | csReplicatable);
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
    UpdateInset();
}

void TCustomPanel::SetAlignment(TAlignment value)
{
    if (value == fAlignment)
        return;
    fAlignment = value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value)
{
    if (value == fBevelInner)
        return;
    fBevelInner = value;
    UpdateInset();
}

void TCustomPanel::SetBevelOuter(TBevelCut value)
{
    if (value == fBevelOuter)
        return;
    fBevelOuter = value;
    UpdateInset();
}

void TCustomPanel::SetBevelWidth(int value)
{
    if (value < 1 || value == fBevelWidth)
        return;
    fBevelWidth = value;
    UpdateInset();
}

void TCustomPanel::SetBorderWidth(int value)
{
    value = std::max(0, value);
    if (value == fBorderWidth)
        return;
    fBorderWidth = value;
    UpdateInset();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value)
{
    if (value == fBorderStyle)
        return;
    fBorderStyle = value;
    UpdateInset();
}

void TCustomPanel::UpdateInset()
{
    int inset = fBorderWidth;
    if (fBevelOuter != bvNone)
        inset += fBevelWidth;
    if (fBevelInner != bvNone)
        inset += fBevelWidth;
    if (fBorderStyle == bsSingle)
        inset += 2; // the sunken client edge
    TCustomControl::SetBorderWidth(inset); // realigns and repaints
}

void TCustomPanel::CMTextChanged(TMessage& Message)
{
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

namespace {

void BevelColors(TBevelCut bevel, TColor& top, TColor& bottom)
{
    top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

} // namespace

void TCustomPanel::Paint()
{
    TCanvas* canvas = TCustomControl::Canvas();
    QRect rect = ClientRect();
    if (fBorderStyle == bsSingle)
        DrawEdge(*canvas, rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    TColor top, bottom;
    if (fBevelOuter != bvNone) {
        BevelColors(fBevelOuter, top, bottom);
        Frame3D(*canvas, rect, top, bottom, fBevelWidth);
    }
    Frame3D(*canvas, rect, Color(), Color(), fBorderWidth);
    if (fBevelInner != bvNone) {
        BevelColors(fBevelInner, top, bottom);
        Frame3D(*canvas, rect, top, bottom, fBevelWidth);
    }
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
    if (Caption().isEmpty())
        return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(*Font());
    const int fontHeight = canvas->TextHeight(QStringLiteral("W"));
    const int textTop = (rect.top() + RectBottom(rect) - fontHeight) / 2;
    QRect text = Rect(rect.left(), textTop, RectRight(rect), textTop + fontHeight);
    unsigned flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
    flags |= fAlignment == taCenter ? DT_CENTER : fAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawText(*canvas, Caption(), text, flags);
}

// --- TBevel ---

TBevel::TBevel(TComponent* AOwner)
    : TGraphicControl(AOwner)
{
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value)
{
    if (value == fShape)
        return;
    fShape = value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle value)
{
    if (value == fStyle)
        return;
    fStyle = value;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    TColor color1 = fStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor color2 = fStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    // Top-left in color1, bottom-right in color2; the far corners go to color2.
    const auto bevelRect = [&](int left, int top, int right, int bottom) {
        canvas->Pen()->SetColor(color1);
        canvas->Polyline({ QPoint(left, bottom), QPoint(left, top), QPoint(right, top) });
        canvas->Pen()->SetColor(color2);
        canvas->Polyline({ QPoint(right, top), QPoint(right, bottom), QPoint(left, bottom) });
    };
    const auto bevelLine = [&](TColor color, int x1, int y1, int x2, int y2) {
        canvas->Pen()->SetColor(color);
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
    };
    switch (fShape) {
    case bsBox: bevelRect(0, 0, w - 1, h - 1); break;
    case bsFrame: {
        // Etched: the inner rectangle all in color2, the outer one all in color1.
        const TColor first = color1;
        color1 = color2;
        bevelRect(1, 1, w - 1, h - 1);
        color1 = color2 = first;
        bevelRect(0, 0, w - 2, h - 2);
        break;
    }
    case bsTopLine:
        bevelLine(color1, 0, 0, w, 0);
        bevelLine(color2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        bevelLine(color1, 0, h - 2, w, h - 2);
        bevelLine(color2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        bevelLine(color1, 0, 0, 0, h);
        bevelLine(color2, 1, 0, 1, h);
        break;
    case bsRightLine:
        bevelLine(color1, w - 2, 0, w - 2, h);
        bevelLine(color2, w - 1, 0, w - 1, h);
        break;
    case bsSpacer: break;
    }
}

// --- TImage ---

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner)
    , fPicture(std::make_unique<TPicture>())
{
    fPicture->OnChange = [this] { PictureChanged(); };
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
    fPicture->OnChange = nullptr;
}

TCanvas* TImage::Canvas()
{
    TGraphic* graphic = fPicture->Graphic();
    if (!graphic) {
        TBitmap* bitmap = fPicture->Bitmap();
        bitmap->SetSize(Width(), Height());
        return bitmap->Canvas();
    }
    auto* bitmap = dynamic_cast<TBitmap*>(graphic);
    if (!bitmap)
        throw EInvalidGraphicOperation(QStringLiteral("Can only modify an image if it contains a bitmap"));
    return bitmap->Canvas();
}

void TImage::SetAutoSize(bool value)
{
    fAutoSize = value;
    if (value)
        PictureChanged();
}

void TImage::SetCenter(bool value)
{
    if (value == fCenter)
        return;
    fCenter = value;
    Invalidate();
}

void TImage::SetStretch(bool value)
{
    if (value == fStretch)
        return;
    fStretch = value;
    Invalidate();
}

void TImage::SetProportional(bool value)
{
    if (value == fProportional)
        return;
    fProportional = value;
    Invalidate();
}

void TImage::SetTransparent(bool value)
{
    if (value == fTransparent)
        return;
    fTransparent = value;
    PictureChanged();
}

QRect TImage::DestRect() const
{
    int w = fPicture->Width();
    int h = fPicture->Height();
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    if (fStretch || (fProportional && (w > cw || h > ch))) {
        if (fProportional && w > 0 && h > 0) {
            const double aspect = double(w) / h;
            if (w > h) {
                w = cw;
                h = int(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = int(ch * aspect);
                }
            } else {
                h = ch;
                w = int(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = int(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    QRect rect(0, 0, w, h);
    if (fCenter)
        rect.translate((cw - w) / 2, (ch - h) / 2);
    return rect;
}

void TImage::Paint()
{
    TGraphic* graphic = fPicture->Graphic();
    if (!graphic || graphic->Empty())
        return;
    const bool saved = fDrawing;
    fDrawing = true;
    struct Restore
    {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore { fDrawing, saved };
    TGraphicControl::Canvas()->StretchDraw(DestRect(), *graphic);
}

void TImage::PictureChanged()
{
    if (fChanging)
        return;
    fChanging = true;
    struct Reset
    {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { fChanging };
    if (fAutoSize && fPicture->Width() > 0 && fPicture->Height() > 0)
        SetBounds(Left(), Top(), fPicture->Width(), fPicture->Height());
    if (TGraphic* graphic = fPicture->Graphic(); graphic && !dynamic_cast<TIcon*>(graphic))
        graphic->SetTransparent(fTransparent);
    if (!fDrawing)
        Invalidate();
}

// --- TTimer ---

TTimer::TTimer(TComponent* AOwner)
    : TComponent(AOwner)
    , fTimer(std::make_unique<QTimer>())
{
    QObject::connect(fTimer.get(), &QTimer::timeout, fTimer.get(), [this] { GuardedCall([this] { Timer(); }); });
    UpdateTimer();
}

TTimer::~TTimer()
{
    fTimer->stop();
}

void TTimer::SetEnabled(bool value)
{
    if (value == fEnabled)
        return;
    fEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned value)
{
    if (value == fInterval)
        return;
    fInterval = value;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    fTimer->stop();
    if (fEnabled && fInterval > 0)
        fTimer->start(int(std::min<unsigned>(fInterval, unsigned(std::numeric_limits<int>::max()))));
}

void TTimer::Timer()
{
    if (OnTimer)
        OnTimer(this);
}
