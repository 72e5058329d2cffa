// The pop-up calendar and its grid: day keys across month and year ends and
// at the range's bounds, date parts that would make impossible days, the
// range in selection and drawing, today's frame, and the pop-up itself:
// arrow buttons with their hints, enabling and repeat, picking a day,
// keys and the month title.
#include "dates_fixture.h"

#include "controls/popup_calendar.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/extctrls.h"

#include <QDate>
#include <QtTest/QTest>

namespace {

class TestCalendar : public TLocCalendar {
public:
    using TCustomGrid::CellRect;
    using TLocCalendar::TLocCalendar;
};

class GridCalendar : public DatesFixture {
protected:
    void SetUp() override
    {
        DatesFixture::SetUp();
        MakeForm(300, 200, clBtnFace);
        cal = Add<TestCalendar>(0, 0, 7 * 24, 7 * 16);
        cal->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override { DatesFixture::TearDown(); }
    QDate Shown() const { return ToQDate(cal->CalendarDate()); }
    void Go(QDate d) { cal->SetCalendarDate(FromQDate(d)); }
    QRect CellOf(int day) const
    {
        for (int r = 1; r < 7; ++r)
            for (int c = 0; c < 7; ++c)
                if (cal->DayCellText(c, r) == QString::number(day))
                    return cal->CellRect(c, r);
        return QRect();
    }

    TestCalendar* cal = nullptr;
    int changes = 0;
};

} // namespace

TEST_F(GridCalendar, DayKeysCrossMonthAndYearEndsAndStopAtTheBounds)
{
    struct Case {
        QDate From;
        quint16 Key;
        TShiftState Shift;
        QDate Min, Max; // invalid: no bound
        QDate To;
    };
    const QDate none;
    const Case cases[] = {
        { QDate(2023, 12, 31), VK_RIGHT, 0, none, none, QDate(2024, 1, 1) },
        { QDate(2024, 1, 1), VK_LEFT, 0, none, none, QDate(2023, 12, 31) },
        { QDate(2024, 2, 28), VK_ADD, 0, none, none, QDate(2024, 2, 29) },
        { QDate(2024, 3, 1), VK_SUBTRACT, 0, none, none, QDate(2024, 2, 29) },
        { QDate(2023, 2, 28), VK_RIGHT, 0, none, none, QDate(2023, 3, 1) },
        // Up and Down move a week inside the month and stop at its edges.
        { QDate(2024, 5, 15), VK_DOWN, 0, none, none, QDate(2024, 5, 22) },
        { QDate(2024, 5, 29), VK_DOWN, 0, none, none, QDate(2024, 5, 29) },
        { QDate(2024, 5, 3), VK_UP, 0, none, none, QDate(2024, 5, 3) },
        // At a bound the day stays.
        { QDate(2024, 5, 10), VK_LEFT, 0, QDate(2024, 5, 10), none, QDate(2024, 5, 10) },
        { QDate(2024, 5, 20), VK_RIGHT, 0, none, QDate(2024, 5, 20), QDate(2024, 5, 20) },
        { QDate(2024, 5, 31), VK_RIGHT, 0, QDate(2024, 5, 1), QDate(2024, 5, 31), QDate(2024, 5, 31) },
        { QDate(2024, 5, 11), VK_LEFT, 0, QDate(2024, 5, 10), none, QDate(2024, 5, 10) },
        { QDate(2024, 5, 15), VK_UP, 0, QDate(2024, 5, 10), none, QDate(2024, 5, 15) },
        // With a modifier the key is the grid's: Shift+Right moves a cell.
        { QDate(2024, 5, 31), VK_RIGHT, ssShift, none, none, QDate(2024, 5, 31) },
    };
    for (const Case& c : cases) {
        const std::string what = c.From.toString(Qt::ISODate).toStdString() + " key " + std::to_string(c.Key);
        cal->SetRange(EmptyDate, EmptyDate);
        Go(c.From);
        cal->SetRange(FromQDate(c.Min), FromQDate(c.Max));
        quint16 key = c.Key;
        cal->KeyDown(key, c.Shift);
        EXPECT_EQ(Shown(), c.To) << what;
        EXPECT_EQ(cal->DayCellText(cal->Col(), cal->Row()), QString::number(c.To.day())) << what;
    }
    // "T" goes to today, whatever the month shown.
    Go(QDate(2020, 1, 9));
    QChar t = u't';
    cal->KeyPress(t);
    EXPECT_EQ(Shown(), QDate(2024, 5, 15));
    EXPECT_TRUE(t.isNull());
}

TEST_F(GridCalendar, DatePartsNeverMakeAnImpossibleDayAndKeepTheRange)
{
    struct Case {
        QDate From;
        int Index; // 1 year, 2 month, 3 day
        int Value;
        QDate Min, Max;
        QDate To;
    };
    const QDate none;
    const Case cases[] = {
        { QDate(2024, 3, 31), 2, 4, none, none, QDate(2024, 4, 30) },
        { QDate(2024, 2, 29), 1, 2023, none, none, QDate(2023, 2, 28) },
        { QDate(2024, 2, 29), 1, 2028, none, none, QDate(2028, 2, 29) },
        { QDate(2024, 1, 31), 2, 2, none, none, QDate(2024, 2, 29) },
        { QDate(2024, 4, 30), 3, 31, none, none, QDate(2024, 4, 30) }, // no 31 April: ignored
        { QDate(2024, 4, 30), 2, 13, none, none, QDate(2024, 4, 30) },
        { QDate(2024, 4, 30), 3, 0, none, none, QDate(2024, 4, 30) },
        // Into the range: year, month and day raised or lowered to the bound.
        { QDate(2024, 3, 10), 1, 2020, QDate(2022, 6, 20), none, QDate(2022, 6, 20) },
        { QDate(2024, 8, 25), 1, 2030, none, QDate(2026, 2, 14), QDate(2026, 2, 14) },
        { QDate(2022, 8, 25), 2, 3, QDate(2022, 6, 27), none, QDate(2022, 6, 27) },
        { QDate(2022, 8, 5), 2, 11, none, QDate(2022, 9, 3), QDate(2022, 9, 3) },
        { QDate(2022, 6, 28), 3, 2, QDate(2022, 6, 27), none, QDate(2022, 6, 27) },
        { QDate(2022, 6, 2), 3, 29, none, QDate(2022, 6, 20), QDate(2022, 6, 20) },
        // 31 July to the year of a bound in February keeps a real day.
        { QDate(2023, 7, 31), 1, 2020, QDate(2024, 2, 10), none, QDate(2024, 7, 31) },
        { QDate(2024, 7, 31), 1, 2030, none, QDate(2025, 2, 10), QDate(2025, 2, 10) },
    };
    for (const Case& c : cases) {
        const std::string what = c.From.toString(Qt::ISODate).toStdString() + " part " + std::to_string(c.Index)
            + " := " + std::to_string(c.Value);
        cal->SetRange(EmptyDate, EmptyDate);
        Go(c.From);
        cal->SetRange(FromQDate(c.Min), FromQDate(c.Max));
        switch (c.Index) {
        case 1: cal->SetYear(c.Value); break;
        case 2: cal->SetMonth(c.Value); break;
        default: cal->SetDay(c.Value); break;
        }
        EXPECT_EQ(Shown(), c.To) << what;
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(GridCalendar, StepsFireOnceAndLeapDaysStepToTheMonthsEnd)
{
    CheckSteps(cal, changes, [this] { return Shown(); },
        {
            { QDate(2024, 1, 31), 'M', QDate(2024, 2, 29), 1 },
            { QDate(2023, 3, 31), 'm', QDate(2023, 2, 28), 1 },
            { QDate(2024, 2, 29), 'Y', QDate(2025, 2, 28), 2 },
            { QDate(2024, 2, 29), 'y', QDate(2023, 2, 28), 2 },
            { QDate(2023, 12, 15), 'M', QDate(2024, 1, 15), 1 },
        });
}

TEST_F(GridCalendar, DaysOutsideTheRangeCannotBePickedAndLookEngraved)
{
    ShowForm();
    Go(QDate(2024, 5, 15));
    cal->SetMinDate(FromQDate(QDate(2024, 5, 10)));
    cal->SetMaxDate(FromQDate(QDate(2024, 5, 20)));
    QTest::mouseClick(cal->Handle(), Qt::LeftButton, {}, CellOf(6).center());
    EXPECT_EQ(Shown(), QDate(2024, 5, 15));
    QTest::mouseClick(cal->Handle(), Qt::LeftButton, {}, CellOf(18).center());
    EXPECT_EQ(Shown(), QDate(2024, 5, 18));
    // On button face a day outside is engraved in highlight and shadow, with
    // nothing darker; a day inside is black, a Sunday (the last column with
    // Monday first) red.
    const QImage image = Render(cal);
    const auto darkest = [&](int day) {
        int v = 255;
        const QRect r = CellOf(day);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                v = std::min(v, qGray(image.pixel(x, y)));
        return v;
    };
    EXPECT_GT(darkest(6), 0x60);
    EXPECT_LT(darkest(6), 0xB0);
    EXPECT_LT(darkest(14), 0x40);
    const auto reddest = [&](int day) {
        int best = 0;
        const QRect r = CellOf(day);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c(image.pixel(x, y));
                best = std::max(best, c.red() - std::max(c.green(), c.blue()));
            }
        return best;
    };
    EXPECT_GT(reddest(19), 0x80);
    EXPECT_LT(reddest(14), 0x20);
    // Removing a bound leaves the date where it is.
    cal->SetMaxDate(EmptyDate);
    EXPECT_EQ(Shown(), QDate(2024, 5, 18));
    cal->SetMinDate(FromQDate(QDate(2024, 6, 1)));
    EXPECT_EQ(Shown(), QDate(2024, 6, 1));
}

TEST_F(GridCalendar, TodaysCellIsFramedAndTheFirstStandsInRowOne)
{
    // September 2024 starts on a Sunday: column 6 with Monday first, and its
    // 30th reaches row 6.
    Go(QDate(2024, 9, 1));
    EXPECT_EQ(cal->DayCellText(6, 1), QStringLiteral("1"));
    EXPECT_EQ(cal->DayCellText(0, 6), QStringLiteral("30"));
    cal->SetStartOfWeek(Sun);
    EXPECT_EQ(cal->DayCellText(0, 1), QStringLiteral("1"));
    cal->SetStartOfWeek(Mon);

    Go(QDate(2024, 5, 15));
    cal->SetDay(3); // today (the 15th) is no longer selected
    const QImage image = Render(cal);
    const QRect today = CellOf(15);
    EXPECT_EQ(Px(image, today.left(), today.top() + 2), Rgb(clBtnShadow));
    EXPECT_EQ(Px(image, today.right(), today.top() + 2), Rgb(clBtnHighlight));
    const QRect other = CellOf(16);
    EXPECT_EQ(Px(image, other.left(), other.top() + 2), Rgb(clBtnFace));
}

namespace {

class PopupCalendar : public DatesFixture {
protected:
    void SetUp() override
    {
        DatesFixture::SetUp();
        SetTickCountSource([this] { return now; });
        MakeForm(300, 200, clBtnFace);
        popup = MakePopupCalendar(form, EmptyDate, EmptyDate);
        popup->OnCloseUp = [this](TObject*, bool accept) { closes.append(accept); };
        cal = popup->Calendar();
    }
    void TearDown() override
    {
        SetTickCountSource({});
        DatesFixture::TearDown();
    }
    QDate Shown() const { return ToQDate(cal->CalendarDate()); }
    // Holds an arrow for ms milliseconds of the scripted tick counter, firing
    // the repeat timer when it falls due as its window timer would.
    void Hold(TTimerSpeedButton* b, quint32 ms)
    {
        const QPoint at = b->BoundsRect().center();
        b->Parent()->HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, at, false);
        TTimer* timer = b->RepeatTimer();
        quint32 due = now + timer->Interval();
        for (const quint32 end = now + ms; now < end;)
            if (++now == due && timer->Enabled()) {
                timer->OnTimer(timer);
                due = now + timer->Interval();
            }
        b->Parent()->HostMouseRelease(Qt::LeftButton, {}, {}, at);
    }

    TPopupCalendar* popup = nullptr;
    TGridCalendar* cal = nullptr;
    QList<bool> closes;
    quint32 now = 50000;
};

} // namespace

TEST_F(PopupCalendar, ArrowsStepMonthsAndYearsRepeatWhileHeldAndStopAtTheRange)
{
    popup->WriteValue(FromQDate(QDate(2024, 1, 31)));
    EXPECT_EQ(popup->TitleLabel()->Caption(), QStringLiteral("January, 2024"));
    const QString hints[4] = { QStringLiteral("Previous Year|"), QStringLiteral("Previous Month|"),
        QStringLiteral("Next Month|"), QStringLiteral("Next Year|") };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(popup->Button(i)->Hint(), hints[i]);
        EXPECT_TRUE(popup->Button(i)->AllowTimer());
        EXPECT_EQ(popup->Button(i)->Width(), 14);
    }
    // Right edges: next month 26 and next year 13 pixels from the bar's end.
    EXPECT_EQ(popup->Button(3)->Left() - popup->Button(2)->Left(), 13);

