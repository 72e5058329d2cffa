#include "lzh.h"

#include "crc32.h"
#include "lzh_tree.h"

#include "platform/core/streams.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>
#include <vector>

#include <QScopeGuard>

namespace {

// The classic LZHUF position code: the upper six bits of a match position get
// a canonical prefix code with these many codes of each length (index = bits).
// The low six bits follow verbatim.
constexpr int kPositionCodeCounts[9] = { 0, 0, 0, 1, 3, 8, 12, 24, 16 };

struct PositionCode {
    uchar p_len[64] = {}; // code length of each upper value
    uchar p_code[64] = {}; // its code, left-aligned in a byte
    uchar d_code[256] = {}; // upper value whose code prefixes the next 8 bits
    uchar d_len[256] = {}; // and the length of that code
};

constexpr PositionCode MakePositionCode()
{
    PositionCode t;
    int value = 0;
    int next = 0; // next free code, left-aligned in a byte
    for (int length = 3; length <= 8; ++length) {
        for (int k = 0; k < kPositionCodeCounts[length]; ++k) {
            t.p_len[value] = uchar(length);
            t.p_code[value] = uchar(next);
            const int span = 1 << (8 - length);
            for (int b = 0; b < span; ++b) {
                t.d_code[next + b] = uchar(value);
                t.d_len[next + b] = uchar(length);
            }
            next += span;
            ++value;
        }
    }
    return t;
}

constexpr PositionCode kPos = MakePositionCode();
static_assert(kPos.p_code[0] == 0x00 && kPos.p_code[1] == 0x20 && kPos.p_code[4] == 0x50 && kPos.p_code[5] == 0x58
        && kPos.p_code[63] == 0xFF && kPos.p_len[63] == 8,
    "the counts must give the complete canonical code of LZHUF");
static_assert(kPos.d_code[31] == 0 && kPos.d_len[31] == 3 && kPos.d_code[32] == 1 && kPos.d_len[47] == 4);

} // namespace

// The coder's tables as flat arrays with the classic names. Node indices fit
// in 16 bits; keeping them small keeps the tables in the L1 cache.
struct TLZH::Tables {
    TLZHMatchTree tree; // its ring buffer is the unpacker's too
    quint16 freq[T + 1]; // freq[T] is a sentinel above every frequency
    quint16 prnt[T + N_CHAR]; // prnt[T + c] is the node holding leaf c
    quint16 son[T]; // >= T: a leaf, symbol son - T
};

static_assert(
    TLZH::N == TLZHMatchTree::N && TLZH::F == TLZHMatchTree::F && TLZH::THRESHOLD == TLZHMatchTree::THRESHOLD);

TLZH::TLZH()
{
    try {
        tables = std::make_unique<Tables>();
    } catch (const std::bad_alloc&) {
        throw ElzhException(QStringLiteral("LZH : Cannot get memory for dictionary tables"));
    }
}

TLZH::~TLZH() = default;

// Every run starts from zeroed tables, the ring buffer included, so nothing a
// previous run or the allocator left behind can reach the output: the bytes
// past the input at the end of a short source take part in match comparisons.
void TLZH::InitTables()
{
    std::memset(tables.get(), 0, sizeof(Tables));
    getbuf = 0;
    getlen = 0;
    putbuf = 0;
    putlen = 0;
    textsize = 0;
    codesize = 0;
    unpackEnd = 0;
    rebuilds = 0;
}

// Initial tree: leaves 0..313 at nodes 0..313, each pair (2m, 2m+1) joined
// under node 314 + m. Symbols 0..115 start with 9-bit codes, 116..313 with
// 8-bit codes.
void TLZH::StartHuff()
{
    Tables& t = *tables;
    for (int i = 0; i < N_CHAR; ++i) {
        t.freq[i] = 1;
        t.son[i] = quint16(i + T);
        t.prnt[i + T] = quint16(i);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        t.freq[j] = quint16(t.freq[i] + t.freq[i + 1]);
        t.son[j] = quint16(i);
        t.prnt[i] = t.prnt[i + 1] = quint16(j);
    }
    t.freq[T] = 0xFFFF;
    t.prnt[R] = 0;
}

