#include "minihtml/style_state.h"

#include "minihtml/engine.h"
#include "minihtml/printer.h"

#include <limits>

namespace {

// The class library's Trim: every character up to the blank goes.
QString TrimBlanks(const QString& text)
{
    qsizetype start = 0, end = text.size();
    while (start < end && text[start].unicode() <= u' ')
        ++start;
    while (end > start && text[end - 1].unicode() <= u' ')
        --end;
    return text.mid(start, end - start);
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

bool HtmlTryStrToInt(const QString& text, int& value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= n)
        return false;
    qint64 v = 0;
    if (text[i] == u'$') {
        ++i;
        if (i >= n)
            return false;
        for (; i < n; ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0)
                return false;
            v = v * 16 + d;
            if (v > 0xFFFFFFFFLL)
                return false;
        }
        // Hex takes all 32 bits, as the class library's reader does.
        v = qint64(qint32(quint32(v)));
    } else {
        for (; i < n; ++i) {
            const char16_t u = text[i].unicode();
            if (u < u'0' || u > u'9')
                return false;
            v = v * 10 + (u - u'0');
            if (v > qint64(std::numeric_limits<int>::max()) + 1)
                return false;
        }
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    value = int(v);
    return true;
}

namespace {

// "<name attr="value" ...>" from a tag's attributes.
QString TagTextWithAttributes(const atag& tag)
{
    QString text = tag.tagName;
    if (text.endsWith(u'>'))
        text.chop(1);
    for (int i = 0; i < tag.variables.Count(); ++i) {
        const QString& name = tag.variables.Name(i);
        text += u' ' + name + QStringLiteral("=\"") + tag.variables.Value(name) + u'"';
    }
    return text + u'>';
}

} // namespace

int HtmlStrToIntDef(const QString& text, int def)
{
    int value = 0;
    return HtmlTryStrToInt(text, value) ? value : def;
}

TColor HtmlToColor(const QString& text)
{
    if (text.isEmpty() || text.contains(u'<'))
        return clBlack;
    if (text.startsWith(u'#')) {
        int rgb[3];
        for (int k = 0; k < 3; ++k) {
            const qsizetype at = 1 + 2 * k;
            if (at + 1 >= text.size())
                return clWhite;
            const int hi = HexDigit(text[at]), lo = HexDigit(text[at + 1]);
            if (hi < 0 || lo < 0)
                return clWhite;
            rgb[k] = hi * 16 + lo;
        }
        return RGB(rgb[0], rgb[1], rgb[2]);
    }
    TColor color = clWhite;
    if (IdentToColor(text, color))
        return color;
    int value = 0;
    return HtmlTryStrToInt(text, value) ? TColor(value) : clWhite;
}

QString ColorToHtml(TColor color)
{
    auto hex = [](int byte) { return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper(); };
    return u'#' + hex(GetRValue(color)) + hex(GetGValue(color)) + hex(GetBValue(color));
}

int ParseHtmlSize(int available, const QString& text, int def)
{
    // Far beyond any screen, and far from overflowing the layout's sums.
    constexpr qint64 limit = 1000000;
    const QString t = TrimBlanks(text);
    const qsizetype percent = t.indexOf(u'%');
    qint64 result;
    if (percent == t.size() - 1) {
        const int number = HtmlStrToIntDef(percent < 0 ? QString() : t.left(percent), 100);
        result = qint64(available) * number / 100;
    } else {
        result = HtmlStrToIntDef(text, 1);
    }
    if (result == 0)
        result = def;
    if (result > 10)
        result -= 10;
    return int(qBound(-limit, result, limit));
}

int HtmlFontSize(const QString& text)
{
    qint64 size;
    if (text.contains(u'+')) {
        size = 8 + qint64(HtmlStrToIntDef(text, 0));
    } else if (text.contains(u'-')) {
        QString rest = text;
        rest.remove(rest.indexOf(u'-'), 1);
        size = 8 - qint64(HtmlStrToIntDef(rest, 0));
    } else {
        size = HtmlStrToIntDef(text, 8);
    }
    // A font of no size or of thousands of points would not show the text.
    return int(qBound(qint64(1), size, qint64(200)));
}

// ---------------------------------------------------------------------------

TCurrentState::TCurrentState(TQzMiniHtml2* o)
    : owner(o)
{
    InitState();
}

void TCurrentState::InitState()
{
    Font = std::make_shared<TFont>();
    Font->SetStyle(TFontStyles());
    Font->SetName(QStringLiteral("MS Sans Serif"));
    Font->SetSize(8);
    TargetURL.clear();
    BackGroundColor = HtmlToColor(QStringLiteral("#F1FEEF"));
    FontColor = clBlack;
    ActiveColor = clRed;
    VisitedColor = clPurple;
    URLColor = clBlue;
    Selected = false;
    TextStyle = isNormal;
    Align.clear();
    Indent = 0;
    Visible = true;
    for (atag* tag : StateTagList)
        tag->UpdateState(*this);
}

void TCurrentState::AddTag(atag* Tag)
{
    if (!Tag || StateTagList.size() >= MaxOpenTags)
        return;
    StateTagList.append(Tag);
    InitState();
}

void TCurrentState::RemoveTagIf(bool (*matches)(const atag*))
{
    for (qsizetype i = StateTagList.size() - 1; i >= 0; --i) {
        if (matches(StateTagList[i])) {
            StateTagList.removeAt(i);
            InitState();
            return;
        }
    }
}

void PopOpenTag(TQzMiniHtml2* html, bool (*matches)(const atag*))
{
    html->currentState.RemoveTagIf(matches);
}

// ---------------------------------------------------------------------------

void aStyleSTag::Update()
{
    aHtml->currentState.AddTag(this);
}

QString aBodySTag::GetHtml() const
{
    return TagTextWithAttributes(*this);
}

void aBodySTag::SetHtml(const THtmlAttributes& commands)
{
    auto color = [&](const char16_t* name, TColor def) {
        const QString key = QString::fromUtf16(name);
        return commands.Has(key) ? HtmlToColor(commands.Value(key)) : def;
    };
    bgColor = color(u"bgcolor", clNone);
    textColor = color(u"text", clBlack);
    linkColor = color(u"link", clBlue);
    alinkColor = color(u"alink", clRed);
    vlinkColor = color(u"vlink", clPurple);
}

void aBodySTag::UpdateState(TCurrentState& CurrentState)
{
    if (variables.Has(QStringLiteral("text")))
        CurrentState.FontColor = textColor;
    if (variables.Has(QStringLiteral("link")))
        CurrentState.URLColor = linkColor;
    if (variables.Has(QStringLiteral("vlink")))
        CurrentState.VisitedColor = vlinkColor;
    if (variables.Has(QStringLiteral("alink")))
        CurrentState.ActiveColor = alinkColor;
    if (variables.Has(QStringLiteral("bgcolor"))) {
        CurrentState.BackGroundColor = bgColor;
        CurrentState.owner->Color = bgColor;
    }
}

void aBodySTag::Draw(TCanvas& aCanvas)
{
    // Without a bgcolor there is nothing to fill with: the host shows through.
    if (!variables.Has(QStringLiteral("bgcolor")))
        return;
    aCanvas.Brush()->SetColor(bgColor);
    aCanvas.Brush()->SetStyle(bsSolid);
    aCanvas.FillRect(aCanvas.ClipRect());
}

QString aFontSTag::GetHtml() const
{
    return TagTextWithAttributes(*this);
}

void aFontSTag::SetHtml(const THtmlAttributes& commands)
{
    if (commands.Has(QStringLiteral("face")))
        FontName = commands.Value(QStringLiteral("face"));
    if (commands.Has(QStringLiteral("name")))
        FontName = commands.Value(QStringLiteral("name"));
    if (commands.Has(QStringLiteral("color")))
        FontColor = HtmlToColor(commands.Value(QStringLiteral("color")));
    if (commands.Has(QStringLiteral("size")))
        FontSize = HtmlFontSize(commands.Value(QStringLiteral("size")));
}

void aFontSTag::UpdateState(TCurrentState& CurrentState)
{
    if (variables.Has(QStringLiteral("color")))
        CurrentState.FontColor = FontColor;
    if (variables.Has(QStringLiteral("name")) || variables.Has(QStringLiteral("face")))
        CurrentState.Font->SetName(FontName);
    if (variables.Has(QStringLiteral("size")))
        CurrentState.Font->SetSize(FontSize);
}

QString aPSTag::GetHtml() const
{
    return TagTextWithAttributes(*this);
}

void aPSTag::SetHtml(const THtmlAttributes& commands)
{
    Align = commands.Value(QStringLiteral("align"));
    if (commands.Has(QStringLiteral("bgcolor")))
        bgColor = HtmlToColor(commands.Value(QStringLiteral("bgcolor")));
}

void aPSTag::Update()
{
    aHtml->currentState.AddTag(this);
}

void aPSTag::UpdateState(TCurrentState& CurrentState)
{
    if (variables.Has(QStringLiteral("align")))
        CurrentState.Align = Align;
    if (variables.Has(QStringLiteral("bgcolor")))
        CurrentState.BackGroundColor = bgColor;
}

bool aPSTag::Shows() const
{
    return variables.Has(QStringLiteral("bgcolor")) && BandTop < BandBottom;
}

QRect aPSTag::Band() const
{
    return Rect(5, BandTop, aHtml->width - 5, BandBottom);
}

void aPSTag::Draw(TCanvas& aCanvas)
{
    if (!Shows())
        return;
    aCanvas.Brush()->SetColor(bgColor);
    aCanvas.Brush()->SetStyle(bsSolid);
    aCanvas.Pen()->SetColor(bgColor);
    aCanvas.Pen()->SetStyle(psSolid);
    aCanvas.Pen()->SetWidth(1);
    aCanvas.Rectangle(Band());
}

void aPSTag::Print()
{
    if (TDummyPrinter* prt = PrintTarget())
        PrintFill(*prt, bgColor, PrintOrigin(), Band());
}

void aBlockquoteSTag::Update()
{
    aHtml->currentState.AddTag(this);
}

void aFontStyleSTag::UpdateState(TCurrentState& CurrentState)
{
    CurrentState.Font->SetStyle(CurrentState.Font->Style() | TFontStyles(fStyle));
}

QString aASTag::GetHtml() const
{
    return TagTextWithAttributes(*this);
}

void aASTag::SetHtml(const THtmlAttributes& commands)
{
    href = commands.Value(QStringLiteral("href"));
}

QString aULSTag::GetHtml() const
{
    return TagTextWithAttributes(*this);
}

void aULSTag::SetHtml(const THtmlAttributes& commands)
{
    ShowType = commands.Value(QStringLiteral("type"));
}

void aULSTag::Update()
{
    aHtml->currentState.AddTag(this);
}

void aOLSTag::Update()
{
    aHtml->currentState.AddTag(this);
}

void aSelectionSTag::Update()
{
    aHtml->currentState.AddTag(this);
    // Scroll the engine so that the selection shows.
    TQzMiniHtml2& e = *aHtml;
    const int cacheHeight = e.CacheBitmap->Height();
    e.ScrollTop = Top;
    if (e.height < cacheHeight && Top + e.height >= cacheHeight)
        e.ScrollTop = cacheHeight - e.height;
}

void aSelectionSTag::UpdateState(TCurrentState& CurrentState)
{
    CurrentState.Selected = true;
    TCurrentState& sel = CurrentState.owner->selectionState;
    if (&sel == &CurrentState)
        return;
    sel.Font = CurrentState.Font;
    sel.Visible = CurrentState.Visible;
    sel.BackGroundColor = CurrentState.BackGroundColor;
    sel.Indent = CurrentState.Indent;
    sel.TargetURL = CurrentState.TargetURL;
    sel.Align = CurrentState.Align;
    sel.FontColor = CurrentState.FontColor;
    sel.ActiveColor = CurrentState.ActiveColor;
    sel.VisitedColor = CurrentState.VisitedColor;
    sel.URLColor = CurrentState.URLColor;
    sel.ListItemShowType = CurrentState.ListItemShowType;
    sel.fmName = CurrentState.fmName;
    sel.fmMethod = CurrentState.fmMethod;
    sel.fmAction = CurrentState.fmAction;
    sel.Selected = true;
}

void aSelectionETag::Update()
{
    TQzMiniHtml2& e = *aHtml;
    e.currentState.RemoveTag<aSelectionSTag>();
    e.selectionState.Font->SetStyle(e.selectionState.Font->Style() | e.currentState.Font->Style());
}
