// The cool edit: filtering of typed and pasted text with the caret and the
// change events, forced case, Esc and Enter, and the focus colours.
#include "controls/cool_edit.h"

#include "platform/gui/forms.h"
#include "platform/gui/services.h"

#include <QApplication>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

class CoolEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        edit = Add(10);
        edit->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override
    {
        delete form;
        QApplication::processEvents();
    }
    TCPCoolEdit* Add(int top)
    {
        auto* e = new TCPCoolEdit(form);
        e->SetParent(form);
        e->SetTop(top);
        return e;
    }
    void Type(const QString& text) { QTest::keyClicks(edit->Handle(), text); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(edit->Handle(), key, mods); }
    void ShowAndFocus(TWinControl* c)
    {
        form->Show();
        QApplication::setActiveWindow(form->Handle());
        c->SetFocus();
    }

    TForm* form = nullptr;
    TCPCoolEdit* edit = nullptr;
    int changes = 0;
};

} // namespace

TEST_F(CoolEdit, TypedAndPastedTextKeepsOnlyAcceptedCharacters)
{
    edit->SetAcceptChars(QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789 _"));
    int keyPresses = 0;
    edit->OnKeyPress = [&](TObject*, QChar&) { ++keyPresses; };
    Type(QStringLiteral("my.diary!"));
    EXPECT_EQ(edit->Text(), QStringLiteral("mydiary"));
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(keyPresses, 7); // refused keys never reach OnKeyPress
    Key(Qt::Key_Backspace); // control characters always pass
    EXPECT_EQ(edit->Text(), QStringLiteral("mydiar"));

    // A paste keeps its accepted part; the caret stays after it.
    changes = 0;
    edit->SetSelStart(2);
    Clipboard().SetAsText(QStringLiteral("x.y.z"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("myxyzdiar"));
    EXPECT_EQ(edit->SelStart(), 5);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(edit->Modified());
    // Nothing accepted: the text ends as it was, but it did change, and
    // OnChange sees the final text.
    QStringList seen;
    edit->OnChange = [&](TObject*) { seen << edit->Text(); };
    Clipboard().SetAsText(QStringLiteral("..."));
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), QStringLiteral("myxyzdiar"));
    EXPECT_EQ(edit->SelStart(), 5);
    EXPECT_EQ(seen, QStringList { QStringLiteral("myxyzdiar") });
    edit->SetText(QStringLiteral("a.b")); // text from the program too
    EXPECT_EQ(edit->Text(), QStringLiteral("ab"));
    EXPECT_EQ(seen, (QStringList { QStringLiteral("myxyzdiar"), QStringLiteral("ab") }));
}

TEST_F(CoolEdit, UpperCaseWinsOverFirstUpperCaseAndKeepsTheCaret)
{
    edit->Options()->SetFirstUpperCase(true);
    Type(QStringLiteral("john"));
    EXPECT_EQ(edit->Text(), QStringLiteral("John"));
    edit->SetSelStart(0);
    Type(QStringLiteral("a"));
    EXPECT_EQ(edit->Text(), QStringLiteral("AJohn"));
    EXPECT_EQ(edit->SelStart(), 1);

    edit->Options()->SetUpperCase(true);
    QKeyEvent accented(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("\u00e9"));
    QCoreApplication::sendEvent(edit->Handle(), &accented);
    Clipboard().SetAsText(QStringLiteral("xy"));
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), QStringLiteral("A\u00c9XYJohn").toUpper());
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(changes, 7);
}

TEST_F(CoolEdit, EscRestoresTheTextOfEntryAndEnterMovesOn)
{
    auto* next = Add(40);
    edit->SetText(QStringLiteral("created"));
    ShowAndFocus(next);
    edit->SetText(QStringLiteral("entered"));
    edit->SetFocus();
    edit->SetSelStart(7);
    Type(QStringLiteral(" more"));
    Key(Qt::Key_Escape); // without the option: nothing
    EXPECT_EQ(edit->Text(), QStringLiteral("entered more"));
    edit->Options()->SetEscCancels(true);
    Key(Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), QStringLiteral("entered"));
    EXPECT_TRUE(edit->Focused());

    Key(Qt::Key_Return);
    EXPECT_TRUE(edit->Focused());
    edit->Options()->SetEnterAsTab(true);
    Key(Qt::Key_Return);
    EXPECT_TRUE(next->Focused());
}

TEST_F(CoolEdit, LeavingRestoresTheColoursFromBeforeTheFocus)
{
    auto* other = Add(40);
    EXPECT_EQ(edit->ColorOnFocus(), edit->Color()); // a new edit shows no change
    edit->SetColor(clWhite);
    edit->SetColorOnFocus(clYellow);
    edit->SetTextColorOnFocus(clNavy);
    int enters = 0;
    edit->OnEnter = [&](TObject*) { enters += edit->Color() == clYellow; };
    ShowAndFocus(edit);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(edit->Font()->Color(), clNavy);
    edit->SetColor(clAqua); // changed while focused: not what comes back
    other->SetFocus();
    EXPECT_EQ(edit->Color(), clWhite);
    EXPECT_EQ(edit->Font()->Color(), clWindowText);
}
