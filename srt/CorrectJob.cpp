#include <cstdint>
#include <string>

#include "srt/JobSupport.h"
#include "srt/SrtProcessor.h"
#include "text/LargeBuffer.h"
#include "text/TextBuffer.h"

namespace tavrel
{

namespace
{
constexpr double kLatestTime = 2147483647.0;

// t * factor + offset, rounded half up by truncation, held inside the range
// a time line can carry. The clamp happens in double, so NaN, infinities
// and huge values never reach the integer conversion.
int32_t Retime(int32_t nTime, double dFactor, double dOffset)
{
    const double dValue = static_cast<double>(nTime) * dFactor + dOffset + 0.5;
    if (!(dValue > 0.0))
        return 0;
    if (dValue >= kLatestTime)
        return INT32_MAX;
    return static_cast<int32_t>(dValue);
}
}  // namespace

bool CSrtProcessor::CorrectSrt(const std::filesystem::path& input, const std::filesystem::path& output, double dFactor,
                               double dOffset, int bReplace85, int bFixQuotes, int bFixLetterL, int bRemoveDigitSpaces,
                               int nCodePage, CSrtJobStats* pStats) const
{
    return srtjob::RunGuarded([&] {
        std::u16string out;
        int64_t k = 0;
        int64_t nTolerant = 0;
        {
            CTextBuffer source;
            if (!source.Load(input, nCodePage))
                return false;
            nTolerant = NormaliseTimeLines(source);
            const char16_t* pText = source.View().data();
            const int32_t nLength = source.Length();

            const srtjob::CCueTally tally = srtjob::TallyCues(*this, pText, nLength);
            ReserveLarge(out, static_cast<size_t>(tally.m_nTextUnits + srtjob::CueLayoutBound(tally.m_nCues)));
            std::u16string text;
            CSrtCue cue;
            for (bool bCue = FirstCue(pText, nLength, cue); bCue; bCue = NextCue(pText, nLength, cue))
            {
                int32_t nStart = 0;
                int32_t nEnd = 0;
                ParseTimeLine(pText + cue.m_nTimeLine, nStart, nEnd);
                char16_t timeLine[kTimeLineLength + 1];
                FormatTimeLine(timeLine, Retime(nStart, dFactor, dOffset), Retime(nEnd, dFactor, dOffset));

                text.assign(pText + cue.m_nTextBegin, static_cast<size_t>(cue.m_nTextEnd - cue.m_nTextBegin));
                FixOcrLine(text, bReplace85, bFixQuotes, bFixLetterL, bRemoveDigitSpaces);
                AppendCue(out, ++k, std::u16string_view(timeLine, kTimeLineLength), text);
            }
        }
        if (pStats)
        {
            pStats->m_nCuesWritten = k;
            pStats->m_nTolerantTimeLines = nTolerant;
        }
        if (k == 0)
            return false;
        return CTextBuffer::SaveText(output, out);
    });
}

}  // namespace tavrel
