// Load + Save of a large UTF-8 SRT, and the SRT to SAMI writer on it.

#include <benchmark/benchmark.h>

#include "BenchUtil.h"
#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"

using namespace tavrel;

namespace
{
constexpr size_t kInputBytes = 50u * 1000 * 1000;

void BM_LoadSaveSrt(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("srt", kInputBytes);
    const auto output = benchinput::ScratchPath("out.srt");
    for (auto _ : state)
    {
        CTextBuffer buffer;
        if (buffer.Load(input.m_path, 0) == 0 || !buffer.Save(output))
            state.SkipWithError("load or save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.m_nBytes));
}
BENCHMARK(BM_LoadSaveSrt)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteSami(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("srt", kInputBytes);
    const auto sami = benchinput::ScratchPath("out.smi");
    const auto utf8Sami = benchinput::ScratchPath("out.UTF8.smi");
    for (auto _ : state)
    {
        if (!CSrtProcessor().WriteSami(input.m_path, sami, utf8Sami))
            state.SkipWithError("WriteSami failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.m_nBytes));
}
BENCHMARK(BM_WriteSami)->Unit(benchmark::kMillisecond)->MinTime(2.0);
}  // namespace

BENCHMARK_MAIN();
