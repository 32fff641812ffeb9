// Inputs found by fuzzing that once broke an invariant, kept as tests.

#include <string>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "srt/SrtProcessor.h"
#include "text/CodePage.h"
#include "text/TextBuffer.h"

using namespace testutil;

namespace
{

struct CLoadCase
{
    const char* m_pszName;
    std::string m_strBytes;
    std::u16string m_strText;
};

void PrintTo(const CLoadCase& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

class OverlongLoadTest : public testing::TestWithParam<CLoadCase>
{
};

// Overlong UTF-8 forms of NUL, CR and LF decode to those units, which then
// end the text or become line ends like their one-byte forms: a loaded text
// never holds a NUL or an LF.
TEST_P(OverlongLoadTest, DecodedControlUnitsAreNormalised)
{
    CTempDir dir;
    WriteBytes(dir / "in.txt", GetParam().m_strBytes);
    CTextBuffer buffer;
    ASSERT_TRUE(buffer.Load(dir / "in.txt", 0));
    EXPECT_EQ(buffer.View(), GetParam().m_strText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverlongLoadTest,
    testing::Values(CLoadCase{"TwoByteNulEndsText", std::string(kBom) + "a\xC0\x80" "b", u"a"},
                    CLoadCase{"ThreeByteNulEndsText", std::string(kBom) + "a\xE0\x80\x80" "b", u"a"},
                    CLoadCase{"FourByteNulEndsText", std::string(kBom) + "a\xF0\x80\x80\x80" "b", u"a"},
                    CLoadCase{"NulWithoutMark", "\xC3\xA9\xC0\x80x", u"\u00E9"},
                    CLoadCase{"LfBecomesCr", std::string(kBom) + "a\xC0\x8A" "b", u"a\rb"},
                    CLoadCase{"CrThenOverlongLf", std::string(kBom) + "a\r\xC0\x8A" "b", u"a\rb"},
                    CLoadCase{"OverlongCrThenLf", std::string(kBom) + "a\xC0\x8D\nb", u"a\rb"},
                    CLoadCase{"OverlongCrAlone", std::string(kBom) + "a\xE0\x80\x8D" "b", u"a\rb"},
                    CLoadCase{"CutSequenceAtTheEnd", std::string(kBom) + "a\xC0", u"a"}),
    [](const testing::TestParamInfo<CLoadCase>& info) { return info.param.m_pszName; });

std::string Repeat2(std::string_view unit, size_t nTimes)
{
    std::string out;
    for (size_t i = 0; i < nTimes; ++i)
        out += unit;
    return out;
}

std::u16string Repeat(std::u16string_view unit, size_t nTimes)
{
    std::u16string out;
    for (size_t i = 0; i < nTimes; ++i)
        out += unit;
    return out;
}

struct CEncodeCase
{
    const char* m_pszName;
    std::u16string m_strText;
    std::string m_strBytes;
};

void PrintTo(const CEncodeCase& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

class LegacyEncodeTest : public testing::TestWithParam<CEncodeCase>
{
};

// Long runs of characters the legacy code page lacks, and pairs and lone
// surrogates among them, come out as one '?' each, wherever they fall.
TEST_P(LegacyEncodeTest, EachMissingCharacterIsOneQuestionMark)
{
    EXPECT_EQ(EncodeCodePage(GetParam().m_strText, 949), GetParam().m_strBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LegacyEncodeTest,
    testing::Values(CEncodeCase{"ThaiRun", Repeat(u"\u0E01", 10000), std::string(10000, '?')},
                    CEncodeCase{"PairsAmongSyllables", Repeat(u"\uAC00\U0001F600", 5000), Repeat2("\xB0\xA1?", 5000)},
                    CEncodeCase{"LoneSurrogates", Repeat(u"\xD800" u"a" u"\xDC00", 3000), Repeat2("?a?", 3000)},
                    CEncodeCase{"AsciiBetweenMissing", Repeat(u"x\u0E01 long ascii run here \u00B7", 2000),
                                Repeat2("x? long ascii run here \xA1\xA4", 2000)}),
    [](const testing::TestParamInfo<CEncodeCase>& info) { return info.param.m_pszName; });

class LongOutputNameTest : public testing::TestWithParam<std::string>
{
};

// A name just under the 255-byte limit is written: the temporary file the
// save goes through must not need a longer one.
TEST_P(LongOutputNameTest, SavesBesideAnyValidName)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n");
    const std::filesystem::path output = dir.Path() / std::filesystem::u8path(GetParam());
    ASSERT_TRUE(CSrtProcessor().CorrectSrt(dir / "in.srt", output, 1.0, 0.0, 0, 0, 0, 0, 0));
    EXPECT_EQ(ReadBytes(output), std::string(kBom) + "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

INSTANTIATE_TEST_SUITE_P(Names, LongOutputNameTest,
                         testing::Values(std::string(251, 'a') + ".srt",
                                         Repeat2("\xEA\xB0\x80", 83) + ".srt",      // 253 bytes of Korean
                                         std::string(61, 'a') + Repeat2("\xEA\xB0\x80", 60) + ".srt"),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return std::to_string(info.index);
                         });

// Correcting a corrected file without shift or options changes nothing.
// A cue whose only text is a line of blanks is an empty cue: the next cue's
// number and time line are not its text, so they cannot become a cue of
// their own on the second pass.
TEST(CorrectTwice, BlankOnlyCueKeepsTheNextCue)
{
    CTempDir dir;
    WriteBytes(dir / "in.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\n \r\n12\r\n"
                               "00:00:03,000 --> 00:00:04,000\r\nbye\r\n");
    CSrtProcessor srt;
    ASSERT_TRUE(srt.CorrectSrt(dir / "in.srt", dir / "once.srt", 1.0, 0.0, 0, 0, 0, 0, 0));
    ASSERT_TRUE(srt.CorrectSrt(dir / "once.srt", dir / "twice.srt", 1.0, 0.0, 0, 0, 0, 0, 0));
    EXPECT_EQ(ReadBytes(dir / "twice.srt"), ReadBytes(dir / "once.srt"));
}

}  // namespace
