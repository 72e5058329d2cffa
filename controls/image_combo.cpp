#include "controls/image_combo.h"

#include <algorithm>

// --- TComboImagesNN ---

void TComboImagesNN::PadTo(int Index)
{
    while (FList.size() < Index)
        FList.append(-1);
}

void TComboImagesNN::Add(const QString& S, int ImageIndex)
{
    AddObject(S, ImageIndex, 0);
}

void TComboImagesNN::AddObject(const QString& S, int ImageIndex, qintptr AObject)
{
    // The item first: when the combo box refuses, the indices stay as they were.
    const int index = FComboBox ? FComboBox->Items()->AddObject(S, AObject) : int(FList.size());
    PadTo(index);
    FList.insert(index, ImageIndex);
}

void TComboImagesNN::Insert(int Index, const QString& S, int ImageIndex)
{
    InsertObject(Index, S, 0, ImageIndex);
}

void TComboImagesNN::InsertObject(int Index, const QString& S, qintptr AObject, int ImageIndex)
{
    if (FComboBox)
        FComboBox->Items()->InsertObject(Index, S, AObject);
    else
        Index = std::clamp(Index, 0, int(FList.size()));
    PadTo(Index);
    FList.insert(Index, ImageIndex);
}

void TComboImagesNN::Delete(int Index)
{
    if (FComboBox)
        FComboBox->Items()->Delete(Index);
    if (Index >= 0 && Index < FList.size())
        FList.removeAt(Index);
}

void TComboImagesNN::Clear()
{
    if (FComboBox)
        FComboBox->Items()->Clear();
    FList.clear();
}

// --- TExtendedComboBoxNN ---

TExtendedComboBoxNN::TExtendedComboBoxNN(TComponent* AOwner)
    : TComboBox(AOwner)
    , FComboImages(std::make_unique<TComboImagesNN>())
{
    FComboImages->SetComboBox(this);
    SetStyle(csOwnerDrawFixed);
}

TExtendedComboBoxNN::~TExtendedComboBoxNN() = default;

void TExtendedComboBoxNN::SetImageList(TImageList* value)
{
    if (value == FImageList)
        return;
    FImageList = value;
    Invalidate();
}

void TExtendedComboBoxNN::DrawItem(int Index, QRect Rect, TOwnerDrawState State)
{
    if (!FImageList) {
        TComboBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas& canvas = *Canvas();
    canvas.FillRect(Rect);
    const QString text = Items()->Strings(Index);
    // The text's place uses the image height: the pictures are square.
    const int h = FImageList->Height();
    const int imageOffset = std::max(0, (ItemHeight() - h) / 2);
    const int textOffset = std::max(0, (ItemHeight() - canvas.TextHeight(text)) / 2);
    if (Index < FComboImages->Count())
        FImageList->Draw(canvas, Rect.left() + 1, Rect.top() + imageOffset, FComboImages->ImageIndex(Index), true);
    canvas.TextOut(Rect.left() + h + 2, Rect.top() + textOffset, text);
}
