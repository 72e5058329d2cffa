#include "grids.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace {

// The classic scroll bar thickness at 96 dpi; layouts made for the original
// platform count on it.
constexpr int kScrollBarSize = 17;
constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 120;
constexpr int kWheelStep = 120;

[[noreturn]] void RaiseIndexOutOfRange()
{
    throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
}

// Restores a canvas's device state even when a drawing hook throws.
class CanvasStateGuard {
public:
    explicit CanvasStateGuard(TCanvas& canvas)
        : fCanvas(canvas)
    {
        fCanvas.Save();
    }
    ~CanvasStateGuard() { fCanvas.Restore(); }
    CanvasStateGuard(const CanvasStateGuard&) = delete;
    CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

private:
    TCanvas& fCanvas;
};

} // namespace

// One direction of the grid: columns along x or rows along y.
struct TCustomGrid::TAxis {
    int Count = 0;
    int Fixed = 0;
    int First = 0; // first scrollable cell shown (LeftCol or TopRow)
    int LineWidth = 0;
    int Origin = 0; // where the client area starts
    int Extent = 0; // client size
    const QList<int>* Sizes = nullptr;

    int Size(int i) const { return (*Sizes)[i]; }
    int End() const { return Origin + Extent; }
    int FixedExtent() const
    {
        int total = 0;
        for (int i = 0; i < Fixed; ++i)
            total += Size(i) + LineWidth;
        return total;
    }
    int ScrollOrigin() const { return Origin + FixedExtent(); }
    int ScrollExtent() const { return End() - ScrollOrigin(); }

    // Start of cell i; false when it is scrolled away or beyond the client.
    bool Start(int i, int& pos) const
    {
        if (i < 0 || i >= Count || (i >= Fixed && i < First))
            return false;
        pos = Origin;
        const int from = i < Fixed ? 0 : First;
        if (i >= Fixed)
            pos = ScrollOrigin();
        for (int k = from; k < i; ++k)
            pos += Size(k) + LineWidth;
        return pos < End();
    }

    // The visible cells in drawing order with their starts.
    QList<std::pair<int, int>> Visible() const
    {
        QList<std::pair<int, int>> cells;
        int pos = Origin;
        for (int i = 0; i < Fixed && pos < End(); ++i) {
            cells.append({ i, pos });
            pos += Size(i) + LineWidth;
        }
        pos = ScrollOrigin();
        for (int i = First; i < Count && pos < End(); ++i) {
            cells.append({ i, pos });
            pos += Size(i) + LineWidth;
        }
        return cells;
    }

    // The cell whose extent (with the line after it) holds p, or -1.
    int CoordAt(int p) const
    {
        if (p < Origin || p >= End())
            return -1;
        int pos = Origin;
        for (int i = 0; i < Fixed; ++i) {
            pos += Size(i) + LineWidth;
            if (p < pos)
                return i;
        }
        for (int i = First; i < Count && pos < End(); ++i) {
            pos += Size(i) + LineWidth;
            if (p < pos)
                return i;
        }
        return -1;
    }

    int FullyVisibleCount() const
    {
        int n = 0;
        int pos = ScrollOrigin();
        for (int i = First; i < Count && pos + Size(i) <= End(); ++i, ++n)
            pos += Size(i) + LineWidth;
        return n;
    }

    // The smallest first cell that still shows cell last wholly; last itself
    // when even it does not fit.
    int FirstShowing(int last) const
    {
        const int room = ScrollExtent();
        int used = Size(last);
        int first = last;
        while (first - 1 >= Fixed && used + LineWidth + Size(first - 1) <= room) {
            --first;
            used += LineWidth + Size(first);
        }
        return first;
    }

    int MaxFirst() const { return Count > Fixed ? FirstShowing(Count - 1) : Fixed; }
    bool FitsAll() const { return MaxFirst() <= Fixed; }
};

struct TCustomGrid::TLayout {
    QRect Inner; // inside the frame
    QRect Client; // inside the frame and the scroll bars
    bool VScroll = false;
    bool HScroll = false;
};

// The Qt side: scroll bars and the wheel. The scroll bars are plain Qt
// children of the handle, in the non-client area of the original platform.
struct TCustomGrid::TWidgets {
    QPointer<QScrollBar> VBar;
    QPointer<QScrollBar> HBar;
    QPointer<QObject> WheelFilter;
};

