#include "app/sparkles.h"
#include "support/main_window_fixture.h"

#include "controls/dropdown_button.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "resources/store_items.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include <deque>

namespace {

// The raw draw that makes Random(range) return value.
quint32 Raw(int value, int range)
{
    return quint32(((quint64(value) << 32) + quint64(range) - 1) / quint64(range));
}

class Stars : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ForgetSparkles();
    }
    void TearDown() override
    {
        SetRandomSource({});
        ForgetSparkles();
        MainWindowFixture::TearDown();
    }

    // The main window, its timer stopped: the tests tick it by hand.
    TfrmMain& Window()
    {
        TfrmMain& f = Create();
        f.SparkleTimer->SetEnabled(false);
        return f;
    }
    // A skin of one colour, with a dark spot where the fallback draws land.
    static void Paint(TfrmMain& f, TColor colour, bool darkSpot = false)
    {
        TBitmap picture;
        picture.SetSize(f.ClientWidth(), f.ClientHeight());
        picture.Canvas()->FillSolidRect(QRect(0, 0, picture.Width(), picture.Height()), colour);
        if (darkSpot)
            picture.Canvas()->FillSolidRect(QRect(Fallback(f) - QPoint(2, 2), QSize(5, 5)), clBlack);
        f.imgBack->Picture()->SetBitmap(&picture);
    }
    // The point every unscripted draw gives: in the gap between the
    // calendar column and the entry area, where nothing covers the skin.
    static QPoint Fallback(const TfrmMain& f) { return Candidate(f, kTail); }
    static QPoint Candidate(const TfrmMain& f, quint32 raw)
    {
        return QPoint(5 + int((quint64(raw) * quint64(f.ClientWidth() - 10)) >> 32),
            5 + int((quint64(raw) * quint64(f.ClientHeight() - 10)) >> 32));
    }
    // Draws come from script first, then are all kTail.
    void Script(std::deque<quint32> script)
    {
        draws = 0;
        SetRandomSource([this, script]() mutable {
            ++draws;
            if (script.empty())
                return kTail;
            const quint32 raw = script.front();
            script.pop_front();
            return raw;
        });
    }
    // Every star lies on the skin only, with no control within one pixel.
    static void ExpectUncovered(const TfrmMain& f, int stars)
    {
        for (int i = 0; i < stars; ++i)
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    const TControl* c = f.ControlAtPos(QPoint(Sparkle(i).X + dx, Sparkle(i).Y + dy), true, true);
                    EXPECT_TRUE(c == nullptr || c == f.imgBack) << "star " << i << " on " << qPrintable(c->Name());
                }
    }
    static bool HasStarPixels(const TfrmMain& f)
    {
        const QImage& overlay = f.Overlay();
        for (int y = 0; y < overlay.height(); ++y)
            for (int x = 0; x < overlay.width(); ++x)
                if (qAlpha(overlay.pixel(x, y)) != 0)
                    return true;
        return false;
    }

    static constexpr quint32 kTail = 0x4F800000u; // about 0.31: x 242, y 165 at the designed size
    int draws = 0;
};

