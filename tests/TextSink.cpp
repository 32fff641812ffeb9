#include "text/TextSink.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "text/CodePage.h"
#include "text/TextFileStream.h"
#include "text/Unicode.h"

using namespace tavrel;
using namespace testutil;
namespace fs = std::filesystem;

namespace
{
// Records each piece handed to the writer, so the tests see where the sink cut the text.
class CPieceSink : public CTextSink
{
public:
    std::u16string m_strPieces;
    CFailure Failure() const override { return {}; }

protected:
    bool WriteUnits(std::u16string_view text) override
    {
        m_strPieces += std::u16string(text) + u"|";
        return true;
    }
    bool Finish() override { return true; }
};

const std::u16string kPair = u"\U0001F600";

TEST(TextSink, NeverSplitsASurrogatePairBetweenWrites)
{
    CPieceSink sink;
    sink.Write(u"a" + kPair.substr(0, 1));
    sink.Write(kPair.substr(1) + u"b");
    sink.Write(kPair.substr(0, 1));
    sink.Write(u"");
    sink.Write(kPair.substr(1));
    ASSERT_TRUE(sink.Commit());
    EXPECT_EQ(sink.m_strPieces, u"a|" + kPair + u"|b|" + kPair + u"|");
}

TEST(TextSink, FlushWritesOnlyEnoughPendingTextAndKeepsAHighSurrogate)
{
    CPieceSink sink;
    sink.Pending() = u"short";
    EXPECT_FALSE(sink.Flush());
    EXPECT_EQ(sink.m_strPieces, u"");
    sink.Pending() = std::u16string(CTextSink::kFlushUnits - 1, u'x') + kPair.substr(0, 1);
    EXPECT_TRUE(sink.Flush());
    EXPECT_EQ(sink.Pending(), kPair.substr(0, 1));
    sink.Pending() += kPair.substr(1);
    ASSERT_TRUE(sink.Commit());
    EXPECT_EQ(sink.m_strPieces, std::u16string(CTextSink::kFlushUnits - 1, u'x') + u"|" + kPair + u"|");
}

// A lone high surrogate at the very end is written as it is; the encoder makes it U+FFFD.
TEST(TextSink, CommitWritesALastLoneHighSurrogate)
{
    CPieceSink sink;
    sink.Write(kPair.substr(0, 1));
    ASSERT_TRUE(sink.Commit());
    EXPECT_EQ(sink.m_strPieces, kPair.substr(0, 1) + u"|");
}

// Lines of Korean and ASCII with a surrogate pair, long enough to go through the file stream's writer thread.
std::u16string LongText(size_t nUnits)
{
    const std::u16string strLine = u"<SYNC Start=1000>자막 " + kPair + u" line\r";
    std::u16string text;
    while (text.size() < nUnits)
        text += strLine;
    return text;
}

// The bytes a file holds for the text: each CR as CR LF.
std::string FileBytes(std::u16string_view text, FileEncoding nEncoding)
{
    const std::string strEncoded =
        nEncoding == FileEncoding::Utf8Bom ? U16ToUtf8(text) : EncodeCodePage(text, LegacyCodePage());
    std::string bytes(nEncoding == FileEncoding::Utf8Bom ? kBom : "");
    for (const char c : strEncoded)
        bytes += c == '\r' ? std::string("\r\n") : std::string(1, c);
    return bytes;
}

// Pieces of a fixed size (cutting pairs anywhere), or the pending text flushed line by line.
void WriteInPieces(CTextSink& sink, std::u16string_view text, size_t nPiece)
{
    for (size_t nAt = 0; nAt < text.size(); nAt += nPiece)
        sink.Write(text.substr(nAt, nPiece));
}

void WriteByFlush(CTextSink& sink, std::u16string_view text)
{
    for (size_t nAt = 0; nAt < text.size();)
    {
        const size_t nEnd = std::min(text.find(u'\r', nAt), text.size() - 1) + 1;
        sink.Pending().append(text.substr(nAt, nEnd - nAt));
        sink.Flush();
        nAt = nEnd;
    }
}

struct CWriteWay
{
    const char* m_pszName;
    std::function<void(CTextSink&, std::u16string_view)> m_fnWrite;
};

const CWriteWay kWriteWays[] = {
    {"PendingAndFlush", WriteByFlush},
    {"OneWrite", [](CTextSink& sink, std::u16string_view text) { sink.Write(text); }},
    {"LargePieces", [](CTextSink& sink, std::u16string_view text) { WriteInPieces(sink, text, 100003); }},
    {"SmallPieces", [](CTextSink& sink, std::u16string_view text) { WriteInPieces(sink, text, 7); }},
};

TEST(TextFileStream, WritesLongAndShortTextsWholeInEveryWayAndEncoding)
{
    const std::u16string strLong = LongText(3 * CTextSink::kFlushUnits + 11);
    CTempDir dir;
    for (const CWriteWay& way : kWriteWays)
        for (const FileEncoding nEncoding : {FileEncoding::Utf8Bom, FileEncoding::LegacyCode})
            for (const size_t nUnits : {size_t{40}, strLong.size()})
            {
                SCOPED_TRACE(std::string(way.m_pszName) +
                             (nEncoding == FileEncoding::Utf8Bom ? " UTF-8 " : " legacy ") + std::to_string(nUnits));
                const std::u16string_view text = std::u16string_view(strLong).substr(0, nUnits);
                const fs::path path = dir / "out.txt";
                CTextFileStream stream(path, nEncoding);
                way.m_fnWrite(stream, text);
                ASSERT_TRUE(stream.Commit());
                EXPECT_EQ(ReadBytes(path), FileBytes(text, nEncoding));
            }
}

TEST(TextFileStream, AnUncommittedLongOutputLeavesTheOldFileAlone)
{
    CTempDir dir;
    WriteBytes(dir / "out.txt", "old");
    {
        CTextFileStream stream(dir / "out.txt");
        WriteByFlush(stream, LongText(4 * CTextSink::kFlushUnits));
    }
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1) << "no temporary file";
}

