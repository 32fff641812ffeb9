#include <string>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "srt/SrtProcessor.h"

using testutil::Bytes;
using testutil::CTempDir;
using testutil::kBom;
using testutil::ReadBytes;
using testutil::WriteBytes;

namespace
{
// The document lines as the files hold them, CR LF ended.
std::string Head(const std::string& title)
{
    return "<SAMI>\r\n<HEAD>\r\n<TITLE>" + title +
           "</TITLE>\r\n"
           "<STYLE TYPE=\"text/css\">\r\n"
           "<!--\r\n"
           "P { margin-left:2pt; margin-right:2pt; margin-bottom:1pt;\r\n"
           "\tmargin-top:1pt; font-size:20pt; text-align:center;\r\n"
           "\tfont-family:Arial, Sans-serif; font-weight:bold; color:white;\r\n"
           "\t}\r\n"
           ".KRCC { Name:Korean; lang:ko-KR; SAMIType:CC; }\r\n"
           "-->\r\n"
           "</STYLE>\r\n"
           "</HEAD>\r\n"
           "<BODY>\r\n"
           "\r\n"
           "<!-- converted with Tavrel von Norvane(by Dunmarrow) -->\r\n"
           "\r\n";
}

const std::string kFoot = "</BODY>\r\n</SAMI>\r\n";

std::string Block(int nStart, int nEnd, const std::string& lines)
{
    return "<SYNC Start=" + std::to_string(nStart) + "><P Class=KRCC>\r\n" + lines + "\r\n<SYNC Start=" +
           std::to_string(nEnd) + "><P Class=KRCC>&nbsp;\r\n";
}

struct SamiCase
{
    const char* pName;
    std::string srt;      // file bytes
    std::string body;     // blocks, UTF-8
    std::string legacy;   // blocks in the legacy code page
};

void PrintTo(const SamiCase& c, std::ostream* os)
{
    *os << c.pName;
}

class SamiTest : public testing::TestWithParam<SamiCase>
{
};

TEST_P(SamiTest, WritesBothFilesLineForLine)
{
    const SamiCase& c = GetParam();
    CTempDir dir;
    const auto input = dir / "movie.srt";
    WriteBytes(input, c.srt);
    ASSERT_TRUE(CSrtProcessor().WriteSami(input, dir / "movie.smi", dir / "movie.UTF8.smi"));
    const std::string title = input.string();
    EXPECT_EQ(ReadBytes(dir / "movie.UTF8.smi"), std::string(kBom) + Head(title) + c.body + kFoot);
    EXPECT_EQ(ReadBytes(dir / "movie.smi"), Head(title) + c.legacy + kFoot);
}

const std::string kTwoLines = Block(1000, 2500, "Hello<br>\r\nWorld");

INSTANTIATE_TEST_SUITE_P(
    Inputs, SamiTest,
    testing::Values(
        SamiCase{"TwoLineCue", "1\r\n00:00:01,000 --> 00:00:02,500\r\nHello\r\nWorld\r\n\r\n", kTwoLines, kTwoLines},
        SamiCase{"ThreeLinesTwoBreaks", "1\n00:00:01,000 --> 00:00:02,500\na\nb\nc\n\n",
                 Block(1000, 2500, "a<br>\r\nb<br>\r\nc"), Block(1000, 2500, "a<br>\r\nb<br>\r\nc")},
        SamiCase{"LastCueEndsWithSingleLineEnd", "1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n",
                 Block(1000, 2500, "Hi<br>\r\n"), Block(1000, 2500, "Hi<br>\r\n")},
        SamiCase{"CuesKeepFileOrderAndOwnEndBlock",
                 "1\n00:00:05,000 --> 00:00:06,000\nb\n\n2\n00:00:01,000 --> 00:00:05,000\na\n\n",
                 Block(5000, 6000, "b") + Block(1000, 5000, "a"), Block(5000, 6000, "b") + Block(1000, 5000, "a")},
        SamiCase{"StrayLinesDropped", "junk\n1\n00:00:01,000 --> 00:00:02,000\na\n\nstray\n\n",
                 Block(1000, 2000, "a"), Block(1000, 2000, "a")},
        SamiCase{"EmptyCueKeepsNextCue", "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nb\n\n",
                 Block(1000, 2000, "") + Block(3000, 4000, "b"), Block(1000, 2000, "") + Block(3000, 4000, "b")},
        SamiCase{"KoreanInBothEncodings",
                 std::string(kBom) + Bytes(u8"1\r\n00:00:01,000 --> 00:00:02,000\r\n가 뷁 \U0001F600\r\n\r\n"),
                 Block(1000, 2000, Bytes(u8"가 뷁 \U0001F600")), Block(1000, 2000, "\xB0\xA1 \x94\xEE ?")},
        SamiCase{"Cp949InputWithoutMark", "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xB0\xA1\r\n\r\n",
                 Block(1000, 2000, Bytes(u8"가")), Block(1000, 2000, "\xB0\xA1")}));

TEST(WriteSami, LargeDocumentComesOutWhole)
{
    // Far more than one write chunk, with pairs and CRs at every offset.
    std::string srt(kBom);
    std::string utf8Body;
    std::string legacyBody;
    for (int k = 0; k < 6000; ++k)
    {
        const std::string pad(static_cast<size_t>(k % 7), 'x');
        srt += std::to_string(k + 1) + "\r\n00:00:01,000 --> 00:00:02,000\r\n" + pad + Bytes(u8"가\U0001F600\r\n끝") +
               "\r\n\r\n";
        utf8Body += Block(1000, 2000, pad + Bytes(u8"가\U0001F600<br>\r\n끝"));
        legacyBody += Block(1000, 2000, pad + "\xB0\xA1?<br>\r\n\xB3\xA1");
    }
    CTempDir dir;
    WriteBytes(dir / "in.srt", srt);
    ASSERT_TRUE(CSrtProcessor().WriteSami(dir / "in.srt", dir / "o.smi", dir / "o.UTF8.smi"));
    const std::string title = (dir / "in.srt").string();
    EXPECT_TRUE(ReadBytes(dir / "o.UTF8.smi") == std::string(kBom) + Head(title) + utf8Body + kFoot);
    EXPECT_TRUE(ReadBytes(dir / "o.smi") == Head(title) + legacyBody + kFoot);
}

TEST(WriteSami, NoTimeLineWritesHeadAndFootButFails)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "just text\n");
    EXPECT_FALSE(CSrtProcessor().WriteSami(dir / "in.srt", dir / "o.smi", dir / "o.UTF8.smi"));
    const std::string title = (dir / "in.srt").string();
    EXPECT_EQ(ReadBytes(dir / "o.UTF8.smi"), std::string(kBom) + Head(title) + kFoot);
    EXPECT_EQ(ReadBytes(dir / "o.smi"), Head(title) + kFoot);
}

