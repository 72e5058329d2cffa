// The grid: cell geometry and hit tests, per-cell drawing states and the
// prepared canvas, the current cell under mouse, keys and code with the
// SelectCell veto and Click, scrolling, and degenerate sizes.
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/grids.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

QRgb Rgb(TColor c)
{
    return ToQColor(c).rgb() & 0xFFFFFF;
}

QRgb PixelAt(const TBitmap& bmp, int x, int y)
{
    return bmp.Image().pixel(x, y) & 0xFFFFFF;
}

struct DrawnCell {
    int Col, Row;
    QRect Rect;
    TGridDrawState State;
    TColor Brush, FontColor;
};

// A grid that records WM_SIZE and, when asked, fits seven cells and six lines
// into its client area without passing the message on (as month grids do).
class FillingGrid : public TDrawGrid {
public:
    using TDrawGrid::TDrawGrid;
    QSize lastSize;
    bool fit = false;
    using TCustomGrid::FocusCell;
    using TCustomGrid::MoveColRow;

protected:
    void WMSize(TMessage& m) override
    {
        lastSize = QSize(int(m.LParam & 0xFFFF), int((m.LParam >> 16) & 0xFFFF));
        if (!fit)
            return;
        SetDefaultColWidth((lastSize.width() - 6 * GridLineWidth()) / 7);
        SetDefaultRowHeight((lastSize.height() - 6 * GridLineWidth()) / 7);
    }
};

class Grid : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetClientSize(400, 300);
        grid = new FillingGrid(form);
        grid->SetParent(form);
        // Plain layout: 5 x 5 cells of 64 x 24, no frame, everything visible.
        grid->SetBorderStyle(bsNone);
        grid->SetBounds(0, 0, 400, 300);
        grid->SetDefaultColWidth(64);
        grid->SetDefaultRowHeight(24);
        grid->OnClick = [this](TObject*) { ++clicks; };
        grid->OnSelectCell = [this](TObject*, int c, int r, bool& can) {
            asked.append({ c, r });
            can = !vetoed.contains(TGridCoord { c, r });
        };
        grid->OnDrawCell = [this](TObject*, int c, int r, QRect rect, TGridDrawState s) {
            drawn.append({ c, r, rect, s, grid->Canvas()->Brush()->Color(), grid->Canvas()->Font()->Color() });
        };
    }
    void TearDown() override
    {
        delete form;
        QApplication::processEvents();
    }

    QPoint Centre(int c, int r) const { return grid->CellRect(c, r).center(); }
    void Key(int qtKey, Qt::KeyboardModifiers mods = {})
    {
        QChar replaced;
        bool dropped = false;
        grid->HostKeyPress(qtKey, mods, QString(), &replaced, &dropped);
    }
    const DrawnCell* Drawn(int c, int r) const
    {
        for (const DrawnCell& d : drawn)
            if (d.Col == c && d.Row == r)
                return &d;
        return nullptr;
    }

    TForm* form = nullptr;
    FillingGrid* grid = nullptr;
    int clicks = 0;
    QList<TGridCoord> asked;
    QList<TGridCoord> vetoed;
    QList<DrawnCell> drawn;
};

} // namespace

// --- geometry ---

