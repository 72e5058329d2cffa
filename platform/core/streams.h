#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// Byte stream with a position, the shape every reader and writer of the
// program's files works against. Read/Write move what they can and return the
// count; ReadBuffer/WriteBuffer raise when the full count cannot be moved.
class TStream {
public:
    virtual ~TStream();

    virtual qint64 Read(void* buffer, qint64 count) = 0;
    virtual qint64 Write(const void* buffer, qint64 count) = 0;
    virtual qint64 Seek(qint64 offset, TSeekOrigin origin) = 0;
    virtual qint64 Size() const = 0;
    virtual void SetSize(qint64 newSize) = 0;

    qint64 Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(qint64 pos) { Seek(pos, TSeekOrigin::soBeginning); }
    qint64 Remaining() { return Size() - Position(); }

    void ReadBuffer(void* buffer, qint64 count);
    void WriteBuffer(const void* buffer, qint64 count);
    void WriteBytes(const QByteArray& bytes) { WriteBuffer(bytes.constData(), bytes.size()); }

    // Copies count bytes from source's position (the whole source from its
    // start when count is 0); returns the number copied.
    qint64 CopyFrom(TStream& source, qint64 count);
};

// Growable in-memory stream over a QByteArray.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray bytes)
        : fData(std::move(bytes))
    {
    }

    qint64 Read(void* buffer, qint64 count) override;
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    qint64 Size() const override { return fData.size(); }
    void SetSize(qint64 newSize) override;

    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const QString& fileName);
    void SaveToStream(TStream& dest) const;
    void SaveToFile(const QString& fileName) const;

    const QByteArray& Bytes() const { return fData; }
    QByteArray& Bytes() { return fData; }
    const char* Memory() const { return fData.constData(); }

private:
    QByteArray fData;
    qint64 fPosition = 0;
};

enum TFileMode : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFF00,
};

// File stream. fmCreate creates or truncates; the open modes need an
// existing file. Failures raise EFCreateError or EFOpenError.
class TFileStream : public TStream {
public:
    TFileStream(const QString& fileName, unsigned mode);
    ~TFileStream() override;

    qint64 Read(void* buffer, qint64 count) override;
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    qint64 Size() const override;
    void SetSize(qint64 newSize) override;

    const QString& FileName() const { return fFileName; }

private:
    QString fFileName;
    QFile fFile;
};

// Reads a whole file; raises EFOpenError when it cannot be opened or read.
QByteArray ReadWholeFile(const QString& fileName);

// Reads a file whose first bytes decide whether the rest is worth reading, so
// a file of the wrong kind costs its head, not its size: the first headSize
// bytes (all of a shorter file) go to acceptHead with the file's size, and
// the rest is read only when it returns true. Returns the whole file, or
// nothing when the head was refused; no acceptHead accepts any head. Raises
// as ReadWholeFile does.
std::optional<QByteArray> ReadFileAfterHead(const QString& fileName, qsizetype headSize,
    const std::function<bool(const QByteArray& head, qint64 fileSize)>& acceptHead);

// Bytes read by the two functions above in this process so far; tests read
// it to see how far a loader went.
qint64 TotalFileBytesRead();

// Replaces a file atomically: the bytes go to a new temporary file beside the
// target (beside a symbolic link's final target), every write is checked, the
// file is synced and closed, and only then renamed over the target; the
// folder is synced last. Any failure removes the temporary file, so the
// previous file stays as it was, byte for byte (only a folder that fails to
// sync raises after the file was replaced). A new file gets the usual
// permissions, a replaced one keeps its mode. Raises EFCreateError when no
// temporary file can be made and EWriteError otherwise, both naming the file
// and the system's reason.
void WriteFileAtomically(const QString& fileName, const QByteArray& bytes);

// The steps of WriteFileAtomically that a test can make fail.
enum class TFileStep { Write, Sync, Close, Rename, SyncFolder };

// A fault the next WriteFileAtomically meets once: a write first moves only
// ShortWrite bytes when that is not negative; then the step's next call fails
// with Error when it is set. The default fault does nothing.
struct TFileFault {
    TFileStep Step = TFileStep::Write;
    int Error = 0;
    qint64 ShortWrite = -1;
};

// For tests only: the fault holds for the next WriteFileAtomically and is
// cleared when that call ends, whether it met the fault or not.
void SetFileFaultForTesting(const TFileFault& fault);
