#include "app/diary_export.h"

#include "engine/diary.h"
#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"
#include "platform/richtext/rich_lines.h"
#include "platform/richtext/rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

// A title stays on its heading line: the breaks a file may hold become spaces.
QString OneLine(QString title)
{
    title.replace(S("\r\n"), S(" "));
    for (QChar& c : title) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || u == QChar::LineSeparator || u == QChar::ParagraphSeparator || u == 0xFDD0
            || u == 0xFDD1)
            c = u' ';
    }
    return title;
}

// Appends to the end of the document an empty line, the heading line and an
// empty line, then the day's body. The heading is set in the format of the
// body's first character made bold, underlined and 14 points, and its lines
// take the first paragraph's alignment, as text typed before the body would.
void AppendDay(QTextCursor& out, const QString& heading, const QTextDocument& day)
{
    const QTextBlock first = day.firstBlock();
    // What a caret before the first character types: that character's
    // format, or an empty paragraph's own.
    QTextCharFormat format = first.begin().atEnd() ? first.charFormat() : first.begin().fragment().charFormat();
    format.setFontWeight(QFont::Bold);
    format.setFontUnderline(true);
    format.setFontPointSize(14);
    const QTextBlockFormat paragraph = first.blockFormat();

    if (out.document()->isEmpty()) {
        out.setBlockFormat(paragraph);
        out.setBlockCharFormat(format);
    } else {
        out.insertBlock(paragraph, format);
    }
    out.insertBlock(paragraph, format);
    out.insertText(heading, format);
    out.insertBlock(paragraph, format);
    out.insertBlock(paragraph, first.charFormat());
    if (!day.isEmpty())
        out.insertFragment(QTextDocumentFragment(&day));
}

} // namespace

QByteArray DiaryToRtf(const TDiaryDB& db, const TFont& bodyFont, const std::function<void()>& dayDone)
{
    // An empty body's document: the body font's family and size as the default.
    QTextDocument document;
    RtfToDocument(QString(), bodyFont, document);
    QTextCursor out(&document);
    QTextDocument day;
    for (const TWrittenDay& written : db.Diary()->WrittenDays()) {
        if (!written.Entry)
            throw Exception(S("The diary holds no day ") + written.Key);
        RtfToDocument(written.Entry->Body(), bodyFont, day);
        AppendDay(out, FullYearDateToStr(written.Date) + S(" - ") + OneLine(written.Entry->Title()), day);
        if (dayDone)
            dayDone();
    }
    return WriteRtf(document);
}
