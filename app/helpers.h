#pragma once

// Free routines the program's windows share: paths, the entry font kept in
// the registry, printing a rich edit, skin names and colour luminance.

#include "platform/gui/graphics.h"
#include "platform/richtext/rich_lines.h" // RichLinesToRtf, RtfToRichLines

#include <QString>

class TRegistry;
class TRichEdit;

// The path ending in exactly one separator. Paths use "/"; one already ending
// in "/" or "\" comes back unchanged, an empty one gives "/".
QString EnsureTrailingBackslash(const QString& path);

// Replaces the last three characters of a name that ends in a three-letter
// extension ("a.dry" -> "a.bak"). Names of one or two characters, and
// extensions that are not exactly three characters, leave the name unchanged.
QString ChangeFileExtension(const QString& fileName, const QString& extension);

// Both bounds belong to the range.
bool IsOutOfRange(qint32 value, qint32 minimum, qint32 maximum);

// Writes "FontName", "FontColor", "FontCharset", "FontSize" and "FontStyle"
// (bit mask: 1 bold, 2 italic, 4 underline, 8 strike-out) to the registry's
// open key. Registry errors reach the caller.
void SaveFontToRegistry(TRegistry& registry, const TFont& font);
// Reads the same values from the open key into the font and sets the default
// pitch. A value that is missing, of another kind or out of range keeps the
// font's current property; nothing is raised.
void LoadFontFromRegistry(TRegistry& registry, TFont& font);

// Prints the whole content as one job titled `title` on Printer(), inside a
// margin derived from the printer's physical offsets. Printer errors reach
// the caller.
void PrintRichEdit(const QString& title, TRichEdit& richEdit);

// The resource-store name of a skin picture: "skin07.jpg", "skin10.jpg".
QString SkinResourceName(int number);

// The desktop folder ending in a separator. (The plain name belongs to the
// shell lookup in platform/gui/services.h, which this reuses.)
QString GetDesktopFolderPath();

// Weighted luminance (R 50, G 30, B 20, over 25600) in 0..1; system colours
// are resolved first.
double ColorLuminance(TColor color);
