#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class TPersistent;
// The root of the hierarchy as event senders see it.
using TObject = TPersistent;
class TStream;

// The kinds of published property the component stream knows.
enum class TTypeKind { tkInteger, tkEnumeration, tkBoolean, tkFloat, tkString, tkClass };

// One published property: how to read and set it on an instance, and the
// rules that decide whether the stream writer emits it.
struct TPropInfo {
    QString Name;
    TTypeKind Kind = TTypeKind::tkInteger;
    std::function<qint64(const TPersistent&)> GetOrd;
    std::function<void(TPersistent&, qint64)> SetOrd;
    std::function<double(const TPersistent&)> GetFloat;
    std::function<void(TPersistent&, double)> SetFloat;
    std::function<QString(const TPersistent&)> GetStr;
    std::function<void(TPersistent&, const QString&)> SetStr;
    // Class properties hand out the object they hold; the stream reads into it.
    std::function<TPersistent*(const TPersistent&)> GetObject;
    bool Writable = true;   // a property without a setter is neither written nor read
    bool Stored = true;     // "stored false" properties are never written
    std::optional<qint64> Default; // ordinal default; none means always written
    QStringList EnumNames;  // value names of an enumeration, by ordinal
    // Some integer types name some of their values (the colours: clWindow);
    // the stream may give such a value by its name. False for a name the
    // type lacks.
    std::function<bool(const QString&, qint64&)> IdentToInt;

    bool HasSetter() const { return Writable; }
};

using TPropList = std::vector<TPropInfo>;

// Receives the defined (non-published) properties an object streams, such as
// a binary blob. Implemented by the component stream's reader and writer.
class TFiler
{
public:
    virtual ~TFiler();
    virtual void DefineBinaryProperty(const QString& name, const std::function<void(TStream&)>& readData,
                                      const std::function<void(TStream&)>& writeData, bool hasData) = 0;
};

// Base of everything the component stream can write and read.
class TPersistent
{
public:
    virtual ~TPersistent();
    virtual QString ClassName() const = 0;
    // Published properties in stream order: inherited ones first.
    virtual const TPropList& Properties() const;
    virtual void DefineProperties(TFiler& filer);
    virtual TPersistent* GetOwner() const { return nullptr; }

    const TPropInfo* FindProperty(const QString& name) const; // ignores case
};

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// An element of a TCollection. The collection gives each item an ID that is
// never reused within that collection.
class TCollectionItem : public TPersistent
{
public:
    TCollectionItem() = default;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;
    // Leaves its collection first (an "extracting" notice).
    ~TCollectionItem() override;

    TCollection* Collection() const { return fCollection; }
    // Moves the item to another collection (or out of any, with nullptr): it
    // leaves the old one as extracted and joins the new one with a new ID.
    void SetCollection(TCollection* value);
    int ID() const { return fID; }
    int Index() const;
    TPersistent* GetOwner() const override;

private:
    friend class TCollection;
    TCollection* fCollection = nullptr;
    int fID = -1;
};

// An owning list of items of one class. Subclasses create their items in
// CreateItem and react to additions and removals in Notify.
class TCollection : public TPersistent
{
public:
    TCollection() = default;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;
    ~TCollection() override;

    int Count() const { return int(fItems.size()); }
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    TCollectionItem* FindItemID(int id) const;
    // Removes through the collection: a "deleting" notice, then the item is
    // freed (which extracts it).
    void Delete(int index);
    // Frees every item, last first; only "extracting" notices.
    void Clear();
    void BeginUpdate() { ++fUpdateCount; }
    void EndUpdate();
    int NextID() const { return fNextID; }

    QString ClassName() const override { return QStringLiteral("TCollection"); }

protected:
    virtual TCollectionItem* CreateItem() = 0;
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    virtual void Update(TCollectionItem* item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);

    QList<TCollectionItem*> fItems;
    int fNextID = 0;
    int fUpdateCount = 0;
};

