// Throughput of the LZH coder and the CRC-32 over diary-like text, in bytes
// of unpacked data per second.
#include "bench_data.h"
#include "engine/crc32.h"
#include "engine/lzh.h"

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kTextSize = 4 << 20;

const QByteArray& Text()
{
    static const QByteArray text = MakeRtfLikeText(kTextSize, 1);
    return text;
}

// Argument: the coder's threads, 1 being the single-threaded coder and 0 the
// count a save uses.
void BM_LzhPack(benchmark::State& state)
{
    const QByteArray& text = Text();
    qsizetype packed = 0;
    TLZH coder;
    for (auto _ : state) {
        QByteArray code;
        coder.LZHPack(text.constData(), text.size(), code, int(state.range(0)));
        packed = code.size();
        benchmark::DoNotOptimize(code.constData());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
    state.counters["ratio"] = double(packed) / double(text.size());
}
BENCHMARK(BM_LzhPack)->Unit(benchmark::kMillisecond)->Arg(1)->Arg(2)->Arg(3)->Arg(0)->UseRealTime();

void BM_LzhUnpack(benchmark::State& state)
{
    const QByteArray& text = Text();
    const QByteArray blob = LZHPackBlob(text);
    for (auto _ : state) {
        const QByteArray data = LZHUnpackBlob(blob);
        if (data.size() != text.size())
            state.SkipWithError("unpacked size differs");
        benchmark::DoNotOptimize(data.constData());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_LzhUnpack)->Unit(benchmark::kMillisecond);

void BM_Crc32(benchmark::State& state)
{
    const QByteArray& text = Text();
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc32(text.constData(), text.size()));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond);

} // namespace
