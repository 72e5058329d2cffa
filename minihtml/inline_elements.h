#pragma once

// The visible elements of the running text: words, blanks, pictures,
// horizontal rules and list-item markers.

#include "minihtml/style_state.h"

#include <QImage>
#include <QString>

class aText : public aVisTag {
public:
    aText(TQzMiniHtml2* html, const QString& Tag1);
    QString ClassName() const override { return QStringLiteral("aText"); }
    QString GetHtml() const override { return Text; }
    void Update() override;
    void Draw(TCanvas& aCanvas) override;
    using aVisTag::Select;
    void Select(QPoint TopLeft, QPoint BottomRight, bool CheckLeftside, bool CheckRightside) override;
    void UnSelect() override;

    QString Text;
    int SelStart = -1;
    int SelStop = -1;
    int SelStartX = 0;
    int SelStopX = 0;
    TTextStyle TextStyle = isNormal;
};

// Outputs a word in the canvas font: CR LF pairs left out, sub- and
// superscript at half the size, shifted by that half.
void DrawWordText(TCanvas& canvas, int x, int y, const QString& text, TTextStyle style, int fontSize);
// False for text with nothing to draw in the canvas font (tabs, or only
// characters the fonts have no glyph for), whose ink bounds Qt reports
// 100000 pixels away: the canvas would size its glyph layer to reach them.
bool HasDrawableInk(const TCanvas& canvas, const QString& text);

class aSpace : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aSpace"); }
    QString GetHtml() const override { return Text; }
    void Update() override;
    void Draw(TCanvas& aCanvas) override;

    QString Text = QStringLiteral(" ");
};

// Where an img source points: the protocol before the first ":" and the
// file path or resource name.
struct TPictureSource {
    QString Protocol;
    QString Cache;
};
// src as written (case kept). "file:" paths lose their leading slashes and
// take "|" as ":"; on systems with "/" as separator the path stays absolute.
// "%app%" is the program's folder; the first "%NAME%" an environment variable.
TPictureSource ResolvePictureSource(const QString& src, const QString& programFolder);
// The folder of the program's file, with a trailing separator.
QString HtmlProgramFolder();

class aPicture : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aPicture"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void Update() override;
    void Draw(TCanvas& aCanvas) override;

    // Size of a picture whose file or resource is missing.
    static constexpr int MissingSize = 105;
    // Larger attribute values are cut to this.
    static constexpr int MaxSize = 10000;

    QString Align;
    QString PictureURL;
    QString Cache;
    QString Protocol;

private:
    bool fHasWidth = false;
    bool fHasHeight = false;
    QString fWidthText;
    QString fHeightText;
    // The picture loaded while measuring, drawn without loading again.
    QImage fImage;
};

class aHorizontalRule : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aHorizontalRule"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void Update() override;
    void Draw(TCanvas& aCanvas) override;

    int rwidth = 0;
    int size = 4;
    bool noshade = false;
};

class aLISTag : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aLISTag"); }
    void Update() override;
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.Indent += 50; }
    void Draw(TCanvas& aCanvas) override;

    // The list kind in force when the item was measured.
    QString ShowType;
    int Counter = 0;
};

MINIHTML_END_TAG(aLIETag, aLISTag, aInVisLNTag);
