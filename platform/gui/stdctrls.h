#pragma once

// The standard controls: label, edit, memo, check box, radio button, combo
// box, list box and group box. The windowed ones wrap the matching Qt widget
// and keep the class library's behaviour on top of it: when events fire,
// what setting a property does, which keys they want.

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"

#include <QChar>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;

// Horizontal alignment of text in a control.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// Vertical placement of a label's text.
enum TTextLayout { tlTop, tlCenter, tlBottom };
// Scroll bars of a memo (and of the grid).
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// Case forced on an edit's text.
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
// Border of windowed controls: bsNone or bsSingle (the form's values).
using TBorderStyle = TFormBorderStyle;

// State of an owner-drawn item.
enum TOwnerDrawStateBits : unsigned {
    odSelected = 0x0001,
    odGrayed = 0x0002,
    odDisabled = 0x0004,
    odChecked = 0x0008,
    odFocused = 0x0010,
    odDefault = 0x0020,
    odHotLight = 0x0040,
    odInactive = 0x0080,
    odNoAccel = 0x0100,
    odNoFocusRect = 0x0200,
    odComboBoxEdit = 0x1000,
};
using TOwnerDrawState = unsigned;

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, QRect Rect, TOwnerDrawState State)>;

enum class TItemsChange { Inserted, Deleted, Changed, Cleared };

// The strings of a list-like control (combo box, list box, tab set), each
// with an object value. Every change reaches the control's widget at once.
// Indexes out of range raise EListError.
class TControlItems
{
public:
    TControlItems() = default;
    TControlItems(const TControlItems&) = delete;
    TControlItems& operator=(const TControlItems&) = delete;

    int Count() const { return int(fItems.size()); }
    const QString& Strings(int index) const;
    const QString& operator[](int index) const { return Strings(index); }
    void SetString(int index, const QString& value);
    qintptr Objects(int index) const;
    void SetObject(int index, qintptr value);

    // Return the new item's index.
    int Add(const QString& s) { return AddObject(s, 0); }
    int AddObject(const QString& s, qintptr object);
    void Insert(int index, const QString& s) { InsertObject(index, s, 0); }
    void InsertObject(int index, const QString& s, qintptr object);
    void Delete(int index);
    void Clear();

    // Case-insensitive, as the class library's string lists compare.
    int IndexOf(const QString& s) const;
    int IndexOfObject(qintptr object) const;

    // Lines joined with "\r\n", each line followed by it.
    QString Text() const;
    void SetText(const QString& text);
    QStringList ToStringList() const;
    void Assign(const QStringList& list);

private:
    friend class TCustomComboBox;
    friend class TCustomListBox;
    friend class TTabSet;
    struct Item
    {
        QString Text;
        qintptr Object = 0;
    };
    void CheckIndex(int index) const;
    void Notify(TItemsChange change, int index);

    QList<Item> fItems;
    std::function<void(TItemsChange, int)> fOnChange;
};

// ---------------------------------------------------------------------------
// Label

// Windowless text. AutoSize fits the bounds to the text (keeping the right
// edge for right-justified text); the background is filled with Color unless
// Transparent; "&x" underlines x unless ShowAccelChar is off, and the
// accelerator focuses FocusControl. Disabled text is drawn engraved.
class TCustomLabel : public TGraphicControl
{
public:
    explicit TCustomLabel(TComponent* AOwner);
    ~TCustomLabel() override;
    QString ClassName() const override { return QStringLiteral("TCustomLabel"); }

    TAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return fAutoSize; }
    virtual void SetAutoSize(bool value);
    TTextLayout Layout() const { return fLayout; }
    void SetLayout(TTextLayout value);
    bool Transparent() const { return fTransparent; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return fShowAccelChar; }
    void SetShowAccelChar(bool value);
    bool WordWrap() const { return fWordWrap; }
    void SetWordWrap(bool value);
    TWinControl* FocusControl() const { return fFocusControl; }
    void SetFocusControl(TWinControl* value);

    void Paint() override;
    void Loaded() override;

protected:
    // The text to show; descendants may show something other than Caption.
    virtual QString GetLabelText() const;
    // Draws (or with DT_CALCRECT measures) the text into rect on Canvas.
    virtual void DoDrawText(QRect& rect, unsigned flags);
    // Fits the bounds to the text when AutoSize is on.
    virtual void AdjustBounds();
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TAlignment fAlignment = taLeftJustify;
    bool fAutoSize = true;
    TTextLayout fLayout = tlTop;
    bool fTransparent = false;
    bool fShowAccelChar = true;
    bool fWordWrap = false;
    TWinControl* fFocusControl = nullptr;
};