namespace {

class GridWheelFilter : public QObject {
public:
    GridWheelFilter(QObject* parent, std::function<void(int)> scroll)
        : QObject(parent)
        , fScroll(std::move(scroll))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        fDelta += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int steps = fDelta / kWheelStep;
        fDelta -= steps * kWheelStep;
        if (steps != 0)
            GuardedCall([&] { fScroll(-steps); });
        return true;
    }

private:
    std::function<void(int)> fScroll;
    int fDelta = 0;
};

} // namespace

// --- TCustomGrid ---

TCustomGrid::TCustomGrid(TComponent* AOwner)
    : TCustomControl(AOwner)
    , fWidgets(std::make_unique<TWidgets>())
{
    fColWidths = QList<int>(fColCount, fDefaultColWidth);
    fRowHeights = QList<int>(fRowCount, fDefaultRowHeight);
    // No click on release: the grid clicks itself after a user move.
    SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
    SetColor(clWindow);
    SetTabStop(true);
    auto* wheel = new GridWheelFilter(Handle(), [this](int steps) { Wheel(steps); });
    Handle()->installEventFilter(wheel);
    fWidgets->WheelFilter = wheel;
    SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
}

TCustomGrid::~TCustomGrid()
{
    // The handle outlives this part of the object: cut its callbacks first.
    delete fWidgets->VBar.data();
    delete fWidgets->HBar.data();
    delete fWidgets->WheelFilter.data();
}

// --- layout ---

int TCustomGrid::FrameWidth() const
{
    switch (FrameStyle()) {
    case gfFlat: return 1;
    case gfSunken: return 2;
    default: return 0;
    }
}

TCustomGrid::TGridFrame TCustomGrid::FrameStyle() const
{
    if (fBorderStyle == bsNone)
        return gfNone;
    return fCtl3D ? gfSunken : gfFlat;
}

TCustomGrid::TAxis TCustomGrid::ColAxis(const TLayout& layout) const
{
    TAxis a;
    a.Count = fColCount;
    a.Fixed = fFixedCols;
    a.First = fTopLeft.X;
    a.LineWidth = (fOptions & (goFixedVertLine | goVertLine)) ? fGridLineWidth : 0;
    a.Origin = layout.Client.x();
    a.Extent = layout.Client.width();
    a.Sizes = &fColWidths;
    return a;
}

TCustomGrid::TAxis TCustomGrid::RowAxis(const TLayout& layout) const
{
    TAxis a;
    a.Count = fRowCount;
    a.Fixed = fFixedRows;
    a.First = fTopLeft.Y;
    a.LineWidth = (fOptions & (goFixedHorzLine | goHorzLine)) ? fGridLineWidth : 0;
    a.Origin = layout.Client.y();
    a.Extent = layout.Client.height();
    a.Sizes = &fRowHeights;
    return a;
}

// Scroll bars show only where the cells do not fit; one bar can make the
// other necessary, hence the second look at the vertical one.
TCustomGrid::TLayout TCustomGrid::ComputeLayout() const
{
    TLayout l;
    const int frame = FrameWidth();
    l.Inner = QRect(frame, frame, std::max(0, Width() - 2 * frame), std::max(0, Height() - 2 * frame));
    const bool canV = fScrollBars == ssVertical || fScrollBars == ssBoth;
    const bool canH = fScrollBars == ssHorizontal || fScrollBars == ssBoth;
    const auto clientOf = [&](bool v, bool h) {
        return QRect(l.Inner.x(), l.Inner.y(), std::max(0, l.Inner.width() - (v ? kScrollBarSize : 0)),
            std::max(0, l.Inner.height() - (h ? kScrollBarSize : 0)));
    };
    const auto rowsFit = [&](bool h) {
        TLayout probe;
        probe.Client = clientOf(false, h);
        return RowAxis(probe).FitsAll();
    };
    const auto colsFit = [&](bool v) {
        TLayout probe;
        probe.Client = clientOf(v, false);
        return ColAxis(probe).FitsAll();
    };
    l.VScroll = canV && !rowsFit(false);
    l.HScroll = canH && !colsFit(l.VScroll);
    if (l.HScroll && !l.VScroll)
        l.VScroll = canV && !rowsFit(true);
    l.Client = clientOf(l.VScroll, l.HScroll);
    return l;
}

