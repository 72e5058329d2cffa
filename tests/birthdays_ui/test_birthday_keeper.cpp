// The birthday keeper: running it on a birthday file, its calendar cells and
// month summary, the day's menu on a full day, backup and restore through
// *.bbk files (a damaged one included), and clearing the list.
#include "birthdays/ui/birthday_keeper.h"
#include "platform/core/sysutils.h"

#include "support/copy_data_sender.h"
#include "support/form_fixture.h"

#include "birthdays/birthday.h"
#include "birthdays/month_summary.h"
#include "birthdays/ui/bd_entry.h"
#include "controls/cool_edit.h"
#include "controls/month_calendar_ex.h"
#include "controls/shadow_label.h"
#include "controls/styled_push_button.h"
#include "controls/styled_speed_button.h"
#include "minihtml/html_label.h"
#include "platform/core/registry.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "resources/program_pictures.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <functional>

#include <gtest/gtest.h>

namespace {

TEntries* Entries()
{
    return BirthdayComponent().Entries();
}

void AddEntry(const QString& name, int y, int m, int d, int type = etBirthday)
{
    TEntry* e = Entries()->Add();
    e->SetFullName(name);
    e->SetBirthDate(EncodeDate(y, m, d));
    e->SetEntryType(type);
}

QStringList Names()
{
    QStringList names;
    for (int i = 0; i < Entries()->Count(); ++i)
        names.append(Entries()->Items(i)->FullName());
    return names;
}

class Keeper : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        SetRegistryFileForTesting(dir.filePath(S("registry.ini")));
        RegisterProgramPictures();
        FreeBirthdayComponent();
        SetClock([] { return EncodeDate(2026, 3, 15) + 0.5; });
        SetDialogService(&dialogs);
        file = dir.filePath(S("diary.dra"));
    }
    void TearDown() override
    {
        delete keeper;
        keeper = nullptr;
        SetDialogService(nullptr);
        SetClock({});
        FreeBirthdayComponent();
        SetRegistryFileForTesting(QString());
        FormFixture::TearDown();
    }

    // A keeper on the birthday file as Execute sets it up, without its loop.
    TfrmBDMain& Open(TDateTime date = EncodeDate(2026, 3, 10))
    {
        keeper = new TfrmBDMain(nullptr);
        keeper->sDataFileName = file;
        keeper->CPCalendar->SetCalendarDate(date);
        keeper->FormActivate(keeper);
        return *keeper;
    }
    const TDialogCall& LastCall() const { return dialogs.Calls().constLast(); }

    QTemporaryDir dir;
    QString file;
    TScriptedDialogService dialogs;
    TfrmBDMain* keeper = nullptr;
};

