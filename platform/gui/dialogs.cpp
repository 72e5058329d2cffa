#include "dialogs.h"

#include "platform/gui/graphics.h"
#include "services.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

constexpr int kMaxInputLength = 255;
// What a title bar holds besides its text: the window's icon and up to three
// window buttons with their margins, as the common window managers draw them.
constexpr int kTitleBarExtra = 140;
constexpr TModalResult kNoToAll = 9;
constexpr TModalResult kYesToAll = 10;

// Message dialog buttons in the order the class library lists them.
struct TButtonInfo {
    TMsgDlgBtn Button;
    const char16_t* Text;
    QMessageBox::ButtonRole Role;
};
constexpr TButtonInfo kButtons[] = {
    { mbYes, u"&Yes", QMessageBox::YesRole },
    { mbNo, u"&No", QMessageBox::NoRole },
    { mbOK, u"OK", QMessageBox::AcceptRole },
    { mbCancel, u"Cancel", QMessageBox::RejectRole },
    { mbAbort, u"&Abort", QMessageBox::RejectRole },
    { mbRetry, u"&Retry", QMessageBox::AcceptRole },
    { mbIgnore, u"&Ignore", QMessageBox::AcceptRole },
    { mbAll, u"&All", QMessageBox::YesRole },
    { mbNoToAll, u"N&o to All", QMessageBox::NoRole },
    { mbYesToAll, u"Yes to &All", QMessageBox::YesRole },
    { mbHelp, u"&Help", QMessageBox::HelpRole },
};

// The class library's boxes of no particular type carry the application's
// title, not the program file's name.
QString ApplicationTitle()
{
    const QString title = Application()->Title();
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

QString CaptionOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    case mtCustom: break;
    }
    return ApplicationTitle();
}

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

// A box with no buttons could not be closed; it gets OK.
TMsgDlgButtons Normalised(TMsgDlgButtons buttons)
{
    return buttons.Empty() ? TMsgDlgButtons(mbOK) : buttons;
}

QString MessageBoxButtonText(int id)
{
    switch (id) {
    case IDOK: return QStringLiteral("OK");
    case IDCANCEL: return QStringLiteral("Cancel");
    case IDABORT: return QStringLiteral("&Abort");
    case IDRETRY: return QStringLiteral("&Retry");
    case IDIGNORE: return QStringLiteral("&Ignore");
    case IDYES: return QStringLiteral("&Yes");
    case IDNO: return QStringLiteral("&No");
    }
    return QString();
}

QMessageBox::ButtonRole MessageBoxButtonRole(int id)
{
    switch (id) {
    case IDOK:
    case IDRETRY:
    case IDIGNORE: return QMessageBox::AcceptRole;
    case IDYES: return QMessageBox::YesRole;
    case IDNO: return QMessageBox::NoRole;
    default: return QMessageBox::RejectRole;
    }
}

QMessageBox::Icon IconOfFlags(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// True for a list of file patterns such as "*.dry,*.bkd" or "*.txt; *.text".
bool ListsPatterns(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[,; ]+"));
    const QStringList items = text.split(separators, Qt::SkipEmptyParts);
    return !items.isEmpty() && std::all_of(items.cbegin(), items.cend(), [](const QString& item) {
        return item.contains(u'*') || item.contains(u'?');
    });
}

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

// The width a window needs for its whole title in the title bar, whose
// face is a bold one of about the window's font.
int TitleBarWidth(const QWidget& window, const QString& title)
{
    QFont font = window.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarExtra;
}

// QMessageBox fixes its size when shown, from its text and buttons: a short
// message under a longer caption would have the caption cut by the window
// manager ("Velt... iary"). A spacer across its layout keeps the box as wide
// as its title bar needs. Runs last, as setting the icon rebuilds the layout.
void ExecWithWholeTitle(QMessageBox& box)
{
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(TitleBarWidth(box, box.windowTitle()), 0, QSizePolicy::Minimum), grid->rowCount(),
            0, 1, grid->columnCount());
    }
    box.exec();
}

