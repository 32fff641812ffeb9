#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"

using namespace tavrel;

namespace
{
const CSrtProcessor kSrt;

TEST(SrtTimeLine, AcceptsOnlyTheExactForm)
{
    const std::pair<const char16_t*, bool> cases[] = {{u"00:00:01,000 --> 00:00:02,500\r", true},
                                                      {u"99:99:99,999 --> 00:00:00,000\rmore", true},
                                                      {u"00:00:01,000 --> 00:00:02,500 \r", false},
                                                      {u"00:00:01.000 --> 00:00:02,500\r", false},
                                                      {u"0:00:01,000 --> 00:00:02,500\r", false},
                                                      {u"00:00:01,000 -> 00:00:02,500\r", false},
                                                      {u"00:00:01,000-->00:00:02,500\r", false},
                                                      {u"00:00:01,000 --> 00:00:02,500\n", false},
                                                      {u"00:00:01,000 --> 00:00:0", false},
                                                      {u"", false},
                                                      {u"\uFF10\uFF10:00:01,000 --> 00:00:02,500\r", false}};
    for (const auto& [pText, bIsTimeLine] : cases)
        EXPECT_EQ(kSrt.IsTimeLine(pText), bIsTimeLine) << testing::PrintToString(std::u16string(pText));
}

TEST(SrtTimeLine, FindsWholeLinesAndBlankLinesInsideTheText)
{
    const std::u16string line = u"00:00:01,000 --> 00:00:02,500\r";
    const std::u16string text = u"1\rxx" + line + u"text";
    const auto n = static_cast<int32_t>(text.size());
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, 0), 4);  // mid-line start
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, 4), 4);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, 5), -1);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, -7), 4);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), n, n + 5), -1);
    EXPECT_EQ(kSrt.FindTimeLine(line.data(), 29, 0), -1);  // its CR must be inside the length
    EXPECT_EQ(kSrt.FindTimeLine(line.data(), 30, 0), 0);
    EXPECT_EQ(kSrt.FindTimeLine(text.data(), 33, 0), -1);
    const std::u16string blank = u"a\rb\r\rc\r";  // a blank line needs both CRs inside the text
    const auto nb = static_cast<int32_t>(blank.size());
    EXPECT_EQ(kSrt.FindBlankLine(blank.data(), nb, 0), 3);
    EXPECT_EQ(kSrt.FindBlankLine(blank.data(), nb, 4), -1);
    EXPECT_EQ(kSrt.FindBlankLine(blank.data(), 4, 0), -1);
    EXPECT_EQ(kSrt.FindBlankLine(blank.data(), 5, 0), 3);
    EXPECT_EQ(kSrt.FindBlankLine(blank.data(), nb, nb), -1);
    EXPECT_EQ(kSrt.FindBlankLine(blank.data(), 0, 0), -1);
}

TEST(SrtTimeLine, ParsesMillisecondsWithoutRangeChecksAndLeavesOutputsOnFailure)
{
    const std::tuple<const char16_t*, int32_t, int32_t> cases[] = {
        {u"12:34:56,789 --> 00:00:00,001\r", 45296789, 1},
        {u"00:75:00,000 --> 00:00:99,000\r", 4500000, 99000},
        {u"99:99:99,999 --> 99:99:99,999\r", 362439999, 362439999}};
    for (const auto& [pText, nStartWanted, nEndWanted] : cases)
    {
        int32_t nStart = -1, nEnd = -1;
        ASSERT_TRUE(kSrt.ParseTimeLine(pText, nStart, nEnd));
        EXPECT_EQ(nStart, nStartWanted);
        EXPECT_EQ(nEnd, nEndWanted);
    }
    int32_t nStart = 7, nEnd = 8;
    EXPECT_FALSE(kSrt.ParseTimeLine(u"00:00:01,000 --> 00:00:02,50\r", nStart, nEnd));
    EXPECT_EQ(nStart, 7);
    EXPECT_EQ(nEnd, 8);
}

TEST(SrtTimeLine, FormatTimeLineWritesTwentyNineUnitsClamped)
{
    const std::tuple<int32_t, int32_t, const char16_t*> cases[] = {
        {0, 3723004, u"00:00:00,000 --> 01:02:03,004"},
        {3723004, 400000000, u"01:02:03,004 --> 99:59:59,999"},
        {INT32_MIN, INT32_MAX, u"00:00:00,000 --> 99:59:59,999"}};  // the clamp edges through CorrectJob.cpp
    for (const auto& [nStart, nEnd, pExpected] : cases)
    {
        char16_t buffer[31];
        buffer[30] = u'#';
        kSrt.FormatTimeLine(buffer, nStart, nEnd);
        EXPECT_EQ(std::u16string(buffer), pExpected);
        EXPECT_EQ(buffer[30], u'#');
    }
}

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

