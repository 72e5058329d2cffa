#pragma once

// Building a window's controls in code: each one named, owned by the
// window and placed on its parent.

#include "platform/gui/controls.h"

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
