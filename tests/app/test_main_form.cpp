#include "app/main_form.h"
#include "platform/core/sysutils.h"
#include "support/form_fixture.h"
#include "support/locale_change.h"
#include "support/main_window_fixture.h"

#include "app/helpers.h"
#include "app/print_form.h"
#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/shadow_label.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "engine/reg_values.h"
#include "engine/resource_store.h"
#include "minihtml/html_label.h"
#include "platform/core/registry.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/menus.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"
#include "resources/program_pictures.h"
#include "resources/store_items.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

class MainForm : public MainWindowFixture {
protected:
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
    // The skin as LoadSkin must draw it: the store item decoded and
    // stretched over the background's size.
    QImage ExpectedSkin(int number) const
    {
        const TRessourceStore& store = *form->Session().rStore;
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

    // A written day shown as the user sees it: title, formatted body, mood.
    static void WriteDay(TfrmMain& f)
    {
        const TDateTime day = EncodeDate(2026, 12, 8);
        DiaryDB().AddEntry(day, S("Skating on the frozen lake"),
            S("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red128\\green0\\blue0;\\red0\\green0\\blue128;}"
              "\\f0\\fs20 The lake froze at last. We went out with \\b Anna\\b0  and Ben before breakfast, "
              "the ice was clear as glass and \\i everything\\i0  creaked.\\par\\par"
              "\\cf1 Hot chocolate at the hut\\cf0 , then home through the woods.\\par"
              "\\pard\\qc\\cf2\\fs28 What a day!\\cf0\\fs20\\par}"),
            QString(), QString(), 3);
        f.dCalendar->SetCalendarDate(day);
        f.Session().PrevDate = -1.0;
        f.HandleEntry();
    }
    // Renders the client area to a picture beside the test binary.
    static QImage Save(TfrmMain& f, const char* file)
    {
        const QImage image = f.RenderToBitmap()->ToImage();
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(S(file));
        EXPECT_TRUE(image.save(path));
        std::printf("main window: %s\n", qPrintable(path));
        return image;
    }
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
        { "LastMaximized", 0 },
        { "CalUseEng", false },
        { "CalChangeSOW", false },
        { "CalSOW", 0 },
    };
    EXPECT_EQ(f.Session().reger->Items()->Count(), int(std::size(expected)));
    for (const Expected& e : expected)
        EXPECT_EQ(f.Session().reger->Get(S(e.name)), e.value) << e.name;
    EXPECT_EQ(f.Session().reger->Items()->GetByName(S("CalUseEng"))->DefValue(), S("FALSE"));
    EXPECT_EQ(f.Session().reger->Key(), S("SOFTWARE\\Veltrane\\Diary"));

    EXPECT_EQ(f.Session().CurrentSkin, 2);
    EXPECT_EQ(f.Session().SkinNumber, 7);
    EXPECT_FALSE(f.pmoShowScrollbar->Checked());
    EXPECT_EQ(f.MemoBody->ScrollBars(), ssNone);
    EXPECT_EQ(f.Caption(), ProgramTitle());
    EXPECT_TRUE(f.Session().ProgramPath.endsWith(QLatin1Char('/')));
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
        EXPECT_EQ(Create().Session().CurrentSkin, 1) << stored;
        form.reset();
    }
    StoreInteger("CurrentSkin", 7);
    TfrmMain& f = Create();
    EXPECT_EQ(f.Session().CurrentSkin, 7);
    f.btnSkinClick(nullptr);
    EXPECT_EQ(f.Session().CurrentSkin, 1) << "the skin button wraps after the last skin";
}