QRect TCustomGrid::ClientRect() const
{
    return ComputeLayout().Client;
}

int TCustomGrid::VisibleColCount() const
{
    return ColAxis(ComputeLayout()).FullyVisibleCount();
}

int TCustomGrid::VisibleRowCount() const
{
    return RowAxis(ComputeLayout()).FullyVisibleCount();
}

QRect TCustomGrid::CellRect(int ACol, int ARow) const
{
    return BoxRect(ACol, ARow, ACol, ARow);
}

QRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const
{
    const TLayout layout = ComputeLayout();
    const TAxis cols = ColAxis(layout);
    const TAxis rows = RowAxis(layout);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!cols.Start(ALeft, x1) || !rows.Start(ATop, y1))
        return QRect();
    // The far corner may lie beyond the client area: stop at its edge.
    int right = ARight, bottom = ABottom;
    while (right > ALeft && !cols.Start(right, x2))
        --right;
    while (bottom > ATop && !rows.Start(bottom, y2))
        --bottom;
    cols.Start(right, x2);
    rows.Start(bottom, y2);
    return Rect(x1, y1, x2 + cols.Size(right), y2 + rows.Size(bottom));
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const
{
    const TLayout layout = ComputeLayout();
    TGridCoord c { ColAxis(layout).CoordAt(X), RowAxis(layout).CoordAt(Y) };
    if (c.X < 0 || c.Y < 0)
        return { -1, -1 };
    return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const
{
    const TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

TGridRect TCustomGrid::Selection() const
{
    if (fOptions & goRowSelect)
        return { fFixedCols, std::min(fAnchor.Y, fCurrent.Y), fColCount - 1, std::max(fAnchor.Y, fCurrent.Y) };
    return { std::min(fAnchor.X, fCurrent.X), std::min(fAnchor.Y, fCurrent.Y), std::max(fAnchor.X, fCurrent.X),
        std::max(fAnchor.Y, fCurrent.Y) };
}

// --- properties ---

void TCustomGrid::SetColCount(int value)
{
    value = std::max(value, 1);
    if (value == fColCount)
        return;
    if (value <= fFixedCols)
        fFixedCols = value - 1;
    fColCount = value;
    fColWidths.resize(value, fDefaultColWidth);
    fCurrent.X = std::clamp(fCurrent.X, 0, value - 1);
    fAnchor.X = std::clamp(fAnchor.X, 0, value - 1);
    fTopLeft.X = std::clamp(fTopLeft.X, fFixedCols, value - 1);
    LayoutChanged();
}

void TCustomGrid::SetRowCount(int value)
{
    value = std::max(value, 1);
    if (value == fRowCount)
        return;
    if (value <= fFixedRows)
        fFixedRows = value - 1;
    fRowCount = value;
    fRowHeights.resize(value, fDefaultRowHeight);
    fCurrent.Y = std::clamp(fCurrent.Y, 0, value - 1);
    fAnchor.Y = std::clamp(fAnchor.Y, 0, value - 1);
    fTopLeft.Y = std::clamp(fTopLeft.Y, fFixedRows, value - 1);
    LayoutChanged();
}

void TCustomGrid::SetFixedCols(int value)
{
    if (value < 0)
        RaiseIndexOutOfRange();
    if (value >= fColCount)
        throw EInvalidGridOperation(QStringLiteral("Fixed column count must be less than column count"));
    if (value == fFixedCols)
        return;
    fFixedCols = value;
    fTopLeft.X = value;
    if (fCurrent.X < value) {
        fCurrent.X = value;
        fAnchor = fCurrent;
    }
    LayoutChanged();
}

void TCustomGrid::SetFixedRows(int value)
{
    if (value < 0)
        RaiseIndexOutOfRange();
    if (value >= fRowCount)
        throw EInvalidGridOperation(QStringLiteral("Fixed row count must be less than row count"));
    if (value == fFixedRows)
        return;
    fFixedRows = value;
    fTopLeft.Y = value;
    if (fCurrent.Y < value) {
        fCurrent.Y = value;
        fAnchor = fCurrent;
    }
    LayoutChanged();
}

void TCustomGrid::SetDefaultColWidth(int value)
{
    value = std::max(value, 0);
    fDefaultColWidth = value;
    fColWidths.fill(value);
    LayoutChanged();
}

void TCustomGrid::SetDefaultRowHeight(int value)
{
    value = std::max(value, 0);
    fDefaultRowHeight = value;
    fRowHeights.fill(value);
    LayoutChanged();
}

int TCustomGrid::ColWidths(int index) const
{
    return index >= 0 && index < fColCount ? fColWidths[index] : fDefaultColWidth;
}

void TCustomGrid::SetColWidths(int index, int value)
{
    if (index < 0 || index >= fColCount)
        RaiseIndexOutOfRange();
    value = std::max(value, 0);
    if (fColWidths[index] == value)
        return;
    fColWidths[index] = value;
    LayoutChanged();
}

int TCustomGrid::RowHeights(int index) const
{
    return index >= 0 && index < fRowCount ? fRowHeights[index] : fDefaultRowHeight;
}

void TCustomGrid::SetRowHeights(int index, int value)
{
    if (index < 0 || index >= fRowCount)
        RaiseIndexOutOfRange();
    value = std::max(value, 0);
    if (fRowHeights[index] == value)
        return;
    fRowHeights[index] = value;
    LayoutChanged();
}

void TCustomGrid::SetGridLineWidth(int value)
{
    value = std::max(value, 0);
    if (value == fGridLineWidth)
        return;
    fGridLineWidth = value;
    LayoutChanged();
}

void TCustomGrid::SetOptions(TGridOptions value)
{
    if (value == fOptions)
        return;
    fOptions = value;
    if (!(fOptions & goRangeSelect))
        fAnchor = fCurrent;
    if (fWidgets->VBar)
        fWidgets->VBar->setTracking(fOptions & goThumbTracking);
    if (fWidgets->HBar)
        fWidgets->HBar->setTracking(fOptions & goThumbTracking);
    LayoutChanged();
}

void TCustomGrid::SetScrollBars(TScrollStyle value)
{
    if (value == fScrollBars)
        return;
    fScrollBars = value;
    LayoutChanged();
}

void TCustomGrid::SetFixedColor(TColor value)
{
    if (value == fFixedColor)
        return;
    fFixedColor = value;
    Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle value)
{
    value = value == bsNone ? bsNone : bsSingle;
    if (value == fBorderStyle)
        return;
    fBorderStyle = value;
    LayoutChanged();
}

void TCustomGrid::SetCtl3D(bool value)
{
    if (value == fCtl3D)
        return;
    fCtl3D = value;
    LayoutChanged();
}

void TCustomGrid::SetDefaultDrawing(bool value)
{
    if (value == fDefaultDrawing)
        return;
    fDefaultDrawing = value;
    Invalidate();
}

void TCustomGrid::SetCol(int value)
{
    if (value != fCurrent.X)
        MoveColRow(value, fCurrent.Y, true, true);
}

void TCustomGrid::SetRow(int value)
{
    if (value != fCurrent.Y)
        MoveColRow(fCurrent.X, value, true, true);
}

void TCustomGrid::SetTopRow(int value)
{
    MoveTopLeft(fTopLeft.X, value);
}

void TCustomGrid::SetLeftCol(int value)
{
    MoveTopLeft(value, fTopLeft.Y);
}

void TCustomGrid::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_SIZE) {
        const QRect client = ClientRect();
        Message.LParam = qintptr((quint32(client.width()) & 0xFFFF) | ((quint32(client.height()) & 0xFFFF) << 16));
    }
    TCustomControl::WndProc(Message);
}

