#pragma once

#include "platform/core/datetime.h"

#include <QString>

#include <array>
#include <memory>

// One sign of the zodiac: its name, the days it covers (inclusive, the same
// in every year) and the index of its picture in the entry dialog's list.
class TZodiac {
public:
    // The name is stored without leading and trailing blanks.
    TZodiac(const QString& aName, int aStartDay, int aStartMonth, int aEndDay, int aEndMonth, int aImageIndex);

    const QString& ZodiacName() const { return fZodiacName; }
    // First and last day of the sign laid on the leap year 1004; the sign
    // that crosses the new year ends in 1005.
    TDateTime NormalizedStartDate() const { return fNormalizedStartDate; }
    TDateTime NormalizedEndDate() const { return fNormalizedEndDate; }

    // Whether the day and month of aDate fall in the sign; the year is
    // ignored. False for a value that is no date.
    bool IsDateOfZodiac(TDateTime aDate) const;

    int StartDay;
    int StartMonth;
    int EndDay;
    int EndMonth;
    int ImageIndex;

private:
    QString fZodiacName;
    TDateTime fNormalizedStartDate;
    TDateTime fNormalizedEndDate;
};

// The twelve signs from Aries to Pisces.
using TZodiacSigns = std::array<std::unique_ptr<TZodiac>, 12>;

// The process-wide table, built on first use.
const TZodiacSigns& ZodiacSigns();
// Builds the table when it does not exist yet.
void BuildZodiacSigns();
// Frees the table at the end of the program.
void FreeZodiacSigns();

// The first sign, in table order, that holds aDate; nullptr when none does.
const TZodiac* FindZodiac(TDateTime aDate);
