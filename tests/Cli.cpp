#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "text/Unicode.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

using namespace tavrel;

using namespace testutil;

namespace
{
using Args = std::vector<std::string>;

struct CProcessResult
{
    int nExit = -1;
    std::string strOut, strErr;
};

#ifdef _WIN32
// One argument as the C runtime splits a command line: quoted, with backslashes before a quote doubled.
std::wstring Quote(const std::string& arg)
{
    const std::u16string wide = Utf8ToU16(arg);
    std::wstring quoted = L"\"";
    size_t nBackslashes = 0;
    for (const char16_t c : wide)
    {
        if (c == u'"')
            quoted.append(nBackslashes + 1, L'\\');
        nBackslashes = c == u'\\' ? nBackslashes + 1 : 0;
        quoted += static_cast<wchar_t>(c);
    }
    quoted.append(nBackslashes, L'\\');
    return quoted + L"\"";
}

// The tool beside this test program, as the build lays them out.
std::wstring CliPath()
{
    wchar_t path[MAX_PATH];
    const DWORD nLength = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return (std::filesystem::path(std::wstring(path, nLength)).parent_path() / TAVREL_CLI_PATH).wstring();
}

// Runs the program with standard input empty and the two outputs in files; its exit code, or -1.
int RunProcess(std::wstring command, const std::filesystem::path& out, const std::filesystem::path& err)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const auto create = [&](const wchar_t* pPath, DWORD nAccess, DWORD nDisposition) {
        return CreateFileW(pPath, nAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, nDisposition, 0, nullptr);
    };
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = create(L"NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = create(out.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = create(err.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process = {};
    DWORD nExit = static_cast<DWORD>(-1);
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &nExit);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    return static_cast<int>(nExit);
}
#else
std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
#endif

const std::string kSrt = "3\r\n00:00:05,000 --> 00:00:07,250\r\nlt's 1 000\r\n\r\n"
                         "8\r\n00:00:09.000 --> 00:00:10.000 \r\nTwo\r\n";  // a time line in a tolerant form

class CliTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(m_dir / "in.srt", kSrt);
        WriteBytes(m_dir / "bare.srt", "no time line\n");
    }
    // UTF-8, as the tool takes and prints paths.
    std::string At(std::string_view name) const
    {
        const std::u8string path = (m_dir / name).u8string();
        return std::string(path.begin(), path.end());
    }

    // Runs the built tavrel-cli in the C locale, output captured; arguments that start with "@" name files in the
    // folder.
    CProcessResult Run(const Args& args) const
    {
#ifdef _WIN32
        std::wstring command = Quote(U16ToUtf8(PathToU16(CliPath())));
        for (const std::string& arg : args)
            command += L" " + Quote(!arg.empty() && arg[0] == '@' ? At(arg.substr(1)) : arg);
        const int nExit = RunProcess(command, m_dir / "stdout.log", m_dir / "stderr.log");
        return {nExit, ReadBytes(m_dir / "stdout.log"), ReadBytes(m_dir / "stderr.log")};
#else
        std::string command = "env -i LC_ALL=C " + Quote(TAVREL_CLI_PATH);
        for (const std::string& arg : args)
            command += " " + Quote(!arg.empty() && arg[0] == '@' ? At(arg.substr(1)) : arg);
        command += " </dev/null >" + Quote(At("stdout.log")) + " 2>" + Quote(At("stderr.log"));
        const int nStatus = std::system(command.c_str());
        return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, ReadBytes(m_dir / "stdout.log"),
                ReadBytes(m_dir / "stderr.log")};
#endif
    }
    CTempDir m_dir;
};

