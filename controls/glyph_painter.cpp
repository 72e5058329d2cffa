#include "controls/glyph_painter.h"

#include "controls/control_utils.h"

#include <algorithm>

// --- TGlyphList ---

TGlyphList::TGlyphList(int AWidth, int AHeight)
    : TImageList(AWidth, AHeight)
{
}

int TGlyphList::ClaimFreeIndex()
{
    const auto free = std::find(FUsed.begin(), FUsed.end(), false);
    if (free != FUsed.end())
        return int(free - FUsed.begin());
    TBitmap blank(Width(), Height());
    TImageList::Add(&blank, nullptr);
    FUsed.resize(size_t(TImageList::Count()), false);
    return TImageList::Count() - 1;
}

int TGlyphList::Add(const TBitmap* Image, const TBitmap* Mask)
{
    const int index = ClaimFreeIndex();
    Replace(index, Image, Mask);
    FUsed[size_t(index)] = true;
    ++FCount;
    return index;
}

int TGlyphList::AddMasked(const TBitmap* Image, TColor MaskColor)
{
    const int index = ClaimFreeIndex();
    ReplaceMasked(index, Image, MaskColor);
    FUsed[size_t(index)] = true;
    ++FCount;
    return index;
}

int TGlyphList::AddImage(const QImage& Picture)
{
    const int index = ClaimFreeIndex();
    ReplaceImage(index, Picture);
    FUsed[size_t(index)] = true;
    ++FCount;
    return index;
}

void TGlyphList::Delete(int Index)
{
    if (!InUse(Index))
        return;
    --FCount;
    FUsed[size_t(Index)] = false;
}

// --- TGlyphCache ---

std::shared_ptr<TGlyphList> TGlyphCache::GetList(int AWidth, int AHeight)
{
    for (auto it = FGlyphLists.rbegin(); it != FGlyphLists.rend(); ++it)
        if ((*it)->Width() == AWidth && (*it)->Height() == AHeight)
            return *it;
    FGlyphLists.push_back(std::make_shared<TGlyphList>(AWidth, AHeight));
    return FGlyphLists.back();
}

void TGlyphCache::ReturnList(const std::shared_ptr<TGlyphList>& List)
{
    if (!List || List->Count() != 0)
        return;
    // The cache lets go; a painter still holding the list keeps it alive.
    std::erase(FGlyphLists, List);
}

namespace {

std::unique_ptr<TGlyphCache>& CacheHolder()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

TGlyphCache& EnsureCache()
{
    if (!CacheHolder())
        CacheHolder() = std::make_unique<TGlyphCache>();
    return *CacheHolder();
}

} // namespace

TGlyphCache* GlyphCache()
{
    return CacheHolder().get();
}

// --- TButtonGlyph ---

TButtonGlyph::TButtonGlyph()
    : FOriginal(std::make_unique<TBitmap>())
{
    FIndexs.fill(-1);
    FOriginal->OnChange = [this] { StripChanged(); };
    EnsureCache();
}

TButtonGlyph::~TButtonGlyph()
{
    FOriginal->OnChange = nullptr;
    Invalidate();
    if (CacheHolder() && CacheHolder()->Empty())
        CacheHolder().reset();
}

void TButtonGlyph::Invalidate()
{
    for (int& slot : FIndexs) {
        if (slot != -1 && FGlyphList)
            FGlyphList->Delete(slot);
        slot = -1;
    }
    if (FListGlyph != -1 && FGlyphList)
        FGlyphList->Delete(FListGlyph);
    FListGlyph = -1;
    if (CacheHolder())
        CacheHolder()->ReturnList(FGlyphList);
    FGlyphList.reset();
}

void TButtonGlyph::SetGlyph(const TBitmap* value)
{
    Invalidate();
    FOriginal->Assign(value);
}

void TButtonGlyph::SetNumGlyphs(int value)
{
    if (value < 1 || value == FNumGlyphs)
        return;
    Invalidate();
    FNumGlyphs = std::min(value, 5);
}

