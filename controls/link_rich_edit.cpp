#include "controls/link_rich_edit.h"

#include "platform/gui/forms.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

QList<TCharRange> FindLinks(const QString& text)
{
    // The schemes Windows' rich edit detects, and "www." host names. A link
    // starts at the beginning of a word.
    static const QRegularExpression link(
        QStringLiteral("(?<![\\w.@/\\\\-])((?:https?|ftp|mailto|file|news|nntp|telnet|gopher|wais|prospero):"
                       "|www\\.)[^\\s<>\"]+"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    // Sentence punctuation after an address is not part of it.
    static const QString trailing = QStringLiteral(".,;:!?'\")]}");
    QList<TCharRange> links;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int start = int(m.capturedStart());
        int end = int(m.capturedEnd());
        while (end > start && trailing.contains(text[end - 1])) {
            // A closing bracket opened inside the address belongs to it, as in
            // "http://en.wikipedia.org/wiki/Diary_(book)".
            if (text[end - 1] == u')'
                && text.mid(start, end - start).count(u'(') >= text.mid(start, end - start).count(u')'))
                break;
            --end;
        }
        // Nothing left after the scheme or "www." is no address.
        if (end - start <= m.capturedLength(1))
            continue;
        links.append({ start, end });
    }
    return links;
}

TCPRichEdit::TCPRichEdit(TComponent* AOwner)
    : TRichEdit(AOwner)
{
}

TCharRange TCPRichEdit::LinkAt(int pos) const
{
    const auto it
        = std::upper_bound(fLinks.cbegin(), fLinks.cend(), pos, [](int p, const TCharRange& r) { return p < r.cpMax; });
    return it != fLinks.cend() && it->cpMin <= pos ? *it : TCharRange();
}

void TCPRichEdit::DetectLinks()
{
    fLinks = FindLinks(Document()->toRawText());
    // Shown as links without entering the text's formatting (nor the RTF).
    QList<QTextEdit::ExtraSelection> marks;
    for (const TCharRange& range : fLinks) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(Document());
        mark.cursor.setPosition(range.cpMin);
        mark.cursor.setPosition(range.cpMax, QTextCursor::KeepAnchor);
        mark.format.setForeground(ToQColor(clBlue));
        mark.format.setFontUnderline(true);
        marks.append(mark);
    }
    Editor()->setExtraSelections(marks);
}

// Every change of the document, not only of its text: a load puts new
// characters under the marks even when the text is the same, and the marks'
// cursors collapse with the old ones.
void TCPRichEdit::ContentsChanged()
{
    DetectLinks();
}

void TCPRichEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !(Shift & ssDouble)) {
        const TCharRange link = LinkAt(CharAtPos(QPoint(X, Y)));
        if (link.cpMax > link.cpMin) {
            // OpenLink tells of a link it cannot open, so whatever is raised
            // here is a fault of the program: the error box says so, and the
            // press still goes on as any other.
            try {
                SetSelStart(link.cpMin);
                SetSelLength(link.cpMax - link.cpMin);
                if (OnURLClick)
                    OnURLClick(this, SelText());
            } catch (...) {
                Application()->HandleException(this);
            }
        }
    }
    TRichEdit::MouseDown(Button, Shift, X, Y);
}

void TCPRichEdit::MouseMove(TShiftState Shift, int X, int Y)
{
    const bool overLink = LinkAt(CharAtPos(QPoint(X, Y))).cpMax > 0;
    Editor()->viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    TRichEdit::MouseMove(Shift, X, Y);
}
