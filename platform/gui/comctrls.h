#pragma once

// The common controls: the list view in report style, the page control with
// its tab sheets, and the tab set.

#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTabBar;
class QTreeWidgetItem;
class TCustomListView;
class TListItem;
class TListItems;
class TListColumn;
class TPageControl;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TSortType { stNone, stData, stText, stBoth };
enum TItemChange { ctText, ctImage, ctState };

// A sort callback: negative when Item1 goes first. Data is CustomSort's argument.
using TLVCompare = std::function<int(TListItem* Item1, TListItem* Item2, qintptr Data)>;
using TLVCompareEvent
    = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, qintptr Data, int& Compare)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;

// One column of a report view. ImageIndex shows an image of the view's
// SmallImages in the header (a sort mark). Equal MinWidth and MaxWidth fix
// the width.
class TListColumn
{
public:
    const QString& Caption() const { return fCaption; }
    void SetCaption(const QString& value);
    int Width() const { return fWidth; }
    void SetWidth(int value);
    TAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TAlignment value);
    int ImageIndex() const { return fImageIndex; }
    void SetImageIndex(int value);
    int MinWidth() const { return fMinWidth; }
    void SetMinWidth(int value);
    int MaxWidth() const { return fMaxWidth; }
    void SetMaxWidth(int value);
    qint64 Tag() const { return fTag; }
    void SetTag(qint64 value) { fTag = value; }
    int Index() const;

private:
    friend class TListColumns;
    friend class TCustomListView;
    explicit TListColumn(TCustomListView* view)
        : fView(view)
    {
    }
    TCustomListView* fView;
    QString fCaption;
    int fWidth = 50;
    TAlignment fAlignment = taLeftJustify;
    int fImageIndex = -1;
    int fMinWidth = 0;
    int fMaxWidth = 0;
    qint64 fTag = 0;
};

class TListColumns
{
public:
    explicit TListColumns(TCustomListView* view)
        : fView(view)
    {
    }
    ~TListColumns();
    TListColumns(const TListColumns&) = delete;
    TListColumns& operator=(const TListColumns&) = delete;

    int Count() const { return int(fColumns.size()); }
    TListColumn* Items(int index) const;
    TListColumn* operator[](int index) const { return Items(index); }
    TListColumn* Add();
    void Delete(int index);
    void Clear();
    int IndexOf(const TListColumn* column) const { return int(fColumns.indexOf(const_cast<TListColumn*>(column))); }

private:
    TCustomListView* fView;
    QList<TListColumn*> fColumns;
};

// The texts of an item's columns after the first.
class TSubItems
{
public:
    int Count() const { return int(fStrings.size()); }
    const QString& Strings(int index) const;
    const QString& operator[](int index) const { return Strings(index); }
    void SetString(int index, const QString& value);
    int Add(const QString& s);
    void Insert(int index, const QString& s);
    void Delete(int index);
    void Clear();
    QStringList ToStringList() const { return fStrings; }
    void Assign(const QStringList& list);

private:
    friend class TListItem;
    explicit TSubItems(TListItem* item)
        : fItem(item)
    {
    }
    TListItem* fItem;
    QStringList fStrings;
};

// One row of the list view. Data is the caller's value (an index, a pointer).
class TListItem
{
public:
    ~TListItem();
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    const QString& Caption() const { return fCaption; }
    void SetCaption(const QString& value);
    TSubItems* SubItems() { return &fSubItems; }
    int ImageIndex() const { return fImageIndex; }
    void SetImageIndex(int value);
    qintptr Data() const { return fData; }
    void SetData(qintptr value);
    bool Selected() const;
    void SetSelected(bool value);
    bool Focused() const;
    void SetFocused(bool value);
    // Scrolls the item into view (fully, whatever PartialOK says).
    void MakeVisible(bool PartialOK);
    int Index() const;
    TListItems* Owner() const { return fOwner; }
    TCustomListView* ListView() const;
    void Delete();

private:
    friend class TListItems;
    friend class TSubItems;
    friend class TCustomListView;
    explicit TListItem(TListItems* owner);
    // Shows the texts on the row.
    void UpdateRow();

    TListItems* fOwner;
    QTreeWidgetItem* fRow = nullptr; // owned by the view's widget
    QString fCaption;
    TSubItems fSubItems { this };
    int fImageIndex = -1;
    qintptr fData = 0;
};

