#pragma once

// Figures that have a target: each is measured once the benchmarks have run
// and printed beside its target, so a run shows at a glance what is met.
#include <functional>

// Registers a check at static initialisation; returns a dummy for the
// registering variable.
int RegisterTargetCheck(std::function<void()> check);

// Runs every registered check in registration order.
void RunTargetChecks();

// The best wall time of `runs` calls of `work`, in milliseconds.
double BestMilliseconds(int runs, const std::function<void()>& work);

// Prints "what: value unit (target under target unit): met" or "... MISSED".
void PrintFigure(const char* what, double value, double target, const char* unit);
