// Failing disks and bad input, across every job: each gives its failure
// result, never a crash or a hang, and nothing already on disk is lost.

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "convert/AssConverter.h"
#include "convert/FormatDetect.h"
#include "convert/SamiReader.h"
#include "run/RunDispatch.h"
#include "srt/SrtProcessor.h"
#include "text/Unicode.h"

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
struct CPaths { fs::path in; std::vector<fs::path> out; fs::path dir; };

struct CJob
{
    const char* m_pszName;
    std::string m_strSample;   // a valid input for the job
    size_t m_nOutputs;         // output paths the job takes
    std::function<bool(const CPaths&)> m_fnRun;
};

// The jobs for which keep is true (all by default).
std::vector<CJob> Jobs(bool (*keep)(const CJob&) = nullptr)
{
    const std::vector<CJob> vecAll = {
        {"Correct", kSrt, 1, [](const CPaths& p) { return CSrtProcessor().CorrectSrt(p.in, p.out[0], 1.0, 0.0, 0, 0, 0, 0, 0); }},
        {"Extract", kSrt, 1, [](const CPaths& p) { return CSrtProcessor().ExtractText(p.in, p.out[0]); }},
        {"MergeOntoInput", kSrt, 1, [](const CPaths& p) { return CSrtProcessor().MergeText(p.in, p.dir / "text.txt", p.out[0]); }},
        {"MergeFromInput", kText, 1, [](const CPaths& p) { return CSrtProcessor().MergeText(p.dir / "timing.srt", p.in, p.out[0]); }},
        {"WriteSami", kSrt, 2, [](const CPaths& p) { return CSrtProcessor().WriteSami(p.in, p.out[0], p.out[1]); }},
        {"ConvertAss", kAss, 1, [](const CPaths& p) { return CAssConverter().ConvertAssToSrt(p.in, p.out[0]); }},
        {"ConvertSami", kSami, 0, [](const CPaths& p) { return CSamiReader().ConvertSamiToSrt(p.in) > 0; }},
        {"Detect", kSrt, 0, [](const CPaths& p) { return DetectFormat(p.in) != FormatUnrecognised; }},
    };
    std::vector<CJob> vecJobs;
    for (const CJob& job : vecAll)
        if (keep == nullptr || keep(job))
            vecJobs.push_back(job);
    return vecJobs;
}

// Rows print as their names.
template <class T>
    requires requires(const T& value) { value.m_pszName; }
