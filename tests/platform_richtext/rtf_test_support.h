#pragma once

// Reading documents back in the tests: the text with "\n" between
// paragraphs and the character format at a position.

#include "platform/richtext/rtf.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <gtest/gtest.h>

inline QString DocText(const QTextDocument& doc)
{
    QString text = doc.toRawText();
    text.replace(QChar(0x2029), u'\n');
    return text;
}

inline QTextCharFormat FormatAt(const QTextDocument& doc, int pos)
{
    const QTextBlock block = doc.findBlock(pos);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (pos >= f.position() && pos < f.position() + f.length())
            return f.charFormat();
    }
    return block.charFormat();
}

inline QTextCharFormat FormatOf(const QTextDocument& doc, const QString& word)
{
    const qsizetype at = doc.toRawText().indexOf(word);
    EXPECT_GE(at, 0) << qPrintable(word);
    return FormatAt(doc, int(std::max<qsizetype>(at, 0)));
}

inline QRgb Rgb(const QTextCharFormat& f)
{
    return f.foreground().style() == Qt::NoBrush ? 0xFFFFFFFF : (f.foreground().color().rgb() & 0xFFFFFF);
}

inline bool Bold(const QTextCharFormat& f)
{
    return f.fontWeight() >= QFont::DemiBold;
}

inline Qt::Alignment AlignOf(const QTextDocument& doc, int block)
{
    return doc.findBlockByNumber(block).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
}
