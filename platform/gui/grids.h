#pragma once

// The class library's grid: a self-painting control of columns and rows with
// fixed (header) rows and columns, grid lines, a current cell that the mouse
// and the keyboard move through a SelectCell veto, and a drawing hook per cell.

#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h" // TScrollStyle and TBorderStyle, shared with the memo

#include <QList>

#include <memory>

DECLARE_EXCEPTION(EInvalidGridOperation, Exception);

// Grid option bits. Sizing, moving and editing are accepted but not supported.
enum TGridOptionBits : unsigned {
    goFixedVertLine = 0x0001,
    goFixedHorzLine = 0x0002,
    goVertLine = 0x0004,
    goHorzLine = 0x0008,
    goRangeSelect = 0x0010,
    goDrawFocusSelected = 0x0020,
    goRowSizing = 0x0040,
    goColSizing = 0x0080,
    goRowMoving = 0x0100,
    goColMoving = 0x0200,
    goEditing = 0x0400,
    goTabs = 0x0800,
    goRowSelect = 0x1000,
    goAlwaysShowEditor = 0x2000,
    goThumbTracking = 0x4000,
};
using TGridOptions = unsigned;

// What a cell is when it is drawn.
enum TGridDrawStateBits : unsigned { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
using TGridDrawState = unsigned;

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// Inclusive cell bounds.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
    bool Contains(int ACol, int ARow) const { return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom; }
};

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, QRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