void PrintTo(const T& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

// Test names from the row names, "Job_Case" for combined rows.
struct CName
{
    template <class T>
    std::string operator()(const testing::TestParamInfo<T>& info) const
    {
        if constexpr (requires { info.param.m_pszName; })
            return info.param.m_pszName;
        else
            return std::string(std::get<0>(info.param).m_pszName) + "_" + std::get<1>(info.param).m_pszName;
    }
};

// Every file in a folder with its content (large files by size, FIFOs by
// kind only), so a test can tell that nothing was added, removed or changed.
std::map<std::string, std::string> Snapshot(const fs::path& dir)
{
    std::map<std::string, std::string> mapFiles;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
    {
        const std::string strName = fs::relative(entry.path(), dir).string();
        if (entry.is_directory())
            mapFiles[strName] = "<folder>";
        else if (!entry.is_regular_file())
            mapFiles[strName] = "<special>";
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

// The output paths, already holding text a failing job must not touch.
std::vector<fs::path> ExistingOutputs(const CJob& job, const fs::path& dir)
{
    const std::vector<fs::path> vecOutputs = Named(dir, job.m_nOutputs);
    for (const fs::path& path : vecOutputs)
        WriteBytes(path, "old " + path.filename().string());
    return vecOutputs;
}

// The helper inputs the merge jobs pair with the file under test.
void WriteMergePartners(const fs::path& dir)
{
    WriteBytes(dir / "timing.srt", kSrt);
    WriteBytes(dir / "text.txt", kText);
}

// Bytes this process has read so far.
uint64_t BytesRead()
{
    std::ifstream in("/proc/self/io");
    std::string strKey;
    uint64_t nValue = 0;
    while (in >> strKey >> nValue)
        if (strKey == "rchar:")
            return nValue;
    return 0;
}

fs::path MakeFile(const fs::path& path, std::string_view bytes, uint64_t nSparseSize = 0)
{
    WriteBytes(path, bytes);
    if (nSparseSize > 0)
    {
        EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(nSparseSize)), 0);
    }
    return path;
}

// Inputs that cannot be loaded: every job fails and writes nothing.
struct CBadInput { const char* m_pszName; fs::path (*m_fnMake)(const fs::path& dir, const std::string& sample); };

const CBadInput kBadInputs[] = {
    {"Missing", [](const fs::path& dir, const std::string&) { return dir / "missing.smi"; }},
    {"Folder", [](const fs::path& dir, const std::string&) { fs::create_directory(dir / "f.smi"); return dir / "f.smi"; }},
    {"Empty", [](const fs::path& dir, const std::string&) { return MakeFile(dir / "empty.smi", ""); }},
    {"OneByte", [](const fs::path& dir, const std::string& sample) { return MakeFile(dir / "one.smi", sample.substr(0, 1)); }},
    // A valid document followed by zeros up to 2 GiB: refused unread.
    {"TwoGiB", [](const fs::path& dir, const std::string& sample) { return MakeFile(dir / "big.smi", sample, uint64_t(1) << 31); }},
    // 4 GiB plus the document: a size narrowed to 32 bits would load it.
    {"FourGiBPlus", [](const fs::path& dir, const std::string& s) { return MakeFile(dir / "huge.smi", s, (uint64_t(1) << 32) + s.size()); }},
    // A FIFO has no size: it is refused at once, not opened and waited on.
    {"Fifo", [](const fs::path& dir, const std::string&) { EXPECT_EQ(mkfifo((dir / "p.smi").c_str(), 0600), 0); return dir / "p.smi"; }},
    // A device with no size that never ends when read.
    {"EndlessDevice", [](const fs::path&, const std::string&) { return fs::path("/dev/zero"); }},
};

class BadInputTest : public testing::TestWithParam<std::tuple<CJob, CBadInput>> {};

TEST_P(BadInputTest, FailsAndChangesNothing)
{
    const auto& [job, bad] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const std::vector<fs::path> vecOutputs = ExistingOutputs(job, dir.Path());
    const fs::path input = bad.m_fnMake(dir.Path(), job.m_strSample);
    const auto before = Snapshot(dir.Path());

    // A job that opened a FIFO would block until a writer comes; this
    // writer comes only to release such a job, and notes that it had to.
    std::atomic<bool> bDone{false}, bReaderWaited{false};
    std::thread releaser([&] {
        for (; !bDone && fs::is_fifo(input); std::this_thread::sleep_for(std::chrono::milliseconds(50)))
            if (const int fd = open(input.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0)
                bReaderWaited = true, close(fd);
    });
    const uint64_t nReadBefore = BytesRead();
    const bool bResult = job.m_fnRun({input, vecOutputs, dir.Path()});
    bDone = true;
    releaser.join();
    EXPECT_FALSE(bResult);
    EXPECT_FALSE(bReaderWaited) << "did not wait on a FIFO";
    EXPECT_LT(BytesRead() - nReadBefore, uint64_t(1) << 20) << "refused without reading it";
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Jobs, BadInputTest, testing::Combine(testing::ValuesIn(Jobs()), testing::ValuesIn(kBadInputs)), CName());

// A NUL ends the text: the job gives exactly what it gives for the part
// before the NUL (each encoding's NUL is covered in TextBuffer.cpp).
class NulInputTest : public testing::TestWithParam<CJob> {};

TEST_P(NulInputTest, TextEndsAtTheNul)
{
    const CJob& job = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const CPaths paths = {dir / "movie.smi", {dir / "out.1", dir / "out.2"}, dir.Path()};
    // Cut in the middle of the second cue, event or paragraph.
    const std::string strHead = job.m_strSample.substr(0, job.m_strSample.find("Second") + 3);

    WriteBytes(paths.in, strHead);
    const bool bExpected = job.m_fnRun(paths);
    const auto expected = Snapshot(dir.Path());
    for (const auto& path : {dir / "out.1", dir / "out.2", dir / "movie.KRCC.srt"})
        fs::remove(path);

    WriteBytes(paths.in, strHead + '\0' + job.m_strSample.substr(strHead.size()));
    EXPECT_EQ(job.m_fnRun(paths), bExpected);
    auto actual = Snapshot(dir.Path());
    actual["movie.smi"] = expected.at("movie.smi");
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Jobs, NulInputTest, testing::ValuesIn(Jobs()), CName());

// Outputs that cannot be written: the job fails and leaves no file behind.
// Each row prepares the folder and returns the output paths to use.
struct COutputFault { const char* m_pszName; std::vector<fs::path> (*m_fnMake)(const fs::path& dir, size_t nOutputs); };

const COutputFault kOutputFaults[] = {
    {"MissingFolder", [](const fs::path& dir, size_t n) { return Named(dir / "nowhere", n); }},
    {"ParentIsAFile", [](const fs::path& dir, size_t n) { return Named(MakeFile(dir / "plain", "a file, not a folder"), n); }},
    {"OutputIsAFolder", [](const fs::path& dir, size_t n) { auto v = Named(dir, n); for (const auto& p : v) fs::create_directory(p); return v; }},
    {"FullDevice", [](const fs::path&, size_t n) { return std::vector<fs::path>(n, FullDevice()); }},
};

class OutputFaultTest : public testing::TestWithParam<std::tuple<CJob, COutputFault>> {};

TEST_P(OutputFaultTest, FailsAndLeavesNothingBehind)
{
    const auto& [job, fault] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    WriteBytes(dir / "movie.in", job.m_strSample);
    const std::vector<fs::path> vecOutputs = fault.m_fnMake(dir.Path(), job.m_nOutputs);
    const auto before = Snapshot(dir.Path());

    EXPECT_FALSE(job.m_fnRun({dir / "movie.in", vecOutputs, dir.Path()}));
    EXPECT_EQ(Snapshot(dir.Path()), before);
    struct stat st;
    ASSERT_EQ(stat(FullDevice().c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the full device is still a device";
}

INSTANTIATE_TEST_SUITE_P(Jobs, OutputFaultTest,
                         testing::Combine(testing::ValuesIn(Jobs([](const CJob& job) { return job.m_nOutputs > 0; })),
                                          testing::ValuesIn(kOutputFaults)),
                         CName());

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

// A write cut short by the file size limit: the job fails and every file
// that existed before is whole and unchanged.
class FileSizeLimitTest : public testing::TestWithParam<CJob> {};

TEST_P(FileSizeLimitTest, FailedWriteKeepsOldFiles)
{
    const CJob& job = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const fs::path input = MakeFile(dir / "movie.smi", job.m_strSample);
    const std::vector<fs::path> vecOutputs = ExistingOutputs(job, dir.Path());
    WriteBytes(dir / "movie.KRCC.srt", "old SAMI output");
    const auto before = Snapshot(dir.Path());

    EXPECT_FALSE(RunWithFileSizeLimit(16, [&] { return job.m_fnRun({input, vecOutputs, dir.Path()}); }));
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Jobs, FileSizeLimitTest,
                         testing::ValuesIn(Jobs([](const CJob& job) { return std::string(job.m_pszName) != "Detect"; })), CName());

// The output may be the input (for MergeFromInput, the text file): it is
// read whole before anything is written.
class SameFileTest : public testing::TestWithParam<CJob> {};

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

INSTANTIATE_TEST_SUITE_P(Jobs, SameFileTest, testing::ValuesIn(Jobs([](const CJob& job) { return job.m_nOutputs == 1; })), CName());

// Through Run: tiny inputs get the failure message of their mode, and an
// input that vanishes after the Run check gets the job's failure message.
struct CModeCase { const char* m_pszName; int32_t m_nMode; MessageId m_nFailure; };

const CModeCase kModes[] = {
    {"Correct", ModeCorrect, MsgCorrectFailed},
    {"Convert", ModeConvert, MsgFormatError},
    {"Extract", ModeExtract, MsgExtractFailed},
    {"Merge", ModeMerge, MsgMergeFailed},
};

struct CTinyInput { const char* m_pszName; std::string m_strBytes; };

const CTinyInput kTinyInputs[] = {
    {"Empty", ""}, {"OneByte", "1"}, {"TwoBytes", "A\n"}, {"Utf16MarkOnly", "\xFF\xFE"},
    {"Utf8MarkOnly", "\xEF\xBB\xBF"}, {"NulFirst", std::string("\0", 1) + kSrt},
};

CRunRequest Request(const CModeCase& mode, const fs::path& input, const fs::path& dir)
{
    CRunRequest request;
    request.m_nMode = mode.m_nMode;
    request.m_strInput = PathToU16(input);
    request.m_strText = PathToU16(dir / "text.txt");
    request.m_strOutput = PathToU16(dir / "out.1");
    return request;
}

class TinyInputRunTest : public testing::TestWithParam<std::tuple<CModeCase, CTinyInput>> {};

TEST_P(TinyInputRunTest, GivesTheModesFailureMessage)
{
    const auto& [mode, tiny] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    WriteBytes(dir / "movie.srt", tiny.m_strBytes);
    const auto before = Snapshot(dir.Path());

    EXPECT_EQ(DispatchRun(Request(mode, dir / "movie.srt", dir.Path())).m_nMessage, mode.m_nFailure);
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Modes, TinyInputRunTest, testing::Combine(testing::ValuesIn(kModes), testing::ValuesIn(kTinyInputs)), CName());

class VanishedInputTest : public testing::TestWithParam<CModeCase> {};

TEST_P(VanishedInputTest, InputGoneAfterTheCheckGivesTheJobsFailure)
{
    const CModeCase& mode = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const fs::path input = MakeFile(dir / "movie.srt", kSrt);
    const CRunRequest request = Request(mode, input, dir.Path());
    ASSERT_TRUE(IsExistingFile(input));

    // Removed, then replaced by a folder, between the check and the load.
    for (bool bFolder : {false, true})
    {
        fs::remove_all(input);
        if (bFolder)
            fs::create_directory(input);
        const auto before = Snapshot(dir.Path());
        CRunResult result;
        switch (mode.m_nMode)
        {
        case ModeCorrect: result = RunCorrection(request); break;
        case ModeConvert: result = RunConversion(request.m_strInput); break;
        case ModeExtract: result = RunExtraction(request.m_strInput, request.m_strOutput); break;
        default: result = RunMerge(request.m_strInput, request.m_strText, request.m_strOutput); break;
        }
        EXPECT_EQ(result.m_nMessage, mode.m_nFailure) << (bFolder ? "folder" : "removed");
        EXPECT_EQ(Snapshot(dir.Path()), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, VanishedInputTest, testing::ValuesIn(kModes), CName());

}  // namespace
