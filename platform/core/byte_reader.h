#pragma once

#include <QByteArrayView>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <optional>

// Reads little-endian numbers and runs of bytes from a span it does not own,
// checking the bytes left before every read. A read the bytes cannot satisfy
// gives nothing (an empty optional, or false) and leaves the position where
// it was, so each caller turns that into its own message. Values are built
// with qFromLittleEndian from the bytes, never by casting over the buffer.
class TByteReader {
public:
    TByteReader() = default;
    TByteReader(const char* data, qsizetype size)
        : fData(data)
        , fSize(size < 0 ? 0 : size)
    {
    }
    explicit TByteReader(QByteArrayView bytes)
        : TByteReader(bytes.data(), bytes.size())
    {
    }

    qsizetype Size() const { return fSize; }
    qsizetype Position() const { return fPos; }
    qsizetype Left() const { return fSize - fPos; }
    bool AtEnd() const { return fPos == fSize; }
    // Whether count more bytes are there (false for a negative count).
    bool Has(qsizetype count) const { return count >= 0 && count <= fSize - fPos; }

    // Moves to pos, which may be the end; false, staying put, when it lies
    // outside the bytes.
    bool Seek(qsizetype pos);
    bool Skip(qsizetype count) { return Has(count) && Seek(fPos + count); }
    // Moves past the next byte of that value; false, staying put, when there
    // is none.
    bool SkipPast(char byte);
    // The bytes end at size when that is sooner (not before the position):
    // what lies behind is out of reach.
    void Limit(qsizetype size);

    std::optional<quint8> PeekUInt8() const;
    std::optional<quint8> ReadUInt8();
    std::optional<quint16> ReadUInt16() { return Read<quint16>(); }
    std::optional<quint32> ReadUInt32() { return Read<quint32>(); }
    std::optional<quint64> ReadUInt64() { return Read<quint64>(); }
    // The next count bytes, in place.
    std::optional<QByteArrayView> PeekBytes(qsizetype count) const;
    std::optional<QByteArrayView> ReadBytes(qsizetype count);

private:
    template <typename T> std::optional<T> Read();

    const char* fData = nullptr;
    qsizetype fSize = 0;
    qsizetype fPos = 0;
};

inline bool TByteReader::Seek(qsizetype pos)
{
    if (pos < 0 || pos > fSize)
        return false;
    fPos = pos;
    return true;
}

inline bool TByteReader::SkipPast(char byte)
{
    const void* found = fPos < fSize ? std::memchr(fData + fPos, byte, size_t(fSize - fPos)) : nullptr;
    if (!found)
        return false;
    fPos = static_cast<const char*>(found) + 1 - fData;
    return true;
}

inline void TByteReader::Limit(qsizetype size)
{
    if (size < fSize)
        fSize = std::max(size, fPos);
}

inline std::optional<quint8> TByteReader::PeekUInt8() const
{
    if (fPos >= fSize)
        return std::nullopt;
    return quint8(fData[fPos]);
}

inline std::optional<quint8> TByteReader::ReadUInt8()
{
    if (fPos >= fSize)
        return std::nullopt;
    return quint8(fData[fPos++]);
}

inline std::optional<QByteArrayView> TByteReader::PeekBytes(qsizetype count) const
{
    if (!Has(count))
        return std::nullopt;
    return QByteArrayView(fData + fPos, count);
}

inline std::optional<QByteArrayView> TByteReader::ReadBytes(qsizetype count)
{
    const std::optional<QByteArrayView> bytes = PeekBytes(count);
    if (bytes)
        fPos += count;
    return bytes;
}

template <typename T> std::optional<T> TByteReader::Read()
{
    if (!Has(qsizetype(sizeof(T))))
        return std::nullopt;
    const T value = qFromLittleEndian<T>(fData + fPos);
    fPos += qsizetype(sizeof(T));
    return value;
}
