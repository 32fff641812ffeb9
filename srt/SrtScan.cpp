#include "srt/SrtProcessor.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#include "text/LargeBuffer.h"
#include "text/TextBuffer.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// 'd' marks a digit position; every other unit must match itself.
constexpr char16_t kTimeLinePattern[] = u"dd:dd:dd,ddd --> dd:dd:dd,ddd\r";
constexpr int32_t kTimeLineWithCr = CSrtProcessor::kTimeLineLength + 1;

// The pattern as a range per unit: p[i] - m_aLow[i] <= m_aWidth[i], unsigned.
struct CTimeLineRanges
{
    char16_t m_aLow[kTimeLineWithCr] = {};
    char16_t m_aWidth[kTimeLineWithCr] = {};
};

constexpr CTimeLineRanges MakeTimeLineRanges()
{
    CTimeLineRanges ranges;
    for (int i = 0; i < kTimeLineWithCr; ++i)
    {
        const bool bDigit = kTimeLinePattern[i] == u'd';
        ranges.m_aLow[i] = bDigit ? u'0' : kTimeLinePattern[i];
        ranges.m_aWidth[i] = bDigit ? 9 : 0;
    }
    return ranges;
}

constexpr CTimeLineRanges kTimeLineRanges = MakeTimeLineRanges();

// The pattern as 64-bit words of four units at unit offsets kWordAt (the
// last two overlap), for HasTimeLineAt: a unit matches when
// (u & m_nKeep) ^ m_nWant is zero and, at a digit, (u & 15) + 6 < 16.
constexpr int kWordAt[] = {0, 4, 8, 12, 16, 20, 24, 26};
constexpr int kWordCount = static_cast<int>(std::size(kWordAt));

struct CTimeLineWords
{
    uint64_t m_anKeep[kWordCount] = {};
    uint64_t m_anWant[kWordCount] = {};
    uint64_t m_anLowDigit[kWordCount] = {};
};

constexpr CTimeLineWords MakeTimeLineWords()
{
    CTimeLineWords words;
    for (int w = 0; w < kWordCount; ++w)
    {
        for (int k = 0; k < 4; ++k)
        {
            const char16_t want = kTimeLinePattern[kWordAt[w] + k];
            const bool bDigit = want == u'd';
            const int nShift = 16 * k;  // the unit at the lowest address is the lowest lane
            words.m_anKeep[w] |= uint64_t{bDigit ? 0xFFF0u : 0xFFFFu} << nShift;
            words.m_anWant[w] |= uint64_t{bDigit ? u'0' : want} << nShift;
            words.m_anLowDigit[w] |= uint64_t{bDigit ? 0x000Fu : 0u} << nShift;
        }
    }
    return words;
}

constexpr CTimeLineWords kTimeLineWords = MakeTimeLineWords();

