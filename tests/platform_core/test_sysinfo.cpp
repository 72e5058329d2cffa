#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"

#include <QDate>
#include <QLocale>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TFormatSettings UsSettings()
{
    TFormatSettings s = FormatSettingsFromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    s.ShortDateFormat = QStringLiteral("m/d/yyyy");
    s.LongDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
    s.ShortTimeFormat = QStringLiteral("h:nn ampm");
    s.LongTimeFormat = QStringLiteral("h:nn:ss ampm");
    s.DateSeparator = u'/';
    s.TimeSeparator = u':';
    s.TimeAMString = QStringLiteral("AM");
    s.TimePMString = QStringLiteral("PM");
    return s;
}

class SysInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        fSaved = FormatSettings();
        SetFormatSettings(UsSettings());
        SetClock([] { return EncodeDate(2024, 6, 1); });
    }
    void TearDown() override
    {
        SetFormatSettings(fSaved);
        SetClock({});
        SetTickCountSource({});
        SetRandomSource({});
    }

    // Tuesday 5 March 2024, 14:07:09.045
    const TDateTime fValue = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);

private:
    TFormatSettings fSaved;
};

QString Fmt(const char16_t* format, TDateTime value)
{
    return FormatDateTime(QString::fromUtf16(format), value);
}

} // namespace

TEST_F(SysInfo, FieldsTwelveHourClockMinutesCaseAndQuotedText)
{
    struct Case {
        const char16_t* format;
        TDateTime value;
        const char16_t* formatted;
    };
    const Case cases[] = {
        // Date fields.
        { u"d dd ddd dddd", fValue, u"5 05 Tue Tuesday" },
        { u"m mm mmm mmmm", fValue, u"3 03 Mar March" },
        { u"yy yyyy", fValue, u"24 2024" },
        { u"yy yyyy", EncodeDate(5, 1, 1), u"05 0005" },
        { u"dddd", EncodeDate(2024, 3, 3), u"Sunday" },
        { u"ddd", EncodeDate(2024, 3, 9), u"Sat" },
        { u"mmmm", EncodeDate(2024, 12, 31), u"December" },
        // Time fields and the twelve-hour clock.
        { u"h hh n nn s ss z zzz", fValue, u"14 14 7 07 9 09 45 045" },
        { u"h:nn am/pm", fValue, u"2:07 pm" },
        { u"hh AM/PM", fValue, u"02 PM" },
        { u"h a/p A/P", fValue, u"2 p P" },
        { u"h ampm", fValue, u"2 PM" },
        { u"h am/pm", EncodeTime(0, 30, 0, 0), u"12 am" },
        { u"h am/pm", EncodeTime(12, 0, 0, 0), u"12 pm" },
        { u"hh", EncodeTime(0, 30, 0, 0), u"00" },
        // Before 1899 the time of day counts away from zero, as the date does.
        { u"yyyy-mm-dd hh:nn", EncodeDate(1850, 1, 1) - EncodeTime(6, 0, 0, 0), u"1850-01-01 06:00" },
        // M after an hour is minutes.
        { u"h:m", fValue, u"14:7" },
        { u"hh:mm", fValue, u"14:07" },
        { u"hh mm", fValue, u"14 07" },
        { u"mm", fValue, u"03" },
        { u"mm hh", fValue, u"03 14" },
        // Another field in between, or a month name, reads as the month.
        { u"hh d mm", fValue, u"14 5 03" },
        { u"hh:mmm", fValue, u"14:Mar" },
        // Letters ignore case.
        { u"YYYY-MM-DD", fValue, u"2024-03-05" },
        { u"MMMM, YYYY", fValue, u"March, 2024" },
        { u"DDDD HH:NN:SS ZZZ", fValue, u"Tuesday 14:07:09 045" },
        { u"MM/DD/YY", fValue, u"03/05/24" },
        // Quoted and other text.
        { u"'day' d \"of\" mmmm", fValue, u"day 5 of March" },
        { u"'d''m'", fValue, u"dm" },
        { u"\"it's\" yyyy", fValue, u"it's 2024" },
        { u"d 'rest", fValue, u"5 rest" },
        { u"[x] q, e; d", fValue, u"[x] q, e; 5" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.format).toStdString());
        EXPECT_EQ(Fmt(c.format, c.value), QString::fromUtf16(c.formatted));
    }
}

