#include "datetime.h"

#include "sysutils.h"

#include <cmath>
#include <limits>

namespace {

TClockFunc& Clock()
{
    static TClockFunc clock;
    return clock;
}

// Day number of a proleptic Gregorian date, 0001-01-01 being day 1 as in
// DateDelta (civil-from-days).
qint64 DaysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468 + 719163; // 1970-01-01 is day 719163
}

void CivilFromDays(qint64 days, int& year, int& month, int& day)
{
    qint64 z = days - 719163 + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(qint64(yoe) + era * 400 + (month <= 2));
}

} // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    result = double(DaysFromCivil(year, unsigned(month), unsigned(day)) - DateDelta);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return result;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    result = (((hour * 60 + min) * 60 + sec) * 1000.0 + msec) / 86400000.0;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(hour, min, sec, msec, result))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return result;
}

bool IsValidDateTime(TDateTime value)
{
    return std::isfinite(value) && value >= MinDateTime && value < MaxDateTime + 1e-6;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    if (!IsValidDateTime(value))
        throw EConvertError(QStringLiteral("Invalid date value"));
    CivilFromDays(qint64(std::trunc(value)) + DateDelta, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec)
{
    if (!IsValidDateTime(value))
        throw EConvertError(QStringLiteral("Invalid time value"));
    const double frac = std::fabs(value - std::trunc(value));
    qint64 ms = qint64(std::llround(frac * 86400000.0));
    if (ms >= 86400000)
        ms = 86399999;
    hour = int(ms / 3600000);
    min = int(ms / 60000 % 60);
    sec = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

int DayOfWeek(TDateTime value)
{
    if (!IsValidDateTime(value))
        throw EConvertError(QStringLiteral("Invalid date value"));
    // Day 1, 0001-01-01, was a Monday; valid values keep d positive.
    const qint64 d = qint64(std::trunc(value)) + DateDelta;
    return int(d % 7) + 1;
}

qint64 Round(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    return qint64(std::nearbyint(value)); // default rounding mode: half to even
}

qint64 Trunc(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    return qint64(std::trunc(value));
}

TDateTime DateTimeFromQt(const QDateTime& value)
{
    const QDate d = value.date();
    const QTime t = value.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

QDateTime DateTimeToQt(TDateTime value)
{
    int y, m, d, h, mi, s, ms;
    DecodeDate(value, y, m, d);
    DecodeTime(value, h, mi, s, ms);
    return QDateTime(QDate(y, m, d), QTime(h, mi, s, ms));
}

TDateTime Now()
{
    if (Clock())
        return Clock()();
    return DateTimeFromQt(QDateTime::currentDateTime());
}

TDateTime Date()
{
    return std::trunc(Now());
}

void SetClock(TClockFunc clock)
{
    Clock() = std::move(clock);
}
