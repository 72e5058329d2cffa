#include "controls.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/host_p.h"
#include "platform/gui/menus.h"

#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

// --- hosts registry ---

namespace {

QHash<const QWidget*, TWinControl*>& Hosts()
{
    static QHash<const QWidget*, TWinControl*> hosts;
    return hosts;
}

// The control under the mouse and the one holding the capture, with alive
// tokens so a destroyed control is never told anything.
struct TrackedControl {
    TControl* control = nullptr;
    std::weak_ptr<bool> alive;

    TControl* Get() const { return alive.expired() ? nullptr : control; }
    void Set(TControl* c)
    {
        control = c;
        alive = c ? c->AliveToken() : std::weak_ptr<bool>();
    }
};

TrackedControl& Hovered()
{
    static TrackedControl hovered;
    return hovered;
}

TrackedControl& Captured()
{
    static TrackedControl captured;
    return captured;
}

// A control about to be hidden or disabled gives up the focus held inside
// it: its form keeps the focus, as in the class library. Qt would leave it
// on the hidden widget or pass it along Qt's own chain.
void RemoveFocus(TWinControl* control)
{
    TCustomForm* form = control->GetParentForm();
    if (!form || form == control)
        return;
    const TWinControl* active = form->ActiveControl();
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* handle = control->Handle();
    if ((active && control->ContainsControl(active))
        || (focus && handle && (focus == handle || handle->isAncestorOf(focus))))
        form->SetActiveControl(nullptr);
}

} // namespace

void RegisterHost(QWidget* widget, TWinControl* control)
{
    Hosts().insert(widget, control);
}

void UnregisterHost(QWidget* widget)
{
    Hosts().remove(widget);
}

void DetachHost(QWidget* widget)
{
    if (auto* host = dynamic_cast<IHost*>(widget))
        host->Detach();
    Hosts().remove(widget);
}

TWinControl* FindControl(const QWidget* widget)
{
    return Hosts().value(widget, nullptr);
}

bool GuardedCall(const std::function<void()>& f) noexcept
{
    try {
        f();
        return true;
    } catch (...) {
        // Nothing unwinds through Qt: the application's handler tells the user.
        try {
            Application()->HandleException(nullptr);
        } catch (...) {
            // The error box itself failed: nothing more can be told.
        }
        return false;
    }
}

// --- small helpers ---

TShortCut ShortCut(quint16 key, TShiftState shift)
{
    TShortCut result = key;
    if (shift & ssShift)
        result |= scShift;
    if (shift & ssCtrl)
        result |= scCtrl;
    if (shift & ssAlt)
        result |= scAlt;
    return result;
}

bool IsNavigationKey(quint16 key)
{
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT: return true;
    default: return false;
    }
}

QString GetShortHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

QString GetLongHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

bool IsAccel(QChar key, const QString& caption)
{
    qsizetype i = 0;
    while ((i = caption.indexOf(u'&', i)) >= 0 && i + 1 < caption.size()) {
        if (caption[i + 1] == u'&') {
            i += 2;
            continue;
        }
        return caption[i + 1].toUpper() == key.toUpper();
    }
    return false;
}

QString EscapeAccelChars(const QString& text)
{
    QString caption = text;
    return caption.replace(u'&', QStringLiteral("&&"));
}

QString StripAccelChars(const QString& caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && ++i == caption.size())
            break;
        text += caption[i];
    }
    return text;
}

