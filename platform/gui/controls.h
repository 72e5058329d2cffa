#pragma once

#include "platform/core/classes.h"
#include "platform/gui/graphics.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class QPainter;
class QWidget;
class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBitmap;

// --- values shared by every control ---

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state bits.
enum TShiftStateBits : unsigned {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
using TShiftState = unsigned;

// Control style bits: what a control does by itself.
enum TControlStyleBits : unsigned {
    csAcceptsControls = 0x0001,
    csCaptureMouse = 0x0002,
    csDesignInteractive = 0x0004,
    csClickEvents = 0x0008,
    csFramed = 0x0010,
    csSetCaption = 0x0020,
    csOpaque = 0x0040,
    csDoubleClicks = 0x0080,
    csFixedWidth = 0x0100,
    csFixedHeight = 0x0200,
    csNoDesignVisible = 0x0400,
    csReplicatable = 0x0800,
    csNoStdEvents = 0x1000,
    csActionClient = 0x2000,
    csMenuEvents = 0x4000,
};
using TControlStyle = unsigned;

// Control state bits: what is happening to a control right now.
enum TControlStateBits : unsigned {
    csLButtonDown = 0x0001,
    csClicked = 0x0002,
    csPalette = 0x0004,
    csReadingState = 0x0008,
    csAlignmentNeeded = 0x0010,
    csFocusing = 0x0020,
    csCreating = 0x0040,
    csPaintCopy = 0x0080,
    csCustomPaint = 0x0100,
    csDestroyingHandle = 0x0200,
};
using TControlState = unsigned;

// Component state bits (only those the program looks at).
enum TComponentStateBits : unsigned {
    csLoading = 0x01,
    csReading = 0x02,
    csWriting = 0x04,
    csDestroying = 0x08,
    csDesigning = 0x10,
};

enum TOperation { opInsert, opRemove };

// Cursor identifiers; the program registers its own above 0.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;

// Virtual key codes the program uses.
enum : quint16 {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
    VK_F4 = 0x73,
    VK_ADD = 0x6B, // numeric pad
    VK_SUBTRACT = 0x6D,
    VK_OEM_PLUS = 0xBB, // main keyboard
    VK_OEM_MINUS = 0xBD,
};

// Arrows, Home/End and PgUp/PgDn: the keys list-like controls keep for
// themselves instead of letting the form move the focus.
bool IsNavigationKey(quint16 key);

// Shortcut = virtual key plus scShift/scCtrl/scAlt.
using TShortCut = quint16;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(quint16 key, TShiftState shift);

// A control message: the control-level notifications travel as these, so a
// control can override WndProc or the handler of one message.
enum : int { HTCLIENT = 1, HTCAPTION = 2 };
enum : unsigned { SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060, SC_RESTORE = 0xF120 };

struct TMessage {
    unsigned Msg = 0;
    qintptr WParam = 0;
    qintptr LParam = 0;
    qintptr Result = 0;
};

// What WM_COPYDATA carries: a numeric tag the receiver chooses and the bytes.
struct TCopyDataStruct {
    quintptr dwData = 0;
    quint32 cbData = 0;
    const void* lpData = nullptr;
};

enum : unsigned {
    WM_SIZE = 0x0005,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    // The locale's formats changed (sent to the application's hooks only).
    WM_WININICHANGE = 0x001A,
    WM_CANCELMODE = 0x001F,
    WM_NEXTDLGCTL = 0x0028,
    // LParam: a TCopyDataStruct, valid during the call; WParam: 0 (the
    // sender is another process, not a window of this one).
    WM_COPYDATA = 0x004A,
    // LParam: the point in client coordinates (x low 16 bits, y high 16 bits);
    // Result: one of the HT codes. Only forms are asked, on a left press.
    WM_NCHITTEST = 0x0084,
    // WParam: one of the SC codes (low four bits ignored).
    WM_SYSCOMMAND = 0x0112,
    WM_USER = 0x0400,
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_CURSORCHANGED = CM_BASE + 13,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 11,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_VISIBLECHANGED = CM_BASE + 22,
    CM_SYSCOLORCHANGE = CM_BASE + 25,
    CM_CANCELMODE = CM_BASE + 4,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_HINTSHOW = CM_BASE + 48,
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, quint16& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, QPoint MousePos, bool& Handled)>;

// Constraints on a control's size; 0 means no limit.
struct TSizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

// Hint texts are "short|long".
QString GetShortHint(const QString& hint);
QString GetLongHint(const QString& hint);

// True when the caption holds "&" before the character (case-insensitive).
bool IsAccel(QChar key, const QString& caption);
// The caption that shows text as typed where "&" marks an accelerator
// (menu items, labels, buttons): every "&" doubled. For names and other
// text the user typed.
QString EscapeAccelChars(const QString& text);
// The text a caption shows: "&&" as "&", an accelerator's "&" left out.
QString StripAccelChars(const QString& caption);

// Binds a canvas to a painter for one scope, also when the painting throws;
// the painter's state is restored afterwards.
class TCanvasBinding
{
public:
    TCanvasBinding(TCanvas* canvas, QPainter* painter);
    ~TCanvasBinding();
    TCanvasBinding(const TCanvasBinding&) = delete;
    TCanvasBinding& operator=(const TCanvasBinding&) = delete;

private:
    TCanvas* fCanvas;
    QPainter* fPainter;
};

// The canvas of a control. While the control paints it draws through the
// painter of the paint; outside painting it draws into an overlay that is
// shown over the control until the control is next invalidated, and it
// measures text without any painter.
class TControlCanvas : public TCanvas
{
public:
    explicit TControlCanvas(TControl* control);
    ~TControlCanvas() override;
    TControl* Control() const { return fControl; }

