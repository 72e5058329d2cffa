#pragma once

#include "platform/gui/forms.h" // TModalResult and the mr constants

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class TPrinterService;

// A set of a small enumeration, written as the class library writes sets:
// TMsgDlgButtons{mbOK, mbCancel}.
template <class E>
class TOptionSet
{
public:
    constexpr TOptionSet() = default;
    constexpr TOptionSet(E value)
        : fBits(Bit(value))
    {
    }
    constexpr TOptionSet(std::initializer_list<E> values)
    {
        for (E v : values)
            fBits |= Bit(v);
    }

    constexpr bool Contains(E value) const { return (fBits & Bit(value)) != 0; }
    constexpr bool Empty() const { return fBits == 0; }
    constexpr unsigned Bits() const { return fBits; }
    constexpr TOptionSet& Include(E value)
    {
        fBits |= Bit(value);
        return *this;
    }
    constexpr TOptionSet& Exclude(E value)
    {
        fBits &= ~Bit(value);
        return *this;
    }
    constexpr bool operator==(const TOptionSet&) const = default;

private:
    static constexpr unsigned Bit(E value) { return 1u << unsigned(value); }
    unsigned fBits = 0;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TOptionSet<TMsgDlgBtn>;

inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The modal result a message dialog button gives: mrYes ... mrAll, 9 for
// mbNoToAll, 10 for mbYesToAll, mrNone for mbHelp.
TModalResult ModalResultOf(TMsgDlgBtn button);

// Message box flags and results, with the values Windows gives them.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONSTOP = MB_ICONERROR;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONEXCLAMATION = MB_ICONWARNING;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONASTERISK = MB_ICONINFORMATION;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The results a message box with these flags offers, in button order; the
// box's default button is at index (flags & 0xF00) >> 8 when that exists.
QList<int> MessageBoxButtons(unsigned flags);

// Options of the open and save dialogs. The Qt dialogs act on
// ofOverwritePrompt, ofFileMustExist, ofAllowMultiSelect and
// ofForceShowHidden; they are always sizable, never add to the recent files
// and have no read-only box, and the other options are kept so callers read
// as written.
enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden
};
using TOpenOptions = TOptionSet<TOpenOption>;

// What an open or save dialog is asked, and (FileName, Files, FilterIndex)
// what it answers.
struct TFileDialogRequest {
    QString Title;
    // "Name|*.a;*.b|Other|*.*": name and mask pairs.
    QString Filter;
    int FilterIndex = 1; // 1-based, as in the class library
    QString DefaultExt; // without the dot
    QString FileName;
    QStringList Files; // every chosen file with ofAllowMultiSelect
    QString InitialDir;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
};

// Qt name filters ("Name (*.a *.b)") for a class-library filter string.
QStringList QtFileFilters(const QString& filter);

// The Qt font dialog acts on fdEffects, fdTrueTypeOnly, fdScalableOnly and
// fdFixedPitchOnly; it lists only fonts that exist.
enum TFontDialogOption {
    fdAnsiOnly,
    fdTrueTypeOnly,
    fdEffects,
    fdFixedPitchOnly,
    fdForceFontExist,
    fdNoFaceSel,
    fdNoOEMFonts,
    fdNoSimulations,
    fdNoSizeSel,
    fdNoStyleSel,
    fdNoVectorFonts,
    fdShowHelp,
    fdWysiwyg,
    fdLimitSize,
    fdScalableOnly,
    fdApplyButton
};
using TFontDialogOptions = TOptionSet<TFontDialogOption>;

// The font a font dialog starts from and, when it is accepted, the font
// chosen. Plain values, so the dialogs need no font class.
struct TFontDialogRequest {
    // Style bits, as the class library's font style set is stored.
    static constexpr unsigned StyleBold = 1;
    static constexpr unsigned StyleItalic = 2;
    static constexpr unsigned StyleUnderline = 4;
    static constexpr unsigned StyleStrikeOut = 8;

