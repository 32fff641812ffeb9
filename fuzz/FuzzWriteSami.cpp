// SRT to SAMI: both files hold the same document, the legacy one in the
// legacy code page.

#include "convert/SamiReader.h"
#include "fuzz/FuzzSupport.h"
#include "text/CodePage.h"
#include "text/Unicode.h"

using namespace tavrel;

namespace
{

size_t CountOf(std::string_view text, std::string_view what)
{
    size_t nCount = 0;
    for (size_t p = text.find(what); p != std::string_view::npos; p = text.find(what, p + what.size()))
        ++nCount;
    return nCount;
}

bool IsWordChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// Lines of words of letters and digits, one space between words: text that
// the SAMI round trip carries unchanged.
bool IsPlainText(std::u16string_view text)
{
    if (text.empty())
        return false;
    char16_t cPrev = u'\r';
    for (char16_t c : text)
    {
        if (!IsWordChar(c) && !((c == u' ' || c == u'\r') && IsWordChar(cPrev)))
            return false;
        cPrev = c;
    }
    return IsWordChar(cPrev);
}

struct CTimedCue
{
    int32_t m_nStart;
    int32_t m_nEnd;
    std::u16string m_strText;
};

// The cues when they are in time order without overlap and hold plain
// text; empty when any is not.
std::vector<CTimedCue> PlainTimedCues(const std::vector<fuzz::CScannedCue>& vecScanned)
{
    std::vector<CTimedCue> vecCues;
    CSrtProcessor srt;
    for (const auto& scanned : vecScanned)
    {
        const std::u16string strLine = scanned.m_strTimeLine + u"\r";
        CTimedCue cue;
        std::u16string_view text = scanned.m_strText;
        while (!text.empty() && text.back() == u'\r')
            text.remove_suffix(1);
        cue.m_strText = std::u16string(text);
        if (!srt.ParseTimeLine(strLine.c_str(), cue.m_nStart, cue.m_nEnd) || cue.m_nStart >= cue.m_nEnd ||
            cue.m_nEnd >= 360000000 || !IsPlainText(cue.m_strText) ||
            (!vecCues.empty() && vecCues.back().m_nEnd > cue.m_nStart))
            return {};
        vecCues.push_back(cue);
    }
    return vecCues;
}

// SRT to SAMI and back gives the same cues.
void CheckRoundTrip(const std::vector<fuzz::CScannedCue>& vecScanned)
{
    const std::vector<CTimedCue> vecCues = PlainTimedCues(vecScanned);
    if (vecCues.empty())
        return;
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    fuzz::Check(fuzz::ConvertSamiFile(dir / "movie.UTF8.smi") == 1, "the SAMI document has one class");
    const std::u16string text = fuzz::LoadText(dir / "movie.UTF8.KRCC.srt");
    const auto vecBack = fuzz::ParseWrittenSrt(text, fuzz::IsStrictTimeLine);
    fuzz::Check(vecBack.size() == vecCues.size(), "the round trip keeps every cue");
    CSrtProcessor srt;
    for (size_t i = 0; i < vecCues.size(); ++i)
    {
        char16_t szLine[32];
        srt.FormatTimeLine(szLine, vecCues[i].m_nStart, vecCues[i].m_nEnd);
        fuzz::Check(vecBack[i].m_timeLine == szLine, "the round trip keeps every time");
        fuzz::Check(vecBack[i].m_text == vecCues[i].m_strText, "the round trip keeps every text");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    dir.Clear();
    const std::filesystem::path input = dir / "movie.srt";
    const std::filesystem::path sami = dir / "movie.smi";
    const std::filesystem::path utf8Sami = dir / "movie.UTF8.smi";
    fuzz::WriteFile(input, pData, nSize);

    CTextBuffer buffer;
    const bool bLoads = fuzz::LoadSrt(buffer, input);
    const auto vecScanned = bLoads ? fuzz::ScanCues(buffer.View()) : std::vector<fuzz::CScannedCue>();
    const size_t nCues = vecScanned.size();

    const bool bResult = fuzz::WriteSamiFiles(input, sami, utf8Sami);
    fuzz::Check(bResult == (nCues > 0), "the result tells whether there was a cue");
    if (!bLoads)
    {
        fuzz::Check(!fuzz::Exists(sami) && !fuzz::Exists(utf8Sami), "no file when the input does not load");
        return 0;
    }

    const std::string strUtf8File = fuzz::ReadFile(utf8Sami);
    const std::string strLegacyFile = fuzz::ReadFile(sami);
    fuzz::CheckSavedText(strUtf8File);
    const std::string_view document = std::string_view(strUtf8File).substr(3);
    const std::string strHead = "<SAMI>\r\n<HEAD>\r\n<TITLE>" + input.string() + "</TITLE>\r\n";
    fuzz::Check(document.substr(0, strHead.size()) == strHead, "the document starts with its head");
    const std::string_view kFoot = "</BODY>\r\n</SAMI>\r\n";
    fuzz::Check(document.size() >= kFoot.size() && document.substr(document.size() - kFoot.size()) == kFoot,
                "the document ends with its foot");
    fuzz::Check(CountOf(document, "<P Class=KRCC>\r\n") >= nCues, "one opening block per cue");
    fuzz::Check(CountOf(document, "<P Class=KRCC>&nbsp;\r\n") >= nCues, "one closing block per cue");

    const std::string strExpected = EncodeCodePage(Utf8ToU16(document), 0);
    fuzz::Check(strLegacyFile == strExpected, "the legacy file holds the same lines");
    CheckRoundTrip(vecScanned);
    return 0;
}
