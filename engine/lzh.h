#pragma once

#include "platform/core/sysutils.h"

#include <QByteArray>

#include <memory>

class TStream;

// Raised by the LZH coder: table allocation failures and blobs whose size
// prefix cannot be right.
DECLARE_EXCEPTION(ElzhException, Exception);

// LZSS with adaptive Huffman coding, the LZHUF format: a 4096-byte ring
// buffer whose first 4036 bytes start as spaces, matches of 3 to 60 bytes
// found in binary search trees, 314 symbols (256 literals and 58 match
// lengths) coded with an adaptive Huffman tree that is rebuilt when its root
// frequency reaches 0x8000, and match positions coded with a fixed prefix code
// for their upper six bits. The bit stream is most significant bit first and
// has no end marker: the reader must know how many bytes to produce.
//
// One coder object can run any number of packs and unpacks; its tables are
// allocated once and cleared at the start of every run, so the output depends
// on the input alone.
class TLZH {
public:
    static constexpr int N = 4096; // ring buffer size
    static constexpr int F = 60; // longest match
    static constexpr int THRESHOLD = 2; // matches must be longer than this
    static constexpr int NIL = N; // no node in the search trees
    static constexpr int N_CHAR = 256 - THRESHOLD + F; // symbols: bytes and match lengths
    static constexpr int T = 2 * N_CHAR - 1; // nodes of the Huffman tree
    static constexpr int R = T - 1; // root of the Huffman tree
    static constexpr int MAX_FREQ = 0x8000; // root frequency that forces a rebuild

    TLZH();
    ~TLZH();
    TLZH(const TLZH&) = delete;
    TLZH& operator=(const TLZH&) = delete;

    // Packs size bytes at source, appending the bit stream to dest. Returns
    // the number of bytes consumed, which is size. threads > 1 finds the
    // matches on threads - 1 threads of their own while the calling thread
    // codes them; 0 takes the default below. The output is the same whatever
    // the count, and every thread has ended when the call returns or raises.
    qint64 LZHPack(const char* source, qint64 size, QByteArray& dest, int threads = 0);

    // The threads of a pack whose caller names none: 0 (the default) chooses
    // from the size of the input and the machine; 1 keeps every pack on the
    // calling thread.
    static void SetDefaultPackThreads(int threads);
    static int PackThreadsFor(qint64 size, int threads);

    // Decodes exactly textSize bytes from the bit stream of size bytes at
    // source and appends them to dest. Bits past the end read as zeros.
    // Raises ElzhException when textSize is negative or more than size bytes
    // of code could describe.
    void LZHUnpack(qint64 textSize, const char* source, qint64 size, QByteArray& dest);

    // The same unpack a piece at a time: BeginUnpack checks textSize as
    // LZHUnpack does and starts the run over the code at source, which must
    // outlive it; each UnpackNext writes the next count bytes (at most
    // UnpackLeft()) to dest. The pieces together are LZHUnpack's output.
    void BeginUnpack(qint64 textSize, const char* source, qint64 size);
    void UnpackNext(char* dest, qint64 count);
    qint64 UnpackLeft() const { return unpackEnd - textsize; }

    // Bytes unpacked by every coder of the process so far; tests read it to
    // see how far a reader went.
    static qint64 TotalUnpacked();

    // The most bytes that size bytes of code can decode to (see MaxTextSize
    // in lzh.cpp for the reasoning).
    static qint64 MaxTextSize(qint64 size);

    // Statistics of the last run.
    qint64 TextSize() const { return textsize; }
    qint64 CodeSize() const { return codesize; }
    int TreeRebuilds() const { return rebuilds; }

    // Checks the Huffman tree of the last run: frequencies in non-decreasing
    // order, each internal node's frequency the sum of its children's, and
    // parent links matching child links.
    bool HuffmanTreeIsSound() const;

private:
    struct Tables;

    void InitTables();
    void StartHuff();
    void reconst();
    void update(int c);

    void PackOnOneThread(const uchar* in, qint64 size);
    bool PackOnThreads(const uchar* in, qint64 size, int finderCount);
    int EncodeStep(int matchLength, int matchPosition, uchar literal);

    void EncodeChar(unsigned c);
    void EncodePosition(unsigned c);
    void PutBits(unsigned n, quint32 bits);
    void EnsureRoom(qint64 bytes);
    void EncodeEnd();

    int DecodeChar();
    int DecodePosition();
    void FillBits();

    std::unique_ptr<Tables> tables;

    // Bit input: getbuf holds getlen bits left-aligned.
    quint64 getbuf = 0;
    int getlen = 0;
    const uchar* inPtr = nullptr;
    qint64 inPos = 0;
    qint64 inSize = 0;

    // Bit output: putbuf holds putlen pending bits right-aligned.
    quint64 putbuf = 0;
    int putlen = 0;
    QByteArray* outArray = nullptr;
    char* outPtr = nullptr;
    qint64 outPos = 0;
    qint64 outEnd = 0;

    // Unpack run: its end, the ring position, and the rest of a match that
    // the last piece ended in.
    qint64 unpackEnd = 0;
    int ringPos = 0;
    int copyFrom = 0;
    int copyLeft = 0;

    qint64 textsize = 0;
    qint64 codesize = 0;
    int rebuilds = 0;
};

// The blob format of the diary file: the unpacked size as a 32-bit signed
// little-endian prefix, then the LZHUF bit stream padded to whole bytes.
// The methods are static; an instance exists only to mirror the component
// the rest of the program creates.
class TLZHCompress {
public:
    // Packs the whole of UnCompressed (from position 0) and writes prefix and
    // bits at position 0 of Compressed. Raises ElzhException for sources the
    // 32-bit prefix cannot describe.
    static void LZHCompressBlobStream(TStream& UnCompressed, TStream& Compressed);

    // Reads the prefix and bits from position 0 of Compressed and writes the
    // unpacked bytes at position 0 of DeCompressed. Raises ElzhException for
    // a truncated, negative or impossible prefix.
    static void LZHDecompressBlobStream(TStream& Compressed, TStream& DeCompressed);

    // CRC-32 of the whole stream; its position is kept.
    static qint32 CalcCRC32(TStream& Stream);
};

// A blob unpacked a piece at a time, so a reader can look at its start before
// it pays for the rest. The size prefix is read and checked on construction
// (raising ElzhException as LZHUnpackBlob does); the blob's bytes must outlive
// the reader.
class TLZHBlobReader {
public:
    TLZHBlobReader(const char* blob, qint64 size);

    // The unpacked size the prefix announces, and what is still to come.
    qint64 Size() const { return fSize; }
    qint64 Left() const { return fCoder.UnpackLeft(); }
    // Appends the next min(count, Left()) bytes to dest.
    void Read(qint64 count, QByteArray& dest);

private:
    TLZH fCoder;
    qint64 fSize = 0;
};

// One-shot forms of the blob functions over byte arrays.
QByteArray LZHPackBlob(const QByteArray& data);
QByteArray LZHUnpackBlob(const QByteArray& blob);