// A stored position off every screen opens centred with the designed size.
TEST_F(MainForm, StoredPositionOnTheScreenIsUsedWithTheMinimumSizeAndBroughtFullyOntoIt)
{
    const QSize designed = [this] {
        TfrmMain& f = Create();
        EXPECT_EQ(f.ClientWidth(), TfrmMain::DesignClientWidth);
        EXPECT_EQ(f.ClientHeight(), TfrmMain::DesignClientHeight);
        const QSize size(f.Width(), f.Height());
        form.reset();
        return size;
    }();
    struct RealScreens {
        ~RealScreens() { Screen()->SetMonitorsForTesting({}); }
    } realScreens;
    // A desk with a taskbar, and the same desk with a larger second monitor
    // on its right whose work area ends above its own panel.
    const QList<TMonitor> one = { { QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040) } };
    const QList<TMonitor> two = { one.first(), { QRect(1920, 0, 2560, 1440), QRect(1920, 0, 2560, 1400) } };
    const QList<TMonitor> real; // the screen Qt offers
    const int width = Screen()->Width(), height = Screen()->Height();
    struct Case {
        const char* what;
        const QList<TMonitor>& monitors;
        QRect stored;
        QRect opened; // null: centred with the designed size
    };
    const Case cases[] = {
        { "StoredPositionOutsideTheScreenFallsBackToTheCentre: right", real, QRect(width, 10, 900, 700), QRect() },
        { "StoredPositionOutsideTheScreenFallsBackToTheCentre: below", real, QRect(10, height, 900, 700), QRect() },
        { "StoredPositionOutsideTheScreenFallsBackToTheCentre: left", real, QRect(-1, 10, 900, 700), QRect() },
        { "StoredPositionOutsideTheScreenFallsBackToTheCentre: above", real, QRect(10, -1, 900, 700), QRect() },
        { "left beyond the screen", one, QRect(2000, 10, 900, 700), QRect() },
        { "top beyond the screen", one, QRect(10, 1080, 900, 700), QRect() },
        { "on the screen, small", one, QRect(100, 50, 500, -1), QRect(100, 50, 780, 560) },
        { "as stored", one, QRect(0, 0, 900, 700), QRect(0, 0, 900, 700) },
        { "over the taskbar", one, QRect(1500, 700, 900, 700), QRect(1020, 340, 900, 700) },
        { "its last column on the screen", one, QRect(1919, 5, 500, -1), QRect(1140, 5, 780, 560) },
        { "larger than the work area", one, QRect(0, 0, 2500, 1200), QRect(0, 0, 1920, 1040) },
        { "on the second monitor", two, QRect(2200, 300, 900, 700), QRect(2200, 300, 900, 700) },
        { "off the second monitor's bottom", two, QRect(3000, 1200, 900, 700), QRect(3000, 700, 900, 700) },
        { "below the first monitor, beside the second", two, QRect(10, 1200, 900, 700), QRect(10, 340, 900, 700) },
        { "right of both monitors", two, QRect(4480, 10, 900, 700), QRect() },
    };
    for (const Case& c : cases) {
        Screen()->SetMonitorsForTesting(c.monitors);
        StorePosition(c.stored.left(), c.stored.top(), c.stored.width(), c.stored.height());
        TfrmMain& f = Create();
        if (c.opened.isNull()) {
            EXPECT_EQ(f.Position(), poScreenCenter) << c.what;
            EXPECT_EQ(f.ClientWidth(), TfrmMain::DesignClientWidth) << c.what;
            EXPECT_EQ(f.ClientHeight(), TfrmMain::DesignClientHeight) << c.what;
            EXPECT_EQ(QSize(f.Width(), f.Height()), designed) << c.what;
        } else {
            EXPECT_EQ(f.Position(), poDesigned) << c.what;
            EXPECT_EQ(f.BoundsRect(), c.opened) << c.what;
        }
        form.reset();
    }
}

TEST_F(MainForm, SkinNumberSelectsItsStoreItem)
{
    TfrmMain& f = Create();
    f.Session().CurrentSkin = 3;
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

// The title's text keeps clear of the box's frame for every entry font; the
// box stays in the title row, and the usual fonts keep it as designed.
TEST_F(MainForm, TheTitleBoxGrowsWithTheEntryFont)
{
    TfrmMain& f = Create();
    const QRect designed = f.edtTitle->BoundsRect();
    auto* edit = static_cast<QLineEdit*>(f.edtTitle->Handle());
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    for (const int size : { 10, 14, 20, 36, 10 }) {
        SCOPED_TRACE(size);
        TFont font;
        font.Assign(*f.Session().CurrentFont);
        font.SetSize(size);
        f.SetEntryFont(font);
        const int air = (f.edtTitle->Height() - 2 * frame - QFontMetrics(edit->font()).height()) / 2;
        EXPECT_GE(air, 2) << "pixels between the text and the frame";
        EXPECT_GE(f.edtTitle->Top(), 0);
        EXPECT_LE(f.edtTitle->Top() + f.edtTitle->Height(), f.pnlTitle->Height());
        if (size == 10) {
            EXPECT_EQ(f.edtTitle->BoundsRect(), designed);
        }
    }
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
    f.Session().DataFileName = S("/home/a/My Diary.dry");
    f.Session().UserPassword = S("  ");
    f.Session().DiaryModified = true;
    f.FormActivate(nullptr);
    EXPECT_EQ(Background(), ExpectedSkin(2));
    EXPECT_EQ(f.MemoBody->Font()->Name(), S("Courier New"));
    EXPECT_EQ(f.edtTitle->Font()->Size(), 14);
    EXPECT_EQ(f.Session().CurrentFont->Style(), TFontStyles(fsBold));
    EXPECT_EQ(f.Session().reger->Get(S("LastDiaryName")), QVariant(S("My Diary.dry")));
    EXPECT_FALSE(f.Session().DiaryModified);
    EXPECT_EQ(f.Session().PrevDate, f.dCalendar->CalendarDate()) << "the day is shown";
    EXPECT_TRUE(f.imgUnlocked->Visible()) << "a password of blanks protects nothing";
    EXPECT_FALSE(f.imgLocked->Visible());

    // Later activations only update the lock.
    f.Session().UserPassword = S("secret");
    f.Session().DiaryModified = true;
    f.FormActivate(nullptr);
    EXPECT_TRUE(f.Session().DiaryModified);
    EXPECT_TRUE(f.imgLocked->Visible());
    EXPECT_FALSE(f.imgUnlocked->Visible());
}

TEST_F(MainForm, TheEntryFontRoundTripsThroughTheProgramsSettings)
{
    TFont chosen;
    chosen.SetName(S("Liberation Serif"));
    chosen.SetColor(clMaroon);
    chosen.SetCharset(238);
    chosen.SetSize(13);
    chosen.SetStyle(fsBold | fsStrikeOut);
    SaveFontToRegistry(*Create().Session().reger, chosen);
    {
        // Written at once, under the names every version of the program reads.
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), false));
        EXPECT_EQ(r.ReadString(S("FontName")), S("Liberation Serif"));
        const struct {
            const char* name;
            int value;
        } stored[] = { { "FontColor", clMaroon }, { "FontCharset", 238 }, { "FontSize", 13 }, { "FontStyle", 9 } };
        for (const auto& v : stored)
            EXPECT_EQ(r.ReadInteger(S(v.name)), v.value) << v.name;
    }
    form.reset();

    TfrmMain& f = Create();
    f.LoadFontSettings();
    for (const TFont* font : { f.MemoBody->Font(), f.edtTitle->Font(), f.Session().CurrentFont }) {
        EXPECT_EQ(font->Name(), S("Liberation Serif"));
        EXPECT_EQ(font->Color(), clMaroon);
        EXPECT_EQ(font->Charset(), 238);
        EXPECT_EQ(font->Size(), 13);
        EXPECT_EQ(font->Style(), fsBold | fsStrikeOut);
    }
}

