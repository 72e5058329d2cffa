#include "platform/core/classes.h"
#include "platform/core/sysutils.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using enum TCollectionNotification;
using Notices = std::vector<std::pair<int, TCollectionNotification>>; // item ID, action

class TTestItem : public TCollectionItem {
public:
    QString ClassName() const override { return QStringLiteral("TTestItem"); }
};

using Places = std::vector<std::pair<int, int>>; // index, count

// Records what the collection tells its subclass.
class TTestCollection : public TCollection {
public:
    Notices Log;
    Places Where; // where each noticed item stood, among how many
    int Updates = 0;
    Notices Take() { return std::exchange(Log, {}); }

protected:
    TCollectionItem* CreateItem() override { return new TTestItem; }
    void Notify(TCollectionItem* item, TCollectionNotification action) override
    {
        Log.emplace_back(item->ID(), action);
        Where.emplace_back(item->Index(), Count());
    }
    void Update(TCollectionItem*) override { ++Updates; }
};

using FreedLog = std::vector<std::pair<int, std::pair<int, int>>>; // item ID, index, count

// Notes where it stood when it is freed.
class TFreedItem : public TCollectionItem {
public:
    explicit TFreedItem(FreedLog& log)
        : fLog(log)
    {
    }
    ~TFreedItem() override { fLog.push_back({ ID(), { Index(), Collection()->Count() } }); }
    QString ClassName() const override { return QStringLiteral("TFreedItem"); }

private:
    FreedLog& fLog;
};

class TFreedCollection : public TCollection {
public:
    explicit TFreedCollection(FreedLog& log)
        : fLog(log)
    {
    }

protected:
    TCollectionItem* CreateItem() override { return new TFreedItem(fLog); }

private:
    FreedLog& fLog;
};

class TCounted : public TComponent {
public:
    using TComponent::TComponent;
    ~TCounted() override { ++Destroyed; }
    static inline int Destroyed = 0;
};

enum class TAlign { alNone, alTop, alClient };

// One property of each builder kind.
class TWidget : public TComponent {
public:
    const TPropList& Properties() const override
    {
        static const TPropList list = props::Inherit(TComponent::Properties(),
            { props::Integer<TWidget>(QStringLiteral("Width"), &TWidget::Width, &TWidget::SetWidth, 100),
                props::Boolean<TWidget>(QStringLiteral("Visible"), &TWidget::Visible, &TWidget::SetVisible, true),
                props::Enumeration<TWidget>(QStringLiteral("Align"),
                    { QStringLiteral("alNone"), QStringLiteral("alTop"), QStringLiteral("alClient") }, &TWidget::Align,
                    &TWidget::SetAlign, 0),
                props::Float<TWidget>(QStringLiteral("Ratio"), &TWidget::Ratio, &TWidget::SetRatio),
                props::String<TWidget>(QStringLiteral("Caption"), &TWidget::Caption, &TWidget::SetCaption) });
        return list;
    }
    int Width() const { return fWidth; }
    void SetWidth(int value) { fWidth = value; }
    bool Visible() const { return fVisible; }
    void SetVisible(bool value) { fVisible = value; }
    TAlign Align() const { return fAlign; }
    void SetAlign(TAlign value) { fAlign = value; }
    double Ratio() const { return fRatio; }
    void SetRatio(double value) { fRatio = value; }
    QString Caption() const { return fCaption; }
    void SetCaption(const QString& value) { fCaption = value; }

    int fWidth = 100;
    bool fVisible = true;
    TAlign fAlign = TAlign::alNone;
    double fRatio = 0;
    QString fCaption;
};

} // namespace

