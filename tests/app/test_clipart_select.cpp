#include "app/clipart_select.h"
#include "platform/core/sysutils.h"
#include "support/form_fixture.h"

#include "controls/styled_speed_button.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/grids.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A solid colour per picture, told apart from white and from each other.
constexpr TColor kPictureColors[] = { 0x000000C0, 0x0000C000, 0x00C00000, 0x0000C0C0, 0x00C000C0 };

class ClipartSelect : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        MakeForm();
        pictures = std::make_unique<TImageList>(64, 64);
        pictures->SetMasked(false);
        for (TColor c : kPictureColors) {
            TBitmap picture;
            picture.SetSize(64, 64);
            picture.Canvas()->FillSolidRect(QRect(0, 0, 64, 64), c);
            pictures->Add(&picture, nullptr);
        }
    }
    void TearDown() override
    {
        pictures.reset();
        FormFixture::TearDown();
    }

    // Runs SelectIcon and `act` on the chooser once it shows.
    int Select(int xPos, int yPos, int aIcon, const std::function<void(TfrmClipartSelect&)>& act)
    {
        bool seen = false;
        WhenShown<TfrmClipartSelect>(seen, act);
        const int result = TfrmClipartSelect::SelectIcon(form, xPos, yPos, pictures.get(), aIcon);
        EXPECT_TRUE(seen);
        return result;
    }

    // A mouse press (double or not) and release in a grid cell.
    static void ClickCell(TfrmClipartSelect& c, int index, bool twice = false)
    {
        const QRect cell = c.DG->CellRect(index % 4, index / 4);
        ASSERT_FALSE(cell.isEmpty()) << index;
        const QPoint at = cell.center();
        c.DG->HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, at, false);
        c.DG->HostMouseRelease(Qt::LeftButton, {}, {}, at);
        if (twice) {
            c.DG->HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, at, true);
            c.DG->HostMouseRelease(Qt::LeftButton, {}, {}, at);
        }
    }

    std::unique_ptr<TImageList> pictures;
};

TEST_F(ClipartSelect, OpensUnderThePointAndKeepsInsideTheRightEdge)
{
    const int screen = Screen()->Width();
    struct Case {
        int xPos;
        const char* where;
    };
    const Case cases[]
        = { { screen / 2, "middle" }, { screen - 10, "at the right edge" }, { screen + 200, "past it" } };
    for (const Case& c : cases) {
        QRect bounds;
        QSize client;
        Select(c.xPos, 120, 0, [&](TfrmClipartSelect& chooser) {
            bounds = chooser.BoundsRect();
            client = QSize(chooser.ClientWidth(), chooser.ClientHeight());
            chooser.btnCancel->Click();
        });
        EXPECT_EQ(client, QSize(282, 300)) << c.where;
        EXPECT_EQ(bounds.top(), 120) << c.where;
        if (c.xPos - bounds.width() / 2 + bounds.width() <= screen)
            EXPECT_EQ(bounds.left(), c.xPos - bounds.width() / 2) << c.where;
        else
            EXPECT_EQ(bounds.left() + bounds.width(), screen - 2) << c.where;
    }
    EXPECT_EQ(AllForms().size(), 1) << "the chooser is freed";
}

TEST_F(ClipartSelect, CellsAfterTheLastPictureAreWhiteAndRefused)
{
    TfrmClipartSelect chooser(form);
    chooser.SetImageList(pictures.get());
    EXPECT_EQ(chooser.DG->RowCount(), 2);
    chooser.SetCurrentIcon(3);
    const QImage image = Render(chooser.DG);
    for (int index = 0; index < 8; ++index) {
        const QRect cell = chooser.DG->CellRect(index % 4, index / 4);
        ASSERT_FALSE(cell.isEmpty()) << index;
        const TColor fill = index < 5 ? kPictureColors[index] : clWhite;
        EXPECT_EQ(Count(image, cell, fill), 64 * 64) << "cell " << index;
    }

    for (int refused : { 5, 7 }) {
        ClickCell(chooser, refused);
        EXPECT_EQ(chooser.CurrentIcon(), 3) << refused;
    }
    ClickCell(chooser, 4);
    EXPECT_EQ(chooser.CurrentIcon(), 4);
    QTest::keyClick(chooser.DG->Handle(), Qt::Key_Right);
    EXPECT_EQ(chooser.CurrentIcon(), 4) << "nor reached by the keys";
}

TEST_F(ClipartSelect, ChoosingReturnsTheCellAndCancellingTheGivenIndex)
{
    struct Case {
        const char* how;
        std::function<void(TfrmClipartSelect&)> act;
        int expected;
    };
    const Case cases[] = {
        { "Select", [](TfrmClipartSelect& c) { ClickCell(c, 4), c.btnSelect->Click(); }, 4 },
        { "double click", [](TfrmClipartSelect& c) { ClickCell(c, 0, true); }, 0 },
        { "the Select key", [](TfrmClipartSelect& c) { ClickCell(c, 1), QTest::keyClick(c.DG->Handle(), Qt::Key_S); },
            1 },
        { "Cancel", [](TfrmClipartSelect& c) { ClickCell(c, 4), c.btnCancel->Click(); }, 2 },
        { "Esc", [](TfrmClipartSelect& c) { ClickCell(c, 0), QTest::keyClick(c.DG->Handle(), Qt::Key_Escape); }, 2 },
        { "Select on a refused cell", [](TfrmClipartSelect& c) { ClickCell(c, 6), c.btnSelect->Click(); }, 2 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Select(100, 100, 2, c.act), c.expected) << c.how;
}

TEST_F(ClipartSelect, AnIndexWithoutPictureOpensAndIsKeptOnCancel)
{
    for (int stored : { 40, -1 }) {
        int current = -2;
        EXPECT_EQ(Select(100, 100, stored,
                      [&](TfrmClipartSelect& c) {
                          current = c.CurrentIcon();
                          c.btnCancel->Click();
                      }),
            stored);
        EXPECT_EQ(current, 0) << stored;
    }
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(S("; ")));
}

} // namespace
