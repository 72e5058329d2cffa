#include "platform/richtext/rich_lines.h"

#include "platform/core/ansi.h"
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "platform/richtext/rich_edit.h"
#include "platform/richtext/rich_edit_p.h"
#include "platform/richtext/rtf.h"

#include <QTextCharFormat>
#include <QTextDocument>

QString RichLinesToRtf(const TRichEditStrings* lines)
{
    TMemoryStream stream;
    lines->SaveToStream(stream);
    // Through a string list, which gives every line, the last too, its CR LF.
    TStringList list;
    list.SetText(DecodePlainText(stream.Bytes()));
    return list.Text();
}

void RtfToRichLines(const QString& rtf, TRichEditStrings* lines)
{
    // RTF is 8-bit text; anything else is loaded as the text it is.
    const QByteArray bytes = StringToAnsi(rtf);
    if (!IsRtf(bytes)) {
        lines->SetText(rtf);
        return;
    }
    TMemoryStream stream(bytes);
    lines->LoadFromStream(stream);
}

void RtfToDocument(const QString& rtf, const TFont& font, QTextDocument& doc)
{
    const QTextCharFormat format = FontDefaultFormat(font);
    const QByteArray bytes = StringToAnsi(rtf);
    if (IsRtf(bytes))
        LoadRtfDocument(doc, bytes);
    else
        LoadPlainTextDocument(doc, rtf, format);
    ApplyDefaultFormat(doc, format);
}

QString RtfToRichText(const QString& rtf)
{
    const QByteArray bytes = StringToAnsi(rtf);
    if (IsRtf(bytes))
        return ReadRtfText(bytes);
    // Plain text breaks its paragraphs where a text cursor's insertion does.
    QString text;
    text.reserve(rtf.size());
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char16_t c = rtf[i].unicode();
        if (c == u'\r' && i + 1 < rtf.size() && rtf[i + 1] == u'\n')
            continue;
        const bool isBreak = c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1;
        text += isBreak ? QChar(QChar::ParagraphSeparator) : QChar(c);
    }
    return text;
}
