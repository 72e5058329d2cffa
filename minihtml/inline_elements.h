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
    // Without tag text: an empty word.
    explicit aText(TQzMiniHtml2* html);
    QString GetHtml() const override { return Text; }
    void Update() override;
    void UpdatePrinter(TDummyPrinter& prt) override;
    void Draw(TCanvas& aCanvas) override;
    void Print() override;
    using aVisTag::Select;
    void Select(QPoint TopLeft, QPoint BottomRight, bool CheckLeftside, bool CheckRightside) override;
    void UnSelect() override;

    QString Text;
    int SelStart = -1;
    int SelStop = -1;
    int SelStartX = 0;
    int SelStopX = 0;
    TTextStyle TextStyle = isNormal;

private:
    // Width in the printer's font when one is given, else on the screen.
    void Measure(TDummyPrinter* prt);
    // The selected characters (the whole word without a range) and where
    // they start and end.
    void SelectedPart(int& first, int& count, int& fromX, int& toX) const;
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
    void UpdatePrinter(TDummyPrinter& prt) override;
    void Draw(TCanvas& aCanvas) override;
    void Print() override;

    QString Text = QStringLiteral(" ");

private:
    void Measure(TDummyPrinter* prt);
    // Only an underlined run shows its blanks; elsewhere the background shows.
    bool HasInk() const { return Font->Style().Contains(fsUnderline); }
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
    void Print() override;

    // Size of a picture whose file or resource is missing.
    static constexpr int MissingSize = 105;
    // Larger attribute values are cut to this.
    static constexpr int MaxSize = 10000;

    QString Align;
    QString PictureURL;
    QString Cache;
    QString Protocol;
    // Kept for the host; measuring and drawing never touch them.
    int ActualHeight = 0;
    int ActualWidth = 0;
    QString Text;

protected:
    // Only a picture that loaded.
    bool Shows() const override;

private:
    // Where the picture goes and which part of it: a resource at its own
    // size, a file cut to the element, or stretched when a size is given.
    void Placement(QRect& dest, QRect& source) const;

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
    void Print() override;

    int rwidth = 0;
    int size = 4;
    bool noshade = false;

private:
    // The bar's colours and box.
    void Look(TColor& brush, TColor& pen, QRect& bar) const;
};

class aLISTag : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aLISTag"); }
    void Update() override;
    void UpdateState(TCurrentState& CurrentState) override { CurrentState.Indent += 50; }
    void Draw(TCanvas& aCanvas) override;
    void Print() override;

    // The list kind in force when the item was measured.
    QString ShowType;
    int Counter = 0;

private:
    enum TMarker { Number, Round, Square, NoMarker };
    TMarker Marker() const;
    // Where the number goes, and the box of a round or square marker.
    QPoint NumberPos() const;
    QRect MarkerBox() const;
};

MINIHTML_END_TAG(aLIETag, aLISTag, aInVisLNTag);