void TCustomGrid::BoundsChanged()
{
    TCustomControl::BoundsChanged();
    LayoutChanged();
}

// --- moving and scrolling ---

void TCustomGrid::CheckCell(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol >= fColCount || ARow >= fRowCount)
        RaiseIndexOutOfRange();
}

bool TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    CheckCell(ACol, ARow);
    if (!SelectCell(ACol, ARow))
        return false;
    // SelectCell may have changed the grid; the move must still fit it.
    CheckCell(ACol, ARow);
    const TGridRect oldSelection = Selection();
    fCurrent = { ACol, ARow };
    if (MoveAnchor || !(fOptions & goRangeSelect))
        fAnchor = fCurrent;
    InvalidateRect(oldSelection);
    InvalidateRect(Selection());
    if (Show)
        ScrollIntoView(ACol, ARow);
    return true;
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor)
{
    if (MoveColRow(ACol, ARow, MoveAnchor, true))
        Click();
}

void TCustomGrid::ScrollIntoView(int ACol, int ARow)
{
    const TLayout layout = ComputeLayout();
    const TAxis cols = ColAxis(layout);
    const TAxis rows = RowAxis(layout);
    const auto firstFor = [](const TAxis& a, int i) {
        if (i < a.Fixed)
            return a.First;
        if (i < a.First)
            return i;
        int start = 0;
        if (a.Start(i, start) && start + a.Size(i) <= a.End())
            return a.First;
        return a.FirstShowing(i);
    };
    MoveTopLeft(firstFor(cols, ACol), firstFor(rows, ARow));
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop)
{
    const TLayout layout = ComputeLayout();
    const TGridCoord clamped { std::clamp(ALeft, fFixedCols, std::max(fFixedCols, ColAxis(layout).MaxFirst())),
        std::clamp(ATop, fFixedRows, std::max(fFixedRows, RowAxis(layout).MaxFirst())) };
    if (clamped == fTopLeft)
        return;
    fTopLeft = clamped;
    SyncScrollBars();
    Invalidate();
    TopLeftChanged();
}

