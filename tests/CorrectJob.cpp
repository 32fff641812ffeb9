#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace testutil;

namespace
{
struct CCorrectCase
{
    const char* name;
    std::string input;  // LF line ends, written with CR LF
    double dFactor;
    double dOffset;
    int bReplace85;
    int bFixQuotes;
    int bFixLetterL;
    int bRemoveDigitSpaces;
    std::string expected;  // LF line ends, without the byte-order mark
    int64_t nCues;
};

class CorrectSrtTest : public testing::TestWithParam<CCorrectCase>
{
};

TEST_P(CorrectSrtTest, WritesCorrectedFile)
{
    const CCorrectCase& c = GetParam();
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf(c.input));
    CSrtJobStats stats;
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.CorrectSrt(dir / "in.srt", dir / "out.srt", c.dFactor, c.dOffset, c.bReplace85,
                                     c.bFixQuotes, c.bFixLetterL, c.bRemoveDigitSpaces, 0, &stats));
    EXPECT_EQ(ReadBytes(dir / "out.srt"), Saved(c.expected));
    EXPECT_EQ(stats.m_nCuesWritten, c.nCues);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

const CCorrectCase kCases[] = {
    {"ShiftsByNegativeOffset", "1\n00:00:05,000 --> 00:00:07,250\nHi\n", 1.0, -1500.0, 0, 0, 0, 0,
     "1\n00:00:03,500 --> 00:00:05,750\nHi\n\n", 1},
    {"ZeroOffsetKeepsTimesAndCleansText", "7\n00:00:01,000 --> 00:00:02,000\n<i>\nHi</i>\n\n\n", 1.0, 0.0, 0, 0,
     0, 0, "1\n00:00:01,000 --> 00:00:02,000\n<i>Hi</i>\n\n", 1},
    {"StretchesByFactor", "1\n00:00:06,000 --> 00:00:07,000\nA\n", 2.0, 0.0, 0, 0, 0, 0,
     "1\n00:00:12,000 --> 00:00:14,000\nA\n\n", 1},
    {"RoundsHalfUp", "1\n00:00:00,001 --> 00:00:00,003\nA\n", 0.5, 0.0, 0, 0, 0, 0,
     "1\n00:00:00,001 --> 00:00:00,002\nA\n\n", 1},
    {"RenumbersFromOne",
     "5\n00:00:01,000 --> 00:00:02,000\nA\n\n9\n00:00:03,000 --> 00:00:04,000\nB\n\n"
     "12\n00:00:05,000 --> 00:00:06,000\nC\n",
     1.0, 0.0, 0, 0, 0, 0,
     "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n"
     "3\n00:00:05,000 --> 00:00:06,000\nC\n\n",
     3},
    {"KeepsLastCueWithoutBlankLine", "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB",
     1.0, 0.0, 0, 0, 0, 0, "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n", 2},
    {"EmptyCueKeepsNextCue", "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n", 1.0,
     1000.0, 0, 0, 0, 0, "1\n00:00:02,000 --> 00:00:03,000\n\n\n2\n00:00:04,000 --> 00:00:05,000\nB\n\n", 2},
    {"ClampsTimesBeforeZero", "1\n00:00:05,000 --> 00:00:12,000\nA\n", 1.0, -10000.0, 0, 0, 0, 0,
     "1\n00:00:00,000 --> 00:00:02,000\nA\n\n", 1},
    {"ClampsHugeTimes", "1\n00:00:01,000 --> 00:00:02,000\nA\n", 1e300, 0.0, 0, 0, 0, 0,
     "1\n99:59:59,999 --> 99:59:59,999\nA\n\n", 1},
    {"ClampsHugeNegativeTimes", "1\n00:00:01,000 --> 00:00:02,000\nA\n", -1e300, 0.0, 0, 0, 0, 0,
     "1\n00:00:00,000 --> 00:00:00,000\nA\n\n", 1},
    {"NaNTimesBecomeZero", "1\n00:00:01,000 --> 00:00:02,000\nA\n", kNaN, 0.0, 0, 0, 0, 0,
     "1\n00:00:00,000 --> 00:00:00,000\nA\n\n", 1},
    {"InfiniteOffsetClamps", "1\n00:00:01,000 --> 00:00:02,000\nA\n", 1.0, kInfinity, 0, 0, 0, 0,
     "1\n99:59:59,999 --> 99:59:59,999\nA\n\n", 1},
    {"HundredHoursAndMoreShowAsLimit", "1\n99:00:00,000 --> 99:59:59,000\nA\n", 1.0, 3600000.0, 0, 0, 0, 0,
     "1\n99:59:59,999 --> 99:59:59,999\nA\n\n", 1},
    {"KeepsReversedOrder", "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n", -1.0,
     10000.0, 0, 0, 0, 0,
     "1\n00:00:09,000 --> 00:00:08,000\nA\n\n2\n00:00:07,000 --> 00:00:06,000\nB\n\n", 2},
    {"AppliesOcrOptions", "1\n00:00:01,000 --> 00:00:02,000\n'' lt's 1 000\xC2\x85''\nWorld War ll\n", 1.0, 0.0,
     1, 1, 1, 1, "1\n00:00:01,000 --> 00:00:02,000\n\"It's 1000 \"\nWorld War II\n\n", 1},
    {"SkipsTextBeforeFirstTimeLine", "garbage\n1\n00:00:01,000 --> 00:00:02,000\nA\n", 1.0, 0.0, 0, 0, 0, 0,
     "1\n00:00:01,000 --> 00:00:02,000\nA\n\n", 1},
    {"KeepsKoreanText", "1\n00:00:01,000 --> 00:00:02,000\n\xEC\x95\x88\xEB\x85\x95\n", 1.0, 0.0, 0, 0, 0, 0,
     "1\n00:00:01,000 --> 00:00:02,000\n\xEC\x95\x88\xEB\x85\x95\n\n", 1},
};
INSTANTIATE_TEST_SUITE_P(Cases, CorrectSrtTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

TEST(CorrectSrt, FailsWithoutTimeLineAndWritesNothing)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "1\r\n00:00:01.000 --> 00:00:02,000\r\nA\r\n");
    const CSrtProcessor processor;
    EXPECT_FALSE(processor.CorrectSrt(dir / "in.srt", dir / "out.srt", 1.0, 0.0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.srt"));
}

TEST(CorrectSrt, FailsOnMissingInputOrUnwritableOutput)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf("1\n00:00:01,000 --> 00:00:02,000\nA\n"));
    const CSrtProcessor processor;
    EXPECT_FALSE(processor.CorrectSrt(dir / "missing.srt", dir / "out.srt", 1.0, 0.0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(processor.CorrectSrt(dir / "in.srt", dir / "no" / "out.srt", 1.0, 0.0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.srt"));
}

TEST(CorrectSrt, OutputMayReplaceInput)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf("4\n00:00:01,000 --> 00:00:02,000\nA\n"));
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.CorrectSrt(dir / "in.srt", dir / "in.srt", 1.0, 500.0, 0, 0, 0, 0, 0));
    EXPECT_EQ(ReadBytes(dir / "in.srt"), Saved("1\n00:00:01,500 --> 00:00:02,500\nA\n\n"));
}

TEST(CorrectSrt, ReadsUtf16Input)
{
    CTempDir dir;
    const std::u16string text = u"1\r\n00:00:01,000 --> 00:00:02,000\r\n\xC548\xB155\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text)
    {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    WriteBytes(dir / "in.srt", bytes);
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.CorrectSrt(dir / "in.srt", dir / "out.srt", 1.0, 0.0, 0, 0, 0, 0, 0));
    EXPECT_EQ(ReadBytes(dir / "out.srt"), Saved("1\n00:00:01,000 --> 00:00:02,000\n\xEC\x95\x88\xEB\x85\x95\n\n"));
}
}  // namespace
