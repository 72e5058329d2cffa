// The tools window: backup and restore of the diary, the password change,
// the entry font, the export's frame and the birthday keeper from there.

#include "app/diary_export.h"
#include "app/entry_form.h"
#include "app/helpers.h"
#include "app/options_form.h"
#include "app/progress_form.h"
#include "app/settings.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "birthdays/ui/birthday_keeper.h"
#include "controls/cool_edit.h"
#include "controls/dropdown_button.h"
#include "controls/image_combo.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/styled_speed_button.h"
#include "engine/reg_values.h"
#include "platform/core/registry.h"
#include "platform/core/streams.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"
#include "platform/richtext/rtf.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

namespace {

class OptionsWindow : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SetDialogService(&dialogs);
        SetShellHandler([this](const QString& target) {
            opened.append(target);
            return true;
        });
        CreateShowingNothing();
        form->Session().DiaryOpened = true;
        form->Session().ProgramPath = EnsureTrailingBackslash(dir.path());
        form->Session().DataFileName = dir.filePath(S("mine.dry"));
        form->Session().DataBackupName = dir.filePath(S("mine.bak"));
        form->Session().BirthdayFileName = dir.filePath(S("mine.dra"));
        form->Session().UserPassword = S("secret");
        options = new TfrmOptions(form.get(), form->Session(), *form);
        form->frmOptions = options;
    }
    void TearDown() override
    {
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
        EXPECT_EQ(dialogs.PendingAnswers(), 0);
        SetShellHandler({});
        MainWindowFixture::TearDown();
    }

    void Type(const char* title, const char* body)
    {
        form->edtTitle->SetText(S(title));
        form->edtTitle->SetModified(true);
        form->MemoBody->Lines()->SetText(S(body));
        form->MemoBody->SetModified(true);
    }
    // A backup file of one day, written by another diary.
    QString MakeBackup(const QString& password, const QString& title)
    {
        TDiaryDB other;
        other.AddEntry(EncodeDate(2020, 2, 2), title, S("From the backup."), QString(), QString(), 3);
        other.Diary()->SetPassword(password);
        const QString file = dir.filePath(S("old.bkd"));
        other.SaveToFile(file, true);
        return file;
    }
    QStringList Messages() const { return MessageTexts(dialogs); }

    TScriptedDialogService dialogs;
    TfrmOptions* options = nullptr;
    QStringList opened;
};

TEST_F(OptionsWindow, OpensCentredOverTheMainWindowOnItsSkinAndClosesWithEsc)
{
    TfrmMain& main = *form;
    main.SetBounds(100, 80, 900, 700);
    Pick(2026, 4, 1);
    Type("Spring", "Buds.");
    main.Session().PrevDate = EncodeDate(2026, 4, 1);
    main.Session().CurrentSkin = 4;
    TImage expected(nullptr);
    expected.SetBounds(0, 0, TfrmOptions::DesignClientWidth, TfrmOptions::DesignClientHeight);
    ASSERT_TRUE(DrawSkin(*main.Session().rStore, 4, expected));
    bool seen = false;
    OnShown<TfrmOptions>([&](TfrmOptions& shown) {
        seen = true;
        // The day was stored before the window opened.
        EXPECT_EQ(TitleOf(DiaryDB(), EncodeDate(2026, 4, 1)), S("Spring"));
        EXPECT_EQ(shown.Caption(), S("Veltrane Diary - Tools and Options"));
        EXPECT_EQ(QSize(shown.ClientWidth(), shown.ClientHeight()), QSize(400, 330));
        EXPECT_EQ(shown.Left(), 100 + (900 - shown.Width()) / 2);
        EXPECT_EQ(shown.Top(), 80 + (700 - shown.Height()) / 2);
        EXPECT_EQ(shown.ActiveControl(), nullptr);
        EXPECT_EQ(shown.Image_Bck->Picture()->Bitmap()->Image(), expected.Picture()->Bitmap()->Image());
        for (TGlyphSpeedButton* b : { shown.btnBackup, shown.btnChgPassword, shown.btnSetFont, shown.btnExport,
                 shown.btnManage, shown.btnWebsite, shown.btnClose })
            EXPECT_TRUE(QRect(0, 0, 400, 330).contains(b->BoundsRect())) << b->Name().toStdString();
        EXPECT_EQ(shown.btnBackup->DropDownMenu(), shown.pmBackupRestore);
        QTest::keyClick(shown.Handle(), Qt::Key_Escape);
    });
    main.btnOptions->Click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(main.ActiveControl(), nullptr);
}

