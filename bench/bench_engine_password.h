#pragma once

#include <QString>

// A wrong password on an 11 MB diary file whose size prefix announces 48
// times that: the time of the refusal, and the peak memory of a fresh process
// doing it, each printed beside its target.
void PrintWrongPasswordFigures(const QString& folder);
