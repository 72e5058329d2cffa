// Every input that once broke the birthday file's fuzz target, through its check.
#include "fuzz/birthday_checks.h"
#include "support/fuzz_inputs.h"

#include <gtest/gtest.h>

TEST(FuzzInputs, BirthdayFileHoldsOnEveryKeptInput)
{
    ReplayFuzzInputs("fuzz_birthday_file", CheckBirthdayFileInput);
}
