#include "controls/combo_edit.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/graphics.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyle>

namespace {

constexpr int kDefaultButtonWidth = 21;
// The frame of a single-bordered edit, inside which the button sits.
constexpr int kFrame = 2;

int ScrollBarWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

// Restores a flag when the scope ends, also by an exception.
class TResetOnExit {
public:
    explicit TResetOnExit(bool& flag)
        : fFlag(flag)
    {
    }
    ~TResetOnExit() { fFlag = false; }
    TResetOnExit(const TResetOnExit&) = delete;
    TResetOnExit& operator=(const TResetOnExit&) = delete;

private:
    bool& fFlag;
};

} // namespace

// --- TEditButton ---

TEditButton::TEditButton(TComponent* AOwner)
    : TGlyphSpeedButton(AOwner)
{
    SetControlStyle(ControlStyle() | csReplicatable);
    SetParentShowHint(true);
}

void TEditButton::Paint()
{
    TGlyphSpeedButton::Paint();
    if (FState == rbsDown)
        return;
    TCanvas* c = Canvas();
    c->Pen()->SetColor(clBtnFace);
    c->MoveTo(0, 0);
    c->LineTo(0, Height());
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(1, 1);
    c->LineTo(1, Height() - 2);
}

void TEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (auto* edit = dynamic_cast<TCustomComboEdit*>(Owner())) {
            FNoAction = edit->FPopup && edit->FPopupVisible;
            if (edit->FPopupVisible)
                edit->ClosePopup(edit->FPopup, FStandart);
            else if (edit->TabStop() && edit->CanFocus() && !edit->Focused())
                edit->SetFocus();
        }
    }
    TGlyphSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TEditButton::Click()
{
    if (FNoAction) {
        FNoAction = false;
        return;
    }
    TGlyphSpeedButton::Click();
}

// --- TPopupWindow ---

TPopupWindow::TPopupWindow(TComponent* AOwner)
    : TCustomControl(AOwner)
    , FEditor(dynamic_cast<TWinControl*>(AOwner))
{
    SetControlStyle(ControlStyle() | csAcceptsControls | csReplicatable);
    SetVisible(false);
    if (FEditor) {
        SetParent(FEditor);
        // A window of its own over the desktop, owned by the edit, that never
        // takes the focus: the form stays active and the edit keeps the keys.
        QWidget* w = Handle();
        w->setParent(FEditor->Handle(), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        w->setAttribute(Qt::WA_ShowWithoutActivating);
        w->hide();
    }
    OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        WindowMouseUp(Sender, Button, Shift, X, Y);
    };
}

void TPopupWindow::FinishPopup(bool Accept)
{
    if (OnCloseUp)
        OnCloseUp(this, Accept);
}

void TPopupWindow::Show(QPoint Origin)
{
    SetBounds(Origin.x(), Origin.y(), Width(), Height());
    SetVisible(true);
}

void TPopupWindow::Hide()
{
    SetVisible(false);
}

void TPopupWindow::WindowMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button == mbLeft)
        FinishPopup(ClientRect().contains(X, Y));
}

// --- TCustomComboEdit ---

TCustomComboEdit::TCustomComboEdit(TComponent* AOwner)
    : TCustomMaskEdit(AOwner)
{
    SetControlStyle(ControlStyle() | csCaptureMouse);
    FBtnControl = new TCustomControl(this);
    FBtnControl->SetControlStyle(FBtnControl->ControlStyle() | csReplicatable);
    FBtnControl->SetBounds(0, 0, kDefaultButtonWidth, 17);
    FBtnControl->SetVisible(true);
    FBtnControl->SetParent(this);
    FButton = new TEditButton(this);
    FButton->SetBounds(0, 0, kDefaultButtonWidth, 17);
    FButton->SetVisible(true);
    FButton->SetParent(FBtnControl);
    FButton->OnClick = [this](TObject* Sender) { EditButtonClicked(Sender); };
    SetBounds(Left(), Top(), Width(), 21);
}

TCustomComboEdit::~TCustomComboEdit()
{
    FButton->OnClick = {};
}