void TButtonGlyph::StripChanged()
{
    Invalidate();
    const int w = FOriginal->Width(), h = FOriginal->Height();
    if (w > 0 && h > 0) {
        FTransparentColor = FOriginal->TransparentColor() & ~0x02000000;
        // A strip of no width keeps its count: a count of 0 images would
        // divide by zero later.
        if (w % h == 0) {
            const int count = w / h;
            FNumGlyphs = count > 5 ? 1 : count;
        }
    }
    if (OnChange)
        OnChange();
}

TColor TButtonGlyph::ToGrayShade(TColor color) const
{
    const TColor rgb = ColorToRGB(color);
    if (rgb == ColorToRGB(FTransparentColor) || rgb == ColorToRGB(clBtnFace))
        return color;
    const int grey = (77 * GetRValue(rgb) + 150 * GetGValue(rgb) + 29 * GetBValue(rgb)) >> 8;
    return RGB(grey, grey, grey);
}

void TButtonGlyph::UseGlyphList(int Width, int Height)
{
    if (FGlyphList && (FGlyphList->Width() != Width || FGlyphList->Height() != Height))
        Invalidate();
    if (!FGlyphList)
        FGlyphList = EnsureCache().GetList(Width, Height);
}

int TButtonGlyph::MakeStateGlyph(TSpeedButtonState State)
{
    if (State == rbsDown && FNumGlyphs < 3)
        State = rbsUp;
    int& slot = FIndexs[size_t(State)];
    if (slot != -1)
        return slot;
    if (FOriginal->Empty())
        return -1;
    const int width = FOriginal->Width() / FNumGlyphs, height = FOriginal->Height();
    if (width <= 0)
        return -1;
    UseGlyphList(width, height);

    const QImage& strip = FOriginal->Image();
    const auto imageOf = [&](int index) {
        auto work = std::make_unique<TBitmap>();
        work->SetImage(strip.copy(index * width, 0, width, height));
        return work;
    };
    const int source = int(State) < FNumGlyphs ? int(State) : 0;
    switch (State) {
    case rbsUp:
    case rbsDown:
    case rbsExclusive: {
        slot = FGlyphList->AddMasked(imageOf(source).get(), FTransparentColor);
        break;
    }
    case rbsDisabled:
        if (FNumGlyphs > 1) {
            slot = FGlyphList->AddMasked(imageOf(source).get(), FTransparentColor);
        } else {
            const std::unique_ptr<TBitmap> work = MakeDisabledBitmap(*FOriginal, clBlack);
            slot = FGlyphList->AddMasked(work.get(), ColorToRGB(clBtnFace));
        }
        break;
    case rbsInactive:
        if (FNumGlyphs > 4) {
            slot = FGlyphList->AddMasked(imageOf(source).get(), FTransparentColor);
        } else {
            QImage grey = strip.copy(0, 0, width, height);
            for (int y = 0; y < height; ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
                for (int x = 0; x < width; ++x) {
                    const TColor c = ToGrayShade(RGB(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
                    line[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
                }
            }
            TBitmap work;
            work.SetImage(grey);
            slot = FGlyphList->AddMasked(&work, FTransparentColor);
        }
        break;
    }
    return slot;
}

QSize TButtonGlyph::DrawButtonGlyph(TCanvas& Canvas, int X, int Y, TSpeedButtonState State)
{
    if (FOriginal->Empty())
        return QSize(0, 0);
    const int index = MakeStateGlyph(State);
    if (index < 0 || !FGlyphList)
        return QSize(0, 0);
    FGlyphList->Draw(Canvas, X, Y, index);
    return QSize(FGlyphList->Width(), FGlyphList->Height());
}

int TButtonGlyph::MakeImageListGlyph(const TImageList& Images, int ImageIndex)
{
    const QImage source = Images.Image(ImageIndex);
    if (source.isNull() || Images.Width() <= 0 || Images.Height() <= 0)
        return -1;
    // The key names the image's pixels: a replaced or edited image, or
    // another list, never shows an old copy.
    const bool sameSize
        = FGlyphList && FGlyphList->Width() == Images.Width() && FGlyphList->Height() == Images.Height();
    if (FListGlyph != -1 && sameSize && FListGlyphSource == source.cacheKey())
        return FListGlyph;
    if (FListGlyph != -1 && FGlyphList)
        FGlyphList->Delete(FListGlyph);
    FListGlyph = -1;
    UseGlyphList(Images.Width(), Images.Height());

    QImage grey = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < grey.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0)
                continue;
            const QRgb straight = qUnpremultiply(line[x]);
            const TColor c = ToGrayShade(RGB(qRed(straight), qGreen(straight), qBlue(straight)));
            line[x] = qPremultiply(qRgba(GetRValue(c), GetGValue(c), GetBValue(c), alpha));
        }
    }
    FListGlyph = FGlyphList->AddImage(grey);
    FListGlyphSource = source.cacheKey();
    return FListGlyph;
}

