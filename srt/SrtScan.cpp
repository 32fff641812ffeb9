#include "srt/SrtProcessor.h"

#include <algorithm>
#include <iterator>

#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// 'd' marks a digit position; every other unit must match itself.
constexpr char16_t kTimeLinePattern[] = u"dd:dd:dd,ddd --> dd:dd:dd,ddd\r";
constexpr int32_t kTimeLineWithCr = CSrtProcessor::kTimeLineLength + 1;

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

int32_t Digits(const char16_t* p, int nCount)
{
    int32_t n = 0;
    for (int i = 0; i < nCount; ++i)
        n = n * 10 + (p[i] - u'0');
    return n;
}

int32_t ParseTime(const char16_t* p)
{
    return Digits(p, 2) * 3600000 + Digits(p + 3, 2) * 60000 + Digits(p + 6, 2) * 1000 + Digits(p + 9, 3);
}

// Writes nValue with at least nWidth digits backwards, ending at pEnd;
// returns where it starts.
char16_t* FormatNumber(char16_t* pEnd, uint64_t nValue, int nWidth)
{
    char16_t* p = pEnd;
    do
    {
        *--p = static_cast<char16_t>(u'0' + nValue % 10);
        nValue /= 10;
        --nWidth;
    } while (nValue != 0 || nWidth > 0);
    return p;
}

// hh:mm:ss,mmm backwards, ending at pEnd, the hours in at least two digits;
// returns where it starts.
char16_t* FormatTime(char16_t* pEnd, uint64_t nTime)
{
    char16_t* p = FormatNumber(pEnd, nTime % 1000, 3);
    *--p = u',';
    p = FormatNumber(p, nTime / 1000 % 60, 2);
    *--p = u':';
    p = FormatNumber(p, nTime / 60000 % 60, 2);
    *--p = u':';
    return FormatNumber(p, nTime / 3600000, 2);
}

// hh:mm:ss,mmm; negative values as zero, 100 hours and more as the largest time.
void PutTime(char16_t* p, int32_t t)
{
    constexpr int32_t kLargest = 100 * 3600000 - 1;  // 99:59:59,999
    FormatTime(p + 12, static_cast<uint64_t>(std::clamp(t, 0, kLargest)));
}
}  // namespace

void CSrtProcessor::AppendTime(std::u16string& out, uint64_t nTime)
{
    char16_t buffer[32];
    char16_t* const pEnd = buffer + std::size(buffer);
    const char16_t* p = FormatTime(pEnd, nTime);
    out.append(p, static_cast<size_t>(pEnd - p));
}

bool CSrtProcessor::IsTimeLine(const char16_t* p) const
{
    for (int i = 0; i < kTimeLineWithCr; ++i)
    {
        const char16_t want = kTimeLinePattern[i];
        if (want == u'd' ? !IsAsciiDigit(p[i]) : p[i] != want)
            return false;
    }
    return true;
}

