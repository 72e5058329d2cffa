// The engine's print path: each tag goes to the printer where the layout
// put it, cells through their sub-instances.
#include "minihtml/printer.h"

#include "minihtml/engine.h"

#include <algorithm>
#include <cmath>

TColor PrinterColor(TColor color)
{
    if (color == clNone || color == HtmlTransparentColor)
        return clNone;
    return ColorToRGB(color);
}

namespace {

using TShape = void (TDummyPrinter::*)(float, float, float, float);

void PrintShape(TDummyPrinter& prt, TShape shape, QPointF origin, const QRect& r)
{
    const QPointF a = origin + QPointF(r.x(), r.y());
    const QPointF b = origin + QPointF(RectRight(r), RectBottom(r));
    (prt.*shape)(float(a.x()), float(a.y()), float(b.x()), float(b.y()));
}

} // namespace

void PrintRectangle(TDummyPrinter& prt, QPointF origin, const QRect& r)
{
    PrintShape(prt, &TDummyPrinter::Rectangle, origin, r);
}

void PrintEllipse(TDummyPrinter& prt, QPointF origin, const QRect& r)
{
    PrintShape(prt, &TDummyPrinter::Ellipse, origin, r);
}

void PrintFill(TDummyPrinter& prt, TColor color, QPointF origin, const QRect& r)
{
    const TColor c = PrinterColor(color);
    if (c == clNone)
        return;
    prt.SetBrushColor(c);
    prt.SetPenColor(c);
    PrintRectangle(prt, origin, r);
}

int PrinterTextWidth(TDummyPrinter& prt, const QString& text, const TFont& font)
{
    TFont measured;
    measured.Assign(font);
    measured.SetColor(PrinterColor(font.Color()));
    prt.SetFont(measured);
    const float w = prt.GetWidth(text);
    if (!(w > 0))
        return 0;
    return int(std::ceil(std::min(w, 1e6f)));
}

void PrintWordText(
    TDummyPrinter& prt, QPointF at, const QString& text, TTextStyle style, const TFont& font, TColor color)
{
    QString shown = text;
    shown.remove(QStringLiteral("\r\n"));
    if (shown.isEmpty())
        return;
    TFont printed;
    printed.Assign(font);
    printed.SetColor(PrinterColor(color));
    qreal y = at.y();
    if (style != isNormal) {
        const int half = font.Size() / 2;
        printed.SetSize(std::max(1, half));
        y += style == isSubScript ? half : -half;
    }
    prt.SetFont(printed);
    prt.TextOut(float(at.x()), float(y), shown);
}

// ---------------------------------------------------------------------------

TDummyPrinter* atag::PrintTarget() const
{
    return aHtml->HtmlPrinter && Shows() ? aHtml->HtmlPrinter : nullptr;
}

QPointF atag::PrintOrigin() const
{
    return QPointF(aHtml->Left, aHtml->Top);
}

QPointF atag::PrintPos(int x, int y) const
{
    return PrintOrigin() + QPointF(x, y);
}

void TQzMiniHtml2::Print()
{
    if (!HtmlPrinter)
        return;
    TUse use(*this);
    // The bands of the printer's layout, not those of the last drawing.
    FindParagraphBands();
    for (const auto& tag : TagList)
        tag->Print();
}

int TQzMiniHtml2::PrintHtml(int MiniHtmlIndex, int Left, int Top, int Width, const QString& Html)
{
    TQzMiniHtml2* s = TakeSubInstance(MiniHtmlIndex);
    if (!s)
        return MiniHtmlIndex;
    s->Left = Left;
    s->Top = Top;
    // Laid out as wide as the cell is drawn.
    s->width = int(std::min<qint64>(std::abs(qint64(Width)), MaxCacheWidth));
    s->Prepare(Html);
    s->Print();
    return MiniHtmlIndex;
}
