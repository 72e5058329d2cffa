#pragma once

#include <QtGlobal>

class TStream;

// CRC-32 of IEEE 802.3, zlib and PNG: the reflected polynomial 0xEDB88320,
// initial value and final exclusive-or 0xFFFFFFFF. The diary file stores it
// to detect damage to the packed data.
class TCRC32 {
public:
    TCRC32();

    // CRC of the whole stream whatever its position, which is restored.
    // Reads in blocks of 10240 bytes.
    qint32 CalcCRC32(TStream& Stream) const;

private:
    quint32 fCRC32Table[256];
};

// CRC-32 of n bytes; pass the result of a previous call as crc to continue
// over a following block. Crc32(nullptr, 0) is 0.
quint32 Crc32(const char* data, qsizetype n, quint32 crc = 0);
