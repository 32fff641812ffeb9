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
constexpr std::u16string_view kBreak = u"<br>";
constexpr std::u16string_view kNbsp = u"&nbsp;";

constexpr size_t kChunkUnits = 128 * 1024;

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
        while (!text.empty())
        {
            const size_t nTake = std::min(text.size(), kChunkUnits);
            m_strChunk.append(text.substr(0, nTake));
            text.remove_prefix(nTake);
            if (m_strChunk.size() >= kChunkUnits)
                Flush();
        }
    }
    void Append(char16_t c) { m_strChunk.push_back(c); }
    void AppendDecimal(int32_t n) { tavrel::AppendDecimal(m_strChunk, n); }

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

void WriteSync(CSamiOutput& out, int32_t nTime)
{
    out.Append(kSyncStart);
    out.AppendDecimal(nTime);
    out.Append(kSyncClass);
}

// One block pair: the text at its start time, an empty caption at its end.
void WriteCue(CSamiOutput& out, const char16_t* pText, int32_t nStart, int32_t nEnd, const CSrtCue& cue)
{
    WriteSync(out, nStart);
    out.Append(kCr);
    int32_t nLine = cue.m_nTextBegin;
    for (int32_t i = cue.m_nTextBegin; i < cue.m_nTextEnd; ++i)
    {
        if (pText[i] != kCr)
            continue;
        out.Append(std::u16string_view(pText + nLine, static_cast<size_t>(i - nLine)));
        out.Append(kBreak);
        out.Append(kCr);
        nLine = i + 1;
    }
    out.Append(std::u16string_view(pText + nLine, static_cast<size_t>(cue.m_nTextEnd - nLine)));
    out.Append(kCr);
    WriteSync(out, nEnd);
    out.Append(kNbsp);
    out.Append(kCr);
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
        srt.ParseTimeLine(pText + cue.m_nTimeLine, nStart, nEnd);
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