QPoint TCustomComboEdit::PopupOrigin(const QRect& editRect, QSize popupSize, TPopupAlign align)
{
    // The monitor that shows the edit, not the primary one: on a desktop of
    // several screens the pop-up opens beside the edit, wholly on its screen.
    const QRect area = Screen()->MonitorFromRect(editRect).WorkareaRect;
    const int right = area.left() + area.width();
    const int bottom = area.top() + area.height();
    QPoint p = editRect.topLeft();
    int y = p.y() + editRect.height();
    if (bottom < y + popupSize.height())
        y = p.y() - popupSize.height(); // no room below: above the edit
    y = std::max(area.top(), std::min(y, bottom - popupSize.height()));
    if (align == epaRight) {
        p.rx() -= popupSize.width() - editRect.width(); // right edges aligned
        if (p.x() < area.left())
            p.setX(editRect.left());
    } else if (right < p.x() + popupSize.width()) {
        p.rx() -= popupSize.width() - editRect.width();
    }
    if (p.x() < area.left())
        p.setX(area.left());
    else if (right < p.x() + popupSize.width())
        p.setX(right - popupSize.width());
    return QPoint(p.x(), y);
}

void TCustomComboEdit::OpenPopup(bool LockEdit)
{
    if (!FPopup || ReadOnly() || FPopupVisible)
        return;
    const QPoint topLeft = Parent() ? Parent()->ClientToScreen(QPoint(Left(), Top())) : QPoint(Left(), Top());
    const QPoint origin
        = PopupOrigin(QRect(topLeft, QSize(Width(), Height())), QSize(FPopup->Width(), FPopup->Height()), FPopupAlign);
    PreparePopupValue(Text().isEmpty() ? QVariant() : QVariant(Text()));
    if (CanFocus())
        SetFocus();
    PlacePopup(origin);
    FPopupVisible = true;
    // The edit takes no typing while the pop-up has the keys.
    if (LockEdit)
        TCustomEdit::SetReadOnly(true);
}

void TCustomComboEdit::ClosePopup(TObject*, bool Accept)
{
    if (!FPopup || !FPopupVisible)
        return;
    if (TControl* captured = CaptureControl())
        captured->Perform(WM_CANCELMODE);
    QVariant value;
    ReadPopupValue(value);
    RemovePopup();
    TResetOnExit closed(FPopupVisible);
    try {
        if (CanFocus())
            SetFocus();
    } catch (const Exception&) {
        // Refocusing is a courtesy; the pop-up closes all the same.
    }
    SetDirectInput(FDirectInput);
    Invalidate();
    if (Accept && ApprovePopupValue(value) && EditCanModify()) {
        TakePopupValue(value);
        if (Focused())
            TCustomEdit::SelectAll();
    }
}

void TCustomComboEdit::PlacePopup(QPoint Origin)
{
    if (auto* p = dynamic_cast<TPopupWindow*>(FPopup))
        p->Show(Origin);
}

void TCustomComboEdit::RemovePopup()
{
    if (auto* p = dynamic_cast<TPopupWindow*>(FPopup))
        p->Hide();
}

void TCustomComboEdit::NotifyChange()
{
    TCustomMaskEdit::Change();
}

void TCustomComboEdit::TakePopupValue(const QVariant& Value)
{
    const QString text = Value.toString();
    if (Text() == text)
        return;
    SetText(text);
    SetModified(true);
    SyncPopupVisible();
    NotifyChange();
}

void TCustomComboEdit::PreparePopupValue(const QVariant& Value)
{
    if (auto* p = dynamic_cast<TPopupWindow*>(FPopup))
        p->WriteValue(Value);
}

void TCustomComboEdit::ReadPopupValue(QVariant& Value)
{
    auto* p = dynamic_cast<TPopupWindow*>(FPopup);
    Value = p ? p->ReadValue() : QVariant(QString());
}

void TCustomComboEdit::ButtonAction()
{
    if (OnButtonClick)
        OnButtonClick(this);
    if (FPopup) {
        if (FPopupVisible)
            ClosePopup(FPopup, true);
        else
            OpenPopup(true);
    }
}

void TCustomComboEdit::EditButtonClicked(TObject*)
{
    if (!ReadOnly())
        ButtonAction();
}

void TCustomComboEdit::DoClick()
{
    EditButtonClicked(this);
}

void TCustomComboEdit::SelectAll()
{
    if (FDirectInput)
        TCustomEdit::SelectAll();
}

void TCustomComboEdit::SyncPopupVisible()
{
    FPopupVisible = FPopup && FPopup->Visible();
}

void TCustomComboEdit::SetDirectInput(bool value)
{
    TCustomEdit::SetReadOnly(!value || FReadOnly);
    FDirectInput = value;
}

void TCustomComboEdit::SetReadOnly(bool value)
{
    if (value == FReadOnly)
        return;
    FReadOnly = value;
    TCustomEdit::SetReadOnly(value || !FDirectInput);
}

// --- button ---

int TCustomComboEdit::ButtonWidth() const
{
    return FButton->Width();
}

