// Opening the diaries of unusual shape: the time of a load and its peak
// memory in a fresh process, each beside its target.
#include "bench_data.h"
#include "bench_load_peak.h"
#include "bench_targets.h"

#include "engine/diary.h"

#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const QString kPassword = QStringLiteral("odd");

const int kChecks = RegisterTargetCheck([] {
    const QTemporaryDir dir;
    for (const TOddDiary kind : kOddDiaries) {
        const QString file = OddDiaryFile(kind, dir.path(), kPassword);
        // The loaded diaries are kept until all runs are done, so no run
        // times the freeing of the one before.
        std::vector<std::unique_ptr<TDiaryDB>> loaded;
        bool failed = false;
        const double ms = BestMilliseconds(5, [&] {
            loaded.push_back(std::make_unique<TDiaryDB>());
            failed = loaded.back()->LoadFromFile(file, true, kPassword) != lsNoError || failed;
        });
        const std::string name = OddDiaryName(kind);
        PrintFigure(("Opening " + name).c_str(), ms, 300, "ms");
        if (failed)
            std::printf("  (the load FAILED)\n");
        loaded.clear();
        PrintFigure(("Peak memory of opening " + name + " (fresh process)").c_str(), LoadPeakMegabytes(file, kPassword),
            100, "MB");
    }
});

} // namespace
