#pragma once

// The month calendar that drops down under a date edit, and the grid
// calendar it is built on: a header row of day names over six week rows,
// one date that the user moves by day, week, month and year, and an optional
// range the date never leaves. The pop-up adds a title bar with four arrow
// buttons that repeat while held and the month's name between them.

#include "controls/combo_edit.h"
#include "controls/dropdown_button.h"
#include "platform/core/date_util.h"
#include "platform/core/string_list.h"
#include "platform/gui/grids.h"
#include "platform/gui/stdctrls.h"

#include <QString>

#include <array>

// The grid calendar. EmptyDate as a bound means no bound.
class TGridCalendar : public TCustomGrid {
public:
    explicit TGridCalendar(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TGridCalendar"); }

    // The date, brought into the range (and the calendar); a value that is
    // no number at all is ignored.
    TDateTime CalendarDate() const { return FDate; }
    void SetCalendarDate(TDateTime value);

    // Parts of the date. Writes below 1, a month above 12 or a day beyond
    // the shown month are ignored; a write is raised or lowered into the
    // range, and a year or month whose month is shorter than the day keeps
    // the month's last day (29 February made a common year is the 28th).
    int Year() const { return DatePart(1); }
    void SetYear(int value) { SetPart(1, value); }
    int Month() const { return DatePart(2); }
    void SetMonth(int value) { SetPart(2, value); }
    int Day() const { return DatePart(3); }
    void SetDay(int value) { SetPart(3, value); }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    TDayOfWeekName StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TDayOfWeekName value);
    bool UseCurrentDate() const { return FUseCurrentDate; }
    void SetUseCurrentDate(bool value);
    TDaysOfWeek Weekends() const { return FWeekends; }
    void SetWeekends(TDaysOfWeek value);
    TColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(TColor value);
    // Setting a bound moves a date that lies beyond it onto it.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime value);
    // The bounds alone, leaving the date where it is.
    void SetRange(TDateTime minDate, TDateTime maxDate);

    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();
    virtual void UpdateCalendar();

    // Row 0: the short day name; week rows: the day number, or empty.
    QString DayCellText(int ACol, int ARow) const;
    // EmptyDate for the header row and for cells outside the month.
    TDateTime DateOfCell(int ACol, int ARow) const;
    bool DateWithinRange(TDateTime value) const;
    bool CellWithinRange(int ACol, int ARow) const;
    bool ColumnIsWeekend(int ACol) const;
    int DaysInShownMonth() const;
    // The day number in column 0 of week row 1 (may be below 1).
    int MonthOffset() const { return FMonthOffset; }

    // Keys reach the calendar from its date edit, so they are public here.
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;

    TNotifyEvent OnChange;

protected:
    void DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void Click() override;
    void WMSize(TMessage& Message) override;
    TGridFrame FrameStyle() const override;
    virtual void FireChange();
    // Moves the selection onto the date's cell; repaints at once when only
    // the day changed.
    void RecalcLayout(bool DayOnly);

private:
    int DatePart(int index) const;
    void SetPart(int index, int value);
    // Sets the date and the cell without any event.
    void StoreDate(TDateTime value);

    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    TDateTime FDate = 0;
    int FMonthOffset = 0;
    bool FReadOnly = false;
    TDayOfWeekName FStartOfWeek = Mon;
    bool FUpdating = false;
    bool FUseCurrentDate = true;
    TDaysOfWeek FWeekends = DayBit(Sun);
    TColor FWeekendColor = clRed;
};

// The calendar inside the pop-up: it never takes the keyboard focus (keys
// come through the date edit), takes its colours from its parent and frames
// today's cell.
class TLocCalendar : public TGridCalendar {
public:
    explicit TLocCalendar(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TLocCalendar"); }

    bool CanFocus() const override { return false; }
    using TCustomGrid::MouseToCell;

protected:
    void DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState) override;
    void CMColorChanged(TMessage& Message) override;
};

// An arrow button of the pop-up: pressed and held it clicks again after
// 500 ms and then every 100 ms.
class TTimerSpeedButton : public TGlyphSpeedButton {
public:
    explicit TTimerSpeedButton(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TTimerSpeedButton"); }
};

// The drop-down of the date edit: a raised panel with a title bar (previous
// year and month, the month's name, next month and year) over the calendar.
// Keys come from the edit; a click on a day closes it with that day.
class TPopupCalendar : public TPopupWindow {
public:
    explicit TPopupCalendar(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TPopupCalendar"); }

    TGridCalendar* Calendar() const { return FCalendar; }
    TLabel* TitleLabel() const { return FTitleLabel; }
    // 0 previous year, 1 previous month, 2 next month, 3 next year.
    TTimerSpeedButton* Button(int index) const { return FBtns[index]; }

    // The calendar's bounds, set without moving its date.
    TDateTime MinDate() const { return FCalendar->MinDate(); }
    void SetMinDate(TDateTime value) { FCalendar->SetRange(value, FCalendar->MaxDate()); }
    TDateTime MaxDate() const { return FCalendar->MaxDate(); }
    void SetMaxDate(TDateTime value) { FCalendar->SetRange(FCalendar->MinDate(), value); }

    QVariant ReadValue() override;
    // Shows the value's month with its day selected; today for an empty or
    // unreadable value.
    void WriteValue(const QVariant& Value) override;

    void Invalidate() override;
    void Update() override;
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;

    // The month's name and which arrows may step.
    void RefreshTitle();
    void RefreshArrows();

private:
    void ArrowClick(int index);
    void GridMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

    TLocCalendar* FCalendar = nullptr;
    TLabel* FTitleLabel = nullptr;
    std::array<TTimerSpeedButton*, 4> FBtns {};
};

// The pop-up of a date edit (owner), its range given.
TPopupCalendar* MakePopupCalendar(TWinControl* Owner, TDateTime MinDate, TDateTime MaxDate);
// Hands a date edit's settings to its pop-up: the range (without moving the
// date), the week's layout and colours, and the non-empty lines of the first
// four hints as the arrows' hints.
void ConfigureCalendarPopup(TPopupWindow* Popup, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends, TDateTime MinDate,
    TDateTime MaxDate, const TStringList* Hints, TColor WeekendColor);
// The dialog font of the pop-up (MS Sans Serif, 8 points), whatever the
// font of the edit.
void ApplyDialogFont(TFont& Font);
