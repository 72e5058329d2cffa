#include "app/sparkles.h"

#include "app/helpers.h"
#include "app/main_form.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"

#include <QPoint>

#include <algorithm>
#include <memory>

namespace {

// Stars keep this far from the client area's edges.
constexpr int kMargin = 5;
// A star goes where the picture is at most this bright.
constexpr double kDarkEnough = 0.2;
// Candidates drawn per wanted star before the field makes do with fewer:
// a bright picture has few or no dark points, and placing must end.
constexpr int kAttemptsPerStar = 100;
// Stars redrawn per tick.
constexpr int kStarsPerTick = 9;

constexpr TColor kNavy = 0x00800000;
constexpr TColor kBlue = 0x00FF0000;
constexpr TColor kGray = 0x00808080;

struct SparkleField {
    SparkleStar Stars[kMaxSparkles + 1];
    int Count = 0;
    bool Placed = false;
};

SparkleField& Field()
{
    static SparkleField field;
    return field;
}

void Put(TCanvas* canvas, const SparkleStar& s, int dx, int dy, TColor color)
{
    canvas->SetPixels(s.X + dx, s.Y + dy, color);
}

void Restore(TCanvas* canvas, const SparkleStar& s, int dx, int dy)
{
    Put(canvas, s, dx, dy, s.Saved[dx + 1][dy + 1]);
}

// The four pixels left, right, above and below the centre.
constexpr QPoint kAround[4] = { { -1, 0 }, { 1, 0 }, { 0, -1 }, { 0, 1 } };
constexpr QPoint kDiagonals[4] = { { -1, -1 }, { 1, -1 }, { -1, 1 }, { 1, 1 } };
// The 2 x 2 square a kind-3 dot circles in, in the order of its phases.
constexpr QPoint kSquare[4] = { { -1, 0 }, { 0, 0 }, { 0, 1 }, { -1, 1 } };

// A point is free when no control of the form lies there, or only the skin
// and other pictures and labels (never the page tab).
bool IsFree(const TfrmMain& form, int x, int y)
{
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const TControl* c = form.ControlAtPos(QPoint(x + dx, y + dy), true, true);
            if (!c)
                continue;
            if (c == form.imgTAB || !(dynamic_cast<const TImage*>(c) || dynamic_cast<const TCustomLabel*>(c)))
                return false;
        }
    return true;
}

} // namespace

SparkleStar& Sparkle(int index)
{
    return Field().Stars[std::clamp(index, 0, kMaxSparkles)];
}

int SparkleCount()
{
    return Field().Count;
}

bool SparklesPlaced()
{
    return Field().Placed;
}

void ForgetSparkles()
{
    Field().Count = 0;
    Field().Placed = false;
}

void PlaceSparkles(TfrmMain* form, TCanvas* canvas, int count)
{
    ForgetSparkles();
    if (!form || count < 1 || count > kMaxSparkles)
        return;
    Randomize();
    // The stars of an earlier field go first: the new one samples the
    // picture as it is shown now, without them.
    form->Invalidate();
    const std::unique_ptr<TBitmap> picture = form->RenderToBitmap();
    TCanvas* shown = picture->Canvas();
    const int width = picture->Width();
    const int height = picture->Height();
    int placed = 0;
    // Too small for the margins: no star, and no empty random range.
    if (width > 2 * kMargin && height > 2 * kMargin) {
        const int attempts = kAttemptsPerStar * (count + 1);
        for (int a = 0; a < attempts && placed <= count; ++a) {
            const int x = kMargin + Random(width - 2 * kMargin);
            const int y = kMargin + Random(height - 2 * kMargin);
            if (!IsFree(*form, x, y) || ColorLuminance(shown->Pixels(x, y)) > kDarkEnough)
                continue;
            InitSparkle(shown, placed, x, y);
            DrawSparkle(canvas, placed);
            ++placed;
        }
    }
    // The last star placed stays as first drawn; the timer animates the others.
    Field().Count = std::max(placed - 1, 0);
    Field().Placed = true;
}

void InitSparkle(TCanvas* canvas, int index, int x, int y)
{
    SparkleStar& s = Sparkle(index);
    s.X = x;
    s.Y = y;
    s.Phase = quint8(Random(2));
    s.Kind = quint8(Random(5));
    SaveSparkleBackground(canvas, index);
}

void SaveSparkleBackground(TCanvas* canvas, int index)
{
    if (!canvas)
        return;
    SparkleStar& s = Sparkle(index);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            s.Saved[i][j] = canvas->Pixels(s.X + i - 1, s.Y + j - 1);
}

void DrawSparkle(TCanvas* canvas, int index)
{
    if (!canvas)
        return;
    SparkleStar& s = Sparkle(index);
    switch (s.Kind) {
    case 0: // a blinking dot
        Put(canvas, s, 0, 0, s.Phase == 1 ? 0x00FFA0A0 : 0x00FF6060);
        s.Phase = 1 - s.Phase;
        break;
    case 1: // a small cross
        for (QPoint p : kAround)
            Put(canvas, s, p.x(), p.y(), kBlue);
        Put(canvas, s, 0, 0, s.Phase == 1 ? 0x00C0C0C0 : kGray);
        s.Phase = 1 - s.Phase;
        break;
    case 2: // a flashing cross
        for (QPoint p : kAround)
            s.Phase == 1 ? Put(canvas, s, p.x(), p.y(), kGray) : Restore(canvas, s, p.x(), p.y());
        Put(canvas, s, 0, 0, 0x00FFFFFF);
        s.Phase = 1 - s.Phase;
        break;
    case 3: // a dot circling in a 2 x 2 square
        for (QPoint p : kSquare)
            Restore(canvas, s, p.x(), p.y());
        if (s.Phase < 4)
            Put(canvas, s, kSquare[s.Phase].x(), kSquare[s.Phase].y(), kGray);
        s.Phase = s.Phase >= 3 ? 0 : s.Phase + 1;
        break;
    case 4: // a star growing and shrinking
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                Restore(canvas, s, dx, dy);
        if (s.Phase == 0) {
            for (QPoint p : kDiagonals)
                Put(canvas, s, p.x(), p.y(), kNavy);
            Put(canvas, s, 0, 0, kBlue);
        } else if (s.Phase <= 2) {
            for (QPoint p : kAround)
                Put(canvas, s, p.x(), p.y(), kBlue);
            Put(canvas, s, 0, 0, s.Phase == 1 ? 0x00000082 : 0x001414A0);
        }
        s.Phase = s.Phase >= 2 ? 0 : s.Phase + 1;
        break;
    default: break;
    }
}

void TfrmMain::SparkleTimerTimer(TObject*)
{
    if (SparklesPlaced()) {
        // Random(0) would pick a star that does not exist.
        if (SparkleCount() > 0)
            for (int n = 0; n < kStarsPerTick; ++n)
                DrawSparkle(Canvas(), Random(SparkleCount()));
    } else if (Showing()) {
        PlaceSparkles(this, Canvas(), 300);
    }
}

void TfrmMain::RestartSparkles()
{
    if (!SparkleTimer)
        return;
    SparkleTimer->SetEnabled(false);
    ForgetSparkles();
    // The stars belong to the picture they were placed on: none may stay
    // over a new skin or a picture stretched anew.
    Invalidate();
    SparkleTimer->SetEnabled(true);
}
