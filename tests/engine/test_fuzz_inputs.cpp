// Every input kept for an engine fuzz target, through that target's check.
#include "fuzz/engine_checks.h"
#include "support/fuzz_inputs.h"

#include <gtest/gtest.h>

TEST(FuzzInputs, EngineTargetsHoldOnEveryKeptInput)
{
    ReplayFuzzInputs("fuzz_lzh", CheckLzhInput);
    ReplayFuzzInputs("fuzz_component_stream", CheckComponentStreamInput);
    ReplayFuzzInputs("fuzz_diary_file", CheckDiaryFileInput);
}