TEST_F(CliTest, BadArgumentsExitTwoWithUsageOnStandardError)
{
    const Args cases[] = {{},
                          {"fix", "@in.srt", "@out.srt"},
                          {"correct", "@in.srt", "@out.srt", "--fix-all"},
                          {"correct", "@in.srt", "@out.srt", "--offset"},
                          {"correct", "@in.srt", "@out.srt", "--offset", "5", "--map", "1,2,3,4"},
                          {"correct", "@in.srt", "@out.srt", "--map", "1,2,3"},
                          {"correct", "@in.srt", "@out.srt", "--map", "-1,2,3,4"},
                          {"correct", "@in.srt", "@out.srt", "--map", "1, 2,3,4"},
                          {"correct", "@in.srt", "@out.srt", "--map", "4294967296,2,3,4"},
                          {"correct", "@in.srt"},
                          {"extract", "@in.srt", "@out.srt", "--fix-l"},
                          {"merge", "@in.srt", "", "@out.srt"},
                          {"convert"}};
    for (const Args& args : cases)
    {
        const CProcessResult result = Run(args);
        EXPECT_EQ(result.nExit, 2) << testing::PrintToString(args);
        EXPECT_EQ(result.strOut, "");
        EXPECT_NE(result.strErr.find("usage:"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(m_dir / "out.srt"));
    }
    for (const Args& args : {Args{"--help"}, Args{"correct", "--help"}})  // help goes to standard output
    {
        const CProcessResult result = Run(args);
        EXPECT_EQ(result.nExit, 0);
        EXPECT_NE(result.strOut.find("tavrel-cli merge SRT TEXT OUTPUT"), std::string::npos);
        EXPECT_EQ(result.strErr, "");
    }
}

TEST_F(CliTest, PrintsTheMessageAndAfterAFailureItsReason)
{
    WriteBytes(m_dir / "notes.txt", "plain words\n");
    const std::string textReadError = "텍스트 파일 읽기 오류!\n";
    const std::tuple<Args, int, std::string, std::string> cases[] = {
        {{"correct", "@in.srt", "@out.srt", "--map", "1000,5,1000,9"}, 1, "시간 오류!\n", "time error"},
        {{"correct", "@bare.srt", "@out.srt"}, 1, "SRT 쓰기 작업 실패!\n", "no time line in the input"},
        {{"extract", "@", "@out.txt"}, 1, "소스 파일 읽기 오류!\n", ": a folder)"},
        {{"merge", "@in.srt", "@missing.txt", "@out.srt"}, 1, textReadError, "missing.txt: missing)"},
        {{"convert", "@notes.txt"}, 1, "자막 오류!\n", "format not recognised"},
        {{"extract", "@in.srt", "@nowhere/out.txt"},
         1,
         "text 추출 실패!\n",
         "output not writable (" + At("nowhere/out.txt") + ": No such file or directory)"}};
    for (const auto& [args, nExit, strOut, strReason] : cases)
    {
        const CProcessResult result = Run(args);
        EXPECT_EQ(result.nExit, nExit) << testing::PrintToString(args);
        EXPECT_EQ(result.strOut, strOut);
        EXPECT_EQ(result.strErr.rfind("tavrel-cli: ", 0), 0u) << result.strErr;
        EXPECT_NE(result.strErr.find(strReason), std::string::npos) << result.strErr;
    }
}

// Only an optional sign and decimal digits within the signed 32-bit range are an offset.
TEST_F(CliTest, OffsetIsAStrictWholeNumber)
{
    const std::pair<std::string, std::string> valid[] = {{"-1500", "00:00:03,500 --> 00:00:05,750"},
                                                         {"+250", "00:00:05,250 --> 00:00:07,500"},
                                                         {"2147483647", "99:59:59,999 --> 99:59:59,999"},
                                                         {"-2147483648", "00:00:00,000 --> 00:00:00,000"}};
    for (const auto& [value, timeLine] : valid)
    {
        const CProcessResult result = Run({"correct", "@in.srt", "@out.srt", "--offset", value});
        EXPECT_EQ(result.nExit, 0) << value;
        EXPECT_NE(ReadBytes(m_dir / "out.srt").find("1\r\n" + timeLine + "\r\n"), std::string::npos) << value;
    }
    std::filesystem::remove(m_dir / "out.srt");
    for (const std::string value : {"abc", "1.5s", "", " 5", "5 ", "--5", "+", "0x10", "2147483648", "-2147483649"})
    {
        const CProcessResult result = Run({"correct", "@in.srt", "@out.srt", "--offset", value});
        EXPECT_EQ(result.nExit, 2) << value;
        EXPECT_EQ(result.strOut, "");
        EXPECT_NE(result.strErr.find("--offset takes a whole number"), std::string::npos) << value;
        EXPECT_NE(result.strErr.find("signed 32-bit): " + value + "\n"), std::string::npos) << result.strErr;
        EXPECT_FALSE(std::filesystem::exists(m_dir / "out.srt"));
    }
}

// Each OCR flag makes its own repair and no other; the text gives every repair something to do.
TEST_F(CliTest, EachOcrFlagTurnsOnItsOwnRepair)
{
    WriteBytes(m_dir / "ocr.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nlt's ''1 000''\xC2\x85x\r\n");
    const std::pair<std::string, std::string> cases[] = {{"", "lt's ''1 000''\xC2\x85x"},
                                                         {"--fix-0085", "lt's ''1 000'' x"},
                                                         {"--fix-quotes", "lt's \"1 000\"\xC2\x85x"},
                                                         {"--fix-l", "It's ''1 000''\xC2\x85x"},
                                                         {"--fix-digits", "lt's ''1000''\xC2\x85x"}};
    for (const auto& [flag, text] : cases)
    {
        Args args = {"correct", "@ocr.srt", "@out.srt"};
        if (!flag.empty())
            args.push_back(flag);
        ASSERT_EQ(Run(args).nExit, 0) << flag;
        EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:01,000 --> 00:00:02,000\n" + text + "\n\n")) << flag;
    }
}

TEST_F(CliTest, EncodingNamesTheLegacyCodePage)
{
    WriteBytes(m_dir / "latin.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\ncaf\xE9\r\n");
    ASSERT_EQ(Run({"extract", "@latin.srt", "@out.txt", "--encoding", "cp1252"}).nExit, 0);
    EXPECT_EQ(ReadBytes(m_dir / "out.txt"), Saved("caf\xC3\xA9\n\n\n\n"));
    ASSERT_EQ(Run({"convert", "--encoding", "Windows-1252", "@latin.srt"}).nExit, 0);
    EXPECT_NE(ReadBytes(m_dir / "latin.smi").find("caf\xE9<br>"), std::string::npos);
    EXPECT_NE(ReadBytes(m_dir / "latin.UTF8.smi").find("caf\xC3\xA9<br>"), std::string::npos);

    const CProcessResult result = Run({"extract", "@latin.srt", "@out.txt", "--encoding", "klingon"});
    EXPECT_EQ(result.nExit, 2);
    EXPECT_NE(result.strErr.find("unknown encoding klingon"), std::string::npos);
}

// What each job writes is pinned by the golden cases; here the counts on standard error, and an extracted text
// merged back through Korean names.
TEST_F(CliTest, PrintsTheMessageAndTheCounts)
{
    std::filesystem::create_directory(m_dir / "자막");
    WriteBytes(m_dir / "s.ass", "[Script Info]\r\n[Events]\r\nFormat: Start, End, Text\r\n"
                                "Dialogue: 0:00:01.00,0:00:02.00,kept\r\nDialogue: soon,0:00:04.00,left out\r\n");
    const std::string two = "cues written: 2, tolerant time lines: 1\n";
    const std::string merged =
        "cues written: 2, cues without paragraph: 0, paragraphs left over: 0, tolerant time lines: 1\n";
    const std::tuple<Args, std::string, std::string> cases[] = {
        {{"correct", "@in.srt", "@out.srt", "--offset", "-1500"}, "SRT 쓰기 작업 완료!\n", two},
        {{"extract", "@in.srt", "@자막/대본.txt"}, "text 추출 완료!\n", two},
        {{"merge", "@in.srt", "@자막/대본.txt", "@합본.srt"}, "SRT/text 합병 완료!\n", merged},
        {{"convert", "@in.srt"}, "SRT → SAMI 변환 완료!\n", two},
        {{"convert", "@s.ass"}, "ASS/SSA → SRT 변환 완료!\n", "cues written: 1, dialogue lines left out: 1\n"}};
    for (const auto& [args, strOut, strErr] : cases)
    {
        const CProcessResult result = Run(args);
        EXPECT_EQ(result.nExit, 0) << testing::PrintToString(args);
        EXPECT_EQ(result.strOut, strOut);
        EXPECT_EQ(result.strErr, strErr);
    }
    EXPECT_EQ(ReadBytes(m_dir / "합본.srt"), Saved("1\n00:00:05,000 --> 00:00:07,250\nlt's 1 000\n\n"
                                                   "2\n00:00:09,000 --> 00:00:10,000\nTwo\n\n"));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "in.UTF8.smi"));
}
}  // namespace
