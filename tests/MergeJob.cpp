#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace testutil;

namespace
{
struct CCleanCase
{
    const char* name;
    std::u16string input;
    std::u16string expected;
};

class CleanTextTest : public testing::TestWithParam<CCleanCase>
{
};

TEST_P(CleanTextTest, TrimsEveryLine)
{
    EXPECT_EQ(CleanText(GetParam().input), GetParam().expected);
}

const CCleanCase kCleanCases[] = {
    {"TrimsAndEndsEveryLine", u"  Hello\rworld  \r\r\rSecond\r\r", u"Hello\rworld\r\r\rSecond\r\r"},
    {"AddsMissingLastBreak", u"a", u"a\r"},
    {"InnerTabAndNoBreakSpaceBecomeSpaces", u"\xA0\t a\tb\xA0" u"c \r", u"a b c\r"},
    {"BlankLineInMiddleBecomesEmpty", u"a\r \t\rb", u"a\r\rb\r"},
    {"SkipsLeadingBlankRun", u" \r\t\r\xA0\rx", u"x\r"},
    {"OnlyBlanksGiveNothing", u"  \r\t\r\r", u""},
    {"EmptyGivesNothing", u"", u""},
    {"TrimsWideWhiteSpace", u"x\x3000\r\x2003y\x205F", u"x\ry\r"},
    {"KeepsFigureAndNarrowNoBreakSpaces", u"\x2007x\x202F", u"\x2007x\x202F\r"},
    {"KeepsInnerSpaces", u"a  b", u"a  b\r"},
};
INSTANTIATE_TEST_SUITE_P(Cases, CleanTextTest, testing::ValuesIn(kCleanCases),
                         [](const auto& info) { return info.param.name; });

const std::string kTwoCues =
    "1\n00:00:01,000 --> 00:00:02,500\nold one\n\n2\n00:00:03,000 --> 00:00:04,000\nold two\n\n";

struct CMergeCase
{
    const char* name;
    std::string srt;       // LF line ends, written with CR LF
    std::string text;      // written as it stands
    std::string expected;  // LF line ends, without the byte-order mark
    int64_t nCues;
    int64_t nCuesWithoutParagraph;
    int64_t nParagraphsLeft;
};

class MergeTextTest : public testing::TestWithParam<CMergeCase>
{
};

TEST_P(MergeTextTest, PairsTimeLinesWithParagraphs)
{
    const CMergeCase& c = GetParam();
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf(c.srt));
    WriteBytes(dir / "in.txt", c.text);
    CSrtJobStats stats;
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.MergeText(dir / "in.srt", dir / "in.txt", dir / "out.srt", &stats));
    EXPECT_EQ(ReadBytes(dir / "out.srt"), Saved(c.expected));
    EXPECT_EQ(stats.m_nCuesWritten, c.nCues);
    EXPECT_EQ(stats.m_nCuesWithoutParagraph, c.nCuesWithoutParagraph);
    EXPECT_EQ(stats.m_nParagraphsLeft, c.nParagraphsLeft);
}

