#include "sysinfo.h"

#include "sysutils.h"

#include <QDateTime>
#include <QLocale>

#include <chrono>
#include <cmath>

namespace {

std::function<quint32()>& TickSource()
{
    static std::function<quint32()> source;
    return source;
}

std::function<quint32()>& RandomSource()
{
    static std::function<quint32()> source;
    return source;
}

quint32 NextRandom()
{
    if (RandomSource())
        return RandomSource()();
    // Full-period 32-bit linear congruential step; callers use the high bits.
    RandSeed() = RandSeed() * 1664525u + 1013904223u;
    return RandSeed();
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

QChar AsciiLower(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c;
}

// Appends text that must come out as written, quoting whatever the
// formatter would otherwise read as a field or a separator.
void AppendLiteral(QString& out, const QString& text)
{
    bool special = false;
    for (QChar c : text)
        special = special || IsAsciiLetter(c) || c == u'/' || c == u':' || c == u'"' || c == u'\'';
    if (!special) {
        out += text;
        return;
    }
    QChar open;
    for (QChar c : text) {
        const QChar quote = c == u'\'' ? u'"' : u'\'';
        if (open != quote) {
            if (!open.isNull())
                out += open;
            out += quote;
            open = quote;
        }
        out += c;
    }
    out += open;
}

// Punctuation between fields, such as "/", ".", "-" or ":"; direction marks
// and spaces are not separators.
bool IsSeparatorCandidate(QChar c)
{
    return !c.isLetterOrNumber() && !c.isSpace() && c.category() != QChar::Other_Format && c != u'\'';
}

QString TwoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

int RunLength(const QString& format, qsizetype i, QChar lower)
{
    int n = 0;
    while (i + n < format.size() && AsciiLower(format[i + n]) == lower)
        ++n;
    return n;
}

bool MatchesAt(const QString& format, qsizetype i, QStringView what)
{
    return format.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

// Whether the pattern asks for a 12-hour clock.
bool HasAmPm(const QString& format)
{
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = format.indexOf(c, i + 1);
            if (end < 0)
                return false;
            i = end;
        } else if (AsciiLower(c) == u'a'
                   && (MatchesAt(format, i, u"am/pm") || MatchesAt(format, i, u"a/p") || MatchesAt(format, i, u"ampm"))) {
            return true;
        }
    }
    return false;
}

class TDateFormatter
{
public:
    TDateFormatter(TDateTime value, const TFormatSettings& settings)
        : fValue(value)
        , fSettings(settings)
    {
        DecodeDate(value, fYear, fMonth, fDay);
        DecodeTime(value, fHour, fMinute, fSecond, fMsec);
    }

