#include "zodiac.h"

namespace {

// The reference years: 1004 is a leap year, so every day of any year has a
// place in it; the year after holds the end of the sign that crosses the
// new year.
constexpr int kReferenceYear = 1004;
constexpr int kFollowingYear = 1005;

TZodiacSigns& Signs()
{
    static TZodiacSigns signs;
    return signs;
}

bool Within(TDateTime value, TDateTime first, TDateTime last)
{
    return value >= first && value <= last;
}

} // namespace

TZodiac::TZodiac(const QString& aName, int aStartDay, int aStartMonth, int aEndDay, int aEndMonth, int aImageIndex)
    : StartDay(aStartDay)
    , StartMonth(aStartMonth)
    , EndDay(aEndDay)
    , EndMonth(aEndMonth)
    , ImageIndex(aImageIndex)
    , fZodiacName(aName.trimmed())
    , fNormalizedStartDate(EncodeDate(kReferenceYear, aStartMonth, aStartDay))
    , fNormalizedEndDate(EncodeDate(aEndMonth < aStartMonth ? kFollowingYear : kReferenceYear, aEndMonth, aEndDay))
{
}

bool TZodiac::IsDateOfZodiac(TDateTime aDate) const
{
    if (!IsValidDateTime(aDate))
        return false;
    int year, month, day;
    DecodeDate(aDate, year, month, day);
    if (Within(EncodeDate(kReferenceYear, month, day), fNormalizedStartDate, fNormalizedEndDate))
        return true;
    // The second look catches the January days of the sign that crosses the
    // new year; the following year has no 29 February.
    if (month == 2 && day == 29)
        day = 28;
    return Within(EncodeDate(kFollowingYear, month, day), fNormalizedStartDate, fNormalizedEndDate);
}

void BuildZodiacSigns()
{
    TZodiacSigns& signs = Signs();
    if (signs[0])
        return;
    // Picture indices run from Capricorn through the year; the table starts
    // at Aries.
    signs = {
        std::make_unique<TZodiac>(QStringLiteral("Aries      "), 21, 3, 19, 4, 3),
        std::make_unique<TZodiac>(QStringLiteral("Taurus     "), 20, 4, 20, 5, 4),
        std::make_unique<TZodiac>(QStringLiteral("Gemini     "), 21, 5, 20, 6, 5),
        std::make_unique<TZodiac>(QStringLiteral("Cancer     "), 21, 6, 22, 7, 6),
        std::make_unique<TZodiac>(QStringLiteral("Leo        "), 23, 7, 22, 8, 7),
        std::make_unique<TZodiac>(QStringLiteral("Virgo      "), 23, 8, 22, 9, 8),
        std::make_unique<TZodiac>(QStringLiteral("Libra      "), 23, 9, 22, 10, 9),
        std::make_unique<TZodiac>(QStringLiteral("Scorpio    "), 23, 10, 21, 11, 10),
        std::make_unique<TZodiac>(QStringLiteral("Sagittarius"), 22, 11, 21, 12, 11),
        std::make_unique<TZodiac>(QStringLiteral("Capricorn  "), 22, 12, 19, 1, 0),
        std::make_unique<TZodiac>(QStringLiteral("Aquarius   "), 20, 1, 18, 2, 1),
        std::make_unique<TZodiac>(QStringLiteral("Pisces     "), 19, 2, 20, 3, 2),
    };
}

const TZodiacSigns& ZodiacSigns()
{
    BuildZodiacSigns();
    return Signs();
}

void FreeZodiacSigns()
{
    for (auto& sign : Signs())
        sign.reset();
}

const TZodiac* FindZodiac(TDateTime aDate)
{
    for (const auto& sign : ZodiacSigns())
        if (sign->IsDateOfZodiac(aDate))
            return sign.get();
    return nullptr;
}
