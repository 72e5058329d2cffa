#include "app/info_form.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "controls/dropdown_button.h"
#include "controls/page_control.h"
#include "engine/personal_info.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "resources/store_items.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class InfoPage : public MainWindowFixture {
protected:
    // The main window on its information page.
    TfrmInfo& Page()
    {
        TfrmMain& f = Create();
        f.SetMode(mdInfo);
        EXPECT_NE(f.frmInfo, nullptr);
        return *f.frmInfo;
    }
    // Keys as the field's widget receives them from the user.
    static void Type(TControl* field, const QString& text)
    {
        QWidget* target = static_cast<TWinControl*>(field)->Handle();
        for (QChar c : text) {
            const int key = c == u'\r' ? int(Qt::Key_Return) : int(c.toUpper().unicode());
            const QString typed = c == u'\r' ? QString() : QString(c);
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
            QApplication::sendEvent(target, &release);
        }
    }
    static QList<TCustomEdit*> Fields(const TfrmInfo& info)
    {
        QList<TCustomEdit*> fields;
        for (int i = 0; i < info.ComponentCount(); ++i)
            if (auto* e = dynamic_cast<TCustomEdit*>(info.Components(i)))
                fields.append(e);
        return fields;
    }
};

TEST_F(InfoPage, PanelFillsTheMainWindowsPageWithItsHeaderTabsAndFields)
{
    TfrmInfo& info = Page();
    TfrmMain& f = *form;
    EXPECT_EQ(info.pnlInfoRel->Parent(), f.pnlInfo);
    EXPECT_EQ(info.pnlInfoRel->BoundsRect(), QRect(0, 0, f.pnlInfo->Width(), f.pnlInfo->Height()));
    EXPECT_TRUE(f.pnlInfo->Visible());
    EXPECT_FALSE(f.btnSkin->Visible()) << "the page covers the commands under the calendar";
    EXPECT_EQ(info.pnlHeader->Height(), 34);
    EXPECT_EQ(info.lblHeader->Caption(), S("Safe Personal Information Keeper..."));
    EXPECT_FALSE(info.pgctrlInfo->Borders());
    ASSERT_EQ(info.tsInfo->Tabs()->Count(), 3);
    EXPECT_EQ(info.tsInfo->Tabs()->Strings(0), S(" My Basic Info "));
    EXPECT_EQ(info.tsInfo->Tabs()->Strings(1), S(" Important Records"));
    EXPECT_EQ(info.tsInfo->Tabs()->Strings(2), S(" Emergency contacts "));
    EXPECT_EQ(info.pgctrlInfo->ActivePageIndex(), 0);
    info.tsInfo->SetTabIndex(1);
    EXPECT_EQ(info.pgctrlInfo->ActivePage(), info.tsRecords);
    info.tsInfo->SetTabIndex(2);
    EXPECT_EQ(info.pgctrlInfo->ActivePage(), info.tsContacts);

    // Every field lies on its page, under its own caption.
    const QList<TCustomEdit*> fields = Fields(info);
    ASSERT_EQ(fields.size(), 18);
    for (TCustomEdit* field : fields) {
        const auto* label = dynamic_cast<const TControl*>(info.FindComponent(S("lbl") + field->Name()));
        ASSERT_NE(label, nullptr) << qPrintable(field->Name());
        EXPECT_EQ(label->Parent(), field->Parent());
        EXPECT_TRUE(QRect(0, 0, 737, 412).contains(field->BoundsRect())) << qPrintable(field->Name());
        EXPECT_EQ(field->BorderStyle(), bsNone);
    }

    // The page over the skin, kept beside the test binary to be looked at.
    f.FormActivate(nullptr);
    info.tsInfo->SetTabIndex(0);
    info.edtFullName->SetText(S("Anna Example"));
    info.memoAddress->SetText(S("12 Oak Lane\r\nSpringfield"));
    info.edtPersonalEmail1->SetText(S("anna@example.org"));
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(S("info_page.png"));
    EXPECT_TRUE(f.RenderToBitmap()->ToImage().save(path));
}

// A field shows where to type: it differs from the page around it by at
// least this much, summed over red, green and blue (white on the cream
// paper is 13).
constexpr int kVisibleDifference = 48;
// Room between a caption and its field.
constexpr int kCaptionGap = 4;

