#include "run/OutputNaming.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace
{
struct CNamingCase
{
    Mode nMode;
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
                         testing::Values(CNamingCase{Mode::Correct, u"/subs/movie.srt", u"/subs/movie (fixed).srt"},
                                         CNamingCase{Mode::Extract, u"/subs/movie.srt", u"/subs/movie.txt"},
                                         CNamingCase{Mode::Merge, u"/subs/movie.srt", u"/subs/movie (merged).srt"},
                                         CNamingCase{Mode::Convert, u"/subs/movie.srt", u""},
                                         CNamingCase{Mode::Extract, u"/subs/notes.TXT", u"/subs/notes (extracted).txt"},
                                         CNamingCase{Mode::Correct, u"/sub.dir/movie", u"/sub.dir/movie (fixed).srt"},
                                         CNamingCase{Mode::Correct, u"C:/sub.dir/movie",
                                                     u"C:/sub.dir/movie (fixed).srt"},
                                         CNamingCase{Mode::Correct, u"movie.en.srt", u"movie.en (fixed).srt"},
                                         CNamingCase{Mode::Correct, u" /subs/movie.srt ", u"/subs/movie (fixed).srt"},
                                         CNamingCase{Mode::Correct, u"   ", u""}, CNamingCase{Mode::Correct, u"", u""},
                                         CNamingCase{static_cast<Mode>(7), u"/subs/movie.srt", u""}));

#ifdef _WIN32
TEST(OutputNaming, BackslashSeparatesFoldersOnWindows)
{
    EXPECT_EQ(MakeOutputName(Mode::Correct, u"C:\\sub.dir\\movie"), u"C:\\sub.dir\\movie (fixed).srt");
}
#else
TEST(OutputNaming, BackslashIsAnOrdinaryCharacterElsewhere)
{
    EXPECT_EQ(MakeOutputName(Mode::Correct, u"/a/b.c\\d"), u"/a/b (fixed).srt");
}
#endif
}  // namespace
