#include "forms.h"

#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/host_p.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <exception>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

QList<TCustomForm*>& FormList()
{
    static QList<TCustomForm*> forms;
    return forms;
}

QWidget* MakeFormHost(TWinControl* self)
{
    auto* host = new THost<QWidget>(self, nullptr, Qt::Window);
    host->setAttribute(Qt::WA_DeleteOnClose, false);
    return host;
}

// Neither maximised nor minimised (nor without a window).
bool IsRestored(const QWidget* w)
{
    return !w || !(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

} // namespace

QString CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        // Neither ours nor standard: it carries no text to show.
        return QStringLiteral("Unknown error");
    }
}

QList<TCustomForm*> AllForms()
{
    return FormList();
}

// --- TCustomForm ---

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner, MakeFormHost)
{
    FormList().append(this);
    TControl::SetVisible(false);
    SetParentFont(false);
    SetControlStyle(ControlStyle() | csAcceptsControls);
    ApplyWindowFlags();
    SetBounds(0, 0, 320, 240);
}

TCustomForm::~TCustomForm()
{
    fCopyData.reset();
    DoDestroy();
    FormList().removeAll(this);
    if (Application()->MainForm() == this)
        Application()->SetMainForm(nullptr);
    if (Application()->fLastActive == this)
        Application()->fLastActive = nullptr;
}

void TCustomForm::DoDestroy()
{
    if (!fCreated || fDestroyed)
        return;
    fDestroyed = true;
    if (OnDestroy)
        GuardedCall([this] { OnDestroy(this); });
}

void TCustomForm::DoCreate()
{
    if (fCreated)
        return;
    fCreated = true;
    Loaded();
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    const QRect client = ClientRect();
    fBorderStyle = value;
    ApplyWindowFlags();
    SetClientSize(client.width(), client.height());
}

void TCustomForm::SetBorderIcons(TBorderIcons value)
{
    fBorderIcons = value;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState value)
{
    fWindowState = value;
    // A hidden window takes its state when it is shown, once it is placed.
    if (Showing())
        ApplyWindowState();
}

void TCustomForm::ApplyWindowState()
{
    QWidget* w = Handle();
    if (!w)
        return;
    const Qt::WindowStates kept
        = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    Qt::WindowStates wanted = kept;
    switch (fWindowState) {
    case wsNormal: break;
    case wsMinimized: wanted |= Qt::WindowMinimized; break;
    case wsMaximized: wanted |= Qt::WindowMaximized; break;
    }
    if (w->windowState() != wanted)
        w->setWindowState(wanted);
}

void TCustomForm::HostWindowStateChanged()
{
    const Qt::WindowStates s = Handle() ? Handle()->windowState() : Qt::WindowNoState;
    if (s & Qt::WindowMinimized)
        fWindowState = wsMinimized;
    else if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        fWindowState = wsMaximized;
    else
        fWindowState = wsNormal;
}

void TCustomForm::SetIcon(const QIcon& icon)
{
    fIcon = icon;
    if (Handle())
        Handle()->setWindowIcon(icon);
}