TEST_F(Grid, CellRectsFollowSizesLineWidthsAndFixedCells)
{
    EXPECT_EQ(grid->CellRect(0, 0), QRect(0, 0, 64, 24));
    EXPECT_EQ(grid->CellRect(1, 0), QRect(65, 0, 64, 24));
    EXPECT_EQ(grid->CellRect(2, 3), QRect(130, 75, 64, 24));

    grid->SetColWidths(1, 30);
    grid->SetRowHeights(0, 40);
    EXPECT_EQ(grid->CellRect(2, 1), QRect(96, 41, 64, 24));
    grid->SetGridLineWidth(3);
    EXPECT_EQ(grid->CellRect(2, 1), QRect(100, 43, 64, 24));

    // A direction without any lines leaves no room for them.
    grid->SetOptions(goFixedHorzLine | goHorzLine);
    EXPECT_EQ(grid->CellRect(2, 1), QRect(94, 43, 64, 24));

    // A new default size drops the sizes set per column and row.
    grid->SetDefaultColWidth(50);
    grid->SetDefaultRowHeight(20);
    EXPECT_EQ(grid->ColWidths(1), 50);
    EXPECT_EQ(grid->RowHeights(0), 20);
    EXPECT_EQ(grid->ColWidths(99), 50); // outside reads the default
    EXPECT_THROW(grid->SetColWidths(5, 10), EInvalidGridOperation);

    // Cells past the client area have no rectangle; a partly visible one is whole.
    grid->SetColCount(10);
    EXPECT_EQ(grid->CellRect(7, 1), QRect(350, 23, 50, 20));
    EXPECT_EQ(grid->CellRect(8, 1), QRect());
}

TEST_F(Grid, TheFrameShiftsTheCellsAndSizeMessagesCarryTheClientSize)
{
    grid->SetBorderStyle(bsSingle); // sunken, two pixels
    EXPECT_EQ(grid->CellRect(0, 0), QRect(2, 2, 64, 24));
    EXPECT_EQ(grid->ClientRect(), QRect(2, 2, 396, 296));
    EXPECT_EQ(grid->lastSize, QSize(396, 296));
    grid->SetCtl3D(false); // flat, one pixel
    EXPECT_EQ(grid->CellRect(0, 0).topLeft(), QPoint(1, 1));

    // The resize hook sizes seven cells and six lines to fill the client area.
    grid->SetCtl3D(true);
    grid->SetScrollBars(ssNone);
    grid->fit = true;
    grid->SetColCount(7);
    grid->SetRowCount(7);
    grid->SetBounds(0, 0, 7 * 30 + 6 + 4, 7 * 20 + 6 + 4);
    EXPECT_EQ(grid->lastSize, QSize(216, 146));
    EXPECT_EQ(grid->DefaultColWidth(), 30);
    EXPECT_EQ(grid->DefaultRowHeight(), 20);
    EXPECT_EQ(RectRight(grid->CellRect(6, 6)), grid->Width() - 2);
    EXPECT_EQ(RectBottom(grid->CellRect(6, 6)), grid->Height() - 2);
}

TEST_F(Grid, MouseToCellCountsTheLineAfterACellAndNothingOutside)
{
    grid->SetBorderStyle(bsSingle);
    const auto at = [this](int x, int y) {
        int c = 0, r = 0;
        grid->MouseToCell(x, y, c, r);
        return TGridCoord { c, r };
    };
    EXPECT_EQ(at(2, 2), (TGridCoord { 0, 0 }));
    EXPECT_EQ(at(65, 26), (TGridCoord { 0, 0 })); // on the lines right of and below (0, 0)
    EXPECT_EQ(at(67, 27), (TGridCoord { 1, 1 }));
    EXPECT_EQ(at(2 + 5 * 65 - 1, 2 + 5 * 25 - 1), (TGridCoord { 4, 4 }));
    EXPECT_EQ(at(2 + 5 * 65, 10), (TGridCoord { -1, -1 })); // past the last column
    EXPECT_EQ(at(10, 2 + 5 * 25), (TGridCoord { -1, -1 }));
    EXPECT_EQ(at(1, 10), (TGridCoord { -1, -1 })); // on the frame
    EXPECT_EQ(at(-5, -5), (TGridCoord { -1, -1 }));
}

// --- drawing ---

