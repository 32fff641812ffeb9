// The extraction job, and extraction followed by merge onto the same SRT.

#include "fuzz/FuzzSupport.h"
#include "text/Unicode.h"

using namespace tavrel;

namespace
{

// Every line of the cue text shows something after the merge's clean-up.
bool HasVisibleLines(std::u16string_view text)
{
    if (text.empty())
        return false;
    size_t nStart = 0;
    while (nStart <= text.size())
    {
        size_t nEnd = text.find(u'\r', nStart);
        if (nEnd == std::u16string_view::npos)
            nEnd = text.size();
        bool bVisible = false;
        for (size_t i = nStart; i < nEnd && !bVisible; ++i)
            bVisible = !IsWhiteSpace(text[i]) && text[i] != u'\u00A0';
        if (!bVisible)
            return false;
        nStart = nEnd + 1;
    }
    return true;
}

// Walks an extracted text: each cue's text (no empty line inside, no CR at
// its ends, possibly empty) followed by four CRs.
size_t CountExtractedCues(std::u16string_view text)
{
    size_t nCues = 0;
    size_t p = 0;
    while (p < text.size())
    {
        fuzz::Check(text[p] != u'\r' || text.substr(p, 4) == u"\r\r\r\r", "an extracted cue starts with its text");
        const size_t nEnd = text.find(u"\r\r", p);
        fuzz::Check(nEnd != std::u16string_view::npos && text.substr(nEnd, 4) == u"\r\r\r\r",
                    "four CRs end every extracted cue");
        p = nEnd + 4;
        ++nCues;
    }
    return nCues;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    dir.Clear();
    const std::filesystem::path input = dir / "in.srt";
    const std::filesystem::path extracted = dir / "in.txt";
    const std::filesystem::path merged = dir / "merged.srt";
    fuzz::WriteFile(input, pData, nSize);

    CTextBuffer buffer;
    const bool bLoads = fuzz::LoadSrt(buffer, input);
    const auto vecCues = bLoads ? fuzz::ScanCues(buffer.View()) : std::vector<fuzz::CScannedCue>();

    const bool bWritten = fuzz::ExtractFile(input, extracted);
    fuzz::Check(bWritten == !vecCues.empty(), "extraction succeeds exactly when the input has a cue");
    fuzz::Check(bWritten == fuzz::Exists(extracted), "an output file exactly on success");
    if (!bWritten)
        return 0;
    fuzz::CheckSavedText(fuzz::ReadFile(extracted));
    fuzz::Check(CountExtractedCues(fuzz::LoadText(extracted)) == vecCues.size(), "one text per cue");

    for (const auto& cue : vecCues)
    {
        if (!HasVisibleLines(cue.m_strText))
            return 0;
    }
    // Read in the layout merge writes, not by the cue scan: a paragraph may
    // hold a number line and a time line that the scan would take for a cue.
    fuzz::Check(fuzz::MergeFiles(input, extracted, merged), "the extracted text merges back");
    const std::u16string mergedText = fuzz::LoadText(merged);
    const auto vecMerged = fuzz::ParseWrittenSrt(mergedText, fuzz::IsStrictTimeLine);
    fuzz::Check(vecMerged.size() == vecCues.size(), "merge gives back one cue per cue");
    for (size_t i = 0; i < vecCues.size(); ++i)
        fuzz::Check(vecMerged[i].m_timeLine == vecCues[i].m_strTimeLine, "merge keeps every time line");
    return 0;
}
