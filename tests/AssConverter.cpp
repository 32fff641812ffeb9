#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "TestUtil.h"
#include "convert/AssConverter.h"
#include "srt/SrtProcessor.h"
#include "text/Unicode.h"

using namespace tavrel;

using namespace testutil;

namespace
{
TEST(AssTime, ConvertsTime)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"0:00:01.50", u"00:00:01,500"},
        {u"1:02:03.4", u"01:02:03,400"},
        {u"123:00:00.00", u"23:00:00,000"},
        {u"0:00:05", u""},
        {u" 0 : 00:01.5\t", u"00:00:01,500"},
        {u"0:00:01.12345", u"00:00:01,123"},
        {u"0:01.50", u""},
        {u"000000000000000000000000000000000000000000000000000000000000000000000012:34:56.78", u"12:34:56,780"},
        {u"1.5:2:3:4.5.6", u".5:02::4,5.6"},
        {u"0:00:01:50", u"00:00:01,500"},  // a third colon in place of the full stop
        {u"1:02:03:4", u"01:02:03,400"},
        {u"0:00:01:50:00", u""},
        {u"0:00:01:50.5", u"00:00:50,500"}};  // with a full stop, read as before
    for (const auto& [field, srt] : cases)
        EXPECT_EQ(CAssConverter().ConvertAssTime(field), srt) << testing::PrintToString(field);
}

const std::string kHead =
    "[Script Info]\r\nTitle: test\r\n\r\n[V4+ Styles]\r\nFormat: Name, Fontname\r\nStyle: Default,Arial\r\n\r\n"
    "[Events]\r\n";
const std::string kFormat = "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

class AssConvertTest : public testing::Test
{
protected:
    bool Convert(std::string_view script)
    {
        CTextBuffer source;
        LoadInto(source, script);
        m_out = std::make_unique<CStringSink>();
        m_stats = {};
        return !CAssConverter().ConvertAssToSrt(source, *m_out, &m_stats).IsFailure() && m_out->Commit();
    }
    std::string Output() { return SinkBytes(*m_out); }
    bool Written() { return m_out->IsCommitted(); }

    std::unique_ptr<CStringSink> m_out;
    CSrtJobStats m_stats;
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
                              "2\n00:00:05,000 --> 00:00:06,000\nindented\n\n"
                              "3\n00:00:03,000 --> 00:00:04,500\n<i>Earlier</i>\nsecond\n\n"
                              "4\n00:00:07,000 --> 00:00:08,000\n<b>\n\n"
                              "5\n00:00:11,000 --> 00:00:12,000\nlater section\n\n"));
    EXPECT_EQ(m_stats.m_nCuesWritten, 5);
    EXPECT_EQ(m_stats.m_nDialoguesLeftOut, 1);  // "no dot": its start cannot be read
}

// The text field takes the rest of the line, so a time after it is never there: such lines are left out rather
// than written with an empty time, which players drop and the correction refuses.
TEST_F(AssConvertTest, LeavesOutDialogueLinesWhoseTimesCannotBeRead)
{
    ASSERT_TRUE(Convert(kHead + "Format: Start, Text, End\r\nDialogue: 0:00:01.00,a, b,0:00:02.00\r\n"
                                "Dialogue: 0:00:03.00\r\n"));
    EXPECT_EQ(Output(), kBom);
    EXPECT_EQ(m_stats.m_nDialoguesLeftOut, 1);  // the second line has no text, so it never counts
    ASSERT_TRUE(Convert(kHead + kFormat +
                        "Dialogue: 0,0:00:01.00,later,Default,,0,0,0,,a\r\n"
                        "Dialogue: 0,0:00:02.00,0:00:03.00,Default,,0,0,0,,b\r\n"));
    EXPECT_EQ(Output(), Saved("1\n00:00:02,000 --> 00:00:03,000\nb\n\n"));
    EXPECT_EQ(m_stats.m_nDialoguesLeftOut, 1);
}

// Blanks around the headings and before the keys, as indented scripts have them; and h:mm:ss:cc times.
TEST_F(AssConvertTest, ReadsIndentedScriptsAndColonFractions)
{
    const std::string scripts[] = {
        " [Events] \r\n  Format: Start, End, Text\r\n\tDialogue: 0:00:01.00,0:00:02.50,a\r\n",
        "[Events]\t\r\nFormat: Start, End, Text\r\n  Dialogue: 0:00:01:00,0:00:02:50,a\r\n",
    };
    for (const std::string& script : scripts)
    {
        ASSERT_TRUE(Convert(script)) << script;
        EXPECT_EQ(Output(), Saved("1\n00:00:01,000 --> 00:00:02,500\na\n\n")) << script;
    }
}

TEST_F(AssConvertTest, FailsWithoutWritingWhenEventsOrFormatAreMissing)
{
    for (const char* pScript :
         {"[Script Info]\r\nFormat: Start, End, Text\r\n", "[Events]\r\nDialogue: 0,0:00:01.00,0:00:02.00,x\r\n",
          "[Events]\r\nFor mat: Start, End, Text\r\n", "[Events]\r\nFormat:  \r\n",
          "[Events]\r\nFormat: Start, End, Style\r\n", "[Events]\r\nFormat: start, End, Text\r\n"})
    {
        EXPECT_FALSE(Convert(pScript)) << pScript;
        EXPECT_FALSE(Written()) << pScript;
    }
}

TEST_F(AssConvertTest, LongCueWrittenInPiecesMatchesTheWholeText)
{
    // A little over one write chunk (CTextFileStream::kFlushUnits).
    std::string text = "x" + std::string(70000, ' ') + "\\Ny";
    for (int k = 0; k < 3000; ++k)
        text += k % 7 ? "{\\c&HF&}ab \\N" : "\xF0\x9F\x98\x80{\\i1}  \\N\\N";
    text += "end  \\N";
    ASSERT_TRUE(Convert("[Events]\nFormat: Start,End,Text\nDialogue:0:0:1.0,0:0:2.0," + text + "\n"));
    std::string srt = U16ToUtf8(CAssConverter().ConvertAssText(Utf8ToU16(text)));
    std::replace(srt.begin(), srt.end(), '\r', '\n');
    EXPECT_EQ(Output(), Saved("1\n00:00:01,000 --> 00:00:02,000\n" + srt + "\n\n"));
}
}  // namespace
