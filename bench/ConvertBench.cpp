// The conversion jobs and the format test on generated 5 MB and 50 MB inputs.

#include <benchmark/benchmark.h>

#include "BenchUtil.h"
#include "convert/AssConverter.h"
#include "convert/FormatDetect.h"
#include "convert/SamiReader.h"
#include "run/Job.h"
#include "text/TextBuffer.h"
#include "text/TextFileStream.h"

using namespace tavrel;

namespace
{
size_t InputBytes(const benchmark::State& state)
{
    return static_cast<size_t>(state.range(0)) * 1000 * 1000;
}

void SetProcessed(benchmark::State& state, size_t nBytes)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(nBytes));
}

void BM_ConvertSamiToSrt(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("sami", InputBytes(state));
    const auto path = benchinput::ScratchPath("movie.smi");
    std::filesystem::copy_file(input.m_path, path, std::filesystem::copy_options::overwrite_existing);
    for (auto _ : state)
    {
        if (RunJob({.m_nMode = Mode::Convert, .m_input = path}).m_nCount != 2)
            state.SkipWithError("ConvertSamiToSrt did not write two files");
    }
    SetProcessed(state, input.m_nBytes);
}
BENCHMARK(BM_ConvertSamiToSrt)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ConvertAssToSrt(benchmark::State& state)
{
    const auto& input = benchinput::CachedInput("ass", InputBytes(state));
    const auto output = benchinput::ScratchPath("show.srt");
    for (auto _ : state)
    {
        CTextBuffer source;
        CTextFileStream out(output);
        if (source.Load(input.m_path) == 0 || CAssConverter().ConvertAssToSrt(source, out).IsFailure() || !out.Commit())
            state.SkipWithError("ConvertAssToSrt failed");
    }
    SetProcessed(state, input.m_nBytes);
}
BENCHMARK(BM_ConvertAssToSrt)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void DetectBench(benchmark::State& state, const char* pKind, SubtitleFormat nExpected)
{
    const auto& input = benchinput::CachedInput(pKind, InputBytes(state));
    for (auto _ : state)
    {
        CTextBuffer text;
        text.Load(input.m_path);
        if (DetectFormat(text) != nExpected)
            state.SkipWithError("wrong format");
    }
    SetProcessed(state, input.m_nBytes);
}

void BM_DetectSrt(benchmark::State& state)
{
    DetectBench(state, "srt", SubtitleFormat::Srt);
}
void BM_DetectAss(benchmark::State& state)
{
    DetectBench(state, "ass", SubtitleFormat::Ass);
}
void BM_DetectSami(benchmark::State& state)
{
    DetectBench(state, "sami", SubtitleFormat::Sami);
}
BENCHMARK(BM_DetectSrt)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DetectAss)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DetectSami)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);
}  // namespace

BENCHMARK_MAIN();
