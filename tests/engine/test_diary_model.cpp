// The diary's entries, their date index and the chain of modified flags.
#include "engine/diary.h"
#include "platform/core/sysutils.h"

#include <functional>
#include <iterator>
#include <limits>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace {

QStringList Keys(const TDiary& diary)
{
    return diary.Indexer().ToStringList();
}

} // namespace

TEST(DiaryModel, AddEntryStoresOneEntryPerDayAndIndexesIt)
{
    TDiaryDB db;
    const TDateTime day = EncodeDate(2024, 2, 29);
    db.AddEntry(day, QStringLiteral("One"), QStringLiteral("b1"), QStringLiteral("n1"), QStringLiteral("todo"), 4);
    db.AddEntry(day, QStringLiteral("Two"), QStringLiteral("b2"), QStringLiteral("n2"), QString(), 5);
    ASSERT_EQ(db.Diary()->Count(), 1);
    EXPECT_EQ(Keys(*db.Diary()), QStringList{QStringLiteral("20240229")});
    EXPECT_EQ(db.Diary()->Indexer().Objects(0), db.Diary()->Items(0)->ID());

    QString title, body, notes, todo = QStringLiteral("untouched");
    int image = -1;
    ASSERT_TRUE(db.GetEntry(day, title, body, notes, todo, image));
    EXPECT_EQ(title, QStringLiteral("Two"));
    EXPECT_EQ(body, QStringLiteral("b2"));
    EXPECT_EQ(notes, QStringLiteral("n2"));
    EXPECT_EQ(image, 5);
    EXPECT_EQ(todo, QStringLiteral("untouched"));

    EXPECT_FALSE(db.GetEntry(day + 1, title, body, notes, todo, image));
    EXPECT_TRUE(title.isEmpty() && body.isEmpty() && notes.isEmpty() && todo.isEmpty());
    EXPECT_EQ(image, 0);
}

TEST(DiaryModel, KeysArePaddedAndSortInDateOrder)
{
    TDiaryDB db;
    db.AddEntry(EncodeDate(2023, 12, 31), QStringLiteral("a"), {}, {}, {}, 0);
    db.AddEntry(EncodeDate(999, 1, 5), QStringLiteral("b"), {}, {}, {}, 0);
    db.AddEntry(EncodeDate(2023, 1, 9), QStringLiteral("c"), {}, {}, {}, 0);
    db.AddEntry(EncodeDate(1, 1, 1), QStringLiteral("d"), {}, {}, {}, 0);
    EXPECT_EQ(Keys(*db.Diary()), (QStringList{QStringLiteral("00010101"), QStringLiteral("09990105"),
                                              QStringLiteral("20230109"), QStringLiteral("20231231")}));
}

TEST(DiaryModel, FractionalDatesRoundHalfToEvenAndNeverMatch)
{
    TDiaryDB db;
    db.AddEntry(40000, QStringLiteral("whole"), {}, {}, {}, 0);
    db.AddEntry(40000.25, QStringLiteral("fraction"), {}, {}, {}, 0);
    ASSERT_EQ(db.Diary()->Count(), 2); // the fraction matched nothing
    EXPECT_EQ(db.Diary()->Items(1)->Date(), 40000);
    EXPECT_EQ(db.Diary()->Indexer().Count(), 1);

    TDiaryEntry* e = db.Diary()->Add();
    e->SetDate(40000.5);
    EXPECT_EQ(e->Date(), 40000);
    e->SetDate(40001.5);
    EXPECT_EQ(e->Date(), 40002);
    EXPECT_THROW(e->SetDate(std::numeric_limits<double>::quiet_NaN()), Exception);
    EXPECT_THROW(e->SetDate(1e12), Exception);
    EXPECT_EQ(e->Date(), 40002);
}

TEST(DiaryModel, ZeroDatesAreNeverIndexed)
{
    TDiaryDB db;
    db.Diary()->Add()->SetTitle(QStringLiteral("no date"));
    db.Diary()->RebuildIndexer();
    EXPECT_EQ(db.Diary()->Indexer().Count(), 0);
    db.AddEntry(0, QStringLiteral("zero"), {}, {}, {}, 0);
    EXPECT_EQ(db.Diary()->Indexer().Count(), 0);
}

