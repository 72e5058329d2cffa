// Large lists: a diary written out of date order, freeing a large diary and
// the birthday month query over one crowded month.
#include "bench_targets.h"

#include "birthdays/birthday.h"
#include "engine/diary.h"
#include "platform/core/datetime.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr int kShuffledEntries = 80000;
constexpr int kFreedEntries = 250000;
constexpr int kMonthEntries = 16000;

// A diary of `count` consecutive days with short texts, added in the order of
// a fixed shuffle.
std::unique_ptr<TDiaryDB> MakeDiary(int count, bool shuffled)
{
    std::vector<int> days(count);
    std::iota(days.begin(), days.end(), 0);
    if (shuffled)
        std::shuffle(days.begin(), days.end(), std::mt19937(23));
    auto db = std::make_unique<TDiaryDB>();
    const TDateTime first = EncodeDate(1900, 1, 1);
    for (int day : days) {
        TDiaryEntry* entry = db->Diary()->Add();
        entry->SetDate(first + day);
        entry->SetTitle(QStringLiteral("Day %1").arg(day));
        entry->SetBody(QStringLiteral("text"));
    }
    return db;
}

// The best of `runs` timings of `work`, each on a fresh result of `prepare`
// that is not timed.
template <class Prepare, class Work> double BestOfPrepared(int runs, Prepare prepare, Work work)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        auto subject = prepare();
        QElapsedTimer timer;
        timer.start();
        work(subject);
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

const int kChecks = RegisterTargetCheck([] {
    const QByteArray file = MakeDiary(kShuffledEntries, true)->SaveToBytes();
    int loaded = 0;
    const double loadMs = BestOfPrepared(
        3, [] { return std::make_unique<TDiaryDB>(); },
        [&](std::unique_ptr<TDiaryDB>& db) {
            if (db->LoadFromBytes(file, true, QString()) == lsNoError)
                loaded = db->Diary()->Indexer().Count();
        });
    PrintFigure("Loading 80,000 entries in random order", loadMs, 1000, "ms");
    if (loaded != kShuffledEntries)
        std::printf("  (the load indexed %d entries, not %d)\n", loaded, kShuffledEntries);

    const double freeMs = BestOfPrepared(
        3, [] { return MakeDiary(kFreedEntries, false); }, [](std::unique_ptr<TDiaryDB>& db) { db.reset(); });
    PrintFigure("Closing a diary of 250,000 entries", freeMs, 500, "ms");

    TBirthdayComponent birthdays;
    std::mt19937 rng(23);
    for (int i = 0; i < kMonthEntries; ++i) {
        TEntry* entry = birthdays.Entries()->Add();
        entry->SetFullName(QStringLiteral("Person %1").arg(i));
        entry->SetBirthDate(EncodeDate(1950 + int(rng() % 50), 3, 1 + int(rng() % 31)));
    }
    qsizetype found = 0;
    const double monthMs = BestMilliseconds(3, [&] { found = birthdays.Entries()->GetEntriesOfMonth(3).size(); });
    PrintFigure("The month query over 16,000 entries in one month", monthMs, 100, "ms");
    if (found != kMonthEntries)
        std::printf("  (the query found %lld entries, not %d)\n", static_cast<long long>(found), kMonthEntries);
});

} // namespace
