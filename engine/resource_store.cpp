#include "resource_store.h"

#include "platform/core/ansi.h"

#include <QtEndian>

namespace {

// Item names compare with the ASCII letters folded, like the names of the
// stream's own properties.
bool SameName(const QString& a, const QString& b)
{
    return AnsiUpperCaseAscii(a) == AnsiUpperCaseAscii(b);
}

} // namespace

// --- TPackedItem ---

TPackedItem::TPackedItem() = default;

TPackedItem::~TPackedItem() = default;

const TPropList& TPackedItem::Properties() const
{
    static const TPropList list = {
        props::Enumeration<TPackedItem>(QStringLiteral("StoreMode"), { QStringLiteral("smStore") },
            &TPackedItem::StoreMode, &TPackedItem::SetStoreMode),
        props::Integer<TPackedItem>(QStringLiteral("Size"), &TPackedItem::Size, &TPackedItem::SetSize),
        props::String<TPackedItem>(QStringLiteral("Name"), &TPackedItem::Name, &TPackedItem::SetName),
    };
    return list;
}

void TPackedItem::DefineProperties(TFiler& filer)
{
    TCollectionItem::DefineProperties(filer);
    // Every item has a data stream, so the value is always written.
    filer.DefineBinaryProperty(
        QStringLiteral("ResData"), [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, true);
}

QString TPackedItem::DisplayName() const
{
    return FData.Size() > 0 ? FName : ClassName();
}

void TPackedItem::SetName(const QString& value)
{
    if (TCollection* owner = Collection()) {
        for (int i = 0; i < owner->Count(); ++i) {
            const auto* other = static_cast<const TPackedItem*>(owner->Items(i));
            if (other->ID() != ID() && SameName(other->FName, value))
                throw ERessourceStoreError(QStringLiteral(u"Le nom \"%1\" est déjà utilisé !").arg(value));
        }
    }
    FName = value;
}

TStream& TPackedItem::GetAsStream()
{
    FStoreMode = smStore;
    FData.SetPosition(0);
    return FData;
}

void TPackedItem::SaveToStream(TStream& Stream) const
{
    Stream.WriteBytes(FData.Bytes());
}

void TPackedItem::SaveToFile(const QString& FileName) const
{
    WriteFileAtomically(FileName, FData.Bytes());
}

void TPackedItem::LoadFromStream(TStream& Stream)
{
    // Loading replaces the data: writing at the data's current position would
    // leave old bytes behind or append to them.
    CheckDataSize(Stream.Size());
    FData.LoadFromStream(Stream);
}

void TPackedItem::LoadFromFile(const QString& FileName)
{
    TFileStream file(FileName, fmOpenRead);
    LoadFromStream(file);
}

void TPackedItem::Assign(const TPackedItem& source)
{
    if (&source == this)
        return;
    SetName(source.FName);
    FStoreMode = source.FStoreMode;
    FData.Bytes() = source.FData.Bytes();
    FData.SetPosition(0);
}

void TPackedItem::CheckDataSize(qint64 size)
{
    if (size > MaxDataSize)
        throw ERessourceStoreError(QStringLiteral("Resource data of %1 bytes is too large to store").arg(size));
}

void TPackedItem::ReadData(TStream& Stream)
{
    FData.Clear();
    quint8 raw[4];
    if (Stream.Read(raw, 4) != 4)
        throw EReadError(QStringLiteral("Resource data lacks its size"));
    const qint32 size = qFromLittleEndian<qint32>(raw);
    // The size comes from the file: it must describe bytes that are there.
    if (size < 0 || size > Stream.Remaining())
        throw EReadError(
            QStringLiteral("Invalid resource data size %1 (%2 bytes present)").arg(size).arg(Stream.Remaining()));
    FData.SetSize(size);
    Stream.ReadBuffer(FData.Bytes().data(), size);
    FData.SetPosition(0);
}

void TPackedItem::WriteData(TStream& Stream) const
{
    CheckDataSize(FData.Size());
    const quint32 size = quint32(FData.Size());
    const char raw[4] = { char(size), char(size >> 8), char(size >> 16), char(size >> 24) };
    Stream.WriteBuffer(raw, 4);
    Stream.WriteBytes(FData.Bytes());
}

// --- TPackedRessources ---

TPersistent* TPackedRessources::GetOwner() const
{
    return FOwner;
}

void TPackedRessources::Assign(const TPackedRessources& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    struct EndUpdate {
        TCollection& c;
        ~EndUpdate() { c.EndUpdate(); }
    } guard { *this };
    Clear();
    for (int i = 0; i < source.Count(); ++i)
        Add()->Assign(*source.Items(i));
}

// --- TRessourceStore ---

TRessourceStore::TRessourceStore(TComponent* AOwner)
    : TComponent(AOwner)
    , FRessources(std::make_unique<TPackedRessources>())
{
    FRessources->SetOwner(this);
}

TRessourceStore::~TRessourceStore() = default;

const TPropList& TRessourceStore::Properties() const
{
    static const TPropList list = props::Inherit(TComponent::Properties(),
        {
            props::Object<TRessourceStore>(QStringLiteral("Items"), &TRessourceStore::Items),
            props::Integer<TRessourceStore>(QStringLiteral("Size"), &TRessourceStore::Size, &TRessourceStore::SetSize),
        });
    return list;
}

qint64 TRessourceStore::Size() const
{
    qint64 total = 0;
    for (int i = 0; i < FRessources->Count(); ++i)
        total += FRessources->Items(i)->Size();
    return total;
}

int TRessourceStore::ItemIndex(const QString& ItemName) const
{
    for (int i = 0; i < FRessources->Count(); ++i)
        if (SameName(FRessources->Items(i)->Name(), ItemName))
            return i;
    return -1;
}

TPackedItem* TRessourceStore::GetResByName(const QString& ResName) const
{
    const int index = ItemIndex(ResName);
    if (index < 0)
        throw ERessourceStoreError(QStringLiteral("La ressource \"%1\" n'existe pas !").arg(ResName));
    return FRessources->Items(index);
}
