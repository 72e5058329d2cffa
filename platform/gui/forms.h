#pragma once

#include "platform/gui/controls.h"

#include <QByteArray>
#include <QIcon>
#include <QMap>

#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QEventLoop;
class QSocketNotifier;
class TCopyDataChannel;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum TBorderIconBits : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A top-level window. Width and Height include a fixed frame around the
// client area, so layouts given in outer sizes keep their client sizes.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    QString ClassName() const override { return QStringLiteral("TForm"); }

    TFormBorderStyle BorderStyle() const { return fBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const { return fBorderIcons; }
    void SetBorderIcons(TBorderIcons value);
    TPosition Position() const { return fPosition; }
    void SetPosition(TPosition value) { fPosition = value; }
    TWindowState WindowState() const { return fWindowState; }
    void SetWindowState(TWindowState value);
    bool KeyPreview() const { return fKeyPreview; }
    void SetKeyPreview(bool value) { fKeyPreview = value; }
    const QIcon& Icon() const { return fIcon; }
    void SetIcon(const QIcon& icon);
    bool Scaled() const { return fScaled; }
    void SetScaled(bool value) { fScaled = value; }

    // The frame added to the client area on each side and on top.
    QMargins FrameMargins() const;
    QRect ClientRect() const override;
    void SetClientSize(int w, int h) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The bounds the window has, or gets back, when it is neither maximised
    // nor minimised.
    QRect NormalBoundsRect() const;
    // Moves the window, and shrinks it where it is larger, so that it lies
    // fully inside the work area of the monitor that shows most of it.
    void MakeFullyVisible();

    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* control);
    // Focus moved inside the form: tells every control (focus changed).
    void FocusControlChanged(TWinControl* control);

    TModalResult ModalResult() const { return fModalResult; }
    void SetModalResult(TModalResult value) { fModalResult = value; }
    // Shows the form and runs until ModalResult is set or the form closes.
    virtual TModalResult ShowModal();
    bool Modal() const { return fModalLevel > 0; }
    // Asks OnCloseQuery and OnClose; hides or frees as they say.
    void Close();
    // Frees the form once control is back in the event loop.
    void Release();
    bool Active() const;
    void BringToFront();
    void SetVisible(bool value) override;
    bool Showing() const override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // --- what the widget host calls ---
    // A close from the window manager (system menu, title bar button):
    // WM_SYSCOMMAND with SC_CLOSE, which closes the form unless a form's
    // WndProc drops it. Returns true when the window may go.
    bool HostCloseRequested();
    // A press where WM_NCHITTEST answers HTCAPTION moves the window.
    void HostMousePress(
        Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos, bool dbl) override;
    void HostMouseMove(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos) override;
    void HostMouseRelease(
        Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos) override;
    void HostActivated();
    void HostDeactivated();
    void HostResized(int w, int h) override;
    // The window was moved (by the window manager, the user or the program);
    // clientPos is where its client area now starts on the desktop.
    void HostMoved(QPoint clientPos);
    // Maximised, minimised or restored from outside the program.
    void HostWindowStateChanged();
    void PaintSelf(QPainter& painter) override;
    // WM_NEXTDLGCTL moves the focus on (WParam 0) or back (WParam 1).
    void WndProc(TMessage& Message) override;
    // Dialog keys of the form: Tab moves focus, then every control sees the key.
    void CMDialogKey(TMessage& Message) override;
    // Offers an accelerator character to every control; true when one took it.
    bool DialogChar(QChar Key);

    // From now until the form is freed, other processes of the user may send
    // the window WM_COPYDATA through CopyDataChannelName(ClassName()). False
    // when the channel cannot be opened or a live window already holds it.
    bool ListenForCopyData();
    // Sends WM_COPYDATA with the tag and the bytes to WndProc.
    void DeliverCopyData(quint32 Tag, const QByteArray& Data);

    // Runs OnCreate once the derived form has built its controls; called by
    // Application.CreateForm and by forms built in code at the end of their
    // constructor.
    void DoCreate();
    // Runs OnDestroy once. A derived form calls it first thing in its own
    // destructor, while its members still exist; the base calls it otherwise.
    void DoDestroy();