quint16 QtKeyToVirtualKey(int qtKey, Qt::KeyboardModifiers mods)
{
    // Only the numeric pad's + and - are the add and subtract keys.
    const bool keypad = mods & Qt::KeypadModifier;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return quint16(qtKey); // same codes as 'A'..'Z'
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return quint16(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return quint16(VK_F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    default: return 0;
    }
}

TShiftState QtShiftState(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (mods & Qt::ShiftModifier)
        s |= ssShift;
    if (mods & Qt::ControlModifier)
        s |= ssCtrl;
    if (mods & Qt::AltModifier)
        s |= ssAlt;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

QChar KeyChar(int qtKey, Qt::KeyboardModifiers mods, const QString& text)
{
    // Derived from the key, not from text(): Qt's text for Ctrl+letter varies.
    if ((mods & Qt::ControlModifier) && qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return QChar(char16_t(qtKey - Qt::Key_A + 1));
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return (mods & Qt::ControlModifier) ? QChar(10) : QChar(13);
    case Qt::Key_Escape: return QChar(27);
    case Qt::Key_Backspace: return QChar(8);
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return QChar(9);
    default: break;
    }
    if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127)
        return QChar();
    return text[0];
}

// --- the control under the mouse ---

TControl* ControlUnderMouse()
{
    return Hovered().Get();
}

void SetControlUnderMouse(TControl* control)
{
    TControl* old = Hovered().Get();
    if (old == control)
        return;
    Hovered().Set(control);
    if (old)
        old->Perform(CM_MOUSELEAVE);
    if (control && Hovered().Get() == control)
        control->Perform(CM_MOUSEENTER);
}

TControl* CaptureControl()
{
    return Captured().Get();
}

TControl* FindDragTarget(const QPoint& screenPos, bool AllowDisabled)
{
    QWidget* widget = QApplication::widgetAt(screenPos);
    TWinControl* host = nullptr;
    while (widget && !(host = FindControl(widget)))
        widget = widget->parentWidget();
    if (!host)
        return nullptr;
    const QPoint local = host->Handle()->mapFromGlobal(screenPos);
    if (TControl* child = host->ControlAtPos(local, AllowDisabled, false))
        return child;
    return host;
}

// --- TCanvasBinding ---

TCanvasBinding::TCanvasBinding(TCanvas* canvas, QPainter* painter)
    : fCanvas(canvas)
    , fPainter(painter)
{
    if (fPainter)
        fPainter->save();
    fCanvas->BeginPaint(fPainter);
}

TCanvasBinding::~TCanvasBinding()
{
    fCanvas->EndPaint();
    if (fPainter)
        fPainter->restore();
}

// --- TControlCanvas ---

TControlCanvas::TControlCanvas(TControl* control)
    : fControl(control)
{
}

TControlCanvas::~TControlCanvas() = default;

QPainter* TControlCanvas::AcquirePainter()
{
    if (!fOverlayPainter) {
        QImage& overlay = fControl->OverlayImage();
        if (overlay.isNull())
            return nullptr;
        fOverlayPainter = std::make_unique<QPainter>(&overlay);
    }
    return fOverlayPainter.get();
}

void TControlCanvas::ReleasePainter()
{
    fOverlayPainter.reset();
}

QImage* TControlCanvas::TargetImage()
{
    ReleasePainter();
    QImage& overlay = fControl->OverlayImage();
    return overlay.isNull() ? nullptr : &overlay;
}

QSize TControlCanvas::TargetSize() const
{
    return QSize(fControl->Width(), fControl->Height());
}

void TControlCanvas::Changed()
{
    TCanvas::Changed();
    if (!IsBound())
        fControl->InvalidateKeepOverlay();
}

void TControlCanvas::PixelChanged(QPoint device)
{
    TCanvas::Changed();
    if (!IsBound())
        fControl->InvalidateKeepOverlay(QRect(device, QSize(1, 1)));
}

void TControlCanvas::ReleaseOverlayPainter()
{
    ReleasePainter();
}

// --- TControl ---

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner)
    , fFont(std::make_unique<TFont>())
    , fCanvas(std::make_unique<TControlCanvas>(this))
    , fAlive(std::make_shared<bool>(true))
{
    fFont->OnChange = [this] { FontChanged(); };
    fCanvas->Font()->Assign(*fFont);
}

TControl::~TControl()
{
    fComponentState |= csDestroying;
    NotifyFreeNotifiers();
    if (Hovered().control == this)
        Hovered().Set(nullptr);
    if (Captured().control == this)
        Captured().Set(nullptr);
    fAlive.reset();
    if (fParent)
        fParent->RemoveControl(this);
    fCanvas->ReleaseOverlayPainter();
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == fParent)
        return;
    if (AParent == this)
        throw EInvalidOp(QStringLiteral("A control cannot have itself as its parent"));
    if (fParent)
        fParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
    if (fParent) {
        if (fParentFont)
            ApplyParentFont();
        if (fParentColor)
            ApplyParentColor();
    }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (fConstraints.MinWidth > 0)
        AWidth = std::max(AWidth, fConstraints.MinWidth);
    if (fConstraints.MaxWidth > 0)
        AWidth = std::min(AWidth, fConstraints.MaxWidth);
    if (fConstraints.MinHeight > 0)
        AHeight = std::max(AHeight, fConstraints.MinHeight);
    if (fConstraints.MaxHeight > 0)
        AHeight = std::min(AHeight, fConstraints.MaxHeight);
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    const bool moved = ALeft != fLeft || ATop != fTop;
    const bool resized = AWidth != fWidth || AHeight != fHeight;
    if (fParent && !fParent->fAligning) {
        // Remember the distances the anchors keep.
        const QRect pc = fParent->ClientRect();
        fAnchorRight = pc.width() - (ALeft + AWidth);
        fAnchorBottom = pc.height() - (ATop + AHeight);
        fAnchorsKnown = true;
    }
    if (!moved && !resized)
        return;
    const QRect old = BoundsRect();
    fLeft = ALeft;
    fTop = ATop;
    fWidth = AWidth;
    fHeight = AHeight;
    if (resized)
        fOverlay = QImage();
    BoundsChanged();
    if (fWindowless && fParent && fParent->Handle()) {
        fParent->Handle()->update(old);
        fParent->Handle()->update(BoundsRect());
    }
    if (resized) {
        // WM_SIZE carries the client size, as the window system reports it.
        const QRect client = ClientRect();
        TMessage m{WM_SIZE, 0, qintptr(quint32(client.width()) | (quint32(client.height()) << 16)), 0};
        WndProc(m);
        Resize();
    }
    if (fParent && fAlign != alNone && !fParent->fAligning)
        fParent->Realign();
}

void TControl::BoundsChanged() {}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::SetClientWidth(int v)
{
    SetClientSize(v, ClientHeight());
}

void TControl::SetClientHeight(int v)
{
    SetClientSize(ClientWidth(), v);
}

void TControl::SetClientSize(int w, int h)
{
    const QRect c = ClientRect();
    SetBounds(fLeft, fTop, fWidth - c.width() + w, fHeight - c.height() + h);
}