// A component: owned by another component, which frees it, with a name and
// a tag. Published properties Name (never stored) and Tag (default 0).
class TComponent : public TPersistent
{
public:
    explicit TComponent(TComponent* owner = nullptr);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    ~TComponent() override;

    QString ClassName() const override { return QStringLiteral("TComponent"); }
    const TPropList& Properties() const override;
    TPersistent* GetOwner() const override { return fOwner; }

    TComponent* Owner() const { return fOwner; }
    const QString& Name() const { return fName; }
    virtual void SetName(const QString& value) { fName = value; }
    qint64 Tag() const { return fTag; }
    void SetTag(qint64 value) { fTag = value; }

    int ComponentCount() const { return int(fComponents.size()); }
    TComponent* Components(int index) const { return fComponents.at(index); }
    TComponent* FindComponent(const QString& name) const; // ignores case
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

private:
    TComponent* fOwner = nullptr;
    QString fName;
    qint64 fTag = 0;
    QList<TComponent*> fComponents;
};

// Builders for property tables. Getters and setters are member functions of C.
namespace props {

template <class C, class G, class S>
TPropInfo Ordinal(const QString& name, TTypeKind kind, G get, S set, std::optional<qint64> def = {})
{
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.GetOrd = [get](const TPersistent& o) { return qint64((static_cast<const C&>(o).*get)()); };
    p.SetOrd = [set](TPersistent& o, qint64 v) {
        using Arg = decltype((static_cast<C&>(o).*get)());
        (static_cast<C&>(o).*set)(static_cast<std::remove_cvref_t<Arg>>(v));
    };
    p.Default = def;
    return p;
}

template <class C, class G, class S>
TPropInfo Integer(const QString& name, G get, S set, std::optional<qint64> def = {})
{
    return Ordinal<C>(name, TTypeKind::tkInteger, get, set, def);
}

template <class C, class G, class S>
TPropInfo Boolean(const QString& name, G get, S set, std::optional<bool> def = {})
{
    TPropInfo p = Ordinal<C>(name, TTypeKind::tkBoolean, get, set);
    if (def)
        p.Default = *def ? 1 : 0;
    p.EnumNames = {QStringLiteral("False"), QStringLiteral("True")};
    return p;
}

template <class C, class G, class S>
TPropInfo Enumeration(const QString& name, QStringList names, G get, S set, std::optional<qint64> def = {})
{
    TPropInfo p = Ordinal<C>(name, TTypeKind::tkEnumeration, get, set, def);
    p.EnumNames = std::move(names);
    return p;
}

template <class C, class G, class S>
TPropInfo Float(const QString& name, G get, S set)
{
    TPropInfo p;
    p.Name = name;
    p.Kind = TTypeKind::tkFloat;
    p.GetFloat = [get](const TPersistent& o) { return double((static_cast<const C&>(o).*get)()); };
    p.SetFloat = [set](TPersistent& o, double v) { (static_cast<C&>(o).*set)(v); };
    return p;
}

template <class C, class G, class S>
TPropInfo String(const QString& name, G get, S set)
{
    TPropInfo p;
    p.Name = name;
    p.Kind = TTypeKind::tkString;
    p.GetStr = [get](const TPersistent& o) { return QString((static_cast<const C&>(o).*get)()); };
    p.SetStr = [set](TPersistent& o, const QString& v) { (static_cast<C&>(o).*set)(v); };
    return p;
}

// An object property (a collection) the stream reads into in place.
template <class C, class G>
TPropInfo Object(const QString& name, G get)
{
    TPropInfo p;
    p.Name = name;
    p.Kind = TTypeKind::tkClass;
    p.GetObject = [get](const TPersistent& o) -> TPersistent* { return (static_cast<const C&>(o).*get)(); };
    return p;
}

// The base class's list followed by the new ones.
TPropList Inherit(const TPropList& base, std::initializer_list<TPropInfo> added);

} // namespace props
