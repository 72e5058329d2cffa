#include "app/entry_form.h"
#include "platform/core/sysutils.h"

#include "app/helpers.h"
#include "app/main_form.h"
#include "birthdays/birthday.h"
#include "controls/cool_edit.h"
#include "controls/image_combo.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "engine/file_iterator.h"
#include "platform/core/registry.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "support/main_window_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

const QString kNewText = S("You are about to create a new diary. You will be asked for a name and a secret password.");
const QString kPasswordText = S("Type in your password:");

// The diaries lie in the fixture's folder; form is the main window the
// wizard opens for.
class EntryForm : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SetDialogService(&dialogs);
    }
    void TearDown() override
    {
        wizard.reset();
        MainWindowFixture::TearDown();
    }

    static void StoreLastDiary(const char* name)
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(TfrmMain::RegistryKey(), true));
        r.WriteString(S("LastDiaryName"), S(name));
    }
    QString Path(const char* name) const { return dir.filePath(S(name)); }
    // A diary with one entry titled `title`, locked with `password`.
    void WriteDiary(const char* name, const QString& password, const char* title) const
    {
        TDiaryDB db;
        db.Diary()->SetPassword(password);
        db.AddEntry(45000, S(title), S("body"), QString(), QString(), 0);
        db.SaveToFile(Path(name));
    }
    void WriteBytes(const char* name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    TfrmEntry& Create()
    {
        wizard.reset();
        if (!form) {
            form = std::make_unique<TfrmMain>(nullptr);
            form->Session().ProgramPath = EnsureTrailingBackslash(dir.path());
        }
        wizard = std::make_unique<TfrmEntry>(nullptr, form->Session(), *form);
        return *wizard;
    }
    QStringList ListItems() const { return wizard->cbDiary->Items()->ToStringList(); }
    QStringList Messages() const { return MessageTexts(dialogs, false); }
    // Selects a listed diary, types the password and presses Next.
    void Open(const char* item, const QString& password)
    {
        const int index = wizard->cbDiary->Items()->IndexOf(S(item));
        ASSERT_GT(index, 0);
        wizard->cbDiary->SetItemIndex(index);
        wizard->cbDiaryChange(wizard->cbDiary);
        wizard->edtPassword->SetText(password);
        wizard->btnNextClick(wizard->btnNext);
    }
    // Goes to the naming step and fills in name and password.
    void StartNew(const QString& name, const QString& password)
    {
        wizard->cbDiary->SetItemIndex(0);
        wizard->btnNextClick(wizard->btnNext);
        ASSERT_EQ(wizard->CurrentStep(), 1);
        wizard->edtDiary->SetText(name);
        wizard->edtPassword->SetText(password);
    }

    TScriptedDialogService dialogs;
    std::unique_ptr<TfrmEntry> wizard;
};

TEST_F(EntryForm, FormLayout)
{
    TfrmEntry& w = Create();
    EXPECT_EQ(w.ClientRect().size(), QSize(289, 186));
    EXPECT_EQ(w.BorderStyle(), bsSingle);
    EXPECT_EQ(w.BorderIcons(), 0u);
    EXPECT_EQ(w.Color(), clBlack);
    EXPECT_EQ(w.Caption(), ProgramTitle());
    EXPECT_EQ(w.btnNext->Width(), 101);
    EXPECT_EQ(w.btnNext->Height(), 31);
    EXPECT_EQ(w.btnNext->Style(), bsModern);
    EXPECT_EQ(w.edtDiary->MaxLength(), 30);
    EXPECT_EQ(w.edtPassword->MaxLength(), 30);
    EXPECT_EQ(w.edtPassword->PasswordChar(), QLatin1Char('*'));
    EXPECT_EQ(w.ilDiaryEntry->Count(), 3);
    EXPECT_FALSE(w.fFileIterator->Recurse());
    EXPECT_EQ(w.fFileIterator->FileMask(), S("*.dry"));
}

