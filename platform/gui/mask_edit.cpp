#include "platform/gui/mask_edit.h"

#include "platform/core/sysinfo.h"
#include "platform/gui/services.h"

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner)
    : TCustomEdit(AOwner)
{
}

TCustomMaskEdit::~TCustomMaskEdit() = default;

void TCustomMaskEdit::ParseMask(const QString& mask)
{
    fPositions.clear();
    fSaveLiterals = true;
    fBlank = u'_';
    // The sections: layout ; keep literals ; blank character. A ';' after
    // '\' belongs to the layout.
    QStringList sections;
    QString current;
    for (int i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\' && i + 1 < mask.size()) {
            current += mask[i];
            current += mask[++i];
        } else if (mask[i] == u';' && sections.size() < 2) {
            sections << current;
            current.clear();
        } else {
            current += mask[i];
        }
    }
    sections << current;
    if (sections.size() > 1 && !sections[1].isEmpty())
        fSaveLiterals = sections[1][0] != u'0';
    if (sections.size() > 2 && !sections[2].isEmpty())
        fBlank = sections[2][0];

    const QString& layout = sections[0];
    const TFormatSettings& fs = FormatSettings();
    int caseMode = 0;
    for (int i = 0; i < layout.size(); ++i) {
        const QChar c = layout[i];
        TPosition p;
        p.Case = caseMode;
        switch (c.unicode()) {
        case '!': continue;
        case '>': caseMode = 1; continue;
        case '<':
            if (i + 1 < layout.size() && layout[i + 1] == u'>') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = -1;
            }
            continue;
        case '\\':
            if (i + 1 >= layout.size())
                continue;
            p.Literal = true;
            p.Char = layout[++i];
            break;
        case '_': p.Literal = true, p.Char = u' '; break;
        case '/': p.Literal = true, p.Char = fs.DateSeparator; break;
        case ':': p.Literal = true, p.Char = fs.TimeSeparator; break;
        case '0':
        case '9':
        case '#':
        case 'L':
        case 'l':
        case 'A':
        case 'a':
        case 'C':
        case 'c': p.Char = c; break;
        default: p.Literal = true, p.Char = c; break;
        }
        fPositions << p;
    }
}

QString TCustomMaskEdit::BlankText() const
{
    QString text;
    for (const TPosition& p : fPositions)
        text += p.Literal ? p.Char : fBlank;
    return text;
}

void TCustomMaskEdit::SetEditMask(const QString& value)
{
    if (value == fEditMask)
        return;
    const QString old = Text();
    fEditMask = value;
    ParseMask(value);
    SetMaxLength(int(fPositions.size()));
    SetText(old);
}

int TCustomMaskEdit::NextEditable(int pos) const
{
    for (int i = std::max(0, pos); i < fPositions.size(); ++i)
        if (!fPositions[i].Literal)
            return i;
    return int(fPositions.size());
}

int TCustomMaskEdit::PrevEditable(int pos) const
{
    for (int i = std::min(pos, int(fPositions.size())) - 1; i >= 0; --i)
        if (!fPositions[i].Literal)
            return i;
    return -1;
}

bool TCustomMaskEdit::Accepts(int pos, QChar& c) const
{
    const TPosition& p = fPositions[pos];
    if (p.Case > 0)
        c = c.toUpper();
    else if (p.Case < 0)
        c = c.toLower();
    switch (p.Char.unicode()) {
    case '0':
    case '9': return c.isDigit();
    case '#': return c.isDigit() || c == u'+' || c == u'-';
    case 'L':
    case 'l': return c.isLetter();
    case 'A':
    case 'a': return c.isLetterOrNumber();
    default: return c.isPrint();
    }
}

bool TCustomMaskEdit::TypeChar(QString& text, int& caret, QChar c) const
{
    const int pos = NextEditable(caret);
    if (pos < fPositions.size() && Accepts(pos, c)) {
        text[pos] = c;
        caret = NextEditable(pos + 1);
        return true;
    }
    // The literal the caret has just skipped may be typed too.
    if (caret > 0 && caret <= fPositions.size() && fPositions[caret - 1].Literal && fPositions[caret - 1].Char == c)
        return true;
    // A literal typed early jumps over the rest of the field to it: "5/3" fills
    // the day's first digit and moves on to the month.
    for (int i = caret; i < fPositions.size(); ++i) {
        if (fPositions[i].Literal && fPositions[i].Char == c) {
            caret = NextEditable(i + 1);
            return true;
        }
    }
    return false;
}

void TCustomMaskEdit::BlankRange(QString& text, int start, int length) const
{
    for (int i = std::max(0, start); i < std::min<int>(start + length, int(fPositions.size())); ++i)
        if (!fPositions[i].Literal)
            text[i] = fBlank;
}

void TCustomMaskEdit::ApplyEdit(const QString& text, int caret)
{
    if (text != EditText()) {
        // Typed over the whole text, so the change counts as the user's.
        SetSelStart(0);
        SetSelLength(int(EditText().size()));
        SetSelText(text);
    }
    SetSelStart(caret);
}

