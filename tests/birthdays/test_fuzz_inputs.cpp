// Every input that once broke the birthday file's fuzz target, through its check.
#include "fuzz/birthday_checks.h"
#include "support/fuzz_inputs.h"

#include <gtest/gtest.h>

FUZZ_REPLAY_TEST(fuzz_birthday_file, CheckBirthdayFileInput)