TEST_F(MainForm, ClosingKeepsTheWindowBoundsForTheNextStart)
{
    TfrmMain& f = Create();
    f.SetBounds(20, 30, 780, 600);
    TCloseAction action = caHide;
    f.FormClose(nullptr, action);
    form.reset();
    TfrmMain& g = Create();
    EXPECT_EQ(QRect(g.Left(), g.Top(), g.Width(), g.Height()), QRect(20, 30, 780, 600));
}

TEST_F(MainForm, FrameIsLaidOutForTheDiaryPage)
{
    TfrmMain& f = Create();
    EXPECT_EQ(f.Mode(), mdDiary);
    EXPECT_TRUE(f.imgTAB->Visible()) << "the page tab leads to the information page";
    EXPECT_EQ(f.imgTAB->Width(), 18);
    EXPECT_EQ(f.pnlDiaryEntryMain->BoundsRect().right() + 1, f.imgTAB->Left()) << "the entry area ends at the tab";
    EXPECT_EQ(f.imgTAB->Picture()->Width(), 18) << "the diary page's tab picture is loaded";

    // The date line: a dark red shadow one pixel to the bottom right.
    EXPECT_EQ(f.lblDate->ShadowColor(), TColor(0x00000040));
    EXPECT_EQ(f.lblDate->ShadowSize(), 1);
    EXPECT_EQ(f.lblDate->ShadowPos(), spRightBottom);
    EXPECT_TRUE(f.lblDate->Transparent());
    EXPECT_EQ(f.lblDate->Alignment(), taCenter);
    EXPECT_FALSE(f.lblDate->AutoSize());

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
    // The print dialog opens over the diary page; closed here unused.
    bool shown = false;
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < f.ComponentCount(); ++i)
            if (auto* dialog = dynamic_cast<TfrmPrintEngine*>(f.Components(i))) {
                shown = true;
                EXPECT_EQ(f.Mode(), mdDiary) << "printing needs the diary page";
                dialog->Close();
            }
    });
    f.btnPrintClick(nullptr);
    EXPECT_TRUE(shown);
    EXPECT_EQ(f.Mode(), mdDiary);
    EXPECT_FALSE(f.pnlInfo->Visible());
    EXPECT_TRUE(f.pnlDiaryEntryMain->Visible());
    EXPECT_TRUE(f.dCalendar->Visible());
}

TEST_F(MainForm, StoredCalendarOptionsApplyAtTheNextStart)
{
    {
        TfrmMain& f = Create();
        EXPECT_EQ(f.dCalendar->GetCellText(0, 0), FormatSettings().ShortDayNames[0]);
        f.Session().reger->SetV(S("CalUseEng"), true);
        f.Session().reger->SetV(S("CalChangeSOW"), true);
        f.Session().reger->SetV(S("CalSOW"), 1);
        form.reset();
    }
    FormatSettings().ShortDayNames = { S("dom"), S("lun"), S("mar"), S("mié"), S("jue"), S("vie"), S("sáb") };
    TfrmMain& f = Create();
    EXPECT_EQ(FormatSettings().ShortDayNames[0], S("Sun")) << "for the whole run";
    EXPECT_EQ(f.dCalendar->StartOfWeek(), 1);
    EXPECT_EQ(f.dCalendar->GetCellText(0, 0), S("Mon"));
    EXPECT_EQ(f.dCalendar->GetCellText(6, 0), S("Sun"));
    form.reset();
    ResetFormatSettings();

    // Without the override the stored day is not used.
    StoreInteger("CalSOW", 3);
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), true));
        r.WriteBool(S("CalChangeSOW"), false);
    }
    EXPECT_EQ(Create().dCalendar->StartOfWeek(), 0);
}

