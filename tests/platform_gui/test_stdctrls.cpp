// The standard controls: label drawing and sizing, edit and memo text in
// step with the widget, check and radio clicks, combo and list box choices.
#include "test_stdctrls_fixture.h"

#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

// Darkest row range of a rendered label: first and last row with black pixels.
std::pair<int, int> InkRows(const QImage& image)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 60) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return { first, last };
}

// An edit that keeps only letters, whatever way text arrives.
class LettersEdit : public TEdit {
public:
    using TEdit::TEdit;
    int pastes = 0;
    void PasteFromClipboard() override
    {
        ++pastes;
        TEdit::PasteFromClipboard();
    }

protected:
    void Change() override
    {
        QString kept;
        for (QChar c : Text())
            if (c.isLetter())
                kept += c;
        if (kept != Text()) {
            const int caret = SelStart();
            SetText(kept);
            SetSelStart(std::min<int>(caret, int(kept.size())));
            return;
        }
        TEdit::Change();
    }
};

} // namespace

// --- label ---

using StdLabel = StdFixture;

TEST_F(StdLabel, AutoSizeFitsTheCaptionAndRightJustifiedKeepsItsRightEdge)
{
    MakeForm();
    auto* label = Add<TLabel>(10, 10);
    label->SetCaption(QStringLiteral("Hi"));
    const int shortWidth = label->Width();
    label->SetCaption(QStringLiteral("Hi there, a longer caption"));
    EXPECT_GT(label->Width(), shortWidth);
    EXPECT_EQ(label->Height(), label->Canvas()->TextHeight(QStringLiteral("H")));

    label->SetAlignment(taRightJustify);
    const int right = label->Left() + label->Width();
    label->SetCaption(QStringLiteral("Hi"));
    EXPECT_EQ(label->Left() + label->Width(), right);

    // Word wrap keeps the width and grows downwards.
    label->SetAutoSize(false);
    label->SetWidth(40);
    label->SetWordWrap(true);
    label->SetAutoSize(true);
    label->SetCaption(QStringLiteral("one two three four"));
    EXPECT_LE(label->Width(), 40);
    EXPECT_GT(label->Height(), 2 * label->Canvas()->TextHeight(QStringLiteral("H")) - 1);
}

TEST_F(StdLabel, TransparentLeavesTheParentsPixels)
{
    MakeForm(100, 40);
    auto* label = Add<TLabel>(0, 0);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 100, 40);
    label->SetColor(clBlue);
    label->SetCaption(QStringLiteral("x"));
    EXPECT_EQ(Px(Render(form), 80, 30), Rgb(clBlue));
    label->SetTransparent(true);
    EXPECT_EQ(Px(Render(form), 80, 30), Rgb(clYellow));
    // Parent colour is the default.
    auto* plain = Add<TLabel>(0, 0);
    EXPECT_EQ(plain->Color(), form->Color());
}

TEST_F(StdLabel, DisabledTextIsEngraved)
{
    MakeForm();
    auto* label = Add<TLabel>(0, 0);
    label->Font()->SetHeight(-20);
    label->SetCaption(QStringLiteral("HIH"));
    const QRect all(0, 0, label->Width(), label->Height());
    QImage enabled = Render(label);
    EXPECT_GT(Count(enabled, all, clBlack), 0);
    EXPECT_EQ(Count(enabled, all, clWhite), 0);
    label->SetEnabled(false);
    QImage disabled = Render(label);
    EXPECT_EQ(Count(disabled, all, clBlack), 0);
    EXPECT_GT(Count(disabled, all, clBtnShadow), 0);
    EXPECT_GT(Count(disabled, all, clBtnHighlight), 0);
}

TEST_F(StdLabel, LayoutPlacesTheTextVertically)
{
    MakeForm();
    auto* label = Add<TLabel>(0, 0);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 60, 60);
    label->SetCaption(QStringLiteral("H"));
    const auto top = InkRows(Render(label));
    label->SetLayout(tlBottom);
    const auto bottom = InkRows(Render(label));
    label->SetLayout(tlCenter);
    const auto center = InkRows(Render(label));
    EXPECT_LT(top.second, 20);
    EXPECT_GT(bottom.first, 40);
    EXPECT_NEAR((center.first + center.second) / 2.0, 30, 4);
}

