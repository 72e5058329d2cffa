// The month calendar: the month model for two centuries and every start of
// the week, day lists and their colours, date steps with their change events
// (also at the ends of the calendar), clicks and read-only use.
#include "dates_fixture.h"

#include "controls/month_calendar.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <QApplication>
#include <QDate>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <limits>

namespace {

class TestCalendar : public TCPCalendar {
public:
    using TCPCalendar::TCPCalendar;
    using TCustomGrid::CellRect;
};

class Calendar : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClock([] { return EncodeDate(2024, 5, 15) + 0.25; });
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetClientSize(400, 300);
        cal = new TestCalendar(form);
        cal->SetParent(form);
        cal->SetBorderStyle(bsNone);
        cal->SetGridLineWidth(2);
        cal->SetBounds(0, 0, 7 * 30 + 12, 7 * 20 + 12);
        cal->SetColor(clWhite);
        cal->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override
    {
        delete form;
        SetClock({});
        QApplication::processEvents();
    }

    void Go(int y, int m, int d) { cal->SetCalendarDate(EncodeDate(y, m, d)); }
    QDate Shown() const { return QDate(cal->Year(), cal->Month(), cal->Day()); }
    QRect CellOf(int day) const
    {
        for (int r = 1; r < 7; ++r)
            for (int c = 0; c < 7; ++c)
                if (cal->GetCellText(c, r) == QString::number(day))
                    return cal->CellRect(c, r);
        return QRect();
    }
    QRgb Fill(const QImage& image, const QRect& cell) const { return image.pixel(cell.topLeft() + QPoint(1, 1)); }

    TForm* form = nullptr;
    TestCalendar* cal = nullptr;
    int changes = 0;
};

QRgb Rgb(TColor c)
{
    return ToQColor(c).rgb();
}

} // namespace

TEST_F(Calendar, EveryMonthFrom1900To2100PutsThe1stInRow1AndItsDaysInOrder)
{
    for (int sow = 0; sow < 7; ++sow) {
        cal->SetStartOfWeek(sow);
        for (int y = 1900; y <= 2100; ++y) {
            for (int m = 1; m <= 12; ++m) {
                Go(y, m, 1);
                const QDate first(y, m, 1);
                const int firstCol = (first.dayOfWeek() % 7 - sow + 7) % 7;
                ASSERT_EQ(cal->ShownMonthLength(), first.daysInMonth()) << y << '-' << m;
                ASSERT_EQ(cal->Col(), firstCol);
                ASSERT_EQ(cal->Row(), 1);
                // Read row by row, the cells give 1 .. length without a gap.
                for (int cell = 0; cell < 42; ++cell) {
                    const int day = cell - firstCol + 1;
                    const QString expected = day >= 1 && day <= first.daysInMonth() ? QString::number(day) : QString();
                    ASSERT_EQ(cal->GetCellText(cell % 7, cell / 7 + 1), expected) << y << '-' << m << " sow " << sow;
                }
            }
        }
    }
}

TEST_F(Calendar, CellsFillTheClientAreaAndNeverShrinkBelowOnePixel)
{
    EXPECT_EQ(RectRight(cal->CellRect(6, 6)), cal->Width());
    EXPECT_EQ(RectBottom(cal->CellRect(6, 6)), cal->Height());
    cal->SetBounds(0, 0, 5, 3);
    EXPECT_EQ(cal->DefaultColWidth(), 1);
    EXPECT_EQ(cal->DefaultRowHeight(), 1);
    cal->RenderToBitmap();
}

TEST_F(Calendar, DayListsReadBackAsAssignedAndColourWholeDayNumbers)
{
    EXPECT_EQ(cal->ActiveDays(), QString()); // never assigned: nothing to cut
    for (const QString& list : { QString(), QStringLiteral(","), QStringLiteral("3,17") }) {
        cal->SetActiveDays(list);
        EXPECT_EQ(cal->ActiveDays(), list);
    }
    // The diary's own lists: written days ",5,12,", birthdays "12,20,0".
    cal->SetActiveDays(QStringLiteral(",3,13,15,"));
    cal->SetSpecialDays(QStringLiteral("13,20,0"));
    EXPECT_EQ(cal->DayStateOf(QStringLiteral("1")), TDayState::dsNormal); // not a part of 13
    EXPECT_EQ(cal->DayStateOf(QStringLiteral("13")), TDayState::dsSpecial); // special wins
    EXPECT_EQ(cal->DayStateOf(QString()), TDayState::dsNormal); // doubled commas mark no empty cell

    cal->SetActiveBGColor(clAqua);
    cal->SetSpecialBGColor(clLime);
    QList<TDayState> states;
    cal->OnDrawCalendarCell
        = [&](TObject*, TCanvas* c, int, int, const QRect&, TGridDrawState, const QString& t, TDayState ds) {
              states.append(ds);
              if (t == QStringLiteral("3")) {
                  EXPECT_EQ(c->Brush()->Color(), clWhite); // the marked colours are undone
              }
          };
    const QImage image = cal->RenderToBitmap()->Image();
    EXPECT_EQ(states.size(), 49);
    EXPECT_EQ(states.count(TDayState::dsActive), 2);
    EXPECT_EQ(states.count(TDayState::dsSpecial), 2);
    EXPECT_EQ(Fill(image, CellOf(3)), Rgb(clAqua));
    EXPECT_EQ(Fill(image, CellOf(13)), Rgb(clLime));
    EXPECT_EQ(Fill(image, CellOf(4)), Rgb(clWhite));
    EXPECT_EQ(Fill(image, CellOf(15)), Rgb(clHighlight)); // selected beats marked
}

