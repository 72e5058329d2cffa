#include "platform/richtext/rich_edit.h"

#include "platform/core/ansi.h"
#include "platform/core/streams.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls_p.h"
#include "platform/richtext/rich_edit_p.h"
#include "platform/richtext/rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QPainter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

// The MIME types rich text travels under, as the clipboard service writes them.
const QString kRtfMimeTypes[]
    = { QStringLiteral("text/rtf"), QStringLiteral("application/rtf"), QStringLiteral("text/richtext") };

constexpr char16_t kParagraphBreak = 0x2029;
constexpr char16_t kLineBreak = 0x2028;

bool IsBreak(QChar c)
{
    return c.unicode() == kParagraphBreak || c.unicode() == kLineBreak;
}

// CR LF, CR and LF all become the one break QTextCursor::insertText knows.
QString ToLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

class TRichEditHost : public TViewHost<QTextEdit> {
public:
    using TViewHost<QTextEdit>::TViewHost;

protected:
    TRichEdit* Edit() const { return static_cast<TRichEdit*>(Control()); }

    // Every copy, paste and drop Qt performs (context menu, drag) goes
    // through the control's RTF and plain-text handling.
    bool canInsertFromMimeData(const QMimeData* data) const override
    {
        return data->hasText()
            || std::any_of(std::begin(kRtfMimeTypes), std::end(kRtfMimeTypes),
                [data](const QString& type) { return data->hasFormat(type); });
    }

    void insertFromMimeData(const QMimeData* data) override
    {
        if (TRichEdit* edit = Edit())
            GuardedCall([&] { edit->WidgetInsertMime(data); });
    }

    QMimeData* createMimeDataFromSelection() const override
    {
        QMimeData* data = nullptr;
        if (TRichEdit* edit = Edit())
            GuardedCall([&] { data = edit->WidgetMimeForSelection(); });
        return data ? data : QTextEdit::createMimeDataFromSelection();
    }

    void contextMenuEvent(QContextMenuEvent* e) override
    {
        TRichEdit* edit = Edit();
        if (!edit) {
            QTextEdit::contextMenuEvent(e);
            return;
        }
        bool handled = false;
        GuardedCall([&] { handled = edit->HostContextMenu(e->pos()); });
        if (handled || !Control()) {
            e->accept();
            return;
        }
        QTextEdit::contextMenuEvent(e);
    }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (!SwallowMiddleButtonRelease(Control(), e))
            TViewHost<QTextEdit>::mouseReleaseEvent(e);
    }

    // Qt takes Enter on an empty paragraph of a format of its own (an
    // alignment, a font) as "back to the default format" and inserts nothing.
    // Here every Enter is a new paragraph that keeps the format.
    void WidgetKeyPress(QKeyEvent* e) override
    {
        if (!e->matches(QKeySequence::InsertParagraphSeparator) || isReadOnly()) {
            TViewHost<QTextEdit>::WidgetKeyPress(e);
            return;
        }
        QTextCursor cursor = textCursor();
        cursor.insertBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        e->accept();
    }
};

QWidget* MakeRichEditHost(TWinControl* self)
{
    auto* host = new TRichEditHost(self);
    host->setAcceptDrops(false);
    host->setFrameShape(QFrame::StyledPanel);
    host->setTabChangesFocus(true);
    host->setLineWrapMode(QTextEdit::WidgetWidth);
    return host;
}

// The point size of a format, or the document's default.
double PointSize(const QTextCharFormat& format, const QTextDocument* doc)
{
    if (format.fontPointSize() > 0)
        return format.fontPointSize();
    const QFont font = doc->defaultFont();
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / ScreenPixelsPerInch;
}

} // namespace

QString DecodePlainText(const QByteArray& bytes)
{
    // Stateless: an incomplete sequence at the end is an error, not a pending state.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? AnsiToString(bytes) : text;
}

QByteArray EncodePlainText(const QString& text)
{
    return text.toUtf8();
}

