// Benchmarks that need a GUI application (fonts, text layout, painting): a
// headless application with the program's fonts, the benchmarks, then the
// figures beside their targets.
#include "bench_targets.h"
#include "platform/gui/application_setup.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetupApplicationFonts();
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    RunTargetChecks();
    return 0;
}
