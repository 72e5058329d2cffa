#pragma once

// A windowless label that draws its caption twice: first in a shadow colour
// moved a few pixels towards one corner, then in the font colour on top. It
// can be transparent, wrap words, size itself to its text, sit at the top,
// centre or bottom, show a focus rectangle for the control it names and
// report the mouse entering and leaving.

#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"

#include <QRect>
#include <QString>

enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// Draws text with DrawText's flags, first in colour moved size pixels towards
// position, then in the canvas's text colour. rect becomes the union of both
// rectangles (with DT_CALCRECT: the text's extent grown by the shadow).
// Returns the text height plus size (when above 0).
int DrawTextWithShadow(TCanvas& canvas, const QString& text, QRect& rect, unsigned flags, int size, TColor colour,
    TShadowPosition position);

class TCustomShadowLabel : public TGraphicControl {
public:
    explicit TCustomShadowLabel(TComponent* AOwner);

    QString ClassName() const override { return QStringLiteral("TCustomShadowLabel"); }

    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    quint8 ShadowSize() const { return FShadowSize; }
    void SetShadowSize(quint8 value);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool value);
    // Transparent exactly when the control style lacks csOpaque.
    bool Transparent() const { return !(ControlStyle() & csOpaque); }
    void SetTransparent(bool value);

    bool MouseInControl() const { return FMouseInControl; }
    bool Dragging() const { return FDragging; }

    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    virtual TColor CurrentTextColor() const { return Font()->Color(); }
    virtual QString LabelText() const { return Caption(); }

    int DrawLabelText(QRect& rect, unsigned flags);
    void FitBoundsToText();
    void RecheckMouseInside();

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;

private:
    void SetMouseInControl(bool value);
    unsigned AlignmentFlag() const;

    TWinControl* FFocusControl = nullptr;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = tlTop;
    TColor FShadowColor = clBtnHighlight;
    quint8 FShadowSize = 1;
    TShadowPosition FShadowPos = spLeftTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    bool FShowFocus = false;
    bool FFocused = false;
    bool FMouseInControl = false;
    bool FDragging = false;
    int FLeftMargin = 0;
    int FRightMargin = 0;
};

class TShadowLabel : public TCustomShadowLabel {
public:
    using TCustomShadowLabel::TCustomShadowLabel;
    QString ClassName() const override { return QStringLiteral("TShadowLabel"); }
};