    // Ends drawing into the overlay so it can be shown or dropped.
    void ReleaseOverlayPainter();

protected:
    QPainter* AcquirePainter() override;
    void ReleasePainter() override;
    QImage* TargetImage() override;
    QSize TargetSize() const override;
    void Changed() override;
    // Shows only the written pixel again, not the whole control.
    void PixelChanged(QPoint device) override;

private:
    TControl* fControl;
    std::unique_ptr<QPainter> fOverlayPainter;
};

// The base of every visible thing: bounds within a parent, visibility,
// enabling, font and colour, caption, hint, cursor, mouse events and the
// control messages.
class TControl : public TComponent
{
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    QString ClassName() const override { return QStringLiteral("TControl"); }

    // --- parent and bounds ---
    TWinControl* Parent() const { return fParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return fLeft; }
    int Top() const { return fTop; }
    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    void SetLeft(int v) { SetBounds(v, fTop, fWidth, fHeight); }
    void SetTop(int v) { SetBounds(fLeft, v, fWidth, fHeight); }
    void SetWidth(int v) { SetBounds(fLeft, fTop, v, fHeight); }
    void SetHeight(int v) { SetBounds(fLeft, fTop, fWidth, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    QRect BoundsRect() const { return QRect(fLeft, fTop, fWidth, fHeight); }
    void SetBoundsRect(const QRect& r) { SetBounds(r.left(), r.top(), r.width(), r.height()); }
    virtual QRect ClientRect() const { return QRect(0, 0, fWidth, fHeight); }
    int ClientWidth() const { return ClientRect().width(); }
    int ClientHeight() const { return ClientRect().height(); }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    virtual void SetClientSize(int w, int h);
    QPoint ClientOrigin() const; // screen position of the client area
    QPoint ClientToScreen(const QPoint& p) const;
    QPoint ScreenToClient(const QPoint& p) const;
    QPoint ClientToParent(const QPoint& p, const TWinControl* ancestor) const;

    TAlign Align() const { return fAlign; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return fAnchors; }
    void SetAnchors(TAnchors value);
    TSizeConstraints& Constraints() { return fConstraints; }

    // --- state ---
    bool Visible() const { return fVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent up to a showing form visible.
    virtual bool Showing() const;
    bool Enabled() const { return fEnabled; }
    virtual void SetEnabled(bool value);
    // Enabled here and in every parent.
    bool IsEnabledInTree() const;

    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return fParentColor; }
    void SetParentColor(bool value);
    TFont* Font() const { return fFont.get(); }
    void SetFont(const TFont& value) { fFont->Assign(value); }
    bool ParentFont() const { return fParentFont; }
    void SetParentFont(bool value);

    const QString& Caption() const { return fText; }
    void SetCaption(const QString& value) { SetText(value); }
    const QString& Text() const { return fText; }
    virtual void SetText(const QString& value);
    const QString& Hint() const { return fHint; }
    void SetHint(const QString& value);
    bool ShowHint() const { return fShowHint; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return fParentShowHint; }
    void SetParentShowHint(bool value) { fParentShowHint = value; }
    TCursor Cursor() const { return fCursor; }
    void SetCursor(TCursor value);
    TPopupMenu* PopupMenu() const { return fPopupMenu; }
    void SetPopupMenu(TPopupMenu* value);

    TControlStyle ControlStyle() const { return fControlStyle; }
    void SetControlStyle(TControlStyle value) { fControlStyle = value; }
    TControlState ControlState() const { return fControlState; }
    void SetControlState(TControlState value) { fControlState = value; }
    unsigned ComponentState() const { return fComponentState; }
    void SetComponentStateBit(unsigned bit, bool on);

    bool MouseCapture() const;
    void SetMouseCapture(bool value);

    // --- painting ---
    TControlCanvas* Canvas() const { return fCanvas.get(); }
    // Marks the control for repainting (and drops what was drawn outside painting).
    virtual void Invalidate();
    // Paints at once.
    virtual void Repaint();
    virtual void Update();
    void Refresh() { Repaint(); }
    // Paints the control (and its children) into a canvas at (x, y); works
    // without any window on screen.
    virtual void PaintTo(TCanvas& canvas, int x, int y);
    // A bitmap of the control as it paints now.
    std::unique_ptr<TBitmap> RenderToBitmap();

    // --- messages ---
    qintptr Perform(unsigned Msg, qintptr WParam = 0, qintptr LParam = 0);
    virtual void WndProc(TMessage& Message);

    // Called once the control is fully built (as after reading a stored form).
    virtual void Loaded();
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Asks to be told when AComponent is destroyed.
    void FreeNotification(TControl* AComponent);
    void RemoveFreeNotification(TControl* AComponent);

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;

    // What the mouse layer calls; public so hosts and tests can drive them.
    void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool Double);
    void DoMouseMove(TShiftState Shift, int X, int Y);
    void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Right click: the context popup event, then the popup menu.
    bool DoContextPopup(QPoint MousePos);
    virtual void Click();
    virtual void DblClick();

    // The form this control sits on (walking up the parents).
    TCustomForm* GetParentForm() const;
    bool HasParent() const { return fParent != nullptr; }
    // Paints the windowless control; overridden by controls that draw.
    virtual void Paint() {}
    bool IsWindowless() const { return fWindowless; }

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void ChangeScale(int, int) {}
    // Applies new bounds to the widget (windowed controls).
    virtual void BoundsChanged();
    virtual void VisibleChanging() {}
    virtual void FontChanged();
    // Default handlers of the control messages.
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMDialogChar(TMessage& Message) {}
    virtual void CMDialogKey(TMessage& Message) {}
    virtual void CMFocusChanged(TMessage& Message) {}
    virtual void CMSysColorChange(TMessage& Message) {}
    virtual void CMCancelMode(TMessage& Message) {}
    virtual void CMHintShow(TMessage& Message) {}
    virtual void WMSize(TMessage& Message) {}
    virtual void WMCancelMode(TMessage& Message);

    // Marks this control as windowless (painted and fed by its parent).
    void SetWindowless(bool value) { fWindowless = value; }
    // Repaints area (control coordinates; all of it when null) if showing;
    // the canvas overlay is kept.
    void InvalidateKeepOverlay(const QRect& area = QRect());

private:
    friend class TWinControl;
    friend class TControlCanvas;
    friend struct TControlHostBridge;
    void NotifyFreeNotifiers();
    void ApplyParentFont();
    void ApplyParentColor();

    TWinControl* fParent = nullptr;
    int fLeft = 0, fTop = 0, fWidth = 0, fHeight = 0;
    TAlign fAlign = alNone;
    TAnchors fAnchors = akLeft | akTop;
    // Distances to the parent's right and bottom edges, kept for anchoring.
    int fAnchorRight = 0, fAnchorBottom = 0;
    bool fAnchorsKnown = false;
    TSizeConstraints fConstraints;
    bool fVisible = true;
    bool fEnabled = true;
    TColor fColor = clBtnFace;
    bool fParentColor = false;
    std::unique_ptr<TFont> fFont;
    bool fParentFont = true;
    bool fApplyingParentFont = false;
    QString fText;
    QString fHint;
    bool fShowHint = false;
    bool fParentShowHint = true;
    TCursor fCursor = crDefault;
    TPopupMenu* fPopupMenu = nullptr;
    TControlStyle fControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState fControlState = 0;
    unsigned fComponentState = 0;
    bool fWindowless = true;
    std::unique_ptr<TControlCanvas> fCanvas;
    // Drawing done outside painting, shown over the control.
    QImage fOverlay;
    QList<TControl*> fFreeNotifies;
    std::shared_ptr<bool> fAlive;

public:
    // A token that turns false when the control is destroyed.
    std::weak_ptr<bool> AliveToken() const { return fAlive; }
    const QImage& Overlay() const { return fOverlay; }
    QImage& OverlayImage();
    void ClearOverlay() { fOverlay = QImage(); }
};

// A control without a window of its own: its parent paints it in z-order
// and routes the mouse to it.
class TGraphicControl : public TControl
{
public:
    explicit TGraphicControl(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TGraphicControl"); }
};

using TWidgetFactory = std::function<QWidget*(TWinControl* self)>;

// A control with a window (a Qt widget, its "handle"). It holds child
// controls, windowless ones included, and takes the keyboard.
class TWinControl : public TControl
{
public:
    // The factory makes the widget; the default is a plain painting host.
    explicit TWinControl(TComponent* AOwner, const TWidgetFactory& factory = {});
    ~TWinControl() override;

