#include "comctrls.h"

#include "platform/core/sysutils.h"
#include "platform/gui/stdctrls_p.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTreeWidget>

#include <algorithm>
#include <set>

using stdctrls_p::TFlagScope;
using stdctrls_p::TPainterScope;

namespace {

// A row of the view that knows its item; sorting compares precomputed ranks,
// so no caller code runs inside Qt's sort.
class TListViewRow : public QTreeWidgetItem
{
public:
    explicit TListViewRow(TListItem* item)
        : QTreeWidgetItem(QTreeWidgetItem::UserType)
        , Item(item)
    {
    }
    bool operator<(const QTreeWidgetItem& other) const override
    {
        return Rank < static_cast<const TListViewRow&>(other).Rank;
    }
    TListItem* Item;
    int Rank = 0;
};

class TListViewHost : public TViewHost<QTreeWidget>
{
public:
    using TViewHost<QTreeWidget>::TViewHost;
    using QTreeWidget::indexFromItem;
    TCustomListView* ListView() const { return static_cast<TCustomListView*>(Control()); }
};

TListViewHost* TreeOf(const TCustomListView* view)
{
    return view ? static_cast<TListViewHost*>(view->Handle()) : nullptr;
}

Qt::Alignment ToQtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QIcon ImageIcon(const TImageList* images, int index)
{
    if (!images || index < 0 || index >= images->Count())
        return QIcon();
    return QIcon(QPixmap::fromImage(images->Image(index)));
}

// Draws the cells: column alignment, the item's small image (its place kept
// when it has none), selection only in the first column without RowSelect,
// and grid lines.
class TListViewDelegate : public QStyledItemDelegate
{
public:
    explicit TListViewDelegate(TListViewHost* host)
        : QStyledItemDelegate(host)
        , fHost(host)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        TCustomListView* view = fHost->ListView();
        if (!view)
            return;
        const int column = index.column();
        if (column > 0 && column < view->Columns()->Count())
            option->displayAlignment = ToQtAlignment(view->Columns()->Items(column)->Alignment());
        if (column == 0) {
            option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
            if (TImageList* images = view->SmallImages(); images && index.row() < view->Items()->Count()) {
                const TListItem* item = view->Items()->Item(index.row());
                QIcon icon = ImageIcon(images, item->ImageIndex());
                if (icon.isNull()) {
                    QPixmap blank(images->Width(), images->Height());
                    blank.fill(Qt::transparent);
                    icon = QIcon(blank);
                }
                option->features |= QStyleOptionViewItem::HasDecoration;
                option->icon = icon;
                option->decorationSize = QSize(images->Width(), images->Height());
            }
        }
        if (!view->RowSelect() && column > 0)
            option->state &= ~QStyle::State_Selected;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        TCustomListView* view = fHost->ListView();
        if (!view || !view->GridLines())
            return;
        painter->save();
        painter->setPen(ToQColor(clBtnFace));
        const QRect r = option.rect;
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }

private:
    TListViewHost* fHost;
};

QList<int> RowsOf(const QItemSelection& selection)
{
    std::set<int> rows;
    for (const QItemSelectionRange& range : selection)
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.insert(r);
    return QList<int>(rows.begin(), rows.end());
}

} // namespace

// --- TListColumn / TListColumns ---

void TListColumn::SetCaption(const QString& value)
{
    fCaption = value;
    fView->UpdateColumns();
}

void TListColumn::SetWidth(int value)
{
    fWidth = std::max(0, value);
    fView->UpdateColumns();
}

void TListColumn::SetAlignment(TAlignment value)
{
    fAlignment = value;
    fView->UpdateColumns();
}

void TListColumn::SetImageIndex(int value)
{
    fImageIndex = value;
    fView->UpdateColumns();
}

void TListColumn::SetMinWidth(int value)
{
    fMinWidth = std::max(0, value);
    fView->UpdateColumns();
}

void TListColumn::SetMaxWidth(int value)
{
    fMaxWidth = std::max(0, value);
    fView->UpdateColumns();
}

