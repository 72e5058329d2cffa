#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "support/full_disk.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAt(TStream& stream, qint64 pos, qint64 count)
{
    QByteArray out(count, Qt::Uninitialized);
    stream.SetPosition(pos);
    out.resize(stream.Read(out.data(), count));
    return out;
}

template <class E, class F> void ExpectThrowNaming(F action, const QString& fileName)
{
    try {
        action();
        ADD_FAILURE() << "nothing raised";
    } catch (const E& e) {
        EXPECT_TRUE(e.Message().contains(fileName)) << e.what();
    }
}

} // namespace

TEST(MemoryStream, ReadWriteSeekAndSize)
{
    TMemoryStream s;
    s.WriteBytes(QByteArrayLiteral("hello world"));
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(s.Position(), 11);
    EXPECT_EQ(ReadAt(s, 6, 100), QByteArrayLiteral("world")); // a short read moves what it can
    EXPECT_EQ(s.Position(), 11);

    EXPECT_EQ(s.Seek(-5, TSeekOrigin::soEnd), 6);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soCurrent), 4);
    EXPECT_EQ(s.Seek(-20, TSeekOrigin::soCurrent), 0);
    s.SetPosition(4);
    s.WriteBytes(QByteArrayLiteral("O"));
    EXPECT_EQ(s.Bytes(), QByteArrayLiteral("hellO world"));

    s.SetPosition(9);
    s.SetSize(4); // the position follows a shrinking end
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(s.Remaining(), 0);
    char buffer[8];
    s.SetPosition(2);
    EXPECT_THROW(s.ReadBuffer(buffer, 3), EReadError);
    EXPECT_NO_THROW(s.ReadBuffer(buffer, 0));
}

TEST(MemoryStream, GrowingZeroFills)
{
    // Stale bytes from a former, larger content must not reappear.
    TMemoryStream s(QByteArray(64, 'x'));
    s.SetSize(4);
    s.Seek(10, TSeekOrigin::soEnd);
    s.WriteBytes(QByteArrayLiteral("!"));
    EXPECT_EQ(s.Bytes(), QByteArray(4, 'x') + QByteArray(10, '\0') + QByteArrayLiteral("!"));

    s.SetSize(2);
    s.SetSize(20);
    EXPECT_EQ(s.Bytes(), QByteArray(2, 'x') + QByteArray(18, '\0'));
}

TEST(MemoryStream, CopyFromAndLoadFromStream)
{
    TMemoryStream source(QByteArrayLiteral("0123456789"));
    source.SetPosition(7);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 0), 10); // 0 means all of it, from the start
    source.SetPosition(2);
    EXPECT_EQ(dest.CopyFrom(source, 3), 3);
    EXPECT_EQ(dest.Bytes(), QByteArrayLiteral("0123456789234"));
    EXPECT_THROW(dest.CopyFrom(source, 6), EReadError);

    TMemoryStream loaded(QByteArrayLiteral("old content"));
    loaded.LoadFromStream(source);
    EXPECT_EQ(loaded.Bytes(), source.Bytes());
    EXPECT_EQ(loaded.Position(), 0);
}

TEST(FileStream, CreateOpenAndFailures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("data.bin"));
    {
        TFileStream f(name, fmCreate);
        f.WriteBytes(QByteArrayLiteral("abcdef"));
        EXPECT_EQ(f.Size(), 6);
        EXPECT_EQ(ReadAt(f, 2, 2), QByteArrayLiteral("cd"));
        EXPECT_EQ(f.Seek(-1, TSeekOrigin::soEnd), 5);
    }
    {
        TFileStream f(name, fmOpenReadWrite); // opening does not truncate
        EXPECT_EQ(f.Size(), 6);
        f.SetSize(3);
        EXPECT_EQ(ReadAt(f, 0, 10), QByteArrayLiteral("abc"));
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(m.Bytes(), QByteArrayLiteral("abc"));

    const QString missing = dir.filePath(QStringLiteral("missing.bin"));
    ExpectThrowNaming<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); }, missing);
    ExpectThrowNaming<EFOpenError>([&] { TFileStream f(missing, fmOpenWrite); }, missing);
    ExpectThrowNaming<EFOpenError>([&] { ReadWholeFile(missing); }, missing);
    const QString noFolder = dir.filePath(QStringLiteral("nowhere/new.bin"));
    ExpectThrowNaming<EFCreateError>([&] { TFileStream f(noFolder, fmCreate); }, noFolder);
}

TEST(FileStream, WriteFileAtomicallyReplacesAndLeavesNothingElse)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("diary.dat"));
    WriteFileAtomically(name, QByteArrayLiteral("first, longer content"));
    WriteFileAtomically(name, QByteArrayLiteral("second"));
    EXPECT_EQ(ReadWholeFile(name), QByteArrayLiteral("second"));
    const auto entries = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    EXPECT_EQ(QDir(dir.path()).entryList(entries), QStringList { QStringLiteral("diary.dat") });

    const QString noFolder = dir.filePath(QStringLiteral("nowhere/diary.dat"));
    EXPECT_THROW(WriteFileAtomically(noFolder, QByteArrayLiteral("x")), EStreamError);
    EXPECT_EQ(QDir(dir.path()).entryList(entries), QStringList { QStringLiteral("diary.dat") });
}

