#include <algorithm>
#include <new>
#include <string>
#include <string_view>

#include "srt/SrtProcessor.h"
#include "text/AtomicFile.h"
#include "text/CodePage.h"
#include "text/TextBuffer.h"
#include "text/Unicode.h"

namespace
{
constexpr char16_t kCr = u'\r';

constexpr std::u16string_view kHeadStart = u"<SAMI>\r<HEAD>\r<TITLE>";
constexpr std::u16string_view kStyleBlock =
    u"</TITLE>\r"
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
// Both SYNC lines of a cue without their numbers and text.
constexpr size_t kCueOverhead = 2 * (kSyncStart.size() + kSyncClass.size() + 1) + 1 + kNbsp.size();

constexpr size_t kEncodeChunkUnits = 256 * 1024;

int DecimalDigits(int32_t n)
{
    int nDigits = n < 0 ? 2 : 1;
    for (int64_t v = n < 0 ? -static_cast<int64_t>(n) : n; v >= 10; v /= 10)
        ++nDigits;
    return nDigits;
}

void AppendDecimal(std::u16string& out, int32_t n)
{
    char16_t digits[12];
    int nDigits = 0;
    int64_t v = n;
    if (v < 0)
    {
        out.push_back(u'-');
        v = -v;
    }
    do
    {
        digits[nDigits++] = static_cast<char16_t>(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (nDigits > 0)
        out.push_back(digits[--nDigits]);
}

void AppendSync(std::u16string& out, int32_t nTime)
{
    out.append(kSyncStart);
    AppendDecimal(out, nTime);
    out.append(kSyncClass);
}

// Units the whole document needs, so that it is built without regrowing.
size_t MeasureDocument(const CSrtProcessor& srt, std::u16string_view title, const char16_t* pText, int32_t nLength)
{
    size_t nUnits = kHeadStart.size() + title.size() + kStyleBlock.size() + kFooter.size();
    CSrtCue cue;
    for (bool bFound = srt.FirstCue(pText, nLength, cue); bFound; bFound = srt.NextCue(pText, nLength, cue))
    {
        int32_t nStart = 0;
        int32_t nEnd = 0;
        srt.ParseTimeLine(pText + cue.m_nTimeLine, nStart, nEnd);
        nUnits += kCueOverhead + DecimalDigits(nStart) + DecimalDigits(nEnd);
        for (int32_t i = cue.m_nTextBegin; i < cue.m_nTextEnd; ++i)
            nUnits += pText[i] == kCr ? 1 + kBreak.size() : 1;
    }
    return nUnits;
}

// The whole SAMI document with single-CR line ends; counts the cues.
std::u16string BuildDocument(const CSrtProcessor& srt, std::u16string_view title, const char16_t* pText,
                             int32_t nLength, int64_t& nCues)
{
    std::u16string doc;
    doc.reserve(MeasureDocument(srt, title, pText, nLength));
    doc.append(kHeadStart);
    doc.append(title);
    doc.append(kStyleBlock);
    CSrtCue cue;
    for (bool bFound = srt.FirstCue(pText, nLength, cue); bFound; bFound = srt.NextCue(pText, nLength, cue))
    {
        ++nCues;
        int32_t nStart = 0;
        int32_t nEnd = 0;
        srt.ParseTimeLine(pText + cue.m_nTimeLine, nStart, nEnd);
        AppendSync(doc, nStart);
        doc.push_back(kCr);
        int32_t nLine = cue.m_nTextBegin;
        for (int32_t i = cue.m_nTextBegin; i < cue.m_nTextEnd; ++i)
        {
            if (pText[i] != kCr)
                continue;
            doc.append(pText + nLine, static_cast<size_t>(i - nLine));
            doc.append(kBreak);
            doc.push_back(kCr);
            nLine = i + 1;
        }
        doc.append(pText + nLine, static_cast<size_t>(cue.m_nTextEnd - nLine));
        doc.push_back(kCr);
        AppendSync(doc, nEnd);
        doc.append(kNbsp);
        doc.push_back(kCr);
    }
    doc.append(kFooter);
    return doc;
}

// The document in the legacy code page, every CR byte as CR LF, written in
// chunks so that no whole-file copy is needed.
bool WriteLegacy(CAtomicFile& file, std::u16string_view doc)
{
    std::string lines;
    for (size_t nAt = 0; nAt < doc.size();)
    {
        size_t nUnits = std::min(kEncodeChunkUnits, doc.size() - nAt);
        const char16_t cLast = doc[nAt + nUnits - 1];
        if (nAt + nUnits < doc.size() && cLast >= 0xD800 && cLast <= 0xDBFF)
            --nUnits;  // a pair stays in one chunk
        const std::string bytes = EncodeCodePage(doc.substr(nAt, nUnits), 0);
        lines.clear();
        lines.reserve(bytes.size() + bytes.size() / 8 + 16);
        for (const char c : bytes)
        {
            lines.push_back(c);
            if (c == '\r')
                lines.push_back('\n');
        }
        if (!file.Write(lines.data(), lines.size()))
            return false;
        nAt += nUnits;
    }
    return file.Commit();
}
}  // namespace

bool CSrtProcessor::WriteSami(const std::filesystem::path& input, const std::filesystem::path& samiPath,
                              const std::filesystem::path& utf8SamiPath) const
{
    try
    {
        int64_t nCues = 0;
        std::u16string doc;
        {
            CTextBuffer srt;
            if (srt.Load(input, 0) == 0)
                return false;
            doc = BuildDocument(*this, PathToU16(input), srt.m_pText, srt.m_nLength, nCues);
        }
        CAtomicFile sami(samiPath);
        if (!sami.IsOpen())
            return false;
        bool bResult = CTextBuffer::SaveText(utf8SamiPath, doc);
        if (!WriteLegacy(sami, doc))
            bResult = false;
        return bResult && nCues > 0;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}
