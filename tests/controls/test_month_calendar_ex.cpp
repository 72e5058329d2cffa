// The large month grid: where the days of 5- and 6-week months stand and how
// big their cells are, the header's day formats, the drawing of marked,
// empty and owner-drawn cells with their border and layout, date errors, and
// the right mouse button with and without read-only.
#include "controls/month_calendar_ex.h"

#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <QApplication>
#include <QDate>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// The keeper's sizes: 110 x 64 cells under an 18-pixel header.
constexpr int kCol = 110;
constexpr int kRow = 64;
constexpr int kHeader = 18;

class CalendarEx : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClock([] { return EncodeDate(2026, 4, 15) + 0.25; });
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetClientSize(800, 500);
        cal = new TCPCalendarEx(form);
        cal->SetParent(form);
        cal->SetBorderStyle(bsNone);
        cal->SetBounds(0, 0, 7 * kCol + 6, kHeader + 6 * kRow + 6);
        cal->SetDefaultHeaderHeight(kHeader);
        cal->SetColor(0xECECEC);
        cal->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override
    {
        delete form;
        SetClock({});
        QApplication::processEvents();
    }

    QPoint CellOf(int day) const
    {
        for (int r = 1; r < 7; ++r)
            for (int c = 0; c < 7; ++c)
                if (cal->GetCellText(c, r) == QString::number(day))
                    return QPoint(c, r);
        return QPoint(-1, -1);
    }
    QDate Shown() const { return QDate(cal->Year(), cal->Month(), cal->Day()); }
    void RightClick(QPoint cell)
    {
        const QPoint at = cal->CellRect(cell.x(), cell.y()).center();
        QTest::mousePress(cal->Handle(), Qt::RightButton, {}, at);
        QTest::mouseRelease(cal->Handle(), Qt::RightButton, {}, at);
    }
    static QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }
    // The rows and columns inside r that hold a pixel of colour c.
    static QRect Extent(const QImage& image, const QRect& r, TColor c)
    {
        QRect found;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == Rgb(c))
                    found |= QRect(x, y, 1, 1);
        return found;
    }

    TForm* form = nullptr;
    TCPCalendarEx* cal = nullptr;
    int changes = 0;
};

TEST_F(CalendarEx, MonthsOfFiveAndSixWeeksFillTheirRowsWithStretchedCells)
{
    struct Case {
        int year, month, startOfWeek;
        QPoint first, last; // (column, week row)
    };
    const Case cases[] = {
        { 2026, 4, 0, { 3, 1 }, { 4, 5 } }, // five weeks, 1st on Wednesday
        { 2026, 8, 0, { 6, 1 }, { 1, 6 } }, // six weeks, 1st on Saturday
        { 2026, 2, 0, { 0, 1 }, { 6, 4 } }, // 1st on the start of the week
        { 2026, 2, 1, { 6, 1 }, { 5, 5 } }, // 1st the day before it: last column
        { 2004, 2, 0, { 0, 1 }, { 0, 5 } }, // the 29th alone in week row 5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1-%2 sow %3").arg(c.year).arg(c.month).arg(c.startOfWeek).toStdString());
        cal->SetStartOfWeek(c.startOfWeek);
        cal->SetCalendarDate(EncodeDate(c.year, c.month, 1));
        const int length = cal->MonthLength(c.year, c.month);
        EXPECT_EQ(CellOf(1), c.first);
        EXPECT_EQ(CellOf(length), c.last);
        EXPECT_EQ(cal->GetCellDate(c.last.x(), c.last.y()), EncodeDate(c.year, c.month, length));
        EXPECT_EQ(cal->GetCellDate(c.first.x(), 0), 0);
        EXPECT_EQ(QPoint(cal->Col(), cal->Row()), c.first);
        // Header row of its own height, week rows of equal height, one-pixel lines.
        EXPECT_EQ(cal->CellRect(c.last.x(), c.last.y()),
            QRect(c.last.x() * (kCol + 1), kHeader + 1 + (c.last.y() - 1) * (kRow + 1), kCol, kRow));
        EXPECT_EQ(cal->CellRect(6, 0), QRect(6 * (kCol + 1), 0, kCol, kHeader));
        EXPECT_EQ(cal->CellRect(6, 6).bottom() + 1, cal->Height());
    }
    cal->SetStartOfWeek(0);
    cal->SetBounds(0, 0, 7 * 50 + 6, kHeader + 6 * 30 + 6); // resizing keeps the header
    EXPECT_EQ(cal->RowHeights(0), kHeader);
    EXPECT_EQ(cal->CellRect(0, 1), QRect(0, kHeader + 1, 50, 30));
}

TEST_F(CalendarEx, DayFormatsNameTheWeekdaysFromTheStartOfTheWeek)
{
    const auto& fs = FormatSettings();
    EXPECT_EQ(cal->DayFormat(), dfShort);
    EXPECT_EQ(cal->GetCellText(0, 0), fs.ShortDayNames[0]);
    cal->SetDayFormat(dfLong);
    cal->SetStartOfWeek(1);
    EXPECT_EQ(cal->GetCellText(0, 0), fs.LongDayNames[1]);
    EXPECT_EQ(cal->GetCellText(6, 0), fs.LongDayNames[0]);
    cal->SetDayFormat(dfUltraShort);
    EXPECT_EQ(cal->GetCellText(2, 0), fs.ShortDayNames[3].left(1));
    EXPECT_EQ(cal->MonthName(), fs.LongMonthNames[3]);
}

