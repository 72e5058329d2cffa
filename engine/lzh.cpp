#include "lzh.h"

#include "crc32.h"

#include "platform/core/streams.h"

#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

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

inline quint64 Load64BE(const uchar* p)
{
    quint64 v;
    std::memcpy(&v, p, sizeof v);
    return qFromBigEndian(v);
}

} // namespace

// The coder's tables as flat arrays with the classic names. Node indices fit
// in 16 bits; keeping them small keeps the search trees in the L1 cache.
struct TLZH::Tables {
    // Ring buffer, then a mirror of its first F - 1 bytes so a string starting
    // near the end reads on without wrapping, then 8 bytes of slack for the
    // word-wise comparison, which reads up to index N + 63.
    uchar text_buf[N + F - 1 + 8];
    // Search tree node of each ring position, with NIL (N) as a scratch
    // node and N+1 .. N+256 holding, as right child, the root of the tree of
    // each first byte. The children sit in one array indexed by the outcome of
    // the comparison, which spares the search an unpredictable branch, and a
    // node's links share a cache line.
    struct Node {
        quint16 son[2]; // lson, rson
        quint16 dad;
        quint16 unused; // a power-of-two size makes indexing a shift
    };
    Node node[N + 257];
    quint16 freq[T + 1]; // freq[T] is a sentinel above every frequency
    quint16 prnt[T + N_CHAR]; // prnt[T + c] is the node holding leaf c
    quint16 son[T]; // >= T: a leaf, symbol son - T

    quint16& lson(int p) { return node[p].son[0]; }
    quint16& rson(int p) { return node[p].son[1]; }
    quint16& dad(int p) { return node[p].dad; }
};

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
    match_position = 0;
    match_length = 0;
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

// Adds the string at ring position r to the tree of its first byte and finds
// the longest earlier string sharing its prefix (match_length, and the
// distance minus one in match_position). Among equally long matches on the
// search path the nearest wins. A string equal over all F bytes replaces the
// older node, which is then no longer needed.
void TLZH::InsertNode(int r)
{
    Tables& t = *tables;
    const uchar* key = &t.text_buf[r];
    // Bytes 1..8 of the key as a big-endian word: comparing such words orders
    // strings as bytewise comparison does, and the leading zero bits of their
    // difference count the equal leading bytes.
    const quint64 key1 = Load64BE(key + 1);
    Q_ASSERT(t.dad(r) == NIL); // removed before its byte was replaced
    t.rson(r) = t.lson(r) = quint16(NIL);

    // The best match so far as length * 4096 + (4095 - distance code): the
    // largest value is the longest match and, among equally long ones, the
    // nearest, which keeps the bookkeeping free of hard-to-predict branches.
    int best = 0;
    int p = N + 1 + key[0];
    int dir = 1; // the tree's root hangs right of its anchor
    int next = t.rson(p);
    for (;;) {
        if (next == NIL) {
            t.node[p].son[dir] = quint16(r);
            t.dad(r) = quint16(p);
            break;
        }
        p = next;
        // Both children are fetched while the comparison is still running.
        const int left = t.lson(p);
        const int right = t.rson(p);

        // i: length of the common prefix counting byte 0 (1..F); dir: 1 when
        // the key sorts at or after node p, so the search goes right.
        const uchar* other = &t.text_buf[p];
        int i;
        const quint64 other1 = Load64BE(other + 1);
        if (key1 != other1) [[likely]] {
            // "| 1" tells the compiler the operand is not zero; it does not
            // change the count of a non-zero value.
            i = 1 + (std::countl_zero((key1 ^ other1) | 1) >> 3);
            dir = key1 > other1;
        } else {
            i = 9;
            for (;;) {
                const quint64 a = Load64BE(key + i);
                const quint64 b = Load64BE(other + i);
                if (a != b) {
                    i += std::countl_zero(a ^ b) >> 3;
                    dir = a > b;
                    break;
                }
                i += 8;
                if (i >= F)
                    break;
            }
            // Bytes past F - 1 are not part of the string.
            if (i >= F) {
                ReplaceNode(p, r);
                match_length = F;
                match_position = ((r - p) & (N - 1)) - 1;
                return;
            }
        }
        const int d = ((r - p) & (N - 1)) - 1;
        // Arithmetic rather than a condition: whether a match is long enough
        // is unpredictable, and a mispredicted branch costs more than this.
        const int tooShort = (i - THRESHOLD - 1) >> 31; // -1 when i <= THRESHOLD
        const int score = ((i << 12) | (N - 1 - d)) & ~tooShort;
        best = std::max(best, score);
        next = dir ? right : left;
    }
    match_length = best >> 12;
    if (best != 0)
        match_position = N - 1 - (best & (N - 1));
}

