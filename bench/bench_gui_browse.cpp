// The browse window over the ten-year diary and the odd diaries: filling its
// list, and a full-content search for a word no entry holds, which reads
// every body.
#include "bench_data.h"
#include "bench_targets.h"

#include "app/browse_form.h"
#include "app/main_form.h"
#include "controls/dropdown_button.h"
#include "engine/diary.h"
#include "platform/core/registry.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// The main window and its browse window over one of the benchmarks' diaries;
// settings go to a temporary file, beeps nowhere.
struct BrowseBench {
    explicit BrowseBench(int diary)
        : diary(diary)
    {
        SetRegistryFileForTesting(settings.filePath(QStringLiteral("registry.ini")));
        SetBeepHandler([](unsigned) {});
        FreeDiaryDB();
        FillBenchDiary(DiaryDB(), diary);
        main = std::make_unique<TfrmMain>(nullptr);
        browse = new TfrmDiaryBrowse(main.get(), main->Session(), *main);
    }
    ~BrowseBench()
    {
        main.reset();
        FreeDiaryDB();
        SetBeepHandler({});
        SetRegistryFileForTesting(QString());
    }
    // Each showing refills the list.
    void Fill() { browse->FormActivate(browse); }
    // From the first item round to it: every title and body is read.
    void SearchForNothing()
    {
        browse->cbFullContent->SetChecked(true);
        browse->DLV->Items()->Item(0)->SetSelected(true);
        browse->edtNeedle->SetText(QStringLiteral("xylophone"));
        browse->btnSearchClick(browse->btnSearch);
    }

    int diary;
    QTemporaryDir settings;
    std::unique_ptr<TfrmMain> main;
    TfrmDiaryBrowse* browse = nullptr;
};

// Freed by the target check, while the application still exists.
std::unique_ptr<BrowseBench>& BenchHolder()
{
    static std::unique_ptr<BrowseBench> bench;
    return bench;
}

// The bench of that diary, made anew when another diary is asked for.
BrowseBench& Bench(int diary)
{
    if (!BenchHolder() || BenchHolder()->diary != diary) {
        BenchHolder().reset();
        BenchHolder() = std::make_unique<BrowseBench>(diary);
    }
    return *BenchHolder();
}

void BM_BrowseFillList(benchmark::State& state)
{
    BrowseBench& bench = Bench(int(state.range(0)));
    for (auto _ : state)
        bench.Fill();
    state.counters["items"] = bench.browse->DLV->Items()->Count();
}
BENCHMARK(BM_BrowseFillList)->DenseRange(0, kBenchDiaries - 1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BrowseFullContentSearch(benchmark::State& state)
{
    BrowseBench& bench = Bench(int(state.range(0)));
    bench.Fill();
    for (auto _ : state)
        bench.SearchForNothing();
    // The benches share the process-wide diary and the settings file: none
    // keeps its window past its own runs.
    BenchHolder().reset();
}
BENCHMARK(BM_BrowseFullContentSearch)->DenseRange(0, kBenchDiaries - 1)->Unit(benchmark::kMillisecond)->Iterations(3);

const int kChecks = RegisterTargetCheck([] {
    for (int diary = 0; diary < kBenchDiaries; ++diary) {
        BrowseBench& bench = Bench(diary);
        const std::string name = BenchDiaryName(diary);
        const double fill = BestMilliseconds(5, [&] { bench.Fill(); });
        PrintFigure(("Browse list of " + name + " filled").c_str(), fill, 300, "ms");
        const double search = BestMilliseconds(5, [&] { bench.SearchForNothing(); });
        PrintFigure(("Full-content search of " + name + " for an absent word").c_str(), search, 300, "ms");
    }
    BenchHolder().reset();
});

} // namespace
