#pragma once

// Building a window's controls in code: each one named, owned by the
// window and placed on its parent, and given the windows' font.

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/menus.h"

#include <QRect>
#include <QString>

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

// A pop-up menu owned by the window, and its named items.
inline TPopupMenu* MakePopupMenu(TComponent* owner, const char* name)
{
    auto* menu = new TPopupMenu(owner);
    menu->SetName(QString::fromUtf8(name));
    return menu;
}

inline TMenuItem* AddMenuItem(TComponent* owner, TMenuItem* parent, const char* name, const char* caption)
{
    auto* item = new TMenuItem(owner);
    item->SetName(QString::fromUtf8(name));
    item->SetCaption(QString::fromUtf8(caption));
    parent->Add(item);
    return item;
}
