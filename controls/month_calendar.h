#pragma once

// A month grid: a header row of short day names over six week rows, one
// selected day, and two sets of marked days (active and special) with
// colours of their own. Every painted cell is handed to an owner-draw event
// with its day state, so the window can add its own marks.

#include "platform/core/datetime.h"
#include "platform/core/string_list.h"
#include "platform/gui/grids.h"

#include <QString>

#include <array>
#include <functional>

// Weekday of the first column: 0 = Sunday .. 6 = Saturday.
using TDayOfWeek = int;

// How a day cell is marked. Scoped, as the image lists' drawing styles
// already use the name dsNormal.
enum class TDayState { dsNormal, dsActive, dsSpecial };

using TDrawCalendarCellEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int ACol, int ARow,
    const QRect& Rect, TGridDrawState State, const QString& Text, TDayState DayState)>;

// The month calendar. Day lists are texts of day numbers separated by
// commas ("3,17"); a day is in a list when its number stands between two
// commas of the list wrapped in one more comma on each side.
class TCPCalendar : public TCustomGrid {
public:
    explicit TCPCalendar(TComponent* AOwner);
    ~TCPCalendar() override;

    QString ClassName() const override { return QStringLiteral("TCPCalendar"); }

    // A fixed description of the component; writes are ignored.
    const TStringList* About() const { return &FAbout; }
    void SetAbout(const TStringList*) { }

    // The selected date. Values outside the calendar's range are brought
    // into it; a value that is no number at all is ignored.
    TDateTime CalendarDate() const { return FDate; }
    void SetCalendarDate(TDateTime value);

    // Parts of the date: index 1 year, 2 month, 3 day; -1 for other indexes.
    int GetDateElement(int Index) const;
    // Ignored below 1, for a month above 12, a day above the shown month's
    // length, a year above 9999, or the current value. A year or month whose
    // month is shorter than the current day keeps the month's last day.
    void SetDateElement(int Index, int Value);
    int Year() const { return GetDateElement(1); }
    void SetYear(int value) { SetDateElement(1, value); }
    int Month() const { return GetDateElement(2); }
    void SetMonth(int value) { SetDateElement(2, value); }
    int Day() const { return GetDateElement(3); }
    void SetDay(int value) { SetDateElement(3, value); }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    TDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TDayOfWeek value);
    bool UseCurrentDate() const { return FUseCurrentDate; }
    void SetUseCurrentDate(bool value);

    TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(TColor value);
    TColor ActiveBGColor() const { return FActiveBGColor; }
    void SetActiveBGColor(TColor value);
    TColor SpecialColor() const { return FSpecialColor; }
    void SetSpecialColor(TColor value);
    TColor SpecialBGColor() const { return FSpecialBGColor; }
    void SetSpecialBGColor(TColor value);
    // The lists as assigned.
    QString ActiveDays() const;
    void SetActiveDays(const QString& value);
    QString SpecialDays() const;
    void SetSpecialDays(const QString& value);

    // Header texts cut to their first character.
    bool UltraShort() const { return FUltraShort; }
    void SetUltraShort(bool value);
    // Takes the day names again from the format settings, after they changed.
    void RefreshDayNames();

    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();

    // Recomputes where the month lies in the grid, moves the current cell
    // to the selected day and repaints.
    virtual void UpdateCalendar();
    virtual int MonthLength(int AYear, int AMonth) const;
    virtual int ShownMonthLength() const;
    virtual bool LeapYear(int AYear) const;

    // Row 0: day names; other rows: the day number, or empty outside the month.
    QString GetCellText(int ACol, int ARow) const;
    // The marking of a cell's text; empty cells are never marked.
    TDayState DayStateOf(const QString& text) const;
    // The day number shown in column 0 of week row 1 (may be below 1).
    int MonthOffset() const { return FMonthOffset; }
    const std::array<QString, 7>& ShortDayNamesInternal() const { return FShortDayNamesInternal; }

    void Loaded() override;

    TNotifyEvent OnChange;
    TDrawCalendarCellEvent OnDrawCalendarCell;

protected:
    void DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void Click() override;
    void WMSize(TMessage& Message) override;
    virtual void DoChange();
    // Fills the header texts from the locale's day names.
    virtual void CopyDayNames();

    std::array<QString, 7> FShortDayNamesInternal;

private:
    // Sets the date and the cell without any event.
    void StoreDate(TDateTime value);

    TDateTime FDate = 0;
    int FMonthOffset = 0;
    bool FReadOnly = false;
    TDayOfWeek FStartOfWeek = 0;
    bool FUpdating = false;
    bool FUseCurrentDate = true;
    QString FActiveDays;
    QString FSpecialDays;
    TColor FActiveColor = clBlue;
    TColor FActiveBGColor = clYellow;
    TStringList FAbout;
    bool FUltraShort = false;
    TColor FSpecialBGColor = clYellow;
    TColor FSpecialColor = clRed;
};