// Halves the frequencies and rebuilds the tree from the leaves, keeping it a
// valid Huffman tree; a new node goes after all nodes of equal frequency.
void TLZH::reconst()
{
    Tables& t = *tables;
    int leaves = 0;
    for (int i = 0; i < T; ++i) {
        if (t.son[i] >= T) {
            t.freq[leaves] = quint16((t.freq[i] + 1) / 2);
            t.son[leaves] = t.son[i];
            ++leaves;
        }
    }
    Q_ASSERT(leaves == N_CHAR);
    for (int i = 0, j = N_CHAR; j < T; i += 2, ++j) {
        const unsigned f = unsigned(t.freq[i]) + t.freq[i + 1];
        int k = j - 1;
        while (f < t.freq[k])
            --k;
        ++k;
        std::memmove(&t.freq[k + 1], &t.freq[k], size_t(j - k) * sizeof t.freq[0]);
        t.freq[k] = quint16(f);
        std::memmove(&t.son[k + 1], &t.son[k], size_t(j - k) * sizeof t.son[0]);
        t.son[k] = quint16(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = t.son[i];
        if (k >= T)
            t.prnt[k] = quint16(i);
        else
            t.prnt[k] = t.prnt[k + 1] = quint16(i);
    }
    ++rebuilds;
    Q_ASSERT(HuffmanTreeIsSound());
}

// Counts symbol c and restores the ordering of the frequencies by moving each
// node that outgrew its right neighbour past the last node still smaller.
void TLZH::update(int c)
{
    Tables& t = *tables;
    if (t.freq[R] == MAX_FREQ)
        reconst();
    c = t.prnt[c + T];
    do {
        const unsigned k = ++t.freq[c];
        int l = c + 1;
        if (k > t.freq[l]) {
            while (k > t.freq[++l]) { }
            --l;
            t.freq[c] = t.freq[l];
            t.freq[l] = quint16(k);

            const int i = t.son[c];
            t.prnt[i] = quint16(l);
            if (i < T)
                t.prnt[i + 1] = quint16(l);

            const int j = t.son[l];
            t.son[l] = quint16(i);

            t.prnt[j] = quint16(c);
            if (j < T)
                t.prnt[j + 1] = quint16(c);
            t.son[c] = quint16(j);

            c = l;
        }
        Q_ASSERT(t.freq[c] <= t.freq[c + 1]);
    } while ((c = t.prnt[c]) != 0);
}

bool TLZH::HuffmanTreeIsSound() const
{
    const Tables& t = *tables;
    if (t.freq[T] != 0xFFFF || t.prnt[R] != 0)
        return false;
    int leaves = 0;
    for (int k = 0; k < T; ++k) {
        if (k < R && t.freq[k] > t.freq[k + 1])
            return false;
        const int s = t.son[k];
        if (s >= T) {
            if (s - T >= N_CHAR || t.prnt[s] != k || t.freq[k] == 0)
                return false;
            ++leaves;
        } else {
            // Children come in (even, odd) pairs below their parent.
            if ((s & 1) != 0 || s + 1 >= k || t.prnt[s] != k || t.prnt[s + 1] != k
                || t.freq[k] != t.freq[s] + t.freq[s + 1])
                return false;
        }
    }
    return leaves == N_CHAR;
}

// Makes sure the output buffer has room for at least the given bytes.
void TLZH::EnsureRoom(qint64 bytes)
{
    if (outEnd - outPos >= bytes)
        return;
    const qint64 size = std::max<qint64>(outArray->size() * 2, outArray->size() + bytes + 4096);
    outArray->resize(size);
    outPtr = outArray->data();
    outEnd = size;
}

// Appends the low n bits of bits (n <= 32), whole 32-bit words at a time.
inline void TLZH::PutBits(unsigned n, quint32 bits)
{
    Q_ASSERT(n <= 32 && putlen < 32);
    putbuf = (putbuf << n) | bits;
    putlen += int(n);
    if (putlen >= 32) {
        putlen -= 32;
        const quint32 word = qToBigEndian(quint32(putbuf >> putlen));
        std::memcpy(outPtr + outPos, &word, sizeof word);
        outPos += 4;
    }
}

// Writes the pending bits, the last byte padded with zero bits.
void TLZH::EncodeEnd()
{
    EnsureRoom(8);
    while (putlen >= 8) {
        putlen -= 8;
        outPtr[outPos++] = char(uchar(putbuf >> putlen));
    }
    if (putlen > 0) {
        outPtr[outPos++] = char(uchar(putbuf << (8 - putlen)));
        putlen = 0;
    }
}

// The code of a symbol is the path from the root to its leaf, 0 for the first
// child and 1 for the second. The classic coder kept it in 16 bits, which
// garbles symbols deeper than 16 levels; the tree can reach depth 21 (a leaf
// at depth d needs a root frequency of at least Fibonacci(d + 2), and the
// root stays at or below 0x8000 = 32768 < Fibonacci(24)), so 32 bits suffice
// and the full code is written.
void TLZH::EncodeChar(unsigned c)
{
    const Tables& t = *tables;
    quint32 bits = 0;
    int n = 0;
    for (int k = t.prnt[c + T]; k != R; k = t.prnt[k]) {
        bits |= quint32(k & 1) << n;
        ++n;
    }
    Q_ASSERT(n >= 1 && n <= 21);
    PutBits(unsigned(n), bits);
    update(int(c));
}

void TLZH::EncodePosition(unsigned c)
{
    const unsigned upper = c >> 6;
    const unsigned length = kPos.p_len[upper];
    PutBits(length + 6, ((unsigned(kPos.p_code[upper]) >> (8 - length)) << 6) | (c & 0x3F));
}

// Codes one step of the parse: the match found at the position when it is
// long enough, else the byte there. Returns the bytes the step covers.
inline int TLZH::EncodeStep(int matchLength, int matchPosition, uchar literal)
{
    EnsureRoom(16);
    if (matchLength <= THRESHOLD) {
        EncodeChar(literal);
        return 1;
    }
    EncodeChar(unsigned(255 - THRESHOLD + matchLength));
    EncodePosition(unsigned(matchPosition));
    return matchLength;
}

namespace {

std::atomic<int> defaultPackThreads { 0 };

// Below this a pack takes about a millisecond: starting threads would not pay.
constexpr qint64 kThreadedPackMinimum = 256 * 1024;

} // namespace

void TLZH::SetDefaultPackThreads(int threads)
{
    defaultPackThreads.store(std::max(threads, 0), std::memory_order_relaxed);
}

int TLZH::PackThreadsFor(qint64 size, int threads)
{
    if (threads <= 0)
        threads = defaultPackThreads.load(std::memory_order_relaxed);
    if (threads > 0)
        return threads;
    if (size < kThreadedPackMinimum)
        return 1;
    // One finder beside the coder is a little slower than no thread at all;
    // beyond seven finders the trees of the most frequent bytes bound the time.
    const unsigned cores = std::thread::hardware_concurrency();
    return cores < 3 ? 1 : int(std::min(cores, 8U));
}

qint64 TLZH::LZHPack(const char* source, qint64 size, QByteArray& dest, int threads)
{
    InitTables();
    const uchar* in = reinterpret_cast<const uchar*>(source);

    outArray = &dest;
    outPos = dest.size();
    const qint64 start = outPos;
    dest.resize(outPos + size / 2 + 64);
    outPtr = dest.data();
    outEnd = dest.size();

    StartHuff();
    const int count = PackThreadsFor(size, threads);
    if (count <= 1 || size == 0 || !PackOnThreads(in, size, count - 1))
        PackOnOneThread(in, size);
    EncodeEnd();

    textsize = size;
    codesize = outPos - start;
    dest.resize(outPos);
    outArray = nullptr;
    outPtr = nullptr;
    return textsize;
}

// The classic loop: the ring buffer and the trees advance a byte at a time,
// and the match found at each coding position decides the next step.
void TLZH::PackOnOneThread(const uchar* in, qint64 size)
{
    TLZHMatchTree& t = tables->tree;
    t.Clear();
    qint64 inAt = 0;

    int s = 0;
    int r = N - F;
    std::memset(t.text_buf, ' ', size_t(r));
    int len = int(std::min<qint64>(F, size));
    if (len > 0)
        std::memcpy(&t.text_buf[r], in, size_t(len));
    inAt = len;

    // The spaces before the first byte are searchable, so a leading run of
    // spaces is coded as a match.
    for (int i = 1; i <= F; ++i)
        t.InsertNode(r - i);
    t.InsertNode(r);

    while (len > 0) {
        // Each insertion below overwrites the match, so the count of bytes to
        // move past is taken first.
        const int last_match_length = EncodeStep(std::min(t.match_length, len), t.match_position, t.text_buf[r]);
        int i = 0;
        for (; i < last_match_length && inAt < size; ++i) {
            const uchar c = in[inAt++];
            t.DeleteNode(s);
            t.text_buf[s] = c;
            if (s < F - 1)
                t.text_buf[s + N] = c;
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            t.InsertNode(r);
        }
        for (; i < last_match_length; ++i) {
            t.DeleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len != 0)
                t.InsertNode(r);
        }
    }
}