TEST_F(Calendar, DatePartsChangeOnlyToRealDaysAndFireOnce)
{
    Go(2020, 4, 10);
    changes = 0;
    for (int bad : { 0, 10, 31 }) // 10 is unchanged, April has 30 days
        cal->SetDay(bad);
    cal->SetMonth(13);
    cal->SetYear(10000);
    EXPECT_EQ(changes, 0);
    cal->SetDay(30);
    cal->SetMonth(2); // no 30 February: the month's last day
    EXPECT_EQ(Shown(), QDate(2020, 2, 29));
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(cal->UseCurrentDate());

    // A whole date always fires; what is no date never lands.
    cal->SetCalendarDate(cal->CalendarDate());
    cal->SetCalendarDate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(changes, 3);
    cal->SetCalendarDate(1e9);
    EXPECT_EQ(Shown(), QDate(9999, 12, 31));
    // Switching UseCurrentDate back on moves to today without an event.
    changes = 0;
    cal->SetUseCurrentDate(true);
    EXPECT_EQ(Shown(), QDate(2024, 5, 15));
    EXPECT_EQ(changes, 0);
}

TEST_F(Calendar, StepsKeepTheDayWhereTheMonthHasItAndStopAtTheEnds)
{
    CheckSteps(cal, changes, [this] { return Shown(); },
        {
            { QDate(2023, 1, 31), 'M', QDate(2023, 2, 28), 1 },
            { QDate(2024, 3, 31), 'm', QDate(2024, 2, 29), 1 },
            { QDate(2023, 12, 15), 'M', QDate(2024, 1, 15), 1 },
            { QDate(2024, 2, 29), 'Y', QDate(2025, 2, 28), 2 },
            { QDate(2024, 2, 29), 'y', QDate(2023, 2, 28), 2 },
            { QDate(2023, 7, 4), 'y', QDate(2022, 7, 4), 1 },
            { QDate(9999, 12, 31), 'M', QDate(9999, 12, 31), 0 },
            { QDate(9999, 6, 10), 'Y', QDate(9999, 6, 10), 0 },
            { QDate(1, 1, 1), 'm', QDate(1, 1, 1), 0 },
            { QDate(1, 5, 1), 'y', QDate(1, 5, 1), 0 },
        });
}

TEST_F(Calendar, ClicksAndKeysChooseDaysUnlessReadOnly)
{
    form->Show();
    QApplication::processEvents();
    int clicks = 0;
    cal->OnClick = [&](TObject*) { ++clicks; };
    changes = 0;
    QTest::mouseClick(cal->Handle(), Qt::LeftButton, {}, CellOf(21).center());
    EXPECT_EQ(Shown(), QDate(2024, 5, 21));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(cal->Handle(), Qt::LeftButton, {}, cal->CellRect(0, 1).center()); // empty
    EXPECT_EQ(Shown(), QDate(2024, 5, 21));
    cal->SetFocus();
    QTest::keyClick(cal->Handle(), Qt::Key_Down);
    QTest::keyClick(cal->Handle(), Qt::Key_Down); // the 4th of June is not shown
    EXPECT_EQ(Shown(), QDate(2024, 5, 28));

    cal->SetReadOnly(true);
    QTest::mouseClick(cal->Handle(), Qt::LeftButton, {}, CellOf(3).center());
    QTest::keyClick(cal->Handle(), Qt::Key_Left);
    EXPECT_EQ(Shown(), QDate(2024, 5, 28));
    EXPECT_EQ(changes, 2);
    cal->NextMonth(); // the program still moves it, selection included
    EXPECT_EQ(Shown(), QDate(2024, 6, 28));
    EXPECT_EQ(cal->CellRect(cal->Col(), cal->Row()), CellOf(28));
}
