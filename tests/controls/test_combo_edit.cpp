#include "controls/combo_edit.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/services.h"

#include "support/form_fixture.h"

#include <QLineEdit>
#include <QtTest/QTest>

namespace {

// A pop-up whose value is a text the test sets.
class TTextPopup : public TPopupWindow {
public:
    explicit TTextPopup(TComponent* AOwner)
        : TPopupWindow(AOwner)
    {
        SetBounds(0, 0, 150, 100);
    }
    QVariant ReadValue() override { return value; }
    void WriteValue(const QVariant& Value) override { written = Value; }

    QString value;
    QVariant written;
};

class TTestCombo : public TCustomComboEdit {
public:
    explicit TTestCombo(TComponent* AOwner)
        : TCustomComboEdit(AOwner)
    {
        popup = new TTextPopup(this);
        popup->OnCloseUp = [this](TObject* Sender, bool Accept) { ClosePopup(Sender, Accept); };
        SetPopup(popup);
    }
    using TCustomComboEdit::OpenPopup;
    bool EditLocked() const { return TCustomEdit::ReadOnly(); }

    TTextPopup* popup;
};

class ComboEdit : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        MakeForm(400, 200);
        edit = Add<TTestCombo>(10, 10, 120, 21);
        edit->OnButtonClick = [this](TObject*) { ++buttonClicks; };
        edit->OnChange = [this](TObject*) { ++changes; };
        ShowForm();
        edit->SetFocus();
    }
    void TearDown() override
    {
        Screen()->SetMonitorsForTesting({});
        FormFixture::TearDown();
    }
    void PressButton()
    {
        TWinControl* b = edit->BtnControl();
        b->HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, QPoint(5, 5), false);
        b->HostMouseRelease(Qt::LeftButton, {}, {}, QPoint(5, 5));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(edit->Handle(), key, mods); }

    TTestCombo* edit = nullptr;
    int buttonClicks = 0;
    int changes = 0;
};

TEST_F(ComboEdit, ButtonSitsInsideTheRightEdge)
{
    EXPECT_EQ(edit->ClickKey(), 32808);
    EXPECT_TRUE(edit->DirectInput());
    EXPECT_EQ(edit->PopupAlign(), epaRight);
    EXPECT_EQ(edit->GlyphKind(), gkCustom);
    EXPECT_EQ(edit->BtnControl()->BoundsRect(), QRect(120 - 21 - 2, 2, 21, 17));
    EXPECT_EQ(edit->Button()->Height(), 17);
    EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->textMargins().right(), 21);
    EXPECT_FALSE(edit->IsButtonWidthStored());

    edit->SetBounds(10, 10, 120, 3);
    EXPECT_EQ(edit->Height(), edit->MinimumHeight());
    edit->SetBounds(10, 10, 150, 30);
    EXPECT_EQ(edit->BtnControl()->BoundsRect(), QRect(150 - 21 - 2, 2, 21, 26));

    edit->SetGlyphKind(gkEllipsis);
    EXPECT_EQ(edit->Glyph()->Width(), 21 - 6);
    EXPECT_EQ(edit->Glyph()->Height(), 4);
    edit->SetButtonWidth(31);
    EXPECT_EQ(edit->Glyph()->Width(), 31 - 6); // rebuilt for the new width
    EXPECT_TRUE(edit->IsButtonWidthStored());
    EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->textMargins().right(), 31);
    edit->SetButtonWidth(500); // wider than the edit: ignored
    EXPECT_EQ(edit->ButtonWidth(), 31);
    edit->SetButtonWidth(1);
    EXPECT_FALSE(edit->BtnControl()->Visible());
    EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->textMargins().right(), 0);
}

TEST_F(ComboEdit, PopupOpensWhollyOnTheEditsScreen)
{
    // Two screens side by side; the first has a panel along its bottom.
    Screen()->SetMonitorsForTesting({ { QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040) },
        { QRect(1920, -200, 1280, 1024), QRect(1920, -200, 1280, 1024) } });
    struct Case {
        QRect edit;
        TPopupAlign align;
        QPoint expected;
    };
    const QSize popup(187, 124);
    const Case cases[] = {
        { QRect(500, 300, 93, 21), epaRight, QPoint(500 - 94, 321) }, // below, right edges aligned
        { QRect(500, 300, 93, 21), epaLeft, QPoint(500, 321) },
        { QRect(500, 900, 93, 21), epaRight, QPoint(406, 900 - 124) }, // no room above the panel: flipped
        { QRect(20, 300, 93, 21), epaRight, QPoint(20, 321) }, // would start left of the screen
        { QRect(1800, 300, 93, 21), epaLeft, QPoint(1800 - 94, 321) }, // would end right of it
        { QRect(1880, 300, 60, 21), epaLeft, QPoint(1920 - 187, 321) }, // sticks out: clamped
        { QRect(2000, 100, 93, 21), epaRight, QPoint(2000, 121) }, // second screen, its left edge
        { QRect(3150, -150, 93, 21), epaLeft, QPoint(3200 - 187, -129) }, // second screen, its right edge
        { QRect(2500, 770, 93, 21), epaRight, QPoint(2406, 770 - 124) }, // second screen's bottom
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TCustomComboEdit::PopupOrigin(c.edit, popup, c.align), c.expected) << c.edit.x() << "," << c.edit.y();
    }

    // The edit itself opens its pop-up there.
    const QPoint at = edit->Parent()->ClientToScreen(QPoint(edit->Left(), edit->Top()));
    edit->SetText(QStringLiteral("abc"));
    edit->DoClick();
    ASSERT_TRUE(edit->PopupVisible());
    EXPECT_EQ(QPoint(edit->popup->Left(), edit->popup->Top()),
        TCustomComboEdit::PopupOrigin(QRect(at, QSize(edit->Width(), edit->Height())), QSize(150, 100), epaRight));
    EXPECT_EQ(edit->popup->written, QVariant(QStringLiteral("abc")));
}