const CMergeCase kMergeCases[] = {
    {"CleansAndPairsInOrder", kTwoCues, "  Hello\r\nworld  \r\n\r\n\r\nSecond\r\n\r\n",
     "1\n00:00:01,000 --> 00:00:02,500\nHello\nworld\n\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n\n", 2, 0, 0},
    {"PairsLastParagraphWithoutEmptyLine", kTwoCues, "one\ntwo",
     "1\n00:00:01,000 --> 00:00:02,500\none\ntwo\n\n", 1, 1, 0},
    {"BlankOnlyTextWritesNoCue", kTwoCues, " \t\r\n\r\n\xC2\xA0\r\n", "", 0, 2, 0},
    {"SurplusParagraphsAreCounted", kTwoCues, "a\n\nb\n\nc\n\nd\n", "1\n00:00:01,000 --> 00:00:02,500\na\n\n"
     "2\n00:00:03,000 --> 00:00:04,000\nb\n\n", 2, 0, 2},
    {"BlankLinesSeparateLikeOne", kTwoCues, "a\n\n  \n\t\n\nb\n",
     "1\n00:00:01,000 --> 00:00:02,500\na\n\n2\n00:00:03,000 --> 00:00:04,000\nb\n\n", 2, 0, 0},
    {"SkipsWideBlankLinesBeforeFirstParagraph", kTwoCues, "\xE3\x80\x80\n\xE3\x80\x80\nfirst\n\nsecond\n",
     "1\n00:00:01,000 --> 00:00:02,500\nfirst\n\n2\n00:00:03,000 --> 00:00:04,000\nsecond\n\n", 2, 0, 0},
    {"CopiesTimeLineVerbatim", "8\n00:75:00,000 --> 00:99:99,999\nx\n", "y\n",
     "1\n00:75:00,000 --> 00:99:99,999\ny\n\n", 1, 0, 0},
    {"LastCueWithoutBlankLineGetsParagraph", "3\n00:00:01,000 --> 00:00:02,000\nx\n\n9\n00:00:03,000 --> 00:00:04,000\nz",
     "p\n\nq\n\nr\n", "1\n00:00:01,000 --> 00:00:02,000\np\n\n2\n00:00:03,000 --> 00:00:04,000\nq\n\n", 2, 0, 1},
    {"EmptyCueIsPairedLikeAnyOther",
     "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n", "p\n\nq\n",
     "1\n00:00:01,000 --> 00:00:02,000\np\n\n2\n00:00:03,000 --> 00:00:04,000\nq\n\n", 2, 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Cases, MergeTextTest, testing::ValuesIn(kMergeCases),
                         [](const auto& info) { return info.param.name; });

TEST(MergeText, FailsWithoutTimeLineAndWritesNothing)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "no cues here\r\n");
    WriteBytes(dir / "in.txt", "text\r\n");
    const CSrtProcessor processor;
    EXPECT_FALSE(processor.MergeText(dir / "in.srt", dir / "in.txt", dir / "out.srt"));
    EXPECT_FALSE(processor.MergeText(dir / "in.txt", dir / "missing.txt", dir / "out.srt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.srt"));
}

TEST(MergeText, OutputMayReplaceTextFile)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", Crlf(kTwoCues));
    WriteBytes(dir / "in.txt", "first\n\nsecond\n");
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.MergeText(dir / "in.srt", dir / "in.txt", dir / "in.txt"));
    EXPECT_EQ(ReadBytes(dir / "in.txt"),
              Saved("1\n00:00:01,000 --> 00:00:02,500\nfirst\n\n2\n00:00:03,000 --> 00:00:04,000\nsecond\n\n"));
}

// An extracted text merged back onto its own SRT file gives back the cues.
TEST(MergeText, ExtractedTextMergesBack)
{
    CTempDir dir;
    const std::string srt =
        "1\n00:00:01,000 --> 00:00:02,000\n<i>One</i>\n\n2\n00:00:03,000 --> 00:00:04,000\nTwo\nlines\n\n"
        "3\n00:00:05,000 --> 00:00:06,000\n\xEC\x85\x8B\n";
    WriteBytes(dir / "in.srt", Crlf(srt));
    const CSrtProcessor processor;
    ASSERT_TRUE(processor.ExtractText(dir / "in.srt", dir / "in.txt"));
    CSrtJobStats stats;
    ASSERT_TRUE(processor.MergeText(dir / "in.srt", dir / "in.txt", dir / "out.srt", &stats));
    EXPECT_EQ(ReadBytes(dir / "out.srt"), Saved(srt + "\n"));
    EXPECT_EQ(stats.m_nCuesWritten, 3);
    EXPECT_EQ(stats.m_nCuesWithoutParagraph, 0);
    EXPECT_EQ(stats.m_nParagraphsLeft, 0);
}
}  // namespace
