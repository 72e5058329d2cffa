// Reading and writing RTF whose font table is huge: a document pasted from
// elsewhere may name thousands of fonts, and both directions must stay
// linear in its size.
#include "bench_targets.h"
#include "platform/richtext/rtf.h"

#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFontEntries = 25000;

// A font table of kFontEntries names, and a word in each of them.
const QByteArray& ManyFontsRtf()
{
    static const QByteArray rtf = [] {
        QByteArray fonts = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
        QByteArray body;
        for (int i = 0; i < kFontEntries; ++i) {
            const QByteArray n = QByteArray::number(i);
            fonts += "{\\f" + n + "\\fnil\\fcharset0 Font Family " + n + ";}";
            body += "\\f" + n + " word" + n + (i % 10 == 9 ? "\\par\r\n" : " ");
        }
        return fonts + "}\r\n\\pard " + body + "\\par}";
    }();
    return rtf;
}

void BM_ReadRtfWithManyFonts(benchmark::State& state)
{
    for (auto _ : state) {
        QTextDocument doc;
        ReadRtf(ManyFontsRtf(), doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
}
BENCHMARK(BM_ReadRtfWithManyFonts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteRtfWithManyFonts(benchmark::State& state)
{
    QTextDocument doc;
    ReadRtf(ManyFontsRtf(), doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteRtf(doc).size());
}
BENCHMARK(BM_WriteRtfWithManyFonts)->Unit(benchmark::kMillisecond)->Iterations(3);

const int registered = RegisterTargetCheck([] {
    const double read = BestMilliseconds(3, [] {
        QTextDocument doc;
        ReadRtf(ManyFontsRtf(), doc);
    });
    PrintFigure("Reading RTF with 25,000 font entries", read, 500, "ms");
    QTextDocument doc;
    ReadRtf(ManyFontsRtf(), doc);
    const double write = BestMilliseconds(3, [&doc] { WriteRtf(doc); });
    PrintFigure("Writing it back as RTF", write, 500, "ms");
});

} // namespace