TEST_F(OptionsWindow, TheToolsStandInOneColumn)
{
    // Where each tool's glyph and the first letter of its caption are
    // drawn, in the window; some captions start with more blanks than others.
    struct Place {
        int glyph, letter;
    };
    const auto place = [](TGlyphSpeedButton* b) {
        TCanvas& canvas = *b->Canvas();
        const TGlyphLayout layout = b->GlyphPainter()->ComputeLayout(canvas, b->ClientRect().adjusted(2, 2, -2, -2),
            b->Caption(), b->Layout(), b->Margin(), b->Spacing(), false, nullptr, -1, DT_CENTER);
        const QString text = layout.Caption;
        qsizetype blanks = 0;
        while (blanks < text.size() && text[blanks] == u' ')
            ++blanks;
        EXPECT_GE(b->Spacing(), 0) << "-1 would place the caption by itself";
        return Place { b->Left() + layout.GlyphPos.x(),
            b->Left() + layout.TextBounds.left() + canvas.TextWidth(text.left(blanks)) };
    };
    const Place first = place(options->btnBackup);
    for (TGlyphSpeedButton* b :
        { options->btnChgPassword, options->btnSetFont, options->btnExport, options->btnManage, options->btnWebsite }) {
        const Place p = place(b);
        EXPECT_EQ(p.glyph, first.glyph) << b->Name().toStdString();
        EXPECT_EQ(p.letter, first.letter) << b->Name().toStdString();
    }
}

TEST_F(OptionsWindow, BackupWritesTheDiaryInMemoryWithThePasswordInUse)
{
    DiaryDB().AddEntry(EncodeDate(2026, 1, 5), S("Saved before"), S("a"), QString(), QString(), 0);
    DiaryDB().Modified = false;
    // A day typed but not yet in any file.
    Pick(2026, 1, 6);
    form->Session().PrevDate = EncodeDate(2026, 1, 6);
    Type("Not yet saved", "b");
    form->HandleEntry();
    const QString file = dir.filePath(S("copy.bkd"));
    dialogs.AnswerSaveFile(file);
    options->pmoBackup->Click();

    const TDialogCall& asked = dialogs.Calls().first();
    EXPECT_EQ(asked.File.Filter, S("Diary Backup|*.bkd"));
    EXPECT_EQ(asked.File.DefaultExt, S("bkd"));
    EXPECT_TRUE(asked.File.Options.Contains(ofOverwritePrompt));
    EXPECT_EQ(QDir(asked.File.InitialDir), QDir(dir.path()));

    TDiaryDB copy;
    ASSERT_EQ(copy.LoadFromFile(file, true, S("secret")), lsNoError);
    EXPECT_EQ(copy.Diary()->Count(), 2);
    EXPECT_EQ(TitleOf(copy, EncodeDate(2026, 1, 6)), S("Not yet saved"));
    // The diary's own file is still to be written at the end of the run.
    EXPECT_TRUE(DiaryDB().Modified);
    EXPECT_FALSE(QFile::exists(form->Session().DataFileName));

    // A folder that cannot take the file: the error reaches the
    // application's error box.
    dialogs.AnswerSaveFile(dir.filePath(S("missing/copy.bkd")));
    EXPECT_THROW(options->pmoBackup->Click(), Exception);
    dialogs.CancelSaveFile();
    options->pmoBackup->Click();
}

