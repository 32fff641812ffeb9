#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "srt/SrtProcessor.h"

namespace tavrel
{

// Helpers shared by the SRT jobs (not part of the public interface).
namespace srtjob
{

inline int64_t DecimalDigits(int64_t n)
{
    int64_t nDigits = 1;
    for (; n >= 10; n /= 10)
        ++nDigits;
    return nDigits;
}

// Room for the number line, the time line with its CR and the closing CR CR
// of nCues cues, beyond their texts.
inline int64_t CueLayoutBound(int64_t nCues)
{
    return nCues * (DecimalDigits(nCues) + 1 + 30 + 2);
}

// The cues of an SRT text and the units of their texts, so that an output
// can be sized before it is built: a cue's text never grows.
struct CCueTally
{
    int64_t m_nCues = 0;
    int64_t m_nTextUnits = 0;
};

inline CCueTally TallyCues(const CSrtProcessor& srt, const char16_t* pText, int32_t nLength)
{
    CCueTally tally;
    CSrtCue cue;
    for (bool bCue = srt.FirstCue(pText, nLength, cue); bCue; bCue = srt.NextCue(pText, nLength, cue))
    {
        ++tally.m_nCues;
        tally.m_nTextUnits += cue.m_nTextEnd - cue.m_nTextBegin;
    }
    return tally;
}

// Runs a job body; running out of memory or a file system error is the
// job's failure result, never an escaping exception.
template <class TBody>
bool RunGuarded(TBody body)
{
    try
    {
        return body();
    }
    catch (const std::exception&)
    {
        return false;
    }
}

}  // namespace srtjob

}  // namespace tavrel
