// The control model: painting order, mouse routing and capture, keyboard
// order, modal loops, exceptions from handlers and lifetimes.
#include "support/form_fixture.h"

#include "platform/core/sysinfo.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/host_p.h"

#include <QCloseEvent>
#include <QWindow>
#include <QtTest/QSpontaneKeyEvent>
#include <QtTest/QTest>

namespace {

// A windowless block of one colour that counts what happens to it.
class Block : public TGraphicControl {
public:
    Block(TComponent* owner, TColor color)
        : TGraphicControl(owner)
    {
        SetColor(color);
    }
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
        ++paints;
    }
    void CMMouseEnter(TMessage& m) override
    {
        ++enters;
        TGraphicControl::CMMouseEnter(m);
    }
    void CMMouseLeave(TMessage& m) override
    {
        ++leaves;
        TGraphicControl::CMMouseLeave(m);
    }
    void CMDialogChar(TMessage& m) override
    {
        if (IsAccel(QChar(char16_t(m.WParam)), Caption())) {
            ++accels;
            m.Result = 1;
        }
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override
    {
        ++ups;
        TGraphicControl::MouseUp(b, s, x, y);
    }
    int paints = 0, enters = 0, leaves = 0, accels = 0, ups = 0;
};

// A windowed control that paints one colour and answers a dialog key.
class Pane : public TCustomControl {
public:
    Pane(TComponent* owner, TColor color)
        : TCustomControl(owner)
    {
        SetColor(color);
        SetTabStop(true);
    }
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
    void CMDialogKey(TMessage& m) override
    {
        if (m.WParam == answerKey) {
            ++dialogKeys;
            m.Result = 1;
        }
    }
    void KeyDown(quint16& key, TShiftState shift) override
    {
        log.append(QStringLiteral("down:%1").arg(key));
        TCustomControl::KeyDown(key, shift);
    }
    void KeyPress(QChar& key) override
    {
        log.append(QStringLiteral("press:%1").arg(key));
        TCustomControl::KeyPress(key);
    }
    quint16 answerKey = 0;
    int dialogKeys = 0;
    QStringList log;
};

class Controls : public FormFixture {
protected:
    TForm* MakeForm(int w = 200, int h = 100) { return FormFixture::MakeForm(w, h, clWhite); }
    static QRgb PixelAt(TControl& c, int x, int y) { return Px(Render(&c), x, y); }

    // A child of one colour, on the form unless told otherwise; bounds left
    // at their default when none are given.
    template <class T>
    T* Child(TColor color, QRect bounds = {}, TWinControl* parent = nullptr, TComponent* owner = nullptr)
    {
        auto* c = new T(owner ? owner : form, color);
        c->SetParent(parent ? parent : form);
        if (!bounds.isNull())
            c->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
        return c;
    }
};

} // namespace

TEST_F(Controls, WindowlessChildrenPaintInZOrderClippedToTheirBounds)
{
    MakeForm();
    auto* below = Child<Block>(clRed, { 10, 10, 50, 50 });
    Child<Block>(clBlue, { 40, 40, 50, 50 }); // above it

    EXPECT_EQ(PixelAt(*form, 15, 15), Rgb(clRed));
    EXPECT_EQ(PixelAt(*form, 45, 45), Rgb(clBlue)); // the later sibling is on top
    EXPECT_EQ(PixelAt(*form, 95, 95), Rgb(clWhite)); // outside both
    EXPECT_EQ(PixelAt(*form, 60, 20), Rgb(clWhite)); // right edge of "below" is exclusive

    form->BringControlToFront(below);
    EXPECT_EQ(PixelAt(*form, 45, 45), Rgb(clRed));
    below->Hide();
    EXPECT_EQ(PixelAt(*form, 15, 15), Rgb(clWhite));
}

TEST_F(Controls, WindowedChildrenLieAboveWindowlessOnes)
{
    MakeForm();
    Child<Pane>(clGreen, { 0, 0, 30, 30 }); // windowed
    Child<Block>(clRed, { 20, 20, 30, 30 }); // later in z-order, but windowless
    EXPECT_EQ(PixelAt(*form, 25, 25), Rgb(clGreen));
    EXPECT_EQ(PixelAt(*form, 35, 35), Rgb(clRed));
}