TEST(WriteSami, UnreadableInputTouchesNoFile)
{
    CTempDir dir;
    WriteBytes(dir / "o.smi", "keep");
    WriteBytes(dir / "empty.srt", "");
    for (const char* pName : {"missing.srt", "empty.srt"})
    {
        EXPECT_FALSE(CSrtProcessor().WriteSami(dir / pName, dir / "o.smi", dir / "o.UTF8.smi")) << pName;
        EXPECT_EQ(ReadBytes(dir / "o.smi"), "keep");
        EXPECT_FALSE(std::filesystem::exists(dir / "o.UTF8.smi"));
    }
}

TEST(WriteSami, FailedWritesReportFailureAndKeepOldFiles)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "1\n00:00:01,000 --> 00:00:02,000\na\n\n");
    WriteBytes(dir / "o.smi", "old");
    WriteBytes(dir / "o.UTF8.smi", "old");
    CSrtProcessor srt;
    // The SAMI path cannot be opened: nothing is written.
    EXPECT_FALSE(srt.WriteSami(dir / "in.srt", dir / "nofolder" / "o.smi", dir / "o.UTF8.smi"));
    EXPECT_EQ(ReadBytes(dir / "o.UTF8.smi"), "old");
    // Either file failing to write fails the call; the other is still written.
    EXPECT_FALSE(srt.WriteSami(dir / "in.srt", testutil::FullDevice(), dir / "o.UTF8.smi"));
    EXPECT_NE(ReadBytes(dir / "o.UTF8.smi"), "old");
    EXPECT_FALSE(srt.WriteSami(dir / "in.srt", dir / "o.smi", testutil::FullDevice()));
    EXPECT_NE(ReadBytes(dir / "o.smi"), "old");
    EXPECT_FALSE(srt.WriteSami(dir / "in.srt", dir / "o.smi", dir.Path()));
}

TEST(WriteSami, OutputMayReplaceTheInput)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "1\n00:00:01,000 --> 00:00:02,000\na\n\n");
    ASSERT_TRUE(CSrtProcessor().WriteSami(dir / "in.srt", dir / "in.srt", dir / "u.smi"));
    EXPECT_EQ(ReadBytes(dir / "in.srt"), Head((dir / "in.srt").string()) + Block(1000, 2000, "a") + kFoot);
}
}  // namespace
