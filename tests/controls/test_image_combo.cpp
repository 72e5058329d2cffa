// The image combo box: image indices kept parallel to the items, and the
// geometry of an item's picture and text.
#include "controls/image_combo.h"

#include "platform/gui/forms.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// The smallest rectangle of pixels that are (or, with other, are not) a colour.
QRect BoxOf(const QImage& image, TColor colour, bool other = false)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) == ToQColor(colour).rgb()) != other)
                box |= QRect(x, y, 1, 1);
    return box;
}

class ImageCombo : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = new TForm(nullptr);
        combo = new TExtendedComboBoxNN(form);
        combo->SetParent(form);
        combo->SetColor(clWhite);
        TBitmap strip(48, 16);
        for (int i = 0; i < 3; ++i)
            strip.Canvas()->FillSolidRect(QRect(16 * i, 0, 16, 16), i == 0 ? clRed : i == 1 ? clLime : clBlue);
        images.Add(&strip, nullptr);
    }
    void TearDown() override
    {
        delete form;
        QApplication::processEvents();
    }
    QImage Draw(int index, int itemHeight, TOwnerDrawState state = 0)
    {
        combo->SetItemHeight(itemHeight);
        QImage image(120, itemHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        combo->PaintOwnerDrawItem(painter, index, image.rect(), state);
        return image;
    }

    TForm* form = nullptr;
    TExtendedComboBoxNN* combo = nullptr;
    TImageList images { 16, 16 };
};

} // namespace

TEST_F(ImageCombo, ImageIndicesStayWithTheirItems)
{
    EXPECT_EQ(combo->Style(), csOwnerDrawFixed);
    TComboImagesNN* ci = combo->ComboImages();
    combo->Items()->Add(QStringLiteral("added directly")); // no picture
    ci->Add(QStringLiteral("new"), 1);
    ci->AddObject(QStringLiteral("restore"), 2, 42);
    ci->InsertObject(1, QStringLiteral("diary"), 7, 0);
    ci->Delete(0);
    EXPECT_EQ(combo->Items()->ToStringList(),
        QStringList({ QStringLiteral("diary"), QStringLiteral("new"), QStringLiteral("restore") }));
    EXPECT_EQ(QList<int>({ ci->ImageIndex(0), ci->ImageIndex(1), ci->ImageIndex(2) }), QList<int>({ 0, 1, 2 }));
    EXPECT_EQ(combo->Items()->Objects(0), 7);
    EXPECT_EQ(combo->Items()->Objects(2), 42);
    EXPECT_ANY_THROW(ci->Insert(9, QStringLiteral("far"), 1)); // refused: neither list changes
    EXPECT_EQ(ci->Count(), 3);
    ci->Clear();
    EXPECT_EQ(combo->Items()->Count() + ci->Count(), 0);
}

TEST_F(ImageCombo, AnItemDrawsItsPictureCentredAndItsTextAfterIt)
{
    for (const QString& text : { QStringLiteral("red"), QStringLiteral("blue") })
        combo->ComboImages()->Add(text, text == QStringLiteral("red") ? 0 : 2);
    combo->ComboImages()->Add(QStringLiteral("missing"), 7);
    combo->Items()->Add(QStringLiteral("beyond the indices"));

    // Without an image list: a plain owner-drawn item, text near the left.
    EXPECT_LT(BoxOf(Draw(1, 16), clWhite, true).left(), 8);
    combo->SetImageList(&images);
    const QImage tall = Draw(1, 22);
    EXPECT_EQ(BoxOf(tall, clBlue), QRect(1, 3, 16, 16));
    const QRect text = BoxOf(tall.copy(17, 0, 103, 22), clWhite, true); // written at 16 + 2
    EXPECT_TRUE(text.left() >= 1 && text.left() <= 3) << text.left();
    EXPECT_EQ(BoxOf(Draw(0, 12), clRed), QRect(1, 0, 16, 12)); // lower than the picture: from the top
    EXPECT_EQ(Draw(1, 20, odSelected).pixel(0, 0), ToQColor(clHighlight).rgb());
    for (int noPicture : { 2, 3 }) {
        const QRect ink = BoxOf(Draw(noPicture, 20), clWhite, true);
        EXPECT_TRUE(ink.left() >= 18 && ink.left() <= 20) << noPicture;
    }
    // The closed combo shows the chosen item with its picture.
    combo->SetItemIndex(1);
    EXPECT_EQ(BoxOf(combo->RenderToBitmap()->Image(), clBlue).size(), QSize(16, 16));
}