// A change of the system's locale during the run reloads the formats from
// the locale; the English day names stay for the rest of the run.
TEST_F(MainForm, EnglishDayNamesHoldThroughALocaleChange)
{
    const SystemLocaleAfterwards restore;
    const QLocale german(QLocale::German, QLocale::Germany);
    ASSERT_NE(FormatSettingsFromLocale(german).ShortDayNames[0], S("Sun"));
    const TDateTime tuesday = EncodeDate(2026, 12, 8);

    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), true));
        r.WriteBool(S("CalUseEng"), true);
    }
    TfrmMain& f = Create();
    ChangeLocale(german);
    const auto dayNames = [] {
        const auto& names = FormatSettings().ShortDayNames;
        return QStringList(names.begin(), names.end()).join(u' ').toStdString();
    };
    EXPECT_EQ(dayNames(), "Sun Mon Tue Wed Thu Fri Sat");
    EXPECT_EQ(FormatSettings().LongMonthNames[11], S("Dezember")) << "the rest follows the locale";
    EXPECT_EQ(f.dCalendar->GetCellText(0, 0).toStdString(), "Sun");
    TCPCalendar later(nullptr);
    EXPECT_EQ(later.GetCellText(2, 0).toStdString(), "Tue") << "a calendar made afterwards";
    EXPECT_EQ(FormatDateTime(S("ddd"), tuesday).toStdString(), "Tue");

    // Without the option the locale's names come back, as with a window
    // gone.
    form.reset();
    ChangeLocale(german);
    EXPECT_EQ(FormatSettings().ShortDayNames[2], FormatSettingsFromLocale(german).ShortDayNames[2]);
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), true));
        r.WriteBool(S("CalUseEng"), false);
    }
    Create();
    ChangeLocale(german);
    EXPECT_EQ(FormatDateTime(S("ddd"), tuesday), FormatSettingsFromLocale(german).ShortDayNames[2]);
}

TEST_F(MainForm, EditorMenuPastesTogglesTheScrollBarAndKeepsIt)
{
    TfrmMain& f = Create();
    Clipboard().Clear();
    f.pmEntryPopup(f.pmEntry);
    EXPECT_FALSE(f.pmoPaste->Enabled()) << "nothing to paste";
    EXPECT_FALSE(f.pmoResetEntry->Enabled()) << "nothing to reset";
    Clipboard().SetAsText(S("from elsewhere"));
    f.MemoBody->SetReadOnly(false);
    f.pmEntryPopup(f.pmEntry);
    ASSERT_TRUE(f.pmoPaste->Enabled());
    f.pmoPaste->Click();
    EXPECT_EQ(f.MemoBody->Text(), S("from elsewhere"));
    f.pmEntryPopup(f.pmEntry);
    EXPECT_TRUE(f.pmoResetEntry->Enabled());

    ASSERT_FALSE(f.pmoShowScrollbar->Checked());
    f.pmoShowScrollbar->Click();
    EXPECT_TRUE(f.pmoShowScrollbar->Checked());
    EXPECT_EQ(f.MemoBody->ScrollBars(), ssVertical);
    form.reset();
    EXPECT_EQ(Create().MemoBody->ScrollBars(), ssVertical) << "kept for the next start";
    form->pmoShowScrollbar->Click();
    EXPECT_EQ(form->MemoBody->ScrollBars(), ssNone);
    EXPECT_EQ(form->Session().reger->Get(S("ShowScrollbars")).toInt(), 0);
}

TEST_F(MainForm, PageTabHalvesChooseThePage)
{
    TfrmMain& f = Create();
    // The tab stands on end: "Diary" above, "Info" below.
    const int w = f.imgTAB->Width();
    const int h = f.imgTAB->Height();
    const auto tab = [&f] {
        auto* bitmap = dynamic_cast<TBitmap*>(f.imgTAB->Picture()->Graphic());
        return bitmap ? bitmap->ToImage() : QImage();
    };
    const QImage diaryTab = tab();
    f.imgTABMouseDown(f.imgTAB, mbLeft, 0, w / 2, h / 2);
    EXPECT_EQ(f.Mode(), mdInfo);
    EXPECT_NE(tab(), diaryTab) << "the tab shows which page is chosen";
    EXPECT_TRUE(f.imgTAB->Visible());
    f.imgTABMouseDown(f.imgTAB, mbLeft, 0, w / 2, h / 2 - 1);
    EXPECT_EQ(f.Mode(), mdDiary);
    EXPECT_EQ(tab(), diaryTab);
}

