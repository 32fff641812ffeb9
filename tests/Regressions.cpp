// Inputs found by fuzzing that once broke an invariant, kept as tests.
// (Overlong UTF-8 NUL, CR and LF on load are covered in TextBuffer.cpp.)

#include <string>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "run/Job.h"
#include "text/CodePage.h"

using namespace tavrel;

using namespace testutil;

namespace
{
bool Correct(const std::filesystem::path& input, const std::filesystem::path& output)
{
    return RunJob({.m_nMode = Mode::Correct, .m_input = input, .m_output = output}).IsSuccess();
}

template <class S>
S Repeat(const S& unit, size_t nTimes)
{
    S out;
    for (size_t i = 0; i < nTimes; ++i)
        out += unit;
    return out;
}

// Long runs of characters the legacy code page lacks, and pairs and lone
// surrogates among them, come out as one '?' each, wherever they fall.
TEST(LegacyEncode, EachMissingCharacterIsOneQuestionMark)
{
    const struct
    {
        const char* m_pszName;
        std::u16string m_strText;
        std::string m_strBytes;
    } kCases[] = {{"ThaiRun", Repeat<std::u16string>(u"\u0E01", 10000), std::string(10000, '?')},
                  {"PairsAmongSyllables", Repeat<std::u16string>(u"\uAC00\U0001F600", 5000),
                   Repeat<std::string>("\xB0\xA1?", 5000)},
                  {"LoneSurrogates",
                   Repeat<std::u16string>(u"\xD800"
                                          u"a"
                                          u"\xDC00",
                                          3000),
                   Repeat<std::string>("?a?", 3000)},
                  {"AsciiBetweenMissing", Repeat<std::u16string>(u"x\u0E01 long ascii run here \u00B7", 2000),
                   Repeat<std::string>("x? long ascii run here \xA1\xA4", 2000)}};
    for (const auto& test : kCases)
        EXPECT_EQ(EncodeCodePage(test.m_strText, 949), test.m_strBytes) << test.m_pszName;
}

// A name just under the 255-byte limit (251 ASCII bytes, 253 bytes of
// Korean) is written: the temporary file the save goes through must not
// need a longer one.
TEST(LongOutputName, SavesBesideAnyValidName)
{
    for (const std::string& strName :
         {std::string(251, 'a') + ".srt", Repeat<std::string>("\xEA\xB0\x80", 83) + ".srt"})
    {
        CTempDir dir;
        WriteBytes(dir / "in.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n");
        const std::filesystem::path output = dir.Path() / std::filesystem::u8path(strName);
        ASSERT_TRUE(Correct(dir / "in.srt", output)) << strName.size();
        EXPECT_EQ(ReadBytes(output), std::string(kBom) + "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    }
}

// Correcting a corrected file without shift or options changes nothing.
// A cue whose only text is a line of blanks is an empty cue: the next cue's
// number and time line are not its text, so they cannot become a cue of
// their own on the second pass. Tolerant time lines come out strict, so the
// second pass reads the same cues.
TEST(CorrectTwice, SecondPassChangesNothing)
{
    for (const char* pInput :
         {"1\r\n00:00:01,000 --> 00:00:02,000\r\n \r\n12\r\n00:00:03,000 --> 00:00:04,000\r\nbye\r\n",
          "1\r\n00:00:013,567 --> 00:00:15,000 \r\nB\r\n\r\n"
          "3\r\n0:00:16.5 --> 0:00:17.25 X1:40 X2:600 Y1:20 Y2:50\r\nC\r\n"})
    {
        CTempDir dir;
        WriteBytes(dir / "in.srt", pInput);
        ASSERT_TRUE(Correct(dir / "in.srt", dir / "once.srt"));
        ASSERT_TRUE(Correct(dir / "once.srt", dir / "twice.srt"));
        EXPECT_EQ(ReadBytes(dir / "twice.srt"), ReadBytes(dir / "once.srt")) << pInput;
    }
}

}  // namespace
