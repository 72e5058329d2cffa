// Unpacks arbitrary bytes as an LZH blob, and packs small inputs to check
// that they come back unchanged.
#include "engine/lzh.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        // Unpacking succeeds only with a whole 4-byte prefix present.
        const QByteArray out = LZHUnpackBlob(input);
        if (out.size() != qFromLittleEndian<qint32>(data))
            std::abort();
    } catch (const ElzhException&) {
    }
    if (size <= 8192) {
        const QByteArray blob = LZHPackBlob(input);
        if (LZHUnpackBlob(blob) != input)
            std::abort();
    }
    return 0;
}