TEST_F(MainForm, APressAnywhereOnATabLabelChoosesItsPageOnEverySkin)
{
    TfrmMain& f = Create();
    struct Case {
        const char* where;
        QPoint at; // in the tab
        TDiaryMode page;
    };
    const Case cases[] = {
        { "Diary, top left corner", { 1, 3 }, mdDiary },
        { "Diary, left edge of the word", { 2, 36 }, mdDiary },
        { "Diary, right part", { 12, 36 }, mdDiary },
        { "Diary, bottom", { 8, 70 }, mdDiary },
        { "Info, top", { 8, 75 }, mdInfo },
        { "Info, left 8 pixels", { 3, 108 }, mdInfo },
        { "Info, right part", { 12, 108 }, mdInfo },
        { "Info, bottom left corner", { 1, 142 }, mdInfo },
    };
    const QRgb key = qRgb(0xFF, 0x00, 0xFF);
    for (int skin = 1; skin <= kStoreSkinCount; ++skin) {
        SCOPED_TRACE(skin);
        f.Session().CurrentSkin = skin;
        f.LoadSkin();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.where);
            f.SetMode(c.page == mdDiary ? mdInfo : mdDiary);
            auto* bitmap = dynamic_cast<TBitmap*>(f.imgTAB->Picture()->Graphic());
            ASSERT_NE(bitmap, nullptr);
            ASSERT_NE(bitmap->ToImage().pixel(c.at) & 0xFFFFFF, key & 0xFFFFFF) << "the point lies on the label";
            const QPoint at = f.imgTAB->ClientToParent(c.at, &f);
            QTest::mousePress(static_cast<QWidget*>(f.Handle()), Qt::LeftButton, {}, at);
            QTest::mouseRelease(static_cast<QWidget*>(f.Handle()), Qt::LeftButton, {}, at);
            EXPECT_EQ(f.Mode(), c.page);
        }
    }
}

TEST_F(MainForm, RendersTheFrameOverTheSkin)
{
    TfrmMain& f = Create();
    f.LoadSkin();
    WriteDay(f);
    const QImage image = Save(f, "main_form.png");
    ASSERT_EQ(image.size(), QSize(f.ClientWidth(), f.ClientHeight()));
    // The skin shows between the controls; the entry editor keeps its colour.
    const QImage skin = ExpectedSkin(2);
    EXPECT_EQ(image.pixel(240, 470), skin.pixel(240, 470));
    const QPoint memo = f.MemoBody->ClientToParent(QPoint(200, 200), &f);
    EXPECT_EQ(image.pixel(memo) & 0xFFFFFF, 0xFFFFF2u);

    // While the body is written the formatting bar shows on the paper strip.
    f.pnlFormatting->SetVisible(true);
    Save(f, "main_form_editing.png");
    f.pnlFormatting->SetVisible(false);

    for (int number = 1; number <= 7; ++number) {
        f.Session().CurrentSkin = number;
        f.LoadSkin();
        Save(f, qPrintable(QStringLiteral("main_form_skin%1.png").arg(number)));
    }

    // A larger window: the entry area takes the room.
    f.SetClientSize(1100, 750);
    f.Session().CurrentSkin = 2;
    f.LoadSkin();
    Save(f, "main_form_large.png");
}

// The controls of one parent that are shown, recursively, with their bounds
// in the form's client coordinates.
struct Placed {
    TControl* control;
    QRect rect;
};
void CollectShown(TWinControl* parent, const TWinControl* form, std::vector<Placed>& out)
{
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible())
            continue;
        out.push_back({ c, QRect(c->ClientToParent(QPoint(0, 0), form), QSize(c->Width(), c->Height())) });
        if (auto* w = dynamic_cast<TWinControl*>(c))
            CollectShown(w, form, out);
    }
}

int CountColour(const QImage& image, const QRect& r, TColor c)
{
    const QRgb want = ToQColor(c).rgb() & 0xFFFFFF;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == want;
    return n;
}

// Mean brightness (0 dark to 1 white) of a rectangle of a picture.
double MeanLuminance(const QImage& image, const QRect& r)
{
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum += (qRed(p) * 50 + qGreen(p) * 30 + qBlue(p) * 20) / 25600.0;
        }
    return sum / (r.width() * r.height());
}

class MainLayout : public MainForm {
protected:
    TfrmMain& Shown()
    {
        TfrmMain& f = Create();
        f.FormActivate(nullptr); // settles which lock picture shows
        return f;
    }

