#pragma once

#include <QList>
#include <QString>

class TEntry;

// The keeper's paragraph under its calendar, in the labels' HTML dialect:
// everybody of the month grouped by day, each day a link whose href is the
// bare day number. List is a result of TEntries::GetEntriesOfMonth (one
// month, sorted by day). Names are escaped, so no name can break the markup
// or add a link of its own.
QString BuildMonthSummaryHtml(const QList<TEntry*>& List);

// The English ordinal: 1st, 2nd, 3rd, 4th ... 11th, 12th, 13th ... 21st,
// 22nd, 23rd ... 31st.
QString OrdinalDay(int N);

// S without its last character when that is a comma.
QString StripTrailingComma(const QString& S);

// The user's text for the labels' HTML: & < > escaped, so a name can
// neither break the markup nor add a link of its own.
QString EscapeHtml(const QString& text);