void TCustomForm::ApplyWindowFlags()
{
    QWidget* w = Handle();
    if (!w)
        return;
    const bool visible = w->isVisible();
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    switch (fBorderStyle) {
    case bsNone: flags = Qt::Window | Qt::FramelessWindowHint; break;
    case bsToolWindow:
    case bsSizeToolWin: flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    case bsDialog: flags |= Qt::WindowTitleHint; break;
    default: flags |= Qt::WindowTitleHint; break;
    }
    if (fBorderStyle != bsNone && (fBorderIcons & biSystemMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (fBorderStyle != bsDialog && fBorderStyle != bsToolWindow && fBorderStyle != bsSizeToolWin) {
            if (fBorderIcons & biMinimize)
                flags |= Qt::WindowMinimizeButtonHint;
            if ((fBorderIcons & biMaximize) && (fBorderStyle == bsSizeable))
                flags |= Qt::WindowMaximizeButtonHint;
        }
    }
    w->setWindowFlags(flags);
    w->setWindowTitle(Caption());
    const bool fixed = fBorderStyle != bsSizeable && fBorderStyle != bsSizeToolWin;
    if (fixed)
        w->setFixedSize(w->size());
    else {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (visible)
        w->show();
}

QMargins TCustomForm::FrameMargins() const
{
    switch (fBorderStyle) {
    case bsNone: return QMargins(0, 0, 0, 0);
    case bsSizeable: return QMargins(4, 23, 4, 4);
    case bsToolWindow: return QMargins(3, 19, 3, 3);
    case bsSizeToolWin: return QMargins(4, 20, 4, 4);
    case bsSingle:
    case bsDialog: return QMargins(3, 22, 3, 3);
    }
    return {};
}

QRect TCustomForm::ClientRect() const
{
    const QMargins m = FrameMargins();
    return QRect(0, 0, std::max(0, Width() - m.left() - m.right()), std::max(0, Height() - m.top() - m.bottom()));
}

void TCustomForm::SetClientSize(int w, int h)
{
    const QMargins m = FrameMargins();
    SetBounds(Left(), Top(), w + m.left() + m.right(), h + m.top() + m.bottom());
}

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (QWidget* w = Handle()) {
        const QRect c = ClientRect();
        const QMargins m = FrameMargins();
        const bool fixed = fBorderStyle != bsSizeable && fBorderStyle != bsSizeToolWin;
        if (fixed) {
            w->setFixedSize(c.size());
        } else {
            const TSizeConstraints& k = Constraints();
            w->setMinimumSize(
                std::max(0, k.MinWidth - m.left() - m.right()), std::max(0, k.MinHeight - m.top() - m.bottom()));
        }
        w->setGeometry(Left() + m.left(), Top() + m.top(), c.width(), c.height());
    }
    if (IsRestored(Handle()))
        fNormalBounds = BoundsRect();
}

QRect TCustomForm::NormalBoundsRect() const
{
    return IsRestored(Handle()) ? BoundsRect() : fNormalBounds;
}

void TCustomForm::KeepNormalBounds()
{
    // The window system may tell a maximised window's new geometry before its
    // new state: bounds count as normal only once the events of the change
    // are through and the window is still in its normal state.
    if (fNormalBoundsPending)
        return;
    fNormalBoundsPending = true;
    std::weak_ptr<bool> alive = AliveToken();
    QTimer::singleShot(0, QCoreApplication::instance(), [this, alive] {
        if (alive.expired())
            return;
        fNormalBoundsPending = false;
        if (IsRestored(Handle()))
            fNormalBounds = BoundsRect();
    });
}

void TCustomForm::HostResized(int w, int h)
{
    TWinControl::HostResized(w, h);
    KeepNormalBounds();
}

void TCustomForm::MakeFullyVisible()
{
    const QRect area = Screen()->MonitorFromRect(BoundsRect()).WorkareaRect;
    if (area.isEmpty())
        return;
    // Shrink first: the size constraints may keep it larger than the area,
    // and then its top left corner is what stays visible.
    SetBounds(Left(), Top(), std::min(Width(), area.width()), std::min(Height(), area.height()));
    const int left = std::max(area.left(), std::min(Left(), area.left() + area.width() - Width()));
    const int top = std::max(area.top(), std::min(Top(), area.top() + area.height() - Height()));
    SetBounds(left, top, Width(), Height());
}

TWinControl* TCustomForm::ActiveControl() const
{
    if (fActiveWidget)
        return FindControl(fActiveWidget);
    return nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (!control) {
        fActiveWidget = nullptr;
        // The form itself holds the focus then, also when its window is
        // activated later: Qt would otherwise give it to the first control.
        if (QWidget* w = Handle())
            w->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!control->Handle())
        return;
    // A control hidden or disabled, itself or a parent, takes no focus.
    for (const TControl* c = control; c && c != this; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return;
    fActiveWidget = control->Handle();
    if (Handle() && Handle()->isVisible())
        control->Handle()->setFocus(Qt::OtherFocusReason);
}

void TCustomForm::FocusControlChanged(TWinControl* control)
{
    if (control && control != this)
        fActiveWidget = control->Handle();
    TMessage m { CM_FOCUSCHANGED, 0, qintptr(control), 0 };
    const std::function<void(TWinControl*)> tell = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            c->WndProc(m);
            if (auto* w = dynamic_cast<TWinControl*>(c))
                tell(w);
        }
    };
    tell(this);
}

void TCustomForm::ApplyPosition()
{
    if (fPositioned)
        return;
    fPositioned = true;
    QRect area;
    switch (fPosition) {
    case poScreenCenter:
    case poDesktopCenter: area = Screen()->Monitors().constFirst().WorkareaRect; break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* over = dynamic_cast<TCustomForm*>(Owner());
        if (fPosition == poMainFormCenter || !over)
            over = Application()->MainForm();
        if (over && over != this && over->Visible())
            area = over->BoundsRect();
        else
            area = Screen()->Monitors().constFirst().WorkareaRect;
        break;
    }
    default: return;
    }
    if (area.isValid())
        SetBounds(
            area.left() + (area.width() - Width()) / 2, area.top() + (area.height() - Height()) / 2, Width(), Height());
}