TEST_F(Keeper, ExecuteShowsTheMonthOfTheDateAndWritesTheFileOnlyWhenChanged)
{
    AddEntry(S("Anna"), 1980, 3, 3);
    AddEntry(S("Tom & <b>Jerry</b>"), 1004, 3, 21, etAnniversary);
    AddEntry(S("Bob"), 1990, 3, 3);
    AddEntry(S("Elsewhere"), 1970, 7, 1);
    BirthdayComponent().SaveToFile(file);
    const QByteArray stored = BirthdayComponent().SaveToBytes();
    FreeBirthdayComponent(); // the keeper loads the file itself

    for (const bool change : { false, true }) {
        SCOPED_TRACE(change ? "changed" : "unchanged");
        bool seen = false;
        WhenShown<TfrmBDMain>(seen, [&](TfrmBDMain& k) {
            EXPECT_EQ(Entries()->Count(), 4);
            EXPECT_EQ(k.Caption(), S(" BirthDay Keeper"));
            EXPECT_EQ(k.CPCalendar->Month(), 3);
            EXPECT_EQ(k.CPCalendar->Day(), 10);
            EXPECT_EQ(k.lblMonth->Caption(), S("March 2026"));
            EXPECT_EQ(k.CPCalendar->SpecialDays(), S("3,3,21,"));
            EXPECT_EQ(k.QzHtmlLabel->Html(), BuildMonthSummaryHtml(Entries()->GetEntriesOfMonth(3)));
            EXPECT_TRUE(k.QzHtmlLabel->Html().contains(S("Tom &amp; &lt;b&gt;Jerry&lt;/b&gt;")));
            EXPECT_EQ(k.lblStatusTotalEntries->Caption(), S("3/4"));
            EXPECT_FALSE(k.lblStatusTotalEntries->Visible());
            EXPECT_FALSE(k.btnAbout->Visible());
            EXPECT_EQ(k.btnToday->Left(), 593);
            EXPECT_EQ(k.btnTools->Left(), 657);
            EXPECT_EQ(k.BorderIcons() & biMinimize, 0u);
            EXPECT_TRUE(bool(Entries()->OnModification));
            QFile::remove(file);
            if (change)
                AddEntry(S("Carl"), 1985, 3, 21);
            k.btnExit->Click();
        });
        TfrmBDMain::Execute(nullptr, file, EncodeDate(2026, 3, 10), QString(), 0);
        EXPECT_TRUE(seen);
        EXPECT_FALSE(bool(Entries()->OnModification));
        EXPECT_EQ(QFile::exists(file), change);
        if (!change) {
            EXPECT_FALSE(Entries()->Modified());
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(stored);
        }
    }
    FreeBirthdayComponent();
    ASSERT_NO_THROW(BirthdayComponent().LoadFromFile(file));
    EXPECT_EQ(Names(), (QStringList { S("Anna"), S("Tom & <b>Jerry</b>"), S("Bob"), S("Elsewhere"), S("Carl") }));
}

TEST_F(Keeper, CellsListTheDaysNamesClippedWithThreeDotsForTheRest)
{
    for (const char* name : { "Anna", "Ben", "Carl", "Dora" })
        AddEntry(S(name), 1980, 3, 3);
    AddEntry(S("A name far too long to fit in the cell of its day at all"), 1980, 3, 20);
    TfrmBDMain& k = Open(EncodeDate(2026, 3, 10));
    k.SetBorderStyle(bsNone);
    TCPCalendarEx* cal = k.CPCalendar;
    const QImage image = Render(cal);
    const QRect full = cal->CellRect(2, 1); // 3 March 2026, a Tuesday
    const QRect lone = cal->CellRect(5, 3); // 20 March
    ASSERT_EQ(cal->GetCellDate(2, 1), EncodeDate(2026, 3, 3));
    ASSERT_EQ(cal->GetCellDate(5, 3), EncodeDate(2026, 3, 20));
    const int c = cal->CellBorder();
    const int left = full.left() + 2 * c - 2;

    // Line under the day number, the names' area, the past day's stroke.
    EXPECT_EQ(Px(image, full.left() + 60, full.top() + 18), Rgb(0xC0C0C0));
    EXPECT_EQ(Px(image, full.right() - 1, full.bottom() - 1), Rgb(0xF0F8F8));
    EXPECT_GT(Count(image, QRect(full.right() - 65, full.top() + 5, 21, 9), 0xB0B0B0), 0);
    EXPECT_EQ(Count(image, QRect(lone.right() - 65, lone.top() + 5, 21, 9), 0xB0B0B0), 0); // not yet past

    // Three names fit in a 64-pixel cell: the dots stand two pixels high
    // under the third, and nothing of the fourth is drawn.
    int dotsRow = -1;
    for (int y = full.top() + 19; y < full.bottom() && dotsRow < 0; ++y)
        if (Px(image, left + 2, y) == Rgb(0x800000) && Px(image, left + 5, y) == Rgb(0x800000)
            && Px(image, left + 8, y) == Rgb(0x800000) && Px(image, left + 3, y) != Rgb(0x800000)
            && Px(image, left + 2, y + 1) == Rgb(0x800000) && Px(image, left + 8, y + 1) == Rgb(0x800000))
            dotsRow = y;
    ASSERT_GT(dotsRow, full.top() + 40);
    EXPECT_EQ(Count(image, QRect(full.left(), dotsRow + 2, full.width(), full.bottom() - dotsRow - 1), 0x800000), 0);

    // A long name stops at the clip rectangle's right edge.
    const int clipRight = lone.left() + lone.width() - c - 2;
    const QRect names(lone.left(), lone.top() + 19, lone.width(), 20);
    const QRect beyond(clipRight, lone.top() + 19, lone.right() - clipRight + 1, 20);
    EXPECT_GT(names.width() * names.height() - Count(image, names, 0xF0F8F8), 100);
    EXPECT_EQ(Count(image, beyond, 0xF0F8F8), beyond.width() * beyond.height());

    // The selected day's names are red.
    cal->SetDay(3);
    const QImage selected = Render(cal);
    EXPECT_EQ(Count(selected, full.adjusted(0, 19, 0, 0), 0x800000), 0);
    EXPECT_GT(Count(selected, full.adjusted(0, 19, 0, 0), 0x0000FF), 0);
}