TEST_F(SysInfo, SeparatorsAndCompositesFollowTheSettings)
{
    EXPECT_EQ(Fmt(u"c", fValue), QStringLiteral("3/5/2024 2:07:09 PM"));
    EXPECT_EQ(Fmt(u"c", EncodeDate(2024, 3, 5)), QStringLiteral("3/5/2024"));
    EXPECT_EQ(Fmt(u"ddddd|dddddd", fValue), QStringLiteral("3/5/2024|Tuesday, March 5, 2024"));
    EXPECT_EQ(Fmt(u"t|tt", fValue), QStringLiteral("2:07 PM|2:07:09 PM"));

    TFormatSettings& s = FormatSettings();
    s.DateSeparator = u'.';
    s.TimeSeparator = u'-';
    s.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    s.LongTimeFormat = QStringLiteral("hh:nn:ss");
    s.LongMonthNames[2] = QStringLiteral("M\u00E4rz");
    EXPECT_EQ(Fmt(u"dd/mm/yyyy hh:nn", fValue), QStringLiteral("05.03.2024 14-07"));
    EXPECT_EQ(Fmt(u"mmmm", fValue), QStringLiteral("M\u00E4rz"));
    EXPECT_EQ(DateToStr(fValue), QStringLiteral("05.03.2024"));
    EXPECT_EQ(TimeToStr(fValue), QStringLiteral("14-07-09"));
    EXPECT_EQ(DateTimeToStr(fValue), QStringLiteral("05.03.2024 14-07-09"));
    // Literal separators stay as written.
    EXPECT_EQ(Fmt(u"dd'/'mm\":\"", fValue), QStringLiteral("05/03:"));

    // A settings pattern naming itself ends instead of recursing for ever.
    s.ShortDateFormat = QStringLiteral("ddddd c");
    EXPECT_NO_THROW(DateToStr(fValue));

    EXPECT_THROW(Fmt(u"d", std::numeric_limits<double>::quiet_NaN()), EConvertError);
    EXPECT_THROW(Fmt(u"d", MaxDateTime + 10), EConvertError);
}

TEST_F(SysInfo, StrToDateReadsTheShortDateOrder)
{
    struct Case {
        const char16_t* format;
        char16_t separator;
    };
    const Case cases[]
        = { { u"m/d/yyyy", u'/' }, { u"dd/mm/yyyy", u'.' }, { u"yyyy/mm/dd", u'-' }, { u"d/m/yy", u'/' } };
    const TDateTime dates[]
        = { EncodeDate(2024, 3, 5), EncodeDate(1999, 12, 31), EncodeDate(2030, 1, 12), EncodeDate(2000, 2, 29) };
    for (const Case& c : cases) {
        TFormatSettings& s = FormatSettings();
        s.ShortDateFormat = QString::fromUtf16(c.format);
        s.DateSeparator = QChar(c.separator);
        for (TDateTime date : dates) {
            TDateTime read = 0;
            ASSERT_TRUE(TryStrToDate(DateToStr(date), read)) << DateToStr(date).toStdString();
            EXPECT_EQ(read, date) << DateToStr(date).toStdString();
        }
    }

    SetFormatSettings(UsSettings());
    EXPECT_EQ(StrToDate(QStringLiteral("03/05/2024")), EncodeDate(2024, 3, 5));
    TFormatSettings s = UsSettings();
    s.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    TDateTime read = 0;
    ASSERT_TRUE(TryStrToDate(QStringLiteral("03/05/2024"), read, s));
    EXPECT_EQ(read, EncodeDate(2024, 5, 3));
    EXPECT_FALSE(TryStrToDate(QStringLiteral("13/05/2024"), read));
    // Quoted letters do not count as fields.
    s.ShortDateFormat = QStringLiteral("'y' dd/mm/yyyy");
    ASSERT_TRUE(TryStrToDate(QStringLiteral("03/05/2024"), read, s));
    EXPECT_EQ(read, EncodeDate(2024, 5, 3));
}

