#include "engine/crc32.h"
#include "engine/diary.h"
#include "engine/lzh.h"
#include "platform/core/datetime.h"
#include "platform/core/streams.h"
#include "support/xorshift32.h"

#include <QtEndian>

#include <iterator>
#include <limits>
#include <utility>

#include <gtest/gtest.h>

namespace {

QByteArray RandomBytes(qsizetype n, quint32 seed)
{
    XorShift32 rng { seed };
    QByteArray out(n, Qt::Uninitialized);
    for (char& c : out)
        c = char(rng.Next() >> 24);
    return out;
}

QByteArray EnglishLikeText(qsizetype n, quint32 seed)
{
    static const char* const words[]
        = { "the", "a", "diary", "and", "today", "was", "quiet", "we", "walked", "to", "river", "after", "lunch",
              "rain", "letter", "from", "home", "I", "wrote", "little", "but", "thought", "much", "of", "tomorrow" };
    XorShift32 rng { seed };
    QByteArray out;
    while (out.size() < n) {
        out += words[rng.Next() % std::size(words)];
        out += rng.Next() % 9 == 0 ? QByteArrayLiteral(".\r\n") : QByteArrayLiteral(" ");
    }
    out.truncate(n);
    return out;
}

QByteArray Code(const QByteArray& blob)
{
    return blob.mid(4);
}

QByteArray Prefix(qint32 size)
{
    QByteArray prefix(4, Qt::Uninitialized);
    qToLittleEndian(size, prefix.data());
    return prefix;
}

void ExpectRoundTrip(const QByteArray& data)
{
    const QByteArray blob = LZHPackBlob(data);
    EXPECT_EQ(qFromLittleEndian<qint32>(blob.constData()), data.size());
    ASSERT_EQ(LZHUnpackBlob(blob), data) << "input of " << data.size() << " bytes";
}

// Match lengths drawn with Fibonacci weights make the adaptive tree a long
// chain; after one rebuild the unused symbols hang 17 levels deep, and the
// literals never seen before that end the input get 17-bit codes. A 16-bit
// code register, as in the classic coder, drops their last bit.
QByteArray DeepTreeInput()
{
    XorShift32 rng { 2 };
    uchar perm[256];
    for (int i = 0; i < 256; ++i)
        perm[i] = uchar(i);
    for (int i = 255; i > 0; --i)
        std::swap(perm[i], perm[rng.Next() % quint32(i + 1)]);
    // 180 distinct bytes: refreshing them costs exactly three 60-byte matches.
    const int P = 180;
    const QByteArray source(reinterpret_cast<const char*>(perm), P);
    const int lengths[8] = { 4, 12, 20, 28, 36, 44, 52, 60 };
    const quint32 cumulative[8] = { 1, 2, 4, 7, 12, 20, 33, 54 };
    QByteArray in = source;
    qsizetype lastRefresh = 0;
    for (int token = 0; token < 40000; ++token) {
        if (in.size() - lastRefresh > 3800) {
            lastRefresh = in.size();
            in += source;
        }
        const quint32 x = rng.Next() % 54;
        int k = 0;
        while (x >= cumulative[k])
            ++k;
        const int from = int(rng.Next() % quint32(P - lengths[k] + 1));
        in += source.mid(from, lengths[k]);
    }
    for (int i = P; i < 256; ++i)
        in += char(perm[i]);
    return in;
}

} // namespace

// Exact output for inputs small enough to follow by hand. The initial tree
// gives symbols 0..115 the 9-bit codes 396 + c and symbols 116..313 the 8-bit
// codes c - 116; a position costs 3 + 6 bits when below 64.
TEST(LzhGolden, EmptySourceIsPrefixOnly)
{
    EXPECT_EQ(LZHPackBlob(QByteArray()), QByteArray::fromHex("00000000"));
    EXPECT_EQ(LZHUnpackBlob(QByteArray::fromHex("00000000")), QByteArray());
    EXPECT_EQ(LZHUnpackBlob(QByteArray::fromHex("00000000ffff")), QByteArray());
}

TEST(LzhGolden, SingleBytesTakeOneOrTwoCodeBytes)
{
    // 'A' = 65: code 111001101, nine bits, so two code bytes.
    EXPECT_EQ(Code(LZHPackBlob(QByteArrayLiteral("A"))), QByteArray::fromHex("e680"));
    EXPECT_EQ(Code(LZHPackBlob(QByteArray(1, '\0'))), QByteArray::fromHex("c600"));
    // 'z' = 122 and 0xFF have 8-bit codes.
    EXPECT_EQ(Code(LZHPackBlob(QByteArrayLiteral("z"))), QByteArray::fromHex("06"));
    EXPECT_EQ(Code(LZHPackBlob(QByteArray(1, '\xff'))), QByteArray::fromHex("8b"));
    // After one 'z' its leaf trades places with the last node of frequency
    // 1, whose code 0xC5 it takes over.
    EXPECT_EQ(Code(LZHPackBlob(QByteArrayLiteral("zz"))), QByteArray::fromHex("06c5"));
}

