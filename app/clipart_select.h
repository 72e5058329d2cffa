#pragma once

// The clipart chooser: the pictures of an image list in a grid, four to a
// row, one of which the user picks by double click or Select. It picks the
// day's mood picture of the main window.

#include "platform/gui/forms.h"
#include "platform/gui/grids.h"

#include <QRect>

class TBitmap;
class TImageList;
class TLbSpeedButton;

class TfrmClipartSelect : public TForm {
public:
    explicit TfrmClipartSelect(TComponent* AOwner);
    ~TfrmClipartSelect() override;

    QString ClassName() const override { return QStringLiteral("TfrmClipartSelect"); }

    static constexpr int DesignClientWidth = 282;
    static constexpr int DesignClientHeight = 300;
    static constexpr int Columns = 4;
    static constexpr int CellSize = 64;

    // Shows the chooser modally with its top at yPos and centred on xPos,
    // moved left when it would pass the screen's right edge; returns the
    // picture chosen, or aIcon when the user cancels.
    static int SelectIcon(TComponent* AOwner, int xPos, int yPos, TImageList* aImageList, int aIcon);

    TDrawGrid* DG = nullptr;
    TLbSpeedButton* btnSelect = nullptr;
    TLbSpeedButton* btnCancel = nullptr;

    // What SelectIcon returns: the picture the user chose.
    int ReturnIconId = 0;
    // The pictures offered; not owned.
    TImageList* ImageList() const { return fImageList; }
    // Also gives the grid rows enough for every picture.
    void SetImageList(TImageList* value);
    // The picture of the grid's current cell, which may be none.
    int CurrentIcon() const;
    // Makes a picture's cell the current one; an index that is no picture
    // leaves the current cell where it is.
    void SetCurrentIcon(int index);

    void DGDrawCell(TObject* Sender, int ACol, int ARow, QRect Rect, TGridDrawState State);
    // Cells after the last picture cannot become current.
    void DGSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    // Double click and Select take the current cell's picture and close.
    void DGDblClick(TObject* Sender);
    void btnSelectClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    // Esc closes the chooser like Cancel.
    void FormKeyPress(TObject* Sender, QChar& Key);

private:
    void BuildControls();
    int PictureCount() const;
    void Choose();

    TImageList* fImageList = nullptr;
    // One cell's picture is drawn here first, then onto the grid.
    TBitmap* BitMap = nullptr;
};