// The threaded pack rests on one fact: every position is inserted into the
// tree of its first byte whatever the parse does, and the trees of different
// bytes share no node. So the match of each position depends on the input
// alone, and finder threads, each owning the trees of some bytes, can run the
// classic sequence of insertions and deletions for their bytes. The caller's
// thread codes the parse from their results, which wait in a bounded ring.
namespace {

constexpr qint64 kBlock = 1 << 14; // positions a finder handles between reports
constexpr qint64 kResultRing = 1 << 18; // positions found ahead of the coder, at most
static_assert(kResultRing >= 2 * kBlock, "a finder must be able to work while the coder reads");

struct PackRun {
    // The bytes the classic ring buffer holds for every position a comparison
    // reads, laid flat: the spaces before the input, the input, then what the
    // ring still holds past its end (the input's bytes one ring earlier).
    // Position 0 is at text.
    std::vector<uchar> flat;
    const uchar* text = nullptr;
    qint64 size = 0;
    // The match of each position as length << 12 | distance code (0: none),
    // indexed by the position modulo kResultRing.
    std::unique_ptr<quint32[]> results;
    std::atomic<qint64> coded { 0 }; // the coder no longer reads results below this
    std::atomic<bool> stop { false };
};

class MatchFinder {
public:
    static constexpr int N = TLZHMatchTree::N;
    static constexpr int F = TLZHMatchTree::F;