int TListColumn::Index() const
{
    return fView->Columns()->IndexOf(this);
}

TListColumns::~TListColumns()
{
    qDeleteAll(fColumns);
}

TListColumn* TListColumns::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return fColumns[index];
}

TListColumn* TListColumns::Add()
{
    auto* column = new TListColumn(fView);
    fColumns.append(column);
    fView->UpdateColumns();
    return column;
}

void TListColumns::Delete(int index)
{
    delete Items(index);
    fColumns.removeAt(index);
    fView->UpdateColumns();
}

void TListColumns::Clear()
{
    qDeleteAll(fColumns);
    fColumns.clear();
    fView->UpdateColumns();
}

// --- TSubItems ---

const QString& TSubItems::Strings(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return fStrings[index];
}

void TSubItems::SetString(int index, const QString& value)
{
    Strings(index);
    fStrings[index] = value;
    fItem->UpdateRow();
}

int TSubItems::Add(const QString& s)
{
    fStrings.append(s);
    fItem->UpdateRow();
    return Count() - 1;
}

void TSubItems::Insert(int index, const QString& s)
{
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    fStrings.insert(index, s);
    fItem->UpdateRow();
}

void TSubItems::Delete(int index)
{
    Strings(index);
    fStrings.removeAt(index);
    fItem->UpdateRow();
}

void TSubItems::Clear()
{
    fStrings.clear();
    fItem->UpdateRow();
}

void TSubItems::Assign(const QStringList& list)
{
    fStrings = list;
    fItem->UpdateRow();
}

// --- TListItem ---

TListItem::TListItem(TListItems* owner)
    : fOwner(owner)
{
}

TListItem::~TListItem()
{
    if (QTreeWidgetItem* row = std::exchange(fRow, nullptr)) {
        TCustomListView* view = ListView();
        ++view->fQuiet;
        delete row;
        --view->fQuiet;
    }
}

TCustomListView* TListItem::ListView() const
{
    return fOwner->fView;
}

void TListItem::UpdateRow()
{
    if (!fRow)
        return;
    fRow->setText(0, fCaption);
    const int columns = std::max(fRow->columnCount(), int(fSubItems.Count()) + 1);
    for (int i = 1; i < columns; ++i)
        fRow->setText(i, i - 1 < fSubItems.Count() ? fSubItems.fStrings[i - 1] : QString());
}

void TListItem::SetCaption(const QString& value)
{
    if (value == fCaption)
        return;
    fCaption = value;
    UpdateRow();
    ListView()->ItemChanged(this, true, false);
}

void TListItem::SetImageIndex(int value)
{
    fImageIndex = value;
    if (TListViewHost* tree = TreeOf(ListView()))
        tree->viewport()->update();
}

void TListItem::SetData(qintptr value)
{
    if (value == fData)
        return;
    fData = value;
    ListView()->ItemChanged(this, false, true);
}

bool TListItem::Selected() const
{
    return fRow && fRow->isSelected();
}

void TListItem::SetSelected(bool value)
{
    TListViewHost* tree = TreeOf(ListView());
    if (!tree || !fRow || value == Selected())
        return;
    const QModelIndex index = tree->indexFromItem(fRow);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Rows;
    if (!value)
        flags |= QItemSelectionModel::Deselect;
    else if (ListView()->MultiSelect())
        flags |= QItemSelectionModel::Select;
    else
        flags |= QItemSelectionModel::ClearAndSelect;
    tree->selectionModel()->select(index, flags);
}

bool TListItem::Focused() const
{
    TListViewHost* tree = TreeOf(ListView());
    return tree && fRow && tree->currentItem() == fRow;
}

void TListItem::SetFocused(bool value)
{
    TListViewHost* tree = TreeOf(ListView());
    if (!tree || !fRow)
        return;
    if (value)
        tree->selectionModel()->setCurrentIndex(tree->indexFromItem(fRow), QItemSelectionModel::NoUpdate);
    else if (tree->currentItem() == fRow)
        tree->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void TListItem::MakeVisible(bool)
{
    if (TListViewHost* tree = TreeOf(ListView()); tree && fRow)
        tree->scrollToItem(fRow, QAbstractItemView::EnsureVisible);
}

int TListItem::Index() const
{
    return fOwner->IndexOf(this);
}

void TListItem::Delete()
{
    fOwner->Delete(Index());
}

// --- TListItems ---

TListItems::~TListItems()
{
    qDeleteAll(fItems);
}

TListItem* TListItems::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return fItems[index];
}

