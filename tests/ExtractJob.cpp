#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace testutil;

namespace
{
struct CExtractCase
{
    const char* name;
    std::string input;     // LF line ends, written with CR LF
    std::string expected;  // LF line ends, without the byte-order mark
    int64_t nCues;
};

class ExtractTextTest : public testing::TestWithParam<CExtractCase>
{
};

TEST_P(ExtractTextTest, WritesCueTexts)
{
    const CExtractCase& c = GetParam();
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf(c.input));
    CSrtJobStats stats;
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.ExtractText(dir / "in.srt", dir / "out.txt", &stats));
    EXPECT_EQ(ReadBytes(dir / "out.txt"), Saved(c.expected));
    EXPECT_EQ(stats.m_nCuesWritten, c.nCues);
}

const CExtractCase kCases[] = {
    {"SeparatesCuesByThreeEmptyLines",
     "1\n00:00:01,000 --> 00:00:02,000\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nA\nB\n\n",
     "Hello\n\n\n\nA\nB\n\n\n\n", 2},
    {"JoinsLeadingTagLine", "1\n00:00:01,000 --> 00:00:02,000\n<i>\nHi</i>\n", "<i>Hi</i>\n\n\n\n", 1},
    {"KeepsMarkupAndOcrLookalikes", "1\n00:00:01,000 --> 00:00:02,000\n<b>lt's ''1 000''</b>\n",
     "<b>lt's ''1 000''</b>\n\n\n\n", 1},
    {"EmptyCueGivesEmptyText",
     "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n",
     "\n\n\n\nB\n\n\n\n", 2},
    {"LastCueLosesTrailingBreaks", "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n",
     "A\n\n\n\nB\n\n\n\n", 2},
};
INSTANTIATE_TEST_SUITE_P(Cases, ExtractTextTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

TEST(ExtractText, FailsWithoutTimeLineAndWritesNothing)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "just some text\r\n");
    WriteBytes(dir / "empty.srt", "");
    const CSrtProcessor processor;
    EXPECT_FALSE(processor.ExtractText(dir / "in.srt", dir / "out.txt"));
    EXPECT_FALSE(processor.ExtractText(dir / "empty.srt", dir / "out.txt"));
    EXPECT_FALSE(processor.ExtractText(dir / "missing.srt", dir / "out.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
}

TEST(ExtractText, OutputMayReplaceInput)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf("1\n00:00:01,000 --> 00:00:02,000\nA\n"));
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.ExtractText(dir / "in.srt", dir / "in.srt"));
    EXPECT_EQ(ReadBytes(dir / "in.srt"), Saved("A\n\n\n\n"));
}
}  // namespace