    // Allocates on the caller's thread, so Run cannot fail.
    MatchFinder()
        : tree(std::make_unique<TLZHMatchTree>())
        , positions(kBlock)
        , alive(N)
    {
    }

    bool owned[256] = {};
    std::atomic<qint64> found { 0 }; // every owned position below has its result

    void Run(PackRun& run);

private:
    std::unique_ptr<TLZHMatchTree> tree;
    std::vector<qint64> positions; // this block's owned positions
    std::vector<qint64> alive; // inserted positions not yet deleted, oldest first
    int oldest = 0;
    int newest = 0;

    static int Ring(qint64 position) { return int((N - F + position) & (N - 1)); }
    void Remember(qint64 position)
    {
        alive[newest] = position;
        newest = (newest + 1) & (N - 1);
    }
};

// From position 0 on, every string in the trees starts before the one
// inserted, so the flat text serves. The classic loop deletes position
// k - (N - F + 1) just before inserting k; deletions read no bytes and only
// insertions compare, so deleting a finder's positions just before its next
// insertion leaves each of its trees as the classic loop has it then.
void MatchFinder::Run(PackRun& run)
{
    TLZHMatchTree& t = *tree;
    t.Clear();
    if (owned[uchar(' ')]) {
        // These are inserted last to first, so they are compared as the
        // classic loop does, in its first ring.
        std::memset(t.text_buf, ' ', N - F);
        std::memcpy(&t.text_buf[N - F], run.text, F);
        for (int i = 1; i <= F; ++i)
            t.InsertNode(Ring(-i));
        for (int i = F; i >= 1; --i)
            Remember(-i); // deleted oldest first
    }

    for (qint64 begin = 0; begin < run.size; begin += kBlock) {
        const qint64 end = std::min(run.size, begin + kBlock);
        // Room in the result ring: the coder must be past end - kResultRing.
        for (qint64 c = run.coded.load(std::memory_order_acquire); c < end - kResultRing;
             c = run.coded.load(std::memory_order_acquire))
            run.coded.wait(c, std::memory_order_acquire);
        if (run.stop.load(std::memory_order_relaxed))
            return;

        qint64 count = 0;
        for (qint64 k = begin; k < end; ++k) {
            positions[size_t(count)] = k;
            count += owned[run.text[k]];
        }
        for (qint64 n = 0; n < count; ++n) {
            const qint64 k = positions[size_t(n)];
            while (oldest != newest && alive[oldest] <= k - (N - F + 1)) {
                t.DeleteNode(Ring(alive[oldest]));
                oldest = (oldest + 1) & (N - 1);
            }
            t.InsertFlat(Ring(k), run.text + k);
            Remember(k);
            run.results[size_t(k & (kResultRing - 1))]
                = t.match_length == 0 ? 0 : quint32(t.match_length << 12 | t.match_position);
        }
        found.store(end, std::memory_order_release);
        found.notify_all();
    }
}

// Gives each finder the bytes of about an equal share of the positions, the
// most frequent bytes first, each to the finder with the least so far.
void ShareBytes(const uchar* in, qint64 size, std::vector<std::unique_ptr<MatchFinder>>& finders)
{
    std::array<qint64, 256> counts {};
    for (qint64 k = 0; k < size; ++k)
        ++counts[in[k]];
    std::array<int, 256> bytes;
    std::iota(bytes.begin(), bytes.end(), 0);
    std::stable_sort(bytes.begin(), bytes.end(), [&](int a, int b) { return counts[a] > counts[b]; });
    std::vector<qint64> load(finders.size(), 0);
    for (int b : bytes) {
        const size_t least = size_t(std::min_element(load.begin(), load.end()) - load.begin());
        finders[least]->owned[b] = true;
        load[least] += counts[b];
    }
}

} // namespace

