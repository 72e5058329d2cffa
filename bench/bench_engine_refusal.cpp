// Refusing a file that is neither a diary nor a birthday list costs its first
// bytes, not the file: 200 MB of random bytes are refused in milliseconds and
// with memory that does not grow with the file.
#include "bench_load_peak.h"
#include "bench_targets.h"
#include "birthdays/birthday.h"
#include "engine/diary.h"
#include "platform/core/sysutils.h"
#include "tests/support/xorshift32.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr qint64 kRandomBytes = qint64(200) << 20;

// The refusal holds nothing that grows with the file: beyond the started
// program it needs the loader's own objects and the file's first bytes, well
// under a megabyte. The target leaves room for the allocator's arenas while
// staying a fiftieth of the file, so a loader that read even a small part of
// it whole would miss it.
constexpr double kPeakTargetMb = 4;

// 200 MB of xorshift32 output, written a megabyte at a time. It starts with
// neither the diary's magic nor the component stream's marker.
QString RandomFile(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("random.bin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return path;
    XorShift32 random { 200 };
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 written = 0; written < kRandomBytes; written += chunk.size()) {
        for (qsizetype i = 0; i < chunk.size(); i += 4) {
            const quint32 word = random.Next();
            std::memcpy(chunk.data() + i, &word, 4);
        }
        file.write(chunk);
    }
    return path;
}

bool RefusedAsDiary(const QString& path)
{
    TDiaryDB db;
    return db.LoadFromFile(path, true, QString()) == lsNotDiaryFile;
}

bool RefusedAsBirthdays(const QString& path)
{
    TBirthdayComponent list;
    try {
        list.LoadFromFile(path);
    } catch (const EFLoadError&) {
        return true;
    }
    return false;
}

void PrintRefusal(
    const char* as, const QString& path, bool (*refuse)(const QString&), const QStringList& child, int refusedStatus)
{
    bool refused = true;
    const double ms = BestMilliseconds(5, [&] { refused = refuse(path) && refused; });
    const std::string what = std::string("Refusing a 200 MB random file as ") + as;
    // In microseconds: the refusal takes a small part of a millisecond.
    PrintFigure(what.c_str(), ms * 1000, 10000, "us");
    const TLoadPeak peak = MeasureLoadPeak(child);
    PrintFigure(("Peak memory of that refusal above the fresh process's baseline ("
                    + std::to_string(int(peak.BaselineMb)) + " MB)")
                    .c_str(),
        peak.AboveBaselineMb(), kPeakTargetMb, "MB");
    if (!refused || peak.Status != refusedStatus)
        std::printf("  (the file was NOT refused as expected)\n");
}

const int kChecks = RegisterTargetCheck([] {
    const QTemporaryDir dir;
    const QString path = RandomFile(dir.path());
    PrintRefusal("a diary", path, RefusedAsDiary, { QStringLiteral("--load-peak"), path, QString() }, lsNotDiaryFile);
    PrintRefusal("a birthday list", path, RefusedAsBirthdays, { QStringLiteral("--load-peak-birthdays"), path }, 1);
});

} // namespace
