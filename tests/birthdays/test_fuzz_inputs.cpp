// Every input that once broke the birthday file's fuzz target, through its check.
#include "fuzz/birthday_checks.h"
#include "support/fuzz_inputs.h"

#include <gtest/gtest.h>

TEST(FuzzInputs, BirthdayFileHoldsOnEveryKeptInput)
{
    const QMap<QString, QByteArray> inputs = FuzzCrashInputs(QStringLiteral("fuzz_birthday_file"));
    for (auto it = inputs.begin(); it != inputs.end(); ++it)
        EXPECT_EQ(CheckBirthdayFileInput(it.value()).toStdString(), "") << it.key().toStdString();
}
