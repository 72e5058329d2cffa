#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"

#include <QDate>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const qint64 kJulianOfZero = QDate(1899, 12, 30).toJulianDay();

// QDate serves as an independent proleptic Gregorian calendar.
QDate QtDateOf(TDateTime value)
{
    int y, m, d;
    DecodeDate(value, y, m, d);
    return QDate(y, m, d);
}

} // namespace

TEST(DateTime, KnownDayNumbers)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
}

TEST(DateTime, DecodeAgreesWithAnIndependentCalendar)
{
    for (qint64 day = qint64(MinDateTime); day <= qint64(MaxDateTime); day += 101)
        ASSERT_EQ(QtDateOf(double(day)), QDate::fromJulianDay(kJulianOfZero + day)) << day;
    EXPECT_EQ(QtDateOf(MaxDateTime), QDate(9999, 12, 31));

    // Every day of years around the century and leap rules, in sequence.
    for (int year : { 1600, 1899, 1900, 2000, 2024 }) {
        double expected = EncodeDate(year, 1, 1);
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInAMonth(year, month); ++day) {
                ASSERT_EQ(EncodeDate(year, month, day), expected);
                ASSERT_EQ(QtDateOf(expected), QDate(year, month, day));
                ++expected;
            }
        }
        EXPECT_EQ(expected, EncodeDate(year + 1, 1, 1));
    }
}

TEST(DateTime, InvalidDatesRaise)
{
    TDateTime unused;
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29, unused));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, unused));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, unused));
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, unused));
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 4, 31), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 12, 31), EConvertError);
    EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);

    int y, m, d;
    for (double bad : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity(), MinDateTime - 1, MaxDateTime + 1, 1e300 })
        EXPECT_THROW(DecodeDate(bad, y, m, d), EConvertError) << bad;
}

TEST(DateTime, NegativeValuesCountDaysBackAndTimeForward)
{
    // -1.25 is 29 December 1899, 06:00: the fraction is a time of day whatever the sign.
    int y, m, d, h, mi, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, mi, s, ms);
    EXPECT_EQ(QDate(y, m, d), QDate(1899, 12, 29));
    EXPECT_EQ(QTime(h, mi, s, ms), QTime(6, 0));
    EXPECT_EQ(DayOfWeek(-1.25), 6);

    const TDateTime late = EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 999);
    EXPECT_EQ(DateTimeToQt(late), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, 999)));
    EXPECT_EQ(DateTimeFromQt(DateTimeToQt(late)), late);
}

TEST(DateTime, DayOfWeekStartsOnSunday)
{
    EXPECT_EQ(DayOfWeek(0), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3) + 0.9), 1); // Sunday
    EXPECT_EQ(DayOfWeek(MinDateTime), 2); // Monday
    for (qint64 day = qint64(MinDateTime); day <= qint64(MaxDateTime); day += 9973)
        ASSERT_EQ(DayOfWeek(double(day)), QDate::fromJulianDay(kJulianOfZero + day).dayOfWeek() % 7 + 1);
}

TEST(DateTime, RoundIsBankersAndRejectsWhatDoesNotFit)
{
    const std::pair<double, qint64> cases[]
        = { { 0.5, 0 }, { 1.5, 2 }, { 2.5, 2 }, { -0.5, 0 }, { -1.5, -2 }, { 2.500001, 3 }, { -2.4, -2 } };
    for (auto [value, expected] : cases)
        EXPECT_EQ(Round(value), expected) << value;
    EXPECT_EQ(Trunc(-1.9), -1);
    for (double bad :
        { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300, -1e19 }) {
        EXPECT_THROW(Round(bad), EInvalidOp) << bad;
        EXPECT_THROW(Trunc(bad), EInvalidOp) << bad;
    }
}

TEST(DateTime, InjectedClock)
{
    struct Restore {
        ~Restore() { SetClock({}); }
    } restore;
    SetClock([] { return 36526.75; });
    EXPECT_EQ(Now(), 36526.75);
    EXPECT_EQ(Date(), 36526.0);

    SetClock({});
    const TDateTime system = DateTimeFromQt(QDateTime::currentDateTime());
    EXPECT_NEAR(Now(), system, 5.0 / 86400);
}
