// The control model: painting order, mouse routing and capture, keyboard
// order, modal loops, exceptions from handlers and lifetimes.
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/host_p.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QTimer>
#include <QWindow>
#include <QtTest/QSpontaneKeyEvent>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// A windowless block of one colour that counts what happens to it.
class Block : public TGraphicControl
{
public:
    Block(TComponent* owner, TColor color) : TGraphicControl(owner) { SetColor(color); }
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
class Pane : public TCustomControl
{
public:
    Pane(TComponent* owner, TColor color) : TCustomControl(owner)
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

QRgb PixelAt(TControl& c, int x, int y)
{
    auto bmp = c.RenderToBitmap();
    return bmp->Image().pixel(x, y) & 0xFFFFFF;
}

QRgb Rgb(TColor c)
{
    return ToQColor(c).rgb() & 0xFFFFFF;
}

class Controls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        QCursor::setPos(-500, -500); // park the virtual cursor outside every window
    }
    void TearDown() override
    {
        delete form;
        Application()->OnException = {};
        Application()->ClearHandledExceptions();
        QApplication::processEvents();
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
                    std::all_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                                [](QWidget* w) { return !FindControl(w); }))
            << "a form was left behind";
    }

    TForm* MakeForm(int w = 200, int h = 100)
    {
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetColor(clWhite);
        form->SetClientSize(w, h);
        return form;
    }

    TForm* form = nullptr;
    QStringList errors;
};

} // namespace

TEST_F(Controls, WindowlessChildrenPaintInZOrderClippedToTheirBounds)
{
    MakeForm();
    auto* below = new Block(form, clRed);
    below->SetParent(form);
    below->SetBounds(10, 10, 50, 50);
    auto* above = new Block(form, clBlue);
    above->SetParent(form);
    above->SetBounds(40, 40, 50, 50);

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
    auto* pane = new Pane(form, clGreen);
    pane->SetParent(form);
    pane->SetBounds(0, 0, 30, 30);
    auto* block = new Block(form, clRed);
    block->SetParent(form); // later in z-order, but windowless
    block->SetBounds(20, 20, 30, 30);
    EXPECT_EQ(PixelAt(*form, 25, 25), Rgb(clGreen));
    EXPECT_EQ(PixelAt(*form, 35, 35), Rgb(clRed));
}

TEST_F(Controls, BackgroundForAChildShowsParentAndLowerSiblingsOnly)
{
    MakeForm();
    form->SetColor(clYellow);
    auto* lower = new Block(form, clGreen);
    lower->SetParent(form);
    lower->SetBounds(0, 0, 20, 100);
    auto* child = new Block(form, clRed);
    child->SetParent(form);
    child->SetBounds(10, 10, 40, 40);
    auto* upper = new Block(form, clBlue);
    upper->SetParent(form);
    upper->SetBounds(30, 30, 40, 40);

    TBitmap bmp;
    bmp.SetSize(40, 40);
    form->PaintBackgroundFor(child, *bmp.Canvas());
    const QImage& img = bmp.Image();
    EXPECT_EQ(img.pixel(5, 5) & 0xFFFFFF, Rgb(clGreen)); // lower sibling at parent x=15
    EXPECT_EQ(img.pixel(15, 5) & 0xFFFFFF, Rgb(clYellow)); // the parent itself
    EXPECT_EQ(img.pixel(35, 35) & 0xFFFFFF, Rgb(clYellow)); // the upper sibling is left out
    EXPECT_EQ(child->paints, 0); // and the child itself is never painted
    EXPECT_EQ(form->ControlState() & csPaintCopy, 0u);
}

