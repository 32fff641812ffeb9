#include <algorithm>
#include <new>
#include <string>
#include <string_view>

#include "srt/SrtProcessor.h"
#include "text/AtomicFile.h"
#include "text/CodePage.h"
#include "text/TextBuffer.h"
#include "text/TextFileStream.h"
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

// Streams the document into both files: UTF-8 with byte-order mark, and the
// legacy code page without one; CR LF line ends in both.
class CSamiOutput
{
public:
    CSamiOutput(CAtomicFile& sami, CTextFileStream& utf8Sami)
        : m_sami(sami),
          m_utf8Sami(utf8Sami)
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
                Flush(false);
        }
    }
    void Append(char16_t c) { m_strChunk.push_back(c); }
    void AppendDecimal(int32_t n) { tavrel::AppendDecimal(m_strChunk, n); }

    // Writes out what is pending; a final high surrogate waits for its pair
    // unless this is the end.
    void Flush(bool bEnd)
    {
        size_t nUnits = m_strChunk.size();
        if (!bEnd && nUnits > 0 && IsHighSurrogate(m_strChunk[nUnits - 1]))
            --nUnits;
        if (nUnits == 0)
            return;
        const std::u16string_view chunk(m_strChunk.data(), nUnits);
        m_utf8Sami.Write(chunk);
        WriteLegacy(chunk);
        m_strChunk.erase(0, nUnits);
    }

private:
    // Every CR byte of the legacy form is written as CR LF.
    void WriteLegacy(std::u16string_view chunk)
    {
        const std::string bytes = EncodeCodePage(chunk, 0);
        m_strLegacy.clear();
        m_strLegacy.reserve(bytes.size() + bytes.size() / 4 + 16);
        for (size_t nAt = 0; nAt < bytes.size();)
        {
            const size_t nCr = bytes.find('\r', nAt);
            if (nCr == std::string::npos)
            {
                m_strLegacy.append(bytes, nAt);
                break;
            }
            m_strLegacy.append(bytes, nAt, nCr - nAt);
            m_strLegacy.append("\r\n", 2);
            nAt = nCr + 1;
        }
        m_sami.Write(m_strLegacy.data(), m_strLegacy.size());
    }

    CAtomicFile& m_sami;
    CTextFileStream& m_utf8Sami;
    std::u16string m_strChunk;
    std::string m_strLegacy;
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
    out.Flush(true);
    return nCues;
}
}  // namespace

bool CSrtProcessor::WriteSami(const std::filesystem::path& input, const std::filesystem::path& samiPath,
                              const std::filesystem::path& utf8SamiPath, CSrtJobStats* pStats) const
{
    try
    {
        CTextBuffer srt;
        if (srt.Load(input, 0) == 0)
            return false;
        const int64_t nTolerant = NormaliseTimeLines(srt);
        CAtomicFile sami(samiPath);
        if (!sami.IsOpen())
            return false;
        CTextFileStream utf8Sami(utf8SamiPath);
        CSamiOutput out(sami, utf8Sami);
        const int64_t nCues = WriteDocument(*this, PathToU16(input), srt, out);
        if (pStats)
        {
            pStats->m_nCuesWritten = nCues;
            pStats->m_nTolerantTimeLines = nTolerant;
        }
        const bool bUtf8Written = utf8Sami.Commit();
        const bool bSamiWritten = sami.Commit();
        return bUtf8Written && bSamiWritten && nCues > 0;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

}  // namespace tavrel
