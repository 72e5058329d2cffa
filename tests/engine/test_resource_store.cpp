// The resource store: its bytes in the component stream, name rules and the
// item's data operations.
#include "engine/component_stream.h"
#include "engine/resource_store.h"
#include "platform/core/streams.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Int32(qint32 v)
{
    const auto u = quint32(v);
    const char bytes[4] = { char(u), char(u >> 8), char(u >> 16), char(u >> 24) };
    return QByteArray(bytes, 4);
}

QByteArray ShortStr(const char* s)
{
    return char(qstrlen(s)) + QByteArray(s);
}

// A hand-made stream of a store with one item named "a".
QByteArray OneItemStream(char itemSize, const QByteArray& resData, char storeSize)
{
    QByteArray body = "TPF0" + ShortStr("TRessourceStore") + '\0';
    body += ShortStr("Items") + "\x0E\x01" + ShortStr("StoreMode") + '\x07' + ShortStr("smStore");
    body += ShortStr("Size") + '\x02' + itemSize + ShortStr("Name") + '\x06' + ShortStr("a");
    body += ShortStr("ResData") + '\x0A' + Int32(qint32(resData.size())) + resData;
    body += QByteArray(2, '\0') + ShortStr("Size") + '\x02' + storeSize + QByteArray(2, '\0');
    return "\xFF\x0A" + QByteArray(1, '\0') + "TRESSOURCESTORE" + '\0' + "\x30\x10" + Int32(qint32(body.size())) + body;
}

QByteArray Write(TRessourceStore& store)
{
    TMemoryStream s;
    WriteComponentRes(s, store.ClassName(), store);
    return s.Bytes();
}

void Read(const QByteArray& bytes, TRessourceStore& store)
{
    TMemoryStream s(bytes);
    ReadComponentRes(s, store);
}

TPackedItem* AddItem(TRessourceStore& store, const char* name, const QByteArray& data)
{
    TPackedItem* item = store.Items()->Add();
    item->SetName(QString::fromLatin1(name));
    TMemoryStream source(data);
    item->LoadFromStream(source);
    return item;
}

} // namespace

TEST(ResourceStore, ResDataHoldsTheSizeThenTheBytes)
{
    TRessourceStore three;
    AddItem(three, "a", QByteArray("\x01\x00\x02", 3));
    EXPECT_EQ(Write(three), OneItemStream(3, Int32(3) + QByteArray("\x01\x00\x02", 3), 3));

    TRessourceStore empty; // an empty item still carries its size
    AddItem(empty, "a", QByteArray());
    EXPECT_EQ(Write(empty), OneItemStream(0, Int32(0), 0));

    TRessourceStore tab;
    const QByteArray data(3998, 'Z');
    AddItem(tab, "Tab_State_1", data);
    const QByteArray framing = ShortStr("ResData") + '\x0A' + Int32(4002) + Int32(3998);
    const QByteArray bytes = Write(tab);
    ASSERT_GE(bytes.indexOf(framing), 0);
    EXPECT_EQ(bytes.mid(bytes.indexOf(framing) + framing.size(), 3998), data);
}

TEST(ResourceStore, RoundTripKeepsOrderNamesAndBytes)
{
    TRessourceStore store;
    store.SetName(QStringLiteral("rStore"));
    QByteArray binary;
    for (int i = 0; i < 1000; ++i)
        binary.append(char(i * 7));
    AddItem(store, "Tab_State_1", binary);
    AddItem(store, "nothing", QByteArray());
    AddItem(store, "skin01.jpg", QByteArray(70000, '\xFF'));

    TRessourceStore copy;
    AddItem(copy, "old", "replaced");
    Read(Write(store), copy);
    EXPECT_EQ(copy.Name(), QStringLiteral("rStore"));
    ASSERT_EQ(copy.Items()->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy.Items()->Items(i)->Name(), store.Items()->Items(i)->Name());
        EXPECT_EQ(copy.Items()->Items(i)->Bytes(), store.Items()->Items(i)->Bytes());
    }
    EXPECT_EQ(copy.Size(), 71000);
}

