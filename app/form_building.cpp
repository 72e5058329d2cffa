#include "app/form_building.h"

#include "app/helpers.h"
#include "controls/dropdown_button.h"
#include "platform/gui/bitmap.h"

TGlyphSpeedButton* MakeSkinButton(TComponent* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, const char* picture)
{
    auto* button = MakeControl<TGlyphSpeedButton>(owner, parent, name, bounds);
    button->SetCaption(QString::fromUtf8(caption));
    button->SetHint(QString::fromUtf8(hint));
    button->SetShowHint(hint[0] != '\0');
    button->SetTransparent(true);
    button->SetGrayedInactive(false);
    button->SetMarkDropDown(false);
    button->SetFlat(true);
    button->SetLayout(blGlyphLeft);
    button->SetSpacing(6);
    button->SetCursor(crHandPoint);
    SetFontOf(button, 13, clWhite, true);
    // Without the picture a button keeps its caption only.
    const QImage glyph = ProgramPicture(QString::fromUtf8(picture));
    if (!glyph.isNull()) {
        TBitmap bitmap;
        bitmap.SetImage(glyph);
        button->SetGlyph(&bitmap);
    }
    return button;
}
