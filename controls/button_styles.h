#pragma once

// What the styled speed button and the styled push button share: colour
// presets, face styles and one face painter that draws a whole button
// (background, border, caption, glyph and drop-down mark) into a bitmap the
// button then copies to its canvas.

#include "controls/button_layout.h"
#include "platform/gui/graphics.h"
#include "platform/gui/stdctrls.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class TBitmap;

enum TLbColorStyle {
    lcsCustom,
    lcsGold,
    lcsChrome,
    lcsBlue,
    lcsRed,
    lcsUltraFlat1,
    lcsUltraFlat2,
    lcsUltraFlatXP,
    lcsAqua,
    lcsDefault
};

// Face styles: a plain fill, the same turning bold when pressed, a rounded
// gradient, the classic double bevel, and no face at all (transparent).
enum TLbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape };
using TLbSpeedButtonStyle = TLbButtonStyle;
using TLbButtonLayout = TButtonLayout;
using TLbSpeedButtonLayout = TButtonLayout;

// The colour the faces treat as transparent (magenta).
inline constexpr TColor clLbTransparent = 0x00FF00FF;

// One row of the colour-style presets.
struct TLbColorStyleColors {
    TColor Color;
    TColor LightColor;
    TColor ShadowColor;
    TColor ColorWhenDown;
    TColor HotTrackColor;
    bool Flat;
    TLbButtonStyle Style;
};

// The preset of a colour style; none for lcsCustom.
std::optional<TLbColorStyleColors> GetColorStyleColors(TLbColorStyle style);

// Everything the face painter draws from.
struct TLbButtonFace {
    int Width = 0;
    int Height = 0;
    TAlignment Alignment = taCenter;
    QString Caption;
    TLbButtonLayout Layout = blGlyphLeft;
    const TFont* Font = nullptr; // nullptr: the canvas keeps its font
    TColor ShadowColor = clBlack;
    TColor LightColor = clWhite;
    TColor HotTrackColor = clNone;
    TColor ColorWhenDown = clNone;
    TColor Color = clBtnFace;
    TLbButtonStyle Style = bsNormal;
    bool HasPopup = false;
    bool WordWrap = false;
    bool Flat = false;
    bool Enabled = true;
    bool Transparent = false;
    bool Hovered = false;
    bool Down = false;
    const TBitmap* Glyph = nullptr; // a strip of NumGlyphs images side by side
    int NumGlyphs = 0;
    int HotTrackStep = 0; // 0 (normal) to 8 (hot-track colour)
};

// Where the face painter puts things.
struct TLbFaceLayout {
    bool Pressed = false;
    int Shift = 0; // content offset of a pressed face
    TColor FaceColor = clBtnFace; // as RGB
    QString Caption; // as drawn, cut to fit
    QRect TextRect;
    unsigned TextFlags = 0;
    QSize GlyphSize; // one image of the strip; empty without a glyph
    QPoint GlyphPos;
    int GlyphIndex = -1; // image of the strip shown; -1 for none
};

// Sets the canvas font as the face draws it and places caption and glyph.
TLbFaceLayout LayoutLbButtonFace(TCanvas& canvas, const TLbButtonFace& face);
void PaintLbButtonFace(TCanvas& canvas, const TLbButtonFace& face);

// 32 bands from fromColor at top to toColor at bottom, between left and right.
void FillGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int left, int bottom, int right, int top);
// Color moved towards hotTrackColor by hotTrackStep eighths, as RGB.
TColor MixHotTrackColor(TColor color, TColor hotTrackColor, int hotTrackStep);

// Copies a glyph strip into glyph (nullptr empties it) and returns how many
// square images it holds, 0 for a strip without height.
int AssignLbGlyph(TBitmap& glyph, const TBitmap* value);
// Enters (over) or leaves a styled button: the hot-track step is 8 over it,
// else 0. True when the face must be repainted, which is only when a
// hot-track colour shows without the hot-track font.
bool SetLbHover(bool over, bool& cursorOnButton, int& hotTrackStep, TColor hotTrackColor, bool useHotTrackFont);
