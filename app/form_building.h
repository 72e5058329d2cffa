#pragma once

// Building a window's controls in code: each one named, owned by the
// window and placed on its parent, and given the windows' font.

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"

#include <QRect>
#include <QString>

class TGlyphSpeedButton;

template <class T> T* MakeControl(TComponent* owner, TWinControl* parent, const char* name, const QRect& bounds)
{
    T* control = new T(owner);
    control->SetName(QString::fromUtf8(name));
    control->SetParent(parent);
    control->SetBoundsRect(bounds);
    return control;
}

// Arial of the given pixel height, as every window built in code uses.
inline void SetFontOf(TControl* control, int pixels, TColor color, bool bold = false)
{
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-pixels);
    font.SetColor(color);
    font.SetStyle(bold ? TFontStyles(fsBold) : TFontStyles());
    control->SetFont(font);
}

// A command button over a skin: a glyph from the program's pictures left of a
// white bold caption, framed only while the mouse is over it.
TGlyphSpeedButton* MakeSkinButton(TComponent* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, const char* picture);
