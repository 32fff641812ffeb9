#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "TestUtil.h"
#include "convert/AssConverter.h"
#include "text/Unicode.h"

using testutil::Bytes;
using testutil::CTempDir;
using testutil::kBom;
using testutil::ReadBytes;
using testutil::Saved;
using testutil::WriteBytes;

namespace
{
struct CTimeCase
{
    std::u16string_view field;
    std::u16string_view srt;
};

class AssTimeTest : public testing::TestWithParam<CTimeCase>
{
};

TEST_P(AssTimeTest, ConvertsTime)
{
    EXPECT_EQ(CAssConverter().ConvertAssTime(GetParam().field), GetParam().srt);
}

INSTANTIATE_TEST_SUITE_P(
    Times, AssTimeTest,
    testing::Values(CTimeCase{u"0:00:01.50", u"00:00:01,500"}, CTimeCase{u"1:02:03.4", u"01:02:03,400"},
                    CTimeCase{u"123:00:00.00", u"23:00:00,000"}, CTimeCase{u"0:00:05", u""},
                    CTimeCase{u" 0 : 00:01.5\t", u"00:00:01,500"}, CTimeCase{u"0:00:01.12345", u"00:00:01,123"},
                    CTimeCase{u"0:01.50", u""},
                    CTimeCase{u"000000000000000000000000000000000000000000000000000000000000000000000012:34:56.78",
                              u"12:34:56,780"},
                    CTimeCase{u"1.5:2:3:4.5.6", u".5:02::4,5.6"}));

const std::string kHead =
    "[Script Info]\r\nTitle: test\r\n\r\n[V4+ Styles]\r\nFormat: Name, Fontname\r\nStyle: Default,Arial\r\n\r\n"
    "[Events]\r\n";
const std::string kFormat = "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

class AssConvertTest : public testing::Test
{
protected:
    bool Convert(std::string_view script)
    {
        WriteBytes(m_dir / "in.ass", script);
        return CAssConverter().ConvertAssToSrt(m_dir / "in.ass", m_dir / "out.srt");
    }
    std::string Output() { return ReadBytes(m_dir / "out.srt"); }
    bool Written() { return std::filesystem::exists(m_dir / "out.srt"); }

    CTempDir m_dir;
};

TEST_F(AssConvertTest, WritesOneCuePerDialogueLine)
{
    ASSERT_TRUE(Convert(kHead + kFormat +
                        "Comment: 0,0:00:00.00,0:00:01.00,Default,,0,0,0,,skipped\r\n"
                        "Dialogue: 0,0:00:01.50,0:00:04.00,Default,,0,0,0,,Hello, world\r\n"
                        "Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,   \r\n"
                        "Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,\xE3\x80\x80\t\xE3\x80\x80\r\n"
                        "  Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,indented\r\n"
                        "Dialogue: 0,0:00:03.00,0:00:04.5,Default,,0,0,0,,{\\i1}Earlier{\\i0}\\Nsecond\r\n"
                        "Dialogue: 0,0:00:07.00,0:00:08.00,Default,,0,0,0,,{\\pos(1,2)}\r\n"
                        "Dialogue:0,0:00:09,0:00:10.00,Default,,0,0,0,,no dot\r\n"
                        "\r\n[Fonts]\r\nDialogue: 0,0:00:11.00,0:00:12.00,Default,,0,0,0,,later section"));
    EXPECT_EQ(Output(), Saved("1\n00:00:01,500 --> 00:00:04,000\nHello, world\n\n"
                              "2\n00:00:03,000 --> 00:00:04,500\n<i>Earlier</i>\nsecond\n\n"
                              "3\n00:00:07,000 --> 00:00:08,000\n<b>\n\n"
                              "4\n --> 00:00:10,000\nno dot\n\n"
                              "5\n00:00:11,000 --> 00:00:12,000\nlater section\n\n"));
}

TEST_F(AssConvertTest, TextFieldKeepsTheRestOfTheLine)
{
    ASSERT_TRUE(Convert(kHead + "Format: Start, Text, End\r\nDialogue: 0:00:01.00,a, b,0:00:02.00\r\n"
                                "Dialogue: 0:00:03.00\r\n"));
    EXPECT_EQ(Output(), Saved("1\n00:00:01,000 --> \na, b,0:00:02.00\n\n"));
}

class AssFailTest : public AssConvertTest, public testing::WithParamInterface<std::string>
{
};

TEST_P(AssFailTest, FailsWithoutWriting)
{
    EXPECT_FALSE(Convert(GetParam()));
    EXPECT_FALSE(Written());
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, AssFailTest,
    testing::Values("[Script Info]\r\nFormat: Start, End, Text\r\n",
                    " [Events]\r\nFormat: Start, End, Text\r\n",
                    "[Events]\t\r\nFormat: Start, End, Text\r\n",
                    "[Events]\r\nDialogue: 0,0:00:01.00,0:00:02.00,x\r\n",
                    "[Events]\r\n Format: Start, End, Text\r\n",
                    "[Events]\r\nFormat:  \r\n",
                    "[Events]\r\nFormat: Start, End, Style\r\n",
                    "[Events]\r\nFormat: start, End, Text\r\n"));

TEST_F(AssConvertTest, ScriptWithoutDialogueWritesAnEmptyFile)
{
    ASSERT_TRUE(Convert(kHead + kFormat));
    EXPECT_EQ(Output(), kBom);
}

TEST_F(AssConvertTest, GrowsOutputPastTheInputSize)
{
    std::string script = "[Events]\nFormat: Start,End,Text\n";
    std::string expected;
    for (int k = 1; k <= 2000; ++k)
    {
        script += "Dialogue:0:0:0.0,0:0:0.0,{\\c&HF&}\n";
        expected += std::to_string(k) + "\n00:00:00,000 --> 00:00:00,000\n<font color=\"#0F0000\">\n\n";
    }
    ASSERT_TRUE(Convert(script));
    EXPECT_EQ(Output(), Saved(expected));
}

TEST_F(AssConvertTest, LongCueWrittenInPiecesMatchesTheWholeText)
{
    std::string text = "x" + std::string(70000, ' ') + "\\Ny";
    for (int k = 0; k < 30000; ++k)
        text += k % 7 ? "{\\c&HF&}ab \\N" : "\xF0\x9F\x98\x80{\\i1}  \\N\\N";
    text += "end  \\N";
    ASSERT_TRUE(Convert("[Events]\nFormat: Start,End,Text\nDialogue:0:0:1.0,0:0:2.0," + text + "\n"));
    std::string srt = U16ToUtf8(CAssConverter().ConvertAssText(Utf8ToU16(text)));
    std::replace(srt.begin(), srt.end(), '\r', '\n');
    EXPECT_EQ(Output(), Saved("1\n00:00:01,000 --> 00:00:02,000\n" + srt + "\n\n"));
}
}  // namespace
