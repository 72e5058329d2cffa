// Loads arbitrary bytes as a diary file; the check is in engine_checks.h.
#include "fuzz/engine_checks.h"
#include "fuzz/run_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return RunFuzzCheck(CheckDiaryFileInput, data, size);
}
