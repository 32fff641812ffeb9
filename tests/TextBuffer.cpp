#include "text/TextBuffer.h"

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "text/AtomicFile.h"
#include "text/FileReader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace tavrel;

using namespace testutil;
namespace fs = std::filesystem;

namespace
{
TEST(TextBufferLoad, DecodesAndNormalisesLineEnds)
{
    const std::tuple<const char*, std::string, std::u16string> cases[] = {
        {"AsciiWithLf", "A\n", u"A\r"},
        {"Utf16MarkOnly", "\xFF\xFE", u""},
        {"Utf8MarkOnly", "\xEF\xBB\xBF", u""},
        {"Utf16OddTail", "\xFF\xFE\x41", u"A"},
        {"MixedLineEnds", "a\r\nb\rc\nd", u"a\rb\rc\rd"},
        {"CrCrLf", "x\r\r\ny", u"x\r\ry"},
        {"LfCr", "x\n\ry", u"x\r\ry"},
        {"TextEncoding::Utf16Le",
         std::string("\xFF\xFE"
                     "a\0\r\0\n\0\0\xAC",
                     10),
         u"a\r\uAC00"},
        {"Utf16StopsAtNul",
         std::string("\xFF\xFE"
                     "a\0\0\0b\0",
                     8),
         u"a"},
        {"Utf16WithoutMarkIsAnsi", std::string("a\0b\0", 4), u"a"},
        {"Utf16Be",
         std::string("\xFE\xFF"
                     "\0a\0\r\0\n\xAC\0\xD8\x3D\xDE\0\0\n",
                     16),
         u"a\r\uAC00\U0001F600\r"},
        {"Utf16BeLoneSurrogateKept", std::string("\xFE\xFF\xDC\0\0b", 6), std::u16string(1, char16_t(0xDC00)) + u"b"},
        {"Utf16BeStopsAtNul",
         std::string("\xFE\xFF"
                     "\0a\0\0\0b",
                     8),
         u"a"},
        {"Utf16BeMarkOnly", "\xFE\xFF", u""},
        {"Utf16BeOddTailIsHighByte", std::string("\xFE\xFF\0a\x41", 5), u"a\u4100"},
        {"Utf16BeWithoutMarkIsAnsi", std::string("\0a\0b", 4), u""},
        {"AnsiStopsAtZeroByte", std::string("ab\0cd", 5), u"ab"},
        {"Utf8WithMark", std::string(kBom) + Bytes(u8"가\r\n나"), u"가\r나"},
        {"Utf8WithoutMark", Bytes(u8"é가\n"), u"é가\r"},
        {"ManyFourByteSequences", Bytes(u8"😀😀😀😀😀😀x\n"), u"😀😀😀😀😀😀x\r"},
        {"FourByteAboveUnicodeRange",
         "a\xF7\xBF\xBF\xBF"
         "b",
         u"a\uFFFDb"},
        {"OverlongIsDecodedAsWritten", "\xC1\x81\xC3\xA9", u"A\u00E9"},
        {"OverlongNulEndsText",
         "a\xC0\x80"
         "b\xC3\xA9",
         u"a"},
        {"OverlongLfIsLineEnd",
         "a\xC0\x8A"
         "b\xC3\xA9",
         u"a\rb\u00E9"},
        {"CrThenOverlongLfIsOneLineEnd",
         "a\r\xE0\x80\x8A"
         "b\xC3\xA9",
         u"a\rb\u00E9"},
        {"CutOffSequenceIsLegacy", "\xC3\xA9\xEB", ForCodePage(u"챕\uFFFD", u"Ã©ë")},
        {"LegacyKorean", "\xB0\xA1\r\n\x94\xEE", ForCodePage(u"가\r뷁", u"°¡\r”î")},
        {"LegacyInvalidByteEach",
         "a\xFF\xFF"
         "b\xB0",
         ForCodePage(u"a\uFFFD\uFFFDb\uFFFD", u"aÿÿb°")}};
    CTempDir dir;
    for (const auto& [pName, bytes, expected] : cases)
    {
        WriteBytes(dir / "in.txt", bytes);
        CTextBuffer buffer;
        ASSERT_NE(buffer.Load(dir / "in.txt"), 0) << pName;
        EXPECT_EQ(buffer.View(), expected) << pName;
        ASSERT_NE(buffer.Data(), nullptr) << pName;
        EXPECT_EQ(buffer.Data()[buffer.Length()], u'\0') << pName;
    }
}

// Files are read in pieces: whatever lies across the end of the first piece decodes as it would anywhere else.
TEST(TextBufferLoad, DecodesAcrossPieceBoundaries)
{
    const size_t nPiece = CFileReader::kPieceBytes;
    struct CCase
    {
        const char* pName;
        std::string_view head;  // the file's first bytes
        size_t nBefore;         // then this many "a", up to where `across` starts
        std::string across;
        std::u16string expected;  // what head and across decode to, without the run of "a"
    };
    const std::u16string kLegacyHangul = ForCodePage(u"가", u"°¡");
    const CCase cases[] = {
        {"Utf8SequenceCut", kBom, nPiece - 4, Bytes(u8"가나"), u"가나"},
        {"Utf8FourByteCut", kBom, nPiece - 5, Bytes(u8"😀z"), u"😀z"},
        {"CrLfCut", kBom, nPiece - 4, "\r\nb", u"\rb"},
        {"NulInSecondPiece", kBom, nPiece - 3, std::string("b\0c", 3), u"b"},
        {"Utf8WithoutMarkCut", "", nPiece - 1, Bytes(u8"가\n"), u"가\r"},
        {"InvalidUtf8InSecondPieceIsLegacy", "", nPiece - 1, "\xB0\xA1", kLegacyHangul},
        {"LegacyDoubleByteCut", "\xB0\xA1\n", nPiece - 4, "\xB0\xA1", kLegacyHangul + u"\r" + kLegacyHangul},
        {"LegacyLineLongerThanTwoPieces", "\xB0\xA1", 2 * nPiece + 1, "\xB0\xA1\r",
         kLegacyHangul + kLegacyHangul + u"\r"},
    };
    CTempDir dir;
    for (const CCase& c : cases)
    {
        std::string bytes(c.head);
        bytes.append(c.nBefore, 'a');
        bytes += c.across;
        WriteBytes(dir / "in.txt", bytes);
        CTextBuffer buffer;
        ASSERT_NE(buffer.Load(dir / "in.txt"), 0) << c.pName;
        std::u16string text(buffer.View());
        const size_t nRun = text.find(u'a');
        ASSERT_NE(nRun, std::u16string::npos) << c.pName;
        EXPECT_EQ(text.find_first_not_of(u'a', nRun) - nRun, c.nBefore) << c.pName;
        EXPECT_TRUE(text.erase(nRun, c.nBefore) == c.expected) << c.pName;
    }
}

// A file in two byte orders whose units cross the piece ends.
TEST(TextBufferLoad, DecodesUtf16AcrossPieceBoundaries)
{
    const size_t nPiece = CFileReader::kPieceBytes;
    std::string le = "\xFF\xFE";
    std::string be = "\xFE\xFF";
    std::u16string expected;
    for (size_t i = 0; 2 * i < 2 * nPiece + 3; ++i)
    {
        const auto c = static_cast<char16_t>(i % 3 == 0 ? 0xAC00 + i % 100 : (i % 3 == 1 ? u'\r' : u'\n'));
        le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
        if (c != u'\n')
            expected += c;
    }
    CTempDir dir;
    for (const std::string& bytes : {le, be})
    {
        WriteBytes(dir / "in.txt", bytes);
        CTextBuffer buffer;
        ASSERT_NE(buffer.Load(dir / "in.txt"), 0);
        EXPECT_TRUE(buffer.View() == expected);
    }
}

// Failed loads of every kind through the jobs (2 GiB, FIFO, device) are covered in Faults.cpp.
TEST(TextBufferLoad, ReplacesTextAndRefusesShortAndMissingFiles)
{
    CTempDir dir;
    WriteBytes(dir / "empty", "");
    WriteBytes(dir / "one", "A");
    WriteBytes(dir / "b", "2nd");
    CTextBuffer buffer;
    buffer.Assign(u"old");
    ASSERT_NE(buffer.Load(dir / "b"), 0);
    EXPECT_EQ(buffer.View(), u"2nd");
    const std::pair<const char*, const char*> cases[] = {{"empty", "shorter than 2 bytes"},
                                                         {"one", "shorter than 2 bytes"},
                                                         {"missing", "missing"},
                                                         {".", "not a regular file"}};
    for (const auto& [pName, pWhy] : cases)
    {
        CFailure failure;
        EXPECT_EQ(buffer.Load(dir / pName, kSystemCodePage, &failure), 0) << pName;
        EXPECT_EQ(failure.m_nKind, FailureKind::InputUnreadable) << pName;
        EXPECT_EQ(failure.m_strDetail, (dir / pName).string() + ": " + pWhy);
        EXPECT_EQ(buffer.Length(), 0) << pName;
        EXPECT_EQ(buffer.View(), u"") << pName;
    }
}

// A code page given for text without a byte-order mark; UTF-8 named as one still decodes what is not UTF-8.
TEST(TextBufferLoad, DecodesInTheCodePageGiven)
{
    const std::tuple<const char*, CodePage, std::u16string> cases[] = {
        {"caf\xE9", CodePage{1252}, u"caf\u00E9"},
        {"\x83\x65\x83\x58", CodePage{932}, u"\u30C6\u30B9"},
        {"a\xFF"
         "b",
         kUtf8CodePage, u"a\uFFFDb"},
        {"\xEF\xBB\xBF\xC3\xA9", CodePage{1252}, u"\u00E9"}};  // a mark wins over the code page
    CTempDir dir;
    for (const auto& [bytes, codePage, expected] : cases)
    {
        WriteBytes(dir / "in.txt", bytes);
        CTextBuffer buffer;
        ASSERT_NE(buffer.Load(dir / "in.txt", codePage), 0);
        EXPECT_EQ(buffer.View(), expected) << codePage.m_nNumber;
    }
}

// The bytes after the byte-order mark.
TEST(TextBufferSave, WritesUtf8WithMarkAndCrLf)
{
    const std::tuple<const char*, std::u16string, std::string> cases[] = {
        {"Empty", u"", ""},
        {"AccentCrHangul", u"é\r가", "\xC3\xA9\r\n\xEA\xB0\x80"},
        {"LfStaysSingle", u"a\nb", "a\nb"},
        {"PairIsOneSequence", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"LoneHighSurrogate", std::u16string(1, char16_t(0xD83D)) + u"x", "\xEF\xBF\xBDx"},
        {"LoneLowSurrogate", std::u16string(1, char16_t(0xDE00)), "\xEF\xBF\xBD"},
        {"TwoByteAndThreeByteEdges", u"\u007F\u0080\u07FF\u0800\uFFFF",
         "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"}};
    CTempDir dir;
    for (const auto& [pName, text, expected] : cases)
    {
        CTextBuffer buffer;
        buffer.Assign(text);
        ASSERT_TRUE(buffer.Save(dir / "out")) << pName;
        EXPECT_EQ(ReadBytes(dir / "out"), std::string(kBom) + expected) << pName;
    }
}

TEST(TextBufferSave, WritesOnlyTheFirstLengthUnitsAndKeepsPairsAndCrsWholeAcrossWriteChunks)
{
    CTempDir dir;
    CTextBuffer buffer;
    buffer.Assign(u"abc\r");
    buffer.Truncate(2);
    ASSERT_TRUE(buffer.Save(dir / "short"));
    EXPECT_EQ(ReadBytes(dir / "short"), std::string(kBom) + "ab");

    // A little over one write chunk (CTextFileStream::kFlushUnits), with pairs and CRs throughout.
    std::u16string text;
    std::string expected(kBom);
    for (int i = 0; i < 50000; ++i)
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
#ifndef _WIN32  // Windows keeps a read-only flag only; its attributes are checked below
    EXPECT_EQ(fs::status(dir / "t").permissions(), perms);
#endif
}

#ifdef _WIN32
// The old file's attributes stay with the new one. A target another program holds open without delete sharing
// cannot be replaced: the save fails, and the target and the folder stay as they were.
TEST(AtomicFile, KeepsAttributesAndFailsCleanlyOnATargetHeldOpen)
{
    CTempDir dir;
    const fs::path target = dir / "대상.srt";
    WriteBytes(target, "old");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(CTextBuffer::SaveText(target, u"new"));
    EXPECT_EQ(ReadBytes(target), std::string(kBom) + "new");
    EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    const HANDLE hHeld = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CTextBuffer::SaveText(target, u"newer"));
    CloseHandle(hHeld);
    EXPECT_EQ(ReadBytes(target), std::string(kBom) + "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}
#else
// Failed writes (full device, folder, missing folder) are covered through the jobs in Faults.cpp.
TEST(AtomicFile, LinksPipesAndDevicesAreHandled)
{
    CTempDir dir;
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
#endif
}  // namespace
