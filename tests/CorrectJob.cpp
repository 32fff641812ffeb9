#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace tavrel;

using namespace testutil;

namespace
{
// Runs the correction on an SRT text (LF line ends); the saved output.
std::string Correct(const std::string& srt, double dFactor, double dOffset, int bAll = 0)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf(srt));
    EXPECT_TRUE(
        CSrtProcessor().CorrectSrt(dir / "in.srt", dir / "out.srt", dFactor, dOffset, bAll, bAll, bAll, bAll, 0));
    return ReadBytes(dir / "out.srt");
}

struct CTimingCase
{
    double dFactor;
    double dOffset;
    std::string timeLine;
};

class CorrectTimingTest : public testing::TestWithParam<CTimingCase>
{};

TEST_P(CorrectTimingTest, RetimesAndClampsIntoRange)
{
    const CTimingCase& c = GetParam();
    EXPECT_EQ(Correct("7\n00:00:05,000 --> 00:00:07,250\nHi\n", c.dFactor, c.dOffset),
              Saved("1\n" + c.timeLine + "\nHi\n\n"));
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Cases, CorrectTimingTest,
                         testing::Values(CTimingCase{1.0, -1500.0, "00:00:03,500 --> 00:00:05,750"},
                                         CTimingCase{2.0, 0.0, "00:00:10,000 --> 00:00:14,500"},
                                         CTimingCase{1.0, 0.5, "00:00:05,001 --> 00:00:07,251"},
                                         CTimingCase{1.0, 0.499, "00:00:05,000 --> 00:00:07,250"},
                                         CTimingCase{-1.0, 10000.0, "00:00:05,000 --> 00:00:02,750"},
                                         CTimingCase{1.0, -6000.0, "00:00:00,000 --> 00:00:01,250"},
                                         CTimingCase{1.0, 360000000.0, "99:59:59,999 --> 99:59:59,999"},
                                         CTimingCase{1e300, 0.0, "99:59:59,999 --> 99:59:59,999"},
                                         CTimingCase{-1e300, 0.0, "00:00:00,000 --> 00:00:00,000"},
                                         CTimingCase{kNaN, 0.0, "00:00:00,000 --> 00:00:00,000"},
                                         CTimingCase{1.0, kInfinity, "99:59:59,999 --> 99:59:59,999"}));

TEST(CorrectSrt, RenumbersAndKeepsLastCueWithoutBlankLine)
{
    EXPECT_EQ(Correct("5\n00:00:01,000 --> 00:00:02,000\nA\n\n9\n00:00:03,000 --> 00:00:04,000\nB", 1.0, 0.0),
              Saved("1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n"));
}

TEST(CorrectSrt, EmptyCueKeepsNextCue)
{
    EXPECT_EQ(Correct("1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n", 1.0, 0.0),
              Saved("1\n00:00:01,000 --> 00:00:02,000\n\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n"));
}

// The second run sees the same cues in the strict form: nothing left to repair, the same bytes.
TEST(CorrectSrt, ReadsTolerantTimeLinesCountsThemAndCorrectsToAFixedPoint)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf("1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:013,567 --> 00:00:15,000 \nB\n\n"
                                    "3\n0:00:16.5 --> 0:00:17.25 X1:40 X2:600 Y1:20 Y2:50\nC\n"));
    const CSrtProcessor srt;
    CSrtJobStats stats;
    ASSERT_TRUE(srt.CorrectSrt(dir / "in.srt", dir / "once.srt", 1.0, 0.0, 0, 0, 0, 0, 0, &stats));
    EXPECT_EQ(stats.m_nCuesWritten, 3);
    EXPECT_EQ(stats.m_nTolerantTimeLines, 2);
    EXPECT_EQ(ReadBytes(dir / "once.srt"), Saved("1\n00:00:01,000 --> 00:00:02,000\nA\n\n"
                                                 "2\n00:00:13,567 --> 00:00:15,000\nB\n\n"
                                                 "3\n00:00:16,500 --> 00:00:17,250\nC\n\n"));
    ASSERT_TRUE(srt.CorrectSrt(dir / "once.srt", dir / "twice.srt", 1.0, 0.0, 0, 0, 0, 0, 0, &stats));
    EXPECT_EQ(stats.m_nTolerantTimeLines, 0);
    EXPECT_EQ(ReadBytes(dir / "twice.srt"), ReadBytes(dir / "once.srt"));
}

TEST(CorrectSrt, RepairsEachCueText)
{
    const std::string srt = "1\n00:00:01,000 --> 00:00:02,000\n<i>\n'' lt's 1 000\xC2\x85''\nWorld War ll\n\n\n";
    EXPECT_EQ(Correct(srt, 1.0, 0.0, 1),
              Saved("1\n00:00:01,000 --> 00:00:02,000\n<i>\"It's 1000 \"\nWorld War II\n\n"));
    EXPECT_EQ(Correct(srt, 1.0, 0.0, 0),
              Saved("1\n00:00:01,000 --> 00:00:02,000\n<i>'' lt's 1 000\xC2\x85''\nWorld War ll\n\n"));
}

}  // namespace
