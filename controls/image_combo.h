#pragma once

// A combo box that draws a picture from an image list in front of each
// item. The picture of each item is kept by a companion list whose
// operations change an item's text and its image index together.

#include "platform/gui/bitmap.h"
#include "platform/gui/stdctrls.h"

#include <QList>

#include <memory>

// Image indices kept parallel to a combo box's items.
class TComboImagesNN {
public:
    TComboImagesNN() = default;
    TComboImagesNN(const TComboImagesNN&) = delete;
    TComboImagesNN& operator=(const TComboImagesNN&) = delete;

    TCustomComboBox* ComboBox() const { return FComboBox; }
    void SetComboBox(TCustomComboBox* value) { FComboBox = value; }

    // Items added to the combo box directly before these calls get no
    // picture (index -1), so every later item keeps its own.
    void Add(const QString& S, int ImageIndex);
    void AddObject(const QString& S, int ImageIndex, qintptr AObject);
    void Insert(int Index, const QString& S, int ImageIndex);
    void InsertObject(int Index, const QString& S, qintptr AObject, int ImageIndex);
    void Delete(int Index);
    void Clear();

    int Count() const { return int(FList.size()); }
    // The stored index of an item, or -1 beyond the stored ones.
    int ImageIndex(int Index) const { return Index >= 0 && Index < FList.size() ? FList.at(Index) : -1; }

private:
    // Pads the indices with "no picture" up to the item position.
    void PadTo(int Index);

    TCustomComboBox* FComboBox = nullptr;
    QList<int> FList;
};

class TExtendedComboBoxNN : public TComboBox {
public:
    explicit TExtendedComboBoxNN(TComponent* AOwner);
    ~TExtendedComboBoxNN() override;

    QString ClassName() const override { return QStringLiteral("TExtendedComboBoxNN"); }

    // Not owned: it must outlive the combo box or be unassigned first.
    TImageList* ImageList() const { return FImageList; }
    void SetImageList(TImageList* value);
    TComboImagesNN* ComboImages() const { return FComboImages.get(); }

protected:
    void DrawItem(int Index, QRect Rect, TOwnerDrawState State) override;

private:
    TImageList* FImageList = nullptr;
    std::unique_ptr<TComboImagesNN> FComboImages;
};
