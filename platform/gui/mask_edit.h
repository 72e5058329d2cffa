#pragma once

// The masked one-line edit: an edit mask fixes the text's layout, with
// literal characters held in place and blanks where nothing is typed yet.
// Typing overwrites the position under the caret, which skips the literals;
// backspace and delete put blanks back; a paste is typed character by
// character and taken only as a whole.
//
// A mask has up to three sections split by ';': the layout, "1" to keep the
// literals in Text (the default) or "0" to drop them, and the blank
// character ('_' by default). In the layout:
//   0 digit, required       9 digit          # digit, + or -
//   L letter, required      l letter         A letter or digit, required
//   a letter or digit       C any, required  c any
//   \ the next character is a literal        _ a literal blank
//   / the date separator    : the time separator
//   ! > < change no position; everything else is a literal.

#include "platform/core/sysutils.h"
#include "platform/gui/stdctrls.h"

DECLARE_EXCEPTION(EDBEditError, Exception);

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    ~TCustomMaskEdit() override;
    QString ClassName() const override { return QStringLiteral("TCustomMaskEdit"); }

    const QString& EditMask() const { return fEditMask; }
    // Keeps what the text has in the positions the new layout shares.
    void SetEditMask(const QString& value);
    bool IsMasked() const { return !fPositions.isEmpty(); }
    // The text as shown: literals and blank characters included.
    QString EditText() const { return WidgetText(); }
    void SetEditText(const QString& value);
    // Text is laid into the mask: with literals kept, character for character
    // (a blank for a space or a character the position refuses); without,
    // into the typable positions in order.
    void SetText(const QString& value) override;

    void CutToClipboard() override;
    void PasteFromClipboard() override;

    // Raises EDBEditError when a required position is blank. Called when the
    // focus leaves the edit.
    virtual void ValidateEdit();

protected:
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoExit() override;
    QString TextOfWidgetText(const QString& widgetText) const override;

private:
    struct TPosition {
        bool Literal = false;
        QChar Char; // the literal, or the mask letter
        int Case = 0; // > upper (1), < lower (-1)
    };

    void ParseMask(const QString& mask);
    QString BlankText() const;
    bool Editable(int pos) const { return pos >= 0 && pos < fPositions.size() && !fPositions[pos].Literal; }
    // The first typable position at or after pos (the length when none).
    int NextEditable(int pos) const;
    // The last typable position before pos (-1 when none).
    int PrevEditable(int pos) const;
    // Whether c may stand in pos, after its case was applied.
    bool Accepts(int pos, QChar& c) const;
    // Types c into text at caret as a user would; false when refused.
    bool TypeChar(QString& text, int& caret, QChar c) const;
    void BlankRange(QString& text, int start, int length) const;
    // Shows the user's edit: Modified and OnChange follow.
    void ApplyEdit(const QString& text, int caret);

    QString fEditMask;
    QList<TPosition> fPositions;
    bool fSaveLiterals = true;
    QChar fBlank = u'_';
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* AOwner)
        : TCustomMaskEdit(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TMaskEdit"); }
};
