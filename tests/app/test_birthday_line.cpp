// The birthday line under the editor, its links and the birthday menu.
#include "app/main_form.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "birthdays/birthday.h"
#include "birthdays/ui/bd_entry.h"
#include "birthdays/ui/birthday_keeper.h"
#include "controls/cool_edit.h"
#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/month_calendar_ex.h"
#include "controls/styled_push_button.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "minihtml/engine.h"
#include "minihtml/html_label.h"
#include "minihtml/inline_elements.h"
#include "platform/core/registry.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "resources/program_pictures.h"
#include "resources/store_items.h"
#include "support/form_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kWrapper = S("<font name=\"Arial\" size=\"8\" color=\"#000000\">");

class BirthdayLine : public BlankMainWindowFixture {
protected:
    static void Add(const char* name, int type, int y, int m, int d)
    {
        TEntry* e = BirthdayComponent().Entries()->Add();
        e->SetFullName(S(name));
        e->SetEntryType(type);
        e->SetBirthDate(EncodeDate(y, m, d));
    }
    QString Line() const { return form->lblAnniversary->Html(); }
    TMenuItem* Top(int i) const { return form->pmBirthday->Items()->Items(i); }
    bool Click(const char* href)
    {
        bool handled = false;
        form->lblAnniversary->OnLinkClicked()(form->lblAnniversary, S(href), handled);
        return handled;
    }
};

TEST_F(BirthdayLine, SitsUnderTheEditorWithTheBirthdayMenu)
{
    TQzHtmlLabel2* label = form->lblAnniversary;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Name(), S("lblAnniversary"));
    EXPECT_EQ(label->Parent(), form->MemoBody->Parent());
    EXPECT_EQ(label->Left(), form->MemoBody->Left());
    EXPECT_EQ(label->Top(), form->MemoBody->Top() + form->MemoBody->Height() + 3);
    EXPECT_EQ(label->Width(), form->MemoBody->Width());
    EXPECT_EQ(label->Anchors(), akLeft | akRight | akBottom);
    EXPECT_TRUE(label->AutoHeight());
    EXPECT_TRUE(label->Transparent());
    EXPECT_EQ(label->PopupMenu(), form->pmBirthday);
    EXPECT_EQ(form->pmBirthday->Name(), S("pmBirthday"));
    EXPECT_EQ(form->dCalendar->PopupMenu(), form->pmCalendar);
    ASSERT_EQ(form->pmBirthday->Items()->Count(), 3);
    EXPECT_EQ(Top(2)->Caption(), S("Delete entry of"));
}

TEST_F(BirthdayLine, NamesBirthdaysThenAnniversaries)
{
    Add("Anna", etBirthday, 1980, 5, 20);
    Add("Carl", etAnniversary, 2001, 5, 20);
    Add("Elsewhere", etBirthday, 1980, 5, 21);
    Add("Ben", etBirthday, 1975, 5, 20);
    Add("Dora", etAnniversary, 1999, 5, 20);
    Pick(2026, 5, 20);
    EXPECT_EQ(Line(),
        kWrapper + S("<a href=\"change\">Birthdays</a>: <font color=\"#800000\">Anna,Ben</font> ")
            + S("<a href=\"change\">Anniversaries</a>: <font color=\"#000080\">Carl,Dora</font></font>"));
    EXPECT_TRUE(form->imgAnniv->Visible());
    EXPECT_TRUE(form->lblAnniversary->Hint().isEmpty());
}

TEST_F(BirthdayLine, OnlyAnniversariesTrimmedAndEscaped)
{
    Add("  Carl  ", etAnniversary, 2001, 5, 20);
    Add(" Tom & <b>Jerry</b>", etAnniversary, 2001, 5, 20);
    Pick(2026, 5, 20);
    EXPECT_EQ(Line(),
        kWrapper + S("<a href=\"change\">Anniversaries</a>: <font color=\"#000080\">")
            + S("Carl,Tom &amp; &lt;b&gt;Jerry&lt;/b&gt;</font></font>"));
}

TEST_F(BirthdayLine, EmptyDayInvitesToAdd)
{
    Add("Anna", etBirthday, 1980, 5, 20);
    Pick(2026, 5, 20);
    EXPECT_TRUE(form->imgAnniv->Visible());
    Pick(2026, 5, 21);
    EXPECT_EQ(Line(),
        kWrapper + S("No birthdays or anniversaries on this day, click <a href=\"add\">here</a> to add some</font>"));
    EXPECT_FALSE(form->imgAnniv->Visible());
}

