#include "srt/SrtProcessor.h"

#include "text/Unicode.h"

namespace tavrel
{

namespace
{
constexpr char16_t kCr = u'\r';
// 'd' marks a digit position; every other unit must match itself.
constexpr char16_t kTimeLinePattern[] = u"dd:dd:dd,ddd --> dd:dd:dd,ddd\r";
constexpr int32_t kTimeLineWithCr = CSrtProcessor::kTimeLineLength + 1;

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

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

void PutDigits(char16_t* p, int32_t n, int nCount)
{
    for (int i = nCount - 1; i >= 0; --i)
    {
        p[i] = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    }
}

// hh:mm:ss,mmm; negative values as zero, 100 hours and more as the largest time.
void PutTime(char16_t* p, int32_t t)
{
    if (t < 0)
        t = 0;
    int32_t nMs = t % 1000;
    int32_t nSeconds = t / 1000;
    int32_t nMinutes = nSeconds / 60;
    int32_t nHours = nMinutes / 60;
    nSeconds %= 60;
    nMinutes %= 60;
    if (nHours > 99)
    {
        nHours = 99;
        nMinutes = 59;
        nSeconds = 59;
        nMs = 999;
    }
    PutDigits(p, nHours, 2);
    p[2] = u':';
    PutDigits(p + 3, nMinutes, 2);
    p[5] = u':';
    PutDigits(p + 6, nSeconds, 2);
    p[8] = u',';
    PutDigits(p + 9, nMs, 3);
}
}  // namespace

bool CSrtProcessor::IsTimeLine(const char16_t* p) const
{
    for (int i = 0; i < kTimeLineWithCr; ++i)
    {
        const char16_t want = kTimeLinePattern[i];
        if (want == u'd' ? !IsDigit(p[i]) : p[i] != want)
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
    while (i < nLength && IsDigit(pText[i]))
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
