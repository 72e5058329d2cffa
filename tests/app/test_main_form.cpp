#include "app/main_form.h"

#include "app/helpers.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "engine/reg_values.h"
#include "engine/resource_store.h"
#include "platform/core/registry.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

class MainForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetRegistryFileForTesting(dir.filePath(S("registry.ini")));
    }
    void TearDown() override
    {
        form.reset();
        SetRegistryFileForTesting(QString());
    }

    static void StoreInteger(const char* name, int value)
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), true));
        r.WriteInteger(S(name), value);
    }
    static void StorePosition(int left, int top, int width, int height)
    {
        StoreInteger("LastLeft", left);
        StoreInteger("LastTop", top);
        StoreInteger("LastWidth", width);
        StoreInteger("LastHeight", height);
    }
    TfrmMain& Create()
    {
        form = std::make_unique<TfrmMain>(nullptr);
        return *form;
    }
    // The skin as LoadSkin must draw it: the store item decoded and
    // stretched over the background's size.
    QImage ExpectedSkin(int number) const
    {
        const TRessourceStore& store = *form->rStore;
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(store.GetResByName(SkinResourceName(number))->Bytes());
        TBitmap bitmap;
        bitmap.SetSize(form->imgBack->Width(), form->imgBack->Height());
        bitmap.Canvas()->StretchDraw(QRect(0, 0, bitmap.Width(), bitmap.Height()), jpeg);
        return bitmap.ToImage();
    }
    QImage Background() const
    {
        auto* bitmap = dynamic_cast<TBitmap*>(form->imgBack->Picture()->Graphic());
        return bitmap ? bitmap->ToImage() : QImage();
    }

    QTemporaryDir dir;
    std::unique_ptr<TfrmMain> form;
};

TEST_F(MainForm, SettingsHaveTheirDefaultsOnAnEmptyRegistry)
{
    TfrmMain& f = Create();
    struct Expected {
        const char* name;
        QVariant value;
    };
    const Expected expected[] = {
        { "LastDiaryName", S("default.dry") },
        { "SkinNumber", 0 },
        { "CurrentSkin", 2 },
        { "FontName", S("Arial") },
        { "FontColor", 0 },
        { "FontCharset", 1 },
        { "FontSize", 10 },
        { "FontStyle", 0 },
        { "ShowScrollbars", 0 },
        { "LastTop", -1 },
        { "LastLeft", -1 },
        { "LastWidth", -1 },
        { "LastHeight", -1 },
        { "CalUseEng", false },
        { "CalChangeSOW", false },
        { "CalSOW", 0 },
    };
    EXPECT_EQ(f.reger->Items()->Count(), int(std::size(expected)));
    for (const Expected& e : expected)
        EXPECT_EQ(f.reger->Get(S(e.name)), e.value) << e.name;
    EXPECT_EQ(f.reger->Items()->GetByName(S("CalUseEng"))->DefValue(), S("FALSE"));
    EXPECT_EQ(f.reger->Key(), S("SOFTWARE\\Veltrane\\Diary"));

    EXPECT_EQ(f.CurrentSkin, 2);
    EXPECT_EQ(f.SkinNumber, 7);
    EXPECT_FALSE(f.pmoShowScrollbar->Checked());
    EXPECT_EQ(f.MemoBody->ScrollBars(), ssNone);
    EXPECT_EQ(f.Caption(), ProgramTitle());
    EXPECT_TRUE(f.ProgramPath.endsWith(QLatin1Char('/')));
}

TEST_F(MainForm, SettingsAreWrittenBackWithTheShownSkin)
{
    StoreInteger("ShowScrollbars", 1);
    TfrmMain& f = Create();
    EXPECT_TRUE(f.pmoShowScrollbar->Checked());
    EXPECT_EQ(f.MemoBody->ScrollBars(), ssVertical);
    f.btnSkinClick(nullptr);
    form.reset();

    TRegistry r;
    ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), false));
    EXPECT_EQ(r.ReadInteger(S("CurrentSkin")), 3);
    EXPECT_EQ(r.ReadString(S("LastDiaryName")), S("default.dry"));
    EXPECT_EQ(r.ReadInteger(S("LastLeft")), -1);
    EXPECT_TRUE(r.ValueExists(S("CalSOW")));
}