TEST(Collection, NoticesAndIdsThatAreNeverReused)
{
    TTestCollection c;
    c.Add();
    c.Add();
    c.Add();
    EXPECT_EQ(c.Take(), (Notices { { 0, cnAdded }, { 1, cnAdded }, { 2, cnAdded } }));

    c.Delete(1);
    EXPECT_EQ(c.Take(), (Notices { { 1, cnDeleting }, { 1, cnExtracting } }));
    EXPECT_EQ(c.Add()->ID(), 3);
    c.Take();
    EXPECT_EQ(c.FindItemID(2), c.Items(1));
    EXPECT_EQ(c.FindItemID(1), nullptr);

    delete c.Items(0); // an item freed directly leaves its collection
    EXPECT_EQ(c.Take(), (Notices { { 0, cnExtracting } }));
    EXPECT_EQ(c.Items(1)->Index(), 1);

    c.Clear(); // last first, no "deleting"
    EXPECT_EQ(c.Take(), (Notices { { 3, cnExtracting }, { 2, cnExtracting } }));
    EXPECT_EQ(c.Add()->ID(), 4);
    EXPECT_THROW(c.Items(1), EListError);
    EXPECT_THROW(c.Delete(-1), EListError);
}

TEST(Collection, SetCollectionMovesWithANewId)
{
    TTestCollection a, b;
    a.Add();
    TCollectionItem* item = a.Add();
    b.Add();
    a.Take();
    b.Take();

    item->SetCollection(&b);
    EXPECT_EQ(a.Take(), (Notices { { 1, cnExtracting } }));
    EXPECT_EQ(b.Take(), (Notices { { 1, cnAdded } }));
    EXPECT_EQ(item->GetOwner(), &b);
    EXPECT_EQ(item->Index(), 1);
    EXPECT_EQ(a.Count(), 1);

    item->SetCollection(nullptr);
    EXPECT_EQ(item->Index(), -1);
    delete item; // an orphan tells no one
    EXPECT_EQ(b.Take(), (Notices { { 1, cnExtracting } }));
    EXPECT_EQ(b.Count(), 1);
}

TEST(Collection, UpdateOnceAfterNestedBatch)
{
    TTestCollection c;
    c.Add();
    EXPECT_EQ(c.Updates, 1);
    c.BeginUpdate();
    c.BeginUpdate();
    c.Add();
    c.Delete(0);
    c.EndUpdate();
    EXPECT_EQ(c.Updates, 1);
    c.EndUpdate();
    EXPECT_EQ(c.Updates, 2);
    c.Clear();
    EXPECT_EQ(c.Updates, 3);
}

TEST(Collection, EmptyingTellsOfEveryItemWhileItStillHoldsItsPlace)
{
    TTestCollection c, other;
    for (int i = 0; i < 5; ++i)
        c.Add();
    c.Take();
    c.Where.clear();
    const int updates = c.Updates;
    c.Clear(); // last first
    EXPECT_EQ(c.Take(),
        (Notices {
            { 4, cnExtracting }, { 3, cnExtracting }, { 2, cnExtracting }, { 1, cnExtracting }, { 0, cnExtracting } }));
    EXPECT_EQ(c.Where, (Places { { 4, 5 }, { 3, 4 }, { 2, 3 }, { 1, 2 }, { 0, 1 } }));
    EXPECT_EQ(c.Updates, updates + 1);

    for (int i = 0; i < 4; ++i)
        c.Add();
    other.Add();
    c.Take();
    other.Take();
    c.Where.clear();
    while (c.Count() > 0) // first first, as a load takes over its entries
        c.Items(0)->SetCollection(&other);
    EXPECT_EQ(
        c.Take(), (Notices { { 5, cnExtracting }, { 6, cnExtracting }, { 7, cnExtracting }, { 8, cnExtracting } }));
    EXPECT_EQ(c.Where, (Places { { 0, 4 }, { 0, 3 }, { 0, 2 }, { 0, 1 } }));
    EXPECT_EQ(other.Take(), (Notices { { 1, cnAdded }, { 2, cnAdded }, { 3, cnAdded }, { 4, cnAdded } }));
    for (int i = 0; i < other.Count(); ++i)
        EXPECT_EQ(other.Items(i)->ID(), i);
}