TEST_F(Controls, BackgroundForAChildShowsParentAndLowerSiblingsOnly)
{
    MakeForm();
    form->SetColor(clYellow);
    Child<Block>(clGreen, { 0, 0, 20, 100 }); // a lower sibling
    auto* child = Child<Block>(clRed, { 10, 10, 40, 40 });
    Child<Block>(clBlue, { 30, 30, 40, 40 }); // an upper sibling

    TBitmap bmp;
    bmp.SetSize(40, 40);
    form->PaintBackgroundFor(child, *bmp.Canvas());
    const QImage& img = bmp.Image();
    EXPECT_EQ(Px(img, 5, 5), Rgb(clGreen)); // lower sibling at parent x=15
    EXPECT_EQ(Px(img, 15, 5), Rgb(clYellow)); // the parent itself
    EXPECT_EQ(Px(img, 35, 35), Rgb(clYellow)); // the upper sibling is left out
    EXPECT_EQ(child->paints, 0); // and the child itself is never painted
    EXPECT_EQ(form->ControlState() & csPaintCopy, 0u);
}

TEST_F(Controls, ClickOnlyWhenReleasedInsideAndCaptureKeepsTheMouse)
{
    MakeForm();
    form->Show();
    auto* a = Child<Block>(clRed, { 0, 0, 50, 50 });
    auto* b = Child<Block>(clBlue, { 100, 0, 50, 50 });
    int clicks = 0;
    a->OnClick = [&](TObject*) { ++clicks; };
    int bClicks = 0;
    b->OnClick = [&](TObject*) { ++bClicks; };

    QWidget* w = form->Handle();
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);

    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(110, 10)); // released over the other block
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(bClicks, 0);
    EXPECT_EQ(a->ups, 2); // the captured control gets the release
    EXPECT_EQ(b->ups, 0);
    EXPECT_EQ(CaptureControl(), nullptr);
}

TEST_F(Controls, DoubleClickGivesDblClickAndNoSecondClick)
{
    MakeForm();
    form->Show();
    auto* a = Child<Block>(clRed, { 0, 0, 50, 50 });
    int clicks = 0, doubles = 0;
    a->OnClick = [&](TObject*) { ++clicks; };
    a->OnDblClick = [&](TObject*) { ++doubles; };
    QTest::mouseClick(form->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(form->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(form->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubles, 1);
    EXPECT_LE(clicks, 2);
}

TEST_F(Controls, MouseEnterAndLeaveFollowTheControlUnderTheMouse)
{
    MakeForm();
    form->Show();
    auto* a = Child<Block>(clRed, { 0, 0, 50, 50 });
    auto* b = Child<Block>(clBlue, { 60, 0, 50, 50 });
    form->HostMouseMove({}, {}, QPoint(10, 10));
    form->HostMouseMove({}, {}, QPoint(20, 10));
    EXPECT_EQ(a->enters, 1);
    form->HostMouseMove({}, {}, QPoint(70, 10));
    EXPECT_EQ(a->leaves, 1);
    EXPECT_EQ(b->enters, 1);
    EXPECT_EQ(ControlUnderMouse(), b);
    form->HostMouseLeave();
    EXPECT_EQ(b->leaves, 1);
    EXPECT_EQ(ControlUnderMouse(), nullptr);
}

TEST_F(Controls, KeysGoThroughPreviewKeyDownDialogKeysThenKeyPress)
{
    MakeForm();
    auto* pane = Child<Pane>(clGreen, { 0, 0, 30, 30 });
    auto* defaultButton = Child<Pane>(clRed);
    defaultButton->answerKey = VK_RETURN;
    form->Show();
    pane->SetFocus();

    QStringList preview;
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, quint16& key, TShiftState) {
        preview.append(QStringLiteral("form:%1").arg(key));
        if (key == VK_F4)
            key = 0; // consumed by the form
    };
    form->OnKeyPress = [&](TObject*, QChar& c) {
        if (c == u'a')
            c = u'b';
    };

    QChar replaced;
    bool dropped = false;
    EXPECT_FALSE(pane->HostKeyPress(Qt::Key_A, {}, QStringLiteral("a"), &replaced, &dropped));
    EXPECT_EQ(replaced, u'b');
    EXPECT_EQ(pane->log, (QStringList { QStringLiteral("down:65"), QStringLiteral("press:b") }));
    EXPECT_EQ(preview, QStringList { QStringLiteral("form:65") });

    pane->log.clear();
    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_F4, {}, QString(), &replaced, &dropped));
    EXPECT_TRUE(pane->log.isEmpty()); // the preview consumed it

    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_Return, {}, QStringLiteral("\r"), &replaced, &dropped));
    EXPECT_EQ(defaultButton->dialogKeys, 1); // Enter reached the default button
    EXPECT_EQ(pane->log, QStringList { QStringLiteral("down:13") }); // and never became a character

    auto* cancelButton = Child<Pane>(clBlue);
    cancelButton->answerKey = VK_ESCAPE;
    pane->log.clear();
    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_Escape, {}, QStringLiteral("\x1b"), &replaced, &dropped));
    EXPECT_EQ(cancelButton->dialogKeys, 1);
    EXPECT_EQ(defaultButton->dialogKeys, 1); // Esc is not the default button's
    EXPECT_EQ(pane->log, QStringList { QStringLiteral("down:27") });
}