TEST_F(BirthdayLine, AddLinkClicksTheAddItemEvenAfterAFullDay)
{
    for (int i = 0; i < 4; ++i)
        Add("Full", etBirthday, 1980 + i, 5, 20);
    Pick(2026, 5, 20);
    form->pmBirthdayPopup(form->pmBirthday);
    ASSERT_FALSE(Top(0)->Enabled());

    Pick(2026, 5, 21);
    QList<TObject*> clicked;
    Top(0)->OnClick = [&](TObject* s) { clicked.append(s); };
    EXPECT_TRUE(Click("add"));
    EXPECT_EQ(clicked, QList<TObject*> { Top(0) });
    EXPECT_EQ(Top(0)->Caption(), S("Add entry"));
}

TEST_F(BirthdayLine, ChangeLinkOpensTheMenuForTheShownDay)
{
    Add("Anna", etBirthday, 1980, 5, 20);
    Add("Ben", etBirthday, 1975, 5, 20);
    Pick(2026, 5, 20);
    int shown = 0;
    QPoint where;
    QString second;
    SetPopupMenuHandler([&](TPopupMenu* menu, QPoint at) -> TMenuItem* {
        EXPECT_EQ(menu, form->pmBirthday);
        ++shown;
        where = at;
        second = Top(1)->Items(1)->Caption();
        return nullptr;
    });
    EXPECT_TRUE(Click("change"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(where, MouseCursorPos());
    EXPECT_EQ(second, S("Ben"));
    EXPECT_TRUE(Top(1)->Items(1)->Visible());
    EXPECT_FALSE(Top(1)->Items(2)->Visible());

    // Nothing of this line goes to the shell, not even a foreign link.
    EXPECT_TRUE(Click("http://example.com"));
    EXPECT_EQ(shown, 1);
}

// "&" in a name is no accelerator: the menu the user sees (the Qt menu the
// real pop-up builds) and the delete question show the name as typed.
TEST_F(BirthdayLine, ANameWithAnAmpersandShowsAsTyped)
{
    Add("Carl & Dora", etAnniversary, 2001, 5, 20);
    Add("R&D", etBirthday, 1999, 5, 20);
    Pick(2026, 5, 20);
    QStringList shown, mnemonics;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "the real menu did not open";
        for (QAction* head : menu->actions()) {
            if (!head->menu())
                continue;
            for (QAction* action : head->menu()->actions()) {
                // A QAction's icon text is its text as the menu displays it.
                shown << action->iconText();
                mnemonics << QKeySequence::mnemonic(action->text()).toString();
            }
        }
        menu->close();
    });
    form->pmBirthday->Popup(0, 0);
    EXPECT_EQ(shown.join(u'|').toStdString(), "Carl & Dora|R&D|Carl & Dora|R&D");
    EXPECT_EQ(mnemonics.join(QString()).toStdString(), "") << "no name underlines a letter";

    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    SetPopupMenuHandler([&](TPopupMenu*, QPoint) { return Top(2)->Items(0); });
    dialogs.AnswerMessageDlg(mrCancel);
    form->pmBirthday->Popup(0, 0);
    ASSERT_EQ(dialogs.Calls().size(), 1);
    EXPECT_EQ(dialogs.Calls().at(0).Text, S("Delete entry \"Carl & Dora\"?"));
}

TEST_F(BirthdayLine, MouseLeaveKeepsTheTextAndRedrawsIt)
{
    Pick(2026, 5, 21);
    const QString before = Line();
    form->lblAnniversary->RenderToBitmap();
    const int parses = form->lblAnniversary->ParseCount();
    form->lblAnniversary->OnMouseLeave(form->lblAnniversary);
    form->lblAnniversary->RenderToBitmap();
    EXPECT_EQ(Line(), before);
    EXPECT_EQ(form->lblAnniversary->ParseCount(), parses + 1);
}

// Days on the calendar clicked as the user does.
struct DayCells : TCPCalendar {
    static QRect Of(const TCPCalendar& c, const QString& day)
    {
        for (int row = 1; row < c.RowCount(); ++row)
            for (int col = 0; col < c.ColCount(); ++col)
                if (c.GetCellText(col, row) == day)
                    return (c.*(&DayCells::CellRect))(col, row);
        return QRect();
    }
};

