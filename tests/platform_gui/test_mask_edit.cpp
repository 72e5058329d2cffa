#include "platform/core/sysinfo.h"
#include "platform/gui/mask_edit.h"
#include "platform/gui/services.h"

#include "test_stdctrls_fixture.h"

namespace {

class MaskEdit : public StdFixture {
protected:
    void SetUp() override
    {
        StdFixture::SetUp();
        fSavedSeparator = FormatSettings().DateSeparator;
        FormatSettings().DateSeparator = u'.';
        SetBeepHandler([this](unsigned) { ++beeps; });
        MakeForm();
        edit = Add<TMaskEdit>(0, 0);
        edit->OnChange = [this](TObject*) { ++changes; };
        edit->SetEditMask(QStringLiteral("!99/99/9999;1;_"));
        changes = 0;
    }
    void TearDown() override
    {
        SetBeepHandler({});
        FormatSettings().DateSeparator = fSavedSeparator;
        StdFixture::TearDown();
    }
    void Type(const QString& keys) { QTest::keyClicks(edit->Handle(), keys); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(edit->Handle(), key, mods); }

    TMaskEdit* edit = nullptr;
    int changes = 0;
    int beeps = 0;

private:
    QChar fSavedSeparator;
};

TEST_F(MaskEdit, BlanksLiteralsAndText)
{
    // The separator of the layout is the locale's; Text shows blanks as spaces.
    EXPECT_EQ(edit->EditText(), QStringLiteral("__.__.____"));
    EXPECT_EQ(edit->Text(), QStringLiteral("  .  .    "));
    edit->SetText(QStringLiteral("25.12.2010"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("25.12.2010"));
    EXPECT_FALSE(edit->Modified());
    edit->SetText(QStringLiteral("2x.1 .20"));
    EXPECT_EQ(edit->Text(), QStringLiteral("2 .1 .20  "));
    edit->SetText(QString());
    EXPECT_EQ(edit->EditText(), QStringLiteral("__.__.____"));

    // Without the literals, Text holds the typable positions only.
    edit->SetEditMask(QStringLiteral("00:00;0;*"));
    edit->SetText(QStringLiteral("1234"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("12:34"));
    EXPECT_EQ(edit->Text(), QStringLiteral("1234"));
    edit->SetText(QStringLiteral("12"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("12:**"));
    // A required position left blank is refused when the edit is checked.
    EXPECT_THROW(edit->ValidateEdit(), EDBEditError);
    edit->SetText(QStringLiteral("1230"));
    EXPECT_NO_THROW(edit->ValidateEdit());
}

TEST_F(MaskEdit, TypingSkipsLiteralsAndBlanksBack)
{
    ShowForm();
    edit->SetFocus();
    edit->SetSelStart(0);
    struct Step {
        std::function<void()> act;
        const char16_t* text;
        int caret;
    };
    const Step steps[] = {
        { [&] { Type(QStringLiteral("25")); }, u"25.__.____", 3 }, // over the separator
        { [&] { Type(QStringLiteral("x")); }, u"25.__.____", 3 }, // refused, with a beep
        { [&] { Type(QStringLiteral("1.")); }, u"25.1_.____", 6 }, // a separator jumps to the next field
        { [&] { Type(QStringLiteral("2010")); }, u"25.1_.2010", 10 },
        { [&] { Type(QStringLiteral("9")); }, u"25.1_.2010", 10 }, // the layout is full
        { [&] { Key(Qt::Key_Backspace); }, u"25.1_.201_", 9 },
        { [&] {
             Key(Qt::Key_Left);
             Key(Qt::Key_Left);
             Key(Qt::Key_Left);
         },
            u"25.1_.201_", 6 },
        { [&] { Key(Qt::Key_Left); }, u"25.1_.201_", 4 }, // over the separator
        { [&] { Key(Qt::Key_Left); }, u"25.1_.201_", 3 }, { [&] { Key(Qt::Key_Left); }, u"25.1_.201_", 1 },
        { [&] { Key(Qt::Key_Delete); }, u"2_.1_.201_", 1 },
        { [&] { Key(Qt::Key_Delete, Qt::ControlModifier); }, u"2_.1_.201_", 1 }, // no word deletion
        { [&] {
             Key(Qt::Key_Right);
             Key(Qt::Key_Right);
         },
            u"2_.1_.201_", 4 },
        { [&] {
             Key(Qt::Key_Backspace);
             Key(Qt::Key_Backspace);
         },
            u"2_.__.201_", 1 }, // back over the literal
        { [&] { Key(Qt::Key_Z, Qt::ControlModifier); }, u"2_.__.201_", 1 }, // no undo past the mask
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(edit->EditText(), QString::fromUtf16(s.text));
        EXPECT_EQ(edit->SelStart(), s.caret) << &s - steps;
    }
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(edit->Modified());
    EXPECT_GT(changes, 0);

    // Typing over a selection blanks it first.
    edit->SelectAll();
    Type(QStringLiteral("3"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("3_.__.____"));

    edit->SetReadOnly(true);
    Type(QStringLiteral("4"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit->EditText(), QStringLiteral("3_.__.____"));
}

TEST_F(MaskEdit, PasteAndCut)
{
    ShowForm();
    edit->SetFocus();
    struct Case {
        const char16_t* clip;
        int start;
        const char16_t* before;
        const char16_t* after;
    };
    const Case cases[] = {
        { u"25.12.2010", 0, u"", u"25.12.2010" }, // a whole date
        { u"5.3.2011", 0, u"", u"5_.3_.2011" }, // short fields end at their separator
        { u"1231", 6, u"01.02.2003", u"01.02.1231" },
        { u"25.1x.2010", 0, u"01.02.2003", u"01.02.2003" }, // refused as a whole
        { u"20101", 6, u"01.02.2003", u"01.02.2003" }, // too long
    };
    for (const Case& c : cases) {
        edit->SetText(QString::fromUtf16(c.before));
        edit->SetSelStart(c.start);
        Clipboard().SetAsText(QString::fromUtf16(c.clip));
        Key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->EditText(), QString::fromUtf16(c.after)) << QString::fromUtf16(c.clip).toStdString();
    }
    edit->SetText(QStringLiteral("25.12.2010"));
    edit->SetSelStart(3);
    edit->SetSelLength(4);
    edit->CutToClipboard();
    EXPECT_EQ(Clipboard().AsText(), QStringLiteral("12.2"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("25.__._010"));
    EXPECT_TRUE(edit->Modified());
}

} // namespace
