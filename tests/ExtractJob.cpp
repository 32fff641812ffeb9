#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "srt/SrtProcessor.h"

using namespace tavrel;

using namespace testutil;

namespace
{
// Plain cues, empty cues and cues over several lines are golden cases (extract_ko_utf8, extract_empty_cues).
struct CExtractCase
{
    std::string srt;       // LF line ends, written with CR LF
    std::string expected;  // LF line ends, without the byte-order mark
    int64_t nCues;
};

class ExtractTextTest : public testing::TestWithParam<CExtractCase>
{};

TEST_P(ExtractTextTest, WritesCueTexts)
{
    CTextBuffer source;
    LoadInto(source, Crlf(GetParam().srt));
    CStringSink out;
    CSrtJobStats stats;
    ASSERT_FALSE(CSrtProcessor().ExtractText(source, out, &stats).IsFailure());
    EXPECT_EQ(SinkBytes(out), Saved(GetParam().expected));
    EXPECT_EQ(stats.m_nCuesWritten, GetParam().nCues);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractTextTest,
    testing::Values(CExtractCase{"1\n00:00:01,000 --> 00:00:02,000\n<i>\nHi</i> lt's ''1 000''\n\n\n",
                                 "<i>Hi</i> lt's ''1 000''\n\n\n\n", 1},
                    // Lines of only white space inside a cue are left out (golden extract_whitespace_line).
                    CExtractCase{"1\n00:00:01,000 --> 00:00:02,000\n  \nA\n\n", "  A\n\n\n\n", 1},  // joined, as before
                    CExtractCase{"1\n00:00:01,000 --> 00:00:02,000\n\xE3\x80\x80\n\n", "\n\n\n\n", 1},
                    CExtractCase{"1\n00:00:01,000 --> 00:00:02,000\n A \n\n", " A \n\n\n\n", 1}));

}  // namespace