TEST(LzhGolden, MatchesReachIntoThePrefilledSpaces)
{
    // Match of 3 (symbol 256, code 0x8C) at distance 1.
    EXPECT_EQ(Code(LZHPackBlob(QByteArrayLiteral("   "))), QByteArray::fromHex("8c0000"));
    // Only the last inserted of the 60 equal space strings stays in the tree,
    // so the first 60 spaces copy from distance 60 (position 59); then 60 at
    // distance 1 and the last 10 (code 0x93) at distance 1.
    EXPECT_EQ(Code(LZHPackBlob(QByteArray(130, ' '))), QByteArray::fromHex("c51de28024c000"));
    // 'A', then a match of 9 overlapping itself at distance 1.
    EXPECT_EQ(Code(LZHPackBlob(QByteArray(10, 'A'))), QByteArray::fromHex("e6c90000"));
}

TEST(LzhGolden, EqualMatchesTakeTheNearest)
{
    // The last "abc" meets the first one (distance 8) before the second
    // (distance 4) on the search path; both match 3 bytes and the second one
    // wins: position 3, where the first would have given 7 (...040fe6).
    EXPECT_EQ(Code(LZHPackBlob(QByteArrayLiteral("abcXabcYabcZ"))), QByteArray::fromHex("f6fbbdfe48c01f970407e6"));
}

TEST(LzhRoundTrip, ShortInputs)
{
    for (int b = 0; b < 256; ++b)
        ExpectRoundTrip(QByteArray(1, char(b)));
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    ExpectRoundTrip(all);
    for (int n = 2; n <= 64; ++n) {
        ExpectRoundTrip(RandomBytes(n, quint32(n)));
        ExpectRoundTrip(EnglishLikeText(n, quint32(n)));
        ExpectRoundTrip(QByteArray(n, ' '));
    }
}

TEST(LzhRoundTrip, LongInputs)
{
    // Text longer than the ring buffer has many matches whose bytes are
    // inserted one by one, each insertion finding matches of its own.
    ExpectRoundTrip(EnglishLikeText(50000, 1));
    ExpectRoundTrip(RandomBytes(1 << 20, 2));
    ExpectRoundTrip(QByteArray(200000, '\0'));
    QByteArray periodic;
    for (int i = 0; i < 60000; ++i)
        periodic += char(i % 5000 % 251); // period longer than the ring buffer
    ExpectRoundTrip(periodic);
    ExpectRoundTrip(QByteArrayLiteral("abcabcabd").repeated(3000));
}

TEST(LzhRoundTrip, RunsPastTreeRebuilds)
{
    for (const QByteArray& data : { RandomBytes(100000, 3), EnglishLikeText(400000, 4) }) {
        TLZH coder;
        QByteArray code;
        EXPECT_EQ(coder.LZHPack(data.constData(), data.size(), code), data.size());
        EXPECT_GE(coder.TreeRebuilds(), 1);
        EXPECT_TRUE(coder.HuffmanTreeIsSound());
        QByteArray back;
        coder.LZHUnpack(data.size(), code.constData(), code.size(), back);
        EXPECT_EQ(back, data);
        EXPECT_TRUE(coder.HuffmanTreeIsSound());
    }
}

TEST(LzhRoundTrip, CodesLongerThan16Bits)
{
    ExpectRoundTrip(DeepTreeInput());
}

TEST(LzhCoder, OutputDependsOnTheInputAlone)
{
    // The bytes past the end of a short source take part in the comparisons:
    // had a run of spaces been left there, "   " would match 60 spaces at
    // distance 60 instead of 3 at distance 1.
    const QByteArray a(3, ' ');
    const QByteArray b = QByteArray(5000, ' ') + RandomBytes(3000, 6);
    TLZH coder;
    QByteArray first = QByteArrayLiteral("kept");
    coder.LZHPack(a.constData(), a.size(), first);
    EXPECT_EQ(first, QByteArrayLiteral("kept") + QByteArray::fromHex("8c0000"));
    QByteArray other;
    coder.LZHPack(b.constData(), b.size(), other);
    QByteArray again = QByteArrayLiteral("kept");
    coder.LZHPack(a.constData(), a.size(), again);
    EXPECT_EQ(again, first);
    EXPECT_EQ(LZHPackBlob(b), Prefix(qint32(b.size())) + other);
}