TEST_F(Keeper, AFullDayOffersNoFifthEntryAndNamesOnlyFour)
{
    for (const char* name : { "Anna", "Ben", "R&D", "Dora", "Eve" })
        AddEntry(S(name), 1980, 3, 3);
    TfrmBDMain& k = Open(EncodeDate(2026, 3, 3));
    k.pmCalendarPopup(k.pmCalendar);
    EXPECT_FALSE(k.pmoAddEntry->Enabled());
    EXPECT_EQ(k.pmoAddEntry->Caption(), S("Add More Entries"));
    ASSERT_EQ(k.pmoEditEntry->Count(), 4);
    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(k.pmoDeleteEntry->Items(i)->Visible());
        EXPECT_EQ(k.pmoDeleteEntry->Items(i)->Tag(), i);
        shown.append(k.pmoEditEntry->Items(i)->Caption());
    }
    EXPECT_EQ(shown, (QStringList { S("Anna"), S("Ben"), S("R&&D"), S("Dora") }));

    // Even clicked, the add command leaves a full day alone.
    Entries()->Delete(4); // four left
    k.pmCalendarPopup(k.pmCalendar);
    EXPECT_FALSE(k.pmoAddEntry->Enabled());
    bool asked = false;
    WhenShown<TFrmBDEntry>(asked, [](TFrmBDEntry& d) { d.btnCancelClick(d.BtnCancel); });
    k.pmoAddEntryClick(k.pmoAddEntry);
    QApplication::processEvents();
    EXPECT_FALSE(asked);
    EXPECT_EQ(Entries()->Count(), 4);

    dialogs.AnswerMessageDlg(mrOk);
    k.pmDeleteEntriesByTagClick(k.pmoDeleteEntry->Items(2));
    EXPECT_EQ(LastCall().Text, S("Delete entry \"R&D\"?"));
    EXPECT_EQ(Names(), (QStringList { S("Anna"), S("Ben"), S("Dora") }));
    k.pmCalendarPopup(k.pmCalendar);
    EXPECT_TRUE(k.pmoAddEntry->Enabled());
    EXPECT_FALSE(k.pmoEditEntry->Items(3)->Visible());
    k.CPCalendar->SetDay(4);
    k.pmCalendarPopup(k.pmCalendar);
    EXPECT_EQ(k.pmoAddEntry->Caption(), S("Add Entry"));
    EXPECT_FALSE(k.pmoEditEntry->Enabled());
}