void TCustomForm::SetVisible(bool value)
{
    if (value == Visible() && Handle() && Handle()->isVisible() == value)
        return;
    if (value) {
        ApplyPosition();
        ApplyWindowState();
        TControl::SetVisible(true);
        if (QWidget* w = Handle()) {
            w->setWindowTitle(Caption());
            w->show();
            w->raise();
            w->activateWindow();
            if (fActiveWidget)
                fActiveWidget->setFocus(Qt::OtherFocusReason);
        }
        if (OnShow)
            OnShow(this);
    } else {
        if (OnHide)
            OnHide(this);
        TControl::SetVisible(false);
        if (QWidget* w = Handle())
            w->hide();
    }
}

bool TCustomForm::Showing() const
{
    return Handle() && Handle()->isVisible();
}

bool TCustomForm::Active() const
{
    return fActive;
}

void TCustomForm::BringToFront()
{
    if (QWidget* w = Handle()) {
        w->raise();
        w->activateWindow();
    }
}

void TCustomForm::CMTextChanged(TMessage& Message)
{
    TWinControl::CMTextChanged(Message);
    if (Handle())
        Handle()->setWindowTitle(Caption());
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() && Handle() && Handle()->isVisible())
        throw EInvalidOp(QStringLiteral("Cannot make a visible window modal"));
    std::weak_ptr<bool> alive = AliveToken();
    QWidget* previous = QApplication::activeWindow();
    TCustomForm* previousForm = previous ? dynamic_cast<TCustomForm*>(FindControl(previous)) : nullptr;
    std::weak_ptr<bool> previousAlive = previousForm ? previousForm->AliveToken() : std::weak_ptr<bool>();

    fModalResult = mrNone;
    // Modality must be set while the window is hidden.
    if (QWidget* w = Handle())
        w->setWindowModality(Qt::ApplicationModal);
    ++fModalLevel;
    Show();
    HostActivated();
    TModalResult result = mrNone;
    while (!alive.expired()) {
        if (fModalResult == mrNone && !Application()->Terminated()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
            continue;
        }
        if (Application()->Terminated() && fModalResult == mrNone)
            fModalResult = mrCancel;
        // Closing may still be refused.
        TCloseAction action = CloseQuery() ? caHide : caNone;
        if (alive.expired())
            break;
        if (action != caNone)
            DoClose(action);
        if (alive.expired())
            break;
        if (action == caNone) {
            fModalResult = mrNone;
            if (Application()->Terminated())
                break;
            continue;
        }
        result = fModalResult;
        if (action == caFree)
            Release();
        break;
    }
    if (alive.expired())
        return result;
    --fModalLevel;
    if (QWidget* w = Handle()) {
        w->hide();
        w->setWindowModality(Qt::NonModal);
    }
    TControl::SetVisible(false);
    HostDeactivated();
    if (previousForm && !previousAlive.expired()) {
        previousForm->BringToFront();
        // The offscreen platform does not re-activate by itself.
        previousForm->HostActivated();
    }
    return result == mrNone ? fModalResult : result;
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (fModalLevel > 0) {
        fModalResult = mrCancel;
        return;
    }
    if (fClosing)
        return;
    fClosing = true;
    std::weak_ptr<bool> alive = AliveToken();
    struct Reset {
        TCustomForm* f;
        std::weak_ptr<bool> alive;
        ~Reset()
        {
            if (!alive.expired())
                f->fClosing = false;
        }
    } reset { this, alive };
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (alive.expired() || action == caNone)
        return;
    if (Application()->MainForm() == this) {
        Hide();
        Application()->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree:
        Hide();
        Release();
        break;
    default: break;
    }
}

void TCustomForm::Release()
{
    std::weak_ptr<bool> alive = AliveToken();
    QTimer::singleShot(0, QCoreApplication::instance(), [this, alive] {
        if (!alive.expired())
            delete this;
    });
}

bool TCustomForm::HostCloseRequested()
{
    TMessage m { WM_SYSCOMMAND, SC_CLOSE, 0, 0 };
    WndProc(m);
    return false;
}

