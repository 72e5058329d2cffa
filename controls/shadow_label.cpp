#include "controls/shadow_label.h"

#include "controls/control_utils.h"
#include "platform/gui/forms.h"

#include <algorithm>

int DrawTextWithShadow(TCanvas& canvas, const QString& text, QRect& rect, unsigned flags, int size, TColor colour,
    TShadowPosition position)
{
    QRect textRect = rect;
    QRect shadowRect = rect;
    switch (position) {
    case spLeftTop: shadowRect.translate(-size, -size); break;
    case spLeftBottom: shadowRect.translate(-size, size); break;
    case spRightBottom: shadowRect.translate(size, size); break;
    case spRightTop: shadowRect.translate(size, -size); break;
    }
    const TColor previous = canvas.SetTextColor(colour);
    const int result = DrawText(canvas, text, shadowRect, flags);
    canvas.SetTextColor(previous);
    DrawText(canvas, text, textRect, flags);
    // QRect::united drops empty rectangles; the class library's union does not.
    rect = Rect(std::min(textRect.left(), shadowRect.left()), std::min(textRect.top(), shadowRect.top()),
        std::max(RectRight(textRect), RectRight(shadowRect)), std::max(RectBottom(textRect), RectBottom(shadowRect)));
    return result > 0 ? result + size : result;
}

TCustomShadowLabel::TCustomShadowLabel(TComponent* AOwner)
    : TGraphicControl(AOwner)
{
    SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
    SetBounds(Left(), Top(), 65, 17);
}

unsigned TCustomShadowLabel::AlignmentFlag() const
{
    switch (FAlignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    case taLeftJustify: break;
    }
    return DT_LEFT;
}

// --- properties ---

void TCustomShadowLabel::SetFocusControl(TWinControl* value)
{
    if (value == FFocusControl)
        return;
    if (FFocusControl)
        RemoveFreeNotification(FFocusControl);
    FFocusControl = value;
    if (value)
        FreeNotification(value);
    if (FShowFocus)
        Invalidate();
}

void TCustomShadowLabel::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    Invalidate();
}

void TCustomShadowLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    FitBoundsToText();
}

void TCustomShadowLabel::SetLayout(TTextLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    Invalidate();
}

void TCustomShadowLabel::SetShadowColor(TColor value)
{
    if (value == FShadowColor)
        return;
    FShadowColor = value;
    Invalidate();
}

void TCustomShadowLabel::SetShadowSize(quint8 value)
{
    if (value == FShadowSize)
        return;
    FShadowSize = value;
    FitBoundsToText();
    Invalidate();
}

void TCustomShadowLabel::SetShadowPos(TShadowPosition value)
{
    if (value == FShadowPos)
        return;
    FShadowPos = value;
    Invalidate();
}

void TCustomShadowLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    FitBoundsToText();
}

void TCustomShadowLabel::SetShowAccelChar(bool value)
{
    if (value == FShowAccelChar)
        return;
    FShowAccelChar = value;
    Invalidate();
}

void TCustomShadowLabel::SetShowFocus(bool value)
{
    if (value == FShowFocus)
        return;
    FShowFocus = value;
    Invalidate();
}

void TCustomShadowLabel::SetTransparent(bool value)
{
    if (value == Transparent())
        return;
    SetControlStyle(value ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
    Invalidate();
}

void TCustomShadowLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        SetFocusControl(nullptr);
}

// --- drawing ---

int TCustomShadowLabel::DrawLabelText(QRect& rect, unsigned flags)
{
    QString text = LabelText();
    // An empty label still measures one line high.
    if ((flags & DT_CALCRECT) && (text.isEmpty() || (FShowAccelChar && text == QStringLiteral("&"))))
        text += u' ';
    if (!FShowAccelChar)
        flags |= DT_NOPREFIX;
    TCanvas& canvas = *Canvas();
    canvas.Font()->Assign(*Font());
    TColor textColor = CurrentTextColor();
    TShadowPosition position = FShadowPos;
    int size = FShadowSize;
    TColor shadow = FShadowColor;
    if (!Enabled()) {
        // Disabled text looks engraved: grey with a highlight below and right.
        if (size == 0 && NewStyleControls) {
            position = spRightBottom;
            size = 1;
        }
        textColor = clGrayText;
        shadow = clBtnHighlight;
    }
    canvas.Font()->SetColor(textColor);
    return DrawTextWithShadow(canvas, text, rect, flags, size, ColorToRGB(shadow), position);
}