TEST_F(Controls, TabMovesFocusInTabOrder)
{
    MakeForm();
    auto* first = Child<Pane>(clRed);
    auto* second = Child<Pane>(clGreen);
    auto* third = Child<Pane>(clBlue);
    third->SetTabOrder(0);
    form->Show();
    first->SetFocus();
    EXPECT_EQ(form->FindNextControl(first, true, true, false), second);
    EXPECT_EQ(form->FindNextControl(second, true, true, false), third); // wraps to the first in order
    EXPECT_EQ(form->FindNextControl(third, false, true, false), second);
    second->SetEnabled(false);
    EXPECT_EQ(form->FindNextControl(first, true, true, false), third);
}

// Hiding or disabling the control with the focus, or a parent of it, leaves
// the focus with the form; such a control takes no focus, and Tab passes it.
TEST_F(Controls, HiddenOrDisabledControlsGiveUpAndRefuseTheFocus)
{
    struct Case {
        const char* what;
        bool parent; // the change is made to the focused pane's parent
        std::function<void(TWinControl*, bool)> change; // false: off, true: back on
    };
    const Case cases[] = {
        { "hidden", false, [](TWinControl* c, bool on) { c->SetVisible(on); } },
        { "parent hidden", true, [](TWinControl* c, bool on) { c->SetVisible(on); } },
        { "disabled", false, [](TWinControl* c, bool on) { c->SetEnabled(on); } },
        { "parent disabled", true, [](TWinControl* c, bool on) { c->SetEnabled(on); } },
    };
    for (const Case& c : cases) {
        MakeForm();
        auto* before = Child<Pane>(clRed, { 0, 0, 20, 20 });
        auto* box = Child<Pane>(clGreen, { 30, 0, 60, 60 });
        box->SetTabStop(false);
        auto* inside = Child<Pane>(clBlue, { 5, 5, 20, 20 }, box);
        auto* after = Child<Pane>(clYellow, { 100, 0, 20, 20 });
        ShowForm();
        inside->SetFocus();
        ASSERT_TRUE(inside->Focused()) << c.what;
        TWinControl* changed = c.parent ? static_cast<TWinControl*>(box) : inside;
        c.change(changed, false);
        EXPECT_EQ(QApplication::focusWidget(), form->Handle()) << c.what;
        EXPECT_EQ(form->ActiveControl(), nullptr) << c.what;
        inside->SetFocus();
        form->SetActiveControl(inside);
        EXPECT_EQ(QApplication::focusWidget(), form->Handle()) << c.what << ": focus refused";
        before->SetFocus();
        QTest::keyClick(before->Handle(), Qt::Key_Tab);
        EXPECT_TRUE(after->Focused()) << c.what << ": Tab passes it";
        QTest::keyClick(after->Handle(), Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_TRUE(before->Focused()) << c.what << ": and so does Shift+Tab";
        c.change(changed, true);
        QTest::keyClick(before->Handle(), Qt::Key_Tab);
        EXPECT_TRUE(inside->Focused()) << c.what << ": shown and enabled again, it is a stop again";
        delete form;
        form = nullptr;
    }
}

TEST_F(Controls, AcceleratorsReachWindowlessControls)
{
    MakeForm();
    auto* save = Child<Block>(clRed);
    save->SetCaption(QStringLiteral("&Save"));
    auto* pane = Child<Pane>(clGreen);
    form->Show();
    QChar replaced;
    bool dropped = false;
    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_S, Qt::AltModifier, QStringLiteral("s"), &replaced, &dropped));
    EXPECT_EQ(save->accels, 1);
    EXPECT_TRUE(IsAccel(u'x', QStringLiteral("E&xit")));
    EXPECT_FALSE(IsAccel(u'a', QStringLiteral("Tom && &Jerry")));
    EXPECT_TRUE(IsAccel(u'j', QStringLiteral("Tom && &Jerry")));

    // Typed text made a caption shows as typed and underlines nothing.
    for (const char* typed : { "Carl & Dora", "R&D", "&&&", "end&", "" }) {
        const QString text = QString::fromUtf8(typed);
        const QString caption = EscapeAccelChars(text);
        EXPECT_EQ(StripAccelChars(caption), text) << typed;
        for (QChar c : text)
            EXPECT_FALSE(IsAccel(c, caption)) << typed;
    }
    EXPECT_EQ(StripAccelChars(QStringLiteral("E&xit && go&")), QStringLiteral("Exit & go"));
}