TEST_F(Controls, ClickOnlyWhenReleasedInsideAndCaptureKeepsTheMouse)
{
    MakeForm();
    form->Show();
    auto* a = new Block(form, clRed);
    a->SetParent(form);
    a->SetBounds(0, 0, 50, 50);
    auto* b = new Block(form, clBlue);
    b->SetParent(form);
    b->SetBounds(100, 0, 50, 50);
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
    auto* a = new Block(form, clRed);
    a->SetParent(form);
    a->SetBounds(0, 0, 50, 50);
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
    auto* a = new Block(form, clRed);
    a->SetParent(form);
    a->SetBounds(0, 0, 50, 50);
    auto* b = new Block(form, clBlue);
    b->SetParent(form);
    b->SetBounds(60, 0, 50, 50);
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
    auto* pane = new Pane(form, clGreen);
    pane->SetParent(form);
    pane->SetBounds(0, 0, 30, 30);
    auto* defaultButton = new Pane(form, clRed);
    defaultButton->SetParent(form);
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
    EXPECT_EQ(pane->log, (QStringList{QStringLiteral("down:65"), QStringLiteral("press:b")}));
    EXPECT_EQ(preview, QStringList{QStringLiteral("form:65")});

    pane->log.clear();
    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_F4, {}, QString(), &replaced, &dropped));
    EXPECT_TRUE(pane->log.isEmpty()); // the preview consumed it

    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_Return, {}, QStringLiteral("\r"), &replaced, &dropped));
    EXPECT_EQ(defaultButton->dialogKeys, 1); // Enter reached the default button
    EXPECT_EQ(pane->log, QStringList{QStringLiteral("down:13")}); // and never became a character

    auto* cancelButton = new Pane(form, clBlue);
    cancelButton->SetParent(form);
    cancelButton->answerKey = VK_ESCAPE;
    pane->log.clear();
    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_Escape, {}, QStringLiteral("\x1b"), &replaced, &dropped));
    EXPECT_EQ(cancelButton->dialogKeys, 1);
    EXPECT_EQ(defaultButton->dialogKeys, 1); // Esc is not the default button's
    EXPECT_EQ(pane->log, QStringList{QStringLiteral("down:27")});
}

TEST_F(Controls, TabMovesFocusInTabOrder)
{
    MakeForm();
    auto* first = new Pane(form, clRed);
    first->SetParent(form);
    auto* second = new Pane(form, clGreen);
    second->SetParent(form);
    auto* third = new Pane(form, clBlue);
    third->SetParent(form);
    third->SetTabOrder(0);
    form->Show();
    first->SetFocus();
    EXPECT_EQ(form->FindNextControl(first, true, true, false), second);
    EXPECT_EQ(form->FindNextControl(second, true, true, false), third); // wraps to the first in order
    EXPECT_EQ(form->FindNextControl(third, false, true, false), second);
    second->SetEnabled(false);
    EXPECT_EQ(form->FindNextControl(first, true, true, false), third);
}