    void Append(const QString& format, int depth);
    QString Result() const { return fOut; }

private:
    TDateTime fValue;
    const TFormatSettings& fSettings;
    int fYear, fMonth, fDay, fHour, fMinute, fSecond, fMsec;
    QString fOut;
};

void TDateFormatter::Append(const QString& format, int depth)
{
    // Settings patterns may name other settings patterns ("c" holds "ddddd");
    // a pattern that names itself must not recurse for ever.
    if (depth > 3)
        return;
    const bool twelveHour = HasAmPm(format);
    bool afterHour = false;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        const QChar lower = AsciiLower(c);
        bool hourField = false;
        int n = 1;
        if (c == u'\'' || c == u'"') {
            qsizetype end = format.indexOf(c, i + 1);
            if (end < 0)
                end = format.size();
            fOut += format.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        switch (lower.unicode()) {
        case 'c':
            Append(fSettings.ShortDateFormat, depth + 1);
            if (fHour != 0 || fMinute != 0 || fSecond != 0 || fMsec != 0) {
                fOut += u' ';
                Append(fSettings.LongTimeFormat, depth + 1);
            }
            break;
        case 'd':
            n = RunLength(format, i, lower);
            switch (n) {
            case 1: fOut += QString::number(fDay); break;
            case 2: fOut += TwoDigits(fDay); break;
            case 3: fOut += fSettings.ShortDayNames[DayOfWeek(fValue) - 1]; break;
            case 4: fOut += fSettings.LongDayNames[DayOfWeek(fValue) - 1]; break;
            case 5: Append(fSettings.ShortDateFormat, depth + 1); break;
            default: Append(fSettings.LongDateFormat, depth + 1); break;
            }
            break;
        case 'm':
            n = RunLength(format, i, lower);
            if (afterHour && n <= 2) {
                fOut += n == 1 ? QString::number(fMinute) : TwoDigits(fMinute);
            } else {
                switch (n) {
                case 1: fOut += QString::number(fMonth); break;
                case 2: fOut += TwoDigits(fMonth); break;
                case 3: fOut += fSettings.ShortMonthNames[fMonth - 1]; break;
                default: fOut += fSettings.LongMonthNames[fMonth - 1]; break;
                }
            }
            break;
        case 'y':
            n = RunLength(format, i, lower);
            fOut += n <= 2 ? TwoDigits(fYear % 100) : QString::number(fYear).rightJustified(4, u'0');
            break;
        case 'h': {
            n = RunLength(format, i, lower);
            int hour = fHour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            fOut += n == 1 ? QString::number(hour) : TwoDigits(hour);
            hourField = true;
            break;
        }
        case 'n':
            n = RunLength(format, i, lower);
            fOut += n == 1 ? QString::number(fMinute) : TwoDigits(fMinute);
            break;
        case 's':
            n = RunLength(format, i, lower);
            fOut += n == 1 ? QString::number(fSecond) : TwoDigits(fSecond);
            break;
        case 'z':
            n = RunLength(format, i, lower);
            fOut += n < 3 ? QString::number(fMsec) : QString::number(fMsec).rightJustified(3, u'0');
            break;
        case 't':
            n = RunLength(format, i, lower);
            Append(n == 1 ? fSettings.ShortTimeFormat : fSettings.LongTimeFormat, depth + 1);
            break;
        case 'a':
            if (MatchesAt(format, i, u"am/pm")) {
                n = 5;
                fOut += fHour < 12 ? format.mid(i, 2) : format.mid(i + 3, 2);
            } else if (MatchesAt(format, i, u"a/p")) {
                n = 3;
                fOut += fHour < 12 ? format[i] : format[i + 2];
            } else if (MatchesAt(format, i, u"ampm")) {
                n = 4;
                fOut += fHour < 12 ? fSettings.TimeAMString : fSettings.TimePMString;
            } else {
                fOut += c;
                ++i;
                continue;
            }
            break;
        case '/':
            fOut += fSettings.DateSeparator;
            ++i;
            continue; // separators keep "h:m" reading as minutes
        case ':':
            fOut += fSettings.TimeSeparator;
            ++i;
            continue;
        default:
            fOut += c;
            ++i;
            continue;
        }
        afterHour = hourField;
        i += n;
    }
}

int CurrentYear()
{
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
}

} // namespace

