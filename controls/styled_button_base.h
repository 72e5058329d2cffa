#pragma once

// TLbButtonBase: what the styled push button (a window of its own) and the
// styled speed button (windowless) share above their different control
// bases: the face's properties, the colour presets, hot tracking and the
// accelerator. Each button says how it repaints after a change, when it
// counts as enabled and what its accelerator does; the face it paints comes
// from BaseFace plus its own pressed and transparent states.

#include "controls/button_styles.h"
#include "platform/gui/controls.h"

#include <memory>

class TBitmap;

template <class TBase> class TLbButtonBase : public TBase {
public:
    ~TLbButtonBase() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value) { ChangeFace(FAlignment, value); }
    TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(TColor value) { ChangeFace(FColorWhenDown, value); }
    // Applies a preset; always reads lcsCustom, as nothing of it is kept.
    TLbColorStyle ColorStyle() const { return lcsCustom; }
    void SetColorStyle(TLbColorStyle value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value) { ChangeFace(FFlat, value); }
    TBitmap* Glyph() const { return FGlyph.get(); }
    // Copies the strip and counts its square images; nullptr empties it.
    void SetGlyph(const TBitmap* value);
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor value) { FHotTrackColor = value; }
    TFont* HotTrackFont() const { return FHTFont.get(); }
    void SetHotTrackFont(const TFont& value) { FHTFont->Assign(value); }
    TLbButtonLayout Layout() const { return FLayout; }
    void SetLayout(TLbButtonLayout value) { ChangeFace(FLayout, value); }
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor value) { ChangeFace(FLightColor, value); }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value) { ChangeFace(FShadowColor, value); }
    TLbButtonStyle Style() const { return FStyle; }
    virtual void SetStyle(TLbButtonStyle value);
    bool UseHotTrackFont() const { return FUseHTFont; }
    void SetUseHotTrackFont(bool value) { FUseHTFont = value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value) { ChangeFace(FWordWrap, value); }

    // The mouse is over the button, and the hot-track step that follows it.
    bool CursorOnButton() const { return FCursorOnButton; }
    int HotTrackStep() const { return FHotTrackStep; }

    // OnMouseEnter (of TControl) and this one report hovering.
    TNotifyEvent OnMouseExit;

protected:
    // The hot-track font starts as the owning form's font.
    TLbButtonBase(TComponent* AOwner, TAlignment alignment, TColor shadowColor);

    // Shows a changed face.
    virtual void FaceChanged() = 0;
    // Sets a property the face is drawn from and shows it, when it changes.
    template <class T> void ChangeFace(T& field, T value)
    {
        if (value == field)
            return;
        field = value;
        FaceChanged();
    }
    // Whether the button takes the mouse and keys.
    virtual bool FaceEnabled() const = 0;
    // What the accelerator does once it matched a reachable button.
    virtual void Accelerate() = 0;

    // Enabled, visible and on a showing parent.
    bool Reachable() const;
    // The face as the properties give it, hovered or not; the caller adds
    // whether it is down and transparent.
    TLbButtonFace BaseFace(bool hovered) const;

    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;

    TAlignment FAlignment;
    TColor FShadowColor;
    TColor FColorWhenDown = clNone;
    bool FFlat = false;
    bool FWordWrap = false;
    std::unique_ptr<TBitmap> FGlyph;
    TColor FHotTrackColor = clNone;
    std::unique_ptr<TFont> FHTFont;
    TLbButtonLayout FLayout = blGlyphLeft;
    TColor FLightColor = 0x00FFFFFF;
    int FNumGlyphs = 0;
    bool FUseHTFont = false;
    TLbButtonStyle FStyle = bsNormal;
    bool FCursorOnButton = false;
    int FHotTrackStep = 0;
};

extern template class TLbButtonBase<TCustomControl>;
extern template class TLbButtonBase<TGraphicControl>;
