// The keeper's month paragraph in the labels' HTML dialect.
#include "birthdays/birthday.h"
#include "birthdays/month_summary.h"
#include "platform/core/sysinfo.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kHeading = u"<font color=\"#800000\"><b>Entries for March</b></font>: "_s;

QString Name(const QString& name)
{
    return u" <font color=\"#800080F\"><b>"_s + name + u"</b></font>"_s;
}

class MonthSummary : public ::testing::Test {
protected:
    void SetUp() override
    {
        TFormatSettings settings = FormatSettings();
        settings.LongMonthNames[2] = u"March"_s;
        SetFormatSettings(settings);
    }
    void TearDown() override { ResetFormatSettings(); }

    QString Summary(std::initializer_list<std::pair<QString, int>> march)
    {
        for (const auto& [name, day] : march) {
            TEntry* entry = entries.Add();
            entry->SetFullName(name);
            entry->SetBirthDate(EncodeDate(1990, 3, day));
        }
        return BuildMonthSummaryHtml(entries.GetEntriesOfMonth(3));
    }

    TEntries entries;
};

} // namespace

TEST_F(MonthSummary, MatchesTheWorkedExample)
{
    EXPECT_EQ(Summary({ { u"Carl"_s, 21 }, { u"Anna"_s, 3 }, { u"Bob"_s, 3 } }),
        uR"(<font color="#800000"><b>Entries for March</b></font>:  <font color="#800080F"><b>Anna</b></font>, <font color="#800080F"><b>Bob</b></font> (<b><a href="3">3rd</a></b>),  <font color="#800080F"><b>Carl</b></font> (<b><a href="21">21st</a></b>))"_s);
}

TEST_F(MonthSummary, EmptyMonthAndSingleEntry)
{
    EXPECT_EQ(Summary({}), u"<font color=\"#800000\"><b>There are no entries for this month</b></font>"_s);
    EXPECT_EQ(Summary({ { u"Eve"_s, 31 } }), kHeading + Name(u"Eve"_s) + u" (<b><a href=\"31\">31st</a></b>)"_s);
}

TEST_F(MonthSummary, NamesAreEscapedAndKeepTheirOwnCommas)
{
    // The strip takes the separator after a day's last name; a comma inside
    // the name's markup is part of the name.
    EXPECT_EQ(Summary({ { u"Smith,"_s, 2 }, { u"<a href=\"x\">Tom & Jerry</a>"_s, 2 }, { u"Lee,"_s, 2 } }),
        kHeading + Name(u"Smith,"_s) + u","_s + Name(u"&lt;a href=\"x\"&gt;Tom &amp; Jerry&lt;/a&gt;"_s) + u","_s
            + Name(u"Lee,"_s) + u" (<b><a href=\"2\">2nd</a></b>)"_s);
}

TEST(MonthSummaryHelpers, OrdinalsAndTrailingCommas)
{
    // Every day of a month, in English: the teens take "th" whatever their
    // last digit.
    const QStringList ordinals = { u"1st"_s, u"2nd"_s, u"3rd"_s, u"4th"_s, u"5th"_s, u"6th"_s, u"7th"_s, u"8th"_s,
        u"9th"_s, u"10th"_s, u"11th"_s, u"12th"_s, u"13th"_s, u"14th"_s, u"15th"_s, u"16th"_s, u"17th"_s, u"18th"_s,
        u"19th"_s, u"20th"_s, u"21st"_s, u"22nd"_s, u"23rd"_s, u"24th"_s, u"25th"_s, u"26th"_s, u"27th"_s, u"28th"_s,
        u"29th"_s, u"30th"_s, u"31st"_s };
    for (int day = 1; day <= 31; ++day)
        EXPECT_EQ(OrdinalDay(day), ordinals[day - 1]);
    EXPECT_EQ(StripTrailingComma(QString()), QString());
    EXPECT_EQ(StripTrailingComma(u"a,,"_s), u"a,"_s);
}
