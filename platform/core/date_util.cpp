#include "platform/core/date_util.h"

#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"

#include <cmath>
#include <optional>

bool YearIsLeap(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int MonthDayCount(int year, int month)
{
    static constexpr int lengths[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return lengths[month - 1] + (month == 2 && YearIsLeap(year) ? 1 : 0);
}

bool IsValidYMD(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= MonthDayCount(year, month);
}

bool IsValidDateValue(TDateTime value)
{
    if (!IsValidDateTime(value))
        return false;
    int y = 0, m = 0, d = 0;
    try {
        DecodeDate(value, y, m, d);
    } catch (const EConvertError&) {
        return false;
    }
    return IsValidYMD(y, m, d);
}

int ThisYear()
{
    int y = 0, m = 0, d = 0;
    DecodeDate(Date(), y, m, d);
    return y;
}

int WidenYear(int year)
{
    if (year == -1)
        return ThisYear();
    if (year >= 100)
        return year;
    const int first = ThisYear() - CenturyWindow;
    year += first / 100 * 100;
    if (year < first)
        year += 100;
    return year;
}

TDateFieldOrder DateFieldOrder(const QString& format)
{
    for (QChar c : format) {
        switch (c.toUpper().unicode()) {
        case 'D': return dfoDayMonthYear;
        case 'E':
        case 'Y': return dfoYearMonthDay;
        case 'M': return dfoMonthDayYear;
        default: break;
        }
    }
    return dfoDayMonthYear;
}

namespace {

std::optional<bool>& FourDigitYearFlag()
{
    static std::optional<bool> flag;
    return flag;
}

} // namespace

bool UseFourDigitYear()
{
    if (!FourDigitYearFlag())
        InitUseFourDigitYear();
    return *FourDigitYearFlag();
}

void InitUseFourDigitYear()
{
    FourDigitYearFlag() = FormatSettings().ShortDateFormat.toUpper().contains(QStringLiteral("YYYY"));
}

QString StandardDateFormat(bool fourDigitYear)
{
    switch (DateFieldOrder(FormatSettings().ShortDateFormat)) {
    case dfoMonthDayYear: return fourDigitYear ? QStringLiteral("MM/DD/YYYY") : QStringLiteral("MM/DD/YY");
    case dfoYearMonthDay: return fourDigitYear ? QStringLiteral("YYYY/MM/DD") : QStringLiteral("YY/MM/DD");
    default: return fourDigitYear ? QStringLiteral("DD/MM/YYYY") : QStringLiteral("DD/MM/YY");
    }
}

QString StandardDateMask(QChar blank, bool fourDigitYear)
{
    QString mask;
    if (!fourDigitYear)
        mask = QStringLiteral("!99/99/99;1;");
    else if (DateFieldOrder(FormatSettings().ShortDateFormat) == dfoYearMonthDay)
        mask = QStringLiteral("!9999/99/99;1;");
    else
        mask = QStringLiteral("!99/99/9999;1;");
    return mask + blank;
}

int MonthByName(const QString& text, int n)
{
    if (text.isEmpty())
        return 0;
    const QString head = text.left(n);
    const auto& names = FormatSettings().LongMonthNames;
    for (int m = 0; m < 12; ++m) {
        if (!names[m].isEmpty() && QString::localeAwareCompare(names[m].left(n).toUpper(), head.toUpper()) == 0)
            return m + 1;
    }
    return 0;
}

namespace {

// The field of letter in format, read from the same positions of a text
// typed through the format's edit mask. Blanks are skipped; count above 1
// reads a month name.
int TakeMaskedField(const QString& format, const QString& text, QChar letter, int count, int defaultValue, int blank)
{
    letter = letter.toUpper();
    if (text.size() > format.size())
        return defaultValue;
    const int length = int(std::min(text.size(), format.size()));
    const QString upper = format.toUpper();
    qsizetype j = upper.indexOf(QString(count, letter));
    if (j < 0)
        return defaultValue;
    QString collected;
    for (; j < length && upper[j] == letter; ++j) {
        if (text[j] != u' ')
            collected += text[j];
    }
    if (collected.isEmpty())
        return blank;
    if (count == 1) {
        bool ok = false;
        const int n = collected.toInt(&ok, 10);
        return ok ? n : -1;
    }
    const int month = MonthByName(collected, int(collected.size()));
    return month == 0 ? -1 : month;
}

// Free-form reading: blanks around fields, numbers in the format's order.
class TDateScanner {
public:
    explicit TDateScanner(const QString& text)
        : fText(text)
    {
    }

    bool AtEnd() const { return fPos >= fText.size(); }

    void SkipBlanks()
    {
        while (fPos < fText.size() && fText[fPos] == u' ')
            ++fPos;
    }

    // Digits while the value so far is below 1000: at most four of a year.
    bool Number(int& n)
    {
        SkipBlanks();
        const qsizetype start = fPos;
        n = 0;
        while (fPos < fText.size() && fText[fPos] >= u'0' && fText[fPos] <= u'9' && n < 1000) {
            n = n * 10 + (fText[fPos].unicode() - u'0');
            ++fPos;
        }
        return fPos > start;
    }

    bool Char(QChar c)
    {
        SkipBlanks();
        if (fPos < fText.size() && fText[fPos] == c) {
            ++fPos;
            return true;
        }
        return false;
    }

    void SkipToDigit()
    {
        while (fPos < fText.size() && !(fText[fPos] >= u'0' && fText[fPos] <= u'9'))
            fPos += fText[fPos].isHighSurrogate() ? 2 : 1;
        fPos = std::min(fPos, fText.size());
    }

    // Word by word up to the morning or afternoon marker, or the end.
    void SkipToTimeMarker(const QString& am, const QString& pm)
    {
        while (!AtEnd()) {
            SkipBlanks();
            qsizetype end = fPos;
            while (end < fText.size() && fText[end] != u' ')
                ++end;
            const QString word = fText.mid(fPos, end - fPos);
            if (word.compare(am, Qt::CaseInsensitive) == 0 || word.compare(pm, Qt::CaseInsensitive) == 0)
                return;
            fPos = end;
        }
    }

private:
    const QString& fText;
    qsizetype fPos = 0;
};

bool ScanDateText(const QString& text, const QString& format, int& day, int& month, int& year)
{
    const TFormatSettings& fs = FormatSettings();
    day = month = year = 0;
    const TDateFieldOrder order = DateFieldOrder(format);
    TDateScanner s(text);
    if (fs.ShortDateFormat.startsWith(u'g'))
        s.SkipToDigit();
    int n1 = 0, n2 = 0, n3 = 0;
    if (!(s.Number(n1) && s.Char(fs.DateSeparator) && s.Number(n2)))
        return false;
    if (s.Char(fs.DateSeparator)) {
        if (!s.Number(n3))
            return false;
        switch (order) {
        case dfoMonthDayYear: month = n1, day = n2, year = n3; break;
        case dfoDayMonthYear: day = n1, month = n2, year = n3; break;
        case dfoYearMonthDay: year = n1, month = n2, day = n3; break;
        }
        year = WidenYear(year);
    } else {
        year = ThisYear();
        if (order == dfoDayMonthYear)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    s.Char(fs.DateSeparator);
    s.SkipBlanks();
    if (fs.FarEast && fs.ShortDateFormat.contains(QStringLiteral("ddd"))) {
        if (!fs.ShortTimeFormat.isEmpty() && fs.ShortTimeFormat[0].isDigit())
            s.SkipToDigit();
        else
            s.SkipToTimeMarker(fs.TimeAMString, fs.TimePMString);
    }
    return IsValidYMD(year, month, day) && s.AtEnd();
}

bool ParseDateParts(const QString& format, const QString& text, int& day, int& month, int& year)
{
    month = TakeMaskedField(format, text, u'M', 3, 0, -1);
    if (month == 0)
        month = TakeMaskedField(format, text, u'M', 1, 0, -1);
    day = TakeMaskedField(format, text, u'D', 1, 1, -1);
    year = WidenYear(TakeMaskedField(format, text, u'Y', 1, ThisYear(), -1));
    if (IsValidYMD(year, month, day))
        return true;
    return ScanDateText(text, format, day, month, year);
}

} // namespace

bool TryTextToDate(const QString& format, const QString& text, TDateTime& date)
{
    if (text.isEmpty()) {
        date = EmptyDate;
        return true;
    }
    int day = 0, month = 0, year = 0;
    if (!ParseDateParts(format, text, day, month, year))
        return false;
    return TryEncodeDate(year, month, day, date);
}

TDateTime TextToDate(const QString& format, const QString& text)
{
    TDateTime date = EmptyDate;
    if (!TryTextToDate(format, text, date))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

TDateTime TextToDateOr(const QString& format, const QString& text, TDateTime defaultValue)
{
    TDateTime date = EmptyDate;
    if (TryTextToDate(format, text, date))
        return date;
    return std::trunc(defaultValue);
}