TEST_F(MainForm, StoredSkinOutsideOneToSevenStartsWithSkinOne)
{
    for (int stored : { 0, 8, -5 }) {
        StoreInteger("CurrentSkin", stored);
        EXPECT_EQ(Create().CurrentSkin, 1) << stored;
        form.reset();
    }
    StoreInteger("CurrentSkin", 7);
    TfrmMain& f = Create();
    EXPECT_EQ(f.CurrentSkin, 7);
    f.btnSkinClick(nullptr);
    EXPECT_EQ(f.CurrentSkin, 1) << "the skin button wraps after the last skin";
}

TEST_F(MainForm, StoredPositionOutsideTheScreenFallsBackToTheCentre)
{
    const QSize designed = [this] {
        TfrmMain& f = Create();
        EXPECT_EQ(f.ClientWidth(), TfrmMain::DesignClientWidth);
        EXPECT_EQ(f.ClientHeight(), TfrmMain::DesignClientHeight);
        const QSize size(f.Width(), f.Height());
        form.reset();
        return size;
    }();
    const QPoint outside[] = { { Screen()->Width(), 10 }, { 10, Screen()->Height() }, { -1, 10 }, { 10, -1 } };
    for (const QPoint& p : outside) {
        StorePosition(p.x(), p.y(), 900, 700);
        TfrmMain& f = Create();
        EXPECT_EQ(f.Position(), poScreenCenter) << p.x() << "," << p.y();
        EXPECT_EQ(QSize(f.Width(), f.Height()), designed) << p.x() << "," << p.y();
        form.reset();
    }
}

TEST_F(MainForm, StoredPositionOnTheScreenIsUsedWithTheMinimumSize)
{
    StorePosition(Screen()->Width() - 1, 5, 500, -1);
    TfrmMain& f = Create();
    EXPECT_EQ(f.Position(), poDesigned);
    EXPECT_EQ(f.Left(), Screen()->Width() - 1);
    EXPECT_EQ(f.Top(), 5);
    EXPECT_EQ(f.Width(), 780);
    EXPECT_EQ(f.Height(), 560);
    form.reset();

    StorePosition(0, 0, 900, 700);
    TfrmMain& g = Create();
    EXPECT_EQ(QRect(g.Left(), g.Top(), g.Width(), g.Height()), QRect(0, 0, 900, 700));
}

TEST_F(MainForm, SkinNumberSelectsItsStoreItem)
{
    TfrmMain& f = Create();
    f.CurrentSkin = 3;
    f.LoadSkin();
    const QImage three = Background();
    ASSERT_FALSE(three.isNull());
    EXPECT_EQ(three.size(), QSize(f.imgBack->Width(), f.imgBack->Height()));
    EXPECT_EQ(three, ExpectedSkin(3));
    EXPECT_NE(three, ExpectedSkin(2));
    EXPECT_NE(three, ExpectedSkin(4));

    f.btnSkinClick(nullptr);
    EXPECT_EQ(Background(), ExpectedSkin(4));
}

TEST_F(MainForm, FirstActivationLoadsSkinFontAndDiaryName)
{
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), true));
        r.WriteString(S("FontName"), S("Courier New"));
        r.WriteInteger(S("FontSize"), 14);
        r.WriteInteger(S("FontStyle"), 1);
    }
    TfrmMain& f = Create();
    f.DataFileName = S("/home/a/My Diary.dry");
    f.UserPassword = S("  ");
    f.DiaryModified = true;
    f.FormActivate(nullptr);
    EXPECT_EQ(Background(), ExpectedSkin(2));
    EXPECT_EQ(f.MemoBody->Font()->Name(), S("Courier New"));
    EXPECT_EQ(f.edtTitle->Font()->Size(), 14);
    EXPECT_EQ(f.CurrentFont->Style(), TFontStyles(fsBold));
    EXPECT_EQ(f.reger->Get(S("LastDiaryName")), QVariant(S("My Diary.dry")));
    EXPECT_FALSE(f.DiaryModified);
    EXPECT_EQ(f.PrevDate, -1.0);
    EXPECT_TRUE(f.imgUnlocked->Visible()) << "a password of blanks protects nothing";
    EXPECT_FALSE(f.imgLocked->Visible());

    // Later activations only update the lock.
    f.UserPassword = S("secret");
    f.DiaryModified = true;
    f.FormActivate(nullptr);
    EXPECT_TRUE(f.DiaryModified);
    EXPECT_TRUE(f.imgLocked->Visible());
    EXPECT_FALSE(f.imgUnlocked->Visible());
}

