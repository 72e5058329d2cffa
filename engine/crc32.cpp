#include "crc32.h"

#include "platform/core/streams.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr quint32 kPolynomial = 0xEDB88320; // reflected CRC-32 polynomial
constexpr int kBlockSize = 10240;

// Slicing-by-8 tables: row 0 is the classic byte table, row k advances a
// byte's contribution by k further zero bytes, so eight bytes are folded in
// with eight independent lookups.
constexpr std::array<std::array<quint32, 256>, 8> MakeSlicingTables()
{
    std::array<std::array<quint32, 256>, 8> t {};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
        t[0][i] = c;
    }
    for (int row = 1; row < 8; ++row)
        for (int i = 0; i < 256; ++i)
            t[row][i] = (t[row - 1][i] >> 8) ^ t[0][t[row - 1][i] & 0xFF];
    return t;
}

constexpr auto kTables = MakeSlicingTables();

} // namespace

TCRC32::TCRC32()
{
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
        fCRC32Table[i] = c;
    }
}

qint32 TCRC32::CalcCRC32(TStream& Stream) const
{
    const qint64 saved = Stream.Position();
    // The position comes back even when a read raises.
    struct Restore {
        TStream& stream;
        qint64 position;
        ~Restore() { stream.SetPosition(position); }
    } restore { Stream, saved };

    Stream.SetPosition(0);
    qint64 remaining = Stream.Size();
    quint32 crc = 0xFFFFFFFF;
    uchar buffer[kBlockSize];
    while (remaining > 0) {
        const qint64 n = std::min<qint64>(remaining, kBlockSize);
        const qint64 got = Stream.Read(buffer, n);
        for (qint64 i = 0; i < got; ++i)
            crc = fCRC32Table[(crc ^ buffer[i]) & 0xFF] ^ (crc >> 8);
        remaining -= n;
    }
    return qint32(crc ^ 0xFFFFFFFF);
}

quint32 Crc32(const char* data, qsizetype n, quint32 crc)
{
    const uchar* p = reinterpret_cast<const uchar*>(data);
    crc = ~crc;
    while (n >= 8) {
        quint32 lo;
        quint32 hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
        lo = qFromLittleEndian(lo) ^ crc;
        hi = qFromLittleEndian(hi);
        crc = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF]
            ^ kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF]
            ^ kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- > 0)
        crc = kTables[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
