#include "controls/month_calendar_ex.h"

#include "platform/core/sysinfo.h"

#include <algorithm>

TCPCalendarEx::TCPCalendarEx(TComponent* AOwner)
    : TCPCalendar(AOwner)
{
    fColorEmpty = Color();
    fAlignment = taCenter;
    fTextLayout = tlCenter;
    fRightMouseSelect = true;
    fDefaultHeaderHeight = DefaultRowHeight();
    fDayFormat = dfShort;
    CopyDayNames();
    UpdateCalendar();
}

void TCPCalendarEx::SetAlignment(TAlignment value)
{
    if (value == fAlignment)
        return;
    fAlignment = value;
    Invalidate();
}

void TCPCalendarEx::SetLayout(TTextLayout value)
{
    if (value == fTextLayout)
        return;
    fTextLayout = value;
    Invalidate();
}

void TCPCalendarEx::SetWordWrap(bool value)
{
    if (value == fWordWrap)
        return;
    fWordWrap = value;
    Invalidate();
}

void TCPCalendarEx::SetCellBorder(int value)
{
    if (std::max(0, value) == fCellBorder)
        return;
    fCellBorder = std::max(0, value);
    Invalidate();
}

void TCPCalendarEx::SetDayFormat(TDayFormat value)
{
    if (value == fDayFormat)
        return;
    fDayFormat = value;
    CopyDayNames();
    Invalidate();
}

void TCPCalendarEx::CopyDayNames()
{
    const auto& settings = FormatSettings();
    for (int i = 0; i < 7; ++i) {
        switch (fDayFormat) {
        case dfLong: FShortDayNamesInternal[i] = settings.LongDayNames[i]; break;
        case dfShort: FShortDayNamesInternal[i] = settings.ShortDayNames[i]; break;
        case dfUltraShort: FShortDayNamesInternal[i] = settings.ShortDayNames[i].left(1); break;
        }
    }
}

void TCPCalendarEx::SetDefaultHeaderHeight(int value)
{
    if (value == fDefaultHeaderHeight)
        return;
    fDefaultHeaderHeight = value;
    FitHeaderHeight();
}

void TCPCalendarEx::FitHeaderHeight()
{
    SetRowHeights(0, fDefaultHeaderHeight);
    const QRect client = ClientRect();
    FitCellsToSize(client.width(), client.height());
}

void TCPCalendarEx::Loaded()
{
    TCPCalendar::Loaded();
    CopyDayNames();
    FitHeaderHeight();
}

void TCPCalendarEx::SetDateElement(int Index, int Value)
{
    int y = Year(), m = Month();
    if (Index == 1 && Value >= 1 && Value <= 9999)
        y = Value;
    else if (Index == 2 && Value >= 1 && Value <= 12)
        m = Value;
    // The day must exist in the new month: raises the date error otherwise.
    if (Index == 1 || Index == 2)
        EncodeDate(y, m, Day());
    TCPCalendar::SetDateElement(Index, Value);
}

QString TCPCalendarEx::MonthName() const
{
    return FormatSettings().LongMonthNames[Month() - 1];
}

TDateTime TCPCalendarEx::GetCellDate(int ACol, int ARow) const
{
    if (ARow == 0)
        return 0;
    const QString text = GetCellText(ACol, ARow);
    return text.isEmpty() ? TDateTime(0) : EncodeDate(Year(), Month(), text.toInt());
}

void TCPCalendarEx::FitCellsToSize(int AWidth, int AHeight)
{
    // A tiny control still gets cells of one pixel.
    const int lines = 6 * GridLineWidth();
    SetDefaultColWidth(std::max(1, (AWidth - lines) / 7));
    SetDefaultRowHeight(std::max(1, (AHeight - fDefaultHeaderHeight - lines) / 6));
    SetRowHeights(0, fDefaultHeaderHeight);
}

void TCPCalendarEx::WMSize(TMessage& Message)
{
    const int w = int(Message.LParam & 0xFFFF);
    const int h = int((Message.LParam >> 16) & 0xFFFF);
    const int lines = 6 * GridLineWidth();
    SetDefaultColWidth(std::max(1, (w - lines) / 7));
    SetDefaultRowHeight(std::max(1, (h - lines) / 7));
    FitCellsToSize(w, h);
}

void TCPCalendarEx::DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState)
{
    TCanvas& canvas = *Canvas();
    const QString text = GetCellText(ACol, ARow);
    const TDayState dayState = DayStateOf(text);
    if (AState == 0 && !text.isEmpty() && dayState != TDayState::dsNormal) {
        const bool special = dayState == TDayState::dsSpecial;
        const TColor oldBrush = canvas.Brush()->Color();
        const TColor oldFont = canvas.Font()->Color();
        canvas.Brush()->SetColor(special ? SpecialBGColor() : ActiveBGColor());
        canvas.FillRect(ARect);
        canvas.Font()->SetColor(special ? SpecialColor() : ActiveColor());
        DrawCellText(ARect, text);
        canvas.Brush()->SetColor(oldBrush);
        canvas.Font()->SetColor(oldFont);
    } else if (!text.isEmpty()) {
        DrawCellText(ARect, text);
    } else if (fColorEmpty != Color()) {
        canvas.Brush()->SetColor(fColorEmpty);
        canvas.FillRect(ARect);
        canvas.Brush()->SetColor(Color());
    }
    if (OnDrawCalendarCell)
        OnDrawCalendarCell(this, &canvas, ACol, ARow, ARect, AState, text, dayState);
}

void TCPCalendarEx::DrawCellText(const QRect& Rect, const QString& Text)
{
    QRect r = Rect.adjusted(fCellBorder, fCellBorder, -fCellBorder, -fCellBorder);
    unsigned flags = (fWordWrap ? DT_WORDBREAK : 0u) | DT_EXPANDTABS;
    flags |= fAlignment == taRightJustify ? DT_RIGHT : fAlignment == taCenter ? DT_CENTER : DT_LEFT;
    const QString text = Text.isEmpty() ? QStringLiteral(" ") : Text;
    if (fTextLayout != tlTop) {
        QRect measured = r;
        DrawText(*Canvas(), text, measured, flags | DT_CALCRECT);
        const int free = r.height() - measured.height();
        r.translate(0, fTextLayout == tlBottom ? free : free / 2);
    }
    DrawText(*Canvas(), text, r, flags);
}

void TCPCalendarEx::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCPCalendar::MouseDown(Button, Shift, X, Y);
    // A read-only grid keeps its day: only the program moves it.
    if (!fRightMouseSelect || Button != mbRight || ReadOnly())
        return;
    int col = -1, row = -1;
    MouseToCell(X, Y, col, row);
    if (row < 1 || col < 0)
        return;
    const QString text = GetCellText(col, row);
    if (text.isEmpty())
        return;
    if (MoveColRow(col, row, true, true))
        SetDay(text.toInt());
}
