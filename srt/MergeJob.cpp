#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "srt/SrtProcessor.h"
#include "text/LargeBuffer.h"
#include "text/TextBuffer.h"
#include "text/TextSink.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
constexpr char16_t kNoBreakSpace = u'\xA0';

bool IsLeadingBlank(char16_t c)
{
    return c == u' ' || c == kNoBreakSpace || c == u'\t' || c == kCr;
}

// A no-break space counts as white space here, since it becomes a space
// before the line is trimmed.
bool IsLineBlank(char16_t c)
{
    return c == kNoBreakSpace || IsWhiteSpace(c);
}

// A trimmed line, its no-break spaces and tabs as spaces.
void AppendWithSpaces(std::u16string& out, std::u16string_view line)
{
    const size_t nAt = out.size();
    out.append(line);
    for (size_t i = nAt; i < out.size(); ++i)
    {
        if (out[i] == kNoBreakSpace || out[i] == u'\t')
            out[i] = u' ';
    }
}

void AppendCleanLine(std::u16string& out, std::u16string_view line)
{
    AppendWithSpaces(out, TrimIf(line, IsLineBlank));
    out.push_back(kCr);
}

// The paragraphs CleanText's output holds, made one at a time from the raw
// text so the job never holds a cleaned copy of all of it: runs of lines that
// are not empty once trimmed, joined by CRs.
class CParagraphReader
{
public:
    explicit CParagraphReader(std::u16string_view text)
        : m_text(text.substr(0, text.find(u'\0')))
    {}

    bool Next(std::u16string& paragraph)
    {
        paragraph.clear();
        std::u16string_view line;
        while (NextLine(line))
        {
            const std::u16string_view kept = TrimIf(line, IsLineBlank);
            if (kept.empty())
            {
                if (!paragraph.empty())
                    return true;
                continue;
            }
            if (!paragraph.empty())
                paragraph.push_back(kCr);
            AppendWithSpaces(paragraph, kept);
        }
        return !paragraph.empty();
    }

    int64_t CountLeft()
    {
        int64_t nCount = 0;
        std::u16string paragraph;
        while (Next(paragraph))
            ++nCount;
        return nCount;
    }

private:
    bool NextLine(std::u16string_view& line)
    {
        if (m_nPos > m_text.size())
            return false;
        size_t nCr = m_text.find(kCr, m_nPos);
        if (nCr == std::u16string_view::npos)
            nCr = m_text.size();
        line = m_text.substr(m_nPos, nCr - m_nPos);
        m_nPos = nCr + 1;
        return true;
    }

    std::u16string_view m_text;
    size_t m_nPos = 0;
};

struct CMergeCounts
{
    int64_t m_nTimeLines = 0;
    int64_t m_nCuesWritten = 0;
    int64_t m_nCuesWithoutParagraph = 0;
    int64_t m_nParagraphsLeft = 0;
};

// Gives the n-th time line of the SRT text the n-th paragraph of the cleaned
// text; time lines and paragraphs left over are only counted.
void PairCues(const CSrtProcessor& processor, std::u16string_view srtText, std::u16string_view plainText,
              CTextSink& out, CMergeCounts& counts)
{
    const int32_t nLength = static_cast<int32_t>(srtText.size());
    CParagraphReader paragraphs(plainText);
    std::u16string paragraph;
    CSrtCue cue;
    for (bool bCue = processor.FirstCue(srtText.data(), nLength, cue); bCue;
         bCue = processor.NextCue(srtText.data(), nLength, cue))
    {
        ++counts.m_nTimeLines;
        if (!paragraphs.Next(paragraph))
        {
            ++counts.m_nCuesWithoutParagraph;
            continue;
        }
        CSrtProcessor::AppendCue(out.Pending(), ++counts.m_nCuesWritten,
                                 srtText.substr(cue.m_nTimeLine, CSrtProcessor::kTimeLineLength), paragraph);
        out.Flush();
    }
    counts.m_nParagraphsLeft = paragraphs.CountLeft();
}
}  // namespace

std::u16string CleanText(std::u16string_view text)
{
    const size_t nNul = text.find(u'\0');
    if (nNul != std::u16string_view::npos)
        text = text.substr(0, nNul);

    std::u16string out;
    ReserveLarge(out, text.size() + 1);
    size_t i = 0;
    while (i < text.size() && IsLeadingBlank(text[i]))
        ++i;
    while (i < text.size())
    {
        size_t j = text.find(kCr, i);
        if (j == std::u16string_view::npos)
            j = text.size();
        AppendCleanLine(out, text.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

CFailure CSrtProcessor::MergeText(const CTextBuffer& srtText, const CTextBuffer& plainText, CTextSink& out,
                                  CSrtJobStats* pStats) const
{
    CMergeCounts counts;
    PairCues(*this, srtText.View(), plainText.View(), out, counts);
    if (pStats)
    {
        pStats->m_nCuesWritten = counts.m_nCuesWritten;
        pStats->m_nCuesWithoutParagraph = counts.m_nCuesWithoutParagraph;
        pStats->m_nParagraphsLeft = counts.m_nParagraphsLeft;
    }
    return counts.m_nTimeLines == 0 ? MakeFailure(FailureKind::NoTimeLine) : CFailure{};
}

}  // namespace tavrel
