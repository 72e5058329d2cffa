#pragma once

// Where the main window's controls sit and how they are made, shared by the
// sources that build its sections (main_layout.cpp lays them out in order).
// Private to the main window's sources.

#include "app/helpers.h"
#include "app/main_form.h"
#include "controls/form_building.h"
#include "platform/core/sysutils.h"
#include "platform/gui/bitmap.h"

class TGlyphSpeedButton;

namespace main_layout_p {

inline constexpr TColor kEntryBackground = 0x00F2FFFF;

// The calendar column and the entry area.
inline constexpr int kColumnLeft = 12;
inline constexpr int kColumnWidth = 224;
inline constexpr int kEntryLeft = 248;
inline constexpr int kEntryTop = 48;
inline constexpr int kEntryWidth = 503; // the page tab follows at its right
inline constexpr int kEntryHeight = 468;
inline constexpr int kTabWidth = 18;
// Rows of the entry area.
inline constexpr int kTitleHeight = 70;
inline constexpr int kStripTop = 74;
inline constexpr int kStripHeight = 32;
// The title's box as designed; a larger font makes it taller.
inline constexpr int kTitleEditTop = 40;
inline constexpr int kTitleEditHeight = 26;
// Frame and a pixel of air above and below the text, as the class
// library's edits size themselves to their font.
inline constexpr int kEditTextSpare = 8;
inline constexpr int kBodyTop = kStripTop + kStripHeight;
// Paper left free around the body's text.
inline constexpr int kPaperMargin = 8;
// Room under the body for the birthday line.
inline constexpr int kBirthdayRoom = 24;
// The command buttons over the skin.
inline constexpr int kCommandHeight = 34;

template <class T> T* Make(TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds)
{
    return MakeControl<T>(owner, parent, name, bounds);
}

template <class Button> void SetGlyphOf(Button* button, const char* picture)
{
    // Without the pictures a button keeps its caption only.
    const QImage image = ProgramPicture(S(picture));
    if (image.isNull())
        return;
    TBitmap bitmap;
    bitmap.SetImage(image);
    button->SetGlyph(&bitmap);
}

TGlyphSpeedButton* MakeButton(TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, const char* picture);

// Binds a button to its action but keeps the button's own caption (the
// link would fill an empty one): the arrows show their picture only, the
// action's caption is for the menus.
void BindButton(TGlyphSpeedButton* button, TAction* action);

} // namespace main_layout_p