TEST_F(StdLabel, AcceleratorFocusesTheFocusControl)
{
    MakeForm();
    auto* other = Add<TEdit>(10, 10);
    auto* target = Add<TEdit>(10, 40);
    auto* label = Add<TLabel>(150, 40);
    label->SetCaption(QStringLiteral("&Name"));
    label->SetFocusControl(target);
    ShowForm();
    other->SetFocus();
    ASSERT_TRUE(other->Focused());
    // Plain typing is text in an edit; Alt+N is the accelerator.
    QTest::keyClick(other->Handle(), Qt::Key_N);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->Text(), QStringLiteral("n"));
    QTest::keyClick(other->Handle(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(target->Focused());

    delete target;
    EXPECT_EQ(label->FocusControl(), nullptr);
}

// --- edit ---

using StdEdit = StdFixture;

TEST_F(StdEdit, TextStaysInStepBothWaysAndFiresOnChange)
{
    MakeForm();
    auto* edit = Add<TEdit>(0, 0);
    auto* line = static_cast<QLineEdit*>(edit->Handle());
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };

    edit->SetText(QStringLiteral("abc"));
    EXPECT_EQ(line->text(), QStringLiteral("abc"));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->Modified());
    edit->SetText(QStringLiteral("abc"));
    EXPECT_EQ(changes, 1);

    line->end(false);
    QTest::keyClicks(line, QStringLiteral("de"));
    EXPECT_EQ(edit->Text(), QStringLiteral("abcde"));
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(edit->Modified());

    // Setting the text in code clears Modified.
    edit->SetText(QStringLiteral("x"));
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(edit->Caption(), QStringLiteral("x"));
}

TEST_F(StdEdit, KeyPressReplacesAndDropsTypedCharacters)
{
    MakeForm();
    auto* edit = Add<TEdit>(0, 0);
    edit->OnKeyPress = [](TObject*, QChar& key) {
        if (key == u'a')
            key = u'b';
        else if (key == u'x')
            key = QChar();
    };
    QTest::keyClicks(edit->Handle(), QStringLiteral("axc"));
    EXPECT_EQ(edit->Text(), QStringLiteral("bc"));
    // A character outside Latin-1 arrives as a plain key event.
    QKeyEvent cyrillic(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("\u0436"));
    QCoreApplication::sendEvent(edit->Handle(), &cyrillic);
    EXPECT_EQ(edit->Text(), QStringLiteral("bc\u0436"));
    edit->SetCharCase(ecUpperCase);
    EXPECT_EQ(edit->Text(), QStringLiteral("BC\u0416"));
    QTest::keyClicks(edit->Handle(), QStringLiteral("d"));
    EXPECT_EQ(edit->Text(), QStringLiteral("BC\u0416D"));
}

TEST_F(StdEdit, MaxLengthAndPasswordCharacter)
{
    MakeForm();
    auto* edit = Add<TEdit>(0, 0);
    auto* line = static_cast<QLineEdit*>(edit->Handle());
    edit->SetMaxLength(3);
    QTest::keyClicks(line, QStringLiteral("abcdef"));
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));

    edit->SetPasswordChar(u'*');
    EXPECT_EQ(line->echoMode(), QLineEdit::Password);
    EXPECT_NE(line->displayText(), QStringLiteral("abc"));
    // A password is never copied out.
    Clipboard().SetAsText(QStringLiteral("before"));
    edit->SelectAll();
    edit->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), QStringLiteral("before"));
    edit->SetPasswordChar(QChar());
    EXPECT_EQ(line->echoMode(), QLineEdit::Normal);
}

