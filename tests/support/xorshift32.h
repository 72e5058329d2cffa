#pragma once

// xorshift32: a small, fast generator that gives the same numbers on every
// platform, so the tests and the benchmarks build the same inputs from a
// seed everywhere. Not for anything the program itself draws.

#include <QtGlobal>

struct XorShift32 {
    quint32 state;
    quint32 Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Below n (n > 0); the small bias of the modulo does not matter here.
    quint32 Below(quint32 n) { return Next() % n; }
};
