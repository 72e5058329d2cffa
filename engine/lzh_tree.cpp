#include "lzh_tree.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

inline quint64 Load64BE(const uchar* p)
{
    quint64 v;
    std::memcpy(&v, p, sizeof v);
    return qFromBigEndian(v);
}

} // namespace

void TLZHMatchTree::Clear()
{
    std::memset(this, 0, sizeof *this);
    for (int i = N + 1; i <= N + 256; ++i)
        rson(i) = quint16(NIL);
    for (int i = 0; i <= N; ++i)
        dad(i) = quint16(NIL);
}

// Adds the string at ring position r to the tree of its first byte and finds
// the longest earlier string sharing its prefix (match_length, and the
// distance minus one in match_position). Among equally long matches on the
// search path the nearest wins. A string equal over all F bytes replaces the
// older node, which is then no longer needed.
template <bool Flat> void TLZHMatchTree::Insert(int r, const uchar* key)
{
    TLZHMatchTree& t = *this;
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
        const uchar* other = Flat ? key - ((r - p) & (N - 1)) : &t.text_buf[p];
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

void TLZHMatchTree::InsertNode(int r)
{
    Insert<false>(r, &text_buf[r]);
}

void TLZHMatchTree::InsertFlat(int r, const uchar* key)
{
    Insert<true>(r, key);
}

// A string equal to node p over all F bytes takes p's place and children;
// p is no longer needed, as r is nearer and matches the same.
void TLZHMatchTree::ReplaceNode(int p, int r)
{
    TLZHMatchTree& t = *this;
    t.dad(r) = t.dad(p);
    t.lson(r) = t.lson(p);
    t.rson(r) = t.rson(p);
    t.dad(t.lson(p)) = quint16(r);
    t.dad(t.rson(p)) = quint16(r);
    t.node[t.dad(p)].son[t.rson(t.dad(p)) == p] = quint16(r);
    t.dad(p) = quint16(NIL);
}

// Removes the string at ring position p before its byte is overwritten.
void TLZHMatchTree::DeleteNode(int p)
{
    TLZHMatchTree& t = *this;
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
