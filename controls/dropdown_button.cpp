#include "controls/dropdown_button.h"

#include "controls/control_utils.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"

namespace {

// The colour a copied action image is keyed on.
constexpr TColor kCopyKey = 0x00FF00FF;

// How long a press by program shows the button down, in milliseconds.
constexpr quint32 kProgrammaticPressTicks = 20;

// Blocks on purpose, on the tick counter: a press by program has clicked when
// the call returns, as its callers expect of a click (the modal result is set,
// the command has run), so a timer that clicks later would not do; and the
// wait is short enough not to be felt. Tests pass the time through the
// injectable counter instead of waiting. A counter that wraps ends the wait.
void WaitTicks(quint32 ticks)
{
    const quint32 start = GetTickCount();
    for (;;) {
        const quint32 now = GetTickCount();
        if (now < start || now - start >= ticks)
            return;
    }
}

} // namespace

TGlyphSpeedButton::TGlyphSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner)
    , FGlyph(std::make_unique<TButtonGlyph>())
    , FDrawImage(std::make_unique<TBitmap>())
{
    // No automatic click events: the button decides itself when it clicks.
    SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks | csReplicatable);
    SetBounds(Left(), Top(), 25, 25);
    SetShowHint(true);
    FGlyph->OnChange = [this] { Invalidate(); };
}

TGlyphSpeedButton::~TGlyphSpeedButton()
{
    FGlyph->OnChange = nullptr;
    delete FRepeatTimer;
}

// --- properties ---

void TGlyphSpeedButton::SetAlignment(TAlignment value)
{
    if (value == FGlyph->Alignment())
        return;
    FGlyph->SetAlignment(value);
    Invalidate();
}

void TGlyphSpeedButton::SetAllowAllUp(bool value)
{
    if (value == FAllowAllUp)
        return;
    FAllowAllUp = value;
    BroadcastGroupPress();
}

void TGlyphSpeedButton::SetAllowTimer(bool value)
{
    FAllowTimer = value;
    if (!value && FRepeatTimer) {
        delete FRepeatTimer;
        FRepeatTimer = nullptr;
    }
}

void TGlyphSpeedButton::SetGroupIndex(int value)
{
    if (value == FGroupIndex)
        return;
    FGroupIndex = value;
    BroadcastGroupPress();
}

void TGlyphSpeedButton::SetDropDownMenu(TPopupMenu* value)
{
    if (value == FDropDownMenu)
        return;
    FDropDownMenu = value;
    if (FMarkDropDown)
        Invalidate();
}

void TGlyphSpeedButton::SetFlat(bool value)
{
    if (value == FFlat)
        return;
    FFlat = value;
    Invalidate();
}

void TGlyphSpeedButton::SetFlatStandard(bool value)
{
    if (value == FFlatStandard)
        return;
    FFlatStandard = value;
    Invalidate();
}

void TGlyphSpeedButton::SetGlyph(const TBitmap* value)
{
    FGlyph->SetGlyph(value);
    Invalidate();
}

void TGlyphSpeedButton::SetGrayedInactive(bool value)
{
    if (value == FInactiveGrayed)
        return;
    FInactiveGrayed = value;
    Invalidate();
}

void TGlyphSpeedButton::SetLayout(TButtonLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    Invalidate();
}

void TGlyphSpeedButton::SetMargin(int value)
{
    if (value < -1 || value == FMargin)
        return;
    FMargin = value;
    Invalidate();
}

void TGlyphSpeedButton::SetMarkDropDown(bool value)
{
    if (value == FMarkDropDown)
        return;
    FMarkDropDown = value;
    Invalidate();
}

void TGlyphSpeedButton::SetNumGlyphs(int value)
{
    value = std::min(value, 5);
    if (value == FGlyph->NumGlyphs())
        return;
    FGlyph->SetNumGlyphs(value);
    Invalidate();
}

void TGlyphSpeedButton::SetSpacing(int value)
{
    if (value == FSpacing)
        return;
    FSpacing = value;
    Invalidate();
}

void TGlyphSpeedButton::SetStyle(TButtonStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Invalidate();
}

void TGlyphSpeedButton::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Invalidate();
}

void TGlyphSpeedButton::SetWordWrap(bool value)
{
    if (value == FGlyph->WordWrap())
        return;
    FGlyph->SetWordWrap(value);
    Invalidate();
}

TCustomAction* TGlyphSpeedButton::Action() const
{
    return ControlAction(this);
}