TEST_F(Controls, ModalLoopsEndOnModalResultAndCloseAndCanBeRefused)
{
    MakeForm();
    QTimer::singleShot(0, [this] { form->SetModalResult(mrOk); });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());

    int queries = 0;
    form->OnCloseQuery = [&](TObject*, bool& can) { can = ++queries > 1; };
    QTimer::singleShot(0, [this] {
        form->Close(); // refused once
        QTimer::singleShot(0, [this] { form->Close(); });
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);

    // A modal form inside a modal form.
    form->OnCloseQuery = {};
    TForm* inner = new TForm(form);
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] { inner->SetModalResult(mrYes); });
        const int r = inner->ShowModal();
        EXPECT_EQ(r, mrYes);
        form->SetModalResult(mrNo);
    });
    EXPECT_EQ(form->ShowModal(), mrNo);
}

TEST_F(Controls, AModalFormAsksThroughTheScriptedDialogs)
{
    MakeForm();
    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    dialogs.AnswerMessageDlg(mrCancel);
    dialogs.AnswerMessageDlg(mrOk);
    // The form may close only when the user confirms.
    form->OnCloseQuery = [](TObject*, bool& can) {
        can = MessageDlg(QStringLiteral("Close?"), mtConfirmation, TMsgDlgButtons { mbOK, mbCancel }) == mrOk;
    };
    QTimer::singleShot(0, [this] {
        form->SetModalResult(mrOk); // refused by the first answer
        QTimer::singleShot(0, [this] { form->SetModalResult(mrOk); });
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    SetDialogService(nullptr);
}

TEST_F(Controls, AWindowManagerCloseAsksTheFormAndTheMainFormEndsTheRun)
{
    MakeForm();
    int closes = 0;
    form->OnClose = [&](TObject*, TCloseAction& a) {
        ++closes;
        if (closes == 1)
            a = caNone; // refused the first time
    };
    form->Show();
    const auto windowManagerClose = [this] {
        QCloseEvent e;
        QSpontaneKeyEvent::setSpontaneous(&e);
        qApp->notify(form->Handle(), &e);
    };
    windowManagerClose();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(form->Visible());
    windowManagerClose();
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(form->Visible());
}

TEST_F(Controls, ExceptionsFromHandlersReachTheApplication)
{
    MakeForm();
    form->Show();
    auto* a = Child<Block>(clRed, { 0, 0, 50, 50 });
    a->OnClick = [](TObject*) { throw EConvertError(QStringLiteral("'x' is not a valid date")); };
    QTest::mouseClick(form->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(errors, QStringList { QStringLiteral("'x' is not a valid date") });

    // A control that throws while painting leaves its siblings painted.
    struct Bad : Block {
        using Block::Block;
        void Paint() override { throw Exception(QStringLiteral("paint failed")); }
    };
    Child<Bad>(clBlue, { 60, 0, 20, 20 });
    Child<Block>(clGreen, { 100, 0, 20, 20 });
    EXPECT_EQ(PixelAt(*form, 105, 5), Rgb(clGreen));
    EXPECT_TRUE(errors.contains(QStringLiteral("paint failed")));
}

TEST(Application, ALocaleChangeBeforeAnyWindowHookReloadsTheFormats)
{
    struct Restore {
        ~Restore()
        {
            QLocale::setDefault(QLocale::system());
            ResetFormatSettings();
            FreeApplication();
        }
    } restore;
    // A fresh application, as at the program's start: no window hooked yet.
    FreeApplication();
    Application();
    const QString before = FormatSettings().ShortDateFormat;
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    ASSERT_NE(FormatSettingsFromLocale(swedish).ShortDateFormat, before);
    QLocale::setDefault(swedish);
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(qApp, &change);
    EXPECT_EQ(FormatSettings().ShortDateFormat, FormatSettingsFromLocale(swedish).ShortDateFormat);
}

TEST_F(Controls, AlignedAndAnchoredChildrenFollowTheirParent)
{
    MakeForm(200, 100);
    auto* top = Child<Block>(clRed);
    top->SetHeight(10);
    top->SetAlign(alTop);
    auto* bottom = Child<Block>(clRed);
    bottom->SetHeight(20);
    bottom->SetAlign(alBottom);
    auto* client = Child<Block>(clRed);
    client->SetAlign(alClient);
    auto* anchored = Child<Block>(clBlue, { 150, 40, 30, 10 });
    anchored->SetAnchors(akRight | akTop);

    EXPECT_EQ(top->BoundsRect(), QRect(0, 0, 200, 10));
    EXPECT_EQ(bottom->BoundsRect(), QRect(0, 80, 200, 20));
    EXPECT_EQ(client->BoundsRect(), QRect(0, 10, 200, 70));

    form->SetClientSize(300, 150);
    EXPECT_EQ(top->BoundsRect(), QRect(0, 0, 300, 10));
    EXPECT_EQ(bottom->BoundsRect(), QRect(0, 130, 300, 20));
    EXPECT_EQ(client->BoundsRect(), QRect(0, 10, 300, 120));
    EXPECT_EQ(anchored->BoundsRect(), QRect(250, 40, 30, 10));
}

TEST_F(Controls, OwnersAndParentsFreeInEitherOrder)
{
    MakeForm();
    // A child owned by one component and parented by another.
    TComponent owner;
    auto* panel = Child<Pane>(clRed);
    Child<Block>(clBlue, {}, panel, &owner);
    delete panel; // the parent frees its children
    EXPECT_EQ(owner.ComponentCount(), 0);

    auto* panel2 = Child<Pane>(clRed);
    Child<Block>(clBlue, {}, panel2, &owner);
    Child<Pane>(clBlue, {}, panel2, &owner);
    EXPECT_EQ(owner.ComponentCount(), 2);
    // The owner goes first: the children leave their parent.
}

TEST_F(Controls, AFormDestroyedWhileHoveredTellsNobody)
{
    MakeForm();
    form->Show();
    auto* a = Child<Block>(clRed, { 0, 0, 50, 50 });
    int leaves = 0;
    a->OnMouseLeave = [&](TObject*) { ++leaves; };
    form->HostMouseMove({}, {}, QPoint(5, 5));
    EXPECT_EQ(ControlUnderMouse(), a);
    delete form;
    form = nullptr;
    EXPECT_EQ(ControlUnderMouse(), nullptr);
    EXPECT_EQ(leaves, 0);
}

TEST_F(Controls, ReleaseFreesTheFormOnceBackInTheLoop)
{
    MakeForm();
    auto* a = Child<Block>(clRed);
    std::weak_ptr<bool> alive = form->AliveToken();
    a->OnClick = [this](TObject*) { form->Release(); };
    a->Click();
    EXPECT_FALSE(alive.expired());
    QApplication::processEvents();
    EXPECT_TRUE(alive.expired());
    form = nullptr;
}

TEST_F(Controls, DrawingOutsidePaintShowsUntilInvalidated)
{
    MakeForm();
    auto* a = Child<Block>(clRed, { 0, 0, 50, 50 });
    a->Canvas()->Brush()->SetColor(clBlue);
    a->Canvas()->FillRect(QRect(0, 0, 10, 10));
    EXPECT_EQ(PixelAt(*form, 5, 5), Rgb(clBlue));
    EXPECT_EQ(PixelAt(*form, 15, 15), Rgb(clRed));
    a->Invalidate();
    EXPECT_EQ(PixelAt(*form, 5, 5), Rgb(clRed));
}

TEST_F(Controls, ParentFontAndColourFlowDownUntilSetLocally)
{
    MakeForm();
    auto* pane = Child<Pane>(clRed);
    auto* block = Child<Block>(clBlue, {}, pane);
    block->SetParentColor(true);
    EXPECT_EQ(block->Color(), clRed);
    form->Font()->SetName(QStringLiteral("Arial"));
    EXPECT_EQ(block->Font()->Name(), QStringLiteral("Arial"));
    block->Font()->SetSize(14);
    EXPECT_FALSE(block->ParentFont());
    form->Font()->SetName(QStringLiteral("Courier New"));
    EXPECT_EQ(block->Font()->Name(), QStringLiteral("Arial"));
    pane->SetColor(clGreen);
    EXPECT_EQ(block->Color(), clGreen);
}

TEST_F(Controls, FormSizesIncludeTheFrame)
{
    form = new TForm(nullptr);
    form->SetBorderStyle(bsSingle);
    form->SetClientSize(300, 200);
    const QMargins m = form->FrameMargins();
    EXPECT_EQ(form->Width(), 300 + m.left() + m.right());
    EXPECT_EQ(form->Height(), 200 + m.top() + m.bottom());
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->Handle()->size(), QSize(300, 200));
}

TEST_F(Controls, AFormFollowsTheWindowManagerAndKeepsItsNormalBounds)
{
    form = new TForm(nullptr);
    form->SetBounds(100, 60, 300, 200);
    form->Show();
    QApplication::processEvents();
    QWindow& window = *form->Handle()->windowHandle();
    const QPoint client = form->Handle()->geometry().topLeft();
    window.setPosition(client + QPoint(150, 90));
    QApplication::processEvents();
    const QRect moved(250, 150, 300, 200);
    EXPECT_EQ(form->BoundsRect(), moved) << "moved by its title bar";
    form->SetBoundsRect(form->BoundsRect());
    QApplication::processEvents();
    EXPECT_EQ(form->Handle()->geometry().topLeft(), client + QPoint(150, 90)) << "its own bounds leave it there";

    // The offscreen platform tells the maximised geometry before the state.
    window.setWindowStates(Qt::WindowMaximized);
    QApplication::processEvents();
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_GT(form->Width(), 300) << "it covers the screen";
    EXPECT_EQ(form->NormalBoundsRect(), moved);
    window.setWindowStates(Qt::WindowNoState);
    QApplication::processEvents();
    EXPECT_EQ(form->WindowState(), wsNormal);
    EXPECT_EQ(form->BoundsRect(), moved);

    // Maximised while hidden: it shows maximised and keeps where to restore to.
    form->Hide();
    form->SetWindowState(wsMaximized);
    form->SetBounds(20, 30, 300, 200);
    form->Show();
    QApplication::processEvents();
    EXPECT_TRUE(form->Handle()->isMaximized());
    EXPECT_EQ(form->NormalBoundsRect(), QRect(20, 30, 300, 200));
}

TEST_F(Controls, AWindowedChildSeesEveryWindowlessSiblingBeneathIt)
{
    MakeForm();
    auto* pane = Child<Pane>(clRed, { 10, 10, 40, 40 });
    Child<Block>(clBlue, { 0, 0, 30, 30 }); // later in z-order, yet below the window
    TBitmap bmp;
    bmp.SetSize(40, 40);
    form->PaintBackgroundFor(pane, *bmp.Canvas());
    EXPECT_EQ(Px(bmp.Image(), 5, 5), Rgb(clBlue));
    EXPECT_EQ(Px(bmp.Image(), 30, 30), Rgb(clWhite));
}

TEST_F(Controls, NextDialogControlMovesTheFocus)
{
    MakeForm();
    auto* first = Child<Pane>(clRed);
    auto* second = Child<Pane>(clGreen);
    form->Show();
    first->SetFocus();
    QApplication::processEvents();
    form->Perform(WM_NEXTDLGCTL, 0, 0);
    QApplication::processEvents();
    EXPECT_EQ(form->ActiveControl(), second);
}
