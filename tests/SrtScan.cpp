#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "srt/SrtProcessor.h"

namespace
{
const CSrtProcessor kSrt;

struct TimeLineCase
{
    const char16_t* pText;
    bool bIsTimeLine;
};

class TimeLineTest : public testing::TestWithParam<TimeLineCase>
{
};

TEST_P(TimeLineTest, AcceptsOnlyTheExactForm)
{
    EXPECT_EQ(kSrt.IsTimeLine(GetParam().pText), GetParam().bIsTimeLine);
}

INSTANTIATE_TEST_SUITE_P(Lines, TimeLineTest,
                         testing::Values(TimeLineCase{u"00:00:01,000 --> 00:00:02,500\r", true},
                                         TimeLineCase{u"99:99:99,999 --> 00:00:00,000\rmore", true},
                                         TimeLineCase{u"00:00:01,000 --> 00:00:02,500 \r", false},
                                         TimeLineCase{u"00:00:01.000 --> 00:00:02,500\r", false},
                                         TimeLineCase{u"0:00:01,000 --> 00:00:02,500\r", false},
                                         TimeLineCase{u"000:00:01,000 --> 00:00:02,500\r", false},
                                         TimeLineCase{u"00:00:01,000 -> 00:00:02,500\r", false},
                                         TimeLineCase{u"00:00:01,000-->00:00:02,500\r", false},
                                         TimeLineCase{u"00:00:01,000 --> 00:00:02,500", false},
                                         TimeLineCase{u"00:00:01,000 --> 00:00:02,500\n", false},
                                         TimeLineCase{u"00:00:01,000 --> 00:00:0", false},
                                         TimeLineCase{u"", false},
                                         TimeLineCase{u"\uFF10\uFF10:00:01,000 --> 00:00:02,500\r", false}));

TEST(FindTimeLine, FindsOnlyWholeLinesInsideTheText)
{
    const std::u16string line = u"00:00:01,000 --> 00:00:02,500\r";
    const std::u16string text = u"1\rxx" + line + u"text";
    const auto n = static_cast<int32_t>(text.size());
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, 0), 4);       // mid-line start
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, 4), 4);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, 5), -1);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, -7), 4);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, n + 5), -1);
    // Without its CR inside the length the line does not count.
    EXPECT_EQ(kSrt.FindTimeLine(line.data(), 29, 0), -1);
    EXPECT_EQ(kSrt.FindTimeLine(line.data(), 30, 0), 0);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), 33, 0), -1);
}

TEST(FindBlankLine, NeedsBothCrsInsideTheText)
{
    const std::u16string text = u"a\rb\r\rc\r";
    const auto n = static_cast<int32_t>(text.size());
    EXPECT_EQ(kSrt.FindBlankLine(text.data(), n, 0), 3);
    EXPECT_EQ(kSrt.FindBlankLine(text.data(), n, 4), -1);
    EXPECT_EQ(kSrt.FindBlankLine(text.data(), 4, 0), -1);
    EXPECT_EQ(kSrt.FindBlankLine(text.data(), 5, 0), 3);
    EXPECT_EQ(kSrt.FindBlankLine(text.data(), n, n), -1);
    EXPECT_EQ(kSrt.FindBlankLine(text.data(), 0, 0), -1);
}

struct ParseCase
{
    const char16_t* pText;
    int32_t nStart;
    int32_t nEnd;
};

class ParseTest : public testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseTest, ReadsMillisecondsWithoutRangeChecks)
{
    int32_t nStart = -1;
    int32_t nEnd = -1;
    ASSERT_TRUE(kSrt.ParseTimeLine(GetParam().pText, nStart, nEnd));
    EXPECT_EQ(nStart, GetParam().nStart);
    EXPECT_EQ(nEnd, GetParam().nEnd);
}

INSTANTIATE_TEST_SUITE_P(Lines, ParseTest,
                         testing::Values(ParseCase{u"12:34:56,789 --> 00:00:00,001\r", 45296789, 1},
                                         ParseCase{u"00:75:00,000 --> 00:00:99,000\r", 4500000, 99000},
                                         ParseCase{u"99:99:99,999 --> 99:99:99,999\r", 362439999, 362439999}));

TEST(ParseTimeLine, LeavesOutputsAloneOnFailure)
{
    int32_t nStart = 7;
    int32_t nEnd = 8;
    EXPECT_FALSE(kSrt.ParseTimeLine(u"00:00:01,000 --> 00:00:02,50\r", nStart, nEnd));
    EXPECT_EQ(nStart, 7);
    EXPECT_EQ(nEnd, 8);
}

struct FormatCase
{
    int32_t nStart;
    int32_t nEnd;
    const char16_t* pExpected;
};

class FormatTest : public testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatTest, WritesTwentyNineUnits)
{
    char16_t buffer[31];
    buffer[30] = u'#';
    kSrt.FormatTimeLine(buffer, GetParam().nStart, GetParam().nEnd);
    EXPECT_EQ(std::u16string(buffer), GetParam().pExpected);
    EXPECT_EQ(buffer[30], u'#');
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatTest,
    testing::Values(FormatCase{0, 3723004, u"00:00:00,000 --> 01:02:03,004"},
                    FormatCase{3723004, 400000000, u"01:02:03,004 --> 99:59:59,999"},
                    FormatCase{359999999, 360000000, u"99:59:59,999 --> 99:59:59,999"},
                    FormatCase{-1, -3723004, u"00:00:00,000 --> 00:00:00,000"},
                    FormatCase{INT32_MIN, INT32_MAX, u"00:00:00,000 --> 99:59:59,999"}));

