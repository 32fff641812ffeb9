// SRT to SAMI: both files hold the same document, the legacy one in the
// legacy code page.

#include "fuzz/FuzzSupport.h"
#include "text/CodePage.h"
#include "text/Unicode.h"

namespace
{

size_t CountOf(std::string_view text, std::string_view what)
{
    size_t nCount = 0;
    for (size_t p = text.find(what); p != std::string_view::npos; p = text.find(what, p + what.size()))
        ++nCount;
    return nCount;
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
    const bool bLoads = buffer.Load(input, 0) != 0;
    const size_t nCues = bLoads ? fuzz::ScanCues(buffer.View()).size() : 0;

    CSrtProcessor srt;
    const bool bResult = srt.WriteSami(input, sami, utf8Sami);
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
    return 0;
}
