#include "minihtml/mouse.h"

#include "minihtml/dynamic_elements.h"
#include "minihtml/engine.h"
#include "minihtml/tables.h"

#include "platform/core/sysinfo.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/services.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// A move counts only after this many milliseconds and pixels since the last
// counted one, so that hovering does not hit-test on every pixel.
constexpr quint32 kMoveInterval = 150;
constexpr int kMoveDistance = 5;

void AddScroll(const TQzMiniHtml2& e, int& X, int& Y)
{
    if (e.ScrollLeft >= 0)
        X += e.ScrollLeft;
    if (e.ScrollTop >= 0)
        Y += e.ScrollTop;
}

} // namespace

// ---------------------------------------------------------------------------
// The engine's side

void TQzMiniHtml2::ForEachHandler(const std::function<void(THandler*)>& f)
{
    THandler* const handlers[3] = { MouseKBHandler1, MouseKBHandler2, MouseKBHandler3 };
    for (THandler* h : handlers)
        if (h)
            f(h);
}

TQzMiniHtml2* TQzMiniHtml2::HoveredCellEngine(aTDSTag** cell)
{
    auto* c = dynamic_cast<aTDSTag*>(MouseOver);
    TQzMiniHtml2* s = c ? SubInstance(c->MiniHtml) : nullptr;
    if (cell)
        *cell = s ? c : nullptr;
    return s;
}

void TQzMiniHtml2::MouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    TUse use(*this);
    AddScroll(*this, X, Y);
    const quint32 now = GetTickCount();
    // Unsigned difference: right across the counter's wrap.
    if (quint32(now - LastCheckTime) <= kMoveInterval)
        return;
    if (std::abs(X - LastPos.x()) <= kMoveDistance && std::abs(Y - LastPos.y()) <= kMoveDistance)
        return;
    LastPos = QPoint(X, Y);
    LastCheckTime = now;
    ForEachHandler([&](THandler* h) { h->MouseMove(Sender, Shift, X, Y); });
    aTDSTag* cell = nullptr;
    if (TQzMiniHtml2* s = HoveredCellEngine(&cell)) {
        // The cell's content lies at the cell's position in this cache.
        s->MouseMove(Sender, Shift, X - cell->Left, Y - cell->Top);
        Draw(cell->Index);
        ReDraw();
    }
}

void TQzMiniHtml2::MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TUse use(*this);
    AddScroll(*this, X, Y);
    StartPos = LastPos = QPoint(X, Y);
    Selecting = true;
    if (Button == mbLeft) {
        for (size_t i = 0; i < TagList.size(); ++i) {
            auto* vis = dynamic_cast<aVisTag*>(TagList[i].get());
            if (vis && vis->IsIn(QPoint(X, Y))) {
                Focused = int(i);
                MouseOver = vis;
            }
        }
    }
    if (auto* control = dynamic_cast<TControl*>(Sender); control && control->Cursor() == crHandPoint)
        control->SetCursor(crDefault);
    ForEachHandler([&](THandler* h) { h->MouseDown(Sender, Button, Shift, X, Y); });
    aTDSTag* cell = nullptr;
    if (TQzMiniHtml2* s = HoveredCellEngine(&cell))
        s->MouseDown(Sender, Button, Shift, X - cell->Left, Y - cell->Top);
}

void TQzMiniHtml2::MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TUse use(*this);
    AddScroll(*this, X, Y);
    EndPos = QPoint(X, Y);
    Selecting = false;
    ForEachHandler([&](THandler* h) { h->MouseUp(Sender, Button, Shift, X, Y); });
    aTDSTag* cell = nullptr;
    if (TQzMiniHtml2* s = HoveredCellEngine(&cell))
        s->MouseUp(Sender, Button, Shift, X - cell->Left, Y - cell->Top);
}

// ---------------------------------------------------------------------------
// Editing the selection, scrolling

void TQzMiniHtml2::Bold()
{
    WrapSelection(QStringLiteral("b"));
}

void TQzMiniHtml2::Underline()
{
    WrapSelection(QStringLiteral("u"));
}

