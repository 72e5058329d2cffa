#pragma once

// The diary as one rich text document for word processors.

#include <QByteArray>

#include <functional>

class TDiaryDB;
class TFont;

// The whole diary as one RTF document: every written day in date order, each
// introduced by a heading line (date and title) in bold underlined 14-point
// type, then the day's formatted body. dayDone runs after each day (the
// caller lets windows repaint there). Raises when a day cannot be read.
QByteArray DiaryToRtf(const TDiaryDB& db, const TFont& bodyFont, const std::function<void()>& dayDone = {});