TEST(Collection, FreeingFreesEveryItemLastFirst)
{
    FreedLog freed;
    {
        TFreedCollection c(freed);
        for (int i = 0; i < 5; ++i)
            c.Add();
        delete c.Items(1); // from the middle: the rest close up
        c.Add();
    }
    EXPECT_EQ(freed,
        (FreedLog {
            { 1, { 1, 5 } }, { 5, { 4, 5 } }, { 4, { 3, 4 } }, { 3, { 2, 3 } }, { 2, { 1, 2 } }, { 0, { 0, 1 } } }));
}

TEST(Component, OwnerFreesOwnedComponentsOnce)
{
    TCounted::Destroyed = 0;
    auto* root = new TCounted;
    auto* panel = new TCounted(root);
    new TCounted(panel);
    auto* label = new TCounted(root);
    label->SetName(QStringLiteral("TitleLabel"));
    EXPECT_EQ(root->FindComponent(QStringLiteral("titlelabel")), label);
    EXPECT_EQ(root->FindComponent(QString()), nullptr);

    delete panel; // with its own child, and out of root's list
    EXPECT_EQ(TCounted::Destroyed, 2);
    ASSERT_EQ(root->ComponentCount(), 1);
    EXPECT_EQ(root->Components(0), label);

    auto* other = new TCounted;
    other->InsertComponent(label); // changes owner
    EXPECT_EQ(root->ComponentCount(), 0);
    EXPECT_EQ(label->Owner(), other);
    delete root;
    EXPECT_EQ(TCounted::Destroyed, 3);
    delete other;
    EXPECT_EQ(TCounted::Destroyed, 5);
}

TEST(Component, PropertyTablesInheritAndReachTheFields)
{
    TWidget w;
    QStringList names;
    for (const TPropInfo& p : w.Properties())
        names.append(p.Name);
    EXPECT_EQ(names.join(u','), QStringLiteral("Name,Tag,Width,Visible,Align,Ratio,Caption"));
    EXPECT_EQ(w.FindProperty(QStringLiteral("Height")), nullptr);

    const auto prop = [&w](const char* name) {
        const TPropInfo* p = w.FindProperty(QString::fromLatin1(name).toUpper()); // lookups ignore case
        EXPECT_TRUE(p) << name;
        return p;
    };
    EXPECT_FALSE(prop("Name")->Stored);
    EXPECT_TRUE(prop("Tag")->Stored);
    EXPECT_EQ(prop("Tag")->Default, 0);
    EXPECT_EQ(prop("Width")->Default, 100);
    EXPECT_EQ(prop("Visible")->Default, 1);
    EXPECT_FALSE(prop("Ratio")->Default.has_value());
    EXPECT_EQ(prop("Visible")->EnumNames, (QStringList { QStringLiteral("False"), QStringLiteral("True") }));
    EXPECT_EQ(prop("Align")->Kind, TTypeKind::tkEnumeration);

    prop("Name")->SetStr(w, QStringLiteral("Main"));
    prop("Tag")->SetOrd(w, -5);
    prop("Width")->SetOrd(w, 42);
    prop("Visible")->SetOrd(w, 0);
    prop("Align")->SetOrd(w, 2);
    prop("Ratio")->SetFloat(w, 0.25);
    prop("Caption")->SetStr(w, QString::fromUtf8("Caf\xC3\xA9"));
    EXPECT_EQ(w.Name(), QStringLiteral("Main"));
    EXPECT_EQ(w.Tag(), -5);
    EXPECT_EQ(w.fWidth, 42);
    EXPECT_FALSE(w.fVisible);
    EXPECT_EQ(w.fAlign, TAlign::alClient);
    EXPECT_EQ(w.fRatio, 0.25);
    EXPECT_EQ(w.fCaption, QString::fromUtf8("Caf\xC3\xA9"));

    w.fAlign = TAlign::alTop;
    w.fRatio = -1.5;
    EXPECT_EQ(prop("Tag")->GetOrd(w), -5);
    EXPECT_EQ(prop("Align")->GetOrd(w), 1);
    EXPECT_EQ(prop("Visible")->GetOrd(w), 0);
    EXPECT_EQ(prop("Ratio")->GetFloat(w), -1.5);
    EXPECT_EQ(prop("Name")->GetStr(w), QStringLiteral("Main"));
}