TListItem* TListItems::Add()
{
    return Insert(Count());
}

TListItem* TListItems::Insert(int index)
{
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    auto* item = new TListItem(this);
    fItems.insert(index, item);
    if (TListViewHost* tree = TreeOf(fView)) {
        auto* row = new TListViewRow(item);
        item->fRow = row;
        tree->insertTopLevelItem(index, row);
        item->UpdateRow();
    }
    return item;
}

void TListItems::Delete(int index)
{
    TListItem* item = Item(index);
    fView->Delete(item);
    fItems.removeOne(item);
    delete item;
}

void TListItems::Clear()
{
    BeginUpdate();
    for (TListItem* item : QList<TListItem*>(fItems))
        fView->Delete(item);
    const QList<TListItem*> items = std::exchange(fItems, {});
    if (TListViewHost* tree = TreeOf(fView)) {
        ++fView->fQuiet;
        tree->clear();
        // An emptied list starts again at its top, as a list control does.
        tree->verticalScrollBar()->setValue(0);
        tree->horizontalScrollBar()->setValue(0);
        --fView->fQuiet;
    }
    for (TListItem* item : items) {
        item->fRow = nullptr; // deleted with the tree's rows
        delete item;
    }
    EndUpdate();
}

void TListItems::BeginUpdate()
{
    if (fUpdateCount++ == 0)
        if (TListViewHost* tree = TreeOf(fView))
            tree->setUpdatesEnabled(false);
}

void TListItems::EndUpdate()
{
    if (fUpdateCount > 0 && --fUpdateCount == 0)
        if (TListViewHost* tree = TreeOf(fView))
            tree->setUpdatesEnabled(true);
}

// --- TCustomListView ---

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner, [](TWinControl* self) -> QWidget* { return new TListViewHost(self); })
{
    TListViewHost* tree = TreeOf(this);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setIndentation(0);
    tree->setUniformRowHeights(true);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setItemDelegate(new TListViewDelegate(tree));
    tree->setColumnCount(1);
    QHeaderView* header = tree->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ConnectGuardedFrom(tree, tree->selectionModel(), &QItemSelectionModel::selectionChanged,
        [this](const QItemSelection& selected, const QItemSelection& deselected) {
            WidgetSelectionChanged(RowsOf(selected), RowsOf(deselected));
        });
    ConnectGuardedFrom(
        tree, header, &QHeaderView::sectionClicked, [this](int section) { WidgetColumnClicked(section); });
    ConnectGuardedFrom(tree, header, &QHeaderView::sectionResized, [this](int section, int, int size) {
        if (fQuiet == 0 && section < fColumns.Count())
            fColumns.Items(section)->fWidth = size;
    });
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 250, 150);
    UpdateColumns();
    ApplyWidgetStyle();
}

TCustomListView::~TCustomListView()
{
    TListViewHost* tree = TreeOf(this);
    if (tree)
        DetachHost(tree);
    ++fQuiet;
    const QList<TListItem*> items = std::exchange(fItems.fItems, {});
    if (tree)
        tree->clear();
    for (TListItem* item : items) {
        item->fRow = nullptr;
        delete item;
    }
}

