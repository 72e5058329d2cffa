// Typed settings over the registry: defaults, write-back, bad stored data,
// lookups by name and the stored form.
#include "engine/component_stream.h"
#include "engine/reg_values.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

namespace {

const QString kDiaryKey = S("SOFTWARE\\Veltrane\\Diary");

class RegValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetRegistryFileForTesting(dir.filePath(S("registry.ini")));
    }
    void TearDown() override { SetRegistryFileForTesting(QString()); }

    static std::unique_ptr<TRegValues> MakeSet(const QString& key = kDiaryKey)
    {
        auto set = std::make_unique<TRegValues>();
        set->SetKey(key);
        return set;
    }
    // In the order the stored form sets them: the name last, which loads.
    static TRegValue* AddItem(
        TRegValues& set, const char* name, TRegValueType type, const char* def, const char* subKey = "")
    {
        TRegValue* item = set.Items()->Add();
        item->SetSubKey(S(subKey));
        item->SetValueType(type);
        item->SetDefValue(S(def));
        item->SetValueName(S(name));
        return item;
    }
    static TRegistry& Open(TRegistry& r, const QString& key = kDiaryKey)
    {
        EXPECT_TRUE(r.OpenKey(key, true));
        return r;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(RegValues, MissingValuesTakeTheirDefaultsAndAreWrittenBack)
{
    {
        auto set = MakeSet();
        AddItem(*set, "LastDiaryName", vtString, "default.dry");
        AddItem(*set, "LastTop", vtInteger, "-1");
        AddItem(*set, "CalUseEng", vtBoolean, "FALSE");
        TRegValue* size = set->Items()->Add();
        size->OnGetDefValueEvent = [](TRegValue*, QVariant& value) { value = 12; }; // replaces the default
        size->SetValueName(S("FontSize"));
        EXPECT_EQ(size->Value(), QVariant(12));
        EXPECT_EQ(set->Get(S("LastDiaryName")), QVariant(S("default.dry")));
        EXPECT_EQ(set->Get(S("LastTop")), QVariant(-1));
        EXPECT_EQ(set->Get(S("CalUseEng")), QVariant(false));
    }
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(kDiaryKey, false));
    EXPECT_EQ(r.ReadString(S("LastDiaryName")), S("default.dry"));
    EXPECT_EQ(r.ReadInteger(S("LastTop")), -1);
    EXPECT_EQ(r.GetDataType(S("CalUseEng")), TRegDataType::rdInteger);
    EXPECT_EQ(r.ReadString(S("FontSize")), S("12"));
}

TEST_F(RegValues, AValueOfTheWrongKindFallsBackToTheDefault)
{
    {
        TRegistry r;
        Open(r).WriteString(S("LastTop"), S("abc"));
        r.WriteInteger(S("LastDiaryName"), 3);
        r.WriteBinaryData(S("Ratio"), QByteArray("abcd"));
        r.WriteFloat(S("Scale"), std::nan(""));
        r.WriteDateTime(S("Seen"), 1e300);
    }
    {
        auto set = MakeSet();
        AddItem(*set, "LastTop", vtInteger, "-1");
        AddItem(*set, "LastDiaryName", vtString, "default.dry");
        AddItem(*set, "Ratio", vtFloat, "2.5");
        AddItem(*set, "Scale", vtFloat, "3.5");
        AddItem(*set, "Seen", vtDateTime, "2000-01-01");
        const std::vector<QVariant> expected = { -1, S("default.dry"), 2.5, 3.5, EncodeDate(2000, 1, 1) };
        for (int i = 0; i < set->Items()->Count(); ++i)
            EXPECT_EQ(set->Items()->Items(i)->Value(), expected[i]) << i;
    }
    // Written back in the right kind, so the next start reads them cleanly.
    TRegistry r;
    EXPECT_EQ(Open(r).ReadInteger(S("LastTop")), -1);
    EXPECT_EQ(r.ReadFloat(S("Ratio")), 2.5);
}

