#pragma once

// The large month grid: the month calendar's date rules and day marks on a
// grid whose cells stretch to fill the control, with a header row of its own
// height, text placed by alignment, layout and a border inside each cell, and
// a right click that selects the day under the mouse. The keeper window draws
// the day's names into its cells.

#include "controls/month_calendar.h"
#include "platform/gui/stdctrls.h"

// How the header names the weekdays: the locale's long or short names, or
// the first character of the short ones.
enum TDayFormat { dfLong, dfShort, dfUltraShort };

class TCPCalendarEx : public TCPCalendar {
public:
    explicit TCPCalendarEx(TComponent* AOwner);

    QString ClassName() const override { return QStringLiteral("TCPCalendarEx"); }

    TAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return fTextLayout; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return fWordWrap; }
    void SetWordWrap(bool value);
    // Pixels kept free inside every cell edge; negative values count as 0.
    int CellBorder() const { return fCellBorder; }
    void SetCellBorder(int value);
    // Cells without a day get this colour when it differs from Color.
    TColor ColorEmpty() const { return fColorEmpty; }
    void SetColorEmpty(TColor value) { fColorEmpty = value; }
    TDayFormat DayFormat() const { return fDayFormat; }
    void SetDayFormat(TDayFormat value);
    int DefaultHeaderHeight() const { return fDefaultHeaderHeight; }
    void SetDefaultHeaderHeight(int value);
    bool RightMouseSelect() const { return fRightMouseSelect; }
    void SetRightMouseSelect(bool value) { fRightMouseSelect = value; }

    // A year or month in which the selected day does not exist raises the
    // date error and keeps the date, unlike the small calendar.
    void SetDateElement(int Index, int Value);
    void SetYear(int value) { SetDateElement(1, value); }
    void SetMonth(int value) { SetDateElement(2, value); }
    void SetDay(int value) { SetDateElement(3, value); }
    // The locale's long name of Month.
    QString MonthName() const;

    // The date of a day cell; 0 for the header and for cells outside the month.
    TDateTime GetCellDate(int ACol, int ARow) const;
    // Seven columns, and six week rows under the header row, fill W x H.
    virtual void FitCellsToSize(int AWidth, int AHeight);

    void Loaded() override;

    using TCustomGrid::CellRect;
    using TCustomGrid::MouseToCell;

protected:
    void DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMSize(TMessage& Message) override;
    void CopyDayNames() override;
    // Draws Text in Rect by Alignment, Layout, WordWrap and CellBorder.
    void DrawCellText(const QRect& Rect, const QString& Text);

private:
    // Gives the header row its height and the week rows what is left.
    void FitHeaderHeight();

    TAlignment fAlignment = taCenter;
    TTextLayout fTextLayout = tlCenter;
    bool fWordWrap = false;
    int fCellBorder = 0;
    bool fRightMouseSelect = true;
    TDayFormat fDayFormat = dfShort;
    int fDefaultHeaderHeight = 0;
    TColor fColorEmpty = clWindow;
};