    QString Name = QStringLiteral("MS Sans Serif");
    int Size = 8; // points
    unsigned Style = 0;
    int Color = 0; // 0x00BBGGRR; a system colour must be resolved to RGB first
    TFontDialogOptions Options{fdEffects};
};

// How an input query shows what is typed: as typed, or masked (passwords).
enum TInputEcho { ieNormal, iePassword };

// Every message box, question and standard dialog the program shows goes
// through one service, so tests can answer them and check what was asked.
class IDialogService
{
public:
    virtual ~IDialogService();
    virtual TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // Returns IDOK, IDCANCEL, IDYES, ...
    virtual int MessageBox(const QString& text, const QString& caption, unsigned flags) = 0;
    // Shows value for editing (at most 255 characters); true and the new
    // value when accepted, value unchanged otherwise.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value, TInputEcho echo = ieNormal)
        = 0;
    virtual bool OpenFileDialog(TFileDialogRequest& request) = 0;
    virtual bool SaveFileDialog(TFileDialogRequest& request) = 0;
    virtual bool FontDialog(TFontDialogRequest& request) = 0;
    // Lets the user pick and set up the printer; false when cancelled.
    virtual bool PrinterSetupDialog(TPrinterService& printer) = 0;
};

// The dialogs of the running program, shown with Qt and centred on the
// active window.
class TQtDialogService : public IDialogService
{
public:
    TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    int MessageBox(const QString& text, const QString& caption, unsigned flags) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value, TInputEcho echo = ieNormal) override;
    bool OpenFileDialog(TFileDialogRequest& request) override;
    bool SaveFileDialog(TFileDialogRequest& request) override;
    bool FontDialog(TFontDialogRequest& request) override;
    bool PrinterSetupDialog(TPrinterService& printer) override;
};

enum class TDialogKind { MessageDlg, MessageBox, InputQuery, OpenFile, SaveFile, Font, PrinterSetup };

// One dialog a scripted service was asked to show. Only the fields of its
// kind are filled in.
struct TDialogCall {
    TDialogKind Kind = TDialogKind::MessageDlg;
    QString Text; // message or prompt
    QString Caption; // message box caption, query caption, dialog title
    TMsgDlgType DlgType = mtCustom;
    TMsgDlgButtons Buttons;
    unsigned Flags = 0;
    QString Value; // the value an input query started with
    bool Masked = false; // an input query that hid what was typed
    TFileDialogRequest File;
    TFontDialogRequest Font;
    bool Answered = false;
};

// Answers dialogs from scripts queued per kind, and records every call.
//
// A call with no answer queued for its kind, or whose answer the dialog could
// not give (mrYes to a box with only OK), is a fault of the test or the code:
// it is recorded, counted in UnansweredCalls, logged with qWarning, and ends
// as if the user had cancelled.
class TScriptedDialogService : public IDialogService
{
public:
    TScriptedDialogService();
    ~TScriptedDialogService() override;

    void AnswerMessageDlg(TModalResult result);
    void AnswerMessageBox(int result);
    // Accepts with the given text.
    void AnswerInputQuery(const QString& value);
    void CancelInputQuery();
    // Accepts with the given file and (when not 0) filter index.
    void AnswerOpenFile(const QString& fileName, int filterIndex = 0);
    void CancelOpenFile();
    void AnswerSaveFile(const QString& fileName, int filterIndex = 0);
    void CancelSaveFile();
    // Accepts with the font's fields set from the given request's.
    void AnswerFont(const TFontDialogRequest& chosen);
    void CancelFont();
    void AnswerPrinterSetup(bool accepted);

    // Runs when a dialog is asked for, before it is answered.
    std::function<void(const TDialogCall&)> OnCall;

    const QList<TDialogCall>& Calls() const;
    int UnansweredCalls() const;
    // Scripted answers no dialog has used yet.
    int PendingAnswers() const;
    void Clear();

    TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    int MessageBox(const QString& text, const QString& caption, unsigned flags) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value, TInputEcho echo = ieNormal) override;
    bool OpenFileDialog(TFileDialogRequest& request) override;
    bool SaveFileDialog(TFileDialogRequest& request) override;
    bool FontDialog(TFontDialogRequest& request) override;
    bool PrinterSetupDialog(TPrinterService& printer) override;

private:
    struct TScript;
    int Record(TDialogCall call);
    void Fault(int index, const char* why);
    // Records the call and takes the next answer from queue. Without one, or
    // when offered(answer) is false, the call is a fault and the result empty.
    template <class T, class Offered> std::optional<T> Ask(TDialogCall call, QList<T>& queue, Offered offered);
    bool AskFile(TDialogKind kind, TFileDialogRequest& request);
    std::unique_ptr<TScript> fScript;
};

// The installed service; the Qt one unless SetDialogService gave another.
IDialogService& Dialogs();
// Installs a service the caller keeps alive; nullptr restores the Qt one.
void SetDialogService(IDialogService* service);

TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
// A plain box with one OK.
void ShowMessage(const QString& text);
bool InputQuery(const QString& caption, const QString& prompt, QString& value, TInputEcho echo = ieNormal);
int AppMessageBox(const QString& text, const QString& caption, unsigned flags);
// The box an exception that reaches the application shows: an error with one OK.
void ShowErrorBox(const QString& message);
// Opens a link (or a file) with the desktop's handler; when it cannot be
// handed over, or the handler gives up on it later, an error box names it.
// False when it could not be handed over.
bool OpenLink(const QString& target);

// The open and save dialogs as components: their settings kept between
// uses, Execute asks the dialog service and keeps the answer.
class TOpenDialog : public TComponent
{
public:
    using TComponent::TComponent;
    QString ClassName() const override { return QStringLiteral("TOpenDialog"); }

    QString Title() const { return fRequest.Title; }
    void SetTitle(const QString& value) { fRequest.Title = value; }
    QString Filter() const { return fRequest.Filter; }
    void SetFilter(const QString& value) { fRequest.Filter = value; }
    int FilterIndex() const { return fRequest.FilterIndex; }
    void SetFilterIndex(int value) { fRequest.FilterIndex = value; }
    QString DefaultExt() const { return fRequest.DefaultExt; }
    void SetDefaultExt(const QString& value) { fRequest.DefaultExt = value; }
    QString FileName() const { return fRequest.FileName; }
    void SetFileName(const QString& value) { fRequest.FileName = value; }
    const QStringList& Files() const { return fRequest.Files; }
    QString InitialDir() const { return fRequest.InitialDir; }
    void SetInitialDir(const QString& value) { fRequest.InitialDir = value; }
    TOpenOptions Options() const { return fRequest.Options; }
    void SetOptions(TOpenOptions value) { fRequest.Options = value; }

    // True when the user chose a file; FileName then holds it.
    virtual bool Execute();

protected:
    TFileDialogRequest fRequest;
};

class TSaveDialog : public TOpenDialog
{
public:
    using TOpenDialog::TOpenDialog;
    QString ClassName() const override { return QStringLiteral("TSaveDialog"); }
    bool Execute() override;
};

class TFont;

// The font dialog as a component: Execute starts from Font and, when the
// user accepts, gives Font the chosen name, size, style and colour.
class TFontDialog : public TComponent
{
public:
    explicit TFontDialog(TComponent* AOwner = nullptr);
    ~TFontDialog() override;
    QString ClassName() const override { return QStringLiteral("TFontDialog"); }

    TFont* Font() const { return fFont.get(); }
    void SetFont(const TFont& value);
    TFontDialogOptions Options() const { return fOptions; }
    void SetOptions(TFontDialogOptions value) { fOptions = value; }

    bool Execute();

private:
    std::unique_ptr<TFont> fFont;
    TFontDialogOptions fOptions{fdEffects};
};
