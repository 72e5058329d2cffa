// The hatch panels: tiling and stretching, borders, transparency, passing the
// enabled state on; and a gallery of this family of controls saved as a PNG
// for a person to look at.
#include "controls/cool_edit.h"
#include "controls/hatch_panel.h"
#include "controls/image_combo.h"
#include "controls/month_calendar.h"

#include "platform/gui/forms.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace {

QRgb Rgb(TColor c)
{
    return ToQColor(c).rgb();
}

int Count(const QImage& image, TColor c)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == Rgb(c);
    return n;
}

// A w x h picture in one colour with a 2 x 2 mark of another at its top-left
// (or, with halves, its left half in the second colour).
std::unique_ptr<TBitmap> Picture(int w, int h, TColor back, TColor mark, bool halves = false)
{
    auto bmp = std::make_unique<TBitmap>(w, h);
    bmp->Canvas()->FillSolidRect(QRect(0, 0, w, h), back);
    bmp->Canvas()->FillSolidRect(halves ? QRect(0, 0, w / 2, h) : QRect(0, 0, 2, 2), mark);
    return bmp;
}

class HatchPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetColor(clYellow);
        form->SetClientSize(560, 400);
    }
    void TearDown() override
    {
        delete form;
        QApplication::processEvents();
    }
    template <class T> T* Add(int left, int top, int width, int height, TWinControl* parent = nullptr)
    {
        auto* c = new T(form);
        c->SetParent(parent ? parent : form);
        c->SetBounds(left, top, width, height);
        return c;
    }
    static QImage Render(TControl* c) { return c->RenderToBitmap()->Image(); }

    TForm* form = nullptr;
    const std::unique_ptr<TBitmap> tile = Picture(10, 10, clLime, clRed);
    const std::unique_ptr<TBitmap> halves = Picture(8, 8, clBlue, clRed, true);
};

} // namespace

TEST_F(HatchPanel, ThePanelWithFrameTilesOrStretchesInsideItsBevel)
{
    auto* panel = Add<THatchPanel>(0, 0, 45, 35);
    auto* plain = Add<TPanel>(0, 50, 45, 35);
    panel->SetCaption(QStringLiteral("Hi"));
    plain->SetCaption(QStringLiteral("Hi"));
    EXPECT_EQ(Render(panel), Render(plain)); // no picture: a plain panel

    int changes = 0;
    panel->OnBitMapChanged = [&](TObject* s) { changes += s == panel; };
    panel->SetBitmap(tile.get());
    EXPECT_GT(changes, 0);
    QImage image = Render(panel);
    EXPECT_EQ(Count(image, clRed), 5 * 4 * 4); // tiles from (1, 1), every 10 pixels
    EXPECT_EQ(image.pixel(42, 32), Rgb(clRed));
    EXPECT_EQ(image.pixel(44, 5), Rgb(clBtnShadow)); // the frame stays whole
    EXPECT_EQ(image.pixel(5, 34), Rgb(clBtnShadow));

    panel->SetBitmap(halves.get());
    panel->SetMode(Stretched);
    image = Render(panel);
    EXPECT_EQ(image.pixel(5, 17), Rgb(clRed));
    EXPECT_EQ(image.pixel(25, 17), Rgb(clBlue)); // a tile would be red here
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBtnHighlight));

    changes = 0;
    panel->Bitmap()->Canvas()->FillSolidRect(QRect(0, 0, 8, 8), clNavy);
    EXPECT_GT(changes, 0);
    panel->SetBevelWidth(30); // no area left
    EXPECT_EQ(Count(Render(panel), clNavy), 0);
}

TEST_F(HatchPanel, TheSelfPaintingPanelFillsFromItsCornerAndDrawsBordersOver)
{
    auto* panel = Add<TCPHatchPanel>(0, 0, 30, 20);
    panel->SetColor(clAqua);
    panel->SetCaption(QStringLiteral("never drawn"));
    EXPECT_EQ(Count(Render(panel), clAqua), 30 * 20);
    panel->SetBitmap(tile.get());
    EXPECT_TRUE(panel->Caption().isEmpty());
    EXPECT_EQ(Count(Render(panel), clRed), 3 * 2 * 4);

    // Outer raised bevel, border in the panel's colour, inner lowered bevel.
    panel->SetBorders(bmOriginal);
    panel->SetBevelWidth(1);
    panel->SetBorderWidth(1);
    panel->SetBevelInner(bvLowered);
    const QImage image = Render(panel);
    const QRgb row[] = { Rgb(clBtnHighlight), Rgb(clAqua), Rgb(clBtnShadow), Rgb(clLime) };
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.pixel(x, 10), row[x]) << x;
    EXPECT_EQ(image.pixel(27, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(29, 10), Rgb(clBtnShadow));
}

TEST_F(HatchPanel, ATransparentPanelShowsWhatLiesBelowIt)
{
    auto* below = Add<TLabel>(20, 20, 30, 30);
    below->SetAutoSize(false);
    below->SetColor(clRed);
    auto* glass = Add<TCPHatchPanel>(10, 10, 60, 60);
    glass->SetBitmap(tile.get());
    glass->SetTransparent(true);
    QImage image = Render(glass);
    EXPECT_EQ(image.pixel(5, 5), Rgb(clYellow));
    EXPECT_EQ(image.pixel(15, 15), Rgb(clRed));
    EXPECT_EQ(Count(image, clLime), 0); // its own picture is not drawn

    auto* back = Add<TCPHatchPanel>(100, 0, 100, 100);
    back->SetBitmap(tile.get());
    auto* inner = Add<TCPHatchPanel>(15, 25, 40, 40, back);
    inner->SetTransparent(true);
    image = Render(inner);
    EXPECT_EQ(image.pixel(5, 5), Rgb(clRed)); // back's tile mark at (20, 30)
    EXPECT_EQ(image.pixel(0, 0), Rgb(clLime));
}

