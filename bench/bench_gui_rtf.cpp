// Reading and writing RTF whose font table is huge: a document pasted from
// elsewhere may name thousands of fonts, and both directions must stay
// linear in its size. So must reading runs whose colours were chosen so that
// each run's text and highlight colours add up to the same number.
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

// Reads the RTF into a document of its own, as a body is shown.
void ReadIntoNewDocument(const QByteArray& rtf)
{
    QTextDocument doc;
    ReadRtf(rtf, doc);
    benchmark::DoNotOptimize(doc.characterCount());
}

void BM_ReadRtfWithManyFonts(benchmark::State& state)
{
    for (auto _ : state)
        ReadIntoNewDocument(ManyFontsRtf());
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

constexpr int kColorPairs = 16000;

// kColorPairs runs, run i in colour i on highlight 0xFFFFFF - i: about 1 MB.
const QByteArray& ColorPairsRtf()
{
    static const QByteArray rtf = [] {
        QByteArray colors
            = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n{\\colortbl ;";
        QByteArray body;
        const auto color = [](int rgb) {
            return "\\red" + QByteArray::number((rgb >> 16) & 0xFF) + "\\green" + QByteArray::number((rgb >> 8) & 0xFF)
                + "\\blue" + QByteArray::number(rgb & 0xFF) + ';';
        };
        for (int i = 1; i <= kColorPairs; ++i) {
            colors += color(i) + color(0xFFFFFF - i);
            body += "\\cf" + QByteArray::number(2 * i - 1) + "\\highlight" + QByteArray::number(2 * i) + " run "
                + (i % 10 == 0 ? "\\par\r\n" : "");
        }
        return colors + "}\r\n\\pard " + body + "\\par}";
    }();
    return rtf;
}

void BM_ReadRtfWithCollidingColourPairs(benchmark::State& state)
{
    for (auto _ : state)
        ReadIntoNewDocument(ColorPairsRtf());
}
BENCHMARK(BM_ReadRtfWithCollidingColourPairs)->Unit(benchmark::kMillisecond)->Iterations(3);

const int registered = RegisterTargetCheck([] {
    const double read = BestMilliseconds(3, [] { ReadIntoNewDocument(ManyFontsRtf()); });
    PrintFigure("Reading RTF with 25,000 font entries", read, 500, "ms");
    QTextDocument doc;
    ReadRtf(ManyFontsRtf(), doc);
    const double write = BestMilliseconds(3, [&doc] { WriteRtf(doc); });
    PrintFigure("Writing it back as RTF", write, 500, "ms");
    const double colors = BestMilliseconds(3, [] { ReadIntoNewDocument(ColorPairsRtf()); });
    PrintFigure("Reading 1 MB of RTF in 16,000 colour pairs of one sum", colors, 500, "ms");
});

} // namespace
