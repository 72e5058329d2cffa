#include "minihtml/tags.h"

#include "minihtml/dynamic_elements.h"
#include "minihtml/engine.h"
#include "minihtml/inline_elements.h"
#include "minihtml/style_state.h"
#include "minihtml/tables.h"

using F = THTMLFlag;

const std::array<THTMLTagInfo, 33> HtmlTags = { {
    { u"html", F::None },
    { u"head", F::None },
    { u"script", F::None },
    { u"body", F::TextFormat },
    { u"font", F::TextFormat },
    { u"blockquote", F::TextFormat },
    { u"indent", F::TextFormat },
    { u"p", F::LineBreak },
    { u"div", F::LineBreak },
    { u"br", F::LineBreak },
    { u"u", F::TextFormat },
    { u"b", F::TextFormat },
    { u"s", F::TextFormat },
    { u"i", F::TextFormat },
    { u"a", F::TextFormat },
    { u"ul", F::Bullet },
    { u"ol", F::Bullet },
    { u"li", F::Bullet },
    { u"title", F::None },
    { u"img", F::Graphic },
    { u"hr", F::Graphic },
    { u"dynamic", F::Dynamic },
    { u"html", F::Controls },
    { u"input", F::Controls },
    { u"user", F::Dynamic },
    { u"selection", F::TextFormat },
    { u"hi", F::TextFormat },
    { u"sub", F::TextFormat },
    { u"sup", F::TextFormat },
    { u"table", F::Table },
    { u"tr", F::Table },
    { u"td", F::Table },
    { u"th", F::Table },
} };

int FindTagIndex(const QString& name, THTMLFlags enabled)
{
    if (name.isEmpty())
        return 0;
    QString n = name.toLower();
    int sign = 1;
    if (n.startsWith(u'/')) {
        n.remove(0, 1);
        sign = -1;
    }
    for (size_t row = 0; row < HtmlTags.size(); ++row) {
        if (n != QStringView(HtmlTags[row].Html))
            continue;
        // The first equal row decides, enabled or not.
        if (!(enabled & HtmlFlag(HtmlTags[row].flags)))
            return 0;
        return sign * int(row + 1);
    }
    return 0;
}

// ---------------------------------------------------------------------------