TEST_F(SysInfo, StrToDateYearsAndRejects)
{
    // Two numbers: day and month of this year (the clock says 2024).
    EXPECT_EQ(StrToDate(QStringLiteral("2/29")), EncodeDate(2024, 2, 29));
    // Two-digit years fall within 1974 .. 2073.
    EXPECT_EQ(StrToDate(QStringLiteral("1/2/73")), EncodeDate(2073, 1, 2));
    EXPECT_EQ(StrToDate(QStringLiteral("1/2/74")), EncodeDate(1974, 1, 2));
    EXPECT_EQ(StrToDate(QStringLiteral("1/2/0099")), EncodeDate(99, 1, 2));
    FormatSettings().TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(StrToDate(QStringLiteral("1/2/99")), EncodeDate(2099, 1, 2));

    EXPECT_EQ(StrToDate(QStringLiteral("  1 / 2 / 2024  ")), EncodeDate(2024, 1, 2));
    TFormatSettings trailing = UsSettings();
    trailing.ShortDateFormat = QStringLiteral("yyyy/ mm/ dd/");
    trailing.DateSeparator = u'.';
    TDateTime read = 0;
    ASSERT_TRUE(TryStrToDate(QStringLiteral("2024. 01. 05."), read, trailing));
    EXPECT_EQ(read, EncodeDate(2024, 1, 5));

    for (const char16_t* bad : { u"", u"5", u"1/2/3/4", u"a/b/c", u"1//2024", u"2/30/2024", u"1/2/2024x", u"12345/1/1",
             u"1-2-2024", u"0/1/2024", u"/1/2" }) {
        EXPECT_FALSE(TryStrToDate(QString::fromUtf16(bad), read)) << QString::fromUtf16(bad).toStdString();
    }
    try {
        StrToDate(QStringLiteral("31/31"));
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'31/31' is not a valid date"));
    }
}

TEST_F(SysInfo, QtPatternsTranslate)
{
    QChar sep;
    EXPECT_EQ(PatternFromQt(QStringLiteral("M/d/yy"), sep, u'/'), QStringLiteral("m/d/yy"));
    EXPECT_EQ(sep, u'/');
    sep = QChar();
    EXPECT_EQ(PatternFromQt(QStringLiteral("yy. M. d."), sep, u'/'), QStringLiteral("yy/ m/ d/"));
    EXPECT_EQ(sep, u'.');
    sep = QChar();
    EXPECT_EQ(PatternFromQt(QStringLiteral("d\u200F/M\u200F/yyyy"), sep, u'/'), QStringLiteral("d\u200F/m\u200F/yyyy"));
    EXPECT_EQ(sep, u'/');
    sep = QChar();
    EXPECT_EQ(PatternFromQt(QStringLiteral("H.mm"), sep, u':'), QStringLiteral("h:nn"));
    EXPECT_EQ(sep, u'.');
    // The separator found first is kept, other punctuation is text; times
    // drop Qt's time zone.
    EXPECT_EQ(PatternFromQt(QStringLiteral("h.mm.ss AP t"), sep, u':'), QStringLiteral("h:nn:ss ampm"));
    EXPECT_EQ(PatternFromQt(QStringLiteral("H:mm:ss (t)"), sep, u':'), QStringLiteral("h':'nn':'ss"));
    sep = QChar();
    EXPECT_EQ(PatternFromQt(QStringLiteral("H:mm:ss (t)"), sep, u':'), QStringLiteral("h:nn:ss"));
    // Letters Qt shows as text are quoted; other text passes through.
    QChar none;
    const QString pt = PatternFromQt(QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"), none, QChar());
    EXPECT_EQ(FormatDateTime(pt, EncodeDate(2024, 3, 5)), QStringLiteral("Tuesday, 5 de March de 2024"));
    const QString odd = PatternFromQt(QStringLiteral("'it''s' h 'o''clock'"), none, QChar());
    EXPECT_EQ(FormatDateTime(odd, EncodeTime(9, 0, 0, 0)), QStringLiteral("it's 9 o'clock"));

    EXPECT_EQ(UseFourDigitYear(QStringLiteral("m/d/yy")), QStringLiteral("m/d/yyyy"));
    EXPECT_EQ(UseFourDigitYear(QStringLiteral("YY.'yy'.yyyy")), QStringLiteral("YYYY.'yy'.yyyy"));
}

// Our formatting of each locale's translated patterns must agree with Qt's
// own formatting of the original ones, and our reading must invert it.
TEST_F(SysInfo, LocaleSettingsAgreeWithQt)
{
    const QDate date(2024, 3, 5);
    const QTime time(14, 7, 9);
    const TDateTime value = DateTimeFromQt(QDateTime(date, time));
    for (const char* name : { "en_US", "en_GB", "de_DE", "fr_FR", "ja_JP", "ko_KR", "zh_CN", "sv_SE", "hu_HU", "ru_RU",
             "nl_NL", "bg_BG", "fi_FI", "pt_BR" }) {
        const QLocale locale(QString::fromLatin1(name));
        const TFormatSettings s = FormatSettingsFromLocale(locale);
        SCOPED_TRACE(name);
        EXPECT_EQ(FormatDateTime(s.ShortDateFormat, value, s), locale.toString(date, QLocale::ShortFormat));
        EXPECT_EQ(FormatDateTime(s.LongDateFormat, value, s), locale.toString(date, QLocale::LongFormat));
        EXPECT_EQ(FormatDateTime(s.ShortTimeFormat, value, s), locale.toString(time, QLocale::ShortFormat));
        EXPECT_EQ(s.ShortDayNames[0], locale.dayName(7, QLocale::ShortFormat));
        EXPECT_EQ(s.LongDayNames[1], locale.dayName(1, QLocale::LongFormat));
        EXPECT_EQ(s.LongMonthNames[11], locale.monthName(12, QLocale::LongFormat));
        if (QString::fromLatin1(name) != QStringLiteral("bg_BG")) { // its short date ends in a word
            TDateTime read = 0;
            EXPECT_TRUE(TryStrToDate(FormatDateTime(s.ShortDateFormat, value, s), read, s));
            EXPECT_EQ(read, EncodeDate(2024, 3, 5));
        }
    }
    const TFormatSettings german = FormatSettingsFromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.DateSeparator, u'.');
    EXPECT_EQ(german.DecimalSeparator, u',');
    // The C locale reads as US English, whose short date is numeric.
    const TFormatSettings c = FormatSettingsFromLocale(QLocale::c());
    EXPECT_EQ(c.ShortDateFormat, QStringLiteral("m/d/yy"));

    // The process-wide settings come back from the system locale.
    SetFormatSettings(TFormatSettings());
    ResetFormatSettings();
    EXPECT_EQ(FormatSettings().ShortDateFormat, FormatSettingsFromLocale(QLocale::system()).ShortDateFormat);
    EXPECT_FALSE(FormatSettings().LongMonthNames[0].isEmpty());
}

