#include "controls/glow_label.h"

#include <array>

TCPGlowLabel::TCPGlowLabel(TComponent* AOwner)
    : TLabel(AOwner)
{
}

void TCPGlowLabel::SetGlowColor(TColor value)
{
    if (value == FGlowColor)
        return;
    FGlowColor = value;
    Invalidate();
}

void TCPGlowLabel::SetGlowAlways(bool value)
{
    if (value == FGlowAlways)
        return;
    FGlowAlways = value;
    Invalidate();
}

void TCPGlowLabel::CMMouseEnter(TMessage& Message)
{
    FGlowing = true;
    // A label that always glows looks the same with the mouse over it.
    if (!FGlowAlways)
        Invalidate();
    TLabel::CMMouseEnter(Message);
}

void TCPGlowLabel::CMMouseLeave(TMessage& Message)
{
    FGlowing = false;
    if (!FGlowAlways)
        Invalidate();
    TLabel::CMMouseLeave(Message);
}

void TCPGlowLabel::Paint()
{
    TCanvas* canvas = Canvas();
    if (!Transparent()) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(ClientRect());
    }
    canvas->Brush()->SetStyle(bsClear);
    // Words always wrap, whatever WordWrap says; the layout is always the top.
    unsigned flags = DT_WORDBREAK | DT_EXPANDTABS;
    if (Alignment() == taRightJustify)
        flags |= DT_RIGHT;
    else if (Alignment() == taCenter)
        flags |= DT_CENTER;
    if (!ShowAccelChar())
        flags |= DT_NOPREFIX;
    QRect rect = ClientRect();
    DoDrawText(rect, flags);
}

void TCPGlowLabel::DoDrawText(QRect& rect, unsigned flags)
{
    QString text = GetLabelText().left(MaxCaptionLength);
    // An empty caption (or a lone "&") still measures one line.
    if ((flags & DT_CALCRECT) && (text.isEmpty() || (ShowAccelChar() && text == QStringLiteral("&"))))
        text = QStringLiteral(" ");
    if (!ShowAccelChar())
        flags |= DT_NOPREFIX;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(*Font());
    if (flags & DT_CALCRECT) {
        DrawText(*canvas, text, rect, flags);
        return;
    }
    if ((FGlowing || FGlowAlways) && Enabled()) {
        canvas->Font()->SetColor(FGlowColor);
        // Right and down first, then the opposite corner, then the other two.
        constexpr std::array<QPoint, 4> kHalo = { QPoint(1, 1), QPoint(-1, -1), QPoint(-1, 1), QPoint(1, -1) };
        for (const QPoint& offset : kHalo)
            DrawText(*canvas, text, rect.translated(offset), flags);
    }
    canvas->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
    DrawText(*canvas, text, rect, flags);
}
