// Every input kept for an engine fuzz target, through that target's check.
#include "fuzz/engine_checks.h"
#include "support/fuzz_inputs.h"

#include <gtest/gtest.h>

FUZZ_REPLAY_TEST(fuzz_lzh, CheckLzhInput)
FUZZ_REPLAY_TEST(fuzz_component_stream, CheckComponentStreamInput)
FUZZ_REPLAY_TEST(fuzz_diary_file, CheckDiaryFileInput)