#ifndef _WIN32
TEST(TextFileStream, AFailedWriteOfALongOutputIsReportedWithTheSystemsText)
{
    CTextFileStream stream(FullDevice());
    const std::u16string text = LongText(8 * CTextSink::kFlushUnits);
    bool bWritesOk = true;
    for (size_t nAt = 0; nAt < text.size(); nAt += CTextSink::kFlushUnits)
        bWritesOk = stream.Write(std::u16string_view(text).substr(nAt, CTextSink::kFlushUnits)) && bWritesOk;
    EXPECT_FALSE(stream.Commit() && bWritesOk);
    const CFailure failure = stream.Failure();
    EXPECT_EQ(failure.m_nKind, FailureKind::OutputUnwritable);
    EXPECT_EQ(failure.m_strDetail,
              MakeFileFailure(FailureKind::OutputUnwritable, FullDevice(), SystemErrorText(ENOSPC)).m_strDetail);
}

// In a child whose files may not grow past 1 MB: the write fails on the writer thread, Commit says so with the
// system's text, and the target keeps its old bytes.
TEST(TextFileStream, AFailureOnTheWriterKeepsTheOldFile)
{
    CTempDir dir;
    const fs::path path = dir / "out.txt";
    WriteBytes(path, "old");
    const pid_t pid = fork();
    if (pid == 0)
    {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto fnFailsAsExpected = [&] {
            CTextFileStream stream(path);
            WriteByFlush(stream, LongText(4 << 20));
            const bool bCommitted = stream.Commit();
            const CFailure expected = MakeFileFailure(FailureKind::OutputUnwritable, path, SystemErrorText(EFBIG));
            return !bCommitted && stream.Failure().m_strDetail == expected.m_strDetail;
        };
        const bool bOk = fnFailsAsExpected();  // the stream is gone before the exit
        _exit(bOk ? 0 : 1);
    }
    int nStatus = 0;
    ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << "failed, with the file size error";
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1) << "no temporary file";
}
#endif
}  // namespace
