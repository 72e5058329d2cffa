// The zodiac table: every day of a year has exactly one sign, with inclusive
// boundaries whatever the year.
#include "birthdays/zodiac.h"

#include <gtest/gtest.h>

namespace {

struct Sign {
    const char* name;
    int startDay, startMonth, endDay, endMonth, image;
};

// clang-format off
const Sign kSigns[12] = {
    {"Aries", 21, 3, 19, 4, 3},      {"Taurus", 20, 4, 20, 5, 4},     {"Gemini", 21, 5, 20, 6, 5},
    {"Cancer", 21, 6, 22, 7, 6},     {"Leo", 23, 7, 22, 8, 7},        {"Virgo", 23, 8, 22, 9, 8},
    {"Libra", 23, 9, 22, 10, 9},     {"Scorpio", 23, 10, 21, 11, 10}, {"Sagittarius", 22, 11, 21, 12, 11},
    {"Capricorn", 22, 12, 19, 1, 0}, {"Aquarius", 20, 1, 18, 2, 1},   {"Pisces", 19, 2, 20, 3, 2},
};
// clang-format on

QString SignOf(TDateTime date)
{
    const TZodiac* sign = FindZodiac(date);
    return sign ? sign->ZodiacName() : QStringLiteral("none");
}

} // namespace

TEST(Zodiac, EveryDayOfALeapYearHasExactlyOneSign)
{
    for (int year : { 2024, 1004 })
        for (TDateTime day = EncodeDate(year, 1, 1); day <= EncodeDate(year, 12, 31); day += 1) {
            int holders = 0;
            for (const auto& sign : ZodiacSigns())
                holders += sign->IsDateOfZodiac(day);
            EXPECT_EQ(holders, 1) << qPrintable(DateTimeToQt(day).toString(Qt::ISODate));
        }
}

TEST(Zodiac, BoundariesAreInclusiveInEveryYear)
{
    for (int i = 0; i < 12; ++i) {
        const Sign& s = kSigns[i];
        const QString name = QString::fromLatin1(s.name);
        EXPECT_EQ(ZodiacSigns()[i]->ZodiacName(), name); // trimmed
        EXPECT_EQ(ZodiacSigns()[i]->ImageIndex, s.image);
        for (int year : { 2023, 1004 }) {
            const TDateTime first = EncodeDate(year, s.startMonth, s.startDay);
            const TDateTime last = EncodeDate(year, s.endMonth, s.endDay);
            EXPECT_EQ(SignOf(first), name) << year;
            EXPECT_EQ(SignOf(last), name) << year;
            EXPECT_EQ(SignOf(first - 1), QString::fromLatin1(kSigns[(i + 11) % 12].name)) << year;
            EXPECT_EQ(SignOf(last + 1), QString::fromLatin1(kSigns[(i + 1) % 12].name)) << year;
        }
    }
    EXPECT_EQ(SignOf(EncodeDate(2024, 2, 29)), QStringLiteral("Pisces"));
    EXPECT_EQ(SignOf(EncodeDate(1004, 2, 29)), QStringLiteral("Pisces"));
    EXPECT_EQ(SignOf(qQNaN()), QStringLiteral("none"));
}
