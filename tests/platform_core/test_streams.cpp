#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

#include <QDir>
#include <QTemporaryDir>

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
