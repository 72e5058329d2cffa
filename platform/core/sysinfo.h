#pragma once

#include "platform/core/datetime.h"

#include <QChar>
#include <QString>

#include <array>
#include <functional>

class QLocale;

// Milliseconds since an arbitrary start, wrapping as an unsigned 32-bit
// counter: callers measure intervals by unsigned subtraction, which survives
// the wrap.
quint32 GetTickCount();
// Replaces the counter (tests step it by hand); an empty function restores
// the monotonic clock.
void SetTickCountSource(std::function<quint32()> source);

// Pseudo-random numbers from one process-wide generator. Its state is
// RandSeed, so a fixed seed repeats a sequence; Randomize seeds it from the
// clock.
quint32& RandSeed();
void Randomize();
// 0 .. range-1; 0 for a range of 0 or less.
int Random(int range);
// [0, 1).
double Random();
// Every draw takes one raw 32-bit value from the source instead of the
// generator; an empty function restores the generator.
void SetRandomSource(std::function<quint32()> source);

// The locale's names and patterns for dates, times and numbers. Patterns use
// the class library's letters (see FormatDateTime): "/" in a date pattern
// stands for DateSeparator, ":" in a time pattern for TimeSeparator.
struct TFormatSettings {
    std::array<QString, 7> ShortDayNames; // index 0 is Sunday
    std::array<QString, 7> LongDayNames;
    std::array<QString, 12> ShortMonthNames; // index 0 is January
    std::array<QString, 12> LongMonthNames;
    QString ShortDateFormat;
    QString LongDateFormat;
    QChar DateSeparator = u'/';
    QChar TimeSeparator = u':';
    QString ShortTimeFormat;
    QString LongTimeFormat;
    QString TimeAMString;
    QString TimePMString;
    QChar DecimalSeparator = u'.';
    QChar ThousandSeparator = u',';
    // A two-digit year is read as the year within this many years before the
    // current one, or less than 100 - this many years after it.
    int TwoDigitYearCenturyWindow = 50;
    // A Chinese, Japanese or Korean locale, whose dates may carry trailing text.
    bool FarEast = false;
};

// The process-wide settings, initialised from the program's locale (the
// system's unless QLocale::setDefault chose another) on first
// use. The reference may be written to; SetFormatSettings replaces all of it.
TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);
// Back to the program's locale's settings.
void ResetFormatSettings();

// Settings taken from a Qt locale, its patterns translated into the class
// library's letters. The "C" locale, which has no numeric short date, reads
// as US English.
TFormatSettings FormatSettingsFromLocale(const QLocale& locale);
// Translates one Qt date/time pattern. When separatorPattern is "/" or ":",
// the first punctuation character found is the separator: it is stored in
// separator (unless separator is already set) and every occurrence becomes
// separatorPattern. Letters Qt shows literally are quoted.
QString PatternFromQt(const QString& qtPattern, QChar& separator, QChar separatorPattern);
// The pattern with every two-letter year field widened to four letters.
QString UseFourDigitYear(const QString& format);

// Formats a date-time with the class library's pattern letters, matched
// without regard to case:
//   c       short date, then the long time unless the time of day is zero
//   d dd    day; ddd, dddd short and long day name; ddddd short date; dddddd long date
//   m mm    month; mmm, mmmm short and long month name. Right after an h or hh
//           field, m and mm are minutes.
//   yy yyyy two- and four-digit year
//   h hh    hour (12-hour when the pattern has am/pm, a/p or ampm); n nn minute;
//           s ss second; z zzz milliseconds
//   t tt    short and long time
//   am/pm a/p   "am"/"pm" or "a"/"p" in the case written; ampm TimeAMString/TimePMString
//   / :     DateSeparator and TimeSeparator
//   '...' "..."  literal text
// Any other character is copied. Raises EConvertError for an invalid value.
QString FormatDateTime(const QString& format, TDateTime value);
QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings);

QString DateToStr(TDateTime value); // short date
// The short date in the locale's field order and separator, its year
// always whole: how the program shows a day, so 1895 never reads as 1995.
QString FullYearDateToStr(TDateTime value);
QString TimeToStr(TDateTime value); // long time
QString DateTimeToStr(TDateTime value); // "c"

// Reads a date of numbers in the order of ShortDateFormat's day, month and
// year fields, separated by DateSeparator. Two numbers are day and month of
// the current year; a year of one or two digits falls in the century window.
bool TryStrToDate(const QString& text, TDateTime& value);
bool TryStrToDate(const QString& text, TDateTime& value, const TFormatSettings& settings);
// Raises EConvertError "'text' is not a valid date".
TDateTime StrToDate(const QString& text);
