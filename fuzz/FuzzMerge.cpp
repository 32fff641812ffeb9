// The merge job. The input is an SRT file and a text file joined by the
// marker below (no marker: the whole input is both).

#include "fuzz/FuzzSupport.h"

using namespace tavrel;

namespace
{

constexpr std::string_view kMarker = "@@TEXT@@";

// Groups of non-empty lines in a cleaned text.
int64_t CountParagraphs(std::u16string_view cleaned)
{
    int64_t nParagraphs = 0;
    bool bInParagraph = false;
    size_t nStart = 0;
    while (nStart < cleaned.size())
    {
        size_t nEnd = cleaned.find(u'\r', nStart);
        if (nEnd == std::u16string_view::npos)
            nEnd = cleaned.size();
        const bool bEmpty = nEnd == nStart;
        if (!bEmpty && !bInParagraph)
            ++nParagraphs;
        bInParagraph = !bEmpty;
        nStart = nEnd + 1;
    }
    return nParagraphs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    dir.Clear();
    const std::filesystem::path srtPath = dir / "in.srt";
    const std::filesystem::path textPath = dir / "in.txt";
    const std::filesystem::path output = dir / "merged.srt";
    const std::string_view bytes(reinterpret_cast<const char*>(pData), nSize);
    const size_t nMarker = bytes.find(kMarker);
    if (nMarker == std::string_view::npos)
    {
        fuzz::WriteFile(srtPath, bytes);
        fuzz::WriteFile(textPath, bytes);
    }
    else
    {
        fuzz::WriteFile(srtPath, bytes.substr(0, nMarker));
        fuzz::WriteFile(textPath, bytes.substr(nMarker + kMarker.size()));
    }

    CTextBuffer srtText;
    CTextBuffer sourceText;
    const bool bLoads = fuzz::LoadSrt(srtText, srtPath) && sourceText.Load(textPath);
    const int64_t nTimeLines = bLoads ? static_cast<int64_t>(fuzz::ScanCues(srtText.View()).size()) : 0;

    CSrtJobStats stats;
    const bool bWritten = fuzz::MergeFiles(srtPath, textPath, output, &stats);
    fuzz::Check(bWritten == (nTimeLines > 0), "merge succeeds exactly when both load and the SRT has a cue");
    fuzz::Check(bWritten == fuzz::Exists(output), "an output file exactly on success");
    if (!bWritten)
        return 0;

    fuzz::CheckSavedText(fuzz::ReadFile(output));
    const std::u16string text = fuzz::LoadText(output);
    const auto vecCues = fuzz::ParseWrittenSrt(text, fuzz::IsStrictTimeLine);
    const int64_t nParagraphs = CountParagraphs(CleanText(sourceText.View()));
    const int64_t nWritten = static_cast<int64_t>(vecCues.size());
    fuzz::Check(nWritten == std::min(nTimeLines, nParagraphs), "cues written: the fewer of time lines and paragraphs");
    fuzz::Check(stats.m_nCuesWritten == nWritten, "the count of cues written");
    fuzz::Check(stats.m_nCuesWithoutParagraph == nTimeLines - nWritten, "the count of cues without a paragraph");
    fuzz::Check(stats.m_nParagraphsLeft == nParagraphs - nWritten, "the count of paragraphs left over");
    for (const auto& cue : vecCues)
    {
        fuzz::Check(!cue.m_text.empty() && cue.m_text.front() != u'\r' && cue.m_text.back() != u'\r',
                    "a paragraph has no empty line at its ends");
    }
    return 0;
}
