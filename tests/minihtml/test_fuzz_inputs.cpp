// Every input kept for the label HTML fuzz target, through what it does.
#include "fuzz/minihtml_checks.h"
#include "support/fuzz_inputs.h"

#include <gtest/gtest.h>

FUZZ_REPLAY_TEST(fuzz_minihtml, CheckMiniHtmlInput)
