#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "JobTestUtil.h"

using namespace testutil;

namespace
{
struct CProcessResult
{
    int nExit = -1;
    std::string strOut;
    std::string strErr;
};

// Runs the built tavrel-cli with the arguments, in the C locale, with its
// standard output and error captured in files of the folder.
CProcessResult RunCliProcess(const CTempDir& dir, const std::vector<std::string>& args)
{
    const std::string outPath = (dir / "stdout.log").string();
    const std::string errPath = (dir / "stderr.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::string program = TAVREL_CLI_PATH;
    std::vector<char*> argv{program.data()};
    std::vector<std::string> copies(args);
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::string locale = "LC_ALL=C";
    char* envp[] = {locale.data(), nullptr};

    CProcessResult result;
    pid_t pid = 0;
    const int nError = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    if (nError != 0)
    {
        ADD_FAILURE() << "cannot start " << program;
        return result;
    }
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    if (WIFEXITED(nStatus))
        result.nExit = WEXITSTATUS(nStatus);
    result.strOut = ReadBytes(outPath);
    result.strErr = ReadBytes(errPath);
    return result;
}

const std::string kSrt = "3\r\n00:00:05,000 --> 00:00:07,250\r\nlt's 1 000\r\n\r\n"
                         "8\r\n00:00:09,000 --> 00:00:10,000\r\nTwo\r\n";

class CliTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(m_dir / "in.srt", kSrt);
        WriteBytes(m_dir / "in.txt", "first\n\nsecond\n");
        WriteBytes(m_dir / "bare.srt", "no time line\n");
    }

    std::string At(std::string_view name) const { return (m_dir / name).string(); }

    // Arguments that start with "@" name files in the folder.
    CProcessResult Run(std::vector<std::string> args) const
    {
        for (std::string& arg : args)
            if (!arg.empty() && arg[0] == '@')
                arg = At(arg.substr(1));
        return RunCliProcess(m_dir, args);
    }

    CTempDir m_dir;
};

class CliUsageTest : public CliTest, public testing::WithParamInterface<std::vector<std::string>>
{
};

TEST_P(CliUsageTest, ExitsTwoWithUsageOnStandardError)
{
    const CProcessResult result = Run(GetParam());
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.strOut, "");
    EXPECT_NE(result.strErr.find("usage:"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out.srt"));
}

using Args = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageTest,
    testing::Values(Args{}, Args{"fix", "@in.srt", "@out.srt"}, Args{"correct", "@in.srt"},
                    Args{"correct", "@in.srt", "@out.srt", "--fix-all"},
                    Args{"correct", "@in.srt", "@out.srt", "--offset"},
                    Args{"correct", "@in.srt", "@out.srt", "--offset", "5", "--map", "1,2,3,4"},
                    Args{"correct", "@in.srt", "@out.srt", "--map", "1,2,3"},
                    Args{"correct", "@in.srt", "@out.srt", "--map", "1,,3,4"},
                    Args{"correct", "@in.srt", "@out.srt", "--map", "-1,2,3,4"},
                    Args{"correct", "@in.srt", "@out.srt", "--map", "1, 2,3,4"},
                    Args{"correct", "@in.srt", "@out.srt", "--map", "4294967296,2,3,4"},
                    Args{"correct", "", "@out.srt"}, Args{"extract", "@in.srt", "@out.srt", "--fix-l"},
                    Args{"merge", "@in.srt", "@in.txt"}, Args{"merge", "@in.srt", "", "@out.srt"},
                    Args{"convert"}, Args{"convert", "@in.srt", ""}));

TEST_F(CliTest, HelpPrintsUsageOnStandardOutput)
{
    for (const Args& args : {Args{"--help"}, Args{"correct", "--help"}})
    {
        const CProcessResult result = Run(args);
        EXPECT_EQ(result.nExit, 0);
        EXPECT_NE(result.strOut.find("tavrel-cli merge SRT TEXT OUTPUT"), std::string::npos);
        EXPECT_EQ(result.strErr, "");
    }
}

TEST_F(CliTest, CorrectShiftsRepairsAndCounts)
{
    const CProcessResult result =
        Run({"correct", "@in.srt", "@out.srt", "--offset", "-1500", "--fix-l", "--fix-digits"});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "SRT 쓰기 작업 완료!\n");
    EXPECT_EQ(result.strErr, "cues written: 2\n");
    EXPECT_EQ(ReadBytes(m_dir / "out.srt"), Saved("1\n00:00:03,500 --> 00:00:05,750\nIt's 1000\n\n"
                                                  "2\n00:00:07,500 --> 00:00:08,500\nTwo\n\n"));
}

struct CMessageCase
{
    Args args;
    int nExit;
    std::string strOut;
};

class CliMessageTest : public CliTest, public testing::WithParamInterface<CMessageCase>
{
};

TEST_P(CliMessageTest, PrintsRunMessageAlone)
{
    const CProcessResult result = Run(GetParam().args);
    EXPECT_EQ(result.nExit, GetParam().nExit);
    EXPECT_EQ(result.strOut, GetParam().strOut);
    if (result.nExit != 0)
    {
        EXPECT_EQ(result.strErr, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliMessageTest,
    testing::Values(CMessageCase{{"correct", "@in.srt", "@out.srt", "--map", "1000,5,1000,9"}, 1, "시간 오류!\n"},
                    CMessageCase{{"correct", "@bare.srt", "@out.srt"}, 1, "SRT 쓰기 작업 실패!\n"},
                    CMessageCase{{"correct", "@in.srt", "@out.srt", "--offset", " abc "}, 0, "SRT 쓰기 작업 완료!\n"},
                    CMessageCase{{"extract", "@", "@out.txt"}, 1, "소스 파일 읽기 오류!\n"},
                    CMessageCase{{"merge", "@in.srt", "@missing.txt", "@out.srt"}, 1, "텍스트 파일 읽기 오류!\n"},
                    CMessageCase{{"convert", "@missing.srt"}, 1, "소스 파일 읽기 오류!\n"}));

TEST_F(CliTest, ExtractAndMergeBackWithKoreanPaths)
{
    ASSERT_EQ(Run({"extract", "@in.srt", "@대본.txt"}).nExit, 0);
    EXPECT_EQ(ReadBytes(m_dir / "대본.txt"), Saved("lt's 1 000\n\n\n\nTwo\n\n\n\n"));
    WriteBytes(m_dir / "대본.txt", "only one paragraph");
    const CProcessResult result = Run({"merge", "@in.srt", "@대본.txt", "@합본.srt"});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "SRT/text 합병 완료!\n");
    EXPECT_EQ(result.strErr, "cues written: 1, cues without paragraph: 1, paragraphs left over: 0\n");
    EXPECT_EQ(ReadBytes(m_dir / "합본.srt"), Saved("1\n00:00:05,000 --> 00:00:07,250\nonly one paragraph\n\n"));
}

TEST_F(CliTest, ConvertPrefixesEachInputWhenSeveral)
{
    const CProcessResult result = Run({"convert", "@missing.srt", "@bare.srt"});
    EXPECT_EQ(result.nExit, 1);
    EXPECT_EQ(result.strOut, At("missing.srt") + ": 소스 파일 읽기 오류!\n" + At("bare.srt") + ": 자막 오류!\n");
}

TEST_F(CliTest, ConvertSrtToSami)
{
    const CProcessResult result = Run({"convert", "@in.srt"});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "SRT → SAMI 변환 완료!\n");
    EXPECT_TRUE(std::filesystem::exists(m_dir / "in.smi"));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "in.UTF8.smi"));
}
}  // namespace
