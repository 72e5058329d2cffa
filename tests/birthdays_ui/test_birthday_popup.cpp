// The main window's birthday menu: its items as built, and their state for
// days with none, some and too many entries.
#include "birthdays/ui/birthday_popup.h"

#include "birthdays/birthday.h"
#include "platform/gui/menus.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class BirthdayPopup : public ::testing::Test {
protected:
    void SetUp() override
    {
        menu = std::make_unique<TPopupMenu>(nullptr);
        BuildBirthdayPopup(menu.get(), [this](TObject* s) { clicked.append(s); });
    }
    void TearDown() override
    {
        menu.reset();
        FreeBirthdayComponent();
    }

    static void Add(const QString& name, int y, int m, int d)
    {
        TEntry* e = BirthdayComponent().Entries()->Add();
        e->SetFullName(name);
        e->SetBirthDate(EncodeDate(y, m, d));
    }
    TMenuItem* Top(int i) const { return menu->Items()->Items(i); }
    TMenuItem* Modify(int i) const { return Top(1)->Items(i); }
    TMenuItem* Delete(int i) const { return Top(2)->Items(i); }

    std::unique_ptr<TPopupMenu> menu;
    QList<TObject*> clicked;
};

TEST_F(BirthdayPopup, BuildsThreeItemsWithFourSubItemsEach)
{
    ASSERT_EQ(menu->Items()->Count(), 3);
    const QString captions[] = { u"Add entry"_s, u"View/Modify entry of"_s, u"Delete entry of"_s };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Top(i)->Caption(), captions[i]);
        EXPECT_EQ(Top(i)->Tag(), -1 - i);
        EXPECT_TRUE(Top(i)->Visible());
        EXPECT_EQ(Top(i)->Owner(), menu.get());
    }
    EXPECT_EQ(Top(0)->Count(), 0);
    for (int parent = 1; parent <= 2; ++parent) {
        ASSERT_EQ(Top(parent)->Count(), 4);
        for (int i = 0; i < 4; ++i) {
            TMenuItem* sub = Top(parent)->Items(i);
            EXPECT_EQ(sub->Caption(), QString::number(i));
            EXPECT_EQ(sub->Tag(), 0);
            EXPECT_TRUE(sub->Visible());
            EXPECT_EQ(sub->Owner(), menu.get());
        }
    }
    // Every item reports itself to the one handler.
    Top(0)->Click();
    Delete(3)->Click();
    EXPECT_EQ(clicked, (QList<TObject*> { Top(0), Delete(3) }));
}

TEST_F(BirthdayPopup, EmptyDayOffersOnlyAdding)
{
    Add(u"Other day"_s, 1990, 6, 2);
    UpdateBirthdayPopup(menu.get(), EncodeDate(2026, 6, 1));
    EXPECT_EQ(Top(0)->Caption(), u"Add entry"_s);
    EXPECT_TRUE(Top(0)->Enabled());
    EXPECT_FALSE(Top(1)->Enabled());
    EXPECT_FALSE(Top(2)->Enabled());
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(Modify(i)->Visible());
        EXPECT_FALSE(Delete(i)->Visible());
    }
}

TEST_F(BirthdayPopup, EntriesOfAnyYearAreNamedInCollectionOrder)
{
    Add(u"Anna"_s, 1980, 6, 1);
    Add(u"Elsewhere"_s, 1980, 7, 1);
    Add(u"Ben"_s, 2001, 6, 1);
    UpdateBirthdayPopup(menu.get(), EncodeDate(2026, 6, 1));
    EXPECT_EQ(Top(0)->Caption(), u"Add more entries"_s);
    EXPECT_TRUE(Top(0)->Enabled());
    EXPECT_TRUE(Top(1)->Enabled());
    EXPECT_TRUE(Top(2)->Enabled());
    const QString names[] = { u"Anna"_s, u"Ben"_s };
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(Modify(i)->Visible());
        EXPECT_EQ(Modify(i)->Caption(), names[i]);
        EXPECT_EQ(Modify(i)->Tag(), i);
        EXPECT_TRUE(Delete(i)->Visible());
        EXPECT_EQ(Delete(i)->Caption(), names[i]);
        EXPECT_EQ(Delete(i)->Tag(), 0x8000 + i);
    }
    EXPECT_FALSE(Modify(2)->Visible());
    EXPECT_FALSE(Delete(3)->Visible());

    // Opening it again for an empty day hides what the last day showed.
    UpdateBirthdayPopup(menu.get(), EncodeDate(2026, 6, 2));
    EXPECT_EQ(Top(0)->Caption(), u"Add entry"_s);
    EXPECT_FALSE(Modify(0)->Visible());
    EXPECT_FALSE(Delete(1)->Visible());
}

TEST_F(BirthdayPopup, AtMostFourEntriesAreOffered)
{
    for (int i = 0; i < 4; ++i)
        Add(u"P%1"_s.arg(i), 1972 + 4 * i, 2, 29);
    UpdateBirthdayPopup(menu.get(), EncodeDate(2024, 2, 29));
    EXPECT_FALSE(Top(0)->Enabled());
    EXPECT_EQ(Top(0)->Caption(), u"Add more entries"_s);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(Modify(i)->Visible());
        EXPECT_TRUE(Delete(i)->Visible());
    }

    // A fifth (only a birthday file can hold one) is not offered.
    Add(u"P4"_s, 2000, 2, 29);
    UpdateBirthdayPopup(menu.get(), EncodeDate(2024, 2, 29));
    EXPECT_FALSE(Top(0)->Enabled());
    EXPECT_EQ(Modify(3)->Caption(), u"P3"_s);
    EXPECT_EQ(Delete(3)->Tag(), 0x8003);
    EXPECT_EQ(Top(1)->Count(), 4);
}

TEST_F(BirthdayPopup, MenuWithoutOneOfTheTagsIsLeftAsItIs)
{
    Add(u"Anna"_s, 1980, 6, 1);
    Top(2)->SetTag(7);
    UpdateBirthdayPopup(menu.get(), EncodeDate(2026, 6, 1));
    EXPECT_EQ(Top(0)->Caption(), u"Add entry"_s);
    EXPECT_EQ(Modify(0)->Caption(), u"0"_s);
    EXPECT_EQ(Modify(0)->Tag(), 0);
    EXPECT_TRUE(Modify(3)->Visible());

    TPopupMenu empty(nullptr);
    UpdateBirthdayPopup(&empty, EncodeDate(2026, 6, 1));
    EXPECT_EQ(empty.Items()->Count(), 0);
}

TEST_F(BirthdayPopup, MenuWithFewerSubItemsUsesThoseItHas)
{
    Add(u"Anna"_s, 1980, 6, 1);
    Add(u"Ben"_s, 1981, 6, 1);
    Top(1)->Delete(3);
    Top(1)->Delete(2);
    Top(1)->Delete(1);
    Top(2)->Clear();
    UpdateBirthdayPopup(menu.get(), EncodeDate(2026, 6, 1));
    ASSERT_EQ(Top(1)->Count(), 1);
    EXPECT_EQ(Modify(0)->Caption(), u"Anna"_s);
    EXPECT_TRUE(Top(2)->Enabled());
}

} // namespace
