#include "text/TextBuffer.h"

#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "text/AtomicFile.h"

using namespace testutil;
namespace fs = std::filesystem;

namespace
{
// Overlong-UTF-8 control units and NUL ends per job are covered in Regressions.cpp and Faults.cpp.
struct LoadCase
{
    const char* pName;
    std::string bytes;
    std::u16string expected;
};
class LoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, DecodesAndNormalisesLineEnds)
{
    CTempDir dir;
    WriteBytes(dir / "in.txt", GetParam().bytes);
    CTextBuffer buffer;
    ASSERT_NE(buffer.Load(dir / "in.txt", 0), 0);
    EXPECT_EQ(buffer.View(), GetParam().expected);
    ASSERT_NE(buffer.m_pText, nullptr);
    EXPECT_EQ(buffer.m_pText[buffer.m_nLength], u'\0');
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadTest,
    testing::Values(LoadCase{"AsciiWithLf", "A\n", u"A\r"},
                    LoadCase{"Utf16MarkOnly", "\xFF\xFE", u""},
                    LoadCase{"Utf8MarkOnly", "\xEF\xBB\xBF", u""},
                    LoadCase{"Utf16OddTail", "\xFF\xFE\x41", u"A"},
                    LoadCase{"MixedLineEnds", "a\r\nb\rc\nd", u"a\rb\rc\rd"},
                    LoadCase{"CrCrLf", "x\r\r\ny", u"x\r\ry"},
                    LoadCase{"LfCr", "x\n\ry", u"x\r\ry"},
                    LoadCase{"Utf16Le", std::string("\xFF\xFE" "a\0\r\0\n\0\0\xAC", 10), u"a\r\uAC00"},
                    LoadCase{"Utf16StopsAtNul", std::string("\xFF\xFE" "a\0\0\0b\0", 8), u"a"},
                    LoadCase{"Utf16WithoutMarkIsAnsi", std::string("a\0b\0", 4), u"a"},
                    LoadCase{"BigEndianMarkIsAnsi", std::string("\xFE\xFF\0a", 4), u"\uFFFD\uFFFD"},
                    LoadCase{"AnsiStopsAtZeroByte", std::string("ab\0cd", 5), u"ab"},
                    LoadCase{"Utf8WithMark", std::string(kBom) + Bytes(u8"가\r\n나"), u"가\r나"},
                    LoadCase{"Utf8WithoutMark", Bytes(u8"é가\n"), u"é가\r"},
                    LoadCase{"ManyFourByteSequences", Bytes(u8"😀😀😀😀😀😀x\n"), u"😀😀😀😀😀😀x\r"},
                    LoadCase{"FourByteAboveUnicodeRange", "a\xF7\xBF\xBF\xBF" "b", u"a\uFFFDb"},
                    LoadCase{"OverlongIsDecodedAsWritten", "\xC1\x81\xC3\xA9", u"A\u00E9"},
                    LoadCase{"CutOffSequenceIsCp949", "\xC3\xA9\xEB", u"챕\uFFFD"},
                    LoadCase{"Cp949Korean", "\xB0\xA1\r\n\x94\xEE", u"가\r뷁"},
                    LoadCase{"Cp949InvalidByteEach", "a\xFF\xFF" "b\x80", u"a\uFFFD\uFFFDb\uFFFD"}),
    [](const auto& info) { return std::string(info.param.pName); });

TEST(TextBufferLoad, ReplacesTextAndRefusesShortMissingFolderAndHugePaths)
{
    CTempDir dir;
    WriteBytes(dir / "empty", "");
    WriteBytes(dir / "one", "A");
    WriteBytes(dir / "b", "2nd");
    std::ofstream(dir / "huge").put('1');
    std::error_code ec;
    fs::resize_file(dir / "huge", uintmax_t{1} << 31, ec);  // 2 GiB, sparse: no disk used
    CTextBuffer buffer;
    buffer.Assign(u"old");
    ASSERT_NE(buffer.Load(dir / "b", 0), 0);
    EXPECT_EQ(buffer.View(), u"2nd");
    for (const char* pName : {"empty", "one", "missing", ".", ec ? "." : "huge"})
    {
        EXPECT_EQ(buffer.Load(dir / pName, 0), 0) << pName;
        EXPECT_EQ(buffer.m_nLength, 0) << pName;
        EXPECT_EQ(buffer.m_pText, nullptr) << pName;
    }
}

