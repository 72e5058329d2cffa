#pragma once

// TGlyphSpeedButton: the windowless push button of the program's windows.
// Its painter draws glyph and caption into an off-screen bitmap copied to
// the parent in one go. Beyond a plain button it offers groups that stay
// down (one per group, optionally all up), a drop-down menu opened on press,
// automatic repeat while held, a flat look whose frame shows only under the
// mouse, a transparent look over the parent's background, and grey glyphs
// for flat buttons at rest.

#include "controls/glyph_painter.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"

#include <memory>

class TBitmap;
class TCustomAction;
class TPopupMenu;
class TTimer;

enum TDropDownMenuPos { dmpBottom, dmpRight };

// Sent to the siblings when a grouped button goes down: WParam the group
// index, LParam the sending control.
inline constexpr unsigned CM_BUTTONPRESSED = 0xB051;

class TGlyphSpeedButton : public TGraphicControl {
public:
    explicit TGlyphSpeedButton(TComponent* AOwner);
    ~TGlyphSpeedButton() override;

    QString ClassName() const override { return QStringLiteral("TGlyphSpeedButton"); }

    TAlignment Alignment() const { return FGlyph->Alignment(); }
    void SetAlignment(TAlignment value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* value);
    TDropDownMenuPos MenuPosition() const { return FMenuPosition; }
    void SetMenuPosition(TDropDownMenuPos value) { FMenuPosition = value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool FlatStandard() const { return FFlatStandard; }
    void SetFlatStandard(bool value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(const TBitmap* value);
    bool GrayedInactive() const { return FInactiveGrayed; }
    void SetGrayedInactive(bool value);
    unsigned InitPause() const { return FInitRepeatPause; }
    void SetInitPause(unsigned value) { FInitRepeatPause = value; }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    bool MarkDropDown() const { return FMarkDropDown; }
    void SetMarkDropDown(bool value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }
    int NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(int value);
    unsigned RepeatInterval() const { return FRepeatPause; }
    void SetRepeatInterval(unsigned value) { FRepeatPause = value; }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool WordWrap() const { return FGlyph->WordWrap(); }
    void SetWordWrap(bool value);
    TCustomAction* Action() const;
    void SetAction(TCustomAction* value);

    // The state last drawn, and whether the mouse is over the button.
    TSpeedButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    bool Dragging() const { return FDragging; }
    bool MenuTracking() const { return FMenuTracking; }
    TTimer* RepeatTimer() const { return FRepeatTimer; }
    TButtonGlyph* GlyphPainter() const { return FGlyph.get(); }

    // A press by program: down for 20 ms, then the click, before it returns.
    void ButtonClick();
    // Opens the drop-down menu even when its AutoPopup is off.
    bool CheckBtnMenuDropDown();
    // Hover from where the cursor is now.
    void UpdateTracking();
    // Where the menu opens, in client coordinates.
    QPoint DropDownMenuPoint() const;

    void Paint() override;
    void Click() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

protected:
    virtual void DrawContent(TCanvas& Canvas, const QRect& Rect, bool DrawMark, TSpeedButtonState State);
    bool ShowDropDownMenu(QPoint point, bool manual);

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMSysColorChange(TMessage& Message) override;

    TSpeedButtonState FState = rbsUp;

private:
    void FinishMouseTracking(TMouseButton Button, TShiftState Shift, int X, int Y);
    void RepeatTimerTick();
    void BroadcastGroupPress();
    void ButtonPressed(TMessage& Message);
    void PrepareGlyph();
    bool Inside(int X, int Y) const;
    void SetMouseInControl(bool value);
    void ActionChanged(TCustomAction* Action, bool CheckDefaults);
    TBitmap& PatternBitmap();

    int FGroupIndex = 0;
    TButtonStyle FStyle = bsAutoDetect;
    std::unique_ptr<TButtonGlyph> FGlyph;
    std::unique_ptr<TBitmap> FDrawImage;
    std::unique_ptr<TBitmap> FPattern;
    bool FDown = false;
    bool FDragging = false;
    bool FFlat = false;
    bool FMouseInControl = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphTop;
    int FSpacing = 1;
    int FMargin = -1;
    TModalResult FModalResult = mrNone;
    bool FTransparent = false;
    bool FMarkDropDown = true;
    TPopupMenu* FDropDownMenu = nullptr;
    TDropDownMenuPos FMenuPosition = dmpBottom;
    bool FInactiveGrayed = true;
    bool FMenuTracking = false;
    TTimer* FRepeatTimer = nullptr; // owned as a component
    bool FAllowTimer = false;
    unsigned FInitRepeatPause = 500;
    unsigned FRepeatPause = 100;
    bool FFlatStandard = false;
};
