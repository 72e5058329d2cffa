// Every input kept for the word list's fuzz target, through its check; and
// every fuzz target has kept inputs that some test replays.
#include "fuzz/word_list_checks.h"
#include "support/fuzz_inputs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

TEST(FuzzInputs, WordListHoldsOnEveryKeptInput)
{
    ReplayFuzzInputs("fuzz_word_list", CheckWordListInput);
}

TEST(FuzzInputs, EveryTargetHasAReplayedFolder)
{
    const QDir tests(QString::fromUtf8(DIARY_TEST_DATA "/.."));
    const QDir fuzz(tests.filePath(QStringLiteral("../fuzz")));
    const QStringList targets = fuzz.entryList({ QStringLiteral("fuzz_*.cpp") }, QDir::Files);
    ASSERT_FALSE(targets.isEmpty()) << fuzz.path().toStdString();

    QByteArray sources;
    QDirIterator it(tests.path(), { QStringLiteral("*.cpp") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        sources += file.readAll();
    }
    for (const QString& source : targets) {
        const QString target = source.chopped(4);
        EXPECT_FALSE(FuzzCrashInputs(target).isEmpty()) << "nothing kept in data/fuzz/" << target.toStdString();
        EXPECT_TRUE(sources.contains("ReplayFuzzInputs(\"" + target.toUtf8() + '"'))
            << "no test replays " << target.toStdString();
    }
}
