#pragma once

#include <cstdint>
#include <exception>

// Helpers shared by the SRT jobs (not part of the public interface).
namespace srtjob
{

// Most cues a text of nLength units can hold: each needs its 30-unit time line.
inline int64_t CueCountBound(int64_t nLength)
{
    return nLength / 30 + 1;
}

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