// The cues of a text as [time line start, text] pairs.
std::vector<std::pair<int32_t, std::u16string>> ScanCues(const std::u16string& text)
{
    std::vector<std::pair<int32_t, std::u16string>> cues;
    const auto n = static_cast<int32_t>(text.size());
    CSrtCue cue;
    for (bool bFound = kSrt.FirstCue(text.data(), n, cue); bFound; bFound = kSrt.NextCue(text.data(), n, cue))
        cues.emplace_back(cue.m_nTimeLine, text.substr(cue.m_nTextBegin, cue.m_nTextEnd - cue.m_nTextBegin));
    return cues;
}

#define T1 u"00:00:01,000 --> 00:00:02,000\r"
#define T2 u"00:00:03,000 --> 00:00:04,000\r"
#define T3 u"00:00:05,000 --> 00:00:06,000\r"

struct ScanCase
{
    const char* pName;
    std::u16string text;
    std::vector<std::u16string> texts;
};

void PrintTo(const ScanCase& c, std::ostream* os)
{
    *os << c.pName;
}

class ScanTest : public testing::TestWithParam<ScanCase>
{
};

TEST_P(ScanTest, FindsEachCueText)
{
    std::vector<std::u16string> texts;
    for (const auto& cue : ScanCues(GetParam().text))
        texts.push_back(cue.second);
    EXPECT_EQ(texts, GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScanTest,
    testing::Values(
        ScanCase{"NoTimeLine", u"1\rhello\r\r", {}},
        ScanCase{"TwoCues", u"1\r" T1 u"Hello\rWorld\r\r2\r" T2 u"Bye\r\r", {u"Hello\rWorld", u"Bye"}},
        ScanCase{"LastCueRunsToEndWithItsCr", u"1\r" T1 u"a\r\r2\r" T2 u"b\r", {u"a", u"b\r"}},
        ScanCase{"LastCueWithoutCr", u"1\r" T1 u"a", {u"a"}},
        ScanCase{"EmptyLinesBeforeTextSkipped", u"1\r" T1 u"\r\r\ra\r\r", {u"a"}},
        ScanCase{"EmptyCueBeforeNumberedCue", u"1\r" T1 u"\r2\r" T2 u"b\r\r", {u"", u"b"}},
        ScanCase{"EmptyCueNumberWithBlanks", u"1\r" T1 u"\r \t2 \r" T2 u"b\r\r", {u"", u"b"}},
        ScanCase{"EmptyCueBeforeBareTimeLine", u"1\r" T1 u"\r\r" T2 u"b\r\r", {u"", u"b"}},
        ScanCase{"TimeLineDirectlyAfterTimeLine", u"1\r" T1 T2 u"b\r\r", {u"", u"b"}},
        ScanCase{"BlankOnlyLinesMakeAnEmptyCue", u"1\r" T1 u" \r\t\r12\r" T2 u"b\r\r", {u"", u"b"}},
        ScanCase{"BlankLineBeforeTextStaysText", u"1\r" T1 u" \ra\r\r", {u" \ra"}},
        ScanCase{"EmptyCueAtEnd", u"1\r" T1 u"\r", {u""}},
        ScanCase{"ThreeEmptyCuesInARow", u"1\r" T1 u"\r2\r" T2 u"\r3\r" T3 u"\r", {u"", u"", u""}},
        ScanCase{"TextLineBeforeTimeLineStaysText", u"1\r" T1 u"\rtext\r" T2 u"b\r\r", {u"text\r" T2 u"b"}},
        ScanCase{"NumberNotFollowedByTimeLineIsText", u"1\r" T1 u"\r42\rb\r\r2\r" T2 u"c\r\r", {u"42\rb", u"c"}},
        ScanCase{"StrayLinesBetweenCuesIgnored", u"1\r" T1 u"a\r\rjunk\r\r\r2\r" T2 u"b\r\r", {u"a", u"b"}},
        ScanCase{"TimeLineAtEndWithoutCrIsNoCue", u"1\r" T1 u"a\r\r2\r00:00:03,000 --> 00:00:04,000", {u"a"}}));

TEST(CueScan, ReportsTimeLinePositionsAndResume)
{
    const std::u16string text = u"1\r" T1 u"a\r\r2\r" T2 u"b";
    const auto cues = ScanCues(text);
    ASSERT_EQ(cues.size(), 2u);
    EXPECT_EQ(cues[0].first, 2);
    EXPECT_EQ(cues[1].first, static_cast<int32_t>(text.find(T2)));
    CSrtCue cue;
    ASSERT_TRUE(kSrt.FirstCue(text.data(), static_cast<int32_t>(text.size()), cue));
    EXPECT_EQ(cue.m_nResume, 2 + 30 + 1 + 2);
}

TEST(CueScan, HandlesManyCuesInLinearTime)
{
    std::u16string text;
    const int nCues = 200000;
    for (int i = 0; i < nCues; ++i)
        text += (i % 2 == 0) ? u"7\r" T1 u"\r" : u"8\r" T2 u"x\r\r";
    EXPECT_EQ(ScanCues(text).size(), static_cast<size_t>(nCues));
}

TEST(AppendCue, LaysOutNumberTimeLineAndText)
{
    std::u16string out = u"x";
    CSrtProcessor::AppendCue(out, 12, u"00:00:01,000 --> 00:00:02,000", u"a\rb");
    CSrtProcessor::AppendCue(out, 1, u"00:00:01,000 --> 00:00:02,000", u"");
    EXPECT_EQ(out, u"x12\r00:00:01,000 --> 00:00:02,000\ra\rb\r\r1\r00:00:01,000 --> 00:00:02,000\r\r\r");
}
}  // namespace
