#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "run/RunDispatch.h"
#include "text/Unicode.h"

using namespace testutil;

namespace
{
struct COffsetCase
{
    std::u16string text;
    int32_t nExpected;
};

class ParseOffsetTextTest : public testing::TestWithParam<COffsetCase>
{
};

TEST_P(ParseOffsetTextTest, ReadsLikeWtoiButSaturates)
{
    EXPECT_EQ(ParseOffsetText(GetParam().text), GetParam().nExpected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseOffsetTextTest,
                         testing::Values(COffsetCase{u"", 0}, COffsetCase{u"abc", 0}, COffsetCase{u"-1500", -1500},
                                         COffsetCase{u"  +42ms", 42}, COffsetCase{u"\x3000\t7", 7},
                                         COffsetCase{u"\xA0" u"7", 0}, COffsetCase{u"--5", 0},
                                         COffsetCase{u"1 2", 1}, COffsetCase{u"2147483647", INT32_MAX},
                                         COffsetCase{u"2147483648", INT32_MAX},
                                         COffsetCase{u"99999999999999999999999", INT32_MAX},
                                         COffsetCase{u"-2147483648", INT32_MIN},
                                         COffsetCase{u"-2147483649", INT32_MIN},
                                         COffsetCase{u"-99999999999999999999999", INT32_MIN}));

struct CShiftCase
{
    uint32_t nSrc1, nDst1, nSrc2, nDst2;
    double dFactor;
    double dOffset;
};

class ComputeShiftTest : public testing::TestWithParam<CShiftCase>
{
};

TEST_P(ComputeShiftTest, MapsBothPoints)
{
    const CShiftCase& c = GetParam();
    double dFactor = 0;
    double dOffset = 0;
    ASSERT_TRUE(ComputeShift(c.nSrc1, c.nDst1, c.nSrc2, c.nDst2, dFactor, dOffset));
    EXPECT_DOUBLE_EQ(dFactor, c.dFactor);
    EXPECT_NEAR(dOffset, c.dOffset, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Cases, ComputeShiftTest,
                         testing::Values(CShiftCase{1000, 2000, 11000, 22000, 2.0, 0.0},
                                         CShiftCase{11000, 22000, 1000, 2000, 2.0, 0.0},
                                         CShiftCase{0, 10000, 10000, 0, -1.0, 10000.0},
                                         CShiftCase{0, 0, 4294967295u, 1, 1.0 / 4294967295.0, 0.0},
                                         CShiftCase{4294967295u, 0, 0, 4294967295u, -1.0, 4294967295.0}));

TEST(ComputeShift, RefusesEqualSourceOrTargetTimes)
{
    double dFactor = 0;
    double dOffset = 0;
    EXPECT_FALSE(ComputeShift(1000, 2000, 1000, 3000, dFactor, dOffset));
    EXPECT_FALSE(ComputeShift(1000, 2000, 5000, 2000, dFactor, dOffset));
}

TEST(IsExistingFile, OnlyExistingNonFolders)
{
    CTempDir dir;
    WriteBytes(dir / "a.srt", "x");
    EXPECT_TRUE(IsExistingFile(dir / "a.srt"));
    EXPECT_FALSE(IsExistingFile(dir.Path()));
    EXPECT_FALSE(IsExistingFile(dir / "missing.srt"));
    EXPECT_FALSE(IsExistingFile(""));
}

const std::string kCue = "1\r\n00:00:05,000 --> 00:00:07,250\r\nHi\r\n";

// A folder with one SRT file and one text file, and the request fields for it.
class RunDispatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(m_dir / "in.srt", kCue);
        WriteBytes(m_dir / "in.txt", "Hello\r\n");
    }

    std::u16string Field(std::string_view name) const { return PathToU16(m_dir / name); }

    CRunRequest Request(int32_t nMode) const
    {
        CRunRequest request;
        request.m_nMode = nMode;
        request.m_strInput = Field("in.srt");
        request.m_strText = Field("in.txt");
        request.m_strOutput = Field("out.srt");
        return request;
    }

    CTempDir m_dir;
};

struct CCheckCase
{
    const char* name;
    int32_t nMode;
    const char* input;  // nullptr: empty field
    const char* text;
    const char* output;
    MessageId nExpected;
};

class RunChecksTest : public RunDispatchTest, public testing::WithParamInterface<CCheckCase>
{
};

TEST_P(RunChecksTest, StopsBeforeTheJob)
{
    const CCheckCase& c = GetParam();
    CRunRequest request = Request(c.nMode);
    request.m_strInput = c.input ? Field(c.input) : u"";
    request.m_strText = c.text ? Field(c.text) : u"";
    request.m_strOutput = c.output ? Field(c.output) : u"";
    EXPECT_EQ(DispatchRun(request).m_nMessage, c.nExpected);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out.srt"));
}

const CCheckCase kChecks[] = {
    {"EmptyInput", ModeConvert, nullptr, "in.txt", "out.srt", MsgNone},
    {"EmptyOutput", ModeExtract, "in.srt", "in.txt", nullptr, MsgNone},
    {"EmptyTextFile", ModeMerge, "in.srt", nullptr, "out.srt", MsgNone},
    {"ConversionNeedsNoOutput", ModeConvert, "missing.srt", nullptr, nullptr, MsgSourceReadError},
    {"MissingInput", ModeCorrect, "missing.srt", nullptr, "out.srt", MsgSourceReadError},
    {"FolderInput", ModeExtract, ".", nullptr, "out.srt", MsgSourceReadError},
    {"MissingTextFile", ModeMerge, "in.srt", "missing.txt", "out.srt", MsgTextReadError},
    {"BothMissingReportsSource", ModeMerge, "missing.srt", "missing.txt", "out.srt", MsgSourceReadError},
    {"UnknownModeRunsNothing", 7, "in.srt", "in.txt", "out.srt", MsgNone},
};
INSTANTIATE_TEST_SUITE_P(Cases, RunChecksTest, testing::ValuesIn(kChecks),
                         [](const auto& info) { return info.param.name; });

TEST_F(RunDispatchTest, InputPathIsTestedUntrimmed)
{
    CRunRequest request = Request(ModeCorrect);
    request.m_strInput = u" " + request.m_strInput;
    EXPECT_EQ(DispatchRun(request).m_nMessage, MsgSourceReadError);
}

TEST_F(RunDispatchTest, BasicShiftReadsTrimmedOffsetText)
{
    CRunRequest request = Request(ModeCorrect);
    request.m_strOffset = u" \x3000-1500 ";
    const CRunResult result = DispatchRun(request);
    EXPECT_EQ(result.Text(), u"SRT 쓰기 작업 완료!");
    EXPECT_EQ(result.m_stats.m_nCuesWritten, 1);
    EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:03,500 --> 00:00:05,750\nHi\n\n"));
}

TEST_F(RunDispatchTest, DetailedShiftMapsTwoPoints)
{
    CRunRequest request = Request(ModeCorrect);
    request.m_nShiftKind = ShiftDetailed;
    request.m_strOffset = u"999";  // not read in the detailed kind
    request.m_nSrc1 = 1000;
    request.m_nDst1 = 2000;
    request.m_nSrc2 = 11000;
    request.m_nDst2 = 22000;
    EXPECT_EQ(DispatchRun(request).m_nMessage, MsgCorrectDone);
    EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:10,000 --> 00:00:14,500\nHi\n\n"));

    request.m_nSrc2 = request.m_nSrc1;
    EXPECT_EQ(DispatchRun(request).Text(), u"시간 오류!");
}

struct COutcomeCase
{
    int32_t nMode;
    std::string srt;
    std::u16string message;
};

class RunOutcomeTest : public RunDispatchTest, public testing::WithParamInterface<COutcomeCase>
{
};

TEST_P(RunOutcomeTest, ShowsTheJobsMessage)
{
    WriteBytes(m_dir / "in.srt", GetParam().srt);
    const CRunResult result = DispatchRun(Request(GetParam().nMode));
    EXPECT_EQ(result.Text(), GetParam().message);
    EXPECT_EQ(std::filesystem::exists(m_dir / "out.srt"), result.IsSuccess());
}

INSTANTIATE_TEST_SUITE_P(Cases, RunOutcomeTest,
                         testing::Values(COutcomeCase{ModeCorrect, "no time line", u"SRT 쓰기 작업 실패!"},
                                         COutcomeCase{ModeExtract, kCue, u"text 추출 완료!"},
                                         COutcomeCase{ModeExtract, "no time line", u"text 추출 실패!"},
                                         COutcomeCase{ModeMerge, kCue, u"SRT/text 합병 완료!"},
                                         COutcomeCase{ModeMerge, "no time line", u"SRT/text 합병 실패!"}));
}  // namespace