TEST_F(OptionsWindow, RestoreThatDoesNotLoadChangesNothing)
{
    DiaryDB().AddEntry(EncodeDate(2026, 1, 5), S("Mine"), S("a"), QString(), QString(), 0);
    DiaryDB().Modified = false;
    Pick(2026, 1, 5);
    form->HandleEntry();
    const QString backup = MakeBackup(S("other"), S("Theirs"));
    QFile damaged(dir.filePath(S("damaged.bkd")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("DR10 not really a diary");
    damaged.close();

    struct Case {
        QString file;
        QString password;
        int status;
    } cases[] = {
        { backup, S("wrong"), lsWrongPassword },
        { backup, S("Other"), lsWrongPassword },
        { damaged.fileName(), S("x"), lsCorrupted },
    };
    for (const Case& c : cases) {
        dialogs.Clear();
        dialogs.AnswerOpenFile(c.file);
        dialogs.AnswerMessageDlg(mrOk);
        dialogs.AnswerInputQuery(c.password);
        dialogs.AnswerMessageDlg(mrOk);
        options->pmoRestore->Click();
        EXPECT_EQ(Messages().last(), TDiaryDB::StatusToErrorStr(c.status)) << c.password.toStdString();
        EXPECT_EQ(dialogs.Calls().last().DlgType, mtError);
        EXPECT_EQ(DiaryDB().Diary()->Count(), 1);
        EXPECT_EQ(TitleOf(DiaryDB(), EncodeDate(2026, 1, 5)), S("Mine"));
        EXPECT_FALSE(DiaryDB().Modified);
        EXPECT_EQ(form->Session().UserPassword, S("secret"));
        EXPECT_EQ(form->edtTitle->Text(), S("Mine"));
    }

    // Cancel at the question or the password, or a file gone meanwhile: no
    // further question, nothing changes.
    dialogs.Clear();
    dialogs.AnswerOpenFile(backup);
    dialogs.AnswerMessageDlg(mrCancel);
    options->pmoRestore->Click();
    EXPECT_EQ(Messages(), QStringList { S("Proceed to restore diary \"old.bkd\" ?") });
    dialogs.AnswerOpenFile(backup);
    dialogs.AnswerMessageDlg(mrOk);
    dialogs.CancelInputQuery();
    options->pmoRestore->Click();
    dialogs.AnswerOpenFile(dir.filePath(S("gone.bkd")));
    dialogs.AnswerMessageDlg(mrOk);
    options->pmoRestore->Click();
    EXPECT_EQ(dialogs.Calls().size(), 7);
    EXPECT_EQ(DiaryDB().Diary()->Count(), 1);
    EXPECT_EQ(form->Session().UserPassword, S("secret"));
}

TEST_F(OptionsWindow, RestoreReplacesTheWholeDiaryAndIsWrittenAtTheEnd)
{
    DiaryDB().AddEntry(EncodeDate(2020, 2, 1), S("Old day"), S("a"), QString(), QString(), 0);
    DiaryDB().Info()->UpdateItemByName(S("edtName"), S("Old Owner"));
    DiaryDB().Modified = false;
    const QString backup = MakeBackup(S("new one"), S("Restored day"));
    // The editor shows a day of its own, edited; Tools stores it first.
    Pick(2020, 2, 2);
    form->Session().PrevDate = EncodeDate(2020, 2, 2);
    Type("Typed here", "Not for the backup.");
    form->HandleEntry();
    ASSERT_EQ(TitleOf(DiaryDB(), EncodeDate(2020, 2, 2)), S("Typed here"));

    dialogs.AnswerOpenFile(backup);
    dialogs.AnswerMessageDlg(mrOk);
    dialogs.AnswerInputQuery(S("  new one  "));
    dialogs.AnswerMessageDlg(mrOk);
    options->pmoRestore->Click();

    const TDialogCall& query = dialogs.Calls().at(2);
    EXPECT_EQ(query.Caption, S("Security Notice"));
    EXPECT_EQ(query.Text, S("Enter password for this diary (this will also be\r\nyour new password)"));
    EXPECT_EQ(Messages().last(), S("Diary restored successfully"));
    EXPECT_EQ(form->Session().UserPassword, S("new one"));
    EXPECT_TRUE(DiaryDB().Modified);
    // Only the backup's content: no old day, no old personal information.
    EXPECT_EQ(DiaryDB().Diary()->Count(), 1);
    EXPECT_EQ(TitleOf(DiaryDB(), EncodeDate(2020, 2, 2)), S("Restored day"));
    EXPECT_EQ(DiaryDB().Info()->GetItemByName(S("edtName")), QString());
    EXPECT_EQ(form->edtTitle->Text(), S("Restored day"));
    EXPECT_TRUE(form->MemoBody->Lines()->Text().contains(S("From the backup.")));
    EXPECT_EQ(form->Mood(), 3);
    EXPECT_EQ(form->dCalendar->ActiveDays(), S(",2,"));

    // Moving on stores nothing of what the editor showed before.
    Pick(2020, 2, 3);
    EXPECT_EQ(TitleOf(DiaryDB(), EncodeDate(2020, 2, 2)), S("Restored day"));
    form->Session().SaveDiary();
    TDiaryDB written;
    ASSERT_EQ(written.LoadFromFile(form->Session().DataFileName, true, S("new one")), lsNoError);
    EXPECT_EQ(TitleOf(written, EncodeDate(2020, 2, 2)), S("Restored day"));
    EXPECT_EQ(written.Diary()->Count(), 1);
}

TEST_F(OptionsWindow, PasswordChange)
{
    const QString caption = S("Password Change");
    struct Case {
        const char* name;
        QList<const char*> answers; // nullptr cancels that query
        QStringList messages;
        const char* password; // what the diary then uses
    } cases[] = {
        { "cancel old", { nullptr }, {}, "secret" },
        { "wrong old", { "Secret" }, { S("Password is incorrect!") }, "secret" },
        { "cancel new", { "secret", nullptr }, {}, "secret" },
        { "cancel confirmation", { "secret", "new", nullptr }, {}, "secret" },
        { "mismatch", { "secret", "new", "New" }, { S("Passwords do not match!") }, "secret" },
        { "unstorable", { "secret", "αβγ", "αβγ" },
            { S("The password cannot contain these characters: α β γ\r\nPlease use only Western European letters, "
                "digits and signs.") },
            "secret" },
        { "blanks around", { " secret\t", "  pass word ", "pass word" }, { S("Password was successfully changed") },
            "pass word" },
        { "to none", { "secret", "", "" }, { S("Password was successfully changed") }, "" },
    };
    for (const Case& c : cases) {
        form->Session().UserPassword = S("secret");
        form->Session().DiaryModified = false;
        DiaryDB().Modified = false;
        dialogs.Clear();
        for (const char* a : c.answers)
            a ? dialogs.AnswerInputQuery(S(a)) : dialogs.CancelInputQuery();
        if (!c.messages.isEmpty())
            dialogs.AnswerMessageDlg(mrOk);
        options->btnChgPassword->Click();
        EXPECT_EQ(Messages(), c.messages) << c.name;
        EXPECT_EQ(form->Session().UserPassword, S(c.password)) << c.name;
        const bool changed = form->Session().UserPassword != S("secret");
        EXPECT_EQ(form->Session().DiaryModified, changed) << c.name;
        EXPECT_EQ(DiaryDB().Modified, changed) << c.name;
        for (const TDialogCall& call : dialogs.Calls())
            EXPECT_TRUE(call.Kind != TDialogKind::InputQuery || call.Caption == caption) << c.name;
    }
    // The diary written with the new password opens with it as typed
    // in the wizard, which trims.
    form->Session().UserPassword = S("secret");
    dialogs.Clear();
    for (const char* a : { "secret", " open me ", " open me" })
        dialogs.AnswerInputQuery(S(a));
    dialogs.AnswerMessageDlg(mrOk);
    options->btnChgPassword->Click();
    form->Session().SaveDiary();
    TDiaryDB written;
    EXPECT_EQ(written.LoadFromFile(form->Session().DataFileName, true, S(" open me ").trimmed()), lsNoError);
}

// Every prompt that asks for a password hides what is typed, here and in
// the start-up wizard.
TEST_F(OptionsWindow, EveryPasswordIsAskedMasked)
{
    const QString backup = MakeBackup(S("old"), S("Theirs"));
    const auto wizard = [this] { return std::make_unique<TfrmEntry>(nullptr, form->Session(), *form); };
    const struct {
        const char* caption;
        const char* prompt;
        std::function<void()> ask;
    } prompts[] = {
        { "Password Change", "Enter OLD password",
            [&] {
                dialogs.CancelInputQuery();
                options->btnChgPassword->Click();
            } },
        { "Password Change", "Enter NEW password",
            [&] {
                dialogs.AnswerInputQuery(S("secret"));
                dialogs.CancelInputQuery();
                options->btnChgPassword->Click();
            } },
        { "Password Change", "Re-enter NEW password for confirmation",
            [&] {
                dialogs.AnswerInputQuery(S("secret"));
                dialogs.AnswerInputQuery(S("new"));
                dialogs.CancelInputQuery();
                options->btnChgPassword->Click();
            } },
        { "Security Notice", "Enter password for this diary (this will also be\r\nyour new password)",
            [&] {
                dialogs.AnswerOpenFile(backup);
                dialogs.AnswerMessageDlg(mrOk);
                dialogs.CancelInputQuery();
                options->pmoRestore->Click();
            } },
        { " Password Confirmation", "Please re-type your password:",
            [&] {
                const auto w = wizard();
                w->cbDiary->SetItemIndex(0);
                w->btnNextClick(w->btnNext);
                w->edtPassword->SetText(S("new"));
                dialogs.CancelInputQuery();
                w->btnNextClick(w->btnNext);
            } },
        { "Security Notice", "Enter the password of this backup diary",
            [&] {
                const auto w = wizard();
                w->cbDiary->SetItemIndex(w->cbDiary->Items()->Count() - 1);
                dialogs.AnswerOpenFile(backup);
                dialogs.CancelInputQuery();
                w->btnNextClick(w->btnNext);
            } },
    };
    for (const auto& p : prompts) {
        dialogs.Clear();
        p.ask();
        ASSERT_FALSE(dialogs.Calls().isEmpty()) << p.prompt;
        const TDialogCall& asked = dialogs.Calls().last();
        EXPECT_EQ(asked.Kind, TDialogKind::InputQuery) << p.prompt;
        EXPECT_EQ(asked.Caption, S(p.caption)) << p.prompt;
        EXPECT_EQ(asked.Text, S(p.prompt));
        EXPECT_TRUE(asked.Masked) << p.prompt;
        EXPECT_EQ(dialogs.UnansweredCalls(), 0) << p.prompt;
    }
}

TEST_F(OptionsWindow, FontDialogChoiceBecomesTheEntryFont)
{
    form->Session().reger->SetV(S("FontName"), S("Arial"));
    form->Session().reger->SetV(S("FontSize"), 11);
    TFontDialogRequest chosen;
    chosen.Name = S("Liberation Serif");
    chosen.Size = 15;
    chosen.Style = TFontDialogRequest::StyleItalic;
    chosen.Color = 0x00800000;
    dialogs.CancelFont();
    options->btnSetFont->Click();
    EXPECT_EQ(dialogs.Calls().last().Font.Name, S("Arial"));
    EXPECT_EQ(dialogs.Calls().last().Font.Size, 11);
    EXPECT_TRUE(dialogs.Calls().last().Font.Options.Contains(fdEffects));
    EXPECT_NE(form->Session().CurrentFont->Name(), S("Liberation Serif"));

    dialogs.AnswerFont(chosen);
    options->btnSetFont->Click();
    for (const TFont* f : { form->MemoBody->Font(), form->edtTitle->Font(), form->Session().CurrentFont }) {
        EXPECT_EQ(f->Name(), S("Liberation Serif"));
        EXPECT_EQ(f->Size(), 15);
        EXPECT_EQ(f->Style(), TFontStyles(fsItalic));
        EXPECT_EQ(f->Color(), TColor(0x00800000));
    }
    // The empty body starts typing in it.
    EXPECT_EQ(form->MemoBody->DefAttributes()->Name(), S("Liberation Serif"));
    EXPECT_EQ(form->MemoBody->DefAttributes()->Size(), 15);
    // And the settings keep it for the next start.
    TFont next;
    LoadFontFromRegistry(*form->Session().reger, next);
    EXPECT_EQ(next.Name(), S("Liberation Serif"));
    EXPECT_EQ(next.Size(), 15);
    EXPECT_EQ(next.Style(), TFontStyles(fsItalic));
}

TEST_F(OptionsWindow, AFontSettingTheProgramLacksIsReportedNotPassedOver)
{
    // As if the code named a value its settings do not hold.
    form->Session().reger->Items()->GetByName(Settings::FontStyle)->SetValueName(S("FontStyles"));
    form->Session().reger->SetV(Settings::FontName, S("Liberation Mono"));
    const QString before = form->MemoBody->Font()->Name();
    const struct {
        const char* name;
        std::function<void()> act;
    } cases[] = {
        { "the main window's font set-up", [&] { form->LoadFontSettings(); } },
        { "the tools window's font button", [&] { options->btnSetFont->Click(); } },
    };
    for (const auto& c : cases) {
        try {
            c.act();
            ADD_FAILURE() << c.name << ": nothing raised";
        } catch (const ENameInvalid& e) {
            EXPECT_EQ(e.Message(), S("Invalid Value Name!FontStyle")) << c.name;
        }
        EXPECT_TRUE(dialogs.Calls().isEmpty()) << c.name << ": no font dialog after the failure";
        EXPECT_EQ(form->MemoBody->Font()->Name(), before) << c.name;
    }
}

TEST_F(OptionsWindow, AFontIsKeptAndExportedByItsFamilyAlone)
{
    // Qt lists a family several foundries make with the foundry; a day
    // written by an earlier run carries that name in its body.
    DiaryDB().AddEntry(EncodeDate(2026, 1, 2), S("Old"),
        S("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Nimbus Roman [urw];}}\\f0 old words\\par}"), QString(), QString(), 0);
    TFontDialogRequest chosen;
    chosen.Name = S("Nimbus Roman [urw]");
    chosen.Size = 12;
    dialogs.AnswerFont(chosen);
    options->btnSetFont->Click();
    for (const TFont* f : { form->MemoBody->Font(), form->edtTitle->Font(), form->Session().CurrentFont })
        EXPECT_EQ(f->Name(), S("Nimbus Roman"));
    EXPECT_EQ(form->Session().reger->Get(S("FontName")).toString(), S("Nimbus Roman"));
    const QByteArray rtf = DiaryToRtf(DiaryDB(), *form->MemoBody->Font());
    EXPECT_TRUE(rtf.contains(" Nimbus Roman;")) << rtf.constData();
    EXPECT_FALSE(rtf.contains("[urw]")) << rtf.constData();

    // A setting an earlier run stored with the foundry reads as the family.
    form->Session().reger->SetV(S("FontName"), S("Nimbus Roman [urw]"));
    TFont next;
    LoadFontFromRegistry(*form->Session().reger, next);
    EXPECT_EQ(next.Name(), S("Nimbus Roman"));
}

TEST_F(OptionsWindow, ManageBirthdaysSavesBeforeAndLoadsAfter)
{
    AddBirthday(S("Anna"), EncodeDate(1980, 5, 3));
    Pick(2026, 5, 20);
    bool seen = false;
    OnShown<TfrmBDMain>([&](TfrmBDMain& keeper) {
        seen = true;
        EXPECT_TRUE(QFile::exists(form->Session().BirthdayFileName));
        EXPECT_EQ(keeper.GetOwner(), options);
        EXPECT_EQ(keeper.CPCalendar->CalendarDate(), EncodeDate(2026, 5, 20));
        AddBirthday(S("Zoe"), EncodeDate(1004, 5, 20));
        keeper.btnExit->Click();
    });
    options->btnManage->Click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(BirthdayComponent().Entries()->Count(), 2);
    EXPECT_FALSE(BirthdayComponent().Entries()->Modified());
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("3,20,0"));
}

TEST_F(OptionsWindow, ExportWritesTheFileWholeOrReportsAndKeepsTheOldOne)
{
    DiaryDB().AddEntry(
        EncodeDate(1890, 7, 1), S("Long ago"), S("{\\rtf1 Old \\b times\\b0\\par}"), QString(), QString(), 0);
    DiaryDB().AddEntry(EncodeDate(2026, 7, 1), S("Now"), S("Plain words"), QString(), QString(), 0);
    const QString file = dir.filePath(S("diary.rtf"));
    dialogs.AnswerSaveFile(file);
    dialogs.AnswerMessageBox(IDYES);
    // While the file is written and offered, the progress window shows and
    // keeps the user out of the other windows.
    form->Show();
    options->Show();
    bool busy = false;
    dialogs.OnCall = [&](const TDialogCall& call) {
        if (call.Kind == TDialogKind::MessageBox)
            busy = options->frmProgress && options->frmProgress->Visible() && !form->Enabled() && !options->Enabled();
    };
    options->btnExport->Click();
    dialogs.OnCall = {};
    EXPECT_TRUE(busy);
    const TDialogCall& asked = dialogs.Calls().first();
    EXPECT_EQ(asked.File.Filter, S("Microsoft Word/RTF files|*.rtf"));
    EXPECT_EQ(asked.File.DefaultExt, S("rtf"));
    EXPECT_TRUE(asked.File.Options.Contains(ofOverwritePrompt));
    const TDialogCall& question = dialogs.Calls().last();
    EXPECT_EQ(question.Text, S("View the generated RTF file?"));
    EXPECT_EQ(question.Caption, S("Info"));
    EXPECT_EQ(question.Flags, MB_ICONQUESTION | MB_YESNO);
    EXPECT_EQ(opened, QStringList { file });
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(written.readAll(), doc));
    const QString text = doc.toPlainText();
    EXPECT_LT(text.indexOf(S("Long ago")), text.indexOf(S("Now")));
    EXPECT_TRUE(text.contains(S("Plain words")));
    // The other windows work again.
    ASSERT_NE(options->frmProgress, nullptr);
    EXPECT_FALSE(options->frmProgress->Visible());
    EXPECT_TRUE(form->Enabled());

    // A folder in the way of the file: the message, no file half written.
    written.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(S("taken.rtf")));
    const QStringList entries = QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    dialogs.AnswerSaveFile(dir.filePath(S("taken.rtf")));
    dialogs.AnswerMessageDlg(mrOk);
    options->btnExport->Click();
    // The reason follows on a line of its own, naming the file.
    const QStringList folderInTheWay = Messages().last().split(S("\r\n"));
    ASSERT_EQ(folderInTheWay.size(), 2) << qPrintable(Messages().last());
    EXPECT_EQ(folderInTheWay[0], S("Diary Export to RTF failed!"));
    EXPECT_TRUE(folderInTheWay[1].contains(S("taken.rtf"))) << qPrintable(folderInTheWay[1]);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), entries);
    EXPECT_TRUE(form->Enabled());

    // A day that cannot be read half-way: the earlier export stays whole.
    const QByteArray earlier = ReadWholeFile(file);
    DiaryDB().Diary()->Indexer().AddObject(S("20300101"), 12345);
    dialogs.AnswerSaveFile(file);
    dialogs.AnswerMessageDlg(mrOk);
    options->btnExport->Click();
    EXPECT_EQ(Messages().last(), S("Diary Export to RTF failed!\r\nThe diary holds no day 20300101"));
    EXPECT_EQ(ReadWholeFile(file), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), entries);
    dialogs.CancelSaveFile();
    options->btnExport->Click();
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(OptionsWindow, WebSiteGoesToTheShell)
{
    options->btnWebsite->Click();
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().startsWith(S("https://")));
}

} // namespace