bool TLZH::PackOnThreads(const uchar* in, qint64 size, int finderCount)
{
    // Past the end the ring holds the bytes one ring earlier, and its mirror
    // of the first F - 1 bytes agrees with them, once the input fills the ring
    // twice; shorter inputs are quick on one thread anyway.
    if (size < 2 * N)
        return false;
    PackRun run;
    run.flat.resize(size_t(F + size + F + 8), uchar(' '));
    std::memcpy(run.flat.data() + F, in, size_t(size));
    std::memcpy(run.flat.data() + F + size, in + size - N, F + 8);
    run.text = run.flat.data() + F;
    run.size = size;
    run.results = std::make_unique<quint32[]>(kResultRing);
    std::vector<std::unique_ptr<MatchFinder>> finders;
    for (int i = 0; i < finderCount; ++i)
        finders.push_back(std::make_unique<MatchFinder>());
    ShareBytes(in, size, finders);

    // Whatever ends the run, every thread is stopped and joined before the
    // coder's tables and the input can go.
    std::vector<std::thread> threads;
    auto stopAndJoin = qScopeGuard([&] {
        run.stop.store(true, std::memory_order_relaxed);
        run.coded.store(std::numeric_limits<qint64>::max(), std::memory_order_release);
        run.coded.notify_all();
        for (std::thread& thread : threads)
            thread.join();
    });
    try {
        for (auto& finder : finders)
            threads.emplace_back([&finder, &run] { finder->Run(run); });
    } catch (const std::system_error&) {
        return false; // nothing coded yet: the caller packs on its own thread
    }

    qint64 ready = 0; // every position below has its result
    qint64 report = 0;
    for (qint64 k = 0; k < size;) {
        if (k >= ready) {
            run.coded.store(k, std::memory_order_release);
            run.coded.notify_all();
            report = k + kBlock;
            ready = size;
            for (auto& finder : finders) {
                qint64 found;
                while ((found = finder->found.load(std::memory_order_acquire)) <= k)
                    finder->found.wait(found, std::memory_order_acquire);
                ready = std::min(ready, found);
            }
        }
        const quint32 match = run.results[size_t(k & (kResultRing - 1))];
        k += EncodeStep(
            std::min<int>(int(match >> 12), int(std::min<qint64>(F, size - k))), int(match & (N - 1)), in[k]);
        if (k >= report) {
            run.coded.store(k, std::memory_order_release);
            run.coded.notify_all();
            report = k + kBlock;
        }
    }
    return true;
}

