#include <algorithm>
#include <string>
#include <string_view>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/TextSink.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{

constexpr std::u16string_view kHeadStart = u"<SAMI>\r<HEAD>\r<TITLE>";
constexpr std::u16string_view kStyleBlock = u"</TITLE>\r"
                                            u"<STYLE TYPE=\"text/css\">\r"
                                            u"<!--\r"
                                            u"P { margin-left:2pt; margin-right:2pt; margin-bottom:1pt;\r"
                                            u"\tmargin-top:1pt; font-size:20pt; text-align:center;\r"
                                            u"\tfont-family:Arial, Sans-serif; font-weight:bold; color:white;\r"
                                            u"\t}\r"
                                            u".KRCC { Name:Korean; lang:ko-KR; SAMIType:CC; }\r"
                                            u"-->\r"
                                            u"</STYLE>\r"
                                            u"</HEAD>\r"
                                            u"<BODY>\r"
                                            u"\r"
                                            u"<!-- converted with Tavrel von Norvane(by Dunmarrow) -->\r"
                                            u"\r";
constexpr std::u16string_view kFooter = u"</BODY>\r</SAMI>\r";
constexpr std::u16string_view kSyncStart = u"<SYNC Start=";
constexpr std::u16string_view kSyncClass = u"><P Class=KRCC>";
constexpr std::u16string_view kBreakLine = u"<br>\r";
constexpr std::u16string_view kNbspLine = u"&nbsp;\r";

constexpr size_t kChunkUnits = CTextSink::kFlushUnits;

// Streams the document into both sinks, in chunks.
class CSamiOutput
{
public:
    CSamiOutput(CTextSink& legacy, CTextSink& utf8)
        : m_legacy(legacy),
          m_utf8(utf8)
    {
        m_strChunk.reserve(kChunkUnits + 64);
    }

    void Append(std::u16string_view text)
    {
        if (text.size() < kChunkUnits)
        {
            m_strChunk.append(text);
            if (m_strChunk.size() >= kChunkUnits)
                Flush();
            return;
        }
        while (!text.empty())
        {
            const size_t nTake = std::min(text.size(), kChunkUnits);
            m_strChunk.append(text.substr(0, nTake));
            text.remove_prefix(nTake);
            if (m_strChunk.size() >= kChunkUnits)
                Flush();
        }
    }

    // The sinks keep a last high surrogate until its pair comes.
    void Flush()
    {
        if (m_strChunk.empty())
            return;
        m_utf8.Write(m_strChunk);
        m_legacy.Write(m_strChunk);
        m_strChunk.clear();
    }

private:
    CTextSink& m_legacy;
    CTextSink& m_utf8;
    std::u16string m_strChunk;
};

// "<SYNC Start=n><P Class=KRCC>" and what follows it, in one piece.
void WriteSync(CSamiOutput& out, int32_t nTime, std::u16string_view after)
{
    char16_t buffer[64];
    char16_t* p = buffer;
    const auto put = [&p](std::u16string_view text) { p += text.copy(p, text.size()); };
    put(kSyncStart);
    if (nTime < 0)
        *p++ = u'-';
    char16_t digits[10];
    char16_t* pDigit = digits + 10;
    uint32_t n = nTime < 0 ? 0u - static_cast<uint32_t>(nTime) : static_cast<uint32_t>(nTime);
    do
    {
        *--pDigit = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    } while (n != 0);
    put(std::u16string_view(pDigit, static_cast<size_t>(digits + 10 - pDigit)));
    put(kSyncClass);
    put(after);
    out.Append(std::u16string_view(buffer, static_cast<size_t>(p - buffer)));
}

// One block pair: the text at its start time, an empty caption at its end.
void WriteCue(CSamiOutput& out, const char16_t* pText, int32_t nStart, int32_t nEnd, const CSrtCue& cue)
{
    WriteSync(out, nStart, u"\r");
    const char16_t* p = pText + cue.m_nTextBegin;
    const char16_t* const pEnd = pText + cue.m_nTextEnd;
    for (const char16_t* pCr; (pCr = FindUnit(p, pEnd, kCr)) != pEnd; p = pCr + 1)
    {
        out.Append(std::u16string_view(p, static_cast<size_t>(pCr - p)));
        out.Append(kBreakLine);
    }
    out.Append(std::u16string_view(p, static_cast<size_t>(pEnd - p)));
    out.Append(u"\r");
    WriteSync(out, nEnd, kNbspLine);
}

// Writes the whole document; returns the number of cues.
int64_t WriteDocument(const CSrtProcessor& srt, std::u16string_view title, const CTextBuffer& input, CSamiOutput& out)
{
    out.Append(kHeadStart);
    out.Append(title);
    out.Append(kStyleBlock);
    int64_t nCues = 0;
    CSrtCue cue;
    const char16_t* pText = input.Data();
    for (bool bFound = srt.FirstCue(pText, input.Length(), cue); bFound;
         bFound = srt.NextCue(pText, input.Length(), cue))
    {
        ++nCues;
        int32_t nStart = 0;
        int32_t nEnd = 0;
        srt.CueTimes(pText, cue, nStart, nEnd);
        WriteCue(out, pText, nStart, nEnd, cue);
    }
    out.Append(kFooter);
    out.Flush();
    return nCues;
}
}  // namespace

CFailure CSrtProcessor::WriteSami(const CTextBuffer& srtText, std::u16string_view title, CTextSink& legacyOut,
                                  CTextSink& utf8Out, CSrtJobStats* pStats) const
{
    CSamiOutput out(legacyOut, utf8Out);
    const int64_t nCues = WriteDocument(*this, title, srtText, out);
    if (pStats)
        pStats->m_nCuesWritten = nCues;
    return nCues == 0 ? MakeFailure(FailureKind::NoTimeLine) : CFailure{};
}

}  // namespace tavrel
