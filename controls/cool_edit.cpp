#include "controls/cool_edit.h"

#include <QLocale>

namespace {

// The locale's upper case of one character; a character whose upper case
// is longer than one (German sharp s) stays as it is, as a key can hold one.
QChar UpperChar(QChar c)
{
    const QString upper = QLocale().toUpper(QString(c));
    return upper.size() == 1 ? upper.at(0) : c;
}

} // namespace

// --- TCPCoolEditOptions ---

const TPropList& TCPCoolEditOptions::Properties() const
{
    using C = TCPCoolEditOptions;
    static const TPropList list = {
        props::Boolean<C>(QStringLiteral("EnterAsTab"), &C::EnterAsTab, &C::SetEnterAsTab, false),
        props::Boolean<C>(QStringLiteral("EscCancels"), &C::EscCancels, &C::SetEscCancels, false),
        props::Boolean<C>(QStringLiteral("UpperCase"), &C::UpperCase, &C::SetUpperCase, false),
        props::Boolean<C>(QStringLiteral("FirstUpperCase"), &C::FirstUpperCase, &C::SetFirstUpperCase, false),
    };
    return list;
}

// --- TCPCoolEdit ---

TCPCoolEdit::TCPCoolEdit(TComponent* AOwner)
    : TEdit(AOwner)
    , FTextColorOnFocus(Font()->Color())
    , FColorOnFocus(Color())
    , FLastColor(Color())
    , FLastTextColor(Font()->Color())
    , FOptions(std::make_unique<TCPCoolEditOptions>())
    , FTextOnEnter(Text())
{
}

TCPCoolEdit::~TCPCoolEdit() = default;

void TCPCoolEdit::SetColorOnFocus(TColor value)
{
    if (value == FColorOnFocus)
        return;
    FColorOnFocus = value;
    Invalidate();
}

void TCPCoolEdit::SetAcceptChars(const QString& value)
{
    if (value == FAcceptChars)
        return;
    FAcceptChars = value;
    Invalidate();
}

bool TCPCoolEdit::Accepts(QChar c) const
{
    return FAcceptChars.isEmpty() || FAcceptChars.contains(c);
}

void TCPCoolEdit::DoEnter()
{
    FLastColor = Color();
    FLastTextColor = Font()->Color();
    FTextOnEnter = Text();
    SetColor(FColorOnFocus);
    Font()->SetColor(FTextColorOnFocus);
    TEdit::DoEnter();
}

void TCPCoolEdit::DoExit()
{
    SetColor(FLastColor);
    Font()->SetColor(FLastTextColor);
    TEdit::DoExit();
}

void TCPCoolEdit::KeyPress(QChar& Key)
{
    const ushort code = Key.unicode();
    if (code == 13 && FOptions->EnterAsTab()) {
        if (TCustomForm* form = GetParentForm())
            form->SelectNext(this, true, true);
        Key = QChar();
        return;
    }
    if (code == 27 && FOptions->EscCancels()) {
        SetText(FTextOnEnter);
        // A control character the edit ignores, so Esc goes no further.
        Key = QChar(15);
        return;
    }
    if (code > 31 && !Accepts(Key)) {
        Key = QChar();
        return;
    }
    if (FOptions->UpperCase() && code > 32)
        Key = UpperChar(Key);
    if (!Key.isNull())
        TEdit::KeyPress(Key);
}

void TCPCoolEdit::RewriteText(const QString& text, int caret)
{
    const bool wasRewriting = FRewriting;
    FRewriting = true;
    const bool modified = Modified();
    SetText(text);
    SetModified(modified);
    SetSelStart(caret);
    FRewriting = wasRewriting;
}

void TCPCoolEdit::Change()
{
    if (FRewriting)
        return;
    const QString before = Text();
    QString text = before;
    int caret = SelStart();
    if (!FAcceptChars.isEmpty()) {
        // The caret stays after the same accepted character it followed.
        QString kept;
        int keptBeforeCaret = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!FAcceptChars.contains(text.at(i)))
                continue;
            kept += text.at(i);
            if (i < caret)
                ++keptBeforeCaret;
        }
        text = kept;
        caret = keptBeforeCaret;
    }
    if (FOptions->UpperCase()) {
        text = QLocale().toUpper(text);
        if (text.size() != before.size())
            caret = std::min<int>(caret, int(text.size()));
    } else if (FOptions->FirstUpperCase() && !text.isEmpty()) {
        text[0] = UpperChar(text.at(0));
    }
    if (text != before)
        RewriteText(text, caret);
    // Also when the filter brought back the text from before the change:
    // the text did change on the way.
    if (OnChange)
        OnChange(this);
}