TEST(CueScan, FindsEachCueText)
{
    const std::pair<std::u16string, std::vector<std::u16string>> cases[] = {
        {u"1\rhello\r\r", {}},  // no time line
        {u"1\r" T1 u"Hello\rWorld\r\r2\r" T2 u"Bye\r\r", {u"Hello\rWorld", u"Bye"}},
        {u"1\r" T1 u"a\r\r2\r" T2 u"b\r", {u"a", u"b\r"}},  // last cue runs to the end
        {u"1\r" T1 u"a", {u"a"}},
        {u"1\r" T1 u"\r\r\ra\r\r", {u"a"}},                             // empty lines before text skipped
        {u"1\r" T1 u"\r2\r" T2 u"b\r\r", {u"", u"b"}},                  // empty cue
        {u"1\r" T1 u"\r \t2 \r" T2 u"b\r\r", {u"", u"b"}},              // number with blanks
        {u"1\r" T1 u"\r\r" T2 u"b\r\r", {u"", u"b"}},                   // bare time line
        {u"1\r" T1 T2 u"b\r\r", {u"", u"b"}},                           // time line after time line
        {u"1\r" T1 u" \r\t\r12\r" T2 u"b\r\r", {u"", u"b"}},            // blank-only lines
        {u"1\r" T1 u" \ra\r\r", {u" \ra"}},                             // blank line before text stays
        {u"1\r" T1 u"\r", {u""}},                                       // empty cue at the end
        {u"1\r" T1 u"\rtext\r" T2 u"b\r\r", {u"text\r" T2 u"b"}},       // text line before time line
        {u"1\r" T1 u"\r42\rb\r\r2\r" T2 u"c\r\r", {u"42\rb", u"c"}},    // number without time line
        {u"1\r" T1 u"a\r\rjunk\r\r\r2\r" T2 u"b\r\r", {u"a", u"b"}},    // stray lines between cues
        {u"1\r" T1 u"a\r\r2\r00:00:03,000 --> 00:00:04,000", {u"a"}}};  // time line without CR at end
    for (const auto& [text, wanted] : cases)
    {
        std::vector<std::u16string> texts;
        for (const auto& cue : ScanCues(text))
            texts.push_back(cue.second);
        EXPECT_EQ(texts, wanted) << testing::PrintToString(text);
    }
}

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

struct CTolerantCase
{
    const char16_t* pName;
    std::u16string text;
    std::u16string expected;  // empty: the text stays as it is
};

// Each line in the table ends with a CR unless it says otherwise; a rewritten line counts once. The common forms
// (full stops, trailing blanks, coordinates, long seconds, dialogue times) are golden cases.
TEST(TolerantTimeLine, RewritesRealWorldFormsAndLeavesTheirNeighbours)
{
    const CTolerantCase cases[] = {
        {u"ShortFieldsAndTabs", u" \t0:0:1,5-->0:02,04\t\r", u"00:00:01,500 --> 00:00:02,040\r"},
        {u"NoRangeCheck", u"1:75:99 --> 2:00:00\r", u"02:16:39,000 --> 02:00:00,000\r"},
        {u"HundredHoursClamp", u"100:00:00,000 --> 999:59:59.9\r", u"99:59:59,999 --> 99:59:59,999\r"},
        {u"StrictAndTolerantInOneFile", u"00:00:01,000 --> 00:00:02,000\rA\r\r00:00:03.000 --> 00:00:04.000\rB",
         u"00:00:01,000 --> 00:00:02,000\rA\r\r00:00:03,000 --> 00:00:04,000\rB"},
        {u"WordsBefore", u"at 00:00:01.000 --> 00:00:02.000\r", u""},
        {u"WordsAfter", u"00:00:01.000 --> 00:00:02.000 later\r", u""},
        {u"FourDigitFraction", u"00:00:03,4560 --> 00:00:04,000\r", u""},
        {u"FourDigitHours", u"0000:00:01.000 --> 00:00:02.000\r", u""},
        {u"ThreeDigitMinutes", u"00:000:01.000 --> 00:00:02.000\r", u""},
        {u"ShortArrow", u"00:00:01.000 -> 00:00:02.000\r", u""},
        {u"StrictMidLine", u"x 00:00:01,000 --> 00:00:02,500\r", u""},
        {u"StrictAfterBlanks", u"  00:00:01,000 --> 00:00:02,500\r", u""},
        {u"LastLineWithoutCr", u"A\r00:00:01.000 --> 00:00:02.000", u""},
        {u"ThreeCoordinates", u"00:00:01.000 --> 00:00:02.000 X1:40 X2:600 Y1:20\r", u""},
        {u"CoordinatesWithoutBlank", u"00:00:01.000 --> 00:00:02.000X1:4 X2:6 Y1:2 Y2:5\r", u""},
        {u"SmallCoordinates", u"00:00:01.000 --> 00:00:02.000 x1:4 x2:6 y1:2 y2:5\r", u""}};
    for (const auto& [pName, text, expected] : cases)
    {
        CTextBuffer buffer;
        buffer.Assign(text);
        const int64_t nRewritten = kSrt.NormaliseTimeLines(buffer);
        EXPECT_EQ(buffer.View(), expected.empty() ? text : expected) << testing::PrintToString(std::u16string(pName));
        EXPECT_EQ(nRewritten, expected.empty() ? 0 : 1) << testing::PrintToString(std::u16string(pName));
    }
}

}  // namespace
