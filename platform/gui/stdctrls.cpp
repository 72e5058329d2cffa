#include "stdctrls.h"

#include "platform/core/sysutils.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls_p.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextDocument>

#include <limits>

using stdctrls_p::TFlagScope;
using stdctrls_p::TPainterScope;

// --- shared helpers ---

void ApplyControlPalette(
    QWidget* widget, const TControl* control, QPalette::ColorRole background, QPalette::ColorRole text)
{
    widget->setFont(control->Font()->ToQFont());
    QPalette p = widget->palette();
    const QColor bg = ToQColor(control->Color());
    const QColor fg = ToQColor(control->Font()->Color());
    for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        p.setColor(group, background, bg);
        p.setColor(group, text, group == QPalette::Disabled ? ToQColor(clGrayText) : fg);
    }
    widget->setPalette(p);
}

void ApplySelectionPalette(QWidget* widget, const TControl* control, TInactiveSelection inactive)
{
    QPalette p = widget->palette();
    for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        TColor back = clHighlight, text = clHighlightText;
        if (group != QPalette::Active && inactive == TInactiveSelection::Hidden) {
            back = control->Color();
            text = control->Font()->Color();
        } else if (group != QPalette::Active && inactive == TInactiveSelection::Grey) {
            back = clBtnFace;
            text = clBtnText;
        }
        p.setColor(group, QPalette::Highlight, ToQColor(back));
        p.setColor(group, QPalette::HighlightedText, ToQColor(text));
    }
    widget->setPalette(p);
}

void SetButtonCaption(QAbstractButton* button, const QString& caption)
{
    button->setText(caption);
    button->setShortcut(QKeySequence());
}