    // Every shown control lies inside its parent, and no two shown controls
    // of one parent cover each other, but for the pictures meant to lie
    // under the others: the skin and the entry's paper.
    void ExpectTidy(TfrmMain& f)
    {
        const QRect client(0, 0, f.ClientWidth(), f.ClientHeight());
        std::vector<Placed> shown;
        CollectShown(&f, &f, shown);
        ASSERT_GT(shown.size(), 30u);
        for (const Placed& p : shown) {
            const TWinControl* parent = p.control->Parent();
            const QRect inside(
                parent->ClientToParent(QPoint(0, 0), &f), QSize(parent->ClientWidth(), parent->ClientHeight()));
            EXPECT_TRUE((parent == &f ? client : inside).contains(p.rect))
                << qPrintable(p.control->Name()) << " leaves " << qPrintable(parent->Name());
            EXPECT_FALSE(p.rect.isEmpty()) << qPrintable(p.control->Name());
        }
        for (size_t i = 0; i < shown.size(); ++i)
            for (size_t j = i + 1; j < shown.size(); ++j) {
                const Placed& a = shown[i];
                const Placed& b = shown[j];
                if (a.control->Parent() != b.control->Parent())
                    continue;
                if (a.control == f.imgBack || b.control == f.imgBack || a.control == f.imgPaper
                    || b.control == f.imgPaper)
                    continue;
                EXPECT_FALSE(a.rect.intersects(b.rect))
                    << qPrintable(a.control->Name()) << " covers " << qPrintable(b.control->Name());
            }
    }
};

TEST_F(MainLayout, ControlsFitTheDesignedClientAreaWithoutCoveringEachOther)
{
    TfrmMain& f = Shown();
    ASSERT_EQ(QSize(f.ClientWidth(), f.ClientHeight()), QSize(773, 526));
    ExpectTidy(f);
    f.pnlFormatting->SetVisible(true);
    ExpectTidy(f);
    // The entry area ends where the page tab starts, the calendar column
    // keeps clear of it; the information page takes the entry area's place.
    EXPECT_LT(f.dCalendar->Left() + f.dCalendar->Width(), f.pnlDiaryEntryMain->Left());
    EXPECT_EQ(f.pnlDiaryEntryMain->Left() + f.pnlDiaryEntryMain->Width(), f.imgTAB->Left());
    f.SetMode(mdInfo);
    ExpectTidy(f);
}

TEST_F(MainLayout, EntryAreaGrowsWithTheWindowAndTheCalendarColumnStays)
{
    TfrmMain& f = Shown();
    const QRect calendar = f.dCalendar->BoundsRect();
    const QRect navigate = f.pnlCalendarNavigate->BoundsRect();
    const QRect date = f.lblDate->BoundsRect();
    const QRect entry = f.pnlDiaryEntryMain->BoundsRect();
    const QRect body = f.MemoBody->BoundsRect();
    const QRect title = f.edtTitle->BoundsRect();
    const int exitMargin = f.ClientWidth() - f.btnExit->Left();
    const int skinMargin = f.ClientHeight() - f.btnSkin->Top();

    f.SetClientSize(1100, 750);
    ASSERT_EQ(QSize(f.ClientWidth(), f.ClientHeight()), QSize(1100, 750));
    EXPECT_EQ(f.dCalendar->BoundsRect(), calendar);
    EXPECT_EQ(f.pnlCalendarNavigate->BoundsRect(), navigate);
    EXPECT_EQ(f.lblDate->BoundsRect(), date);
    EXPECT_EQ(f.pnlDiaryEntryMain->BoundsRect(), entry.adjusted(0, 0, 327, 224));
    EXPECT_EQ(f.MemoBody->BoundsRect(), body.adjusted(0, 0, 327, 224));
    EXPECT_EQ(f.MemoNotes->BoundsRect(), f.MemoBody->BoundsRect());
    EXPECT_EQ(f.edtTitle->BoundsRect(), title.adjusted(0, 0, 327, 0));
    EXPECT_EQ(f.ClientWidth() - f.btnExit->Left(), exitMargin) << "Exit keeps to the right edge";
    EXPECT_EQ(f.ClientHeight() - f.btnSkin->Top(), skinMargin) << "the window's commands keep to the bottom";
    f.pnlFormatting->SetVisible(true);
    ExpectTidy(f);
}

TEST_F(MainLayout, EveryButtonShowsItsPictureWhole)
{
    TfrmMain& f = Shown();
    int buttons = 0;
    for (int i = 0; i < f.ComponentCount(); ++i) {
        TComponent* c = f.Components(i);
        QSize glyph, room;
        if (auto* b = dynamic_cast<TGlyphSpeedButton*>(c)) {
            ASSERT_FALSE(b->Glyph()->Empty()) << qPrintable(b->Name());
            glyph = QSize(b->Glyph()->Width() / qMax(1, b->NumGlyphs()), b->Glyph()->Height());
            room = QSize(b->Width() - 4, b->Height() - 4);
        } else if (auto* n = dynamic_cast<TLbSpeedButton*>(c)) {
            ASSERT_NE(n->Glyph(), nullptr) << qPrintable(n->Name());
            ASSERT_FALSE(n->Glyph()->Empty()) << qPrintable(n->Name());
            glyph = QSize(n->Glyph()->Width() / qMax(1, n->NumGlyphs()), n->Glyph()->Height());
            room = QSize(n->Width() - 2, n->Height() - 2);
        } else {
            continue;
        }
        ++buttons;
        EXPECT_LE(glyph.width(), room.width()) << qPrintable(c->Name());
        EXPECT_LE(glyph.height(), room.height()) << qPrintable(c->Name());
    }
    EXPECT_EQ(buttons, 32);
    for (TImage* mark : { f.imgLocked, f.imgUnlocked, f.imgAnniv })
        EXPECT_GT(mark->Picture()->Width(), 0) << qPrintable(mark->Name());
}