QPoint TControl::ClientOrigin() const
{
    if (auto* self = dynamic_cast<const TWinControl*>(this); self && self->Handle())
        return self->Handle()->mapToGlobal(QPoint(0, 0));
    if (fParent)
        return fParent->ClientOrigin() + QPoint(fLeft, fTop);
    return QPoint(fLeft, fTop);
}

QPoint TControl::ClientToScreen(const QPoint& p) const
{
    return ClientOrigin() + p;
}

QPoint TControl::ScreenToClient(const QPoint& p) const
{
    return p - ClientOrigin();
}

QPoint TControl::ClientToParent(const QPoint& p, const TWinControl* ancestor) const
{
    QPoint result = p;
    const TControl* c = this;
    while (c && c != ancestor) {
        result += QPoint(c->fLeft, c->fTop);
        c = c->fParent;
    }
    return result;
}

void TControl::SetAlign(TAlign value)
{
    if (value == fAlign)
        return;
    fAlign = value;
    if (fParent)
        fParent->Realign();
}

void TControl::SetAnchors(TAnchors value)
{
    fAnchors = value;
}

void TControl::SetVisible(bool value)
{
    if (value == fVisible)
        return;
    VisibleChanging();
    fVisible = value;
    if (fParent && fParent->Handle())
        fParent->Handle()->update(BoundsRect());
    Perform(CM_VISIBLECHANGED, value);
    if (fParent && fAlign != alNone)
        fParent->Realign();
}

bool TControl::Showing() const
{
    return fVisible && fParent && fParent->Showing();
}

void TControl::SetEnabled(bool value)
{
    if (value == fEnabled)
        return;
    fEnabled = value;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::IsEnabledInTree() const
{
    for (const TControl* c = this; c; c = c->fParent)
        if (!c->fEnabled)
            return false;
    return true;
}

void TControl::SetColor(TColor value)
{
    if (value == fColor)
        return;
    fColor = value;
    fParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value)
{
    if (value == fParentColor)
        return;
    fParentColor = value;
    if (value && fParent)
        ApplyParentColor();
}

void TControl::ApplyParentColor()
{
    if (fParent && fParent->fColor != fColor) {
        fColor = fParent->fColor;
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetParentFont(bool value)
{
    if (value == fParentFont)
        return;
    fParentFont = value;
    if (value && fParent)
        ApplyParentFont();
}

void TControl::ApplyParentFont()
{
    if (!fParent)
        return;
    fApplyingParentFont = true;
    fFont->Assign(*fParent->Font());
    fApplyingParentFont = false;
}

void TControl::FontChanged()
{
    if (!fApplyingParentFont)
        fParentFont = false;
    fCanvas->Font()->Assign(*fFont);
    Perform(CM_FONTCHANGED);
}

void TControl::SetText(const QString& value)
{
    if (value == fText)
        return;
    fText = value;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetHint(const QString& value)
{
    fHint = value;
}

void TControl::SetShowHint(bool value)
{
    fShowHint = value;
    fParentShowHint = false;
}

void TControl::SetCursor(TCursor value)
{
    if (value == fCursor)
        return;
    fCursor = value;
    Perform(CM_CURSORCHANGED);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->Handle())
        self->Handle()->setCursor(Screen()->CursorOf(value));
}

void TControl::SetPopupMenu(TPopupMenu* value)
{
    fPopupMenu = value;
}

void TControl::SetComponentStateBit(unsigned bit, bool on)
{
    fComponentState = on ? (fComponentState | bit) : (fComponentState & ~bit);
}

bool TControl::MouseCapture() const
{
    return CaptureControl() == this;
}

void TControl::SetMouseCapture(bool value)
{
    if (value)
        Captured().Set(this);
    else if (Captured().control == this)
        Captured().Set(nullptr);
    if (fParent && fWindowless)
        fParent->fCaptureControl = value ? this : nullptr;
}

QImage& TControl::OverlayImage()
{
    if (fOverlay.isNull() && fWidth > 0 && fHeight > 0) {
        fOverlay = QImage(fWidth, fHeight, QImage::Format_ARGB32_Premultiplied);
        fOverlay.fill(Qt::transparent);
    }
    return fOverlay;
}

void TControl::Invalidate()
{
    fCanvas->ReleaseOverlayPainter();
    fOverlay = QImage();
    InvalidateKeepOverlay();
}

void TControl::InvalidateKeepOverlay(const QRect& area)
{
    if (!fWindowless) {
        // A window shows its own overlay: a form has no parent to ask.
        if (QWidget* handle = static_cast<TWinControl*>(this)->Handle())
            area.isNull() ? handle->update() : handle->update(area);
        return;
    }
    if (fParent && fParent->Handle())
        fParent->Handle()->update(area.isNull() ? BoundsRect() : area.translated(fLeft, fTop));
}

void TControl::Repaint()
{
    fCanvas->ReleaseOverlayPainter();
    fOverlay = QImage();
    if (fParent && fParent->Handle() && fParent->Handle()->isVisible())
        fParent->Handle()->repaint(BoundsRect());
}

void TControl::Update()
{
    if (fParent)
        fParent->Update();
}

void TControl::PaintTo(TCanvas& canvas, int x, int y)
{
    if (fWidth <= 0 || fHeight <= 0)
        return;
    QImage image(fWidth, fHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        {
            TCanvasBinding binding(fCanvas.get(), &painter);
            Application()->EnterPaint();
            GuardedCall([this] { Paint(); });
            Application()->LeavePaint();
        }
        if (!fOverlay.isNull()) {
            fCanvas->ReleaseOverlayPainter();
            painter.drawImage(0, 0, fOverlay);
        }
    }
    canvas.DrawImage(QRect(x, y, fWidth, fHeight), image, image.rect());
}

std::unique_ptr<TBitmap> TControl::RenderToBitmap()
{
    // A window renders its widget: for a form that is the client area.
    QSize size(fWidth, fHeight);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->Handle())
        size = self->Handle()->size();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(size.width(), size.height());
    bitmap->Canvas()->Brush()->SetColor(ColorToRGB(fColor));
    bitmap->Canvas()->FillRect(QRect(QPoint(0, 0), size));
    PaintTo(*bitmap->Canvas(), 0, 0);
    return bitmap;
}

qintptr TControl::Perform(unsigned Msg, qintptr WParam, qintptr LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_DIALOGCHAR: CMDialogChar(Message); break;
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); break;
    case CM_CANCELMODE: CMCancelMode(Message); break;
    case CM_HINTSHOW: CMHintShow(Message); break;
    case WM_SIZE: WMSize(Message); break;
    case WM_CANCELMODE: WMCancelMode(Message); break;
    default: break;
    }
}