class TLabel : public TCustomLabel
{
public:
    explicit TLabel(TComponent* AOwner)
        : TCustomLabel(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TLabel"); }
};

// ---------------------------------------------------------------------------
// Edit and memo

class TEditAdapter;

// A text editor on QLineEdit (one line) or QPlainTextEdit (a memo). Text is
// kept in step with the widget both ways: typing, pasting and setting Text
// in code all call Change, which fires OnChange. Setting Text in code clears
// Modified; the user's edits set it.
//
// Filtering: every paste (keys, context menu, code) goes through the virtual
// PasteFromClipboard and every cut through CutToClipboard, typed characters
// (input-method commits included) through KeyPress, and every change of the
// text through Change. A filtering edit overrides these; Change may rewrite
// Text and SelStart.
class TCustomEdit : public TWinControl
{
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;
    QString ClassName() const override { return QStringLiteral("TCustomEdit"); }

    void SetText(const QString& value) override;
    void Clear() { SetText(QString()); }

    // 0 = no limit. Limits what the user types or pastes.
    int MaxLength() const { return fMaxLength; }
    virtual void SetMaxLength(int value);
    // A null character shows the text; any other hides it ('*' as Qt's bullets).
    QChar PasswordChar() const { return fPasswordChar; }
    void SetPasswordChar(QChar value);
    bool ReadOnly() const { return fReadOnly; }
    void SetReadOnly(bool value);
    bool Modified() const { return fModified; }
    void SetModified(bool value) { fModified = value; }
    bool AutoSelect() const { return fAutoSelect; }
    void SetAutoSelect(bool value) { fAutoSelect = value; }
    bool HideSelection() const { return fHideSelection; }
    void SetHideSelection(bool value);
    TBorderStyle BorderStyle() const { return fBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TEditCharCase CharCase() const { return fCharCase; }
    void SetCharCase(TEditCharCase value);

    // Selection in characters of Text (a memo's line breaks count as two).
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    QString SelText() const;
    void SetSelText(const QString& value);
    void SelectAll();
    void ClearSelection();
    bool CanUndo() const;
    void Undo();

    void CopyToClipboard();
    virtual void CutToClipboard();
    // Replaces the selection with the clipboard's text (nothing when read-only).
    virtual void PasteFromClipboard();

    TNotifyEvent OnChange;

    // --- what the widget calls ---
    void WidgetTextChanged(bool byUser);
    // Input-method text: offered character by character to KeyPress.
    QString FilterCommittedText(const QString& text);

protected:
    // Memos pass true.
    TCustomEdit(TComponent* AOwner, bool multiLine);
    // The text changed (by the user or in code).
    virtual void Change();
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void DoEnter() override;
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    bool WantsChars() const override { return true; }
    void ApplyWidgetStyle() override;
    TEditAdapter& Editor() const { return *fEditor; }
    // The widget's text as the class library spells it (memo lines CR LF).
    QString WidgetText() const;
    // Text as read from what the widget shows (a masked edit drops its blanks).
    virtual QString TextOfWidgetText(const QString& widgetText) const { return widgetText; }

private:
    void Init();
    // Inserts text over the selection as the user would (max length kept).
    void InsertAsUser(const QString& text);
    QString ApplyCharCase(const QString& text) const;

    std::unique_ptr<TEditAdapter> fEditor;
    int fMaxLength = 0;
    QChar fPasswordChar;
    bool fReadOnly = false;
    bool fModified = false;
    bool fAutoSelect = true;
    bool fHideSelection = true;
    TBorderStyle fBorderStyle = bsSingle;
    TEditCharCase fCharCase = ecNormal;
    bool fSettingText = false;
};

class TEdit : public TCustomEdit
{
public:
    explicit TEdit(TComponent* AOwner)
        : TCustomEdit(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TEdit"); }
};

// The lines of a multi-line edit, without a trailing empty line: read from
// the control's text and changed through its selection, so that a change is
// an edit like the user's. CR LF, CR, LF and Qt's paragraph and line
// separators each end a line. The memo and the rich edit differ only in how
// their text maps to selection positions and in deleting the last line.
class TEditLines
{
public:
    int Count() const;
    // Indexes out of range raise EListError.
    QString Strings(int index) const;
    QString operator[](int index) const { return Strings(index); }
    void SetString(int index, const QString& value);
    int Add(const QString& s);
    // Inserts s and a line break before line index; past the last line, a
    // break and s are appended.
    void Insert(int index, const QString& s);
    void Delete(int index);
    void Clear() { SetText(QString()); }
    // Lines joined with "\r\n", each line followed by it.
    QString Text() const;
    void SetText(const QString& text) { fControl->SetText(text); }
    QStringList ToStringList() const;

protected:
    // What Delete does to the last line: remove only its text, or remove it
    // with the break before it (and nothing in an empty control).
    enum class TLastLine { KeepBreakBefore, TakeBreakBefore };

