// Failing disks and bad input, across every job: each gives its failure
// result, never a crash or a hang, and nothing already on disk is lost.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "convert/AssConverter.h"
#include "convert/SamiReader.h"
#include "run/Job.h"
#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/TextFileStream.h"
#include "text/Unicode.h"

using namespace tavrel;

using namespace testutil;
namespace fs = std::filesystem;

namespace
{

const std::string kSrt = "1\r\n00:00:01,000 --> 00:00:02,500\r\nHello\r\n\r\n"
                         "2\r\n00:00:03,000 --> 00:00:04,000\r\nSecond cue\r\n\r\n";
const std::string kText = "First paragraph\r\n\r\nSecond paragraph\r\n\r\n";
const std::string kAss = "[Script Info]\r\n\r\n[V4+ Styles]\r\n\r\n[Events]\r\n"
                         "Format: Layer, Start, End, Style, Text\r\n"
                         "Dialogue: 0,0:00:01.00,0:00:02.50,Default,{\\b1}Hello{\\b0}\r\n"
                         "Dialogue: 0,0:00:03.00,0:00:04.00,Default,Second\r\n";
const std::string kSami = "<SAMI><BODY>\r\n<SYNC Start=1000><P Class=KRCC>Hello\r\n"
                          "<SYNC Start=3000><P Class=KRCC>Second\r\n</BODY></SAMI>\r\n";

// The paths a job is run with; the SAMI reader names its outputs itself,
// beside its input.
struct CPaths
{
    fs::path in;
    std::vector<fs::path> out;
    fs::path dir;
};

bool Succeeds(const CJobRequest& request)
{
    return RunJob(request).IsSuccess();
}

// The SAMI writer and the ASS converter on outputs the tests name.
bool WriteSamiFiles(const CPaths& p)
{
    CTextBuffer source;
    if (source.Load(p.in) == 0)
        return false;
    CTextFileStream legacy(p.out[0], FileEncoding::LegacyCode);
    CTextFileStream utf8(p.out[1]);
    const bool bWritten = !CSrtProcessor().WriteSami(source, u"title", legacy, utf8).IsFailure();
    const bool bUtf8Committed = utf8.Commit();
    return legacy.Commit() && bUtf8Committed && bWritten;
}

bool ConvertAssFile(const CPaths& p)
{
    CTextBuffer source;
    if (source.Load(p.in) == 0)
        return false;
    CTextFileStream out(p.out[0]);
    return !CAssConverter().ConvertAssToSrt(source, out).IsFailure() && out.Commit();
}

// A job: its name, a valid input, the number of output paths it takes, how to run it.
struct CJob
{
    const char* m_pszName;
    std::string m_strSample;
    size_t m_nOutputs;
    std::function<bool(const CPaths&)> m_fnRun;
};

// The jobs for which keep is true (all by default).
std::vector<CJob> Jobs(bool (*keep)(const CJob&) = nullptr)
{
    const std::vector<CJob> vecAll = {
        {"Correct", kSrt, 1,
         [](const CPaths& p) {
             return Succeeds({Mode::Correct, p.in, {}, p.out[0]});
         }},
        {"Extract", kSrt, 1,
         [](const CPaths& p) {
             return Succeeds({Mode::Extract, p.in, {}, p.out[0]});
         }},
        {"MergeOntoInput", kSrt, 1,
         [](const CPaths& p) {
             return Succeeds({Mode::Merge, p.in, p.dir / "text.txt", p.out[0]});
         }},
        {"MergeFromInput", kText, 1,
         [](const CPaths& p) {
             return Succeeds({Mode::Merge, p.dir / "timing.srt", p.in, p.out[0]});
         }},
        {"WriteSami", kSrt, 2, WriteSamiFiles},
        {"ConvertAss", kAss, 1, ConvertAssFile},
        {"ConvertSami", kSami, 0,
         [](const CPaths& p) {
             return Succeeds({Mode::Convert, p.in});
         }},
    };
    std::vector<CJob> vecJobs;
    std::copy_if(vecAll.begin(), vecAll.end(), std::back_inserter(vecJobs),
                 [&](const CJob& job) { return !keep || keep(job); });
    return vecJobs;
}

// Rows print as their names (test listings stay short and stable).
template <class T>
requires requires(const T& value)
{
    value.m_pszName;
}
void PrintTo(const T& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

// Test names from the row names, "Job_Case" for combined rows.
const auto Name = [](const auto& info) {
    if constexpr (requires { info.param.m_pszName; })
        return std::string(info.param.m_pszName);
    else
        return std::string(std::get<0>(info.param).m_pszName) + "_" + std::get<1>(info.param).m_pszName;
};

// Every file in a folder with its content (large files by size, FIFOs by
// kind only), so a test can tell that nothing was added, removed or changed.
std::map<std::string, std::string> Snapshot(const fs::path& dir)
{
    std::map<std::string, std::string> mapFiles;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
    {
        const std::string strName = fs::relative(entry.path(), dir).string();
        if (!entry.is_regular_file())
            mapFiles[strName] = entry.is_directory() ? "<folder>" : "<special>";
        else if (entry.file_size() > (1u << 20))
            mapFiles[strName] = "<" + std::to_string(entry.file_size()) + " bytes>";
        else
            mapFiles[strName] = ReadBytes(entry.path());
    }
    return mapFiles;
}

// Output paths "out.1", "out.2" in a folder.
std::vector<fs::path> Named(const fs::path& folder, size_t nOutputs)
{
    std::vector<fs::path> vecOutputs;
    for (size_t i = 1; i <= nOutputs; ++i)
        vecOutputs.push_back(folder / ("out." + std::to_string(i)));
    return vecOutputs;
}

// The helper inputs the merge jobs pair with the file under test.
void WriteMergePartners(const fs::path& dir)
{
    WriteBytes(dir / "timing.srt", kSrt);
    WriteBytes(dir / "text.txt", kText);
}

// Output paths already holding text, and the SAMI reader's output for
// "movie.smi", that a failing job must not touch.
std::vector<fs::path> OldOutputs(const fs::path& dir, size_t nOutputs)
{
    const std::vector<fs::path> vecOutputs = Named(dir, nOutputs);
    for (const fs::path& path : vecOutputs)
        WriteBytes(path, "old " + path.filename().string());
    WriteBytes(dir / "movie.KRCC.srt", "old SAMI output");
    return vecOutputs;
}

// Bytes this process has read so far.
uint64_t BytesRead()
{
#ifdef _WIN32
    IO_COUNTERS counters = {};
    return GetProcessIoCounters(GetCurrentProcess(), &counters) ? counters.ReadTransferCount : 0;
#else
    std::ifstream in("/proc/self/io");
    std::string strKey;
    uint64_t nValue = 0;
    while (in >> strKey >> nValue)
        if (strKey == "rchar:")
            return nValue;
    return 0;
#endif
}

fs::path MakeFile(const fs::path& path, std::string_view bytes, uint64_t nSparseSize = 0)
{
    WriteBytes(path, bytes);
    if (nSparseSize > 0)
        fs::resize_file(path, nSparseSize);
    return path;
}

#ifdef _WIN32
// Windows has no FIFOs, no device whose writes fail and no file size limit.
bool OpenFifoWriter(const fs::path&)
{
    return false;
}
#else
// A writer that opens and leaves at once, so that a reader waiting on the FIFO goes on; false without a reader.
bool OpenFifoWriter(const fs::path& fifo)
{
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        close(fd);
    return fd >= 0;
}

// Runs fn in a child process whose files may not grow past nLimit bytes;
// the child's answer comes back as its exit status.
bool RunWithFileSizeLimit(rlim_t nLimit, const std::function<bool()>& fn)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {nLimit, nLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(fn() ? 0 : 1);
    }
    int nStatus = 0;
    EXPECT_EQ(waitpid(pid, &nStatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(nStatus)) << "the job ended normally";
    return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}
#endif

// An input that cannot be loaded or an output that cannot be written: the job
// fails and every file that existed before is whole and unchanged. A row makes
// the input (by default "movie.smi" holding the job's sample) and the output
// paths (by default OldOutputs), and may run the job under a file size limit.
struct CFault
{
    const char* m_pszName;
    fs::path (*m_fnInput)(const fs::path& dir, const std::string& sample) = nullptr;
    std::vector<fs::path> (*m_fnOutputs)(const fs::path& dir, size_t nOutputs) = nullptr;
    uint64_t m_nLimit = 0;
};

// Every job loads through CTextBuffer::Load, so three jobs stand for all
// here: one load, the second load of a merge, and the reader that names its
// own outputs.
const CFault kBadInputs[] = {
    {"Missing", [](const fs::path& dir, const std::string&) { return dir / "missing.smi"; }},
    {"Folder",
     [](const fs::path& dir, const std::string&) {
         fs::create_directory(dir / "f.smi");
         return dir / "f.smi";
     }},
    {"Empty", [](const fs::path& dir, const std::string&) { return MakeFile(dir / "empty.smi", ""); }},
    {"OneByte",
     [](const fs::path& dir, const std::string& sample) { return MakeFile(dir / "one.smi", sample.substr(0, 1)); }},
    // A valid document followed by zeros up to 2 GiB: refused unread.
    {"TwoGiB", [](const fs::path& dir,
                  const std::string& sample) { return MakeFile(dir / "big.smi", sample, uint64_t(1) << 31); }},
// A FIFO has no size: it is refused at once, not opened and waited on.
#ifndef _WIN32
    {"Fifo",
     [](const fs::path& dir, const std::string&) {
         EXPECT_EQ(mkfifo((dir / "p.smi").c_str(), 0600), 0);
         return dir / "p.smi";
     }},
#endif
};

// Writes fail differently per job, so these run for every job that writes.
const CFault kOutputFaults[] = {
    {"MissingFolder", nullptr, [](const fs::path& dir, size_t n) { return Named(dir / "nowhere", n); }},
    {"ParentIsAFile", nullptr,
     [](const fs::path& dir, size_t n) { return Named(MakeFile(dir / "plain", "a file, not a folder"), n); }},
    {"OutputIsAFolder", nullptr,
     [](const fs::path& dir, size_t n) {
         auto v = Named(dir, n);
         for (const auto& p : v)
             fs::create_directory(p);
         return v;
     }},
#ifndef _WIN32
    {"FullDevice", nullptr, [](const fs::path&, size_t n) { return std::vector<fs::path>(n, FullDevice()); }},
    {"FileSizeLimit", nullptr, nullptr, 16},
#endif
};

class FaultTest : public testing::TestWithParam<std::tuple<CJob, CFault>>
{};

TEST_P(FaultTest, FailsAndChangesNothing)
{
    const auto& [job, fault] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const fs::path input =
        fault.m_fnInput ? fault.m_fnInput(dir.Path(), job.m_strSample) : MakeFile(dir / "movie.smi", job.m_strSample);
    const auto vecOutputs =
        fault.m_fnOutputs ? fault.m_fnOutputs(dir.Path(), job.m_nOutputs) : OldOutputs(dir.Path(), job.m_nOutputs);
    const auto before = Snapshot(dir.Path());

    // A job that opened a FIFO would block until a writer comes; this
    // writer comes only to release such a job, and notes that it had to.
    std::atomic<bool> bDone{false}, bReaderWaited{false};
    std::thread releaser([&] {
        for (; !bDone && fs::is_fifo(input); std::this_thread::sleep_for(std::chrono::milliseconds(50)))
            if (OpenFifoWriter(input))
                bReaderWaited = true;
    });
    const uint64_t nReadBefore = BytesRead();
    const auto fnRun = [&] { return job.m_fnRun({input, vecOutputs, dir.Path()}); };
#ifdef _WIN32
    const bool bResult = fnRun();
#else
    const bool bResult = fault.m_nLimit ? RunWithFileSizeLimit(fault.m_nLimit, fnRun) : fnRun();
#endif
    bDone = true;
    releaser.join();
    EXPECT_FALSE(bResult);
    EXPECT_FALSE(bReaderWaited) << "did not wait on a FIFO";
    EXPECT_LT(BytesRead() - nReadBefore, uint64_t(1) << 20) << "refused without reading it";
    EXPECT_EQ(Snapshot(dir.Path()), before);
#ifndef _WIN32
    struct stat st;
    ASSERT_EQ(stat(FullDevice().c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the full device is still a device";
#endif
}

bool LoadsOnly(const CJob& job)
{
    return std::string_view("Correct MergeFromInput ConvertSami").find(job.m_pszName) != std::string_view::npos;
}
INSTANTIATE_TEST_SUITE_P(BadInput, FaultTest,
                         testing::Combine(testing::ValuesIn(Jobs(LoadsOnly)), testing::ValuesIn(kBadInputs)), Name);
INSTANTIATE_TEST_SUITE_P(Output, FaultTest,
                         testing::Combine(testing::ValuesIn(Jobs([](const CJob& job) { return job.m_nOutputs > 0; })),
                                          testing::ValuesIn(kOutputFaults)),
                         Name);
#ifndef _WIN32
// The SAMI reader names its output itself: only the size limit applies.
INSTANTIATE_TEST_SUITE_P(ReaderOutput, FaultTest,
                         testing::Combine(testing::ValuesIn(Jobs([](const CJob& job) {
                                              return std::string_view(job.m_pszName) == "ConvertSami";
                                          })),
                                          testing::Values(kOutputFaults[4])),
                         Name);
#endif

// The output may be the input (for MergeFromInput, the text file): it is
// read whole before anything is written.
class SameFileTest : public testing::TestWithParam<CJob>
{};

TEST_P(SameFileTest, OutputOverInputGivesTheSameResult)
{
    const CJob& job = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const fs::path input = MakeFile(dir / "movie.in", job.m_strSample);
    ASSERT_TRUE(job.m_fnRun({input, {dir / "elsewhere"}, dir.Path()}));
    const std::string strExpected = ReadBytes(dir / "elsewhere");

    EXPECT_TRUE(job.m_fnRun({input, {input}, dir.Path()}));
    EXPECT_EQ(ReadBytes(input), strExpected);
}

INSTANTIATE_TEST_SUITE_P(Jobs, SameFileTest,
                         testing::ValuesIn(Jobs([](const CJob& job) { return job.m_nOutputs == 1; })), Name);

// Through Run: tiny inputs get the failure message of their mode. An input
// removed, or replaced by a folder, after Run's check and before the load
// gets the job's failure message (the job is called as Run calls it).
struct CModeCase
{
    const char* m_pszName;
    Mode m_nMode;
    MessageId m_nFailure;
};

const CModeCase kModes[] = {
    {"Correct", Mode::Correct, MessageId::CorrectFailed},
    {"Convert", Mode::Convert, MessageId::FormatError},
    {"Extract", Mode::Extract, MessageId::ExtractFailed},
    {"Merge", Mode::Merge, MessageId::MergeFailed},
};

enum
{
    Kept,
    Removed,
    Folder
};
struct CRunInput
{
    const char* m_pszName;
    std::string m_strBytes;
    int m_nAfterCheck;
};

const CRunInput kRunInputs[] = {{"Empty", "", Kept},
                                {"TwoBytes", "A\n", Kept},
                                {"Utf16MarkOnly", "\xFF\xFE", Kept},
                                {"NulFirst", std::string("\0", 1) + kSrt, Kept},
                                {"Removed", kSrt, Removed},
                                {"ReplacedByFolder", kSrt, Folder}};

class RunFailureTest : public testing::TestWithParam<std::tuple<CModeCase, CRunInput>>
{};

TEST_P(RunFailureTest, GivesTheModesFailureMessage)
{
    const auto& [mode, input] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const fs::path path = MakeFile(dir / "movie.srt", input.m_strBytes);
    const CJobRequest request = {
        .m_nMode = mode.m_nMode, .m_input = path, .m_text = dir / "text.txt", .m_output = dir / "out.1"};
    if (input.m_nAfterCheck != Kept)
    {
        ASSERT_TRUE(IsExistingFile(path));
        fs::remove(path);
        if (input.m_nAfterCheck == Folder)
            fs::create_directory(path);
    }
    const auto before = Snapshot(dir.Path());

    const CJobOutcome outcome = input.m_nAfterCheck == Kept ? CheckAndRunJob(request) : RunJob(request);
    EXPECT_EQ(outcome.m_nMessage, mode.m_nFailure);
    EXPECT_TRUE(outcome.m_failure.IsFailure());
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Modes, RunFailureTest,
                         testing::Combine(testing::ValuesIn(kModes), testing::ValuesIn(kRunInputs)), Name);

}  // namespace
