#include <cstdint>
#include <string>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/TextSink.h"

namespace tavrel
{

namespace
{
constexpr double kLatestTime = 2147483647.0;

// t * factor + offset, rounded half up by truncation, held inside the range
// a time line can carry. The clamp happens in double, so NaN, infinities
// and huge values never reach the integer conversion.
int32_t Retime(int32_t nTime, const CTimeMap& timeMap)
{
    const double dValue = static_cast<double>(nTime) * timeMap.m_dFactor + timeMap.m_dOffset + 0.5;
    if (!(dValue > 0.0))
        return 0;
    if (dValue >= kLatestTime)
        return INT32_MAX;
    return static_cast<int32_t>(dValue);
}
}  // namespace

CFailure CSrtProcessor::CorrectSrt(const CTextBuffer& source, const CTimeMap& timeMap, COcrOptions options,
                                   CTextSink& out, CSrtJobStats* pStats) const
{
    const char16_t* pText = source.Data();
    const int32_t nLength = source.Length();
    int64_t k = 0;
    std::u16string scratch;
    CSrtCue cue;
    for (bool bCue = FirstCue(pText, nLength, cue); bCue; bCue = NextCue(pText, nLength, cue))
    {
        int32_t nStart = 0;
        int32_t nEnd = 0;
        CueTimes(pText, cue, nStart, nEnd);
        char16_t timeLine[kTimeLineLength + 1];
        FormatTimeLine(timeLine, Retime(nStart, timeMap), Retime(nEnd, timeMap));

        const std::u16string_view cueText(pText + cue.m_nTextBegin,
                                          static_cast<size_t>(cue.m_nTextEnd - cue.m_nTextBegin));
        AppendCue(out.Pending(), ++k, std::u16string_view(timeLine, kTimeLineLength),
                  FixedOcrText(cueText, options, scratch));
        out.Flush();
    }
    if (pStats)
        pStats->m_nCuesWritten = k;
    return k == 0 ? MakeFailure(FailureKind::NoTimeLine) : CFailure{};
}

}  // namespace tavrel