// The pixels of a picture that are not fully transparent.
QRegion Opaque(const QImage& picture, QPoint at)
{
    QRegion r;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) > 0)
                r += QRect(at.x() + x, at.y() + y, 1, 1);
    return r;
}

TEST_F(EntryForm, ThePicturesShowWhole)
{
    WriteDiary("mine.dry", S("a"), "A");
    TfrmEntry& w = Create();
    EXPECT_LE(w.imgDiary->Picture()->Width(), w.imgDiary->Width());
    EXPECT_LE(w.imgDiary->Picture()->Height(), w.imgDiary->Height());

    // Each list item drawn into a cell away from the image's edges, on a
    // colour no picture has: every pixel its picture covers is drawn,
    // outline included, and nothing near the cell's edge.
    const char* const pictures[] = { "DIARYNEW", "DIARYFILE", "DIARYRESTORE" };
    ASSERT_EQ(w.cbDiary->Items()->Count(), 3);
    w.cbDiary->SetColor(clFuchsia);
    const QRect cell(10, 4, w.cbDiary->Width(), w.cbDiary->ItemHeight());
    const int h = w.ilDiaryEntry->Height();
    for (int item = 0; item < 3; ++item) {
        SCOPED_TRACE(pictures[item]);
        QImage image(cell.right() + 10, cell.bottom() + 4, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        {
            QPainter painter(&image);
            w.cbDiary->PaintOwnerDrawItem(painter, item, cell, 0);
        }
        // Up to where the text starts.
        QRegion drawn;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < cell.left() + h + 2; ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0xFF00FF)
                    drawn += QRect(x, y, 1, 1);
        const QPoint at(cell.left() + 1, cell.top() + std::max(0, (cell.height() - h) / 2));
        const QRegion art = Opaque(ProgramPicture(S(pictures[item])), at);
        // Inside the cell, clear of the focus frame on its edge.
        EXPECT_TRUE(cell.adjusted(1, 1, -1, -1).contains(drawn.boundingRect()));
        EXPECT_EQ(drawn.boundingRect(), art.boundingRect());
        EXPECT_TRUE((art - drawn).isEmpty()) << "parts of the picture left out: " << (art - drawn).rectCount();
    }
}

TEST_F(EntryForm, EmptyFolderOffersNewAndRestore)
{
    TfrmEntry& w = Create();
    EXPECT_EQ(ListItems(), (QStringList { S("* Create New Diary *"), S("* Restore diary from backup") }));
    EXPECT_EQ(w.cbDiary->ItemIndex(), 0);
    EXPECT_FALSE(w.edtPassword->Visible());
    EXPECT_FALSE(w.edtDiary->Visible());
    EXPECT_EQ(w.lblPassword->Caption(), kNewText);
    EXPECT_EQ(w.btnNext->Caption(), S("&Next > "));
    EXPECT_EQ(w.btnPrev->Caption(), S("E&xit"));
    EXPECT_EQ(w.CurrentStep(), 0);
}

TEST_F(EntryForm, ListsDiariesAndPreselectsTheLastOneWithoutRegardToCase)
{
    WriteDiary("alpha.dry", S("a"), "A");
    WriteDiary("default.dry", S("d"), "D");
    WriteBytes("default.bak", "x");
    WriteBytes("notes.txt", "x");
    StoreLastDiary("Default.DRY");
    TfrmEntry& w = Create();
    EXPECT_EQ(ListItems(),
        (QStringList { S("* Create New Diary *"), S("alpha"), S("default"), S("* Restore diary from backup") }));
    EXPECT_EQ(w.cbDiary->ItemIndex(), 2);
    EXPECT_TRUE(w.edtPassword->Visible());
    EXPECT_EQ(w.lblPassword->Caption(), kPasswordText);
}