protected:
    // Forms place their window in SetBounds, around the frame.
    void BoundsChanged() override { }
    // Applies border style, icons and caption to the window.
    void ApplyWindowFlags();
    void CMTextChanged(TMessage& Message) override;
    virtual bool CloseQuery();
    virtual void DoClose(TCloseAction& Action);
    void ApplyPosition();

private:
    // Gives the window the state WindowState asks for (once it is shown).
    void ApplyWindowState();
    // Takes the bounds as the normal ones once the window system is done.
    void KeepNormalBounds();

    TFormBorderStyle fBorderStyle = bsSizeable;
    TBorderIcons fBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition fPosition = poDesigned;
    TWindowState fWindowState = wsNormal;
    bool fKeyPreview = false;
    bool fScaled = true;
    QIcon fIcon;
    QPointer<QWidget> fActiveWidget;
    TModalResult fModalResult = mrNone;
    int fModalLevel = 0;
    bool fCreated = false;
    bool fDestroyed = false;
    bool fPositioned = false;
    bool fActive = false;
    bool fClosing = false;
    QRect fNormalBounds;
    bool fNormalBoundsPending = false;
    // Set while the window follows the mouse: cursor minus window origin.
    std::optional<QPoint> fDragOffset;
    bool fSystemMovePending = false;
    struct TCopyDataChannelDeleter {
        void operator()(TCopyDataChannel* channel) const;
    };
    std::unique_ptr<TCopyDataChannel, TCopyDataChannelDeleter> fCopyData;
};

// The channel of WM_COPYDATA between processes: a local socket, named after
// the window class, in the user's runtime folder and open to the user alone.
// One message per connection, taken when the sender closes: the tag and the
// length of the bytes (32 bits each, little endian), then the bytes. Longer,
// shorter or truncated messages are dropped.
inline constexpr int MaxCopyDataBytes = 4096;
QString CopyDataChannelName(const QString& WindowClass);
// Tests keep their channels in a folder of their own (empty: the runtime folder).
void SetCopyDataFolderForTesting(const QString& Folder);

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// The message of the exception being handled (call from a catch block).
QString CurrentExceptionMessage();

using TExceptionEvent = std::function<void(TObject* Sender, const QString& Message)>;

// The application: the message loop, the main form and the one place where
// exceptions escaping event handlers end up.
class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner = nullptr);
    ~TApplication() override;
    QString ClassName() const override { return QStringLiteral("TApplication"); }

    // Starts watching for the end of the desktop session and for SIGTERM
    // and SIGHUP (see OnEndSession).
    void Initialize();
    // The first form created becomes the main form.
    template <class T> T* CreateForm()
    {
        T* form = new T(this);
        if (!fMainForm)
            fMainForm = form;
        form->DoCreate();
        return form;
    }
    void SetMainForm(TCustomForm* form) { fMainForm = form; }
    TCustomForm* MainForm() const { return fMainForm; }
    // Shows the main form (unless ShowMainForm is false) and runs the loop
    // until Terminate; returns at once when terminated before.
    void Run();
    void Terminate();
    bool Terminated() const { return fTerminated; }
    bool ShowMainForm() const { return fShowMainForm; }
    void SetShowMainForm(bool value) { fShowMainForm = value; }
    void ProcessMessages();
    // Brings up the form that was active last while it shows (a modal one
    // over its owner, as the desktop would), else the main form.
    void BringToFront();
    bool Active() const;

    const QString& Title() const { return fTitle; }
    void SetTitle(const QString& value) { fTitle = value; }
    const QIcon& Icon() const { return fIcon; }
    void SetIcon(const QIcon& value) { fIcon = value; }
    QString ExeName() const;
    void SetExeName(const QString& value) { fExeName = value; }

    // Hooks see the application's messages before it does; one answering
    // true ends the message's handling. The application's only message is
    // WM_WININICHANGE, sent when Qt reports a locale change (watched from the
    // application's start). Each owner holds at most one hook and must remove it
    // before it goes away.
    using TWindowHook = std::function<bool(TMessage& Message)>;
    void HookMainWindow(const void* Owner, TWindowHook Hook);
    void UnhookMainWindow(const void* Owner);
    // Whether a locale change reloads FormatSettings() from the locale,
    // before the hooks see it, so they read the new formats.
    bool UpdateFormatSettings() const { return fUpdateFormatSettings; }
    void SetUpdateFormatSettings(bool value) { fUpdateFormatSettings = value; }

    // Shows the error box for the exception being handled (call from a catch
    // block) or for a message. Boxes raised while painting are shown after
    // the paint, once the loop runs again.
    void HandleException(TObject* Sender);
    void ShowException(const QString& message);
    // Nesting depth of painting, during which no box may open.
    int PaintDepth() const { return fPaintDepth; }
    void EnterPaint() { ++fPaintDepth; }
    void LeavePaint() { --fPaintDepth; }
    // Messages of the exceptions handled so far (tests read them).
    const QStringList& HandledExceptions() const { return fHandled; }
    void ClearHandledExceptions() { fHandled.clear(); }

    TExceptionEvent OnException;
    // The desktop session ends (the session manager asks to keep the data)
    // or the process was asked to end (SIGTERM, SIGHUP): runs on the UI
    // thread and keeps what must be kept, asking nothing. After a signal the
    // application then terminates, ending its modal loops and dialogs.
    TNotifyEvent OnEndSession;
    // What the watchers call; tests call it too. EndProcess says the
    // process must end afterwards.
    void EndSession(bool EndProcess);

