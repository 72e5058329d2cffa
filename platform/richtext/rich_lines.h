#pragma once

// Moving a rich edit's content to and from one string, as entry bodies are
// stored.

#include <QString>

class TRichEditStrings;

// The lines' rich text (plain text when the control is PlainText), its line
// breaks CR LF with one after the last line.
QString RichLinesToRtf(const TRichEditStrings* lines);

// Replaces the lines by the string: formatted when it is RTF, otherwise as
// plain text (as it stands, without 8-bit conversion or an added line break).
void RtfToRichLines(const QString& rtf, TRichEditStrings* lines);