TEST_F(StdEdit, EveryPasteGoesThroughTheFilteringDescendant)
{
    MakeForm();
    auto* edit = new LettersEdit(form);
    edit->SetParent(form);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    Clipboard().SetAsText(QStringLiteral("a.b.c\r\nsecond line"));
    QTest::keyClick(edit->Handle(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
    EXPECT_EQ(edit->SelStart(), 3);
    EXPECT_EQ(edit->pastes, 1);
    EXPECT_GE(changes, 1);
    QTest::keyClick(edit->Handle(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->pastes, 2);
    EXPECT_EQ(edit->Text(), QStringLiteral("abcabc"));
    // Typed characters go through Change too.
    QTest::keyClicks(edit->Handle(), QStringLiteral("1x"));
    EXPECT_EQ(edit->Text(), QStringLiteral("abcabcx"));

    edit->SetReadOnly(true);
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), QStringLiteral("abcabcx"));
}

TEST_F(StdEdit, SelectionCutAndClear)
{
    MakeForm();
    auto* edit = Add<TEdit>(0, 0);
    edit->SetText(QStringLiteral("hello world"));
    edit->SetSelStart(6);
    edit->SetSelLength(5);
    EXPECT_EQ(edit->SelText(), QStringLiteral("world"));
    edit->CutToClipboard();
    EXPECT_EQ(Clipboard().AsText(), QStringLiteral("world"));
    EXPECT_EQ(edit->Text(), QStringLiteral("hello "));
    EXPECT_TRUE(edit->Modified());
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 6);
    edit->SetSelText(QStringLiteral("bye"));
    EXPECT_EQ(edit->Text(), QStringLiteral("bye"));
    edit->SetSelStart(0);
    edit->SetSelLength(1);
    edit->ClearSelection();
    EXPECT_EQ(edit->Text(), QStringLiteral("ye"));
}

TEST_F(StdEdit, ColoursReachTheWidgetAndAutoSelectOnEntry)
{
    MakeForm();
    auto* first = Add<TEdit>(0, 0);
    auto* second = Add<TEdit>(0, 30);
    second->SetText(QStringLiteral("all of it"));
    // A colour change on entry, as focus-coloured edits do it.
    second->OnEnter = [](TObject* s) { static_cast<TEdit*>(s)->SetColor(clAqua); };
    second->OnExit = [](TObject* s) { static_cast<TEdit*>(s)->SetColor(clWindow); };
    ShowForm();
    first->SetFocus();
    second->SetFocus();
    EXPECT_EQ(second->SelLength(), 9);
    EXPECT_EQ(Px(Render(second), second->Width() - 8, second->Height() / 2), Rgb(clAqua));
    first->SetFocus();
    EXPECT_EQ(Px(Render(second), second->Width() - 8, second->Height() / 2), Rgb(clWindow));

    second->Font()->SetColor(clRed);
    EXPECT_EQ(second->Handle()->palette().color(QPalette::Active, QPalette::Text), ToQColor(clRed));
}

// --- memo ---

using StdMemo = StdFixture;

