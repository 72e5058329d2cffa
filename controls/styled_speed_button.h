#pragma once

// TLbSpeedButton: a windowless tool-bar button with colour presets, five
// face styles, hot tracking, an optional hot-track font, a glyph strip, group
// behaviour and an optional drop-down menu. It paints through the shared
// face painter into an off-screen bitmap and copies that in one go.

#include "controls/button_styles.h"
#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"

#include <memory>

class TBitmap;

class TLbSpeedButton : public TGraphicControl {
public:
    explicit TLbSpeedButton(TComponent* AOwner);
    ~TLbSpeedButton() override;

    QString ClassName() const override { return QStringLiteral("TLbSpeedButton"); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(TColor value);
    // Applies a preset; always reads lcsCustom, as nothing of it is kept.
    TLbColorStyle ColorStyle() const { return FDummyStyle; }
    void SetColorStyle(TLbColorStyle value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    // Copies the strip and counts its square images; nullptr empties it.
    void SetGlyph(const TBitmap* value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor value) { FHotTrackColor = value; }
    TFont* HotTrackFont() const { return FHTFont.get(); }
    void SetHotTrackFont(const TFont& value) { FHTFont->Assign(value); }
    TLbSpeedButtonLayout Layout() const { return FLayout; }
    void SetLayout(TLbSpeedButtonLayout value);
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    TLbSpeedButtonStyle Style() const { return FStyle; }
    void SetStyle(TLbSpeedButtonStyle value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool UseHotTrackFont() const { return FUseHTFont; }
    void SetUseHotTrackFont(bool value) { FUseHTFont = value; }

    // The mouse is over the button, and the hot-track step that follows it.
    bool CursorOnButton() const { return bCursorOnButton; }
    int HotTrackStep() const { return FHotTrackStep; }

    // The face as Paint hands it to the face painter.
    TLbButtonFace Face() const;

    void Paint() override;
    void Click() override;

    // OnMouseEnter (of TControl) and this one report hovering.
    TNotifyEvent OnMouseExit;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;

private:
    // A transparent button invalidates (its parent must paint first), an
    // opaque one paints at once.
    void Changed();
    bool Reachable() const;

    TAlignment FAlignment = taLeftJustify;
    bool FAllowAllUp = false;
    TColor FColorWhenDown = clNone;
    bool FDown = false;
    bool FFlat = false;
    bool FWordWrap = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FGroupIndex = 0;
    TColor FHotTrackColor = clNone;
    std::unique_ptr<TFont> FHTFont;
    TLbSpeedButtonLayout FLayout = blGlyphLeft;
    TColor FLightColor = 0x00FFFFFF;
    int FNumGlyphs = 0;
    TColor FShadowColor = 0;
    TLbSpeedButtonStyle FStyle = bsNormal;
    bool FTransparent = false;
    bool FUseHTFont = false;
    TLbColorStyle FDummyStyle = lcsCustom;
    bool bCursorOnButton = false;
    int FHotTrackStep = 0;
};