private:
    friend class TCustomForm;
    void StopWatchingSession();
    void WatchLocale();
    void LocaleChanged();

    std::unique_ptr<QSocketNotifier> fSignalNotifier;
    // The form that was active last (BringToFront brings it up again).
    TCustomForm* fLastActive = nullptr;
    QMetaObject::Connection fCommitData;
    TCustomForm* fMainForm = nullptr;
    bool fTerminated = false;
    bool fShowMainForm = true;
    bool fRunning = false;
    QString fTitle;
    QString fExeName;
    QIcon fIcon;
    int fPaintDepth = 0;
    QStringList fHandled;
    QStringList fDeferred;
    std::vector<std::pair<const void*, TWindowHook>> fHooks;
    std::unique_ptr<QObject> fLocaleWatcher;
    bool fUpdateFormatSettings = true;
};

// One display of the desktop: its whole area and the part windows may cover
// (without panels and docks), in desktop coordinates.
struct TMonitor {
    QRect BoundsRect;
    QRect WorkareaRect;
};

// The screen: its size, the monitors, the cursors by number, the active form.
class TScreen {
public:
    // The primary monitor's size.
    int Width() const;
    int Height() const;
    // The monitors, the primary one first: Qt's screens unless a test set its own.
    QList<TMonitor> Monitors() const;
    void SetMonitorsForTesting(const QList<TMonitor>& monitors) { fTestMonitors = monitors; }
    // The rectangle around every monitor.
    QRect DesktopRect() const;
    // The monitor that shows most of the rectangle, or the nearest one.
    TMonitor MonitorFromRect(const QRect& r) const;
    int PixelsPerInch() const { return 96; }
    int BitsPerPixel() const { return 32; }
    QCursor CursorOf(TCursor id) const;
    void SetCursorImage(TCursor id, const QCursor& cursor);
    // The cursor of the whole application (crDefault = each control's own).
    TCursor Cursor() const { return fCursor; }
    void SetCursor(TCursor value);
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    QPoint CursorPos() const;
    int FormCount() const;
    TCustomForm* Forms(int index) const;

private:
    QMap<TCursor, QCursor> fCustom;
    TCursor fCursor = crDefault;
    QList<TMonitor> fTestMonitors;
};

TApplication* Application();
TScreen* Screen();
// Frees the application object (end of the program or of a test).
void FreeApplication();
// All forms alive, in creation order.
QList<TCustomForm*> AllForms();
// The message of the exception being handled (call from a catch block).
QString CurrentExceptionMessage();

// Mouse position in screen coordinates.
QPoint MouseCursorPos();
