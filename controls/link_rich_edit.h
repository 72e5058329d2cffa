#pragma once

// A rich edit that finds web and mail addresses in its text by itself, shows
// them as links and reports a left click on one, also when read-only.

#include "platform/richtext/rich_edit.h"

#include <QList>

#include <functional>

using TURLClickEvent = std::function<void(TObject* Sender, const QString& URL)>;

// The addresses in a text as position ranges: words that start with a
// scheme (http:, https:, ftp:, mailto:, file:, news: and the like) or with
// "www.", up to a blank, without trailing punctuation.
QList<TCharRange> FindLinks(const QString& text);

class TCPRichEdit : public TRichEdit {
public:
    explicit TCPRichEdit(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TCPRichEdit"); }

    // The links found in the current text, in order.
    const QList<TCharRange>& Links() const { return fLinks; }
    // The link holding a character position, or an empty range.
    TCharRange LinkAt(int pos) const;

    // A left press on a link selects it and hands its text here. The
    // handler tells of a link that cannot be opened; anything it raises
    // is shown by the application's handler, and the press goes on.
    TURLClickEvent OnURLClick;

protected:
    void ContentsChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    void DetectLinks();

    QList<TCharRange> fLinks;
};
