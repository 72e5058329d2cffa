// The whole program driven as a person would: the wizard, the main window,
// closing; then the files on disk are checked.

#include "app/entry_form.h"
#include "app/info_form.h"
#include "app/main_form.h"
#include "app/options_form.h"
#include "app/program.h"
#include "birthdays/birthday.h"
#include "controls/cool_edit.h"
#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/image_combo.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "platform/core/datetime.h"
#include "platform/core/registry.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "resources/program_pictures.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/stat.h>

namespace {

const TDateTime kToday = EncodeDate(2026, 12, 8);

// The settings lie in the fixture's folder, the diaries in a folder of their own.
class Program : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        // A child run (see SignalsEndTheRunAsExitDoes) works in its parent's folders.
        if (const QString registry = qEnvironmentVariable("DIARY_CHILD_REGISTRY"); !registry.isEmpty())
            SetRegistryFileForTesting(registry);
        SetClock([] { return kToday + 0.5; });
        SetDialogService(&dialogs);
    }
    void TearDown() override
    {
        SetDialogService(nullptr);
        FreeApplication();
        SetClock({});
        MainWindowFixture::TearDown();
    }

    // One run of the program in the diary folder, as a fresh process would
    // start it: onWizard drives the start-up wizard, onMain the main window.
    void Run(const std::function<void(TfrmEntry&)>& onWizard, const std::function<void(TfrmMain&)>& onMain = {})
    {
        FreeApplication();
        FreeDiaryDB();
        FreeBirthdayComponent();
        Application()->SetExeName(Path("diary"));
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        bool wizardDone = false;
        bool mainDone = false;
        QElapsedTimer clock;
        clock.start();
        QTimer driver;
        driver.setInterval(5);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (clock.elapsed() > 20000) {
                ADD_FAILURE() << "the run did not end";
                Application()->Terminate();
                return;
            }
            if (!wizardDone) {
                if (TfrmEntry* wizard = Find<TfrmEntry>()) {
                    wizardDone = true;
                    onWizard(*wizard);
                }
                return;
            }
            if (!mainDone && onMain) {
                auto* main = dynamic_cast<TfrmMain*>(Application()->MainForm());
                if (main && main->Visible()) {
                    mainDone = true;
                    QApplication::setActiveWindow(main->Handle());
                    main->HostActivated();
                    onMain(*main);
                }
            }
        });
        driver.start();
        RunProgram();
        driver.stop();
        EXPECT_TRUE(wizardDone) << "the wizard never showed";
        if (onMain) {
            EXPECT_TRUE(mainDone) << "the main window never showed";
        }
    }

    template <class T> static T* Find()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = dynamic_cast<T*>(FindControl(w)); form && w->isVisible())
                return form;
        return nullptr;
    }

    // Key presses as the focused widget receives them.
    static void Key(int qtKey, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << "no control has the focus";
        QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
        QApplication::sendEvent(target, &release);
    }
    static void Type(const QString& text)
    {
        for (QChar c : text)
            Key(c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : int(c.unicode()), QString(c));
    }
    static void Click(TForm& form, TControl& button) { ClickAt(form, button, button.ClientRect().center()); }
    static void ClickAt(TForm& form, TControl& control, QPoint point)
    {
        const QPoint at = control.ClientToParent(point, &form);
        form.HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, at, false);
        form.HostMouseRelease(Qt::LeftButton, {}, {}, at);
    }

    // Wizard roads.
    void CreateDiary(TfrmEntry& w, const QString& name, const QString& password)
    {
        w.cbDiary->SetItemIndex(0);
        w.cbDiaryChange(w.cbDiary);
        Click(w, *w.btnNext);
        w.edtDiary->SetText(name);
        w.edtPassword->SetText(password);
        dialogs.AnswerInputQuery(password);
        Click(w, *w.btnNext);
    }
    static void OpenDiary(TfrmEntry& w, const char* item, const QString& password)
    {
        const int index = w.cbDiary->Items()->IndexOf(S(item));
        ASSERT_GT(index, 0) << item << " is not listed";
        w.cbDiary->SetItemIndex(index);
        w.cbDiaryChange(w.cbDiary);
        w.edtPassword->SetText(password);
        Click(w, *w.btnNext);
    }

    // Main window: writes the picked day as a person does: Edit, the title,
    // Enter, the body.
    void WriteDay(TfrmMain& m, TDateTime day, const QString& title, const QString& body)
    {
        m.dCalendar->SetCalendarDate(day);
        Click(m, *m.btnNew);
        ASSERT_TRUE(m.edtTitle->Focused());
        Type(title);
        Key(Qt::Key_Return, S("\r"));
        ASSERT_TRUE(m.MemoBody->Focused()) << "Enter in the title moves on to the body";
        Type(body);
    }

    // A run that opens "My Diary" and hands the main window to onMain.
    void RunMyDiary(const std::function<void(TfrmMain&)>& onMain)
    {
        Run([&](TfrmEntry& w) { OpenDiary(w, "My Diary", S("secret")); }, onMain);
    }
    // A run that writes one day into "My Diary" and exits.
    void WriteDayInMyDiary(TDateTime day, const QString& title, const QString& body)
    {
        RunMyDiary([&](TfrmMain& m) {
            WriteDay(m, day, title, body);
            Click(m, *m.btnExit);
        });
    }

    QString Path(const char* name) const
    {
        return QDir(qEnvironmentVariable("DIARY_CHILD_FOLDER", folder.path())).filePath(S(name));
    }
    QByteArray Bytes(const char* name) const
    {
        return QFile::exists(Path(name)) ? ReadWholeFile(Path(name)) : QByteArray();
    }
    // The entries of a diary file as "title|body text" per day.
    QStringList Days(const char* name, const QString& password) const
    {
        TDiaryDB db;
        EXPECT_EQ(db.LoadFromFile(Path(name), true, password), lsNoError) << name;
        QStringList days;
        for (int i = 0; i < db.Diary()->Count(); ++i) {
            const TDiaryEntry* e = db.Diary()->Items(i);
            days << TDiary::MakeKey(e->Date()) + S("|") + e->Title();
        }
        days.sort();
        return days;
    }
    QStringList Messages() const { return MessageTexts(dialogs); }
    // The first run: "My Diary" with two written days.
    void CreateMyDiary()
    {
        Run([&](TfrmEntry& w) { CreateDiary(w, S("My Diary"), S("secret")); },
            [&](TfrmMain& m) {
                WriteDay(m, EncodeDate(2026, 12, 5), S("Snow"), S("First snow of the winter."));
                WriteDay(m, EncodeDate(2026, 12, 7), S("Market"), S("Bought apples."));
                Click(m, *m.btnExit);
            });
        dialogs.Clear();
        errors.clear();
    }

    QTemporaryDir folder;
    TScriptedDialogService dialogs;
    QStringList errors;
};

