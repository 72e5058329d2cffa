#pragma once

// The browse window: every written day of the open diary in one list with
// its date, title and mood, sorted by date or title either way, searched by
// title or through the whole text, and the chosen day handed back through
// SelIdx.

#include "platform/gui/forms.h"

#include <QString>

class TCheckBox;
class TEdit;
class IDiaryView;
class TDiarySession;
class TGlyphSpeedButton;
class THatchPanel;
class TImage;
class TImageList;
class TLabel;
class TListColumn;
class TListItem;
class TListView;

class TfrmDiaryBrowse : public TForm {
public:
    // session and view (the window showing the diary) must outlive the window.
    TfrmDiaryBrowse(TComponent* AOwner, TDiarySession& session, IDiaryView& view);
    ~TfrmDiaryBrowse() override;

    QString ClassName() const override { return QStringLiteral("TfrmDiaryBrowse"); }

    // In the window's scope: the list view has a stNone of its own.
    enum TDiarySortType { stNone, stDate, stTitle };
    enum TDiarySortDirection { sdAscending, sdDescending };

    static constexpr int DesignClientWidth = 478;
    static constexpr int DesignClientHeight = 414;
    // The images of DIL: the two column marks, then the mood pictures.
    static constexpr int kAscendingMark = 0;
    static constexpr int kDescendingMark = 1;
    static constexpr int kFirstMood = 2;

    int CurrentSkin = 0;
    // The collection index of the entry chosen by Go to; -1 when none was.
    int SelIdx = -1;
    TDiarySortType DiarySortType = stNone;
    TDiarySortDirection DiarySortDirection = sdAscending;

    THatchPanel* htchpnlBack = nullptr;
    TImage* image_Bck = nullptr;
    TLabel* lblSearchFor = nullptr;
    TEdit* edtNeedle = nullptr;
    TCheckBox* cbFullContent = nullptr;
    TLabel* lblFullSearch = nullptr;
    TListView* DLV = nullptr;
    TImageList* DIL = nullptr;
    TGlyphSpeedButton* btnPrevDay = nullptr;
    TGlyphSpeedButton* btnNextDay = nullptr;
    TGlyphSpeedButton* btnGoto = nullptr;
    TGlyphSpeedButton* btnSearch = nullptr;
    TGlyphSpeedButton* btnClose = nullptr;

    // Every showing: nothing chosen yet, the list rebuilt from the diary in
    // date order, the sort reset.
    void FormActivate(TObject* Sender);
    // Esc closes the window.
    void FormKeyPress(TObject* Sender, QChar& Key);
    void btnPrevDayClick(TObject* Sender);
    void btnNextDayClick(TObject* Sender);
    // Hands the selected entry to the main window and closes.
    void btnGotoClick(TObject* Sender);
    // Searches from the item after the selected one round to the selected
    // one; beeps when nothing matches.
    void btnSearchClick(TObject* Sender);
    void btnCloseClick(TObject* Sender);
    // Sorts by the clicked column, turning its mark round.
    void DLVColumnClick(TObject* Sender, TListColumn* Column);
    void DLVCompare(TObject* Sender, TListItem* Item1, TListItem* Item2, qintptr Data, int& Compare);
    void edtNeedleEnter(TObject* Sender);
    void edtNeedleExit(TObject* Sender);
    // Enter searches.
    void edtNeedleKeyPress(TObject* Sender, QChar& Key);
    void lblFullSearchClick(TObject* Sender);

    // Draws the current skin over the background; failures are ignored.
    void LoadBackground();

private:
    void BuildControls();
    // The list's pictures: the column marks and the mood pictures.
    void BuildPictures();
    void BuildSearchRow();
    void BuildList();
    void BuildButtons();
    void FillList();
    void Step(bool forward);

    TDiarySession& Session;
    IDiaryView& View;
    // A showing whose first activation has not come yet.
    bool fShowPending = false;
};