TEST(ResourceStore, ReadingTrustsNoSizeFromTheStream)
{
    TRessourceStore store; // Size values are written but ignored
    Read(OneItemStream(99, Int32(2) + "\x07\x08", 77), store);
    EXPECT_EQ(store.Items()->Items(0)->Bytes(), QByteArray("\x07\x08"));
    EXPECT_EQ(store.Size(), 2);

    Read(OneItemStream(0, Int32(1) + "\x09\x08", 0), store); // bytes past the inner size are left alone
    EXPECT_EQ(store.Items()->Items(0)->Bytes(), QByteArray("\x09"));

    for (const QByteArray& bad : { Int32(5) + "1234", Int32(-1) + "1", Int32(0x7FFFFFFF), QByteArray("\x01\x00", 2) }) {
        TRessourceStore target;
        EXPECT_THROW(Read(OneItemStream(0, bad, 0), target), EReadError) << bad.toHex().constData();
    }
}

TEST(ResourceStore, NamesIgnoreCase)
{
    TRessourceStore store;
    TPackedItem* skin1 = AddItem(store, "skin01.jpg", "1");
    TPackedItem* skin3 = AddItem(store, "skin03.jpg", "3");
    EXPECT_EQ(store.GetResByName(QStringLiteral("SKIN03.JPG")), skin3);
    try {
        store.GetResByName(QStringLiteral("skin02.jpg"));
        ADD_FAILURE() << "no exception";
    } catch (const ERessourceStoreError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("La ressource \"skin02.jpg\" n'existe pas !"));
    }

    skin1->SetName(QStringLiteral("SKIN01.JPG")); // its own name in other case
    try {
        skin3->SetName(QStringLiteral("Skin01.jpg"));
        ADD_FAILURE() << "no exception";
    } catch (const ERessourceStoreError& e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("Le nom \"Skin01.jpg\" est d\xC3\xA9j\xC3\xA0 utilis\xC3\xA9 !"));
    }
    EXPECT_EQ(skin3->Name(), QStringLiteral("skin03.jpg"));

    // A stored form naming two items alike is refused.
    QByteArray bytes = Write(store);
    bytes.replace(ShortStr("skin03.jpg"), ShortStr("skin01.JPG"));
    TRessourceStore target;
    EXPECT_THROW(Read(bytes, target), EReadError);
}

TEST(ResourceStore, ItemDataOperations)
{
    TRessourceStore store;
    TPackedItem* item = AddItem(store, "template.rtf", QByteArray());
    EXPECT_EQ(item->DisplayName(), QStringLiteral("TPackedItem"));

    TMemoryStream source(QByteArray("hello"));
    source.SetPosition(3); // the whole source is taken
    item->LoadFromStream(source);
    EXPECT_EQ(item->DisplayName(), QStringLiteral("template.rtf"));
    TStream& first = item->GetAsStream();
    first.Seek(2, TSeekOrigin::soBeginning);
    EXPECT_EQ(&item->GetAsStream(), &first);
    EXPECT_EQ(first.Position(), 0);

    TMemoryStream target(QByteArray(">>"));
    target.Seek(0, TSeekOrigin::soEnd);
    item->SaveToStream(target);
    EXPECT_EQ(target.Bytes(), QByteArray(">>hello"));

    // Loading replaces the data rather than writing at its position.
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("item.bin"));
    item->SaveToFile(file);
    TPackedItem* other = AddItem(store, "other", "older and longer");
    other->LoadFromFile(file);
    EXPECT_EQ(other->Bytes(), QByteArray("hello"));
    EXPECT_THROW(other->LoadFromFile(file + u'x'), EFOpenError);
    EXPECT_EQ(other->Bytes(), QByteArray("hello"));

    TRessourceStore copy;
    copy.SetItems(*store.Items());
    EXPECT_EQ(copy.GetResByName(QStringLiteral("other"))->Bytes(), QByteArray("hello"));
    EXPECT_EQ(copy.Items()->Owner(), &copy);
}
