#pragma once

// Inputs kept for a fuzz target, as tests/data/fuzz/<target>/<what-the-
// input-does>: those it once broke on, and any worth running every time.
// The tests of the target's library replay every input of the folder through
// the target's own check, each in the test FuzzReplay.<target>.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

#include <gtest/gtest.h>

#include <functional>

// The inputs libFuzzer reads from a corpus folder, by path below it: every
// file, dot-files too, in the folder and its subfolders, but none in a
// subfolder whose name starts with a dot, which libFuzzer passes over.
inline void CollectFuzzInputs(const QDir& folder, const QString& prefix, QMap<QString, QByteArray>& inputs)
{
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << (prefix + name).toStdString();
        inputs.insert(prefix + name, file.readAll());
    }
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        if (!name.startsWith(u'.'))
            CollectFuzzInputs(QDir(folder.filePath(name)), prefix + name + u'/', inputs);
}

// The kept inputs of one target; none when it never broke.
inline QMap<QString, QByteArray> FuzzCrashInputs(const QString& target)
{
    const QDir root(QString::fromUtf8(DIARY_TEST_DATA "/fuzz"));
    EXPECT_TRUE(root.exists()) << "no folder " << root.path().toStdString();
    QMap<QString, QByteArray> inputs;
    const QDir folder(root.filePath(target));
    if (folder.exists())
        CollectFuzzInputs(folder, QString(), inputs);
    return inputs;
}

// Runs the target's check on each of its kept inputs; the check returns the
// rule an input broke, or nothing. The folder must hold something.
inline void ReplayFuzzInputs(const char* target, const std::function<QString(const QByteArray&)>& check)
{
    const QMap<QString, QByteArray> inputs = FuzzCrashInputs(QString::fromUtf8(target));
    ASSERT_FALSE(inputs.isEmpty()) << "nothing kept for " << target;
    for (auto it = inputs.cbegin(); it != inputs.cend(); ++it)
        EXPECT_EQ(check(it.value()).toStdString(), "") << target << "/" << it.key().toStdString();
}

// The test FuzzReplay.<target>: its name is how FuzzInputs.
// EveryTargetHasAReplayedFolder, listing each test binary's tests, finds
// that the target is replayed.
#define FUZZ_REPLAY_TEST(target, ...)                                                                                  \
    TEST(FuzzReplay, target)                                                                                           \
    {                                                                                                                  \
        ReplayFuzzInputs(#target, __VA_ARGS__);                                                                        \
    }
