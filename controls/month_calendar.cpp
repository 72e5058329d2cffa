#include "controls/month_calendar.h"

#include "controls/month_grid.h"

#include "platform/core/sysinfo.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace {

QString Wrapped(const QString& list)
{
    return QLatin1Char(',') + list + QLatin1Char(',');
}

} // namespace

TCPCalendar::TCPCalendar(TComponent* AOwner)
    : TCustomGrid(AOwner)
{
    FUseCurrentDate = true;
    SetFixedCols(0);
    SetFixedRows(1);
    SetColCount(7);
    SetRowCount(7);
    SetScrollBars(ssNone);
    SetOptions((Options() & ~goRangeSelect) | goDrawFocusSelected);
    FDate = Date();
    FActiveColor = clBlue;
    FActiveBGColor = clYellow;
    FSpecialColor = clRed;
    FSpecialBGColor = clYellow;
    CopyDayNames();
    // The grid sized itself before this class could hear of it.
    const QRect client = ClientRect();
    FitMonthGridCells(*this, client.width(), client.height());
    UpdateCalendar();
    FAbout.SetText(QStringLiteral("TCPCalendar\n"
                                  "A month calendar that marks active and special days\n"
                                  "in colours of their own and lets its owner draw on every cell."));
}

TCPCalendar::~TCPCalendar() = default;

// --- date and its parts ---

void TCPCalendar::StoreDate(TDateTime value)
{
    FDate = value;
    UpdateCalendar();
}

void TCPCalendar::SetCalendarDate(TDateTime value)
{
    // A date outside the calendar would make every later paint raise.
    if (!std::isfinite(value))
        return;
    StoreDate(std::clamp(value, MinDateTime, MaxDateTime));
    DoChange();
}

int TCPCalendar::GetDateElement(int Index) const
{
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    switch (Index) {
    case 1: return y;
    case 2: return m;
    case 3: return d;
    default: return -1;
    }
}

void TCPCalendar::SetDateElement(int Index, int Value)
{
    if (Value < 1)
        return;
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    switch (Index) {
    case 1:
        if (Value > 9999 || Value == y)
            return;
        y = Value;
        break;
    case 2:
        if (Value > 12 || Value == m)
            return;
        m = Value;
        break;
    case 3:
        if (Value > ShownMonthLength() || Value == d)
            return;
        d = Value;
        break;
    default: return;
    }
    // 31 January made February keeps the month's last day, as the month step does.
    d = std::min(d, MonthLength(y, m));
    FUseCurrentDate = false;
    StoreDate(EncodeDate(y, m, d));
    DoChange();
}

void TCPCalendar::SetUseCurrentDate(bool value)
{
    if (value == FUseCurrentDate)
        return;
    FUseCurrentDate = value;
    if (value)
        StoreDate(Date());
}

void TCPCalendar::NextMonth()
{
    StepCalendarMonths(*this, 1);
}

void TCPCalendar::PrevMonth()
{
    StepCalendarMonths(*this, -1);
}

void TCPCalendar::NextYear()
{
    StepCalendarYears(*this, 1);
}

void TCPCalendar::PrevYear()
{
    StepCalendarYears(*this, -1);
}

void TCPCalendar::DoChange()
{
    if (OnChange)
        OnChange(this);
}

// --- month layout ---

bool TCPCalendar::LeapYear(int AYear) const
{
    return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0;
}

