#pragma once

// The date edit: a masked one-line edit for one calendar date in the
// locale's day, month and year order, with a button that drops down the
// month calendar. Numeric-pad + and - step a day, "T" sets today, and
// leaving the field can check what was typed. An optional range either
// clamps written dates or refuses them with an error.

#include "controls/combo_edit.h"
#include "controls/popup_calendar.h"
#include "platform/core/date_util.h"
#include "platform/core/string_list.h"

enum TYearDigits { dyDefault, dyFour, dyTwo };
enum TCalendarStyle { csPopup, csDialog };
// Before a picked date is taken: the handler may change it or refuse it.
using TExecDateDialog = std::function<void(TObject* Sender, TDateTime& ADate, bool& Action)>;

class TCustomDateEdit : public TCustomComboEdit {
public:
    explicit TCustomDateEdit(TComponent* AOwner);
    ~TCustomDateEdit() override;
    QString ClassName() const override { return QStringLiteral("TCustomDateEdit"); }

    // An empty or unreadable text reads as EmptyDate, or today with
    // DefaultToday. Writing EmptyDate or no valid date blanks the text (or
    // shows today with DefaultToday); a date outside the range is moved into
    // it when DateAutoBetween.
    TDateTime Date() const;
    virtual void SetDate(TDateTime value);

    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime value);
    bool DateAutoBetween() const { return FDateAutoBetween; }
    virtual void SetDateAutoBetween(bool value);
    bool DefaultToday() const { return FDefaultToday; }
    void SetDefaultToday(bool value) { FDefaultToday = value; }
    bool CheckOnExit() const { return FCheckOnExit; }
    void SetCheckOnExit(bool value) { FCheckOnExit = value; }
    const QString& DialogTitle() const { return FTitle; }
    void SetDialogTitle(const QString& value) { FTitle = value; }
    QChar BlanksChar() const { return FBlanksChar; }
    void SetBlanksChar(QChar value);
    TYearDigits YearDigits() const { return FYearDigits; }
    void SetYearDigits(TYearDigits value);
    // Hints of the pop-up's arrows: previous year, previous month, next
    // month, next year; an empty line keeps the built-in hint. Only the
    // first four lines are kept.
    const TStringList& CalendarHints() const { return FCalendarHints; }
    void SetCalendarHints(const TStringList& value);
    TCalendarStyle CalendarStyle() const { return Popup() ? csPopup : csDialog; }
    void SetCalendarStyle(TCalendarStyle value);
    TColor PopupColor() const;
    void SetPopupColor(TColor value);
    TDayOfWeekName StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TDayOfWeekName value);
    TDaysOfWeek Weekends() const { return FWeekends; }
    void SetWeekends(TDaysOfWeek value);
    TColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(TColor value);

    // The display and parse format in use ("DD/MM/YYYY" and the like).
    const QString& DateFormat() const { return FDateFormat; }
    // Re-masks the edit for the locale's current order, keeping the day.
    void UpdateMask();
    // Whether the text holds anything but blanks and separators.
    bool HasDateText() const;
    // Reads the typed text as a date; raises EConvertError when it is none,
    // after giving the edit the focus back.
    void CheckValidDate();
    void ValidateEdit() override;

    // The drop-down calendar; none with csDialog.
    TPopupCalendar* CalendarPopup() const { return dynamic_cast<TPopupCalendar*>(Popup()); }

    TExecDateDialog OnAcceptDate;

protected:
    virtual void ClampToRange(TDateTime& ADate) const;
    virtual void EnterDate(TDateTime ADate);
    QString GetDateMask() const;
    void ConfigurePopup();
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void DoExit() override;
    void Change() override;
    TBitmap* DefaultGlyph(bool& MustFree) override;
    bool ApprovePopupValue(QVariant& Value) override;
    void TakePopupValue(const QVariant& Value) override;
    void PreparePopupValue(const QVariant& Value) override;

    // The range's bounds formatted for messages.
    QString FormatDate(TDateTime value) const;

private:
    bool WantsFourDigitYear() const;
    void RefreshDateFormat();
    void HintsListChanged();
    void MakePopup();
    void WindowCreated();
    bool SettingsChangeHook(TMessage& Message);

    TDateTime FMinDate = EmptyDate;
    TDateTime FMaxDate = EmptyDate;
    QString FTitle;
    bool FDefaultToday = false;
    bool FHooked = false;
    TColor FPopupColor = clBtnFace;
    bool FCheckOnExit = false;
    QChar FBlanksChar = u' ';
    TStringList FCalendarHints;
    TDayOfWeekName FStartOfWeek = Mon;
    TDaysOfWeek FWeekends = DayBit(Sun);
    TColor FWeekendColor = clRed;
    TYearDigits FYearDigits = dyDefault;
    QString FDateFormat;
    bool FFormatting = false;
    bool FDateAutoBetween = true;
};

// The date edit: with DateAutoBetween off, writing a date outside the range
// raises an error naming the date and the bound(s) and keeps the text.
class TDateEdit : public TCustomDateEdit {
public:
    explicit TDateEdit(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TDateEdit"); }
    void SetDate(TDateTime value) override;
};