    QString ClassName() const override { return QStringLiteral("TWinControl"); }

    QWidget* Handle() const { return fHandle; }
    bool HandleAllocated() const { return fHandle != nullptr; }

    int ControlCount() const { return int(fControls.size()); }
    TControl* Controls(int index) const { return fControls.at(index); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // Z-order: the last control is on top.
    void BringControlToFront(TControl* AControl);
    void SendControlToBack(TControl* AControl);
    // The topmost visible child at a client point. Windowed children are
    // looked at first, as their windows lie above the windowless ones.
    TControl* ControlAtPos(const QPoint& pos, bool AllowDisabled, bool AllowWinControls = false) const;
    void Broadcast(TMessage& Message);
    bool ContainsControl(const TControl* AControl) const;

    // --- focus and keyboard ---
    bool TabStop() const { return fTabStop; }
    void SetTabStop(bool value);
    int TabOrder() const;
    void SetTabOrder(int value);
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    // The next control in tab order after CurControl among this control's
    // descendants (wrapping around), or nullptr.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    QList<TWinControl*> TabOrderList() const;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // The keyboard in the class library's order: form preview, KeyDown,
    // dialog keys, then the widget. Returns true when the key was consumed.
    bool DoKeyDown(quint16& Key, TShiftState Shift);
    bool DoKeyPress(QChar& Key);
    bool DoKeyUp(quint16& Key, TShiftState Shift);

    // Border style of windowed controls that have one.
    int BorderWidth() const { return fBorderWidth; }
    void SetBorderWidth(int value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void PaintTo(TCanvas& canvas, int x, int y) override;
    QRect ClientRect() const override;
    bool Showing() const override;

    // Lays out the aligned and anchored children.
    void Realign();
    // The area aligned children fill: the client area less the border width.
    virtual void AdjustClientRect(QRect& rect) const;
    void DisableAlign() { ++fAlignDisabled; }
    void EnableAlign();

    // Paints what lies under child in this control into canvas, in the
    // child's coordinates: this control's own painting and the windowless
    // children below child. The child itself and controls above it are left out.
    void PaintBackgroundFor(TControl* child, TCanvas& canvas);

    // --- what the widget host calls ---
    // Paints this control and its windowless children through painter.
    virtual void PaintWindow(QPainter& painter, const QRect& dirty);
    // The control's own drawing, under the windowless children.
    virtual void PaintSelf(QPainter& painter);
    // Over a Qt widget that painted itself: the windowless children and the overlay.
    void PaintNativeOverlay(QPainter& painter, const QRect& dirty);
    virtual void HostResized(int w, int h);
    void HostFocusIn();
    void HostFocusOut();
    // True when the key was fully handled by the control model.
    bool HostKeyPress(int qtKey, Qt::KeyboardModifiers mods, const QString& text, QChar* replaced, bool* dropped);
    bool HostKeyRelease(int qtKey, Qt::KeyboardModifiers mods);
    virtual void HostMousePress(Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons,
                                QPoint pos, bool dbl);
    virtual void HostMouseMove(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, QPoint pos);
    virtual void HostMouseRelease(Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons,
                                  QPoint pos);
    void HostMouseLeave();
    bool HostToolTip(QPoint pos, QPoint globalPos);
    bool HostContextMenu(QPoint pos);
    // The control that gets the mouse at a point: a windowless child or this.
    TControl* MouseTarget(QPoint pos) const;
    // Forgets the widget (Qt destroyed it).
    void HandleDestroyed() { fHandle = nullptr; }
    // True while the whole subtree is being torn down.
    bool Destroying() const { return fDestroying; }

protected:
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(quint16& Key, TShiftState Shift);
    virtual void KeyPress(QChar& Key);
    virtual void KeyUp(quint16& Key, TShiftState Shift);
    // Whether the control wants these keys itself (arrows, tab, Enter, Esc)
    // before the form uses them for dialog navigation.
    virtual bool WantsKey(quint16 Key, TShiftState Shift) const;
    // Whether typed characters are text input here (edits) rather than accelerators.
    virtual bool WantsChars() const { return false; }
    void BoundsChanged() override;
    // The window system moved the window there: only Left and Top follow,
    // nothing goes back to the widget and the size stays as it is.
    void WindowMoved(int ALeft, int ATop);
    void FontChanged() override;
    void CMColorChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    // Applies the control's font and colours to the widget.
    virtual void ApplyWidgetStyle();
    void AlignControls(QRect& rect);

private:
    friend class TControl;
    friend class TCustomForm;
    void ApplyTabOrder();
    void PaintWindowlessChildren(QPainter& painter, const QRect& dirty, TControl* stopAt);
    void MarkDestroying();

    QWidget* fHandle = nullptr;
    QList<TControl*> fControls;
    QList<TWinControl*> fTabList;
    bool fTabStop = false;
    int fBorderWidth = 0;
    int fAlignDisabled = 0;
    bool fAligning = false;
    bool fDestroying = false;
    TControl* fPaintCopyStop = nullptr;
    bool fPaintCopyActive = false;
    // The windowless child pressed and holding the mouse.
    TControl* fCaptureControl = nullptr;
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl
{
public:
    explicit TCustomControl(TComponent* AOwner, const TWidgetFactory& factory = {});
    QString ClassName() const override { return QStringLiteral("TCustomControl"); }
    void PaintSelf(QPainter& painter) override;
};

// The control under the mouse, application-wide, and mouse capture.
TControl* ControlUnderMouse();
void SetControlUnderMouse(TControl* control);
TControl* CaptureControl();
// Finds the control at a screen point among the application's windows.
TControl* FindDragTarget(const QPoint& screenPos, bool AllowDisabled);
// The control a widget belongs to, or nullptr.
TWinControl* FindControl(const QWidget* widget);
// Keyboard translation from Qt.
quint16 QtKeyToVirtualKey(int qtKey, Qt::KeyboardModifiers mods = {});
TShiftState QtShiftState(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);
// The class library's character for a key press (Ctrl+letter 1-26, Enter 13,
// Esc 27, Backspace 8, Tab 9), or a null QChar.
QChar KeyChar(int qtKey, Qt::KeyboardModifiers mods, const QString& text);

// Runs f, handing any exception to Application's handler; returns false when
// one was raised. Every entry from Qt into the control model goes through it.
bool GuardedCall(const std::function<void()>& f) noexcept;
