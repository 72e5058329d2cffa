#include "minihtml/tables.h"

#include "minihtml/engine.h"
#include "minihtml/printer.h"
#include "minihtml/style_state.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Content sizes are kept far from overflowing the sums of a table.
constexpr int kMaxCellExtent = 100000;

} // namespace

void aTableSTag::SetHtml(const THtmlAttributes& commands)
{
    fWidthText = commands.Value(QStringLiteral("width"));
    tblBorder = commands.Has(QStringLiteral("border"))
        ? qBound(0, HtmlStrToIntDef(commands.Value(QStringLiteral("border")), 1), MaxBorder)
        : 1;
}

void aTableSTag::Update()
{
    TQzMiniHtml2& e = *aHtml;
    // The width follows the engine's width at every layout (cells lay out
    // again when drawn at their column's width).
    tblWidth = variables.Has(QStringLiteral("width")) ? ParseHtmlSize(e.width, fWidthText, e.width) : e.width;
    tblWidth = qBound(0, tblWidth, kMaxCellExtent);
    // Measured width + 5 of the cell in column c and row r, at [c][r].
    std::vector<std::array<int, MaxRows>> cellWidth(MaxCols);
    for (auto& column : cellWidth)
        column.fill(0);
    std::array<int, MaxCols> w;
    w.fill(0);
    Height = 0;
    Width = 0;
    const int end = e.TableEnd(Index);

    // First walk: measure every cell of this table (nested tables skipped).
    int rows = 0, cells = 0, columns = 0;
    aTRSTag* row = nullptr;
    for (int i = Index + 1; i < end; ++i) {
        atag* t = e.Tags(i);
        if (dynamic_cast<aTableSTag*>(t)) {
            i = e.TableEnd(i);
            continue;
        }
        if (auto* r = dynamic_cast<aTRSTag*>(t)) {
            r->Height = 0;
            if (rows >= MaxRows) {
                row = nullptr; // beyond the limit: not laid out
                continue;
            }
            cells = 0;
            row = r;
            r->rowNum = rows++;
            r->Update();
            continue;
        }
        auto* c = dynamic_cast<aTDSTag*>(t);
        if (!c)
            continue;
        c->Placed = false;
        // A cell before the first row, or past the last column, has no place.
        if (!row || cells >= MaxCols)
            continue;
        c->colNum = cells++;
        c->rowNum = rows - 1;
        columns = std::max(columns, cells);
        int available = c->HasWidth ? ParseHtmlSize(e.width, c->WidthText, tblWidth)
                                    : (tblWidth - 10) / std::max(1, row->ColCount);
        available = qBound(0, available, tblWidth);
        int cw = 0, ch = 0;
        c->MiniHtml = e.CalcSize(c->MiniHtml, c->Html, available, cw, ch);
        cellWidth[c->colNum][c->rowNum] = qBound(0, cw, kMaxCellExtent) + 5;
        row->Height = std::max(row->Height, qBound(0, ch, kMaxCellExtent));
        c->Placed = true;
    }

    // Column widths over every column that has a cell in any row.
    for (int col = 0; col < columns; ++col)
        for (int r = 0; r < rows; ++r)
            w[col] = std::max(w[col], cellWidth[col][r]);

    // Second walk: rows stacked from the table's top, cells side by side.
    int x = 5;
    int placedRows = 0;
    row = nullptr;
    for (int i = Index + 1; i < end; ++i) {
        atag* t = e.Tags(i);
        if (dynamic_cast<aTableSTag*>(t)) {
            i = e.TableEnd(i);
            continue;
        }
        if (auto* r = dynamic_cast<aTRSTag*>(t)) {
            if (placedRows++ >= MaxRows) {
                row = nullptr;
                continue;
            }
            row = r;
            r->Top = Top + Height;
            Height += r->Height;
            r->Left = 0;
            r->Width = 0;
            for (int col = 0; col < std::min(r->ColCount, MaxCols); ++col)
                r->Width += w[col];
            x = 5;
            continue;
        }
        auto* c = dynamic_cast<aTDSTag*>(t);
        if (!c || !c->Placed || !row)
            continue;
        c->Width = w[c->colNum];
        c->Height = c->LineHeight = row->Height;
        c->Left = x;
        c->Top = row->Top;
        if (c->Left + c->Width > tblWidth)
            c->Width = std::max(0, tblWidth - c->Left);
        c->tblBorder = tblBorder;
        x = c->Left + c->Width;
    }
}

void aTRSTag::Update()
{
    // Cells up to the next row, or to the end of the table; a nested table
    // written inline counts none of its cells here.
    TQzMiniHtml2& e = *aHtml;
    ColCount = 0;
    for (int i = Index + 1; i < e.TagCount(); ++i) {
        atag* t = e.Tags(i);
        if (dynamic_cast<aTRSTag*>(t) || dynamic_cast<aTRETag*>(t) || dynamic_cast<aTableETag*>(t))
            break;
        if (dynamic_cast<aTableSTag*>(t)) {
            i = e.TableEnd(i);
            continue;
        }
        if (dynamic_cast<aTDSTag*>(t))
            ++ColCount;
    }
}

void aTDSTag::SetHtml(const THtmlAttributes& commands)
{
    bgColor = commands.Has(QStringLiteral("bgcolor")) ? HtmlToColor(commands.Value(QStringLiteral("bgcolor")))
                                                      : HtmlTransparentColor;
    HasWidth = commands.Has(QStringLiteral("width"));
    WidthText = commands.Value(QStringLiteral("width"));
}

bool aTDSTag::Shows() const
{
    return Placed && Width > 0 && Height > 0;
}

QRect aTDSTag::CellBox() const
{
    return QRect(Left, Top, Width, Height);
}

std::vector<QRect> aTDSTag::BorderFrames() const
{
    // The table's border, inwards from the cell's edge; none for 0.
    std::vector<QRect> frames;
    for (int k = 0; k < tblBorder && 2 * k < std::min(Width, Height); ++k)
        frames.push_back(CellBox().adjusted(k, k, -k, -k));
    return frames;
}

void aTDSTag::Draw(TCanvas& aCanvas)
{
    if (!Shows())
        return;
    const QRect cell = CellBox();
    aCanvas.Brush()->SetColor(bgColor);
    aCanvas.Brush()->SetStyle(bsSolid);
    aCanvas.FillRect(cell);
    // The content's transparent background lets the fill show through.
    aCanvas.Brush()->SetStyle(bsClear);
    MiniHtml = aHtml->DrawHtmlOnCanvas(MiniHtml, cell.x(), cell.y(), cell.width(), Html);
    aCanvas.Brush()->SetColor(clBlack);
    aCanvas.Brush()->SetStyle(bsSolid);
    for (const QRect& frame : BorderFrames())
        aCanvas.FrameRect(frame);
}

void aTDSTag::Print()
{
    TDummyPrinter* prt = PrintTarget();
    if (!prt)
        return;
    const QRect cell = CellBox();
    const QPointF at = PrintPos(cell.x(), cell.y());
    PrintFill(*prt, bgColor, PrintOrigin(), cell);
    MiniHtml = aHtml->PrintHtml(MiniHtml, int(at.x()), int(at.y()), cell.width(), Html);
    prt->SetBrushColor(clNone);
    prt->SetPenColor(ColorToRGB(clBlack));
    for (const QRect& frame : BorderFrames())
        PrintRectangle(*prt, PrintOrigin(), frame);
}
