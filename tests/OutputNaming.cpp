#include "run/OutputNaming.h"

#include <tuple>

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

// SAMI outputs are named from the same base as the other conversion outputs: the input up to the last full stop
// of its file name.
TEST(OutputNaming, SamiClassOutputsSitBesideTheInput)
{
    const std::tuple<std::u16string_view, std::u16string_view, std::u16string_view> cases[] = {
        {u"movie.smi", u"KRCC", u"movie.KRCC.srt"},     {u"movie.sami", u"KRCC", u"movie.KRCC.srt"},
        {u"sub/a.s", u"KRCC", u"sub/a.KRCC.srt"},       {u"noext", u"KRCC", u"noext.KRCC.srt"},
        {u"sub.d/noext", u"EN", u"sub.d/noext.EN.srt"}, {u"movie.smi", u"", u"movie..srt"}};
    for (const auto& [input, className, output] : cases)
        EXPECT_EQ(SamiClassOutput(input, className), output) << testing::PrintToString(std::u16string(input));
}

TEST(OutputNaming, ConversionNeverNamesTheInputItself)
{
    EXPECT_EQ(SrtToSamiOutput(u"a/movie.srt"), u"a/movie.smi");
    EXPECT_EQ(SrtToUtf8SamiOutput(u"a/movie.srt"), u"a/movie.UTF8.smi");
    EXPECT_EQ(SrtToSamiOutput(u"a/movie.SMI"), u"a/movie.SMI.smi");
    EXPECT_EQ(AssToSrtOutput(u"show.ass"), u"show.srt");
    EXPECT_EQ(AssToSrtOutput(u"show.Srt"), u"show.Srt.srt");
}

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
