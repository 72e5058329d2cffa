#pragma once

// The painter behind the glyph speed button: it keeps the glyph strip (up to
// five state images side by side), builds one image per button state once
// (with a disabled look and a grey look made from a single image), places
// glyph and caption, shortens the caption to fit and draws the caption and
// the drop-down mark. Built images live in image lists shared by every
// painter whose images have the same size. PaintButtonFrame draws the
// button's 3-D frame.

#include "controls/button_layout.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/stdctrls.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

// Drawing states of the glyph speed button. rbsExclusive is down and held
// by its group; rbsInactive is a flat button at rest (only ever drawn).
enum TSpeedButtonState { rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsInactive };

// Frame styles: bsAutoDetect follows NewStyleControls.
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// Same-sized images whose slots are claimed and given back, never removed:
// a freed slot is reused by the next addition.
class TGlyphList : public TImageList {
public:
    TGlyphList(int AWidth, int AHeight);
    QString ClassName() const override { return QStringLiteral("TGlyphList"); }

    int Add(const TBitmap* Image, const TBitmap* Mask);
    int AddMasked(const TBitmap* Image, TColor MaskColor);
    // A picture with its alpha channel, as it is.
    int AddImage(const QImage& Picture);
    // Gives the slot back; its image stays until the slot is reused.
    void Delete(int Index);
    // Slots in use (TImageList::Count counts every slot).
    int Count() const { return FCount; }
    bool InUse(int Index) const { return Index >= 0 && Index < int(FUsed.size()) && FUsed[size_t(Index)]; }

private:
    int ClaimFreeIndex();

    std::vector<bool> FUsed;
    int FCount = 0;
};

// The image lists of all painters, one per image size.
class TGlyphCache {
public:
    // The newest list of that size, or a new one.
    std::shared_ptr<TGlyphList> GetList(int AWidth, int AHeight);
    // Drops the list from the cache once none of its slots is in use.
    void ReturnList(const std::shared_ptr<TGlyphList>& List);
    bool Empty() const { return FGlyphLists.empty(); }
    int ListCount() const { return int(FGlyphLists.size()); }

private:
    std::vector<std::shared_ptr<TGlyphList>> FGlyphLists;
};

// The process-wide cache, or nullptr while there is none: created by the
// first painter, freed when a painter goes and the cache holds no list.
TGlyphCache* GlyphCache();

// Where DrawEx puts the glyph and the caption.
struct TGlyphLayout {
    QPoint GlyphPos;
    QRect TextBounds;
    QString Caption; // fitted to its room
};

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    TBitmap* Glyph() const { return FOriginal.get(); }
    // Takes a copy; a strip of square images sets the image count.
    void SetGlyph(const TBitmap* value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value) { FWordWrap = value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value) { FAlignment = value; }
    TColor TransparentColor() const { return FTransparentColor; }

    // Drops every built image.
    void Invalidate();
    // Builds a state's image once; its slot in GlyphList(), or -1.
    int MakeStateGlyph(TSpeedButtonState State);
    const TGlyphList* GlyphList() const { return FGlyphList.get(); }
    // The grey look of an image list's image, built once and kept in
    // GlyphList() while the image and the painter stay as they are; its
    // slot, or -1.
    int MakeImageListGlyph(const TImageList& Images, int ImageIndex);

    // Draws glyph, caption and mark into Client; returns the caption's rectangle.
    QRect Draw(TCanvas& Canvas, const QRect& Client, const QString& Caption, TButtonLayout Layout, int Margin,
        int Spacing, bool PopupMark, TSpeedButtonState State, unsigned Flags);
    // As Draw, with the image taken from an image list when one is given.
    QRect DrawEx(TCanvas& Canvas, const QRect& Client, const QString& Caption, TButtonLayout Layout, int Margin,
        int Spacing, bool PopupMark, const TImageList* Images, int ImageIndex, TSpeedButtonState State, unsigned Flags);
    TGlyphLayout ComputeLayout(TCanvas& Canvas, const QRect& Client, const QString& Caption, TButtonLayout Layout,
        int Margin, int Spacing, bool PopupMark, const TImageList* Images, int ImageIndex, unsigned Flags) const;
    // The drawn size; empty when there is no image to draw.
    QSize DrawButtonGlyph(TCanvas& Canvas, int X, int Y, TSpeedButtonState State);
    void DrawButtonText(
        TCanvas& Canvas, const QString& Caption, const QRect& TextBounds, TSpeedButtonState State, unsigned Flags);
    void DrawPopupMark(TCanvas& Canvas, int X, int Y, TSpeedButtonState State);

    // Fired when the strip changes.
    std::function<void()> OnChange;

private:
    void StripChanged();
    // The shared list for images of this size; built images of another size
    // are dropped first.
    void UseGlyphList(int Width, int Height);
    TColor ToGrayShade(TColor color) const;
    QSize DrawButtonImage(
        TCanvas& Canvas, int X, int Y, const TImageList& Images, int ImageIndex, TSpeedButtonState State);

    std::unique_ptr<TBitmap> FOriginal;
    std::shared_ptr<TGlyphList> FGlyphList;
    std::array<int, 5> FIndexs;
    // The grey copy of an image list's image, and the image it was made of.
    int FListGlyph = -1;
    qint64 FListGlyphSource = 0;
    TColor FTransparentColor = 0x00FF00FF;
    int FNumGlyphs = 1;
    bool FWordWrap = false;
    TAlignment FAlignment = taCenter;
};

// Draws the speed button's frame into Client; returns the content rectangle.
QRect PaintButtonFrame(TCanvas& Canvas, const QRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style);
