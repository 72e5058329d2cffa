// Reads arbitrary bytes as a word list file; the check is in
// word_list_checks.h.
#include "fuzz/run_check.h"
#include "fuzz/word_list_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return RunFuzzCheck(CheckWordListInput, data, size);
}
