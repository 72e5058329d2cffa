#pragma once

// Moving a rich edit's content to and from one string, as entry bodies are
// stored.

#include <QString>

class QTextDocument;
class TFont;
class TRichEditStrings;

// The lines' rich text (plain text when the control is PlainText), its line
// breaks CR LF with one after the last line.
QString RichLinesToRtf(const TRichEditStrings* lines);

// Replaces the lines by the string: formatted when it is RTF, otherwise as
// plain text (as it stands, without 8-bit conversion or an added line break).
void RtfToRichLines(const QString& rtf, TRichEditStrings* lines);

// Gives doc what RtfToRichLines shows in a rich edit whose font is `font`:
// the same paragraphs and formats, the font's family and size as the default
// font, and an empty body in the font's format. No control is built.
void RtfToDocument(const QString& rtf, const TFont& font, QTextDocument& doc);

// The text RtfToRichLines shows for the string, as the rich edit's document
// spells it (FindRichText searches it as the rich edit's find would), read
// straight from the string: no control or document is built, so a whole
// diary can be searched quickly.
QString RtfToRichText(const QString& rtf);
