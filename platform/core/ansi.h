#pragma once

#include <QByteArray>
#include <QString>

// The "system ANSI code page" of the files is Windows-1252, whatever the
// locale of this machine: diary passwords and short stream strings are stored
// in it. Conversion goes through our own table so it never depends on the
// installed codecs.

// Decodes Windows-1252 bytes. The five bytes the code page leaves undefined
// map to the control characters of the same value, as Windows does.
QString AnsiToString(const QByteArray& bytes);
QString AnsiToString(const char* data, qsizetype length);

// Encodes to Windows-1252; characters the code page lacks become '?'.
QByteArray StringToAnsi(const QString& text);

// True when every character of text survives StringToAnsi unchanged.
bool IsAnsiRepresentable(const QString& text);

// Lower- and upper-casing of the ASCII letters only, as the files' name
// comparisons do.
QString AnsiLowerCaseAscii(const QString& text);
QString AnsiUpperCaseAscii(const QString& text);