void TCustomComboEdit::SetButtonWidth(int value)
{
    if (value == ButtonWidth())
        return;
    FBtnControl->SetVisible(value > 1);
    // A button as wide as the edit would leave no room for the text.
    if (value >= (Parent() ? ClientWidth() : Width()))
        return;
    FButton->SetBounds(FButton->Left(), FButton->Top(), value, FButton->Height());
    FButton->SetControlStyle(FButton->ControlStyle() & ~csFixedWidth);
    FBtnControl->SetBounds(FBtnControl->Left(), FBtnControl->Top(), value, FBtnControl->Height());
    PlaceButton();
    BuildGlyph();
}

QString TCustomComboEdit::ButtonHint() const
{
    return FButton->Hint();
}

void TCustomComboEdit::SetButtonHint(const QString& value)
{
    FButton->SetHint(value);
}

TBitmap* TCustomComboEdit::Glyph() const
{
    return FButton->Glyph();
}

void TCustomComboEdit::SetGlyph(const TBitmap* value)
{
    FButton->SetGlyph(value);
    FGlyphKind = gkCustom;
}

int TCustomComboEdit::NumGlyphs() const
{
    return FButton->NumGlyphs();
}

void TCustomComboEdit::SetNumGlyphs(int value)
{
    switch (FGlyphKind) {
    case gkDropDown:
    case gkEllipsis: FButton->SetNumGlyphs(1); break;
    case gkDefault: FButton->SetNumGlyphs(FDefNumGlyphs); break;
    case gkCustom: FButton->SetNumGlyphs(value); break;
    }
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind value)
{
    if (value == FGlyphKind)
        return;
    FGlyphKind = value;
    BuildGlyph();
    if (FGlyphKind == gkDefault && Glyph() && !Glyph()->Empty()) {
        SetButtonWidth(std::max(Glyph()->Width() / std::max(1, NumGlyphs()) + 6, ButtonWidth()));
    } else if (FGlyphKind == gkDropDown) {
        SetButtonWidth(ScrollBarWidth());
        FButton->SetControlStyle(FButton->ControlStyle() | csFixedWidth);
    }
}

bool TCustomComboEdit::IsButtonWidthStored() const
{
    int implied = kDefaultButtonWidth;
    if (FGlyphKind == gkDefault && Glyph() && !Glyph()->Empty())
        implied = std::max(Glyph()->Width() / std::max(1, NumGlyphs()) + 6, kDefaultButtonWidth);
    else if (FGlyphKind == gkDropDown)
        implied = ScrollBarWidth();
    return ButtonWidth() != implied;
}

void TCustomComboEdit::BuildGlyph()
{
    switch (FGlyphKind) {
    case gkDefault: {
        bool mustFree = false;
        TBitmap* picture = DefaultGlyph(mustFree);
        FButton->SetGlyph(picture);
        FButton->SetNumGlyphs(FDefNumGlyphs);
        if (mustFree)
            delete picture;
        break;
    }
    case gkDropDown: {
        TBitmap arrow;
        LoadSystemBitmap(arrow, OBM_COMBO);
        FButton->SetGlyph(&arrow);
        FButton->SetNumGlyphs(1);
        break;
    }
    case gkEllipsis:
        FButton->SetGlyph(MakeEllipsisGlyph(ButtonWidth()).get());
        FButton->SetNumGlyphs(1);
        break;
    case gkCustom: break;
    }
}

std::unique_ptr<TBitmap> MakeEllipsisGlyph(int buttonWidth)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetMonochrome(true);
    const int width = std::max(1, buttonWidth - 6);
    bitmap->SetSize(width, 4);
    TCanvas* c = bitmap->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(QRect(0, 0, width, 4));
    const int gap = std::clamp((width - 6) / 2, 1, 3);
    const int x = (width - 6 - 2 * gap) / 2;
    c->Brush()->SetColor(clBlack);
    for (int i = 0; i < 3; ++i)
        c->FillRect(QRect(x + i * (gap + 2), 1, 2, 2));
    return bitmap;
}

// --- layout ---

int TCustomComboEdit::FontTextHeight() const
{
    return Handle() ? Handle()->fontMetrics().height() : 13;
}

int TCustomComboEdit::MinimumHeight() const
{
    return FontTextHeight() + 4 * 1 + 1;
}

void TCustomComboEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, std::max(AHeight, MinimumHeight()));
    if (FBtnControl)
        PlaceButton();
}