void TQzMiniHtml2::WrapSelection(const QString& name)
{
    const int first = SelectStartFrom;
    const int last = SelectEndAt;
    if (fInUse > 0 || first < 0 || last < first || last >= TagCount())
        return;
    // The layout takes each tag's selection from the formatting state.
    std::vector<aVisTag*> selected;
    for (int i = first; i <= last; ++i)
        if (auto* vis = dynamic_cast<aVisTag*>(Tags(i)); vis && vis->Selected)
            selected.push_back(vis);
    // The tags the parser makes for "<b>" and "</b>" (or u), whatever
    // categories this engine parses.
    auto make = [this](const QString& n) {
        return CreateTagObject(FindTagIndex(n, DefaultSupportTag), this, u'<' + n + u'>');
    };
    TagList.insert(TagList.begin() + last + 1, make(u'/' + name));
    TagList.insert(TagList.begin() + first, make(name));
    for (size_t i = 0; i < TagList.size(); ++i)
        TagList[i]->Index = int(i);
    if (Focused > last)
        Focused += 2;
    else if (Focused >= first)
        Focused += 1;
    SelectStartFrom = first + 1;
    SelectEndAt = last + 1;
    Relayout();
    for (aVisTag* vis : selected)
        vis->Select();
    Draw();
    ScrollTo(ScrollTop);
}

void TQzMiniHtml2::ScrollUp(int Pixel)
{
    ScrollTo(qint64(ScrollTop) - Pixel);
}

void TQzMiniHtml2::ScrollDown(int Pixel)
{
    ScrollTo(qint64(ScrollTop) + Pixel);
}

void TQzMiniHtml2::ScrollTo(qint64 top)
{
    // The copy shows up to height rows from ScrollTop on: they stay inside
    // the cache.
    const int rows = CacheBitmap->Height();
    const int bottom = std::max(0, rows - std::clamp(height, 0, rows));
    ScrollTop = int(std::clamp<qint64>(top, 0, bottom));
    ReDraw();
}

// ---------------------------------------------------------------------------
// Handlers

THandler::THandler(TComponent* AOwner, TQzMiniHtml2* aHtml)
    : TComponent(AOwner)
    , aMiniHtml(aHtml)
{
}

std::unique_ptr<THandler> THandler::CloneFor(TQzMiniHtml2* aHtml) const
{
    return std::make_unique<THandler>(nullptr, aHtml);
}

std::unique_ptr<THandler> TNormalHandler::CloneFor(TQzMiniHtml2* aHtml) const
{
    return std::make_unique<TNormalHandler>(nullptr, aHtml);
}

std::unique_ptr<THandler> TFormElementHandler::CloneFor(TQzMiniHtml2* aHtml) const
{
    return std::make_unique<TFormElementHandler>(nullptr, aHtml);
}

void TNormalHandler::MouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    TQzMiniHtml2& e = *aMiniHtml;
    e.MouseOver = nullptr;
    if (e.TagList.empty())
        return;
    e.Focused = -1;
    const QPoint at(X, Y);
    for (size_t i = 0; i < e.TagList.size(); ++i) {
        auto* vis = dynamic_cast<aVisTag*>(e.TagList[i].get());
        if (!vis)
            continue;
        if (vis->IsIn(at)) {
            e.Focused = int(i);
            e.MouseOver = vis;
            if (!vis->MouseOver) {
                vis->MouseOver = true;
                if (!vis->TargetURL.isEmpty())
                    e.Draw(int(i));
            }
        } else if (vis->MouseOver) {
            vis->MouseOver = false;
            if (!vis->TargetURL.isEmpty())
                e.Draw(int(i));
        }
    }
    e.ReDraw();
    if (auto* control = dynamic_cast<TControl*>(Sender)) {
        const auto* over = dynamic_cast<aVisTag*>(e.MouseOver);
        control->SetCursor(over && !over->TargetURL.isEmpty() ? crHandPoint : crDefault);
    }
}