int Difference(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

TEST_F(InfoPage, EveryFieldStandsOutFromThePageAndClearsEveryCaption)
{
    TfrmInfo& info = Page();
    const struct {
        int tab;
        TTabSheet* page;
    } pages[] = { { 0, info.tsBasic }, { 1, info.tsRecords } };
    for (const auto& p : pages) {
        SCOPED_TRACE(qPrintable(p.page->Name()));
        QList<TControl*> fields, labels;
        for (int i = 0; i < p.page->ControlCount(); ++i) {
            TControl* c = p.page->Controls(i);
            (dynamic_cast<TCustomEdit*>(c) ? fields : labels).append(c);
        }
        ASSERT_FALSE(fields.isEmpty());
        for (TControl* field : fields) {
            const auto* own = dynamic_cast<const TControl*>(info.FindComponent(S("lbl") + field->Name()));
            ASSERT_NE(own, nullptr);
            EXPECT_LE(own->Left() + own->Width() + kCaptionGap, field->Left()) << qPrintable(own->Caption());
            for (const TControl* label : labels)
                EXPECT_FALSE(label->BoundsRect().intersects(field->BoundsRect()))
                    << qPrintable(label->Caption()) << " over " << qPrintable(field->Name());
        }
        // Whatever skin the window shows around the page.
        for (int skin = 1; skin <= kStoreSkinCount; ++skin) {
            SCOPED_TRACE(skin);
            form->Session().CurrentSkin = skin;
            form->LoadSkin();
            info.tsInfo->SetTabIndex(p.tab);
            const QImage image = p.page->RenderToBitmap()->ToImage();
            for (const TControl* field : fields) {
                const QRect r = field->BoundsRect();
                // An empty field's inside, and the page just above it.
                const QRgb inside = image.pixel(r.left() + 2, r.top() + 1);
                const QRgb page = image.pixel(r.center().x(), r.top() - 3);
                EXPECT_GE(Difference(inside, page), kVisibleDifference) << qPrintable(field->Name());
            }
        }
    }
}

TEST_F(InfoPage, ShowsTheDiarysValuesAndNothingElse)
{
    DiaryDB().Info()->UpdateItemByName(S("edtMobile"), S("0170 555 12"));
    TfrmInfo& info = Page();
    for (TCustomEdit* field : Fields(info))
        EXPECT_EQ(field->Text(), field == info.edtMobile ? S("0170 555 12") : QString()) << qPrintable(field->Name());
    EXPECT_FALSE(info.ContentModified()) << "loading is no edit";
    Type(info.edtFullName, S("a"));
    EXPECT_TRUE(info.ContentModified());
}

TEST_F(InfoPage, EditsAreStoredWhenLeavingThePageExitingOrClosing)
{
    struct Case {
        const char* name;
        void (*leave)(TfrmMain&);
    } cases[] = {
        { "back to the diary page", [](TfrmMain& f) { f.SetMode(mdDiary); } },
        { "Exit", [](TfrmMain& f) { f.btnExitClick(nullptr); } },
        { "a close of the window manager",
            [](TfrmMain& f) {
                TCloseAction action = caHide;
                f.FormClose(nullptr, action);
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        FreeDiaryDB();
        TfrmInfo& info = Page();
        DiaryDB().Modified = false;
        Type(info.edtNickName, S("bo"));
        c.leave(*form);
        EXPECT_EQ(DiaryDB().Info()->GetItemByName(S("edtNickName")), S("bo"));
        EXPECT_EQ(DiaryDB().Info()->GetItemByName(S("edtFullName")), QString());
        EXPECT_TRUE(DiaryDB().Modified);
    }
    // Saving marks the diary modified even when nothing changed.
    DiaryDB().Modified = false;
    form->frmInfo->SaveControlValues();
    EXPECT_TRUE(DiaryDB().Modified);
}

TEST_F(InfoPage, AMultiLineAddressComesBackFromTheDiaryFileAtTheNextStart)
{
    const QString file = dir.filePath(S("mine.dry"));
    {
        TfrmInfo& info = Page();
        Type(info.memoAddress, S("12 oak lane\rspringfield"));
        form->SetMode(mdDiary);
        // A record of a field the window no longer has is dropped.
        DiaryDB().Info()->UpdateItemByName(S("edtGone"), S("x"));
        info.SaveControlValues();
        EXPECT_EQ(DiaryDB().Info()->GetItemByName(S("edtGone")), QString());
        DiaryDB().Diary()->SetPassword(S("pw"));
        DiaryDB().SaveToFile(file, true);
        form.reset();
    }
    FreeDiaryDB();
    ASSERT_EQ(DiaryDB().LoadFromFile(file, true, S("pw")), 0);
    TfrmInfo& info = Page();
    EXPECT_EQ(info.memoAddress->Text(), S("12 oak lane\r\nspringfield"));
    EXPECT_EQ(info.memoAddress->Lines()->Count(), 2);
    EXPECT_FALSE(info.ContentModified());
}

TEST_F(InfoPage, AReplacedDiaryIsShownAndNeverGetsTheOldOnesEdits)
{
    TfrmInfo& info = Page();
    Type(info.edtFullName, S("ann"));
    // Another diary takes the place of this one, as a restore does.
    DiaryDB().Info()->Clear();
    DiaryDB().Info()->UpdateItemByName(S("edtNickName"), S("Bo"));
    form->DiaryReplaced();
    EXPECT_EQ(info.edtFullName->Text(), QString());
    EXPECT_EQ(info.edtNickName->Text(), S("Bo"));
    EXPECT_FALSE(info.ContentModified());
    form->SetMode(mdDiary);
    EXPECT_EQ(DiaryDB().Info()->GetItemByName(S("edtFullName")), QString());
    EXPECT_EQ(DiaryDB().Info()->Count(), 1) << "nothing was stored into the new diary";
    EXPECT_TRUE(form->btnSkin->Visible());
}

} // namespace
