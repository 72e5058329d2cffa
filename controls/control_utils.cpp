#include "controls/control_utils.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

int LargerOf(int a, int b)
{
    return a > b ? a : b;
}

int SmallerOf(int a, int b)
{
    return a < b ? a : b;
}

int WidthOfRect(const QRect& rect)
{
    return rect.width();
}

int HeightOfRect(const QRect& rect)
{
    return rect.height();
}

// --- pending input ---

namespace {

// Swallows the first left-button input of one kind aimed at one window.
class TDropFilter : public QObject {
public:
    TDropFilter(QEvent::Type type, QWidget* window, const std::function<bool(const QPoint&)>& accept)
        : fType(type)
        , fWindow(window)
        , fAccept(accept)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (fDropped || event->type() != fType)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);

        if (mouse->button() != Qt::LeftButton || !AimedAtWindow(watched))
            return false;
        if (fAccept && !fAccept(mouse->globalPosition().toPoint()))
            return false;
        fDropped = true;
        return true;
    }

    bool Dropped() const { return fDropped; }

private:
    bool AimedAtWindow(QObject* receiver) const
    {
        if (!fWindow)
            return true;
        if (auto* widget = qobject_cast<QWidget*>(receiver))
            return widget == fWindow || fWindow->isAncestorOf(widget);
        if (auto* window = qobject_cast<QWindow*>(receiver))
            return window == fWindow->window()->windowHandle();
        return false;
    }

    QEvent::Type fType;
    QWidget* fWindow;
    const std::function<bool(const QPoint&)>& fAccept;
    bool fDropped = false;
};

} // namespace

bool DropPendingMessage(QWidget* window, unsigned code, const std::function<bool(const QPoint&)>& accept)
{
    // A quit request is the application's Terminate flag, never queued input:
    // there is nothing to remove, and the program still ends.
    QEvent::Type type = QEvent::None;
    if (code == WM_LBUTTONDOWN)
        type = QEvent::MouseButtonPress;
    else if (code == WM_LBUTTONDBLCLK)
        type = QEvent::MouseButtonDblClick;
    if (type == QEvent::None || !QCoreApplication::instance())
        return false;
    // Qt queues input as posted events (a press that closed a popup is
    // replayed that way): deliver the pending ones of this kind now and keep
    // the first match from arriving.
    TDropFilter filter(type, window, accept);
    QCoreApplication::instance()->installEventFilter(&filter);
    QCoreApplication::sendPostedEvents(nullptr, type);
    QCoreApplication::instance()->removeEventFilter(&filter);
    return filter.Dropped();
}

QString ShortenToWidth(const QString& text, const TCanvas& canvas, int maxWidth)
{
    QString result = text;
    const qsizetype length = text.size();
    qsizetype i = 1;
    while (i <= length && canvas.TextWidth(result) > maxWidth) {
        ++i;
        result = text.left(std::max<qsizetype>(0, length - i)) + QStringLiteral("...");
    }
    return result;
}

bool AppIsForeground()
{
    return QApplication::activeWindow() != nullptr;
}

// --- painting ---

namespace {

// Sets csPaintCopy on controls for one scope, restoring what they had.
class TPaintCopyMarks {
public:
    TPaintCopyMarks() = default;
    TPaintCopyMarks(const TPaintCopyMarks&) = delete;
    TPaintCopyMarks& operator=(const TPaintCopyMarks&) = delete;
    ~TPaintCopyMarks()
    {
        for (const auto& [control, had] : fMarked)
            control->SetControlState(
                had ? control->ControlState() | csPaintCopy : control->ControlState() & ~csPaintCopy);
    }
    void Mark(TControl* control)
    {
        fMarked.append({ control, (control->ControlState() & csPaintCopy) != 0 });
        control->SetControlState(control->ControlState() | csPaintCopy);
    }

private:
    QList<std::pair<TControl*, bool>> fMarked;
};

} // namespace

void PaintParentBackground(TControl* control, TCanvas& canvas)
{
    if (!control || !control->Parent())
        return;
    TWinControl* parent = control->Parent();
    TPaintCopyMarks marks;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == control)
            break;
        if (sibling->IsWindowless() && sibling->Visible() && sibling->BoundsRect().intersects(control->BoundsRect()))
            marks.Mark(sibling);
    }
    // The layer paints the parent and stops before the control, so a
    // transparent control below doing the same cannot reach this one again.
    parent->PaintBackgroundFor(control, canvas);
}

std::unique_ptr<TBitmap> MakeEmbossedBitmap(
    const TBitmap& source, TColor outline, TColor back, TColor highlight, TColor shadow, bool drawHighlight)
{
    auto result = std::make_unique<TBitmap>(source.Width(), source.Height());
    if (source.Empty())
        return result;
    const QImage& src = source.Image();
    const QRgb key = source.Monochrome() ? 0xFFFFFF : (ToQColor(outline).rgb() & 0xFFFFFF);
    const QRgb backRgb = ToQColor(back).rgb();
    const QRgb highlightRgb = ToQColor(highlight).rgb();
    const QRgb shadowRgb = ToQColor(shadow).rgb();
    const int w = src.width(), h = src.height();
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(backRgb);
    const auto keyed
        = [&](int x, int y) { return (reinterpret_cast<const QRgb*>(src.constScanLine(y))[x] & 0xFFFFFF) == key; };
    if (drawHighlight) {
        for (int y = 0; y + 1 < h; ++y)
            for (int x = 0; x + 1 < w; ++x)
                if (keyed(x, y))
                    out.setPixel(x + 1, y + 1, highlightRgb);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (keyed(x, y))
                out.setPixel(x, y, shadowRgb);
    result->SetImage(out);
    return result;
}

std::unique_ptr<TBitmap> MakeDisabledBitmap(const TBitmap& source, TColor outline)
{
    return MakeEmbossedBitmap(source, outline, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void DrawImageDisabled(const TImageList& images, TCanvas& canvas, int x, int y, int index, TColor highlight,
    TColor shadow, bool drawHighlight)
{
    const QImage image = images.Image(index);
    if (image.isNull())
        return;
    const auto silhouette = [&image](TColor color) {
        const QRgb rgb = ToQColor(color).rgb();
        QImage shape(image.size(), QImage::Format_ARGB32_Premultiplied);
        for (int row = 0; row < image.height(); ++row) {
            const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(row));
            QRgb* dst = reinterpret_cast<QRgb*>(shape.scanLine(row));
            for (int col = 0; col < image.width(); ++col)
                dst[col] = qAlpha(src[col]) >= 128 ? rgb : 0;
        }
        return shape;
    };
    const QRect target(x, y, image.width(), image.height());
    if (drawHighlight)
        canvas.DrawImage(target.translated(1, 1), silhouette(highlight), image.rect());
    canvas.DrawImage(target, silhouette(shadow), image.rect());
}

// --- strings ---

TCharSet MakeCharSet(const QString& chars)
{
    TCharSet set;
    for (const QChar ch : chars)
        if (ch.unicode() < 256)
            set.set(ch.unicode());
    return set;
}

bool AllCharsInSet(const QString& text, const TCharSet& set)
{
    return std::all_of(
        text.begin(), text.end(), [&set](QChar ch) { return ch.unicode() < 256 && set.test(ch.unicode()); });
}

QString ReplaceAll(const QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(search); at >= 0; at = text.indexOf(search, from)) {
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + search.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

QString RepeatChar(QChar ch, int count)
{
    return count < 1 ? QString() : QString(count, ch);
}