TEST_F(StdMemo, LinesAreAViewOfTheTextWithCrLf)
{
    MakeForm();
    auto* memo = Add<TMemo>(0, 0);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    memo->Lines()->Add(QStringLiteral("a"));
    memo->Lines()->Add(QStringLiteral("b"));
    EXPECT_EQ(memo->Text(), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(changes, 2);
    memo->Lines()->SetString(0, QStringLiteral("first"));
    memo->Lines()->Delete(1);
    EXPECT_EQ(memo->Text(), QStringLiteral("first\r\n"));

    memo->SetText(QStringLiteral("x\ny\r\nz"));
    EXPECT_EQ(memo->Text(), QStringLiteral("x\r\ny\r\nz"));
    EXPECT_EQ(
        memo->Lines()->ToStringList(), QStringList({ QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z") }));
    memo->Lines()->Add(QStringLiteral("w"));
    EXPECT_EQ(memo->Lines()->Text(), QStringLiteral("x\r\ny\r\nz\r\nw\r\n"));
    EXPECT_THROW(memo->Lines()->Strings(9), EListError);

    // Positions count each line break as two characters.
    memo->SetText(QStringLiteral("ab\r\ncd"));
    memo->SetSelStart(4);
    memo->SetSelLength(2);
    EXPECT_EQ(memo->SelText(), QStringLiteral("cd"));
    memo->SelectAll();
    EXPECT_EQ(memo->SelLength(), 6);
}

TEST_F(StdMemo, InsertAndDeleteKeepTheOtherLines)
{
    MakeForm();
    auto* memo = Add<TMemo>(0, 0);
    memo->SetText(QStringLiteral("b\r\nd"));
    memo->Lines()->Insert(0, QStringLiteral("a"));
    memo->Lines()->Insert(2, QStringLiteral("c"));
    memo->Lines()->Insert(memo->Lines()->Count(), QStringLiteral("e"));
    EXPECT_EQ(memo->Lines()->ToStringList(),
        QStringList({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
            QStringLiteral("e") }));
    memo->Lines()->Delete(0);
    memo->Lines()->Delete(1);
    memo->Lines()->Delete(memo->Lines()->Count() - 1);
    EXPECT_EQ(memo->Lines()->ToStringList(), QStringList({ QStringLiteral("b"), QStringLiteral("d") }));
    // Out of range, as the edit control itself: nothing happens.
    memo->Lines()->Delete(5);
    memo->Lines()->Insert(9, QStringLiteral("x"));
    EXPECT_EQ(memo->Text(), QStringLiteral("b\r\nd\r\n"));
    memo->Lines()->Clear();
    EXPECT_EQ(memo->Lines()->Count(), 0);
    EXPECT_EQ(memo->Text(), QString());
}

TEST_F(StdMemo, EnterTabAndMaxLength)
{
    MakeForm();
    auto* memo = Add<TMemo>(0, 0);
    auto* widget = memo->Handle();
    QTest::keyClicks(widget, QStringLiteral("ab"));
    QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClick(widget, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(widget, QStringLiteral("c"));
    EXPECT_EQ(memo->Text(), QStringLiteral("ab\r\n\r\nc"));
    EXPECT_TRUE(memo->Modified());

    memo->SetWantReturns(false);
    QTest::keyClick(widget, Qt::Key_Return);
    EXPECT_EQ(memo->Lines()->Count(), 3);
    QTest::keyClick(widget, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), QStringLiteral("ab\r\n\r\nc\r\n"));

    memo->SetText(QString());
    memo->SetMaxLength(5);
    QTest::keyClicks(widget, QStringLiteral("abcdefg"));
    EXPECT_EQ(memo->Text(), QStringLiteral("abcde"));
    memo->SetScrollBars(ssVertical);
    EXPECT_EQ(static_cast<QPlainTextEdit*>(widget)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

// --- check box and radio button ---

using StdButtons = StdFixture;

TEST_F(StdButtons, CheckBoxClicksOncePerChange)
{
    MakeForm();
    auto* box = Add<TCheckBox>(0, 0);
    box->SetCaption(QStringLiteral("&Keep"));
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);

    auto* widget = static_cast<QCheckBox*>(box->Handle());
    EXPECT_EQ(widget->text(), QStringLiteral("&Keep"));
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_FALSE(box->Checked());
    EXPECT_FALSE(widget->isChecked());
    EXPECT_EQ(clicks, 2);

    // The user's toggle with the grey state: unchecked, grayed, checked.
    box->SetAllowGrayed(true);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_EQ(widget->checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(clicks, 4);
}

TEST_F(StdButtons, RadioButtonsAreExclusivePerParent)
{
    MakeForm();
    auto* a = Add<TRadioButton>(0, 0);
    auto* b = Add<TRadioButton>(0, 20);
    auto* group = Add<TGroupBox>(120, 0);
    auto* c = new TRadioButton(form);
    c->SetParent(group);
    c->SetBounds(8, 20, 100, 17);
    QStringList log;
    for (TRadioButton* r : { a, b, c })
        r->OnClick = [&log, r, a, b](TObject*) {
            log.append(r == a ? QStringLiteral("a") : r == b ? QStringLiteral("b") : QStringLiteral("c"));
        };

    a->SetChecked(true);
    c->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked());
    EXPECT_EQ(log, QStringList({ QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("b") }));
    EXPECT_FALSE(a->TabStop());
    EXPECT_TRUE(b->TabStop());

    QTest::mouseClick(a->Handle(), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());
    EXPECT_FALSE(static_cast<QRadioButton*>(b->Handle())->isChecked());
    EXPECT_EQ(log.size(), 4);

    // Unchecking in code works, even for the checked one of a group.
    a->SetChecked(false);
    EXPECT_FALSE(static_cast<QRadioButton*>(a->Handle())->isChecked());
    EXPECT_EQ(log.size(), 4);
}

// --- combo box and list box ---

using StdCombo = StdFixture;

TEST_F(StdCombo, ItemIndexFollowsItemChangesWithoutEvents)
{
    MakeForm();
    auto* combo = Add<TComboBox>(0, 0);
    combo->SetStyle(csDropDownList);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->Items()->Add(QStringLiteral("one"));
    combo->Items()->AddObject(QStringLiteral("two"), 42);
    combo->Items()->Add(QStringLiteral("three"));
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), QString());
    auto* widget = static_cast<QComboBox*>(combo->Handle());
    EXPECT_EQ(widget->currentIndex(), -1);

    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), QStringLiteral("two"));
    EXPECT_EQ(combo->Items()->Objects(combo->ItemIndex()), 42);
    combo->Items()->Insert(0, QStringLiteral("zero"));
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(widget->currentText(), QStringLiteral("two"));
    combo->SetText(QStringLiteral("THREE"));
    EXPECT_EQ(combo->ItemIndex(), 3);
    combo->Items()->Delete(3);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), QString());
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
    EXPECT_THROW(combo->Items()->Strings(5), EListError);
}

