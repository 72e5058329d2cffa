// Layout and drawing of the engine: tags placed on bottom-aligned lines,
// drawn into the cache bitmap and copied onto the host's canvas with the
// transparent colour left out.
#include "minihtml/engine.h"

#include "minihtml/inline_elements.h"
#include "minihtml/tables.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

constexpr int kMargin = 5; // left, top and bottom margin, right margin of the wrap test
constexpr int kLineGap = 5; // below every line
constexpr int kBlockquoteX = 55; // absolute x after a blockquote start
constexpr int kAlignAllowance = 10; // taken off the free width when aligning
// Positions stay far below overflow whatever the content.
constexpr qint64 kMaxCoordinate = qint64(1) << 28;

int Clamp(qint64 v)
{
    return int(qBound(-kMaxCoordinate, v, kMaxCoordinate));
}

bool IsCell(const atag* t)
{
    return dynamic_cast<const aTDSTag*>(t) != nullptr;
}

// Rows and cells are placed by their table. A row left in the line flow
// would add its width and height once more after the table.
bool PlacedByTable(const atag* t)
{
    return IsCell(t) || dynamic_cast<const aTRSTag*>(t) != nullptr;
}

} // namespace

void TQzMiniHtml2::Update()
{
    TUse use(*this);
    int x = currentState.Indent + kMargin;
    int y = kMargin;
    int lineMax = 0;
    int line = 0;
    int lineStart = 0; // first tag of the line in progress
    int lastRaise = -1; // the last tag that made the line in progress higher
    MaxHeight = 0;
    if (TagList.empty())
        return;
    NumberListItems();
    FindTableEnds();

    // Lines are bottom-aligned: the tags before the line's last raise sit
    // on its final height. They are placed once that height is known, so a
    // line costs its length however many zero-width tags keep it open.
    auto settleLine = [&] {
        for (int j = lineStart; j < lastRaise; ++j) {
            atag* earlier = TagList[size_t(j)].get();
            if (PlacedByTable(earlier))
                continue;
            earlier->Top = Clamp(qint64(y) + lineMax - earlier->Height);
            earlier->LineHeight = lineMax;
        }
        lastRaise = -1;
    };
    auto closeLine = [&](int lastOfLine) {
        settleLine();
        MaxWidth = std::max(MaxWidth, x);
        // The indent in force when the line closes applies to the next one.
        x = Clamp(qint64(currentState.Indent) + kMargin);
        y = Clamp(qint64(y) + lineMax + kLineGap);
        lineMax = 0;
        AlignLine(lineStart, lastOfLine);
        lineStart = lastOfLine + 1;
        ++line;
    };

    const int n = int(TagList.size());
    for (int i = 0; i < n; ++i) {
        atag* t = TagList[size_t(i)].get();
        if (PlacedByTable(t))
            continue;
        // A tag that starts a line is measured on it: a table places its
        // rows from its Top, which must not be the line above.
        const bool startsLine = dynamic_cast<aLNInVisTag*>(t) || dynamic_cast<aHorizontalRule*>(t);
        if (startsLine && x != kMargin)
            closeLine(i - 1);
        t->Top = y;
        t->Left = x;
        Measure(t);
        if (qint64(x) + t->Width + kMargin > width && x != kMargin)
            closeLine(i - 1);
        if (dynamic_cast<aBlockquoteSTag*>(t))
            x = kBlockquoteX;
        t->Left = x;
        const bool visible = dynamic_cast<aVisTag*>(t) != nullptr;
        if (t->Height != 0)
            t->Top = visible && t->Height >= lineMax ? y : Clamp(qint64(y) + lineMax - t->Height);
        t->LineNumber = line;
        MaxHeight = Clamp(std::max<qint64>(MaxHeight, qint64(t->Top) + t->Height));
        x = Clamp(qint64(x) + t->Width);
        if (t->Height > lineMax) {
            lineMax = t->Height;
            lastRaise = i;
        }
        if (dynamic_cast<aInVisLNTag*>(t))
            closeLine(i);
        t->LineHeight = lineMax;
        MaxWidth = std::max(MaxWidth, x);
    }
    // The line in progress at the end is not closed, so not aligned either.
    settleLine();
    fContentHeight = Clamp(qint64(MaxHeight) + kMargin);
    SizeCache();
}