// A client area that changes while the bounds stay (a scroll bar comes or
// goes, the frame changes) is told with WM_SIZE, as the window would be; a
// change of bounds is told by the control model itself. The depth limit stops
// a subclass whose resizing toggles the scroll bars from ping-ponging.
void TCustomGrid::LayoutChanged()
{
    const TGridCoord before = fTopLeft;
    const TLayout layout = ComputeLayout();
    fTopLeft.X = std::clamp(fTopLeft.X, fFixedCols, std::max(fFixedCols, ColAxis(layout).MaxFirst()));
    fTopLeft.Y = std::clamp(fTopLeft.Y, fFixedRows, std::max(fFixedRows, RowAxis(layout).MaxFirst()));
    const QSize outer(Width(), Height());
    const bool tell = outer == fLastOuterSize && layout.Client.size() != fLastClientSize && fSizeDepth < 2;
    fLastOuterSize = outer;
    fLastClientSize = layout.Client.size();
    SyncScrollBars();
    Invalidate();
    if (!(before == fTopLeft))
        TopLeftChanged();
    if (tell) {
        ++fSizeDepth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave { fSizeDepth };
        Perform(WM_SIZE);
    }
}

void TCustomGrid::SyncScrollBars()
{
    QWidget* handle = Handle();
    if (!handle || fSyncing)
        return;
    fSyncing = true;
    const TLayout layout = ComputeLayout();
    const auto sync = [&](QPointer<QScrollBar>& bar, bool show, Qt::Orientation orientation, const TAxis& axis,
                          const QRect& geometry) {
        if (!show) {
            if (bar)
                bar->hide();
            return;
        }
        if (!bar) {
            auto* created = new QScrollBar(orientation, handle);
            created->setFocusPolicy(Qt::NoFocus);
            created->setTracking(fOptions & goThumbTracking);
            const bool vertical = orientation == Qt::Vertical;
            QObject::connect(created, &QScrollBar::valueChanged, created, [this, vertical](int value) {
                if (fSyncing)
                    return;
                GuardedCall([&] {
                    if (vertical)
                        SetTopRow(value);
                    else
                        SetLeftCol(value);
                });
            });
            bar = created;
        }
        bar->setGeometry(geometry);
        bar->setRange(axis.Fixed, std::max(axis.Fixed, axis.MaxFirst()));
        bar->setPageStep(std::max(1, axis.FullyVisibleCount()));
        bar->setValue(axis.First);
        bar->show();
    };
    const QRect c = layout.Client;
    sync(fWidgets->VBar, layout.VScroll, Qt::Vertical, RowAxis(layout),
        QRect(c.x() + c.width(), c.y(), std::min(kScrollBarSize, layout.Inner.width()), c.height()));
    sync(fWidgets->HBar, layout.HScroll, Qt::Horizontal, ColAxis(layout),
        QRect(c.x(), c.y() + c.height(), c.width(), std::min(kScrollBarSize, layout.Inner.height())));
    fSyncing = false;
}

void TCustomGrid::Wheel(int steps)
{
    SetTopRow(fTopLeft.Y + steps);
}

