#include "minihtml/dynamic_elements.h"

#include "minihtml/engine.h"
#include "minihtml/inline_elements.h"

namespace {

QString Quoted(const QString& name, const QString& value)
{
    return u' ' + name + QStringLiteral("=\"") + value + u'"';
}

} // namespace

QString aDynamicTag::GetHtml() const
{
    return QStringLiteral("<dynamic") + Quoted(QStringLiteral("id"), id) + u'>';
}

void aDynamicTag::SetHtml(const THtmlAttributes& commands)
{
    if (commands.Has(QStringLiteral("id")))
        id = commands.Value(QStringLiteral("id"));
}

// ---------------------------------------------------------------------------

QString aUserDefined::GetHtml() const
{
    return QStringLiteral("<user") + Quoted(QStringLiteral("id"), itemID) + Quoted(QStringLiteral("type"), ItemType)
        + Quoted(QStringLiteral("var1"), variable1) + Quoted(QStringLiteral("var2"), variable2)
        + Quoted(QStringLiteral("var3"), variable3) + u'>';
}

void aUserDefined::SetHtml(const THtmlAttributes& commands)
{
    itemID = commands.Value(QStringLiteral("id"));
    ItemType = commands.Value(QStringLiteral("type"));
    variable1 = commands.Value(QStringLiteral("var1"));
    variable2 = commands.Value(QStringLiteral("var2"));
    variable3 = commands.Value(QStringLiteral("var3"));
}

void aUserDefined::Update()
{
    Width = 0;
    Height = 0;
    if (aHtml->OnUserDefinedUpdate)
        aHtml->OnUserDefinedUpdate(this, itemID, ItemType, Width, Height, variable1, variable2, variable3);
    Width = qBound(0, Width, MaxSize);
    Height = qBound(0, Height, MaxSize);
}

void aUserDefined::Draw(TCanvas& aCanvas)
{
    const QRect rect = Rect(Left, Top, Left + Width, Top + Height);
    aCanvas.Lock();
    struct Unlock {
        TCanvas& c;
        ~Unlock() { c.Unlock(); }
    } unlock { aCanvas };
    if (aHtml->OnUserDefinedDraw)
        aHtml->OnUserDefinedDraw(this, itemID, ItemType, &aCanvas, rect, variable1, variable2, variable3);
}

// ---------------------------------------------------------------------------

QString aFormElement::GetHtml() const
{
    QString text = QStringLiteral("<input") + Quoted(QStringLiteral("name"), inputName)
        + Quoted(QStringLiteral("type"), inputType) + Quoted(QStringLiteral("value"), inputValue);
    if (checked)
        text += QStringLiteral(" checked");
    return text + u'>';
}

void aFormElement::SetHtml(const THtmlAttributes& commands)
{
    inputName = commands.Value(QStringLiteral("name"));
    inputType = commands.Value(QStringLiteral("type"));
    inputValue = commands.Value(QStringLiteral("value"));
    checked = commands.Has(QStringLiteral("checked"));
}

void aFormElement::Update()
{
    const TCurrentState& s = aHtml->currentState;
    fmName = s.fmName;
    fmMethod = s.fmMethod;
    fmAction = s.fmAction;
    Font->SetName(QStringLiteral("Arial"));
    Font->SetSize(8);
    if (inputType == QStringLiteral("submit") || inputType == QStringLiteral("button")) {
        Width = aHtml->GetWidth(QStringLiteral("  ") + inputValue, *Font);
        Height = aHtml->GetHeight(inputValue, *Font) + 2;
    } else if (inputType == QStringLiteral("checkbox")) {
        Width = 16;
        Height = 12;
    }
}

void aFormElement::Draw(TCanvas& aCanvas)
{
    QRect rect = Rect(Left, Top, Left + Width, Top + Height);
    if (inputType == QStringLiteral("submit") || inputType == QStringLiteral("button")) {
        aCanvas.Brush()->SetColor(clBtnFace);
        aCanvas.Brush()->SetStyle(bsSolid);
        aCanvas.Pen()->SetStyle(psClear);
        aCanvas.Rectangle(rect);
        aCanvas.Pen()->SetStyle(psSolid);
        DrawEdge(aCanvas, rect, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_FLAT);
        aCanvas.Font()->SetName(QStringLiteral("Arial"));
        aCanvas.Font()->SetSize(8);
        aCanvas.Font()->SetStyle(TFontStyles());
        aCanvas.Font()->SetColor(clBlack);
        QString caption = inputValue;
        if (!caption.isEmpty())
            caption[0] = caption[0].toUpper();
        if (HasDrawableInk(aCanvas, caption))
            DrawText(aCanvas, caption, rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    } else if (inputType == QStringLiteral("checkbox")) {
        aCanvas.Brush()->SetColor(BackGroundColor);
        aCanvas.Brush()->SetStyle(bsSolid);
        aCanvas.FillRect(rect);
        DrawFrameControl(aCanvas, rect, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
    }
}