void TNormalHandler::MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TQzMiniHtml2& e = *aMiniHtml;
    if (Button != mbLeft || e.Focused < 0 || e.Focused >= e.TagCount())
        return;
    const auto* vis = dynamic_cast<const aVisTag*>(e.Tags(e.Focused));
    if (!vis || !vis->IsIn(QPoint(X, Y)) || vis->TargetURL.isEmpty())
        return;
    // A copy: the host's handler may replace the text and its tags.
    const QString href = vis->TargetURL;
    bool Handled = false;
    if (e.OnLinkClicked)
        e.OnLinkClicked(Sender, href, Handled);
    if (!Handled)
        OpenUrl(href);
}

void TFormElementHandler::MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TQzMiniHtml2& e = *aMiniHtml;
    const int index = e.Focused;
    if (Button != mbLeft || index < 0 || index >= e.TagCount())
        return;
    atag* tag = e.Tags(index);
    if (!tag->IsIn(QPoint(X, Y)))
        return;
    if (auto* input = dynamic_cast<aFormElement*>(tag)) {
        if (e.OnFormElementClicked)
            e.OnFormElementClicked(Sender, input->fmName, input->fmMethod, input->fmAction, input->inputName,
                input->inputType, input->inputValue);
        if (input->inputType == QStringLiteral("checkbox")) {
            input->checked = !input->checked;
            e.Draw(index);
            e.ReDraw();
        }
    } else if (auto* user = dynamic_cast<aUserDefined*>(tag)) {
        if (e.OnFormElementClicked)
            e.OnFormElementClicked(
                Sender, QString(), QString(), QString(), user->itemID, user->ItemType, user->variable1);
    }
}

std::unique_ptr<THandler> TBlockHandler::CloneFor(TQzMiniHtml2* aHtml) const
{
    return std::make_unique<TBlockHandler>(nullptr, aHtml);
}

void TBlockHandler::MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    UnSelectAll();
    fDragging = true;
}

void TBlockHandler::MouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    if (fDragging && aMiniHtml->Selecting)
        UpdateSelection(QPoint(X, Y));
}

void TBlockHandler::MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // The release point counts even when the thinned-out moves missed it.
    if (fDragging)
        UpdateSelection(QPoint(X, Y));
    fDragging = false;
}

void TBlockHandler::UpdateSelection(QPoint P)
{
    TQzMiniHtml2& e = *aMiniHtml;
    const QRect area = QRect(e.StartPos, P).normalized();
    e.SelectStartFrom = e.SelectEndAt = -1;
    for (int i = 0; i < e.TagCount(); ++i) {
        auto* vis = dynamic_cast<aVisTag*>(e.Tags(i));
        if (!vis)
            continue;
        const bool in = vis->IsIn(area);
        if (in) {
            if (e.SelectStartFrom < 0)
                e.SelectStartFrom = i;
            e.SelectEndAt = i;
        }
        if (in != vis->Selected) {
            if (in)
                vis->Select();
            else
                vis->UnSelect();
            e.Draw(i);
        }
    }
    e.ReDraw();
}

void TBlockHandler::UnSelectAll()
{
    TQzMiniHtml2& e = *aMiniHtml;
    for (int i = 0; i < e.TagCount(); ++i)
        if (auto* vis = dynamic_cast<aVisTag*>(e.Tags(i)); vis && vis->Selected) {
            vis->UnSelect();
            e.Draw(i);
        }
    e.SelectStartFrom = e.SelectEndAt = -1;
    e.ReDraw();
}

int TBlockHandler::TotalSelected() const
{
    int total = 0;
    for (int i = 0; i < aMiniHtml->TagCount(); ++i)
        if (auto* vis = dynamic_cast<aVisTag*>(aMiniHtml->Tags(i)); vis && vis->Selected)
            ++total;
    return total;
}

QString UrlShellTarget(const QString& target)
{
    if (target.contains(QStringLiteral("mailto://")))
        return QStringLiteral("mailto:") + target.mid(9);
    return target;
}

void OpenUrl(const QString& target)
{
    OpenLink(UrlShellTarget(target));
}