TEST_F(Program, CreatingADiaryRefusesBadNamesAndPasswords)
{
    QFile existing(Path("Old.dry"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    Run(
        [&](TfrmEntry& w) {
            w.cbDiary->SetItemIndex(0);
            Click(w, *w.btnNext);
            w.edtPassword->SetText(S("secret"));
            w.edtDiary->SetText(S("   "));
            Click(w, *w.btnNext);
            w.edtDiary->SetText(S(" Old "));
            Click(w, *w.btnNext);
            w.edtDiary->SetText(S("My Diary"));
            dialogs.AnswerInputQuery(S("Secret"));
            Click(w, *w.btnNext);
            EXPECT_EQ(w.CurrentStep(), 1) << "still naming the diary";
            dialogs.AnswerInputQuery(S("secret"));
            Click(w, *w.btnNext);
        },
        [&](TfrmMain& m) {
            EXPECT_EQ(m.edtTitle->Text(), S("Untitled Day")) << "a new diary starts from the template";
            EXPECT_TRUE(m.imgLocked->Visible());
            Click(m, *m.btnExit);
        });
    EXPECT_EQ(Messages(),
        (QStringList {
            S("Diary name cannot be blank"), S("This Diary Already Exists!"), S("Passwords do not match") }));
    // The new diary is written at the end; its first day holds only the
    // template, which is stored once the user edits it.
    EXPECT_EQ(Days("My Diary.dry", S("secret")), QStringList {});
    EXPECT_FALSE(QFile::exists(Path("My Diary.bak")));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
}

TEST_F(Program, WrittenDaysSurviveAndAreMarkedWhenReopened)
{
    CreateMyDiary();
    EXPECT_EQ(Days("My Diary.dry", S("secret")), (QStringList { S("20261205|Snow"), S("20261207|Market") }));

    Run(
        [&](TfrmEntry& w) {
            EXPECT_EQ(w.cbDiary->Text(), S("My Diary")) << "the last diary is preselected";
            OpenDiary(w, "My Diary", S("secret"));
        },
        [&](TfrmMain& m) {
            EXPECT_EQ(m.dCalendar->CalendarDate(), kToday);
            EXPECT_EQ(m.dCalendar->ActiveDays(), S(",5,7,"));
            // Page Up from the calendar goes to the previous written day.
            m.dCalendar->SetFocus();
            Key(Qt::Key_PageUp);
            EXPECT_EQ(m.dCalendar->CalendarDate(), EncodeDate(2026, 12, 7));
            EXPECT_EQ(m.edtTitle->Text(), S("Market"));
            EXPECT_EQ(m.MemoBody->Lines()->Text().toStdString(), "Bought apples.\r\n");
            Click(m, *m.btnPrevEntry2);
            EXPECT_EQ(m.edtTitle->Text(), S("Snow"));
            Click(m, *m.btnNextEntry2);
            EXPECT_EQ(m.edtTitle->Text(), S("Market"));
            Click(m, *m.btnExit);
        });
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(S("; ")).toStdString();
}

TEST_F(Program, ARunThatChangesNothingLeavesBothFilesAsTheyWere)
{
    CreateMyDiary();
    // A second changing run makes the previous version.
    WriteDayInMyDiary(EncodeDate(2026, 12, 1), S("December"), S("A new month."));
    const QByteArray dry = Bytes("My Diary.dry");
    const QByteArray bak = Bytes("My Diary.bak");
    ASSERT_FALSE(bak.isEmpty());

    RunMyDiary([&](TfrmMain& m) {
        m.dCalendar->SetCalendarDate(EncodeDate(2026, 12, 5));
        m.dCalendar->SetCalendarDate(EncodeDate(2026, 11, 20));
        Click(m, *m.btnExit);
    });
    EXPECT_EQ(Bytes("My Diary.dry"), dry);
    EXPECT_EQ(Bytes("My Diary.bak"), bak);
}

// Each write of the settings replaces their file and waits for the disk: a
// run with nothing new to keep, leaving the wizard or the main window, ends
// without writing any file.
TEST_F(Program, ARunWithNothingNewToKeepEndsWithoutWritingAFile)
{
    CreateMyDiary();
    const QString ini = dir.filePath(S("registry.ini"));
    const auto identity = [](const QString& file) {
        struct stat info { };
        EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0) << file.toStdString();
        return std::pair { info.st_ino, info.st_mtim.tv_nsec + info.st_mtim.tv_sec * 1000000000LL };
    };
    const auto before = identity(ini);
    const auto diary = identity(Path("My Diary.dry"));
    Run([&](TfrmEntry& w) { Click(w, *w.btnPrev); });
    EXPECT_EQ(identity(ini), before) << "leaving the wizard";
    RunMyDiary([&](TfrmMain& m) { Click(m, *m.btnExit); });
    EXPECT_EQ(identity(ini), before) << "leaving the main window";
    EXPECT_EQ(identity(Path("My Diary.dry")), diary);
}

TEST_F(Program, ARunEndedWithoutClosingStillKeepsTheDiaryAndItsBirthdays)
{
    CreateMyDiary();
    RunMyDiary([&](TfrmMain&) {
        DiaryDB().AddEntry(EncodeDate(2026, 12, 9), S("Kept"), QString(), QString(), QString(), 0);
        AddBirthday(S("Anna"), EncodeDate(1990, 12, 9));
        Application()->Terminate(); // no close: the run's end saves
    });
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
    EXPECT_EQ(Days("My Diary.dry", S("secret")),
        (QStringList { S("20261205|Snow"), S("20261207|Market"), S("20261209|Kept") }));
    TBirthdayComponent birthdays;
    birthdays.LoadFromFile(Path("My Diary.dra"));
    ASSERT_EQ(birthdays.Entries()->Count(), 1);
}

TEST_F(Program, ARunThatChangesSomethingKeepsTheOldFileAsPreviousVersion)
{
    CreateMyDiary();
    const QByteArray before = Bytes("My Diary.dry");
    WriteDayInMyDiary(EncodeDate(2026, 12, 2), S("Rain"), S("All day."));
    EXPECT_EQ(Bytes("My Diary.bak"), before);
    EXPECT_EQ(Days("My Diary.dry", S("secret")),
        (QStringList { S("20261202|Rain"), S("20261205|Snow"), S("20261207|Market") }));
}

TEST_F(Program, DeletingADayAsksAndRemovesItsMark)
{
    CreateMyDiary();
    RunMyDiary([&](TfrmMain& m) {
        m.dCalendar->SetCalendarDate(EncodeDate(2026, 12, 7));
        dialogs.AnswerMessageBox(IDNO);
        Click(m, *m.btnDelete);
        EXPECT_EQ(m.dCalendar->ActiveDays(), S(",5,7,"));
        dialogs.AnswerMessageBox(IDYES);
        Click(m, *m.btnDelete);
        EXPECT_EQ(m.dCalendar->ActiveDays(), S(",5,"));
        EXPECT_EQ(m.edtTitle->Text(), QString());
        Click(m, *m.btnExit);
    });
    EXPECT_EQ(
        Messages(), (QStringList { S("Delete day \"December 7, 2026\" ?"), S("Delete day \"December 7, 2026\" ?") }));
    EXPECT_EQ(Days("My Diary.dry", S("secret")), QStringList { S("20261205|Snow") });
}

TEST_F(Program, AWrongPasswordOpensNothingAndWritesNothing)
{
    CreateMyDiary();
    const QByteArray dry = Bytes("My Diary.dry");
    Run([&](TfrmEntry& w) {
        OpenDiary(w, "My Diary", S("Secret"));
        EXPECT_EQ(w.CurrentStep(), 0);
        Click(w, *w.btnPrev); // Exit
    });
    EXPECT_EQ(Messages(), QStringList { TDiaryDB::StatusToErrorStr(lsWrongPassword) });
    EXPECT_EQ(Bytes("My Diary.dry"), dry);
    EXPECT_FALSE(QFile::exists(Path("My Diary.bak")));
}

TEST_F(Program, ADamagedDiaryOpensItsPreviousVersionWithoutLosingIt)
{
    CreateMyDiary();
    WriteDayInMyDiary(EncodeDate(2026, 12, 1), S("December"), S("A new month."));
    const QByteArray good = Bytes("My Diary.bak");
    QByteArray damaged = Bytes("My Diary.dry");
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x55);
    QFile file(Path("My Diary.dry"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    dialogs.AnswerMessageDlg(mrOk);
    RunMyDiary([&](TfrmMain& m) {
        // The previous version's content, under the diary's own name.
        EXPECT_EQ(m.dCalendar->ActiveDays(), S(",5,7,"));
        Click(m, *m.btnExit);
    });
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages().first().startsWith(S("The original diary produced the following error:")));
    EXPECT_EQ(Bytes("My Diary.bak"), good) << "the damaged file never replaces the good copy";

    // Writing a day after that heals the diary and still keeps the good copy.
    dialogs.Clear();
    dialogs.AnswerMessageDlg(mrOk);
    WriteDayInMyDiary(EncodeDate(2026, 12, 3), S("Healed"), S("Written again."));
    EXPECT_EQ(Bytes("My Diary.bak"), good);
    EXPECT_EQ(Days("My Diary.dry", S("secret")),
        (QStringList { S("20261203|Healed"), S("20261205|Snow"), S("20261207|Market") }));
}

// The diary is written while closing: a failure names the file and the
// system's reason and keeps the window (No is the default), closing again
// tries again, and Yes leaves on purpose. The birthdays and the settings
// are written whatever became of the diary.
TEST_F(Program, ASaveThatFailsKeepsTheWindowAndStillWritesBirthdaysAndSettings)
{
    CreateMyDiary();
    const QByteArray dry = Bytes("My Diary.dry");
    const QString question = S("The diary could not be saved. Close anyway and lose the changes?");
    // The diary's name is taken by a folder: writing it must fail.
    const auto block = [&](TfrmMain& m, const char* name) {
        m.Session().DataFileName = Path(name);
        ASSERT_TRUE(QDir(folder.path()).mkdir(S(name)));
    };
    RunMyDiary([&](TfrmMain& m) {
        WriteDay(m, EncodeDate(2026, 12, 2), S("Kept"), S("Written on the second try."));
        AddBirthday(S("Anna"), EncodeDate(1990, 12, 9));
        block(m, "Blocked.dry");
        Click(m, *m.btnExit);
        EXPECT_TRUE(m.Visible()) << "the default answer keeps the window";
        m.HostCloseRequested();
        EXPECT_TRUE(m.Visible());
        ASSERT_EQ(dialogs.Calls().size(), 2) << "each close tries again";
        for (const TDialogCall& call : dialogs.Calls()) {
            EXPECT_TRUE(call.Text.contains(S("Blocked.dry"))) << call.Text.toStdString();
            EXPECT_TRUE(call.Text.endsWith(question)) << call.Text.toStdString();
            EXPECT_EQ(call.Flags, unsigned(MB_ICONERROR | MB_YESNO | MB_DEFBUTTON2));
        }
        EXPECT_TRUE(QFile::exists(Path("My Diary.dra"))) << "the birthdays are written all the same";
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(TfrmMain::RegistryKey(), false));
        EXPECT_EQ(registry.ReadString(S("LastDiaryName")), S("My Diary.dry")) << "and the settings";
        // The way is free again: the next close writes the diary and ends.
        ASSERT_TRUE(QDir(folder.path()).rmdir(S("Blocked.dry")));
        Click(m, *m.btnExit);
    });
    EXPECT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(Days("Blocked.dry", S("secret")),
        (QStringList { S("20261202|Kept"), S("20261205|Snow"), S("20261207|Market") }));
    EXPECT_EQ(Bytes("My Diary.dry"), dry);

    dialogs.Clear();
    RunMyDiary([&](TfrmMain& m) {
        WriteDay(m, EncodeDate(2026, 12, 3), S("Lost"), S("Cannot be written."));
        block(m, "Taken.dry");
        dialogs.AnswerMessageBox(IDYES);
        Click(m, *m.btnExit);
    });
    EXPECT_EQ(dialogs.Calls().size(), 1) << "leaving on purpose asks nothing more";
    EXPECT_EQ(Bytes("My Diary.dry"), dry);

    // The same for the birthday file, and the diary is written all the same.
    dialogs.Clear();
    RunMyDiary([&](TfrmMain& m) {
        WriteDay(m, EncodeDate(2026, 12, 1), S("Written"), S("Though the birthdays are not."));
        BirthdayComponent().Entries()->Add()->SetFullName(S("Ben"));
        m.Session().BirthdayFileName = Path("Blocked.dra");
        ASSERT_TRUE(QDir(folder.path()).mkdir(S("Blocked.dra")));
        Click(m, *m.btnExit);
        EXPECT_TRUE(m.Visible());
        ASSERT_EQ(dialogs.Calls().size(), 1);
        EXPECT_TRUE(dialogs.Calls()[0].Text.contains(S("Blocked.dra"))) << dialogs.Calls()[0].Text.toStdString();
        EXPECT_TRUE(dialogs.Calls()[0].Text.endsWith(
            S("The birthday file could not be saved. Close anyway and lose the changes?")));
        EXPECT_TRUE(Days("My Diary.dry", S("secret")).contains(S("20261201|Written")));
        dialogs.AnswerMessageBox(IDYES);
        m.HostCloseRequested();
    });
    EXPECT_EQ(dialogs.Calls().size(), 2);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
}