// --- invalidation ---

void TCustomGrid::InvalidateRect(const TGridRect& cells)
{
    const TLayout layout = ComputeLayout();
    const TAxis cols = ColAxis(layout);
    const TAxis rows = RowAxis(layout);
    // Clip to what is on screen: a range may start in scrolled-away cells.
    const auto visibleRange = [](const TAxis& a, int from, int to, int& first, int& last) {
        first = -1;
        last = -1;
        for (const auto& [i, pos] : a.Visible()) {
            if (i < from || i > to)
                continue;
            if (first < 0)
                first = i;
            last = i;
        }
        return first >= 0;
    };
    int c1, c2, r1, r2;
    if (!visibleRange(cols, cells.Left, cells.Right, c1, c2) || !visibleRange(rows, cells.Top, cells.Bottom, r1, r2))
        return;
    QRect box = BoxRect(c1, r1, c2, r2);
    // The focus rectangle and the 3-D edges stay inside; the line after is
    // repainted too so partial repaints never leave a stale line.
    box.adjust(0, 0, fGridLineWidth, fGridLineWidth);
    if (QWidget* handle = Handle())
        handle->update(box);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow)
{
    InvalidateRect({ ACol, ARow, ACol, ARow });
}

void TCustomGrid::InvalidateRow(int ARow)
{
    InvalidateRect({ 0, ARow, fColCount - 1, ARow });
}

void TCustomGrid::InvalidateCol(int ACol)
{
    InvalidateRect({ ACol, 0, ACol, fRowCount - 1 });
}

// --- painting ---

bool TCustomGrid::IsActiveControl() const
{
    return Focused();
}

void TCustomGrid::DrawCell(int, int, QRect, TGridDrawState) { }

bool TCustomGrid::SelectCell(int, int)
{
    return true;
}

void TCustomGrid::DrawFrame(const TLayout& layout)
{
    TCanvas& canvas = *Canvas();
    QRect outer(0, 0, Width(), Height());
    switch (FrameStyle()) {
    case gfFlat: Frame3D(canvas, outer, clWindowFrame, clWindowFrame, 1); break;
    case gfSunken: DrawEdge(canvas, outer, EDGE_SUNKEN, BF_RECT); break;
    default: break;
    }
    if (layout.VScroll && layout.HScroll) {
        const QRect c = layout.Client;
        canvas.FillSolidRect(QRect(c.x() + c.width(), c.y() + c.height(), kScrollBarSize, kScrollBarSize), clBtnFace);
    }
}

void TCustomGrid::Paint()
{
    TCanvas& canvas = *Canvas();
    const TLayout layout = ComputeLayout();
    DrawFrame(layout);
    if (layout.Client.isEmpty())
        return;
    CanvasStateGuard guard(canvas);
    canvas.IntersectClipRect(layout.Client);
    // Behind everything: the lines that are not drawn and the area past the cells.
    canvas.FillSolidRect(layout.Client, Color());
    // A throwing DrawCell is reported once and leaves the canvas as it was,
    // so the painting around the grid goes on.
    GuardedCall([&] { DrawCells(layout); });
}

