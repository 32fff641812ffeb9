#include <cstdint>
#include <string>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/TextSink.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// A line of only white space inside a cue's text is left out: the merge
// would take it for the end of a paragraph and pair the rest wrongly.
void AppendWithoutBlankLines(std::u16string& out, std::u16string_view text)
{
    bool bFirst = true;
    for (size_t nLine = 0; nLine <= text.size();)
    {
        size_t nCr = text.find(kCr, nLine);
        if (nCr == std::u16string_view::npos)
            nCr = text.size();
        const std::u16string_view line = text.substr(nLine, nCr - nLine);
        if (line.empty() || !TrimWhiteSpace(line).empty())
        {
            if (!bFirst)
                out.push_back(kCr);
            out.append(line);
            bFirst = false;
        }
        nLine = nCr + 1;
    }
}
}  // namespace

CFailure CSrtProcessor::ExtractText(const CTextBuffer& source, CTextSink& out, CSrtJobStats* pStats) const
{
    const char16_t* pText = source.Data();
    const int32_t nLength = source.Length();
    int64_t nCues = 0;
    std::u16string scratch;
    CSrtCue cue;
    for (bool bCue = FirstCue(pText, nLength, cue); bCue; bCue = NextCue(pText, nLength, cue))
    {
        ++nCues;
        const std::u16string_view cueText(pText + cue.m_nTextBegin,
                                          static_cast<size_t>(cue.m_nTextEnd - cue.m_nTextBegin));
        AppendWithoutBlankLines(out.Pending(), FixedOcrText(cueText, COcrOptions{}, scratch));
        out.Pending().append(4, kCr);
        out.Flush();
    }
    if (pStats)
        pStats->m_nCuesWritten = nCues;
    return nCues == 0 ? MakeFailure(FailureKind::NoTimeLine) : CFailure{};
}

}  // namespace tavrel