TEST_F(EntryForm, AStoredNameMatchingNoFileSelectsNew)
{
    WriteDiary("alpha.dry", S("a"), "A");
    StoreLastDiary("gone.dry");
    TfrmEntry& w = Create();
    EXPECT_EQ(w.cbDiary->ItemIndex(), 0);
    EXPECT_FALSE(w.edtPassword->Visible());
}

TEST_F(EntryForm, ChangingTheChoiceShowsItsPrompt)
{
    WriteDiary("alpha.dry", S("a"), "A");
    TfrmEntry& w = Create();
    w.cbDiary->SetItemIndex(1);
    w.cbDiaryChange(w.cbDiary);
    EXPECT_EQ(w.lblPassword->Caption(), kPasswordText);
    EXPECT_TRUE(w.edtPassword->Visible());
    w.cbDiary->SetItemIndex(0);
    w.cbDiaryChange(w.cbDiary);
    EXPECT_EQ(w.lblPassword->Caption(), kNewText);
    EXPECT_FALSE(w.edtPassword->Visible());
}

TEST_F(EntryForm, OpensADiaryWithTheRightPassword)
{
    WriteDiary("mine.dry", S("secret"), "Hello");
    TfrmEntry& w = Create();
    Open("mine", S("secret"));
    EXPECT_TRUE(dialogs.Calls().isEmpty());
    EXPECT_EQ(w.ModalResult(), mrOk);
    EXPECT_EQ(form->Session().DataFileName, Path("mine.dry"));
    EXPECT_EQ(form->Session().DataBackupName, Path("mine.bak"));
    EXPECT_EQ(form->Session().BirthdayFileName, Path("mine.dra"));
    EXPECT_EQ(form->Session().UserPassword, S("secret"));
    EXPECT_FALSE(form->Session().DiaryIsNew);
    EXPECT_EQ(TitleOf(DiaryDB(), 45000), S("Hello"));
}

TEST_F(EntryForm, ANameWithSeveralDotsOpensItsOwnFile)
{
    WriteDiary("my.dry", S("p"), "Plain");
    WriteDiary("my.old.dry", S("p"), "Dotted");
    TfrmEntry& w = Create();
    EXPECT_EQ(ListItems(),
        (QStringList { S("* Create New Diary *"), S("my"), S("my.old"), S("* Restore diary from backup") }));
    Open("my.old", S("p"));
    EXPECT_EQ(w.ModalResult(), mrOk);
    EXPECT_EQ(form->Session().DataFileName, Path("my.old.dry"));
    EXPECT_EQ(form->Session().DataBackupName, Path("my.old.bak"));
    EXPECT_EQ(form->Session().BirthdayFileName, Path("my.old.dra"));
    EXPECT_EQ(TitleOf(DiaryDB(), 45000), S("Dotted"));
}

TEST_F(EntryForm, AWrongPasswordNeverTriesTheBackup)
{
    WriteDiary("mine.dry", S("secret"), "Main");
    // The backup would open with the typed password, so reading it would show.
    WriteDiary("mine.bak", S("guess"), "Backup");
    TfrmEntry& w = Create();
    dialogs.AnswerMessageDlg(mrOk);
    Open("mine", S("guess"));
    EXPECT_EQ(Messages(), QStringList { TDiaryDB::StatusToErrorStr(lsWrongPassword) });
    EXPECT_EQ(dialogs.Calls().at(0).DlgType, mtError);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    EXPECT_EQ(w.ModalResult(), mrNone);
    EXPECT_EQ(w.CurrentStep(), 0);
    EXPECT_EQ(w.btnNext->Caption(), S("&Next > "));
    EXPECT_TRUE(w.cbDiary->Visible());
    EXPECT_TRUE(w.edtPassword->Visible());
    EXPECT_TRUE(TitleOf(DiaryDB(), 45000).isEmpty());
}