void TCustomForm::HostMousePress(
    Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos, bool dbl)
{
    if (button == Qt::LeftButton && !dbl && Handle()) {
        TMessage m { WM_NCHITTEST, 0, qintptr((pos.x() & 0xFFFF) | ((pos.y() & 0xFFFF) << 16)), 0 };
        WndProc(m);
        if (m.Result == HTCAPTION) {
            // The move starts once the mouse moves: a window manager asked on
            // a mere click keeps moving the window until the next click.
            fDragOffset = QCursor::pos() - Handle()->pos();
            fSystemMovePending = true;
            return;
        }
    }
    TWinControl::HostMousePress(button, mods, buttons, pos, dbl);
}

void TCustomForm::HostMouseMove(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos)
{
    if (fDragOffset) {
        if (buttons & Qt::LeftButton) {
            // The window manager moves it where it can; otherwise we follow the mouse.
            if (std::exchange(fSystemMovePending, false)) {
                QWindow* window = Handle()->windowHandle();
                if (window && window->startSystemMove()) {
                    fDragOffset.reset();
                    return;
                }
            }
            const QPoint topLeft = QCursor::pos() - *fDragOffset;
            Handle()->move(topLeft);
            return;
        }
        fDragOffset.reset();
        fSystemMovePending = false;
    }
    TWinControl::HostMouseMove(mods, buttons, pos);
}

void TCustomForm::HostMouseRelease(
    Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos)
{
    if (fDragOffset && button == Qt::LeftButton) {
        fDragOffset.reset();
        fSystemMovePending = false;
        return;
    }
    TWinControl::HostMouseRelease(button, mods, buttons, pos);
}

void TCustomForm::HostActivated()
{
    if (fActive)
        return;
    fActive = true;
    Application()->fLastActive = this;
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::HostMoved(QPoint clientPos)
{
    // Left and Top are the outer corner, as SetBounds puts the frame around
    // the client area.
    const QMargins m = FrameMargins();
    WindowMoved(clientPos.x() - m.left(), clientPos.y() - m.top());
    KeepNormalBounds();
}

void TCustomForm::HostDeactivated()
{
    if (!fActive)
        return;
    fActive = false;
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::PaintSelf(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
    TCanvasBinding binding(Canvas(), &painter);
    Paint();
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_NEXTDLGCTL && Message.LParam == 0) {
        SelectNext(ActiveControl(), Message.WParam == 0, true);
        return;
    }
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTCLIENT;
        return;
    }
    if (Message.Msg == WM_SYSCOMMAND) {
        switch (unsigned(Message.WParam) & 0xFFF0) {
        case SC_CLOSE: Close(); break;
        case SC_MAXIMIZE: SetWindowState(wsMaximized); break;
        case SC_RESTORE: SetWindowState(wsNormal); break;
        default: break;
        }
        return;
    }
    TWinControl::WndProc(Message);
}

void TCustomForm::CMDialogKey(TMessage& Message)
{
    const auto key = quint16(Message.WParam);
    const TShiftState shift = TShiftState(Message.LParam);
    if (!(shift & (ssCtrl | ssAlt))) {
        switch (key) {
        case VK_TAB:
            SelectNext(ActiveControl(), !(shift & ssShift), true);
            Message.Result = 1;
            return;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (ActiveControl()) {
                SelectNext(ActiveControl(), key == VK_RIGHT || key == VK_DOWN, false);
                Message.Result = 1;
                return;
            }
            break;
        default: break;
        }
    }
    // Every control sees the key (default and cancel buttons answer it).
    const std::function<void(TWinControl*)> offer = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount() && Message.Result == 0; ++i) {
            TControl* c = parent->Controls(i);
            c->WndProc(Message);
            if (auto* w = dynamic_cast<TWinControl*>(c); w && Message.Result == 0)
                offer(w);
        }
    };
    offer(this);
}

bool TCustomForm::DialogChar(QChar Key)
{
    TMessage m { CM_DIALOGCHAR, qintptr(Key.unicode()), 0, 0 };
    const std::function<void(TWinControl*)> offer = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount() && m.Result == 0; ++i) {
            TControl* c = parent->Controls(i);
            if (!c->Visible() || !c->Enabled())
                continue;
            c->WndProc(m);
            if (auto* w = dynamic_cast<TWinControl*>(c); w && m.Result == 0)
                offer(w);
        }
    };
    offer(this);
    return m.Result != 0;
}

// --- TApplication ---

TApplication::TApplication(TComponent* AOwner)
    : TComponent(AOwner)
{
    // The formats follow the locale from the start, not only once a window
    // has hooked the application's messages.
    WatchLocale();
}

