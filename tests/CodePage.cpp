#include "text/CodePage.h"
#include "text/CodePageName.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <iconv.h>
#endif

#include "TestUtil.h"
#include "text/Unicode.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace tavrel;

namespace
{
TEST(CodePage, Decodes)
{
    const std::tuple<int, std::string, std::u16string> cases[] = {
        {0, "", u""},
        {949, "\xB0\xA1\xB3\xAA", u"가나"},
        {949, "\x94\xEE", u"뷁"},  // syllable outside EUC-KR
        {0, std::string("a\0b", 3), u"a"},
        {949,
         "\xFF\xFF"
         "a",
         u"\uFFFD\uFFFDa"},                  // one mark per invalid byte
        {949, "a\xB0", u"a\uFFFD"},          // lead byte cut off at the end
        {949, "\xB0\x0D", u"\uFFFD\r"},      // bad trail keeps the next byte
        {949, "\xFF\xB0\xA1", u"\uFFFD가"},  // no lead byte: the next byte starts afresh
#ifndef _WIN32
        // The system's tables differ here: Windows pairs E8 A2.
        {949, "\xA2\xE8\xA2\xE8\xB0\xA1", u"\uFFFD\uFFFD\uFFFD\uFFFD가"},
#endif
        {949, "x\xB0" + std::string(20, 'A') + "\xB0\xA1", u"x\uCE9A" + std::u16string(19, u'A') + u"가"},
        {949, std::string(20, 'a') + "\xFF" + std::string(20, 'b'),
         std::u16string(20, u'a') + u"\uFFFD" + std::u16string(20, u'b')},
        {1252, "\xE9\x80", u"é€"},
        {65001, "\xF0\x9F\x98\x80", u"\U0001F600"},
        {65001, "\xC3\xC3\xA9", u"\uFFFD\u00E9"},  // UTF-8 starts afresh at the byte after a bad one
        {99999, "a\xB0", u"a\uFFFD"}};             // unknown code page keeps ASCII
    for (const auto& [nCodePage, bytes, expected] : cases)
        EXPECT_EQ(DecodeCodePage(bytes.data(), bytes.size(), nCodePage), expected) << nCodePage << " " << bytes;
}

#ifndef _WIN32
// The pair alone through the system's converter: its one unit, or nothing when it is no character.
std::u16string ReferencePair(iconv_t cd, unsigned char nLead, unsigned char nTrail)
{
    char bytes[2] = {static_cast<char>(nLead), static_cast<char>(nTrail)};
    char16_t units[2];
    char* pIn = bytes;
    size_t nIn = 2;
    char* pOut = reinterpret_cast<char*>(units);
    size_t nOut = sizeof units;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool bOk = iconv(cd, &pIn, &nIn, &pOut, &nOut) != static_cast<size_t>(-1) && nIn == 0;
    return bOk && nOut == sizeof(char16_t) ? std::u16string(1, units[0]) : u"";
}

// A valid pair is one character; otherwise the lead byte is U+FFFD and the trail byte is decoded on its own, so
// the letters after the pair always survive, also after a character in the same run of the converter. A zero
// trail byte ends the text.
TEST(CodePage, Cp949PairsNeverTakeTheByteAfterThem)
{
    const iconv_t cd = iconv_open("UTF-16LE", "CP949");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (const std::string prefix : {"", "\xB0\xA1"})
    {
        for (int nLead = 0x81; nLead <= 0xFE; ++nLead)
        {
            for (int nTrail = 0x00; nTrail <= 0xFF; ++nTrail)
            {
                const std::string bytes = prefix + static_cast<char>(nLead) + static_cast<char>(nTrail) + "ABC";
                std::u16string expected = prefix.empty() ? u"" : u"가";
                const std::u16string pair = ReferencePair(cd, nLead, nTrail);
                if (nTrail == 0)
                    expected += u"\uFFFD";
                else if (!pair.empty())
                    expected += pair + u"ABC";
                else if (nTrail < 0x80)
                    expected += u"\uFFFD" + std::u16string(1, char16_t(nTrail)) + u"ABC";
                else
                    expected += u"\uFFFD\uFFFDABC";
                ASSERT_EQ(DecodeCodePage(bytes.data(), bytes.size(), 949), expected)
                    << std::hex << nLead << " " << nTrail << " after " << prefix.size();
            }
        }
    }
    iconv_close(cd);
}
#endif

// Long runs of missing characters are in Regressions.cpp.
TEST(CodePage, EncodesWithOneMarkPerMissingCharacter)
{
    const std::tuple<int, std::u16string, std::string> cases[] = {
        {0, u"", ""},
        {949, u"a가\r뷁", "a\xB0\xA1\r\x94\xEE"},
        {949, std::u16string(u"a") + char16_t(0xD83D), "a?"},
        {1252, u"é가", "\xE9?"},
        {949, std::u16string(20, u'a') + u"\U0001F600" + std::u16string(20, u'b') + u"가",
         std::string(20, 'a') + "?" + std::string(20, 'b') + "\xB0\xA1"}};
    for (const auto& [nCodePage, text, expected] : cases)
        EXPECT_EQ(EncodeCodePage(text, nCodePage), expected) << nCodePage << " " << expected;
}

// Code page 0 is CP949 under the "C" locale the tests pin; on Windows it is the ANSI code page.
// The file form of EncodeCodePage: every CR byte as CR LF.
std::string WithCrLf(const std::string& bytes)
{
    std::string out;
    for (const char c : bytes)
        out += c == '\r' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// Cut anywhere between characters, in two or three pieces, by a new encoder or one that already learned the text:
// the bytes are always those of the whole text through EncodeCodePage. The text holds Hangul, kana, Latin letters,
// characters each code page lacks, a pair, lone halves of pairs and CRs.
TEST(CodePage, FileEncoderWritesWhatEncodeCodePageWritesWhereverTheTextIsCut)
{
    const std::u16string kLoneHigh(1, char16_t(0xD83D));
    const std::u16string kLoneLow(1, char16_t(0xDE00));
    const std::u16string kMixed = u"가나다 뷁, é€ かな漢字 ก\r";
    const std::u16string text = u"<SYNC Start=1000><P Class=KRCC>\r" + kMixed + kLoneHigh + u"a" + kLoneLow +
                                u"\U0001F600\uFFFF\u00A0ÿ\rlast line without CR";
    for (const int nCodePage : {0, 949, 1252, 932, 65001})
    {
        SCOPED_TRACE(nCodePage);
        const std::string expected = WithCrLf(EncodeCodePage(text, nCodePage));
        CFileEncoder learned(nCodePage);
        for (size_t nCut = 0; nCut <= text.size(); ++nCut)
        {
            if (nCut > 0 && nCut < text.size() && IsHighSurrogate(text[nCut - 1]) && IsLowSurrogate(text[nCut]))
                continue;
            const std::u16string_view view(text);
            const size_t nSecondCut = nCut + (text.size() - nCut) / 2;
            const bool bThird = !IsHighSurrogate(text[std::max<size_t>(nSecondCut, 1) - 1]);
            for (CFileEncoder* pEncoder : {&learned, static_cast<CFileEncoder*>(nullptr)})
            {
                CFileEncoder fresh(nCodePage);
                CFileEncoder& encoder = pEncoder ? *pEncoder : fresh;
                std::string out;
                encoder.Append(view.substr(0, nCut), out);
                if (bThird)
                {
                    encoder.Append(view.substr(nCut, nSecondCut - nCut), out);
                    encoder.Append(view.substr(nSecondCut), out);
                }
                else
                {
                    encoder.Append(view.substr(nCut), out);
                }
                ASSERT_EQ(out, expected) << "cut at " << nCut;
            }
        }
    }
}

TEST(CodePage, ZeroIsTheLegacyCodePage)
{
    const std::string bytes = "a\xB0\xA1\xE9\x80\xFF";
    const std::u16string text = u"a가é€\U0001F600";
    const int nLegacy = testutil::LegacyCodePage();
    EXPECT_EQ(DecodeCodePage(bytes.data(), bytes.size(), 0), DecodeCodePage(bytes.data(), bytes.size(), nLegacy));
    EXPECT_EQ(EncodeCodePage(text, 0), EncodeCodePage(text, nLegacy));
}

// Long input goes through the converter in pieces: no pair and no invalid byte may fall apart at their seams.
TEST(CodePage, LongInputDecodesWholeAcrossPieces)
{
    std::string bytes = "x";
    std::u16string expected = u"x";
    for (int i = 0; i < 100000; ++i)
    {
        bytes += i % 7 == 0 ? "\xFF" : "\xB0\xA1";
        expected += i % 7 == 0 ? u'\uFFFD' : u'가';
    }
    EXPECT_TRUE(DecodeCodePage(bytes.data(), bytes.size(), 949) == expected);
}

#ifdef _WIN32
// The test script runs the tests under each code page it means to cover; Wine silently falls back to 1252 when the
// locale that should give another one is missing.
TEST(CodePage, AnsiCodePageIsTheOneTheRunAskedFor)
{
    const char* pExpected = std::getenv("TAVREL_TEST_ACP");
    if (pExpected == nullptr)
        GTEST_SKIP() << "no code page asked for";
    EXPECT_EQ(std::to_string(GetACP()), pExpected);
}

// Every lead byte with every trail byte, then "ABC". A pair the code page holds is one character; otherwise the lead
// byte alone is invalid and the trail byte is read again, so the converter never takes the text after it along.
TEST(CodePage, AnsiInvalidPairKeepsItsTrailByte)
{
    ASSERT_TRUE(IsValidCodePage(949));
    EXPECT_EQ(DecodeCodePage("\xA2\xE8"
                             "ABC",
                             5, 949),
              u"\uFFFD\uFFFDABC");
    for (int nLead = 0x81; nLead <= 0xFE; ++nLead)
    {
        for (int nTrail = 1; nTrail <= 0xFF; ++nTrail)
        {
            const std::string bytes = {static_cast<char>(nLead), static_cast<char>(nTrail), 'A', 'B', 'C'};
            wchar_t pair[2] = {};
            const int nUnits = MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, bytes.data(), 2, pair, 2);
            const std::u16string expected = nUnits > 0 ? std::u16string(pair, pair + nUnits) + u"ABC"
                                                       : u"\uFFFD" + DecodeCodePage(bytes.data() + 1, 4, 949);
            ASSERT_EQ(DecodeCodePage(bytes.data(), bytes.size(), 949), expected) << nLead << " " << nTrail;
        }
    }
}
#endif

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
// Characters of every UTF-8 length, CRs and unpaired surrogates, in many orders and at every alignment, so that
// each one meets the encoder's runs of several units at every place.
TEST(Unicode, Utf8FileEncodingOfEveryKindOfCharacterAtEveryAlignment)
{
    const std::pair<std::u16string, std::string> tokens[] = {
        {u"a", "a"},
        {u"01:", "01:"},
        {u"\r", "\r\n"},
        {u"é", "\xC3\xA9"},
        {u"가", "\xEA\xB0\x80"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {std::u16string(1, char16_t(0xDC00)), "\xEF\xBF\xBD"},
        {std::u16string(1, char16_t(0xD800)) + u"x", "\xEF\xBF\xBDx"},
        {u"\uFFFF", "\xEF\xBF\xBF"},
    };
    uint32_t nRandom = 1;
    for (int nCase = 0; nCase < 3000; ++nCase)
    {
        std::u16string text;
        std::string expected;
        for (int nToken = nCase % 23; nToken > 0; --nToken)
        {
            nRandom = nRandom * 1103515245 + 12345;
            const auto& [units, bytes] = tokens[(nRandom >> 16) % std::size(tokens)];
            text += units;
            expected += bytes;
        }
        std::string out(text.size() * kMaxUtf8BytesPerUnit, '\0');
        auto* pOut = reinterpret_cast<unsigned char*>(out.data());
        out.resize(
            static_cast<size_t>(EncodeUtf8(text.data(), static_cast<int64_t>(text.size()), pOut, CrEncoding::CrLf)));
        ASSERT_EQ(out, expected) << nCase;
    }
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