// The component stream of a diary of a few megabytes: what a save packs.
QByteArray DiaryBytes()
{
    TDiaryDB db;
    const TDateTime first = EncodeDate(2001, 1, 1);
    for (int i = 0; i < 900; ++i) {
        const QByteArray text = EnglishLikeText(1000 + i % 7 * 600, quint32(i + 11));
        const QString body = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\f0\\fs20 %1\\par}")
                                 .arg(QString::fromLatin1(text));
        db.AddEntry(
            first + i, QStringLiteral("Day %1").arg(i), body, QStringLiteral("note %1").arg(i), QString(), i % 17);
    }
    return db.SaveToBytes(false);
}

TEST(LzhThreads, EveryThreadCountGivesTheSingleThreadedOutput)
{
    const QByteArray leadingSpaces = QByteArray(70, ' ') + EnglishLikeText(300000, 12);
    const std::pair<const char*, QByteArray> inputs[] = {
        { "one byte", QByteArray(1, 'x') },
        { "shorter than a match", EnglishLikeText(59, 3) },
        { "one match long", EnglishLikeText(60, 4) },
        { "just past it", EnglishLikeText(61, 5) },
        { "twice the ring", EnglishLikeText(8192, 9) },
        { "leading spaces", leadingSpaces },
        { "ending in a run", EnglishLikeText(20000, 10) + QByteArray(100, 'a') },
        { "one byte value only", QByteArray(300000, '\0') },
        { "random", RandomBytes(1 << 20, 8) },
        { "deep Huffman tree", DeepTreeInput() },
        { "diary", DiaryBytes() },
    };
    for (const auto& [name, data] : inputs) {
        TLZH coder;
        QByteArray single;
        coder.LZHPack(data.constData(), data.size(), single, 1);
        const int rebuilds = coder.TreeRebuilds();
        for (int threads : { 2, 3, 5, 9 }) {
            QByteArray threaded = QByteArrayLiteral("kept");
            EXPECT_EQ(coder.LZHPack(data.constData(), data.size(), threaded, threads), data.size());
            EXPECT_TRUE(threaded == QByteArrayLiteral("kept") + single) << name << " on " << threads << " threads";
            EXPECT_EQ(coder.TreeRebuilds(), rebuilds) << name;
            EXPECT_EQ(coder.CodeSize(), single.size()) << name;
        }
    }
}

TEST(LzhThreads, TheDefaultCountApplies)
{
    EXPECT_EQ(TLZH::PackThreadsFor(100, 0), 1); // too small to pay
    EXPECT_EQ(TLZH::PackThreadsFor(100, 3), 3);
    EXPECT_GE(TLZH::PackThreadsFor(1 << 24, 0), 1);
    TLZH::SetDefaultPackThreads(1);
    EXPECT_EQ(TLZH::PackThreadsFor(1 << 24, 0), 1);
    EXPECT_EQ(TLZH::PackThreadsFor(1 << 24, 4), 4);
    TLZH::SetDefaultPackThreads(0);
}

TEST(LzhBlob, StreamsAreReadAndWrittenFromTheStart)
{
    const QByteArray data = EnglishLikeText(5000, 7);
    TMemoryStream source(data);
    source.SetPosition(1234);
    TMemoryStream packed;
    packed.WriteBytes(QByteArrayLiteral("garbage"));
    TLZHCompress::LZHCompressBlobStream(source, packed);
    const QByteArray blob = LZHPackBlob(data);
    EXPECT_EQ(packed.Bytes(), blob);

    packed.SetPosition(packed.Size());
    TMemoryStream unpacked;
    TLZHCompress::LZHDecompressBlobStream(packed, unpacked);
    EXPECT_EQ(unpacked.Bytes(), data);
    EXPECT_EQ(TLZHCompress::CalcCRC32(packed), qint32(Crc32(blob.constData(), blob.size())));
}

TEST(LzhHostile, BadPrefixesRaise)
{
    for (const char* hex : { "", "00", "0000", "000000" })
        EXPECT_THROW(LZHUnpackBlob(QByteArray::fromHex(hex)), ElzhException) << hex;
    EXPECT_THROW(LZHUnpackBlob(Prefix(-1) + QByteArray(100, 'x')), ElzhException);
    EXPECT_THROW(LZHUnpackBlob(Prefix(std::numeric_limits<qint32>::max()) + QByteArray(10, 'x')), ElzhException);
    EXPECT_THROW(LZHUnpackBlob(Prefix(1)), ElzhException);
    TMemoryStream truncated(QByteArray::fromHex("0100"));
    TMemoryStream out;
    EXPECT_THROW(TLZHCompress::LZHDecompressBlobStream(truncated, out), ElzhException);

    // Ten bits hold at most a 60-byte match; one more byte cannot be right.
    const qint64 bound = TLZH::MaxTextSize(5);
    EXPECT_EQ(bound, 4 * 60);
    EXPECT_EQ(LZHUnpackBlob(Prefix(qint32(bound)) + QByteArray(5, '\0')).size(), bound);
    EXPECT_THROW(LZHUnpackBlob(Prefix(qint32(bound + 1)) + QByteArray(5, '\0')), ElzhException);
}

