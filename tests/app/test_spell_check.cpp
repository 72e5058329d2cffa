// The spell checker over word lists of its own in a temporary program
// folder: how the body's text splits into words, the suggestions, the
// buttons, the custom list on disk and the body's text whatever happens.

#include "app/spell_check.h"
#include "support/form_fixture.h"

#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"
#include "platform/richtext/rich_edit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

class SpellCheck : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        FreeSpellWordLists();
        ASSERT_TRUE(folder.isValid());
        Application()->SetExeName(folder.filePath(S("diary")));
        WriteList(
            "English.dic", { "and", "apple", "at", "banana", "barked", "cat", "cherry", "dog", "here", "isn", "the" });
        SetDialogService(&dialogs);
        MakeForm(400, 300);
        body = Add<TRichEdit>(0, 0, 400, 300);
    }

    void TearDown() override
    {
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
        SetDialogService(nullptr);
        Application()->SetExeName(QString());
        FreeSpellWordLists();
        FormFixture::TearDown();
    }

    void WriteList(const char* name, std::initializer_list<const char*> words)
    {
        QByteArray bytes;
        for (const char* w : words)
            bytes += QByteArray(w) + "\r\n";
        WriteFileAtomically(folder.filePath(S(name)), bytes);
    }

    // Runs the check on the body; act works the window once it shows and
    // must close it. seen tells whether it showed.
    bool Run(const QString& text, const std::function<void(TfrmSpellCheck&)>& act)
    {
        body->SetText(text);
        body->SetModified(false);
        seen = false;
        // Act only once the window shows (the check may end before).
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (TCustomForm* w : AllForms())
                if (auto* checker = dynamic_cast<TfrmSpellCheck*>(w); checker && checker->Handle()->isVisible()) {
                    poll.stop();
                    seen = true;
                    act(*checker);
                    checker->Close();
                    return;
                }
        });
        poll.start();
        return TfrmSpellCheck::Execute(form, body);
    }

    // Every unknown word of a text, in order, Ignore after each.
    QStringList UnknownWords(const QString& text)
    {
        TfrmSpellCheck checker(form);
        checker.LoadWordLists();
        checker.reShow->SetText(text);
        QStringList words;
        dialogs.AnswerMessageDlg(mrOk);
        while (checker.FindNextMisspelled()) {
            words << checker.edUnknown->Text();
            EXPECT_EQ(checker.reShow->SelText(), words.last());
        }
        return words;
    }

    int EndMessages() const
    {
        int n = 0;
        for (const TDialogCall& call : dialogs.Calls())
            n += call.Text == S("The spell checker did not find any more\r\nmisspelled words in the current entry!");
        return n;
    }

    QTemporaryDir folder;
    TScriptedDialogService dialogs;
    TRichEdit* body = nullptr;
    bool seen = false;
};