TEST_F(RegValues, FloatsAndDatesRoundTripExactly)
{
    const double sum = 0.1 + 0.2;
    const TDateTime when = EncodeDate(1850, 6, 1) - EncodeTime(7, 8, 9, 10); // before 1899: negative
    {
        auto set = MakeSet();
        AddItem(*set, "F", vtFloat, "")->SetAsFloat(sum);
        AddItem(*set, "D", vtDateTime, "")->SetAsDateTime(when);
        EXPECT_EQ(set->Items()->Items(1)->GetAsString(), S("1850-06-01 07:08:09.010"));
    }
    TRegistry r;
    EXPECT_EQ(Open(r).ReadBinaryData(S("F")).size(), 8);
    EXPECT_EQ(r.ReadBinaryData(S("D")).size(), 8);
    auto set = MakeSet();
    EXPECT_EQ(AddItem(*set, "F", vtFloat, "")->GetAsFloat(), sum);
    EXPECT_EQ(AddItem(*set, "D", vtDateTime, "")->GetAsDateTime(), when);
}

TEST_F(RegValues, LookupByNameIgnoresCaseAndRefusesUnknownNames)
{
    auto set = MakeSet();
    AddItem(*set, "LastDiaryName", vtString, "default.dry");
    EXPECT_EQ(set->Get(S("lastdiaryname")), QVariant(S("default.dry")));
    try {
        set->Get(S("Nope"));
        FAIL() << "no error";
    } catch (const ENameInvalid& e) {
        EXPECT_EQ(e.Message(), S("Invalid Value Name!Nope"));
    }
    EXPECT_THROW(set->SetV(S("Nope"), 1), ENameInvalid);
    EXPECT_EQ(set->Items()->FindByName(S("LASTDIARYNAME")), set->Items()->Items(0));
    EXPECT_EQ(set->Items()->FindByName(S("Nope")), nullptr);
}

TEST_F(RegValues, DefaultTextParsesTheSameInEveryLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TRegValue item;
    item.SetValueType(vtBoolean);
    for (const auto& [text, expected] : std::vector<std::pair<const char*, bool>> {
             { "TRUE", true }, { "true", true }, { "tRuE", true }, { "1", false }, { " TRUE", false } }) {
        item.SetDefValue(S(text));
        EXPECT_EQ(item.DefaultValue(), QVariant(expected)) << text;
        EXPECT_EQ(item.DefValue(), expected ? S("TRUE") : S("FALSE"));
    }
    item.SetValueType(vtFloat);
    item.SetDefValue(S("0.5"));
    EXPECT_EQ(item.DefaultValue(), QVariant(0.5));
    item.SetDefValue(S("0,5")); // unparsable text gives the type's zero
    EXPECT_EQ(item.DefaultValue(), QVariant(0.0));
    item.SetValueType(vtInteger);
    item.SetDefValue(S("ten"));
    EXPECT_EQ(item.DefaultValue(), QVariant(0));
    item.SetValueType(vtDateTime);
    item.SetDefValue(S("2024-02-29 13:45"));
    EXPECT_EQ(item.DefaultValue(), QVariant(EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 0, 0)));
    EXPECT_EQ(item.DefValue(), S("2024-02-29 13:45:00"));
    item.SetDefValue(S("2023-02-29"));
    EXPECT_EQ(item.DefaultValue(), QVariant(0.0));
    QLocale::setDefault(QLocale::c());
}

TEST_F(RegValues, SettersGoThroughTheItemsTypeAndNeverRaise)
{
    auto set = MakeSet();
    TRegValue* name = AddItem(*set, "Name", vtString, "");
    name->SetAsInteger(5);
    EXPECT_EQ(name->Value(), QVariant(S("5")));
    name->SetAsBoolean(true);
    EXPECT_EQ(name->Value(), QVariant(S("TRUE")));
    TRegValue* size = AddItem(*set, "FontSize", vtInteger, "10");
    size->SetAsFloat(2.5); // no integer text: the default stands in
    EXPECT_EQ(size->Value(), QVariant(10));

    // A value set by code that does not fit its type is saved as the default,
    // and does not keep the values after it from being saved.
    set->SetV(S("FontSize"), S("huge"));
    AddItem(*set, "Flag", vtBoolean, "FALSE")->SetAsBoolean(true);
    set->SaveValues();
    TRegistry r;
    EXPECT_EQ(Open(r).ReadInteger(S("FontSize")), 10);
    EXPECT_TRUE(r.ReadBool(S("Flag")));
}

