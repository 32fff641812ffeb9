#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "run/Job.h"
#include "text/Unicode.h"

using namespace tavrel;

using namespace testutil;

namespace
{
TEST(CShift, MapsBothPointsAndRefusesEqualTimes)
{
    struct
    {
        uint32_t nSrc1, nDst1, nSrc2, nDst2;
        double dFactor, dOffset;
    } const cases[] = {{11000, 22000, 1000, 2000, 2.0, 0.0},  // the points in either order
                       {0, 10000, 10000, 0, -1.0, 10000.0},
                       {0, 0, 4294967295u, 1, 1.0 / 4294967295.0, 0.0},
                       {4294967295u, 0, 0, 4294967295u, -1.0, 4294967295.0}};
    CTimeMap timeMap;
    for (const auto& c : cases)
    {
        const CShift shift{ShiftKind::Detailed, 999, c.nSrc1, c.nDst1, c.nSrc2, c.nDst2};
        ASSERT_TRUE(shift.Resolve(timeMap));
        EXPECT_DOUBLE_EQ(timeMap.m_dFactor, c.dFactor);
        EXPECT_NEAR(timeMap.m_dOffset, c.dOffset, 1e-6);
    }
    EXPECT_FALSE((CShift{ShiftKind::Detailed, 0, 1000, 2000, 5000, 2000}.Resolve(timeMap)));
    ASSERT_TRUE((CShift{ShiftKind::Basic, -1500, 5, 5, 5, 5}.Resolve(timeMap)));  // the map is not read
    EXPECT_EQ(timeMap.m_dFactor, 1.0);
    EXPECT_EQ(timeMap.m_dOffset, -1500.0);
}

const std::string kCue = "1\r\n00:00:05,000 --> 00:00:07,250\r\nHi\r\n";

// A folder with one SRT file and one text file, and requests for it.
class JobTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(m_dir / "in.srt", kCue);
        WriteBytes(m_dir / "in.txt", "Hello\r\n");
    }
    std::filesystem::path Path(const char* pName) const { return pName ? m_dir / pName : std::filesystem::path(); }
    CJobRequest Request(Mode nMode, const char* pInput = "in.srt", const char* pText = "in.txt",
                        const char* pOutput = "out.srt") const
    {
        return {.m_nMode = nMode, .m_input = Path(pInput), .m_text = Path(pText), .m_output = Path(pOutput)};
    }
    CTempDir m_dir;
};

TEST_F(JobTest, ChecksStopBeforeTheJob)
{
    struct
    {
        Mode nMode;
        const char *pInput, *pText, *pOutput;
        MessageId nExpected;
        const char* pReason;
    } const cases[] = {
        {Mode::Convert, nullptr, "in.txt", "out.srt", MessageId::None, ""},  // empty input
        {Mode::Extract, "in.srt", "in.txt", nullptr, MessageId::None, ""},   // empty output
        {Mode::Merge, "in.srt", nullptr, "out.srt", MessageId::None, ""},    // empty text file
        {Mode::Correct, "missing.srt", nullptr, "out.srt", MessageId::SourceReadError, "missing.srt: missing"},
        {Mode::Merge, "missing.srt", "missing.txt", "out.srt", MessageId::SourceReadError, "missing.srt: missing"},
        {static_cast<Mode>(7), "in.srt", "in.txt", "out.srt", MessageId::None, ""}};  // unknown mode runs nothing
    for (const auto& c : cases)
    {
        const CJobOutcome outcome = CheckAndRunJob(Request(c.nMode, c.pInput, c.pText, c.pOutput));
        EXPECT_EQ(outcome.m_nMessage, c.nExpected) << static_cast<int>(c.nMode);
        const std::string& detail = outcome.m_failure.m_strDetail;
        EXPECT_EQ(detail.substr(detail.find_last_of("/\\") + 1), c.pReason);
        EXPECT_FALSE(std::filesystem::exists(m_dir / "out.srt"));
    }
    CJobRequest request = Request(Mode::Correct);  // the input path is taken untrimmed
    request.m_input = PathFromU16(u" " + PathToU16(request.m_input));
    EXPECT_EQ(CheckAndRunJob(request).m_nMessage, MessageId::SourceReadError);
}

const std::string kSrt = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n";
const std::string kAss =
    "[Script Info]\r\n[V4+ Styles]\r\n[Events]\r\nFormat: Start, End, Text\r\nDialogue: 0:00:01.00,0:00:02.00,Hi\r\n";
const std::string kAssWithoutFormat = "[Script Info]\n[V4 Styles]\n[Events]\n";
const std::string kSami = "<SAMI><BODY><SYNC Start=1><P Class=KRCC>a<P Class=ENCC>b</BODY></SAMI>";

// A conversion; blocked is a folder where an output would go.
struct CConversionCase
{
    const char* pName;
    std::string input;  // relative to the temporary folder
    std::string bytes;
    std::string blocked;
    FailureKind nKind;
    MessageId nMessage;
    int32_t nCount;
    std::vector<std::string> outputs;
};

using enum FailureKind;
using M = MessageId;
const CConversionCase kConversions[] = {
    {"AssWithoutExtension", "sub.dir/movie", kAss, "", None, M::AssToSrtDone, 0, {"sub.dir/movie.srt"}},
    {"SamiToSrt", "sub/a.s", kSami, "", None, M::SamiToSrtDone, 2, {"sub/a.KRCC.srt", "sub/a.ENCC.srt"}},
    {"AssWithoutFormat", "bad.ssa", kAssWithoutFormat, "", NoEventsFormat, M::AssToSrtFailed, 0, {}},
    {"SamiWithoutCaptions", "none.smi", "<SAMI><SYNC Start=1>", "", NoCaptionClass, M::SamiToSrtFailed, 0, {}},
    {"SamiBlocked", "movie.srt", kSrt, "movie.smi", OutputUnwritable, M::SrtToSamiFailed, 0, {}},
    {"SrtBlocked", "show.ass", kAss, "show.srt", OutputUnwritable, M::AssToSrtFailed, 0, {}},
    {"OneOfTwoSrtBlocked", "two.smi", kSami, "two.ENCC.srt", OutputUnwritable, M::SamiToSrtFailed, 0, {"two.KRCC.srt"}},
};

class ConversionTest : public testing::TestWithParam<CConversionCase>
{};

TEST_P(ConversionTest, NamesOutputsAndReports)
{
    const CConversionCase& c = GetParam();
    CTempDir dir;
    std::filesystem::create_directories((dir / c.input).parent_path());
    WriteBytes(dir / c.input, c.bytes);
    if (!c.blocked.empty())
        std::filesystem::create_directory(dir / c.blocked);
    const CJobOutcome outcome = RunJob({.m_nMode = Mode::Convert, .m_input = dir / c.input});
    EXPECT_EQ(outcome.m_nMessage, c.nMessage);
    EXPECT_EQ(outcome.m_nCount, c.nCount);
    EXPECT_EQ(outcome.m_failure.m_nKind, c.nKind);
    size_t nFiles = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
        nFiles += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(nFiles, c.outputs.size() + 1);
    for (const std::string& output : c.outputs)
        EXPECT_TRUE(std::filesystem::is_regular_file(dir / output)) << output;
}

INSTANTIATE_TEST_SUITE_P(Inputs, ConversionTest, testing::ValuesIn(kConversions),
                         [](const testing::TestParamInfo<CConversionCase>& info) {
                             return std::string(info.param.pName);
                         });

}  // namespace