int THtmlAttributes::IndexOf(const QString& name) const
{
    for (int i = 0; i < fItems.size(); ++i)
        if (fItems[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString THtmlAttributes::Value(const QString& name) const
{
    const int i = IndexOf(name);
    return i < 0 ? QString() : fItems[i].Value;
}

QString THtmlAttributes::RawValue(const QString& name) const
{
    const int i = IndexOf(name);
    return i < 0 ? QString() : fItems[i].Raw;
}

void THtmlAttributes::SetValue(const QString& name, const QString& value, const QString& rawValue)
{
    const int i = IndexOf(name);
    if (value.isEmpty()) {
        if (i >= 0)
            fItems.removeAt(i);
        return;
    }
    if (i >= 0) {
        fItems[i].Value = value;
        fItems[i].Raw = rawValue;
    } else {
        fItems.append({ name, value, rawValue });
    }
}

QStringList THtmlAttributes::Lines() const
{
    QStringList lines;
    for (const Item& item : fItems)
        lines.append(item.Name + u'=' + item.Value);
    return lines;
}

QString ReplaceText(const QString& text, const QString& old, const QString& new_)
{
    if (old.isEmpty())
        return text;
    QString result = text;
    return result.replace(old, new_, Qt::CaseInsensitive);
}

// ---------------------------------------------------------------------------

atag::atag(TQzMiniHtml2* html, const QString& Tag1)
    : tagName(Tag1)
    , aHtml(html)
{
}

atag::atag(TQzMiniHtml2* html)
    : aHtml(html)
{
}

void aInVisTag::UpdateFontColor(
    TObject* Sender, atag* Tag, TColor FontColor, TColor URLColor, TColor ActiveColor, TColor VisitedColor)
{
    auto* vis = dynamic_cast<aVisTag*>(Tag);
    if (!vis)
        return;
    if (FontColor != -1)
        vis->FontColor = FontColor;
    if (URLColor != -1)
        vis->URLColor = URLColor;
    if (ActiveColor != -1)
        vis->ActiveColor = ActiveColor;
    if (VisitedColor != -1)
        vis->VisitedColor = VisitedColor;
}

atag::~atag() = default;

aVisTag::aVisTag(TQzMiniHtml2* html, const QString& Tag1)
    : atag(html, Tag1)
    , Font(std::make_shared<TFont>())
{
    Font->SetName(QStringLiteral("MS Sans Serif"));
    Font->SetSize(8);
}

aVisTag::aVisTag(TQzMiniHtml2* html)
    : aVisTag(html, QString())
{
}

void aVisTag::Update()
{
    const TCurrentState& s = aHtml->currentState;
    Font = s.Font;
    FontColor = s.FontColor;
    ActiveColor = s.ActiveColor;
    VisitedColor = s.VisitedColor;
    URLColor = s.URLColor;
    Visible = s.Visible;
    BackGroundColor = s.BackGroundColor;
    TargetURL = s.TargetURL;
    align = s.Align;
    Selected = s.Selected;
}

bool aVisTag::IsIn(QPoint aPoint) const
{
    if (Width <= 0 || Height <= 0)
        return false;
    return aPoint.x() >= Left && aPoint.x() <= Left + Width && aPoint.y() >= Top + Height - LineHeight
        && aPoint.y() <= Top + Height;
}

bool aVisTag::IsIn(const QRect& aRect) const
{
    if (Width <= 0 || Height <= 0)
        return false;
    return LineBox().intersects(aRect.normalized());
}

TColor aVisTag::LinkAwareColor() const
{
    if (TargetURL.isEmpty())
        return FontColor;
    if (MouseOver)
        return ActiveColor;
    return Visited ? VisitedColor : URLColor;
}

// ---------------------------------------------------------------------------

namespace {

template <class T> std::unique_ptr<atag> Make(TQzMiniHtml2* html, const QString& text)
{
    return std::make_unique<T>(html, text);
}

using TFactory = std::unique_ptr<atag> (*)(TQzMiniHtml2*, const QString&);

struct TTagClasses {
    TFactory Start;
    TFactory End;
};

// The classes of the catalogue's rows, in row order.
const TTagClasses kTagClasses[33] = {
    { Make<aHtmlSTag>, Make<aHtmlETag> },
    { Make<aHeadSTag>, Make<aHeadETag> },
    { Make<aScriptSTag>, Make<aScriptETag> },
    { Make<aBodySTag>, Make<aBodyETag> },
    { Make<aFontSTag>, Make<aFontETag> },
    { Make<aBlockquoteSTag>, Make<aBlockquoteETag> },
    { Make<aBlockquoteSTag>, Make<aBlockquoteETag> },
    { Make<aPSTag>, Make<aPETag> },
    { Make<aPSTag>, Make<aPETag> },
    { Make<aBRTag>, Make<aBRTag> },
    { Make<aUSTag>, Make<aUETag> },
    { Make<aBSTag>, Make<aBETag> },
    { Make<aSSTag>, Make<aSETag> },
    { Make<aISTag>, Make<aIETag> },
    { Make<aASTag>, Make<aAETag> },
    { Make<aULSTag>, Make<aULETag> },
    { Make<aOLSTag>, Make<aOLETag> },
    { Make<aLISTag>, Make<aLIETag> },
    { Make<aTitleSTag>, Make<aTitleETag> },
    { Make<aPicture>, nullptr },
    { Make<aHorizontalRule>, nullptr },
    { Make<aDynamicTag>, Make<aDynamicTag> },
    { nullptr, nullptr },
    { Make<aFormElement>, nullptr },
    { Make<aUserDefined>, nullptr },
    { Make<aSelectionSTag>, Make<aSelectionETag> },
    { Make<aSelectionSTag>, Make<aSelectionETag> },
    { Make<aSubSTag>, Make<aSubETag> },
    { Make<aSupSTag>, Make<aSupETag> },
    { Make<aTableSTag>, Make<aTableETag> },
    { Make<aTRSTag>, Make<aTRETag> },
    { Make<aTDSTag>, Make<aTDETag> },
    { Make<aTHSTag>, Make<aTHETag> },
};

} // namespace

std::unique_ptr<atag> CreateTagObject(int index, TQzMiniHtml2* html, const QString& tagText)
{
    const int row = index < 0 ? -index : index;
    if (row < 1 || row > 33)
        return nullptr;
    const TTagClasses& classes = kTagClasses[row - 1];
    const TFactory factory = index > 0 ? classes.Start : classes.End;
    return factory ? factory(html, tagText) : nullptr;
}