void TCustomShadowLabel::Paint()
{
    const bool designing = ComponentState() & csDesigning;
    if (!Enabled() && !designing)
        FDragging = false;
    TCanvas& canvas = *Canvas();
    const QRect client = ClientRect();
    if (!Transparent())
        canvas.FillSolidRect(client, Color());
    canvas.Brush()->SetStyle(bsClear);
    QRect rect
        = Rect(client.left() + FLeftMargin + 1, client.top(), RectRight(client) - FRightMargin - 1, RectBottom(client));
    const unsigned flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | AlignmentFlag();
    if (FLayout == tlCenter || FLayout == tlBottom) {
        QRect measured = rect;
        DrawLabelText(measured, flags | DT_CALCRECT);
        measured
            = Rect(client.left() + FLeftMargin, measured.top(), RectRight(client) - FRightMargin, RectBottom(measured));
        int offset = Height() - RectBottom(measured);
        if (FLayout == tlCenter)
            offset /= 2;
        rect = measured.translated(0, offset);
    }
    DrawLabelText(rect, flags);
    if (FShowFocus && FFocusControl && FFocused && !designing) {
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(Color());
        canvas.DrawFocusRect(rect.adjusted(-1, 0, 1, 0));
    }
}

void TCustomShadowLabel::FitBoundsToText()
{
    if (!FAutoSize)
        return;
    QRect rect = Rect(FLeftMargin + 1, 0, Width() - FRightMargin - 1, Height());
    DrawLabelText(rect, DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0));
    const int right = RectRight(rect) + FRightMargin + 1;
    const int bottom = RectBottom(rect);
    int left = Left();
    if (FAlignment == taRightJustify)
        left += Width() - right;
    SetBounds(left, Top(), right, bottom);
}

// --- notifications ---

void TCustomShadowLabel::CMTextChanged(TMessage&)
{
    Invalidate();
    FitBoundsToText();
}

void TCustomShadowLabel::CMFontChanged(TMessage& Message)
{
    TGraphicControl::CMFontChanged(Message);
    FitBoundsToText();
}

void TCustomShadowLabel::CMFocusChanged(TMessage& Message)
{
    const bool focused = FFocusControl && reinterpret_cast<TWinControl*>(Message.LParam) == FFocusControl;
    if (focused != FFocused) {
        FFocused = focused;
        if (FShowFocus)
            Invalidate();
    }
    TGraphicControl::CMFocusChanged(Message);
}

void TCustomShadowLabel::CMDialogChar(TMessage& Message)
{
    if (!FFocusControl || !Enabled() || !FShowAccelChar || !IsAccel(QChar(char16_t(Message.WParam)), LabelText()))
        return;
    if (FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

// --- the mouse ---

void TCustomShadowLabel::SetMouseInControl(bool value)
{
    if (value == FMouseInControl)
        return;
    FMouseInControl = value;
    if (value && OnMouseEnter)
        OnMouseEnter(this);
    else if (!value && OnMouseLeave)
        OnMouseLeave(this);
}

void TCustomShadowLabel::RecheckMouseInside()
{
    SetMouseInControl(Enabled() && FindDragTarget(Screen()->CursorPos(), true) == this && AppIsForeground());
}

void TCustomShadowLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled())
        FDragging = true;
    if (Button == mbRight)
        RecheckMouseInside();
}

void TCustomShadowLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft)
        FDragging = false;
    RecheckMouseInside();
}

void TCustomShadowLabel::CMMouseEnter(TMessage&)
{
    if (!FMouseInControl && Enabled() && AppIsForeground())
        SetMouseInControl(true);
}

void TCustomShadowLabel::CMMouseLeave(TMessage&)
{
    // A press dragged off the label reports the leave on release.
    if (FMouseInControl && Enabled() && !FDragging)
        SetMouseInControl(false);
}

void TCustomShadowLabel::CMEnabledChanged(TMessage& Message)
{
    TGraphicControl::CMEnabledChanged(Message);
    RecheckMouseInside();
}

void TCustomShadowLabel::CMVisibleChanged(TMessage& Message)
{
    TGraphicControl::CMVisibleChanged(Message);
    if (Message.WParam)
        RecheckMouseInside();
}