// The rows of a list view, in display order (sorting reorders them).
class TListItems
{
public:
    explicit TListItems(TCustomListView* view)
        : fView(view)
    {
    }
    ~TListItems();
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    int Count() const { return int(fItems.size()); }
    TListItem* Item(int index) const;
    TListItem* operator[](int index) const { return Item(index); }
    TListItem* Add();
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int IndexOf(const TListItem* item) const { return int(fItems.indexOf(const_cast<TListItem*>(item))); }
    // Repainting waits until the matching EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    TCustomListView* Owner() const { return fView; }

private:
    friend class TCustomListView;
    friend class TListItem;
    TCustomListView* fView;
    QList<TListItem*> fItems;
    int fUpdateCount = 0;
};

// A list view in report style on QTreeWidget: a header of columns, one row per
// item with a small image and sub-item texts. A selection change (by the user
// or in code) fires OnSelectItem (deselections first) and OnChange; a header
// click fires OnColumnClick. AlphaSort and CustomSort order the items with
// OnCompare or a callback; the order is stable. Only the report style is
// drawn, whatever ViewStyle says.
class TCustomListView : public TWinControl
{
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;
    QString ClassName() const override { return QStringLiteral("TCustomListView"); }

    TListColumns* Columns() { return &fColumns; }
    TListItems* Items() { return &fItems; }
    TImageList* SmallImages() const { return fSmallImages; }
    // The image list must outlive the view or be reset first.
    void SetSmallImages(TImageList* value);
    TViewStyle ViewStyle() const { return fViewStyle; }
    void SetViewStyle(TViewStyle value) { fViewStyle = value; }
    bool ReadOnly() const { return fReadOnly; }
    void SetReadOnly(bool value) { fReadOnly = value; }
    bool RowSelect() const { return fRowSelect; }
    void SetRowSelect(bool value);
    bool HideSelection() const { return fHideSelection; }
    void SetHideSelection(bool value);
    bool GridLines() const { return fGridLines; }
    void SetGridLines(bool value);
    bool MultiSelect() const { return fMultiSelect; }
    void SetMultiSelect(bool value);
    bool ShowColumnHeaders() const { return fShowColumnHeaders; }
    void SetShowColumnHeaders(bool value);
    bool ColumnClick() const { return fColumnClick; }
    void SetColumnClick(bool value);
    TBorderStyle BorderStyle() const { return fBorderStyle; }
    void SetBorderStyle(TBorderStyle value);

    // The first selected item.
    TListItem* Selected() const;
    void SetSelected(TListItem* value);
    int SelCount() const;
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* value);
    // The item at a point of the rows' area (below the header), as mouse
    // events report points.
    TListItem* GetItemAt(int X, int Y) const;
    TListItem* TopItem() const;

    TSortType SortType() const { return fSortType; }
    void SetSortType(TSortType value);
    bool AlphaSort();
    // Sorts with SortProc, or with OnCompare (else by caption) when it is empty.
    bool CustomSort(const TLVCompare& SortProc, qintptr Data);

    TLVCompareEvent OnCompare;
    TLVColumnClickEvent OnColumnClick;
    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVDeletedEvent OnDeletion;

    // --- what the widget calls ---
    void WidgetSelectionChanged(const QList<int>& selectedRows, const QList<int>& deselectedRows);
    void WidgetColumnClicked(int section);

protected:
    virtual void ColumnClick(TListColumn* Column);
    virtual void Change(TListItem* Item, TItemChange Change);
    virtual void DoSelectItem(TListItem* Item, bool Selected);
    virtual void Delete(TListItem* Item);
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    bool WantsChars() const override { return true; }
    void ApplyWidgetStyle() override;

private:
    friend class TListColumn;
    friend class TListColumns;
    friend class TListItem;
    friend class TListItems;
    // Header texts, widths, alignment and sort marks.
    void UpdateColumns();
    void ItemChanged(TListItem* item, bool textChanged, bool dataChanged);
    int Compare(TListItem* a, TListItem* b, const TLVCompare& proc, qintptr data);

    TListColumns fColumns { this };
    TListItems fItems { this };
    TImageList* fSmallImages = nullptr;
    TViewStyle fViewStyle = vsIcon;
    bool fReadOnly = false;
    bool fRowSelect = false;
    bool fHideSelection = true;
    bool fGridLines = false;
    bool fMultiSelect = false;
    bool fShowColumnHeaders = true;
    bool fColumnClick = true;
    TBorderStyle fBorderStyle = bsSingle;
    TSortType fSortType = stNone;
    // Selection changes made while rows are removed are not reported.
    int fQuiet = 0;
};