TEST(TextBufferLoad, LargeFilesSurviveWholeInEveryEncoding)
{
    // Several MB, so that the big-file paths run; lines of varying length put line ends at every offset.
    std::u16string expected;
    std::string utf8(kBom), utf16("\xFF\xFE"), cp949;
    for (int i = 0; i < 250000; ++i)
    {
        const std::string pad(static_cast<size_t>(i % 11), 'a');
        expected += std::u16string(pad.begin(), pad.end()) + u"가나 b\r";
        utf8 += pad + Bytes(u8"가나 b\r\n");
        cp949 += pad + "\xB0\xA1\xB3\xAA b\n";
        for (const char16_t c : std::u16string(pad.begin(), pad.end()) + u"가나 b\r\n")
            utf16 += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    }
    CTempDir dir;
    for (const auto& [name, bytes] : {std::pair{"utf8", &utf8}, {"utf16", &utf16}, {"cp949", &cp949}})
    {
        WriteBytes(dir / name, *bytes);
        CTextBuffer buffer;
        ASSERT_NE(buffer.Load(dir / name, 0), 0) << name;
        EXPECT_TRUE(buffer.View() == expected) << name;
        EXPECT_EQ(buffer.m_pText[buffer.m_nLength], u'\0') << name;
    }
}

struct SaveCase
{
    const char* pName;
    std::u16string text;
    std::string expected;  // after the byte-order mark
};
class SaveTest : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveTest, WritesUtf8WithMarkAndCrLf)
{
    CTempDir dir;
    CTextBuffer buffer;
    buffer.Assign(GetParam().text);
    ASSERT_TRUE(buffer.Save(dir / "out"));
    EXPECT_EQ(ReadBytes(dir / "out"), std::string(kBom) + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SaveTest,
    testing::Values(SaveCase{"Empty", u"", ""},
                    SaveCase{"AccentCrHangul", u"é\r가", "\xC3\xA9\r\n\xEA\xB0\x80"},
                    SaveCase{"LfStaysSingle", u"a\nb", "a\nb"},
                    SaveCase{"PairIsOneSequence", u"\U0001F600", "\xF0\x9F\x98\x80"},
                    SaveCase{"LoneHighSurrogate", std::u16string(1, char16_t(0xD83D)) + u"x", "\xEF\xBF\xBDx"},
                    SaveCase{"LoneLowSurrogate", std::u16string(1, char16_t(0xDE00)), "\xEF\xBF\xBD"},
                    SaveCase{"TwoByteAndThreeByteEdges", u"\u007F\u0080\u07FF\u0800\uFFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"}),
    [](const auto& info) { return std::string(info.param.pName); });

TEST(TextBufferSave, WritesOnlyTheFirstLengthUnitsAndKeepsPairsAndCrsWholeAcrossLargeTexts)
{
    CTempDir dir;
    CTextBuffer buffer;
    buffer.Assign(u"abc\r");
    buffer.m_nLength = 2;
    ASSERT_TRUE(buffer.Save(dir / "short"));
    EXPECT_EQ(ReadBytes(dir / "short"), std::string(kBom) + "ab");

    // Long enough for several write chunks; pairs and CRs land on every offset.
    std::u16string text;
    std::string expected(kBom);
    for (int i = 0; i < 150000; ++i)
    {
        text += (i % 3 == 0) ? u"\U0001F600" : (i % 3 == 1 ? u"\r" : u"가");
        expected += (i % 3 == 0) ? "\xF0\x9F\x98\x80" : (i % 3 == 1 ? "\r\n" : "\xEA\xB0\x80");
    }
    ASSERT_TRUE(CTextBuffer::SaveText(dir / "out", text));
    EXPECT_EQ(ReadBytes(dir / "out"), expected);
}

TEST(AtomicFile, UncommittedWriteKeepsTargetAndCommitKeepsPermissions)
{
    CTempDir dir;
    WriteBytes(dir / "t", "old");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "t", perms);
    {
        CAtomicFile file(dir / "t");
        ASSERT_TRUE(file.IsOpen());
        ASSERT_TRUE(file.Write("new", 3));  // not committed: as if the job failed half-way
    }
    EXPECT_EQ(ReadBytes(dir / "t"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
    CAtomicFile file(dir / "t");
    ASSERT_TRUE(file.Write("new", 3));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadBytes(dir / "t"), "new");
    EXPECT_EQ(fs::status(dir / "t").permissions(), perms);
}

TEST(AtomicFile, FailedWritesLeaveNothingAndLinksPipesAndDevicesAreHandled)
{
    CTempDir dir;
    EXPECT_FALSE(CTextBuffer::SaveText(testutil::FullDevice(), u"text"));
    EXPECT_FALSE(CTextBuffer::SaveText(dir.Path(), u"text"));
    EXPECT_FALSE(CTextBuffer::SaveText(dir / "no-such-folder" / "out", u"text"));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
    WriteBytes(dir / "real", "old");
    fs::create_symlink("real", dir / "link");
    ASSERT_TRUE(CTextBuffer::SaveText(dir / "link", u"x"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadBytes(dir / "real"), std::string(kBom) + "x");
    const auto fifo = dir / "fifo";  // without a reader: fails instead of blocking
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(CTextBuffer::SaveText(fifo, u"x"));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(CTextBuffer::SaveText("/dev/null", u"x"));  // written in place
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}
}  // namespace
