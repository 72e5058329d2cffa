#include "menus.h"

#include <QAction>
#include <QMenu>

#include <functional>

namespace {

TPopupMenuHandler& Handler()
{
    static TPopupMenuHandler handler;
    return handler;
}

void BuildMenu(QMenu& menu, TMenuItem* parent, TMenuItem** chosen)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible())
            continue;
        if (item->IsLine()) {
            menu.addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            QMenu* sub = menu.addMenu(item->Caption());
            sub->setEnabled(item->Enabled());
            BuildMenu(*sub, item, chosen);
            continue;
        }
        QAction* action = menu.addAction(item->Caption());
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        QObject::connect(action, &QAction::triggered, [item, chosen] { *chosen = item; });
    }
}

TMenuItem* RunQMenu(TPopupMenu* popup, QPoint at)
{
    QMenu menu;
    TMenuItem* chosen = nullptr;
    BuildMenu(menu, popup->Items(), &chosen);
    QPoint pos = at;
    const QSize size = menu.sizeHint();
    if (popup->Alignment() == paRight)
        pos.rx() -= size.width();
    else if (popup->Alignment() == paCenter)
        pos.rx() -= size.width() / 2;
    menu.exec(pos);
    return chosen;
}

} // namespace

void SetPopupMenuHandler(TPopupMenuHandler handler)
{
    Handler() = std::move(handler);
}

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* AOwner)
    : TComponent(AOwner)
{
}

TMenuItem::~TMenuItem()
{
    Clear();
    if (fParentItem)
        fParentItem->fItems.removeAll(this);
}

void TMenuItem::Add(TMenuItem* item)
{
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (item->fParentItem)
        item->fParentItem->Remove(item);
    item->fParentItem = this;
    fItems.insert(std::clamp(index, 0, Count()), item);
}

void TMenuItem::Remove(TMenuItem* item)
{
    if (fItems.removeAll(item))
        item->fParentItem = nullptr;
}

void TMenuItem::Delete(int index)
{
    TMenuItem* item = fItems.at(index);
    fItems.removeAt(index);
    item->fParentItem = nullptr;
    delete item;
}

void TMenuItem::Clear()
{
    while (!fItems.isEmpty())
        Delete(Count() - 1);
}

TPopupMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* root = this;
    while (root->fParentItem)
        root = root->fParentItem;
    return root->fMenu;
}

void TMenuItem::Click()
{
    if (fEnabled && OnClick)
        OnClick(this);
}

// --- TPopupMenu ---

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner)
    , fItems(new TMenuItem(nullptr))
{
    fItems->fMenu = this;
}

TPopupMenu::~TPopupMenu()
{
    delete fItems;
}

void TPopupMenu::Popup(int X, int Y)
{
    fPopupPoint = QPoint(X, Y);
    if (OnPopup)
        OnPopup(this);
    TMenuItem* chosen = Handler() ? Handler()(this, fPopupPoint) : RunQMenu(this, fPopupPoint);
    if (chosen)
        chosen->Click();
}