TEST_F(CalendarEx, CellsAreFilledByTheirMarkTheirTextPlacedByBorderAndLayout)
{
    cal->SetColorEmpty(clWhite);
    cal->SetSpecialDays(QStringLiteral("3,3,21,")); // as the keeper leaves it
    cal->SetActiveDays(QStringLiteral("21,22"));
    cal->SetSpecialBGColor(0x80FFFF);
    cal->SetSpecialColor(0x0000AA);
    cal->SetActiveBGColor(0xFFC0C0);
    cal->SetActiveColor(clBlue);
    cal->Font()->SetColor(clBlack);
    cal->Font()->SetHeight(-14);
    cal->SetAlignment(taLeftJustify);
    cal->SetLayout(tlTop);
    cal->SetCellBorder(6);
    QList<QPoint> drawn;
    cal->OnDrawCalendarCell
        = [&](TObject*, TCanvas*, int c, int r, const QRect&, TGridDrawState, const QString&, TDayState state) {
              if (state != TDayState::dsNormal)
                  drawn.append(QPoint(c, r));
          };
    const QImage image = cal->RenderToBitmap()->Image();
    const auto rect = [&](int day) {
        const QPoint p = CellOf(day);
        return cal->CellRect(p.x(), p.y());
    };
    EXPECT_EQ(image.pixel(rect(3).bottomRight() - QPoint(1, 1)) & 0xFFFFFF, Rgb(0x80FFFF));
    EXPECT_EQ(image.pixel(rect(21).bottomRight() - QPoint(1, 1)) & 0xFFFFFF, Rgb(0x80FFFF)); // special wins
    EXPECT_EQ(image.pixel(rect(22).bottomRight() - QPoint(1, 1)) & 0xFFFFFF, Rgb(0xFFC0C0));
    EXPECT_EQ(image.pixel(rect(5).bottomRight() - QPoint(1, 1)) & 0xFFFFFF, Rgb(0xECECEC));
    EXPECT_EQ(image.pixel(cal->CellRect(0, 1).center()) & 0xFFFFFF, Rgb(clWhite)); // no day
    EXPECT_EQ(drawn, (QList<QPoint> { CellOf(3), CellOf(21), CellOf(22) }));

    const QRect special = Extent(image, rect(3), 0x0000AA);
    ASSERT_FALSE(special.isEmpty());
    EXPECT_GE(special.left(), rect(3).left() + 6);
    EXPECT_GE(special.top(), rect(3).top() + 6);
    EXPECT_LT(special.bottom(), rect(3).center().y());
    const QRect plain = Extent(image, rect(5), clBlack);
    EXPECT_LT(plain.bottom(), rect(5).center().y());

    cal->SetLayout(tlBottom);
    cal->SetAlignment(taRightJustify);
    const QImage bottom = cal->RenderToBitmap()->Image();
    const QRect moved = Extent(bottom, rect(3), 0x0000AA);
    EXPECT_GT(moved.top(), rect(3).center().y());
    EXPECT_LE(moved.bottom(), rect(3).bottom() - 6);
    EXPECT_LE(moved.right(), rect(3).right() - 6);
    EXPECT_GT(moved.left(), rect(3).center().x());

    cal->SetCellBorder(-3);
    EXPECT_EQ(cal->CellBorder(), 0);
}

TEST_F(CalendarEx, DatePartsThatNameNoRealDayRaiseAndKeepTheDate)
{
    cal->SetCalendarDate(EncodeDate(2026, 4, 30));
    changes = 0;
    cal->SetDay(31);
    EXPECT_EQ(Shown(), QDate(2026, 4, 30));
    EXPECT_THROW(cal->SetMonth(2), EConvertError);
    EXPECT_EQ(Shown(), QDate(2026, 4, 30));
    EXPECT_EQ(changes, 0);
    cal->SetCalendarDate(EncodeDate(2004, 2, 29));
    cal->NextYear();
    EXPECT_EQ(Shown(), QDate(2005, 2, 28));
    cal->SetCalendarDate(EncodeDate(2005, 1, 31));
    cal->NextMonth();
    EXPECT_EQ(Shown(), QDate(2005, 2, 28));
    EXPECT_FALSE(cal->UseCurrentDate());
}

TEST_F(CalendarEx, RightClickSelectsADayUnlessReadOnlyOrOffTheDays)
{
    form->Show();
    QApplication::processEvents();
    changes = 0;
    RightClick(CellOf(21));
    EXPECT_EQ(Shown(), QDate(2026, 4, 21));
    EXPECT_EQ(QPoint(cal->Col(), cal->Row()), CellOf(21));
    EXPECT_EQ(changes, 1);
    RightClick(QPoint(0, 1)); // empty
    RightClick(QPoint(3, 0)); // header
    EXPECT_EQ(Shown(), QDate(2026, 4, 21));

    cal->SetReadOnly(true);
    RightClick(CellOf(3));
    QTest::mouseClick(cal->Handle(), Qt::LeftButton, {}, cal->CellRect(CellOf(4).x(), CellOf(4).y()).center());
    EXPECT_EQ(Shown(), QDate(2026, 4, 21));
    EXPECT_EQ(QPoint(cal->Col(), cal->Row()), CellOf(21));
    EXPECT_EQ(changes, 1);
    cal->SetDay(9); // the program still moves it
    EXPECT_EQ(QPoint(cal->Col(), cal->Row()), CellOf(9));

    cal->SetReadOnly(false);
    cal->SetRightMouseSelect(false);
    RightClick(CellOf(3));
    EXPECT_EQ(Shown(), QDate(2026, 4, 9));
}

} // namespace
