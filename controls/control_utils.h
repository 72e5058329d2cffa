#pragma once

// Free routines the speed buttons, their glyph painter and the shadowed label
// share: transparent painting over the parent, the disabled look of a glyph,
// shortening a text to a pixel width, hover and pending-input helpers, and a
// few integer, rectangle and string routines.

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <bitset>
#include <functional>
#include <memory>

class QWidget;
class TBitmap;
class TImageList;

// The program's extra cursors, made from the pictures HANDCUR and DRAGCUR
// when the program registers its pictures at start-up.
inline constexpr TCursor crHandCursor = 14000;
inline constexpr TCursor crDragCursor = 14001;

// The controls draw the bevelled 3-D look of current systems: new-style
// frames, and the engraved shadow of disabled label text.
inline constexpr bool NewStyleControls = true;

// Codes of the pending input DropPendingMessage knows.
inline constexpr unsigned WM_QUIT = 0x0012;
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;

int LargerOf(int a, int b);
int SmallerOf(int a, int b);
int WidthOfRect(const QRect& rect);
int HeightOfRect(const QRect& rect);

// Removes the first pending input of that code aimed at window (nullptr: any
// window of the program). When accept is given it sees the input's screen
// point first, and input it refuses is not removed. Returns whether one was
// removed.
bool DropPendingMessage(
    QWidget* window, unsigned code, const std::function<bool(const QPoint& screenPos)>& accept = {});

// Text cut from its end, with "...", until it fits maxWidth on canvas.
QString ShortenToWidth(const QString& text, const TCanvas& canvas, int maxWidth);

// True while one of the program's windows is the active window.
bool AppIsForeground();

// Paints what lies under control into canvas, in the control's coordinates:
// its parent and the windowless siblings below it, each marked with
// csPaintCopy meanwhile. Never the control itself or what lies above it.
void PaintParentBackground(TControl* control, TCanvas& canvas);

// A new bitmap of source's size in back, with the pixels of outline colour
// copied in highlight one pixel down-right (when asked) and in shadow in
// place. A monochrome source is keyed on its white pixels instead.
std::unique_ptr<TBitmap> MakeEmbossedBitmap(
    const TBitmap& source, TColor outline, TColor back, TColor highlight, TColor shadow, bool drawHighlight);
// The embossed look on button face in button highlight and shadow.
std::unique_ptr<TBitmap> MakeDisabledBitmap(const TBitmap& source, TColor outline);
// One image of the list as a silhouette of its opaque pixels: in highlight
// at (x + 1, y + 1) when asked, then in shadow at (x, y).
void DrawImageDisabled(const TImageList& images, TCanvas& canvas, int x, int y, int index, TColor highlight,
    TColor shadow, bool drawHighlight);

// A set of 8-bit characters.
using TCharSet = std::bitset<256>;
TCharSet MakeCharSet(const QString& chars);
// True when every character of text is in set (an empty text is).
bool AllCharsInSet(const QString& text, const TCharSet& set);
// Every occurrence of search replaced, left to right; replacements are never
// searched again. An empty search leaves the text as it is.
QString ReplaceAll(const QString& text, const QString& search, const QString& replacement);
// count copies of ch; empty for a count below 1.
QString RepeatChar(QChar ch, int count);
