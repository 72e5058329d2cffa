#include "controls/hatch_panel.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

// Whole copies of the picture from the area's top-left, rows and columns
// starting while they begin inside the area; the last ones may run past it
// unless the caller clips.
void TileBitmap(TCanvas& canvas, const TBitmap& bitmap, const QRect& area)
{
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0 || h <= 0)
        return;
    for (int y = area.top(); y < RectBottom(area); y += h)
        for (int x = area.left(); x < RectRight(area); x += w)
            canvas.Draw(x, y, bitmap);
}

// Lowered bevels are dark at the top and left, the others light.
void BevelFrame(TCanvas& canvas, QRect& rect, TBevelCut bevel, int width)
{
    const bool lowered = bevel == bvLowered;
    Frame3D(canvas, rect, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, width);
}

std::unique_ptr<TStringList> AboutText(const QString& text)
{
    auto list = std::make_unique<TStringList>();
    list->SetText(text);
    return list;
}

} // namespace

// --- THatchPanel ---

THatchPanel::THatchPanel(TComponent* AOwner)
    : TPanel(AOwner)
    , FBitMap(std::make_unique<TBitmap>())
    , FAbout(AboutText(QStringLiteral("THatchPanel\n"
                                      "A panel with the standard frame that fills its face\n"
                                      "with a picture, tiled or stretched.")))
{
    FBitMap->OnChange = [this] { BitmapChanged(); };
}

THatchPanel::~THatchPanel()
{
    FBitMap->OnChange = nullptr;
}

void THatchPanel::BitmapChanged()
{
    if (OnBitMapChanged)
        OnBitMapChanged(this);
    Invalidate();
}

void THatchPanel::SetBitmap(const TBitmap* value)
{
    FBitMap->Assign(value);
    Invalidate();
}

void THatchPanel::SetMode(THatchMode value)
{
    if (value == HMode)
        return;
    HMode = value;
    Invalidate();
}

void THatchPanel::Loaded()
{
    // A disabled panel's window already follows Enabled here; nothing
    // further is passed on.
    TPanel::Loaded();
}

void THatchPanel::Paint()
{
    TPanel::Paint();
    if (FBitMap->Empty())
        return;
    TCanvas& canvas = *Canvas();
    canvas.SetCopyMode(cmSrcCopy);
    const int inset = BevelWidth();
    const QRect area = ClientRect().adjusted(inset, inset, -inset, -inset);
    if (area.width() <= 0 || area.height() <= 0)
        return;
    if (HMode == Stretched) {
        canvas.StretchDraw(area, *FBitMap);
        return;
    }
    // The last tiles stop at the bevel like the others, so the frame stays
    // whole on all four sides.
    canvas.Save();
    canvas.IntersectClipRect(area);
    TileBitmap(canvas, *FBitMap, area);
    canvas.Restore();
}

// --- TCPHatchPanel ---

TCPHatchPanel::TCPHatchPanel(TComponent* AOwner)
    : TPanel(AOwner)
    , FBitMap(std::make_unique<TBitmap>())
    , FAbout(AboutText(QStringLiteral("TCPHatchPanel\n"
                                      "A panel that fills itself with a picture, tiled or stretched,\n"
                                      "or shows its parent through it, with plain, 3-D or flat borders.")))
{
    FBitMap->OnChange = [this] { BitmapChanged(); };
    HMode = hmTiled;
    FBorders = bmNone;
    FBorderColor = clBlack;
    FControlEnabled = false;
    FTransparent = false;
}

TCPHatchPanel::~TCPHatchPanel()
{
    FBitMap->OnChange = nullptr;
}

void TCPHatchPanel::BitmapChanged()
{
    if (OnBitMapChanged)
        OnBitMapChanged(this);
    Invalidate();
}

void TCPHatchPanel::SetBitmap(const TBitmap* value)
{
    FBitMap->Assign(value);
    SetCaption(QString());
    Invalidate();
}

void TCPHatchPanel::SetMode(TCPHatchMode value)
{
    if (value == HMode)
        return;
    HMode = value;
    Invalidate();
}

void TCPHatchPanel::SetBorders(TCPBorderMode value)
{
    if (value == FBorders)
        return;
    FBorders = value;
    Invalidate();
}

void TCPHatchPanel::SetBorderColor(TColor value)
{
    if (value == FBorderColor)
        return;
    FBorderColor = value;
    Invalidate();
}

void TCPHatchPanel::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Invalidate();
}

void TCPHatchPanel::Paint()
{
    TCanvas& canvas = *Canvas();
    const QRect area = ClientRect();
    if (FTransparent) {
        if (TWinControl* parent = Parent())
            parent->PaintBackgroundFor(this, canvas);
        else
            canvas.FillSolidRect(area, Color());
    } else {
        canvas.SetCopyMode(cmSrcCopy);
        if (FBitMap->Empty()) {
            canvas.FillSolidRect(area, Color());
        } else if (HMode == hmStretched) {
            canvas.StretchDraw(area, *FBitMap);
        } else {
            TileBitmap(canvas, *FBitMap, area);
        }
    }
    DrawBorders();
}

void TCPHatchPanel::DrawBorders()
{
    TCanvas& canvas = *Canvas();
    QRect rect = ClientRect();
    switch (FBorders) {
    case bmOriginal:
        if (BevelOuter() != bvNone)
            BevelFrame(canvas, rect, BevelOuter(), BevelWidth());
        Frame3D(canvas, rect, Color(), Color(), TPanel::BorderWidth());
        if (BevelInner() != bvNone)
            BevelFrame(canvas, rect, BevelInner(), BevelWidth());
        break;
    case bmFlat: Frame3D(canvas, rect, FBorderColor, FBorderColor, BevelWidth()); break;
    case bmNone: break;
    }
}

void TCPHatchPanel::CMEnabledChanged(TMessage& Message)
{
    TPanel::CMEnabledChanged(Message);
    // The window is told of its new state, as enabling a window does.
    Perform(WM_ENABLE, Enabled() ? 1 : 0);
}

void TCPHatchPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ENABLE)
        WMEnable(Message);
    TPanel::WndProc(Message);
}

void TCPHatchPanel::WMEnable(TMessage& Message)
{
    if (!FControlEnabled || (ComponentState() & csLoading))
        return;
    const bool enable = Message.WParam != 0;
    // The panel's own children, last first: a child owned by another
    // component than the form is a child all the same.
    for (int i = ControlCount() - 1; i >= 0; --i)
        Controls(i)->SetEnabled(enable);
}

void TCPHatchPanel::Loaded()
{
    TPanel::Loaded();
    if (Enabled() || !FControlEnabled)
        return;
    // Disable the children once the message loop runs, after the rest of the
    // window is built.
    const std::weak_ptr<bool> alive = AliveToken();
    QTimer::singleShot(0, QCoreApplication::instance(), [this, alive] {
        if (!alive.expired())
            GuardedCall([this] { Perform(WM_ENABLE, 0); });
    });
}