TEST_F(BirthdayLine, IsDrawnOnceAlikeAfterTheStartASkinChangeDayClicksAndAHover)
{
    TfrmMain& f = *form;
    f.Show();
    // No stars: they may land on the line's dark pixels while a slow run waits
    // (a skin change starts their timer again).
    f.SparkleTimer->OnTimer = [](TObject*) {};
    Pick(2026, 5, 21);
    QWidget* entryArea = static_cast<QWidget*>(f.pnlDiaryEntryMain->Handle());
    // The line as the next paint draws it, be it the one that lays it out.
    const auto line = [&f] {
        const QRect r(f.lblAnniversary->ClientToParent(QPoint(0, 0), &f), f.lblAnniversary->BoundsRect().size());
        return f.RenderToBitmap()->ToImage().copy(r);
    };
    const auto dark = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qGray(image.pixel(x, y)) < 80;
        return n;
    };
    QApplication::processEvents();
    const QImage atStart = line();
    ASSERT_GT(dark(atStart), 0) << "the text shows";
    // Round all the skins back to the first.
    for (int i = 0; i < kStoreSkinCount; ++i)
        f.btnSkin->Click();
    QApplication::processEvents();
    EXPECT_EQ(line(), atStart) << "after the skins";
    for (const char* day : { "12", "21", "13", "21" }) {
        SCOPED_TRACE(day);
        const QRect cell = DayCells::Of(*f.dCalendar, S(day));
        ASSERT_FALSE(cell.isNull());
        QTest::mouseClick(static_cast<QWidget*>(f.dCalendar->Handle()), Qt::LeftButton, {}, cell.center());
        const QImage afterClick = line();
        EXPECT_EQ(dark(afterClick), dark(atStart));
        EXPECT_EQ(afterClick, atStart);
    }
    ASSERT_EQ(f.dCalendar->CalendarDate(), EncodeDate(2026, 5, 21));
    // Over the words before the link nothing changes.
    QTest::mouseMove(entryArea, f.lblAnniversary->ClientToParent(QPoint(20, 6), f.pnlDiaryEntryMain));
    EXPECT_EQ(dark(line()), dark(atStart)) << "hovered";
}

TEST_F(BirthdayLine, DeleteAsksAndRemovesTheEntry)
{
    Add("Anna", etBirthday, 1980, 5, 20);
    Add("Elsewhere", etBirthday, 1980, 5, 3);
    Add("Ben", etBirthday, 1975, 5, 20);
    Pick(2026, 5, 20);
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("3,20,20,0"));
    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    // The user picks "Delete entry of" > Ben.
    SetPopupMenuHandler([&](TPopupMenu*, QPoint) { return Top(2)->Items(1); });

    BirthdayComponent().Entries()->SetModified(false);
    dialogs.AnswerMessageDlg(mrCancel);
    form->pmBirthday->Popup(0, 0);
    EXPECT_EQ(BirthdayComponent().Entries()->Count(), 3);
    EXPECT_FALSE(BirthdayComponent().Entries()->Modified());

    dialogs.AnswerMessageDlg(mrOk);
    form->pmBirthday->Popup(0, 0);
    ASSERT_EQ(BirthdayComponent().Entries()->Count(), 2);
    EXPECT_EQ(BirthdayComponent().Entries()->Items(0)->FullName(), S("Anna"));
    EXPECT_EQ(BirthdayComponent().Entries()->Items(1)->FullName(), S("Elsewhere"));
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("3,20,0"));
    EXPECT_TRUE(Line().contains(S(">Anna</font>")));

    ASSERT_EQ(dialogs.Calls().size(), 2);
    const TDialogCall& call = dialogs.Calls().at(1);
    EXPECT_EQ(call.Kind, TDialogKind::MessageDlg);
    EXPECT_EQ(call.Text, S("Delete entry \"Ben\"?"));
    EXPECT_EQ(call.DlgType, mtWarning);
    EXPECT_EQ(call.Buttons, mbOKCancel);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);

    // The last entry of the day gone, the line invites to add one.
    SetPopupMenuHandler([&](TPopupMenu*, QPoint) { return Top(2)->Items(0); });
    dialogs.AnswerMessageDlg(mrOk);
    form->pmBirthday->Popup(0, 0);
    EXPECT_EQ(BirthdayComponent().Entries()->Count(), 1);
    EXPECT_FALSE(form->imgAnniv->Visible());
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("3,0"));
}

// The entry dialog as the user fills it: a name, and OK or Cancel.
void FillEntryDialog(bool& seen, const QString& name, bool ok)
{
    WhenShown<TFrmBDEntry>(seen, [name, ok](TFrmBDEntry& d) {
        d.edtFullName->SetText(name);
        if (ok)
            d.btnOkClick(d.BtnOk);
        else
            d.btnCancelClick(d.BtnCancel);
    });
}

