// Reads arbitrary bytes as a diary's component stream.
#include "engine/component_stream.h"
#include "engine/diary.h"
#include "platform/core/streams.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TDiaryDB db;
    TMemoryStream stream(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    try {
        ReadComponentRes(stream, db);
        db.Diary()->RebuildIndexer();
        // Whatever was read must write again.
        TMemoryStream out;
        WriteComponentRes(out, db.ClassName(), db);
    } catch (const Exception&) {
    }
    return 0;
}