TEST_F(Keeper, AddAndEditGoThroughTheEntryDialogAndMoveToTheEntrysDay)
{
    AddEntry(S("Anna"), 1980, 4, 9);
    TfrmBDMain& k = Open(EncodeDate(2026, 3, 3));
    bool seen = false;
    WhenShown<TFrmBDEntry>(seen, [](TFrmBDEntry& d) {
        d.edtFullName->SetText(S("Ben & <i>Co</i>"));
        d.btnOkClick(d.BtnOk);
    });
    k.pmoAddEntryClick(k.pmoAddEntry);
    ASSERT_TRUE(seen);
    ASSERT_EQ(Entries()->Count(), 2);
    EXPECT_EQ(Entries()->Items(1)->BirthDate(), EncodeDate(1004, 3, 3));
    EXPECT_EQ(k.CPCalendar->SpecialDays(), S("3,"));
    EXPECT_TRUE(k.QzHtmlLabel->Html().contains(S("Ben &amp; &lt;i&gt;Co&lt;/i&gt;")));

    // Moving Ben to 9 April shows April with both entries.
    seen = false;
    WhenShown<TFrmBDEntry>(seen, [](TFrmBDEntry& d) {
        d.cbMonth->SetItemIndex(3);
        d.cbDay->SetItemIndex(8);
        d.btnOkClick(d.BtnOk);
    });
    k.pmCalendarPopup(k.pmCalendar);
    k.pmoEditEntry->Items(0)->Click();
    ASSERT_TRUE(seen);
    EXPECT_EQ(k.CPCalendar->CalendarDate(), EncodeDate(2026, 4, 9));
    EXPECT_EQ(k.CPCalendar->SpecialDays(), S("9,9,"));
    EXPECT_EQ(k.lblMonth->Caption(), S("April 2026"));

    // A double click on a day with two entries opens the day's menu instead.
    QList<TPopupMenu*> popped;
    SetPopupMenuHandler([&](TPopupMenu* m, QPoint) {
        popped.append(m);
        return nullptr;
    });
    seen = false;
    WhenShown<TFrmBDEntry>(seen, [](TFrmBDEntry& d) { d.btnCancelClick(d.BtnCancel); });
    k.CPCalendarDblClick(k.CPCalendar);
    QApplication::processEvents();
    SetPopupMenuHandler({});
    EXPECT_FALSE(seen);
    EXPECT_EQ(popped, QList<TPopupMenu*> { k.pmCalendar });
}

TEST_F(Keeper, AnEntrysDayTheShownYearLacksShowsTheFirst)
{
    const struct {
        const char* name;
        TDateTime shown;
        TDateTime expected;
    } cases[] = {
        { "the same month", EncodeDate(2023, 2, 15), EncodeDate(2023, 2, 1) },
        { "another month", EncodeDate(2023, 5, 15), EncodeDate(2023, 2, 1) },
        { "a leap year", EncodeDate(2024, 2, 15), EncodeDate(2024, 2, 29) },
    };
    AddEntry(S("Ben"), 1004, 2, 29);
    TfrmBDMain& k = Open();
    for (const auto& c : cases) {
        k.CPCalendar->SetCalendarDate(c.shown);
        k.ShowEntryDay(Entries()->Items(0));
        EXPECT_EQ(k.CPCalendar->CalendarDate(), c.expected) << c.name;
    }
}

