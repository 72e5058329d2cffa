#pragma once

// What the birthday file's fuzz target checks on every input; the birthday
// tests run the same check on each crash input kept in
// tests/data/fuzz/fuzz_birthday_file/. Returns an empty string, or the rule
// the input broke.

#include "birthdays/birthday.h"
#include "birthdays/month_summary.h"
#include "platform/core/sysutils.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <exception>

// fuzz_birthday_file: loads the bytes as a birthday file (*.dra, *.bbk) over
// a list that holds one entry. A refused file leaves that entry as it was; a
// loaded one saves and loads back to the same bytes, and its month summaries
// hold one link a day whatever the names say.
inline QString CheckBirthdayFileInput(const QByteArray& input)
{
    TBirthdayComponent birthdays;
    auto* kept = new TEntry(birthdays.Entries());
    kept->SetFullName(QStringLiteral("Kept"));
    kept->SetBirthDate(36526);
    birthdays.Entries()->SetModified(false);

    try {
        birthdays.LoadFromBytes(input);
    } catch (const EReadError&) {
        const TEntries& entries = *birthdays.Entries();
        if (entries.Count() != 1 || entries.Items(0) != kept || kept->FullName() != QStringLiteral("Kept")
            || kept->BirthDate() != 36526 || entries.Modified())
            return QStringLiteral("a refused file changed the list in memory");
        return {};
    } catch (const std::exception& e) {
        return QStringLiteral("a refused file raised something else: %1").arg(QString::fromUtf8(e.what()));
    }
    if (birthdays.Entries()->Modified())
        return QStringLiteral("a loaded list is marked modified");

    const QByteArray saved = birthdays.SaveToBytes();
    TBirthdayComponent again;
    try {
        again.LoadFromBytes(saved);
    } catch (const std::exception&) {
        return QStringLiteral("the saved list does not load again");
    }
    if (again.SaveToBytes() != saved)
        return QStringLiteral("the saved list loads back to other bytes");

    for (int month = 1; month <= 12; ++month) {
        const QList<TEntry*> list = birthdays.Entries()->GetEntriesOfMonth(month);
        QSet<int> days;
        for (const TEntry* entry : list) {
            if (entry->Month() != month)
                return QStringLiteral("the query for month %1 returned another month").arg(month);
            days.insert(entry->Day());
            if (birthdays.Entries()->GetEntriesOfDay(entry->BirthDate()).isEmpty())
                return QStringLiteral("an entry is not found on its own day");
        }
        if (BuildMonthSummaryHtml(list).count(QStringLiteral("<a ")) != (list.isEmpty() ? 0 : days.size()))
            return QStringLiteral("the summary of month %1 has links that are not its days").arg(month);
    }
    return {};
}