void TControl::CMMouseEnter(TMessage&)
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&)
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::CMEnabledChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMVisibleChanged(TMessage&) {}

void TControl::CMFontChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMColorChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMTextChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMParentFontChanged(TMessage&)
{
    if (fParentFont)
        ApplyParentFont();
}

void TControl::CMParentColorChanged(TMessage&)
{
    if (fParentColor)
        ApplyParentColor();
}

void TControl::WMCancelMode(TMessage&)
{
    if (MouseCapture())
        SetMouseCapture(false);
}

void TControl::Loaded()
{
    fComponentState &= ~csLoading;
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == fPopupMenu)
        fPopupMenu = nullptr;
}

void TControl::FreeNotification(TControl* AComponent)
{
    if (AComponent && !AComponent->fFreeNotifies.contains(this))
        AComponent->fFreeNotifies.append(this);
    if (AComponent && !fFreeNotifies.contains(AComponent))
        fFreeNotifies.append(AComponent);
}

void TControl::RemoveFreeNotification(TControl* AComponent)
{
    if (!AComponent)
        return;
    AComponent->fFreeNotifies.removeAll(this);
    fFreeNotifies.removeAll(AComponent);
}

void TControl::NotifyFreeNotifiers()
{
    const QList<TControl*> notifies = std::exchange(fFreeNotifies, {});
    for (TControl* other : notifies) {
        other->fFreeNotifies.removeAll(this);
        other->Notification(this, opRemove);
    }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool Double)
{
    if (Button == mbLeft) {
        if (Double && (fControlStyle & csDoubleClicks)) {
            if (fControlStyle & csCaptureMouse)
                SetMouseCapture(true);
            if (fControlStyle & csClickEvents)
                DblClick();
            MouseDown(mbLeft, Shift | ssDouble, X, Y);
            return;
        }
        if (fControlStyle & csCaptureMouse)
            SetMouseCapture(true);
        if (fControlStyle & csClickEvents)
            fControlState |= csClicked;
        fControlState |= csLButtonDown;
    }
    MouseDown(Button, Shift, X, Y);
}

void TControl::DoMouseMove(TShiftState Shift, int X, int Y)
{
    MouseMove(Shift, X, Y);
}

void TControl::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (fControlStyle & csCaptureMouse)
            SetMouseCapture(false);
        fControlState &= ~csLButtonDown;
        if (fControlState & csClicked) {
            fControlState &= ~csClicked;
            // A click only when released inside.
            if (ClientRect().contains(X, Y))
                Click();
        }
    }
    if (!AliveToken().expired())
        MouseUp(Button, Shift, X, Y);
}

bool TControl::DoContextPopup(QPoint MousePos)
{
    bool handled = false;
    if (OnContextPopup)
        OnContextPopup(this, MousePos, handled);
    if (handled)
        return true;
    for (const TControl* c = this; c; c = c->fParent) {
        if (c->fPopupMenu && c->fPopupMenu->AutoPopup()) {
            const QPoint at = MousePos.x() == -1 && MousePos.y() == -1 ? ClientToScreen(QPoint(0, 0))
                                                                        : ClientToScreen(MousePos);
            c->fPopupMenu->SetPopupComponent(const_cast<TControl*>(this));
            c->fPopupMenu->Popup(at.x(), at.y());
            return true;
        }
    }
    return false;
}

TCustomForm* TControl::GetParentForm() const
{
    const TControl* c = this;
    while (c->fParent)
        c = c->fParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// --- TGraphicControl ---

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner)
{
    SetWindowless(true);
}

// --- TWinControl ---

TWinControl::TWinControl(TComponent* AOwner, const TWidgetFactory& factory)
    : TControl(AOwner)
{
    SetWindowless(false);
    fHandle = factory ? factory(this) : new THost<QWidget>(this);
    fHandle->hide();
    ApplyWidgetStyle();
}

