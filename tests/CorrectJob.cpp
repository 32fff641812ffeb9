#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace tavrel;

using namespace testutil;

namespace
{
// Runs the correction on an SRT text (LF line ends); the saved output. The cue number 7 comes out as 1; empty
// cues, a last cue without a blank line and the OCR repairs are golden cases (correct_empty_cues, offset_ocr).
std::string Correct(const std::string& srt, double dFactor, double dOffset)
{
    CTextBuffer source;
    LoadInto(source, Crlf(srt));
    CStringSink out;
    EXPECT_FALSE(CSrtProcessor().CorrectSrt(source, CTimeMap{dFactor, dOffset}, COcrOptions{0u}, out).IsFailure());
    return SinkBytes(out);
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

}  // namespace