void TCustomMaskEdit::SetEditText(const QString& value)
{
    if (!IsMasked()) {
        TCustomEdit::SetText(value);
        return;
    }
    QString text = BlankText();
    for (int i = 0; i < std::min(value.size(), text.size()); ++i) {
        QChar c = value[i];
        if (!fPositions[i].Literal && c != fBlank && Accepts(i, c))
            text[i] = c;
    }
    TCustomEdit::SetText(text);
}

void TCustomMaskEdit::SetText(const QString& value)
{
    if (!IsMasked()) {
        TCustomEdit::SetText(value);
        return;
    }
    QString text = BlankText();
    int j = 0;
    for (int i = 0; i < fPositions.size() && j < value.size(); ++i) {
        if (fPositions[i].Literal) {
            if (fSaveLiterals)
                ++j;
            continue;
        }
        QChar c = value[j++];
        if (c != u' ' && Accepts(i, c))
            text[i] = c;
    }
    TCustomEdit::SetText(text);
}

QString TCustomMaskEdit::TextOfWidgetText(const QString& widgetText) const
{
    if (!IsMasked())
        return widgetText;
    QString text;
    for (int i = 0; i < widgetText.size(); ++i) {
        const bool literal = i < fPositions.size() && fPositions[i].Literal;
        if (literal && !fSaveLiterals)
            continue;
        text += !literal && widgetText[i] == fBlank ? QChar(u' ') : widgetText[i];
    }
    return text;
}

void TCustomMaskEdit::CutToClipboard()
{
    if (!IsMasked()) {
        TCustomEdit::CutToClipboard();
        return;
    }
    if (ReadOnly() || SelLength() == 0)
        return;
    CopyToClipboard();
    QString text = EditText();
    const int start = SelStart();
    BlankRange(text, start, SelLength());
    ApplyEdit(text, start);
}

void TCustomMaskEdit::PasteFromClipboard()
{
    if (!IsMasked()) {
        TCustomEdit::PasteFromClipboard();
        return;
    }
    if (ReadOnly())
        return;
    QString text = EditText();
    int caret = SelStart();
    BlankRange(text, caret, SelLength());
    // All or nothing: a paste the mask refuses anywhere changes nothing.
    for (QChar c : Clipboard().AsText()) {
        if (c == u'\r' || c == u'\n')
            break;
        if (!TypeChar(text, caret, c)) {
            MessageBeep();
            return;
        }
    }
    ApplyEdit(text, caret);
}

void TCustomMaskEdit::KeyDown(quint16& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0)
        return;
    const TShiftState mods = Shift & (ssShift | ssCtrl | ssAlt);
    if (Key == VK_DELETE) {
        // Qt's word and line deletions would break the layout.
        Key = 0;
        if (ReadOnly() || mods != 0)
            return;
        QString text = EditText();
        const int start = SelStart();
        BlankRange(text, start, SelLength() > 0 ? SelLength() : NextEditable(start) - start + 1);
        ApplyEdit(text, start);
    } else if ((Key == VK_LEFT || Key == VK_RIGHT) && mods == 0) {
        // The caret steps from one typable position to the next.
        const int caret = SelStart();
        int pos = Key == VK_RIGHT ? NextEditable(caret + 1) : PrevEditable(caret);
        if (pos < 0)
            pos = caret;
        SetSelStart(pos);
        Key = 0;
    }
}

void TCustomMaskEdit::KeyPress(QChar& Key)
{
    TCustomEdit::KeyPress(Key);
    if (!IsMasked() || Key.isNull())
        return;
    const QChar c = Key;
    Key = QChar(); // the widget never edits a masked text itself
    if (ReadOnly())
        return;
    QString text = EditText();
    int caret = SelStart();
    if (c == u'\b') {
        if (SelLength() > 0) {
            BlankRange(text, caret, SelLength());
        } else {
            caret = PrevEditable(caret);
            if (caret < 0)
                return;
            BlankRange(text, caret, 1);
        }
        ApplyEdit(text, caret);
        return;
    }
    if (c.unicode() < 32)
        return;
    BlankRange(text, caret, SelLength());
    if (!TypeChar(text, caret, c)) {
        MessageBeep();
        return;
    }
    ApplyEdit(text, caret);
}

void TCustomMaskEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomEdit::MouseUp(Button, Shift, X, Y);
    // A click on a literal puts the caret on the next typable position.
    if (IsMasked() && SelLength() == 0) {
        const int caret = SelStart();
        if (caret < fPositions.size() && fPositions[caret].Literal)
            SetSelStart(NextEditable(caret));
    }
}

void TCustomMaskEdit::DoExit()
{
    if (IsMasked())
        ValidateEdit();
    TCustomEdit::DoExit();
}

void TCustomMaskEdit::ValidateEdit()
{
    const QString text = EditText();
    for (int i = 0; i < fPositions.size() && i < text.size(); ++i) {
        const QChar m = fPositions[i].Char;
        if (!fPositions[i].Literal && text[i] == fBlank && (m == u'0' || m == u'L' || m == u'A' || m == u'C')) {
            if (CanFocus())
                SetFocus();
            SetSelStart(i);
            throw EDBEditError(QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
        }
    }
}
