#pragma once

// The LZH coder's match finder: the ring buffer and a binary search tree of
// the strings starting at each ring position, one tree per first byte. Only
// the coder's sources include this.
#include <QtGlobal>

struct TLZHMatchTree {
    static constexpr int N = 4096; // ring buffer size
    static constexpr int F = 60; // longest match
    static constexpr int THRESHOLD = 2; // matches must be longer than this
    static constexpr int NIL = N; // no node in the search trees

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

    // The result of the last InsertNode: length 0 when nothing longer than
    // THRESHOLD matched (the position is then left as it was), else the length
    // and the distance minus one.
    int match_position;
    int match_length;

    // Zeroes everything, then empties the trees.
    void Clear();

    // Adds the string at ring position r, read from the ring buffer, and
    // finds its match.
    void InsertNode(int r);
    // The same with the strings read from a flat copy of the text instead:
    // key is the string of position r, and every string in the trees lies as
    // many bytes before it as its ring position lies before r.
    void InsertFlat(int r, const uchar* key);
    void DeleteNode(int p);

    quint16& lson(int p) { return node[p].son[0]; }
    quint16& rson(int p) { return node[p].son[1]; }
    quint16& dad(int p) { return node[p].dad; }

private:
    template <bool Flat> void Insert(int r, const uchar* key);
    void ReplaceNode(int p, int r);
};
