// The bounds-checked little-endian reader every file and message reader uses.
#include "platform/core/byte_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Nine bytes: enough for each size at the start, one short of it at the end.
const QByteArray kBytes = QByteArray::fromHex("0102030405060708ff");

// What a step gave ("-" for nothing) and where the reader stood after it.
struct TStep {
    const char* what;
    qsizetype startAt;
    std::function<std::string(TByteReader&)> step;
    std::string result;
    qsizetype endAt;
};

template <typename T> std::string Hex(const std::optional<T>& value)
{
    return value ? QByteArray::number(qulonglong(*value), 16).toStdString() : "-";
}

std::string Said(bool ok)
{
    return ok ? "yes" : "no";
}

} // namespace

TEST(ByteReader, EveryReadChecksTheBytesLeftAndStaysPutWhenTheyAreNot)
{
    const auto u8 = [](TByteReader& r) { return Hex(r.ReadUInt8()); };
    const auto u16 = [](TByteReader& r) { return Hex(r.ReadUInt16()); };
    const auto u32 = [](TByteReader& r) { return Hex(r.ReadUInt32()); };
    const auto u64 = [](TByteReader& r) { return Hex(r.ReadUInt64()); };
    const auto bytes = [](qsizetype n) {
        return [n](TByteReader& r) {
            const std::optional<QByteArrayView> b = r.ReadBytes(n);
            return b ? b->toByteArray().toHex().toStdString() : "-";
        };
    };
    const auto skip = [](qsizetype n) { return [n](TByteReader& r) { return Said(r.Skip(n)); }; };
    const auto seek = [](qsizetype to) { return [to](TByteReader& r) { return Said(r.Seek(to)); }; };
    const TStep steps[] = {
        { "8 bits", 0, u8, "1", 1 },
        { "16 bits, low byte first", 0, u16, "201", 2 },
        { "32 bits", 0, u32, "4030201", 4 },
        // At an odd offset: the value is made from the bytes, not loaded as a word.
        { "64 bits", 1, u64, "ff08070605040302", 9 },
        { "8 bits at the last byte", 8, u8, "ff", 9 },
        { "8 bits at the end", 9, u8, "-", 9 },
        { "16 bits, one byte left", 8, u16, "-", 8 },
        { "32 bits, three left", 6, u32, "-", 6 },
        { "64 bits, seven left", 2, u64, "-", 2 },
        { "peek", 8, [](TByteReader& r) { return Hex(r.PeekUInt8()); }, "ff", 8 },
        { "peek at the end", 9, [](TByteReader& r) { return Hex(r.PeekUInt8()); }, "-", 9 },
        { "bytes", 2, bytes(3), "030405", 5 },
        { "bytes up to the end", 7, bytes(2), "08ff", 9 },
        { "no bytes at the end", 9, bytes(0), "", 9 },
        { "bytes past the end", 7, bytes(3), "-", 7 },
        { "a negative count of bytes", 3, bytes(-1), "-", 3 },
        { "peeked bytes", 2, [](TByteReader& r) { return r.PeekBytes(2)->toByteArray().toHex().toStdString(); }, "0304",
            2 },
        { "skip", 2, skip(4), "yes", 6 },
        { "skip to the end", 2, skip(7), "yes", 9 },
        { "skip past the end", 2, skip(8), "no", 2 },
        { "skip back", 2, skip(-1), "no", 2 },
        { "seek to the end", 0, seek(9), "yes", 9 },
        { "seek past the end", 4, seek(10), "no", 4 },
        { "seek before the start", 4, seek(-1), "no", 4 },
        { "skip past a byte", 0, [](TByteReader& r) { return Said(r.SkipPast('\x04')); }, "yes", 4 },
        { "skip past a byte not there", 2, [](TByteReader& r) { return Said(r.SkipPast('\x01')); }, "no", 2 },
        // Bytes behind the limit are out of reach.
        { "limit", 1,
            [](TByteReader& r) {
                r.Limit(3);
                const std::string word = Hex(r.ReadUInt16());
                return word + " " + Hex(r.ReadUInt8()) + " " + std::to_string(r.Size());
            },
            "302 - 3", 3 },
        { "limit before the position", 5,
            [](TByteReader& r) {
                r.Limit(2);
                return std::to_string(r.Size()) + " " + std::to_string(r.Left());
            },
            "5 0", 5 },
    };
    for (const TStep& s : steps) {
        TByteReader reader(kBytes);
        ASSERT_TRUE(reader.Seek(s.startAt)) << s.what;
        EXPECT_EQ(s.step(reader), s.result) << s.what;
        EXPECT_EQ(reader.Position(), s.endAt) << s.what;
        EXPECT_EQ(reader.Left(), reader.Size() - s.endAt) << s.what;
    }
}