TEST_F(Grid, EachVisibleCellIsDrawnOnceWithItsStateAndPreparedCanvas)
{
    grid->SetColor(clYellow);
    grid->SetFixedColor(clAqua);
    grid->SetRowCount(20); // rows past the bottom are not drawn
    auto bmp = grid->RenderToBitmap();

    EXPECT_EQ(drawn.size(), 5 * 12); // 12 rows reach into 300 pixels
    for (const DrawnCell& d : drawn)
        EXPECT_EQ(std::count_if(
                      drawn.begin(), drawn.end(), [&](const DrawnCell& o) { return o.Col == d.Col && o.Row == d.Row; }),
            1);
    const DrawnCell* fixed = Drawn(3, 0);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->State, gdFixed);
    EXPECT_EQ(fixed->Brush, clAqua);
    EXPECT_EQ(fixed->Rect, QRect(195, 0, 64, 24));
    const DrawnCell* current = Drawn(1, 1); // not focused: selected only, highlighted
    ASSERT_TRUE(current);
    EXPECT_EQ(current->State, gdSelected);
    EXPECT_EQ(current->Brush, clHighlight);
    EXPECT_EQ(current->FontColor, clHighlightText);
    const DrawnCell* plain = Drawn(2, 2);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->State, 0u);
    EXPECT_EQ(plain->Brush, clYellow);

    // Fills, the raised edge of fixed cells and the lines in their colours.
    EXPECT_EQ(PixelAt(*bmp, 30, 12), Rgb(clAqua));
    EXPECT_EQ(PixelAt(*bmp, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*bmp, 63, 23), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*bmp, 90, 35), Rgb(clHighlight));
    EXPECT_EQ(PixelAt(*bmp, 160, 60), Rgb(clYellow));
    EXPECT_EQ(PixelAt(*bmp, 64, 60), Rgb(clBlack)); // right of a fixed column
    EXPECT_EQ(PixelAt(*bmp, 160, 24), Rgb(clBlack)); // below the fixed row
    EXPECT_EQ(PixelAt(*bmp, 129, 60), Rgb(clSilver));
    EXPECT_EQ(PixelAt(*bmp, 160, 49), Rgb(clSilver));
    EXPECT_EQ(PixelAt(*bmp, 370, 60), Rgb(clYellow)); // past the last column
}

TEST_F(Grid, LinesFollowTheOptionsAndDefaultDrawingCanBeTurnedOff)
{
    grid->SetColor(clSilver); // normal lines turn grey on a silver grid
    auto bmp = grid->RenderToBitmap();
    EXPECT_EQ(PixelAt(*bmp, 129, 60), Rgb(clGray));

    grid->SetOptions(goFixedHorzLine | goHorzLine); // no vertical lines, no room for them
    grid->SetColor(clWhite);
    bmp = grid->RenderToBitmap();
    EXPECT_EQ(PixelAt(*bmp, 128, 60), Rgb(clWhite));
    EXPECT_EQ(PixelAt(*bmp, 10, 24), Rgb(clBlack));

    // Without default drawing the grid neither fills nor edges: DrawCell paints.
    grid->SetDefaultDrawing(false);
    drawn.clear();
    bmp = grid->RenderToBitmap();
    EXPECT_EQ(PixelAt(*bmp, 70, 35), Rgb(clWhite));
    EXPECT_EQ(PixelAt(*bmp, 0, 0), Rgb(clWhite));
    ASSERT_TRUE(Drawn(1, 1));
    EXPECT_EQ(Drawn(1, 1)->Brush, clHighlight); // the canvas is still prepared
}

TEST_F(Grid, AFocusedCellIsHighlightedOnlyWhenTheOptionsSaySo)
{
    form->Show();
    QApplication::setActiveWindow(form->Handle());
    grid->SetFocus();
    ASSERT_TRUE(grid->Focused());
    grid->RenderToBitmap();
    ASSERT_TRUE(Drawn(1, 1));
    EXPECT_EQ(Drawn(1, 1)->State, gdSelected | gdFocused);
    EXPECT_EQ(Drawn(1, 1)->Brush, clWindow);

    grid->SetOptions(grid->Options() | goDrawFocusSelected);
    drawn.clear();
    auto bmp = grid->RenderToBitmap();
    EXPECT_EQ(Drawn(1, 1)->Brush, clHighlight);
    EXPECT_EQ(PixelAt(*bmp, 90, 35), Rgb(clHighlight));
}

