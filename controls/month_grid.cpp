#include "controls/month_grid.h"

#include "platform/gui/grids.h"

#include <algorithm>

int MonthGridOffset(TDateTime date, int startOfWeek)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    const int a = (DayOfWeek(EncodeDate(y, m, 1)) - startOfWeek + 7) % 7;
    // The 1st stands in column a - 1, or column 6 when a is 0.
    return a == 0 ? -5 : 2 - a;
}

QString MonthGridDayText(int offset, int monthLength, int ACol, int ARow)
{
    const int n = MonthGridDay(offset, ACol, ARow);
    return n >= 1 && n <= monthLength ? QString::number(n) : QString();
}

std::optional<TDateTime> MonthStepDate(TDateTime date, int delta)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    if ((delta > 0 && y == 9999 && m == 12) || (delta <= 0 && y == 1 && m == 1))
        return std::nullopt;
    // From the month's last day forwards or its first day backwards, one day
    // lands in the neighbouring month.
    const TDateTime edge = delta > 0 ? EncodeDate(y, m, DaysInAMonth(y, m)) + 1 : EncodeDate(y, m, 1) - 1;
    int ny = 0, nm = 0, nd = 0;
    DecodeDate(edge, ny, nm, nd);
    return EncodeDate(ny, nm, std::min(d, DaysInAMonth(ny, nm)));
}

void FitMonthGridCells(TCustomGrid& grid, int w, int h, bool colLines)
{
    const int lines = 6 * grid.GridLineWidth();
    grid.SetDefaultColWidth(std::max(1, (w - (colLines ? lines : 0)) / 7));
    grid.SetDefaultRowHeight(std::max(1, (h - lines) / 7));
}
