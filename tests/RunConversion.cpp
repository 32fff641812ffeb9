#include <string>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "run/RunDispatch.h"
#include "text/Unicode.h"

using namespace tavrel;

using namespace testutil;

namespace
{
const std::string kSrt = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n";
const std::string kAss =
    "[Script Info]\r\n[V4+ Styles]\r\n[Events]\r\nFormat: Start, End, Text\r\nDialogue: 0:00:01.00,0:00:02.00,Hi\r\n";
const std::string kSami = "<SAMI><BODY><SYNC Start=1><P Class=KRCC>a<P Class=ENCC>b</BODY></SAMI>";

struct CConversionCase
{
    const char* pName;
    std::string input;  // relative to the temporary folder
    std::string bytes;
    MessageId nMessage;
    int32_t nCount;
    std::vector<std::string> outputs;
    std::string blocked = "";  // a folder where an output would go
};

class RunConversionTest : public testing::TestWithParam<CConversionCase>
{};

TEST_P(RunConversionTest, NamesOutputsAndReports)
{
    const CConversionCase& c = GetParam();
    CTempDir dir;
    std::filesystem::create_directories((dir / c.input).parent_path());
    WriteBytes(dir / c.input, c.bytes);
    if (!c.blocked.empty())
        std::filesystem::create_directory(dir / c.blocked);
    const CRunResult result = RunConversion(PathToU16(dir / c.input));
    EXPECT_EQ(result.m_nMessage, c.nMessage);
    EXPECT_EQ(result.m_nCount, c.nCount);
    size_t nFiles = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
        nFiles += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(nFiles, c.outputs.size() + 1);
    for (const std::string& output : c.outputs)
        EXPECT_TRUE(std::filesystem::is_regular_file(dir / output)) << output;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RunConversionTest,
    testing::Values(
        CConversionCase{"SrtToSami", "movie.srt", kSrt, MessageId::SrtToSamiDone, 0, {"movie.smi", "movie.UTF8.smi"}},
        CConversionCase{
            "SrtNamedSmi", "movie.smi", kSrt, MessageId::SrtToSamiDone, 0, {"movie.smi.smi", "movie.smi.UTF8.smi"}},
        CConversionCase{"SrtNamedSmiInCapitals",
                        "movie.SMI",
                        kSrt,
                        MessageId::SrtToSamiDone,
                        0,
                        {"movie.SMI.smi", "movie.SMI.UTF8.smi"}},
        CConversionCase{"AssToSrt", "show.ass", kAss, MessageId::AssToSrtDone, 0, {"show.srt"}},
        CConversionCase{"AssNamedSrt", "Movie.SRT", kAss, MessageId::AssToSrtDone, 0, {"Movie.SRT.srt"}},
        CConversionCase{
            "AssWithoutExtension", "sub.dir/movie", kAss, MessageId::AssToSrtDone, 0, {"sub.dir/movie.srt"}},
        CConversionCase{
            "AssWithoutFormat", "bad.ssa", "[Script Info]\n[V4 Styles]\n[Events]\n", MessageId::AssToSrtFailed, 0, {}},
        CConversionCase{"SamiToSrt", "two.smi", kSami, MessageId::SamiToSrtDone, 2, {"two.KRCC.srt", "two.ENCC.srt"}},
        CConversionCase{"SamiWithoutCaptions", "none.smi", "<SAMI><SYNC Start=1>", MessageId::SamiToSrtFailed, 0, {}},
        CConversionCase{"Unrecognised", "notes.txt", "plain words\n", MessageId::FormatError, 0, {}},
        CConversionCase{"SamiBlocked", "movie.srt", kSrt, MessageId::SrtToSamiFailed, 0, {}, "movie.smi"},
        CConversionCase{"SrtBlocked", "show.ass", kAss, MessageId::AssToSrtFailed, 0, {}, "show.srt"},
        CConversionCase{
            "OneOfTwoSrtBlocked", "two.smi", kSami, MessageId::SamiToSrtFailed, 0, {"two.KRCC.srt"}, "two.ENCC.srt"}),
    [](const testing::TestParamInfo<CConversionCase>& info) { return std::string(info.param.pName); });

}  // namespace