// A birthday file that does not load is reported with the reader's reason,
// reloads after the keeper say nothing more, and the first save moves it
// aside instead of writing over it, telling where it went.
TEST_F(Program, ADamagedBirthdayFileIsKeptAsideWhenTheListIsSaved)
{
    CreateMyDiary();
    QFile damaged(Path("My Diary.dra"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("TPF0 not a birthday list");
    damaged.close();
    const QByteArray bytes = Bytes("My Diary.dra");
    Run(
        [&](TfrmEntry& w) {
            dialogs.AnswerMessageDlg(mrOk);
            OpenDiary(w, "My Diary", S("secret"));
        },
        [&](TfrmMain& m) {
            ASSERT_EQ(Messages().size(), 1);
            EXPECT_TRUE(Messages().first().startsWith(S("Could not load birthday/anniversary data.")));
            EXPECT_FALSE(Messages().first().contains(S("Unknown error"))) << Messages().first().toStdString();
            m.Session().LoadBirthdays();
            EXPECT_EQ(Messages().size(), 1) << "reported once";
            AddBirthday(S("Anna"), EncodeDate(1990, 12, 9));
            dialogs.AnswerMessageDlg(mrOk);
            Click(m, *m.btnExit);
        });
    ASSERT_EQ(Messages().size(), 2);
    const QString aside = Path("My Diary.dra.damaged");
    EXPECT_TRUE(Messages().last().contains(QDir::toNativeSeparators(aside))) << Messages().last().toStdString();
    EXPECT_EQ(Bytes("My Diary.dra.damaged"), bytes);
    TBirthdayComponent saved;
    ASSERT_NO_THROW(saved.LoadFromFile(Path("My Diary.dra")));
    EXPECT_EQ(saved.Entries()->Count(), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
}

// The end of the desktop session saves as Exit does, asking nothing, and
// the run goes on; SIGTERM and SIGHUP save the same way and end the process
// (run in a child process that waits for the signal).
TEST_F(Program, TheSessionsEndAndSignalsSaveAsExitDoes)
{
    CreateMyDiary();
    const QByteArray before = Bytes("My Diary.dry");
    RunMyDiary([&](TfrmMain& m) {
        WriteDay(m, EncodeDate(2026, 12, 3), S("Logout"), S("Saved by the session's end."));
        Application()->EndSession(false);
        EXPECT_TRUE(m.Visible());
        EXPECT_FALSE(Application()->Terminated());
        EXPECT_TRUE(Days("My Diary.dry", S("secret")).contains(S("20261203|Logout")));
        WriteDay(m, EncodeDate(2026, 12, 2), S("Later"), S("The session went on."));
        Click(m, *m.btnExit);
    });
    EXPECT_TRUE(dialogs.Calls().isEmpty());
    EXPECT_EQ(Bytes("My Diary.bak"), before) << "the previous version is the file from before the run";
    EXPECT_TRUE(Days("My Diary.dry", S("secret")).contains(S("20261202|Later")));

    const struct {
        int signal;
        int day;
        const char* title;
    } ends[] = { { SIGTERM, 4, "Terminated" }, { SIGHUP, 6, "Hung up" } };
    for (const auto& [signal, day, title] : ends) {
        ASSERT_TRUE(QFile::remove(dir.filePath(S("registry.ini"))));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(S("DIARY_CHILD_FOLDER"), folder.path());
        env.insert(S("DIARY_CHILD_REGISTRY"), dir.filePath(S("registry.ini")));
        env.insert(S("DIARY_CHILD_TITLE"), S(title));
        env.insert(S("DIARY_CHILD_DAY"), QString::number(day));
        env.insert(S("QT_QPA_PLATFORM"), S("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), { S("--gtest_filter=Program.ChildRunWaitingForASignal") });
        QByteArray output;
        QElapsedTimer clock;
        clock.start();
        while (!output.contains("ready\n") && clock.elapsed() < 30000 && child.state() != QProcess::NotRunning) {
            child.waitForReadyRead(100);
            output += child.readAllStandardOutput();
        }
        ASSERT_TRUE(output.contains("ready\n")) << output.toStdString();
        ASSERT_EQ(::kill(pid_t(child.processId()), signal), 0);
        ASSERT_TRUE(child.waitForFinished(30000));
        output += child.readAllStandardOutput();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << title;
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(Days("My Diary.dry", S("secret")).contains(QStringLiteral("2026120%1|").arg(day) + S(title)))
            << Days("My Diary.dry", S("secret")).join(S(", ")).toStdString();
        TBirthdayComponent birthdays;
        ASSERT_NO_THROW(birthdays.LoadFromFile(Path("My Diary.dra")));
        EXPECT_EQ(birthdays.Entries()->Count(), 1);
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(TfrmMain::RegistryKey(), false));
        EXPECT_EQ(registry.ReadString(S("LastDiaryName")), S("My Diary.dry")) << "the settings are written";
        EXPECT_TRUE(registry.ValueExists(S("LastWidth")));
    }
}

// The child of TheSessionsEndAndSignalsSaveAsExitDoes: writes a day and a
// birthday, says it is ready and runs until a signal ends it.
TEST_F(Program, ChildRunWaitingForASignal)
{
    if (qEnvironmentVariableIsEmpty("DIARY_CHILD_FOLDER"))
        GTEST_SKIP() << "runs as a child process only";
    RunMyDiary([&](TfrmMain& m) {
        WriteDay(m, EncodeDate(2026, 12, qEnvironmentVariableIntValue("DIARY_CHILD_DAY")),
            qEnvironmentVariable("DIARY_CHILD_TITLE"), S("Kept at the end."));
        BirthdayComponent().Entries()->Clear();
        AddBirthday(S("Anna"), EncodeDate(1990, 12, 9));
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
    });
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(S("; ")).toStdString();
}

TEST_F(Program, LeavingTheWizardEndsTheRunWithoutWriting)
{
    Run([&](TfrmEntry& w) { Click(w, *w.btnPrev); });
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(Program, ASystemMenuCloseAfterAPasswordChangeAsks)
{
    CreateMyDiary();
    RunMyDiary([&](TfrmMain& m) {
        m.Session().DiaryModified = true;
        dialogs.AnswerMessageBox(IDCANCEL);
        m.HostCloseRequested();
        EXPECT_TRUE(m.Visible()) << "Cancel keeps the window open";
        dialogs.AnswerMessageBox(IDOK);
        m.HostCloseRequested();
    });
    ASSERT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(dialogs.Calls()[0].Caption, S(" Warning"));
    EXPECT_EQ(dialogs.Calls()[0].Flags, unsigned(MB_ICONWARNING | MB_OKCANCEL | MB_DEFBUTTON2));
}

TEST_F(Program, TheMainWindowOpensWhereAndAsItWasLeft)
{
    CreateMyDiary();
    // What the window manager does: the window, not the program, changes.
    const auto windowManager = [](TfrmMain& m, auto change) {
        change(*m.Handle()->windowHandle());
        QApplication::processEvents();
    };
    const QPoint movedTo(10, 200);
    QSize size;
    QRect bounds;
    RunMyDiary([&](TfrmMain& m) {
        size = m.Handle()->size();
        windowManager(m, [&](QWindow& w) { w.setPosition(movedTo); });
        bounds = m.BoundsRect();
        Click(m, *m.btnExit);
    });
    RunMyDiary([&](TfrmMain& m) {
        EXPECT_EQ(m.Handle()->geometry(), QRect(movedTo, size)) << "where it was moved to";
        EXPECT_EQ(m.BoundsRect(), bounds);
        windowManager(m, [](QWindow& w) { w.setWindowStates(Qt::WindowMaximized); });
        EXPECT_EQ(m.WindowState(), wsMaximized);
        m.HostCloseRequested();
    });
    RunMyDiary([&](TfrmMain& m) {
        QApplication::processEvents();
        EXPECT_TRUE(m.Handle()->isMaximized());
        const QRect screen = m.Handle()->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(m.Handle()->frameGeometry())) << "no part of it off the screen";
        EXPECT_EQ(m.NormalBoundsRect(), bounds) << "restores to where it was moved to";
        Click(m, *m.btnExit);
    });
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), false));
    const QRect stored(r.ReadInteger(S("LastLeft")), r.ReadInteger(S("LastTop")), r.ReadInteger(S("LastWidth")),
        r.ReadInteger(S("LastHeight")));
    EXPECT_EQ(stored, bounds);
    EXPECT_EQ(r.ReadInteger(S("LastMaximized")), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
}

TEST_F(Program, ThePageTabLeadsToThePersonalInformationKeptInTheDiary)
{
    CreateMyDiary();
    // The tab's halves, each clicked well inside.
    const auto infoHalf = [](TfrmMain& m) { return QPoint(m.imgTAB->Width() * 3 / 4, 110); };
    const auto diaryHalf = [](TfrmMain& m) { return QPoint(m.imgTAB->Width() / 4, 30); };
    RunMyDiary([&](TfrmMain& m) {
        ClickAt(m, *m.imgTAB, infoHalf(m));
        ASSERT_EQ(m.Mode(), mdInfo);
        ASSERT_NE(m.frmInfo, nullptr);
        EXPECT_TRUE(m.pnlInfo->Visible());
        EXPECT_FALSE(m.pnlDiaryEntryMain->Visible());
        TEdit& name = *m.frmInfo->edtFullName;
        EXPECT_EQ(name.Text(), QString()) << "a new diary keeps no information";
        QTest::mouseClick(name.Handle(), Qt::LeftButton);
        ASSERT_TRUE(name.Focused());
        Type(S("Anna Berg"));
        ClickAt(m, *m.imgTAB, diaryHalf(m));
        EXPECT_EQ(m.Mode(), mdDiary);
        EXPECT_TRUE(m.pnlDiaryEntryMain->Visible());
        EXPECT_FALSE(m.pnlInfo->Visible());
        Click(m, *m.btnExit);
    });
    RunMyDiary([&](TfrmMain& m) {
        ClickAt(m, *m.imgTAB, infoHalf(m));
        ASSERT_NE(m.frmInfo, nullptr);
        EXPECT_EQ(m.frmInfo->edtFullName->Text(), S("Anna Berg"));
        Click(m, *m.btnExit);
    });
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
}

TEST_F(Program, RestoringOverAnExistingDiaryAsksAndKeepsItsBirthdays)
{
    CreateMyDiary();
    // A backup of another diary, restored under the name of "My Diary".
    {
        TDiaryDB backup;
        backup.Diary()->SetPassword(S("old"));
        backup.AddEntry(EncodeDate(2020, 1, 1), S("Long ago"), S("body"), QString(), QString(), 0);
        backup.SaveToFile(Path("My Diary.bkd"));
        TBirthdayComponent birthdays;
        TEntry* e = birthdays.Entries()->Add();
        e->SetFullName(S("Ben"));
        e->SetBirthDate(EncodeDate(1980, 12, 8));
        birthdays.SaveToFile(Path("My Diary.dra"));
    }
    const QByteArray dry = Bytes("My Diary.dry");
    const auto restore = [&](TfrmEntry& w) {
        w.cbDiary->SetItemIndex(w.cbDiary->Items()->Count() - 1);
        w.cbDiaryChange(w.cbDiary);
        EXPECT_FALSE(w.edtPassword->Visible());
        dialogs.AnswerOpenFile(Path("My Diary.bkd"));
        dialogs.AnswerInputQuery(S(" old "));
    };
    Run([&](TfrmEntry& w) {
        restore(w);
        dialogs.AnswerMessageDlg(mrCancel);
        Click(w, *w.btnNext);
        EXPECT_EQ(w.CurrentStep(), 0) << "refused: back to the choice";
        Click(w, *w.btnPrev);
    });
    EXPECT_EQ(Bytes("My Diary.dry"), dry);

    dialogs.Clear();
    Run(
        [&](TfrmEntry& w) {
            restore(w);
            dialogs.AnswerMessageDlg(mrOk);
            dialogs.AnswerMessageDlg(mrOk);
            Click(w, *w.btnNext);
        },
        [&](TfrmMain& m) {
            EXPECT_EQ(m.dCalendar->SpecialDays(), S("8,0")) << "the diary's birthday file is loaded";
            Click(m, *m.btnExit);
        });
    EXPECT_EQ(Messages().last(), S("Diary restored successfully"));
    EXPECT_EQ(Days("My Diary.dry", S("old")), QStringList { S("20200101|Long ago") });
    EXPECT_EQ(Bytes("My Diary.bak"), dry) << "the replaced diary is the previous version";
}

// A backup restored in the wizard becomes a ".dry" of the program's folder
// whatever its own extension, so the next start lists it and picks it as
// the last diary. One restored over itself loses nothing either.
TEST_F(Program, ARestoredDiaryIsListedAtTheNextStartWhateverTheBackupsName)
{
    const struct {
        const char* backup;
        bool inProgramFolder; // restored from the diary's own folder
        const char* diary; // the file the diary is kept in
        const char* listed; // the wizard's item for it
    } cases[] = {
        { "a.bkd", false, "a.dry", "a" },
        { "a.dry", false, "a.dry", "a" },
        { "a.backup", false, "a.dry", "a" },
        { "a", false, "a.dry", "a" },
        { "a.b.bkd", false, "a.b.dry", "a.b" },
        { "a.BKD", false, "a.dry", "a" },
        { ".bkd", false, ".bkd.dry", ".bkd" },
        { "a.dry", true, "a.dry", "a" },
    };
    const TDateTime day = EncodeDate(2020, 1, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.backup) + (c.inProgramFolder ? " from the program's folder" : ""));
        for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(Path(name.toUtf8().constData()));
        QDir(folder.path()).mkpath(S("backups"));
        const QString backup = c.inProgramFolder ? Path(c.backup) : Path("backups") + S("/") + S(c.backup);
        {
            TDiaryDB db;
            db.Diary()->SetPassword(S("pw"));
            db.AddEntry(day, S("Kept"), S("body"), QString(), QString(), 0);
            db.SaveToFile(backup);
        }
        const QByteArray original = ReadWholeFile(backup);
        dialogs.Clear();
        Run(
            [&](TfrmEntry& w) {
                w.cbDiary->SetItemIndex(w.cbDiary->Items()->Count() - 1);
                w.cbDiaryChange(w.cbDiary);
                dialogs.AnswerOpenFile(backup);
                dialogs.AnswerInputQuery(S("pw"));
                dialogs.AnswerMessageDlg(mrOk);
                Click(w, *w.btnNext);
            },
            [&](TfrmMain& m) { Click(m, *m.btnExit); });
        EXPECT_EQ(Messages(), QStringList { S("Diary restored successfully") });
        EXPECT_EQ(Days(c.diary, S("pw")), QStringList { S("20200101|Kept") });
        if (c.inProgramFolder) {
            EXPECT_EQ(Bytes("a.bak"), original) << "the diary as it was is the previous version";
        } else {
            EXPECT_EQ(ReadWholeFile(backup), original) << "the backup stays as it was";
        }

        QStringList listed;
        int chosen = -1;
        Run([&](TfrmEntry& w) {
            listed = w.cbDiary->Items()->ToStringList();
            chosen = w.cbDiary->ItemIndex();
            Click(w, *w.btnPrev);
        });
        ASSERT_EQ(listed.size(), 3);
        EXPECT_EQ(listed[1], S(c.listed));
        EXPECT_EQ(chosen, 1) << "the last diary is chosen";
        dialogs.Clear();
        Run([&](TfrmEntry& w) { OpenDiary(w, c.listed, S("pw")); },
            [&](TfrmMain& m) {
                m.dCalendar->SetCalendarDate(day);
                EXPECT_EQ(m.edtTitle->Text(), S("Kept"));
                Click(m, *m.btnExit);
            });
        EXPECT_TRUE(Messages().isEmpty()) << Messages().join(S("; ")).toStdString();
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
}

// Passwords set in the tools window, typed with blanks round them, open the
// diary in the wizard the next time, as the wizard trims what it is given.
TEST_F(Program, PasswordsSetInTheToolsWindowOpenTheDiaryNextTime)
{
    CreateMyDiary();
    {
        TDiaryDB backup;
        backup.Diary()->SetPassword(S("old times"));
        backup.AddEntry(EncodeDate(2020, 1, 1), S("Long ago"), S("body"), QString(), QString(), 0);
        backup.SaveToFile(Path("kept.bkd"));
    }
    // Runs act in the tools window, then closes it.
    const auto inTools = [&](TfrmMain& m, const std::function<void(TfrmOptions&)>& act) {
        QTimer::singleShot(0, [&] {
            TfrmOptions* tools = Find<TfrmOptions>();
            ASSERT_NE(tools, nullptr);
            act(*tools);
            tools->btnClose->Click();
        });
        Click(m, *m.btnOptions);
    };
    RunMyDiary([&](TfrmMain& m) {
        inTools(m, [&](TfrmOptions& tools) {
            for (const char* typed : { "secret", "  new pass ", "new pass\t" })
                dialogs.AnswerInputQuery(S(typed));
            dialogs.AnswerMessageDlg(mrOk);
            tools.btnChgPassword->Click();
        });
        Click(m, *m.btnExit);
    });
    EXPECT_EQ(Messages(), QStringList { S("Password was successfully changed") });
    EXPECT_EQ(Days("My Diary.dry", S("new pass")).size(), 2);

    Run([&](TfrmEntry& w) { OpenDiary(w, "My Diary", S(" new pass ")); },
        [&](TfrmMain& m) {
            inTools(m, [&](TfrmOptions& tools) {
                dialogs.AnswerOpenFile(Path("kept.bkd"));
                dialogs.AnswerMessageDlg(mrOk);
                dialogs.AnswerInputQuery(S(" old times  "));
                dialogs.AnswerMessageDlg(mrOk);
                tools.pmoRestore->Click();
            });
            Click(m, *m.btnExit);
        });
    EXPECT_EQ(Messages().last(), S("Diary restored successfully"));

    Run([&](TfrmEntry& w) { OpenDiary(w, "My Diary", S("old times ")); },
        [&](TfrmMain& m) {
            m.dCalendar->SetCalendarDate(EncodeDate(2020, 1, 1));
            EXPECT_EQ(m.edtTitle->Text(), S("Long ago"));
            Click(m, *m.btnExit);
        });
    EXPECT_EQ(Days("My Diary.dry", S("old times")), QStringList { S("20200101|Long ago") });
    EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
}

// The wizard's window is activated as a window manager does on showing:
// the preselected diary's password takes the typing at once; with nothing
// preselected no control has the focus.
TEST_F(Program, TheWizardShowsWithTheFocusOnThePasswordOfTheLastDiaryOnly)
{
    const auto focusedControl = [](TfrmEntry& w) -> TControl* {
        QApplication::setActiveWindow(w.Handle());
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), w.Handle());
        QWidget* focus = QApplication::focusWidget();
        return focus ? FindControl(focus) : nullptr;
    };
    Run([&](TfrmEntry& w) {
        TControl* focused = focusedControl(w);
        EXPECT_TRUE(focused == nullptr || focused == &w) << focused->Name().toStdString() << " has the focus";
        Click(w, *w.btnPrev);
    });
    CreateMyDiary();
    Run(
        [&](TfrmEntry& w) {
            EXPECT_EQ(focusedControl(w), w.edtPassword);
            Type(S("secret"));
            Key(Qt::Key_Return, S("\r"));
        },
        [&](TfrmMain& m) {
            EXPECT_TRUE(m.Session().DataFileName.endsWith(S("My Diary.dry"))) << m.Session().DataFileName.toStdString();
            Click(m, *m.btnExit);
        });
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(S("; ")).toStdString();
}