QTextCharFormat FontDefaultFormat(const TFont& font)
{
    QTextCharFormat format;
    SetFormatFontName(format, font.Name());
    if (font.Size() > 0)
        format.setFontPointSize(font.Size());
    const TFontStyles style = font.Style();
    format.setFontWeight(style.Contains(fsBold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.Contains(fsItalic));
    format.setFontUnderline(style.Contains(fsUnderline));
    format.setFontStrikeOut(style.Contains(fsStrikeOut));
    format.setProperty(kCharsetProperty, int(font.Charset()));
    // The window text colour is the automatic one: the default keeps no colour for it.
    if (font.Color() != clWindowText && font.Color() != clDefault)
        format.setForeground(ToQColor(font.Color()));
    return format;
}

void ApplyDefaultFormat(QTextDocument& doc, const QTextCharFormat& format)
{
    QFont font(FormatFontName(format));
    if (format.fontPointSize() > 0)
        font.setPointSizeF(format.fontPointSize());
    doc.setDefaultFont(font);
    if (doc.characterCount() <= 1)
        QTextCursor(&doc).setBlockCharFormat(format);
}

void LoadRtfDocument(QTextDocument& doc, const QByteArray& rtf)
{
    if (!ReadRtf(rtf, doc))
        doc.clear();
}

void LoadPlainTextDocument(QTextDocument& doc, const QString& text, const QTextCharFormat& format)
{
    doc.clear();
    QTextCursor cursor(&doc);
    cursor.setBlockCharFormat(format);
    cursor.insertText(ToLf(text), format);
}

// ---------------------------------------------------------------------------
// TTextAttributes

QTextCharFormat TTextAttributes::Format() const
{
    if (fType == atDefaultText)
        return *fOwner->fDefaultFormat;
    const QTextCursor cursor = fOwner->Editor()->textCursor();
    if (!cursor.hasSelection())
        return cursor.charFormat();
    // The format of the first selected character is the one before the next position.
    QTextCursor first(fOwner->Document());
    first.setPosition(cursor.selectionStart() + 1);
    return first.charFormat();
}

void TTextAttributes::Apply(const QTextCharFormat& change)
{
    if (fType == atSelected) {
        fOwner->Editor()->mergeCurrentCharFormat(change);
        return;
    }
    fOwner->fDefaultFormat->merge(change);
    fOwner->ApplyDefaultFormat();
}

QString TTextAttributes::Name() const
{
    const QString name = FormatFontName(Format());
    return name.isEmpty() ? fOwner->Document()->defaultFont().family() : name;
}

void TTextAttributes::SetName(const QString& value)
{
    if (value.isEmpty())
        return;
    QTextCharFormat change;
    SetFormatFontName(change, value);
    Apply(change);
}

int TTextAttributes::Size() const
{
    return qRound(PointSize(Format(), fOwner->Document()));
}

void TTextAttributes::SetSize(int value)
{
    if (value <= 0)
        return;
    QTextCharFormat change;
    change.setFontPointSize(value);
    Apply(change);
}

int TTextAttributes::Height() const
{
    return qRound(Size() * double(ScreenPixelsPerInch) / 72);
}

void TTextAttributes::SetHeight(int value)
{
    SetSize(qRound(std::abs(value) * 72.0 / ScreenPixelsPerInch));
}

TColor TTextAttributes::Color() const
{
    const QTextCharFormat format = Format();
    return format.foreground().style() == Qt::NoBrush ? clWindowText : FromQColor(format.foreground().color());
}

void TTextAttributes::SetColor(TColor value)
{
    QTextCharFormat change;
    change.setForeground(ToQColor(value));
    Apply(change);
}

TFontStyles TTextAttributes::Style() const
{
    const QTextCharFormat format = Format();
    TFontStyles style;
    if (format.fontWeight() >= QFont::DemiBold)
        style |= fsBold;
    if (format.fontItalic())
        style |= fsItalic;
    if (format.fontUnderline())
        style |= fsUnderline;
    if (format.fontStrikeOut())
        style |= fsStrikeOut;
    return style;
}

void TTextAttributes::SetStyle(TFontStyles value)
{
    QTextCharFormat change;
    change.setFontWeight(value.Contains(fsBold) ? QFont::Bold : QFont::Normal);
    change.setFontItalic(value.Contains(fsItalic));
    change.setFontUnderline(value.Contains(fsUnderline));
    change.setFontStrikeOut(value.Contains(fsStrikeOut));
    Apply(change);
}

TFontCharset TTextAttributes::Charset() const
{
    const QTextCharFormat format = Format();
    return format.hasProperty(kCharsetProperty) ? TFontCharset(format.intProperty(kCharsetProperty)) : DEFAULT_CHARSET;
}

void TTextAttributes::SetCharset(TFontCharset value)
{
    QTextCharFormat change;
    change.setProperty(kCharsetProperty, int(value));
    Apply(change);
}

void TTextAttributes::Assign(const TFont& font)
{
    QTextCharFormat change = FontDefaultFormat(font);
    if (!change.hasProperty(QTextFormat::ForegroundBrush)) {
        if (fType == atDefaultText)
            fOwner->fDefaultFormat->clearForeground();
        else
            change.setForeground(ToQColor(font.Color()));
    }
    Apply(change);
}

void TTextAttributes::AssignTo(TFont& font) const
{
    font.SetName(Name());
    font.SetSize(Size());
    font.SetColor(Color());
    font.SetStyle(Style());
    font.SetCharset(Charset());
}

// ---------------------------------------------------------------------------
// TParaAttributes

TAlignment TParaAttributes::Alignment() const
{
    const QTextCursor cursor = fOwner->Editor()->textCursor();
    const Qt::Alignment align = fOwner->Document()->findBlock(cursor.selectionStart()).blockFormat().alignment();
    if (align & Qt::AlignHCenter)
        return taCenter;
    if (align & (Qt::AlignRight | Qt::AlignTrailing))
        return taRightJustify;
    return taLeftJustify;
}

void TParaAttributes::SetAlignment(TAlignment value)
{
    QTextBlockFormat change;
    change.setAlignment(value == taCenter ? Qt::AlignHCenter
            : value == taRightJustify     ? Qt::AlignRight
                                          : Qt::AlignLeft);
    QTextCursor cursor = fOwner->Editor()->textCursor();
    cursor.mergeBlockFormat(change);
}

// ---------------------------------------------------------------------------
// TRichEditStrings

TRichEditStrings::TRichEditStrings(TRichEdit* owner)
    : TEditLines(owner, TLastLine::TakeBreakBefore)
    , fOwner(owner)
{
}

QString TRichEditStrings::PositionText() const
{
    return fOwner->Document()->toRawText();
}

void TRichEditStrings::ReplaceRange(int start, int length, const QString& text)
{
    fOwner->SetSelStart(start);
    fOwner->SetSelLength(length);
    fOwner->SetSelText(text);
}

void TRichEditStrings::LoadFromStream(TStream& stream)
{
    QByteArray bytes(qsizetype(std::max<qint64>(0, stream.Remaining())), Qt::Uninitialized);
    bytes.truncate(qsizetype(stream.Read(bytes.data(), bytes.size())));
    if (!fOwner->PlainText() && IsRtf(bytes))
        fOwner->LoadRtf(bytes);
    else
        fOwner->LoadPlainText(DecodePlainText(bytes));
}

void TRichEditStrings::SaveToStream(TStream& stream) const
{
    stream.WriteBytes(fOwner->PlainText() ? EncodePlainText(fOwner->Text()) : fOwner->SaveRtf());
}

void TRichEditStrings::LoadFromFile(const QString& fileName)
{
    TMemoryStream stream(ReadWholeFile(fileName));
    LoadFromStream(stream);
}

void TRichEditStrings::SaveToFile(const QString& fileName) const
{
    TMemoryStream stream;
    SaveToStream(stream);
    WriteFileAtomically(fileName, stream.Bytes());
}

// ---------------------------------------------------------------------------
// TRichEdit

TRichEdit::TRichEdit(TComponent* AOwner)
    : TWinControl(AOwner, MakeRichEditHost)
    , fDefaultFormat(std::make_unique<QTextCharFormat>())
{
    auto* host = static_cast<TRichEditHost*>(Handle());
    QTextDocument* doc = host->document();
    ConnectGuardedFrom(host, doc, &QTextDocument::contentsChange,
        [this](int position, int removed, int added) { WidgetContentsChange(position, removed, added); });
    ConnectGuardedFrom(host, doc, &QTextDocument::contentsChanged, [this] { WidgetContentsChanged(); });
    ConnectGuarded(host, &QTextEdit::cursorPositionChanged, [this] { WidgetSelectionChanged(); });
    ConnectGuarded(host, &QTextEdit::selectionChanged, [this] { WidgetSelectionChanged(); });
    SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
    SetColor(clWindow);
    SetTabStop(true);
    fDefAttributes.Assign(*Font());
    SetScrollBars(fScrollBars);
    ApplyWidgetStyle();
    SetBounds(0, 0, 185, 89);
}

TRichEdit::~TRichEdit()
{
    // Nothing the widget says from here on may reach this half-destroyed control.
    if (Handle())
        DetachHost(Handle());
}

QTextEdit* TRichEdit::Editor() const
{
    return static_cast<QTextEdit*>(Handle());
}

QTextDocument* TRichEdit::Document() const
{
    return Editor()->document();
}

int TRichEdit::TextLength() const
{
    return Document()->characterCount() - 1;
}

QString TRichEdit::TextOf(int from, int to) const
{
    QString text = Document()->toRawText().mid(from, std::max(0, to - from));
    text.replace(QChar(kParagraphBreak), QStringLiteral("\r\n"));
    text.replace(QChar(kLineBreak), QStringLiteral("\r\n"));
    return text;
}

template <class F> void TRichEdit::Replace(F&& f)
{
    {
        ++fLoading;
        QTextDocument* doc = Document();
        // Nothing of a load is undone piecemeal; loading empties the undo history.
        doc->setUndoRedoEnabled(false);
        try {
            f();
        } catch (...) {
            // Raised on, with the editor out of its loading state.
            doc->setUndoRedoEnabled(true);
            --fLoading;
            throw;
        }
        doc->setUndoRedoEnabled(true);
        ApplyDefaultFormat();
        --fLoading;
    }
    fModified = false;
    fCheckedLength = TextLength();
    Editor()->setTextCursor(QTextCursor(Document()));
    WidgetContentsChanged();
}

void TRichEdit::LoadRtf(const QByteArray& rtf)
{
    Replace([&] { LoadRtfDocument(*Document(), rtf); });
}

QByteArray TRichEdit::SaveRtf() const
{
    return WriteRtf(*Document());
}

void TRichEdit::LoadPlainText(const QString& text)
{
    Replace([&] { LoadPlainTextDocument(*Document(), text, *fDefaultFormat); });
}

void TRichEdit::SetText(const QString& value)
{
    LoadPlainText(value);
}

void TRichEdit::ApplyDefaultFormat()
{
    ++fLoading;
    ::ApplyDefaultFormat(*Document(), *fDefaultFormat);
    if (TextLength() == 0)
        Editor()->setCurrentCharFormat(*fDefaultFormat);
    --fLoading;
}

int TRichEdit::SelStart() const
{
    return Editor()->textCursor().selectionStart();
}

void TRichEdit::SetSelStart(int value)
{
    QTextCursor cursor = Editor()->textCursor();
    cursor.setPosition(std::clamp(value, 0, TextLength()));
    Editor()->setTextCursor(cursor);
}

int TRichEdit::SelLength() const
{
    const QTextCursor cursor = Editor()->textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TRichEdit::SetSelLength(int value)
{
    QTextCursor cursor = Editor()->textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + std::max(0, value), start, TextLength()), QTextCursor::KeepAnchor);
    Editor()->setTextCursor(cursor);
}

