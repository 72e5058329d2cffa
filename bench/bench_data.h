#pragma once

#include <QByteArray>

// Deterministic RTF-like diary text of exactly `bytes` bytes (at least the
// header's length): the header the rich edit control writes, then English-like
// sentences from a small word list with occasional bold words and paragraph
// breaks, closed by '}'. The same seed always gives the same text.
QByteArray MakeRtfLikeText(qsizetype bytes, quint32 seed);

class TDiaryDB;

// Days in the benchmarks' ten-year diary.
inline constexpr int kTenYears = 3653;
// Fills db with the ten-year diary: one entry a day from 1 January 2010,
// titled "Day N", with a 4 KB body of MakeRtfLikeText, a note and mood N mod 17.
void FillTenYears(TDiaryDB& db);
