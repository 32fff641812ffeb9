#include <cstdint>
#include <string>

#include "srt/JobSupport.h"
#include "srt/SrtProcessor.h"
#include "text/LargeBuffer.h"
#include "text/TextBuffer.h"

namespace tavrel
{

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
                out += text;
                out.append(4, u'\r');
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
