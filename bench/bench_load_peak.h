#pragma once

#include <QString>

// The peak memory of loading a diary file, measured in a fresh process (the
// benchmark program run again as "--load-peak FILE PASSWORD"), so nothing the
// benchmarks allocated before counts.

// The child's side: when the arguments ask for it, loads the file, prints the
// process's high-water mark in kB and returns the load status; otherwise -1.
int RunLoadPeakChild(int argc, char** argv);

// The parent's side: the peak of loading file with password, in MB.
double LoadPeakMegabytes(const QString& file, const QString& password);
