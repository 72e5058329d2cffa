// Refusing a wrong password costs the password's bytes, not the payload's:
// an 11 MB file announcing 528 MB is refused in milliseconds and without
// memory beyond the file's.
#include "bench_engine_password.h"

#include "bench_data.h"
#include "bench_load_peak.h"
#include "bench_targets.h"
#include "engine/crc32.h"
#include "engine/diary.h"
#include "engine/lzh.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr qsizetype kFileSize = 11 << 20;
const QString kWrong = QStringLiteral("wrong");

// "Secret" and its 0 byte packed as the program packs them, then text-like
// bytes as code to 11 MB; the prefix announces the most that code can hold.
QByteArray InflatingFile()
{
    QByteArray code = LZHPackBlob(QByteArray("Secret\0", 7)).mid(4);
    code += MakeRtfLikeText(kFileSize - 12 - code.size(), 7);
    const qint64 announced = std::min<qint64>(TLZH::MaxTextSize(code.size()), std::numeric_limits<qint32>::max());
    QByteArray packed(4, Qt::Uninitialized);
    qToLittleEndian(qint32(announced), packed.data());
    packed += code;
    QByteArray file = QByteArrayLiteral("DR10");
    const quint32 crc = Crc32(packed.constData(), packed.size());
    for (int i = 0; i < 4; ++i)
        file.append(char(crc >> (8 * i)));
    return file + packed;
}

QString InflatingFileIn(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("inflating.dry"));
    if (!QFile::exists(path)) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(InflatingFile());
    }
    return path;
}

bool RefusesWrongPassword(const QString& path)
{
    TDiaryDB db;
    return db.LoadFromFile(path, true, kWrong) == lsWrongPassword;
}

void BM_WrongPasswordOn11MBFile(benchmark::State& state)
{
    const QTemporaryDir dir;
    const QString path = InflatingFileIn(dir.path());
    for (auto _ : state)
        if (!RefusesWrongPassword(path))
            state.SkipWithError("not refused as a wrong password");
}
BENCHMARK(BM_WrongPasswordOn11MBFile)->Unit(benchmark::kMillisecond);

} // namespace

void PrintWrongPasswordFigures(const QString& folder)
{
    const QString path = InflatingFileIn(folder);
    bool refused = true;
    const double ms = BestMilliseconds(5, [&] { refused = RefusesWrongPassword(path) && refused; });
    if (!refused)
        std::printf("A wrong password on the 11 MB file was NOT refused as one\n");
    PrintFigure("Wrong password on an 11 MB file announcing 528 MB", ms, 50, "ms");

    const double peakMb = LoadPeakMegabytes(path, kWrong);
    PrintFigure("Peak memory of that refusal (fresh process)", peakMb, 50, "MB");
}
