#pragma once

// The keyword catalogue of the labels' HTML dialect and the base classes of
// the tag objects the engine makes from it: one object per tag, word and
// blank, kept in source order. Tags measure themselves (Update), apply their
// style to the formatting state (UpdateState), draw themselves into the
// engine's cache bitmap (Draw) and answer hit tests (IsIn).

#include "platform/core/classes.h"
#include "platform/gui/graphics.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

#include <array>
#include <memory>

class TQzMiniHtml2;
class TCurrentState;
class TDummyPrinter; // minihtml/printer.h

// Categories that switch groups of keywords on and off. The names of the
// old dialect begin with an underscore and a capital, which C++ reserves.
enum class THTMLFlag { TextFormat, LineBreak, Graphic, Dynamic, Table, Bullet, Controls, None };
using THTMLFlags = unsigned;

constexpr THTMLFlags HtmlFlag(THTMLFlag flag)
{
    return 1u << unsigned(flag);
}
// Every category but None: html, head, script and title are dropped.
constexpr THTMLFlags DefaultSupportTag = 127;

struct THTMLTagInfo {
    const char16_t* Html;
    THTMLFlag flags;
};

// The 33 keywords; a lookup returns the 1-based row. Row 23 repeats "html",
// so it keeps the numbering of the rows after it but never matches.
extern const std::array<THTMLTagInfo, 33> HtmlTags;

// The row of a tag name (case ignored), negated for the "/" form; 0 for an
// empty or unknown name and for a keyword whose category is not enabled.
int FindTagIndex(const QString& name, THTMLFlags enabled);

// A tag's attributes as lower-cased name=value pairs in order of appearance.
// The value as written is kept beside it, for the few attributes whose case
// matters (file and environment names on case-sensitive file systems).
class THtmlAttributes {
public:
    int Count() const { return int(fItems.size()); }
    const QString& Name(int index) const { return fItems.at(index).Name; }
    bool Has(const QString& name) const { return IndexOf(name) >= 0; }
    // Empty when absent.
    QString Value(const QString& name) const;
    QString RawValue(const QString& name) const;
    // A repeated name keeps its last value; an empty value removes the name.
    void SetValue(const QString& name, const QString& value, const QString& rawValue);
    // "name=value" lines.
    QStringList Lines() const;

private:
    struct Item {
        QString Name;
        QString Value;
        QString Raw;
    };
    int IndexOf(const QString& name) const;
    QList<Item> fItems;
};

// Replaces every occurrence of old by new, case ignored. An empty old
// replaces nothing (rather than inserting new between every character).
QString ReplaceText(const QString& text, const QString& old, const QString& new_);

// Base of every tag object: its text, the engine that owns it, its layout
// box and its attributes.
class atag : public TPersistent {
public:
    atag(TQzMiniHtml2* html, const QString& Tag1);
    // Without tag text: tagName stays empty.
    explicit atag(TQzMiniHtml2* html);
    ~atag() override;
    atag(const atag&) = delete;
    atag& operator=(const atag&) = delete;

    QString ClassName() const override { return QStringLiteral("atag"); }

    virtual QString GetHtml() const { return tagName; }
    // Reads the attributes; called once, after the engine stored them.
    virtual void SetHtml(const THtmlAttributes& commands) { }
    // Draws into the engine's cache bitmap.
    virtual void Draw(TCanvas& aCanvas) { }
    // Sends the tag to the engine's printer, at the engine's Left and Top.
    virtual void Print() { }
    // The measuring step of the layout.
    virtual void Update() { }
    // The measuring step when laying out for a printer.
    virtual void UpdatePrinter(TDummyPrinter& prt) { Update(); }
    // Applies the tag's effect to a formatting state.
    virtual void UpdateState(TCurrentState& CurrentState) { }
    virtual bool IsIn(QPoint aPoint) const { return false; }
    virtual bool IsIn(const QRect& aRect) const { return false; }

