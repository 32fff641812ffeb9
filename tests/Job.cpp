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
        {Mode::Convert, "missing.srt", nullptr, nullptr, MessageId::SourceReadError, "missing.srt: missing"},
        {Mode::Correct, "missing.srt", nullptr, "out.srt", MessageId::SourceReadError, "missing.srt: missing"},
        {Mode::Extract, ".", nullptr, "out.srt", MessageId::SourceReadError, ".: a folder"},
        {Mode::Merge, "in.srt", "missing.txt", "out.srt", MessageId::TextReadError, "missing.txt: missing"},
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

TEST_F(JobTest, ShiftsByOffsetOrTwoPoints)
{
    CJobRequest request = Request(Mode::Correct);
    request.m_shift.m_nOffset = -1500;
    const CJobOutcome outcome = RunJob(request);
    EXPECT_EQ(outcome.Text(), u"SRT 쓰기 작업 완료!");
    EXPECT_EQ(outcome.m_stats.m_nCuesWritten, 1);
    EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:03,500 --> 00:00:05,750\nHi\n\n"));

    request.m_shift = {ShiftKind::Detailed, 999, 1000, 2000, 11000, 22000};
    EXPECT_EQ(RunJob(request).m_nMessage, MessageId::CorrectDone);
    EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:10,000 --> 00:00:14,500\nHi\n\n"));
    request.m_shift.m_nSrc2 = request.m_shift.m_nSrc1;
    const CJobOutcome timeError = RunJob(request);
    EXPECT_EQ(timeError.Text(), u"시간 오류!");
    EXPECT_EQ(timeError.m_failure.m_nKind, FailureKind::TimeError);
}

TEST_F(JobTest, ShowsTheJobsMessageAndReason)
{
    struct
    {
        Mode nMode;
        std::string srt;
        std::u16string message;
        FailureKind nKind;
    } const cases[] = {{Mode::Correct, "no time line", u"SRT 쓰기 작업 실패!", FailureKind::NoTimeLine},
                       {Mode::Extract, kCue, u"text 추출 완료!", FailureKind::None},
                       {Mode::Extract, "no time line", u"text 추출 실패!", FailureKind::NoTimeLine},
                       {Mode::Merge, kCue, u"SRT/text 합병 완료!", FailureKind::None},
                       {Mode::Merge, "no time line", u"SRT/text 합병 실패!", FailureKind::NoTimeLine},
                       {Mode::Merge, "x", u"SRT/text 합병 실패!", FailureKind::InputUnreadable}};  // one byte
    for (const auto& c : cases)
    {
        std::filesystem::remove(m_dir / "out.srt");
        WriteBytes(m_dir / "in.srt", c.srt);
        const CJobOutcome outcome = RunJob(Request(c.nMode));
        EXPECT_EQ(outcome.Text(), c.message);
        EXPECT_EQ(outcome.m_failure.m_nKind, c.nKind);
        EXPECT_EQ(std::filesystem::exists(m_dir / "out.srt"), outcome.IsSuccess());
    }
}

// Time lines in a tolerant form are rewritten before the job and counted; the second run sees the same cues in the
// strict form, so it gives the same bytes.
TEST_F(JobTest, ReadsTolerantTimeLinesCountsThemAndCorrectsToAFixedPoint)
{
    WriteBytes(m_dir / "in.srt", Crlf("1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:013,567 --> 00:00:15,000 \nB\n\n"
                                      "3\n0:00:16.5 --> 0:00:17.25 X1:40 X2:600 Y1:20 Y2:50\nC\n"));
    CJobOutcome outcome = RunJob(Request(Mode::Correct, "in.srt", nullptr, "once.srt"));
    ASSERT_TRUE(outcome.IsSuccess());
    EXPECT_EQ(outcome.m_stats.m_nCuesWritten, 3);
    EXPECT_EQ(outcome.m_stats.m_nTolerantTimeLines, 2);
    EXPECT_EQ(ReadBytes(m_dir / "once.srt"), Saved("1\n00:00:01,000 --> 00:00:02,000\nA\n\n"
                                                   "2\n00:00:13,567 --> 00:00:15,000\nB\n\n"
                                                   "3\n00:00:16,500 --> 00:00:17,250\nC\n\n"));
    outcome = RunJob(Request(Mode::Correct, "once.srt", nullptr, "twice.srt"));
    EXPECT_EQ(outcome.m_stats.m_nTolerantTimeLines, 0);
    EXPECT_EQ(ReadBytes(m_dir / "twice.srt"), ReadBytes(m_dir / "once.srt"));
}