QString TRichEdit::SelText() const
{
    const QTextCursor cursor = Editor()->textCursor();
    return TextOf(cursor.selectionStart(), cursor.selectionEnd());
}

void TRichEdit::SetSelText(const QString& value)
{
    InsertAsUser(value);
}

void TRichEdit::SelectAll()
{
    Editor()->selectAll();
}

void TRichEdit::ClearSelection()
{
    if (SelLength() > 0)
        InsertAsUser(QString());
}

void TRichEdit::InsertAsUser(const QString& text, const QTextCharFormat* format)
{
    QTextCursor cursor = Editor()->textCursor();
    // The typing format: the caret's, as Windows' control inserts.
    const QTextCharFormat typing = format ? *format : cursor.charFormat();
    cursor.insertText(ToLf(text), typing);
    Editor()->setTextCursor(cursor);
}

void TRichEdit::InsertRtfAsUser(const QByteArray& rtf)
{
    QTextDocument source;
    source.setDefaultFont(Document()->defaultFont());
    if (!ReadRtf(rtf, source))
        return;
    SetSelDocument(source);
}

void TRichEdit::SetSelDocument(const QTextDocument& source)
{
    QTextCursor cursor = Editor()->textCursor();
    const QTextDocumentFragment copy(&source);
    // An empty fragment inserts nothing, not even over the selection.
    if (copy.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertFragment(copy);
    Editor()->setTextCursor(cursor);
}

int TRichEdit::FindText(const QString& SearchStr, int StartPos, int Length, TSearchTypes Options) const
{
    return FindRichText(Document()->toRawText(), SearchStr, StartPos, Length, Options);
}

int FindRichText(QString text, const QString& SearchStr, int StartPos, int Length, TSearchTypes Options)
{
    if (SearchStr.isEmpty())
        return -1;
    text.replace(QChar(kLineBreak), QChar(kParagraphBreak));
    QString needle = ToLf(SearchStr);
    needle.replace(u'\n', QChar(kParagraphBreak));
    const int size = int(text.size());
    const int start = std::clamp(StartPos, 0, size);
    const int end = Length < 0 ? size : int(std::clamp<qint64>(qint64(start) + Length, start, size));
    const Qt::CaseSensitivity cs = (Options & stMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const auto isWordChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    for (qsizetype from = start;;) {
        const qsizetype at = text.indexOf(needle, from, cs);
        if (at < 0 || at + needle.size() > end)
            return -1;
        const qsizetype after = at + needle.size();
        if (!(Options & stWholeWord)
            || ((at == 0 || !isWordChar(text[at - 1])) && (after >= size || !isWordChar(text[after]))))
            return int(at);
        from = at + 1;
    }
}

void TRichEdit::CopyToClipboard()
{
    const QTextCursor cursor = Editor()->textCursor();
    if (!cursor.hasSelection())
        return;
    Clipboard().SetRichText(WriteRtf(*Document(), cursor.selectionStart(), cursor.selectionEnd()), SelText());
}

void TRichEdit::CutToClipboard()
{
    if (fReadOnly || SelLength() == 0)
        return;
    CopyToClipboard();
    InsertAsUser(QString());
}

void TRichEdit::PasteFromClipboard()
{
    if (fReadOnly)
        return;
    const QByteArray rtf = Clipboard().RichText();
    if (IsRtf(rtf))
        InsertRtfAsUser(rtf);
    else if (Clipboard().HasFormat(CF_TEXT))
        InsertAsUser(Clipboard().AsText());
}

bool TRichEdit::CanUndo() const
{
    return Document()->isUndoAvailable();
}

void TRichEdit::Undo()
{
    Editor()->undo();
}

QMimeData* TRichEdit::WidgetMimeForSelection() const
{
    const QTextCursor cursor = Editor()->textCursor();
    auto* data = new QMimeData;
    const QByteArray rtf = WriteRtf(*Document(), cursor.selectionStart(), cursor.selectionEnd());
    for (const QString& type : kRtfMimeTypes)
        data->setData(type, rtf);
    data->setText(SelText());
    return data;
}

void TRichEdit::WidgetInsertMime(const QMimeData* data)
{
    if (fReadOnly || !data)
        return;
    for (const QString& type : kRtfMimeTypes) {
        if (data->hasFormat(type) && IsRtf(data->data(type))) {
            InsertRtfAsUser(data->data(type));
            return;
        }
    }
    if (data->hasText())
        InsertAsUser(data->text());
}

void TRichEdit::WidgetContentsChange(int position, int removed, int added)
{
    if (fLoading)
        return;
    fModified = true;
    if (added > 0 && added != removed) {
        fEditStart = fEditStart < 0 ? position : std::min(fEditStart, position);
        fEditEnd = std::max(fEditEnd, position + added);
    }
}

void TRichEdit::EnforceMaxLength()
{
    const int length = TextLength();
    const int allowed = std::max(fMaxLength, fCheckedLength);
    if (fMaxLength > 0 && length > allowed && fEditStart >= 0) {
        // Take back the end of what the user just added.
        const int end = std::min(fEditEnd, length);
        const int start = std::max(fEditStart, end - (length - allowed));
        QTextCursor cursor(Document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        ++fLoading;
        cursor.removeSelectedText();
        --fLoading;
    }
    fEditStart = fEditEnd = -1;
    fCheckedLength = fMaxLength > 0 ? std::min(TextLength(), std::max(fMaxLength, fCheckedLength)) : TextLength();
}

void TRichEdit::WidgetContentsChanged()
{
    if (fLoading)
        return;
    EnforceMaxLength();
    ContentsChanged();
    const QString now = TextOf(0, TextLength());
    if (now == Text())
        return;
    TWinControl::SetText(now);
    Change();
}

void TRichEdit::WidgetSelectionChanged()
{
    const int start = SelStart(), length = SelLength();
    if (start == fLastSelStart && length == fLastSelLength)
        return;
    fLastSelStart = start;
    fLastSelLength = length;
    SelectionChange();
}

void TRichEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TRichEdit::SelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(this);
}

void TRichEdit::SetReadOnly(bool value)
{
    fReadOnly = value;
    Editor()->setReadOnly(value);
    // Windows' read-only control still moves its caret by keys.
    if (value)
        Editor()->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TRichEdit::SetMaxLength(int value)
{
    fMaxLength = std::max(0, value);
    fCheckedLength = TextLength();
}

void TRichEdit::SetScrollBars(TScrollStyle value)
{
    fScrollBars = value;
    Editor()->setVerticalScrollBarPolicy(
        value == ssVertical || value == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    Editor()->setHorizontalScrollBarPolicy(
        value == ssHorizontal || value == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TRichEdit::SetWordWrap(bool value)
{
    fWordWrap = value;
    Editor()->setLineWrapMode(value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TRichEdit::SetHideSelection(bool value)
{
    fHideSelection = value;
    ApplyWidgetStyle();
}

void TRichEdit::SetBorderStyle(TBorderStyle value)
{
    fBorderStyle = value;
    Editor()->setFrameShape(value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TRichEdit::SetWantTabs(bool value)
{
    fWantTabs = value;
    Editor()->setTabChangesFocus(!value);
}

void TRichEdit::KeyPress(QChar& Key)
{
    TWinControl::KeyPress(Key);
    // The clipboard keys go through the control, so the RTF travels.
    if (HandleClipboardChar(*this, Key))
        return;
    switch (Key.unicode()) {
    case 9:
        if (!fWantTabs)
            Key = QChar();
        break;
    case 10:
    case 13:
        if (!fWantReturns)
            Key = QChar();
        break;
    default: break;
    }
}

void TRichEdit::KeyDown(quint16& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    HandleClipboardKey(*this, Key, Shift);
}

bool TRichEdit::WantsKey(quint16 Key, TShiftState Shift) const
{
    if (IsNavigationKey(Key))
        return true;
    switch (Key) {
    case VK_RETURN: return fWantReturns && !(Shift & ssAlt);
    case VK_TAB: return fWantTabs && !(Shift & ssCtrl);
    default: return TWinControl::WantsKey(Key, Shift);
    }
}

void TRichEdit::ApplyWidgetStyle()
{
    QWidget* w = Handle();
    if (!w || !fDefaultFormat)
        return;
    ApplyControlPalette(w, this, QPalette::Base, QPalette::Text);
    ApplySelectionPalette(w, this, fHideSelection ? TInactiveSelection::Hidden : TInactiveSelection::Grey);
    // The widget's font became the document's; the default attributes rule it.
    ApplyDefaultFormat();
}

void TRichEdit::FontChanged()
{
    TWinControl::FontChanged();
    // The control's font is the default character format, as in Windows' control.
    if (fDefaultFormat)
        fDefAttributes.Assign(*Font());
}

int TRichEdit::CharAtPos(QPoint pos) const
{
    const QTextCursor cursor = Editor()->cursorForPosition(pos);
    const QRect caret = Editor()->cursorRect(cursor);
    if (pos.y() < caret.top() || pos.y() > caret.bottom())
        return -1;
    int index = cursor.position();
    // Right of a character's middle the nearest caret lies after it.
    if (pos.x() < caret.x())
        --index;
    if (index < 0 || index >= TextLength())
        return -1;
    const QChar c = Document()->characterAt(index);
    return IsBreak(c) ? -1 : index;
}

QPoint TRichEdit::PosToPoint(int pos) const
{
    QTextCursor cursor(Document());
    cursor.setPosition(std::clamp(pos, 0, TextLength()));
    const QRect caret = Editor()->cursorRect(cursor);
    return QPoint(caret.x(), caret.center().y());
}

void TRichEdit::Print(const QString& Caption)
{
    TPrinterService& printer = Printer();
    printer.Title = Caption;
    const QRect area = fPageRect.isEmpty() ? QRect(QPoint(0, 0), printer.PageSize()) : fPageRect.normalized();
    std::unique_ptr<QTextDocument> doc(Document()->clone());
    printer.BeginDoc();
    try {
        QPainter* painter = printer.Canvas();
        // Laid out for the printer: point sizes at its resolution, lines
        // kept whole on a page.
        doc->documentLayout()->setPaintDevice(painter->device());
        doc->setDocumentMargin(0);
        doc->setPageSize(QSizeF(area.size()));
        const int pages = std::max(1, doc->pageCount());
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                printer.NewPage();
            const QRectF clip(0, qreal(page) * area.height(), area.width(), area.height());
            painter->save();
            painter->translate(area.left(), area.top() - clip.top());
            painter->setClipRect(clip);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = clip;
            context.palette.setColor(QPalette::Text, Qt::black);
            doc->documentLayout()->draw(painter, context);
            painter->restore();
        }
        printer.EndDoc();
    } catch (...) {
        // Raised on, with the job dropped instead of half printed.
        printer.Abort();
        throw;
    }
}
