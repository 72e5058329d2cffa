#pragma once

// Plain text as bytes, the way the rich edit's lines load and save it.
// Private to the rich text sources.

#include <QByteArray>
#include <QString>

// UTF-8 when the bytes are valid UTF-8, otherwise the ANSI code page (the
// string lists' rule, so files of either kind load).
QString DecodePlainText(const QByteArray& bytes);
// UTF-8, as the string lists save.
QByteArray EncodePlainText(const QString& text);