TEST_F(MainLayout, FormattingBarHidesOverPlainPaperAndLeavesTheMoodShown)
{
    TfrmMain& f = Shown();
    WriteDay(f);
    EXPECT_FALSE(f.pnlFormatting->Visible()) << "shown only while the body has the focus";
    for (TControl* c : std::initializer_list<TControl*> {
             f.imgMood, f.btnPrevMood, f.btnNextMood, f.lblDateSmall, f.edtTitle, f.MemoBody }) {
        EXPECT_TRUE(c->Visible()) << qPrintable(c->Name());
        for (TWinControl* p = c->Parent(); p && p != &f; p = p->Parent()) {
            EXPECT_NE(p, f.pnlFormatting) << qPrintable(c->Name()) << " would hide with the bar";
            EXPECT_TRUE(p->Visible()) << qPrintable(c->Name());
        }
    }
    for (TGlyphSpeedButton* b : { f.btnBold, f.btnItalic, f.btnUnderline, f.btnUpFont, f.btnDownFont, f.btnLeft,
             f.btnCenter, f.btnRight, f.btnColor, f.btnPrint2, f.btnSpellCheck })
        EXPECT_EQ(b->Parent(), f.pnlFormatting) << qPrintable(b->Name());

    // The bar sits between the title row and the body; hidden, the paper
    // under it is plain.
    const QRect bar(
        f.pnlFormatting->ClientToParent(QPoint(0, 0), &f), QSize(f.pnlFormatting->Width(), f.pnlFormatting->Height()));
    const QRect title(f.edtTitle->ClientToParent(QPoint(0, 0), &f), QSize(f.edtTitle->Width(), f.edtTitle->Height()));
    const QRect body(f.MemoBody->ClientToParent(QPoint(0, 0), &f), QSize(f.MemoBody->Width(), f.MemoBody->Height()));
    EXPECT_GT(bar.top(), title.bottom());
    EXPECT_LE(bar.bottom(), body.top());
    const QImage hidden = f.RenderToBitmap()->ToImage();
    EXPECT_EQ(CountColour(hidden, bar, 0x00F2FFFF), bar.width() * bar.height());
    f.pnlFormatting->SetVisible(true);
    const QImage shown = f.RenderToBitmap()->ToImage();
    EXPECT_LT(CountColour(shown, bar, 0x00F2FFFF), bar.width() * bar.height() * 9 / 10) << "the buttons show";
    EXPECT_EQ(shown.copy(body), hidden.copy(body)) << "the body does not move";
}

TEST_F(MainLayout, BirthdayLineHasPaperUnderTheBody)
{
    TfrmMain& f = Shown();
    const int below = f.pnlDiaryEntryMain->Height() - (f.MemoBody->Top() + f.MemoBody->Height());
    EXPECT_GE(below, 22);
    EXPECT_LE(below, 30);
    // The line's dark text is drawn on the paper, never on the skin.
    const QRect paper = f.imgPaper->BoundsRect();
    const QRect line(f.MemoBody->Left(), f.MemoBody->Top() + f.MemoBody->Height() + 3, f.MemoBody->Width(), 18);
    EXPECT_TRUE(paper.contains(line));
    if (f.lblAnniversary) {
        EXPECT_TRUE(paper.contains(f.lblAnniversary->BoundsRect()));
    }
}

TEST_F(MainLayout, WhiteTextsLieOnDarkPartsOfEverySkin)
{
    TfrmMain& f = Shown();
    const std::vector<TControl*> texts = { f.lblDate, f.lblDateSmall, f.lblTitle, f.btnNew, f.btnDelete, f.btnPrint,
        f.btnExit, f.BtnToDay2, f.btnBrowse, f.BtnBirthdays, f.btnSkin, f.btnOptions, f.btnAbout };
    for (int number = 1; number <= 7; ++number) {
        f.Session().CurrentSkin = number;
        f.LoadSkin();
        const QImage skin = Background();
        ASSERT_FALSE(skin.isNull());
        for (TControl* c : texts) {
            const QRect r(c->ClientToParent(QPoint(0, 0), &f), QSize(c->Width(), c->Height()));
            EXPECT_LT(MeanLuminance(skin, r), 0.3) << "skin " << number << ": " << qPrintable(c->Name());
        }
    }
}

