#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace tavrel;

using namespace testutil;

namespace
{
struct CCleanCase
{
    std::u16string input;
    std::u16string expected;
};

class CleanTextTest : public testing::TestWithParam<CCleanCase>
{};

TEST_P(CleanTextTest, TrimsEveryLineAndEndsItWithCr)
{
    EXPECT_EQ(CleanText(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CleanTextTest,
                         testing::Values(CCleanCase{u"\xA0\t a\tb\xA0"
                                                    u"c",
                                                    u"a b c\r"},
                                         CCleanCase{u"a\r \t\rb", u"a\r\rb\r"}, CCleanCase{u" \r\t\r\xA0\rx", u"x\r"},
                                         CCleanCase{u"  \r\t\r\r", u""},
                                         CCleanCase{u"x\x3000\r\x2003y\x205F", u"x\ry\r"},
                                         CCleanCase{u"\x2007x\x202F", u"\x2007x\x202F\r"}));

const std::string kTwoCues =
    "1\n00:00:01,000 --> 00:00:02,500\nold one\n\n2\n00:00:03,000 --> 00:00:04,000\nold two\n\n";
const std::string kTwoPaired = "1\n00:00:01,000 --> 00:00:02,500\na\n\n2\n00:00:03,000 --> 00:00:04,000\nb\n\n";

struct CMergeCase
{
    std::string srt;       // LF line ends, written with CR LF
    std::string text;      // written as it stands
    std::string expected;  // LF line ends, without the byte-order mark
    int64_t nCues, nCuesWithoutParagraph, nParagraphsLeft;
};

class MergeTextTest : public testing::TestWithParam<CMergeCase>
{};

TEST_P(MergeTextTest, PairsTimeLinesWithParagraphs)
{
    const CMergeCase& c = GetParam();
    CTextBuffer srt;
    CTextBuffer text;
    LoadInto(srt, Crlf(c.srt));
    LoadInto(text, c.text);
    CStringSink out;
    CSrtJobStats stats;
    ASSERT_FALSE(CSrtProcessor().MergeText(srt, text, out, &stats).IsFailure());
    EXPECT_EQ(SinkBytes(out), Saved(c.expected));
    EXPECT_EQ(stats.m_nCuesWritten, c.nCues);
    EXPECT_EQ(stats.m_nCuesWithoutParagraph, c.nCuesWithoutParagraph);
    EXPECT_EQ(stats.m_nParagraphsLeft, c.nParagraphsLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeTextTest,
    testing::Values(
        CMergeCase{kTwoCues, "  Hello\r\nworld  \r\n\r\n\r\nSecond\r\n\r\n",
                   "1\n00:00:01,000 --> 00:00:02,500\nHello\nworld\n\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n\n", 2,
                   0, 0},
        CMergeCase{kTwoCues, "one\ntwo", "1\n00:00:01,000 --> 00:00:02,500\none\ntwo\n\n", 1, 1, 0},
        CMergeCase{kTwoCues, " \t\r\n\r\n\xC2\xA0\r\n", "", 0, 2, 0},
        CMergeCase{kTwoCues, "a\n\n  \n\t\n\nb\n\nc\n\nd\n", kTwoPaired, 2, 0, 2},
        CMergeCase{kTwoCues, "\xE3\x80\x80\n\xE3\x80\x80\na\n\nb\n", kTwoPaired, 2, 0, 0},
        CMergeCase{"8\n00:75:00,000 --> 00:99:99,999\nx\n", "y\n", "1\n00:75:00,000 --> 00:99:99,999\ny\n\n", 1, 0, 0},
        CMergeCase{"1\n00:00:01,000 --> 00:00:02,500\n\n2\n00:00:03,000 --> 00:00:04,000\nz", "a\n\nb\n", kTwoPaired, 2,
                   0, 0},
        // A figure space is not a blank: its line is a paragraph.
        CMergeCase{kTwoCues, "\xE2\x80\x87\n\nb\n\nc",
                   "1\n00:00:01,000 --> 00:00:02,500\n\xE2\x80\x87\n\n2\n00:00:03,000 --> 00:00:04,000\nb\n\n", 2, 0,
                   1}));

// An extracted text merged back, over itself, onto its SRT file gives back the cues.
TEST(MergeText, ExtractedTextMergesBack)
{
    const std::string srt =
        "1\n00:00:01,000 --> 00:00:02,000\n<i>One</i>\n\n"
        "2\n00:00:03,000 --> 00:00:04,000\nTwo\nlines\n\n3\n00:00:05,000 --> 00:00:06,000\n\xEC\x85\x8B\n";
    CTextBuffer source;
    LoadInto(source, Crlf(srt));
    const CSrtProcessor processor;
    CStringSink extracted;
    ASSERT_FALSE(processor.ExtractText(source, extracted).IsFailure());
    ASSERT_TRUE(extracted.Commit());
    CTextBuffer text;
    text.Assign(extracted.Text());
    CStringSink merged;
    ASSERT_FALSE(processor.MergeText(source, text, merged).IsFailure());
    EXPECT_EQ(SinkBytes(merged), Saved(srt + "\n"));
}

}  // namespace
