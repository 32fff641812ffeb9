#include <string>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "convert/FormatDetect.h"

using testutil::CTempDir;
using testutil::WriteBytes;

namespace
{
struct CDetectCase
{
    const char* pName;
    std::string bytes;
    SubtitleFormat nFormat;
};

class FormatDetectTest : public testing::TestWithParam<CDetectCase>
{
};

TEST_P(FormatDetectTest, TellsFormatFromContent)
{
    CTempDir dir;
    WriteBytes(dir / "input.txt", GetParam().bytes);
    EXPECT_EQ(DetectFormat(dir / "input.txt"), GetParam().nFormat);
}

const std::string kTime = "00:00:01,000 --> 00:00:02,500";
const std::string kAss = "[Script Info]\n[V4+ Styles]\n[Events]\n";

INSTANTIATE_TEST_SUITE_P(
    Ass, FormatDetectTest,
    testing::Values(CDetectCase{"AllHeadings", kAss, FormatAss},
                    CDetectCase{"OldStyles", "[Script Info]\r\n[V4 Styles]\r\n[Events]", FormatAss},
                    CDetectCase{"BeatsSrtAndSami", "<SAMI>\n<SYNC Start=1>\n1\n" + kTime + "\nx\n" + kAss, FormatAss},
                    CDetectCase{"BlanksAroundHeading", "[Script Info]\n[V4+ Styles]\n   [Events]\t\n", FormatAss},
                    CDetectCase{"SmallHeading", "[Script Info]\n[V4+ Styles]\n[events]\n", FormatUnrecognised},
                    CDetectCase{"NoStyles", "[Script Info]\n[Events]\n", FormatUnrecognised},
                    CDetectCase{"HeadingInsideLine", "[Script Info]\n[V4+ Styles]\nx [Events]\n", FormatUnrecognised}),
    [](const testing::TestParamInfo<CDetectCase>& info) { return std::string(info.param.pName); });

INSTANTIATE_TEST_SUITE_P(
    Srt, FormatDetectTest,
    testing::Values(CDetectCase{"Cue", "1\n" + kTime + "\nHello\n", FormatSrt},
                    CDetectCase{"FirstLine", kTime + "\nx", FormatSrt},
                    CDetectCase{"Indented", "1\n  " + kTime + " \t\nx\n", FormatSrt},
                    CDetectCase{"OneDigitHour", "1\n0:00:01,000 --> 00:00:02,500\nx\n", FormatUnrecognised},
                    CDetectCase{"FullStop", "1\n00:00:01.000 --> 00:00:02,500\nx\n", FormatUnrecognised},
                    CDetectCase{"LastLine", "1\n" + kTime, FormatUnrecognised},
                    CDetectCase{"LastLineWithEnd", "1\n" + kTime + "\n", FormatUnrecognised},
                    CDetectCase{"EmptyLineAfter", "1\n" + kTime + "\n\n", FormatSrt},
                    CDetectCase{"TextBefore", "1 " + kTime + "\nx\n", FormatUnrecognised}),
    [](const testing::TestParamInfo<CDetectCase>& info) { return std::string(info.param.pName); });

INSTANTIATE_TEST_SUITE_P(
    Sami, FormatDetectTest,
    testing::Values(CDetectCase{"Plain", "<SAMI>\n<BODY>\n<SYNC Start=1><P>x", FormatSami},
                    CDetectCase{"AnyCase", "<sAmI lang=ko>\n<Sync Start=1>", FormatSami},
                    CDetectCase{"SyncBeforeSami", "<sync start=1>\n<SAMI>", FormatSami},
                    CDetectCase{"SyncWithTab", "<SAMI>\n<SYNC\tStart=1>", FormatUnrecognised},
                    CDetectCase{"SyncEndsLine", "<SAMI>\n<SYNC \nStart=1>", FormatUnrecognised},
                    CDetectCase{"NoSync", "<SAMI>\n<P>x", FormatUnrecognised},
                    CDetectCase{"FirstSamiWins", "<SAMIX>\n<SAMI>\n<SYNC Start=1>", FormatUnrecognised},
                    CDetectCase{"SamiAtEnd", "<SYNC a<sami", FormatUnrecognised}),
    [](const testing::TestParamInfo<CDetectCase>& info) { return std::string(info.param.pName); });

INSTANTIATE_TEST_SUITE_P(
    Unreadable, FormatDetectTest,
    testing::Values(CDetectCase{"Empty", "", FormatUnrecognised}, CDetectCase{"OneByte", "1", FormatUnrecognised},
                    CDetectCase{"Text", "just some words\n", FormatUnrecognised},
                    CDetectCase{"Binary", std::string("\xFF\xFE\x00\xD8\x00\x00\r\x00", 8), FormatUnrecognised}),
    [](const testing::TestParamInfo<CDetectCase>& info) { return std::string(info.param.pName); });

TEST(FormatDetect, MissingFileIsUnrecognised)
{
    CTempDir dir;
    EXPECT_EQ(DetectFormat(dir / "missing.srt"), FormatUnrecognised);
    EXPECT_EQ(DetectFormat(dir.Path()), FormatUnrecognised);
}
}  // namespace
