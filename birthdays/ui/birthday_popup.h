#pragma once

// The birthday menu of the main window: add an entry for the shown day, or
// view, change or delete one of its entries. The menu is built once and
// brought up to date each time it opens; the host handles the clicks and
// tells the items apart by their Tag.

#include "platform/core/datetime.h"
#include "platform/gui/controls.h"

class TPopupMenu;

// Tags of the three top-level items.
inline constexpr int BirthdayAddTag = -1;
inline constexpr int BirthdayModifyTag = -2;
inline constexpr int BirthdayDeleteTag = -3;
// A delete sub-item's Tag is this plus the entry's position in the day.
inline constexpr int BirthdayDeleteBase = 0x8000;
// No day offers more entries than this, here or in the keeper.
inline constexpr int MaxBirthdayEntriesPerDay = 4;

// Appends "Add entry", "View/Modify entry of" and "Delete entry of" to Menu,
// the last two with four sub-items each; every item is owned by Menu and
// calls OnClick.
void BuildBirthdayPopup(TPopupMenu* Menu, TNotifyEvent OnClick);

// Enables the items and names the sub-items after the entries of aDate's
// day and month (any year), at most four. A menu that lacks one of the three
// top-level tags is left as it is.
void UpdateBirthdayPopup(TPopupMenu* Menu, TDateTime aDate);
