// The shared control routines: text shortening and the string helpers, the
// embossed and disabled looks, painting what lies under a control, dropping
// pending input, and the program's pictures and cursors.
#include "buttons_fixture.h"

#include "controls/control_utils.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

// A windowless block; a transparent one paints what lies under it and a frame.
class Block : public TGraphicControl {
public:
    explicit Block(TComponent* owner, TColor color = clRed, bool transparent = false)
        : TGraphicControl(owner)
        , fTransparent(transparent)
    {
        SetColor(color);
    }
    void Paint() override
    {
        ++paints;
        copied = ControlState() & csPaintCopy;
        if (fTransparent) {
            TBitmap under(Width(), Height());
            PaintParentBackground(this, *under.Canvas());
            Canvas()->Draw(0, 0, under);
        }
        Canvas()->Brush()->SetColor(Color());
        if (fTransparent)
            Canvas()->FrameRect(ClientRect());
        else
            Canvas()->FillRect(ClientRect());
    }
    bool fTransparent;
    int paints = 0;
    bool copied = false;
};

class ControlUtils : public ButtonsFixture { };

} // namespace

TEST_F(ControlUtils, TextAndStringRoutines)
{
    TBitmap bmp(1, 1);
    const TCanvas& c = *bmp.Canvas();
    EXPECT_EQ(ShortenToWidth(QStringLiteral("abc"), c, 0), QStringLiteral("..."));
    EXPECT_EQ(ShortenToWidth(QStringLiteral("abc"), c, 1000), QStringLiteral("abc"));
    // The first cut keeps all but two characters, each further one drops one more.
    const QString text = QStringLiteral("abcdefgh");
    EXPECT_EQ(ShortenToWidth(text, c, c.TextWidth(QStringLiteral("abcdef..."))), QStringLiteral("abcdef..."));
    EXPECT_EQ(ShortenToWidth(text, c, c.TextWidth(QStringLiteral("abcde..."))), QStringLiteral("abcde..."));

    EXPECT_EQ(ReplaceAll(QStringLiteral("a-b-c-"), QStringLiteral("-"), QString()), QStringLiteral("abc"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("b")), QStringLiteral("ba"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("ab"), QStringLiteral("a"), QStringLiteral("aa")), QStringLiteral("aab"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("ab"), QString(), QStringLiteral("x")), QStringLiteral("ab"));
    const TCharSet digits = MakeCharSet(QStringLiteral("0123456789"));
    EXPECT_TRUE(AllCharsInSet(QString(), digits));
    EXPECT_FALSE(AllCharsInSet(QStringLiteral("20x4"), digits));
    EXPECT_FALSE(AllCharsInSet(QStringLiteral("\u20AC"), TCharSet().set())); // beyond 8 bits
    EXPECT_EQ(RepeatChar(u'x', 3), QStringLiteral("xxx"));
    EXPECT_EQ(RepeatChar(u'x', -2), QString());
}

