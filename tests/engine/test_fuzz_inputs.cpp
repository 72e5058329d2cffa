// Every input that once broke an engine fuzz target, through that target's check.
#include "fuzz/engine_checks.h"
#include "support/fuzz_inputs.h"

#include <gtest/gtest.h>

TEST(FuzzInputs, EngineTargetsHoldOnEveryKeptInput)
{
    const struct {
        const char* target;
        QString (*check)(const QByteArray&);
    } targets[] = {
        {"fuzz_lzh", CheckLzhInput},
        {"fuzz_component_stream", CheckComponentStreamInput},
        {"fuzz_diary_file", CheckDiaryFileInput},
    };
    for (const auto& t : targets) {
        const QMap<QString, QByteArray> inputs = FuzzCrashInputs(QString::fromUtf8(t.target));
        for (auto it = inputs.begin(); it != inputs.end(); ++it)
            EXPECT_EQ(t.check(it.value()).toStdString(), "") << t.target << "/" << it.key().toStdString();
    }
}
