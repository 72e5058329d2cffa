#pragma once

// A small tmpfs of its own, mounted on a temporary folder for as long as the
// object lives, so that a save can meet a disk that is really full. Mounting
// needs root (or the right to mount); without it Reason() tells why, and the
// test skips.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class TFullDisk {
public:
    explicit TFullDisk(const char* size = "64k")
    {
        if (!fDir.isValid()) {
            fReason = QStringLiteral("no temporary folder for the mount");
            return;
        }
        const QByteArray options = QByteArray("size=") + size;
        if (::mount("tmpfs", QFile::encodeName(fDir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
            fReason = QStringLiteral("cannot mount a small tmpfs (%1); the full-disk cases need root")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        fMounted = true;
    }
    ~TFullDisk()
    {
        if (fMounted)
            ::umount2(QFile::encodeName(fDir.path()).constData(), MNT_DETACH);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

    bool Mounted() const { return fMounted; }
    const QString& Reason() const { return fReason; }
    QString Path() const { return fDir.path(); }
    QString FilePath(const QString& name) const { return fDir.filePath(name); }

    // Takes every free byte with a file of its own; true when the disk ended
    // full.
    bool Fill()
    {
        const int fd = ::open(QFile::encodeName(FilePath(QStringLiteral("filler"))).constData(),
            O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno == ENOSPC;
        static const char block[512] = {};
        ssize_t n;
        while ((n = ::write(fd, block, sizeof block)) > 0 || (n < 0 && errno == EINTR)) { }
        const bool full = n < 0 && errno == ENOSPC;
        ::close(fd);
        return full;
    }
    void Free() { QFile::remove(FilePath(QStringLiteral("filler"))); }

private:
    QTemporaryDir fDir;
    QString fReason;
    bool fMounted = false;
};
