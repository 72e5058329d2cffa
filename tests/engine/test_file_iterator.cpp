// The diary file scanner: masks, scan order, limits, abort and the settings
// that trigger a scan.
#include "engine/file_iterator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList L(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* s : items)
        out.append(QString::fromLatin1(s));
    return out;
}

// A tree: A.DRY b.dry c.txt noext sub/x.dry sub/deeper/y.dry Sub2/z.dry
class FileIteratorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : { "b.dry", "A.DRY", "c.txt", "noext", "sub/x.dry", "sub/deeper/y.dry", "Sub2/z.dry" }) {
            const QString path = root + QString::fromLatin1(name);
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
        it.SetDirectory(dir.path());
    }

    // The found files relative to the tree.
    QStringList Found() const
    {
        QStringList out;
        for (const QString& path : it.FileList().ToStringList())
            out.append(path.startsWith(root) ? path.mid(root.size()) : path);
        return out;
    }

    QTemporaryDir dir;
    QString root = dir.path() + u'/';
    TCPFileIterator it;
};

} // namespace

TEST(FileIterator, DirectoryAndMaskSettings)
{
    TCPFileIterator it;
    it.SetDirectory(QStringLiteral("/tmp/diaries"));
    EXPECT_EQ(it.Directory(), QStringLiteral("/tmp/diaries/"));
    it.SetDirectory(QStringLiteral("/tmp/diaries\\"));
    EXPECT_EQ(it.Directory(), QStringLiteral("/tmp/diaries/"));
    it.SetDirectory(QString());
    EXPECT_EQ(it.Directory(), QString());

    EXPECT_EQ(it.MaskList().ToStringList(), L({ "*.*" }));
    it.SetFileMask(QStringLiteral("*.dry; *.bak"));
    EXPECT_EQ(it.MaskList().ToStringList(), L({ "*.dry", "*.bak" }));
    it.SetFileMask(QStringLiteral(" ; *.a ;;  *.b ; "));
    EXPECT_EQ(it.MaskList().ToStringList(), L({ "*.a", "*.b" }));
    it.SetFileMask(QStringLiteral("   "));
    EXPECT_EQ(it.FileMask(), QStringLiteral("*.*"));
    EXPECT_EQ(it.MaskList().ToStringList(), L({ "*.*" }));
}

TEST(FileIterator, MasksMatchLikeWindows)
{
    const struct {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        { "A.DRY", "*.dry", true },
        { "noext", "*.*", true },
        { "a.b.c", "*.c", true },
        { "x.dry.bak", "*.dry", false },
        { "abc", "a?c", true },
        { "ac", "a?c", false },
        { "readme", "readme.*", true },
        { "readmes", "readme.*", false },
        { "abcabd", "*abd", true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(TCPFileIterator::MatchesMask(QString::fromLatin1(c.name), QString::fromLatin1(c.mask)), c.match)
            << c.name << " / " << c.mask;
}

TEST_F(FileIteratorTest, RecursionIsDepthFirstInSortedOrder)
{
    QStringList dirs, names;
    it.OnEachDir = [&](TCPFileIterator*, const QString& path) { dirs.append(path.mid(root.size())); };
    it.OnEachFile = [&](TCPFileIterator*, const TSearchRec& rec) { names.append(rec.Name); };
    it.SetFileMask(QStringLiteral("*.dry"));
    it.SetEnabled(true);
    EXPECT_EQ(Found(), L({ "A.DRY", "b.dry", "sub/x.dry", "sub/deeper/y.dry", "Sub2/z.dry" }));
    EXPECT_EQ(names, L({ "A.DRY", "b.dry", "x.dry", "y.dry", "z.dry" }));
    EXPECT_EQ(dirs, L({ "", "sub/", "sub/deeper/", "Sub2/" }));

    // Mask by mask; a name matching two masks is listed twice.
    it.SetRecurse(false);
    it.SetFileMask(QStringLiteral("*.txt;*.dry; b*"));
    EXPECT_EQ(Found(), L({ "c.txt", "A.DRY", "b.dry", "b.dry" }));
}

TEST_F(FileIteratorTest, SymbolicLinkLoopEnds)
{
    ASSERT_TRUE(QFile::link(dir.path(), root + QStringLiteral("sub/deeper/back")));
    it.SetFileMask(QStringLiteral("*.dry"));
    it.SetEnabled(true);
    EXPECT_EQ(Found(), L({ "A.DRY", "b.dry", "sub/x.dry", "sub/deeper/y.dry", "Sub2/z.dry" }));
}

TEST_F(FileIteratorTest, MaxFilesAndAbortStopTheScan)
{
    QStringList dirs;
    it.OnEachDir = [&](TCPFileIterator*, const QString& path) { dirs.append(path.mid(root.size())); };
    it.SetMaxFiles(1);
    it.SetFileMask(QStringLiteral("x.dry;y.dry"));
    it.SetEnabled(true);
    EXPECT_EQ(Found(), L({ "sub/x.dry" }));
    EXPECT_EQ(dirs, L({ "", "sub/" }));

    it.SetMaxFiles(0);
    it.OnEachFile = [](TCPFileIterator* sender, const TSearchRec&) { sender->Abort(); };
    it.SetFileMask(QStringLiteral("*.dry;*.txt"));
    EXPECT_EQ(Found(), L({ "A.DRY" }));
    EXPECT_TRUE(it.Aborted());
    it.OnEachFile = nullptr;
    it.Refresh();
    EXPECT_FALSE(it.Aborted());
    EXPECT_EQ(it.FileList().Count(), 6);
}

TEST_F(FileIteratorTest, ScansOnlyWhenEnabled)
{
    it.SetFileMask(QStringLiteral("*.dry"));
    EXPECT_EQ(it.FileList().Count(), 0);
    it.Execute();
    EXPECT_FALSE(it.Enabled());
    EXPECT_EQ(it.FileList().Count(), 5);

    it.SetRecurse(false);
    it.SetFileMask(QStringLiteral("*.txt"));
    EXPECT_EQ(it.FileList().Count(), 5);

    it.SetEnabled(true);
    EXPECT_EQ(Found(), L({ "c.txt" }));
    it.SetRecurse(true);
    it.SetFileMask(QStringLiteral("*.dry"));
    EXPECT_EQ(it.FileList().Count(), 5);
}

TEST_F(FileIteratorTest, EmptyDirectoryScansTheCurrentOne)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root + QStringLiteral("sub")));
    it.SetDirectory(QString());
    it.Execute();
    QDir::setCurrent(previous);
    EXPECT_EQ(Found(), L({ "x.dry", "deeper/y.dry" }));
}

TEST_F(FileIteratorTest, ProcessMessagesLetsAQueuedAbortRun)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = { name, nullptr };
    QCoreApplication app(argc, argv);
    QMetaObject::invokeMethod(
        &app, [this] { it.Abort(); }, Qt::QueuedConnection);
    it.Execute();
    EXPECT_EQ(it.FileList().Count(), 7);

    it.SetProcessMessages(true);
    it.Execute();
    EXPECT_TRUE(it.Aborted());
    EXPECT_EQ(it.FileList().Count(), 0);
}
