// The three SRT jobs on large generated inputs, at two sizes to show that
// the time grows linearly with the input.

#include <benchmark/benchmark.h>

#include "BenchUtil.h"
#include "run/Job.h"

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
    // t * 1.001 - 1500 as a two-point map.
    const CJobRequest request = {.m_nMode = Mode::Correct,
                                 .m_input = input.m_path,
                                 .m_output = output,
                                 .m_shift = {ShiftKind::Detailed, 0, 1000000, 999500, 2000000, 2000500},
                                 .m_ocr = COcrOptions{0xF}};
    for (auto _ : state)
    {
        if (!RunJob(request).IsSuccess())
            state.SkipWithError("CorrectSrt failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.m_nBytes));
}
BENCHMARK(BM_CorrectAllOptions)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Extract(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("srt", InputBytes(state));
    const auto output = benchinput::ScratchPath("extracted.txt");
    for (auto _ : state)
    {
        if (!RunJob({.m_nMode = Mode::Extract, .m_input = input.m_path, .m_output = output}).IsSuccess())
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
    for (auto _ : state)
    {
        if (!RunJob({.m_nMode = Mode::Merge, .m_input = srt.m_path, .m_text = text.m_path, .m_output = output})
                 .IsSuccess())
            state.SkipWithError("MergeText failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(srt.m_nBytes + text.m_nBytes));
}
BENCHMARK(BM_Merge)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}  // namespace

BENCHMARK_MAIN();
