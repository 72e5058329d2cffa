#pragma once

// Free routines the program's windows share: the program's title, paths,
// the entry font kept in the registry, printing a rich edit, skin names and
// colour luminance.

#include "platform/gui/graphics.h"
#include "platform/richtext/rich_lines.h" // RichLinesToRtf, RtfToRichLines

#include <QImage>
#include <QString>

class QRect;
class TComponent;
class TForm;
class TGlyphSpeedButton;
class TImage;
class TWinControl;
class TRegValues;
class TRessourceStore;
class TRichEdit;

// The program's title: the main window's caption, shared with the wizard,
// the tools window and the about box.
QString ProgramTitle();

// The path ending in exactly one separator. Paths use "/"; one already ending
// in "/" or "\" comes back unchanged, an empty one gives "/".
QString EnsureTrailingBackslash(const QString& path);

// Replaces the last three characters of a name that ends in a three-letter
// extension ("a.dry" -> "a.bak"). Names of one or two characters, and
// extensions that are not exactly three characters, leave the name unchanged.
QString ChangeFileExtension(const QString& fileName, const QString& extension);

// Both bounds belong to the range.
bool IsOutOfRange(qint32 value, qint32 minimum, qint32 maximum);

// Sets "FontName", "FontColor", "FontCharset", "FontSize" and "FontStyle"
// (bit mask: 1 bold, 2 italic, 4 underline, 8 strike-out) in the settings and
// writes all of them to the registry at once, so the settings component
// cannot later write its older copy over the font. Registry errors reach the
// caller.
void SaveFontToRegistry(TRegValues& values, const TFont& font);
// Reads the same settings into the font and sets the default pitch. A name
// or colour that cannot be read keeps the font's own; a character set or
// size that cannot be read (or is out of range) becomes 1 or 10 points.
// The style is read last and unprotected: a settings component without
// "FontStyle" raises, after the other properties were set.
void LoadFontFromRegistry(TRegValues& values, TFont& font);

// Prints the whole content as one job titled `title` on Printer(), inside a
// margin derived from the printer's physical offsets. Printer errors reach
// the caller.
void PrintRichEdit(const QString& title, TRichEdit& richEdit);

// The resource-store name of a skin picture: "skin07.jpg", "skin10.jpg".
QString SkinResourceName(int number);

// The desktop folder (DesktopDirectory) ending in a separator.
QString GetDesktopFolder();

// Weighted luminance (R 50, G 30, B 20, over 25600) in 0..1; system colours
// are resolved first.
double ColorLuminance(TColor color);

// Draws skin `number` of the store stretched over the whole of target; false
// (target unchanged) when the store has no decodable picture for it.
bool DrawSkin(const TRessourceStore& store, int number, TImage& target);

// A program picture; an empty image when the program has none of that name.
QImage ProgramPicture(const QString& name);
// A program picture flattened onto an opaque background, or standIn when
// the program has no picture of that name.
QImage PictureOn(const QString& name, TColor background, const QImage& standIn);

// Sets up a fixed window drawn over a skin: white text on black until the
// picture comes, keys previewed, placed by its owner; returns the image that
// fills it with the skin.
TImage* SetUpSkinWindow(TForm& form, const char* name, int clientWidth, int clientHeight, unsigned borderIcons);
// The " Ok" button in the bottom right corner of a skin window; closing is
// the caller's.
TGlyphSpeedButton* MakeSkinCloseButton(TForm& form, const char* name);
// Draws skin `number` into background when it differs from `shown`, the
// skin drawn there before; without the picture the background stays.
void FollowSkin(const TRessourceStore* store, int number, int& shown, TImage& background);

// A command button over a skin: a glyph from the program's pictures left of a
// white bold caption, framed only while the mouse is over it.
TGlyphSpeedButton* MakeSkinButton(TComponent* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, const char* picture);
