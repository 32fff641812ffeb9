#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "convert/FormatDetect.h"
#include "text/TextBuffer.h"
#include "text/Unicode.h"

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
    CTextBuffer text;
    text.Load(dir / "input.txt");  // too short to load: detected in the empty text
    EXPECT_EQ(DetectFormat(text), GetParam().nFormat);
}

const std::string kTime = "00:00:01,000 --> 00:00:02,500";
const std::string kAss = "[Script Info]\n[V4+ Styles]\n[Events]\n";

INSTANTIATE_TEST_SUITE_P(
    Contents, FormatDetectTest,
    testing::Values(CDetectCase{kAss, SubtitleFormat::Ass},
                    CDetectCase{"[Script Info]\r\n[V4 Styles]\r\n[Events]", SubtitleFormat::Ass},
                    CDetectCase{"<SAMI>\n<SYNC Start=1>\n1\n" + kTime + "\nx\n" + kAss, SubtitleFormat::Ass},
                    CDetectCase{"[Script Info]\n[V4+ Styles]\n   [Events]\t\n", SubtitleFormat::Ass},
                    CDetectCase{"[Script Info]\n[V4+ Styles]\n[events]\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"[Script Info]\n[Events]\n", SubtitleFormat::Ass},  // styles missing: the last test
                    CDetectCase{" [Script Info]\n[Events] \n", SubtitleFormat::Ass},
                    CDetectCase{"[Events]\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"[Script Info]\n[Events]\n1\n" + kTime + "\nx\n", SubtitleFormat::Srt},
                    CDetectCase{"[Script Info]\n[Events]\n<SAMI>\n<SYNC Start=1>", SubtitleFormat::Sami},
                    CDetectCase{"[Script Info]\n[V4+ Styles]\nx [Events]\n", SubtitleFormat::Unrecognised},
                    CDetectCase{kTime + "\nx", SubtitleFormat::Srt},
                    CDetectCase{"1\n  " + kTime + " \t\nx\n", SubtitleFormat::Srt},
                    CDetectCase{"1\n0:00:01,000 --> 00:00:02,500\nx\n", SubtitleFormat::Srt},
                    CDetectCase{"1\n00:00:01.000 --> 00:00:02,500 X1:4 X2:6 Y1:2 Y2:5\nx\n", SubtitleFormat::Srt},
                    CDetectCase{"1\n00:00:01.000 --> 00:00:02,500", SubtitleFormat::Unrecognised},
                    CDetectCase{"at 10:30 --> 11:00\n10:30 --> 11:00\nx\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"<SAMI>\n<SYNC Start=1>\n00:00:01.000 --> 00:00:02.000\nx\n", SubtitleFormat::Sami},
                    CDetectCase{kAss + "00:00:01.000 --> 00:00:02.000\nx\n", SubtitleFormat::Ass},
                    CDetectCase{"1\n" + kTime, SubtitleFormat::Unrecognised},
                    CDetectCase{"1\n" + kTime + "\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"1\n" + kTime + "\n\n", SubtitleFormat::Srt},
                    CDetectCase{"1 " + kTime + "\nx\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"<sAmI lang=ko>\n<Sync Start=1>", SubtitleFormat::Sami},
                    CDetectCase{"<sync start=1>\n<SAMI>", SubtitleFormat::Sami},
                    CDetectCase{"<SAMI>\n<SYNC\tStart=1>", SubtitleFormat::Unrecognised},
                    CDetectCase{"<SAMI>\n<SYNC \nStart=1>", SubtitleFormat::Unrecognised},
                    CDetectCase{"<SAMI>\n<P>x", SubtitleFormat::Unrecognised},
                    CDetectCase{"<SAMIX>\n<SAMI>\n<SYNC Start=1>", SubtitleFormat::Unrecognised},
                    CDetectCase{"<SYNC a<sami", SubtitleFormat::Unrecognised},
                    CDetectCase{"[x] [Script Info]\n[Script Info]\n[[V4+ Styles]\n  [V4+ Styles]\n[Events]",
                                SubtitleFormat::Ass},
                    CDetectCase{"\xEA\xB1\x9B\n[Script Info]\n[V4+ Styles]\n[Events]\n", SubtitleFormat::Ass},
                    CDetectCase{"a - b -- c --> d\n1\n" + kTime + "\nx\n", SubtitleFormat::Srt},
                    CDetectCase{"1\nx" + kTime + "\nx\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"1\n" + kTime + " x\nx\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"1\n" + kTime + "\t" + kTime + "\nx\n", SubtitleFormat::Unrecognised},
                    CDetectCase{"just some words\n", SubtitleFormat::Unrecognised},
                    CDetectCase{std::string("\xFF\xFE\x00\xD8\x00\x00\r\x00", 8), SubtitleFormat::Unrecognised}));

// Units that hold the searched byte elsewhere (U+5B00, U+AC5B for '[') are passed over.
TEST(FindRareUnit, FindsOnlyWholeUnits)
{
    const std::u16string text = u"\u5B00\uAC5B[x[";
    const std::tuple<char16_t, size_t, size_t> cases[] = {{u'[', 0, 2},
                                                          {u'[', 3, 4},
                                                          {u'[', 5, std::u16string::npos},
                                                          {u'[', 99, std::u16string::npos},
                                                          {u'\u5B00', 0, 0},
                                                          {u'\uAC5B', 0, 1},
                                                          {u'x', 0, 3},
                                                          {u'y', 0, std::u16string::npos}};
    for (const auto& [c, nFrom, nAt] : cases)
        EXPECT_EQ(FindRareUnit(text, c, nFrom), nAt) << static_cast<int>(c) << " from " << nFrom;
    EXPECT_EQ(FindRareUnit(std::u16string_view(), u'[', 0), std::u16string::npos);
}
}  // namespace
