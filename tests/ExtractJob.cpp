#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace testutil;

namespace
{
struct CExtractCase
{
    std::string srt;       // LF line ends, written with CR LF
    std::string expected;  // LF line ends, without the byte-order mark
};

class ExtractTextTest : public testing::TestWithParam<CExtractCase>
{
};

TEST_P(ExtractTextTest, WritesCueTexts)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf(GetParam().srt));
    ASSERT_TRUE(CSrtProcessor().ExtractText(dir / "in.srt", dir / "out.txt"));
    EXPECT_EQ(ReadBytes(dir / "out.txt"), Saved(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractTextTest,
    testing::Values(
        CExtractCase{"1\n00:00:01,000 --> 00:00:02,000\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nA\nB",
                     "Hello\n\n\n\nA\nB\n\n\n\n"},
        CExtractCase{"1\n00:00:01,000 --> 00:00:02,000\n<i>\nHi</i> lt's ''1 000''\n\n\n",
                     "<i>Hi</i> lt's ''1 000''\n\n\n\n"},
        CExtractCase{"1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n",
                     "\n\n\n\nB\n\n\n\n"}));

TEST(ExtractText, FailsWithoutTimeLineAndWritesNothing)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "just some text\r\n");
    const CSrtProcessor processor;
    EXPECT_FALSE(processor.ExtractText(dir / "in.srt", dir / "out.txt"));
    EXPECT_FALSE(processor.ExtractText(dir / "missing.srt", dir / "out.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
}

TEST(ExtractText, OutputMayReplaceInput)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf("1\n00:00:01,000 --> 00:00:02,000\nA\n"));
    CSrtJobStats stats;
    ASSERT_TRUE(CSrtProcessor().ExtractText(dir / "in.srt", dir / "in.srt", &stats));
    EXPECT_EQ(ReadBytes(dir / "in.srt"), Saved("A\n\n\n\n"));
    EXPECT_EQ(stats.m_nCuesWritten, 1);
}
}  // namespace