TEST_F(Grid, AThrowingDrawCellIsReportedOnceAndPaintingGoesOn)
{
    QStringList errors;
    Application()->OnException = [&](TObject*, const QString& m) { errors.append(m); };
    grid->OnDrawCell = [](TObject*, int c, int, QRect, TGridDrawState) {
        if (c == 2)
            throw EConvertError(QStringLiteral("bad cell"));
    };
    auto bmp = grid->RenderToBitmap();
    EXPECT_EQ(errors, QStringList { QStringLiteral("bad cell") });
    EXPECT_EQ(PixelAt(*bmp, 0, 0), Rgb(clBtnHighlight)); // cells before it were drawn
    EXPECT_FALSE(grid->Canvas()->IsBound());
    grid->OnDrawCell = {};
    bmp = grid->RenderToBitmap();
    EXPECT_EQ(PixelAt(*bmp, 160, 60), Rgb(clWindow));
    Application()->OnException = {};
    Application()->ClearHandledExceptions();
}

// --- moving the current cell ---

TEST_F(Grid, APressSelectsThroughSelectCellAndClicks)
{
    QWidget* w = grid->Handle();
    QList<int> colSeenByMouseDown;
    grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { colSeenByMouseDown.append(grid->Col()); };

    QTest::mouseClick(w, Qt::LeftButton, {}, Centre(3, 2));
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(asked, (QList<TGridCoord> { { 3, 2 } }));
    EXPECT_EQ(colSeenByMouseDown, QList<int> { 3 }); // the event comes after the move

    vetoed = { { 4, 4 } };
    QTest::mouseClick(w, Qt::LeftButton, {}, Centre(4, 4));
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(clicks, 1);

    asked.clear();
    QTest::mouseClick(w, Qt::LeftButton, {}, Centre(0, 3)); // fixed cells do not select
    QTest::mouseClick(w, Qt::RightButton, {}, Centre(2, 4)); // nor does the right button
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(390, 290)); // nor the area past the cells
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(clicks, 1);

    int doubles = 0;
    grid->OnDblClick = [&](TObject*) { ++doubles; };
    QTest::mouseDClick(w, Qt::LeftButton, {}, Centre(3, 2));
    QTest::mouseRelease(w, Qt::LeftButton, {}, Centre(3, 2));
    EXPECT_EQ(doubles, 1);
}

TEST_F(Grid, DraggingMovesTheCellAndClicksOnceOnRelease)
{
    grid->SetOptions(grid->Options() & ~goRangeSelect);
    QWidget* w = grid->Handle();
    QTest::mousePress(w, Qt::LeftButton, {}, Centre(1, 1));
    EXPECT_EQ(clicks, 1);
    QMouseEvent move(QEvent::MouseMove, QPointF(Centre(3, 1)), w->mapToGlobal(QPointF(Centre(3, 1))), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(clicks, 1);
    QTest::mouseRelease(w, Qt::LeftButton, {}, Centre(3, 1));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(grid->Selection(), (TGridRect { 3, 1, 3, 1 }));
}

TEST_F(Grid, KeysMoveWithinTheNonFixedCellsAndClick)
{
    Key(Qt::Key_Left); // column 0 is fixed
    Key(Qt::Key_Up);
    EXPECT_EQ((TGridCoord { grid->Col(), grid->Row() }), (TGridCoord { 1, 1 }));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(clicks, 0);

    Key(Qt::Key_Right);
    Key(Qt::Key_Down);
    EXPECT_EQ((TGridCoord { grid->Col(), grid->Row() }), (TGridCoord { 2, 2 }));
    EXPECT_EQ(clicks, 2);

    vetoed = { { 2, 3 } };
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(clicks, 2);

    Key(Qt::Key_End);
    EXPECT_EQ(grid->Col(), 4);
    Key(Qt::Key_Right); // stops at the edge
    EXPECT_EQ(grid->Col(), 4);
    Key(Qt::Key_Home);
    EXPECT_EQ(grid->Col(), 1);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ((TGridCoord { grid->Col(), grid->Row() }), (TGridCoord { 4, 4 }));
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ((TGridCoord { grid->Col(), grid->Row() }), (TGridCoord { 1, 1 }));
    Key(Qt::Key_PageDown);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(clicks, 7);

    // The range grows with Shift where ranges are allowed.
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid->Selection(), (TGridRect { 1, 4, 2, 4 }));
}