void TCustomComboEdit::PlaceButton()
{
    const int bw = ButtonWidth();
    // Inside the frame of a bordered edit, as the text's client area.
    const int inset = BorderStyle() == bsSingle ? kFrame : 0;
    FBtnControl->SetBounds(Width() - bw - inset, inset, bw, Height() - 2 * inset);
    FButton->SetBounds(FButton->Left(), FButton->Top(), FButton->Width(), FBtnControl->Height());
    SetFormattingRect();
}

void TCustomComboEdit::SetFormattingRect()
{
    // The text never runs under the button.
    if (auto* line = qobject_cast<QLineEdit*>(Handle()))
        line->setTextMargins(0, 0, FBtnControl->Visible() ? FBtnControl->Width() : 0, 0);
}

void TCustomComboEdit::FontChanged()
{
    TCustomMaskEdit::FontChanged();
    if (FBtnControl)
        SetFormattingRect();
}

void TCustomComboEdit::CMEnabledChanged(TMessage& Message)
{
    TCustomMaskEdit::CMEnabledChanged(Message);
    FButton->SetEnabled(Enabled());
}

// --- keys, mouse, focus ---

void TCustomComboEdit::CutToClipboard()
{
    if (FDirectInput && !FReadOnly)
        TCustomMaskEdit::CutToClipboard();
}

void TCustomComboEdit::PasteFromClipboard()
{
    if (FDirectInput && !FReadOnly)
        TCustomMaskEdit::PasteFromClipboard();
}

void TCustomComboEdit::Change()
{
    if (FPopupVisible)
        PopupValueChanged();
    else
        NotifyChange();
}

bool TCustomComboEdit::WantsKey(quint16 Key, TShiftState Shift) const
{
    // Enter and Esc close an open pop-up instead of pressing the form's buttons.
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && PopupVisible())
        return true;
    return TCustomMaskEdit::WantsKey(Key, Shift);
}

void TCustomComboEdit::KeyDown(quint16& Key, TShiftState Shift)
{
    // Ctrl+Enter's line feed never follows the key consumed below, so an open
    // pop-up takes its value here.
    if ((Shift & ssCtrl) && Key == VK_RETURN && PopupVisible()) {
        ClosePopup(FPopup, true);
        Key = 0;
        return;
    }
    // An open pop-up takes Escape before the form's key preview sees its
    // character, so a form closing on Escape stays open.
    if (Key == VK_ESCAPE && PopupVisible()) {
        ClosePopup(FPopup, false);
        Key = 0;
        return;
    }
    if ((Shift & ssCtrl) && (Key == VK_TAB || Key == VK_RETURN)) {
        if (TCustomForm* form = GetParentForm()) {
            form->DoKeyDown(Key, Shift);
            Key = 0;
            return;
        }
    }
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (Key != 0 && ShortCut(Key, Shift) == FClickKey && ButtonWidth() > 0) {
        EditButtonClicked(this);
        Key = 0;
    }
}

void TCustomComboEdit::KeyPress(QChar& Key)
{
    const char16_t c = Key.unicode();
    if (c == u'\r' || c == 27 || (c == u'\n' && PopupVisible())) {
        if (PopupVisible()) {
            ClosePopup(FPopup, c != 27);
            Key = QChar();
            return;
        }
        // The form's default and cancel buttons had their turn before the
        // character (dialog keys come first), so only the mask edit is left.
        if (c == u'\r') {
            TCustomMaskEdit::KeyPress(Key);
            Key = QChar();
            return;
        }
    }
    if (c == u'\t' || c == u'\n') {
        Key = QChar();
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TCustomComboEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FPopup) {
        if (CanFocus())
            SetFocus();
        if (!Focused())
            return;
        if (FPopupVisible)
            ClosePopup(FPopup, false);
    }
    TCustomMaskEdit::MouseDown(Button, Shift, X, Y);
}

void TCustomComboEdit::DoEnter()
{
    FFocused = true;
    if (AutoSelect() && !(QApplication::mouseButtons() & Qt::LeftButton))
        SelectAll();
    // Not the edit's own entry, which would select all even without DirectInput.
    TWinControl::DoEnter();
}

void TCustomComboEdit::DoExit()
{
    FFocused = false;
    ClosePopup(FPopup, false);
    TCustomMaskEdit::DoExit();
}

void TCustomComboEdit::CMCancelMode(TMessage& Message)
{
    auto* sender = reinterpret_cast<TControl*>(Message.LParam);
    if (sender != this && sender != FPopup && sender != FButton && !(FPopup && FPopup->ContainsControl(sender)))
        ClosePopup(FPopup, false);
}
