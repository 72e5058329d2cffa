// The settings store: value kinds, key paths, case rules and failures.
#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"
#include "platform/core/registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kDiaryKey = S("SOFTWARE\\Veltrane\\Diary");

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetRegistryFileForTesting(File());
    }
    void TearDown() override { SetRegistryFileForTesting(QString()); }
    QString File() const { return dir.filePath(S("registry.ini")); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(Registry, EveryKindReadsBackFromTheFile)
{
    const QString tricky = S("  a, b; \"q\" @x \\y\nz sz:w é日  ");
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.append(char(i));
    const TDateTime when = EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 999);
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(kDiaryKey, true));
        r.WriteInteger(S("Top"), -1);
        r.WriteString(S("Text"), tricky);
        r.WriteBool(S("Flag"), true);
        r.WriteBinaryData(S("Bytes"), allBytes);
        r.WriteFloat(S("Tenth"), 0.1);
        r.WriteDateTime(S("When"), when);
    }
    EXPECT_TRUE(QFile::exists(File()));
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(kDiaryKey, false));
    EXPECT_EQ(r.ReadInteger(S("Top")), -1);
    EXPECT_EQ(r.ReadString(S("Text")), tricky);
    EXPECT_TRUE(r.ReadBool(S("Flag")));
    EXPECT_EQ(r.ReadBinaryData(S("Bytes")), allBytes);
    EXPECT_EQ(r.ReadFloat(S("Tenth")), 0.1);
    EXPECT_EQ(r.ReadDateTime(S("When")), when);

    // Doubles are their 8 little-endian bytes; Booleans are DWORDs.
    EXPECT_EQ(r.ReadBinaryData(S("Tenth")), QByteArray::fromHex("9a9999999999b93f"));
    EXPECT_EQ(r.GetDataType(S("When")), TRegDataType::rdBinary);
    EXPECT_EQ(r.ReadInteger(S("Flag")), 1);
}

TEST_F(Registry, ReadingAnotherKindOrAMissingValueRaises)
{
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(kDiaryKey, true));
    r.WriteString(S("Name"), S("5"));
    r.WriteInteger(S("Count"), 5);
    r.WriteBinaryData(S("Short"), QByteArray("abcd"));

    EXPECT_THROW(r.ReadString(S("Count")), ERegistryException);
    EXPECT_THROW(r.ReadFloat(S("Count")), ERegistryException);
    EXPECT_THROW(r.ReadDateTime(S("Short")), ERegistryException);
    EXPECT_THROW(r.ReadBool(S("Missing")), ERegistryException);
    EXPECT_EQ(r.ReadString(S("Missing")), QString());
    try {
        r.ReadInteger(S("Name"));
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), S("Invalid data type for 'Name'"));
    }
    r.CloseKey(); // value calls need an open key
    EXPECT_FALSE(r.ValueExists(S("Count")));
    EXPECT_THROW(r.WriteInteger(S("Count"), 1), ERegistryException);
}

TEST_F(Registry, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(kDiaryKey, true));
        r.WriteString(S("LastDiaryName"), S("a.dry"));
    }
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(S("software\\VELTRANE\\diary"), false));
        EXPECT_EQ(r.CurrentPath(), kDiaryKey);
        EXPECT_EQ(r.ReadString(S("lastdiaryname")), S("a.dry"));
        r.WriteString(S("LASTDIARYNAME"), S("b.dry"));
    }
    QSettings ini(File(), QSettings::IniFormat);
    const QString stored = S("HKEY_CURRENT_USER/SOFTWARE/Veltrane/Diary/LastDiaryName");
    EXPECT_EQ(ini.allKeys().filter(S("astdiaryname"), Qt::CaseInsensitive), QStringList { stored });
    EXPECT_EQ(ini.value(stored), QVariant(S("sz:b.dry")));
}