// Pictures of the two windows as a person sees them: rendered offscreen,
// grabbed from the screen when run on a display (QT_QPA_PLATFORM=xcb).
TEST_F(Program, ShowsTheWizardAndTheMainWindow)
{
    CreateMyDiary();
    const QString out = QCoreApplication::applicationDirPath();
    const bool display = QGuiApplication::platformName() == S("xcb");
    const auto shoot = [&](TForm& f, const char* name) {
        QApplication::processEvents();
        QImage image;
        if (display) {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 400)
                QApplication::processEvents();
            image = f.Handle()->screen()->grabWindow(0).toImage().copy(f.Handle()->frameGeometry());
        } else {
            image = f.RenderToBitmap()->ToImage();
        }
        EXPECT_TRUE(image.save(QDir(out).filePath(QString::fromUtf8(name) + (display ? S("_x11.png") : S(".png")))));
    };
    Run(
        [&](TfrmEntry& w) {
            EXPECT_EQ(w.ClientWidth(), 289);
            EXPECT_EQ(w.ClientHeight(), 186);
            shoot(w, "program_wizard");
            OpenDiary(w, "My Diary", S("secret"));
        },
        [&](TfrmMain& m) {
            // The designed client area, grown to the window's minimum size.
            EXPECT_GE(m.ClientWidth(), 773);
            EXPECT_GE(m.ClientHeight(), 526);
            EXPECT_EQ(m.Width(), 781);
            EXPECT_EQ(m.Height(), 560);
            m.dCalendar->SetCalendarDate(EncodeDate(2026, 12, 7));
            shoot(m, "program_main");
            Click(m, *m.btnExit);
        });
}