TEST(DiaryModel, DeletedEntriesAreLeftOutOfARebuiltIndex)
{
    TDiaryDB db;
    db.AddEntry(40000, QStringLiteral("a"), {}, {}, {}, 0);
    db.AddEntry(40001, QStringLiteral("b"), {}, {}, {}, 0);
    db.Diary()->Items(0)->SetDeleted(true);
    db.Diary()->RebuildIndexer();
    EXPECT_EQ(Keys(*db.Diary()), QStringList{TDiary::MakeKey(40001)});
}

TEST(DiaryModel, DeleteEntryRemovesTheDayAndRaisesTheFlags)
{
    TDiaryDB db;
    db.AddEntry(40000, QStringLiteral("a"), {}, {}, {}, 0);
    db.AddEntry(40001, QStringLiteral("b"), {}, {}, {}, 0);
    db.Diary()->SetModified(false);
    db.Modified = false;

    db.DeleteEntry(40002); // no entry: nothing changes
    EXPECT_EQ(db.Diary()->Count(), 2);
    EXPECT_FALSE(db.Diary()->Modified());
    EXPECT_FALSE(db.Modified);

    db.DeleteEntry(40000);
    EXPECT_EQ(db.Diary()->Count(), 1);
    EXPECT_EQ(Keys(*db.Diary()), QStringList{TDiary::MakeKey(40001)});
    EXPECT_TRUE(db.Diary()->Modified());
    EXPECT_TRUE(db.Modified);
}

TEST(DiaryModel, TwoEntriesOfOneDayActOnTheLaterButIndexTheEarlier)
{
    TDiaryDB db;
    TDiaryEntry* first = db.Diary()->Add();
    first->SetDate(40000);
    first->SetTitle(QStringLiteral("first"));
    TDiaryEntry* second = db.Diary()->Add();
    second->SetDate(40000);
    second->SetTitle(QStringLiteral("second"));
    db.Diary()->RebuildIndexer();
    EXPECT_EQ(db.Diary()->Indexer().Objects(0), first->ID());

    QString t, b, n, todo;
    int img;
    db.GetEntry(40000, t, b, n, todo, img);
    EXPECT_EQ(t, QStringLiteral("second"));
    db.DeleteEntry(40000);
    ASSERT_EQ(db.Diary()->Count(), 1);
    EXPECT_EQ(db.Diary()->Items(0)->Title(), QStringLiteral("first"));
    EXPECT_EQ(db.Diary()->Indexer().Count(), 0); // the day's key went with the later entry
}

TEST(DiaryModel, ModifiedFlagsFormAChain)
{
    TDiaryDB db;
    EXPECT_FALSE(db.Modified);
    TDiaryEntry* e = db.Diary()->Add();
    EXPECT_TRUE(e->Modified());
    EXPECT_TRUE(db.Diary()->Modified());
    EXPECT_TRUE(db.Modified);

    // Entries stay modified, so their setters never raise the chain again.
    db.Diary()->SetModified(false);
    db.Modified = false;
    e->SetTitle(QStringLiteral("changed"));
    e->SetBody(QStringLiteral("changed"));
    EXPECT_FALSE(db.Diary()->Modified());
    EXPECT_FALSE(db.Modified);

    db.AddEntry(40000, QStringLiteral("x"), {}, {}, {}, 0); // adds an item and sets the database flag
    EXPECT_TRUE(db.Diary()->Modified());
    EXPECT_TRUE(db.Modified);
}

TEST(DiaryModel, ItemIdsAreNeverReused)
{
    TDiaryDB db;
    db.AddEntry(40000, QStringLiteral("a"), {}, {}, {}, 0);
    db.AddEntry(40001, QStringLiteral("b"), {}, {}, {}, 0);
    const int lastId = db.Diary()->Items(1)->ID();
    db.DeleteEntry(40001);
    db.AddEntry(40002, QStringLiteral("c"), {}, {}, {}, 0);
    EXPECT_GT(db.Diary()->Items(1)->ID(), lastId);
    EXPECT_EQ(db.Diary()->FindItemID(lastId), nullptr);
    EXPECT_EQ(db.Diary()->FindItemID(db.Diary()->Items(1)->ID()), db.Diary()->Items(1));
}