TEST_F(JobTest, UnwritableOutputGivesTheSystemText)
{
    std::filesystem::create_directory(m_dir / "out.srt");
    const CJobOutcome outcome = RunJob(Request(Mode::Extract));
    EXPECT_EQ(outcome.m_nMessage, MessageId::ExtractFailed);
    EXPECT_EQ(outcome.m_failure.m_nKind, FailureKind::OutputUnwritable);
    EXPECT_NE(outcome.m_failure.m_strDetail.find("out.srt: Is a directory"), std::string::npos);
}

// Legacy input in another code page than the system's.
TEST_F(JobTest, CodePageDecodesInputWithoutMark)
{
    WriteBytes(m_dir / "in.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\n\x83\x65\x83\x58\x83\x67\r\n");
    CJobRequest request = Request(Mode::Extract, "in.srt", nullptr, "out.txt");
    request.m_codePage = CodePage{932};
    ASSERT_TRUE(RunJob(request).IsSuccess());
    EXPECT_EQ(ReadBytes(m_dir / "out.txt"), Saved(Bytes(u8"テスト\n\n\n\n")));
}

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
    FailureKind nKind = FailureKind::None;
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

INSTANTIATE_TEST_SUITE_P(
    Inputs, ConversionTest,
    testing::Values(
        CConversionCase{"SrtToSami", "movie.srt", kSrt, MessageId::SrtToSamiDone, 0, {"movie.smi", "movie.UTF8.smi"}},
        CConversionCase{
            "SrtNamedSmi", "movie.SMI", kSrt, MessageId::SrtToSamiDone, 0, {"movie.SMI.smi", "movie.SMI.UTF8.smi"}},
        CConversionCase{"AssToSrt", "show.ass", kAss, MessageId::AssToSrtDone, 0, {"show.srt"}},
        CConversionCase{"AssNamedSrt", "Movie.SRT", kAss, MessageId::AssToSrtDone, 0, {"Movie.SRT.srt"}},
        CConversionCase{
            "AssWithoutExtension", "sub.dir/movie", kAss, MessageId::AssToSrtDone, 0, {"sub.dir/movie.srt"}},
        CConversionCase{"AssWithoutFormat",
                        "bad.ssa",
                        "[Script Info]\n[V4 Styles]\n[Events]\n",
                        MessageId::AssToSrtFailed,
                        0,
                        {},
                        "",
                        FailureKind::NoEventsFormat},
        CConversionCase{"SamiToSrt", "two.smi", kSami, MessageId::SamiToSrtDone, 2, {"two.KRCC.srt", "two.ENCC.srt"}},
        CConversionCase{"SamiLongExtension",
                        "movie.sami",
                        kSami,
                        MessageId::SamiToSrtDone,
                        2,
                        {"movie.KRCC.srt", "movie.ENCC.srt"}},
        CConversionCase{
            "SamiShortExtension", "sub/a.s", kSami, MessageId::SamiToSrtDone, 2, {"sub/a.KRCC.srt", "sub/a.ENCC.srt"}},
        CConversionCase{
            "SamiWithoutExtension", "noext", kSami, MessageId::SamiToSrtDone, 2, {"noext.KRCC.srt", "noext.ENCC.srt"}},
        CConversionCase{"SamiClassless",
                        "movie.smi",
                        "<SAMI><BODY><SYNC Start=1><P>a</BODY></SAMI>",
                        MessageId::SamiToSrtDone,
                        1,
                        {"movie..srt"}},
        CConversionCase{"SamiWithoutCaptions",
                        "none.smi",
                        "<SAMI><SYNC Start=1>",
                        MessageId::SamiToSrtFailed,
                        0,
                        {},
                        "",
                        FailureKind::NoCaptionClass},
        CConversionCase{"Unrecognised",
                        "notes.txt",
                        "plain words\n",
                        MessageId::FormatError,
                        0,
                        {},
                        "",
                        FailureKind::FormatUnrecognised},
        CConversionCase{"SamiBlocked",
                        "movie.srt",
                        kSrt,
                        MessageId::SrtToSamiFailed,
                        0,
                        {},
                        "movie.smi",
                        FailureKind::OutputUnwritable},
        CConversionCase{"SrtBlocked",
                        "show.ass",
                        kAss,
                        MessageId::AssToSrtFailed,
                        0,
                        {},
                        "show.srt",
                        FailureKind::OutputUnwritable},
        CConversionCase{"OneOfTwoSrtBlocked",
                        "two.smi",
                        kSami,
                        MessageId::SamiToSrtFailed,
                        0,
                        {"two.KRCC.srt"},
                        "two.ENCC.srt",
                        FailureKind::OutputUnwritable}),
    [](const testing::TestParamInfo<CConversionCase>& info) { return std::string(info.param.pName); });

}  // namespace