TEST_F(Keeper, BackupThenRestoreGivesTheListBackAndAsksBeforeOverwriting)
{
    AddEntry(S("Anna"), 1980, 3, 3);
    AddEntry(S("Ben"), 1004, 2, 29, etAnniversary);
    TfrmBDMain& k = Open();
    Entries()->SetModified(false);
    const QString backup = dir.filePath(S("saved.bbk"));
    dialogs.AnswerSaveFile(backup);
    dialogs.AnswerMessageDlg(mrOk);
    k.pmoBackupClick(k.pmoBackup);
    ASSERT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(dialogs.Calls().at(0).File.Title, S("Backup to a birthday file..."));
    EXPECT_EQ(dialogs.Calls().at(0).File.Filter, S("Diary Backup Files|*.bbk"));
    EXPECT_EQ(dialogs.Calls().at(0).File.FileName, S("entries.bbk"));
    EXPECT_EQ(
        dialogs.Calls().at(1).Text, S("Backup was successful, 2 entries were \r\nbacked up to file \"saved.bbk\""));
    EXPECT_TRUE(Entries()->Modified()); // the birthday file is rewritten on closing
    const QByteArray image = BirthdayComponent().SaveToBytes();

    // Over a list with entries the user is asked first; Cancel keeps it.
    Entries()->Clear();
    AddEntry(S("Other"), 1999, 3, 9);
    dialogs.Clear();
    dialogs.AnswerOpenFile(backup);
    dialogs.AnswerMessageDlg(mrCancel);
    k.pmoRestoreClick(k.pmoRestore);
    EXPECT_EQ(dialogs.Calls().at(1).Text, S("This will overwrite all your current entries. Are you sure?"));
    EXPECT_EQ(Names(), QStringList { S("Other") });

    dialogs.AnswerOpenFile(backup);
    dialogs.AnswerMessageDlg(mrOk);
    dialogs.AnswerMessageDlg(mrOk);
    k.pmoRestoreClick(k.pmoRestore);
    EXPECT_EQ(LastCall().Text, S("Restore was successful, 2 entries were restored"));
    EXPECT_EQ(BirthdayComponent().SaveToBytes(), image);
    EXPECT_TRUE(Entries()->Modified());
    EXPECT_EQ(k.CPCalendar->SpecialDays(), S("3,"));

    // An empty list is restored into without a question.
    Entries()->Clear();
    dialogs.Clear();
    dialogs.AnswerOpenFile(backup);
    dialogs.AnswerMessageDlg(mrOk);
    k.pmoRestoreClick(k.pmoRestore);
    ASSERT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(dialogs.Calls().at(1).DlgType, mtInformation);
    EXPECT_EQ(Names(), (QStringList { S("Anna"), S("Ben") }));
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
}

TEST_F(Keeper, ADamagedBackupKeepsTheListAndTheWindow)
{
    AddEntry(S("Anna"), 1980, 3, 3);
    AddEntry(S("Ben"), 1990, 3, 4);
    const QString good = dir.filePath(S("good.bbk"));
    TEntries* entries = Entries();
    AddEntry(S("Stored"), 1970, 1, 1);
    BirthdayComponent().SaveToFile(good);
    entries->Delete(2);
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    in.close();

    TfrmBDMain& k = Open();
    k.Show();
    entries->SetModified(false);
    const QByteArray before = BirthdayComponent().SaveToBytes();
    const struct {
        const char* name;
        QByteArray content;
        const char* reason; // what the message says after its first lines
    } damaged[] = {
        { "cut.bbk", bytes.left(bytes.size() - 9), "Stream read error" }, // breaks after its first item
        { "junk.bbk", QByteArray("not a birthday file at all"), "Invalid stream format" },
        { "missing.bbk", QByteArray(), "Cannot open file" },
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.name);
        const QString path = dir.filePath(S(d.name));
        if (!d.content.isEmpty()) {
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(d.content);
        }
        dialogs.Clear();
        dialogs.AnswerOpenFile(path);
        dialogs.AnswerMessageDlg(mrOk);
        dialogs.AnswerMessageDlg(mrOk);
        k.pmoRestoreClick(k.pmoRestore);
        ASSERT_EQ(dialogs.Calls().size(), 3);
        EXPECT_EQ(LastCall().DlgType, mtError);
        EXPECT_TRUE(LastCall().Text.startsWith(S("The restore operation has failed.")));
        EXPECT_TRUE(LastCall().Text.contains(S("were kept as they were.\r\n\r\n")));
        EXPECT_TRUE(LastCall().Text.contains(S(d.reason))) << LastCall().Text.toStdString();
        EXPECT_EQ(BirthdayComponent().SaveToBytes(), before);
        EXPECT_FALSE(entries->Modified());
        EXPECT_TRUE(k.Visible());
        EXPECT_EQ(k.ModalResult(), mrNone);
    }
}