TEST_F(RegValues, AutoStoreDecidesWhatIsWrittenAutoSaveDoesNot)
{
    {
        auto set = MakeSet();
        set->SetAutoSave(false);
        AddItem(*set, "Kept", vtInteger, "1");
        AddItem(*set, "Skipped", vtInteger, "2")->SetAutoStore(false);
        AddItem(*set, "Width", vtInteger, "640", "Window");
    }
    TRegistry r;
    EXPECT_TRUE(Open(r).ValueExists(S("Kept")));
    EXPECT_FALSE(r.ValueExists(S("Skipped")));
    EXPECT_FALSE(r.ValueExists(S("Width"))); // it lives below, in Key\SubKey
    EXPECT_EQ(Open(r, S("Window")).ReadInteger(S("Width")), 640);
}

TEST_F(RegValues, AKeyThatCannotBeOpenedIsReportedAndLeavesTheDefault)
{
    std::vector<TRegValue*> reported; // outlives the set: its destruction reports too
    auto set = MakeSet(S("SOFTWARE\\Nobody"));
    set->SetCanCreate(false);
    TRegValue* item = set->Items()->Add();
    item->OnErrorOpenKey = [&reported](TRegValue* sender) { reported.push_back(sender); };
    item->SetValueType(vtInteger);
    item->SetDefValue(S("-1"));
    item->SetValueName(S("LastTop"));
    EXPECT_EQ(reported, std::vector<TRegValue*> { item });
    EXPECT_EQ(item->Value(), QVariant(-1));
    set->SaveValues();
    EXPECT_EQ(reported.size(), 2u);
    EXPECT_FALSE(TRegistry().KeyExists(S("SOFTWARE\\Nobody")));
}

TEST_F(RegValues, ClearRemovesTheKeyAndSaysSo)
{
    auto set = MakeSet();
    AddItem(*set, "v", vtInteger, "1");
    std::vector<std::tuple<QString, QString, bool>> shown;
    set->ShowMessage = [&shown](const QString& text, const QString& caption, bool isError) {
        shown.emplace_back(text, caption, isError);
    };
    set->Clear();
    EXPECT_FALSE(TRegistry().KeyExists(kDiaryKey));
    set->Clear();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], std::make_tuple(S("All data removed from registry"), S("Result"), false));
    EXPECT_EQ(shown[1], std::make_tuple(S("Error removing data!"), S("Result"), true));
}

TEST_F(RegValues, StoredFormRoundTripLoadsEachValueWithItsSettings)
{
    TMemoryStream stream;
    {
        auto set = MakeSet();
        set->SetName(S("reger"));
        set->SetRootKey(rkHKEY_LOCAL_MACHINE);
        set->SetAutoSave(false);
        AddItem(*set, "LastTop", vtInteger, "-1");
        AddItem(*set, "Zoom", vtFloat, "0.25", "View");
        AddItem(*set, "Seen", vtDateTime, "2001-02-03 04:05:06")->SetAutoStore(false);
        WriteComponentRes(stream, set->ClassName(), *set);
        for (int i = 0; i < set->Items()->Count(); ++i)
            set->Items()->Items(i)->SetAutoStore(false); // leave the registry to the reading set
    }
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    Open(r, kDiaryKey + S("\\View")).WriteFloat(S("Zoom"), 2.0);

    TRegValues read;
    stream.SetPosition(0);
    ReadComponentRes(stream, read);
    EXPECT_EQ(read.Name(), S("reger"));
    EXPECT_EQ(read.GetRootKey(), rkHKEY_LOCAL_MACHINE);
    EXPECT_EQ(read.Key(), kDiaryKey);
    EXPECT_FALSE(read.AutoSave());
    ASSERT_EQ(read.Items()->Count(), 3);
    const TRegValue* top = read.Items()->Items(0);
    const TRegValue* zoom = read.Items()->Items(1);
    const TRegValue* seen = read.Items()->Items(2);
    EXPECT_EQ(top->ValueType(), vtInteger);
    EXPECT_EQ(top->Value(), QVariant(-1));
    EXPECT_TRUE(top->AutoStore());
    EXPECT_EQ(zoom->SubKey(), S("View"));
    EXPECT_EQ(zoom->DefValue(), S("0.25"));
    EXPECT_EQ(zoom->Value(), QVariant(2.0)); // loaded from HKLM\...\View
    EXPECT_EQ(seen->Value(), QVariant(EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0)));
    EXPECT_FALSE(seen->AutoStore());
}
