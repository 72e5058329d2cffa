#pragma once

#include <QByteArray>

// Deterministic RTF-like diary text of exactly `bytes` bytes (at least the
// header's length): the header the rich edit control writes, then English-like
// sentences from a small word list with occasional bold words and paragraph
// breaks, closed by '}'. The same seed always gives the same text.
QByteArray MakeRtfLikeText(qsizetype bytes, quint32 seed);
