#include "streams.h"

#include "sysutils.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TStream::~TStream() = default;

void TStream::ReadBuffer(void* buffer, qint64 count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count))
        throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* buffer, qint64 count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count))
        throw EWriteError(QStringLiteral("Stream write error"));
}

qint64 TStream::CopyFrom(TStream& source, qint64 count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char buffer[65536];
    qint64 done = 0;
    while (done < count) {
        const qint64 n = std::min<qint64>(sizeof buffer, count - done);
        source.ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        done += n;
    }
    return done;
}

qint64 TMemoryStream::Read(void* buffer, qint64 count)
{
    const qint64 n = std::clamp<qint64>(fData.size() - fPosition, 0, std::max<qint64>(count, 0));
    if (n > 0)
        std::memcpy(buffer, fData.constData() + fPosition, size_t(n));
    fPosition += n;
    return n;
}

qint64 TMemoryStream::Write(const void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    const qint64 end = fPosition + count;
    if (end > fData.size())
        fData.resize(end, '\0'); // a gap after a seek past the end reads as zeros
    std::memcpy(fData.data() + fPosition, buffer, size_t(count));
    fPosition = end;
    return count;
}

qint64 TMemoryStream::Seek(qint64 offset, TSeekOrigin origin)
{
    switch (origin) {
    case TSeekOrigin::soBeginning: fPosition = offset; break;
    case TSeekOrigin::soCurrent: fPosition += offset; break;
    case TSeekOrigin::soEnd: fPosition = fData.size() + offset; break;
    }
    fPosition = std::max<qint64>(fPosition, 0);
    return fPosition;
}

void TMemoryStream::SetSize(qint64 newSize)
{
    fData.resize(std::max<qint64>(newSize, 0), '\0'); // plain resize would expose stale bytes
    fPosition = std::min<qint64>(fPosition, fData.size());
}

void TMemoryStream::Clear()
{
    fData.clear();
    fPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    const qint64 n = source.Size();
    QByteArray bytes(n, Qt::Uninitialized);
    source.ReadBuffer(bytes.data(), n);
    fData = std::move(bytes);
    fPosition = 0;
}

void TMemoryStream::LoadFromFile(const QString& fileName)
{
    fData = ReadWholeFile(fileName);
    fPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) const
{
    dest.WriteBuffer(fData.constData(), fData.size());
}

void TMemoryStream::SaveToFile(const QString& fileName) const
{
    WriteFileAtomically(fileName, fData);
}

TFileStream::TFileStream(const QString& fileName, unsigned mode)
    : fFileName(fileName)
    , fFile(fileName)
{
    if (mode == fmCreate) {
        if (!fFile.open(QIODevice::ReadWrite | QIODevice::Truncate))
            throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, fFile.errorString()));
        return;
    }
    QIODevice::OpenMode qmode = QIODevice::ReadOnly;
    if ((mode & 3) == fmOpenWrite)
        qmode = QIODevice::WriteOnly | QIODevice::ExistingOnly;
    else if ((mode & 3) == fmOpenReadWrite)
        qmode = QIODevice::ReadWrite | QIODevice::ExistingOnly;
    if (!fFile.open(qmode))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, fFile.errorString()));
}

TFileStream::~TFileStream() = default;

qint64 TFileStream::Read(void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    const qint64 n = fFile.read(static_cast<char*>(buffer), count);
    return std::max<qint64>(n, 0);
}

qint64 TFileStream::Write(const void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    const qint64 n = fFile.write(static_cast<const char*>(buffer), count);
    return std::max<qint64>(n, 0);
}

qint64 TFileStream::Seek(qint64 offset, TSeekOrigin origin)
{
    qint64 target = offset;
    if (origin == TSeekOrigin::soCurrent)
        target += fFile.pos();
    else if (origin == TSeekOrigin::soEnd)
        target += fFile.size();
    if (origin != TSeekOrigin::soCurrent || offset != 0)
        fFile.seek(std::max<qint64>(target, 0));
    return fFile.pos();
}

qint64 TFileStream::Size() const
{
    return fFile.size();
}

void TFileStream::SetSize(qint64 newSize)
{
    if (!fFile.resize(newSize))
        throw EWriteError(QStringLiteral("Cannot resize file \"%1\". %2").arg(fFileName, fFile.errorString()));
}

namespace {

std::atomic<qint64> gFileBytesRead { 0 };

[[noreturn]] void RaiseReadError(const QFile& file, const QString& fileName)
{
    throw EFOpenError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
}

} // namespace

QByteArray ReadWholeFile(const QString& fileName)
{
    return *ReadFileAfterHead(fileName, 0, nullptr);
}

