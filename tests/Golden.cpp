// Every case of golden/cases.txt run through the built tavrel-cli: its exit code, its message and every file it
// writes must equal golden/expected/<case>/ byte for byte. "Golden --update" rewrites expected/ instead.

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestUtil.h"

using namespace tavrel;

using namespace testutil;
namespace fs = std::filesystem;

namespace
{
const fs::path kGoldenDir = TAVREL_GOLDEN_DIR;
const std::string kExitFile = "exit.txt";
const std::string kStdoutFile = "stdout.txt";
constexpr std::string_view kUpdateHint =
    "If the change is intended: scripts/golden.sh --update, then review the git diff of tests/golden.";

bool g_bUpdate = false;  // set once by main from --update

// A case: "name command args...", where {in:NAME} copies inputs/NAME into the run's folder and {out:NAME} names
// a file there; both become the bare NAME, as the run starts in that folder.
struct CGoldenCase
{
    std::string m_strName;
    std::string m_strLine;
    std::vector<std::string> m_vecArgs;
    std::vector<std::string> m_vecInputs;
    std::string m_strError;  // what is wrong with the line, if anything
};

void PrintTo(const CGoldenCase& goldenCase, std::ostream* pOut)
{
    *pOut << goldenCase.m_strLine;
}

// File name to content.
using Files = std::map<std::string, std::string>;

bool IsTestName(const std::string& name)
{
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

// The argument for one word of a case, or an error.
std::string ResolveWord(const std::string& word, CGoldenCase& goldenCase)
{
    const bool bInput = word.starts_with("{in:");
    if (!bInput && !word.starts_with("{out:"))
        return word;
    const std::string name = word.substr(word.find(':') + 1, word.size() - word.find(':') - 2);
    if (!word.ends_with("}") || name.empty() || name.find('/') != std::string::npos)
        goldenCase.m_strError = "bad placeholder " + word;
    else if (bInput && !fs::is_regular_file(kGoldenDir / "inputs" / name))
        goldenCase.m_strError = "no input " + name;
    else if (bInput)
        goldenCase.m_vecInputs.push_back(name);
    return name;
}

CGoldenCase ParseCase(const std::string& line, int nLine)
{
    CGoldenCase goldenCase;
    goldenCase.m_strLine = line;
    std::istringstream words(line);
    std::string word;
    words >> goldenCase.m_strName;
    while (words >> word)
        goldenCase.m_vecArgs.push_back(ResolveWord(word, goldenCase));
    if (!IsTestName(goldenCase.m_strName))
        goldenCase.m_strError = "a case name takes letters, digits and underscores";
    if (!goldenCase.m_strError.empty())
        goldenCase.m_strName = "line_" + std::to_string(nLine);
    return goldenCase;
}

// The cases in file order. A line that starts with a blank continues the case above it; empty lines and lines
// starting with '#' are skipped.
std::vector<CGoldenCase> ReadCases()
{
    std::vector<std::pair<int, std::string>> vecLines;
    std::istringstream lines(ReadBytes(kGoldenDir / "cases.txt"));
    std::string line;
    for (int nLine = 1; std::getline(lines, line); ++nLine)
    {
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#')
            continue;
        if ((line[0] == ' ' || line[0] == '\t') && !vecLines.empty())
            vecLines.back().second += line;
        else
            vecLines.emplace_back(nLine, line);
    }
    std::vector<CGoldenCase> vecCases;
    std::set<std::string> names;
    for (const auto& [nLine, caseLine] : vecLines)
    {
        CGoldenCase goldenCase = ParseCase(caseLine, nLine);
        if (!names.insert(goldenCase.m_strName).second)
        {
            goldenCase.m_strError = "a second case named " + goldenCase.m_strName;
            goldenCase.m_strName = "line_" + std::to_string(nLine);
        }
        vecCases.push_back(goldenCase);
    }
    return vecCases;
}

Files ReadFolder(const fs::path& folder)
{
    Files files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadBytes(entry.path());
    return files;
}

std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct CGoldenRun
{
    Files m_files;  // exit code, standard output and every file created or changed
    std::string m_strErr;
};

// Runs the case in a fresh folder with a pinned environment: the legacy code page is then CP949.
CGoldenRun RunCase(const CGoldenCase& goldenCase)
{
    const CTempDir temp;
    const fs::path work = temp / "work";
    fs::create_directory(work);
    for (const std::string& input : goldenCase.m_vecInputs)
        fs::copy_file(kGoldenDir / "inputs" / input, work / input, fs::copy_options::overwrite_existing);
    const Files before = ReadFolder(work);
    std::string command = "cd " + Quote(work) + " && env -i LC_ALL=C.UTF-8 " + Quote(TAVREL_CLI_PATH);
    for (const std::string& arg : goldenCase.m_vecArgs)
        command += " " + Quote(arg);
    command += " </dev/null >" + Quote(temp / "stdout") + " 2>" + Quote(temp / "stderr");
    const int nStatus = std::system(command.c_str());

    CGoldenRun run;
    for (auto& [name, bytes] : ReadFolder(work))
    {
        const auto it = before.find(name);
        if (it == before.end() || it->second != bytes)
            run.m_files[name] = std::move(bytes);
    }
    EXPECT_FALSE(run.m_files.contains(kExitFile) || run.m_files.contains(kStdoutFile)) << "an output hides the run";
    run.m_files[kExitFile] = std::to_string(WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1) + "\n";
    run.m_files[kStdoutFile] = ReadBytes(temp / "stdout");
    run.m_strErr = ReadBytes(temp / "stderr");
    return run;
}

std::string HexAround(const std::string& bytes, size_t nAt)
{
    std::string hex;
    for (size_t i = nAt < 8 ? 0 : nAt - 8; i < std::min(bytes.size(), nAt + 8); ++i)
    {
        char sz[8];
        std::snprintf(sz, sizeof sz, i == nAt ? "[%02X] " : "%02X ", static_cast<unsigned char>(bytes[i]));
        hex += sz;
    }
    return hex;
}

std::string DescribeDifference(const std::string& expected, const std::string& written)
{
    const auto [itExpected, itWritten] =
        std::mismatch(expected.begin(), expected.end(), written.begin(), written.end());
    const size_t nAt = static_cast<size_t>(itExpected - expected.begin());
    return "first difference at byte " + std::to_string(nAt) + " (expected " + std::to_string(expected.size()) +
           " bytes, written " + std::to_string(written.size()) + ")\n  expected: " + HexAround(expected, nAt) +
           "\n  written:  " + HexAround(written, nAt);
}

void ExpectSameFiles(const Files& expected, const Files& written)
{
    for (const auto& [name, bytes] : expected)
    {
        const auto it = written.find(name);
        if (it == written.end())
            ADD_FAILURE() << name << " was not written";
        else if (it->second != bytes)
            ADD_FAILURE() << name << " differs: " << DescribeDifference(bytes, it->second);
    }
    for (const auto& [name, bytes] : written)
    {
        if (!expected.contains(name))
            ADD_FAILURE() << name << " was written (" << bytes.size() << " bytes) but is not expected";
    }
}

void WriteExpected(const fs::path& folder, const Files& files)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& [name, bytes] : files)
        WriteBytes(folder / name, bytes);
}

