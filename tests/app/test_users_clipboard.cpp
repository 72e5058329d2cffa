// The clipboard is the user's: the commands that carry an entry's text
// elsewhere (the spell check, printing, the reset to the entry font) leave
// on it whatever the user put there, and still do their work.

#include "app/print_form.h"
#include "app/spell_check.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "platform/core/streams.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

#include <functional>
#include <memory>

namespace {

class UsersClipboard : public BlankMainWindowFixture {
protected:
    void SetUp() override
    {
        BlankMainWindowFixture::SetUp();
        FreeSpellWordLists();
        Application()->SetExeName(dir.filePath(S("diary")));
        WriteFileAtomically(dir.filePath(S("English.dic")), "dog\r\nthe\r\n");
        printer = TPrinterService::CreatePdf(dir.filePath(S("print.pdf")), 150);
        SetPrinter(printer.get());
        DiaryDB().AddEntry(EncodeDate(2026, 1, 2), S("Second"), S("{\\rtf1\\ansi one\\par}"), QString(), QString(), 0);
        DiaryDB().AddEntry(EncodeDate(2026, 1, 5), S("Fifth"), S("{\\rtf1\\ansi two\\par}"), QString(), QString(), 0);
        form->dCalendar->SetCalendarDate(EncodeDate(2026, 2, 1));
        SetDialogService(&dialogs);
    }
    void TearDown() override
    {
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
        SetPrinter(nullptr);
        Application()->SetExeName(QString());
        FreeSpellWordLists();
        BlankMainWindowFixture::TearDown();
    }

    void Print(TDateTime from, TDateTime to)
    {
        TfrmPrintEngine w(form.get(), form->Session(), *form);
        w.CurrentDate = form->dCalendar->CalendarDate();
        w.cbSplitPages->SetChecked(false);
        w.DoTheJob(from, to);
    }

    TScriptedDialogService dialogs;
    std::unique_ptr<TPrinterService> printer;
};

TEST_F(UsersClipboard, SurvivesEveryCommandThatCarriesAnEntry)
{
    struct Case {
        const char* name;
        std::function<void()> run;
        const char* body; // afterwards
        int jobs;
    };
    const Case cases[] = {
        { "spell check with a change",
            [this] {
                dialogs.AnswerMessageDlg(mrOk); // the end of the text
                OnShown<TfrmSpellCheck>([](TfrmSpellCheck& checker) {
                    checker.edCorrection->SetText(S("the"));
                    checker.btnAcceptClick(nullptr);
                    checker.Close();
                });
                form->btnSpellCheckClick(nullptr);
            },
            "the dog", 0 },
        { "print the current day", [this] { Print(form->dCalendar->CalendarDate(), form->dCalendar->CalendarDate()); },
            "teh dog", 1 },
        { "print every day as one document", [this] { Print(0, 2147483647); }, "teh dog", 1 },
        { "reset to the entry font",
            [this] {
                dialogs.AnswerMessageDlg(mrOk);
                form->pmoResetEntry->Click();
            },
            "teh dog", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.Clear();
        const int jobs = printer->JobCount();
        form->MemoBody->LoadRtf(QByteArray("{\\rtf1\\ansi\\b teh\\b0  dog}"));
        Clipboard().SetAsText(S("the user's own"));
        c.run();
        EXPECT_EQ(Clipboard().AsText(), S("the user's own"));
        EXPECT_TRUE(Clipboard().RichText().isEmpty());
        EXPECT_EQ(form->MemoBody->Text(), S(c.body));
        EXPECT_EQ(printer->JobCount() - jobs, c.jobs);
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    }
}

} // namespace