TEST_F(Registry, KeysAreRelativeToTheOpenKeyUnlessTheyStartWithABackslash)
{
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(S("A"), true));
    ASSERT_TRUE(r.OpenKey(S("B"), true));
    EXPECT_EQ(r.CurrentPath(), S("A\\B"));
    ASSERT_TRUE(r.OpenKey(S("\\C"), true));
    EXPECT_EQ(r.CurrentPath(), S("C"));
    EXPECT_FALSE(r.KeyExists(S("B")));
    EXPECT_TRUE(r.KeyExists(S("\\A\\B")));
    ASSERT_TRUE(r.OpenKey(S("\\Software\\Veltrane\\BirthDay\\"), true)); // a trailing backslash changes nothing
    EXPECT_EQ(r.CurrentPath(), S("Software\\Veltrane\\BirthDay"));
    r.SetRootKey(HKEY_LOCAL_MACHINE); // each root has keys of its own
    EXPECT_EQ(r.CurrentPath(), QString());
    EXPECT_FALSE(r.KeyExists(S("A")));
}

TEST_F(Registry, KeysAreCreatedOnlyWhenAskedAndDeletedWithWhatTheyHold)
{
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(S("Keep"), true));
    EXPECT_FALSE(r.OpenKey(S("\\Missing"), false));
    EXPECT_EQ(r.CurrentPath(), S("Keep")); // a failed open leaves the key open
    ASSERT_TRUE(r.OpenKey(S("\\Top\\Mid\\Leaf"), true));
    r.WriteInteger(S("x"), 1);
    EXPECT_TRUE(TRegistry().KeyExists(S("Keep"))); // an empty key is kept too

    EXPECT_TRUE(r.DeleteKey(S("\\top\\mid")));
    EXPECT_EQ(r.CurrentPath(), QString()); // the open key went with it
    EXPECT_THROW(r.ReadInteger(S("x")), ERegistryException);
    EXPECT_FALSE(r.KeyExists(S("Top\\Mid\\Leaf")));
    EXPECT_TRUE(r.KeyExists(S("Top")));
    EXPECT_FALSE(r.DeleteKey(S("Top\\Mid")));
    EXPECT_FALSE(r.DeleteKey(QString())); // the root itself stays
}

TEST_F(Registry, OddNamesStayDistinct)
{
    const QStringList names
        = { S("a/b"), S("a%2Fb"), S(".key"), S(".default"), QString(), S("x\\y"), S("%2E"), S(".") };
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(S("Odd\\.key\\a/b"), true));
        for (int i = 0; i < names.size(); ++i)
            r.WriteInteger(names[i], i);
    }
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(S("odd\\.KEY\\A/B"), false));
    EXPECT_EQ(r.CurrentPath(), S("Odd\\.key\\a/b"));
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(r.ReadInteger(names[i]), i) << names[i].toStdString();
}

TEST_F(Registry, AFileThatCannotBeWrittenIsReportedNotIgnored)
{
    ASSERT_TRUE(QDir().mkpath(File())); // a folder where the file should be
    TRegistry r;
    EXPECT_FALSE(r.OpenKey(kDiaryKey, true));
    EXPECT_FALSE(r.KeyExists(kDiaryKey));
    ASSERT_TRUE(r.OpenKey(QString(), false)); // the root needs no writing
    EXPECT_THROW(r.WriteInteger(S("v"), 1), ERegistryException);
}

TEST_F(Registry, HandEditedValuesOfNoKnownKindAreRefused)
{
    QFile f(File());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[HKEY_CURRENT_USER]\nK\\.key=\nK\\Bad=dword:zz\nK\\List=a, b\nK\\Odd=hex:abc\nK\\Plain=7\n");
    f.close();
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(S("K"), false));
    for (const char* name : { "Bad", "List", "Odd", "Plain" }) {
        EXPECT_TRUE(r.ValueExists(S(name)));
        EXPECT_EQ(r.GetDataType(S(name)), TRegDataType::rdUnknown);
        EXPECT_THROW(r.ReadInteger(S(name)), ERegistryException);
        EXPECT_THROW(r.ReadString(S(name)), ERegistryException);
    }
}
