#include "month_summary.h"

#include "birthday.h"
#include "platform/core/sysinfo.h"

namespace {

// The name part; the colour value has seven digits, and the label has
// always been given it that way.
QString NamePart(const TEntry& entry)
{
    return QStringLiteral(" <font color=\"#800080F\"><b>%1</b></font>").arg(EscapeHtml(entry.FullName()));
}

QString DayLink(int day)
{
    return QStringLiteral(" (<b><a href=\"%1\">%2</a></b>)").arg(QString::number(day), OrdinalDay(day));
}

} // namespace

QString OrdinalDay(int N)
{
    // 11, 12 and 13 (and 111 ...) take "th" whatever their last digit.
    const int tens = N % 100;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        switch (N % 10) {
        case 1: suffix = "st"; break;
        case 2: suffix = "nd"; break;
        case 3: suffix = "rd"; break;
        default: break;
        }
    }
    return QString::number(N) + QLatin1String(suffix);
}

QString StripTrailingComma(const QString& S)
{
    return S.endsWith(u',') ? S.left(S.size() - 1) : S;
}

QString BuildMonthSummaryHtml(const QList<TEntry*>& List)
{
    if (List.isEmpty())
        return QStringLiteral("<font color=\"#800000\"><b>There are no entries for this month</b></font>");

    const int month = List.first()->Month();
    const QString monthName = month >= 1 && month <= 12 ? FormatSettings().LongMonthNames[month - 1] : QString();
    QString html = QStringLiteral("<font color=\"#800000\"><b>Entries for %1</b></font>: ").arg(monthName);
    int day = List.first()->Day();
    for (const TEntry* entry : List) {
        if (entry->Day() != day) {
            html = StripTrailingComma(html);
            html += DayLink(day);
            html += QStringLiteral(", ");
            day = entry->Day();
        }
        html += NamePart(*entry);
        html += u',';
    }
    html = StripTrailingComma(html);
    html += DayLink(day);
    return html;
}

QString EscapeHtml(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&': result += QStringLiteral("&amp;"); break;
        case u'<': result += QStringLiteral("&lt;"); break;
        case u'>': result += QStringLiteral("&gt;"); break;
        default: result += c;
        }
    }
    return result;
}
