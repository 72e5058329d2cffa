#pragma once

// The widget side of a windowed control: a Qt widget class that forwards its
// events to the control model. Private to the layer and to the standard
// controls that wrap a Qt widget.

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

#include <type_traits>

// What every host offers whatever Qt class it wraps.
class IHost {
public:
    virtual ~IHost() = default;
    virtual void Detach() = 0;
};

// Marks widgets with their control so FindControl works for any host.
void RegisterHost(QWidget* widget, TWinControl* control);
void UnregisterHost(QWidget* widget);

template <class W> class THost : public W, public IHost {
public:
    // Qt's own widgets paint themselves; a plain QWidget host paints the control.
    static constexpr bool kNative = !std::is_same_v<W, QWidget>;

    template <class... Args>
    explicit THost(TWinControl* control, Args&&... args)
        : W(std::forward<Args>(args)...)
        , fControl(control)
    {
        RegisterHost(this, control);
        this->setMouseTracking(true);
        if constexpr (!kNative) {
            this->setAttribute(Qt::WA_OpaquePaintEvent, false);
            this->setFocusPolicy(Qt::NoFocus);
        }
    }
    ~THost() override
    {
        UnregisterHost(this);
        if (fControl)
            fControl->HandleDestroyed();
    }

    // Cut off from the control while the control tree is torn down, so no
    // event reaches a half-destroyed control.
    void Detach() override { fControl = nullptr; }
    TWinControl* Control() const { return fControl; }

protected:
    bool event(QEvent* e) override
    {
        if (fControl && e->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(e);
            // Tab goes through the dialog keys of the form, not Qt's focus chain.
            if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
                keyPressEvent(ke);
                return true;
            }
        }
        if (fControl && e->type() == QEvent::ToolTip) {
            auto* he = static_cast<QHelpEvent*>(e);
            bool shown = false;
            GuardedCall([&] { shown = fControl->HostToolTip(he->pos(), he->globalPos()); });
            if (!shown)
                e->ignore();
            return true;
        }
        return W::event(e);
    }

    void paintEvent(QPaintEvent* e) override
    {
        if (!fControl) {
            if constexpr (kNative)
                W::paintEvent(e);
            return;
        }
        if constexpr (kNative)
            W::paintEvent(e);
        QPainter painter(this);
        Application()->EnterPaint();
        GuardedCall([&] {
            if constexpr (kNative)
                fControl->PaintNativeOverlay(painter, e->rect());
            else
                fControl->PaintWindow(painter, e->rect());
        });
        Application()->LeavePaint();
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        if constexpr (kNative)
            W::mousePressEvent(e);
        if (!fControl)
            return;
        e->accept();
        const QPoint pos = e->position().toPoint();
        GuardedCall([&] { fControl->HostMousePress(e->button(), e->modifiers(), e->buttons(), pos, false); });
    }

    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if constexpr (kNative)
            W::mouseDoubleClickEvent(e);
        if (!fControl)
            return;
        e->accept();
        const QPoint pos = e->position().toPoint();
        GuardedCall([&] { fControl->HostMousePress(e->button(), e->modifiers(), e->buttons(), pos, true); });
    }

    void mouseMoveEvent(QMouseEvent* e) override
    {
        if constexpr (kNative)
            W::mouseMoveEvent(e);
        if (!fControl)
            return;
        e->accept();
        const QPoint pos = e->position().toPoint();
        GuardedCall([&] { fControl->HostMouseMove(e->modifiers(), e->buttons(), pos); });
    }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if constexpr (kNative)
            W::mouseReleaseEvent(e);
        if (!fControl)
            return;
        e->accept();
        const QPoint pos = e->position().toPoint();
        GuardedCall([&] { fControl->HostMouseRelease(e->button(), e->modifiers(), e->buttons(), pos); });
    }

    void leaveEvent(QEvent* e) override
    {
        W::leaveEvent(e);
        if (fControl)
            GuardedCall([&] { fControl->HostMouseLeave(); });
    }

    void keyPressEvent(QKeyEvent* e) override
    {
        if (!fControl) {
            W::keyPressEvent(e);
            return;
        }
        bool consumed = false;
        QChar replaced;
        bool dropped = false;
        GuardedCall(
            [&] { consumed = fControl->HostKeyPress(e->key(), e->modifiers(), e->text(), &replaced, &dropped); });
        if (consumed || dropped || !fControl) {
            e->accept();
            return;
        }
        if constexpr (kNative) {
            if (!replaced.isNull() && replaced != (e->text().isEmpty() ? QChar() : e->text()[0])) {
                QKeyEvent substitute(
                    e->type(), e->key(), e->modifiers(), QString(replaced), e->isAutoRepeat(), ushort(e->count()));
                WidgetKeyPress(&substitute);
            } else {
                WidgetKeyPress(e);
            }
        } else {
            e->accept(); // or Qt offers the key to every parent
        }
    }

    // The key as Qt's own widget handles it, once the control let it through.
    virtual void WidgetKeyPress(QKeyEvent* e) { W::keyPressEvent(e); }

    void keyReleaseEvent(QKeyEvent* e) override
    {
        if (!fControl) {
            W::keyReleaseEvent(e);
            return;
        }
        bool consumed = false;
        GuardedCall([&] { consumed = fControl->HostKeyRelease(e->key(), e->modifiers()); });
        if constexpr (kNative) {
            if (!consumed) {
                W::keyReleaseEvent(e);
                return;
            }
        }
        e->accept();
    }

    // A pop-up menu takes the keyboard only while it is open; the control
    // keeps the focus as far as the program is concerned.
    void focusInEvent(QFocusEvent* e) override
    {
        W::focusInEvent(e);
        if (fControl && e->reason() != Qt::PopupFocusReason)
            GuardedCall([&] { fControl->HostFocusIn(); });
    }

    void focusOutEvent(QFocusEvent* e) override
    {
        W::focusOutEvent(e);
        if (fControl && e->reason() != Qt::PopupFocusReason)
            GuardedCall([&] { fControl->HostFocusOut(); });
    }

    void resizeEvent(QResizeEvent* e) override
    {
        W::resizeEvent(e);
        if (fControl)
            GuardedCall([&] { fControl->HostResized(e->size().width(), e->size().height()); });
    }

    // A window moved by the window manager or by the user tells its form,
    // as a resize does; other widgets are placed by their control.
    void moveEvent(QMoveEvent* e) override
    {
        W::moveEvent(e);
        if (auto* form = dynamic_cast<TCustomForm*>(fControl); form && this->isWindow())
            GuardedCall([&] { form->HostMoved(e->pos()); });
    }

    void contextMenuEvent(QContextMenuEvent* e) override
    {
        if (!fControl) {
            W::contextMenuEvent(e);
            return;
        }
        bool handled = false;
        GuardedCall([&] { handled = fControl->HostContextMenu(e->pos()); });
        if (handled)
            e->accept();
        else if constexpr (kNative)
            W::contextMenuEvent(e);
        else
            e->ignore();
    }

    void closeEvent(QCloseEvent* e) override
    {
        auto* form = dynamic_cast<TCustomForm*>(fControl);
        if (!form || !e->spontaneous()) {
            W::closeEvent(e);
            return;
        }
        // The window manager asks: the form decides and hides itself.
        e->ignore();
        GuardedCall([&] { form->HostCloseRequested(); });
    }

    void changeEvent(QEvent* e) override
    {
        W::changeEvent(e);
        if (e->type() == QEvent::WindowStateChange) {
            if (auto* form = dynamic_cast<TCustomForm*>(fControl))
                GuardedCall([&] { form->HostWindowStateChanged(); });
        }
        if (e->type() == QEvent::ActivationChange) {
            if (auto* form = dynamic_cast<TCustomForm*>(fControl)) {
                if (this->isActiveWindow())
                    GuardedCall([&] { form->HostActivated(); });
                else
                    GuardedCall([&] { form->HostDeactivated(); });
            }
        }
    }

private:
    TWinControl* fControl;
};

// Cuts the widget of a control off from it (any host type).
void DetachHost(QWidget* widget);