// A string equal to node p over all F bytes takes p's place and children;
// p is no longer needed, as r is nearer and matches the same.
void TLZH::ReplaceNode(int p, int r)
{
    Tables& t = *tables;
    t.dad(r) = t.dad(p);
    t.lson(r) = t.lson(p);
    t.rson(r) = t.rson(p);
    t.dad(t.lson(p)) = quint16(r);
    t.dad(t.rson(p)) = quint16(r);
    t.node[t.dad(p)].son[t.rson(t.dad(p)) == p] = quint16(r);
    t.dad(p) = quint16(NIL);
}

// Removes the string at ring position p before its byte is overwritten.
void TLZH::DeleteNode(int p)
{
    Tables& t = *tables;
    const int parent = t.dad(p);
    if (parent == NIL)
        return;
    const int left = t.lson(p);
    const int right = t.rson(p);
    int q;
    if (right == NIL) {
        q = left;
    } else if (left == NIL) {
        q = right;
    } else {
        // Two children: the in-order predecessor takes p's place.
        q = left;
        if (t.rson(q) != NIL) {
            do {
                q = t.rson(q);
            } while (t.rson(q) != NIL);
            t.rson(t.dad(q)) = t.lson(q);
            t.dad(t.lson(q)) = t.dad(q);
            t.lson(q) = quint16(left);
            t.dad(left) = quint16(q);
        }
        t.rson(q) = quint16(right);
        t.dad(right) = quint16(q);
    }
    t.dad(q) = quint16(parent);
    t.node[parent].son[t.rson(parent) == p] = quint16(q);
    t.dad(p) = quint16(NIL);
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

qint64 TLZH::LZHPack(const char* source, qint64 size, QByteArray& dest)
{
    InitTables();
    Tables& t = *tables;
    const uchar* in = reinterpret_cast<const uchar*>(source);
    qint64 inAt = 0;

    outArray = &dest;
    outPos = dest.size();
    const qint64 start = outPos;
    dest.resize(outPos + size / 2 + 64);
    outPtr = dest.data();
    outEnd = dest.size();

    StartHuff();
    for (int i = N + 1; i <= N + 256; ++i)
        t.rson(i) = quint16(NIL);
    for (int i = 0; i <= N; ++i)
        t.dad(i) = quint16(NIL);

    int s = 0;
    int r = N - F;
    std::memset(t.text_buf, ' ', size_t(r));
    int len = int(std::min<qint64>(F, size));
    if (len > 0)
        std::memcpy(&t.text_buf[r], in, size_t(len));
    inAt = len;
    textsize = len;

    // The spaces before the first byte are searchable, so a leading run of
    // spaces is coded as a match.
    for (int i = 1; i <= F; ++i)
        InsertNode(r - i);
    InsertNode(r);

    while (len > 0) {
        if (match_length > len)
            match_length = len;
        EnsureRoom(16);
        if (match_length <= THRESHOLD) {
            match_length = 1;
            EncodeChar(t.text_buf[r]);
        } else {
            EncodeChar(unsigned(255 - THRESHOLD + match_length));
            EncodePosition(unsigned(match_position));
        }

        // Each insertion below overwrites match_length, so the count of bytes
        // to move past is taken first.
        const int last_match_length = match_length;
        int i = 0;
        for (; i < last_match_length && inAt < size; ++i) {
            const uchar c = in[inAt++];
            DeleteNode(s);
            t.text_buf[s] = c;
            if (s < F - 1)
                t.text_buf[s + N] = c;
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            InsertNode(r);
        }
        textsize += i;
        for (; i < last_match_length; ++i) {
            DeleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len != 0)
                InsertNode(r);
        }
    }
    EncodeEnd();

    codesize = outPos - start;
    dest.resize(outPos);
    outArray = nullptr;
    outPtr = nullptr;
    return textsize;
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
    std::memset(tables->text_buf, ' ', N - F);
    ringPos = N - F;
    copyFrom = 0;
    copyLeft = 0;
}

void TLZH::UnpackNext(char* dest, qint64 count)
{
    Q_ASSERT(count >= 0 && count <= UnpackLeft());
    uchar* const out = reinterpret_cast<uchar*>(dest);
    uchar* const ring = tables->text_buf;
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
