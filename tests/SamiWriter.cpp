#include <string>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/TextFileStream.h"
#include "text/Unicode.h"

using namespace tavrel;

using namespace testutil;

namespace
{
// The document lines as the files hold them, CR LF ended.
std::string Head(const std::string& title)
{
    return "<SAMI>\r\n<HEAD>\r\n<TITLE>" + title +
           "</TITLE>\r\n<STYLE TYPE=\"text/css\">\r\n<!--\r\n"
           "P { margin-left:2pt; margin-right:2pt; margin-bottom:1pt;\r\n\tmargin-top:1pt; font-size:20pt; "
           "text-align:center;\r\n"
           "\tfont-family:Arial, Sans-serif; font-weight:bold; color:white;\r\n\t}\r\n"
           ".KRCC { Name:Korean; lang:ko-KR; SAMIType:CC; }\r\n-->\r\n</STYLE>\r\n</HEAD>\r\n<BODY>\r\n"
           "\r\n<!-- converted with Tavrel von Norvane(by Dunmarrow) -->\r\n\r\n";
}

const std::string kFoot = "</BODY>\r\n</SAMI>\r\n";

std::string Block(int nStart, int nEnd, const std::string& lines)
{
    return "<SYNC Start=" + std::to_string(nStart) + "><P Class=KRCC>\r\n" + lines +
           "\r\n<SYNC Start=" + std::to_string(nEnd) + "><P Class=KRCC>&nbsp;\r\n";
}

// Writes both files from the SRT bytes; checks them against the blocks (legacy: same as UTF-8 when empty).
void ExpectSami(const std::string& srt, const std::string& body, std::string legacy = "", bool bSuccess = true)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", srt);
    CTextBuffer source;
    ASSERT_NE(source.Load(dir / "in.srt"), 0);
    const std::string title = (dir / "in.srt").string();
    {
        CTextFileStream legacy(dir / "o.smi", FileEncoding::LegacyCode);
        CTextFileStream utf8(dir / "o.UTF8.smi");
        EXPECT_EQ(CSrtProcessor().WriteSami(source, Utf8ToU16(title), legacy, utf8).IsFailure(), !bSuccess);
        EXPECT_TRUE(utf8.Commit());
        EXPECT_TRUE(legacy.Commit());
    }
    EXPECT_TRUE(ReadBytes(dir / "o.UTF8.smi") == std::string(kBom) + Head(title) + body + kFoot) << srt.substr(0, 80);
    EXPECT_TRUE(ReadBytes(dir / "o.smi") == Head(title) + (legacy.empty() ? body : legacy) + kFoot)
        << srt.substr(0, 80);
}

// Cues over several lines, empty cues and characters the code page lacks are golden cases (convert_ko_utf8,
// convert_empty_cues, convert_unicode) and rows of the chunk test below.
TEST(WriteSami, WritesBothFilesLineForLine)
{
    ExpectSami("1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n",
               Block(1000, 2500, "Hi<br>\r\n"));  // single line end at the end
    ExpectSami(
        "1\n00:00:05,000 --> 00:00:06,000\nb\n\n2\n00:00:01,000 --> 00:00:05,000\na\n\n",  // file order, own end block
        Block(5000, 6000, "b") + Block(1000, 5000, "a"));
    ExpectSami("junk\n1\n00:00:01,000 --> 00:00:02,000\na\n\nstray\n\n", Block(1000, 2000, "a"));
    ExpectSami("1\r\n00:00:01,000 --> 00:00:02,000\r\n\xB0\xA1\r\n\r\n",  // legacy input without a mark
               Block(1000, 2000, ForCodePage(Bytes(u8"가"), Bytes(u8"°¡"))), Block(1000, 2000, "\xB0\xA1"));
    ExpectSami("just text\n", "", "", false);  // no time line: head and foot, but fails
}

TEST(WriteSami, DocumentAcrossWriteChunksComesOutWhole)
{
    // A little over one write chunk (128 Ki units), with pairs and CRs at every offset.
    std::string srt(kBom), utf8Body, legacyBody;
    for (int k = 0; k < 2000; ++k)
    {
        const std::string pad(static_cast<size_t>(k % 7), 'x');
        srt += std::to_string(k + 1) + "\r\n00:00:01,000 --> 00:00:02,000\r\n" + pad + Bytes(u8"가\U0001F600\r\n끝") +
               "\r\n\r\n";
        utf8Body += Block(1000, 2000, pad + Bytes(u8"가\U0001F600<br>\r\n끝"));
        legacyBody += Block(1000, 2000,
                            pad + ForCodePage("\xB0\xA1?<br>\r\n\xB3\xA1", "?"
                                                                           "?<br>\r\n?"));
    }
    ExpectSami(srt, utf8Body, legacyBody);
}

}  // namespace
