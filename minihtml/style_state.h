#pragma once

// The formatting state of the layout and the style tags that change it. The
// state keeps the open start tags and is rebuilt from its initial values
// each time one opens or closes, so closing a tag removes exactly its own
// effect, in whatever order tags are closed.

#include "minihtml/tags.h"

#include <QList>
#include <QString>

#include <memory>

// The transparent colour of the cache bitmap and the initial background.
constexpr TColor HtmlTransparentColor = 0xEFFEF1;

enum TTextStyle { isNormal, isSubScript, isSuperScript };

class TCurrentState {
public:
    explicit TCurrentState(TQzMiniHtml2* o);
    TCurrentState(const TCurrentState&) = delete;
    TCurrentState& operator=(const TCurrentState&) = delete;

    // Back to the initial values, then the open tags' effects in order.
    void InitState();
    // Opens a tag (ignored beyond MaxOpenTags, so hostile nesting stays cheap).
    void AddTag(atag* Tag);
    // Closes the newest open tag of class T or a class derived from it.
    template <class T> void RemoveTag()
    {
        RemoveTagIf([](const atag* t) { return dynamic_cast<const T*>(t) != nullptr; });
    }
    void RemoveTagIf(bool (*matches)(const atag*));
    // Forgets the open tags (they belong to the engine's tag list).
    void ClearTags() { StateTagList.clear(); }
    int OpenTagCount() const { return int(StateTagList.size()); }

    static constexpr int MaxOpenTags = 256;

    std::shared_ptr<TFont> Font;
    bool Visible = true;
    TColor BackGroundColor = HtmlTransparentColor;
    int Indent = 0;
    QString TargetURL;
    QString Align;
    TColor FontColor = clBlack;
    TColor ActiveColor = clRed;
    TColor VisitedColor = clPurple;
    TColor URLColor = clBlue;
    QString ListItemShowType;
    QString fmName, fmMethod, fmAction;
    bool Selected = false;
    TTextStyle TextStyle = isNormal;
    TQzMiniHtml2* owner;

private:
    QList<atag*> StateTagList;
};

// Attribute value rules shared by the tags.

// "#RRGGBB" (extra characters ignored), a colour identifier ("clRed"), or an
// integer ("$FF"); empty or "<"-holding text is black, anything else white.
TColor HtmlToColor(const QString& text);
// "#RRGGBB" in upper-case hex.
QString ColorToHtml(TColor color);
// A width: "N%" of available, or a number; 0 gives def, results above 10
// lose 10 (the margins).
int ParseHtmlSize(int available, const QString& text, int def);
// The font tag's size: "+N" and "-N" count from 8, a bare number is
// absolute; kept within 1 to 200 points.
int HtmlFontSize(const QString& text);
// The class library's integer syntax: blanks before, a sign, decimal or "$"
// hex; anything else (or overflow) is no number.
bool HtmlTryStrToInt(const QString& text, int& value);
int HtmlStrToIntDef(const QString& text, int def);

// ---------------------------------------------------------------------------
// Style tags: the start tags push themselves while measured, the end tags
// pop their partner.

// A start tag whose measuring step pushes it onto the formatting state.
class aStyleSTag : public aInVisTag {
public:
    using aInVisTag::aInVisTag;
    void Update() override;
};

// Closes the newest open tag that matches, on the engine's current state.
void PopOpenTag(TQzMiniHtml2* html, bool (*matches)(const atag*));

// An end tag whose measuring step pops the newest open T.
template <class T, class Base = aInVisTag> class aStyleETag : public Base {
public:
    using Base::Base;
    void Update() override
    {
        PopOpenTag(this->aHtml, [](const atag* t) { return dynamic_cast<const T*>(t) != nullptr; });
    }
};

class aHeadSTag : public aStyleSTag {
public:
    using aStyleSTag::aStyleSTag;
    QString ClassName() const override { return QStringLiteral("aHeadSTag"); }
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.Visible = false; }
};

class aScriptSTag : public aStyleSTag {
public:
    using aStyleSTag::aStyleSTag;
    QString ClassName() const override { return QStringLiteral("aScriptSTag"); }
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.Visible = false; }
};

