#include "platform/core/date_util.h"
#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

struct TLocaleCase {
    const char16_t* shortDate;
    QChar separator;
};

class DateUtil : public ::testing::Test {
protected:
    void SetUp() override
    {
        fSaved = FormatSettings();
        SetFormatSettings(FormatSettingsFromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom)));
        UseLocale(u"dd/mm/yyyy", u'/');
        SetClock([] { return EncodeDate(2026, 3, 14); });
    }
    void TearDown() override
    {
        SetFormatSettings(fSaved);
        InitUseFourDigitYear();
        SetClock({});
    }
    static void UseLocale(const char16_t* shortDate, QChar separator)
    {
        FormatSettings().ShortDateFormat = QString::fromUtf16(shortDate);
        FormatSettings().DateSeparator = separator;
        InitUseFourDigitYear();
    }

private:
    TFormatSettings fSaved;
};

TEST_F(DateUtil, CalendarArithmetic)
{
    EXPECT_FALSE(YearIsLeap(1900));
    EXPECT_TRUE(YearIsLeap(2000));
    EXPECT_TRUE(YearIsLeap(2004));
    EXPECT_FALSE(YearIsLeap(2100));
    EXPECT_EQ(MonthDayCount(2000, 2), 29);
    EXPECT_EQ(MonthDayCount(2026, 2), 28);
    EXPECT_EQ(MonthDayCount(2026, 4), 30);
    EXPECT_TRUE(IsValidYMD(9999, 12, 31));
    EXPECT_FALSE(IsValidYMD(0, 1, 1));
    EXPECT_FALSE(IsValidYMD(2026, 4, 31));
    EXPECT_FALSE(IsValidYMD(2026, 13, 1));
    EXPECT_TRUE(IsValidDateValue(EncodeDate(2026, 2, 28)));
    EXPECT_FALSE(IsValidDateValue(MaxDateTime + 10));
    EXPECT_FALSE(IsValidDateValue(std::numeric_limits<double>::quiet_NaN()));

    // The window runs from 60 years ago to 39 years ahead of 2026.
    const int widened[][2] = { { 66, 1966 }, { 65, 2065 }, { 0, 2000 }, { 99, 1999 }, { 100, 100 }, { -1, 2026 } };
    for (const auto& [year, expected] : widened)
        EXPECT_EQ(WidenYear(year), expected) << year;
}

// Format, mask, reading and writing in each field order of the locale.
TEST_F(DateUtil, FormatsAndMasksFollowTheLocaleOrder)
{
    struct Case {
        const char16_t* shortDate;
        QChar separator;
        TDateFieldOrder order;
        const char16_t* format4;
        const char16_t* format2;
        const char16_t* mask4;
        const char16_t* masked; // 25 December 2010 as typed through the mask
        const char16_t* twoNumbers; // 5 March of this year
        bool fourDigit;
    };
    const Case cases[] = {
        { u"M/d/yyyy", u'/', dfoMonthDayYear, u"MM/DD/YYYY", u"MM/DD/YY", u"!99/99/9999;1;_", u"12/25/2010", u"3/5",
            true },
        { u"dd.MM.yy", u'.', dfoDayMonthYear, u"DD/MM/YYYY", u"DD/MM/YY", u"!99/99/9999;1;_", u"25.12.2010", u"5.3",
            false },
        { u"yyyy-MM-dd", u'-', dfoYearMonthDay, u"YYYY/MM/DD", u"YY/MM/DD", u"!9999/99/99;1;_", u"2010-12-25", u"3-5",
            true },
        { u"gg ee/mm/dd", u'/', dfoYearMonthDay, u"YYYY/MM/DD", u"YY/MM/DD", u"!9999/99/99;1;_", u"2010/12/25", u"3/5",
            false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.shortDate).toStdString());
        UseLocale(c.shortDate, c.separator);
        EXPECT_EQ(DateFieldOrder(FormatSettings().ShortDateFormat), c.order);
        EXPECT_EQ(UseFourDigitYear(), c.fourDigit);
        EXPECT_EQ(StandardDateFormat(true), QString::fromUtf16(c.format4));
        EXPECT_EQ(StandardDateFormat(false), QString::fromUtf16(c.format2));
        EXPECT_EQ(StandardDateMask(u'_', true), QString::fromUtf16(c.mask4));
        EXPECT_EQ(StandardDateMask(u' ', false), QStringLiteral("!99/99/99;1; "));

        const TDateTime christmas = EncodeDate(2010, 12, 25);
        const QString format = StandardDateFormat(true);
        EXPECT_EQ(FormatDateTime(format, christmas), QString::fromUtf16(c.masked));
        EXPECT_EQ(TextToDate(format, QString::fromUtf16(c.masked)), christmas);
        // The two-digit layout reads back through the century window.
        const QString two = StandardDateFormat(false);
        EXPECT_EQ(TextToDate(two, FormatDateTime(two, christmas)), christmas);
        EXPECT_EQ(TextToDate(format, QString::fromUtf16(c.twoNumbers)), EncodeDate(2026, 3, 5));
    }
}

