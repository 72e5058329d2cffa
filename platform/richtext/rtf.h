#pragma once

// Rich Text Format: reading RTF into a QTextDocument and writing one out.
//
// The reader takes what Windows' rich edit control and word processors
// write: font and colour tables with character sets, paragraph alignment,
// bold, italic, underline, strike-out, size, font, text and highlight colour,
// 8-bit text in the font's code page, Unicode escapes, symbol words, field
// results. Page, section and column breaks end a paragraph; a table row is
// one paragraph whose cells are apart by tabs, a cell's own paragraphs lines
// of it. It skips what it cannot show (pictures, objects, style sheets,
// document information, headers, footers, ignorable destinations). Any input
// is read in time and memory linear in its size.
//
// The writer produces a compact document of the same kind (the header and
// tables the Windows control writes, one \par per paragraph) that the reader
// reads back to the same text and formatting.

#include <QByteArray>
#include <QString>
#include <QTextFormat>

class QTextCharFormat;
class QTextDocument;

// The font character set (\fcharset) of a run, kept in its character format
// as an int property.
inline constexpr int kCharsetProperty = QTextFormat::UserProperty + 1;
// The font name again, as a plain string: Qt's format collection hashes a
// list of font families by its type alone, so without it formats that differ
// only in their font all collide and a document of many fonts reads in
// quadratic time.
inline constexpr int kFontNameProperty = QTextFormat::UserProperty + 2;
// The text and highlight colours of a run read from RTF, again as one
// string. The collection hashes a format by the sum of its properties'
// hashes, so without it runs whose two colours add up to the same number
// all collide and read in quadratic time. Nothing else reads it: it only
// sets such formats apart.
inline constexpr int kColorPairProperty = QTextFormat::UserProperty + 3;

// The font name of a character format, or an empty string when it has none.
QString FormatFontName(const QTextCharFormat& format);
// Gives a character format its font: the families and kFontNameProperty.
void SetFormatFontName(QTextCharFormat& format, const QString& name);

// True when bytes begin with the rich text header "{\rtf" (after blanks).
bool IsRtf(const QByteArray& bytes);

// Replaces the content of doc by the RTF document. A final \par closes the
// last paragraph rather than opening an empty one, as in Windows' control.
// Returns false, leaving doc untouched, when the bytes are not RTF.
bool ReadRtf(const QByteArray& rtf, QTextDocument& doc);

// The text ReadRtf would give a document, as QTextDocument::toRawText spells
// it (paragraphs separated by U+2029, a \line as U+2028), read without
// building one. Empty when the bytes are not RTF.
QString ReadRtfText(const QByteArray& rtf);

// The RTF of doc's characters from position `from` up to `to` (-1: the end).
// Runs without a font or size take doc's default font.
QByteArray WriteRtf(const QTextDocument& doc, int from = 0, int to = -1);
