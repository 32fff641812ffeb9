// Load + Save of a large UTF-8 SRT, and the SRT to SAMI writer on it.

#include <benchmark/benchmark.h>

#include "BenchUtil.h"
#include "run/Job.h"
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
        if (buffer.Load(input.m_path) == 0 || !buffer.Save(output))
            state.SkipWithError("load or save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.m_nBytes));
}
BENCHMARK(BM_LoadSaveSrt)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteSami(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("srt", kInputBytes);
    const auto path = benchinput::ScratchPath("movie.srt");
    std::filesystem::copy_file(input.m_path, path, std::filesystem::copy_options::overwrite_existing);
    for (auto _ : state)
    {
        if (!RunJob({.m_nMode = Mode::Convert, .m_input = path}).IsSuccess())
            state.SkipWithError("WriteSami failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.m_nBytes));
}
BENCHMARK(BM_WriteSami)->Unit(benchmark::kMillisecond)->MinTime(2.0);
}  // namespace

BENCHMARK_MAIN();
