#include "controls/styled_speed_button.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"

TLbSpeedButton::TLbSpeedButton(TComponent* AOwner)
    : TLbButtonBase(AOwner, taLeftJustify, 0)
{
    SetControlStyle((ControlStyle() | csSetCaption) & ~csOpaque);
    SetBounds(Left(), Top(), 100, 23);
    SetParentColor(true);
}

TLbSpeedButton::~TLbSpeedButton() = default;

void TLbSpeedButton::FaceChanged()
{
    if (FTransparent)
        Invalidate();
    else
        Repaint();
}

void TLbSpeedButton::SetStyle(TLbSpeedButtonStyle value)
{
    if (value == bsModern && FAlignment != taCenter) {
        FAlignment = taCenter;
        Invalidate();
    }
    // Gradients need more than a palette screen.
    if (value == bsModern && Screen()->BitsPerPixel() <= 8 && !(ComponentState() & csDesigning))
        value = bsNormal;
    TLbButtonBase::SetStyle(value);
}

void TLbSpeedButton::SetDown(bool value)
{
    if (value == FDown)
        return;
    if (FGroupIndex != 0 && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TLbSpeedButton*>(Parent()->Controls(i));
            if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
                other->FDown = false;
                other->FaceChanged();
            }
        }
    }
    FDown = value;
    FaceChanged();
}

TLbButtonFace TLbSpeedButton::Face() const
{
    TLbButtonFace f = BaseFace(FCursorOnButton);
    f.Transparent = FTransparent;
    f.Down = FDown;
    return f;
}

void TLbSpeedButton::Paint()
{
    if ((ComponentState() & csLoading) || (!Visible() && !(ComponentState() & csDesigning)))
        return;
    if (Width() <= 0 || Height() <= 0)
        return;
    TBitmap image(Width(), Height());
    if (FTransparent || FStyle == bsModern || FStyle == bsShape) {
        image.SetTransparentColor(clLbTransparent);
        image.SetTransparent(true);
        image.Canvas()->FillSolidRect(ClientRect(), clLbTransparent);
    }
    PaintLbButtonFace(*image.Canvas(), Face());
    Canvas()->Draw(0, 0, image);
}

void TLbSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (FGroupIndex == 0 || !FDown)
        SetDown(true);
    else if (FAllowAllUp)
        SetDown(false);
}

void TLbSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    // A grouped button stays down until another of its group goes down.
    if (FGroupIndex == 0)
        SetDown(false);
}

void TLbSpeedButton::Click()
{
    if (TPopupMenu* menu = PopupMenu()) {
        const QPoint at = ClientToScreen(QPoint(0, Height()));
        menu->SetPopupComponent(this);
        menu->Popup(at.x(), at.y());
    }
    TGraphicControl::Click();
}

void TLbSpeedButton::Accelerate()
{
    const std::weak_ptr<bool> alive = AliveToken();
    const bool wasDown = FDown;
    const auto restore = [&] {
        if (alive.expired())
            return;
        FDown = wasDown;
        Repaint();
    };
    FDown = true;
    Repaint();
    try {
        Click();
    } catch (...) {
        restore(); // a failing handler must not leave the button drawn down
        throw;
    }
    restore();
}
