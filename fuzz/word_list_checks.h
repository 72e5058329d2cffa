#pragma once

// What the word list's fuzz target checks on every input; the core tests run
// the same check on each input kept in tests/data/fuzz/fuzz_word_list/.
// Returns an empty string, or the rule the input broke.

#include "platform/core/ansi.h"
#include "platform/core/string_list.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

// The text of strict UTF-8 bytes without a leading byte order mark, or
// nothing when a sequence is cut, overlong, a surrogate or past U+10FFFF.
// Written apart from the reader, which leaves this to Qt.
inline std::optional<QString> DecodeStrictUtf8(const QByteArray& bytes)
{
    QString text;
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size()) {
        const auto lead = quint8(bytes[i]);
        const int more = lead < 0x80       ? 0
            : lead >= 0xC2 && lead <= 0xDF ? 1
            : lead >= 0xE0 && lead <= 0xEF ? 2
            : lead >= 0xF0 && lead <= 0xF4 ? 3
                                           : -1;
        if (more < 0 || bytes.size() - i <= more)
            return std::nullopt;
        char32_t code = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            const auto next = quint8(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        static const char32_t least[] = { 0, 0x80, 0x800, 0x10000 };
        if (code < least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        // Not QString::fromUcs4, which drops a byte order mark.
        if (QChar::requiresSurrogates(code)) {
            text += QChar(QChar::highSurrogate(code));
            text += QChar(QChar::lowSurrogate(code));
        } else {
            text += QChar(char16_t(code));
        }
        i += 1 + more;
    }
    return text;
}

// fuzz_word_list: reads the bytes as a word list file (English.dic,
// Custom.dic). Every line of the decoded text comes back, none longer or
// more than the file allows; the list saves and loads to itself; and a
// sorted list, as the spell checker keeps one, holds each line once, in
// order.
inline QString CheckWordListInput(const QByteArray& input)
{
    TStringList list;
    list.LoadFromBytes(input);

    const QString text = DecodeStrictUtf8(input).value_or(AnsiToString(input));
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (lines.last().isEmpty())
        lines.removeLast(); // after the last break, or all of an empty text
    if (list.ToStringList() != lines)
        return QStringLiteral("the list's lines are not the lines of the text");

    // One character at most per byte, one line at most per byte.
    qsizetype characters = 0;
    for (const QString& line : list.ToStringList())
        characters += line.size();
    if (list.Count() > input.size() || characters > input.size())
        return QStringLiteral("%1 lines of %2 characters from %3 bytes")
            .arg(list.Count())
            .arg(characters)
            .arg(input.size());

    const QByteArray saved = list.SaveToBytes();
    // Three bytes at most a character, two a line break, three a mark.
    if (saved.size() > 3 * characters + 2 * list.Count() + 3)
        return QStringLiteral("%1 bytes saved from %2 bytes").arg(saved.size()).arg(input.size());
    TStringList again;
    again.LoadFromBytes(saved);
    if (again.ToStringList() != list.ToStringList())
        return QStringLiteral("the saved list loads back to other lines");
    if (again.SaveToBytes() != saved)
        return QStringLiteral("the saved list loads back to other bytes");

    TStringList sorted;
    sorted.SetSorted(true);
    sorted.LoadFromBytes(input);
    for (int i = 1; i < sorted.Count(); ++i)
        if (sorted.Strings(i - 1).compare(sorted.Strings(i), Qt::CaseInsensitive) >= 0)
            return QStringLiteral("the sorted list has line %1 out of order or twice").arg(i);
    for (const QString& line : lines)
        if (sorted.IndexOf(line) < 0)
            return QStringLiteral("the sorted list lost a line");
    return {};
}