void TGlyphSpeedButton::SetAction(TCustomAction* value)
{
    TControlActionLink* link = ControlActionLink(this);
    if (!link) {
        if (!value)
            return;
        link = new TControlActionLink(this);
    }
    link->OnActionChange = [this](TCustomAction* action, bool checkDefaults) { ActionChanged(action, checkDefaults); };
    link->SetAction(value);
}

void TGlyphSpeedButton::ActionChanged(TCustomAction* Action, bool CheckDefaults)
{
    if (FGroupIndex != 0 && (!CheckDefaults || !FDown))
        SetDown(Action->Checked());
    TActionList* list = Action->ActionList();
    TImageList* images = list ? list->Images() : nullptr;
    if (FGlyph->Glyph()->Empty() && images && Action->ImageIndex() >= 0 && Action->ImageIndex() < images->Count()) {
        TBitmap image(images->Width(), images->Height());
        image.Canvas()->FillSolidRect(QRect(0, 0, images->Width(), images->Height()), kCopyKey);
        images->Draw(*image.Canvas(), 0, 0, Action->ImageIndex());
        image.SetTransparentColor(kCopyKey);
        SetGlyph(&image);
    }
}

void TGlyphSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropDownMenu)
        SetDropDownMenu(nullptr);
}

void TGlyphSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
    PrepareGlyph();
}

void TGlyphSpeedButton::PrepareGlyph()
{
    FGlyph->MakeStateGlyph(!Enabled() ? rbsDisabled : FFlat ? rbsInactive : rbsUp);
}

// --- painting ---

TBitmap& TGlyphSpeedButton::PatternBitmap()
{
    // The checkered face of a held button: button face and highlight.
    if (!FPattern) {
        FPattern = std::make_unique<TBitmap>(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                FPattern->Canvas()->SetPixels(x, y, (x + y) % 2 ? clBtnHighlight : clBtnFace);
    }
    return *FPattern;
}

void TGlyphSpeedButton::Paint()
{
    if (!Enabled()) {
        FState = rbsDisabled;
        FDragging = false;
    } else if (FState == rbsDisabled) {
        FState = FDown && FGroupIndex != 0 ? rbsExclusive : rbsUp;
    }
    TSpeedButtonState drawn = FState;
    if (FFlat && !FMouseInControl && !(ComponentState() & csDesigning))
        drawn = rbsInactive;
    if (Width() <= 0 || Height() <= 0)
        return;

    FDrawImage->SetSize(Width(), Height());
    TCanvas& canvas = *FDrawImage->Canvas();
    canvas.Font()->Assign(*Font());
    canvas.FillSolidRect(ClientRect(), clBtnFace);
    if (FTransparent)
        PaintParentBackground(this, canvas);

    const bool pressed = FState == rbsDown || FState == rbsExclusive;
    QRect content;
    if (drawn != rbsInactive || FState == rbsExclusive)
        content = PaintButtonFrame(canvas, ClientRect(), pressed, FFlat, FStyle);
    else
        content = ClientRect().adjusted(2, 2, -2, -2);

    if (FState == rbsExclusive && !FTransparent && (!FFlat || drawn == rbsInactive)) {
        canvas.Brush()->SetBitmap(&PatternBitmap());
        canvas.FillRect(content.adjusted(-1, -1, 1, 1));
        canvas.Brush()->SetBitmap(nullptr);
    }
    if (pressed)
        content.translate(1, 1);

    const TSpeedButtonState glyphState = FState != rbsDisabled && FInactiveGrayed ? drawn : FState;
    DrawContent(canvas, content, FMarkDropDown && FDropDownMenu, glyphState);
    Canvas()->Draw(0, 0, *FDrawImage);
}

void TGlyphSpeedButton::DrawContent(TCanvas& Canvas, const QRect& Rect, bool DrawMark, TSpeedButtonState State)
{
    if (FFlatStandard && State == rbsInactive)
        State = rbsExclusive;
    unsigned flags = DT_CENTER;
    if (FGlyph->Alignment() == taLeftJustify)
        flags = DT_LEFT;
    else if (FGlyph->Alignment() == taRightJustify)
        flags = DT_RIGHT;
    FGlyph->Draw(Canvas, Rect, Caption(), FLayout, FMargin, FSpacing, DrawMark, State, flags);
}

// --- the group ---

void TGlyphSpeedButton::SetDown(bool value)
{
    if (FGroupIndex == 0)
        value = false;
    // The down button of a group is raised only by another going down,
    // unless all may be up.
    if (value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = value;
    if (value) {
        if (FState == rbsUp)
            Invalidate();
        FState = rbsExclusive;
    } else {
        FState = rbsUp;
    }
    Repaint();
    if (value)
        BroadcastGroupPress();
    Invalidate();
}

void TGlyphSpeedButton::BroadcastGroupPress()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    TMessage message { CM_BUTTONPRESSED, FGroupIndex, qintptr(static_cast<TControl*>(this)), 0 };
    Parent()->Broadcast(message);
}

void TGlyphSpeedButton::ButtonPressed(TMessage& Message)
{
    if (Message.WParam != FGroupIndex || !Parent() || !Parent()->HandleAllocated())
        return;
    auto* sender = dynamic_cast<TGlyphSpeedButton*>(reinterpret_cast<TControl*>(Message.LParam));
    if (!sender || sender == this)
        return;
    if (sender->FDown && FDown) {
        FDown = false;
        FState = rbsUp;
        Repaint();
    }
    FAllowAllUp = sender->FAllowAllUp;
}

void TGlyphSpeedButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_BUTTONPRESSED) {
        ButtonPressed(Message);
        return;
    }
    TGraphicControl::WndProc(Message);
}

