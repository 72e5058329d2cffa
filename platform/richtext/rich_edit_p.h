#pragma once

// Plain text as bytes, the way the rich edit's lines load and save it, and
// how its document takes content and its font. Private to the rich text
// sources.

#include <QByteArray>
#include <QString>

class QTextCharFormat;
class QTextDocument;
class TFont;

// UTF-8 when the bytes are valid UTF-8, otherwise the ANSI code page (the
// string lists' rule, so files of either kind load).
QString DecodePlainText(const QByteArray& bytes);
// UTF-8, as the string lists save.
QByteArray EncodePlainText(const QString& text);

// The default attributes a rich edit takes from its font: name, size, style,
// character set, and the colour unless it is the automatic one.
QTextCharFormat FontDefaultFormat(const TFont& font);
// Makes the default attributes the document's: their font its default font
// (family and size), and an empty document's format.
void ApplyDefaultFormat(QTextDocument& doc, const QTextCharFormat& format);
// Replace the document's content by the RTF (nothing when it is none), or by
// plain text in the default attributes.
void LoadRtfDocument(QTextDocument& doc, const QByteArray& rtf);
void LoadPlainTextDocument(QTextDocument& doc, const QString& text, const QTextCharFormat& format);
