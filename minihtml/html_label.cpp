#include "minihtml/html_label.h"

#include "minihtml/mouse.h"

TQzHtmlLabel2::TQzHtmlLabel2(TComponent* AOwner)
    : TLabel(AOwner)
{
    SetAutoSize(false);
    SetParentColor(true);
    QzMiniHtml2 = std::make_unique<TQzMiniHtml2>(this);
    QzMiniHtml2->MouseKBHandler1 = new TNormalHandler(this, QzMiniHtml2.get());
    QzMiniHtml2->MouseKBHandler2 = new TFormElementHandler(this, QzMiniHtml2.get());
    QzMiniHtml2->Canvas = Canvas();
    modified = true;
    NeedUpdateDyna = false;
    UpdateMiniHtml();
    InputHtml = &QzMiniHtml2->InputHtml;
    // All mouse input goes to the engine; a host that sets these itself
    // takes the routing over.
    OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        RouteMouse([&] { QzMiniHtml2->MouseMove(Sender, Shift, X, Y); });
    };
    OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        RouteMouse([&] { QzMiniHtml2->MouseDown(Sender, Button, Shift, X, Y); });
    };
    OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        RouteMouse([&] { QzMiniHtml2->MouseUp(Sender, Button, Shift, X, Y); });
    };
    InputHtml->Html = Input;
    InputHtml->FHtmlUpdate
        = [this](TObject* Sender, const QString& newHtml, QChar HKey) { OnHtmlUpdate(Sender, newHtml, HKey); };
    QzMiniHtml2->OnDynamicUpdate = [this](TObject* Sender, const QString& dynamicID, QString& Text) {
        NullDynamicUpdate(Sender, dynamicID, Text);
    };
}

TQzHtmlLabel2::~TQzHtmlLabel2()
{
    // The engine draws on this label's canvas: it goes first.
    QzMiniHtml2.reset();
}

void TQzHtmlLabel2::SetHtml(const QString& value)
{
    Input = value;
    InputHtml->Html = value;
    QzMiniHtml2->Clear();
    PrepareCopyBrush();
    modified = true;
    Invalidate();
}

TQzHtmlRec* TQzHtmlLabel2::HtmlEditor()
{
    InputHtml->Html = Input;
    return InputHtml;
}

void TQzHtmlLabel2::SetAutoHeight(bool value)
{
    AutoHt = value;
}

void TQzHtmlLabel2::UpdateMiniHtml()
{
    TQzMiniHtml2& e = *QzMiniHtml2;
    if (e.width != Width() || e.height != Height())
        modified = true;
    e.width = Width();
    e.height = Height();
    e.Color = Color();
    e.Top = 0;
    e.Left = 0;
}

void TQzHtmlLabel2::PrepareCopyBrush()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Brush()->SetStyle(Transparent() ? bsClear : bsSolid);
}

void TQzHtmlLabel2::Paint()
{
    UpdateMiniHtml();
    if (!Input.isEmpty() && !Caption().isEmpty())
        SetCaption(QString());
    TLabel::Paint();
    if (Input.isEmpty())
        return;
    PrepareCopyBrush();
    TQzMiniHtml2& e = *QzMiniHtml2;
    if (e.CacheBitmap->Width() == 0 || modified || NeedUpdateDyna) {
        if (e.Busy()) {
            // A handler of this engine is running: parse once it has returned.
            fParseWaiting = true;
            e.ReDraw();
            return;
        }
        NeedUpdateDyna = false;
        InputHtml->Html = Input;
        e.LoadFromCaption();
        ++fParseCount;
        if (modified && AutoHt) {
            SetHeight(e.CacheBitmap->Height());
            // The new height needs no new parse: only the width shapes the lines.
            e.height = Height();
        }
        modified = false;
    } else {
        e.ReDraw();
    }
}

void TQzHtmlLabel2::NullDynamicUpdate(TObject* Sender, const QString& dynamicID, QString& Text)
{
    NeedUpdateDyna = true;
}

void TQzHtmlLabel2::OnHtmlUpdate(TObject* Sender, const QString& newHtml, QChar HKey)
{
    Input = newHtml;
}

void TQzHtmlLabel2::RouteMouse(const std::function<void()>& call)
{
    const std::weak_ptr<bool> alive = AliveToken();
    call();
    if (alive.expired())
        return;
    // What the engine copied outside painting would lie over the label as
    // painted, its soft text edges darkening over themselves: the next paint
    // copies the cache once instead.
    if (!Overlay().isNull())
        Invalidate();
    if (fParseWaiting && !QzMiniHtml2->Busy()) {
        fParseWaiting = false;
        Invalidate();
    }
}
