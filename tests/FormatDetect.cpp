#include <string>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "convert/FormatDetect.h"

using namespace tavrel;

using namespace testutil;

namespace
{
struct CDetectCase
{
    std::string bytes;
    SubtitleFormat nFormat;
};

class FormatDetectTest : public testing::TestWithParam<CDetectCase>
{};

TEST_P(FormatDetectTest, TellsFormatFromContent)
{
    CTempDir dir;
    WriteBytes(dir / "input.txt", GetParam().bytes);
    EXPECT_EQ(DetectFormat(dir / "input.txt"), GetParam().nFormat);
}

const std::string kTime = "00:00:01,000 --> 00:00:02,500";
const std::string kAss = "[Script Info]\n[V4+ Styles]\n[Events]\n";

INSTANTIATE_TEST_SUITE_P(
    Contents, FormatDetectTest,
    testing::Values(
        CDetectCase{kAss, FormatAss}, CDetectCase{"[Script Info]\r\n[V4 Styles]\r\n[Events]", FormatAss},
        CDetectCase{"<SAMI>\n<SYNC Start=1>\n1\n" + kTime + "\nx\n" + kAss, FormatAss},
        CDetectCase{"[Script Info]\n[V4+ Styles]\n   [Events]\t\n", FormatAss},
        CDetectCase{"[Script Info]\n[V4+ Styles]\n[events]\n", FormatUnrecognised},
        CDetectCase{"[Script Info]\n[Events]\n", FormatUnrecognised},
        CDetectCase{"[Script Info]\n[V4+ Styles]\nx [Events]\n", FormatUnrecognised},
        CDetectCase{kTime + "\nx", FormatSrt}, CDetectCase{"1\n  " + kTime + " \t\nx\n", FormatSrt},
        CDetectCase{"1\n0:00:01,000 --> 00:00:02,500\nx\n", FormatUnrecognised},
        CDetectCase{"1\n00:00:01.000 --> 00:00:02,500\nx\n", FormatUnrecognised},
        CDetectCase{"1\n" + kTime, FormatUnrecognised}, CDetectCase{"1\n" + kTime + "\n", FormatUnrecognised},
        CDetectCase{"1\n" + kTime + "\n\n", FormatSrt}, CDetectCase{"1 " + kTime + "\nx\n", FormatUnrecognised},
        CDetectCase{"<sAmI lang=ko>\n<Sync Start=1>", FormatSami}, CDetectCase{"<sync start=1>\n<SAMI>", FormatSami},
        CDetectCase{"<SAMI>\n<SYNC\tStart=1>", FormatUnrecognised},
        CDetectCase{"<SAMI>\n<SYNC \nStart=1>", FormatUnrecognised}, CDetectCase{"<SAMI>\n<P>x", FormatUnrecognised},
        CDetectCase{"<SAMIX>\n<SAMI>\n<SYNC Start=1>", FormatUnrecognised},
        CDetectCase{"<SYNC a<sami", FormatUnrecognised}, CDetectCase{"just some words\n", FormatUnrecognised},
        CDetectCase{std::string("\xFF\xFE\x00\xD8\x00\x00\r\x00", 8), FormatUnrecognised}));
}  // namespace
