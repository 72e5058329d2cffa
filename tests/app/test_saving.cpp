// Every file the program writes, on a disk that is really full and with a
// write that fails half-way: the diary, its backup, the birthday file, the
// export and the spell checker's "Custom.dic". Each reports the failure,
// keeps the old file byte for byte and keeps what is still to be saved.

#include "app/options_form.h"
#include "app/spell_check.h"
#include "support/full_disk.h"
#include "support/main_window_fixture.h"

#include "controls/dropdown_button.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

#include <QDir>

#include <functional>
#include <vector>

namespace {

class Saving : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SetDialogService(&dialogs);
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        FreeSpellWordLists();
        CreateShowingNothing();
        form->Session().DiaryOpened = true;
        form->Session().UserPassword = S("secret");
        options = new TfrmOptions(form.get(), form->Session(), *form);
        form->frmOptions = options;
    }
    void TearDown() override
    {
        // The window saves what is left at its end, into folders that are gone.
        form->Session().DiaryOpened = false;
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
        EXPECT_EQ(dialogs.PendingAnswers(), 0);
        FreeSpellWordLists();
        Application()->SetExeName(QString());
        Application()->OnException = {};
        MainWindowFixture::TearDown();
    }

    // Every file of the program goes to folder, beside the word list.
    void SaveInto(const QString& folder)
    {
        saves = folder;
        form->Session().ProgramPath = folder + QLatin1Char('/');
        form->Session().DataFileName = Path("mine.dry");
        form->Session().DataBackupName = Path("mine.bak");
        form->Session().BirthdayFileName = Path("mine.dra");
        Application()->SetExeName(Path("diary"));
        WriteFileAtomically(Path("English.dic"), QByteArrayLiteral("apple\r\nbanana\r\n"));
        FreeSpellWordLists();
    }
    QString Path(const char* name) const { return QDir(saves).filePath(S(name)); }

    // The text of the last message shown since the call numbered from.
    QString MessageSince(qsizetype from) const
    {
        QString text;
        for (qsizetype i = from; i < dialogs.Calls().size(); ++i)
            if (dialogs.Calls()[i].Kind == TDialogKind::MessageDlg)
                text = dialogs.Calls()[i].Text;
        return text;
    }
    template <class Action> static QString Raised(Action action)
    {
        try {
            action();
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }
    static QString Word(int n) { return S("zz") + QChar(u'a' + n); }

    struct Writer {
        const char* name;
        const char* file;
        std::function<void(int)> change; // something new to save, the n-th
        std::function<QString(bool)> save; // the failure reported, empty for none
        std::function<bool()> marked; // still to be saved
        bool namesReason; // the report is the write error alone, not under the export's heading
    };

    std::vector<Writer> Writers()
    {
        const auto addDay = [](int n) {
            DiaryDB().AddEntry(EncodeDate(2026, 1, n), S("Day"), S("Words of the day."), QString(), QString(), 0);
        };
        const auto diaryMarked = [] { return DiaryDB().Modified; };
        return {
            { "diary", "mine.dry", addDay, [this](bool) { return Raised([this] { form->Session().SaveDiary(); }); },
                diaryMarked, true },
            { "backup", "copy.bkd", addDay,
                [this](bool) {
                    dialogs.AnswerSaveFile(Path("copy.bkd"));
                    return Raised([this] { options->pmoBackup->Click(); });
                },
                diaryMarked, true },
            { "birthdays", "mine.dra",
                [](int n) {
                    TEntry* entry = BirthdayComponent().Entries()->Add();
                    entry->SetFullName(S("Anna ") + Word(n));
                    entry->SetBirthDate(EncodeDate(1980, 5, n));
                },
                [this](bool) { return Raised([this] { form->Session().SaveBirthdays(); }); },
                [] { return BirthdayComponent().Entries()->Modified(); }, true },
            { "export", "diary.rtf", addDay,
                [this](bool failing) {
                    const qsizetype from = dialogs.Calls().size();
                    dialogs.AnswerSaveFile(Path("diary.rtf"));
                    if (failing)
                        dialogs.AnswerMessageDlg(mrOk);
                    else
                        dialogs.AnswerMessageBox(IDNO); // not viewed
                    options->btnExport->Click();
                    return MessageSince(from);
                },
                [] { return true; }, false },
            { "custom words", "Custom.dic", [this](int n) { word = Word(n); },
                [this](bool) {
                    TfrmSpellCheck checker(form.get());
                    checker.LoadWordLists();
                    checker.edUnknown->SetText(word);
                    dialogs.AnswerMessageDlg(mrOk); // add the word
                    dialogs.AnswerMessageDlg(mrOk); // no more unknown words
                    errors.clear();
                    checker.btnAddClick(nullptr);
                    return errors.value(0);
                },
                [this] { return SpellWordLists().UnsavedCustomWords.IndexOf(word) >= 0; }, true },
        };
    }

    // Saves once, then again with arm in force: the failure is reported, the
    // file and the folder are as before, and the save still to come succeeds.
    void Exercise(const Writer& w, const std::function<void()>& arm, const std::function<void()>& disarm, int reason)
    {
        SCOPED_TRACE(w.name);
        const QString file = Path(w.file);
        w.change(++changes);
        ASSERT_EQ(w.save(false), QString());
        const QByteArray old = ReadWholeFile(file);
        const QStringList before = QDir(saves).entryList(QDir::Files | QDir::Hidden);

        w.change(++changes);
        arm();
        const QString error = w.save(true);
        disarm();
        const QString why = S("Cannot write file \"%1\". %2").arg(file, qt_error_string(reason));
        EXPECT_EQ(error, w.namesReason ? why : S("Diary Export to RTF failed!\r\n") + why);
        EXPECT_EQ(ReadWholeFile(file), old);
        EXPECT_TRUE(w.marked());
        // Nothing is left behind but the copy the diary keeps of its previous file.
        for (const QString& left : QDir(saves).entryList(QDir::Files | QDir::Hidden))
            EXPECT_TRUE(before.contains(left) || left == S("mine.bak")) << "left behind: " << left.toStdString();

        EXPECT_EQ(w.save(false), QString());
        EXPECT_NE(ReadWholeFile(file), old);
    }

    TScriptedDialogService dialogs;
    TfrmOptions* options = nullptr;
    QStringList errors;
    QString saves;
    QString word;
    int changes = 0;
};

TEST_F(Saving, AFullDiskFailsEverySaveAndKeepsTheOldFile)
{
    TFullDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Reason().toStdString();
    SaveInto(disk.Path());
    for (const Writer& w : Writers())
        Exercise(
            w, [&] { ASSERT_TRUE(disk.Fill()); }, [&] { disk.Free(); }, ENOSPC);
}

TEST_F(Saving, AWriteThatFailsHalfWayFailsEverySaveAndKeepsTheOldFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(S("saves")));
    SaveInto(dir.filePath(S("saves")));
    const struct {
        const char* what;
        TFileFault fault;
    } faults[] = {
        { "a short write, then no space", { TFileStep::Write, ENOSPC, 3 } },
        { "an I/O error at the sync", { TFileStep::Sync, EIO } },
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.what);
        for (const Writer& w : Writers())
            Exercise(
                w, [&] { SetFileFaultForTesting(f.fault); }, [] {}, f.fault.Error);
    }
}

} // namespace