namespace {

QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Saves new over a file holding old; the error raised, empty when none.
QString SaveOver(const QString& name, const QByteArray& old, const QByteArray& bytes, const TFileFault& fault)
{
    WriteFileAtomically(name, old);
    SetFileFaultForTesting(fault);
    try {
        WriteFileAtomically(name, bytes);
    } catch (const EWriteError& e) {
        return e.Message();
    }
    return {};
}

} // namespace

TEST(WriteFileAtomically, EveryByteReachesTheFileOrTheOldFileStays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("diary.dat"));
    const QByteArray old(154, 'o');
    const QByteArray bytes = QByteArray(9500, 'n') + QByteArrayLiteral("end");
    struct Case {
        const char* what;
        TFileFault fault;
        int error; // the reason given, 0 when the save succeeds
    } const cases[] = {
        { "a short write goes on", { TFileStep::Write, 0, 100 }, 0 },
        { "an interrupted write is repeated", { TFileStep::Write, EINTR }, 0 },
        { "an interrupted sync is repeated", { TFileStep::Sync, EINTR }, 0 },
        { "a file system without sync", { TFileStep::Sync, EINVAL }, 0 },
        { "an interrupted close has synced already", { TFileStep::Close, EINTR }, 0 },
        { "a short write, then no space", { TFileStep::Write, ENOSPC, 100 }, ENOSPC },
        { "no space at once", { TFileStep::Write, ENOSPC }, ENOSPC },
        { "the quota at the sync", { TFileStep::Sync, EDQUOT }, EDQUOT },
        { "an I/O error at the sync", { TFileStep::Sync, EIO }, EIO },
        { "an I/O error at the close", { TFileStep::Close, EIO }, EIO },
        { "the rename refused", { TFileStep::Rename, EACCES }, EACCES },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString error = SaveOver(name, old, bytes, c.fault);
        if (c.error == 0) {
            EXPECT_EQ(error, QString());
            EXPECT_EQ(ReadWholeFile(name), bytes);
        } else {
            EXPECT_EQ(error, QStringLiteral("Cannot write file \"%1\". %2").arg(name, qt_error_string(c.error)));
            EXPECT_EQ(ReadWholeFile(name), old);
        }
        EXPECT_EQ(FolderEntries(dir.path()), QStringList { QStringLiteral("diary.dat") });
        // The fault went with the save it was set for.
        WriteFileAtomically(name, bytes);
        EXPECT_EQ(ReadWholeFile(name), bytes);
    }

    // The rename has happened when the folder fails to sync: the new bytes
    // are in place, but the save is not reported as done.
    const QString error = SaveOver(name, old, bytes, { TFileStep::SyncFolder, EIO });
    EXPECT_EQ(error, QStringLiteral("Cannot write file \"%1\". %2").arg(name, qt_error_string(EIO)));
    EXPECT_EQ(ReadWholeFile(name), bytes);
    EXPECT_EQ(FolderEntries(dir.path()), QStringList { QStringLiteral("diary.dat") });
}

TEST(WriteFileAtomically, KeepsModesAndWritesThroughLinks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const mode_t mask = ::umask(027);
    const QString fresh = dir.filePath(QStringLiteral("new.dat"));
    WriteFileAtomically(fresh, QByteArrayLiteral("x"));
    EXPECT_EQ(QFileInfo(fresh).permissions() & 0x0FFF, QFileDevice::Permissions(0x0640)); // 0666 less the umask

    const QString kept = dir.filePath(QStringLiteral("kept.dat"));
    WriteFileAtomically(kept, QByteArrayLiteral("x"));
    ASSERT_TRUE(QFile::setPermissions(kept,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup
            | QFileDevice::ReadOther | QFileDevice::WriteOther));
    WriteFileAtomically(kept, QByteArrayLiteral("y"));
    EXPECT_EQ(QFileInfo(kept).permissions() & 0x0FFF, QFileDevice::Permissions(0x0666));
    ::umask(mask);

    const QString link = dir.filePath(QStringLiteral("link.dat"));
    ASSERT_TRUE(QFile::link(kept, link));
    WriteFileAtomically(link, QByteArrayLiteral("through"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadWholeFile(kept), QByteArrayLiteral("through"));

    ExpectThrowNaming<EFCreateError>([&] { WriteFileAtomically(dir.path(), QByteArrayLiteral("x")); }, dir.path());
    EXPECT_EQ(FolderEntries(dir.path()),
        (QStringList { QStringLiteral("kept.dat"), QStringLiteral("link.dat"), QStringLiteral("new.dat") }));
}

TEST(WriteFileAtomically, AFullDiskKeepsTheOldFile)
{
    TFullDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Reason().toStdString();
    const QString name = disk.FilePath(QStringLiteral("diary.dat"));
    const QByteArray old(154, 'o');
    // Smaller than any buffer, and larger than the whole disk.
    for (const qsizetype size : { 154, 100 * 1024 }) {
        SCOPED_TRACE(size);
        WriteFileAtomically(name, old);
        ASSERT_TRUE(disk.Fill());
        try {
            WriteFileAtomically(name, QByteArray(size, 'n'));
            ADD_FAILURE() << "nothing raised";
        } catch (const EWriteError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Cannot write file \"%1\". %2").arg(name, qt_error_string(ENOSPC)));
        }
        EXPECT_EQ(ReadWholeFile(name), old);
        EXPECT_EQ(FolderEntries(disk.Path()), (QStringList { QStringLiteral("diary.dat"), QStringLiteral("filler") }));
        disk.Free();
    }
}