QSize TButtonGlyph::DrawButtonImage(
    TCanvas& Canvas, int X, int Y, const TImageList& Images, int ImageIndex, TSpeedButtonState State)
{
    switch (State) {
    case rbsDisabled: DrawImageDisabled(Images, Canvas, X, Y, ImageIndex, clBtnHighlight, clBtnShadow, true); break;
    case rbsInactive:
        if (const int slot = MakeImageListGlyph(Images, ImageIndex); slot != -1)
            FGlyphList->Draw(Canvas, X, Y, slot);
        break;
    default: Images.Draw(Canvas, X, Y, ImageIndex); break;
    }
    return QSize(Images.Width(), Images.Height());
}

namespace {

bool HasImage(const TImageList* Images, int ImageIndex)
{
    return Images && Images->Width() > 0 && ImageIndex >= 0 && ImageIndex < Images->Count();
}

// At most 255 characters; without word wrap each line shortened to width
// with "...", and the end cleared of blanks and line breaks.
QString FitCaption(const TCanvas& Canvas, const QString& Caption, int Width, bool WordWrap)
{
    QString result = Caption.left(255);
    if (WordWrap)
        return result;
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= result.size(); ++i) {
        if (i == result.size() || result[i] == u'\r' || result[i] == u'\n') {
            if (i < result.size() || start < result.size())
                lines.append(ShortenToWidth(result.mid(start, i - start), Canvas, Width));
            if (i + 1 < result.size() && result[i] == u'\r' && result[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    result = lines.join(QStringLiteral("\r\n"));
    while (!result.isEmpty() && result.back() <= u' ')
        result.chop(1);
    return result.left(255);
}

} // namespace

TGlyphLayout TButtonGlyph::ComputeLayout(TCanvas& Canvas, const QRect& Client, const QString& Caption,
    TButtonLayout Layout, int Margin, int Spacing, bool PopupMark, const TImageList* Images, int ImageIndex,
    unsigned Flags) const
{
    TGlyphLayout L;
    const QPoint clientSize(Client.width(), Client.height());
    QPoint glyphSize(0, 0);
    if (HasImage(Images, ImageIndex))
        glyphSize = QPoint(Images->Width(), Images->Height());
    else if (!FOriginal->Empty())
        glyphSize = QPoint(FOriginal->Width() / FNumGlyphs, FOriginal->Height());

    const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    QPoint maxSize;
    if (horizontal) {
        maxSize.rx() = clientSize.x() - glyphSize.x();
        if (Margin != -1)
            maxSize.rx() -= Margin;
        if (Spacing != -1)
            maxSize.rx() -= Spacing;
        if (PopupMark)
            maxSize.rx() -= 9;
        maxSize.ry() = clientSize.y();
    } else {
        maxSize.rx() = clientSize.x();
        maxSize.ry() = clientSize.y() - glyphSize.y();
        if (Margin != -1)
            maxSize.ry() -= Margin;
        if (Spacing != -1)
            maxSize.ry() -= Spacing;
    }
    maxSize = QPoint(std::max(0, maxSize.x()), std::max(0, maxSize.y()));

    L.Caption = FitCaption(Canvas, Caption, maxSize.x(), FWordWrap);
    QRect text(0, 0, 0, 0);
    if (!L.Caption.isEmpty()) {
        text = QRect(0, 0, maxSize.x(), 0);
        DrawText(
            Canvas, L.Caption, text, DT_CALCRECT | DT_CENTER | DT_VCENTER | (FWordWrap ? DT_WORDBREAK : 0) | Flags);
        text.setHeight(std::clamp(text.height(), 0, maxSize.y()));
        text.setWidth(std::clamp(text.width(), 0, maxSize.x()));
    }
    QPoint textSize(text.width(), text.height());

    if (PopupMark) {
        if (glyphSize.x() == 0 || glyphSize.y() == 0 || Layout == blGlyphLeft)
            textSize.rx() += 9;
        else if (glyphSize.x() > 0)
            glyphSize.rx() += 6;
    }

    QPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.ry() = clientSize.y() / 2 - glyphSize.y() / 2;
        textPos.ry() = clientSize.y() / 2 - textSize.y() / 2;
    } else {
        glyphPos.rx() = clientSize.x() / 2 - glyphSize.x() / 2;
        textPos.rx() = clientSize.x() / 2 - textSize.x() / 2;
    }

    if (textSize.x() == 0 || glyphSize.x() == 0)
        Spacing = 0;

    const int clientLen = horizontal ? clientSize.x() : clientSize.y();
    const int glyphLen = horizontal ? glyphSize.x() : glyphSize.y();
    const int textLen = horizontal ? textSize.x() : textSize.y();
    if (Margin == -1 && Spacing == -1) {
        Margin = Spacing = (clientLen - (glyphLen + textLen)) / 3;
    } else if (Margin == -1) {
        Margin = clientLen / 2 - (glyphLen + Spacing + textLen) / 2;
    } else if (Spacing == -1) {
        Spacing = (clientLen - (Margin + glyphLen)) / 2 - textLen / 2;
    }

    switch (Layout) {
    case blGlyphLeft:
        glyphPos.rx() = Margin;
        textPos.rx() = Margin + glyphSize.x() + Spacing;
        break;
    case blGlyphRight:
        glyphPos.rx() = clientSize.x() - Margin - glyphSize.x();
        textPos.rx() = glyphPos.x() - Spacing - textSize.x();
        break;
    case blGlyphTop:
        glyphPos.ry() = Margin;
        textPos.ry() = Margin + glyphSize.y() + Spacing;
        break;
    case blGlyphBottom:
        glyphPos.ry() = clientSize.y() - Margin - glyphSize.y();
        textPos.ry() = glyphPos.y() - Spacing - textSize.y();
        break;
    }

    L.GlyphPos = glyphPos + Client.topLeft();
    L.TextBounds = text.translated(textPos + Client.topLeft());
    return L;
}

QRect TButtonGlyph::Draw(TCanvas& Canvas, const QRect& Client, const QString& Caption, TButtonLayout Layout, int Margin,
    int Spacing, bool PopupMark, TSpeedButtonState State, unsigned Flags)
{
    return DrawEx(Canvas, Client, Caption, Layout, Margin, Spacing, PopupMark, nullptr, -1, State, Flags);
}

QRect TButtonGlyph::DrawEx(TCanvas& Canvas, const QRect& Client, const QString& Caption, TButtonLayout Layout,
    int Margin, int Spacing, bool PopupMark, const TImageList* Images, int ImageIndex, TSpeedButtonState State,
    unsigned Flags)
{
    const TGlyphLayout L
        = ComputeLayout(Canvas, Client, Caption, Layout, Margin, Spacing, PopupMark, Images, ImageIndex, Flags);
    const bool fromList = HasImage(Images, ImageIndex);
    const QSize drawn = fromList ? DrawButtonImage(Canvas, L.GlyphPos.x(), L.GlyphPos.y(), *Images, ImageIndex, State)
                                 : DrawButtonGlyph(Canvas, L.GlyphPos.x(), L.GlyphPos.y(), State);
    DrawButtonText(Canvas, L.Caption, L.TextBounds, State, Flags);
    if (PopupMark) {
        int x = 0, y = 0;
        if (Layout != blGlyphLeft && (FOriginal->Width() > 0 || fromList)) {
            x = L.GlyphPos.x() + drawn.width() + 1;
            y = L.GlyphPos.y() + drawn.height() / 2;
        } else {
            x = L.Caption.isEmpty() ? (Client.left() + RectRight(Client) - 7) / 2 : RectRight(L.TextBounds) + 3;
            y = L.TextBounds.top() + L.TextBounds.height() / 2;
        }
        DrawPopupMark(Canvas, x, y, State);
    }
    return L.TextBounds;
}

void TButtonGlyph::DrawButtonText(
    TCanvas& Canvas, const QString& Caption, const QRect& TextBounds, TSpeedButtonState State, unsigned Flags)
{
    Canvas.Brush()->SetStyle(bsClear);
    const QString text = Caption.left(255);
    const unsigned flags = Flags | DT_VCENTER | (FWordWrap ? DT_WORDBREAK : 0);
    if (State == rbsDisabled) {
        const TColor previous = Canvas.SetTextColor(clBtnHighlight);
        DrawText(Canvas, text, TextBounds.translated(1, 1), flags);
        Canvas.SetTextColor(clBtnShadow);
        DrawText(Canvas, text, TextBounds, flags);
        Canvas.SetTextColor(previous);
    } else {
        DrawText(Canvas, text, TextBounds, flags);
    }
}

void TButtonGlyph::DrawPopupMark(TCanvas& Canvas, int X, int Y, TSpeedButtonState State)
{
    const auto triangle = [&Canvas](int x, int y, TColor color) {
        Canvas.FillSolidRect(QRect(x, y - 1, 7, 1), color);
        Canvas.FillSolidRect(QRect(x + 1, y, 5, 1), color);
        Canvas.FillSolidRect(QRect(x + 2, y + 1, 3, 1), color);
        Canvas.FillSolidRect(QRect(x + 3, y + 2, 1, 1), color);
    };
    if (State == rbsDisabled) {
        triangle(X + 1, Y + 1, clBtnHighlight);
        triangle(X, Y, clBtnShadow);
    } else {
        triangle(X, Y, clBtnText);
    }
}

// --- the frame ---

QRect PaintButtonFrame(TCanvas& Canvas, const QRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style)
{
    QRect r = Client;
    const bool newStyle = Style == bsNew || (Style == bsAutoDetect && NewStyleControls);
    TPen* pen = Canvas.Pen();
    pen->SetStyle(psSolid);
    pen->SetMode(pmCopy);
    const auto pass = [&](TColor topLeft, TColor bottomRight) { Frame3D(Canvas, r, topLeft, bottomRight, 1); };
    if (IsDown) {
        if (newStyle && !IsFlat) {
            pass(clWindowFrame, clBtnHighlight);
            pass(clBtnShadow, clBtnFace);
        } else if (newStyle) {
            pass(clBtnShadow, clBtnHighlight);
        } else if (IsFlat) {
            pass(clWindowFrame, clBtnHighlight);
        } else {
            pass(clWindowFrame, clWindowFrame);
            pen->SetColor(clBtnShadow);
            Canvas.Polyline({ QPoint(r.left(), RectBottom(r) - 1), r.topLeft(), QPoint(RectRight(r), r.top()) });
        }
    } else {
        if (newStyle && IsFlat) {
            pass(clBtnHighlight, clBtnShadow);
        } else if (newStyle) {
            pass(clBtnHighlight, clWindowFrame);
            pass(clBtnFace, clBtnShadow);
        } else if (IsFlat) {
            pass(clBtnHighlight, clWindowFrame);
        } else {
            pass(clWindowFrame, clWindowFrame);
            pass(clBtnHighlight, clBtnShadow);
        }
    }
    r.adjust(1, 1, -1, -1);
    return r;
}