TEST_F(DateUtil, MaskedFieldsAndFreeFormText)
{
    const QString f = QStringLiteral("DD/MM/YYYY");
    const QString f2 = QStringLiteral("DD/MM/YY");
    struct Case {
        const QString& format;
        const char16_t* text;
        TDateTime expected; // -1: not a date
    };
    const TDateTime no = -1;
    const Case cases[] = {
        { f, u"25/12/2010", EncodeDate(2010, 12, 25) },
        { f, u"25/12/    ", EncodeDate(2026, 12, 25) }, // blank year: this year
        { f, u"  /12/2010", no }, // blank day fails the mask and the scanner
        { f, u"  /  /    ", no }, // the blank mask is no date
        { f, u"", EmptyDate },
        { f, u" 5/ 3/2010", EncodeDate(2010, 3, 5) },
        { f, u"5/3", EncodeDate(2026, 3, 5) },
        { f, u"5 / 3 / 10 /", EncodeDate(2010, 3, 5) }, // trailing separator and blanks
        { f, u"5/3/10x", no },
        { f, u"5/3/", no },
        { f, u"25/12/2010 ", EncodeDate(2010, 12, 25) }, // longer than the format: scanner
        { f, u"31/04/2026", no },
        { f, u"29/02/2025", no },
        { f, u"29/02/2024", EncodeDate(2024, 2, 29) },
        { f, u"1/1/12345", no },
        { f2, u"01/01/65", EncodeDate(2065, 1, 1) },
        { f2, u"01/01/66", EncodeDate(1966, 1, 1) },
        { f2, u"01/01/00", EncodeDate(2000, 1, 1) },
        { f, u"01/01/0066", EncodeDate(1966, 1, 1) }, // the field is a number: leading zeros do not count
        { QStringLiteral("DD-MMM-YYYY"), u"05-mar-2011", EncodeDate(2011, 3, 5) },
        { QStringLiteral("DD-MMM-YYYY"), u"05-xyz-2011", no },
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        TDateTime d = 123;
        const bool ok = TryTextToDate(c.format, text, d);
        EXPECT_EQ(ok, c.expected != no);
        if (ok) {
            EXPECT_EQ(d, c.expected);
        }
        // Unreadable text gives the default's whole day, never a silent 30 December 1899.
        EXPECT_EQ(
            TextToDateOr(c.format, text, EncodeDate(2020, 1, 2) + 0.75), ok ? c.expected : EncodeDate(2020, 1, 2));
        EXPECT_EQ(TextToDateOr(c.format, text, EmptyDate), ok ? c.expected : EmptyDate);
        if (!ok) {
            try {
                TextToDate(c.format, text);
                ADD_FAILURE() << "no error";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid date").arg(text));
            }
        }
    }
    EXPECT_EQ(MonthByName(QStringLiteral("DECEMBER"), 3), 12);
    EXPECT_EQ(MonthByName(QStringLiteral("Ju"), 2), 6);
    EXPECT_EQ(MonthByName(QString(), 3), 0);
}

TEST_F(DateUtil, FarEastTrailingText)
{
    UseLocale(u"yyyy/mm/dd ddd", u'/');
    FormatSettings().FarEast = true;
    FormatSettings().ShortTimeFormat = QStringLiteral("AMPM h:mm");
    FormatSettings().TimeAMString = QStringLiteral("AM");
    const QString f = StandardDateFormat(true);
    TDateTime d = 0;
    EXPECT_TRUE(TryTextToDate(f, QStringLiteral("2010/12/25 Sat"), d));
    EXPECT_EQ(d, EncodeDate(2010, 12, 25));
    EXPECT_FALSE(TryTextToDate(f, QStringLiteral("2010/12/25 Sat am 3"), d));
    FormatSettings().FarEast = false;
    EXPECT_FALSE(TryTextToDate(f, QStringLiteral("2010/12/25 Sat"), d));
}

} // namespace