TEST_F(MainLayout, DateLinesHoldTheLongestDate)
{
    TfrmMain& f = Shown();
    const TFormatSettings& fs = FormatSettings();
    QString longest, shortest;
    for (int m = 0; m < 12; ++m) {
        const QString full = fs.LongMonthNames[m] + S(" 30, 2026");
        if (f.lblDate->Canvas()->TextWidth(full) > f.lblDate->Canvas()->TextWidth(longest))
            longest = full;
    }
    EXPECT_LE(f.lblDate->Canvas()->TextWidth(longest) + 2, f.lblDate->Width()) << qPrintable(longest);
    EXPECT_GE(f.lblDate->Font()->Height() * -1, 18) << "the date is the window's heading";
    const int small = f.lblDateSmall->Canvas()->TextWidth(S("Sep 30, 2026"));
    EXPECT_LE(small, f.lblDateSmall->Width());
    EXPECT_LE(f.lblDateSmall->Left() + f.lblDateSmall->Width(), f.pnlTips->Left());
}

TEST_F(MainLayout, ButtonsAndMenusRunTheirCommands)
{
    TfrmMain& f = Shown();
    const TDateTime d5 = EncodeDate(2026, 3, 5), d12 = EncodeDate(2026, 3, 12);
    DiaryDB().AddEntry(d5, S("a"), QString(), QString(), QString(), 0);
    DiaryDB().AddEntry(d12, S("b"), QString(), QString(), QString(), 0);
    f.dCalendar->SetCalendarDate(EncodeDate(2026, 3, 8));

    f.btnNextEntry2->Click();
    EXPECT_EQ(f.dCalendar->CalendarDate(), d12);
    f.btnPrevEntry2->Click();
    EXPECT_EQ(f.dCalendar->CalendarDate(), d5);
    EXPECT_EQ(f.btnPrevEntry2->Caption(), QString()) << "the arrows show their picture only";
    EXPECT_EQ(f.btnNextEntry2->Hint(), S("Goto the next entry you\r\n  have written (PgDn)"));

    f.ShowMood(16);
    f.btnNextMood->Click();
    EXPECT_EQ(f.Mood(), 0);
    f.btnPrevMood->Click();
    EXPECT_EQ(f.Mood(), 16);
    EXPECT_EQ(f.btnNextMood->Caption(), QString());

    // The calendar's menu: entries, months, today; the years stay hidden.
    TMenuItem* items = f.pmCalendar->Items();
    ASSERT_EQ(items->Count(), 8);
    const char* captions[] = { "Next Entry (PgDn)", "Previous Entry (PgUp)", "Next Month", "Previous Month",
        "Next Year", "Previous Year", "Goto: ToDay", "Calendar Options" };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(items->Items(i)->Caption(), S(captions[i]));
    EXPECT_FALSE(items->Items(4)->Visible());
    EXPECT_FALSE(items->Items(5)->Visible());
    items->Items(0)->Click();
    EXPECT_EQ(f.dCalendar->CalendarDate(), d12);
    items->Items(2)->Click();
    EXPECT_EQ(f.dCalendar->Month(), 4);
    items->Items(3)->Click();
    EXPECT_EQ(f.dCalendar->Month(), 3);
    items->Items(6)->Click();
    EXPECT_EQ(f.dCalendar->CalendarDate(), Date());
    bool optionsShown = false;
    WhenShown<TfrmCalendarOptions>(optionsShown, [](TfrmCalendarOptions& d) { d.btnCancel->Click(); });
    items->Items(7)->Click();
    EXPECT_TRUE(optionsShown) << "the calendar options dialog";

    // The picture's menu steps the mood like the arrows.
    ASSERT_EQ(f.imgMood->PopupMenu(), f.pmImage);
    ASSERT_EQ(f.pmImage->Items()->Count(), 2);
    EXPECT_EQ(f.pmImage->Items()->Items(0)->Caption(), S("Next image"));
    EXPECT_EQ(f.pmImage->Items()->Items(1)->Caption(), S("Previous image"));
    f.pmImage->Items()->Items(0)->Click();
    EXPECT_EQ(f.Mood(), 1);

    ASSERT_EQ(f.btnColor->DropDownMenu(), f.pmColors);
    const char* colours[] = { "Black", "Navy", "Maroon", "Olive", "Green", "Purple", "Teal", "Red", "Gray" };
    ASSERT_EQ(f.pmColors->Items()->Count(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(f.pmColors->Items()->Items(i)->Name(), QStringLiteral("pmiNCL%1").arg(i));
        EXPECT_EQ(f.pmColors->Items()->Items(i)->Caption(), S(colours[i]));
    }
    ASSERT_EQ(f.MemoBody->PopupMenu(), f.pmEntry);
    ASSERT_EQ(f.pmEntry->Items()->Count(), 4);
    EXPECT_EQ(f.pmEntry->Items()->Items(0), f.pmoPaste);
    EXPECT_EQ(f.pmEntry->Items()->Items(1), f.pmoShowScrollbar);
    EXPECT_TRUE(f.pmEntry->Items()->Items(2)->IsLine());
    EXPECT_EQ(f.pmEntry->Items()->Items(3), f.pmoResetEntry);
    EXPECT_EQ(f.pmoResetEntry->Caption(), S("Reset to default font"));
}

} // namespace
