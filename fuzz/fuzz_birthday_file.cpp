// Loads arbitrary bytes as a birthday file (*.dra, *.bbk); the check is in
// birthday_checks.h.
#include "fuzz/birthday_checks.h"
#include "fuzz/run_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return RunFuzzCheck(CheckBirthdayFileInput, data, size);
}