TApplication::~TApplication()
{
    StopWatchingSession();
}

namespace {

// The self-pipe: a signal handler may only write a byte; the notifier reads
// it on the UI thread.
int gSignalPipe[2] = { -1, -1 };

void EndSignalHandler(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(gSignalPipe[1], &byte, 1);
    errno = saved;
}

const int kEndSignals[] = { SIGTERM, SIGHUP };

} // namespace

namespace {

// Turns Qt's locale change, sent to the application object, into the
// application's WM_WININICHANGE.
class TLocaleWatcher : public QObject {
public:
    explicit TLocaleWatcher(std::function<void()> changed)
        : fChanged(std::move(changed))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::LocaleChange)
            GuardedCall(fChanged);
        return false;
    }

private:
    std::function<void()> fChanged;
};

} // namespace

void TApplication::HookMainWindow(const void* Owner, TWindowHook Hook)
{
    UnhookMainWindow(Owner);
    fHooks.emplace_back(Owner, std::move(Hook));
    // An application made before the QApplication starts watching here.
    WatchLocale();
}

void TApplication::WatchLocale()
{
    if (!fLocaleWatcher && QCoreApplication::instance())
        fLocaleWatcher = std::make_unique<TLocaleWatcher>([this] { LocaleChanged(); });
}

void TApplication::UnhookMainWindow(const void* Owner)
{
    std::erase_if(fHooks, [Owner](const auto& hook) { return hook.first == Owner; });
}

void TApplication::LocaleChanged()
{
    if (fUpdateFormatSettings)
        ResetFormatSettings();
    TMessage message { WM_WININICHANGE };
    // A hook may remove itself or others: each owner is looked up afresh.
    std::vector<const void*> owners;
    for (const auto& hook : fHooks)
        owners.push_back(hook.first);
    for (const void* owner : owners) {
        auto it = std::find_if(fHooks.begin(), fHooks.end(), [owner](const auto& hook) { return hook.first == owner; });
        if (it == fHooks.end())
            continue;
        const TWindowHook hook = it->second;
        if (hook(message))
            return;
    }
}

void TApplication::Initialize()
{
    if (fSignalNotifier || !QCoreApplication::instance())
        return;
    if (gSignalPipe[0] < 0) {
        if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            gSignalPipe[0] = gSignalPipe[1] = -1;
            return;
        }
    }
    // A signal of an earlier run (tests run several) is not this run's end.
    char stale[16];
    while (::read(gSignalPipe[0], stale, sizeof stale) > 0) { }
    fSignalNotifier = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(fSignalNotifier.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        while (::read(gSignalPipe[0], bytes, sizeof bytes) > 0) { }
        EndSession(true);
    });
    struct sigaction action = {};
    action.sa_handler = EndSignalHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kEndSignals)
        sigaction(signal, &action, nullptr);
    // The session manager's request comes before it ends the session; the
    // session may still go on (a cancelled logout), so the program stays.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        fCommitData = QObject::connect(
            gui, &QGuiApplication::commitDataRequest, [this](QSessionManager&) { EndSession(false); });
}

void TApplication::StopWatchingSession()
{
    if (!fSignalNotifier)
        return;
    // The process's default again: a signal after the loop ends it at once.
    for (int signal : kEndSignals)
        std::signal(signal, SIG_DFL);
    fSignalNotifier.reset();
    QObject::disconnect(fCommitData);
}

void TApplication::EndSession(bool EndProcess)
{
    try {
        if (OnEndSession)
            OnEndSession(this);
    } catch (...) {
        // Nobody is asked anything now: the reason goes to the log.
        qWarning("%s", qUtf8Printable(CurrentExceptionMessage()));
    }
    if (!EndProcess)
        return;
    Terminate();
    // Our own modal loops end on Terminate; a dialog's loop ends when the
    // dialog is rejected, as if the user cancelled it.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
}

QString TApplication::ExeName() const
{
    return fExeName.isEmpty() ? QCoreApplication::applicationFilePath() : fExeName;
}

void TApplication::Run()
{
    if (fTerminated)
        return;
    fRunning = true;
    if (fShowMainForm && fMainForm)
        fMainForm->Show();
    while (!fTerminated)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    fRunning = false;
}