TEST_F(EntryForm, ADamagedDiaryFallsBackToItsBackup)
{
    WriteBytes("mine.dry", "DR10 broken");
    WriteDiary("mine.bak", S("secret"), "Backup");
    TfrmEntry& w = Create();
    dialogs.AnswerMessageDlg(mrOk);
    Open("mine", S("secret"));
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_EQ(dialogs.Calls().at(0).DlgType, mtWarning);
    EXPECT_TRUE(Messages().at(0).startsWith(S("The original diary produced the following error:\r\n\"")));
    EXPECT_TRUE(Messages().at(0).endsWith(S("\".\r\n\r\nI will try to use the most recent backup.")));
    EXPECT_EQ(w.ModalResult(), mrOk);
    EXPECT_EQ(form->Session().DataFileName, Path("mine.dry"));
    EXPECT_EQ(TitleOf(DiaryDB(), 45000), S("Backup"));
}

TEST_F(EntryForm, ADamagedDiaryWithoutBackupStays)
{
    WriteBytes("mine.dry", "not a diary at all");
    TfrmEntry& w = Create();
    dialogs.AnswerMessageDlg(mrOk);
    Open("mine", S("secret"));
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_EQ(dialogs.Calls().at(0).DlgType, mtError);
    EXPECT_EQ(w.ModalResult(), mrNone);
    EXPECT_EQ(w.CurrentStep(), 0);
}

TEST_F(EntryForm, ABackupThatFailsTooIsReported)
{
    WriteBytes("mine.dry", "DR10 broken");
    WriteBytes("mine.bak", "also broken");
    TfrmEntry& w = Create();
    dialogs.AnswerMessageDlg(mrOk);
    dialogs.AnswerMessageDlg(mrOk);
    Open("mine", S("secret"));
    ASSERT_EQ(Messages().size(), 2);
    EXPECT_EQ(dialogs.Calls().at(0).DlgType, mtWarning);
    EXPECT_EQ(dialogs.Calls().at(1).DlgType, mtError);
    EXPECT_EQ(w.ModalResult(), mrNone);
}

TEST_F(EntryForm, OpenDiaryIsTrueWhenTheDiaryIsLoaded)
{
    const struct {
        const char* name;
        bool damaged;
        bool backup;
        const char* password;
        bool opened;
    } cases[] = {
        { "the right password", false, false, "secret", true },
        { "a wrong password", false, true, "guess", false },
        { "a damaged diary with its backup", true, true, "secret", true },
        { "a damaged diary alone", true, false, "secret", false },
    };
    for (const auto& c : cases) {
        QFile::remove(Path("mine.bak"));
        if (c.damaged)
            WriteBytes("mine.dry", "DR10 broken");
        else
            WriteDiary("mine.dry", S("secret"), "Main");
        if (c.backup)
            WriteDiary("mine.bak", S("secret"), "Backup");
        TfrmEntry& w = Create();
        dialogs.Clear();
        dialogs.AnswerMessageDlg(mrOk);
        EXPECT_EQ(w.OpenDiary(Path("mine.dry"), Path("mine.bak"), S(c.password)), c.opened) << c.name;
    }
}

TEST_F(EntryForm, ABadBirthdayFileIsReportedAndTheDiaryStaysOpen)
{
    WriteDiary("mine.dry", S("secret"), "Hello");
    WriteBytes("mine.dra", "garbage");
    TfrmEntry& w = Create();
    dialogs.AnswerMessageDlg(mrOk);
    Open("mine", S("secret"));
    // The loader's own reason, where it stopped reading, in place of "Unknown error".
    EXPECT_EQ(Messages(),
        QStringList { S("Could not load birthday/anniversary data. The error message was:\r\n\r\n"
                        "\"Invalid stream format (reading stopped at byte 1 of 7)\"") });
    EXPECT_EQ(w.ModalResult(), mrOk);
    EXPECT_EQ(TitleOf(DiaryDB(), 45000), S("Hello"));
}

