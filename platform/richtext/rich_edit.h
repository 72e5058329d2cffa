#pragma once

// The rich edit control: formatted text on QTextEdit, in the class library's
// terms. Character positions count one per paragraph break (as Windows'
// rich edit counts its CR), while Text and SelText spell each break CR LF.

#include "platform/gui/stdctrls.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

class QMimeData;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;
class QTextEdit;
class TRichEdit;
class TStream;

// A range of character positions, cpMax exclusive.
struct TCharRange {
    int cpMin = 0;
    int cpMax = 0;
    bool operator==(const TCharRange&) const = default;
};

enum TAttributeType { atSelected, atDefaultText };

// Character attributes of a rich edit. atSelected reads the first selected
// character (the caret's typing format without a selection) and changes the
// whole selection (or what is typed next). atDefaultText is the format of
// text set or loaded as plain text and of an empty control.
class TTextAttributes {
public:
    TTextAttributes(TRichEdit* owner, TAttributeType type)
        : fOwner(owner)
        , fType(type)
    {
    }

    QString Name() const;
    void SetName(const QString& value);
    int Size() const; // points
    void SetSize(int value);
    int Height() const; // pixels at 96 dpi
    void SetHeight(int value);
    TColor Color() const; // clWindowText for the automatic colour
    void SetColor(TColor value);
    TFontStyles Style() const;
    void SetStyle(TFontStyles value);
    TFontCharset Charset() const;
    void SetCharset(TFontCharset value);

    // Name, size, colour, style and character set of a font.
    void Assign(const TFont& font);
    void AssignTo(TFont& font) const;

private:
    QTextCharFormat Format() const;
    void Apply(const QTextCharFormat& change);

    TRichEdit* fOwner;
    TAttributeType fType;
};

// Paragraph attributes of the paragraphs the selection touches.
class TParaAttributes {
public:
    explicit TParaAttributes(TRichEdit* owner)
        : fOwner(owner)
    {
    }
    // Justified paragraphs read as taLeftJustify.
    TAlignment Alignment() const;
    void SetAlignment(TAlignment value);

private:
    TRichEdit* fOwner;
};

// The lines of a rich edit: its paragraphs (and line breaks within them),
// without a trailing empty line. Loading and saving use RTF unless the
// control's PlainText is set; loading plain text (bytes without the RTF
// header) works either way. Insert takes the format found at the line;
// Delete removes the last line with the break before it.
class TRichEditStrings : public TEditLines {
public:
    explicit TRichEditStrings(TRichEdit* owner);

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const QString& fileName);
    // Replaces the file only once all of it is written.
    void SaveToFile(const QString& fileName) const;

protected:
    QString PositionText() const override;
    void ReplaceRange(int start, int length, const QString& text) override;

private:
    TRichEdit* fOwner;
};

enum TSearchTypeBits : unsigned { stWholeWord = 1, stMatchCase = 2 };
using TSearchTypes = unsigned;

// The rich edit's find over text as a document's raw text spells it
// (paragraph breaks U+2029, line breaks U+2028); a line break in SearchStr
// matches either. The position of the first match, or -1.
int FindRichText(QString text, const QString& SearchStr, int StartPos, int Length, TSearchTypes Options);