// The grid base. Cells are laid out left to right and top to bottom: first
// the fixed columns (rows), then the scrollable ones from LeftCol (TopRow).
// Each cell is followed by a grid line of GridLineWidth pixels in a direction
// where lines are shown (either the fixed or the normal option); the line
// belongs to the cell before it when the mouse is located.
//
// Coordinates are those of the control: the frame of BorderStyle lies inside
// the control's bounds and ClientRect() is the area of the cells inside the
// frame and the scroll bars, so its origin is not (0, 0) with a frame.
// WM_SIZE carries the client width and height, as on the original platform.
class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    QString ClassName() const override { return QStringLiteral("TCustomGrid"); }

    // --- layout ---
    int ColCount() const { return fColCount; }
    void SetColCount(int value);
    int RowCount() const { return fRowCount; }
    void SetRowCount(int value);
    int FixedCols() const { return fFixedCols; }
    void SetFixedCols(int value);
    int FixedRows() const { return fFixedRows; }
    void SetFixedRows(int value);
    int DefaultColWidth() const { return fDefaultColWidth; }
    // Also drops every width set per column.
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return fDefaultRowHeight; }
    // Also drops every height set per row.
    void SetDefaultRowHeight(int value);
    // An index outside the grid reads the default size.
    int ColWidths(int index) const;
    void SetColWidths(int index, int value);
    int RowHeights(int index) const;
    void SetRowHeights(int index, int value);
    int GridLineWidth() const { return fGridLineWidth; }
    void SetGridLineWidth(int value);

    // --- look ---
    TGridOptions Options() const { return fOptions; }
    void SetOptions(TGridOptions value);
    TScrollStyle ScrollBars() const { return fScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TColor FixedColor() const { return fFixedColor; }
    void SetFixedColor(TColor value);
    TBorderStyle BorderStyle() const { return fBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    bool Ctl3D() const { return fCtl3D; }
    void SetCtl3D(bool value);
    bool DefaultDrawing() const { return fDefaultDrawing; }
    void SetDefaultDrawing(bool value);

    // --- current cell and scrolling ---
    // Setting Col or Row asks SelectCell, moves the anchor and scrolls the
    // cell into view, but does not click: only user moves click.
    int Col() const { return fCurrent.X; }
    void SetCol(int value);
    int Row() const { return fCurrent.Y; }
    void SetRow(int value);
    TGridRect Selection() const;
    int TopRow() const { return fTopLeft.Y; }
    void SetTopRow(int value);
    int LeftCol() const { return fTopLeft.X; }
    void SetLeftCol(int value);
    // Scrollable columns (rows) wholly visible from LeftCol (TopRow).
    int VisibleColCount() const;
    int VisibleRowCount() const;

    QRect ClientRect() const override;
    void PaintTo(TCanvas& canvas, int x, int y) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;

protected:
    enum TGridFrame { gfNone, gfFlat, gfSunken };

    // Draws the cell after the grid prepared the canvas (and filled the cell
    // when DefaultDrawing).
    virtual void DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState);
    // Whether the cell may become current; asked before every move.
    virtual bool SelectCell(int ACol, int ARow);
    virtual void TopLeftChanged() { }
    // The frame: none, one pixel in the window frame colour, or a two-pixel
    // sunken edge; by default from BorderStyle and Ctl3D.
    virtual TGridFrame FrameStyle() const;

    // Moves the current cell through SelectCell without clicking; returns
    // false when vetoed. Raises EInvalidGridOperation outside the grid.
    bool MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    // A user move: MoveColRow with scrolling, then Click unless vetoed.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);

    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateCol(int ACol);
    void InvalidateGrid() { Invalidate(); }
    // The cell's rectangle (without its grid line), empty when scrolled out
    // of view or beyond the client area; a partly visible cell is not cut.
    QRect CellRect(int ACol, int ARow) const;
    QRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
    // The cell under a point, or (-1, -1).
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    TGridCoord MouseCoord(int X, int Y) const;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(quint16& Key, TShiftState Shift) override;
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    void DoEnter() override;
    void DoExit() override;
    void BoundsChanged() override;

private:
    struct TAxis;
    struct TLayout;
    struct TWidgets;
    friend struct TWidgets;

    TLayout ComputeLayout() const;
    TAxis ColAxis(const TLayout& layout) const;
    TAxis RowAxis(const TLayout& layout) const;
    int FrameWidth() const;
    bool IsActiveControl() const;
    void DrawFrame(const TLayout& layout);
    void DrawCells(const TLayout& layout);
    void DrawLines(const TAxis& cols, const TAxis& rows);
    // Moves the top-left scrollable cell (clamped) and syncs the scroll bars.
    void MoveTopLeft(int ALeft, int ATop);
    void ScrollIntoView(int ACol, int ARow);
    // After any change of sizes, counts or frame: clamps scrolling, places
    // the scroll bars and repaints.
    void LayoutChanged();
    void SyncScrollBars();
    void InvalidateRect(const TGridRect& cells);
    void CheckCell(int ACol, int ARow) const;
    // The cell to move to while dragging, scrolling one cell past the edges.
    TGridCoord DragCoord(int X, int Y) const;
    void Wheel(int steps);

    int fColCount = 5;
    int fRowCount = 5;
    int fFixedCols = 1;
    int fFixedRows = 1;
    int fDefaultColWidth = 64;
    int fDefaultRowHeight = 24;
    QList<int> fColWidths;
    QList<int> fRowHeights;
    int fGridLineWidth = 1;
    TGridOptions fOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle fScrollBars = ssBoth;
    TColor fFixedColor = clBtnFace;
    TBorderStyle fBorderStyle = bsSingle;
    bool fCtl3D = true;
    bool fDefaultDrawing = true;
    TGridCoord fCurrent { 1, 1 };
    TGridCoord fAnchor { 1, 1 };
    TGridCoord fTopLeft { 1, 1 };
    // A left press in the cells started a mouse selection.
    bool fSelecting = false;
    bool fDragMoved = false;
    bool fSyncing = false;
    // What the last layout saw, to tell client-only changes with WM_SIZE.
    QSize fLastOuterSize;
    QSize fLastClientSize;
    int fSizeDepth = 0;
    std::unique_ptr<TWidgets> fWidgets;
};

// The grid with its drawing and selection as events.
class TDrawGrid : public TCustomGrid {
public:
    using TCustomGrid::TCustomGrid;
    QString ClassName() const override { return QStringLiteral("TDrawGrid"); }

    using TCustomGrid::CellRect;
    using TCustomGrid::MouseCoord;
    using TCustomGrid::MouseToCell;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;

protected:
    void DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void TopLeftChanged() override;
};
