// The program's embedded resource store holds every item the windows ask
// for, in order, with the bytes of the files it was packed from.
#include "engine/component_stream.h"
#include "engine/resource_store.h"
#include "platform/core/streams.h"
#include "resources/program_store.h"
#include "resources/store_items.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

QString StoreFile(const char* name)
{
    return QDir(QStringLiteral(DIARY_STORE_DIR)).filePath(QString::fromLatin1(name));
}

} // namespace

TEST(ProgramStore, HoldsEveryItemInOrderWithTheFilesBytes)
{
    TRessourceStore store;
    LoadProgramStore(store);
    EXPECT_EQ(store.Name(), QStringLiteral("rStore"));
    ASSERT_EQ(store.Items()->Count(), int(std::size(kStoreItems)));
    qint64 total = 0;
    for (int i = 0; i < store.Items()->Count(); ++i) {
        const TPackedItem* item = store.Items()->Items(i);
        EXPECT_EQ(item->Name(), QString::fromLatin1(kStoreItems[i]));
        const QByteArray file = ReadWholeFile(StoreFile(kStoreItems[i]));
        EXPECT_FALSE(file.isEmpty()) << kStoreItems[i];
        EXPECT_EQ(item->Bytes(), file) << kStoreItems[i];
        total += file.size();
    }
    EXPECT_EQ(store.Size(), total);
}

TEST(ProgramStore, ItemsHaveTheirKinds)
{
    TRessourceStore store;
    LoadProgramStore(store);
    for (const char* tab : { "TAB_STATE_1", "tab_state_2" })
        EXPECT_TRUE(store.GetResByName(QString::fromLatin1(tab))->Bytes().startsWith("BM")) << tab;
    EXPECT_TRUE(store.GetResByName(QStringLiteral("Template.RTF"))->Bytes().startsWith("{\\rtf"));
    for (int i = 1; i <= kStoreSkinCount; ++i) {
        const QString name = QStringLiteral("SKIN%1.JPG").arg(i, 2, 10, QLatin1Char('0'));
        EXPECT_TRUE(store.GetResByName(name)->Bytes().startsWith("\xFF\xD8\xFF")) << i;
    }
}

TEST(ProgramStore, EmbeddedStreamIsWhatTheWriterMakes)
{
    TRessourceStore store;
    LoadProgramStore(store);
    TMemoryStream again;
    WriteComponentRes(again, store.ClassName(), store);
    EXPECT_EQ(again.Bytes(), ProgramStoreStream());
}
