#pragma once

#include <QDateTime>

#include <functional>

// A date-time is a count of days since 30 December 1899, the time of day
// being the fraction. Valid values cover 1 January 0001 to 31 December 9999
// of the proleptic Gregorian calendar.
using TDateTime = double;

inline constexpr TDateTime MinDateTime = -693593.0; // 0001-01-01
inline constexpr TDateTime MaxDateTime = 2958465.99999999; // 9999-12-31 23:59:59.999
inline constexpr int DateDelta = 693594; // day number of 1899-12-30, 0001-01-01 being day 1

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& result);
// Raises EConvertError for a day that does not exist.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result);
TDateTime EncodeTime(int hour, int min, int sec, int msec);

// Raises EConvertError for values outside the valid range or not finite.
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);
bool IsValidDateTime(TDateTime value);

// Round half to even, the rounding of the stored dates. Raises EInvalidOp for
// values that are not finite or do not fit 64 bits.
qint64 Round(double value);
// Towards zero, with the same checks.
qint64 Trunc(double value);

// The clock is injectable so tests can pin "today".
using TClockFunc = std::function<TDateTime()>;
TDateTime Now();
TDateTime Date(); // Now() without the time of day
void SetClock(TClockFunc clock); // an empty function restores the system clock

TDateTime DateTimeFromQt(const QDateTime& value);
QDateTime DateTimeToQt(TDateTime value);