void TCustomListView::UpdateColumns()
{
    TListViewHost* tree = TreeOf(this);
    if (!tree)
        return;
    ++fQuiet;
    const int count = std::max(1, fColumns.Count());
    tree->setColumnCount(count);
    QTreeWidgetItem* header = tree->headerItem();
    for (int i = 0; i < count; ++i) {
        const TListColumn* column = i < fColumns.Count() ? fColumns.Items(i) : nullptr;
        header->setText(i, column ? column->Caption() : QString());
        header->setTextAlignment(i, ToQtAlignment(column ? column->Alignment() : taLeftJustify));
        header->setIcon(i, column ? ImageIcon(fSmallImages, column->ImageIndex()) : QIcon());
        if (!column)
            continue;
        const bool fixed = column->MinWidth() > 0 && column->MinWidth() == column->MaxWidth();
        tree->header()->setSectionResizeMode(i, fixed ? QHeaderView::Fixed : QHeaderView::Interactive);
        tree->header()->resizeSection(i, column->Width());
    }
    --fQuiet;
}

void TCustomListView::SetSmallImages(TImageList* value)
{
    fSmallImages = value;
    if (TListViewHost* tree = TreeOf(this)) {
        tree->setIconSize(value ? QSize(value->Width(), value->Height()) : QSize());
        tree->viewport()->update();
    }
    UpdateColumns();
}

void TCustomListView::SetRowSelect(bool value)
{
    fRowSelect = value;
    if (TListViewHost* tree = TreeOf(this)) {
        tree->setAllColumnsShowFocus(value);
        tree->viewport()->update();
    }
}

void TCustomListView::SetHideSelection(bool value)
{
    fHideSelection = value;
    ApplyWidgetStyle();
}

void TCustomListView::SetGridLines(bool value)
{
    fGridLines = value;
    if (TListViewHost* tree = TreeOf(this))
        tree->viewport()->update();
}