    popup->Button(2)->Click();
    EXPECT_EQ(Shown(), QDate(2024, 2, 29));
    EXPECT_EQ(popup->TitleLabel()->Caption(), QStringLiteral("February, 2024"));
    popup->Button(3)->Click();
    EXPECT_EQ(Shown(), QDate(2025, 2, 28));
    popup->Button(0)->Click();
    popup->Button(1)->Click();
    EXPECT_EQ(Shown(), QDate(2024, 1, 28));

    // Held for a second: steps at 500 ms and every 100 ms after, and one
    // more on release.
    Hold(popup->Button(2), 1000);
    EXPECT_EQ(Shown(), QDate(2024, 8, 28));

    // A range: arrows that would leave it are disabled, and the title follows.
    ConfigureCalendarPopup(
        popup, Mon, DayBit(Sun), FromQDate(QDate(2024, 3, 5)), FromQDate(QDate(2024, 9, 20)), nullptr, clRed);
    popup->RefreshArrows();
    EXPECT_FALSE(popup->Button(0)->Enabled());
    EXPECT_TRUE(popup->Button(1)->Enabled());
    EXPECT_TRUE(popup->Button(2)->Enabled());
    EXPECT_FALSE(popup->Button(3)->Enabled());
    popup->Button(2)->Click();
    EXPECT_FALSE(popup->Button(2)->Enabled());
    EXPECT_EQ(Shown(), QDate(2024, 9, 20));
}

