#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "srt/SrtProcessor.h"

using namespace tavrel;

namespace
{
enum : unsigned
{
    Fix85 = 1,
    FixQuotes = 2,
    FixLetterL = 4,
    FixDigits = 8
};

std::u16string Fix(std::u16string text, unsigned nFlags)
{
    CSrtProcessor().FixOcrLine(text, COcrOptions{nFlags});
    return text;
}

struct COcrCase
{
    std::u16string input;
    unsigned nFlags;
    std::u16string expected;
};

class FixOcrLineTest : public testing::TestWithParam<COcrCase>
{};

TEST_P(FixOcrLineTest, RepairsAsExpected)
{
    EXPECT_EQ(Fix(GetParam().input, GetParam().nFlags), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(CleanUps, FixOcrLineTest,
                         testing::Values(COcrCase{u"<i>\rHello</i>\r\r", 0, u"<i>Hello</i>"},
                                         COcrCase{u"  \rHi\r<i>\rthere", 0, u"  Hi\r<i>\rthere"},
                                         COcrCase{u"\r\rHi", 0, u"Hi"},
                                         COcrCase{u"<i> \r </i>\r<b>", 0, u"<i>  </i><b>"},
                                         COcrCase{u"<font\rcolor=red>\rHi", 0, u"<font\rcolor=red>Hi"},
                                         COcrCase{u"\r<i\rHello\rx", 0, u"<i\rHello\rx"},
                                         COcrCase{u"\t\rHi", 0, u"\t\rHi"}));

INSTANTIATE_TEST_SUITE_P(
    Repairs, FixOcrLineTest,
    testing::Values(COcrCase{u"a\x85"
                             u"b\x85",
                             Fix85, u"a b "},
                    COcrCase{u"'' Hello''", FixQuotes, u"\"Hello\""},
                    COcrCase{u"He said, \" yes\"", FixQuotes, u"He said, \"yes\""},
                    COcrCase{u"He said \" ok", FixQuotes, u"He said \" ok"},
                    COcrCase{u"a \" b \" c \"", FixQuotes, u"a \"b \" c \""},
                    COcrCase{u"the ' quoted' word", FixQuotes, u"the 'quoted' word"},
                    COcrCase{u"'''", FixQuotes, u"\"'"}, COcrCase{u"1 000 000", FixDigits, u"1000000"},
                    COcrCase{u"3 .5", FixDigits, u"3.5"}, COcrCase{u"10 -20", FixDigits, u"10-20"},
                    COcrCase{u"a 1 b", FixDigits, u"a 1 b"}, COcrCase{u"1  2 ", FixDigits, u"1  2 "},
                    COcrCase{u"lt's", FixLetterL, u"It's"}, COcrCase{u"lf you", FixLetterL, u"If you"},
                    COcrCase{u"lnside", FixLetterL, u"Inside"}, COcrCase{u"-lt's", FixLetterL, u"-It's"},
                    COcrCase{u"go lnside, ln here", FixLetterL, u"go lnside, In here"},
                    COcrCase{u"Hi\rl know", FixLetterL, u"Hi\rl know"},
                    COcrCase{u"a.lt's b'ls c\"lsn't", FixLetterL, u"a.It's b'Is c\"Isn't"},
                    COcrCase{u"World War ll.", FixLetterL, u"World War II."},
                    COcrCase{u"War lll", FixLetterL, u"War III"},
                    COcrCase{u"War ll, war l!", FixLetterL, u"War II, war I!"},
                    COcrCase{u"war lords, War llama", FixLetterL, u"war lords, War llama"}));

// FixedOcrText skips the copy when the repairs would change nothing; it must
// give what FixOcrLine gives for every text and every set of repairs.
void ExpectSameAsFixOcrLine(const std::u16string& input)
{
    for (uint32_t nFlags = 0; nFlags < 16; ++nFlags)
    {
        std::u16string expected = input;
        CSrtProcessor().FixOcrLine(expected, COcrOptions{nFlags});
        std::u16string scratch;
        EXPECT_EQ(CSrtProcessor().FixedOcrText(input, COcrOptions{nFlags}, scratch), expected)
            << "flags " << nFlags << ", input of " << input.size() << " units";
    }
}

TEST(FixedOcrText, GivesFixOcrLineResultOnTrickyCues)
{
    const std::vector<std::u16string> cues = {
        u"",
        u"\r\r",
        u"\x85l",
        u"1\x85"
        u"2",
        u"<i>l know</i>\r",
        u"<i>\rHello</i>",
        u"<i\rHello",
        u" <b> \r",
        u"War ll",
        u"9 -l",
        u"'' lt's",
        u"안녕 l\r\r",
    };
    for (const std::u16string& cue : cues)
        ExpectSameAsFixOcrLine(cue);
}

TEST(FixedOcrText, GivesFixOcrLineResultOnRandomCues)
{
    // Every unit some repair or the clean-up looks at, and a few it does not.
    constexpr char16_t kUnits[] = u"<> \rl'\"1-.\x85"
                                  u"aItnsrW안";
    constexpr uint32_t kUnitCount = static_cast<uint32_t>(std::size(kUnits) - 1);
    std::mt19937 random(20240607u);
    for (int nCase = 0; nCase < 20000; ++nCase)
    {
        std::u16string input(random() % 12, u' ');
        for (char16_t& c : input)
            c = kUnits[random() % kUnitCount];
        ExpectSameAsFixOcrLine(input);
    }
}

}  // namespace
