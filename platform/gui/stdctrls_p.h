#pragma once

// Helpers shared by the standard controls that wrap Qt's own widgets:
// guarded signal connections, palette and font application, and a host for
// Qt's scroll-area widgets. Private to the standard control sources.

#include "platform/gui/host_p.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QPalette>

#include <utility>

// Connects a widget signal to f, which runs guarded and only while the host is
// still attached to its control (never during the control's destruction).
template <class Host, class Signal, class F> void ConnectGuarded(Host* host, Signal signal, F f)
{
    QObject::connect(host, signal, host, [host, f](auto&&... args) {
        if (host->Control())
            GuardedCall([&] { f(args...); });
    });
}

// As ConnectGuarded for a sender other than the host (a model, a header).
template <class Host, class Sender, class Signal, class F>
void ConnectGuardedFrom(Host* host, Sender* sender, Signal signal, F f)
{
    QObject::connect(sender, signal, host, [host, f](auto&&... args) {
        if (host->Control())
            GuardedCall([&] { f(args...); });
    });
}

// Applies a control's font and colours to a Qt widget: Color as the
// background role, Font.Color as the text role, grey text when disabled.
void ApplyControlPalette(
    QWidget* widget, const TControl* control, QPalette::ColorRole background, QPalette::ColorRole text);

// How a selection looks while its control is not focused.
enum class TInactiveSelection { Hidden, Grey, Highlight };

// The selection colours of an item view or edit: the system highlight while
// active; otherwise hidden (the plain colours), the button face, or unchanged.
void ApplySelectionPalette(QWidget* widget, const TControl* control, TInactiveSelection inactive);

// Qt's scroll-area widgets paint and take the mouse through their viewport:
// painting on the outer widget inside a viewport paint is not allowed, so the
// host lets the widget paint alone (scroll areas carry no windowless children).
template <class W> class TViewHost : public THost<W> {
public:
    template <class... Args>
    explicit TViewHost(TWinControl* control, Args&&... args)
        : THost<W>(control, std::forward<Args>(args)...)
    {
        this->viewport()->setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* e) override { W::paintEvent(e); }
};

// Scope helpers, in a namespace of their own: other sources have classes
// of similar names.
namespace stdctrls_p {

// Sets a flag for the lifetime of the scope.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag)
        : fFlag(flag)
        , fOld(flag)
    {
        fFlag = true;
    }
    ~TFlagScope() { fFlag = fOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& fFlag;
    bool fOld;
};

// Binds a canvas to a painter until the scope ends, also when drawing throws.
class TPainterScope {
public:
    TPainterScope(TCanvas* canvas, QPainter* painter)
        : fCanvas(canvas)
        , fPainter(painter)
    {
        fPainter->save();
        fCanvas->BeginPaint(fPainter);
    }
    ~TPainterScope()
    {
        fCanvas->EndPaint();
        fPainter->restore();
    }
    TPainterScope(const TPainterScope&) = delete;
    TPainterScope& operator=(const TPainterScope&) = delete;

private:
    TCanvas* fCanvas;
    QPainter* fPainter;
};

} // namespace stdctrls_p

// Ctrl+C, Ctrl+V and Ctrl+X arrive as the characters 3, 22 and 24: they run
// the control's own clipboard operation, so descendants can filter what
// travels, and the character is dropped. True when Key was one of them.
template <class TEditLike> bool HandleClipboardChar(TEditLike& edit, QChar& Key)
{
    switch (Key.unicode()) {
    case 3: edit.CopyToClipboard(); break;
    case 22: edit.PasteFromClipboard(); break;
    case 24: edit.CutToClipboard(); break;
    default: return false;
    }
    Key = QChar();
    return true;
}

// Shift+Insert pastes, Shift+Delete cuts and Ctrl+Insert copies through the
// control's own clipboard operations, and the key is dropped. True when Key
// was one of them.
template <class TEditLike> bool HandleClipboardKey(TEditLike& edit, quint16& Key, TShiftState Shift)
{
    const TShiftState mods = Shift & (ssShift | ssCtrl | ssAlt);
    if (Key == VK_INSERT && mods == ssShift)
        edit.PasteFromClipboard();
    else if (Key == VK_DELETE && mods == ssShift)
        edit.CutToClipboard();
    else if (Key == VK_INSERT && mods == ssCtrl)
        edit.CopyToClipboard();
    else
        return false;
    Key = 0;
    return true;
}

// No middle-button paste of the X11 selection in the edits: it would bypass
// the control's own paste and its filter, and the class library's edits have
// none. The control still hears the release. True when the event was taken.
inline bool SwallowMiddleButtonRelease(TWinControl* control, QMouseEvent* e)
{
    if (e->button() != Qt::MiddleButton)
        return false;
    if (control) {
        const QPoint pos = e->position().toPoint();
        GuardedCall([&] { control->HostMouseRelease(e->button(), e->modifiers(), e->buttons(), pos); });
    }
    e->accept();
    return true;
}

// Removes Qt's own mnemonic shortcut of a button caption: accelerators travel
// through the form's dialog characters, as every other control's do.
class QAbstractButton;
void SetButtonCaption(QAbstractButton* button, const QString& caption);