TEST_F(Stars, FieldHoldsCountPlusOneStarsAndTheTimerNeverDrawsTheLast)
{
    struct Case {
        int count;
        bool placed;
        int animated;
    } cases[] = { { 0, false, 0 }, { 401, false, 0 }, { 300, true, 300 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        TfrmMain& f = Window();
        Paint(f, clBlack);
        quint32 state = 7;
        SetRandomSource([&state] { return state = state * 1664525u + 1013904223u; });
        PlaceSparkles(&f, f.Canvas(), c.count);
        EXPECT_EQ(SparklesPlaced(), c.placed);
        EXPECT_EQ(SparkleCount(), c.animated);
        EXPECT_EQ(HasStarPixels(f), c.placed);
        if (!c.placed)
            continue;
        ExpectUncovered(f, c.count + 1);

        // Every star blinks; the highest draw the timer can make picks star 299.
        for (int i = 0; i <= c.count; ++i) {
            Sparkle(i).Kind = 0;
            Sparkle(i).Phase = 0;
        }
        SetRandomSource([] { return 0xFFFFFFFFu; });
        f.SparkleTimerTimer(nullptr);
        EXPECT_EQ(Sparkle(299).Phase, 1) << "drawn nine times";
        EXPECT_EQ(Sparkle(300).Phase, 0) << "the last star stays as first drawn";
    }
}

TEST_F(Stars, CandidatesNeedDarkSkinWithNoControlWithinOnePixel)
{
    TfrmMain probe(nullptr);
    const QRect skin = probe.btnSkin->BoundsRect();
    const QPoint gap(240, 300);
    struct Case {
        const char* name;
        TColor colour;
        QPoint at;
        bool accepted;
    } cases[] = {
        { "luminance exactly 0.2", RGB(100, 0, 6), gap, true },
        { "luminance just above 0.2", RGB(100, 1, 5), gap, false },
        { "a pixel from a speed button", clBlack, QPoint(skin.left() - 1, skin.top() + 10), false },
        { "two pixels from a speed button", clBlack, QPoint(skin.left() - 2, skin.top() + 10), true },
        { "on a speed button", clBlack, skin.center(), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmMain& f = Window();
        Paint(f, c.colour, true);
        Script({ Raw(c.at.x() - 5, f.ClientWidth() - 10), Raw(c.at.y() - 5, f.ClientHeight() - 10) });
        PlaceSparkles(&f, f.Canvas(), 1);
        EXPECT_EQ(QPoint(Sparkle(0).X, Sparkle(0).Y), c.accepted ? c.at : Fallback(f));
        EXPECT_EQ(QPoint(Sparkle(1).X, Sparkle(1).Y), Fallback(f));
    }
}

TEST_F(Stars, PlacingEndsWhereThereIsNoDarkFreePoint)
{
    struct Case {
        const char* name;
        QSize client;
        bool anyDraw;
    } cases[] = {
        { "an all-white skin", QSize(773, 526), true },
        { "a client area as small as the margins", QSize(10, 10), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmMain& f = Window();
        f.Constraints().MinWidth = 0;
        f.Constraints().MinHeight = 0;
        f.SetClientSize(c.client.width(), c.client.height());
        Paint(f, clWhite);
        quint32 state = 1;
        draws = 0;
        SetRandomSource([this, &state] { return ++draws, state = state * 1664525u + 1013904223u; });
        PlaceSparkles(&f, f.Canvas(), 300);
        EXPECT_TRUE(SparklesPlaced()) << "the timer does not try again every tick";
        EXPECT_EQ(SparkleCount(), 0);
        EXPECT_FALSE(HasStarPixels(f));
        EXPECT_EQ(draws > 0, c.anyDraw);
        f.SparkleTimerTimer(nullptr); // nothing to twinkle, and no star that does not exist
        EXPECT_FALSE(HasStarPixels(f));
    }
}

TEST_F(Stars, EveryKindDrawsItsPhasesOverTheKeptPixels)
{
    // Grids of the 3 x 3 pixels round the star, rows from the top: '.' is the
    // pixel kept when the star was placed, a letter the colour drawn.
    const QHash<QChar, TColor> colours = { { u'a', 0x00FFA0A0 }, { u'b', 0x00FF6060 }, { u'B', 0x00FF0000 },
        { u'c', 0x00C0C0C0 }, { u'g', 0x00808080 }, { u'w', 0x00FFFFFF }, { u'n', 0x00800000 }, { u'm', 0x00000082 },
        { u'r', 0x001414A0 } };
    struct Case {
        int kind;
        int phase;
        std::vector<const char*> draws;
    } cases[] = {
        { 0, 0, { "....b....", "....a....", "....b...." } },
        { 1, 1, { ".B.BcB.B.", ".B.BgB.B.", ".B.BcB.B." } },
        { 2, 0, { "....w....", ".g.gwg.g.", "....w...." } },
        { 3, 0, { "...g.....", "....g....", ".......g.", "......g..", "...g....." } },
        { 3, 1, { "....g....", ".......g." } },
        { 4, 0, { "n.n.B.n.n", ".B.BmB.B.", ".B.BrB.B.", "n.n.B.n.n" } },
        { 4, 1, { ".B.BmB.B.", ".B.BrB.B.", "n.n.B.n.n" } },
    };
    const auto original = [](int x, int y) { return RGB(10 + x, 20 + y, 30); };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " from phase " << c.phase);
        TBitmap canvas;
        canvas.SetSize(5, 5);
        for (int x = 0; x < 5; ++x)
            for (int y = 0; y < 5; ++y)
                canvas.Canvas()->SetPixels(x, y, original(x, y));
        InitSparkle(canvas.Canvas(), 3, 2, 2);
        Sparkle(3).Kind = quint8(c.kind);
        Sparkle(3).Phase = quint8(c.phase);
        for (size_t n = 0; n < c.draws.size(); ++n) {
            DrawSparkle(canvas.Canvas(), 3);
            for (int x = 0; x < 5; ++x)
                for (int y = 0; y < 5; ++y) {
                    const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 3;
                    const QChar want = inside ? QChar::fromLatin1(c.draws[n][(y - 1) * 3 + (x - 1)]) : u'.';
                    EXPECT_EQ(canvas.Canvas()->Pixels(x, y), want == u'.' ? original(x, y) : colours.value(want))
                        << "draw " << n + 1 << " at " << x << "," << y;
                }
        }
    }
    DrawSparkle(nullptr, 3); // no canvas, nothing drawn
}

TEST_F(Stars, ARestartDropsTheFieldAndItsPixels)
{
    struct Case {
        const char* name;
        void (*act)(TfrmMain&);
    } cases[] = {
        { "the skin button", [](TfrmMain& f) { f.btnSkinClick(nullptr); } },
        { "maximise", [](TfrmMain& f) { f.Perform(WM_SYSCOMMAND, SC_MAXIMIZE); } },
        { "restore by a caption double click", [](TfrmMain& f) { f.Perform(WM_SYSCOMMAND, 0xF122); } },
        { "a larger window", [](TfrmMain& f) { f.SetClientSize(1000, 700); } },
        { "the information page", [](TfrmMain& f) { f.SetMode(mdInfo); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmMain& f = Window();
        Paint(f, clBlack);
        const QImage before = f.RenderToBitmap()->ToImage();
        quint32 state = 3;
        SetRandomSource([&state] { return state = state * 1664525u + 1013904223u; });
        PlaceSparkles(&f, f.Canvas(), 50);
        ASSERT_TRUE(HasStarPixels(f));
        ASSERT_NE(f.RenderToBitmap()->ToImage(), before) << "the stars show";
        c.act(f);
        EXPECT_FALSE(SparklesPlaced());
        EXPECT_TRUE(f.SparkleTimer->Enabled());
        EXPECT_FALSE(HasStarPixels(f)) << "no star outlives the picture it was placed on";
    }
}

} // namespace

namespace {

// Every skin has dark room for a whole field; the pictures are kept beside
// the test binary to be looked at.
TEST_F(Stars, EverySkinGetsAWholeFieldOnItsDarkParts)
{
    TfrmMain& f = Window();
    f.FormActivate(nullptr);
    f.SparkleTimer->SetEnabled(false);
    for (int skin = 1; skin <= kStoreSkinCount; ++skin) {
        SCOPED_TRACE(skin);
        f.Session().CurrentSkin = skin;
        f.LoadSkin();
        f.SparkleTimer->SetEnabled(false);
        quint32 state = quint32(skin);
        SetRandomSource([&state] { return state = state * 1664525u + 1013904223u; });
        PlaceSparkles(&f, f.Canvas(), 300);
        EXPECT_EQ(SparkleCount(), 300);
        ExpectUncovered(f, SparkleCount() + 1);
        // Twinkled a while, as the timer would.
        for (int tick = 0; tick < 20; ++tick)
            f.SparkleTimerTimer(nullptr);
        const QString path
            = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("stars_skin%1.png").arg(skin));
        EXPECT_TRUE(f.RenderToBitmap()->ToImage().save(path));
    }
}

} // namespace