TEST_F(ComboEdit, ButtonKeysAndClosing)
{
    edit->popup->value = QStringLiteral("picked");
    PressButton();
    EXPECT_EQ(buttonClicks, 1);
    ASSERT_TRUE(edit->PopupVisible());
    EXPECT_TRUE(edit->popup->Visible());
    EXPECT_TRUE(edit->EditLocked());
    EXPECT_TRUE(edit->Focused());
    EXPECT_FALSE(edit->popup->written.isValid()); // an empty text opens with no value

    // A press on the button closes the pop-up, takes its value and does not reopen it.
    PressButton();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_FALSE(edit->popup->Visible());
    EXPECT_EQ(edit->Text(), QStringLiteral("picked"));
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->EditLocked());
    EXPECT_EQ(buttonClicks, 1);

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool openAfter;
        const char16_t* text;
    };
    const Step steps[] = {
        { Qt::Key_Down, Qt::AltModifier, true, u"picked" }, // the click key opens
        { Qt::Key_Escape, Qt::NoModifier, false, u"picked" }, // Esc cancels
        { Qt::Key_Down, Qt::AltModifier, true, u"picked" },
        { Qt::Key_Return, Qt::NoModifier, false, u"second" }, // Enter takes the value
        { Qt::Key_Down, Qt::AltModifier, true, u"second" },
        { Qt::Key_Return, Qt::ControlModifier, false, u"third" }, // and Ctrl+Enter
        { Qt::Key_Down, Qt::NoModifier, false, u"third" }, // Down alone is no click
    };
    const char16_t* values[] = { u"x", u"x", u"second", u"second", u"third", u"third", u"y" };
    for (int i = 0; i < int(std::size(steps)); ++i) {
        edit->popup->value = QString::fromUtf16(values[i]);
        Key(steps[i].key, steps[i].mods);
        EXPECT_EQ(edit->PopupVisible(), steps[i].openAfter) << i;
        EXPECT_EQ(edit->Text(), QString::fromUtf16(steps[i].text)) << i;
    }

    // The pop-up's own close (a click in it) takes the value; losing the focus cancels.
    edit->DoClick();
    edit->popup->value = QStringLiteral("clicked");
    edit->popup->FinishPopup(true);
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), QStringLiteral("clicked"));
    edit->DoClick();
    TMessage cancel { CM_CANCELMODE, 0, reinterpret_cast<qintptr>(form) };
    edit->WndProc(cancel);
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), QStringLiteral("clicked"));
}

TEST_F(ComboEdit, ReadOnlyAndDirectInput)
{
    edit->SetReadOnly(true);
    PressButton();
    Key(Qt::Key_Down, Qt::AltModifier);
    edit->OpenPopup(true);
    edit->DoClick();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(buttonClicks, 0);
    QTest::keyClicks(edit->Handle(), QStringLiteral("ab"));
    EXPECT_EQ(edit->Text(), QString());
    edit->SetReadOnly(false);

    // Without direct input nothing is typed, pasted or cut, but the pop-up works.
    edit->SetText(QStringLiteral("keep"));
    edit->SetDirectInput(false);
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 0);
    QTest::keyClicks(edit->Handle(), QStringLiteral("ab"));
    Clipboard().SetAsText(QStringLiteral("pasted"));
    Key(Qt::Key_V, Qt::ControlModifier);
    edit->TCustomEdit::SelectAll();
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("keep"));
    edit->popup->value = QStringLiteral("chosen");
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(edit->PopupVisible());
    Key(Qt::Key_Return);
    EXPECT_EQ(edit->Text(), QStringLiteral("chosen"));
    // Closing restores the edit's own read-only state.
    EXPECT_TRUE(edit->EditLocked());
    edit->SetDirectInput(true);
    EXPECT_FALSE(edit->EditLocked());
}

} // namespace