// A rich edit on QTextEdit. Loading (Lines, SetText) replaces the content
// without marking it modified and empties the undo history; typing, pasting,
// formatting and SetSelText mark it. Copy, cut and paste carry RTF, also
// through the keys and Qt's own menu. Enter breaks the paragraph; Tab goes to
// the form unless WantTabs.
class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* AOwner);
    ~TRichEdit() override;
    QString ClassName() const override { return QStringLiteral("TRichEdit"); }

    TRichEditStrings* Lines() { return &fLines; }
    // Plain text in the default attributes; clears Modified.
    void SetText(const QString& value) override;
    void Clear() { SetText(QString()); }

    int SelStart() const;
    // Moves the caret there (nothing selected).
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    QString SelText() const;
    // Replaces the selection in the typing format, as the user would.
    void SetSelText(const QString& value);
    // Replaces the selection with a copy of source as a paste of it would,
    // but straight from the document: every character (control characters
    // too) and format as they stand, and the clipboard is left alone.
    void SetSelDocument(const QTextDocument& source);
    void SelectAll();
    void ClearSelection();
    // The number of character positions (paragraph breaks count one).
    int TextLength() const;

    TTextAttributes* SelAttributes() { return &fSelAttributes; }
    TTextAttributes* DefAttributes() { return &fDefAttributes; }
    TParaAttributes* Paragraph() { return &fParagraph; }

    // The position of the first match within [StartPos, StartPos + Length),
    // or -1. Case matters only with stMatchCase.
    int FindText(const QString& SearchStr, int StartPos, int Length, TSearchTypes Options) const;

    // Copy and cut put RTF and plain text on the clipboard; paste takes RTF
    // when there is some, otherwise plain text in the typing format.
    void CopyToClipboard();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();
    bool CanUndo() const;
    void Undo();

    // Set by every change of text or formatting but loading and SetText.
    bool Modified() const { return fModified; }
    void SetModified(bool value) { fModified = value; }
    bool ReadOnly() const { return fReadOnly; }
    void SetReadOnly(bool value);
    // Characters the user may type or paste; 0 = no limit. Loading is never cut.
    int MaxLength() const { return fMaxLength; }
    void SetMaxLength(int value);
    TScrollStyle ScrollBars() const { return fScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return fWordWrap; }
    void SetWordWrap(bool value);
    bool HideSelection() const { return fHideSelection; }
    void SetHideSelection(bool value);
    bool PlainText() const { return fPlainText; }
    void SetPlainText(bool value) { fPlainText = value; }
    TBorderStyle BorderStyle() const { return fBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    bool WantTabs() const { return fWantTabs; }
    void SetWantTabs(bool value);
    bool WantReturns() const { return fWantReturns; }
    void SetWantReturns(bool value) { fWantReturns = value; }

    // Where Print puts the text on each page, in printer pixels from the
    // printable area's corner; empty = the whole printable area.
    QRect PageRect() const { return fPageRect; }
    void SetPageRect(const QRect& value) { fPageRect = value; }
    // Prints the whole content as one job on Printer(), breaking pages.
    // Printer errors reach the caller.
    void Print(const QString& Caption);

    // The character under a point of the text area, or -1.
    int CharAtPos(QPoint pos) const;
    // The point of the text area where a character position starts.
    QPoint PosToPoint(int pos) const;

    // Loading and saving of whole documents (Lines uses them).
    void LoadRtf(const QByteArray& rtf);
    QByteArray SaveRtf() const;
    void LoadPlainText(const QString& text);

    QTextDocument* Document() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;

    // --- what the widget calls ---
    void WidgetContentsChange(int position, int removed, int added);
    void WidgetContentsChanged();
    void WidgetSelectionChanged();
    QMimeData* WidgetMimeForSelection() const;
    void WidgetInsertMime(const QMimeData* data);

protected:
    // The text changed (typing, pasting, loading, in code).
    virtual void Change();
    // The document was edited or loaded, also when its text came out the
    // same (a day loaded again, formatting): runs before Change, which only
    // a different text brings.
    virtual void ContentsChanged() { }
    virtual void SelectionChange();
    void KeyPress(QChar& Key) override;
    void KeyDown(quint16& Key, TShiftState Shift) override;
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    bool WantsChars() const override { return true; }
    void ApplyWidgetStyle() override;
    void FontChanged() override;
    QTextEdit* Editor() const;

private:
    friend class TTextAttributes;
    friend class TParaAttributes;
    // Runs a load or SetText: no Modified, no length limit, one Change.
    template <class F> void Replace(F&& f);
    void InsertAsUser(const QString& text, const QTextCharFormat* format = nullptr);
    void InsertRtfAsUser(const QByteArray& rtf);
    // The text of positions from..to with breaks as CR LF.
    QString TextOf(int from, int to) const;
    // Gives an empty control the default attributes.
    void ApplyDefaultFormat();
    void EnforceMaxLength();

    TRichEditStrings fLines { this };
    TTextAttributes fSelAttributes { this, atSelected };
    TTextAttributes fDefAttributes { this, atDefaultText };
    TParaAttributes fParagraph { this };
    std::unique_ptr<QTextCharFormat> fDefaultFormat;
    bool fModified = false;
    bool fReadOnly = false;
    int fMaxLength = 0;
    TScrollStyle fScrollBars = ssNone;
    bool fWordWrap = true;
    bool fHideSelection = true;
    bool fPlainText = false;
    TBorderStyle fBorderStyle = bsSingle;
    bool fWantTabs = false;
    bool fWantReturns = true;
    QRect fPageRect;
    int fLoading = 0;
    // Range touched by user edits since the last check of the length limit.
    int fEditStart = -1;
    int fEditEnd = -1;
    // Length when the limit was last checked: text beyond it is the user's.
    int fCheckedLength = 0;
    int fLastSelStart = 0;
    int fLastSelLength = 0;
};