TEST_F(SpellCheck, SplitsTheTextIntoWordsAndSkipsWhatIsNoWord)
{
    struct Case {
        const char* text;
        QStringList unknown;
    };
    const Case cases[] = {
        // The apostrophe splits; "t" is too short.
        { "The dog isn't here", {} },
        { "APPLE, Banana; cherry-dog", {} },
        { "12345 and 3d 0x1F", { S("3d"), S("0x1F") } },
        { "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", { S("bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb") } },
        { "x\u201Dy foo/bar|baz\tqux", { S("foo"), S("bar"), S("baz"), S("qux") } },
        // Highlighting counts each paragraph break once.
        { "the dog\r\nthe cat\r\n\r\nat qq here", { S("qq") } },
        { "", {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnknownWords(S(c.text)), c.unknown) << c.text;
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
}

TEST_F(SpellCheck, SuggestsElevenNeighboursOfTheMasterList)
{
    TfrmSpellCheck checker(form);
    checker.LoadWordLists();
    struct Case {
        const char* word;
        int first;
        int count;
    };
    // and apple at banana barked cat cherry dog here isn the
    const Case cases[] = {
        { "aa", 0, 11 },
        { "Bar", 3, 8 },
        { "dogs", 7, 4 },
        { "zzz", 10, 1 },
    };
    const TStringList& master = SpellWordLists().MasterWordList;
    for (const Case& c : cases) {
        TStringList suggestions;
        EXPECT_FALSE(checker.IsKnownWord(S(c.word), suggestions)) << c.word;
        ASSERT_EQ(suggestions.Count(), c.count) << c.word;
        for (int i = 0; i < c.count; ++i)
            EXPECT_EQ(suggestions.Strings(i), master.Strings(c.first + i)) << c.word;
    }
    TStringList untouched;
    EXPECT_TRUE(checker.IsKnownWord(S("ChErRy"), untouched));
}

TEST_F(SpellCheck, WithoutUnknownWordsSaysSoAndShowsNoWindow)
{
    // Whatever the clipboard holds is no part of the body.
    Clipboard().SetAsText(S("qqzz here"));
    for (const char* text : { "The dog barked.", "" }) {
        dialogs.Clear();
        dialogs.AnswerMessageDlg(mrOk);
        EXPECT_FALSE(Run(S(text), [](TfrmSpellCheck&) {})) << text;
        EXPECT_FALSE(seen) << text;
        EXPECT_EQ(EndMessages(), 1) << text;
        EXPECT_EQ(body->Text(), S(text));
        EXPECT_FALSE(body->Modified()) << text;
    }
    EXPECT_EQ(Clipboard().AsText(), S("qqzz here"));
}

TEST_F(SpellCheck, ControlCharactersInTheBodyStayWhereTheyAre)
{
    // Each one parts two words; a change replaces the word before it only.
    for (const QChar control : { QChar(u'\v'), QChar(u'\f'), QChar(u'\0') }) {
        SCOPED_TRACE(int(control.unicode()));
        const QString text = S("teh") + control + S("cat");
        dialogs.Clear();
        dialogs.AnswerMessageDlg(mrOk); // the end of the text
        QString unknown, copy;
        EXPECT_TRUE(Run(text, [&](TfrmSpellCheck& checker) {
            unknown = checker.edUnknown->Text();
            copy = checker.reShow->Text();
            checker.edCorrection->SetText(S("the"));
            checker.btnAcceptClick(nullptr);
        }));
        EXPECT_EQ(unknown, S("teh"));
        EXPECT_EQ(copy, text);
        EXPECT_EQ(body->Text(), S("the") + control + S("cat"));
    }
}

TEST_F(SpellCheck, ChangeGoesOnRightAfterTheCorrectionAndCopiesTheBodyBack)
{
    struct Case {
        const char* text;
        const char* correction;
        const char* result;
    };
    const Case cases[] = {
        { "qq zz the", "longer", "longer zz the" },
        { "qqqqqq zz the", "a", "a zz the" },
        { "the dog\r\n\r\nthe qqqqqq dog\r\nzz", "cat", "the dog\r\n\r\nthe cat dog\r\nzz" },
    };
    for (const Case& c : cases) {
        dialogs.Clear();
        QString next, highlighted;
        const bool changed = Run(S(c.text), [&](TfrmSpellCheck& checker) {
            checker.edCorrection->SetText(S(c.correction));
            checker.btnAcceptClick(nullptr);
            next = checker.edUnknown->Text();
            highlighted = checker.reShow->SelText();
        });
        EXPECT_TRUE(seen) << c.text;
        EXPECT_TRUE(changed) << c.text;
        EXPECT_EQ(next, S("zz")) << c.text;
        EXPECT_EQ(highlighted, S("zz")) << c.text;
        EXPECT_EQ(body->Text(), S(c.result)) << c.text;
        EXPECT_TRUE(body->Modified()) << c.text;
        EXPECT_FALSE(body->ReadOnly()) << c.text;
    }
}

TEST_F(SpellCheck, ASuggestionDoubleClickedBecomesTheCorrection)
{
    Run(S("dgo"), [](TfrmSpellCheck& checker) {
        ASSERT_GT(checker.lbSuggestions->Items()->Count(), 0);
        EXPECT_EQ(checker.lbSuggestions->ItemIndex(), -1);
        checker.lbSuggestionsDblClick(nullptr);
        EXPECT_EQ(checker.edCorrection->Text(), S("dgo")) << "nothing selected, nothing taken";
        checker.lbSuggestions->SetItemIndex(checker.lbSuggestions->Items()->IndexOf(S("dog")));
        checker.lbSuggestionsDblClick(nullptr);
        EXPECT_EQ(checker.edCorrection->Text(), S("dog"));
    });
    EXPECT_TRUE(seen);
}

TEST_F(SpellCheck, ClosingWithoutAChangeLeavesTheBodyAlone)
{
    EXPECT_FALSE(Run(S("qq the"), [](TfrmSpellCheck& checker) {
        QChar esc(27);
        checker.FormKeyPress(nullptr, esc);
    }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(body->Text(), S("qq the"));
    EXPECT_FALSE(body->Modified());
}

TEST_F(SpellCheck, IgnoreAllLastsForTheRun)
{
    Run(S("qq zz QQ"), [](TfrmSpellCheck& checker) {
        checker.btnIgnoreAllClick(nullptr);
        EXPECT_EQ(checker.edUnknown->Text(), S("zz"));
    });
    EXPECT_TRUE(seen);
    dialogs.AnswerMessageDlg(mrOk);
    EXPECT_FALSE(Run(S("Qq"), [](TfrmSpellCheck&) {}));
    EXPECT_FALSE(seen);
    EXPECT_FALSE(QFile::exists(folder.filePath(S("Custom.dic"))));
}

TEST_F(SpellCheck, AddWritesTheCustomListOrKeepsTheWordForTheRun)
{
    for (const bool writable : { true, false }) {
        SCOPED_TRACE(writable);
        FreeSpellWordLists();
        errors.clear();
        dialogs.Clear();
        const QString custom = folder.filePath(S("Custom.dic"));
        QFile::remove(custom);
        if (writable)
            WriteList("Custom.dic", { "mine" });
        else // readable, but no new file can be made beside it, not even by root
            ASSERT_TRUE(QFile::link(S("/proc/sys/kernel/ostype"), custom));
        dialogs.AnswerMessageDlg(mrOk);
        Run(S("Qwerty zz"), [](TfrmSpellCheck& checker) {
            EXPECT_EQ(checker.edUnknown->Text(), S("Qwerty"));
            checker.btnAddClick(nullptr);
            EXPECT_EQ(checker.edUnknown->Text(), S("zz")) << "the check goes on";
        });
        EXPECT_EQ(dialogs.Calls().value(0).Text, S("Add \"Qwerty\" to custom dictionary?"));
        if (writable) {
            EXPECT_EQ(ReadWholeFile(custom), QByteArray("mine\r\nqwerty\r\n"));
            EXPECT_TRUE(errors.isEmpty());
        } else {
            EXPECT_TRUE(QFileInfo(custom).isSymLink());
            EXPECT_EQ(errors.size(), 1);
        }
        // Known at the next check, read from the file or kept from the run.
        dialogs.AnswerMessageDlg(mrOk);
        EXPECT_FALSE(Run(S("qwerty"), [](TfrmSpellCheck&) {}));
        EXPECT_FALSE(seen);
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    }
}

TEST_F(SpellCheck, AMissingMasterListStopsTheCheckBeforeAnything)
{
    const QString master = folder.filePath(S("English.dic"));
    QFile::remove(master);
    try {
        Run(S("qq"), [](TfrmSpellCheck&) {});
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), S("Cannot load dictionary file:\r\n\"%1\"").arg(master));
    }
    EXPECT_FALSE(seen);
    EXPECT_TRUE(dialogs.Calls().isEmpty());
    EXPECT_EQ(body->Text(), S("qq"));
}

// The message names the list that could not be read, and the reader's
// sentence travels with it.
TEST_F(SpellCheck, AListThatCannotBeReadIsTheOneNamed)
{
    for (const char* name : { "Custom.dic", "English.dic" }) {
        SCOPED_TRACE(name);
        FreeSpellWordLists(); // read again: the master list too
        const QString list = folder.filePath(S(name));
        QFile::remove(list);
        ASSERT_TRUE(QDir(folder.path()).mkdir(S(name)));
        try {
            Run(S("qq"), [](TfrmSpellCheck&) {});
            ADD_FAILURE() << "no exception";
        } catch (const EFLoadError& e) {
            EXPECT_EQ(e.Message(), S("Cannot load dictionary file:\r\n\"%1\"").arg(list));
            EXPECT_EQ(e.FileName(), list);
            EXPECT_TRUE(e.Reason().startsWith(S("Cannot open file \"%1\". ").arg(list))) << e.Reason().toStdString();
        }
        EXPECT_FALSE(seen);
        EXPECT_TRUE(dialogs.Calls().isEmpty());
        EXPECT_EQ(body->Text(), S("qq"));
    }
}

TEST_F(SpellCheck, ACopyBackThatDoesNotArriveWholeKeepsTheBody)
{
    // The body takes no more than it holds, so the longer correction
    // cannot come back whole.
    body->SetMaxLength(6);
    dialogs.AnswerMessageDlg(mrOk); // the end of the text
    dialogs.AnswerMessageDlg(mrOk); // the failed copy
    EXPECT_FALSE(Run(S("qq the"), [](TfrmSpellCheck& checker) {
        checker.edCorrection->SetText(S("longer"));
        checker.btnAcceptClick(nullptr);
    }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(body->Text(), S("qq the"));
    EXPECT_FALSE(body->Modified());
    ASSERT_FALSE(dialogs.Calls().isEmpty());
    EXPECT_EQ(dialogs.Calls().last().DlgType, mtError);
}

} // namespace
