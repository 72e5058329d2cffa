#pragma once

// Shared by the calendar and date edit tests: today pinned to 15 May 2024
// (a quarter past it, so the time of day must be dropped), and dates as
// QDate, an invalid QDate standing for no date.

#include "buttons_fixture.h"

#include "platform/core/date_util.h"

#include <QDate>

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
