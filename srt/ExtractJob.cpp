#include <cstdint>
#include <string>

#include "srt/JobSupport.h"
#include "srt/SrtProcessor.h"
#include "text/LargeBuffer.h"
#include "text/TextBuffer.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// A line of only white space inside a cue's text is left out: the merge
// would take it for the end of a paragraph and pair the rest wrongly.
void AppendWithoutBlankLines(std::u16string& out, std::u16string_view text)
{
    bool bFirst = true;
    for (size_t nLine = 0; nLine <= text.size();)
    {
        size_t nCr = text.find(kCr, nLine);
        if (nCr == std::u16string_view::npos)
            nCr = text.size();
        const std::u16string_view line = text.substr(nLine, nCr - nLine);
        if (line.empty() || !TrimWhiteSpace(line).empty())
        {
            if (!bFirst)
                out.push_back(kCr);
            out.append(line);
            bFirst = false;
        }
        nLine = nCr + 1;
    }
}
}  // namespace

bool CSrtProcessor::ExtractText(const std::filesystem::path& input, const std::filesystem::path& output,
                                CSrtJobStats* pStats) const
{
    return srtjob::RunGuarded([&] {
        std::u16string out;
        int64_t nCues = 0;
        int64_t nTolerant = 0;
        {
            CTextBuffer source;
            if (!source.Load(input, 0))
                return false;
            nTolerant = NormaliseTimeLines(source);
            const char16_t* pText = source.View().data();
            const int32_t nLength = source.Length();

            // Each cue gives at most its text and four CRs, less than the
            // time line it came with.
            ReserveLarge(out, static_cast<size_t>(nLength) + 4);
            std::u16string text;
            CSrtCue cue;
            for (bool bCue = FirstCue(pText, nLength, cue); bCue; bCue = NextCue(pText, nLength, cue))
            {
                ++nCues;
                text.assign(pText + cue.m_nTextBegin, static_cast<size_t>(cue.m_nTextEnd - cue.m_nTextBegin));
                FixOcrLine(text, 0, 0, 0, 0);
                AppendWithoutBlankLines(out, text);
                out.append(4, kCr);
            }
        }
        if (pStats)
        {
            pStats->m_nCuesWritten = nCues;
            pStats->m_nTolerantTimeLines = nTolerant;
        }
        if (nCues == 0)
            return false;
        return CTextBuffer::SaveText(output, out);
    });
}

}  // namespace tavrel
