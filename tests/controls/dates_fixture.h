#pragma once

// Shared by the calendar and date edit tests: today pinned to 15 May 2024
// (a quarter past it, so the time of day must be dropped), and dates as
// QDate, an invalid QDate standing for no date.

#include "buttons_fixture.h"

#include "platform/core/date_util.h"

#include <QDate>

#include <initializer_list>

inline QDate ToQDate(TDateTime d)
{
    if (d == EmptyDate)
        return QDate();
    int y = 0, m = 0, day = 0;
    DecodeDate(d, y, m, day);
    return QDate(y, m, day);
}

inline TDateTime FromQDate(QDate d)
{
    return d.isValid() ? EncodeDate(d.year(), d.month(), d.day()) : EmptyDate;
}

// A step of a calendar's arrows from a date: m/M the previous/next month,
// y/Y the previous/next year; where it lands and how many change events fire.
struct CalendarStep {
    QDate From;
    char Move;
    QDate To;
    int Changes;
};

// Takes each step from its own date, counting the changes from there, and
// draws the calendar after it.
template <class Calendar, class Shown>
void CheckSteps(Calendar* cal, int& changes, Shown shown, std::initializer_list<CalendarStep> steps)
{
    for (const CalendarStep& s : steps) {
        SCOPED_TRACE(s.From.toString(Qt::ISODate).toStdString() + ' ' + s.Move);
        cal->SetCalendarDate(FromQDate(s.From));
        changes = 0;
        switch (s.Move) {
        case 'M': cal->NextMonth(); break;
        case 'm': cal->PrevMonth(); break;
        case 'Y': cal->NextYear(); break;
        default: cal->PrevYear(); break;
        }
        EXPECT_EQ(shown(), s.To);
        EXPECT_EQ(changes, s.Changes);
        cal->RenderToBitmap();
    }
}

class DatesFixture : public ButtonsFixture {
protected:
    void SetUp() override
    {
        ButtonsFixture::SetUp();
        SetClock([] { return EncodeDate(2024, 5, 15) + 0.25; });
    }
    void TearDown() override
    {
        SetClock({});
        ButtonsFixture::TearDown();
    }
};
