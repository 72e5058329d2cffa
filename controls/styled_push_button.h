#pragma once

// TLbButton: a focusable push button with a window of its own that paints
// through the shared face painter, presses with the mouse, Enter and Space,
// shows a focus rectangle, answers Enter as a default button and Esc as a
// cancel button, hands its modal result to the form, and can load a preset
// caption, glyph and modal result by kind.

#include "controls/button_styles.h"
#include "controls/styled_button_base.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

#include <QString>

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

class TLbButton : public TLbButtonBase<TCustomControl> {
public:
    explicit TLbButton(TComponent* AOwner);
    ~TLbButton() override;

    QString ClassName() const override { return QStringLiteral("TLbButton"); }

    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool value) { FDefault = value; }
    // The button's own enabled flag: its window stays enabled, so a disabled
    // button still shows its hint, but it ignores mouse and keys and draws
    // its caption grey.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) override { ChangeFace(FEnabled, value); }
    // The button no longer follows a preset kind.
    void SetGlyph(const TBitmap* value);
    TLbButtonKind Kind() const { return FKind; }
    void SetKind(TLbButtonKind value);
    TModalResult ModalResult() const { return FModalResult; }
    // The button no longer follows a preset kind.
    void SetModalResult(TModalResult value);

    // Pressed (by the mouse or a key).
    bool IsDown() const { return FDown; }

    // The face as Paint hands it to the face painter at full size.
    TLbButtonFace Face() const;

    void Paint() override;
    // Only a pressed, visible and enabled button clicks: OnClick, its modal
    // result to the form, then its menu.
    void Click() override;

protected:
    void FaceChanged() override { Repaint(); }
    bool FaceEnabled() const override { return FEnabled; }
    // Pressed, then clicked, as a dialog key does.
    void Accelerate() override;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyUp(quint16& Key, TShiftState Shift) override;
    void CMDialogKey(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;

private:
    bool FEnabled = true;
    TLbButtonKind FKind = bkCustom;
    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
    bool FDown = false;
};