TEST(PersonalInfo, RecordsAreKeyedByLowerCaseControlNames)
{
    TPersonalInfo info;
    info.UpdateItemByName(QStringLiteral("edtFullName"), QStringLiteral("Ann"));
    info.UpdateItemByName(QStringLiteral("EDTFULLNAME"), QStringLiteral("Anne"));
    ASSERT_EQ(info.Count(), 1);
    EXPECT_EQ(info.Items(0)->ControlName(), QStringLiteral("edtfullname"));
    EXPECT_EQ(info.GetItemByName(QStringLiteral("edtFullName")), QStringLiteral("Anne"));

    // A record stored in mixed case by some other writer is found by no name.
    TPersonalInfoRec* odd = info.Add();
    odd->SetControlName(QStringLiteral("edtPhone"));
    odd->SetValue(QStringLiteral("1"));
    EXPECT_TRUE(info.GetItemByName(QStringLiteral("edtPhone")).isEmpty());
    EXPECT_TRUE(info.GetItemByName(QStringLiteral("missing")).isEmpty());

    info.UpdateItemByName(QStringLiteral("edtFullName"), QString());
    EXPECT_EQ(info.Count(), 2); // a cleared edit keeps its record
}

TEST(PersonalInfo, GarbageValuesOfVanishedControlsAreRemoved)
{
    TComponent window;
    auto* keep = new TComponent(&window);
    keep->SetName(QStringLiteral("edtStreet"));
    auto* label = new TComponent(&window);
    label->SetName(QStringLiteral("lblCaption"));

    TPersonalInfo info;
    info.UpdateItemByName(QStringLiteral("edtGone1"), QStringLiteral("x"));
    info.UpdateItemByName(QStringLiteral("edtGone2"), QStringLiteral("y")); // successive deletions
    info.UpdateItemByName(QStringLiteral("edtStreet"), QStringLiteral("Main St"));
    info.UpdateItemByName(QStringLiteral("lblCaption"), QStringLiteral("any component counts"));
    info.UpdateItemByName(QStringLiteral("edtGone3"), QStringLiteral("z"));
    info.RemoveGarbageValues(window);
    ASSERT_EQ(info.Count(), 2);
    EXPECT_EQ(info.Items(0)->ControlName(), QStringLiteral("edtstreet"));
    EXPECT_EQ(info.Items(1)->ControlName(), QStringLiteral("lblcaption"));

    TPersonalInfo empty;
    empty.RemoveGarbageValues(window);
    EXPECT_EQ(empty.Count(), 0);
}

TEST(PersonalInfo, ControlsMoveTheirTextInAndOut)
{
    struct Edit : IInfoTextControl {
        QString text;
        QString Text() const override { return text; }
        void SetText(const QString& v) override { text = v; }
    } edit;
    TPersonalInfo::SetValueToControl(&edit, QStringLiteral("v"));
    EXPECT_EQ(TPersonalInfo::GetValueFromControl(&edit), QStringLiteral("v"));
    EXPECT_TRUE(TPersonalInfo::GetValueFromControl(nullptr).isEmpty());
    TPersonalInfo::SetValueToControl(nullptr, QStringLiteral("ignored"));
}

TEST(DiaryModel, TheProcessWideDiaryIsCreatedOnceAndFreed)
{
    TDiaryDB* first = &DiaryDB();
    EXPECT_EQ(first, &DiaryDB());
    EXPECT_EQ(DiaryDB().Version(), QStringLiteral("1.00"));
    EXPECT_TRUE(DiaryDB().Name().isEmpty());
    FreeDiaryDB();
    EXPECT_EQ(DiaryDB().Diary()->Count(), 0);
    FreeDiaryDB();
}

