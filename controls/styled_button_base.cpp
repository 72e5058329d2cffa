#include "controls/styled_button_base.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

template <class TBase>
TLbButtonBase<TBase>::TLbButtonBase(TComponent* AOwner, TAlignment alignment, TColor shadowColor)
    : TBase(AOwner)
    , FAlignment(alignment)
    , FShadowColor(shadowColor)
    , FGlyph(std::make_unique<TBitmap>())
    , FHTFont(std::make_unique<TFont>())
{
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner))
        FHTFont->Assign(*form->Font());
}

template <class TBase> TLbButtonBase<TBase>::~TLbButtonBase() = default;

template <class TBase> bool TLbButtonBase<TBase>::Reachable() const
{
    return FaceEnabled() && this->Visible() && this->Parent() && this->Parent()->Showing();
}

template <class TBase> void TLbButtonBase<TBase>::SetNumGlyphs(int value)
{
    if (value == FNumGlyphs)
        return;
    FNumGlyphs = value;
    this->Invalidate();
}

template <class TBase> void TLbButtonBase<TBase>::SetGlyph(const TBitmap* value)
{
    // A strip cannot be compared cheaply; every call copies it.
    FNumGlyphs = AssignLbGlyph(*FGlyph, value);
    this->Invalidate();
}

template <class TBase> void TLbButtonBase<TBase>::SetStyle(TLbButtonStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    this->Invalidate();
}

template <class TBase> void TLbButtonBase<TBase>::SetColorStyle(TLbColorStyle value)
{
    const std::optional<TLbColorStyleColors> preset = GetColorStyleColors(value);
    if (!preset)
        return;
    this->SetColor(preset->Color);
    FLightColor = preset->LightColor;
    FFlat = preset->Flat;
    FHotTrackColor = preset->HotTrackColor;
    FColorWhenDown = preset->ColorWhenDown;
    FShadowColor = preset->ShadowColor;
    SetStyle(preset->Style == bsModern ? bsModern : bsNormal);
    this->Repaint();
}

template <class TBase> TLbButtonFace TLbButtonBase<TBase>::BaseFace(bool hovered) const
{
    TLbButtonFace f;
    f.Width = this->Width();
    f.Height = this->Height();
    f.Alignment = FAlignment;
    f.Caption = this->Caption();
    f.Layout = FLayout;
    f.Font = hovered && FUseHTFont ? FHTFont.get() : this->Font();
    f.ShadowColor = FShadowColor;
    f.LightColor = FLightColor;
    f.HotTrackColor = FHotTrackColor;
    f.ColorWhenDown = FColorWhenDown;
    f.Color = this->Color();
    f.Style = FStyle;
    f.HasPopup = this->PopupMenu() != nullptr;
    f.WordWrap = FWordWrap;
    f.Flat = FFlat;
    f.Enabled = FaceEnabled();
    f.Hovered = hovered;
    f.Glyph = FGlyph.get();
    f.NumGlyphs = FNumGlyphs;
    f.HotTrackStep = FHotTrackStep;
    return f;
}

template <class TBase> void TLbButtonBase<TBase>::CMMouseEnter(TMessage&)
{
    if (!Reachable())
        return;
    if (SetLbHover(true, FCursorOnButton, FHotTrackStep, FHotTrackColor, FUseHTFont))
        FaceChanged();
    if (this->OnMouseEnter)
        this->OnMouseEnter(this);
}

template <class TBase> void TLbButtonBase<TBase>::CMMouseLeave(TMessage&)
{
    if (SetLbHover(false, FCursorOnButton, FHotTrackStep, FHotTrackColor, FUseHTFont))
        FaceChanged();
    if (Reachable() && OnMouseExit)
        OnMouseExit(this);
}

template <class TBase> void TLbButtonBase<TBase>::CMDialogChar(TMessage& Message)
{
    if (!IsAccel(QChar(char16_t(Message.WParam)), this->Caption()) || !Reachable())
        return;
    Accelerate();
    Message.Result = 1;
}

template class TLbButtonBase<TCustomControl>;
template class TLbButtonBase<TGraphicControl>;
