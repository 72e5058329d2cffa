// Painting HTML labels: a word far wider than its label must cost what the
// label shows, not what the word would cover; a line of any number of tags
// costs its length.
#include "bench_targets.h"

#include "minihtml/engine.h"
#include "minihtml/html_label.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <cstring>
#include <memory>

namespace {

// One word of 1,000 characters at 200 points: about 150,000 pixels wide.
QString HugeWord()
{
    const QString letters = QStringLiteral("Zoëmonday");
    QString word;
    while (word.size() < 1000)
        word += letters;
    word.truncate(1000);
    return word;
}

QString HugeWordHtml()
{
    return QStringLiteral("<font name=\"Arial\" size=\"200\" color=\"#000080\">") + HugeWord()
        + QStringLiteral("</font>");
}

// A label of 300 x 60 on a form that is never shown.
struct HugeWordLabel {
    HugeWordLabel()
    {
        form->SetClientSize(320, 80);
        label = new TQzHtmlLabel2(form.get());
        label->SetParent(form.get());
        label->SetBounds(10, 10, 300, 60);
        label->SetColor(clWhite);
        label->SetHtml(HugeWordHtml());
    }
    // Setting the same text again makes the next paint parse, lay out and
    // draw it all once more.
    void Paint()
    {
        label->SetHtml(label->Html());
        label->RenderToBitmap();
    }

    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQzHtmlLabel2* label = nullptr;
};

// The same word drawn straight onto a small colour-keyed bitmap, whose text
// is cut at half coverage instead of anti-aliased.
void TextOutOnKeyedBitmap(TBitmap& bitmap, const QString& word)
{
    TCanvas& canvas = *bitmap.Canvas();
    canvas.Font()->SetName(QStringLiteral("Arial"));
    canvas.Font()->SetSize(200);
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(5, -200, word);
}

void BM_PaintHugeWordLabel(benchmark::State& state)
{
    HugeWordLabel l;
    for (auto _ : state)
        l.Paint();
}
BENCHMARK(BM_PaintHugeWordLabel)->Unit(benchmark::kMillisecond);

void BM_TextOutHugeWordOnKeyedBitmap(benchmark::State& state)
{
    TBitmap bitmap(300, 60);
    bitmap.SetTransparentColor(clFuchsia);
    const QString word = HugeWord();
    for (auto _ : state)
        TextOutOnKeyedBitmap(bitmap, word);
}
BENCHMARK(BM_TextOutHugeWordOnKeyedBitmap)->Unit(benchmark::kMillisecond);

// Resets the process's peak resident size (Linux); false where it cannot.
bool ResetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// Peak and current resident size in kilobytes, from /proc/self/status.
long StatusKilobytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

const int kHugeWordCheck = RegisterTargetCheck([] {
    HugeWordLabel l;
    const double ms = BestMilliseconds(5, [&] { l.Paint(); });
    PrintFigure("Painting a 300 x 60 HTML label holding one 1,000-character word at 200 points", ms, 50, "ms");
    TBitmap bitmap(300, 60);
    bitmap.SetTransparentColor(clFuchsia);
    const QString word = HugeWord();
    const double keyed = BestMilliseconds(5, [&] { TextOutOnKeyedBitmap(bitmap, word); });
    PrintFigure("The same word drawn onto a 300 x 60 colour-keyed bitmap", keyed, 50, "ms");
    if (ResetPeakMemory()) {
        const long before = StatusKilobytes("VmRSS:");
        l.Paint();
        TextOutOnKeyedBitmap(bitmap, word);
        PrintFigure(
            "Peak memory added by painting the word", double(StatusKilobytes("VmHWM:") - before) / 1024.0, 20, "MB");
    }
});

// One line of zero-width tags: 25,000 bold starts, then 10,000 pictures each
// taller than the one before, so every picture raises the whole line.
QString LongLineHtml()
{
    QString html = QStringLiteral("<b>").repeated(25000);
    for (int i = 1; i <= 10000; ++i)
        html += QStringLiteral("<img width=0 height=%1>").arg(i);
    return html;
}

void LoadLongLine(const QString& html)
{
    TBitmap target(300, 200);
    TQzMiniHtml2 engine(nullptr);
    engine.width = 300;
    engine.height = 200;
    engine.Canvas = target.Canvas();
    engine.Lines = QStringList { html };
    engine.LoadFromLines();
    benchmark::DoNotOptimize(engine.MaxHeight);
}

void BM_LoadLongHtmlLine(benchmark::State& state)
{
    const QString html = LongLineHtml();
    for (auto _ : state)
        LoadLongLine(html);
}
BENCHMARK(BM_LoadLongHtmlLine)->Unit(benchmark::kMillisecond)->Iterations(3);

const int kLongLineCheck = RegisterTargetCheck([] {
    const QString html = LongLineHtml();
    const double ms = BestMilliseconds(3, [&] { LoadLongLine(html); });
    PrintFigure("Loading an HTML line of 25,000 bold tags and 10,000 ever taller pictures", ms, 500, "ms");
});

} // namespace
