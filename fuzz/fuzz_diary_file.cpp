// Loads arbitrary bytes as a diary file. The CRC would stop nearly every
// mutation at the door, so the input is framed with a correct one half the time.
#include "engine/crc32.h"
#include "engine/diary.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!bytes.isEmpty() && (bytes[0] & 1)) {
        const QByteArray packed = bytes.mid(1);
        const quint32 crc = Crc32(packed.constData(), packed.size());
        QByteArray framed = QByteArrayLiteral("DR10");
        for (int i = 0; i < 4; ++i)
            framed.append(char(crc >> (8 * i)));
        bytes = framed + packed;
    }
    TDiaryDB db;
    const int status = db.LoadFromBytes(bytes, true, QString());
    if (status < lsNoError || status > lsCollectionCorrupted)
        __builtin_trap();
    if (status != lsNoError && db.Diary()->Count() != 0)
        __builtin_trap(); // a failed load keeps nothing of the file
    return 0;
}
