#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "run/RunDispatch.h"
#include "text/Unicode.h"

using namespace tavrel;

using namespace testutil;

namespace
{
TEST(ParseOffsetText, ReadsLikeWtoiButSaturates)
{
    const std::pair<std::u16string, int32_t> cases[] = {{u"", 0},
                                                        {u"abc", 0},
                                                        {u"-1500", -1500},
                                                        {u"  +42ms", 42},
                                                        {u"\x3000\t7", 7},
                                                        {u"\xA0"
                                                         u"7",
                                                         0},
                                                        {u"--5", 0},
                                                        {u"1 2", 1},
                                                        {u"2147483647", INT32_MAX},
                                                        {u"2147483648", INT32_MAX},
                                                        {u"99999999999999999999999", INT32_MAX},
                                                        {u"-2147483648", INT32_MIN},
                                                        {u"-2147483649", INT32_MIN},
                                                        {u"-99999999999999999999999", INT32_MIN}};
    for (const auto& [text, nExpected] : cases)
        EXPECT_EQ(ParseOffsetText(text), nExpected) << testing::PrintToString(text);
}

TEST(ComputeShift, MapsBothPointsAndRefusesEqualTimes)
{
    struct
    {
        uint32_t nSrc1, nDst1, nSrc2, nDst2;
        double dFactor, dOffset;
    } const cases[] = {
        {11000, 22000, 1000, 2000, 2.0, 0.0},  // the points in order and equal sources: DetailedShiftMapsTwoPoints
        {0, 10000, 10000, 0, -1.0, 10000.0},
        {0, 0, 4294967295u, 1, 1.0 / 4294967295.0, 0.0},
        {4294967295u, 0, 0, 4294967295u, -1.0, 4294967295.0}};
    double dFactor = 0, dOffset = 0;
    for (const auto& c : cases)
    {
        ASSERT_TRUE(ComputeShift(c.nSrc1, c.nDst1, c.nSrc2, c.nDst2, dFactor, dOffset));
        EXPECT_DOUBLE_EQ(dFactor, c.dFactor);
        EXPECT_NEAR(dOffset, c.dOffset, 1e-6);
    }
    EXPECT_FALSE(ComputeShift(1000, 2000, 5000, 2000, dFactor, dOffset));
}

const std::string kCue = "1\r\n00:00:05,000 --> 00:00:07,250\r\nHi\r\n";

// Existing-file checks (missing, folder, empty path) run through ChecksStopBeforeTheJob.
// A folder with one SRT file and one text file, and the request fields for it.
class RunDispatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(m_dir / "in.srt", kCue);
        WriteBytes(m_dir / "in.txt", "Hello\r\n");
    }
    std::u16string Field(const char* pName) const { return pName ? PathToU16(m_dir / pName) : u""; }
    CRunRequest Request(Mode nMode, const char* pInput = "in.srt", const char* pText = "in.txt",
                        const char* pOutput = "out.srt") const
    {
        CRunRequest request;
        request.m_nMode = nMode;
        request.m_strInput = Field(pInput);
        request.m_strText = Field(pText);
        request.m_strOutput = Field(pOutput);
        return request;
    }
    CTempDir m_dir;
};

TEST_F(RunDispatchTest, ChecksStopBeforeTheJob)
{
    struct
    {
        Mode nMode;
        const char *pInput, *pText, *pOutput;
        MessageId nExpected;
    } const cases[] = {
        {Mode::Convert, nullptr, "in.txt", "out.srt", MessageId::None},                // empty input
        {Mode::Extract, "in.srt", "in.txt", nullptr, MessageId::None},                 // empty output
        {Mode::Merge, "in.srt", nullptr, "out.srt", MessageId::None},                  // empty text file
        {Mode::Convert, "missing.srt", nullptr, nullptr, MessageId::SourceReadError},  // conversion needs no output
        {Mode::Correct, "missing.srt", nullptr, "out.srt", MessageId::SourceReadError},
        {Mode::Extract, ".", nullptr, "out.srt", MessageId::SourceReadError},  // folder input
        {Mode::Merge, "in.srt", "missing.txt", "out.srt", MessageId::TextReadError},
        {Mode::Merge, "missing.srt", "missing.txt", "out.srt", MessageId::SourceReadError},
        {static_cast<Mode>(7), "in.srt", "in.txt", "out.srt", MessageId::None}};  // unknown mode runs nothing
    for (const auto& c : cases)
    {
        EXPECT_EQ(DispatchRun(Request(c.nMode, c.pInput, c.pText, c.pOutput)).m_nMessage, c.nExpected)
            << static_cast<int>(c.nMode);
        EXPECT_FALSE(std::filesystem::exists(m_dir / "out.srt"));
    }
    CRunRequest request = Request(Mode::Correct);  // the input path is tested untrimmed
    request.m_strInput = u" " + request.m_strInput;
    EXPECT_EQ(DispatchRun(request).m_nMessage, MessageId::SourceReadError);
}

TEST_F(RunDispatchTest, BasicShiftReadsTrimmedOffsetText)
{
    CRunRequest request = Request(Mode::Correct);
    request.m_strOffset = u" \x3000-1500 ";
    const CRunResult result = DispatchRun(request);
    EXPECT_EQ(result.Text(), u"SRT 쓰기 작업 완료!");
    EXPECT_EQ(result.m_stats.m_nCuesWritten, 1);
    EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:03,500 --> 00:00:05,750\nHi\n\n"));
}

TEST_F(RunDispatchTest, DetailedShiftMapsTwoPoints)
{
    CRunRequest request = Request(Mode::Correct);
    request.m_nShiftKind = ShiftKind::Detailed;
    request.m_strOffset = u"999";  // not read in the detailed kind
    request.m_nSrc1 = 1000;
    request.m_nDst1 = 2000;
    request.m_nSrc2 = 11000;
    request.m_nDst2 = 22000;
    EXPECT_EQ(DispatchRun(request).m_nMessage, MessageId::CorrectDone);
    EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:10,000 --> 00:00:14,500\nHi\n\n"));
    request.m_nSrc2 = request.m_nSrc1;
    EXPECT_EQ(DispatchRun(request).Text(), u"시간 오류!");
}

TEST_F(RunDispatchTest, ShowsTheJobsMessage)
{
    const std::tuple<Mode, std::string, std::u16string> cases[] = {
        {Mode::Correct, "no time line", u"SRT 쓰기 작업 실패!"},
        {Mode::Extract, kCue, u"text 추출 완료!"},
        {Mode::Extract, "no time line", u"text 추출 실패!"},
        {Mode::Merge, kCue, u"SRT/text 합병 완료!"},
        {Mode::Merge, "no time line", u"SRT/text 합병 실패!"}};
    for (const auto& [nMode, srt, message] : cases)
    {
        std::filesystem::remove(m_dir / "out.srt");
        WriteBytes(m_dir / "in.srt", srt);
        const CRunResult result = DispatchRun(Request(nMode));
        EXPECT_EQ(result.Text(), message);
        EXPECT_EQ(std::filesystem::exists(m_dir / "out.srt"), result.IsSuccess());
    }
}
}  // namespace