bool RunFileDialog(TFileDialogRequest& request, bool save)
{
    QFileDialog dialog(DialogParent());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!request.Title.isEmpty())
        dialog.setWindowTitle(request.Title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else if (request.Options.Contains(ofAllowMultiSelect))
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else if (request.Options.Contains(ofFileMustExist))
        dialog.setFileMode(QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.Options.Contains(ofOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (request.Options.Contains(ofForceShowHidden))
        dialog.setFilter(dialog.filter() | QDir::Hidden);

    const QStringList filters = QtFileFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    }
    dialog.setDefaultSuffix(request.DefaultExt);

    // A file name with a folder starts there; a bare name starts in InitialDir.
    const QFileInfo file(request.FileName);
    const bool nameHasFolder = request.FileName.contains(u'/');
    const QString folder = nameHasFolder ? file.absolutePath() : request.InitialDir;
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (!request.FileName.isEmpty())
        dialog.selectFile(file.fileName());

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    request.Files = dialog.selectedFiles();
    request.FileName = request.Files.front();
    if (!filters.isEmpty())
        request.FilterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return true;
}

QColor QColorOf(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int ColorOf(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QIcon Swatch(const QColor& color)
{
    QPixmap pixmap(24, 14);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

TModalResult ModalResultOf(TMsgDlgBtn button)
{
    switch (button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return kNoToAll;
    case mbYesToAll: return kYesToAll;
    case mbHelp: break;
    }
    return mrNone;
}

QList<int> MessageBoxButtons(unsigned flags)
{
    switch (flags & 0xF) {
    case MB_OKCANCEL: return { IDOK, IDCANCEL };
    case MB_ABORTRETRYIGNORE: return { IDABORT, IDRETRY, IDIGNORE };
    case MB_YESNOCANCEL: return { IDYES, IDNO, IDCANCEL };
    case MB_YESNO: return { IDYES, IDNO };
    case MB_RETRYCANCEL: return { IDRETRY, IDCANCEL };
    }
    return { IDOK };
}

QStringList QtFileFilters(const QString& filter)
{
    QStringList result;
    if (filter.isEmpty())
        return result;
    const QStringList fields = filter.split(u'|');
    for (qsizetype i = 0; i < fields.size(); i += 2) {
        QString name = fields[i].trimmed();
        QStringList masks;
        if (i + 1 < fields.size()) {
            for (const QString& mask : fields[i + 1].split(u';', Qt::SkipEmptyParts))
                masks << mask.trimmed();
        }
        const QString patterns = masks.isEmpty() ? QStringLiteral("*") : masks.join(u' ');
        if (name.isEmpty())
            name = patterns;
        // Qt reads the masks from the last parentheses, blank-separated. A
        // name that ends in its own list of patterns ("Diaries (*.dry,*.bkd)")
        // gets the real ones there instead, so each pattern shows once.
        const qsizetype open = name.lastIndexOf(u'(');
        if (name.endsWith(u')') && open >= 0 && ListsPatterns(name.mid(open + 1, name.size() - open - 2)))
            name = name.left(open).trimmed();
        result << QStringLiteral("%1 (%2)").arg(name, patterns).trimmed();
    }
    return result;
}

IDialogService::~IDialogService() = default;

// ---------------------------------------------------------------------------
// Qt dialogs

TModalResult TQtDialogService::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    buttons = Normalised(buttons);
    QMessageBox box(DialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(CaptionOf(type));
    box.setIcon(IconOf(type));
    QHash<QAbstractButton*, TModalResult> results;
    QHash<TMsgDlgBtn, QPushButton*> shown;
    for (const TButtonInfo& info : kButtons) {
        if (!buttons.Contains(info.Button))
            continue;
        QPushButton* button = box.addButton(QString::fromUtf16(info.Text), info.Role);
        results.insert(button, ModalResultOf(info.Button));
        shown.insert(info.Button, button);
    }
    // Enter takes OK (or Yes); Esc takes Cancel, or No, or OK.
    if (QPushButton* def = shown.value(mbOK, shown.value(mbYes)))
        box.setDefaultButton(def);
    if (QPushButton* esc = shown.value(mbCancel, shown.value(mbNo, shown.value(mbOK))))
        box.setEscapeButton(esc);
    ExecWithWholeTitle(box);
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? results.value(clicked, mrNone) : mrCancel;
}

int TQtDialogService::MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    QMessageBox box(DialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(caption);
    box.setIcon(IconOfFlags(flags));
    const QList<int> ids = MessageBoxButtons(flags);
    QList<QPushButton*> buttons;
    for (int id : ids)
        buttons << box.addButton(MessageBoxButtonText(id), MessageBoxButtonRole(id));
    const qsizetype defaultIndex = (flags & 0xF00) >> 8;
    box.setDefaultButton(buttons.value(defaultIndex < buttons.size() ? defaultIndex : 0));
    if (ids.contains(IDCANCEL))
        box.setEscapeButton(buttons[ids.indexOf(IDCANCEL)]);
    else if (ids.size() == 1)
        box.setEscapeButton(buttons.front());
    ExecWithWholeTitle(box);
    const qsizetype index = buttons.indexOf(box.clickedButton());
    return index >= 0 ? ids[index] : IDCANCEL;
}

bool TQtDialogService::InputQuery(const QString& caption, const QString& prompt, QString& value, TInputEcho echo)
{
    QInputDialog dialog(DialogParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(echo == iePassword ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value.left(kMaxInputLength));
    if (QLineEdit* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(kMaxInputLength);
    // The prompt sets the layout's width; a longer caption would be cut by
    // the window manager ("Pass... mation").
    const QSize hint = dialog.sizeHint();
    dialog.resize(std::max(hint.width(), TitleBarWidth(dialog, caption)), hint.height());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue().left(kMaxInputLength);
    return true;
}

bool TQtDialogService::OpenFileDialog(TFileDialogRequest& request)
{
    return RunFileDialog(request, false);
}

bool TQtDialogService::SaveFileDialog(TFileDialogRequest& request)
{
    return RunFileDialog(request, true);
}

// Qt's font dialog has no colour, so it is embedded in a dialog of our own
// with a colour button below it when effects are asked for.
bool TQtDialogService::FontDialog(TFontDialogRequest& request)
{
    const bool effects = request.Options.Contains(fdEffects);
    QFont font(request.Name);
    font.setPointSize(request.Size > 0 ? request.Size : 8);
    font.setBold(request.Style & TFontDialogRequest::StyleBold);
    font.setItalic(request.Style & TFontDialogRequest::StyleItalic);
    font.setUnderline(effects && (request.Style & TFontDialogRequest::StyleUnderline));
    font.setStrikeOut(effects && (request.Style & TFontDialogRequest::StyleStrikeOut));

    QDialog dialog(DialogParent());
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* chooser = new QFontDialog(&dialog);
    chooser->setWindowFlags(Qt::Widget);
    QFontDialog::FontDialogOptions options = QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog;
    if (request.Options.Contains(fdTrueTypeOnly) || request.Options.Contains(fdScalableOnly))
        options |= QFontDialog::ScalableFonts;
    if (request.Options.Contains(fdFixedPitchOnly))
        options |= QFontDialog::MonospacedFonts;
    chooser->setOptions(options);
    chooser->setCurrentFont(font);
    // The embedded dialog still takes Esc and Enter for itself.
    QObject::connect(chooser, &QDialog::rejected, &dialog, &QDialog::reject);
    QObject::connect(chooser, &QDialog::accepted, &dialog, &QDialog::accept);
    if (!effects) {
        // Underline and strike-out sit in a group of check boxes.
        for (QCheckBox* box : chooser->findChildren<QCheckBox*>()) {
            if (auto* group = qobject_cast<QGroupBox*>(box->parentWidget()))
                group->hide();
        }
    }

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(chooser);
    QColor color = QColorOf(request.Color);
    if (effects) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QStringLiteral("&Color:"), &dialog);
        auto* colorButton = new QPushButton(&dialog);
        colorButton->setIcon(Swatch(color));
        label->setBuddy(colorButton);
        QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&color, colorButton, &dialog] {
            const QColor chosen = QColorDialog::getColor(color, &dialog);
            if (chosen.isValid()) {
                color = chosen;
                colorButton->setIcon(Swatch(color));
            }
        });
        row->addWidget(label);
        row->addWidget(colorButton);
        row->addStretch();
        layout->addLayout(row);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = chooser->currentFont();
    request.Name = chosen.family();
    if (chosen.pointSize() > 0)
        request.Size = chosen.pointSize();
    unsigned style = 0;
    if (chosen.bold())
        style |= TFontDialogRequest::StyleBold;
    if (chosen.italic())
        style |= TFontDialogRequest::StyleItalic;
    if (effects) {
        if (chosen.underline())
            style |= TFontDialogRequest::StyleUnderline;
        if (chosen.strikeOut())
            style |= TFontDialogRequest::StyleStrikeOut;
        request.Color = ColorOf(color);
    } else {
        // Effects the dialog did not show stay as they were.
        style |= request.Style & (TFontDialogRequest::StyleUnderline | TFontDialogRequest::StyleStrikeOut);
    }
    request.Style = style;
    return true;
}

bool TQtDialogService::PrinterSetupDialog(TPrinterService& printer)
{
    QPrintDialog dialog(printer.QtPrinter(), DialogParent());
    return dialog.exec() == QDialog::Accepted;
}

// ---------------------------------------------------------------------------
// Scripted dialogs

struct TScriptedDialogService::TScript {
    QList<TModalResult> MessageDlg;
    QList<int> MessageBox;
    QList<std::optional<QString>> InputQuery;
    QList<std::optional<std::pair<QString, int>>> OpenFile;
    QList<std::optional<std::pair<QString, int>>> SaveFile;
    QList<std::optional<TFontDialogRequest>> Font;
    QList<bool> PrinterSetup;
    QList<TDialogCall> Calls;
    int Unanswered = 0;
};

namespace {

const char* KindName(TDialogKind kind)
{
    switch (kind) {
    case TDialogKind::MessageDlg: return "MessageDlg";
    case TDialogKind::MessageBox: return "MessageBox";
    case TDialogKind::InputQuery: return "InputQuery";
    case TDialogKind::OpenFile: return "open dialog";
    case TDialogKind::SaveFile: return "save dialog";
    case TDialogKind::Font: return "font dialog";
    case TDialogKind::PrinterSetup: return "printer setup";
    }
    return "dialog";
}

template <class T> std::optional<T> TakeFirst(QList<T>& queue)
{
    if (queue.isEmpty())
        return std::nullopt;
    return queue.takeFirst();
}

// For dialogs whose every answer (accept or cancel) is one they can give.
constexpr auto kAnyAnswer = [](const auto&) { return true; };

} // namespace

TScriptedDialogService::TScriptedDialogService()
    : fScript(std::make_unique<TScript>())
{
}

TScriptedDialogService::~TScriptedDialogService() = default;

void TScriptedDialogService::AnswerMessageDlg(TModalResult result)
{
    fScript->MessageDlg << result;
}

void TScriptedDialogService::AnswerMessageBox(int result)
{
    fScript->MessageBox << result;
}

void TScriptedDialogService::AnswerInputQuery(const QString& value)
{
    fScript->InputQuery << std::optional<QString>(value);
}

void TScriptedDialogService::CancelInputQuery()
{
    fScript->InputQuery << std::nullopt;
}

void TScriptedDialogService::AnswerOpenFile(const QString& fileName, int filterIndex)
{
    fScript->OpenFile << std::make_optional(std::make_pair(fileName, filterIndex));
}

void TScriptedDialogService::CancelOpenFile()
{
    fScript->OpenFile << std::nullopt;
}

void TScriptedDialogService::AnswerSaveFile(const QString& fileName, int filterIndex)
{
    fScript->SaveFile << std::make_optional(std::make_pair(fileName, filterIndex));
}

void TScriptedDialogService::CancelSaveFile()
{
    fScript->SaveFile << std::nullopt;
}

void TScriptedDialogService::AnswerFont(const TFontDialogRequest& chosen)
{
    fScript->Font << std::optional<TFontDialogRequest>(chosen);
}

void TScriptedDialogService::CancelFont()
{
    fScript->Font << std::nullopt;
}

void TScriptedDialogService::AnswerPrinterSetup(bool accepted)
{
    fScript->PrinterSetup << accepted;
}

const QList<TDialogCall>& TScriptedDialogService::Calls() const
{
    return fScript->Calls;
}

int TScriptedDialogService::UnansweredCalls() const
{
    return fScript->Unanswered;
}

int TScriptedDialogService::PendingAnswers() const
{
    const TScript& s = *fScript;
    return int(s.MessageDlg.size() + s.MessageBox.size() + s.InputQuery.size() + s.OpenFile.size() + s.SaveFile.size()
        + s.Font.size() + s.PrinterSetup.size());
}

void TScriptedDialogService::Clear()
{
    *fScript = TScript();
}

// Records the call and lets the test look at it before it is answered. The
// index stays valid when OnCall opens further dialogs.
int TScriptedDialogService::Record(TDialogCall call)
{
    fScript->Calls << std::move(call);
    const int index = int(fScript->Calls.size()) - 1;
    if (OnCall) {
        // A copy: the handler may Clear() the record.
        const TDialogCall recorded = fScript->Calls[index];
        OnCall(recorded);
    }
    return index < fScript->Calls.size() ? index : -1;
}

void TScriptedDialogService::Fault(int index, const char* why)
{
    ++fScript->Unanswered;
    if (index < 0)
        return;
    const TDialogCall& call = fScript->Calls[index];
    qWarning("Scripted dialogs: %s %s: \"%s\" \"%s\"", KindName(call.Kind), why, qUtf8Printable(call.Caption),
        qUtf8Printable(call.Text));
}

template <class T, class Offered>
std::optional<T> TScriptedDialogService::Ask(TDialogCall call, QList<T>& queue, Offered offered)
{
    const int index = Record(std::move(call));
    std::optional<T> answer = TakeFirst(queue);
    if (!answer) {
        Fault(index, "has no scripted answer");
        return std::nullopt;
    }
    if (!offered(*answer)) {
        Fault(index, "was answered with a button it does not show");
        return std::nullopt;
    }
    if (index >= 0)
        fScript->Calls[index].Answered = true;
    return answer;
}

TModalResult TScriptedDialogService::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    TDialogCall call;
    call.Kind = TDialogKind::MessageDlg;
    call.Text = text;
    call.Caption = CaptionOf(type);
    call.DlgType = type;
    call.Buttons = buttons;
    const auto answer = Ask(std::move(call), fScript->MessageDlg, [buttons](TModalResult result) {
        bool offered = false;
        for (const TButtonInfo& info : kButtons)
            offered = offered || (Normalised(buttons).Contains(info.Button) && ModalResultOf(info.Button) == result);
        return offered;
    });
    return answer.value_or(mrCancel);
}

int TScriptedDialogService::MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    TDialogCall call;
    call.Kind = TDialogKind::MessageBox;
    call.Text = text;
    call.Caption = caption;
    call.Flags = flags;
    const auto answer = Ask(std::move(call), fScript->MessageBox,
        [flags](int result) { return MessageBoxButtons(flags).contains(result); });
    return answer.value_or(IDCANCEL);
}

bool TScriptedDialogService::InputQuery(const QString& caption, const QString& prompt, QString& value, TInputEcho echo)
{
    TDialogCall call;
    call.Kind = TDialogKind::InputQuery;
    call.Caption = caption;
    call.Text = prompt;
    call.Value = value;
    call.Masked = echo == iePassword;
    const auto answer = Ask(std::move(call), fScript->InputQuery, kAnyAnswer);
    if (!answer || !*answer)
        return false;
    // The real edit takes no more than this, whatever is typed.
    value = (*answer)->left(kMaxInputLength);
    return true;
}

bool TScriptedDialogService::AskFile(TDialogKind kind, TFileDialogRequest& request)
{
    TDialogCall call;
    call.Kind = kind;
    call.Caption = request.Title;
    call.File = request;
    QList<std::optional<std::pair<QString, int>>>& queue
        = kind == TDialogKind::OpenFile ? fScript->OpenFile : fScript->SaveFile;
    const auto answer = Ask(std::move(call), queue, kAnyAnswer);
    if (!answer || !*answer)
        return false;
    const auto& [fileName, filterIndex] = **answer;
    request.FileName = fileName;
    request.Files = QStringList { fileName };
    if (filterIndex != 0)
        request.FilterIndex = filterIndex;
    return true;
}

bool TScriptedDialogService::OpenFileDialog(TFileDialogRequest& request)
{
    return AskFile(TDialogKind::OpenFile, request);
}

bool TScriptedDialogService::SaveFileDialog(TFileDialogRequest& request)
{
    return AskFile(TDialogKind::SaveFile, request);
}

bool TScriptedDialogService::FontDialog(TFontDialogRequest& request)
{
    TDialogCall call;
    call.Kind = TDialogKind::Font;
    call.Font = request;
    const auto answer = Ask(std::move(call), fScript->Font, kAnyAnswer);
    if (!answer || !*answer)
        return false;
    request.Name = (*answer)->Name;
    request.Size = (*answer)->Size;
    request.Style = (*answer)->Style;
    request.Color = (*answer)->Color;
    return true;
}

bool TScriptedDialogService::PrinterSetupDialog(TPrinterService&)
{
    TDialogCall call;
    call.Kind = TDialogKind::PrinterSetup;
    return Ask(std::move(call), fScript->PrinterSetup, kAnyAnswer).value_or(false);
}

// ---------------------------------------------------------------------------
// Process-wide access

namespace {

IDialogService*& InstalledService()
{
    static IDialogService* service = nullptr;
    return service;
}

} // namespace

IDialogService& Dialogs()
{
    if (IDialogService* service = InstalledService())
        return *service;
    static TQtDialogService qtService;
    return qtService;
}

void SetDialogService(IDialogService* service)
{
    InstalledService() = service;
}

TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    return Dialogs().MessageDlg(text, type, buttons);
}