void TApplication::Terminate()
{
    fTerminated = true;
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TApplication::BringToFront()
{
    TCustomForm* form = fLastActive && fLastActive->Showing() ? fLastActive : fMainForm;
    if (form && form->Visible())
        form->BringToFront();
    else if (QWidget* w = QApplication::activeWindow())
        w->raise();
}

bool TApplication::Active() const
{
    return QApplication::activeWindow() != nullptr;
}

void TApplication::HandleException(TObject* Sender)
{
    const QString message = CurrentExceptionMessage();
    fHandled.append(message);
    if (OnException) {
        OnException(Sender, message);
        return;
    }
    ShowException(message);
}

void TApplication::ShowException(const QString& message)
{
    if (fPaintDepth > 0) {
        // No dialog inside a paint: show it once the loop runs again.
        fDeferred.append(message);
        if (fDeferred.size() == 1)
            QTimer::singleShot(0, QCoreApplication::instance(), [this] {
                const QStringList pending = std::exchange(fDeferred, {});
                for (const QString& m : pending)
                    ShowErrorBox(m);
            });
        return;
    }
    ShowErrorBox(message);
}

// --- TScreen ---

int TScreen::Width() const
{
    return Monitors().constFirst().BoundsRect.width();
}

int TScreen::Height() const
{
    return Monitors().constFirst().BoundsRect.height();
}

QList<TMonitor> TScreen::Monitors() const
{
    if (!fTestMonitors.isEmpty())
        return fTestMonitors;
    QList<TMonitor> result;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        result.append({ primary->geometry(), primary->availableGeometry() });
    for (QScreen* s : QGuiApplication::screens())
        if (s != primary)
            result.append({ s->geometry(), s->availableGeometry() });
    if (result.isEmpty())
        result.append({ QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768) });
    return result;
}

QRect TScreen::DesktopRect() const
{
    QRect desktop;
    for (const TMonitor& m : Monitors())
        desktop |= m.BoundsRect;
    return desktop;
}

TMonitor TScreen::MonitorFromRect(const QRect& r) const
{
    const QList<TMonitor> monitors = Monitors();
    // The largest overlap wins; without any, the smallest gap.
    auto score = [&r](const TMonitor& m) {
        const QRect common = m.BoundsRect & r;
        if (!common.isEmpty())
            return qint64(common.width()) * common.height();
        const qint64 dx = std::max({ 0, m.BoundsRect.left() - r.right(), r.left() - m.BoundsRect.right() });
        const qint64 dy = std::max({ 0, m.BoundsRect.top() - r.bottom(), r.top() - m.BoundsRect.bottom() });
        return -(dx * dx + dy * dy);
    };
    return *std::max_element(monitors.begin(), monitors.end(),
        [&score](const TMonitor& a, const TMonitor& b) { return score(a) < score(b); });
}

QCursor TScreen::CursorOf(TCursor id) const
{
    if (fCursor != crDefault && id != fCursor)
        return CursorOf(fCursor);
    if (auto it = fCustom.find(id); it != fCustom.end())
        return *it;
    switch (id) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crDrag: return QCursor(Qt::DragCopyCursor);
    case crNoDrop:
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

void TScreen::SetCursorImage(TCursor id, const QCursor& cursor)
{
    fCustom.insert(id, cursor);
}

void TScreen::SetCursor(TCursor value)
{
    if (value == fCursor)
        return;
    fCursor = value;
    if (value == crDefault) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    } else {
        QGuiApplication::setOverrideCursor(CursorOf(value));
    }
}

TCustomForm* TScreen::ActiveForm() const
{
    if (QWidget* w = QApplication::activeWindow())
        return dynamic_cast<TCustomForm*>(FindControl(w));
    return nullptr;
}

TWinControl* TScreen::ActiveControl() const
{
    QWidget* w = QApplication::focusWidget();
    while (w) {
        if (TWinControl* c = FindControl(w))
            return c;
        w = w->parentWidget();
    }
    return nullptr;
}

QPoint TScreen::CursorPos() const
{
    return QCursor::pos();
}

int TScreen::FormCount() const
{
    return int(FormList().size());
}

TCustomForm* TScreen::Forms(int index) const
{
    return FormList().at(index);
}

QPoint MouseCursorPos()
{
    return QCursor::pos();
}

// --- process-wide objects ---

namespace {
std::unique_ptr<TApplication>& AppHolder()
{
    static std::unique_ptr<TApplication> app;
    return app;
}
} // namespace

TApplication* Application()
{
    auto& holder = AppHolder();
    if (!holder)
        holder = std::make_unique<TApplication>();
    return holder.get();
}

TScreen* Screen()
{
    static TScreen screen;
    return &screen;
}

void FreeApplication()
{
    AppHolder().reset();
}