TEST_F(EntryForm, ABirthdayFileIsLoaded)
{
    WriteDiary("mine.dry", S("secret"), "Hello");
    {
        TBirthdayComponent birthdays;
        auto* entry = new TEntry(birthdays.Entries());
        entry->SetFullName(S("Ada"));
        birthdays.SaveToFile(Path("mine.dra"));
    }
    Create();
    Open("mine", S("secret"));
    EXPECT_TRUE(dialogs.Calls().isEmpty());
    EXPECT_EQ(BirthdayComponent().Entries()->Count(), 1);
}

TEST_F(EntryForm, NextOnNewAsksForNameAndPassword)
{
    TfrmEntry& w = Create();
    w.btnNextClick(w.btnNext);
    EXPECT_EQ(w.CurrentStep(), 1);
    EXPECT_EQ(w.edtDiary->Text(), S("My Diary"));
    EXPECT_EQ(w.lblDiary->Caption(), S("Type in your new diary name:"));
    EXPECT_EQ(w.lblPassword->Caption(), S("Select your secret password:"));
    EXPECT_FALSE(w.cbDiary->Visible());
    EXPECT_TRUE(w.edtDiary->Visible());
    EXPECT_TRUE(w.edtPassword->Visible());
    EXPECT_EQ(w.btnNext->Caption(), S("&Finish >>"));
    EXPECT_EQ(w.btnPrev->Caption(), S("< &Back"));

    w.btnPrevClick(w.btnPrev);
    EXPECT_EQ(w.CurrentStep(), 0);
    EXPECT_TRUE(w.cbDiary->Visible());
    EXPECT_FALSE(w.edtDiary->Visible());
    EXPECT_FALSE(w.edtPassword->Visible());
    EXPECT_EQ(w.lblDiary->Caption(), S("Select your diary"));
    EXPECT_EQ(w.lblPassword->Caption(), kNewText);
    EXPECT_EQ(w.btnNext->Caption(), S("&Next > "));
    EXPECT_EQ(w.btnPrev->Caption(), S("E&xit"));
    EXPECT_EQ(w.ModalResult(), mrNone);
}

TEST_F(EntryForm, ABlankNameIsRefused)
{
    TfrmEntry& w = Create();
    StartNew(S("   "), S("pw"));
    dialogs.AnswerMessageDlg(mrOk);
    w.btnNextClick(w.btnNext);
    EXPECT_EQ(Messages(), QStringList { S("Diary name cannot be blank") });
    EXPECT_EQ(dialogs.Calls().at(0).DlgType, mtError);
    EXPECT_EQ(w.CurrentStep(), 1);
    EXPECT_EQ(w.ModalResult(), mrNone);
}

TEST_F(EntryForm, AnExistingNameIsRefusedAfterTrimming)
{
    WriteDiary("Travel.dry", S("x"), "T");
    TfrmEntry& w = Create();
    StartNew(S("  Travel "), S("pw"));
    dialogs.AnswerMessageDlg(mrOk);
    w.btnNextClick(w.btnNext);
    EXPECT_EQ(Messages(), QStringList { S("This Diary Already Exists!") });
    EXPECT_EQ(w.CurrentStep(), 1);
    EXPECT_EQ(w.ModalResult(), mrNone);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
}

TEST_F(EntryForm, MismatchingPasswordsAreRefused)
{
    TfrmEntry& w = Create();
    StartNew(S("Travel"), S("Secret"));
    dialogs.AnswerInputQuery(S("secret"));
    dialogs.AnswerMessageDlg(mrOk);
    w.btnNextClick(w.btnNext);
    ASSERT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(dialogs.Calls().at(0).Kind, TDialogKind::InputQuery);
    EXPECT_EQ(dialogs.Calls().at(0).Caption, S(" Password Confirmation"));
    EXPECT_EQ(dialogs.Calls().at(0).Text, S("Please re-type your password:"));
    EXPECT_TRUE(dialogs.Calls().at(0).Value.isEmpty());
    EXPECT_EQ(Messages(), QStringList { S("Passwords do not match") });
    EXPECT_EQ(w.CurrentStep(), 1);
    EXPECT_EQ(w.ModalResult(), mrNone);
}