int32_t CSrtProcessor::FindTimeLine(const char16_t* pText, int32_t nLength, int32_t nStart) const
{
    if (nStart < 0)
        nStart = 0;
    const int64_t nLast = static_cast<int64_t>(nLength) - kTimeLineWithCr;
    for (int64_t i = nStart; i <= nLast; ++i)
    {
        // Cheap first test: the arrow's hyphen sits at a fixed place.
        if (pText[i + 13] == u'-' && IsTimeLine(pText + i))
            return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t CSrtProcessor::FindBlankLine(const char16_t* pText, int32_t nLength, int32_t nStart) const
{
    if (nStart < 0)
        nStart = 0;
    for (int64_t i = nStart; i + 1 < nLength; ++i)
    {
        if (pText[i] == kCr && pText[i + 1] == kCr)
            return static_cast<int32_t>(i);
    }
    return -1;
}

bool CSrtProcessor::ParseTimeLine(const char16_t* p, int32_t& nStart, int32_t& nEnd) const
{
    if (!IsTimeLine(p))
        return false;
    nStart = ParseTime(p);
    nEnd = ParseTime(p + 17);
    return true;
}

void CSrtProcessor::FormatTimeLine(char16_t* pBuffer, int32_t nStart, int32_t nEnd) const
{
    PutTime(pBuffer, nStart);
    for (int i = 12; i < 17; ++i)
        pBuffer[i] = kTimeLinePattern[i];
    PutTime(pBuffer + 17, nEnd);
    pBuffer[kTimeLineLength] = 0;
}

namespace
{
// A line at nAt that holds a cue number and nothing else, directly followed
// by a line that starts with a time line: the cue before has no text.
bool IsNumberBeforeTimeLine(const CSrtProcessor& srt, const char16_t* pText, int32_t nLength, int32_t nAt)
{
    int64_t i = nAt;
    while (i < nLength && IsBlank(pText[i]))
        ++i;
    const int64_t nDigits = i;
    while (i < nLength && IsAsciiDigit(pText[i]))
        ++i;
    if (i == nDigits)
        return false;
    while (i < nLength && IsBlank(pText[i]))
        ++i;
    if (i >= nLength || pText[i] != kCr)
        return false;
    return i + 1 + kTimeLineWithCr <= nLength && srt.IsTimeLine(pText + i + 1);
}

bool StartsWithTimeLine(const CSrtProcessor& srt, const char16_t* pText, int32_t nLength, int32_t nAt)
{
    return static_cast<int64_t>(nAt) + kTimeLineWithCr <= nLength && srt.IsTimeLine(pText + nAt);
}

// Past the lines at nAt that hold only blanks: a cue whose text is nothing
// but such lines is as empty as one without text, and must not take the next
// cue's number and time line as its text.
int32_t SkipBlankLines(const char16_t* pText, int32_t nLength, int32_t nAt)
{
    int32_t i = nAt;
    while (i < nLength)
    {
        int32_t j = i;
        while (j < nLength && IsBlank(pText[j]))
            ++j;
        if (j >= nLength || pText[j] != kCr)
            break;
        i = j + 1;
    }
    return i;
}

// The cue whose time line is at p: its text, and where the scan goes on.
void ReadCue(const CSrtProcessor& srt, const char16_t* pText, int32_t nLength, int32_t p, CSrtCue& cue)
{
    int32_t q = p + kTimeLineWithCr;
    while (q < nLength && pText[q] == kCr)
        ++q;
    cue.m_nTimeLine = p;
    cue.m_nTextBegin = q;
    const int32_t r = SkipBlankLines(pText, nLength, q);
    if (StartsWithTimeLine(srt, pText, nLength, r) || IsNumberBeforeTimeLine(srt, pText, nLength, r))
    {
        cue.m_nTextEnd = q;
        cue.m_nResume = r;
        return;
    }
    const int32_t b = srt.FindBlankLine(pText, nLength, q);
    cue.m_nTextEnd = b < 0 ? nLength : b;
    cue.m_nResume = b < 0 ? -1 : b + 2;
}
}  // namespace

bool CSrtProcessor::FirstCue(const char16_t* pText, int32_t nLength, CSrtCue& cue) const
{
    const int32_t p = FindTimeLine(pText, nLength, 0);
    if (p < 0)
        return false;
    ReadCue(*this, pText, nLength, p, cue);
    return true;
}

bool CSrtProcessor::NextCue(const char16_t* pText, int32_t nLength, CSrtCue& cue) const
{
    if (cue.m_nResume < 0)
        return false;
    const int32_t p = FindTimeLine(pText, nLength, cue.m_nResume);
    if (p < 0)
        return false;
    ReadCue(*this, pText, nLength, p, cue);
    return true;
}

void CSrtProcessor::AppendCue(std::u16string& out, int64_t k, std::u16string_view timeLine, std::u16string_view text)
{
    AppendCueHead(out, k, timeLine);
    out.append(text);
    AppendCueEnd(out);
}

void CSrtProcessor::AppendCueHead(std::u16string& out, int64_t k, std::u16string_view timeLine)
{
    AppendDecimal(out, k);
    out.push_back(kCr);
    out.append(timeLine);
    out.push_back(kCr);
}

void CSrtProcessor::AppendCueEnd(std::u16string& out)
{
    out.append(2, kCr);
}

}  // namespace tavrel