    TEditLines(TControl* control, TLastLine lastLine)
        : fControl(control)
        , fLastLine(lastLine)
    {
    }
    ~TEditLines() = default;

    // The text with one character per selection position.
    virtual QString PositionText() const = 0;
    // Selects length characters from start and types text over them.
    virtual void ReplaceRange(int start, int length, const QString& text) = 0;

private:
    TControl* fControl;
    TLastLine fLastLine;
};

class TCustomMemo;

// The lines of a memo: a view over its text, whose positions count each
// break as CR LF. Deleting the last line leaves the break before it.
class TMemoLines : public TEditLines
{
public:
    explicit TMemoLines(TCustomMemo* memo);
    void Assign(const QStringList& lines);

protected:
    QString PositionText() const override;
    void ReplaceRange(int start, int length, const QString& text) override;

private:
    TCustomMemo* fMemo;
};

// A multi-line edit. Enter and Tab are text only when WantReturns/WantTabs;
// otherwise they go to the form (default button, next control).
class TCustomMemo : public TCustomEdit
{
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    QString ClassName() const override { return QStringLiteral("TCustomMemo"); }

    TMemoLines* Lines() { return &fLines; }
    TScrollStyle ScrollBars() const { return fScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return fWordWrap; }
    void SetWordWrap(bool value);
    bool WantReturns() const { return fWantReturns; }
    void SetWantReturns(bool value) { fWantReturns = value; }
    bool WantTabs() const { return fWantTabs; }
    void SetWantTabs(bool value);
    TAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TAlignment value);

protected:
    void KeyPress(QChar& Key) override;
    bool WantsKey(quint16 Key, TShiftState Shift) const override;

private:
    TMemoLines fLines { this };
    TScrollStyle fScrollBars = ssNone;
    bool fWordWrap = true;
    bool fWantReturns = true;
    bool fWantTabs = false;
    TAlignment fAlignment = taLeftJustify;
};

class TMemo : public TCustomMemo
{
public:
    explicit TMemo(TComponent* AOwner)
        : TCustomMemo(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TMemo"); }
};

// ---------------------------------------------------------------------------
// Check box and radio button

// A button control on a Qt button: the caption (with "&") goes to the
// widget, the accelerator comes through the form's dialog characters. Qt's
// own click handling stays; each change of the checked state reaches Click
// once, through the control.
class TButtonControl : public TWinControl
{
public:
    QString ClassName() const override { return QStringLiteral("TButtonControl"); }
    // Text beside the box: taRightJustify (the default) puts it right of the box.
    TAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TAlignment value);
    bool WordWrap() const { return fWordWrap; }
    void SetWordWrap(bool value) { fWordWrap = value; }

    // --- what the widget calls ---
    virtual void WidgetToggled() = 0;

protected:
    TButtonControl(TComponent* AOwner, const TWidgetFactory& factory);
    void CMTextChanged(TMessage& Message) override;
    void ApplyWidgetStyle() override;

private:
    TAlignment fAlignment = taRightJustify;
    bool fWordWrap = false;
};

// A check box; AllowGrayed adds the grey third state, which the user reaches
// after unchecked. Setting Checked or State fires OnClick when it changes.
class TCustomCheckBox : public TButtonControl
{
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TCustomCheckBox"); }

    bool Checked() const { return fState == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return fState; }
    void SetState(TCheckBoxState value);
    bool AllowGrayed() const { return fAllowGrayed; }
    void SetAllowGrayed(bool value);
    // The user's toggle: unchecked, grayed (if allowed), checked.
    virtual void Toggle();

    void WidgetToggled() override;

protected:
    void CMDialogChar(TMessage& Message) override;

private:
    // Shows fState on the widget.
    void ShowState();
    TCheckBoxState fState = cbUnchecked;
    bool fAllowGrayed = false;
    bool fUpdating = false;
};

class TCheckBox : public TCustomCheckBox
{
public:
    explicit TCheckBox(TComponent* AOwner)
        : TCustomCheckBox(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TCheckBox"); }
};

// A radio button: checking one unchecks its siblings with the same parent.
// Becoming checked fires OnClick (in code too); being unchecked does not.
// Only the checked button of a group is a tab stop.
class TRadioButton : public TButtonControl
{
public:
    explicit TRadioButton(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TRadioButton"); }

    bool Checked() const { return fChecked; }
    void SetChecked(bool value);

    void WidgetToggled() override;

protected:
    void CMDialogChar(TMessage& Message) override;

private:
    void ShowState();
    void TurnSiblingsOff();
    bool fChecked = false;
    bool fUpdating = false;
};

// ---------------------------------------------------------------------------
// Combo box and list box

// A drop-down list on QComboBox. csDropDown has an edit part; csDropDownList
// and the owner-draw styles only choose. A user's choice sets Text, fires
// OnClick and then OnSelect (OnChange when OnSelect is not assigned); typing
// in the edit part fires OnChange. Setting ItemIndex or Text in code fires
// nothing.
//
// Owner draw: each item of the list, and the chosen item in the closed
// combo (with odComboBoxEdit), is drawn by DrawItem on Canvas, which is
// prepared beforehand: the control's font, the highlight colours for a
// selected item and the control's colours otherwise, the rectangle filled.
class TCustomComboBox : public TWinControl
{
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;
    QString ClassName() const override { return QStringLiteral("TCustomComboBox"); }

