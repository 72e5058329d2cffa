#pragma once

// Inputs a fuzzer once broke a target with, kept as
// tests/data/fuzz/<target>/<what-the-input-does>. The tests of the target's
// library replay every file of the folder through the target's own check.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

#include <gtest/gtest.h>

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