// Tops the bit buffer up to at least 57 bits. Past the end of the input the
// format reads zero bits: a damaged stream still decodes to the announced
// size and the CRC over the packed data is what detects it.
void TLZH::FillBits()
{
    if (inSize - inPos >= 8) {
        // Loads 8 bytes but counts only the whole bytes that fit; the
        // surplus bits are the same ones the next load ORs in again.
        quint64 v;
        std::memcpy(&v, inPtr + inPos, sizeof v);
        getbuf |= qFromBigEndian(v) >> getlen;
        inPos += (63 - getlen) >> 3;
        getlen |= 56;
        return;
    }
    while (getlen <= 56) {
        const quint64 b = inPos < inSize ? inPtr[inPos++] : 0;
        getbuf |= b << (56 - getlen);
        getlen += 8;
    }
}

inline int TLZH::DecodeChar()
{
    const Tables& t = *tables;
    // No code is longer than 21 bits (see EncodeChar).
    if (getlen < 32)
        FillBits();
    int c = t.son[R];
    while (c < T) {
        c = t.son[c + int(getbuf >> 63)];
        getbuf <<= 1;
        --getlen;
    }
    Q_ASSERT(getlen >= 0);
    c -= T;
    update(c);
    return c;
}

inline int TLZH::DecodePosition()
{
    if (getlen < 14)
        FillBits();
    const unsigned b = unsigned(getbuf >> 56);
    const int total = kPos.d_len[b] + 6;
    const int low = int(getbuf >> (64 - total)) & 0x3F;
    getbuf <<= total;
    getlen -= total;
    return (kPos.d_code[b] << 6) | low;
}

// Every symbol takes at least one bit and produces at most one byte, or, for
// a match, takes at least ten bits (a symbol and a position of 3 + 6 bits) and
// produces at most F bytes. So B bits decode to at most F * (B / 10) + B % 10
// bytes; anything above cannot have come from this coder.
qint64 TLZH::MaxTextSize(qint64 size)
{
    if (size <= 0)
        return 0;
    qint64 bits;
    if (qMulOverflow(size, qint64(8), &bits))
        return std::numeric_limits<qint64>::max();
    qint64 bytes;
    if (qMulOverflow(bits / 10, qint64(F), &bytes))
        return std::numeric_limits<qint64>::max();
    return bytes + bits % 10;
}

namespace {

std::atomic<qint64> totalUnpacked { 0 };

} // namespace

qint64 TLZH::TotalUnpacked()
{
    return totalUnpacked.load(std::memory_order_relaxed);
}

void TLZH::LZHUnpack(qint64 textSize, const char* source, qint64 size, QByteArray& dest)
{
    BeginUnpack(textSize, source, size);
    const qint64 base = dest.size();
    dest.resize(base + textSize);
    UnpackNext(dest.data() + base, textSize);
}

void TLZH::BeginUnpack(qint64 textSize, const char* source, qint64 size)
{
    if (textSize < 0)
        throw ElzhException(QStringLiteral("LZH : Negative unpacked size %1").arg(textSize));
    if (textSize > MaxTextSize(size))
        throw ElzhException(QStringLiteral("LZH : Unpacked size %1 is more than %2 bytes of packed data can hold")
                                .arg(textSize)
                                .arg(size));

    InitTables();
    inPtr = reinterpret_cast<const uchar*>(source);
    inPos = 0;
    inSize = size;
    codesize = size;
    unpackEnd = textSize;
    StartHuff();
    std::memset(tables->tree.text_buf, ' ', N - F);
    ringPos = N - F;
    copyFrom = 0;
    copyLeft = 0;
}