std::optional<QByteArray> ReadFileAfterHead(const QString& fileName, qsizetype headSize,
    const std::function<bool(const QByteArray& head, qint64 fileSize)>& acceptHead)
{
    // Unbuffered: a refused file costs the head's bytes alone.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    QByteArray bytes = file.read(headSize);
    const qsizetype headRead = bytes.size();
    gFileBytesRead += headRead;
    if (file.error() != QFileDevice::NoError)
        RaiseReadError(file, fileName);
    if (acceptHead && !acceptHead(bytes, file.size()))
        return std::nullopt;

    // The rest goes straight behind the head, so the file is held once.
    const qint64 size = file.size();
    if (size > bytes.size()) {
        qint64 got = bytes.size();
        bytes.resize(size);
        while (got < size) {
            const qint64 n = file.read(bytes.data() + got, size - got);
            if (n <= 0)
                break;
            got += n;
        }
        bytes.resize(got);
    }
    bytes += file.readAll(); // whatever was added to the file meanwhile
    gFileBytesRead += bytes.size() - headRead;
    if (file.error() != QFileDevice::NoError)
        RaiseReadError(file, fileName);
    return bytes;
}

qint64 TotalFileBytesRead()
{
    return gFileBytesRead;
}

namespace {

TFileFault gFault;

// The injected error of a step's call, used up by the call; 0 for none.
int InjectedError(TFileStep step)
{
    if (gFault.Step != step)
        return 0;
    return std::exchange(gFault.Error, 0);
}

// A system call of a step, or its injected failure.
template <class Call> auto Step(TFileStep step, Call call) -> decltype(call())
{
    if (const int error = InjectedError(step)) {
        errno = error;
        return -1;
    }
    return call();
}

ssize_t WriteSome(int fd, const char* data, size_t count)
{
    // A short write comes first; an injected error then fails the next call.
    if (gFault.Step == TFileStep::Write && gFault.ShortWrite >= 0)
        return ::write(fd, data, std::min<size_t>(count, size_t(std::exchange(gFault.ShortWrite, -1))));
    return Step(TFileStep::Write, [&] { return ::write(fd, data, count); });
}

// Some file systems have nothing to sync and say so.
bool SyncUnsupported(int error)
{
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

[[noreturn]] void RaiseWriteError(const QString& fileName, int error)
{
    throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, qt_error_string(error)));
}

// The file a name finally points to through symbolic links, so that a link
// is written through rather than replaced.
QString FinalTarget(const QString& fileName)
{
    QFileInfo info(fileName);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? fileName : info.filePath();
}

// A new file beside target, open for writing; its name goes to tempName.
int CreateTemporaryFile(const QByteArray& target, mode_t mode, QByteArray& tempName)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target + '.';
        for (int i = 0; i < 6; ++i)
            tempName += letters[QRandomGenerator::system()->bounded(int(sizeof letters - 1))];
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void WriteAll(int fd, const QByteArray& bytes, const QString& fileName)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = WriteSome(fd, data, size_t(std::min<qint64>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            RaiseWriteError(fileName, n < 0 ? errno : EIO); // no progress is no write
        data += n;
        left -= n;
    }
}

void SyncFile(int fd, TFileStep step, const QString& fileName)
{
    int result;
    do
        result = Step(step, [fd] { return ::fsync(fd); });
    while (result != 0 && errno == EINTR);
    if (result != 0 && !SyncUnsupported(errno))
        RaiseWriteError(fileName, errno);
}

} // namespace

void SetFileFaultForTesting(const TFileFault& fault)
{
    gFault = fault;
}

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes)
{
    // A fault set for this call never outlives it.
    struct ClearFault {
        ~ClearFault() { gFault = {}; }
    } clearFault;

    const QString finalName = FinalTarget(fileName);
    const QByteArray target = QFile::encodeName(finalName);
    struct stat existing { };
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, qt_error_string(EISDIR)));
    if (exists && ::access(target.constData(), W_OK) != 0)
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, qt_error_string(errno)));

    // A replaced file's mode is copied once the file is ours alone; a new one
    // gets what the umask leaves.
    QByteArray tempName;
    int fd = CreateTemporaryFile(target, exists ? 0600 : 0666, tempName);
    if (fd < 0)
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, qt_error_string(errno)));
    try {
        if (exists)
            ::fchmod(fd, existing.st_mode & 07777);
        WriteAll(fd, bytes, fileName);
        SyncFile(fd, TFileStep::Sync, fileName);
        // Linux frees the descriptor whatever close reports, and after EINTR
        // the bytes are on the disk already.
        int closed = ::close(std::exchange(fd, -1));
        if (const int error = InjectedError(TFileStep::Close)) {
            closed = -1;
            errno = error;
        }
        if (closed != 0 && errno != EINTR)
            RaiseWriteError(fileName, errno);
        if (Step(TFileStep::Rename, [&] { return ::rename(tempName.constData(), target.constData()); }) != 0)
            RaiseWriteError(fileName, errno);
    } catch (...) {
        // Raised on, without the temporary file.
        if (fd >= 0)
            ::close(fd);
        ::unlink(tempName.constData());
        throw;
    }

    // The rename lasts only once the folder is on the disk too; a folder we
    // may not read cannot be synced and is left to the system.
    const QByteArray folder = QFile::encodeName(QFileInfo(finalName).absolutePath());
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return;
    try {
        SyncFile(dirFd, TFileStep::SyncFolder, fileName);
    } catch (...) {
        // Raised on, with the descriptor closed.
        ::close(dirFd);
        throw;
    }
    ::close(dirFd);
}
