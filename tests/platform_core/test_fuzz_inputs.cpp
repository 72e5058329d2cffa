// Every input kept for the word list's fuzz target, through its check; and
// every fuzz target has kept inputs that some test replays.
#include "fuzz/word_list_checks.h"
#include "support/fuzz_inputs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string_view>

FUZZ_REPLAY_TEST(fuzz_word_list, CheckWordListInput)

// libFuzzer reads a corpus folder's files, dot-files too, and those of its
// subfolders, passing over a subfolder whose name starts with a dot.
TEST(FuzzInputs, TheReplayReadsWhatLibFuzzerReads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    for (const char* path : { "plain", ".hidden", "sub/nested", "sub/.hidden", "sub/deeper/deepest", ".skipped/x" }) {
        const QString file = root.filePath(QString::fromUtf8(path));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(path);
    }
    QMap<QString, QByteArray> inputs;
    CollectFuzzInputs(root, QString(), inputs);
    EXPECT_EQ(
        QStringList(inputs.keys()).join(u' ').toStdString(), ".hidden plain sub/.hidden sub/deeper/deepest sub/nested");
    EXPECT_EQ(inputs.value(QStringLiteral("sub/nested")), "sub/nested");
}

namespace {

// The FuzzReplay tests registered here and in each other test binary (as it
// lists them), by target.
QSet<QString> ReplayedTargets()
{
    QSet<QString> targets;
    const testing::UnitTest& here = *testing::UnitTest::GetInstance();
    for (int i = 0; i < here.total_test_suite_count(); ++i) {
        const testing::TestSuite& suite = *here.GetTestSuite(i);
        if (std::string_view(suite.name()) == "FuzzReplay")
            for (int j = 0; j < suite.total_test_count(); ++j)
                targets.insert(QString::fromUtf8(suite.GetTestInfo(j)->name()));
    }
    const QStringList binaries = QString::fromUtf8(DIARY_TEST_BINARIES).split(u'|', Qt::SkipEmptyParts);
    EXPECT_FALSE(binaries.isEmpty());
    for (const QString& binary : binaries) {
        QProcess list;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        list.setProcessEnvironment(env);
        list.start(binary, { QStringLiteral("--gtest_list_tests"), QStringLiteral("--gtest_filter=FuzzReplay.*") });
        const bool listed
            = list.waitForFinished(60000) && list.exitStatus() == QProcess::NormalExit && list.exitCode() == 0;
        EXPECT_TRUE(listed) << "cannot list the tests of " << binary.toStdString();
        // "FuzzReplay." on a line of its own, then each test name indented.
        bool inSuite = false;
        for (const QByteArray& line : list.readAllStandardOutput().split('\n')) {
            if (!line.startsWith(' '))
                inSuite = line.trimmed() == "FuzzReplay.";
            else if (inSuite)
                targets.insert(QString::fromUtf8(line.trimmed()));
        }
    }
    return targets;
}

} // namespace

TEST(FuzzInputs, EveryTargetHasAReplayedFolder)
{
    const QDir tests(QString::fromUtf8(DIARY_TEST_DATA "/.."));
    const QDir fuzz(tests.filePath(QStringLiteral("../fuzz")));
    const QStringList targets = fuzz.entryList({ QStringLiteral("fuzz_*.cpp") }, QDir::Files);
    ASSERT_FALSE(targets.isEmpty()) << fuzz.path().toStdString();

    const QSet<QString> replayed = ReplayedTargets();
    for (const QString& source : targets) {
        const QString target = source.chopped(4);
        EXPECT_FALSE(FuzzCrashInputs(target).isEmpty()) << "nothing kept in data/fuzz/" << target.toStdString();
        EXPECT_TRUE(replayed.contains(target)) << "no test replays " << target.toStdString();
    }
}