    TComboBoxStyle Style() const { return fStyle; }
    void SetStyle(TComboBoxStyle value);
    TControlItems* Items() { return &fItems; }
    int ItemIndex() const { return fItemIndex; }
    void SetItemIndex(int value);
    void SetText(const QString& value) override;
    int DropDownCount() const { return fDropDownCount; }
    void SetDropDownCount(int value);
    int ItemHeight() const { return fItemHeight; }
    void SetItemHeight(int value);
    bool DroppedDown() const;
    void SetDroppedDown(bool value);
    int MaxLength() const { return fMaxLength; }
    void SetMaxLength(int value);
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;

    // --- what the widget calls ---
    void WidgetActivated(int index);
    void WidgetEditTextEdited(const QString& text);
    void WidgetPopupShown(bool shown);
    // Paints one owner-drawn item through painter (list or edit part).
    void PaintOwnerDrawItem(QPainter& painter, int index, const QRect& rect, TOwnerDrawState state);
    bool IsOwnerDraw() const { return fStyle == csOwnerDrawFixed || fStyle == csOwnerDrawVariable; }

protected:
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    // Draws one item on the prepared Canvas; the default fires OnDrawItem or
    // writes the item's text.
    virtual void DrawItem(int Index, QRect Rect, TOwnerDrawState State);
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    bool WantsChars() const override { return true; }
    void ApplyWidgetStyle() override;

private:
    // Editable or not, and the owner-draw delegate, as Style says.
    void ApplyStyle();
    void ItemsChanged(TItemsChange change, int index);
    // Puts the widget's current index (and edit text) where ours are.
    void SyncWidgetIndex();

    TControlItems fItems;
    TComboBoxStyle fStyle = csDropDown;
    int fItemIndex = -1;
    int fDropDownCount = 8;
    int fItemHeight = 16;
    int fMaxLength = 0;
    bool fUpdating = false;
    bool fDropped = false;
};

class TComboBox : public TCustomComboBox
{
public:
    explicit TComboBox(TComponent* AOwner)
        : TCustomComboBox(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TComboBox"); }
};

// A list of strings on QListWidget with one selected item. A selection by the
// user fires OnClick; setting ItemIndex in code does not.
class TCustomListBox : public TWinControl
{
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    QString ClassName() const override { return QStringLiteral("TCustomListBox"); }

    TControlItems* Items() { return &fItems; }
    int ItemIndex() const { return fItemIndex; }
    void SetItemIndex(int value);
    int TopIndex() const;
    void SetTopIndex(int value);
    TBorderStyle BorderStyle() const { return fBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    // The item at a point of the list area (as mouse events report points);
    // past the last item: -1 when Existing, else Count.
    int ItemAtPos(QPoint pos, bool Existing) const;
    void Clear() { fItems.Clear(); }

    // --- what the widget calls ---
    void WidgetSelectionChanged();
    void WidgetItemDoubleClicked();

protected:
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    bool WantsChars() const override { return true; }
    void ApplyWidgetStyle() override;

private:
    void ItemsChanged(TItemsChange change, int index);
    void SyncWidgetIndex();

    TControlItems fItems;
    int fItemIndex = -1;
    TBorderStyle fBorderStyle = bsSingle;
    bool fUpdating = false;
};

class TListBox : public TCustomListBox
{
public:
    explicit TListBox(TComponent* AOwner)
        : TCustomListBox(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TListBox"); }
};

// ---------------------------------------------------------------------------
// Group box

// An etched frame with the caption in a gap of its top line.
class TCustomGroupBox : public TCustomControl
{
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TCustomGroupBox"); }
    void Paint() override;

protected:
    void CMTextChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox
{
public:
    explicit TGroupBox(TComponent* AOwner)
        : TCustomGroupBox(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TGroupBox"); }
};
