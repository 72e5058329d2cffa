#include "bench_load_peak.h"

#include "engine/diary.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <cstring>

int RunLoadPeakChild(int argc, char** argv)
{
    if (argc != 4 || std::strcmp(argv[1], "--load-peak") != 0)
        return -1;
    TDiaryDB db;
    const int status = db.LoadFromFile(QString::fromLocal8Bit(argv[2]), true, QString::fromLocal8Bit(argv[3]));
    // The high-water mark of this process's own memory: ru_maxrss would also
    // count the parent's resident size at the fork.
    QFile proc(QStringLiteral("/proc/self/status"));
    long peakKb = 0;
    if (proc.open(QIODevice::ReadOnly))
        for (const QByteArray& line : proc.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peakKb = line.mid(6).trimmed().split(' ').value(0).toLong();
    std::printf("%ld\n", peakKb);
    return status;
}

double LoadPeakMegabytes(const QString& file, const QString& password)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--load-peak"), file, password });
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLong() / 1024.0;
}