namespace {

// Lines of a text as the class library's string lists split it: at CR LF,
// LF or CR, with no empty line after a final break.
QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString JoinLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

// Every line break as CR LF.
QString ToCrLf(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            out += QStringLiteral("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Every line break as LF, as Qt's text documents take them.
QString ToLf(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

// The edit context menu of the class library's edits, built here so that
// every entry runs through the control (a filtering edit sees cut and paste).
void ExecEditContextMenu(TCustomEdit* edit, QWidget* parent, QPoint globalPos)
{
    const bool readOnly = edit->ReadOnly();
    const bool selected = edit->SelLength() > 0;
    const bool hidden = !edit->PasswordChar().isNull();
    QMenu menu(parent);
    QAction* undo = menu.addAction(QStringLiteral("&Undo"));
    undo->setEnabled(!readOnly && edit->CanUndo());
    menu.addSeparator();
    QAction* cut = menu.addAction(QStringLiteral("Cu&t"));
    cut->setEnabled(selected && !readOnly && !hidden);
    QAction* copy = menu.addAction(QStringLiteral("&Copy"));
    copy->setEnabled(selected && !hidden);
    QAction* paste = menu.addAction(QStringLiteral("&Paste"));
    paste->setEnabled(!readOnly && Clipboard().HasFormat(CF_TEXT));
    QAction* erase = menu.addAction(QStringLiteral("&Delete"));
    erase->setEnabled(selected && !readOnly);
    menu.addSeparator();
    QAction* all = menu.addAction(QStringLiteral("Select &All"));
    all->setEnabled(!edit->Text().isEmpty());
    const std::weak_ptr<bool> alive = edit->AliveToken();
    QAction* chosen = menu.exec(globalPos);
    if (!chosen || alive.expired())
        return;
    GuardedCall([&] {
        if (chosen == undo)
            edit->Undo();
        else if (chosen == cut)
            edit->CutToClipboard();
        else if (chosen == copy)
            edit->CopyToClipboard();
        else if (chosen == paste)
            edit->PasteFromClipboard();
        else if (chosen == erase)
            edit->ClearSelection();
        else if (chosen == all)
            edit->SelectAll();
    });
}

// --- the widget hosts of the edits ---

// What the hosts of both Qt edits share: committed input-method text goes
// through the edit's filter, and the context menu through the control.
// Widget is the Qt edit whose own handlers run otherwise.
template <class Widget, class Host> class TEditHost : public Host {
public:
    using Host::Host;

protected:
    void inputMethodEvent(QInputMethodEvent* e) override
    {
        auto* edit = static_cast<TCustomEdit*>(this->Control());
        if (!edit || e->commitString().isEmpty()) {
            Widget::inputMethodEvent(e);
            return;
        }
        QString filtered = e->commitString();
        GuardedCall([&] { filtered = edit->FilterCommittedText(e->commitString()); });
        QInputMethodEvent copy(e->preeditString(), e->attributes());
        copy.setCommitString(filtered, e->replacementStart(), e->replacementLength());
        Widget::inputMethodEvent(&copy);
    }

    void contextMenuEvent(QContextMenuEvent* e) override
    {
        auto* edit = static_cast<TCustomEdit*>(this->Control());
        if (!edit) {
            Widget::contextMenuEvent(e);
            return;
        }
        bool handled = false;
        GuardedCall([&] { handled = edit->HostContextMenu(e->pos()); });
        e->accept();
        if (handled || !this->Control())
            return;
        ExecEditContextMenu(edit, this, e->globalPos());
    }
};

class TLineEditHost : public TEditHost<QLineEdit, THost<QLineEdit>> {
public:
    using TEditHost::TEditHost;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (!SwallowMiddleButtonRelease(Control(), e))
            THost<QLineEdit>::mouseReleaseEvent(e);
    }
};

class TMemoHost : public TEditHost<QPlainTextEdit, TViewHost<QPlainTextEdit>> {
public:
    using TEditHost::TEditHost;

protected:
    // Every paste Qt performs (context menu, drop) reaches the control's paste.
    void insertFromMimeData(const QMimeData*) override
    {
        if (auto* edit = static_cast<TCustomEdit*>(Control()))
            GuardedCall([&] { edit->PasteFromClipboard(); });
    }
};

QWidget* MakeLineEditHost(TWinControl* self)
{
    auto* host = new TLineEditHost(self);
    host->setAcceptDrops(false);
    return host;
}

QWidget* MakeMemoHost(TWinControl* self)
{
    auto* host = new TMemoHost(self);
    host->setAcceptDrops(false);
    host->setFrameShape(QFrame::StyledPanel);
    return host;
}

} // namespace

// --- TControlItems ---

void TControlItems::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void TControlItems::Notify(TItemsChange change, int index)
{
    if (fOnChange)
        fOnChange(change, index);
}

const QString& TControlItems::Strings(int index) const
{
    CheckIndex(index);
    return fItems[index].Text;
}

void TControlItems::SetString(int index, const QString& value)
{
    CheckIndex(index);
    fItems[index].Text = value;
    Notify(TItemsChange::Changed, index);
}

qintptr TControlItems::Objects(int index) const
{
    CheckIndex(index);
    return fItems[index].Object;
}

void TControlItems::SetObject(int index, qintptr value)
{
    CheckIndex(index);
    fItems[index].Object = value;
}

int TControlItems::AddObject(const QString& s, qintptr object)
{
    InsertObject(Count(), s, object);
    return Count() - 1;
}

void TControlItems::InsertObject(int index, const QString& s, qintptr object)
{
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    fItems.insert(index, Item { s, object });
    Notify(TItemsChange::Inserted, index);
}

void TControlItems::Delete(int index)
{
    CheckIndex(index);
    fItems.removeAt(index);
    Notify(TItemsChange::Deleted, index);
}

void TControlItems::Clear()
{
    fItems.clear();
    Notify(TItemsChange::Cleared, -1);
}

int TControlItems::IndexOf(const QString& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (fItems[i].Text.compare(s, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TControlItems::IndexOfObject(qintptr object) const
{
    for (int i = 0; i < Count(); ++i)
        if (fItems[i].Object == object)
            return i;
    return -1;
}

QString TControlItems::Text() const
{
    return JoinLines(ToStringList());
}

void TControlItems::SetText(const QString& text)
{
    Assign(SplitLines(text));
}

QStringList TControlItems::ToStringList() const
{
    QStringList list;
    list.reserve(Count());
    for (const Item& item : fItems)
        list.append(item.Text);
    return list;
}

void TControlItems::Assign(const QStringList& list)
{
    Clear();
    for (const QString& s : list)
        Add(s);
}

// --- TCustomLabel ---

TCustomLabel::TCustomLabel(TComponent* AOwner)
    : TGraphicControl(AOwner)
{
    SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

TCustomLabel::~TCustomLabel() = default;

void TCustomLabel::SetAlignment(TAlignment value)
{
    if (value == fAlignment)
        return;
    fAlignment = value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool value)
{
    if (value == fAutoSize)
        return;
    fAutoSize = value;
    AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout value)
{
    if (value == fLayout)
        return;
    fLayout = value;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value)
{
    if (value == fTransparent)
        return;
    fTransparent = value;
    SetControlStyle(value ? (ControlStyle() & ~csOpaque) : (ControlStyle() | csOpaque));
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value)
{
    if (value == fShowAccelChar)
        return;
    fShowAccelChar = value;
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value)
{
    if (value == fWordWrap)
        return;
    fWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value)
{
    if (value == fFocusControl)
        return;
    if (fFocusControl)
        RemoveFreeNotification(fFocusControl);
    fFocusControl = value;
    if (value)
        FreeNotification(value);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fFocusControl)
        fFocusControl = nullptr;
}

QString TCustomLabel::GetLabelText() const
{
    return Caption();
}

void TCustomLabel::DoDrawText(QRect& rect, unsigned flags)
{
    QString text = GetLabelText();
    // An empty caption (or a lone "&") still measures one line.
    if ((flags & DT_CALCRECT) && (text.isEmpty() || (fShowAccelChar && text == QStringLiteral("&"))))
        text += u' ';
    if (!fShowAccelChar)
        flags |= DT_NOPREFIX;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(*Font());
    if (!Enabled() && !(flags & DT_CALCRECT)) {
        // The engraved look: a highlight copy one pixel down-right, the shadow on top.
        rect.translate(1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        DrawText(*canvas, text, rect, flags);
        rect.translate(-1, -1);
        canvas->Font()->SetColor(clBtnShadow);
        DrawText(*canvas, text, rect, flags);
    } else {
        DrawText(*canvas, text, rect, flags);
    }
}

void TCustomLabel::Paint()
{
    TCanvas* canvas = Canvas();
    if (!fTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(ClientRect());
    }
    canvas->Brush()->SetStyle(bsClear);
    QRect rect = ClientRect();
    unsigned flags = DT_EXPANDTABS | (fWordWrap ? DT_WORDBREAK : 0);
    if (fAlignment == taRightJustify)
        flags |= DT_RIGHT;
    else if (fAlignment == taCenter)
        flags |= DT_CENTER;
    if (fLayout != tlTop) {
        QRect calc = rect;
        DoDrawText(calc, flags | DT_CALCRECT);
        const int free = Height() - RectBottom(calc);
        rect.translate(0, fLayout == tlBottom ? free : free / 2);
    }
    DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds()
{
    if (!fAutoSize || (ComponentState() & (csLoading | csReading)))
        return;
    QRect rect = ClientRect();
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (fWordWrap ? DT_WORDBREAK : 0));
    int x = Left();
    // Right-justified text keeps its right edge where it was.
    if (fAlignment == taRightJustify)
        x += Width() - RectRight(rect);
    SetBounds(x, Top(), RectRight(rect), RectBottom(rect));
}

void TCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::CMTextChanged(TMessage& Message)
{
    TGraphicControl::CMTextChanged(Message);
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message)
{
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& Message)
{
    if (fFocusControl && Enabled() && fShowAccelChar && IsAccel(QChar(char16_t(Message.WParam)), Caption())
        && fFocusControl->CanFocus()) {
        fFocusControl->SetFocus();
        Message.Result = 1;
    }
}

// --- the editors behind TCustomEdit ---

// What TCustomEdit needs of its widget. Positions and text are in the class
// library's terms: a memo's line breaks are CR LF and count two.
class TEditAdapter {
public:
    virtual ~TEditAdapter() = default;
    virtual QWidget* Widget() const = 0;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    virtual QString SelText() const = 0;
    // Selects from start for length characters; the caret ends at the end.
    virtual void SetSelection(int start, int length) = 0;
    // Replaces the selection, as typing would.
    virtual void Insert(const QString& text) = 0;
    virtual void SetReadOnly(bool value) = 0;
    virtual void SetMaxLength(int value) = 0;
    // Cuts what the user's last change added beyond max characters.
    virtual void EnforceMaxLength(int max) = 0;
    virtual void SetPassword(bool value) = 0;
    virtual void SetFrame(bool value) = 0;
    virtual bool CanUndo() const = 0;
    virtual void Undo() = 0;
};

namespace {

class TLineEditAdapter : public TEditAdapter {
public:
    explicit TLineEditAdapter(QLineEdit* edit)
        : fEdit(edit)
    {
    }
    QWidget* Widget() const override { return fEdit; }
    QString Text() const override { return fEdit->text(); }
    void SetText(const QString& text) override { fEdit->setText(text); }
    int SelStart() const override
    {
        return fEdit->hasSelectedText() ? fEdit->selectionStart() : fEdit->cursorPosition();
    }
    int SelLength() const override { return fEdit->hasSelectedText() ? int(fEdit->selectedText().size()) : 0; }
    QString SelText() const override { return fEdit->selectedText(); }
    void SetSelection(int start, int length) override
    {
        const int size = int(fEdit->text().size());
        start = std::clamp(start, 0, size);
        length = std::clamp(length, 0, size - start);
        if (length == 0)
            fEdit->setCursorPosition(start);
        else
            fEdit->setSelection(start, length);
    }
    void Insert(const QString& text) override { fEdit->insert(text); }
    void SetReadOnly(bool value) override { fEdit->setReadOnly(value); }
    void SetMaxLength(int value) override
    {
        fEdit->setMaxLength(value > 0 ? value : std::numeric_limits<int>::max() / 2);
    }
    void EnforceMaxLength(int) override { } // QLineEdit limits by itself
    void SetPassword(bool value) override { fEdit->setEchoMode(value ? QLineEdit::Password : QLineEdit::Normal); }
    void SetFrame(bool value) override { fEdit->setFrame(value); }
    bool CanUndo() const override { return fEdit->isUndoAvailable(); }
    void Undo() override { fEdit->undo(); }

private:
    QLineEdit* fEdit;
};

class TMemoAdapter : public TEditAdapter {
public:
    explicit TMemoAdapter(QPlainTextEdit* edit)
        : fEdit(edit)
    {
        fConnection = QObject::connect(
            edit->document(), &QTextDocument::contentsChange, edit, [this](int position, int, int added) {
                fLastPosition = position;
                fLastAdded = added;
            });
    }
    ~TMemoAdapter() override { QObject::disconnect(fConnection); }
    QWidget* Widget() const override { return fEdit; }
    QString Text() const override { return ToCrLf(Raw()); }
    void SetText(const QString& text) override { fEdit->setPlainText(ToLf(text)); }
    int SelStart() const override { return ToLibrary(fEdit->textCursor().selectionStart()); }
    int SelLength() const override
    {
        const QTextCursor c = fEdit->textCursor();
        return ToLibrary(c.selectionEnd()) - ToLibrary(c.selectionStart());
    }
    QString SelText() const override { return ToCrLf(fEdit->textCursor().selectedText()); }
    void SetSelection(int start, int length) override
    {
        QTextCursor c = fEdit->textCursor();
        const int from = ToWidget(start);
        c.setPosition(from);
        c.setPosition(ToWidget(start + std::max(0, length)), QTextCursor::KeepAnchor);
        fEdit->setTextCursor(c);
    }
    void Insert(const QString& text) override { fEdit->textCursor().insertText(ToLf(text)); }
    void SetReadOnly(bool value) override
    {
        fEdit->setReadOnly(value);
        // The class library's read-only memo still moves its caret by keys.
        if (value)
            fEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    void SetMaxLength(int) override { }
    void EnforceMaxLength(int max) override
    {
        const QString raw = Raw();
        int excess = LibraryLength(raw) - max;
        if (excess <= 0 || fLastAdded <= 0)
            return;
        // Take characters back from the end of what was just inserted.
        const int end = std::min<int>(fLastPosition + fLastAdded, int(raw.size()));
        int remove = 0;
        while (excess > 0 && remove < fLastAdded) {
            const QChar c = raw[end - 1 - remove];
            excess -= IsBreak(c) ? 2 : 1;
            ++remove;
        }
        QTextCursor c(fEdit->document());
        c.setPosition(end - remove);
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    void SetPassword(bool) override { }
    void SetFrame(bool value) override { fEdit->setFrameShape(value ? QFrame::StyledPanel : QFrame::NoFrame); }
    bool CanUndo() const override { return fEdit->document()->isUndoAvailable(); }
    void Undo() override { fEdit->undo(); }

private:
    static bool IsBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }
    QString Raw() const { return fEdit->document()->toRawText(); }
    static int LibraryLength(const QString& raw)
    {
        int n = int(raw.size());
        for (QChar c : raw)
            if (IsBreak(c))
                ++n;
        return n;
    }
    int ToLibrary(int widgetPos) const { return LibraryLength(Raw().left(widgetPos)); }
    int ToWidget(int libraryPos) const
    {
        const QString raw = Raw();
        int lib = 0;
        for (int i = 0; i < raw.size(); ++i) {
            const int step = IsBreak(raw[i]) ? 2 : 1;
            if (lib + step > libraryPos)
                return i;
            lib += step;
        }
        return int(raw.size());
    }

    QPlainTextEdit* fEdit;
    QMetaObject::Connection fConnection;
    int fLastPosition = 0;
    int fLastAdded = 0;
};

} // namespace

// --- TCustomEdit ---

TCustomEdit::TCustomEdit(TComponent* AOwner)
    : TWinControl(AOwner, MakeLineEditHost)
{
    auto* edit = static_cast<TLineEditHost*>(Handle());
    fEditor = std::make_unique<TLineEditAdapter>(edit);
    ConnectGuarded(edit, &QLineEdit::textChanged, [this](const QString&) { WidgetTextChanged(!fSettingText); });
    Init();
    SetBounds(0, 0, 121, 21);
}

TCustomEdit::TCustomEdit(TComponent* AOwner, bool multiLine)
    : TWinControl(AOwner, multiLine ? MakeMemoHost : MakeLineEditHost)
{
    if (multiLine) {
        auto* memo = static_cast<TMemoHost*>(Handle());
        fEditor = std::make_unique<TMemoAdapter>(memo);
        ConnectGuarded(memo, &QPlainTextEdit::textChanged, [this] { WidgetTextChanged(!fSettingText); });
    } else {
        auto* edit = static_cast<TLineEditHost*>(Handle());
        fEditor = std::make_unique<TLineEditAdapter>(edit);
        ConnectGuarded(edit, &QLineEdit::textChanged, [this](const QString&) { WidgetTextChanged(!fSettingText); });
    }
    Init();
}

void TCustomEdit::Init()
{
    SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
    SetColor(clWindow);
    SetTabStop(true);
    fEditor->SetMaxLength(0);
    ApplyWidgetStyle();
}

TCustomEdit::~TCustomEdit()
{
    // Nothing the widget says from here on may reach this half-destroyed control.
    if (Handle())
        DetachHost(Handle());
}

QString TCustomEdit::WidgetText() const
{
    return fEditor->Text();
}

QString TCustomEdit::ApplyCharCase(const QString& text) const
{
    switch (fCharCase) {
    case ecUpperCase: return text.toUpper();
    case ecLowerCase: return text.toLower();
    default: return text;
    }
}

void TCustomEdit::SetText(const QString& value)
{
    const QString text = ApplyCharCase(value);
    if (text == Text() && text == WidgetText())
        return;
    {
        TFlagScope scope(fSettingText);
        fEditor->SetText(text);
    }
    // The text set in code is no edit by the user.
    fModified = false;
    const QString now = TextOfWidgetText(WidgetText());
    if (now == Text())
        return;
    TWinControl::SetText(now);
    Change();
}

void TCustomEdit::WidgetTextChanged(bool byUser)
{
    if (fSettingText)
        return;
    if (byUser)
        fModified = true;
    if (fCharCase != ecNormal) {
        const QString text = WidgetText();
        const QString cased = ApplyCharCase(text);
        if (cased != text) {
            const int start = SelStart(), length = SelLength();
            TFlagScope scope(fSettingText);
            fEditor->SetText(cased);
            fEditor->SetSelection(start, length);
        }
    }
    if (fMaxLength > 0) {
        TFlagScope scope(fSettingText);
        fEditor->EnforceMaxLength(fMaxLength);
    }
    const QString now = TextOfWidgetText(WidgetText());
    if (now == Text())
        return;
    TWinControl::SetText(now);
    Change();
}

QString TCustomEdit::FilterCommittedText(const QString& text)
{
    QString result;
    for (QChar c : text) {
        QChar key = c;
        if (!DoKeyPress(key))
            result += key;
    }
    return result;
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::SetMaxLength(int value)
{
    fMaxLength = std::max(0, value);
    fEditor->SetMaxLength(fMaxLength);
}

void TCustomEdit::SetPasswordChar(QChar value)
{
    fPasswordChar = value;
    fEditor->SetPassword(!value.isNull());
}

void TCustomEdit::SetReadOnly(bool value)
{
    fReadOnly = value;
    fEditor->SetReadOnly(value);
}

void TCustomEdit::SetHideSelection(bool value)
{
    fHideSelection = value;
    ApplyWidgetStyle();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value)
{
    fBorderStyle = value;
    fEditor->SetFrame(value != bsNone);
}

void TCustomEdit::SetCharCase(TEditCharCase value)
{
    if (value == fCharCase)
        return;
    fCharCase = value;
    if (value != ecNormal)
        SetText(Text());
}

int TCustomEdit::SelStart() const
{
    return fEditor->SelStart();
}

void TCustomEdit::SetSelStart(int value)
{
    fEditor->SetSelection(value, 0);
}

int TCustomEdit::SelLength() const
{
    return fEditor->SelLength();
}

void TCustomEdit::SetSelLength(int value)
{
    fEditor->SetSelection(SelStart(), value);
}

QString TCustomEdit::SelText() const
{
    return fEditor->SelText();
}

void TCustomEdit::SetSelText(const QString& value)
{
    InsertAsUser(value);
}

void TCustomEdit::SelectAll()
{
    fEditor->SetSelection(0, int(Text().size()));
}

void TCustomEdit::ClearSelection()
{
    if (SelLength() > 0)
        InsertAsUser(QString());
}

bool TCustomEdit::CanUndo() const
{
    return fEditor->CanUndo();
}

void TCustomEdit::Undo()
{
    fEditor->Undo();
}

void TCustomEdit::InsertAsUser(const QString& text)
{
    fEditor->Insert(text);
}

void TCustomEdit::CopyToClipboard()
{
    // A password is never handed out.
    if (!fPasswordChar.isNull() || SelLength() == 0)
        return;
    Clipboard().SetAsText(SelText());
}

void TCustomEdit::CutToClipboard()
{
    if (fReadOnly || !fPasswordChar.isNull() || SelLength() == 0)
        return;
    Clipboard().SetAsText(SelText());
    InsertAsUser(QString());
}

void TCustomEdit::PasteFromClipboard()
{
    if (fReadOnly)
        return;
    QString text = Clipboard().AsText();
    if (!dynamic_cast<TCustomMemo*>(this)) {
        // A one-line edit takes the clipboard's first line.
        const qsizetype br = text.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
        if (br >= 0)
            text.truncate(br);
    }
    InsertAsUser(text);
}

void TCustomEdit::KeyDown(quint16& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    HandleClipboardKey(*this, Key, Shift);
}

void TCustomEdit::KeyPress(QChar& Key)
{
    TWinControl::KeyPress(Key);
    HandleClipboardChar(*this, Key);
}

void TCustomEdit::DoEnter()
{
    // Selects all on entry; a click that focused the edit places the caret afterwards.
    if (fAutoSelect && !dynamic_cast<TCustomMemo*>(this))
        SelectAll();
    TWinControl::DoEnter();
}

bool TCustomEdit::WantsKey(quint16 Key, TShiftState Shift) const
{
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END: return true;
    default: return TWinControl::WantsKey(Key, Shift);
    }
}

void TCustomEdit::ApplyWidgetStyle()
{
    QWidget* w = Handle();
    if (!w || !fEditor)
        return;
    ApplyControlPalette(w, this, QPalette::Base, QPalette::Text);
    ApplySelectionPalette(w, this, fHideSelection ? TInactiveSelection::Hidden : TInactiveSelection::Grey);
}

// --- TEditLines ---

namespace {

bool IsLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Start of each line, counting the empty line after a final break (the edit
// controls' own line numbering). CR LF is one break.
QList<int> LineStarts(const QString& text)
{
    QList<int> starts { 0 };
    for (int i = 0; i < text.size(); ++i) {
        if (!IsLineBreak(text[i]))
            continue;
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        starts.append(i + 1);
    }
    return starts;
}

int LineEnd(const QString& text, int start)
{
    int end = start;
    while (end < text.size() && !IsLineBreak(text[end]))
        ++end;
    return end;
}

} // namespace

int TEditLines::Count() const
{
    return int(ToStringList().size());
}

QString TEditLines::Strings(int index) const
{
    const QStringList lines = ToStringList();
    if (index < 0 || index >= lines.size())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return lines[index];
}

void TEditLines::SetString(int index, const QString& value)
{
    const QString text = PositionText();
    const QList<int> starts = LineStarts(text);
    if (index < 0 || index >= starts.size())
        return;
    ReplaceRange(starts[index], LineEnd(text, starts[index]) - starts[index], value);
}

int TEditLines::Add(const QString& s)
{
    const int index = Count();
    Insert(index, s);
    return index;
}

void TEditLines::Insert(int index, const QString& s)
{
    if (index < 0)
        return;
    const QString text = PositionText();
    const QList<int> starts = LineStarts(text);
    if (index < starts.size()) {
        ReplaceRange(starts[index], 0, s + QStringLiteral("\r\n"));
        return;
    }
    // Past the last line: after the previous line, when it has text.
    if (index - 1 >= starts.size())
        return;
    const int end = LineEnd(text, starts[index - 1]);
    if (end == starts[index - 1])
        return;
    ReplaceRange(end, 0, QStringLiteral("\r\n") + s);
}

void TEditLines::Delete(int index)
{
    const QString text = PositionText();
    const QList<int> starts = LineStarts(text);
    if (index < 0 || index >= starts.size())
        return;
    const bool last = index + 1 == starts.size();
    int start = starts[index];
    const int end = last ? LineEnd(text, start) : starts[index + 1];
    if (last && fLastLine == TLastLine::TakeBreakBefore) {
        // So that the line itself goes, not only its text.
        if (index > 0)
            start = LineEnd(text, starts[index - 1]);
        if (end <= start)
            return;
    }
    ReplaceRange(start, end - start, QString());
}

QString TEditLines::Text() const
{
    return JoinLines(ToStringList());
}

QStringList TEditLines::ToStringList() const
{
    const QString text = PositionText();
    QStringList lines;
    for (int start : LineStarts(text))
        lines.append(text.mid(start, LineEnd(text, start) - start));
    // The empty line after a final break is no line.
    if (text.isEmpty() || IsLineBreak(text.back()))
        lines.removeLast();
    return lines;
}

// --- TMemoLines ---

TMemoLines::TMemoLines(TCustomMemo* memo)
    : TEditLines(memo, TLastLine::KeepBreakBefore)
    , fMemo(memo)
{
}

void TMemoLines::Assign(const QStringList& lines)
{
    SetText(JoinLines(lines));
}

QString TMemoLines::PositionText() const
{
    return fMemo->Text();
}

void TMemoLines::ReplaceRange(int start, int length, const QString& text)
{
    fMemo->SetSelStart(start);
    fMemo->SetSelLength(length);
    fMemo->SetSelText(text);
}

// --- TCustomMemo ---

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner, true)
{
    auto* memo = static_cast<QPlainTextEdit*>(Handle());
    memo->setTabChangesFocus(true);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetScrollBars(ssNone);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetScrollBars(TScrollStyle value)
{
    fScrollBars = value;
    auto* memo = static_cast<QPlainTextEdit*>(Handle());
    if (!memo)
        return;
    memo->setVerticalScrollBarPolicy(
        value == ssVertical || value == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(
        value == ssHorizontal || value == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TCustomMemo::SetWordWrap(bool value)
{
    fWordWrap = value;
    if (auto* memo = static_cast<QPlainTextEdit*>(Handle()))
        memo->setLineWrapMode(value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetWantTabs(bool value)
{
    fWantTabs = value;
    if (auto* memo = static_cast<QPlainTextEdit*>(Handle()))
        memo->setTabChangesFocus(!value);
}

void TCustomMemo::SetAlignment(TAlignment value)
{
    fAlignment = value;
    auto* memo = static_cast<QPlainTextEdit*>(Handle());
    if (!memo)
        return;
    QTextOption option = memo->document()->defaultTextOption();
    option.setAlignment(value == taRightJustify ? Qt::AlignRight
            : value == taCenter                 ? Qt::AlignHCenter
                                                : Qt::AlignLeft);
    memo->document()->setDefaultTextOption(option);
}

void TCustomMemo::KeyPress(QChar& Key)
{
    TCustomEdit::KeyPress(Key);
    if (Key == QChar(13) && !fWantReturns)
        Key = QChar();
    if (Key == QChar(9) && !fWantTabs)
        Key = QChar();
    // Enter (and Ctrl+Enter, char 10) break the line here, so the memo never
    // holds Qt's separate "line separator" character.
    if ((Key == QChar(13) || Key == QChar(10)) && !ReadOnly()) {
        SetSelText(QStringLiteral("\r\n"));
        Key = QChar();
    }
}

bool TCustomMemo::WantsKey(quint16 Key, TShiftState Shift) const
{
    if (Key == VK_RETURN)
        return fWantReturns && !(Shift & (ssAlt));
    if (Key == VK_TAB)
        return fWantTabs && !(Shift & ssCtrl);
    return TCustomEdit::WantsKey(Key, Shift);
}

// --- TButtonControl ---

TButtonControl::TButtonControl(TComponent* AOwner, const TWidgetFactory& factory)
    : TWinControl(AOwner, factory)
{
    // Clicks come from the widget's state changes, not from mouse releases.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetParentColor(true);
    SetTabStop(true);
    auto* button = static_cast<QAbstractButton*>(Handle());
    button->setAutoFillBackground(true);
}

void TButtonControl::SetAlignment(TAlignment value)
{
    fAlignment = value;
    if (QWidget* w = Handle())
        w->setLayoutDirection(value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TButtonControl::CMTextChanged(TMessage& Message)
{
    TWinControl::CMTextChanged(Message);
    if (auto* button = static_cast<QAbstractButton*>(Handle()))
        SetButtonCaption(button, Caption());
}

void TButtonControl::ApplyWidgetStyle()
{
    // Qt's buttons fill their background in the button role.
    if (QWidget* w = Handle()) {
        ApplyControlPalette(w, this, QPalette::Window, QPalette::WindowText);
        ApplyControlPalette(w, this, QPalette::Button, QPalette::ButtonText);
    }
}

// --- TCustomCheckBox ---

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner)
    : TButtonControl(AOwner, [](TWinControl* self) -> QWidget* { return new THost<QCheckBox>(self); })
{
    auto* box = static_cast<THost<QCheckBox>*>(Handle());
    ConnectGuarded(box, &QAbstractButton::clicked, [this](bool) { WidgetToggled(); });
    SetBounds(0, 0, 97, 17);
    ApplyWidgetStyle();
}

void TCustomCheckBox::ShowState()
{
    auto* box = static_cast<QCheckBox*>(Handle());
    if (!box)
        return;
    TFlagScope scope(fUpdating);
    box->setTristate(fAllowGrayed || fState == cbGrayed);
    box->setCheckState(fState == cbChecked ? Qt::Checked : fState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
}

void TCustomCheckBox::SetState(TCheckBoxState value)
{
    if (value == fState)
        return;
    fState = value;
    ShowState();
    Click();
}

void TCustomCheckBox::SetAllowGrayed(bool value)
{
    fAllowGrayed = value;
    ShowState();
}

void TCustomCheckBox::Toggle()
{
    switch (fState) {
    case cbUnchecked: SetState(fAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::WidgetToggled()
{
    if (fUpdating)
        return;
    // Qt has moved the box on already; the control's own toggle decides.
    ShowState();
    Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& Message)
{
    if (IsAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused())
            Toggle();
        Message.Result = 1;
    }
}

// --- TRadioButton ---

TRadioButton::TRadioButton(TComponent* AOwner)
    : TButtonControl(AOwner, [](TWinControl* self) -> QWidget* { return new THost<QRadioButton>(self); })
{
    auto* radio = static_cast<THost<QRadioButton>*>(Handle());
    ConnectGuarded(radio, &QAbstractButton::clicked, [this](bool) { WidgetToggled(); });
    SetBounds(0, 0, 113, 17);
    ApplyWidgetStyle();
}

void TRadioButton::ShowState()
{
    auto* radio = static_cast<QRadioButton*>(Handle());
    if (!radio || radio->isChecked() == fChecked)
        return;
    TFlagScope scope(fUpdating);
    if (fChecked) {
        radio->setChecked(true);
    } else {
        // Qt refuses to uncheck the checked button of an exclusive group.
        radio->setAutoExclusive(false);
        radio->setChecked(false);
        radio->setAutoExclusive(true);
    }
}

void TRadioButton::SetChecked(bool value)
{
    if (value == fChecked)
        return;
    fChecked = value;
    SetTabStop(value);
    ShowState();
    if (value) {
        TurnSiblingsOff();
        Click();
    }
}

void TRadioButton::TurnSiblingsOff()
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
            sibling->SetChecked(false);
}

void TRadioButton::WidgetToggled()
{
    if (fUpdating)
        return;
    if (fChecked)
        ShowState();
    else
        SetChecked(true);
}

void TRadioButton::CMDialogChar(TMessage& Message)
{
    if (IsAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused())
            SetChecked(true);
        Message.Result = 1;
    }
}

// --- TCustomComboBox ---

namespace {

class TComboHost : public THost<QComboBox> {
public:
    using THost<QComboBox>::THost;
    TCustomComboBox* Combo() const { return static_cast<TCustomComboBox*>(Control()); }

    void showPopup() override
    {
        if (TCustomComboBox* c = Combo())
            GuardedCall([&] { c->WidgetPopupShown(true); });
        FitListToItems();
        QComboBox::showPopup();
    }

    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (TCustomComboBox* c = Combo())
            GuardedCall([&] { c->WidgetPopupShown(false); });
    }

protected:
    // The list is at least as wide as its widest item, so a narrow box never
    // cuts its items short (Qt gives the list the width of the box).
    void FitListToItems()
    {
        QAbstractItemView* list = view();
        TCustomComboBox* c = Combo();
        if (!c || c->IsOwnerDraw() || count() == 0) {
            list->setMinimumWidth(0);
            return;
        }
        int width = list->sizeHintForColumn(0) + 2 * list->frameWidth();
        if (count() > maxVisibleItems())
            width += list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
        list->setMinimumWidth(width);
    }

    // Owner draw: the frame and button by the style, the chosen item by the control.
    void paintEvent(QPaintEvent* e) override
    {
        TCustomComboBox* c = Combo();
        if (!c || !c->IsOwnerDraw()) {
            THost<QComboBox>::paintEvent(e);
            return;
        }
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        option.currentIcon = QIcon();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect edit = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        TOwnerDrawState state = odComboBoxEdit;
        if (hasFocus() && !view()->isVisible())
            state |= odSelected | odFocused;
        if (!isEnabled())
            state |= odDisabled | odGrayed;
        Application()->EnterPaint();
        GuardedCall([&] { c->PaintOwnerDrawItem(painter, c->ItemIndex(), edit, state); });
        Application()->LeavePaint();
    }
};

// Paints the items of an owner-drawn combo's list through the control.
class TComboItemDelegate : public QStyledItemDelegate {
public:
    explicit TComboItemDelegate(TComboHost* host)
        : QStyledItemDelegate(host)
        , fHost(host)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        TCustomComboBox* c = fHost->Combo();
        if (!c || !c->IsOwnerDraw()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state = 0;
        if (option.state & QStyle::State_Selected)
            state |= odSelected;
        if (option.state & QStyle::State_HasFocus)
            state |= odFocused;
        if (!(option.state & QStyle::State_Enabled))
            state |= odDisabled | odGrayed;
        Application()->EnterPaint();
        GuardedCall([&] { c->PaintOwnerDrawItem(*painter, index.row(), option.rect, state); });
        Application()->LeavePaint();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        TCustomComboBox* c = fHost->Combo();
        if (c && c->IsOwnerDraw())
            return QSize(option.rect.width(), c->ItemHeight());
        return QStyledItemDelegate::sizeHint(option, index);
    }

private:
    TComboHost* fHost;
};

TComboHost* ComboOf(const TWinControl* control)
{
    return static_cast<TComboHost*>(control->Handle());
}

} // namespace

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner, [](TWinControl* self) -> QWidget* { return new TComboHost(self); })
{
    TComboHost* box = ComboOf(this);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(fDropDownCount);
    fItems.fOnChange = [this](TItemsChange change, int index) { ItemsChanged(change, index); };
    ConnectGuarded(box, &QComboBox::activated, [this](int index) { WidgetActivated(index); });
    // Clicks come from choosing an item, not from mouse releases.
    SetControlStyle(csCaptureMouse | csSetCaption | csDoubleClicks | csFixedHeight);
    SetColor(clWindow);
    SetTabStop(true);
    ApplyStyle();
    SetBounds(0, 0, 145, 21);
    ApplyWidgetStyle();
}

TCustomComboBox::~TCustomComboBox()
{
    if (Handle())
        DetachHost(Handle());
    fItems.fOnChange = nullptr;
}

void TCustomComboBox::ApplyStyle()
{
    TComboHost* box = ComboOf(this);
    if (!box)
        return;
    TFlagScope scope(fUpdating);
    const bool editable = fStyle == csDropDown || fStyle == csSimple;
    if (box->isEditable() != editable) {
        box->setEditable(editable);
        if (editable) {
            QLineEdit* edit = box->lineEdit();
            box->setCompleter(nullptr);
            edit->setMaxLength(fMaxLength > 0 ? fMaxLength : std::numeric_limits<int>::max() / 2);
            ConnectGuardedFrom(
                box, edit, &QLineEdit::textEdited, [this](const QString& text) { WidgetEditTextEdited(text); });
        }
    }
    const bool ownerDelegate = dynamic_cast<TComboItemDelegate*>(box->itemDelegate()) != nullptr;
    if (IsOwnerDraw() && !ownerDelegate)
        box->setItemDelegate(new TComboItemDelegate(box));
    else if (!IsOwnerDraw() && ownerDelegate)
        box->setItemDelegate(new QStyledItemDelegate(box));
    SyncWidgetIndex();
    box->update();
}

void TCustomComboBox::SetStyle(TComboBoxStyle value)
{
    if (value == fStyle)
        return;
    fStyle = value;
    ApplyStyle();
}

void TCustomComboBox::SyncWidgetIndex()
{
    TComboHost* box = ComboOf(this);
    if (!box)
        return;
    TFlagScope scope(fUpdating);
    if (box->currentIndex() != fItemIndex)
        box->setCurrentIndex(fItemIndex);
    if (box->isEditable() && box->lineEdit()->text() != Text())
        box->lineEdit()->setText(Text());
}

void TCustomComboBox::ItemsChanged(TItemsChange change, int index)
{
    TComboHost* box = ComboOf(this);
    {
        TFlagScope scope(fUpdating);
        switch (change) {
        case TItemsChange::Inserted:
            if (box)
                box->insertItem(index, fItems.Strings(index));
            if (fItemIndex >= index)
                ++fItemIndex;
            break;
        case TItemsChange::Deleted:
            if (box)
                box->removeItem(index);
            if (fItemIndex == index) {
                fItemIndex = -1;
                if (fStyle != csDropDown && fStyle != csSimple)
                    TWinControl::SetText(QString());
            } else if (fItemIndex > index) {
                --fItemIndex;
            }
            break;
        case TItemsChange::Changed:
            if (box)
                box->setItemText(index, fItems.Strings(index));
            if (index == fItemIndex && fStyle != csDropDown && fStyle != csSimple)
                TWinControl::SetText(fItems.Strings(index));
            break;
        case TItemsChange::Cleared:
            if (box)
                box->clear();
            fItemIndex = -1;
            TWinControl::SetText(QString());
            break;
        }
    }
    SyncWidgetIndex();
}

void TCustomComboBox::SetItemIndex(int value)
{
    if (value < -1 || value >= fItems.Count())
        value = -1;
    if (value == fItemIndex && (value < 0 || Text() == fItems.Strings(value)))
        return;
    fItemIndex = value;
    TWinControl::SetText(value >= 0 ? fItems.Strings(value) : QString());
    SyncWidgetIndex();
}

void TCustomComboBox::SetText(const QString& value)
{
    if (fStyle == csDropDown || fStyle == csSimple) {
        TWinControl::SetText(value);
        SyncWidgetIndex();
        return;
    }
    // A list without an edit shows only its items: the text chooses one.
    SetItemIndex(fItems.IndexOf(value));
}

void TCustomComboBox::Clear()
{
    fItems.Clear();
}

void TCustomComboBox::SetDropDownCount(int value)
{
    fDropDownCount = value;
    if (TComboHost* box = ComboOf(this))
        box->setMaxVisibleItems(std::max(1, value));
}

void TCustomComboBox::SetItemHeight(int value)
{
    if (value <= 0)
        return;
    fItemHeight = value;
    if (TComboHost* box = ComboOf(this))
        box->view()->doItemsLayout();
}

void TCustomComboBox::SetMaxLength(int value)
{
    fMaxLength = std::max(0, value);
    if (TComboHost* box = ComboOf(this); box && box->lineEdit())
        box->lineEdit()->setMaxLength(fMaxLength > 0 ? fMaxLength : std::numeric_limits<int>::max() / 2);
}

bool TCustomComboBox::DroppedDown() const
{
    return fDropped;
}

void TCustomComboBox::SetDroppedDown(bool value)
{
    TComboHost* box = ComboOf(this);
    if (!box || value == fDropped)
        return;
    if (value)
        box->showPopup();
    else
        box->hidePopup();
}

void TCustomComboBox::WidgetActivated(int index)
{
    if (fUpdating)
        return;
    if (index < 0 || index >= fItems.Count())
        return;
    if (index == fItemIndex && Text() == fItems.Strings(index)) {
        SyncWidgetIndex();
        return;
    }
    fItemIndex = index;
    TWinControl::SetText(fItems.Strings(index));
    SyncWidgetIndex();
    std::weak_ptr<bool> alive = AliveToken();
    Click();
    if (!alive.expired())
        Select();
}

void TCustomComboBox::WidgetEditTextEdited(const QString& text)
{
    if (fUpdating)
        return;
    TWinControl::SetText(text);
    Change();
}

void TCustomComboBox::WidgetPopupShown(bool shown)
{
    if (shown == fDropped)
        return;
    fDropped = shown;
    if (shown)
        DropDown();
    else
        CloseUp();
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::PaintOwnerDrawItem(QPainter& painter, int index, const QRect& rect, TOwnerDrawState state)
{
    TControlCanvas* canvas = Canvas();
    TPainterScope binding(canvas, &painter);
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetStyle(bsSolid);
    if (index >= 0 && (state & odSelected)) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    } else {
        canvas->Brush()->SetColor(Color());
    }
    canvas->FillRect(rect);
    if (index >= 0 && index < fItems.Count())
        DrawItem(index, rect, state);
    if (state & odFocused)
        canvas->DrawFocusRect(rect);
}

void TCustomComboBox::DrawItem(int Index, QRect Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    Canvas()->FillRect(Rect);
    Canvas()->TextOut(Rect.left() + 2, Rect.top(), fItems.Strings(Index));
}

bool TCustomComboBox::WantsKey(quint16 Key, TShiftState Shift) const
{
    if (IsNavigationKey(Key))
        return true;
    switch (Key) {
    case VK_F4: return true;
    case VK_RETURN:
    case VK_ESCAPE: return fDropped;
    default: return TWinControl::WantsKey(Key, Shift);
    }
}

void TCustomComboBox::ApplyWidgetStyle()
{
    QWidget* w = Handle();
    if (!w)
        return;
    ApplyControlPalette(w, this, QPalette::Base, QPalette::Text);
    QPalette p = w->palette();
    p.setColor(QPalette::Active, QPalette::ButtonText, ToQColor(Font()->Color()));
    p.setColor(QPalette::Inactive, QPalette::ButtonText, ToQColor(Font()->Color()));
    w->setPalette(p);
    ApplySelectionPalette(w, this, TInactiveSelection::Highlight);
}

// --- TCustomListBox ---

namespace {

using TListBoxHost = TViewHost<QListWidget>;

QListWidget* ListOf(const TWinControl* control)
{
    return static_cast<QListWidget*>(control->Handle());
}

} // namespace

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner, [](TWinControl* self) -> QWidget* { return new TListBoxHost(self); })
{
    auto* list = static_cast<TListBoxHost*>(Handle());
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fItems.fOnChange = [this](TItemsChange change, int index) { ItemsChanged(change, index); };
    ConnectGuarded(list, &QListWidget::itemSelectionChanged, [this] { WidgetSelectionChanged(); });
    ConnectGuarded(list, &QListWidget::itemDoubleClicked, [this](QListWidgetItem*) { WidgetItemDoubleClicked(); });
    // A selection by the user is the click; releases are not.
    SetControlStyle(csSetCaption | csDoubleClicks | csOpaque | csCaptureMouse);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
    ApplyWidgetStyle();
}

TCustomListBox::~TCustomListBox()
{
    if (Handle())
        DetachHost(Handle());
    fItems.fOnChange = nullptr;
}

void TCustomListBox::ItemsChanged(TItemsChange change, int index)
{
    QListWidget* list = ListOf(this);
    {
        TFlagScope scope(fUpdating);
        switch (change) {
        case TItemsChange::Inserted:
            if (list)
                list->insertItem(index, fItems.Strings(index));
            if (fItemIndex >= index)
                ++fItemIndex;
            break;
        case TItemsChange::Deleted:
            if (list)
                delete list->takeItem(index);
            if (fItemIndex == index)
                fItemIndex = -1;
            else if (fItemIndex > index)
                --fItemIndex;
            break;
        case TItemsChange::Changed:
            if (list)
                list->item(index)->setText(fItems.Strings(index));
            break;
        case TItemsChange::Cleared:
            if (list)
                list->clear();
            fItemIndex = -1;
            break;
        }
    }
    SyncWidgetIndex();
}

void TCustomListBox::SyncWidgetIndex()
{
    QListWidget* list = ListOf(this);
    if (!list)
        return;
    TFlagScope scope(fUpdating);
    if (fItemIndex < 0) {
        list->clearSelection();
        list->setCurrentRow(-1);
    } else if (list->currentRow() != fItemIndex || !list->item(fItemIndex)->isSelected()) {
        list->setCurrentRow(fItemIndex, QItemSelectionModel::ClearAndSelect);
    }
}

void TCustomListBox::SetItemIndex(int value)
{
    if (value < -1 || value >= fItems.Count())
        value = -1;
    fItemIndex = value;
    SyncWidgetIndex();
    if (QListWidget* list = ListOf(this); list && value >= 0)
        list->scrollToItem(list->item(value));
}

int TCustomListBox::TopIndex() const
{
    QListWidget* list = ListOf(this);
    if (!list || list->count() == 0)
        return 0;
    const QModelIndex index = list->indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : 0;
}

void TCustomListBox::SetTopIndex(int value)
{
    QListWidget* list = ListOf(this);
    if (list && value >= 0 && value < list->count())
        list->scrollToItem(list->item(value), QAbstractItemView::PositionAtTop);
}

void TCustomListBox::SetBorderStyle(TBorderStyle value)
{
    fBorderStyle = value;
    if (QListWidget* list = ListOf(this))
        list->setFrameShape(value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

int TCustomListBox::ItemAtPos(QPoint pos, bool Existing) const
{
    QListWidget* list = ListOf(this);
    if (!list)
        return -1;
    // Client coordinates are the list area's, as the mouse events report them.
    const QModelIndex index = list->indexAt(pos);
    if (index.isValid())
        return index.row();
    return Existing ? -1 : list->count();
}

void TCustomListBox::WidgetSelectionChanged()
{
    if (fUpdating)
        return;
    QListWidget* list = ListOf(this);
    const QList<QListWidgetItem*> selected = list->selectedItems();
    const int index = selected.isEmpty() ? -1 : list->row(selected.first());
    if (index == fItemIndex)
        return;
    fItemIndex = index;
    Click();
}

void TCustomListBox::WidgetItemDoubleClicked()
{
    DblClick();
}

bool TCustomListBox::WantsKey(quint16 Key, TShiftState Shift) const
{
    return IsNavigationKey(Key) || TWinControl::WantsKey(Key, Shift);
}

void TCustomListBox::ApplyWidgetStyle()
{
    QWidget* w = Handle();
    if (!w)
        return;
    ApplyControlPalette(w, this, QPalette::Base, QPalette::Text);
    ApplySelectionPalette(w, this, TInactiveSelection::Highlight);
}

// --- TCustomGroupBox ---

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner)
    : TCustomControl(AOwner)
{
    SetControlStyle(
        csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csReplicatable);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(*Font());
    const int h = canvas->TextHeight(QStringLiteral("0"));
    // Etched: a highlight frame one pixel down-right under a shadow frame.
    QRect r = Rect(1, h / 2, Width(), Height());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FrameRect(r);
    r.translate(-1, -1);
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(r);
    if (Caption().isEmpty())
        return;
    QRect text = Rect(8, 0, 0, h);
    DrawText(*canvas, Caption(), text, DT_SINGLELINE | DT_LEFT | DT_CALCRECT);
    // The caption sits in a gap of the top line.
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(text);
    canvas->Brush()->SetStyle(bsClear);
    if (!Enabled())
        canvas->Font()->SetColor(clGrayText);
    DrawText(*canvas, Caption(), text, DT_SINGLELINE | DT_LEFT);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message)
{
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TCustomGroupBox::CMDialogChar(TMessage& Message)
{
    if (IsAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
        SelectNext(nullptr, true, true);
        Message.Result = 1;
    }
}