TEST_F(MainForm, ClosingKeepsTheWindowBoundsForTheNextStart)
{
    TfrmMain& f = Create();
    f.SetBounds(20, 30, 800, 600);
    TCloseAction action = caHide;
    f.FormClose(nullptr, action);
    form.reset();
    TfrmMain& g = Create();
    EXPECT_EQ(QRect(g.Left(), g.Top(), g.Width(), g.Height()), QRect(20, 30, 800, 600));
}

TEST_F(MainForm, FrameIsLaidOutForTheDiaryPage)
{
    TfrmMain& f = Create();
    EXPECT_EQ(f.Mode(), mdDiary);
    EXPECT_FALSE(f.imgTAB->Visible());
    EXPECT_EQ(f.imgTAB->Width(), 18);
    EXPECT_EQ(f.pnlDiaryEntryMain->BoundsRect().right() + 1, f.imgTAB->Left() + f.imgTAB->Width())
        << "the entry area takes the hidden tab's place";
    EXPECT_EQ(f.imgTAB->Picture()->Width(), 18) << "the diary page's tab picture is loaded";

    EXPECT_EQ(f.imgUnlocked->Left(), f.imgLocked->Left());
    EXPECT_EQ(f.imgAnniv->Left(), f.imgLocked->Left() - f.imgAnniv->Width() - 2);
    EXPECT_TRUE(f.imgAnniv->Visible());
    EXPECT_EQ(f.MemoNotes->BoundsRect(), f.MemoBody->BoundsRect());
    EXPECT_FALSE(f.MemoNotes->Visible());
    EXPECT_EQ(f.edtTitle->MaxLength(), 100);
    EXPECT_EQ(f.dCalendar->GridLineWidth(), 2);
    EXPECT_EQ(f.dCalendar->PopupMenu(), f.pmCalendar);

    EXPECT_FALSE(f.pnlInfo->Visible());
    EXPECT_EQ(f.pnlInfo->Top(), f.pnlDiaryEntryMain->Top());
    EXPECT_EQ(f.pnlInfo->Left(), f.dCalendar->Left() + 20);
    EXPECT_EQ(f.pnlInfo->Left() + f.pnlInfo->Width(), f.pnlDiaryEntryMain->Left() + f.pnlDiaryEntryMain->Width());
    EXPECT_EQ(f.pnlInfo->Height(), f.pnlDiaryEntryMain->Height());
}

TEST_F(MainForm, SetModeSwitchesBetweenThePages)
{
    TfrmMain& f = Create();
    f.SetMode(mdInfo);
    EXPECT_TRUE(f.pnlInfo->Visible());
    EXPECT_FALSE(f.pnlDiaryEntryMain->Visible());
    EXPECT_FALSE(f.dCalendar->Visible());
    EXPECT_FALSE(f.pnlCalendarNavigate->Visible());
    f.btnPrintClick(nullptr);
    EXPECT_EQ(f.Mode(), mdDiary) << "printing needs the diary page";
    EXPECT_FALSE(f.pnlInfo->Visible());
    EXPECT_TRUE(f.pnlDiaryEntryMain->Visible());
    EXPECT_TRUE(f.dCalendar->Visible());
}

TEST_F(MainForm, RendersTheFrameOverTheSkin)
{
    TfrmMain& f = Create();
    f.LoadSkin();
    const QImage image = f.RenderToBitmap()->ToImage();
    ASSERT_EQ(image.size(), QSize(f.ClientWidth(), f.ClientHeight()));
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(S("main_form.png"));
    ASSERT_TRUE(image.save(path));
    std::printf("main window: %s\n", qPrintable(path));
    // The skin shows between the controls; the entry editor keeps its colour.
    const QImage skin = ExpectedSkin(2);
    EXPECT_EQ(image.pixel(240, 470), skin.pixel(240, 470));
    const QPoint memo = f.MemoBody->ClientToParent(QPoint(200, 200), &f);
    EXPECT_EQ(image.pixel(memo) & 0xFFFFFF, 0xFFFFF2u);
}

} // namespace
