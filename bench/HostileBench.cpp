// Hostile structure: inputs built to hit the slow paths of the scanners and
// translators (one endless line, tags that never close, endless runs of
// line ends, huge counts of tags and classes). Each case runs at two sizes,
// ten times apart: the time per byte must stay the same, and the peak memory
// (counter peak_x, in multiples of the input size) must stay small.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchUtil.h"
#include "convert/AssConverter.h"
#include "convert/FormatDetect.h"
#include "convert/SamiReader.h"
#include "run/Job.h"
#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace
{

constexpr size_t kMB = 1000 * 1000;

// The pattern repeated until the text holds at least nBytes more bytes;
// "%" in the pattern stands for a growing number.
void AppendRepeated(std::string& out, std::string_view pattern, size_t nBytes)
{
    const size_t nTarget = out.size() + nBytes;
    out.reserve(nTarget + pattern.size() + 16);
    for (size_t n = 0; out.size() < nTarget; ++n)
    {
        for (char c : pattern)
        {
            if (c == '%')
                out += std::to_string(n);
            else
                out += c;
        }
    }
}

std::string Repeated(std::string_view head, std::string_view pattern, size_t nBytes, std::string_view tail = "")
{
    std::string out(head);
    AppendRepeated(out, pattern, nBytes);
    out += tail;
    return out;
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Peak resident memory of this process, resettable (Linux).
long ReadStatusKb(const char* pszKey)
{
    std::ifstream in("/proc/self/status");
    std::string strLine;
    while (std::getline(in, strLine))
    {
        if (strLine.rfind(pszKey, 0) == 0)
            return std::stol(strLine.substr(std::string(pszKey).size()));
    }
    return 0;
}

void ResetPeakMemory()
{
    if (FILE* pFile = std::fopen("/proc/self/clear_refs", "w"))
    {
        std::fputs("5", pFile);
        std::fclose(pFile);
    }
}

constexpr const char* kTimeLine = "00:00:01,000 --> 00:00:02,000";
const std::string kCueHead = std::string("1\r\n") + kTimeLine + "\r\n";
const std::string kSamiHead = "<SAMI><BODY>\r\n<SYNC Start=1000><P Class=KRCC>";
const std::string kAssHead = "[Script Info]\r\n[V4+ Styles]\r\n[Events]\r\nFormat: Layer, Start, End, Text\r\n";
const std::string kDialogue = "Dialogue: 0,0:00:01.00,0:00:02.00,";

struct CHostileCase
{
    const char* m_pszName;
    size_t m_nSmall;  // bytes of the small run; the large one is ten times that
    // Writes the inputs for about nBytes into the folder.
    std::function<void(const fs::path& dir, size_t nBytes)> m_fnMake;
    std::function<void(const fs::path& dir)> m_fnRun;
};

void Correct(const fs::path& dir)
{
    RunJob({.m_nMode = Mode::Correct,
            .m_input = dir / "in",
            .m_output = dir / "out",
            .m_shift = {.m_nOffset = -500},
            .m_ocr = COcrOptions{0xF}});
}

void Extract(const fs::path& dir)
{
    RunJob({.m_nMode = Mode::Extract, .m_input = dir / "in", .m_output = dir / "out"});
}

void Merge(const fs::path& dir)
{
    RunJob({.m_nMode = Mode::Merge, .m_input = dir / "timing", .m_text = dir / "in", .m_output = dir / "out"});
}

void WriteSami(const fs::path& dir)
{
    RunJob({.m_nMode = Mode::Convert, .m_input = dir / "in"});
}

void Detect(const fs::path& dir)
{
    CTextBuffer text;
    text.Load(dir / "in");
    benchmark::DoNotOptimize(DetectFormat(text));
}

void SamiToSrt(const fs::path& dir)
{
    benchmark::DoNotOptimize(RunJob({.m_nMode = Mode::Convert, .m_input = dir / "in.smi"}).m_nCount);
}

void AssToSrt(const fs::path& dir)
{
    RunJob({.m_nMode = Mode::Convert, .m_input = dir / "in"});
}

// Makers: a single input file "in" (the SAMI reader's "in.smi").
std::function<void(const fs::path&, size_t)> Input(std::string head, std::string pattern, std::string tail = "")
{
    return [=](const fs::path& dir, size_t nBytes) { WriteFile(dir / "in", Repeated(head, pattern, nBytes, tail)); };
}

std::function<void(const fs::path&, size_t)> SamiInput(std::string head, std::string pattern, std::string tail = "")
{
    return
        [=](const fs::path& dir, size_t nBytes) { WriteFile(dir / "in.smi", Repeated(head, pattern, nBytes, tail)); };
}

// One OCR-rich line: every repair has work at every few characters.
const std::string kOcrLine = "''lt's'' 1 2 3 .5 War ll war l lf \x85 l'm -ln ";

std::vector<CHostileCase> Cases()
{
    std::vector<CHostileCase> vecCases = {
        // One line without a line end.
        {"LongLine/Detect", 5 * kMB, Input("", "00:00:01,000 --> 00:00:02,000 <sami <sync [Events] ", ""), Detect},
        {"LongLine/CorrectNoTimeLine", 5 * kMB, Input("", "00:00:01,000 --> 00:00:02,000 x"), Correct},
        {"LongLine/CorrectOneCue", 5 * kMB, Input(kCueHead, kOcrLine), Correct},
        {"LongLine/ExtractOneCue", 5 * kMB, Input(kCueHead, kOcrLine), Extract},
        {"LongLine/WriteSamiOneCue", 5 * kMB, Input(kCueHead, kOcrLine), WriteSami},
        {"LongLine/MergeOneParagraph", 5 * kMB,
         [](const fs::path& dir, size_t nBytes) {
             WriteFile(dir / "timing", kCueHead + "x\r\n");
             WriteFile(dir / "in", Repeated("", " \t\xC2\xA0word", nBytes));
         },
         Merge},
        {"LongLine/SamiCaption", 5 * kMB, SamiInput(kSamiHead, "a&nbsp;<b>b</b> <font color=red>c</font> "), SamiToSrt},
        {"LongLine/AssDialogue", 5 * kMB, Input(kAssHead + kDialogue, "{\\b1}x{\\i0}\\N{\\c&H00FFFF&}y "), AssToSrt},
        // ASS lines of 1 MB, each with 100,000 override blocks.
        {"AssMegabyteLines/AssToSrt", 5 * kMB,
         [](const fs::path& dir, size_t nBytes) {
             const std::string strLine = Repeated(kDialogue, "{\\b1}abcde", 1000 * 1000, "\r\n");
             WriteFile(dir / "in", Repeated(kAssHead, strLine, nBytes));
         },
         AssToSrt},
        // A SAMI document of SYNC tags only, no P tag: 1 million at the large size.
        {"SyncWithoutP/SamiToSrt", 1700 * 1000, SamiInput("<SAMI><BODY>", "<SYNC Start=%>"), SamiToSrt},
        {"SyncWithoutP/Detect", 1700 * 1000, Input("<SAMI><BODY>", "<SYNC Start=%>"), Detect},
        // A new class in every caption: 100,000 classes (and files) at the large size.
        {"ManyClasses/SamiToSrt", 350 * 1000, SamiInput("<SAMI><BODY>", "<SYNC Start=%><P Class=C%>x\r\n"), SamiToSrt},
        // Endless runs of line ends.
        {"LineEnds/CorrectAfterTimeLine", 5 * kMB, Input(kCueHead, "\r\n", "text\r\n"), Correct},
        {"LineEnds/ExtractEmptyCues", 5 * kMB, Input("", kCueHead + "\r\n\r\n"), Extract},
        {"LineEnds/MergeBlankText", 5 * kMB,
         [](const fs::path& dir, size_t nBytes) {
             WriteFile(dir / "timing", kCueHead + "x\r\n");
             WriteFile(dir / "in", Repeated("", "\r\r\n \r\n", nBytes, "last"));
         },
         Merge},
        {"LineEnds/MergeTinyParagraphs", 5 * kMB,
         [](const fs::path& dir, size_t nBytes) {
             WriteFile(dir / "timing", Repeated("", kCueHead + "x\r\n\r\n", nBytes));
             WriteFile(dir / "in", Repeated("", "p\r\n\r\n", nBytes / 8));
         },
         Merge},
        {"LineEnds/SamiBreaks", 5 * kMB, SamiInput(kSamiHead, "\r\n<br>\r\n \r\n"), SamiToSrt},
        {"LineEnds/AssBreaks", 5 * kMB, Input(kAssHead + kDialogue + "a", "\\N \\n{}", "b\r\n"), AssToSrt},
        {"LineEnds/Detect", 5 * kMB, Input("", "\r\r\n \t\r"), Detect},
        // Tags that never close, at every position.
        {"Unclosed/CorrectTags", 5 * kMB, Input(kCueHead, "<"), Correct},
        {"Unclosed/CorrectTagLines", 5 * kMB, Input(kCueHead, "<i\r\n"), Correct},
        {"Unclosed/SamiTags", 5 * kMB, SamiInput(kSamiHead, "<"), SamiToSrt},
        {"Unclosed/SamiNoBracket", 5 * kMB, SamiInput("<SAMI><BODY>", "<SYNC Start=1<P Class=A"), SamiToSrt},
        {"Unclosed/AssBraces", 5 * kMB, Input(kAssHead + kDialogue, "{", "\r\n"), AssToSrt},
        {"Unclosed/AssEmptyBlocks", 5 * kMB, Input(kAssHead + kDialogue, "{}a", "\r\n"), AssToSrt},
        {"Unclosed/Detect", 5 * kMB, Input("", "<sami<sync"), Detect},
        // Text the legacy code page cannot hold, and bytes it cannot read.
        {"Legacy/WriteSamiUnencodable", 1 * kMB, Input("\xEF\xBB\xBF" + kCueHead, "\xE0\xB8\x81"), WriteSami},
        {"Legacy/WriteSamiKorean", 1 * kMB, Input("\xEF\xBB\xBF" + kCueHead, "\xEA\xB0\x80 "), WriteSami},
        {"Legacy/ExtractInvalidBytes", 1 * kMB, Input(kCueHead, "\x80"), Extract},
        {"Legacy/ExtractCutPairs", 1 * kMB, Input(kCueHead, "\x81 "), Extract},
    };
    return vecCases;
}

void RunCase(benchmark::State& state, const CHostileCase& c, size_t nBytes)
{
    std::string strFolder = std::string(c.m_pszName) + "-" + std::to_string(nBytes);
    std::replace(strFolder.begin(), strFolder.end(), '/', '-');
    const fs::path dir = benchinput::ScratchPath(strFolder);
    fs::create_directories(dir);
    c.m_fnMake(dir, nBytes);
    uint64_t nInput = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        nInput += entry.file_size();

    malloc_trim(0);  // free heap pages would hide part of the job's peak
    const long nBaseKb = ReadStatusKb("VmRSS:");
    ResetPeakMemory();
    for (auto _ : state)
        c.m_fnRun(dir);
    const long nPeakKb = ReadStatusKb("VmHWM:") - nBaseKb;

    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * nInput));
    state.counters["input_MB"] = static_cast<double>(nInput) / kMB;
    state.counters["peak_MB"] = static_cast<double>(nPeakKb) * 1024 / kMB;
    state.counters["peak_x"] = static_cast<double>(nPeakKb) * 1024 / static_cast<double>(nInput);
    fs::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv)
{
    // Large blocks always come straight from the system and go back to it,
    // so each case's peak is its own.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    for (const CHostileCase& c : Cases())
    {
        for (size_t nScale : {size_t(1), size_t(10)})
        {
            const size_t nBytes = c.m_nSmall * nScale;
            const std::string strName = std::string(c.m_pszName) + "/" + std::to_string(nScale) + "x";
            benchmark::RegisterBenchmark(strName.c_str(),
                                         [c, nBytes](benchmark::State& state) { RunCase(state, c, nBytes); })
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