TWinControl::~TWinControl()
{
    MarkDestroying();
    while (!fControls.isEmpty()) {
        TControl* child = fControls.last();
        delete child; // removes itself from fControls
    }
    if (QWidget* handle = std::exchange(fHandle, nullptr)) {
        DetachHost(handle);
        if (Captured().control == this)
            Captured().Set(nullptr);
        handle->hide();
        delete handle;
    }
}

void TWinControl::MarkDestroying()
{
    fDestroying = true;
    if (fHandle)
        DetachHost(fHandle);
    for (TControl* c : fControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->MarkDestroying();
}

void TWinControl::InsertControl(TControl* AControl)
{
    AControl->fParent = this;
    fControls.append(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        fTabList.append(w);
        if (w->fHandle) {
            w->fHandle->setParent(fHandle);
            w->fHandle->setGeometry(w->BoundsRect());
            // setParent hides the widget: show it again when it should be.
            w->fHandle->setVisible(w->fVisible);
        }
    } else if (fHandle) {
        fHandle->update(AControl->BoundsRect());
    }
    if (AControl->fAlign != alNone)
        Realign();
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (fCaptureControl == AControl)
        fCaptureControl = nullptr;
    if (fPaintCopyStop == AControl)
        fPaintCopyStop = nullptr;
    fControls.removeAll(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        fTabList.removeAll(w);
        if (w->fHandle && !fDestroying) {
            w->fHandle->hide();
            w->fHandle->setParent(nullptr);
        }
    } else if (fHandle && !fDestroying) {
        fHandle->update(AControl->BoundsRect());
    }
    AControl->fParent = nullptr;
    if (!fDestroying && AControl->fAlign != alNone)
        Realign();
}

void TWinControl::BringControlToFront(TControl* AControl)
{
    if (fControls.removeAll(AControl)) {
        fControls.append(AControl);
        if (auto* w = dynamic_cast<TWinControl*>(AControl); w && w->fHandle)
            w->fHandle->raise();
        Invalidate();
    }
}

void TWinControl::SendControlToBack(TControl* AControl)
{
    if (fControls.removeAll(AControl)) {
        fControls.prepend(AControl);
        if (auto* w = dynamic_cast<TWinControl*>(AControl); w && w->fHandle)
            w->fHandle->lower();
        Invalidate();
    }
}

TControl* TWinControl::ControlAtPos(const QPoint& pos, bool AllowDisabled, bool AllowWinControls) const
{
    const auto accepts = [&](const TControl* c) {
        return c->fVisible && (AllowDisabled || c->fEnabled) && c->BoundsRect().contains(pos);
    };
    if (AllowWinControls)
        for (qsizetype i = fControls.size() - 1; i >= 0; --i)
            if (!fControls[i]->fWindowless && accepts(fControls[i]))
                return fControls[i];
    for (qsizetype i = fControls.size() - 1; i >= 0; --i)
        if (fControls[i]->fWindowless && accepts(fControls[i]))
            return fControls[i];
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    const QList<TControl*> controls = fControls;
    for (TControl* c : controls) {
        c->WndProc(Message);
        if (Message.Result != 0)
            return;
    }
}

bool TWinControl::ContainsControl(const TControl* AControl) const
{
    for (const TControl* c = AControl; c; c = c->fParent)
        if (c == this)
            return true;
    return false;
}

void TWinControl::SetTabStop(bool value)
{
    fTabStop = value;
    if (fHandle)
        fHandle->setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

int TWinControl::TabOrder() const
{
    return fParent ? int(fParent->fTabList.indexOf(const_cast<TWinControl*>(this))) : -1;
}

void TWinControl::SetTabOrder(int value)
{
    if (!fParent)
        return;
    QList<TWinControl*>& list = fParent->fTabList;
    list.removeAll(this);
    list.insert(std::clamp<qsizetype>(value, 0, list.size()), this);
}

QList<TWinControl*> TWinControl::TabOrderList() const
{
    QList<TWinControl*> out;
    for (TWinControl* w : fTabList) {
        out.append(w);
        out.append(w->TabOrderList());
    }
    return out;
}

bool TWinControl::CanFocus() const
{
    if (!fHandle)
        return false;
    for (const TControl* c = this; c; c = c->fParent)
        if (!c->fVisible || !c->fEnabled)
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (TCustomForm* form = GetParentForm(); form && form != this)
        form->SetActiveControl(this);
    else if (fHandle)
        fHandle->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const
{
    return fHandle && fHandle->hasFocus();
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const
{
    const QList<TWinControl*> list = TabOrderList();
    if (list.isEmpty())
        return nullptr;
    qsizetype start = CurControl ? list.indexOf(CurControl) : -1;
    if (start < 0)
        start = GoForward ? list.size() - 1 : 0;
    qsizetype i = start;
    for (qsizetype n = 0; n < list.size(); ++n) {
        i = GoForward ? (i + 1) % list.size() : (i - 1 + list.size()) % list.size();
        TWinControl* w = list[i];
        if ((!CheckTabStop || w->fTabStop) && (!CheckParent || w->fParent == this) && w->CanFocus())
            return w;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, false))
        next->SetFocus();
}

bool TWinControl::DoKeyDown(quint16& Key, TShiftState Shift)
{
    TWinControl* form = GetParentForm();
    if (form && form != this && static_cast<TCustomForm*>(form)->KeyPreview()) {
        form->KeyDown(Key, Shift);
        if (Key == 0)
            return true;
    }
    KeyDown(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyPress(QChar& Key)
{
    TWinControl* form = GetParentForm();
    if (form && form != this && static_cast<TCustomForm*>(form)->KeyPreview()) {
        form->KeyPress(Key);
        if (Key.isNull())
            return true;
    }
    KeyPress(Key);
    return Key.isNull();
}

bool TWinControl::DoKeyUp(quint16& Key, TShiftState Shift)
{
    TWinControl* form = GetParentForm();
    if (form && form != this && static_cast<TCustomForm*>(form)->KeyPreview()) {
        form->KeyUp(Key, Shift);
        if (Key == 0)
            return true;
    }
    KeyUp(Key, Shift);
    return Key == 0;
}

void TWinControl::KeyDown(quint16& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(QChar& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::KeyUp(quint16& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

bool TWinControl::WantsKey(quint16, TShiftState) const
{
    return false;
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::SetBorderWidth(int value)
{
    fBorderWidth = std::max(0, value);
    Realign();
    Invalidate();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int oldW = Width(), oldH = Height();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Width() != oldW || Height() != oldH)
        Realign();
}

void TWinControl::BoundsChanged()
{
    if (fHandle)
        fHandle->setGeometry(BoundsRect());
}

void TWinControl::SetParent(TWinControl* AParent)
{
    TControl::SetParent(AParent);
}

void TWinControl::SetVisible(bool value)
{
    const bool changed = value != Visible();
    if (changed && !value)
        RemoveFocus(this);
    TControl::SetVisible(value);
    // A control without a parent never shows a window of its own.
    if (changed && fHandle && (fParent || fHandle->isWindow()))
        fHandle->setVisible(value);
}

void TWinControl::SetEnabled(bool value)
{
    if (!value && Enabled())
        RemoveFocus(this);
    if (fHandle)
        fHandle->setEnabled(value);
    TControl::SetEnabled(value);
}

void TWinControl::CMEnabledChanged(TMessage& Message)
{
    TControl::CMEnabledChanged(Message);
}

void TWinControl::Invalidate()
{
    Canvas()->ReleaseOverlayPainter();
    ClearOverlay();
    if (fHandle)
        fHandle->update();
}

void TWinControl::Repaint()
{
    Canvas()->ReleaseOverlayPainter();
    ClearOverlay();
    if (fHandle && fHandle->isVisible())
        fHandle->repaint();
}

void TWinControl::Update()
{
    if (fHandle && fHandle->isVisible())
        fHandle->repaint();
}

bool TWinControl::Showing() const
{
    return fHandle && fHandle->isVisible();
}

QRect TWinControl::ClientRect() const
{
    return QRect(0, 0, Width(), Height());
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    ApplyWidgetStyle();
    TMessage m{CM_PARENTFONTCHANGED, 0, 0, 0};
    for (TControl* c : QList<TControl*>(fControls))
        c->WndProc(m);
}

void TWinControl::CMColorChanged(TMessage& Message)
{
    TControl::CMColorChanged(Message);
    ApplyWidgetStyle();
    TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
    for (TControl* c : QList<TControl*>(fControls))
        c->WndProc(m);
}

void TWinControl::ApplyWidgetStyle()
{
    if (fHandle)
        fHandle->setFont(Font()->ToQFont());
}

void TWinControl::EnableAlign()
{
    if (fAlignDisabled > 0 && --fAlignDisabled == 0)
        Realign();
}

void TWinControl::Realign()
{
    if (fAlignDisabled > 0 || fAligning || fDestroying)
        return;
    QRect rect = ClientRect();
    AdjustClientRect(rect);
    fAligning = true;
    try {
        AlignControls(rect);
    } catch (...) {
        // Raised on, with the control free to align again.
        fAligning = false;
        throw;
    }
    fAligning = false;
}

void TWinControl::AdjustClientRect(QRect& rect) const
{
    rect.adjust(fBorderWidth, fBorderWidth, -fBorderWidth, -fBorderWidth);
}

void TWinControl::AlignControls(QRect& rect)
{
    const auto ofAlign = [this](TAlign align) {
        QList<TControl*> list;
        for (TControl* c : fControls)
            if (c->fAlign == align && c->fVisible)
                list.append(c);
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->fTop < b->fTop;
            case alBottom: return a->fTop + a->fHeight > b->fTop + b->fHeight;
            case alLeft: return a->fLeft < b->fLeft;
            case alRight: return a->fLeft + a->fWidth > b->fLeft + b->fWidth;
            default: return false;
            }
        });
        return list;
    };
    for (TControl* c : ofAlign(alTop)) {
        c->SetBounds(rect.left(), rect.top(), rect.width(), c->fHeight);
        rect.setTop(rect.top() + c->fHeight);
    }
    for (TControl* c : ofAlign(alBottom)) {
        c->SetBounds(rect.left(), rect.bottom() + 1 - c->fHeight, rect.width(), c->fHeight);
        rect.setBottom(rect.bottom() - c->fHeight);
    }
    for (TControl* c : ofAlign(alLeft)) {
        c->SetBounds(rect.left(), rect.top(), c->fWidth, rect.height());
        rect.setLeft(rect.left() + c->fWidth);
    }
    for (TControl* c : ofAlign(alRight)) {
        c->SetBounds(rect.right() + 1 - c->fWidth, rect.top(), c->fWidth, rect.height());
        rect.setRight(rect.right() - c->fWidth);
    }
    for (TControl* c : ofAlign(alClient))
        c->SetBounds(rect.left(), rect.top(), std::max(rect.width(), 0), std::max(rect.height(), 0));

    // Anchored controls keep their distances to the right and bottom edges.
    const QRect client = ClientRect();
    for (TControl* c : fControls) {
        if (c->fAlign != alNone || !c->fAnchorsKnown)
            continue;
        int left = c->fLeft, top = c->fTop, width = c->fWidth, height = c->fHeight;
        if (c->fAnchors & akRight) {
            if (c->fAnchors & akLeft)
                width = client.width() - left - c->fAnchorRight;
            else
                left = client.width() - width - c->fAnchorRight;
        }
        if (c->fAnchors & akBottom) {
            if (c->fAnchors & akTop)
                height = client.height() - top - c->fAnchorBottom;
            else
                top = client.height() - height - c->fAnchorBottom;
        }
        c->SetBounds(left, top, width, height);
    }
}

void TWinControl::HostResized(int w, int h)
{
    // A top-level window resized by the user: its outer size follows.
    if (fHandle && fHandle->isWindow()) {
        const QRect c = ClientRect();
        if (w != c.width() || h != c.height())
            TControl::SetBounds(Left(), Top(), Width() - c.width() + w, Height() - c.height() + h);
        Realign();
    }
}

void TWinControl::WindowMoved(int ALeft, int ATop)
{
    fLeft = ALeft;
    fTop = ATop;
}

void TWinControl::PaintSelf(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
}

void TWinControl::PaintWindow(QPainter& painter, const QRect& dirty)
{
    PaintSelf(painter);
    PaintWindowlessChildren(painter, dirty, fPaintCopyActive ? fPaintCopyStop : nullptr);
    if (!fPaintCopyActive && !Overlay().isNull()) {
        Canvas()->ReleaseOverlayPainter();
        painter.drawImage(0, 0, Overlay());
    }
}

void TWinControl::PaintNativeOverlay(QPainter& painter, const QRect& dirty)
{
    PaintWindowlessChildren(painter, dirty, nullptr);
    if (!Overlay().isNull()) {
        Canvas()->ReleaseOverlayPainter();
        painter.drawImage(0, 0, Overlay());
    }
}

void TWinControl::PaintWindowlessChildren(QPainter& painter, const QRect& dirty, TControl* stopAt)
{
    const QList<TControl*> controls = fControls;
    for (TControl* c : controls) {
        if (c == stopAt)
            break;
        if (!c->fWindowless || !c->fVisible || c->fWidth <= 0 || c->fHeight <= 0)
            continue;
        if (!dirty.isNull() && !dirty.intersects(c->BoundsRect()))
            continue;
        painter.save();
        painter.translate(c->fLeft, c->fTop);
        painter.setClipRect(QRect(0, 0, c->fWidth, c->fHeight), Qt::IntersectClip);
        {
            TCanvasBinding binding(c->Canvas(), &painter);
            GuardedCall([c] { c->Paint(); });
        }
        if (!c->Overlay().isNull()) {
            c->Canvas()->ReleaseOverlayPainter();
            painter.drawImage(0, 0, c->Overlay());
        }
        painter.restore();
    }
}

void TWinControl::PaintTo(TCanvas& canvas, int x, int y)
{
    if (!fHandle || Width() <= 0 || Height() <= 0)
        return;
    QImage image(fHandle->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        fHandle->render(&painter, QPoint(0, 0), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    canvas.DrawImage(QRect(x, y, image.width(), image.height()), image, image.rect());
}

void TWinControl::PaintBackgroundFor(TControl* child, TCanvas& canvas)
{
    if (!fHandle || !child || child->Width() <= 0 || child->Height() <= 0)
        return;
    QImage image(child->Width(), child->Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(ToQColor(Color()));
    const bool wasActive = fPaintCopyActive;
    TControl* const wasStop = fPaintCopyStop;
    fPaintCopyActive = true;
    // Windowless siblings all lie below a window; for a windowless child only
    // those before it in z-order do.
    fPaintCopyStop = child->IsWindowless() ? child : nullptr;
    SetControlState(ControlState() | csPaintCopy);
    {
        QPainter painter(&image);
        painter.translate(-child->Left(), -child->Top());
        if (dynamic_cast<IHost*>(fHandle) && !dynamic_cast<THost<QWidget>*>(fHandle)) {
            // A Qt widget paints itself; then the windowless siblings below.
            fHandle->render(&painter, child->BoundsRect().topLeft(), QRegion(child->BoundsRect()),
                            QWidget::DrawWindowBackground);
        } else {
            PaintWindow(painter, child->BoundsRect());
        }
    }
    SetControlState(ControlState() & ~csPaintCopy);
    fPaintCopyActive = wasActive;
    fPaintCopyStop = wasStop;
    canvas.DrawImage(QRect(0, 0, image.width(), image.height()), image, image.rect());
}

TControl* TWinControl::MouseTarget(QPoint pos) const
{
    if (TControl* child = ControlAtPos(pos, false, false))
        return child;
    return const_cast<TWinControl*>(this);
}

void TWinControl::HostMousePress(Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons,
                                 QPoint pos, bool dbl)
{
    TMouseButton b = button == Qt::RightButton ? mbRight : button == Qt::MiddleButton ? mbMiddle : mbLeft;
    if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
        return;
    TControl* target = MouseTarget(pos);
    if (!target->IsEnabledInTree())
        return;
    if (target != this)
        fCaptureControl = target;
    SetControlUnderMouse(target);
    const QPoint local = pos - (target == this ? QPoint() : target->BoundsRect().topLeft());
    target->DoMouseDown(b, QtShiftState(mods, buttons), local.x(), local.y(), dbl);
}

void TWinControl::HostMouseMove(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos)
{
    TControl* under = MouseTarget(pos);
    SetControlUnderMouse(under);
    std::weak_ptr<bool> alive = AliveToken();
    TControl* target = fCaptureControl && buttons ? fCaptureControl : under;
    if (target->IsEnabledInTree() || target == fCaptureControl) {
        const QPoint local = pos - (target == this ? QPoint() : target->BoundsRect().topLeft());
        target->DoMouseMove(QtShiftState(mods, buttons), local.x(), local.y());
    }
    // After the handler, which may have changed the cursor (links do).
    if (!alive.expired() && fHandle) {
        TControl* shown = ControlAtPos(pos, false, false);
        fHandle->setCursor(Screen()->CursorOf(shown ? shown->Cursor() : Cursor()));
    }
}

void TWinControl::HostMouseRelease(Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons,
                                   QPoint pos)
{
    TMouseButton b = button == Qt::RightButton ? mbRight : button == Qt::MiddleButton ? mbMiddle : mbLeft;
    if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
        return;
    // The capture ends before any handler runs.
    TControl* target = fCaptureControl ? fCaptureControl : MouseTarget(pos);
    fCaptureControl = nullptr;
    const QPoint local = pos - (target == this ? QPoint() : target->BoundsRect().topLeft());
    target->DoMouseUp(b, QtShiftState(mods, buttons), local.x(), local.y());
}

void TWinControl::HostMouseLeave()
{
    TControl* hovered = ControlUnderMouse();
    if (hovered && (hovered == this || (hovered->IsWindowless() && hovered->Parent() == this)))
        SetControlUnderMouse(nullptr);
}

bool TWinControl::HostContextMenu(QPoint pos)
{
    TControl* target = MouseTarget(pos);
    const QPoint local = pos - (target == this ? QPoint() : target->BoundsRect().topLeft());
    return target->DoContextPopup(local);
}

bool TWinControl::HostToolTip(QPoint pos, QPoint globalPos)
{
    TControl* target = ControlAtPos(pos, true, false);
    if (!target)
        target = this;
    // ShowHint follows the parent while ParentShowHint is set.
    const TControl* c = target;
    while (c->fParentShowHint && c->fParent)
        c = c->fParent;
    if (!c->fShowHint || target->Hint().isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(globalPos, GetShortHint(target->Hint()), fHandle);
    return true;
}

void TWinControl::HostFocusIn()
{
    if (TCustomForm* form = GetParentForm())
        form->FocusControlChanged(this);
    DoEnter();
}

void TWinControl::HostFocusOut()
{
    DoExit();
}

bool TWinControl::HostKeyPress(int qtKey, Qt::KeyboardModifiers mods, const QString& text, QChar* replaced,
                               bool* dropped)
{
    std::weak_ptr<bool> alive = AliveToken();
    const TShiftState shift = QtShiftState(mods, {});
    quint16 key = QtKeyToVirtualKey(qtKey, mods);
    if (qtKey == Qt::Key_Backtab)
        key = VK_TAB;
    const TShiftState keyShift = qtKey == Qt::Key_Backtab ? (shift | ssShift) : shift;
    if (key != 0) {
        if (DoKeyDown(key, keyShift))
            return true;
        if (alive.expired())
            return true;
        if (!WantsKey(key, keyShift)) {
            if (TCustomForm* form = GetParentForm()) {
                if (form->Perform(CM_DIALOGKEY, key, keyShift) != 0)
                    return true;
            }
        }
        if (alive.expired())
            return true;
    }
    QChar ch = KeyChar(qtKey, mods, text);
    if (ch.isNull())
        return false;
    if (ch.unicode() >= 32 && ((mods & Qt::AltModifier) || !WantsChars())) {
        if (TCustomForm* form = GetParentForm(); form && form->DialogChar(ch))
            return true;
        if (alive.expired())
            return true;
    }
    if (DoKeyPress(ch)) {
        *dropped = true;
        return true;
    }
    *replaced = ch;
    return false;
}

bool TWinControl::HostKeyRelease(int qtKey, Qt::KeyboardModifiers mods)
{
    quint16 key = QtKeyToVirtualKey(qtKey, mods);
    if (key == 0)
        return false;
    return DoKeyUp(key, QtShiftState(mods, {}));
}

// --- TCustomControl ---

TCustomControl::TCustomControl(TComponent* AOwner, const TWidgetFactory& factory)
    : TWinControl(AOwner, factory)
{
}

void TCustomControl::PaintSelf(QPainter& painter)
{
    if (!(ControlStyle() & csOpaque))
        painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
    TCanvasBinding binding(Canvas(), &painter);
    Paint();
}
