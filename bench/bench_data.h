#pragma once

#include <QByteArray>
#include <QString>

#include <iterator>

// Deterministic RTF-like diary text of exactly `bytes` bytes (at least the
// header's length): the header the rich edit control writes, then English-like
// sentences from a small word list with occasional bold words and paragraph
// breaks, closed by '}'. The same seed always gives the same text.
QByteArray MakeRtfLikeText(qsizetype bytes, quint32 seed);

// Deterministic RTF of at least `bytes` bytes as the rich edit writes pasted,
// richly formatted text: four fonts and a colour table in the header, then
// sentences of the same words whose runs change font, size, colour,
// highlight, bold, italic or underline every few words, with typographic
// quotes, accented letters and now and then a centred paragraph.
QByteArray MakeFormattedRtf(qsizetype bytes, quint32 seed);

// Deterministic plain text (no RTF) of at least `chars` characters: the same
// sentences with some Latin-1 accented words, paragraphs ending in CR LF and
// now and then an empty line.
QString MakePlainText(qsizetype chars, quint32 seed);

class TDiaryDB;

// Days in the benchmarks' ten-year diary.
inline constexpr int kTenYears = 3653;
// Fills db with the ten-year diary: one entry a day from 1 January 2010,
// titled "Day N", with a 4 KB body of MakeRtfLikeText, a note and mood N mod 17.
void FillTenYears(TDiaryDB& db);

// Diaries of unusual shape, each of which must stay as quick to open, search,
// list and export as the ten-year diary.
enum class TOddDiary {
    // One entry whose body is 1 MB of MakeFormattedRtf.
    OneLargeEntry,
    // kShortDays consecutive days from 1 January 1970, bodies of 200 to 400
    // bytes of MakeRtfLikeText.
    ManyShortDays,
    // The ten-year diary's days with 4 KB bodies of MakePlainText.
    PlainTextBodies,
};
inline constexpr TOddDiary kOddDiaries[]
    = { TOddDiary::OneLargeEntry, TOddDiary::ManyShortDays, TOddDiary::PlainTextBodies };
inline constexpr qsizetype kLargeEntryBytes = 1 << 20;
inline constexpr int kShortDays = 20000;

// How the figures name the diary ("the diary of ...").
const char* OddDiaryName(TOddDiary kind);
void FillOddDiary(TDiaryDB& db, TOddDiary kind);
// The odd diary's file in folder, saved under password by the first call.
QString OddDiaryFile(TOddDiary kind, const QString& folder, const QString& password);

// The diaries a figure is given for, by number: 0 the ten-year diary, then
// kOddDiaries in their order.
inline constexpr int kBenchDiaries = 1 + int(std::size(kOddDiaries));
// "the ten-year diary" or the odd diary's name.
const char* BenchDiaryName(int n);
// Fills db with the ten-year diary, or loads the odd diary from its file,
// made once in a temporary folder of the process.
void FillBenchDiary(TDiaryDB& db, int n);
