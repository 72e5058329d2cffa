#include "app/clipart_select.h"
#include "platform/core/sysutils.h"

#include "controls/form_building.h"
#include "controls/styled_speed_button.h"
#include "platform/gui/bitmap.h"

#include <memory>

namespace {

// A cell and the grid line after it.
constexpr int kCellPitch = TfrmClipartSelect::CellSize + 1;
constexpr int kVisibleRows = 4;
constexpr int kButtonTop = 270;
constexpr int kButtonWidth = 86;
constexpr int kButtonHeight = 26;

template <class T> T* Make(TfrmClipartSelect* owner, const char* name, const QRect& bounds)
{
    return MakeControl<T>(owner, owner, name, bounds);
}

} // namespace

TfrmClipartSelect::TfrmClipartSelect(TComponent* AOwner)
    : TForm(AOwner)
{
    BuildControls();
    DoCreate();
}

TfrmClipartSelect::~TfrmClipartSelect()
{
    DoDestroy();
    delete BitMap;
}

void TfrmClipartSelect::BuildControls()
{
    SetName(S("frmClipartSelect"));
    SetCaption(S(" Clipart Selector"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetFontOf(this, 12, clWindowText);
    SetKeyPreview(true);
    OnKeyPress = [this](TObject* s, QChar& key) { FormKeyPress(s, key); };

    // Four pictures and the scroll bar fill the width; four rows show.
    const int frame = 2 * 2;
    DG = Make<TDrawGrid>(this, "DG", QRect(0, 0, DesignClientWidth, kVisibleRows * kCellPitch + frame));
    DG->SetColCount(Columns);
    DG->SetRowCount(1);
    DG->SetFixedCols(0);
    DG->SetFixedRows(0);
    // The first cell is current until SelectIcon moves it.
    DG->SetCol(0);
    DG->SetRow(0);
    DG->SetDefaultColWidth(CellSize);
    DG->SetDefaultRowHeight(CellSize);
    DG->SetScrollBars(ssVertical);
    DG->SetHint(S("Double click to select your image"));
    DG->SetShowHint(true);
    DG->OnDrawCell = [this](TObject* s, int col, int row, QRect rect, TGridDrawState state) {
        DGDrawCell(s, col, row, rect, state);
    };
    DG->OnSelectCell = [this](TObject* s, int col, int row, bool& can) { DGSelectCell(s, col, row, can); };
    DG->OnDblClick = [this](TObject* s) { DGDblClick(s); };

    auto makeButton = [this](const char* name, int left, const char* caption) {
        auto* button = Make<TLbSpeedButton>(this, name, QRect(left, kButtonTop, kButtonWidth, kButtonHeight));
        button->SetCaption(S(caption));
        button->SetAlignment(taCenter);
        return button;
    };
    btnSelect = makeButton("btnSelect", DesignClientWidth - 2 * (kButtonWidth + 6), "&Select");
    btnSelect->OnClick = [this](TObject* s) { btnSelectClick(s); };
    btnCancel = makeButton("btnCancel", DesignClientWidth - kButtonWidth - 6, "&Cancel");
    btnCancel->OnClick = [this](TObject* s) { btnCancelClick(s); };

    BitMap = new TBitmap;
    BitMap->SetSize(DG->DefaultColWidth(), DG->DefaultRowHeight());
    SetActiveControl(DG);
}

int TfrmClipartSelect::SelectIcon(TComponent* AOwner, int xPos, int yPos, TImageList* aImageList, int aIcon)
{
    std::unique_ptr<TfrmClipartSelect> chooser(new TfrmClipartSelect(AOwner));
    int left = xPos - chooser->Width() / 2;
    if (left + chooser->Width() > Screen()->Width())
        left = Screen()->Width() - chooser->Width() - 2;
    chooser->SetPosition(poDesigned);
    chooser->SetBounds(left, yPos, chooser->Width(), chooser->Height());
    chooser->ReturnIconId = aIcon;
    chooser->SetImageList(aImageList);
    chooser->SetCurrentIcon(aIcon);
    chooser->ShowModal();
    return chooser->ReturnIconId;
}

void TfrmClipartSelect::SetImageList(TImageList* value)
{
    fImageList = value;
    DG->SetRowCount(std::max(1, (PictureCount() + Columns - 1) / Columns));
    DG->Invalidate();
}

int TfrmClipartSelect::PictureCount() const
{
    return fImageList ? fImageList->Count() : 0;
}

int TfrmClipartSelect::CurrentIcon() const
{
    return DG->Row() * Columns + DG->Col();
}

void TfrmClipartSelect::SetCurrentIcon(int index)
{
    // A stored mood the list lacks has no cell: the grid cannot show it.
    if (index < 0 || index >= PictureCount())
        return;
    DG->SetCol(index % Columns);
    DG->SetRow(index / Columns);
}

void TfrmClipartSelect::DGDrawCell(TObject*, int ACol, int ARow, QRect Rect, TGridDrawState)
{
    const int index = ARow * Columns + ACol;
    TCanvas& canvas = *DG->Canvas();
    if (index < 0 || index >= PictureCount()) {
        canvas.Brush()->SetColor(clWhite);
        canvas.FillRect(Rect);
        return;
    }
    // White under the picture, so a masked one shows no earlier cell.
    BitMap->Canvas()->FillSolidRect(QRect(0, 0, BitMap->Width(), BitMap->Height()), clWhite);
    fImageList->Draw(*BitMap->Canvas(), 0, 0, index, true);
    canvas.Draw(Rect.left(), Rect.top(), *BitMap);
}

void TfrmClipartSelect::DGSelectCell(TObject*, int ACol, int ARow, bool& CanSelect)
{
    if (ARow * Columns + ACol >= PictureCount())
        CanSelect = false;
}

void TfrmClipartSelect::Choose()
{
    const int index = CurrentIcon();
    if (index >= PictureCount())
        return;
    ReturnIconId = index;
    Close();
}

void TfrmClipartSelect::DGDblClick(TObject*)
{
    Choose();
}

void TfrmClipartSelect::btnSelectClick(TObject*)
{
    Choose();
}

void TfrmClipartSelect::btnCancelClick(TObject*)
{
    Close();
}

void TfrmClipartSelect::FormKeyPress(TObject*, QChar& Key)
{
    if (Key.unicode() == 27)
        Close();
}