class aBodySTag : public aStyleSTag {
public:
    using aStyleSTag::aStyleSTag;
    QString ClassName() const override { return QStringLiteral("aBodySTag"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void UpdateState(TCurrentState& CurrentState) override;
    // Fills the whole cache with the background colour, when one is given.
    void Draw(TCanvas& aCanvas) override;

    TColor bgColor = clNone;
    TColor textColor = clBlack;
    TColor linkColor = clBlue;
    TColor alinkColor = clRed;
    TColor vlinkColor = clPurple;
};

class aFontSTag : public aStyleSTag {
public:
    using aStyleSTag::aStyleSTag;
    QString ClassName() const override { return QStringLiteral("aFontSTag"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void UpdateState(TCurrentState& CurrentState) override;

    QString FontName = QStringLiteral("MS Sans Serif");
    TColor FontColor = clBlack;
    int FontSize = 8;
};

// p and div: alignment and a background band behind the content.
class aPSTag : public aLNInVisTag {
public:
    using aLNInVisTag::aLNInVisTag;
    QString ClassName() const override { return QStringLiteral("aPSTag"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void Update() override;
    void UpdateState(TCurrentState& CurrentState) override;
    void Draw(TCanvas& aCanvas) override;
    void Print() override;

    QString Align;
    TColor bgColor = clNone;
    // The band's extent, found by the engine before drawing and printing;
    // empty when nothing visible lies inside.
    int BandTop = 0;
    int BandBottom = 0;

protected:
    // Only a paragraph with a colour and something in it has a band (an
    // empty one no inverted band over everything).
    bool Shows() const override;

private:
    // The band: across the area within the margins, over the content.
    QRect Band() const;
};

class aBlockquoteSTag : public aLNInVisTag {
public:
    using aLNInVisTag::aLNInVisTag;
    QString ClassName() const override { return QStringLiteral("aBlockquoteSTag"); }
    void Update() override;
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.Indent += 50; }
};

// u, b, s and i.
class aFontStyleSTag : public aStyleSTag {
public:
    aFontStyleSTag(TQzMiniHtml2* html, const QString& Tag1, TFontStyle style)
        : aStyleSTag(html, Tag1)
        , fStyle(style)
    {
    }
    void UpdateState(TCurrentState& CurrentState) override;

private:
    TFontStyle fStyle;
};

#define MINIHTML_FONT_STYLE_TAG(Name, Style)                                                                           \
    class Name : public aFontStyleSTag {                                                                               \
    public:                                                                                                            \
        Name(TQzMiniHtml2* html, const QString& Tag1)                                                                  \
            : aFontStyleSTag(html, Tag1, Style)                                                                        \
        {                                                                                                              \
        }                                                                                                              \
        explicit Name(TQzMiniHtml2* html)                                                                              \
            : Name(html, QString())                                                                                    \
        {                                                                                                              \
        }                                                                                                              \
        QString ClassName() const override { return QStringLiteral(#Name); }                                           \
    }

MINIHTML_FONT_STYLE_TAG(aUSTag, fsUnderline);
MINIHTML_FONT_STYLE_TAG(aBSTag, fsBold);
MINIHTML_FONT_STYLE_TAG(aSSTag, fsStrikeOut);
MINIHTML_FONT_STYLE_TAG(aISTag, fsItalic);

class aASTag : public aStyleSTag {
public:
    using aStyleSTag::aStyleSTag;
    QString ClassName() const override { return QStringLiteral("aASTag"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.TargetURL = href; }

    QString href;
};

class aULSTag : public aInVisLNTag {
public:
    using aInVisLNTag::aInVisLNTag;
    QString ClassName() const override { return QStringLiteral("aULSTag"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void Update() override;
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.ListItemShowType = ShowType; }

    QString ShowType;
};

// Its items are numbered by the engine before the layout (see
// TQzMiniHtml2::NumberListItems).
class aOLSTag : public aInVisLNTag {
public:
    using aInVisLNTag::aInVisLNTag;
    QString ClassName() const override { return QStringLiteral("aOLSTag"); }
    void Update() override;
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.ListItemShowType = QStringLiteral("number"); }
};

class aSubSTag : public aStyleSTag {
public:
    using aStyleSTag::aStyleSTag;
    QString ClassName() const override { return QStringLiteral("aSubSTag"); }
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.TextStyle = isSubScript; }
};

class aSupSTag : public aStyleSTag {
public:
    using aStyleSTag::aStyleSTag;
    QString ClassName() const override { return QStringLiteral("aSupSTag"); }
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.TextStyle = isSuperScript; }
};

// selection and hi: selected text, and the engine scrolls to it.
class aSelectionSTag : public aInVisTag {
public:
    using aInVisTag::aInVisTag;
    QString ClassName() const override { return QStringLiteral("aSelectionSTag"); }
    QString GetHtml() const override { return QString(); }
    void Update() override;
    void UpdateState(TCurrentState& CurrentState) override;
};

class aSelectionETag : public aInVisTag {
public:
    using aInVisTag::aInVisTag;
    QString ClassName() const override { return QStringLiteral("aSelectionETag"); }
    QString GetHtml() const override { return QString(); }
    void Update() override;
};

#define MINIHTML_END_TAG(Name, Start, Base)                                                                            \
    class Name : public aStyleETag<Start, Base> {                                                                      \
    public:                                                                                                            \
        using aStyleETag<Start, Base>::aStyleETag;                                                                     \
        QString ClassName() const override { return QStringLiteral(#Name); }                                           \
    }

MINIHTML_END_TAG(aHeadETag, aHeadSTag, aInVisTag);
MINIHTML_END_TAG(aScriptETag, aScriptSTag, aInVisTag);
MINIHTML_END_TAG(aBodyETag, aBodySTag, aInVisTag);
MINIHTML_END_TAG(aFontETag, aFontSTag, aInVisTag);
MINIHTML_END_TAG(aPETag, aPSTag, aInVisLNTag);
MINIHTML_END_TAG(aBlockquoteETag, aBlockquoteSTag, aInVisLNTag);
MINIHTML_END_TAG(aUETag, aUSTag, aInVisTag);
MINIHTML_END_TAG(aBETag, aBSTag, aInVisTag);
MINIHTML_END_TAG(aSETag, aSSTag, aInVisTag);
MINIHTML_END_TAG(aIETag, aISTag, aInVisTag);
MINIHTML_END_TAG(aAETag, aASTag, aInVisTag);
MINIHTML_END_TAG(aULETag, aULSTag, aInVisTag);
MINIHTML_END_TAG(aOLETag, aOLSTag, aInVisTag);
MINIHTML_END_TAG(aSubETag, aSubSTag, aInVisTag);
MINIHTML_END_TAG(aSupETag, aSupSTag, aInVisTag);
