#pragma once

#include <QString>
#include <QStringList>

// The peak memory of loading a diary or birthday file, measured in a fresh
// process (the benchmark program run again as "--load-peak FILE PASSWORD" or
// "--load-peak-birthdays FILE"), so nothing the benchmarks allocated before
// counts.

// The child's side: when the arguments ask for it, loads the file, prints the
// process's high-water mark before and after the load in kB and returns the
// load status (the diary's, or 0 for a birthday list loaded and 1 for one
// refused); otherwise -1.
int RunLoadPeakChild(int argc, char** argv);

// What the child measured: its high-water mark before the load (all that
// starting the program took) and after it, and the load's status.
struct TLoadPeak {
    double BaselineMb = 0;
    double PeakMb = 0;
    int Status = -1;
    double AboveBaselineMb() const { return PeakMb - BaselineMb; }
};
TLoadPeak MeasureLoadPeak(const QStringList& childArguments);

// The parent's side: the peak of loading file with password, in MB.
double LoadPeakMegabytes(const QString& file, const QString& password);