TEST_F(Grid, ArrowsStayWithTheGridInsteadOfMovingTheFocus)
{
    auto* other = new TDrawGrid(form);
    other->SetParent(form);
    other->SetBounds(0, 200, 100, 50);
    form->Show();
    grid->SetFocus();
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(form->ActiveControl(), grid);

    // Tab moves between cells only with goTabs.
    grid->SetOptions(grid->Options() | goTabs);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(form->ActiveControl(), grid);
}

TEST_F(Grid, MovesFromCodeAskSelectCellButNeverClick)
{
    grid->SetCol(3);
    grid->SetRow(2);
    EXPECT_EQ((TGridCoord { grid->Col(), grid->Row() }), (TGridCoord { 3, 2 }));
    EXPECT_EQ(asked, (QList<TGridCoord> { { 3, 1 }, { 3, 2 } }));
    vetoed = { { 4, 2 } };
    grid->SetCol(4);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(clicks, 0);

    // Without moving the anchor a range forms; a user move through FocusCell clicks.
    EXPECT_TRUE(grid->MoveColRow(4, 4, false, false));
    EXPECT_EQ(grid->Selection(), (TGridRect { 3, 2, 4, 4 }));
    grid->FocusCell(2, 3, true);
    EXPECT_EQ(grid->Selection(), (TGridRect { 2, 3, 2, 3 }));
    EXPECT_EQ(clicks, 1);

    try {
        grid->SetCol(5);
        FAIL() << "no exception";
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Grid index out of range"));
    }
    EXPECT_THROW(grid->SetRow(-1), EInvalidGridOperation);
    EXPECT_EQ(grid->Col(), 2);
}

// --- scrolling ---

TEST_F(Grid, AVerticalListScrollsToKeepTheCurrentRowVisible)
{
    grid->SetColCount(4);
    grid->SetRowCount(20);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetDefaultColWidth(64);
    grid->SetDefaultRowHeight(64);
    grid->SetScrollBars(ssVertical);
    grid->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(grid->ClientRect(), QRect(0, 0, 283, 200)); // the scroll bar takes its width
    EXPECT_EQ(grid->VisibleRowCount(), 3);
    auto* bar = grid->Handle()->findChild<QScrollBar*>();
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->maximum(), 17);

    grid->SetRow(10);
    EXPECT_EQ(grid->TopRow(), 8);
    EXPECT_EQ(grid->CellRect(0, 10).bottom() + 1, 194);
    EXPECT_EQ(grid->CellRect(0, 7), QRect());
    EXPECT_EQ(bar->value(), 8);
    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_Up);
    EXPECT_EQ(grid->TopRow(), 7);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->TopRow(), 17);
    int c = 0, r = 0;
    grid->MouseToCell(10, 10, c, r);
    EXPECT_EQ(r, 17);

    // The scroll bar and the wheel scroll without moving the current cell.
    EXPECT_EQ(clicks, 4);
    bar->setValue(5);
    EXPECT_EQ(grid->TopRow(), 5);
    QWheelEvent wheel(QPointF(10, 10), grid->Handle()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -240),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->Handle(), &wheel);
    EXPECT_EQ(grid->TopRow(), 7);
    EXPECT_EQ(grid->Row(), 19);
    EXPECT_EQ(clicks, 4);

    // When every row fits the bar goes and the list returns to its top.
    grid->SetRowCount(3);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(grid->TopRow(), 0);
    EXPECT_EQ(grid->ClientRect().width(), 300);
}

