#include "run/OutputNaming.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace
{
struct CNamingCase
{
    int32_t nMode;
    std::u16string_view input;
    std::u16string_view output;
};

class OutputNamingTest : public testing::TestWithParam<CNamingCase>
{};

TEST_P(OutputNamingTest, ProposesNameForMode)
{
    const CNamingCase& c = GetParam();
    EXPECT_EQ(MakeOutputName(c.nMode, c.input), c.output);
}

INSTANTIATE_TEST_SUITE_P(Modes, OutputNamingTest,
                         testing::Values(CNamingCase{ModeCorrect, u"/subs/movie.srt", u"/subs/movie (fixed).srt"},
                                         CNamingCase{ModeExtract, u"/subs/movie.srt", u"/subs/movie.txt"},
                                         CNamingCase{ModeMerge, u"/subs/movie.srt", u"/subs/movie (merged).srt"},
                                         CNamingCase{ModeConvert, u"/subs/movie.srt", u""},
                                         CNamingCase{ModeExtract, u"/subs/notes.TXT", u"/subs/notes (extracted).txt"},
                                         CNamingCase{ModeCorrect, u"/sub.dir/movie", u"/sub.dir/movie (fixed).srt"},
                                         CNamingCase{ModeCorrect, u"C:/sub.dir/movie", u"C:/sub.dir/movie (fixed).srt"},
                                         CNamingCase{ModeCorrect, u"movie.en.srt", u"movie.en (fixed).srt"},
                                         CNamingCase{ModeCorrect, u" /subs/movie.srt ", u"/subs/movie (fixed).srt"},
                                         CNamingCase{ModeCorrect, u"   ", u""}, CNamingCase{ModeCorrect, u"", u""},
                                         CNamingCase{7, u"/subs/movie.srt", u""}));

#ifdef _WIN32
TEST(OutputNaming, BackslashSeparatesFoldersOnWindows)
{
    EXPECT_EQ(MakeOutputName(ModeCorrect, u"C:\\sub.dir\\movie"), u"C:\\sub.dir\\movie (fixed).srt");
}
#else
TEST(OutputNaming, BackslashIsAnOrdinaryCharacterElsewhere)
{
    EXPECT_EQ(MakeOutputName(ModeCorrect, u"/a/b.c\\d"), u"/a/b (fixed).srt");
}
#endif
}  // namespace
