// The three SRT jobs on large generated inputs, at two sizes to show that
// the time grows linearly with the input.

#include <benchmark/benchmark.h>

#include "BenchUtil.h"
#include "srt/SrtProcessor.h"

using namespace tavrel;

namespace
{
size_t InputBytes(const benchmark::State& state)
{
    return static_cast<size_t>(state.range(0)) * 1000 * 1000;
}

void BM_CorrectAllOptions(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("srt", InputBytes(state));
    const auto output = benchinput::ScratchPath("corrected.srt");
    const CSrtProcessor processor;
    for (auto _ : state)
    {
        if (!processor.CorrectSrt(input.m_path, output, 1.001, -1500.0, 1, 1, 1, 1, 0))
            state.SkipWithError("CorrectSrt failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.m_nBytes));
}
BENCHMARK(BM_CorrectAllOptions)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Extract(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("srt", InputBytes(state));
    const auto output = benchinput::ScratchPath("extracted.txt");
    const CSrtProcessor processor;
    for (auto _ : state)
    {
        if (!processor.ExtractText(input.m_path, output))
            state.SkipWithError("ExtractText failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.m_nBytes));
}
BENCHMARK(BM_Extract)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Bytes processed are those of both inputs.
void BM_Merge(benchmark::State& state)
{
    const auto& srt = benchinput::CachedInput("srt", InputBytes(state));
    const auto& text = benchinput::CachedInput("text", InputBytes(state));
    const auto output = benchinput::ScratchPath("merged.srt");
    const CSrtProcessor processor;
    for (auto _ : state)
    {
        if (!processor.MergeText(srt.m_path, text.m_path, output))
            state.SkipWithError("MergeText failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(srt.m_nBytes + text.m_nBytes));
}
BENCHMARK(BM_Merge)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}  // namespace

BENCHMARK_MAIN();
