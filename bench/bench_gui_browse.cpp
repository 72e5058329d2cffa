// The browse window over the ten-year diary: filling its list, and a
// full-content search for a word no entry holds, which reads every body.
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

namespace {

// The main window and its browse window over the ten-year diary, made once;
// settings go to a temporary file, beeps nowhere.
struct BrowseBench {
    BrowseBench()
    {
        SetRegistryFileForTesting(settings.filePath(QStringLiteral("registry.ini")));
        SetBeepHandler([](unsigned) {});
        FreeDiaryDB();
        FillTenYears(DiaryDB());
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

BrowseBench& Bench()
{
    if (!BenchHolder())
        BenchHolder() = std::make_unique<BrowseBench>();
    return *BenchHolder();
}

void BM_BrowseFillList(benchmark::State& state)
{
    Bench();
    for (auto _ : state)
        Bench().Fill();
    state.counters["items"] = Bench().browse->DLV->Items()->Count();
}
BENCHMARK(BM_BrowseFillList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BrowseFullContentSearch(benchmark::State& state)
{
    Bench().Fill();
    for (auto _ : state)
        Bench().SearchForNothing();
    // The benches share the process-wide diary and the settings file: none
    // keeps its window past its own runs.
    BenchHolder().reset();
}
BENCHMARK(BM_BrowseFullContentSearch)->Unit(benchmark::kMillisecond)->Iterations(3);

const int kChecks = RegisterTargetCheck([] {
    const double fill = BestMilliseconds(3, [] { Bench().Fill(); });
    PrintFigure("Browse list of the ten-year diary filled", fill, 300, "ms");
    const double search = BestMilliseconds(3, [] { Bench().SearchForNothing(); });
    PrintFigure("Full-content search of the ten-year diary for an absent word", search, 300, "ms");
    BenchHolder().reset();
});

} // namespace
