#pragma once

// The arithmetic the month grids share: where a month lies in a grid of a
// header row over six week rows of seven days, the step by whole months and
// the cell sizes that fill the control.

#include "platform/core/datetime.h"

#include <QString>

#include <optional>

class TCustomGrid;

// The day number shown in column 0 of week row 1 for the month of date, with
// startOfWeek (0 = Sunday) in column 0: the 1st always stands in week row 1.
int MonthGridOffset(TDateTime date, int startOfWeek);
// The day number a week-row cell stands for (it may lie outside the month).
inline int MonthGridDay(int offset, int ACol, int ARow)
{
    return ACol + offset + 7 * (ARow - 1);
}
// The cell of a day: column, then row.
inline int MonthGridCol(int offset, int day)
{
    return (day - offset) % 7;
}
inline int MonthGridRow(int offset, int day)
{
    return (day - offset) / 7 + 1;
}
// A week-row cell's text: the day number within 1 .. monthLength, else empty.
QString MonthGridDayText(int offset, int monthLength, int ACol, int ARow);
// The same day number delta months on (delta is +1 or -1), kept within the
// month reached (31 January + 1 month is the last day of February); the date
// nothing at the ends of the calendar.
std::optional<TDateTime> MonthStepDate(TDateTime date, int delta);
// A calendar (with CalendarDate, Year, Month, Day and their setters) moved
// by delta months or years. A 29 February steps a year by way of the 28th,
// so a common year never gets it.
template <class TCalendar> void StepCalendarMonths(TCalendar& calendar, int delta)
{
    if (const auto day = MonthStepDate(calendar.CalendarDate(), delta))
        calendar.SetCalendarDate(*day);
}
template <class TCalendar> void StepCalendarYears(TCalendar& calendar, int delta)
{
    const int y = calendar.Year();
    if (IsLeapYear(y) && calendar.Month() == 2 && calendar.Day() == 29)
        calendar.SetDay(28);
    calendar.SetYear(y + delta);
}
// Seven cells and six grid lines fill each direction of a w x h client area
// (across, the lines only when colLines); a tiny control still gets cells of
// one pixel.
void FitMonthGridCells(TCustomGrid& grid, int w, int h, bool colLines = true);