TEST_F(HatchPanel, ControlEnabledHandsTheEnabledStateToTheChildren)
{
    auto* panel = Add<TCPHatchPanel>(0, 0, 200, 100);
    auto* child = Add<TCPCoolEdit>(5, 5, 80, 21, panel);
    auto* outside = Add<TCPCoolEdit>(5, 150, 80, 21);
    panel->SetEnabled(false);
    EXPECT_TRUE(child->Enabled()); // the option is off
    panel->SetEnabled(true);
    panel->SetControlEnabled(true);
    panel->SetEnabled(false);
    EXPECT_FALSE(child->Enabled());
    EXPECT_TRUE(outside->Enabled());
    panel->SetEnabled(true);
    EXPECT_TRUE(child->Enabled());

    // Built disabled: the children follow once the message loop runs.
    panel->SetComponentStateBit(csLoading, true);
    panel->SetEnabled(false);
    panel->SetComponentStateBit(csLoading, false);
    EXPECT_TRUE(child->Enabled());
    panel->Loaded();
    QApplication::processEvents();
    EXPECT_FALSE(child->Enabled());
    panel->Loaded();
    delete panel; // gone before the loop runs
    QApplication::processEvents();
}

TEST_F(HatchPanel, GalleryOfTheControlsInTheirMainStates)
{
    SetClock([] { return EncodeDate(2024, 5, 15); });
    form->SetColor(clBtnFace);
    const auto hatch = Picture(8, 8, 0xFFFFF2, 0xE0C8B0);
    hatch->Canvas()->FillSolidRect(QRect(2, 2, 1, 1), 0xE0C8B0);
    Add<THatchPanel>(10, 10, 160, 110)->SetBitmap(hatch.get());
    auto* stretched = Add<THatchPanel>(180, 10, 160, 110);
    stretched->SetBitmap(halves.get());
    stretched->SetMode(Stretched);
    auto* back = Add<TCPHatchPanel>(350, 10, 200, 110);
    back->SetBitmap(hatch.get());
    back->SetBorders(bmOriginal);
    auto* glass = Add<TCPHatchPanel>(20, 20, 160, 70, back);
    glass->SetTransparent(true);
    glass->SetBorders(bmFlat);
    auto* label = Add<TLabel>(10, 25, 140, 16, glass);
    label->SetCaption(QStringLiteral("transparent panel"));
    label->SetTransparent(true);

    // The calendar as the main window sets it up, with written days and birthdays.
    auto* cal = Add<TCPCalendar>(10, 135, 7 * 30 + 12, 7 * 20 + 12);
    cal->SetBorderStyle(bsNone);
    cal->SetGridLineWidth(2);
    cal->SetColor(0x00F2FFFF);
    cal->SetActiveBGColor(0x00FFDBD7);
    cal->SetSpecialBGColor(0x00FFE0CE);
    cal->SetActiveDays(QStringLiteral(",2,3,9,14,21,28,"));
    cal->SetSpecialDays(QStringLiteral("9,24,0"));

    auto* name = Add<TCPCoolEdit>(250, 140, 150, 21);
    name->SetText(QStringLiteral("My Diary"));
    auto* focused = Add<TCPCoolEdit>(250, 170, 150, 21);
    focused->SetColorOnFocus(0x00D0FFFF);
    focused->SetTextColorOnFocus(clNavy);
    focused->SetText(QStringLiteral("focused edit"));

    TImageList pictures(16, 16);
    TBitmap strip(48, 16);
    for (int i = 0; i < 3; ++i) {
        strip.Canvas()->Brush()->SetColor(i == 0 ? 0xE09060 : i == 1 ? 0x40C040 : 0x30A0E0);
        strip.Canvas()->Ellipse(16 * i + 1, 1, 16 * i + 15, 15);
    }
    pictures.AddMasked(&strip, clWhite);
    auto* combo = Add<TExtendedComboBoxNN>(250, 210, 200, 21);
    combo->SetImageList(&pictures);
    for (const QString& item : { QStringLiteral("* Create New Diary *"), QStringLiteral("My Diary") })
        combo->ComboImages()->Add(item, combo->Items()->Count() == 0 ? 1 : 0);
    combo->SetItemIndex(1);

    form->Show();
    QApplication::setActiveWindow(form->Handle());
    focused->SetFocus();
    focused->SetSelStart(12);
    const QImage gallery = Render(form);
    ASSERT_TRUE(gallery.save(QDir::temp().filePath(QStringLiteral("diary_gallery_calendar_panels_edits.png"))));
    SetClock({});
    EXPECT_EQ(gallery.pixel(373, 33), gallery.pixel(353 + 24, 13 + 24)); // the glass shows back's pattern
    EXPECT_EQ(gallery.pixel(390, 180), Rgb(0x00D0FFFF));
    EXPECT_EQ(gallery.pixel(390, 150), Rgb(clWindow));
}