// IsTimeLine for 30 readable units.
bool HasTimeLineAt(const char16_t* p)
{
    if (p[13] != u'-')
        return false;  // cheap first test: most places hold no arrow
    if constexpr (std::endian::native == std::endian::little)
    {
        constexpr uint64_t kSix = 0x0006000600060006u;
        constexpr uint64_t kSixteen = 0x0010001000100010u;
        uint64_t nOff = 0;
        for (int w = 0; w < kWordCount; ++w)
        {
            uint64_t nWord = 0;
            std::memcpy(&nWord, p + kWordAt[w], sizeof nWord);
            nOff |= (nWord & kTimeLineWords.m_anKeep[w]) ^ kTimeLineWords.m_anWant[w];
            nOff |= ((nWord & kTimeLineWords.m_anLowDigit[w]) + kSix) & kSixteen;
        }
        return nOff == 0;
    }
    for (int i = 0; i < kTimeLineWithCr; ++i)
    {
        if (static_cast<char16_t>(p[i] - kTimeLineRanges.m_aLow[i]) > kTimeLineRanges.m_aWidth[i])
            return false;
    }
    return true;
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

// Two digits of n (below 100) at p.
void PutTwoDigits(char16_t* p, uint32_t n)
{
    const uint32_t nTens = n / 10;
    p[0] = static_cast<char16_t>(u'0' + nTens);
    p[1] = static_cast<char16_t>(u'0' + (n - nTens * 10));
}

// hh:mm:ss,mmm; negative values as zero, 100 hours and more as the largest time.
void PutTime(char16_t* p, int32_t t)
{
    constexpr int32_t kLargest = 100 * 3600000 - 1;  // 99:59:59,999
    const uint32_t nTime = static_cast<uint32_t>(std::clamp(t, 0, kLargest));
    const uint32_t nSeconds = nTime / 1000;
    const uint32_t nMs = nTime - nSeconds * 1000;
    const uint32_t nMinutes = nSeconds / 60;
    PutTwoDigits(p, nMinutes / 60);
    p[2] = u':';
    PutTwoDigits(p + 3, nMinutes % 60);
    p[5] = u':';
    PutTwoDigits(p + 6, nSeconds % 60);
    p[8] = u',';
    p[9] = static_cast<char16_t>(u'0' + nMs / 100);
    PutTwoDigits(p + 10, nMs % 100);
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
    // Stops at the first unit off the pattern, so never reads past the NUL.
    for (int i = 0; i < kTimeLineWithCr; ++i)
    {
        if (static_cast<char16_t>(p[i] - kTimeLineRanges.m_aLow[i]) > kTimeLineRanges.m_aWidth[i])
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
        if (HasTimeLineAt(pText + i))
            return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t CSrtProcessor::FindBlankLine(const char16_t* pText, int32_t nLength, int32_t nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= nLength)
        return -1;
    const char16_t* const pEnd = pText + nLength;
    for (const char16_t* p = pText + nStart; (p = FindUnit(p, pEnd, kCr)) != pEnd; ++p)
    {
        if (p + 1 != pEnd && p[1] == kCr)
            return static_cast<int32_t>(p - pText);
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
bool IsNumberBeforeTimeLine(const char16_t* pText, int32_t nLength, int32_t nAt)
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
    return i + 1 + kTimeLineWithCr <= nLength && HasTimeLineAt(pText + i + 1);
}

bool StartsWithTimeLine(const char16_t* pText, int32_t nLength, int32_t nAt)
{
    return static_cast<int64_t>(nAt) + kTimeLineWithCr <= nLength && HasTimeLineAt(pText + nAt);
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
    if (StartsWithTimeLine(pText, nLength, r) || IsNumberBeforeTimeLine(pText, nLength, r))
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

void CSrtProcessor::CueTimes(const char16_t* pText, const CSrtCue& cue, int32_t& nStart, int32_t& nEnd) const
{
    const char16_t* p = pText + cue.m_nTimeLine;
    nStart = ParseTime(p);
    nEnd = ParseTime(p + 17);
}

void CSrtProcessor::AppendCue(std::u16string& out, int64_t k, std::u16string_view timeLine, std::u16string_view text)
{
    AppendCueHead(out, k, timeLine);
    out.append(text);
    AppendCueEnd(out);
}

void CSrtProcessor::AppendCueHead(std::u16string& out, int64_t k, std::u16string_view timeLine)
{
    // One append for the usual head: the number, a CR, the time line, a CR.
    char16_t head[24 + kTimeLineLength + 2];
    if (k < 0 || timeLine.size() > kTimeLineLength)
    {
        AppendDecimal(out, k);
        out.push_back(kCr);
        out.append(timeLine);
        out.push_back(kCr);
        return;
    }
    char16_t* const pNumberEnd = head + 24;
    char16_t* p = pNumberEnd;
    uint64_t n = static_cast<uint64_t>(k);
    do
    {
        *--p = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    } while (n != 0);
    *pNumberEnd = kCr;
    timeLine.copy(pNumberEnd + 1, timeLine.size());
    pNumberEnd[1 + timeLine.size()] = kCr;
    out.append(p, static_cast<size_t>(pNumberEnd + 2 + timeLine.size() - p));
}

void CSrtProcessor::AppendCueEnd(std::u16string& out)
{
    out.append(2, kCr);
}

namespace
{
// Reads a time line of the tolerant form from a line, position by position.
class CTolerantReader
{
public:
    explicit CTolerantReader(std::u16string_view line)
        : m_line(line)
    {}

    bool Read(int64_t& nStart, int64_t& nEnd)
    {
        SkipBlanks();
        if (!ReadTime(nStart))
            return false;
        SkipBlanks();
        if (!Take(u"-->"))
            return false;
        SkipBlanks();
        if (!ReadTime(nEnd))
            return false;
        const size_t nTimeEnd = m_nAt;
        SkipBlanks();
        if (m_nAt > nTimeEnd && !AtEnd())
        {
            if (!ReadCoordinates())
                return false;
            SkipBlanks();
        }
        return AtEnd();
    }

private:
    bool AtEnd() const { return m_nAt == m_line.size(); }

    void SkipBlanks()
    {
        while (!AtEnd() && IsBlank(m_line[m_nAt]))
            ++m_nAt;
    }

    bool Take(std::u16string_view word)
    {
        if (m_line.substr(m_nAt, word.size()) != word)
            return false;
        m_nAt += word.size();
        return true;
    }

    // A run of 1 to nMax digits; its value and length.
    bool ReadDigits(int nMax, int64_t& nValue, int& nCount)
    {
        nValue = 0;
        nCount = 0;
        while (!AtEnd() && IsAsciiDigit(m_line[m_nAt]))
        {
            if (++nCount > nMax)
                return false;
            nValue = nValue * 10 + (m_line[m_nAt++] - u'0');
        }
        return nCount > 0;
    }

    // [H:]M:S[F], with H or F; milliseconds as written, no range check.
    bool ReadTime(int64_t& nMs)
    {
        int64_t anFields[3] = {};
        int anDigits[3] = {};
        int nFields = 0;
        for (;;)
        {
            if (!ReadDigits(3, anFields[nFields], anDigits[nFields]))
                return false;
            ++nFields;
            if (nFields == 3 || !Take(u":"))
                break;
        }
        const bool bHours = nFields == 3;
        const int nMinute = bHours ? 1 : 0;
        if (nFields < 2 || anDigits[nMinute] > 2 || (bHours && anDigits[0] > 3))
            return false;
        int64_t nFraction = 0;
        const bool bFraction = !AtEnd() && (m_line[m_nAt] == u',' || m_line[m_nAt] == u'.');
        if (bFraction)
        {
            ++m_nAt;
            int nCount = 0;
            if (!ReadDigits(3, nFraction, nCount))
                return false;
            for (; nCount < 3; ++nCount)
                nFraction *= 10;
        }
        if (!bHours && !bFraction)
            return false;
        const int64_t nHours = bHours ? anFields[0] : 0;
        nMs = ((nHours * 60 + anFields[nMinute]) * 60 + anFields[nMinute + 1]) * 1000 + nFraction;
        return true;
    }

    // X1:n X2:n Y1:n Y2:n, blanks between.
    bool ReadCoordinates()
    {
        constexpr std::u16string_view kNames[] = {u"X1:", u"X2:", u"Y1:", u"Y2:"};
        for (size_t i = 0; i < 4; ++i)
        {
            if (i > 0)
            {
                const size_t nBefore = m_nAt;
                SkipBlanks();
                if (m_nAt == nBefore)
                    return false;
            }
            int64_t nValue = 0;
            int nCount = 0;
            if (!Take(kNames[i]) || !ReadDigits(9, nValue, nCount))
                return false;
        }
        return true;
    }

    std::u16string_view m_line;
    size_t m_nAt = 0;
};

bool ReadTolerantTimeLine(std::u16string_view line, int64_t& nStart, int64_t& nEnd)
{
    // Cheap first test: a time line starts with a digit after its blanks.
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (i == line.size() || !IsAsciiDigit(line[i]))
        return false;
    return CTolerantReader(line).Read(nStart, nEnd);
}

// Times beyond the signed 32-bit range come out as the largest time line, as every time of 100 hours and more.
int32_t ClampTime(int64_t nMs)
{
    return static_cast<int32_t>(nMs > INT32_MAX ? INT32_MAX : nMs);
}
}  // namespace

bool CSrtProcessor::IsTolerantTimeLine(std::u16string_view line) const
{
    int64_t nStart = 0;
    int64_t nEnd = 0;
    return ReadTolerantTimeLine(line, nStart, nEnd);
}

int64_t CSrtProcessor::NormaliseTimeLines(CTextBuffer& buffer) const
{
    const std::u16string_view text = buffer.View();
    const char16_t* const pBegin = text.data();
    const char16_t* const pEnd = pBegin + text.size();
    std::u16string out;
    int64_t nRewritten = 0;
    size_t nCopied = 0;
    size_t nUnread = 0;  // where the first line not yet read starts
    // Every tolerant time line holds "-->", and most lines none: only the
    // lines around an arrow are read.
    for (const char16_t* p = pBegin; (p = FindUnit(p, pEnd, u'>')) != pEnd;)
    {
        const size_t nArrow = static_cast<size_t>(p - pBegin);
        ++p;
        if (nArrow < 2 || text[nArrow - 1] != u'-' || text[nArrow - 2] != u'-')
            continue;
        // The usual case: the line ends in a strict time line around this arrow.
        constexpr size_t kArrowAt = 15;
        if (nArrow >= kArrowAt && nArrow - kArrowAt + kTimeLineWithCr <= text.size() &&
            HasTimeLineAt(pBegin + nArrow - kArrowAt))
        {
            nUnread = nArrow - kArrowAt + kTimeLineWithCr;
            p = pBegin + nUnread;
            continue;
        }
        const char16_t* const pCr = FindUnit(p, pEnd, kCr);
        if (pCr == pEnd)
            break;  // the last line has no CR
        size_t nLine = nArrow - 2;
        while (nLine > nUnread && text[nLine - 1] != kCr)
            --nLine;
        const size_t nCr = static_cast<size_t>(pCr - pBegin);
        p = pCr + 1;
        nUnread = nCr + 1;
        const std::u16string_view line = text.substr(nLine, nCr - nLine);
        if (line.size() >= kTimeLineLength && HasTimeLineAt(line.data() + line.size() - kTimeLineLength))
            continue;  // a strict time line keeps its meaning
        int64_t nStart = 0;
        int64_t nEnd = 0;
        if (!ReadTolerantTimeLine(line, nStart, nEnd))
            continue;
        if (nRewritten++ == 0)
            ReserveLarge(out, text.size() + kTimeLineLength);
        out.append(text.substr(nCopied, nLine - nCopied));
        char16_t timeLine[kTimeLineLength + 1];
        FormatTimeLine(timeLine, ClampTime(nStart), ClampTime(nEnd));
        out.append(timeLine, kTimeLineLength);
        nCopied = nCr;
    }
    if (nRewritten > 0)
    {
        out.append(text.substr(nCopied));
        buffer.Assign(out);
    }
    return nRewritten;
}

}  // namespace tavrel
