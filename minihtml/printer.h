#pragma once

// The printer an engine can lay its tags out for and send them to, and what
// the tags share when they print: colours as the paper takes them, filled
// boxes and shapes of the layout, words in their fonts.

#include "minihtml/style_state.h"

#include "platform/core/classes.h"
#include "platform/gui/graphics.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

// Nothing in the program makes one; a host that wants HTML on paper derives
// its own. Coordinates are the layout's pixels, as fractions where the
// printer's fonts measure so; the printer scales them to its page. Colours
// are plain RGB values, system colours resolved; clNone as the brush draws
// no fill, as the pen no outline.
class TDummyPrinter : public TComponent {
public:
    using TComponent::TComponent;
    QString ClassName() const override { return QStringLiteral("TDummyPrinter"); }

    // Starts and finishes a document; the printer's owner calls them around
    // the engine's Print.
    virtual void Init() = 0;
    virtual void Save() = 0;
    // Width of text in the font last set.
    virtual float GetWidth(const QString& Text) = 0;
    // Picture scaled into the box from (x, y), width by height.
    virtual void PicOut(float x, float y, float width, float height, const QImage& Picture) = 0;
    // Text in the font last set, its top left at (x, y), no background.
    virtual void TextOut(float x, float y, const QString& Text) = 0;
    virtual void DrawLine(float x1, float y1, float x2, float y2) = 0;
    // Box from (x1, y1) to (x2, y2), the far edges left out as on a canvas.
    virtual void Rectangle(float x1, float y1, float x2, float y2) = 0;
    virtual void Ellipse(float x1, float y1, float x2, float y2) = 0;
    // Name, size, styles and colour of the text that follows.
    virtual void SetFont(const TFont& Font) = 0;
    virtual void SetPenColor(TColor Color) = 0;
    virtual void SetBrushColor(TColor Color) = 0;
};

// A colour as a printer takes it: clNone for none and for the transparent
// colour (paper shows through as the host does on screen), else plain RGB.
TColor PrinterColor(TColor color);

// Shapes of a layout whose (0, 0) goes to origin on the printout, in the
// colours last set; r as a canvas would draw it.
void PrintRectangle(TDummyPrinter& prt, QPointF origin, const QRect& r);
void PrintEllipse(TDummyPrinter& prt, QPointF origin, const QRect& r);
// A filled box of one colour; nothing for a colour PrinterColor makes clNone.
void PrintFill(TDummyPrinter& prt, TColor color, QPointF origin, const QRect& r);

// A text's width as the printer measures it, kept within what the layout
// can add up.
int PrinterTextWidth(TDummyPrinter& prt, const QString& text, const TFont& font);
// The printer's form of DrawWordText, in the given colour: CR LF pairs left
// out, sub- and superscript at half the size, shifted by that half.
void PrintWordText(
    TDummyPrinter& prt, QPointF at, const QString& text, TTextStyle style, const TFont& font, TColor color);