void TCustomGrid::DrawCells(const TLayout& layout)
{
    TCanvas& canvas = *Canvas();
    const TAxis cols = ColAxis(layout);
    const TAxis rows = RowAxis(layout);
    const QRect dirty = canvas.ClipRect();
    const bool focused = IsActiveControl();
    const TGridRect selection = Selection();
    const auto visibleCols = cols.Visible();
    for (const auto& [row, y] : rows.Visible()) {
        for (const auto& [col, x] : visibleCols) {
            const QRect where(x, y, cols.Size(col), rows.Size(row));
            if (where.isEmpty() || !where.intersects(dirty))
                continue;
            TGridDrawState state = 0;
            const bool fixed = col < fFixedCols || row < fFixedRows;
            if (fixed) {
                state = gdFixed;
            } else {
                if (focused && fCurrent == TGridCoord { col, row })
                    state |= gdFocused;
                if (selection.Contains(col, row))
                    state |= gdSelected;
            }
            canvas.Font()->Assign(*Font());
            canvas.Brush()->SetStyle(bsSolid);
            if (fixed) {
                canvas.Brush()->SetColor(fFixedColor);
            } else if ((state & gdSelected)
                && (!(state & gdFocused) || (fOptions & (goDrawFocusSelected | goRowSelect)))) {
                canvas.Brush()->SetColor(clHighlight);
                canvas.Font()->SetColor(clHighlightText);
            } else {
                canvas.Brush()->SetColor(Color());
            }
            if (fDefaultDrawing)
                canvas.FillRect(where);
            DrawCell(col, row, where, state);
            if (fDefaultDrawing && fixed && fCtl3D) {
                unsigned sides = 0;
                if (fOptions & goFixedVertLine)
                    sides |= BF_LEFT | BF_RIGHT;
                if (fOptions & goFixedHorzLine)
                    sides |= BF_TOP | BF_BOTTOM;
                QRect edge = where;
                if (sides)
                    DrawEdge(canvas, edge, BDR_RAISEDINNER, sides);
            }
            if (fDefaultDrawing && (state & gdFocused) && !(fOptions & goRowSelect))
                canvas.DrawFocusRect(where);
        }
    }
    DrawLines(cols, rows);
    if (fDefaultDrawing && focused && (fOptions & goRowSelect)) {
        const QRect rowBox = BoxRect(fFixedCols, selection.Top, fColCount - 1, selection.Bottom);
        if (!rowBox.isEmpty())
            canvas.DrawFocusRect(rowBox);
    }
}

// Lines in the fixed band follow the fixed options in black; lines between
// normal cells follow the normal options in silver (grey on a silver grid).
void TCustomGrid::DrawLines(const TAxis& cols, const TAxis& rows)
{
    TCanvas& canvas = *Canvas();
    const TColor fixedLine = clBlack;
    const TColor normalLine = ColorToRGB(Color()) == clSilver ? clGray : clSilver;
    const auto visibleCols = cols.Visible();
    const auto visibleRows = rows.Visible();
    if (visibleCols.isEmpty() || visibleRows.isEmpty())
        return;
    const auto gridEnd = [](const TAxis& a, const QList<std::pair<int, int>>& cells) {
        const auto& [i, pos] = cells.last();
        return std::min(a.End(), pos + a.Size(i) + a.LineWidth);
    };
    const int gridRight = gridEnd(cols, visibleCols);
    const int gridBottom = gridEnd(rows, visibleRows);
    const int fixedBottom = std::min(rows.ScrollOrigin(), gridBottom);
    const int fixedRight = std::min(cols.ScrollOrigin(), gridRight);

    if (const int w = cols.LineWidth; w > 0) {
        for (const auto& [col, x] : visibleCols) {
            const int lx = x + cols.Size(col);
            const bool fixedCol = col < fFixedCols;
            if ((fOptions & goFixedVertLine) && fixedBottom > rows.Origin)
                canvas.FillSolidRect(QRect(lx, rows.Origin, w, fixedBottom - rows.Origin), fixedLine);
            if ((fOptions & (fixedCol ? goFixedVertLine : goVertLine)) && gridBottom > fixedBottom)
                canvas.FillSolidRect(
                    QRect(lx, fixedBottom, w, gridBottom - fixedBottom), fixedCol ? fixedLine : normalLine);
        }
    }
    if (const int h = rows.LineWidth; h > 0) {
        for (const auto& [row, y] : visibleRows) {
            const int ly = y + rows.Size(row);
            const bool fixedRow = row < fFixedRows;
            if ((fOptions & goFixedHorzLine) && fixedRight > cols.Origin)
                canvas.FillSolidRect(QRect(cols.Origin, ly, fixedRight - cols.Origin, h), fixedLine);
            if ((fOptions & (fixedRow ? goFixedHorzLine : goHorzLine)) && gridRight > fixedRight)
                canvas.FillSolidRect(
                    QRect(fixedRight, ly, gridRight - fixedRight, h), fixedRow ? fixedLine : normalLine);
        }
    }
}