TEST(DiaryModel, WrittenDayQueriesReadTheIndexInDateOrder)
{
    TDiaryDB db;
    const TDateTime old = EncodeDate(999, 1, 5), eve = EncodeDate(2023, 12, 31), leap = EncodeDate(2024, 2, 29),
                    march = EncodeDate(2024, 3, 1), stale = EncodeDate(2030, 1, 1);
    db.AddEntry(march, QStringLiteral("march"), {}, {}, {}, 0);
    db.AddEntry(old, QStringLiteral("old"), {}, {}, {}, 0);
    db.AddEntry(leap, QStringLiteral("leap"), {}, {}, {}, 0);
    db.AddEntry(eve, QStringLiteral("eve"), {}, {}, {}, 0);
    TDiaryEntry* again = db.Diary()->Add(); // a second entry of one day: the day shows it
    again->SetDate(leap);
    again->SetTitle(QStringLiteral("leap again"));
    db.Diary()->Indexer().AddObject(QStringLiteral("20300101"), 12345); // a key without its entry
    db.Diary()->Indexer().AddObject(QStringLiteral("2024x301"), 1); // a key that names no date

    const struct {
        const char* key;
        TDateTime date;
        const char* title; // nullptr: no entry
    } days[] = {
        { "09990105", old, "old" },
        { "20231231", eve, "eve" },
        { "20240229", leap, "leap again" },
        { "20240301", march, "march" },
        { "2024x301", 0, nullptr },
        { "20300101", stale, nullptr },
    };
    const std::vector<TWrittenDay> written = db.Diary()->WrittenDays();
    ASSERT_EQ(written.size(), std::size(days));
    for (size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(days[i].key);
        EXPECT_EQ(written[i].Key, QLatin1String(days[i].key));
        EXPECT_EQ(written[i].Date, days[i].date);
        EXPECT_EQ(written[i].Entry ? written[i].Entry->Title() : QString(),
                  days[i].title ? QLatin1String(days[i].title) : QString());
    }

    const struct {
        TDateTime from, to;
        std::vector<TDateTime> dates;
    } ranges[] = {
        { EncodeDate(2024, 2, 1), EncodeDate(2024, 2, 29), { leap } }, // a whole month, both ends included
        { EncodeDate(2024, 3, 1), EncodeDate(2024, 3, 31), { march } },
        { eve + 0.75, march + 0.25, { eve, leap, march } }, // the days of fractional bounds
        { EncodeDate(2024, 4, 1), EncodeDate(2029, 12, 31), {} }, // the undecodable key is no day
        { EncodeDate(1, 1, 1), EncodeDate(9999, 12, 31), { old, eve, leap, march, stale } },
        { march, leap, {} }, // a reversed range
    };
    for (const auto& r : ranges)
        EXPECT_EQ(db.Diary()->WrittenDates(r.from, r.to), r.dates) << r.from << " to " << r.to;

    const struct {
        TDateTime at;
        std::optional<TDateTime> after, before;
    } steps[] = {
        { old - 1, old, std::nullopt },
        { old, eve, std::nullopt }, // a written day itself is neither
        { leap + 0.5, march, eve },
        { march, stale, leap }, // past the undecodable key
        { stale + 400, std::nullopt, stale },
    };
    for (const auto& s : steps) {
        EXPECT_EQ(db.Diary()->WrittenDayAfter(s.at), s.after) << s.at;
        EXPECT_EQ(db.Diary()->WrittenDayBefore(s.at), s.before) << s.at;
    }

    db.Info()->UpdateItemByName(QStringLiteral("edtName"), QStringLiteral("Ann"));
    db.Modified = true;
    db.Clear();
    EXPECT_EQ(db.Diary()->Count(), 0);
    EXPECT_TRUE(db.Diary()->WrittenDays().empty());
    EXPECT_TRUE(db.Info()->GetItemByName(QStringLiteral("edtName")).isEmpty());
    EXPECT_FALSE(db.Modified);
    db.AddEntry(leap, QStringLiteral("new"), {}, {}, {}, 0); // the cleared index takes days again
    EXPECT_EQ(db.Diary()->WrittenDates(leap, leap), std::vector<TDateTime> { leap });
}

// The positions of the written days' entries, found in one pass, are the
// entries' own positions, whatever the shape: days out of order, two entries
// of a day, a deleted entry, a key that names no entry.
TEST(DiaryModel, WrittenDaysKnowTheirEntriesPositions)
{
    const std::function<void(TDiaryDB&)> shapes[] = {
        [](TDiaryDB&) {},
        [](TDiaryDB& db) {
            for (const int day : { 40005, 40001, 40003, 40002 })
                db.AddEntry(day, QString::number(day), {}, {}, {}, 0);
        },
        [](TDiaryDB& db) {
            for (const int day : { 40002, 40000, 40002, 40001 }) {
                TDiaryEntry* entry = db.Diary()->Add();
                entry->SetDate(day);
            }
            db.DeleteEntry(40000);
            db.AddEntry(39000, QStringLiteral("new"), {}, {}, {}, 0);
        },
        [](TDiaryDB& db) {
            db.AddEntry(40000, QStringLiteral("a"), {}, {}, {}, 0);
            db.Diary()->Indexer().AddObject(QStringLiteral("20991231"), 12345);
        },
    };
    for (size_t shape = 0; shape < std::size(shapes); ++shape) {
        TDiaryDB db;
        shapes[shape](db);
        const TDiary& diary = *db.Diary();
        std::vector<int> expected, positions;
        for (const TWrittenDay& day : diary.WrittenDays()) {
            expected.push_back(day.Entry ? day.Entry->Index() : -1);
            positions.push_back(day.Position);
        }
        EXPECT_EQ(positions, expected) << "shape " << shape;
    }
}
