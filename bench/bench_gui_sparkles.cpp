// The stars of the main window: placing a field of 300 on the skin (once
// per skin change or resize), placing on a white picture where no point
// qualifies (the bound on the tries), and one tick of the timer.
#include "bench_targets.h"

#include "app/main_form.h"
#include "app/sparkles.h"
#include "engine/diary.h"
#include "platform/core/registry.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

// The main window with its skin, its timer stopped; settings go to a
// temporary file.
struct StarsBench {
    StarsBench()
    {
        SetRegistryFileForTesting(settings.filePath(QStringLiteral("registry.ini")));
        FreeDiaryDB();
        main = std::make_unique<TfrmMain>(nullptr);
        main->FormActivate(nullptr);
        main->SparkleTimer->SetEnabled(false);
    }
    ~StarsBench()
    {
        main.reset();
        FreeDiaryDB();
        SetRegistryFileForTesting(QString());
    }
    void Place() { PlaceSparkles(main.get(), main->Canvas(), 300); }
    void ShowWhite()
    {
        TBitmap white;
        white.SetSize(main->ClientWidth(), main->ClientHeight());
        white.Canvas()->FillSolidRect(QRect(0, 0, white.Width(), white.Height()), clWhite);
        main->imgBack->Picture()->SetBitmap(&white);
    }
    void Tick() { main->SparkleTimerTimer(nullptr); }

    QTemporaryDir settings;
    std::unique_ptr<TfrmMain> main;
};

// Freed by the target check, while the application still exists.
std::unique_ptr<StarsBench>& BenchHolder()
{
    static std::unique_ptr<StarsBench> bench;
    return bench;
}

StarsBench& Bench()
{
    if (!BenchHolder())
        BenchHolder() = std::make_unique<StarsBench>();
    return *BenchHolder();
}

void BM_StarsPlaceField(benchmark::State& state)
{
    for (auto _ : state)
        Bench().Place();
    state.counters["stars"] = SparkleCount() + 1;
}
BENCHMARK(BM_StarsPlaceField)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StarsTick(benchmark::State& state)
{
    Bench().Place();
    for (auto _ : state)
        Bench().Tick();
    // The benches share the process-wide diary and the settings file: none
    // keeps its window past its own runs.
    BenchHolder().reset();
}
BENCHMARK(BM_StarsTick)->Unit(benchmark::kMicrosecond);

const int kChecks = RegisterTargetCheck([] {
    // A field is placed at a skin change or a resize: a pause the user
    // should not notice.
    PrintFigure("Placing 300 stars on the skin", BestMilliseconds(5, [] { Bench().Place(); }), 150, "ms");
    Bench().ShowWhite();
    PrintFigure(
        "Placing on a white picture (every try fails)", BestMilliseconds(3, [] { Bench().Place(); }), 300, "ms");
    Bench().main->LoadSkin();
    Bench().main->SparkleTimer->SetEnabled(false);
    Bench().Place();
    // Ten ticks a second: each must be a small part of a frame.
    PrintFigure("One tick of the star timer", BestMilliseconds(50, [] { Bench().Tick(); }), 1, "ms");
    BenchHolder().reset();
});

} // namespace
