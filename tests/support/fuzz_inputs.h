#pragma once

// Inputs kept for a fuzz target, as tests/data/fuzz/<target>/<what-the-
// input-does>: those it once broke on, and any worth running every time.
// The tests of the target's library replay every file of the folder through
// the target's own check.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

#include <gtest/gtest.h>

#include <functional>

// The kept inputs of one target by file name; none when it never broke.
inline QMap<QString, QByteArray> FuzzCrashInputs(const QString& target)
{
    const QDir root(QString::fromUtf8(DIARY_TEST_DATA "/fuzz"));
    EXPECT_TRUE(root.exists()) << "no folder " << root.path().toStdString();
    QMap<QString, QByteArray> inputs;
    const QDir folder(root.filePath(target));
    for (const QString& name : folder.entryList(QDir::Files)) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        inputs.insert(name, file.readAll());
    }
    return inputs;
}

// Runs the target's check on each of its kept inputs; the check returns the
// rule an input broke, or nothing. The folder must hold something: the test
// that names every target relies on each being replayed here.
inline void ReplayFuzzInputs(const char* target, const std::function<QString(const QByteArray&)>& check)
{
    const QMap<QString, QByteArray> inputs = FuzzCrashInputs(QString::fromUtf8(target));
    ASSERT_FALSE(inputs.isEmpty()) << "nothing kept for " << target;
    for (auto it = inputs.cbegin(); it != inputs.cend(); ++it)
        EXPECT_EQ(check(it.value()).toStdString(), "") << target << "/" << it.key().toStdString();
}
