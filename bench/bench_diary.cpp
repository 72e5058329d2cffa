// Saving and loading a ten-year diary, and the peak memory of a load measured
// in a fresh process.
#include "bench_data.h"
#include "bench_engine_password.h"
#include "bench_load_peak.h"
#include "bench_targets.h"
#include "engine/diary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const QString kPassword = QStringLiteral("bench");

QString TenYearFile(const QTemporaryDir& dir)
{
    const QString path = QDir(dir.path()).filePath(QStringLiteral("tenyears.dry"));
    if (!QFile::exists(path)) {
        TDiaryDB db;
        FillTenYears(db);
        db.Diary()->SetPassword(kPassword);
        db.SaveToFile(path);
    }
    return path;
}

QTemporaryDir& BenchDir()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_SaveTenYearDiary(benchmark::State& state)
{
    TDiaryDB db;
    FillTenYears(db);
    db.Diary()->SetPassword(kPassword);
    const QString path = QDir(BenchDir().path()).filePath(QStringLiteral("save.dry"));
    for (auto _ : state)
        db.SaveToFile(path);
    state.counters["entries"] = kTenYears;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_SaveTenYearDiary)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadTenYearDiary(benchmark::State& state)
{
    const QString path = TenYearFile(BenchDir());
    for (auto _ : state) {
        TDiaryDB db;
        if (db.LoadFromFile(path, true, kPassword) != lsNoError || db.Diary()->Count() != kTenYears)
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadTenYearDiary)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    if (const int status = RunLoadPeakChild(argc, argv); status >= 0)
        return status;

    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RunTargetChecks();

    std::printf("Peak memory of loading the ten-year diary (fresh process): %.1f MB\n",
        LoadPeakMegabytes(TenYearFile(BenchDir()), kPassword));
    PrintWrongPasswordFigures(BenchDir().path());
    return 0;
}