    QString tagName;
    TQzMiniHtml2* aHtml;
    int Width = 0;
    int Height = 0;
    int Left = 0;
    int Top = 0;
    int LineNumber = 0;
    THtmlAttributes variables;
    int LineHeight = 0;
    bool Selected = false;
    bool Visible = true;
    // Position in the engine's tag list.
    int Index = -1;

protected:
    // Whether the tag puts anything on the cache or on paper; its Draw and
    // its Print both ask.
    virtual bool Shows() const { return Visible; }
    // The engine's printer while one is set and the tag shows, else
    // nullptr: every Print starts here.
    TDummyPrinter* PrintTarget() const;
    // Where the engine's printout puts the point (0, 0), or (x, y), of its
    // layout.
    QPointF PrintOrigin() const;
    QPointF PrintPos(int x, int y) const;
};

// A tag that occupies space and draws: colours, font, link target.
class aVisTag : public atag {
public:
    aVisTag(TQzMiniHtml2* html, const QString& Tag1);
    explicit aVisTag(TQzMiniHtml2* html);
    QString ClassName() const override { return QStringLiteral("aVisTag"); }

    // Takes the current style from the engine's formatting state.
    void Update() override;
    // The element's line box, edges included.
    bool IsIn(QPoint aPoint) const override;
    bool IsIn(const QRect& aRect) const override;
    virtual void Select() { Selected = true; }
    // The drag selection: a word narrows itself to the characters from
    // TopLeft's x (CheckLeftside) to BottomRight's x (CheckRightside).
    virtual void Select(QPoint TopLeft, QPoint BottomRight, bool CheckLeftside, bool CheckRightside) { Select(); }
    virtual void UnSelect() { Selected = false; }

    TColor FontColor = clBlack;
    TColor URLColor = clBlue;
    TColor ActiveColor = clRed;
    TColor VisitedColor = clPurple;
    TColor BackGroundColor = clNone;
    QString TargetURL;
    bool Visited = false;
    bool MouseOver = false;
    // Shared with the formatting state once measured.
    std::shared_ptr<TFont> Font;
    QString align;

protected:
    // The text colour of a word or blank: link colours inside a link.
    TColor LinkAwareColor() const;
    // The element's box on its line, from the line's top to the element's
    // bottom, extra pixels wider.
    QRect LineBox(int extra = 0) const
    {
        return Rect(Left, Top + Height - LineHeight, Left + Width + extra, Top + Height);
    }
};

// A tag that only changes the formatting state.
class aInVisTag : public atag {
public:
    using atag::atag;
    QString ClassName() const override { return QStringLiteral("aInVisTag"); }

    // Sets the colours of a visible Tag whose argument is not -1; any other
    // tag is left alone.
    void UpdateFontColor(
        TObject* Sender, atag* Tag, TColor FontColor, TColor URLColor, TColor ActiveColor, TColor VisitedColor);
};

// The line ends after it.
class aInVisLNTag : public aInVisTag {
public:
    using aInVisTag::aInVisTag;
    QString ClassName() const override { return QStringLiteral("aInVisLNTag"); }
};

// A new line starts before it.
class aLNInVisTag : public aInVisTag {
public:
    using aInVisTag::aInVisTag;
    QString ClassName() const override { return QStringLiteral("aLNInVisTag"); }
};

// Structure tags that act only through their class.
#define MINIHTML_PLAIN_TAG(Name, Base)                                                                                 \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
        QString ClassName() const override { return QStringLiteral(#Name); }                                           \
    }

MINIHTML_PLAIN_TAG(aHtmlSTag, aInVisTag);
MINIHTML_PLAIN_TAG(aHtmlETag, aInVisTag);
MINIHTML_PLAIN_TAG(aTitleSTag, aInVisLNTag);
MINIHTML_PLAIN_TAG(aTitleETag, aInVisLNTag);
MINIHTML_PLAIN_TAG(aBRTag, aInVisLNTag);

// The object the catalogue gives for a lookup result (negative: the "/"
// form), or nullptr where the catalogue has no class.
std::unique_ptr<atag> CreateTagObject(int index, TQzMiniHtml2* html, const QString& tagText);
