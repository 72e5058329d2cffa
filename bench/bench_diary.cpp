// Saving and loading a ten-year diary, and the peak memory of a load measured
// in a fresh process.
#include "bench_data.h"
#include "bench_engine_password.h"
#include "bench_load_peak.h"
#include "bench_targets.h"
#include "engine/diary.h"
#include "engine/lzh.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
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

// Argument: the coder's threads, 1 being the single-threaded coder.
void BM_SaveTenYearDiary(benchmark::State& state)
{
    TDiaryDB db;
    FillTenYears(db);
    db.Diary()->SetPassword(kPassword);
    const QString path = QDir(BenchDir().path()).filePath(QStringLiteral("save.dry"));
    TLZH::SetDefaultPackThreads(int(state.range(0)));
    for (auto _ : state)
        db.SaveToFile(path);
    TLZH::SetDefaultPackThreads(0);
    state.counters["entries"] = kTenYears;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_SaveTenYearDiary)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(1)->Arg(0);

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

// The save with the threaded coder beside the single-threaded one, in one run
// so the machine's speed cancels out; the files must be the same bytes.
const int kSaveCheck = RegisterTargetCheck([] {
    TDiaryDB db;
    FillTenYears(db);
    db.Diary()->SetPassword(kPassword);
    double best[2] = { 1e300, 1e300 };
    QByteArray bytes[2];
    for (int run = 0; run < 5; ++run) {
        for (int threaded = 0; threaded < 2; ++threaded) {
            TLZH::SetDefaultPackThreads(threaded ? 0 : 1);
            best[threaded] = std::min(best[threaded], BestMilliseconds(1, [&] { bytes[threaded] = db.SaveToBytes(); }));
        }
    }
    TLZH::SetDefaultPackThreads(0);
    std::printf("Saving the ten-year diary: %.1f ms single-threaded, %.1f ms threaded (%d threads), %.2f of the time, "
                "same bytes: %s\n",
        best[0], best[1], TLZH::PackThreadsFor(qint64(1) << 30, 0) /* a large save's count */, best[1] / best[0],
        bytes[0] == bytes[1] ? "yes" : "NO");
    PrintFigure("Threaded save time as a share of the single-threaded one", best[1] / best[0], 0.6, "x");
});

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