// Renders the whole control: the frame and scroll bars lie outside ClientRect.
void TCustomGrid::PaintTo(TCanvas& canvas, int x, int y)
{
    QWidget* handle = Handle();
    if (!handle || Width() <= 0 || Height() <= 0)
        return;
    QImage image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        handle->render(&painter, QPoint(0, 0), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    canvas.DrawImage(QRect(x, y, image.width(), image.height()), image, image.rect());
}

// --- mouse and keys ---

TGridCoord TCustomGrid::DragCoord(int X, int Y) const
{
    const TLayout layout = ComputeLayout();
    const auto index = [](const TAxis& a, int p) {
        const int i = a.CoordAt(p);
        if (i >= a.Fixed)
            return i;
        if (p < a.ScrollOrigin())
            return std::max(a.First - 1, a.Fixed);
        // Past the last cell shown: one further, so dragging scrolls.
        return std::min(a.First + a.FullyVisibleCount(), a.Count - 1);
    };
    return { index(ColAxis(layout), X), index(RowAxis(layout), Y) };
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft && (Shift & ssDouble)) {
        // With click events the control model has fired it already.
        if (!(ControlStyle() & csClickEvents))
            DblClick();
    } else if (Button == mbLeft) {
        const TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= fFixedCols && cell.Y >= fFixedRows) {
            fSelecting = true;
            fDragMoved = false;
            FocusCell(cell.X, cell.Y, !((Shift & ssShift) && (fOptions & goRangeSelect)));
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    if (fSelecting && (Shift & ssLeft)) {
        const TGridCoord cell = DragCoord(X, Y);
        if (!(cell == fCurrent) && MoveColRow(cell.X, cell.Y, !(fOptions & goRangeSelect), true))
            fDragMoved = true;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && fSelecting) {
        fSelecting = false;
        if (fDragMoved)
            Click();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::KeyDown(quint16& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    const bool ctrl = Shift & ssCtrl;
    const bool rowSelect = fOptions & goRowSelect;
    const int firstCol = fFixedCols, lastCol = fColCount - 1;
    const int firstRow = fFixedRows, lastRow = fRowCount - 1;
    const int page = std::max(1, VisibleRowCount());
    bool moveAnchor = !((Shift & ssShift) && (fOptions & goRangeSelect));
    TGridCoord target = fCurrent;
    switch (Key) {
    case VK_UP: --target.Y; break;
    case VK_DOWN: ++target.Y; break;
    case VK_LEFT:
        if (rowSelect) {
            SetLeftCol(fTopLeft.X - 1);
            return;
        }
        --target.X;
        break;
    case VK_RIGHT:
        if (rowSelect) {
            SetLeftCol(fTopLeft.X + 1);
            return;
        }
        ++target.X;
        break;
    case VK_PRIOR: target.Y -= page; break;
    case VK_NEXT: target.Y += page; break;
    case VK_HOME:
        if (ctrl)
            target = { firstCol, firstRow };
        else if (rowSelect)
            target.Y = firstRow;
        else
            target.X = firstCol;
        break;
    case VK_END:
        if (ctrl)
            target = { lastCol, lastRow };
        else if (rowSelect)
            target.Y = lastRow;
        else
            target.X = lastCol;
        break;
    case VK_TAB:
        if (!(fOptions & goTabs) || (Shift & (ssCtrl | ssAlt)))
            return;
        moveAnchor = true;
        if (Shift & ssShift) {
            if (target.X > firstCol) {
                --target.X;
            } else if (target.Y > firstRow) {
                target = { lastCol, target.Y - 1 };
            }
        } else if (target.X < lastCol) {
            ++target.X;
        } else if (target.Y < lastRow) {
            target = { firstCol, target.Y + 1 };
        }
        break;
    default: return;
    }
    target.X = std::clamp(target.X, firstCol, lastCol);
    target.Y = std::clamp(target.Y, firstRow, lastRow);
    if (target == fCurrent)
        return;
    FocusCell(target.X, target.Y, moveAnchor);
}

bool TCustomGrid::WantsKey(quint16 Key, TShiftState Shift) const
{
    if (IsNavigationKey(Key))
        return true;
    if (Key == VK_TAB)
        return (fOptions & goTabs) && !(Shift & (ssCtrl | ssAlt));
    return TCustomControl::WantsKey(Key, Shift);
}

void TCustomGrid::DoEnter()
{
    InvalidateRect(Selection());
    TCustomControl::DoEnter();
}

void TCustomGrid::DoExit()
{
    InvalidateRect(Selection());
    TCustomControl::DoExit();
}

// --- TDrawGrid ---

void TDrawGrid::DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow)
{
    bool canSelect = TCustomGrid::SelectCell(ACol, ARow);
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, canSelect);
    return canSelect;
}

void TDrawGrid::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}
