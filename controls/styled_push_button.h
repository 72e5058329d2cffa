#pragma once

// TLbButton: a focusable push button with a window of its own that paints
// through the shared face painter, presses with the mouse, Enter and Space,
// shows a focus rectangle, answers Enter as a default button and Esc as a
// cancel button, hands its modal result to the form, and can load a preset
// caption, glyph and modal result by kind.

#include "controls/button_styles.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

#include <QString>

#include <memory>
#include <optional>

class TBitmap;

enum TLbButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// What a preset kind loads: the program picture of its glyph (two images,
// normal and disabled), its caption and its modal result.
struct TLbButtonKindPreset {
    QString Glyph;
    QString Caption;
    TModalResult ModalResult;
};

// The preset of a kind; none for bkCustom.
std::optional<TLbButtonKindPreset> LbButtonKindPreset(TLbButtonKind kind);

class TLbButton : public TCustomControl {
public:
    explicit TLbButton(TComponent* AOwner);
    ~TLbButton() override;

    QString ClassName() const override { return QStringLiteral("TLbButton"); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }
    // Applies a preset; always reads lcsCustom, as nothing of it is kept.
    TLbColorStyle ColorStyle() const { return FDummyStyle; }
    void SetColorStyle(TLbColorStyle value);
    TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(TColor value) { FColorWhenDown = value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool value) { FDefault = value; }
    // The button's own enabled flag: its window stays enabled, so a disabled
    // button still shows its hint, but it ignores mouse and keys and draws
    // its caption grey.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) override;
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    // Copies the strip and counts its square images; nullptr empties it.
    // The button no longer follows a preset kind.
    void SetGlyph(const TBitmap* value);
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor value) { FHotTrackColor = value; }
    TFont* HotTrackFont() const { return FHTFont.get(); }
    void SetHotTrackFont(const TFont& value) { FHTFont->Assign(value); }
    TLbButtonKind Kind() const { return FKind; }
    void SetKind(TLbButtonKind value);
    TLbButtonLayout Layout() const { return FLayout; }
    void SetLayout(TLbButtonLayout value);
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor value);
    TModalResult ModalResult() const { return FModalResult; }
    // The button no longer follows a preset kind.
    void SetModalResult(TModalResult value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    TLbButtonStyle Style() const { return FStyle; }
    void SetStyle(TLbButtonStyle value);
    bool UseHotTrackFont() const { return FUseHTFont; }
    void SetUseHotTrackFont(bool value) { FUseHTFont = value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

    // Pressed (by the mouse or a key) and hovered.
    bool IsDown() const { return bDown; }
    bool CursorOnButton() const { return bCursorOnButton; }
    int HotTrackStep() const { return FHotTrackStep; }

    // The face as Paint hands it to the face painter at full size.
    TLbButtonFace Face() const;

    void Paint() override;
    // Only a pressed, visible and enabled button clicks: OnClick, its modal
    // result to the form, then its menu.
    void Click() override;

    // OnMouseEnter (of TControl) and this one report hovering.
    TNotifyEvent OnMouseExit;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyUp(quint16& Key, TShiftState Shift) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;

private:
    bool Reachable() const;
    // Pressed, then clicked, as an accelerator or a dialog key does.
    void PressAndClick();

    TAlignment FAlignment = taCenter;
    TColor FShadowColor = 0x00808080;
    TColor FColorWhenDown = clNone;
    bool FEnabled = true;
    bool FFlat = false;
    bool FWordWrap = false;
    std::unique_ptr<TBitmap> FGlyph;
    TColor FHotTrackColor = clNone;
    std::unique_ptr<TFont> FHTFont;
    TLbButtonKind FKind = bkCustom;
    TLbButtonLayout FLayout = blGlyphLeft;
    TColor FLightColor = 0x00FFFFFF;
    TModalResult FModalResult = mrNone;
    int FNumGlyphs = 0;
    bool FUseHTFont = false;
    TLbColorStyle FDummyStyle = lcsCustom;
    TLbButtonStyle FStyle = bsNormal;
    bool FDefault = false;
    bool FCancel = false;
    bool bDown = false;
    bool bCursorOnButton = false;
    int FHotTrackStep = 0;
};
