#include "bench_targets.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

std::vector<std::function<void()>>& Checks()
{
    static std::vector<std::function<void()>> checks;
    return checks;
}

} // namespace

int RegisterTargetCheck(std::function<void()> check)
{
    Checks().push_back(std::move(check));
    return int(Checks().size());
}

void RunTargetChecks()
{
    for (const auto& check : Checks())
        check();
}

double BestMilliseconds(int runs, const std::function<void()>& work)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

void PrintFigure(const char* what, double value, double target, const char* unit)
{
    std::printf("%s: %.1f %s (target under %.1f %s): %s\n", what, value, unit, target, unit,
                value < target ? "met" : "MISSED");
}
