#include "text/CodePage.h"

#include <string>

#include <gtest/gtest.h>

#include "text/Unicode.h"

namespace
{
struct DecodeCase
{
    const char* pName;
    int nCodePage;
    std::string bytes;
    std::u16string expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << c.pName;
}

class DecodeTest : public testing::TestWithParam<DecodeCase>
{
};

TEST_P(DecodeTest, Decodes)
{
    const DecodeCase& c = GetParam();
    EXPECT_EQ(DecodeCodePage(c.bytes.data(), c.bytes.size(), c.nCodePage), c.expected);
}

// The tests run in the "C" locale, so code page 0 is CP949.
INSTANTIATE_TEST_SUITE_P(
    Bytes, DecodeTest,
    testing::Values(DecodeCase{"Empty", 0, "", u""},
                    DecodeCase{"Ascii", 0, "Hello\r", u"Hello\r"},
                    DecodeCase{"Hangul", 0, "\xB0\xA1\xB3\xAA", u"가나"},
                    DecodeCase{"SyllableOutsideEucKr", 0, "\x94\xEE", u"뷁"},
                    DecodeCase{"StopsAtZeroByte", 0, std::string("a\0b", 3), u"a"},
                    DecodeCase{"InvalidBytesOneEach", 0, "\xFF\xFF" "a", u"\uFFFD\uFFFDa"},
                    DecodeCase{"CutOffLeadAtEnd", 0, "a\xB0", u"a\uFFFD"},
                    DecodeCase{"BadTrailKeepsNextByte", 0, "\xB0\x0D", u"\uFFFD\r"},
                    DecodeCase{"TrailByteStartingAsciiRun", 0, "x\xB0" + std::string(20, 'A') + "\xB0\xA1",
                                u"x\uCE9A" + std::u16string(19, u'A') + u"가"},
                    DecodeCase{"LongAsciiRunsAroundInvalidByte", 0,
                               std::string(20, 'a') + "\xFF" + std::string(20, 'b'),
                               std::u16string(20, u'a') + u"\uFFFD" + std::u16string(20, u'b')},
                    DecodeCase{"Explicit949", 949, "\xB0\xA1", u"가"},
                    DecodeCase{"Western1252", 1252, "\xE9\x80", u"é€"},
                    DecodeCase{"Utf8CodePage", 65001, "\xF0\x9F\x98\x80", u"\U0001F600"},
                    DecodeCase{"UnknownCodePageKeepsAscii", 99999, "a\xB0", u"a\uFFFD"}));

struct EncodeCase
{
    const char* pName;
    int nCodePage;
    std::u16string text;
    std::string expected;
};

void PrintTo(const EncodeCase& c, std::ostream* os)
{
    *os << c.pName;
}

class EncodeTest : public testing::TestWithParam<EncodeCase>
{
};

TEST_P(EncodeTest, Encodes)
{
    const EncodeCase& c = GetParam();
    EXPECT_EQ(EncodeCodePage(c.text, c.nCodePage), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EncodeTest,
    testing::Values(EncodeCase{"Empty", 0, u"", ""},
                    EncodeCase{"AsciiAndHangul", 0, u"a가\r뷁", "a\xB0\xA1\r\x94\xEE"},
                    EncodeCase{"MissingCharacterIsOneMark", 0, u"a\u0E01b", "a?b"},
                    EncodeCase{"PairIsOneMark", 0, u"a\U0001F600b", "a?b"},
                    EncodeCase{"LoneSurrogateIsOneMark", 0, std::u16string(u"a") + char16_t(0xD83D) + u"b", "a?b"},
                    EncodeCase{"LoneSurrogateAtEnd", 0, std::u16string(u"a") + char16_t(0xD83D), "a?"},
                    EncodeCase{"Western1252", 1252, u"é가", "\xE9?"},
                    EncodeCase{"LongAsciiRunsAroundMissing", 0,
                               std::u16string(20, u'a') + u"\U0001F600" + std::u16string(20, u'b') + u"가",
                               std::string(20, 'a') + "?" + std::string(20, 'b') + "\xB0\xA1"}));

TEST(CodePage, LargeMixedTextRoundTrips)
{
    std::u16string text;
    for (int i = 0; i < 50000; ++i)
        text += (i % 2 == 0) ? u"자막 subtitle 뷁\r" : u"<SYNC Start=1000><P Class=KRCC>\r가\r";
    const std::string bytes = EncodeCodePage(text, 0);
    EXPECT_EQ(DecodeCodePage(bytes.data(), bytes.size(), 0), text);
}

TEST(Unicode, Utf8ConversionsReplaceInvalidInput)
{
    EXPECT_EQ(Utf8ToU16("a\xC3\xA9\xF0\x9F\x98\x80"), u"aé\U0001F600");
    EXPECT_EQ(Utf8ToU16("\xC0\x80\xED\xA0\x80" "a\xE0"), u"\uFFFD\uFFFD\uFFFDa\uFFFD");
    EXPECT_EQ(U16ToUtf8(std::u16string(1, char16_t(0xDC00)) + u"가"), "\xEF\xBF\xBD\xEA\xB0\x80");
    EXPECT_EQ(PathToU16(PathFromU16(u"폴더/파일 \U0001F600.srt")), u"폴더/파일 \U0001F600.srt");
}

TEST(Unicode, TrimsOnlyTheFixedWhiteSpaceSet)
{
    EXPECT_EQ(TrimWhiteSpace(u" \t\u3000a b\u00A0\r\n"), u"a b\u00A0");
    EXPECT_EQ(TrimWhiteSpace(u"   "), u"");
    EXPECT_FALSE(IsWhiteSpace(u'\u00A0'));
    EXPECT_TRUE(IsWhiteSpace(u'\u2003'));
}
}  // namespace