class TListView : public TCustomListView
{
public:
    explicit TListView(TComponent* AOwner)
        : TCustomListView(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TListView"); }
};

// ---------------------------------------------------------------------------
// Page control

// The page rectangle message: LParam points to a QRect that holds the
// control's client rectangle on entry and the area of the pages on return.
// Descendants may handle WndProc after the inherited one to change it.
inline constexpr unsigned TCM_ADJUSTRECT = 0x1328;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// One page of a page control. Only the active page is visible; a page with
// TabVisible off has no tab but can still be made active in code.
class TTabSheet : public TWinControl
{
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    QString ClassName() const override { return QStringLiteral("TTabSheet"); }

    TPageControl* PageControl() const { return fPageControl; }
    void SetPageControl(TPageControl* value);
    void SetParent(TWinControl* AParent) override;
    int PageIndex() const;
    void SetPageIndex(int value);
    bool TabVisible() const { return fTabVisible; }
    void SetTabVisible(bool value);
    // The index among the visible tabs, or -1.
    int TabIndex() const;
    int ImageIndex() const { return fImageIndex; }
    void SetImageIndex(int value) { fImageIndex = value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void CMTextChanged(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* fPageControl = nullptr;
    bool fTabVisible = true;
    int fImageIndex = -1;
};

// Tabs on top, a raised frame round the pages. A tab chosen by the user
// asks OnChanging (which may refuse) and then fires OnChange; setting
// ActivePage in code fires neither.
class TPageControl : public TWinControl
{
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    QString ClassName() const override { return QStringLiteral("TPageControl"); }

    int PageCount() const { return int(fPages.size()); }
    TTabSheet* Pages(int index) const { return fPages.at(index); }
    TTabSheet* ActivePage() const { return fActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int value);
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward);
    // The area of the pages, as TCM_ADJUSTRECT gives it.
    QRect DisplayRect();
    // The index among visible tabs of the active page.
    int TabIndex() const;

    void WndProc(TMessage& Message) override;
    void PaintSelf(QPainter& painter) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

    // --- what the widget calls ---
    void WidgetTabChanged(int tabIndex);

protected:
    virtual bool CanChange();
    virtual void Change();
    void WMSize(TMessage& Message) override;
    void FontChanged() override;
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    // Arrows turn the pages, as the user's choice.
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void CMDialogKey(TMessage& Message) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    // Rebuilds the tab bar from the visible tabs and lays the pages out.
    void UpdateTabs();
    void LayoutPages();
    int TabBarHeight() const;

    QTabBar* fTabBar = nullptr;
    QList<TTabSheet*> fPages;
    QList<TTabSheet*> fTabPages; // pages with a tab, in tab order
    TTabSheet* fActivePage = nullptr;
    bool fUpdating = false;
};

// ---------------------------------------------------------------------------
// Tab set

using TTabChangeEvent = std::function<void(TObject* Sender, int NewTab, bool& AllowChange)>;

// A row of tabs hanging from a line (as under a sheet of paper). Choosing a
// tab, by the user or by setting TabIndex, asks OnChange (which may refuse)
// and then fires OnClick.
class TTabSet : public TWinControl
{
public:
    explicit TTabSet(TComponent* AOwner);
    ~TTabSet() override;
    QString ClassName() const override { return QStringLiteral("TTabSet"); }

    TControlItems* Tabs() { return &fTabs; }
    int TabIndex() const { return fTabIndex; }
    void SetTabIndex(int value);

    TTabChangeEvent OnChange;

    // --- what the widget calls ---
    void WidgetCurrentChanged(int index);

protected:
    virtual bool CanChange(int NewIndex);
    void ApplyWidgetStyle() override;

private:
    void TabsChanged(TItemsChange change, int index);
    void SyncWidgetIndex();

    TControlItems fTabs;
    int fTabIndex = -1;
    bool fUpdating = false;
};
