#pragma once

#include "platform/core/classes.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

#include <memory>

class TRessourceStore;

// How an item keeps its bytes; only plain storage exists.
enum TStoreMode { smStore = 0 };

// Misuse of the store: an unknown item name, a duplicate item name.
DECLARE_EXCEPTION(ERessourceStoreError, Exception);

// One named binary item of a TRessourceStore. Its bytes travel in the
// component stream as the binary property "ResData": a 32-bit size, then the
// bytes.
class TPackedItem : public TCollectionItem {
public:
    TPackedItem();
    ~TPackedItem() override;

    QString ClassName() const override { return QStringLiteral("TPackedItem"); }
    const TPropList& Properties() const override;
    void DefineProperties(TFiler& filer) override;
    // Name when the item holds data, else the class name.
    QString DisplayName() const;

    TStoreMode StoreMode() const { return FStoreMode; }
    void SetStoreMode(TStoreMode value) { FStoreMode = value; }
    int Size() const { return int(FData.Size()); }
    // The size follows from the data; a stored value is ignored.
    void SetSize(int) { }
    const QString& Name() const { return FName; }
    // Raises ERessourceStoreError when another item of the collection has the
    // name in any letter case; the item then keeps its old name.
    void SetName(const QString& value);

    // The item's own data stream, positioned at 0; it stays owned by the item.
    TStream& GetAsStream();
    const QByteArray& Bytes() const { return FData.Bytes(); }

    void SaveToStream(TStream& Stream) const;
    void SaveToFile(const QString& FileName) const;
    // Replaces the data with the whole of Stream, from its start.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const QString& FileName);

    // Copies name, mode and data of another item.
    void Assign(const TPackedItem& source);

    // The stream's binary value holds the size as 32 bits, so larger data
    // cannot be stored.
    static constexpr qint64 MaxDataSize = 0x7FFFFFFF - 4;

private:
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;
    static void CheckDataSize(qint64 size);

    TMemoryStream FData;
    TStoreMode FStoreMode = smStore;
    QString FName;
};

// The items of a store, in order.
class TPackedRessources : public TCollection {
public:
    explicit TPackedRessources(TRessourceStore* owner = nullptr)
        : FOwner(owner)
    {
    }

    QString ClassName() const override { return QStringLiteral("TPackedRessources"); }
    TPersistent* GetOwner() const override;
    TRessourceStore* Owner() const { return FOwner; }
    void SetOwner(TRessourceStore* owner) { FOwner = owner; }

    TPackedItem* Items(int index) const { return static_cast<TPackedItem*>(TCollection::Items(index)); }
    TPackedItem* Add() { return static_cast<TPackedItem*>(TCollection::Add()); }
    // Replaces the items with copies of source's.
    void Assign(const TPackedRessources& source);

protected:
    TCollectionItem* CreateItem() override { return new TPackedItem; }

private:
    TRessourceStore* FOwner;
};

// A component carrying named binary items (pictures, templates) inside a
// stored form; items are looked up by name without regard to case.
class TRessourceStore : public TComponent {
public:
    explicit TRessourceStore(TComponent* AOwner = nullptr);
    ~TRessourceStore() override;

    QString ClassName() const override { return QStringLiteral("TRessourceStore"); }
    const TPropList& Properties() const override;

    TPackedRessources* Items() const { return FRessources.get(); }
    void SetItems(const TPackedRessources& value) { FRessources->Assign(value); }
    // The sum of the items' sizes; a stored value is ignored.
    qint64 Size() const;
    void SetSize(qint64) { }

    // Index of the first item named ItemName in any letter case; -1 when none.
    int ItemIndex(const QString& ItemName) const;
    // Raises ERessourceStoreError when there is no such item.
    TPackedItem* GetResByName(const QString& ResName) const;

private:
    std::unique_ptr<TPackedRessources> FRessources;
};
