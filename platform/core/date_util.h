#pragma once

// Date routines of the date edit and its pop-up calendar: month lengths,
// validity, the century window for two-digit years, the display format and
// edit mask in the locale's field order, and reading a typed date back.
// Everything locale-dependent reads FormatSettings() at the time of the
// call, so tests (and the English day names option) can swap it.
//
// "/" in the formats and masks stands for the locale's date separator.

#include "platform/core/datetime.h"

#include <QChar>
#include <QString>

inline constexpr int CenturyWindow = 60;
// No date.
inline constexpr TDateTime EmptyDate = 0.0;

enum TDateFieldOrder { dfoMonthDayYear, dfoDayMonthYear, dfoYearMonthDay };

enum TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
// A set of TDayOfWeekName, bit 1 << day.
using TDaysOfWeek = unsigned;
constexpr TDaysOfWeek DayBit(TDayOfWeekName day)
{
    return 1u << unsigned(day);
}

bool YearIsLeap(int year);
// month must lie in 1..12.
int MonthDayCount(int year, int month);
bool IsValidYMD(int year, int month, int day);
// False for values the calendar cannot decode.
bool IsValidDateValue(TDateTime value);
int ThisYear();
// -1 is this year; below 100 the year falls in the century window, from
// CenturyWindow years ago to less than 100 - CenturyWindow years ahead.
int WidenYear(int year);

TDateFieldOrder DateFieldOrder(const QString& format);
// Whether the locale writes four-digit years. Taken once, at first use,
// from the short date format then in force.
bool UseFourDigitYear();
// Takes it again from the current settings (tests that switch the locale).
void InitUseFourDigitYear();
// The date pattern and edit mask in the order of the locale's short date.
QString StandardDateFormat(bool fourDigitYear);
QString StandardDateMask(QChar blank, bool fourDigitYear);

// Reads a date typed through the edit mask of format, or failing that a
// free-form date of numbers in the format's field order. An empty text is
// EmptyDate; a text of blanks is no date.
bool TryTextToDate(const QString& format, const QString& text, TDateTime& date);
// Raises EConvertError "'text' is not a valid date".
TDateTime TextToDate(const QString& format, const QString& text);
// The whole day of defaultValue when the text is no date.
TDateTime TextToDateOr(const QString& format, const QString& text, TDateTime defaultValue);

// 1..12 for the first long month name matching the first n characters of
// text without regard to case; 0 for none.
int MonthByName(const QString& text, int n);