TEST_F(EntryForm, CancellingTheConfirmationDoesNothing)
{
    TfrmEntry& w = Create();
    StartNew(S("Travel"), S("pw"));
    dialogs.CancelInputQuery();
    w.btnNextClick(w.btnNext);
    EXPECT_EQ(dialogs.Calls().size(), 1);
    EXPECT_EQ(w.CurrentStep(), 1);
    EXPECT_EQ(w.ModalResult(), mrNone);
    EXPECT_TRUE(form->Session().DataFileName.isEmpty());
}

TEST_F(EntryForm, CreatesANewDiaryWithTheTrimmedPassword)
{
    TfrmEntry& w = Create();
    StartNew(S(" Travel  "), S("secret "));
    dialogs.AnswerInputQuery(S("secret"));
    w.btnNextClick(w.btnNext);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    EXPECT_EQ(Messages(), QStringList());
    EXPECT_EQ(w.ModalResult(), mrOk);
    EXPECT_TRUE(form->Session().DiaryIsNew);
    EXPECT_EQ(form->Session().UserPassword, S("secret"));
    EXPECT_EQ(form->Session().DataFileName, Path("Travel.dry"));
    EXPECT_EQ(form->Session().DataBackupName, Path("Travel.bak"));
    EXPECT_EQ(form->Session().BirthdayFileName, Path("Travel.dra"));
    // Nothing is written until the program ends.
    EXPECT_FALSE(QFile::exists(Path("Travel.dry")));
}

TEST_F(EntryForm, ADiaryCreatedWithBlanksOpensWithTheSameTyping)
{
    TfrmEntry& w = Create();
    StartNew(S("Travel"), S(" secret "));
    dialogs.AnswerInputQuery(S(" secret "));
    w.btnNextClick(w.btnNext);
    ASSERT_EQ(w.ModalResult(), mrOk);
    // The program's end saves the new diary with the password in use.
    DiaryDB().Diary()->SetPassword(form->Session().UserPassword);
    DiaryDB().AddEntry(45000, S("Day one"), S("body"), QString(), QString(), 0);
    DiaryDB().SaveToFile(form->Session().DataFileName);
    FreeDiaryDB();

    Create();
    Open("Travel", S(" secret "));
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    EXPECT_EQ(wizard->ModalResult(), mrOk);
    EXPECT_EQ(TitleOf(DiaryDB(), 45000), S("Day one"));
}

TEST_F(EntryForm, ANewDiaryRefusesAPasswordItsFileCannotKeep)
{
    TfrmEntry& w = Create();
    StartNew(S("Travel"), S("\xCE\xB1\xCE\xB2\xCE\xB3 x"));
    dialogs.AnswerMessageDlg(mrOk);
    w.btnNextClick(w.btnNext);
    // Refused before the confirmation is asked for.
    ASSERT_EQ(dialogs.Calls().size(), 1);
    EXPECT_EQ(dialogs.Calls().at(0).DlgType, mtError);
    EXPECT_EQ(Messages(),
        QStringList { S("The password cannot contain these characters: \xCE\xB1 \xCE\xB2 \xCE\xB3\r\n"
                        "Please use only Western European letters, digits and signs.") });
    EXPECT_EQ(w.CurrentStep(), 1);
    EXPECT_EQ(w.ModalResult(), mrNone);
    EXPECT_TRUE(form->Session().DataFileName.isEmpty());

    // Accented letters and signs of the code page are kept, and only they
    // open the diary again.
    const QString western = QStringLiteral("Gr\u00FC\u00DFe \u20AC?");
    w.edtPassword->SetText(western);
    dialogs.AnswerInputQuery(western);
    w.btnNextClick(w.btnNext);
    ASSERT_EQ(w.ModalResult(), mrOk);
    EXPECT_EQ(form->Session().UserPassword, western);
    DiaryDB().Diary()->SetPassword(form->Session().UserPassword);
    DiaryDB().AddEntry(45000, S("Day one"), S("body"), QString(), QString(), 0);
    DiaryDB().SaveToFile(form->Session().DataFileName);
    FreeDiaryDB();

    Create();
    dialogs.AnswerMessageDlg(mrOk);
    Open("Travel", QStringLiteral("Gr\u00FC\u00DFe \u20AC\u03B4"));
    EXPECT_EQ(Messages().last(), TDiaryDB::StatusToErrorStr(lsWrongPassword));
    Open("Travel", western);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    EXPECT_EQ(wizard->ModalResult(), mrOk);
    EXPECT_EQ(TitleOf(DiaryDB(), 45000), S("Day one"));
}

