#include "controls/styled_speed_button.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"

TLbSpeedButton::TLbSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner)
    , FGlyph(std::make_unique<TBitmap>())
    , FHTFont(std::make_unique<TFont>())
{
    SetControlStyle((ControlStyle() | csSetCaption) & ~csOpaque);
    SetBounds(Left(), Top(), 100, 23);
    SetParentColor(true);
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner))
        FHTFont->Assign(*form->Font());
}

TLbSpeedButton::~TLbSpeedButton() = default;

void TLbSpeedButton::Changed()
{
    if (FTransparent)
        Invalidate();
    else
        Repaint();
}

bool TLbSpeedButton::Reachable() const
{
    return Enabled() && Visible() && Parent() && Parent()->Showing();
}

void TLbSpeedButton::SetAlignment(TAlignment value)
{
    FAlignment = value;
    Changed();
}

void TLbSpeedButton::SetColorWhenDown(TColor value)
{
    FColorWhenDown = value;
    Changed();
}

void TLbSpeedButton::SetFlat(bool value)
{
    FFlat = value;
    Changed();
}

void TLbSpeedButton::SetWordWrap(bool value)
{
    FWordWrap = value;
    Changed();
}

void TLbSpeedButton::SetGroupIndex(int value)
{
    FGroupIndex = value;
    Changed();
}

void TLbSpeedButton::SetLayout(TLbSpeedButtonLayout value)
{
    FLayout = value;
    Changed();
}

void TLbSpeedButton::SetLightColor(TColor value)
{
    FLightColor = value;
    Changed();
}

void TLbSpeedButton::SetShadowColor(TColor value)
{
    FShadowColor = value;
    Changed();
}

void TLbSpeedButton::SetNumGlyphs(int value)
{
    FNumGlyphs = value;
    Invalidate();
}

void TLbSpeedButton::SetGlyph(const TBitmap* value)
{
    FNumGlyphs = AssignLbGlyph(*FGlyph, value);
    Invalidate();
}

void TLbSpeedButton::SetStyle(TLbSpeedButtonStyle value)
{
    if (value == bsModern)
        FAlignment = taCenter;
    // Gradients need more than a palette screen.
    if (value == bsModern && Screen()->BitsPerPixel() <= 8 && !(ComponentState() & csDesigning))
        value = bsNormal;
    FStyle = value;
    Invalidate();
}

void TLbSpeedButton::SetTransparent(bool value)
{
    FTransparent = value;
    if (value)
        Invalidate();
    else
        Repaint();
}

void TLbSpeedButton::SetColorStyle(TLbColorStyle value)
{
    const std::optional<TLbColorStyleColors> preset = GetColorStyleColors(value);
    if (!preset)
        return;
    SetColor(preset->Color);
    FLightColor = preset->LightColor;
    FFlat = preset->Flat;
    FHotTrackColor = preset->HotTrackColor;
    FColorWhenDown = preset->ColorWhenDown;
    FShadowColor = preset->ShadowColor;
    SetStyle(preset->Style == bsModern ? bsModern : bsNormal);
    Repaint();
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
                other->Changed();
            }
        }
    }
    FDown = value;
    Changed();
}

TLbButtonFace TLbSpeedButton::Face() const
{
    TLbButtonFace f;
    f.Width = Width();
    f.Height = Height();
    f.Alignment = FAlignment;
    f.Caption = Caption();
    f.Layout = FLayout;
    f.Font = bCursorOnButton && FUseHTFont ? FHTFont.get() : Font();
    f.ShadowColor = FShadowColor;
    f.LightColor = FLightColor;
    f.HotTrackColor = FHotTrackColor;
    f.ColorWhenDown = FColorWhenDown;
    f.Color = Color();
    f.Style = FStyle;
    f.HasPopup = PopupMenu() != nullptr;
    f.WordWrap = FWordWrap;
    f.Flat = FFlat;
    f.Enabled = Enabled();
    f.Transparent = FTransparent;
    f.Hovered = bCursorOnButton;
    f.Down = FDown;
    f.Glyph = FGlyph.get();
    f.NumGlyphs = FNumGlyphs;
    f.HotTrackStep = FHotTrackStep;
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

void TLbSpeedButton::CMMouseEnter(TMessage&)
{
    if (!Reachable())
        return;
    if (SetLbHover(true, bCursorOnButton, FHotTrackStep, FHotTrackColor, FUseHTFont))
        Changed();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TLbSpeedButton::CMMouseLeave(TMessage&)
{
    if (SetLbHover(false, bCursorOnButton, FHotTrackStep, FHotTrackColor, FUseHTFont))
        Changed();
    if (Reachable() && OnMouseExit)
        OnMouseExit(this);
}

void TLbSpeedButton::CMDialogChar(TMessage& Message)
{
    if (!IsAccel(QChar(char16_t(Message.WParam)), Caption()) || !Reachable())
        return;
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
    Message.Result = 1;
}