void TQzMiniHtml2::Measure(atag* t)
{
    if (HtmlPrinter)
        t->UpdatePrinter(*HtmlPrinter);
    else
        t->Update();
}

void TQzMiniHtml2::Update(int index)
{
    if (index < 0 || index >= int(TagList.size()))
        return;
    TUse use(*this);
    Measure(TagList[size_t(index)].get());
    if (Canvas) {
        TCanvas& cache = *CacheBitmap->Canvas();
        cache.Font()->Assign(*Canvas->Font());
        cache.Brush()->Assign(*Canvas->Brush());
    }
}

void TQzMiniHtml2::AlignLine(int first, int last)
{
    qint64 sum = 0;
    QString align;
    std::vector<aVisTag*> tags;
    for (int i = std::max(0, first); i <= last && i < int(TagList.size()); ++i) {
        auto* vis = dynamic_cast<aVisTag*>(TagList[size_t(i)].get());
        if (!vis || IsCell(vis))
            continue;
        tags.push_back(vis);
        sum += vis->Width;
        if (align.isEmpty())
            align = vis->align;
    }
    qint64 shift = 0;
    if (align == QStringLiteral("right"))
        shift = width - sum - kAlignAllowance;
    else if (align == QStringLiteral("centre"))
        shift = (width - sum - kAlignAllowance) / 2;
    if (shift == 0)
        return;
    for (aVisTag* vis : tags)
        vis->Left = Clamp(qint64(vis->Left) + shift);
}

void TQzMiniHtml2::NumberListItems()
{
    // Each ordered list numbers the items up to its end tag, nested ones
    // included, and a nested list numbers its own again later: so an item's
    // number counts the items since the innermost ordered list open there.
    std::vector<int> openAt; // item count when each open list started
    int items = 0;
    for (const auto& tag : TagList) {
        if (dynamic_cast<aOLSTag*>(tag.get())) {
            openAt.push_back(items);
        } else if (dynamic_cast<aOLETag*>(tag.get())) {
            if (!openAt.empty())
                openAt.pop_back();
        } else if (auto* item = dynamic_cast<aLISTag*>(tag.get())) {
            ++items;
            if (!openAt.empty())
                item->Counter = items - openAt.back();
        }
    }
}

void TQzMiniHtml2::FindTableEnds()
{
    const int n = int(TagList.size());
    fTableEnd.assign(size_t(n), n);
    std::vector<int> open;
    for (int i = 0; i < n; ++i) {
        const atag* t = TagList[size_t(i)].get();
        if (dynamic_cast<const aTableSTag*>(t)) {
            open.push_back(i);
        } else if (dynamic_cast<const aTableETag*>(t) && !open.empty()) {
            fTableEnd[size_t(open.back())] = i;
            open.pop_back();
        }
    }
}

int TQzMiniHtml2::TableEnd(int index) const
{
    if (index < 0 || index >= int(fTableEnd.size()))
        return int(TagList.size());
    return std::max(index, fTableEnd[size_t(index)]);
}

