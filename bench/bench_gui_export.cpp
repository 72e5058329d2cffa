// The export of the ten-year diary to one RTF file: every body read and
// appended under its heading, the document written and saved.
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

namespace {

struct ExportBench {
    ExportBench()
    {
        FillTenYears(db);
        font.SetName(QStringLiteral("Arial"));
        font.SetSize(10);
    }
    qint64 Export()
    {
        const QString file = dir.filePath(QStringLiteral("diary.rtf"));
        WriteFileAtomically(file, DiaryToRtf(db, font));
        return QFileInfo(file).size();
    }

    QTemporaryDir dir;
    TDiaryDB db;
    TFont font;
};

std::unique_ptr<ExportBench>& BenchHolder()
{
    static std::unique_ptr<ExportBench> bench;
    return bench;
}

ExportBench& Bench()
{
    if (!BenchHolder())
        BenchHolder() = std::make_unique<ExportBench>();
    return *BenchHolder();
}

void BM_ExportTenYearsToRtf(benchmark::State& state)
{
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = Bench().Export();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ExportTenYearsToRtf)->Unit(benchmark::kMillisecond)->Iterations(1);

const int kChecks = RegisterTargetCheck([] {
    qint64 bytes = 0;
    const double ms = BestMilliseconds(3, [&] { bytes = Bench().Export(); });
    PrintFigure("Export of the ten-year diary to one RTF file", ms, 5000, "ms");
    std::printf("  (the file holds %lld bytes)\n", static_cast<long long>(bytes));
    BenchHolder().reset();
});

} // namespace
