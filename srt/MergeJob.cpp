#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "srt/JobSupport.h"
#include "srt/SrtProcessor.h"
#include "text/LargeBuffer.h"
#include "text/TextBuffer.h"
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

void AppendCleanLine(std::u16string& out, std::u16string_view line)
{
    const size_t nAt = out.size();
    out.append(TrimIf(line, IsLineBlank));
    for (size_t i = nAt; i < out.size(); ++i)
    {
        if (out[i] == kNoBreakSpace || out[i] == u'\t')
            out[i] = u' ';
    }
    out.push_back(kCr);
}

// Walks the paragraphs of a cleaned text by an index, never copying what is
// left. Any run of empty lines separates two paragraphs, and empty lines
// before the first one are skipped.
class CParagraphReader
{
public:
    explicit CParagraphReader(std::u16string_view text)
        : m_text(text),
          m_nPos(0)
    {
        SkipBreaks();
    }

    bool Next(std::u16string_view& paragraph)
    {
        if (m_nPos >= m_text.size())
            return false;
        size_t nEnd = m_text.find(u"\r\r", m_nPos);
        if (nEnd == std::u16string_view::npos)
        {
            // The last paragraph has no empty line after it: it is paired too.
            nEnd = m_text.size();
            while (nEnd > m_nPos && m_text[nEnd - 1] == kCr)
                --nEnd;
        }
        paragraph = m_text.substr(m_nPos, nEnd - m_nPos);
        m_nPos = nEnd;
        SkipBreaks();
        return true;
    }

    int64_t CountLeft()
    {
        int64_t nCount = 0;
        std::u16string_view paragraph;
        while (Next(paragraph))
            ++nCount;
        return nCount;
    }

private:
    void SkipBreaks()
    {
        while (m_nPos < m_text.size() && m_text[m_nPos] == kCr)
            ++m_nPos;
    }

    std::u16string_view m_text;
    size_t m_nPos;
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
void PairCues(const CSrtProcessor& processor, std::u16string_view srtText, std::u16string_view cleaned,
              std::u16string& out, CMergeCounts& counts)
{
    const int32_t nLength = static_cast<int32_t>(srtText.size());
    // Every cue written needs a time line and a paragraph of at least one
    // unit and a CR.
    const int64_t nCueBound = std::min(srtjob::TallyCues(processor, srtText.data(), nLength).m_nCues,
                                       static_cast<int64_t>(cleaned.size() / 2 + 1));
    ReserveLarge(out, cleaned.size() + static_cast<size_t>(srtjob::CueLayoutBound(nCueBound)));

    CParagraphReader paragraphs(cleaned);
    CSrtCue cue;
    for (bool bCue = processor.FirstCue(srtText.data(), nLength, cue); bCue;
         bCue = processor.NextCue(srtText.data(), nLength, cue))
    {
        ++counts.m_nTimeLines;
        std::u16string_view paragraph;
        if (!paragraphs.Next(paragraph))
        {
            ++counts.m_nCuesWithoutParagraph;
            continue;
        }
        CSrtProcessor::AppendCue(out, ++counts.m_nCuesWritten,
                                 srtText.substr(cue.m_nTimeLine, CSrtProcessor::kTimeLineLength), paragraph);
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

bool CSrtProcessor::MergeText(const std::filesystem::path& srtPath, const std::filesystem::path& textPath,
                              const std::filesystem::path& output, CSrtJobStats* pStats) const
{
    return srtjob::RunGuarded([&] {
        std::u16string out;
        CMergeCounts counts;
        int64_t nTolerant = 0;
        {
            CTextBuffer srt;
            if (!srt.Load(srtPath, 0))
                return false;
            nTolerant = NormaliseTimeLines(srt);
            std::u16string cleaned;
            {
                CTextBuffer source;
                if (!source.Load(textPath, 0))
                    return false;
                cleaned = CleanText(source.View());
            }
            PairCues(*this, srt.View(), cleaned, out, counts);
        }
        if (pStats)
        {
            pStats->m_nCuesWritten = counts.m_nCuesWritten;
            pStats->m_nCuesWithoutParagraph = counts.m_nCuesWithoutParagraph;
            pStats->m_nParagraphsLeft = counts.m_nParagraphsLeft;
            pStats->m_nTolerantTimeLines = nTolerant;
        }
        if (counts.m_nTimeLines == 0)
            return false;
        return CTextBuffer::SaveText(output, out);
    });
}

}  // namespace tavrel
