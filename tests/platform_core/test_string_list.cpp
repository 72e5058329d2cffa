#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "platform/core/sysutils.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QStringList Lines(std::initializer_list<const char*> lines)
{
    QStringList out;
    for (const char* line : lines)
        out.append(QString::fromUtf8(line));
    return out;
}

} // namespace

TEST(StringList, SortedIgnoresDuplicatesKeepingTheFirstObject)
{
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.AddObject(QStringLiteral("pear"), 1), 0);
    EXPECT_EQ(list.AddObject(QStringLiteral("apple"), 2), 0);
    EXPECT_EQ(list.AddObject(QStringLiteral("Pear"), 3), 1); // case-insensitive duplicate
    EXPECT_EQ(list.ToStringList(), Lines({ "apple", "pear" }));
    EXPECT_EQ(list.Objects(1), 1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("PEAR")), 1);
    EXPECT_EQ(list.IndexOfObject(2), 0);

    int index = -1;
    EXPECT_FALSE(list.Find(QStringLiteral("banana"), index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find(QStringLiteral("zebra"), index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find(QStringLiteral("aardvark"), index));
    EXPECT_EQ(index, 0);

    list.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(list.Add(QStringLiteral("APPLE")), EListError);
    list.SetDuplicates(TDuplicates::dupAccept);
    list.AddObject(QStringLiteral("APPLE"), 4);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOfObject(2) + list.IndexOfObject(4), 1); // both at the front
}

TEST(StringList, SortedStaysSortedWithObjectsAttached)
{
    TStringList list;
    list.SetSorted(true);
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const int key = int(random() % 500);
        list.AddObject(QStringLiteral("k%1").arg(key), key);
    }
    EXPECT_LE(list.Count(), 500);
    for (int i = 0; i < list.Count(); ++i) {
        if (i > 0) {
            ASSERT_LT(list.Strings(i - 1).compare(list.Strings(i), Qt::CaseInsensitive), 0);
        }
        ASSERT_EQ(list.Strings(i), QStringLiteral("k%1").arg(list.Objects(i)));
    }
}

TEST(StringList, CaseSensitivityDecidesMatchesAndOrder)
{
    TStringList list;
    list.SetText(QStringLiteral("b\nB\na\nA"));
    EXPECT_EQ(list.IndexOf(QStringLiteral("A")), 2); // case-insensitive by default
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(QStringLiteral("A")), 3);
    list.SetSorted(true);
    EXPECT_EQ(list.ToStringList(), Lines({ "A", "B", "a", "b" }));
    list.SetCaseSensitive(false); // re-sorts; equal keys keep their order
    EXPECT_EQ(list.ToStringList(), Lines({ "A", "a", "B", "b" }));
    int index = -1;
    EXPECT_TRUE(list.Find(QStringLiteral("b"), index));
    EXPECT_EQ(index, 2);
}

TEST(StringList, EditingRulesAndBounds)
{
    TStringList list;
    list.Add(QStringLiteral("one"));
    list.Insert(0, QStringLiteral("zero"), 7);
    list.Insert(2, QStringLiteral("two"));
    list.SetString(1, QStringLiteral("ONE"));
    list.SetObject(2, 9);
    EXPECT_EQ(list.ToStringList(), Lines({ "zero", "ONE", "two" }));
    EXPECT_EQ(list.Objects(0), 7);
    EXPECT_EQ(list.Objects(2), 9);
    list.Delete(0);
    EXPECT_EQ(list.Strings(0), QStringLiteral("ONE"));
    EXPECT_EQ(list.Objects(1), 9);

    EXPECT_THROW(list.Strings(2), EListError);
    EXPECT_THROW(list.Objects(-1), EListError);
    EXPECT_THROW(list.Delete(2), EListError);
    EXPECT_THROW(list.Insert(3, QString()), EListError);
    list.SetSorted(true);
    EXPECT_THROW(list.Insert(0, QStringLiteral("x")), EListError);
    EXPECT_THROW(list.SetString(0, QStringLiteral("x")), EListError);
}

TEST(StringList, TextSplitsEveryLineBreakAndJoinsWithCrLf)
{
    TStringList list;
    list.SetText(QStringLiteral("a\r\nb\nc\rd\r\n\r\ne"));
    EXPECT_EQ(list.ToStringList(), Lines({ "a", "b", "c", "d", "", "e" }));
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\ne\r\n"));
    list.SetText(QStringLiteral("x\n"));
    EXPECT_EQ(list.ToStringList(), Lines({ "x" }));
    list.SetText(QStringLiteral("\n"));
    EXPECT_EQ(list.ToStringList(), Lines({ "" }));
}

TEST(StringList, LoadFromFileReadsUtf8ElseWindows1252)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("words.txt"));
    TStringList list;

    WriteFileAtomically(name, QByteArrayLiteral("caf\xC3\xA9\r\n\xE2\x82\xAC"));
    list.LoadFromFile(name);
    EXPECT_EQ(list.ToStringList(), Lines({ "caf\xC3\xA9", "\xE2\x82\xAC" }));

    WriteFileAtomically(name, QByteArrayLiteral("caf\xE9\n\x80"));
    list.LoadFromFile(name);
    EXPECT_EQ(list.ToStringList(), Lines({ "caf\xC3\xA9", "\xE2\x82\xAC" }));

    list.SaveToFile(name);
    EXPECT_EQ(ReadWholeFile(name), QByteArrayLiteral("caf\xC3\xA9\r\n\xE2\x82\xAC\r\n"));
}

TEST(StringListFiles, AnAnsiFileEndingInANonAsciiByteKeepsIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ansi.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("caf\xE9");
    f.close();
    TStringList list;
    list.LoadFromFile(path);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Strings(0), QString::fromUtf8("caf\xC3\xA9"));
}

TEST(StringList, ByteOrderMarksSurviveASaveAndLoad)
{
    // Not from UTF-8 literals: decoding them would drop a leading mark too.
    const QString mark(QChar(0xFEFF));
    const struct {
        QByteArray file;
        QStringList lines;
        QByteArray saved;
    } cases[] = {
        // The file's own mark is no part of its first word.
        { QByteArrayLiteral("\xEF\xBB\xBFword\r\n"), Lines({ "word" }), QByteArrayLiteral("word\r\n") },
        // A second one is: the saved list puts a mark in front of it.
        { QByteArrayLiteral("\xEF\xBB\xBF\xEF\xBB\xBF"), QStringList { mark },
            QByteArrayLiteral("\xEF\xBB\xBF\xEF\xBB\xBF\r\n") },
        { QByteArrayLiteral("\xEF\xBB\xBF\xEF\xBB\xBFz\ny"), QStringList { mark + u'z', QStringLiteral("y") },
            QByteArrayLiteral("\xEF\xBB\xBF\xEF\xBB\xBFz\r\ny\r\n") },
        // Later ones are kept as they are.
        { QByteArrayLiteral("a\xEF\xBB\xBF\n\xEF\xBB\xBF"), QStringList { u'a' + mark, mark },
            QByteArrayLiteral("a\xEF\xBB\xBF\r\n\xEF\xBB\xBF\r\n") },
    };
    for (const auto& c : cases) {
        TStringList list;
        list.LoadFromBytes(c.file);
        EXPECT_EQ(list.ToStringList(), c.lines) << c.file.toHex().constData();
        EXPECT_EQ(list.SaveToBytes(), c.saved) << c.file.toHex().constData();
        TStringList again;
        again.LoadFromBytes(list.SaveToBytes());
        EXPECT_EQ(again.ToStringList(), c.lines) << c.file.toHex().constData();
    }
}
