#pragma once

// Runs one of the shared checks on the fuzzer's bytes and stops the fuzzer,
// keeping the input, when it reports a broken rule.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline int RunFuzzCheck(QString (*check)(const QByteArray&), const uint8_t* data, size_t size)
{
    // Raw data: no copy with spare capacity hides a read past the input.
    const QString broken = check(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "broken: %s\n", broken.toUtf8().constData());
        std::abort();
    }
    return 0;
}