quint32 GetTickCount()
{
    if (TickSource())
        return TickSource()();
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SetTickCountSource(std::function<quint32()> source)
{
    TickSource() = std::move(source);
}

quint32& RandSeed()
{
    static quint32 seed = 0;
    return seed;
}

void Randomize()
{
    const auto ns = std::chrono::steady_clock::now().time_since_epoch().count();
    RandSeed() = quint32(QDateTime::currentMSecsSinceEpoch()) ^ quint32(ns) ^ quint32(quint64(ns) >> 32);
}

int Random(int range)
{
    if (range <= 0)
        return 0;
    return int((quint64(NextRandom()) * quint64(range)) >> 32);
}

double Random()
{
    return NextRandom() / 4294967296.0;
}

void SetRandomSource(std::function<quint32()> source)
{
    RandomSource() = std::move(source);
}

QString PatternFromQt(const QString& qtPattern, QChar& separator, QChar separatorPattern)
{
    QString out;
    QString literal;
    bool droppedZone = false;
    auto field = [&](QStringView text) {
        AppendLiteral(out, literal);
        literal.clear();
        out += text;
    };
    const qsizetype n = qtPattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = qtPattern[i];
        if (c == u'\'') {
            // Qt quotes literal text with '...'; a doubled quote is one quote.
            ++i;
            if (i < n && qtPattern[i] == u'\'') {
                literal += u'\'';
                ++i;
                continue;
            }
            while (i < n) {
                if (qtPattern[i] == u'\'') {
                    if (i + 1 < n && qtPattern[i + 1] == u'\'') {
                        literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += qtPattern[i++];
            }
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && qtPattern[i + run] == c)
            ++run;
        switch (c.unicode()) {
        case 'd': field(QString(qMin<qsizetype>(run, 4), u'd')); break;
        case 'M': field(QString(qMin<qsizetype>(run, 4), u'm')); break;
        case 'y': field(run == 2 ? u"yy" : u"yyyy"); break;
        case 'h':
        case 'H': field(run >= 2 ? u"hh" : u"h"); break;
        case 'm': field(run >= 2 ? u"nn" : u"n"); break;
        case 's': field(run >= 2 ? u"ss" : u"s"); break;
        case 'z': field(run >= 3 ? u"zzz" : u"z"); break;
        case 'a':
        case 'A':
            run = i + 1 < n && AsciiLower(qtPattern[i + 1]) == u'p' ? 2 : 1;
            field(u"ampm");
            break;
        case 't': // time zone: the class library's patterns have none
            droppedZone = true;
            break;
        default:
            for (qsizetype k = 0; k < run; ++k) {
                if (!separatorPattern.isNull() && IsSeparatorCandidate(c)) {
                    if (separator.isNull())
                        separator = c;
                    if (c == separator) {
                        field(QStringView(&separatorPattern, 1));
                        continue;
                    }
                }
                literal += c;
            }
            break;
        }
        i += run;
    }
    AppendLiteral(out, literal);
    if (droppedZone) {
        out.remove(QStringLiteral("()"));
        out.replace(QStringLiteral("  "), QStringLiteral(" "));
        out = out.trimmed();
    }
    return out;
}

QString UseFourDigitYear(const QString& format)
{
    QString out;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            qsizetype end = format.indexOf(c, i + 1);
            end = end < 0 ? format.size() : end + 1;
            out += format.mid(i, end - i);
            i = end;
            continue;
        }
        if (AsciiLower(c) == u'y') {
            const int n = RunLength(format, i, u'y');
            out += n <= 2 ? QString(4, c) : format.mid(i, n);
            i += n;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

TFormatSettings FormatSettingsFromLocale(const QLocale& locale)
{
    const QLocale l = locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
    TFormatSettings s;
    for (int i = 0; i < 7; ++i) {
        const int qtDay = i == 0 ? 7 : i; // Qt counts from Monday = 1
        s.ShortDayNames[i] = l.dayName(qtDay, QLocale::ShortFormat);
        s.LongDayNames[i] = l.dayName(qtDay, QLocale::LongFormat);
    }
    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = l.monthName(i + 1, QLocale::ShortFormat);
        s.LongMonthNames[i] = l.monthName(i + 1, QLocale::LongFormat);
    }
    QChar dateSeparator;
    s.ShortDateFormat = PatternFromQt(l.dateFormat(QLocale::ShortFormat), dateSeparator, u'/');
    QChar none;
    s.LongDateFormat = PatternFromQt(l.dateFormat(QLocale::LongFormat), none, QChar());
    QChar timeSeparator;
    s.ShortTimeFormat = PatternFromQt(l.timeFormat(QLocale::ShortFormat), timeSeparator, u':');
    s.LongTimeFormat = PatternFromQt(l.timeFormat(QLocale::LongFormat), timeSeparator, u':');
    if (!dateSeparator.isNull())
        s.DateSeparator = dateSeparator;
    if (!timeSeparator.isNull())
        s.TimeSeparator = timeSeparator;
    s.TimeAMString = l.amText();
    s.TimePMString = l.pmText();
    if (!l.decimalPoint().isEmpty())
        s.DecimalSeparator = l.decimalPoint().front();
    if (!l.groupSeparator().isEmpty())
        s.ThousandSeparator = l.groupSeparator().front();
    return s;
}

TFormatSettings& FormatSettings()
{
    static TFormatSettings settings = FormatSettingsFromLocale(QLocale());
    return settings;
}

void SetFormatSettings(const TFormatSettings& settings)
{
    FormatSettings() = settings;
}

void ResetFormatSettings()
{
    FormatSettings() = FormatSettingsFromLocale(QLocale());
}

QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings)
{
    TDateFormatter formatter(value, settings);
    formatter.Append(format, 0);
    return formatter.Result();
}

QString FormatDateTime(const QString& format, TDateTime value)
{
    return FormatDateTime(format, value, FormatSettings());
}

QString DateToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("ddddd"), value);
}