TEST_F(SysInfo, TickCounter)
{
    const quint32 a = GetTickCount();
    QThread::msleep(30);
    const quint32 elapsed = GetTickCount() - a;
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 5000u);

    quint32 now = 0xFFFFFFF0u;
    SetTickCountSource([&now] { return now; });
    const quint32 start = GetTickCount();
    now += 0x20; // wraps
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(GetTickCount() - start, 0x20u);
    SetTickCountSource({});
    EXPECT_NE(GetTickCount(), 0x10u);
}

TEST_F(SysInfo, RandomNumbers)
{
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);

    // The same seed repeats the sequence.
    RandSeed() = 1234;
    QList<int> first;
    for (int i = 0; i < 20; ++i)
        first << Random(1000);
    RandSeed() = 1234;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Random(1000), first[i]);

    // Every value of a small range turns up, none outside it.
    int seen[6] = {};
    for (int i = 0; i < 6000; ++i) {
        const int r = Random(6);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 6);
        ++seen[r];
    }
    for (int count : seen)
        EXPECT_GT(count, 800);
    for (int i = 0; i < 1000; ++i) {
        const double r = Random();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }

    // Raw values map onto the range from the top bits.
    quint32 raw = 0;
    SetRandomSource([&raw] { return raw; });
    raw = 0;
    EXPECT_EQ(Random(10), 0);
    raw = 0x80000000u;
    EXPECT_EQ(Random(10), 5);
    raw = 0xFFFFFFFFu;
    EXPECT_EQ(Random(10), 9);
    EXPECT_EQ(Random(std::numeric_limits<int>::max()), std::numeric_limits<int>::max() - 1);
    EXPECT_LT(Random(), 1.0);

    SetRandomSource({});
    RandSeed() = 7;
    Randomize();
    const quint32 seeded = RandSeed();
    QThread::msleep(2);
    Randomize();
    EXPECT_NE(RandSeed(), seeded);
}
