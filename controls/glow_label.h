#pragma once

// A label that draws a one-pixel halo in a second colour around its caption
// while the mouse is over it, or always when asked to. The about box uses it
// for its clickable mail address.

#include "platform/gui/stdctrls.h"

#include <QRect>
#include <QString>

class TCPGlowLabel : public TLabel {
public:
    explicit TCPGlowLabel(TComponent* AOwner);

    QString ClassName() const override { return QStringLiteral("TCPGlowLabel"); }

    TColor GlowColor() const { return FGlowColor; }
    void SetGlowColor(TColor value);
    bool GlowAlways() const { return FGlowAlways; }
    void SetGlowAlways(bool value);
    // The mouse is over the label.
    bool Glowing() const { return FGlowing; }

    // The caption as far as the label shows it.
    static constexpr int MaxCaptionLength = 255;

    void Paint() override;

protected:
    // Draws the halo first (when glowing and enabled), then the caption in
    // the font colour, or grey when disabled.
    void DoDrawText(QRect& rect, unsigned flags) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    TColor FGlowColor = clWhite;
    bool FGlowing = false;
    bool FGlowAlways = false;
};