// --- degenerate sizes ---

TEST_F(Grid, DegenerateCountsAndSizesStayConsistentAndPaint)
{
    EXPECT_THROW(grid->SetFixedRows(5), EInvalidGridOperation);
    EXPECT_THROW(grid->SetFixedCols(-1), EInvalidGridOperation);
    grid->SetRowCount(0); // at least one row; the fixed row gives way
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->FixedRows(), 0);
    EXPECT_EQ(grid->Row(), 0);
    grid->SetColCount(1);
    EXPECT_EQ(grid->FixedCols(), 0);
    grid->RenderToBitmap();
    EXPECT_EQ(drawn.size(), 1);

    for (const QSize size : { QSize(0, 0), QSize(1, 1), QSize(3, 3), QSize(20, 5) }) {
        grid->SetBorderStyle(bsSingle);
        grid->SetScrollBars(ssBoth);
        grid->SetColCount(8);
        grid->SetRowCount(8);
        grid->SetBounds(0, 0, size.width(), size.height());
        grid->RenderToBitmap();
        Key(Qt::Key_PageDown);
        Key(Qt::Key_End, Qt::ControlModifier);
        EXPECT_GE(grid->VisibleRowCount(), 0);
        int c = 0, r = 0;
        grid->MouseToCell(1, 1, c, r);
    }
    grid->SetBounds(0, 0, 100, 100);
    grid->SetDefaultColWidth(0);
    grid->SetGridLineWidth(0);
    drawn.clear();
    grid->RenderToBitmap();
    EXPECT_TRUE(drawn.isEmpty()); // cells without area are not drawn
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid->Col(), 0);
}

// A month-like grid: seven columns, a fixed header row, cells fitted to the
// client area. Set GRID_SAMPLE_PNG to a path to keep the picture.
TEST_F(Grid, AMonthLikeGridFillsItsClientArea)
{
    grid->SetBorderStyle(bsSingle);
    grid->SetScrollBars(ssNone);
    grid->SetColCount(7);
    grid->SetRowCount(7);
    grid->SetFixedCols(0);
    grid->SetOptions((grid->Options() & ~goRangeSelect) | goDrawFocusSelected);
    grid->fit = true;
    grid->SetBounds(0, 0, 7 * 32 + 6 + 4, 7 * 22 + 6 + 4);
    grid->SetCol(3);
    grid->SetRow(2);
    grid->OnDrawCell = [this](TObject*, int c, int r, QRect rect, TGridDrawState) {
        const int day = r == 0 ? 0 : (r - 1) * 7 + c - 2;
        const QString text
            = r == 0 ? QStringLiteral("SMTWTFS").mid(c, 1) : (day >= 1 && day <= 30 ? QString::number(day) : QString());
        TCanvas* canvas = grid->Canvas();
        canvas->TextRect(rect, rect.x() + (rect.width() - canvas->TextWidth(text)) / 2,
            rect.y() + (rect.height() - canvas->TextHeight(text)) / 2, text);
    };
    auto bmp = grid->RenderToBitmap();
    EXPECT_EQ(grid->CellRect(6, 6), QRect(2 + 6 * 33, 2 + 6 * 23, 32, 22));
    EXPECT_EQ(PixelAt(*bmp, 0, 0), Rgb(clBtnShadow)); // sunken frame
    EXPECT_EQ(PixelAt(*bmp, grid->Width() - 1, grid->Height() - 1), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*bmp, grid->CellRect(3, 2).x() + 1, grid->CellRect(3, 2).y() + 1), Rgb(clHighlight));
    if (const QByteArray path = qgetenv("GRID_SAMPLE_PNG"); !path.isEmpty())
        bmp->Image().save(QString::fromLocal8Bit(path));
}