TEST_F(ControlUtils, EmbossedAndDisabledLooks)
{
    TBitmap source(6, 6);
    source.Canvas()->FillSolidRect(QRect(0, 0, 6, 6), clRed);
    source.Canvas()->SetPixels(2, 2, clBlack);
    source.Canvas()->SetPixels(5, 5, clBlack); // its highlight would fall outside
    const QImage img = MakeEmbossedBitmap(source, clBlack, clBlue, clWhite, clNavy, true)->Image();
    EXPECT_EQ(Px(img, 2, 2), Rgb(clNavy));
    EXPECT_EQ(Px(img, 3, 3), Rgb(clWhite));
    EXPECT_EQ(Count(img, QRect(0, 0, 6, 6), clBlue), 36 - 3);

    TBitmap mono(6, 6); // a monochrome source is keyed on white
    mono.Canvas()->FillSolidRect(QRect(0, 0, 6, 6), clWhite);
    mono.Canvas()->SetPixels(2, 2, clBlack);
    mono.SetMonochrome(true);
    const QImage disabled = MakeDisabledBitmap(mono, clBlack)->Image();
    EXPECT_EQ(Px(disabled, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Px(disabled, 2, 2), Rgb(clBtnHighlight));

    TImageList images(4, 4);
    TBitmap image(4, 4);
    image.Canvas()->FillSolidRect(QRect(0, 0, 4, 4), clFuchsia);
    image.Canvas()->FillSolidRect(QRect(1, 1, 2, 2), clWhite); // opaque, whatever its colour
    images.AddMasked(&image, clFuchsia);
    TBitmap target(8, 8);
    target.Canvas()->FillSolidRect(QRect(0, 0, 8, 8), clBlack);
    DrawImageDisabled(images, *target.Canvas(), 2, 2, 0, clLime, clBlue, true);
    EXPECT_EQ(Count(target.Image(), QRect(3, 3, 2, 2), clBlue), 4);
    EXPECT_EQ(Count(target.Image(), QRect(0, 0, 8, 8), clLime), 3);
}

TEST_F(ControlUtils, TheBackgroundOfAControlIsItsParentAndTheSiblingsBelow)
{
    MakeForm(200, 100, clYellow);
    auto* lower = new Block(form, clGreen);
    lower->SetParent(form);
    lower->SetBounds(0, 0, 30, 100);
    auto* glass = new Block(form, clPurple, true); // transparent itself, below the control
    glass->SetParent(form);
    glass->SetBounds(40, 0, 20, 100);
    auto* control = new Block(form, clRed, true);
    control->SetParent(form);
    control->SetBounds(20, 10, 60, 40);
    auto* upper = Add<Block>(50, 30, 50, 50);
    auto* apart = Add<Block>(150, 0, 10, 10);
    lower->paints = glass->paints = control->paints = upper->paints = apart->paints = 0;

    TBitmap bmp(60, 40);
    PaintParentBackground(control, *bmp.Canvas());
    const QImage img = bmp.Image();
    EXPECT_EQ(Px(img, 5, 5), Rgb(clGreen)); // the lower sibling at form x = 25
    EXPECT_EQ(Px(img, 15, 5), Rgb(clYellow)); // the parent
    EXPECT_EQ(Px(img, 20, 5), Rgb(clPurple)); // the transparent sibling's frame ...
    EXPECT_EQ(Px(img, 25, 5), Rgb(clYellow)); // ... over what lies under it
    EXPECT_EQ(Px(img, 45, 35), Rgb(clYellow)); // the upper sibling is left out
    EXPECT_EQ(control->paints + upper->paints + apart->paints, 0);
    EXPECT_EQ(glass->paints, 1); // once, never coming back to the control
    EXPECT_TRUE(lower->copied);
    EXPECT_EQ((lower->ControlState() | form->ControlState()) & csPaintCopy, 0u);
    EXPECT_EQ(Px(Render(), 25, 15), Rgb(clGreen)); // on the form it shows the same

    Block orphan(nullptr);
    PaintParentBackground(&orphan, *bmp.Canvas());
    PaintParentBackground(nullptr, *bmp.Canvas());
}

TEST_F(ControlUtils, APendingPressOverAPointIsDropped)
{
    MakeForm(200, 100);
    ShowForm();
    auto* block = Add<Block>(10, 10, 50, 50);
    int presses = 0, formPresses = 0;
    block->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++presses; };
    form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++formPresses; };
    QWidget* window = form->Handle();
    // Events of one pointing device share their point until delivered: one at a time.
    const auto post = [window](QPoint at) {
        QCoreApplication::postEvent(window,
            new QMouseEvent(QEvent::MouseButtonPress, at, window->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {}));
    };
    const QRect area(window->mapToGlobal(QPoint(10, 10)), QSize(50, 50));
    const auto over = [area](const QPoint& at) { return area.contains(at); };

    post(QPoint(20, 20));
    EXPECT_FALSE(DropPendingMessage(window, WM_LBUTTONDBLCLK, over));
    EXPECT_FALSE(DropPendingMessage(window, WM_QUIT));
    EXPECT_TRUE(DropPendingMessage(window, WM_LBUTTONDOWN, over));
    QApplication::processEvents();
    EXPECT_EQ(presses, 0);

    post(QPoint(100, 80)); // elsewhere: it stays and arrives
    EXPECT_FALSE(DropPendingMessage(nullptr, WM_LBUTTONDOWN, over));
    QApplication::processEvents();
    EXPECT_EQ(formPresses, 1);
    Release(QPoint(100, 80));
}

TEST_F(ControlUtils, TheProgramPicturesAreRegisteredByName)
{
    EXPECT_EQ(FindResourceBitmap(QStringLiteral("lbok")).size(), QSize(32, 16));
    EXPECT_EQ(FindResourceBitmap(QStringLiteral("DEDITBMP")).size(), QSize(28, 12));
    EXPECT_EQ(FindResourceBitmap(QStringLiteral("mood16")).size(), QSize(64, 64));
    EXPECT_EQ(FindResourceBitmap(QStringLiteral("Zodiac11")).size(), QSize(38, 35));
    EXPECT_EQ(FindResourceBitmap(QStringLiteral("diary-48")).size(), QSize(48, 48));
    EXPECT_EQ(Screen()->CursorOf(crHandCursor).hotSpot(), QPoint(11, 1));
    EXPECT_EQ(Screen()->CursorOf(crDragCursor).hotSpot(), QPoint(1, 1));
    EXPECT_EQ(Screen()->CursorOf(crHandCursor).pixmap().size(), QSize(32, 32));
}