TEST_F(Controls, AcceleratorsReachWindowlessControls)
{
    MakeForm();
    auto* save = new Block(form, clRed);
    save->SetParent(form);
    save->SetCaption(QStringLiteral("&Save"));
    auto* pane = new Pane(form, clGreen);
    pane->SetParent(form);
    form->Show();
    QChar replaced;
    bool dropped = false;
    EXPECT_TRUE(pane->HostKeyPress(Qt::Key_S, Qt::AltModifier, QStringLiteral("s"), &replaced, &dropped));
    EXPECT_EQ(save->accels, 1);
    EXPECT_TRUE(IsAccel(u'x', QStringLiteral("E&xit")));
    EXPECT_FALSE(IsAccel(u'a', QStringLiteral("Tom && &Jerry")));
    EXPECT_TRUE(IsAccel(u'j', QStringLiteral("Tom && &Jerry")));

    // Typed text made a caption shows as typed and underlines nothing.
    for (const char* typed : {"Carl & Dora", "R&D", "&&&", "end&", ""}) {
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
        can = MessageDlg(QStringLiteral("Close?"), mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}) == mrOk;
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
    auto* a = new Block(form, clRed);
    a->SetParent(form);
    a->SetBounds(0, 0, 50, 50);
    a->OnClick = [](TObject*) { throw EConvertError(QStringLiteral("'x' is not a valid date")); };
    QTest::mouseClick(form->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(errors, QStringList{QStringLiteral("'x' is not a valid date")});

    // A control that throws while painting leaves its siblings painted.
    struct Bad : Block {
        using Block::Block;
        void Paint() override { throw Exception(QStringLiteral("paint failed")); }
    };
    auto* bad = new Bad(form, clBlue);
    bad->SetParent(form);
    bad->SetBounds(60, 0, 20, 20);
    auto* after = new Block(form, clGreen);
    after->SetParent(form);
    after->SetBounds(100, 0, 20, 20);
    EXPECT_EQ(PixelAt(*form, 105, 5), Rgb(clGreen));
    EXPECT_TRUE(errors.contains(QStringLiteral("paint failed")));
}

TEST_F(Controls, AlignedAndAnchoredChildrenFollowTheirParent)
{
    MakeForm(200, 100);
    auto* top = new Block(form, clRed);
    top->SetParent(form);
    top->SetHeight(10);
    top->SetAlign(alTop);
    auto* bottom = new Block(form, clRed);
    bottom->SetParent(form);
    bottom->SetHeight(20);
    bottom->SetAlign(alBottom);
    auto* client = new Block(form, clRed);
    client->SetParent(form);
    client->SetAlign(alClient);
    auto* anchored = new Block(form, clBlue);
    anchored->SetParent(form);
    anchored->SetBounds(150, 40, 30, 10);
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
    auto* panel = new Pane(form, clRed);
    panel->SetParent(form);
    auto* block = new Block(&owner, clBlue);
    block->SetParent(panel);
    delete panel; // the parent frees its children
    EXPECT_EQ(owner.ComponentCount(), 0);

    auto* panel2 = new Pane(form, clRed);
    panel2->SetParent(form);
    auto* block2 = new Block(&owner, clBlue);
    block2->SetParent(panel2);
    auto* pane2 = new Pane(&owner, clBlue);
    pane2->SetParent(panel2);
    EXPECT_EQ(owner.ComponentCount(), 2);
    // The owner goes first: the children leave their parent.
}

TEST_F(Controls, AFormDestroyedWhileHoveredTellsNobody)
{
    MakeForm();
    form->Show();
    auto* a = new Block(form, clRed);
    a->SetParent(form);
    a->SetBounds(0, 0, 50, 50);
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
    auto* a = new Block(form, clRed);
    a->SetParent(form);
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
    auto* a = new Block(form, clRed);
    a->SetParent(form);
    a->SetBounds(0, 0, 50, 50);
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
    auto* pane = new Pane(form, clRed);
    pane->SetParent(form);
    auto* block = new Block(form, clBlue);
    block->SetParent(pane);
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
    auto* pane = new Pane(form, clRed);
    pane->SetParent(form);
    pane->SetBounds(10, 10, 40, 40);
    auto* laterBlock = new Block(form, clBlue); // later in z-order, yet below the window
    laterBlock->SetParent(form);
    laterBlock->SetBounds(0, 0, 30, 30);
    TBitmap bmp;
    bmp.SetSize(40, 40);
    form->PaintBackgroundFor(pane, *bmp.Canvas());
    EXPECT_EQ(bmp.Image().pixel(5, 5) & 0xFFFFFF, Rgb(clBlue));
    EXPECT_EQ(bmp.Image().pixel(30, 30) & 0xFFFFFF, Rgb(clWhite));
}

TEST_F(Controls, NextDialogControlMovesTheFocus)
{
    MakeForm();
    auto* first = new Pane(form, clRed);
    first->SetParent(form);
    auto* second = new Pane(form, clGreen);
    second->SetParent(form);
    form->Show();
    first->SetFocus();
    QApplication::processEvents();
    form->Perform(WM_NEXTDLGCTL, 0, 0);
    QApplication::processEvents();
    EXPECT_EQ(form->ActiveControl(), second);
}