// Enter as a person types it into the body: each one is a paragraph, also on
// an empty line of a paragraph with a format of its own, quickly or after the
// window's timers have run between the keys.
TEST_F(Program, EveryEnterInTheBodyAddsAParagraph)
{
    const auto pause = [](TfrmMain& m) {
        int ticks = 0;
        const TNotifyEvent animate = m.SparkleTimer->OnTimer;
        m.SparkleTimer->OnTimer = [&](TObject* s) {
            animate(s);
            ++ticks;
        };
        QElapsedTimer waited;
        waited.start();
        while (ticks < 3 && waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        m.SparkleTimer->OnTimer = animate;
        EXPECT_GE(ticks, 3) << "the timer never ran between the keys";
    };
    const auto enter = [] { Key(Qt::Key_Return, S("\r")); };
    const auto clickBody = [](TfrmMain& m) {
        QWidget* body = m.MemoBody->Handle();
        QWidget* viewport = body->findChild<QWidget*>(S("qt_scrollarea_viewport"));
        QTest::mouseClick(viewport ? viewport : body, Qt::LeftButton, {}, QPoint(40, 40));
        ASSERT_TRUE(m.MemoBody->Focused());
    };
    const TDateTime written = EncodeDate(2026, 12, 5);
    const TDateTime empty = EncodeDate(2026, 12, 10);
    Run([&](TfrmEntry& w) { CreateDiary(w, S("My Diary"), S("secret")); },
        [&](TfrmMain& m) {
            WriteDay(m, written, S("Snow"), S("First snow."));
            Key(Qt::Key_E, S("\x05"), Qt::ControlModifier); // centred
            m.dCalendar->SetCalendarDate(empty);

            // An empty day: abc, Enter, a pause, Enter, def.
            clickBody(m);
            Type(S("abc"));
            enter();
            pause(m);
            enter();
            Type(S("def"));
            EXPECT_EQ(m.MemoBody->Text().toStdString(), "abc\r\n\r\ndef");

            // The end of the written day, loaded again: three Enters, two
            // empty lines, and the paragraphs stay centred.
            m.dCalendar->SetCalendarDate(written);
            clickBody(m);
            Key(Qt::Key_End, QString(), Qt::ControlModifier);
            enter();
            enter();
            pause(m);
            enter();
            Type(S("x"));
            EXPECT_EQ(m.MemoBody->Text().toStdString(), "First snow.\r\n\r\n\r\nx");
            EXPECT_EQ(m.MemoBody->Paragraph()->Alignment(), taCenter);
            Click(m, *m.btnExit);
        });
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(S("; ")).toStdString();
}

} // namespace
