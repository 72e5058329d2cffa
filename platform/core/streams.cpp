#include "streams.h"

#include "sysutils.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

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
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
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

QByteArray ReadWholeFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFOpenError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    return bytes;
}

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, why));
    }
    if (!file.commit())
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}
