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
        uR"(<font color="#800000"><b>Entries for March</b></font>:  <font color="#800080F"><b>Anna</b></font>, <font color="#800080F"><b>Bob</b></font> (<b><a href="3">3rd</a></b>),  <font color="#800080F"><b>Carl</b></font> (<b><a href="21">21th</a></b>))"_s);
}

TEST_F(MonthSummary, EmptyMonthAndSingleEntry)
{
    EXPECT_EQ(Summary({}), u"<font color=\"#800000\"><b>There are no entries for this month</b></font>"_s);
    EXPECT_EQ(Summary({ { u"Eve"_s, 31 } }), kHeading + Name(u"Eve"_s) + u" (<b><a href=\"31\">31th</a></b>)"_s);
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
    const QStringList ordinals = { u"1st"_s, u"2nd"_s, u"3rd"_s, u"4th"_s, u"11th"_s, u"21th"_s, u"22th"_s, u"23th"_s };
    for (const QString& text : ordinals)
        EXPECT_EQ(OrdinalDay(text.chopped(2).toInt()), text);
    EXPECT_EQ(StripTrailingComma(QString()), QString());
    EXPECT_EQ(StripTrailingComma(u"a,,"_s), u"a,"_s);
}