TEST_F(BirthdayLine, HereAddsAnEntryOfTheDayAndTheLineAndCalendarFollow)
{
    Add("Elsewhere", etBirthday, 1980, 5, 3);
    Pick(2026, 5, 20);
    ASSERT_EQ(form->dCalendar->SpecialDays(), S("3,0"));
    BirthdayComponent().Entries()->SetModified(false);

    bool seen = false;
    FillEntryDialog(seen, S("Nobody"), false); // cancelled: nothing changes
    EXPECT_TRUE(Click("add"));
    EXPECT_TRUE(seen);
    EXPECT_EQ(BirthdayComponent().Entries()->Count(), 1);
    EXPECT_FALSE(BirthdayComponent().Entries()->Modified());

    seen = false;
    FillEntryDialog(seen, S(" Tom & <b>\"Jerry\"</b> "), true);
    EXPECT_TRUE(Click("add"));
    EXPECT_TRUE(seen);
    ASSERT_EQ(BirthdayComponent().Entries()->Count(), 2);
    const TEntry* added = BirthdayComponent().Entries()->Items(1);
    EXPECT_EQ(added->FullName(), S("Tom & <b>\"Jerry\"</b>"));
    EXPECT_EQ(added->BirthDate(), EncodeDate(1004, 5, 20)); // no year chosen
    EXPECT_EQ(added->EntryType(), etBirthday);
    EXPECT_TRUE(BirthdayComponent().Entries()->Modified());
    EXPECT_EQ(Line(),
        kWrapper + S("<a href=\"change\">Birthdays</a>: <font color=\"#800000\">")
            + S("Tom &amp; &lt;b&gt;\"Jerry\"&lt;/b&gt;</font></font>"));
    // The label shows the name as typed (each word an element of its own).
    form->lblAnniversary->RenderToBitmap();
    QString shown;
    for (int i = 0; i < form->lblAnniversary->Engine()->TagCount(); ++i)
        if (auto* text = dynamic_cast<aText*>(form->lblAnniversary->Engine()->Tags(i)))
            shown += text->Text;
    EXPECT_TRUE(shown.contains(S("Tom&<b>\"Jerry\"</b>"))) << shown.toStdString();
    EXPECT_TRUE(form->imgAnniv->Visible());
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("3,20,0"));
}

TEST_F(BirthdayLine, ViewModifyChangesTheChosenEntryAndTheLineFollows)
{
    Add("Anna", etBirthday, 1980, 5, 20);
    Add("Ben", etBirthday, 1975, 5, 20);
    Pick(2026, 5, 20);
    // The user picks "View/Modify entry of" > Ben and renames him.
    SetPopupMenuHandler([&](TPopupMenu*, QPoint) { return Top(1)->Items(1); });
    BirthdayComponent().Entries()->SetModified(false);
    bool seen = false;
    FillEntryDialog(seen, S("Benjamin"), true);
    form->pmBirthday->Popup(0, 0);
    EXPECT_TRUE(seen);
    const TEntry* ben = BirthdayComponent().Entries()->Items(1);
    EXPECT_EQ(ben->FullName(), S("Benjamin"));
    EXPECT_EQ(ben->BirthDate(), EncodeDate(1975, 5, 20));
    EXPECT_TRUE(BirthdayComponent().Entries()->Modified());
    EXPECT_TRUE(Line().contains(S(">Anna,Benjamin</font>")));

    // Moved to another day, the entry's marks and line move with it.
    seen = false;
    WhenShown<TFrmBDEntry>(seen, [](TFrmBDEntry& d) {
        d.cbDay->SetItemIndex(6);
        d.btnOkClick(d.BtnOk);
    });
    form->pmBirthday->Popup(0, 0);
    EXPECT_TRUE(seen);
    EXPECT_EQ(ben->BirthDate(), EncodeDate(1975, 5, 7));
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("7,20,0"));
    EXPECT_TRUE(Line().contains(S(">Anna</font>")));
}

} // namespace

TEST_F(BirthdayLine, BirthdaysButtonRunsTheKeeperOnTheFileAndShowsWhatItLeft)
{
    form->Session().DiaryOpened = true;
    form->Session().BirthdayFileName = dir.filePath(S("diary.dra"));
    Add("Anna", etBirthday, 1980, 5, 3);
    Pick(2026, 5, 20);
    ASSERT_TRUE(BirthdayComponent().Entries()->Modified());
    bool seen = false;
    OnShown<TfrmBDMain>([&](TfrmBDMain& keeper) {
        seen = true;
        // The pending change was written before the keeper opened.
        EXPECT_TRUE(QFile::exists(form->Session().BirthdayFileName));
        EXPECT_EQ(keeper.CPCalendar->CalendarDate(), EncodeDate(2026, 5, 20));
        EXPECT_EQ(keeper.sDataFileName, form->Session().BirthdayFileName);
        AddBirthday(S("Zoe"), EncodeDate(1004, 5, 20));
        keeper.btnExit->Click();
    });
    form->BtnBirthdays->Click();
    EXPECT_TRUE(seen);
    // The keeper wrote the file, the window read it back and shows the day.
    EXPECT_FALSE(BirthdayComponent().Entries()->Modified());
    EXPECT_EQ(BirthdayComponent().Entries()->Count(), 2);
    EXPECT_TRUE(Line().contains(S("Zoe")));
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("3,20,0"));
    EXPECT_FALSE(bool(BirthdayComponent().Entries()->OnModification));
}