int TCPCalendar::MonthLength(int AYear, int AMonth) const
{
    static constexpr int kDays[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (AMonth < 1 || AMonth > 12)
        return 0;
    return kDays[AMonth - 1] + (AMonth == 2 && LeapYear(AYear) ? 1 : 0);
}

int TCPCalendar::ShownMonthLength() const
{
    return MonthLength(Year(), Month());
}

void TCPCalendar::UpdateCalendar()
{
    const QScopedValueRollback<bool> updating(FUpdating, true);
    FMonthOffset = MonthGridOffset(FDate, FStartOfWeek);
    const int d = Day();
    MoveColRow(MonthGridCol(FMonthOffset, d), MonthGridRow(FMonthOffset, d), false, false);
    Invalidate();
}

QString TCPCalendar::GetCellText(int ACol, int ARow) const
{
    if (ARow == 0)
        return FShortDayNamesInternal[((ACol + FStartOfWeek) % 7 + 7) % 7];
    return MonthGridDayText(FMonthOffset, ShownMonthLength(), ACol, ARow);
}

TDayState TCPCalendar::DayStateOf(const QString& text) const
{
    // An empty cell holds no day; the lists' doubled commas must not mark it.
    if (text.isEmpty())
        return TDayState::dsNormal;
    const QString key = Wrapped(text);
    if (FSpecialDays.contains(key))
        return TDayState::dsSpecial;
    if (FActiveDays.contains(key))
        return TDayState::dsActive;
    return TDayState::dsNormal;
}

void TCPCalendar::SetStartOfWeek(TDayOfWeek value)
{
    if (value < 0 || value > 6 || value == FStartOfWeek)
        return;
    FStartOfWeek = value;
    UpdateCalendar();
}

// --- marking ---

void TCPCalendar::SetActiveColor(TColor value)
{
    if (value == FActiveColor)
        return;
    FActiveColor = value;
    UpdateCalendar();
}

void TCPCalendar::SetActiveBGColor(TColor value)
{
    if (value == FActiveBGColor)
        return;
    FActiveBGColor = value;
    UpdateCalendar();
}

void TCPCalendar::SetSpecialColor(TColor value)
{
    if (value == FSpecialColor)
        return;
    FSpecialColor = value;
    UpdateCalendar();
}

void TCPCalendar::SetSpecialBGColor(TColor value)
{
    if (value == FSpecialBGColor)
        return;
    FSpecialBGColor = value;
    UpdateCalendar();
}

QString TCPCalendar::ActiveDays() const
{
    // Never assigned, the stored list has no commas to cut.
    return FActiveDays.size() < 2 ? QString() : FActiveDays.mid(1, FActiveDays.size() - 2);
}

void TCPCalendar::SetActiveDays(const QString& value)
{
    const QString wrapped = Wrapped(value);
    if (wrapped == FActiveDays)
        return;
    FActiveDays = wrapped;
    UpdateCalendar();
}

QString TCPCalendar::SpecialDays() const
{
    return FSpecialDays.size() < 2 ? QString() : FSpecialDays.mid(1, FSpecialDays.size() - 2);
}

void TCPCalendar::SetSpecialDays(const QString& value)
{
    const QString wrapped = Wrapped(value);
    if (wrapped == FSpecialDays)
        return;
    FSpecialDays = wrapped;
    UpdateCalendar();
}

void TCPCalendar::CopyDayNames()
{
    const auto& names = FormatSettings().ShortDayNames;
    for (int i = 0; i < 7; ++i)
        FShortDayNamesInternal[i] = FUltraShort ? names[i].left(1) : names[i];
}

void TCPCalendar::SetUltraShort(bool value)
{
    if (value == FUltraShort)
        return;
    FUltraShort = value;
    RefreshDayNames();
}

void TCPCalendar::RefreshDayNames()
{
    CopyDayNames();
    Invalidate();
}

void TCPCalendar::Loaded()
{
    TCustomGrid::Loaded();
    CopyDayNames();
    Invalidate();
}

// --- grid hooks ---

void TCPCalendar::DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState)
{
    TCanvas& canvas = *Canvas();
    const QString text = GetCellText(ACol, ARow);
    const TDayState dayState = DayStateOf(text);
    const auto draw = [&] {
        canvas.FillRect(ARect);
        if (text.isEmpty())
            return;
        const int x = ARect.left() + (ARect.width() - canvas.TextWidth(text)) / 2;
        const int y = ARect.top() + (ARect.height() - canvas.TextHeight(text)) / 2;
        canvas.TextOut(x, y, text);
    };
    if (AState == 0 && dayState != TDayState::dsNormal) {
        const bool special = dayState == TDayState::dsSpecial;
        const TColor oldBrush = canvas.Brush()->Color();
        const TColor oldFont = canvas.Font()->Color();
        canvas.Brush()->SetColor(special ? FSpecialBGColor : FActiveBGColor);
        canvas.Font()->SetColor(special ? FSpecialColor : FActiveColor);
        draw();
        canvas.Brush()->SetColor(oldBrush);
        canvas.Font()->SetColor(oldFont);
    } else {
        draw();
    }
    if (OnDrawCalendarCell)
        OnDrawCalendarCell(this, &canvas, ACol, ARow, ARect, AState, text, dayState);
}

bool TCPCalendar::SelectCell(int ACol, int ARow)
{
    if (FReadOnly && !FUpdating)
        return false;
    return !GetCellText(ACol, ARow).isEmpty() && TCustomGrid::SelectCell(ACol, ARow);
}

void TCPCalendar::Click()
{
    TCustomGrid::Click();
    const QString text = GetCellText(Col(), Row());
    if (!text.isEmpty())
        SetDay(text.toInt());
}

void TCPCalendar::WMSize(TMessage& Message)
{
    FitMonthGridCells(*this, int(Message.LParam & 0xFFFF), int((Message.LParam >> 16) & 0xFFFF));
    TCustomGrid::WMSize(Message);
}