// Clicks as the window system delivers them: Tools, a command of its menu,
// OK on the message the command ends with, then Close, which closes at once.
TEST_F(Keeper, TheFirstClickAfterAToolsMessageReachesItsControl)
{
    AddEntry(S("Anna"), 1980, 3, 3);
    const QString junk = dir.filePath(S("junk.bbk"));
    {
        QFile out(junk);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("not a birthday file");
    }
    const struct {
        const char* command;
        std::function<void()> answer;
        int calls;
    } cases[] = {
        { "Backup all Entries to File",
            [&] {
                dialogs.AnswerSaveFile(dir.filePath(S("saved.bbk")));
                dialogs.AnswerMessageDlg(mrOk);
            },
            2 },
        { "Restore all Entries from file",
            [&] {
                dialogs.AnswerOpenFile(junk);
                dialogs.AnswerMessageDlg(mrOk); // overwrite the list
                dialogs.AnswerMessageDlg(mrOk); // the failure
            },
            3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        TfrmBDMain& k = Open();
        k.Show();
        QApplication::setActiveWindow(k.Handle());
        QApplication::processEvents();
        dialogs.Clear();
        c.answer();
        QWindow* window = k.Handle()->windowHandle();
        ASSERT_NE(window, nullptr);
        const auto at = [&](TControl* control) { return control->ClientToParent(control->ClientRect().center(), &k); };

        int menus = 0;
        bool closeClicked = false;
        QMenu* shown = nullptr;
        QTimer user;
        user.setInterval(10);
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu && menu != shown) {
                shown = menu;
                ++menus;
            }
            if (menus == 1 && menu) {
                for (QAction* action : menu->actions())
                    if (action->text() == S(c.command))
                        QTest::mouseClick(
                            menu->windowHandle(), Qt::LeftButton, {}, menu->actionGeometry(action).center());
            } else if (!closeClicked && dialogs.Calls().size() == c.calls) {
                closeClicked = true;
                QTest::mouseClick(window, Qt::LeftButton, {}, at(k.btnExit));
            }
        });
        user.start();
        QTest::mouseClick(window, Qt::LeftButton, {}, at(k.btnTools));
        QElapsedTimer waited;
        waited.start();
        while (!closeClicked && waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        QApplication::processEvents();
        user.stop();
        EXPECT_TRUE(closeClicked);
        EXPECT_EQ(menus, 1) << "the menu opens once per click";
        EXPECT_FALSE(k.Visible()) << "Close did not close";
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
        delete keeper;
        keeper = nullptr;
    }
}

TEST_F(Keeper, ClearingAsksTwiceAndItsCaptionCountsTheEntries)
{
    TfrmBDMain& k = Open();
    k.pmToolsPopup(k.pmTools);
    EXPECT_EQ(k.pmoClear->Caption(), S("Clear Entire Database"));
    EXPECT_FALSE(k.pmoClear->Enabled());
    EXPECT_FALSE(k.pmoBackup->Enabled());
    EXPECT_TRUE(k.pmoRestore->Enabled());
    k.pmoClearClick(k.pmoClear);
    EXPECT_TRUE(dialogs.Calls().isEmpty());

    AddEntry(S("Anna"), 1980, 3, 3);
    AddEntry(S("Ben"), 1990, 3, 4);
    AddEntry(S("Carl"), 1990, 5, 4);
    k.pmToolsPopup(k.pmTools);
    EXPECT_EQ(k.pmoClear->Caption(), S("Clear Entire Database (all 3 entries)"));
    EXPECT_TRUE(k.pmoClear->Enabled());
    EXPECT_TRUE(k.pmoBackup->Enabled());

    dialogs.AnswerMessageDlg(mrOk);
    dialogs.AnswerMessageDlg(mrCancel);
    k.pmoClearClick(k.pmoClear);
    EXPECT_EQ(Entries()->Count(), 3);
    ASSERT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(dialogs.Calls().at(0).Text, S("This will clear all your current entries. Are you sure?"));
    EXPECT_EQ(dialogs.Calls().at(1).Text, S("This operation is irreversible. Are you sure?"));

    Entries()->SetModified(false);
    dialogs.AnswerMessageDlg(mrOk);
    dialogs.AnswerMessageDlg(mrOk);
    k.pmoClearClick(k.pmoClear);
    EXPECT_EQ(Entries()->Count(), 0);
    EXPECT_TRUE(Entries()->Modified());
    EXPECT_EQ(k.QzHtmlLabel->Html(), S("<font color=\"#800000\"><b>There are no entries for this month</b></font>"));
    EXPECT_EQ(k.CPCalendar->SpecialDays(), QString());
}

