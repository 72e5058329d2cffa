#include "bench_load_peak.h"

#include "birthdays/birthday.h"
#include "engine/diary.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <cstring>

namespace {

// The high-water mark of this process's own memory in kB: ru_maxrss would
// also count the parent's resident size at the fork.
long PeakKb()
{
    QFile proc(QStringLiteral("/proc/self/status"));
    if (proc.open(QIODevice::ReadOnly))
        for (const QByteArray& line : proc.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

} // namespace

int RunLoadPeakChild(int argc, char** argv)
{
    const bool diary = argc == 4 && std::strcmp(argv[1], "--load-peak") == 0;
    const bool birthdays = argc == 3 && std::strcmp(argv[1], "--load-peak-birthdays") == 0;
    if (!diary && !birthdays)
        return -1;
    const QString file = QString::fromLocal8Bit(argv[2]);
    const long baselineKb = PeakKb();
    int status = 0;
    if (diary) {
        TDiaryDB db;
        status = db.LoadFromFile(file, true, QString::fromLocal8Bit(argv[3]));
    } else {
        TBirthdayComponent list;
        try {
            list.LoadFromFile(file);
        } catch (const std::exception&) {
            status = 1;
        }
    }
    std::printf("%ld %ld\n", PeakKb(), baselineKb);
    return status;
}

TLoadPeak MeasureLoadPeak(const QStringList& childArguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), childArguments);
    child.waitForFinished(-1);
    const QList<QByteArray> kb = child.readAllStandardOutput().trimmed().split(' ');
    TLoadPeak peak;
    peak.PeakMb = kb.value(0).toLong() / 1024.0;
    peak.BaselineMb = kb.value(1).toLong() / 1024.0;
    peak.Status = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    return peak;
}

double LoadPeakMegabytes(const QString& file, const QString& password)
{
    return MeasureLoadPeak({ QStringLiteral("--load-peak"), file, password }).PeakMb;
}