QString FullYearDateToStr(TDateTime value)
{
    return FormatDateTime(UseFourDigitYear(FormatSettings().ShortDateFormat), value);
}

QString TimeToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("tt"), value);
}

QString DateTimeToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("c"), value);
}

bool TryStrToDate(const QString& text, TDateTime& value, const TFormatSettings& settings)
{
    // Field order: the first day, month and year letters of the short date
    // pattern, outside quoted text.
    QString order;
    const QString& format = settings.ShortDateFormat;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = format.indexOf(c, i + 1);
            if (end < 0)
                break;
            i = end;
            continue;
        }
        const QChar lower = AsciiLower(c);
        if ((lower == u'd' || lower == u'm' || lower == u'y') && !order.contains(lower))
            order += lower;
    }
    if (order.size() != 3)
        order = QStringLiteral("mdy");

    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSpaces = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    skipSpaces();
    while (i < n && count < 3) {
        int number = 0;
        int length = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            if (++length > 4)
                return false;
            number = number * 10 + (text[i].unicode() - u'0');
            ++i;
        }
        if (length == 0)
            return false;
        numbers[count] = number;
        digits[count] = length;
        ++count;
        skipSpaces();
        if (i < n && text[i] == settings.DateSeparator) {
            ++i;
            skipSpaces();
        } else {
            break;
        }
    }
    if (i != n || count < 2)
        return false;

    int year = 0, month = 0, day = 0, yearDigits = 0;
    if (count == 2) {
        // Day and month of the current year, in the pattern's order.
        year = CurrentYear();
        yearDigits = 4;
        const bool dayFirst = order.indexOf(u'd') < order.indexOf(u'm');
        day = numbers[dayFirst ? 0 : 1];
        month = numbers[dayFirst ? 1 : 0];
    } else {
        for (int k = 0; k < 3; ++k) {
            switch (order[k].unicode()) {
            case 'd': day = numbers[k]; break;
            case 'm': month = numbers[k]; break;
            default:
                year = numbers[k];
                yearDigits = digits[k];
                break;
            }
        }
    }
    if (yearDigits <= 2) {
        const int window = settings.TwoDigitYearCenturyWindow;
        const int first = CurrentYear() - window;
        year += first / 100 * 100;
        if (window > 0 && year < first)
            year += 100;
    }
    return TryEncodeDate(year, month, day, value);
}

bool TryStrToDate(const QString& text, TDateTime& value)
{
    return TryStrToDate(text, value, FormatSettings());
}

TDateTime StrToDate(const QString& text)
{
    TDateTime value = 0;
    if (!TryStrToDate(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return value;
}
