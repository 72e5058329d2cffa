#include "classes.h"

#include "sysutils.h"

TFiler::~TFiler() = default;

TPersistent::~TPersistent() = default;

const TPropList& TPersistent::Properties() const
{
    static const TPropList none;
    return none;
}

void TPersistent::DefineProperties(TFiler&) {}

const TPropInfo* TPersistent::FindProperty(const QString& name) const
{
    for (const TPropInfo& p : Properties())
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

// --- TCollectionItem ---

TCollectionItem::~TCollectionItem()
{
    if (fCollection)
        fCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* value)
{
    if (value == fCollection)
        return;
    if (fCollection)
        fCollection->RemoveItem(this);
    if (value)
        value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    return fCollection ? int(fCollection->fItems.indexOf(const_cast<TCollectionItem*>(this))) : -1;
}

TPersistent* TCollectionItem::GetOwner() const
{
    return fCollection;
}

// --- TCollection ---

TCollection::~TCollection()
{
    fUpdateCount = 1; // no Update calls into a half-destroyed subclass
    while (!fItems.isEmpty())
        delete fItems.last();
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return fItems[index];
}

TCollectionItem* TCollection::Add()
{
    // The item is fully constructed before the collection is told about it,
    // so Notify may read its fields.
    TCollectionItem* item = CreateItem();
    InsertItem(item);
    return item;
}

TCollectionItem* TCollection::FindItemID(int id) const
{
    for (TCollectionItem* item : fItems)
        if (item->fID == id)
            return item;
    return nullptr;
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = Items(index);
    Notify(item, TCollectionNotification::cnDeleting);
    delete item;
}

void TCollection::Clear()
{
    if (fItems.isEmpty())
        return;
    BeginUpdate();
    while (!fItems.isEmpty())
        delete fItems.last();
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (fUpdateCount > 0 && --fUpdateCount == 0)
        Changed();
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed()
{
    if (fUpdateCount == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item)
{
    fItems.append(item);
    item->fCollection = this;
    item->fID = fNextID++;
    Notify(item, TCollectionNotification::cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    Notify(item, TCollectionNotification::cnExtracting);
    // Clearing and freeing take the last item, moving every item over takes
    // the first: neither may search the whole list, or emptying it is quadratic.
    if (!fItems.isEmpty() && fItems.last() == item)
        fItems.removeLast();
    else
        fItems.removeOne(item);
    item->fCollection = nullptr;
    Changed();
}

// --- TComponent ---

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    while (!fComponents.isEmpty()) {
        TComponent* child = fComponents.takeLast();
        child->fOwner = nullptr;
        delete child;
    }
    if (fOwner)
        fOwner->RemoveComponent(this);
}

const TPropList& TComponent::Properties() const
{
    static const TPropList list = [] {
        TPropInfo name = props::String<TComponent>(QStringLiteral("Name"), &TComponent::Name, &TComponent::SetName);
        name.Stored = false;
        return TPropList{name,
                         props::Integer<TComponent>(QStringLiteral("Tag"), &TComponent::Tag, &TComponent::SetTag, 0)};
    }();
    return list;
}

TComponent* TComponent::FindComponent(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (TComponent* c : fComponents)
        if (c->fName.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    if (component->fOwner)
        component->fOwner->RemoveComponent(component);
    fComponents.append(component);
    component->fOwner = this;
}

void TComponent::RemoveComponent(TComponent* component)
{
    fComponents.removeOne(component);
    component->fOwner = nullptr;
}

TPropList props::Inherit(const TPropList& base, std::initializer_list<TPropInfo> added)
{
    TPropList list = base;
    list.insert(list.end(), added.begin(), added.end());
    return list;
}