void TQzMiniHtml2::FindParagraphBands()
{
    // A band covers the visible tags up to the paragraph's end tag, nested
    // paragraphs included; one pass with a stack of open paragraphs.
    struct Open {
        aPSTag* Tag;
        int Top;
        int Bottom;
    };
    std::vector<Open> open;
    auto closeInnermost = [&open] {
        const Open done = open.back();
        open.pop_back();
        done.Tag->BandTop = done.Top;
        done.Tag->BandBottom = done.Bottom;
        if (!open.empty()) {
            open.back().Top = std::min(open.back().Top, done.Top);
            open.back().Bottom = std::max(open.back().Bottom, done.Bottom);
        }
    };
    for (const auto& tag : TagList) {
        if (auto* p = dynamic_cast<aPSTag*>(tag.get())) {
            open.push_back({ p, INT_MAX, INT_MIN });
        } else if (dynamic_cast<aPETag*>(tag.get())) {
            if (!open.empty())
                closeInnermost();
        } else if (!open.empty() && dynamic_cast<aVisTag*>(tag.get()) && tag->Visible) {
            open.back().Top = std::min(open.back().Top, tag->Top);
            open.back().Bottom = std::max(open.back().Bottom, tag->Top + tag->Height);
        }
    }
    while (!open.empty())
        closeInnermost();
}

QSize TQzMiniHtml2::CacheSize() const
{
    const int w = qBound(0, width, MaxCacheWidth);
    int h = qBound(0, fContentHeight, MaxCacheHeight);
    if (w > 0 && qint64(w) * h > MaxCachePixels)
        h = int(MaxCachePixels / w);
    return QSize(w, h);
}

void TQzMiniHtml2::SizeCache()
{
    const QSize size = CacheSize();
    CacheBitmap->SetSize(size.width(), size.height());
}

void TQzMiniHtml2::Draw()
{
    TUse use(*this);
    TCanvas& cache = *CacheBitmap->Canvas();
    cache.Lock();
    ClearCache();
    cache.MoveTo(0, 0);
    FindParagraphBands();
    for (size_t i = 0; i < TagList.size(); ++i) {
        if (Canvas) {
            cache.Brush()->Assign(*Canvas->Brush());
            cache.Pen()->Assign(*Canvas->Pen());
        }
        TagList[i]->Draw(cache);
    }
    cache.Unlock();
    ReDraw();
}

void TQzMiniHtml2::Draw(int index)
{
    if (index < 0 || index >= int(TagList.size()))
        return;
    TUse use(*this);
    TCanvas& cache = *CacheBitmap->Canvas();
    cache.Lock();
    TagList[size_t(index)]->Draw(cache);
    cache.Unlock();
}

void TQzMiniHtml2::ClearCache()
{
    TCanvas& cache = *CacheBitmap->Canvas();
    cache.Lock();
    cache.MoveTo(0, 0);
    cache.Brush()->SetColor(HtmlTransparentColor);
    cache.Brush()->SetStyle(bsSolid);
    cache.FillRect(QRect(0, 0, CacheBitmap->Width(), CacheBitmap->Height()));
    cache.Unlock();
}

void TQzMiniHtml2::ClearCache(int Left, int Top, int Right, int Bottom)
{
    if (!Canvas)
        return;
    Canvas->Lock();
    Canvas->Brush()->SetColor(HtmlTransparentColor);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(Rect(Left, Top, Right, Bottom));
    Canvas->Unlock();
}

void TQzMiniHtml2::ReDraw()
{
    if (!Canvas || CacheBitmap->Empty())
        return;
    Canvas->Lock();
    const int w = CacheBitmap->Width();
    // Never more than the area's height, nor past the cache's bottom.
    const int h = std::min({ CacheBitmap->Height(), height, CacheBitmap->Height() - ScrollTop });
    if (h > 0) {
        const QRect source = Rect(ScrollLeft, ScrollTop, w + ScrollLeft, ScrollTop + h);
        const QRect dest = Rect(Left + ScrollLeft, Top, w + Left + ScrollLeft, Top + h);
        Canvas->BrushCopy(dest, *CacheBitmap, source, HtmlTransparentColor);
    }
    Canvas->Unlock();
}

void TQzMiniHtml2::Clear()
{
    if (!Canvas)
        return;
    Canvas->Brush()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(Canvas->ClipRect());
}

void TQzMiniHtml2::NextLine()
{
    if (Canvas)
        Canvas->MoveTo(Left, Top + LineHeight);
    LineHeight = 0;
}
