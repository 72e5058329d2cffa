#pragma once

// TLbSpeedButton: a windowless tool-bar button with colour presets, five
// face styles, hot tracking, an optional hot-track font, a glyph strip, group
// behaviour and an optional drop-down menu. It paints through the shared
// face painter into an off-screen bitmap and copies that in one go.

#include "controls/button_styles.h"
#include "controls/styled_button_base.h"
#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"

class TLbSpeedButton : public TLbButtonBase<TGraphicControl> {
public:
    explicit TLbSpeedButton(TComponent* AOwner);
    ~TLbSpeedButton() override;

    QString ClassName() const override { return QStringLiteral("TLbSpeedButton"); }

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    bool Down() const { return FDown; }
    void SetDown(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { ChangeFace(FGroupIndex, value); }
    // A modern face centres the caption, and turns normal on a palette screen.
    void SetStyle(TLbSpeedButtonStyle value) override;
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value) { ChangeFace(FTransparent, value); }

    // The face as Paint hands it to the face painter.
    TLbButtonFace Face() const;

    void Paint() override;
    void Click() override;

protected:
    // A transparent button invalidates (its parent must paint first), an
    // opaque one paints at once.
    void FaceChanged() override;
    bool FaceEnabled() const override { return Enabled(); }
    // Drawn down while it clicks, then as it was.
    void Accelerate() override;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FAllowAllUp = false;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FTransparent = false;
};