// Folders of cases that are gone.
void RemoveStaleExpected()
{
    std::set<std::string> names;
    for (const CGoldenCase& goldenCase : ReadCases())
        names.insert(goldenCase.m_strName);
    fs::create_directories(kGoldenDir / "expected");
    for (const fs::directory_entry& entry : fs::directory_iterator(kGoldenDir / "expected"))
    {
        if (!names.contains(entry.path().filename().string()))
            fs::remove_all(entry.path());
    }
}

TEST(GoldenCases, AreListed)
{
    EXPECT_FALSE(ReadCases().empty()) << kGoldenDir / "cases.txt";
}

class GoldenTest : public testing::TestWithParam<CGoldenCase>
{};

TEST_P(GoldenTest, WritesExpectedOutput)
{
    const CGoldenCase& goldenCase = GetParam();
    ASSERT_EQ(goldenCase.m_strError, "");
    const CGoldenRun run = RunCase(goldenCase);
    const fs::path expected = kGoldenDir / "expected" / goldenCase.m_strName;
    if (g_bUpdate)
        return WriteExpected(expected, run.m_files);
    SCOPED_TRACE(kUpdateHint);
    SCOPED_TRACE("standard error: " + run.m_strErr);
    ASSERT_TRUE(fs::is_directory(expected)) << "no expected output";
    ExpectSameFiles(ReadFolder(expected), run.m_files);
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest, testing::ValuesIn(ReadCases()),
                         [](const testing::TestParamInfo<CGoldenCase>& info) { return info.param.m_strName; });
}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C");
    testing::InitGoogleTest(&argc, argv);
    g_bUpdate = argc == 2 && std::string_view(argv[1]) == "--update";
    if (argc > 1 && !g_bUpdate)
    {
        std::fprintf(stderr, "usage: Golden [--update] [gtest options]\n");
        return 2;
    }
    if (g_bUpdate)
        RemoveStaleExpected();
    return RUN_ALL_TESTS();
}
