// The export of the ten-year diary and the odd diaries to one RTF file: every
// body read and appended under its heading, the document written and saved.
#include "bench_data.h"
#include "bench_targets.h"

#include "app/diary_export.h"
#include "engine/diary.h"
#include "platform/core/streams.h"
#include "platform/gui/graphics.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct ExportBench {
    explicit ExportBench(int diary)
        : diary(diary)
    {
        FillBenchDiary(db, diary);
        font.SetName(QStringLiteral("Arial"));
        font.SetSize(10);
    }
    qint64 Export()
    {
        const QString file = dir.filePath(QStringLiteral("diary.rtf"));
        WriteFileAtomically(file, DiaryToRtf(db, font));
        return QFileInfo(file).size();
    }

    int diary;
    QTemporaryDir dir;
    TDiaryDB db;
    TFont font;
};

std::unique_ptr<ExportBench>& BenchHolder()
{
    static std::unique_ptr<ExportBench> bench;
    return bench;
}

ExportBench& Bench(int diary)
{
    if (!BenchHolder() || BenchHolder()->diary != diary) {
        BenchHolder().reset();
        BenchHolder() = std::make_unique<ExportBench>(diary);
    }
    return *BenchHolder();
}

void BM_ExportToRtf(benchmark::State& state)
{
    ExportBench& bench = Bench(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = bench.Export();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ExportToRtf)->DenseRange(0, kBenchDiaries - 1)->Unit(benchmark::kMillisecond)->Iterations(1);

const int kChecks = RegisterTargetCheck([] {
    for (int diary = 0; diary < kBenchDiaries; ++diary) {
        ExportBench& bench = Bench(diary);
        qint64 bytes = 0;
        const double ms = BestMilliseconds(5, [&] { bytes = bench.Export(); });
        PrintFigure(("Export of " + std::string(BenchDiaryName(diary)) + " to one RTF file").c_str(), ms, 5000, "ms");
        std::printf("  (the file holds %lld bytes)\n", static_cast<long long>(bytes));
    }
    BenchHolder().reset();
});

} // namespace