// --- the mouse ---

bool TGlyphSpeedButton::Inside(int X, int Y) const
{
    // The row just below the button still counts, as it always has.
    return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
}

QPoint TGlyphSpeedButton::DropDownMenuPoint() const
{
    if (!FDropDownMenu)
        return QPoint(0, 0);
    const TPopupAlignment alignment = FDropDownMenu->Alignment();
    if (FMenuPosition == dmpBottom) {
        if (alignment == paLeft)
            return QPoint(-1, Height());
        if (alignment == paRight)
            return QPoint(Width() + 1, Height());
        return QPoint(Width() / 2, Height());
    }
    if (alignment == paLeft)
        return QPoint(Width(), -1);
    if (alignment == paRight)
        return QPoint(-1, -1);
    return QPoint(Width() / 2, Height());
}

bool TGlyphSpeedButton::ShowDropDownMenu(QPoint point, bool manual)
{
    if ((ComponentState() & csDesigning) || !FDropDownMenu || (!manual && !FDropDownMenu->AutoPopup()))
        return false;
    if (TCustomForm* form = GetParentForm())
        form->Perform(WM_CANCELMODE);
    FDropDownMenu->SetPopupComponent(this);
    const QPoint at = ClientToScreen(point);
    FDropDownMenu->Popup(at.x(), at.y());
    return true;
}

bool TGlyphSpeedButton::CheckBtnMenuDropDown()
{
    return ShowDropDownMenu(DropDownMenuPoint(), true);
}

void TGlyphSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // A press while the menu of an earlier press is open belongs to the menu.
    if (FMenuTracking)
        return;
    const std::weak_ptr<bool> alive = AliveToken();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (alive.expired())
        return;
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        Repaint();
    }
    if (Button == mbLeft && Enabled()) {
        if (!FDown) {
            FState = rbsDown;
            Repaint();
        }
        FDragging = true;
        FMenuTracking = true;
        bool shown = false;
        try {
            shown = ShowDropDownMenu(DropDownMenuPoint(), false);
            if (alive.expired())
                return;
            if (shown) {
                // The menu took the mouse: nothing more arrives for this press.
                SetMouseCapture(false);
                FinishMouseTracking(Button, Shift, X, Y);
                if (alive.expired())
                    return;
                // The click that closed the menu over the button does not press it again.
                const QRect area(ClientToScreen(QPoint(0, 0)), QSize(Width(), Height() + 1));
                const auto over = [area](const QPoint& at) { return area.contains(at); };
                QWidget* window = Parent() ? Parent()->Handle() : nullptr;
                if (!DropPendingMessage(window, WM_LBUTTONDOWN, over))
                    DropPendingMessage(window, WM_LBUTTONDBLCLK, over);
            }
        } catch (...) {
            // Raised on, with the menu no longer tracked.
            if (!alive.expired())
                FMenuTracking = false;
            throw;
        }
        if (alive.expired())
            return;
        FMenuTracking = false;
        if (FAllowTimer && !shown) {
            if (!FRepeatTimer)
                FRepeatTimer = new TTimer(this);
            FRepeatTimer->SetInterval(FInitRepeatPause);
            FRepeatTimer->OnTimer = [this](TObject*) { RepeatTimerTick(); };
            FRepeatTimer->SetEnabled(true);
        }
    }
    if ((Shift & ssDouble) && Button == mbLeft && FDown)
        DblClick();
    if (Button == mbRight && !alive.expired())
        UpdateTracking();
}

void TGlyphSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    const TSpeedButtonState state = FDown ? rbsExclusive : Inside(X, Y) ? rbsDown : rbsUp;
    if (state != FState) {
        FState = state;
        Repaint();
    }
}

void TGlyphSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const std::weak_ptr<bool> alive = AliveToken();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (alive.expired())
        return;
    FinishMouseTracking(Button, Shift, X, Y);
    if (!alive.expired() && FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TGlyphSpeedButton::FinishMouseTracking(TMouseButton Button, TShiftState, int X, int Y)
{
    const std::weak_ptr<bool> alive = AliveToken();
    if (Button == mbLeft && FDragging) {
        FDragging = false;
        const bool inside = Inside(X, Y);
        if (FGroupIndex == 0) {
            FState = rbsUp;
            FMouseInControl = false;
            if (inside)
                Repaint();
            else
                Invalidate();
        } else if (inside) {
            SetDown(!FDown);
            if (FDown)
                Repaint();
        } else {
            if (FDown)
                FState = rbsExclusive;
            Repaint();
        }
        if (inside && !FMenuTracking)
            Click();
    }
    if (!alive.expired())
        UpdateTracking();
}

void TGlyphSpeedButton::RepeatTimerTick()
{
    FRepeatTimer->SetInterval(FRepeatPause);
    if (FState == rbsDown && MouseCapture()) {
        try {
            Click();
        } catch (...) {
            // Raised on, once: the repeat stops with it.
            FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

void TGlyphSpeedButton::Click()
{
    if (TCustomForm* form = GetParentForm())
        form->SetModalResult(FModalResult);
    TGraphicControl::Click();
}

void TGlyphSpeedButton::ButtonClick()
{
    if (FMenuTracking || !Enabled() || (FDropDownMenu && FDropDownMenu->AutoPopup()))
        return;
    const bool grouped = FGroupIndex != 0;
    try {
        if (!FDown) {
            FState = rbsDown;
            Repaint();
        }
        WaitTicks(kProgrammaticPressTicks);
        if (!grouped)
            Click();
    } catch (...) {
        // Raised on, with the button drawn up again.
        FState = rbsUp;
        if (grouped)
            SetDown(!FDown);
        else
            Repaint();
        throw;
    }
    FState = rbsUp;
    if (grouped) {
        SetDown(!FDown);
        Click();
    } else {
        Repaint();
    }
}

// --- hover ---

void TGlyphSpeedButton::SetMouseInControl(bool value)
{
    if (value == FMouseInControl)
        return;
    FMouseInControl = value;
    if (value) {
        if (FFlat)
            Repaint();
        if (OnMouseEnter)
            OnMouseEnter(this);
    } else {
        if (FFlat)
            Invalidate();
        if (OnMouseLeave)
            OnMouseLeave(this);
    }
}

void TGlyphSpeedButton::UpdateTracking()
{
    SetMouseInControl(Enabled() && FindDragTarget(Screen()->CursorPos(), true) == this && AppIsForeground());
}

void TGlyphSpeedButton::CMMouseEnter(TMessage&)
{
    if (!FMouseInControl && Enabled() && AppIsForeground())
        SetMouseInControl(true);
}

void TGlyphSpeedButton::CMMouseLeave(TMessage&)
{
    if (FMouseInControl && Enabled() && !FDragging)
        SetMouseInControl(false);
}

// --- other notifications ---

void TGlyphSpeedButton::CMEnabledChanged(TMessage&)
{
    PrepareGlyph();
    UpdateTracking();
    Repaint();
}

void TGlyphSpeedButton::CMVisibleChanged(TMessage& Message)
{
    if (Message.WParam)
        UpdateTracking();
}

void TGlyphSpeedButton::CMDialogChar(TMessage& Message)
{
    if (IsAccel(QChar(char16_t(Message.WParam)), Caption()) && Enabled()) {
        Click();
        Message.Result = 1;
    }
}

void TGlyphSpeedButton::CMSysColorChange(TMessage&)
{
    FGlyph->Invalidate();
    Invalidate();
}