TEST_F(PopupCalendar, KeysPageAndPickAndClicksOnDaysClose)
{
    ShowForm();
    popup->WriteValue(FromQDate(QDate(2024, 5, 31)));
    struct Case {
        quint16 Key;
        TShiftState Shift;
        QDate To;
    };
    const Case cases[] = {
        { VK_NEXT, 0, QDate(2024, 6, 30) },
        { VK_PRIOR, ssCtrl, QDate(2023, 6, 30) },
        { VK_NEXT, ssCtrl, QDate(2024, 6, 30) },
        { VK_RIGHT, 0, QDate(2024, 7, 1) },
        { VK_PRIOR, 0, QDate(2024, 6, 1) },
        { VK_LEFT, 0, QDate(2024, 5, 31) },
        { VK_UP, 0, QDate(2024, 5, 24) },
    };
    for (const Case& c : cases) {
        quint16 key = c.Key;
        popup->KeyDown(key, c.Shift);
        EXPECT_EQ(Shown(), c.To) << c.Key;
    }
    QChar t = u'T';
    popup->KeyPress(t);
    EXPECT_EQ(Shown(), QDate(2024, 5, 15));

    // The header row and empty cells neither pick nor close; a day does both.
    popup->Show(QPoint(10, 10));
    auto* grid = static_cast<TLocCalendar*>(cal);
    const auto click = [&](int col, int row) {
        // A point of the cell, found through the calendar's own hit test.
        QPoint at(-1, -1);
        for (int y = 0; y < grid->Height() && at.x() < 0; ++y)
            for (int x = 0; x < grid->Width() && at.x() < 0; ++x) {
                int c = -1, r = -1;
                grid->MouseToCell(x, y, c, r);
                if (c == col && r == row)
                    at = QPoint(x + 2, y + 2);
            }
        grid->HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, at, false);
        grid->HostMouseRelease(Qt::LeftButton, {}, {}, at);
    };
    click(2, 0);
    click(0, 1); // 1 May 2024 is a Wednesday: column 2
    EXPECT_TRUE(closes.isEmpty());
    EXPECT_EQ(Shown(), QDate(2024, 5, 15));
    click(4, 2); // Friday of the second week: the 10th
    EXPECT_EQ(Shown(), QDate(2024, 5, 10));
    EXPECT_EQ(closes, QList<bool>({ true }));
    EXPECT_EQ(popup->ReadValue().toDouble(), FromQDate(QDate(2024, 5, 10)));
    popup->Hide();
}