TEST_F(Keeper, MonthStepsLinksAndKeysMoveTheCalendar)
{
    AddEntry(S("Anna"), 1980, 2, 14);
    TfrmBDMain& k = Open(EncodeDate(2026, 1, 31));
    k.btnPrevMonth2->Click();
    EXPECT_EQ(k.CPCalendar->CalendarDate(), EncodeDate(2025, 12, 1));
    EXPECT_EQ(k.lblMonth->Caption(), S("December 2025"));
    k.btnNextMonth2->Click();
    k.btnNextMonth2->Click();
    EXPECT_EQ(k.CPCalendar->CalendarDate(), EncodeDate(2026, 2, 1));
    EXPECT_EQ(k.CPCalendar->SpecialDays(), S("14,"));
    bool handled = false;
    k.QzHtmlLabel->OnLinkClicked()(k.QzHtmlLabel, S("14"), handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(k.CPCalendar->Day(), 14);
    struct {
        quint16 key;
        TDateTime date;
    } const keys[] = { { VK_PRIOR, EncodeDate(2026, 1, 1) }, { VK_NEXT, EncodeDate(2026, 2, 1) },
        { VK_HOME, EncodeDate(2026, 3, 15) } };
    for (const auto& key : keys) {
        quint16 k2 = key.key;
        k.FormKeyDown(&k, k2, 0);
        EXPECT_EQ(k2, 0);
        EXPECT_EQ(k.CPCalendar->CalendarDate(), key.date);
    }
    EXPECT_EQ(k.lblMonth->Caption(), S("March 2026"));
}

// Another process of the user asks for the keeper through its copy-data
// channel: tag 1 brings the modal keeper back over the main window after the
// user went to another program; other tags and garbage leave it there.
TEST_F(Keeper, TagOneFromAnotherProcessBringsTheKeeperToTheFront)
{
    TForm* main = MakeForm();
    Application()->SetMainForm(main);
    ShowForm();
    const QString channel = CopyDataChannelName(S("TfrmBDMain"));
    bool seen = false;
    WhenShown<TfrmBDMain>(seen, [&](TfrmBDMain& k) {
        EXPECT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == k.Handle(); }));
        // The user turns to another program, a window outside the program's forms.
        QWindow elsewhere;
        elsewhere.show();
        elsewhere.requestActivate();
        EXPECT_TRUE(ProcessEventsUntil([&] { return !k.Active(); }));

        // 257: only the whole tag counts.
        for (const quint32 tag : { 0u, 2u, 257u }) {
            k.DeliverCopyData(tag, "1");
            QApplication::processEvents();
            EXPECT_FALSE(k.Active()) << tag;
        }
        EXPECT_EQ(QApplication::activeWindow(), nullptr);
        const QByteArray ignored[]
            = { CopyDataFrame(2, {}), QByteArray("\x01\x00\x00\x00garbage", 11), CopyDataFrame(1, "cut").chopped(1) };
        for (const QByteArray& bytes : ignored)
            EXPECT_TRUE(SendToChannel(channel, bytes));

        EXPECT_TRUE(SendToChannel(channel, CopyDataFrame(1, {})));
        EXPECT_TRUE(ProcessEventsUntil([&] { return k.Active(); }));
        EXPECT_EQ(QApplication::activeWindow(), k.Handle());
        EXPECT_FALSE(main->Active());
        k.btnExit->Click();
    });
    TfrmBDMain::Execute(main, file, EncodeDate(2026, 3, 10), QString(), 0);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(SendToChannel(channel, CopyDataFrame(1, {}))) << "the channel closes with the keeper";
}

} // namespace