TEST(LzhHostile, MissingBitsReadAsZeros)
{
    // All-zero bits: 't' (code 00000000), then the leaf that took 't''s old
    // place, a match of 60, at distance 1, cut at the announced size.
    EXPECT_EQ(LZHUnpackBlob(QByteArray::fromHex("0800000000")), QByteArrayLiteral("tttttttt"));

    const QByteArray data = EnglishLikeText(3000, 8);
    const QByteArray blob = LZHPackBlob(data);
    const QByteArray cut = LZHUnpackBlob(blob.left(blob.size() / 2));
    ASSERT_EQ(cut.size(), data.size());
    EXPECT_EQ(cut.left(500), data.left(500));
}

TEST(LzhHostile, GarbageGivesTheAnnouncedSizeOrRaises)
{
    XorShift32 rng { 9 };
    for (int i = 0; i < 3000; ++i) {
        const qsizetype n = rng.Next() % 200;
        const qint32 size = qint32(rng.Next() % 3 == 0 ? rng.Next() : rng.Next() % 4000);
        const QByteArray blob = Prefix(size) + RandomBytes(n, rng.Next() | 1);
        try {
            EXPECT_EQ(LZHUnpackBlob(blob).size(), size);
        } catch (const ElzhException&) {
            EXPECT_TRUE(size < 0 || size > TLZH::MaxTextSize(n));
        }
    }
}

TEST(LzhBlob, PiecesJoinToTheWholeUnpackAndCountOnce)
{
    const QByteArray text = EnglishLikeText(20000, 11);
    const QByteArray blob = LZHPackBlob(text);
    // Zero bits past a cut stream decode to long matches that run past the
    // announced size; a piece can end inside any of them.
    const QByteArray damaged = Prefix(1900) + Code(blob).left(40);
    const struct {
        const char* what;
        QByteArray blob;
    } blobs[] = { { "text", blob }, { "damaged", damaged }, { "empty", LZHPackBlob({}) } };
    for (const auto& b : blobs) {
        const QByteArray whole = LZHUnpackBlob(b.blob);
        for (const qint64 piece : { 1, 2, 59, 60, 61, 256, 4096, 100000 }) {
            TLZHBlobReader reader(b.blob.constData(), b.blob.size());
            EXPECT_EQ(reader.Size(), whole.size());
            const qint64 before = TLZH::TotalUnpacked();
            QByteArray joined;
            while (reader.Left() > 0)
                reader.Read(piece, joined);
            reader.Read(piece, joined); // nothing is left to append
            EXPECT_EQ(joined, whole) << b.what << " in pieces of " << piece;
            EXPECT_EQ(TLZH::TotalUnpacked() - before, whole.size()) << b.what << " in pieces of " << piece;
        }
    }
    EXPECT_THROW(TLZHBlobReader(damaged.constData(), 3), ElzhException);
    EXPECT_THROW(TLZHBlobReader(Prefix(-1).constData(), 4), ElzhException);
}

TEST(Crc32, StandardCheckValue)
{
    TMemoryStream stream(QByteArrayLiteral("123456789"));
    EXPECT_EQ(quint32(TCRC32().CalcCRC32(stream)), 0xCBF43926u);
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    TMemoryStream empty;
    EXPECT_EQ(TCRC32().CalcCRC32(empty), 0);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(Crc32, WholeStreamWhateverThePosition)
{
    const QByteArray data = RandomBytes(25000, 10); // more than two 10240-byte blocks
    const quint32 expected = Crc32(data.constData(), data.size());
    TMemoryStream stream(data);
    const TCRC32 crc;
    for (qint64 position : { qint64(0), qint64(7), qint64(10240), data.size() }) {
        stream.SetPosition(position);
        EXPECT_EQ(quint32(crc.CalcCRC32(stream)), expected);
        EXPECT_EQ(stream.Position(), position);
    }
}

TEST(Crc32, BlocksChainAndAgreeWithTheByteTable)
{
    const QByteArray data = RandomBytes(300, 11);
    for (int n = 0; n <= 300; n += 13) {
        TMemoryStream stream(data.left(n));
        const quint32 whole = Crc32(data.constData(), n);
        EXPECT_EQ(quint32(TCRC32().CalcCRC32(stream)), whole) << n;
        for (int split : { 0, n / 3, n })
            EXPECT_EQ(Crc32(data.constData() + split, n - split, Crc32(data.constData(), split)), whole);
    }
}
