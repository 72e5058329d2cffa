#pragma once

// Text rules the RTF reader and writer share, so that what the writer makes
// of a document reads back as the same document. Private to the rich text
// sources.

#include <QString>

namespace rtf_p {

// Characters that never enter a document as text: controls other than the
// tab, and the marks Qt's documents use for their own structure (object
// replacement, frame boundaries) or that only mark an encoding. Inline: the
// reader asks it for every character of a body.
inline bool IsNoText(char16_t c)
{
    return (c < 0x20 && c != u'\t') || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1 || c == 0xFEFF;
}

// Unpaired surrogates (from broken \u pairs) become the replacement character.
QString PairSurrogates(QString text);

// A font table name as the reader keeps it: one line of text, without the
// entry's terminator, characters that are no text or blanks around it, or
// a foundry after the family.
QString NormalFontName(const QString& name);

} // namespace rtf_p
