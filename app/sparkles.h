#pragma once

// The stars that twinkle over the dark parts of the main window's skin.
// A field of stars is placed at random dark points of the window that no
// control covers; the window's timer then redraws a few stars per tick,
// each drawing advancing the star's phase. Stars are single pixels drawn on
// the window's canvas, over the skin, and every star keeps the 3 x 3 pixels
// of the picture it was placed on so that it can restore them.

#include "platform/gui/graphics.h"

#include <QtGlobal>

class TfrmMain;

struct SparkleStar {
    qint32 X = 0;
    qint32 Y = 0;
    // Saved[i][j] is the pixel (X + i - 1, Y + j - 1) of the picture.
    TColor Saved[3][3] = {};
    quint8 Kind = 0; // 0..4
    quint8 Phase = 0;
};

// The one table of stars: a field holds up to kMaxSparkles + 1 stars.
constexpr int kMaxSparkles = 400;
SparkleStar& Sparkle(int index);
// The stars the timer animates: 0 .. SparkleCount() - 1.
int SparkleCount();
// False until a field was placed; the timer then places one.
bool SparklesPlaced();
// Forgets the field, so the next tick places a new one.
void ForgetSparkles();

// Places and draws a new field of up to count + 1 stars on canvas, sampling
// what the form shows without any star; count must lie in 1..kMaxSparkles.
// Candidates are bounded, so a window with few dark free points gets fewer
// stars and one too small for the margins gets none.
void PlaceSparkles(TfrmMain* form, TCanvas* canvas, int count);
// Sets up star index at (x, y) with a random kind and phase, keeping the
// 3 x 3 pixels of canvas around it.
void InitSparkle(TCanvas* canvas, int index, int x, int y);
void SaveSparkleBackground(TCanvas* canvas, int index);
// Draws star index in its current phase and advances the phase.
void DrawSparkle(TCanvas* canvas, int index);