void TLZH::UnpackNext(char* dest, qint64 count)
{
    Q_ASSERT(count >= 0 && count <= UnpackLeft());
    uchar* const out = reinterpret_cast<uchar*>(dest);
    uchar* const ring = tables->tree.text_buf;
    int r = ringPos;
    qint64 at = 0;
    // The match the last piece stopped in goes on first.
    for (; copyLeft > 0 && at < count; --copyLeft) {
        const uchar b = ring[copyFrom];
        copyFrom = (copyFrom + 1) & (N - 1);
        out[at++] = b;
        ring[r] = b;
        r = (r + 1) & (N - 1);
    }
    while (at < count) {
        const int c = DecodeChar();
        if (c < 256) {
            out[at++] = uchar(c);
            ring[r] = uchar(c);
            r = (r + 1) & (N - 1);
        } else {
            int i = (r - DecodePosition() - 1) & (N - 1);
            // A damaged stream may announce a match past the end: the run
            // stops at exactly the announced size, and a piece keeps the rest
            // of its last match for the next.
            const int length = c - 253;
            const int n = int(std::min<qint64>(length, count - at));
            for (int k = 0; k < n; ++k) {
                const uchar b = ring[i];
                i = (i + 1) & (N - 1);
                out[at++] = b;
                ring[r] = b;
                r = (r + 1) & (N - 1);
            }
            copyFrom = i;
            copyLeft = length - n;
        }
    }
    ringPos = r;
    textsize += count;
    totalUnpacked.fetch_add(count, std::memory_order_relaxed);
    if (UnpackLeft() == 0)
        inPtr = nullptr;
}

namespace {

constexpr int kPrefixSize = 4;

QByteArray PackBlob(const char* data, qint64 size)
{
    if (size > std::numeric_limits<qint32>::max())
        throw ElzhException(QStringLiteral("LZH : %1 bytes do not fit the 32-bit size prefix").arg(size));
    QByteArray blob(kPrefixSize, Qt::Uninitialized);
    qToLittleEndian(qint32(size), blob.data());
    TLZH coder;
    coder.LZHPack(data, size, blob);
    return blob;
}

QByteArray UnpackBlob(const char* data, qint64 size)
{
    TLZHBlobReader reader(data, size);
    QByteArray out;
    reader.Read(reader.Size(), out);
    return out;
}

QByteArray ReadAll(TStream& stream)
{
    stream.SetPosition(0);
    QByteArray bytes(stream.Size(), Qt::Uninitialized);
    stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

} // namespace

TLZHBlobReader::TLZHBlobReader(const char* blob, qint64 size)
{
    if (size < kPrefixSize)
        throw ElzhException(QStringLiteral("LZH : The packed data is too short to hold its size prefix"));
    fSize = qFromLittleEndian<qint32>(blob);
    fCoder.BeginUnpack(fSize, blob + kPrefixSize, size - kPrefixSize);
}

void TLZHBlobReader::Read(qint64 count, QByteArray& dest)
{
    count = std::clamp<qint64>(count, 0, Left());
    const qint64 base = dest.size();
    dest.resize(base + count);
    fCoder.UnpackNext(dest.data() + base, count);
}

void TLZHCompress::LZHCompressBlobStream(TStream& UnCompressed, TStream& Compressed)
{
    const QByteArray source = ReadAll(UnCompressed);
    const QByteArray blob = PackBlob(source.constData(), source.size());
    Compressed.SetPosition(0);
    Compressed.WriteBuffer(blob.constData(), blob.size());
}

void TLZHCompress::LZHDecompressBlobStream(TStream& Compressed, TStream& DeCompressed)
{
    const QByteArray blob = ReadAll(Compressed);
    const QByteArray data = UnpackBlob(blob.constData(), blob.size());
    DeCompressed.SetPosition(0);
    DeCompressed.WriteBuffer(data.constData(), data.size());
}

qint32 TLZHCompress::CalcCRC32(TStream& Stream)
{
    TCRC32 crc;
    return crc.CalcCRC32(Stream);
}

QByteArray LZHPackBlob(const QByteArray& data)
{
    return PackBlob(data.constData(), data.size());
}

QByteArray LZHUnpackBlob(const QByteArray& blob)
{
    return UnpackBlob(blob.constData(), blob.size());
}