void TCustomListView::SetMultiSelect(bool value)
{
    fMultiSelect = value;
    if (TListViewHost* tree = TreeOf(this))
        tree->setSelectionMode(value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TCustomListView::SetShowColumnHeaders(bool value)
{
    fShowColumnHeaders = value;
    if (TListViewHost* tree = TreeOf(this))
        tree->setHeaderHidden(!value);
}

void TCustomListView::SetColumnClick(bool value)
{
    fColumnClick = value;
    if (TListViewHost* tree = TreeOf(this))
        tree->header()->setSectionsClickable(value);
}

void TCustomListView::SetBorderStyle(TBorderStyle value)
{
    fBorderStyle = value;
    if (TListViewHost* tree = TreeOf(this))
        tree->setFrameShape(value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

TListItem* TCustomListView::Selected() const
{
    for (TListItem* item : fItems.fItems)
        if (item->Selected())
            return item;
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* value)
{
    if (value) {
        value->SetSelected(true);
    } else if (TListViewHost* tree = TreeOf(this)) {
        tree->clearSelection();
    }
}

int TCustomListView::SelCount() const
{
    return int(std::count_if(fItems.fItems.begin(), fItems.fItems.end(), [](TListItem* i) { return i->Selected(); }));
}

TListItem* TCustomListView::ItemFocused() const
{
    TListViewHost* tree = TreeOf(this);
    if (!tree)
        return nullptr;
    auto* row = static_cast<TListViewRow*>(tree->currentItem());
    return row ? row->Item : nullptr;
}

void TCustomListView::SetItemFocused(TListItem* value)
{
    if (value) {
        value->SetFocused(true);
    } else if (TListItem* focused = ItemFocused()) {
        focused->SetFocused(false);
    }
}

TListItem* TCustomListView::GetItemAt(int X, int Y) const
{
    TListViewHost* tree = TreeOf(this);
    if (!tree)
        return nullptr;
    auto* row = static_cast<TListViewRow*>(tree->itemAt(X, Y));
    return row ? row->Item : nullptr;
}

TListItem* TCustomListView::TopItem() const
{
    return GetItemAt(1, 1);
}

void TCustomListView::SetSortType(TSortType value)
{
    if (value == fSortType)
        return;
    fSortType = value;
    if (value != stNone)
        AlphaSort();
}

bool TCustomListView::AlphaSort()
{
    return CustomSort(nullptr, 0);
}

int TCustomListView::Compare(TListItem* a, TListItem* b, const TLVCompare& proc, qintptr data)
{
    if (proc)
        return proc(a, b, data);
    if (OnCompare) {
        int result = 0;
        OnCompare(this, a, b, data, result);
        return result;
    }
    if (fSortType == stData)
        return a->Data() < b->Data() ? -1 : a->Data() > b->Data() ? 1 : 0;
    return a->Caption().localeAwareCompare(b->Caption());
}

bool TCustomListView::CustomSort(const TLVCompare& SortProc, qintptr Data)
{
    // The order is found first (the caller's compare may raise), then applied.
    QList<TListItem*> order = fItems.fItems;
    std::stable_sort(
        order.begin(), order.end(), [&](TListItem* a, TListItem* b) { return Compare(a, b, SortProc, Data) < 0; });
    TListViewHost* tree = TreeOf(this);
    if (tree) {
        for (int i = 0; i < order.size(); ++i)
            if (order[i]->fRow)
                static_cast<TListViewRow*>(order[i]->fRow)->Rank = i;
        ++fQuiet;
        tree->sortItems(0, Qt::AscendingOrder);
        --fQuiet;
    }
    fItems.fItems = order;
    return true;
}

void TCustomListView::ItemChanged(TListItem* item, bool textChanged, bool dataChanged)
{
    if ((textChanged && (fSortType == stText || fSortType == stBoth))
        || (dataChanged && (fSortType == stData || fSortType == stBoth)))
        AlphaSort();
    if (textChanged)
        Change(item, ctText);
}

void TCustomListView::WidgetSelectionChanged(const QList<int>& selectedRows, const QList<int>& deselectedRows)
{
    if (fQuiet > 0)
        return;
    const std::weak_ptr<bool> alive = AliveToken();
    // Items are looked up before any handler runs, as handlers may change the list.
    QList<TListItem*> deselected, selected;
    for (int row : deselectedRows)
        if (row < fItems.Count())
            deselected.append(fItems.fItems[row]);
    for (int row : selectedRows)
        if (row < fItems.Count())
            selected.append(fItems.fItems[row]);
    for (TListItem* item : deselected) {
        if (alive.expired() || !fItems.fItems.contains(item))
            return;
        DoSelectItem(item, false);
        if (!alive.expired() && fItems.fItems.contains(item))
            Change(item, ctState);
    }
    for (TListItem* item : selected) {
        if (alive.expired() || !fItems.fItems.contains(item))
            return;
        DoSelectItem(item, true);
        if (!alive.expired() && fItems.fItems.contains(item))
            Change(item, ctState);
    }
}

void TCustomListView::WidgetColumnClicked(int section)
{
    if (fColumnClick && section >= 0 && section < fColumns.Count())
        ColumnClick(fColumns.Items(section));
}

void TCustomListView::ColumnClick(TListColumn* Column)
{
    if (OnColumnClick)
        OnColumnClick(this, Column);
}

void TCustomListView::Change(TListItem* Item, TItemChange Change)
{
    if (OnChange)
        OnChange(this, Item, Change);
}

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected)
{
    if (OnSelectItem)
        OnSelectItem(this, Item, Selected);
}

void TCustomListView::Delete(TListItem* Item)
{
    if (OnDeletion)
        OnDeletion(this, Item);
}

bool TCustomListView::WantsKey(quint16 Key, TShiftState Shift) const
{
    return IsNavigationKey(Key) || TWinControl::WantsKey(Key, Shift);
}

void TCustomListView::ApplyWidgetStyle()
{
    QWidget* w = Handle();
    if (!w)
        return;
    ApplyControlPalette(w, this, QPalette::Base, QPalette::Text);
    ApplySelectionPalette(w, this, fHideSelection ? TInactiveSelection::Hidden : TInactiveSelection::Grey);
}

// --- TTabSheet ---

TTabSheet::TTabSheet(TComponent* AOwner)
    : TWinControl(AOwner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls | csNoDesignVisible);
    TWinControl::SetVisible(false);
}

TTabSheet::~TTabSheet()
{
    if (fPageControl)
        fPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* value)
{
    if (value == fPageControl)
        return;
    if (fPageControl)
        fPageControl->RemovePage(this);
    fPageControl = value;
    if (Parent() != value)
        TWinControl::SetParent(value);
    if (value)
        value->InsertPage(this);
}

void TTabSheet::SetParent(TWinControl* AParent)
{
    if (auto* pages = dynamic_cast<TPageControl*>(AParent)) {
        SetPageControl(pages);
        return;
    }
    if (fPageControl) {
        TPageControl* old = std::exchange(fPageControl, nullptr);
        old->RemovePage(this);
    }
    TWinControl::SetParent(AParent);
}

int TTabSheet::PageIndex() const
{
    return fPageControl ? int(fPageControl->fPages.indexOf(const_cast<TTabSheet*>(this))) : -1;
}

void TTabSheet::SetPageIndex(int value)
{
    if (!fPageControl)
        return;
    QList<TTabSheet*>& pages = fPageControl->fPages;
    pages.removeAll(this);
    pages.insert(std::clamp<qsizetype>(value, 0, pages.size()), this);
    fPageControl->UpdateTabs();
}

void TTabSheet::SetTabVisible(bool value)
{
    if (value == fTabVisible)
        return;
    fTabVisible = value;
    if (fPageControl)
        fPageControl->UpdateTabs();
}

int TTabSheet::TabIndex() const
{
    return fPageControl ? int(fPageControl->fTabPages.indexOf(const_cast<TTabSheet*>(this))) : -1;
}

void TTabSheet::CMTextChanged(TMessage& Message)
{
    TWinControl::CMTextChanged(Message);
    if (fPageControl)
        fPageControl->UpdateTabs();
}

// --- TPageControl ---

TPageControl::TPageControl(TComponent* AOwner)
    : TWinControl(AOwner)
{
    fTabBar = new QTabBar(Handle());
    fTabBar->setDrawBase(false);
    fTabBar->setExpanding(false);
    fTabBar->setUsesScrollButtons(true);
    fTabBar->setFocusPolicy(Qt::NoFocus);
    fTabBar->hide();
    auto* host = static_cast<THost<QWidget>*>(Handle());
    ConnectGuardedFrom(host, fTabBar, &QTabBar::currentChanged, [this](int index) { WidgetTabChanged(index); });
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
    fTabBar->setFont(Font()->ToQFont());
}

TPageControl::~TPageControl()
{
    if (Handle())
        DetachHost(Handle());
    // The pages die with the control's children; they must not call back.
    for (TTabSheet* page : fPages)
        page->fPageControl = nullptr;
    fPages.clear();
    fTabPages.clear();
    fActivePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* page)
{
    if (fPages.contains(page))
        return;
    fPages.append(page);
    if (!fActivePage)
        SetActivePage(page);
    else
        page->SetVisible(false);
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    TTabSheet* next = nullptr;
    if (fActivePage == page) {
        next = FindNextPage(page, true, false);
        if (next == page)
            next = nullptr;
    }
    fPages.removeAll(page);
    page->fPageControl = nullptr;
    if (fActivePage == page) {
        fActivePage = nullptr;
        SetActivePage(next);
    }
    UpdateTabs();
}

int TPageControl::TabBarHeight() const
{
    return fTabPages.isEmpty() ? 0 : fTabBar->sizeHint().height();
}

void TPageControl::UpdateTabs()
{
    {
        TFlagScope scope(fUpdating);
        fTabPages.clear();
        for (TTabSheet* page : fPages)
            if (page->TabVisible())
                fTabPages.append(page);
        while (fTabBar->count() > fTabPages.size())
            fTabBar->removeTab(fTabBar->count() - 1);
        while (fTabBar->count() < fTabPages.size())
            fTabBar->addTab(QString());
        for (int i = 0; i < fTabPages.size(); ++i)
            fTabBar->setTabText(i, fTabPages[i]->Caption());
        const int current = int(fTabPages.indexOf(fActivePage));
        if (current >= 0)
            fTabBar->setCurrentIndex(current);
    }
    LayoutPages();
    Invalidate();
}

QRect TPageControl::DisplayRect()
{
    QRect rect = ClientRect();
    Perform(TCM_ADJUSTRECT, 0, qintptr(&rect));
    return rect;
}

void TPageControl::WndProc(TMessage& Message)
{
    if (Message.Msg == TCM_ADJUSTRECT) {
        auto* rect = reinterpret_cast<QRect*>(Message.LParam);
        // Inside the raised frame, below the tabs.
        *rect = rect->adjusted(4, TabBarHeight() + 4, -4, -4);
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
}

void TPageControl::LayoutPages()
{
    if (fTabPages.isEmpty()) {
        fTabBar->hide();
    } else {
        fTabBar->setGeometry(2, 0, std::min(fTabBar->sizeHint().width(), std::max(0, Width() - 4)), TabBarHeight());
        fTabBar->show();
        fTabBar->raise();
    }
    const QRect rect = DisplayRect();
    for (TTabSheet* page : fPages)
        page->SetBounds(rect.left(), rect.top(), std::max(0, rect.width()), std::max(0, rect.height()));
}

void TPageControl::PaintSelf(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
    TPainterScope binding(Canvas(), &painter);
    QRect frame = ClientRect().adjusted(0, TabBarHeight(), 0, 0);
    DrawEdge(*Canvas(), frame, EDGE_RAISED, BF_RECT);
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->fPageControl != this)
        return;
    if (page == fActivePage)
        return;
    TTabSheet* old = fActivePage;
    fActivePage = page;
    if (page) {
        const QRect rect = DisplayRect();
        page->SetBounds(rect.left(), rect.top(), std::max(0, rect.width()), std::max(0, rect.height()));
        page->SetVisible(true);
        BringControlToFront(page);
    }
    if (old)
        old->SetVisible(false);
    {
        TFlagScope scope(fUpdating);
        const int current = int(fTabPages.indexOf(page));
        if (current >= 0)
            fTabBar->setCurrentIndex(current);
    }
    if (page && page->OnShow)
        page->OnShow(page);
    if (old && old->OnHide)
        old->OnHide(old);
}

int TPageControl::ActivePageIndex() const
{
    return fActivePage ? int(fPages.indexOf(fActivePage)) : -1;
}

void TPageControl::SetActivePageIndex(int value)
{
    SetActivePage(value >= 0 && value < fPages.size() ? fPages[value] : nullptr);
}

int TPageControl::TabIndex() const
{
    return int(fTabPages.indexOf(fActivePage));
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const
{
    const int n = int(fPages.size());
    if (n == 0)
        return nullptr;
    int start = int(fPages.indexOf(CurPage));
    if (start < 0)
        start = GoForward ? n - 1 : 0;
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        if (!CheckTabVisible || fPages[i]->TabVisible())
            return fPages[i];
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward)
{
    TTabSheet* page = FindNextPage(fActivePage, GoForward, true);
    if (!page || page == fActivePage || !CanChange())
        return;
    SetActivePage(page);
    Change();
}

void TPageControl::WidgetTabChanged(int tabIndex)
{
    if (fUpdating)
        return;
    TTabSheet* page = fTabPages.value(tabIndex);
    if (!page || page == fActivePage)
        return;
    if (!CanChange()) {
        TFlagScope scope(fUpdating);
        const int current = int(fTabPages.indexOf(fActivePage));
        if (current >= 0)
            fTabBar->setCurrentIndex(current);
        return;
    }
    SetActivePage(page);
    Change();
}

bool TPageControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TPageControl::Change()
{
    if (OnChange)
        OnChange(this);
}

void TPageControl::WMSize(TMessage& Message)
{
    TWinControl::WMSize(Message);
    LayoutPages();
}

void TPageControl::FontChanged()
{
    TWinControl::FontChanged();
    if (fTabBar) {
        fTabBar->setFont(Font()->ToQFont());
        UpdateTabs();
    }
}

bool TPageControl::WantsKey(quint16 Key, TShiftState Shift) const
{
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return true;
    default: return TWinControl::WantsKey(Key, Shift);
    }
}

void TPageControl::KeyDown(quint16& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    if (Key == VK_LEFT || Key == VK_UP) {
        SelectNextPage(false);
        Key = 0;
    } else if (Key == VK_RIGHT || Key == VK_DOWN) {
        SelectNextPage(true);
        Key = 0;
    }
}

void TPageControl::CMDialogKey(TMessage& Message)
{
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages while the focus is inside.
    const TShiftState shift = TShiftState(Message.LParam);
    if (Message.WParam != VK_TAB || !(shift & ssCtrl) || !Handle())
        return;
    QWidget* focus = QApplication::focusWidget();
    if (!focus || (focus != Handle() && !Handle()->isAncestorOf(focus)))
        return;
    SelectNextPage(!(shift & ssShift));
    Message.Result = 1;
}

// --- TTabSet ---

namespace {

class TTabSetHost : public THost<QTabBar>
{
public:
    using THost<QTabBar>::THost;
};

} // namespace

TTabSet::TTabSet(TComponent* AOwner)
    : TWinControl(AOwner, [](TWinControl* self) -> QWidget* { return new TTabSetHost(self); })
{
    auto* bar = static_cast<TTabSetHost*>(Handle());
    bar->setShape(QTabBar::RoundedSouth);
    bar->setExpanding(false);
    bar->setDrawBase(true);
    fTabs.fOnChange = [this](TItemsChange change, int index) { TabsChanged(change, index); };
    ConnectGuarded(bar, &QTabBar::currentChanged, [this](int index) { WidgetCurrentChanged(index); });
    // The click comes with choosing a tab, not with a mouse release.
    SetControlStyle(csCaptureMouse | csDoubleClicks | csOpaque);
    SetTabStop(false);
    bar->setFocusPolicy(Qt::NoFocus);
    SetBounds(0, 0, 185, 21);
    ApplyWidgetStyle();
}

TTabSet::~TTabSet()
{
    if (Handle())
        DetachHost(Handle());
    fTabs.fOnChange = nullptr;
}

void TTabSet::TabsChanged(TItemsChange change, int index)
{
    auto* bar = static_cast<QTabBar*>(Handle());
    {
        TFlagScope scope(fUpdating);
        switch (change) {
        case TItemsChange::Inserted:
            if (bar)
                bar->insertTab(index, fTabs.Strings(index));
            break;
        case TItemsChange::Deleted:
            if (bar)
                bar->removeTab(index);
            if (fTabIndex >= fTabs.Count())
                fTabIndex = fTabs.Count() - 1;
            break;
        case TItemsChange::Changed:
            if (bar)
                bar->setTabText(index, fTabs.Strings(index));
            break;
        case TItemsChange::Cleared:
            if (bar)
                while (bar->count() > 0)
                    bar->removeTab(0);
            fTabIndex = -1;
            break;
        }
    }
    SyncWidgetIndex();
}

void TTabSet::SyncWidgetIndex()
{
    auto* bar = static_cast<QTabBar*>(Handle());
    if (!bar || fTabIndex < 0 || fTabIndex >= bar->count())
        return;
    TFlagScope scope(fUpdating);
    bar->setCurrentIndex(fTabIndex);
}

void TTabSet::SetTabIndex(int value)
{
    if (value == fTabIndex)
        return;
    if (value < -1 || value >= fTabs.Count())
        throw EListError(QStringLiteral("Tab index out of bounds (%1)").arg(value));
    if (!CanChange(value)) {
        SyncWidgetIndex();
        return;
    }
    fTabIndex = value;
    SyncWidgetIndex();
    Invalidate();
    Click();
}

bool TTabSet::CanChange(int NewIndex)
{
    bool allow = true;
    if (OnChange)
        OnChange(this, NewIndex, allow);
    return allow;
}

void TTabSet::WidgetCurrentChanged(int index)
{
    if (fUpdating)
        return;
    // Qt has switched already; the control decides.
    SyncWidgetIndex();
    if (index >= 0 && index < fTabs.Count())
        SetTabIndex(index);
}

void TTabSet::ApplyWidgetStyle()
{
    if (QWidget* w = Handle())
        ApplyControlPalette(w, this, QPalette::Window, QPalette::WindowText);
}