TEST_F(StdCombo, UsersChoiceClicksThenSelectsOrChanges)
{
    MakeForm();
    auto* combo = Add<TComboBox>(0, 0);
    combo->SetStyle(csDropDownList);
    combo->Items()->SetText(QStringLiteral("a\r\nb\r\nc\r\n"));
    QStringList log;
    combo->OnClick = [&](TObject*) { log.append(QStringLiteral("click")); };
    combo->OnChange = [&](TObject* s) { log.append(QStringLiteral("change:") + static_cast<TComboBox*>(s)->Text()); };
    QTest::keyClick(combo->Handle(), Qt::Key_Down);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(log, QStringList({ QStringLiteral("click"), QStringLiteral("change:a") }));

    combo->OnSelect = [&](TObject*) { log.append(QStringLiteral("select")); };
    log.clear();
    QTest::keyClick(combo->Handle(), Qt::Key_Down);
    EXPECT_EQ(log, QStringList({ QStringLiteral("click"), QStringLiteral("select") }));
    EXPECT_EQ(combo->Text(), QStringLiteral("b"));

    // Typing in the edit part of a drop-down combo is a change.
    combo->SetStyle(csDropDown);
    log.clear();
    QTest::keyClicks(combo->Handle(), QStringLiteral("x"));
    EXPECT_EQ(log, QStringList({ QStringLiteral("change:bx") }));
    EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(StdCombo, OwnerDrawPreparesTheCanvasForTheEditPartAndTheList)
{
    MakeForm();
    auto* combo = Add<TComboBox>(0, 0);
    combo->SetStyle(csOwnerDrawFixed);
    combo->SetColor(clAqua);
    combo->SetItemHeight(20);
    combo->Items()->SetText(QStringLiteral("red\r\ngreen\r\n"));
    combo->SetItemIndex(1);
    struct Call {
        int index;
        TOwnerDrawState state;
        TColor brush;
        TColor font;
        QRect rect;
    };
    QList<Call> calls;
    combo->OnDrawItem = [&](TWinControl* c, int index, QRect rect, TOwnerDrawState state) {
        TCanvas* canvas = c->Canvas();
        calls.append({ index, state, canvas->Brush()->Color(), canvas->Font()->Color(), rect });
        // Leaves a mark so the test sees that this drawing reached the screen.
        canvas->Brush()->SetColor(clLime);
        canvas->FillRect(QRect(rect.left(), rect.top(), 4, rect.height()));
    };

    QImage closed = Render(combo);
    ASSERT_FALSE(calls.isEmpty());
    const Call edit = calls.last();
    EXPECT_EQ(edit.index, 1);
    EXPECT_TRUE(edit.state & odComboBoxEdit);
    EXPECT_FALSE(edit.state & odSelected);
    EXPECT_EQ(edit.brush, clAqua);
    EXPECT_EQ(edit.font, clWindowText);
    EXPECT_EQ(Px(closed, edit.rect.center().x(), edit.rect.center().y()), Rgb(clAqua));
    EXPECT_EQ(Px(closed, edit.rect.left() + 1, edit.rect.center().y()), Rgb(clLime));

    // Focused, the chosen item shows selected.
    ShowForm();
    combo->SetFocus();
    calls.clear();
    const QImage focused = Render(combo);
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.last().state & (odSelected | odFocused), odSelected | odFocused);
    EXPECT_EQ(calls.last().brush, clHighlight);
    EXPECT_EQ(Px(focused, edit.rect.center().x(), edit.rect.center().y()), Rgb(clHighlight));

    // The open list: the selected item on the highlight.
    int dropDowns = 0;
    combo->OnDropDown = [&](TObject*) { ++dropDowns; };
    calls.clear();
    combo->SetDroppedDown(true);
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_EQ(dropDowns, 1);
    auto* view = static_cast<QComboBox*>(combo->Handle())->view();
    QImage list = view->grab().toImage();
    bool sawSelected = false;
    for (const Call& c : calls) {
        if (c.state & odComboBoxEdit)
            continue;
        EXPECT_EQ(c.rect.height(), 20);
        if (c.state & odSelected) {
            sawSelected = true;
            EXPECT_EQ(c.brush, clHighlight);
            EXPECT_EQ(c.font, clHighlightText);
            EXPECT_EQ(Px(list, c.rect.center().x(), c.rect.center().y()), Rgb(clHighlight));
        } else {
            EXPECT_EQ(c.brush, clAqua);
        }
    }
    EXPECT_TRUE(sawSelected);
    combo->SetDroppedDown(false);
    EXPECT_FALSE(combo->DroppedDown());
}

