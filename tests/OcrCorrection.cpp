#include <string>

#include <gtest/gtest.h>

#include "srt/SrtProcessor.h"

namespace
{
enum : unsigned
{
    Fix85 = 1,
    FixQuotes = 2,
    FixLetterL = 4,
    FixDigits = 8,
};

struct COcrCase
{
    const char* name;
    std::u16string input;
    unsigned nFlags;
    std::u16string expected;
};

std::u16string Fix(std::u16string text, unsigned nFlags)
{
    const CSrtProcessor processor;
    processor.FixOcrLine(text, (nFlags & Fix85) != 0, (nFlags & FixQuotes) != 0, (nFlags & FixLetterL) != 0,
                         (nFlags & FixDigits) != 0);
    return text;
}

class FixOcrLineTest : public testing::TestWithParam<COcrCase>
{
};

TEST_P(FixOcrLineTest, RepairsAsExpected)
{
    const COcrCase& c = GetParam();
    EXPECT_EQ(Fix(c.input, c.nFlags), c.expected);
}

const COcrCase kCleanUps[] = {
    {"TagLineJoinsText", u"<i>\rHello</i>\r", 0, u"<i>Hello</i>"},
    {"TextLinesKeepBreaks", u"Hello\rWorld", 0, u"Hello\rWorld"},
    {"TrailingCrsGo", u"Hello\r\r\r", 0, u"Hello"},
    {"SpaceLineJoinsText", u"  \rHi", 0, u"  Hi"},
    {"LeadingEmptyLineGoes", u"\r\rHi\rthere", 0, u"Hi\rthere"},
    {"OnlyTagsAndSpacesLoseAllCrs", u"<i> \r </i>\r<b>", 0, u"<i>  </i><b>"},
    {"TagSpanningLinesKeepsItsCr", u"<font\rcolor=red>\rHi", 0, u"<font\rcolor=red>Hi"},
    {"UnclosedTagKeepsRestVerbatim", u"\r<i\rHello\rx", 0, u"<i\rHello\rx"},
    {"UnclosedTagAfterTextChangesNothing", u"a\r<b\r\rc", 0, u"a\r<b\r\rc"},
    {"TagLineAfterTextStays", u"Hi\r<i>\rthere</i>", 0, u"Hi\r<i>\rthere</i>"},
    {"TabIsText", u"\t\rHi", 0, u"\t\rHi"},
    {"EmptyStaysEmpty", u"", 0, u""},
    {"OnlyCrsBecomeEmpty", u"\r\r\r", 0, u""},
    {"OptionsOffChangeNothingElse", u"''lt's 1 000\x85", 0, u"''lt's 1 000\x85"},
};
INSTANTIATE_TEST_SUITE_P(CleanUps, FixOcrLineTest, testing::ValuesIn(kCleanUps),
                         [](const auto& info) { return info.param.name; });

const COcrCase kRepairs[] = {
    {"NextLineBecomesSpace", u"a\x85" u"b\x85", Fix85, u"a b "},
    {"ApostrophePairsOpenQuote", u"'' Hello''", FixQuotes, u"\"Hello\""},
    {"QuoteWithPartnerLosesSpace", u"He said, \" yes\"", FixQuotes, u"He said, \"yes\""},
    {"LoneQuoteKeepsSpace", u"He said \" ok", FixQuotes, u"He said \" ok"},
    {"OnlyFirstQuoteIsLookedAt", u"a \" b \" c \"", FixQuotes, u"a \"b \" c \""},
    {"ApostropheWithPartnerLosesSpace", u"the ' quoted' word", FixQuotes, u"the 'quoted' word"},
    {"ApostropheAtStartLosesSpace", u"' Tis", FixQuotes, u"'Tis"},
    {"ThreeApostrophes", u"'''", FixQuotes, u"\"'"},
    {"DigitGroups", u"1 000 000", FixDigits, u"1000000"},
    {"DigitBeforeFullStop", u"3 .5", FixDigits, u"3.5"},
    {"DigitBeforeHyphen", u"10 -20", FixDigits, u"10-20"},
    {"DigitRun", u"1 2 3", FixDigits, u"123"},
    {"LetterAfterDigitStays", u"a 1 b", FixDigits, u"a 1 b"},
    {"DoubleSpaceStays", u"1  2", FixDigits, u"1  2"},
    {"TrailingSpaceStays", u"12 ", FixDigits, u"12 "},
    {"StartIt", u"lt's", FixLetterL, u"It's"},
    {"StartIf", u"lf you", FixLetterL, u"If you"},
    {"StartInAlone", u"lnside", FixLetterL, u"Inside"},
    {"StartIsn", u"lsn't it", FixLetterL, u"Isn't it"},
    {"StartI", u"l know", FixLetterL, u"I know"},
    {"LoneLStays", u"l", FixLetterL, u"l"},
    {"AfterHyphen", u"-lt's", FixLetterL, u"-It's"},
    {"AfterSpace", u"He said l know", FixLetterL, u"He said I know"},
    {"AfterQuote", u"\"l'm", FixLetterL, u"\"I'm"},
    {"InnerInNeedsSpace", u"go lnside, ln here", FixLetterL, u"go lnside, In here"},
    {"CrIsNoDelimiter", u"Hi\rl know", FixLetterL, u"Hi\rl know"},
    {"EveryDelimiter", u"a.lt's b'ls c", FixLetterL, u"a.It's b'Is c"},
    {"WarTwo", u"World War ll.", FixLetterL, u"World War II."},
    {"WarThree", u"War lll", FixLetterL, u"War III"},
    {"WarOne", u"the war l", FixLetterL, u"the war I"},
    {"WarLordsStay", u"war lords", FixLetterL, u"war lords"},
    {"WarLlamaStays", u"War llama", FixLetterL, u"War llama"},
    {"WarFourStays", u"War llll", FixLetterL, u"War llll"},
    {"WarEveryOccurrence", u"War ll, war l!", FixLetterL, u"War II, war I!"},
    {"QuotesBeforeLetterL", u"''lt's", FixQuotes | FixLetterL, u"\"It's"},
    {"AllOnTogether", u"<i>\r'' lt's 1 000\x85''\r\r", Fix85 | FixQuotes | FixLetterL | FixDigits,
     u"<i>\"It's 1000 \""},
};
INSTANTIATE_TEST_SUITE_P(Repairs, FixOcrLineTest, testing::ValuesIn(kRepairs),
                         [](const auto& info) { return info.param.name; });

// Texts built so that a repair done by repeated erase or rescans would take
// far too long; each must finish in one pass.
TEST(FixOcrLine, LongTextsFinishInOnePass)
{
    constexpr size_t kRepeat = 300000;
    std::u16string digits;
    std::u16string apostrophes;
    std::u16string crs;
    std::u16string wars;
    for (size_t i = 0; i < kRepeat; ++i)
    {
        digits += u"1 ";
        apostrophes += u"''";
        crs += u"\r<b>";
        wars += u"War ll ";
    }
    EXPECT_EQ(Fix(digits + u"1", FixDigits), std::u16string(kRepeat + 1, u'1'));
    EXPECT_EQ(Fix(apostrophes, FixQuotes), std::u16string(kRepeat, u'"'));
    EXPECT_EQ(Fix(crs, 0).size(), 3 * kRepeat);
    const std::u16string fixed = Fix(wars, FixLetterL);
    EXPECT_EQ(fixed.find(u"ll"), std::u16string::npos);
}
}  // namespace
