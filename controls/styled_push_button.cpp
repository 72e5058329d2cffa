#include "controls/styled_push_button.h"

#include "controls/control_utils.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/menus.h"

std::optional<TLbButtonKindPreset> LbButtonKindPreset(TLbButtonKind kind)
{
    const auto preset = [](const char* glyph, const char* caption, TModalResult result) {
        return TLbButtonKindPreset { QString::fromUtf8(glyph), QString::fromUtf8(caption), result };
    };
    // The captions are the German ones the kinds have always had.
    switch (kind) {
    case bkCustom: return std::nullopt;
    case bkOK: return preset("LBOK", "OK", mrOk);
    case bkCancel: return preset("LBCANCEL", "Abbrechen", mrCancel);
    case bkHelp: return preset("LBHELP", "Hilfe", mrNone);
    case bkYes: return preset("LBYES", "Ja", mrYes);
    case bkNo: return preset("LBNO", "Nein", mrNo);
    case bkClose: return preset("LBCLOSE", "Schließen", mrNone);
    case bkAbort: return preset("LBABORT", "Abbrechen", mrAbort);
    case bkRetry: return preset("LBRETRY", "Wiederholen", mrRetry);
    case bkIgnore: return preset("LBIGNORE", "Ignorieren", mrIgnore);
    case bkAll: return preset("LBALL", "Alle", mrAll);
    }
    return std::nullopt;
}

TLbButton::TLbButton(TComponent* AOwner)
    : TLbButtonBase(AOwner, taCenter, 0x00808080)
{
    SetControlStyle(csCaptureMouse | csSetCaption);
    SetBounds(Left(), Top(), 100, 23);
    SetTabStop(true);
}

TLbButton::~TLbButton() = default;

void TLbButton::SetGlyph(const TBitmap* value)
{
    TLbButtonBase::SetGlyph(value);
    FKind = bkCustom;
}

void TLbButton::SetModalResult(TModalResult value)
{
    FModalResult = value;
    FKind = bkCustom;
}

void TLbButton::SetKind(TLbButtonKind value)
{
    if (const std::optional<TLbButtonKindPreset> preset = LbButtonKindPreset(value)) {
        FNumGlyphs = 2;
        SetModalResult(preset->ModalResult);
        FGlyph->LoadFromResourceName(preset->Glyph);
        SetCaption(preset->Caption);
    }
    // Stored last: the modal result's setter turned the kind back to custom.
    FKind = value;
    Invalidate();
}

TLbButtonFace TLbButton::Face() const
{
    TLbButtonFace f = BaseFace(FCursorOnButton || Focused());
    f.Transparent = false;
    f.Down = FDown;
    return f;
}

void TLbButton::Paint()
{
    if ((ComponentState() & (csLoading | csDestroying)) || (!Visible() && !(ComponentState() & csDesigning)))
        return;
    if (Width() <= 0 || Height() <= 0)
        return;
    const bool seeThrough = FStyle == bsModern || FStyle == bsShape;
    TBitmap image(Width(), Height());
    if (seeThrough) {
        // The face leaves its corners in the key colour; the parent shows there.
        image.SetTransparentColor(clLbTransparent);
        image.SetTransparent(true);
        image.Canvas()->FillSolidRect(ClientRect(), clLbTransparent);
    }
    TLbButtonFace face = Face();
    if (FStyle == bsOld && Focused()) {
        // The classic focused button: the face one pixel smaller inside a
        // black frame.
        face.Width -= 2;
        face.Height -= 2;
        if (FDown)
            face.LightColor = FShadowColor;
        if (face.Width > 0 && face.Height > 0) {
            TBitmap inner(face.Width, face.Height);
            PaintLbButtonFace(*inner.Canvas(), face);
            image.Canvas()->Draw(1, 1, inner);
        }
        image.Canvas()->Brush()->SetColor(clBlack);
        image.Canvas()->FrameRect(ClientRect());
    } else {
        PaintLbButtonFace(*image.Canvas(), face);
    }
    TCanvas& canvas = *Canvas();
    if (seeThrough)
        PaintParentBackground(this, canvas);
    canvas.Draw(0, 0, image);
    if (Focused() && FEnabled && FStyle != bsShape)
        canvas.DrawFocusRect(Rect(4, 4, Width() - 4, Height() - 4));
}

void TLbButton::Click()
{
    if (!Visible() || !FEnabled || !FDown)
        return;
    FDown = false;
    const std::weak_ptr<bool> alive = AliveToken();
    TCustomControl::Click();
    if (alive.expired())
        return;
    if (FModalResult != mrNone) {
        if (TCustomForm* form = GetParentForm())
            form->SetModalResult(FModalResult);
    }
    if (TPopupMenu* menu = PopupMenu()) {
        const QPoint at = ClientToScreen(QPoint(0, Height()));
        menu->SetPopupComponent(this);
        menu->Popup(at.x(), at.y());
    }
}

void TLbButton::Accelerate()
{
    const std::weak_ptr<bool> alive = AliveToken();
    FDown = true;
    Click();
    if (!alive.expired())
        Repaint();
}

void TLbButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (!FEnabled || Button != mbLeft)
        return;
    FDown = true;
    if (CanFocus())
        SetFocus();
    Repaint();
}

void TLbButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    // Released anywhere, a pressed button clicks.
    const std::weak_ptr<bool> alive = AliveToken();
    if (FDown)
        Click();
    if (alive.expired())
        return;
    FDown = false;
    Repaint();
}

void TLbButton::KeyDown(quint16& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (FEnabled && (Key == VK_RETURN || Key == VK_SPACE)) {
        FDown = true;
        Repaint();
    }
}

void TLbButton::KeyUp(quint16& Key, TShiftState Shift)
{
    TCustomControl::KeyUp(Key, Shift);
    if (Key != VK_RETURN && Key != VK_SPACE)
        return;
    const std::weak_ptr<bool> alive = AliveToken();
    Click();
    if (!alive.expired())
        Repaint();
}

void TLbButton::CMDialogKey(TMessage& Message)
{
    const auto key = quint16(Message.WParam);
    const auto shift = TShiftState(Message.LParam);
    const bool wanted = (key == VK_RETURN && FDefault) || (key == VK_ESCAPE && FCancel);
    if (!wanted || (shift & (ssShift | ssCtrl | ssAlt)) || !Visible() || !FEnabled)
        return;
    // A focused push button presses itself with Enter.
    if (TCustomForm* form = GetParentForm(); form && form->ActiveControl()) {
        const QString active = form->ActiveControl()->ClassName().toUpper();
        if (active.contains(QStringLiteral("BUTTON")) && !active.contains(QStringLiteral("RADIOBUTTON")))
            return;
    }
    Accelerate();
    Message.Result = 1;
}

void TLbButton::CMFocusChanged(TMessage&)
{
    Repaint();
}