using StdListBox = StdFixture;

TEST_F(StdListBox, UsersSelectionClicksButCodeDoesNot)
{
    MakeForm();
    auto* list = Add<TListBox>(0, 0);
    list->Items()->SetText(QStringLiteral("a\r\nb\r\nc\r\n"));
    int clicks = 0, doubles = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    list->OnDblClick = [&](TObject*) { ++doubles; };
    list->SetItemIndex(1);
    EXPECT_EQ(clicks, 0);
    auto* widget = static_cast<QListWidget*>(list->Handle());
    EXPECT_TRUE(widget->item(1)->isSelected());
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    list->Items()->Delete(0);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items()->Delete(1);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(clicks, 1);

    const QRect r = widget->visualItemRect(widget->item(0));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(widget->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(list->ItemIndex(), 0);
}

TEST_F(StdButtons, GroupBoxFrameIsEtched)
{
    MakeForm();
    auto* group = Add<TGroupBox>(0, 0, 100, 60);
    group->SetCaption(QStringLiteral("Group"));
    const QImage image = Render(group);
    const int mid = 40;
    ExpectPixels(image,
        { { 0, mid, clBtnShadow }, { 1, mid, clBtnHighlight }, { 98, mid, clBtnShadow }, { 99, mid, clBtnHighlight },
            { 50, 58, clBtnShadow } });
    EXPECT_EQ(Px(image, 50, 30), Rgb(group->Color()));
}