void ShowMessage(const QString& text)
{
    Dialogs().MessageDlg(text, mtCustom, mbOK);
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value, TInputEcho echo)
{
    return Dialogs().InputQuery(caption, prompt, value, echo);
}

int AppMessageBox(const QString& text, const QString& caption, unsigned flags)
{
    return Dialogs().MessageBox(text, caption, flags);
}

void ShowErrorBox(const QString& message)
{
    Dialogs().MessageDlg(message, mtError, mbOK);
}

bool OpenLink(const QString& target)
{
    const auto tell = [target] {
        MessageDlg(QStringLiteral("\"%1\" could not be opened.").arg(target), mtError, TMsgDlgButtons { mbOK });
    };
    if (ShellOpen(target, tell))
        return true;
    tell();
    return false;
}

namespace {

// Runs show on a copy, so a cancelled dialog leaves the settings as they were.
bool ExecuteFileDialog(TFileDialogRequest& kept, bool (IDialogService::*show)(TFileDialogRequest&))
{
    TFileDialogRequest request = kept;
    if (!(Dialogs().*show)(request))
        return false;
    kept = request;
    return true;
}

} // namespace

bool TOpenDialog::Execute()
{
    return ExecuteFileDialog(fRequest, &IDialogService::OpenFileDialog);
}

bool TSaveDialog::Execute()
{
    return ExecuteFileDialog(fRequest, &IDialogService::SaveFileDialog);
}

TFontDialog::TFontDialog(TComponent* AOwner)
    : TComponent(AOwner)
    , fFont(std::make_unique<TFont>())
{
}

TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(const TFont& value)
{
    fFont->Assign(value);
}

bool TFontDialog::Execute()
{
    TFontDialogRequest request;
    request.Name = fFont->Name();
    request.Size = fFont->Size();
    request.Style = fFont->Style().Bits();
    request.Color = int(ColorToRGB(fFont->Color()));
    request.Options = fOptions;
    if (!Dialogs().FontDialog(request))
        return false;
    // Qt names a family several foundries make "Nimbus Roman [urw]"; the
    // font keeps the family, the name other programs know.
    fFont->SetName(FontFamilyName(request.Name));
    fFont->SetSize(request.Size);
    fFont->SetStyle(TFontStyles::FromBits(request.Style));
    fFont->SetColor(TColor(request.Color));
    return true;
}
