#include <cstdint>
#include <string>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/TextSink.h"

namespace tavrel
{

CFailure CSrtProcessor::ExtractText(const CTextBuffer& source, CTextSink& out, CSrtJobStats* pStats) const
{
    const char16_t* pText = source.Data();
    const int32_t nLength = source.Length();
    int64_t nCues = 0;
    std::u16string text;
    CSrtCue cue;
    for (bool bCue = FirstCue(pText, nLength, cue); bCue; bCue = NextCue(pText, nLength, cue))
    {
        ++nCues;
        text.assign(pText + cue.m_nTextBegin, static_cast<size_t>(cue.m_nTextEnd - cue.m_nTextBegin));
        FixOcrLine(text, COcrOptions{});
        out.Pending() += text;
        out.Pending().append(4, u'\r');
        out.Flush();
    }
    if (pStats)
        pStats->m_nCuesWritten = nCues;
    return nCues == 0 ? MakeFailure(FailureKind::NoTimeLine) : CFailure{};
}

}  // namespace tavrel
