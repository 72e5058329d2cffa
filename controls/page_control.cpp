#include "controls/page_control.h"

#include <QPainter>

TCPPageControl::TCPPageControl(TComponent* AOwner)
    : TPageControl(AOwner)
    , fAbout(std::make_unique<TStringList>())
{
    fAbout->Add(QStringLiteral("TCPPageControl"));
    fAbout->Add(QStringLiteral("A complete page control of its own,"));
    fAbout->Add(QStringLiteral("whose borders round the pages can be removed."));
}

TCPPageControl::~TCPPageControl() = default;

void TCPPageControl::SetBorders(bool value)
{
    if (value == fDisplayBorders)
        return;
    fDisplayBorders = value;
    // The pages take the new area at once, not at the next resize.
    Perform(WM_SIZE);
    Invalidate();
}

void TCPPageControl::WndProc(TMessage& Message)
{
    TPageControl::WndProc(Message);
    if (fDisplayBorders || Message.Msg != TCM_ADJUSTRECT)
        return;
    auto* rect = reinterpret_cast<QRect*>(Message.LParam);
    const int top = rect->top() - 4;
    *rect = Rect(0, top, ClientWidth(), ClientHeight());
}

void TCPPageControl::PaintSelf(QPainter& painter)
{
    if (fDisplayBorders) {
        TPageControl::PaintSelf(painter);
        return;
    }
    painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
}
