#include "text/CodePage.h"
#include "text/CodePageName.h"

#include <string>

#include <gtest/gtest.h>

#include "text/Unicode.h"

using namespace tavrel;

namespace
{
// The tests run in the "C" locale, so code page 0 is CP949.
TEST(CodePage, Decodes)
{
    const std::tuple<int, std::string, std::u16string> cases[] = {
        {0, "", u""},
        {0, "\xB0\xA1\xB3\xAA", u"가나"},
        {0, "\x94\xEE", u"뷁"},  // syllable outside EUC-KR
        {0, std::string("a\0b", 3), u"a"},
        {0,
         "\xFF\xFF"
         "a",
         u"\uFFFD\uFFFDa"},            // one mark per invalid byte
        {0, "a\xB0", u"a\uFFFD"},      // lead byte cut off at the end
        {0, "\xB0\x0D", u"\uFFFD\r"},  // bad trail keeps the next byte
        {0, "x\xB0" + std::string(20, 'A') + "\xB0\xA1", u"x\uCE9A" + std::u16string(19, u'A') + u"가"},
        {0, std::string(20, 'a') + "\xFF" + std::string(20, 'b'),
         std::u16string(20, u'a') + u"\uFFFD" + std::u16string(20, u'b')},
        {949, "\xB0\xA1", u"가"},
        {1252, "\xE9\x80", u"é€"},
        {65001, "\xF0\x9F\x98\x80", u"\U0001F600"},
        {99999, "a\xB0", u"a\uFFFD"}};  // unknown code page keeps ASCII
    for (const auto& [nCodePage, bytes, expected] : cases)
        EXPECT_EQ(DecodeCodePage(bytes.data(), bytes.size(), nCodePage), expected) << nCodePage << " " << bytes;
}

// Long runs of missing characters are in Regressions.cpp.
TEST(CodePage, EncodesWithOneMarkPerMissingCharacter)
{
    const std::tuple<int, std::u16string, std::string> cases[] = {
        {0, u"", ""},
        {0, u"a가\r뷁", "a\xB0\xA1\r\x94\xEE"},
        {0, std::u16string(u"a") + char16_t(0xD83D), "a?"},
        {1252, u"é가", "\xE9?"},
        {0, std::u16string(20, u'a') + u"\U0001F600" + std::u16string(20, u'b') + u"가",
         std::string(20, 'a') + "?" + std::string(20, 'b') + "\xB0\xA1"}};
    for (const auto& [nCodePage, text, expected] : cases)
        EXPECT_EQ(EncodeCodePage(text, nCodePage), expected) << nCodePage << " " << expected;
}

TEST(Unicode, Utf8ConversionsReplaceInvalidInputAndTrimTheFixedWhiteSpaceSet)
{
    EXPECT_EQ(Utf8ToU16("a\xC3\xA9\xF0\x9F\x98\x80"), u"aé\U0001F600");
    EXPECT_EQ(Utf8ToU16("\xC0\x80\xED\xA0\x80"
                        "a\xE0"),
              u"\uFFFD\uFFFD\uFFFDa\uFFFD");
    EXPECT_EQ(U16ToUtf8(std::u16string(1, char16_t(0xDC00)) + u"가"), "\xEF\xBF\xBD\xEA\xB0\x80");
    EXPECT_EQ(PathToU16(PathFromU16(u"폴더/파일 \U0001F600.srt")), u"폴더/파일 \U0001F600.srt");
    EXPECT_EQ(TrimWhiteSpace(u" \t\u3000a b\u00A0\r\n"), u"a b\u00A0");
    EXPECT_EQ(TrimWhiteSpace(u"   "), u"");
    EXPECT_FALSE(IsWhiteSpace(u'\u00A0'));
    EXPECT_TRUE(IsWhiteSpace(u'\u2003'));
}
TEST(CodePageName, KnowsTheCommonNamesInAnyCase)
{
    const std::pair<const char*, int> cases[] = {{"cp949", 949},     {"EUC-KR", 949},        {"cp932", 932},
                                                 {"Shift_JIS", 932}, {"windows-1252", 1252}, {"CP1252", 1252},
                                                 {"utf-8", 65001},   {"UTF8", 65001}};
    for (const auto& [pName, nNumber] : cases)
    {
        CodePage codePage;
        ASSERT_TRUE(ParseCodePageName(pName, codePage)) << pName;
        EXPECT_EQ(codePage.m_nNumber, nNumber) << pName;
    }
    CodePage codePage;
    for (const char* pName : {"", "klingon", "cp", "utf-16", "949"})
        EXPECT_FALSE(ParseCodePageName(pName, codePage)) << pName;
}

}  // namespace