TEST_F(EntryForm, EnterInThePasswordActsAsNext)
{
    WriteDiary("mine.dry", S("secret"), "Hello");
    StoreLastDiary("mine.dry");
    TfrmEntry& w = Create();
    w.edtPassword->SetText(S("secret"));
    QChar key(13);
    w.edtPasswordKeyPress(w.edtPassword, key);
    EXPECT_EQ(key, QChar(0));
    EXPECT_EQ(w.ModalResult(), mrOk);
    EXPECT_EQ(TitleOf(DiaryDB(), 45000), S("Hello"));
}

TEST_F(EntryForm, RendersTheWizard)
{
    WriteDiary("mine.dry", S("secret"), "Hello");
    WriteDiary("travel.dry", S("secret"), "Hello");
    StoreLastDiary("mine.dry");
    TfrmEntry& w = Create();
    std::unique_ptr<TBitmap> picture = w.RenderToBitmap();
    ASSERT_TRUE(picture);
    const QImage image = picture->ToImage();
    EXPECT_EQ(image.size(), QSize(289, 186));
    EXPECT_TRUE(image.save(QDir(QCoreApplication::applicationDirPath()).filePath(S("entry_wizard.png"))));

    // Naming a new diary.
    w.cbDiary->SetItemIndex(0);
    w.btnNextClick(w.btnNext);
    EXPECT_TRUE(w.RenderToBitmap()->ToImage().save(
        QDir(QCoreApplication::applicationDirPath()).filePath(S("entry_wizard_new.png"))));
    // The restore choice.
    w.btnPrevClick(w.btnPrev);
    w.cbDiary->SetItemIndex(w.cbDiary->Items()->Count() - 1);
    w.cbDiaryChange(w.cbDiary);
    EXPECT_TRUE(w.RenderToBitmap()->ToImage().save(
        QDir(QCoreApplication::applicationDirPath()).filePath(S("entry_wizard_restore.png"))));
}

} // namespace

TEST_F(EntryForm, APressOutsideTheEditsAndButtonsMovesTheWindow)
{
    TfrmEntry& w = Create();
    const auto hit = [&](TControl* c, QPoint at) {
        if (c)
            at = c->BoundsRect().center();
        TMessage m { WM_NCHITTEST, 0, qintptr((at.x() & 0xFFFF) | ((at.y() & 0xFFFF) << 16)), 0 };
        w.WndProc(m);
        return int(m.Result);
    };
    EXPECT_EQ(hit(nullptr, QPoint(5, 5)), HTCAPTION);
    EXPECT_EQ(hit(w.lblPassword, {}), HTCAPTION);
    EXPECT_EQ(hit(w.imgDiary, {}), HTCAPTION);
    for (TControl* c : std::initializer_list<TControl*> { w.btnNext, w.btnPrev, w.cbDiary })
        EXPECT_EQ(hit(c, {}), HTCLIENT) << c->Name().toStdString();
    w.btnNextClick(w.btnNext); // naming a new diary: the two edits show
    for (TControl* c : std::initializer_list<TControl*> { w.edtDiary, w.edtPassword })
        EXPECT_EQ(hit(c, {}), HTCLIENT) << c->Name().toStdString();
}
