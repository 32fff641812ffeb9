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

// A job as the tests drive it: an input, the output paths it is given, and
// whether it reported success. The SAMI reader names its outputs itself,
// beside its input.
struct CJob
{
    const char* m_pszName;
    std::string m_strSample;   // a valid input for the job
    std::string m_strLarge;    // a valid input whose outputs pass 1 KiB
    size_t m_nOutputs;         // output paths the job takes
    std::function<bool(const fs::path& input, const std::vector<fs::path>& outputs, const fs::path& dir)> m_fnRun;
};

// n cues, events or paragraphs made from one pattern with "%" standing for
// a growing number.
std::string Repeated(std::string_view head, std::string_view pattern, int nTimes)
{
    std::string strOut(head);
    for (int i = 0; i < nTimes; ++i)
    {
        for (char c : pattern)
            strOut += c == '%' ? std::to_string(10 + i) : std::string(1, c);
    }
    return strOut;
}

const std::string kLargeSrt = Repeated("", "1\r\n00:00:%,000 --> 00:00:%,500\r\nMore text\r\n\r\n", 80);
const std::string kLargeText = Repeated("", "Paragraph %\r\n\r\n", 80);
const std::string kLargeAss = Repeated(kAss, "Dialogue: 0,0:00:%.00,0:00:%.50,Default,More text\r\n", 80);
const std::string kLargeSami = Repeated("<SAMI><BODY>", "<SYNC Start=%000><P Class=KRCC>More text\r\n", 80);

std::vector<CJob> Jobs()
{
    return {
        {"Correct", kSrt, kLargeSrt, 1,
         [](const fs::path& in, const std::vector<fs::path>& out, const fs::path&) {
             return CSrtProcessor().CorrectSrt(in, out[0], 1.0, 0.0, 0, 0, 0, 0, 0);
         }},
        {"Extract", kSrt, kLargeSrt, 1,
         [](const fs::path& in, const std::vector<fs::path>& out, const fs::path&) {
             return CSrtProcessor().ExtractText(in, out[0]);
         }},
        {"MergeOntoInput", kSrt, kLargeSrt, 1,
         [](const fs::path& in, const std::vector<fs::path>& out, const fs::path& dir) {
             return CSrtProcessor().MergeText(in, dir / "text.txt", out[0]);
         }},
        {"MergeFromInput", kText, kLargeText, 1,
         [](const fs::path& in, const std::vector<fs::path>& out, const fs::path& dir) {
             return CSrtProcessor().MergeText(dir / "timing.srt", in, out[0]);
         }},
        {"WriteSami", kSrt, kLargeSrt, 2,
         [](const fs::path& in, const std::vector<fs::path>& out, const fs::path&) {
             return CSrtProcessor().WriteSami(in, out[0], out[1]);
         }},
        {"ConvertAss", kAss, kLargeAss, 1,
         [](const fs::path& in, const std::vector<fs::path>& out, const fs::path&) {
             return CAssConverter().ConvertAssToSrt(in, out[0]);
         }},
        {"ConvertSami", kSami, kLargeSami, 0,
         [](const fs::path& in, const std::vector<fs::path>&, const fs::path&) {
             return CSamiReader().ConvertSamiToSrt(in) > 0;
         }},
        {"Detect", kSrt, kLargeSrt, 0,
         [](const fs::path& in, const std::vector<fs::path>&, const fs::path&) {
             return DetectFormat(in) != FormatUnrecognised;
         }},
    };
}

void PrintTo(const CJob& job, std::ostream* pOut)
{
    *pOut << job.m_pszName;
}

std::string JobName(const testing::TestParamInfo<CJob>& info)
{
    return info.param.m_pszName;
}

// Every file in a folder with its content (large files by size only), so a
// test can tell that nothing was added, removed or changed.
std::map<std::string, std::string> Snapshot(const fs::path& dir)
{
    std::map<std::string, std::string> mapFiles;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
    {
        const std::string strName = fs::relative(entry.path(), dir).string();
        if (entry.is_directory())
            mapFiles[strName] = "<folder>";
        else if (entry.is_regular_file() && entry.file_size() > (1u << 20))
            mapFiles[strName] = "<" + std::to_string(entry.file_size()) + " bytes>";
        else
            mapFiles[strName] = ReadBytes(entry.path());
    }
    return mapFiles;
}

// Output paths for a job: "out.1", "out.2" in the folder; they already exist
// and hold text a failing job must not touch.
std::vector<fs::path> ExistingOutputs(const CJob& job, const fs::path& dir)
{
    std::vector<fs::path> vecOutputs;
    for (size_t i = 1; i <= job.m_nOutputs; ++i)
    {
        vecOutputs.push_back(dir / ("out." + std::to_string(i)));
        WriteBytes(vecOutputs.back(), "old output " + std::to_string(i));
    }
    return vecOutputs;
}

// The helper inputs the merge jobs pair with the file under test.
void WriteMergePartners(const fs::path& dir, bool bLarge = false)
{
    WriteBytes(dir / "timing.srt", bLarge ? kLargeSrt : kSrt);
    WriteBytes(dir / "text.txt", bLarge ? kLargeText : kText);
}

// Bytes this process has read so far.
uint64_t BytesRead()
{
    std::ifstream in("/proc/self/io");
    std::string strKey;
    uint64_t nValue = 0;
    while (in >> strKey >> nValue)
    {
        if (strKey == "rchar:")
            return nValue;
    }
    return 0;
}

void MakeSparse(const fs::path& path, std::string_view head, uint64_t nSize)
{
    WriteBytes(path, head);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(nSize)), 0);
}

// ---------------------------------------------------------------------------
// Inputs that cannot be loaded: every job fails and writes nothing.

struct CBadInput
{
    const char* m_pszName;
    // Makes the input in the folder and returns its path.
    std::function<fs::path(const fs::path& dir, const std::string& sample)> m_fnMake;
};

void PrintTo(const CBadInput& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

std::vector<CBadInput> BadInputs()
{
    return {
        {"Missing", [](const fs::path& dir, const std::string&) { return dir / "missing.smi"; }},
        {"Folder",
         [](const fs::path& dir, const std::string&) {
             fs::create_directory(dir / "folder.smi");
             return dir / "folder.smi";
         }},
        {"Empty",
         [](const fs::path& dir, const std::string&) {
             WriteBytes(dir / "empty.smi", "");
             return dir / "empty.smi";
         }},
        {"OneByte",
         [](const fs::path& dir, const std::string& sample) {
             WriteBytes(dir / "one.smi", sample.substr(0, 1));
             return dir / "one.smi";
         }},
        // A valid document followed by zeros up to 2 GiB: too big to load,
        // and refused without being read.
        {"TwoGiB",
         [](const fs::path& dir, const std::string& sample) {
             MakeSparse(dir / "big.smi", sample, uint64_t(1) << 31);
             return dir / "big.smi";
         }},
        // 4 GiB plus the document: the size's low 32 bits are exactly the
        // document, so a size narrowed to 32 bits would load it.
        {"FourGiBPlus",
         [](const fs::path& dir, const std::string& sample) {
             MakeSparse(dir / "huge.smi", sample, (uint64_t(1) << 32) + sample.size());
             return dir / "huge.smi";
         }},
        // A device with no size that never ends when read.
        {"EndlessDevice", [](const fs::path&, const std::string&) { return fs::path("/dev/zero"); }},
    };
}

class BadInputTest : public testing::TestWithParam<std::tuple<CJob, CBadInput>>
{
};

TEST_P(BadInputTest, FailsAndChangesNothing)
{
    const auto& [job, bad] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const std::vector<fs::path> vecOutputs = ExistingOutputs(job, dir.Path());
    const fs::path input = bad.m_fnMake(dir.Path(), job.m_strSample);
    const auto before = Snapshot(dir.Path());

    const uint64_t nReadBefore = BytesRead();
    EXPECT_FALSE(job.m_fnRun(input, vecOutputs, dir.Path()));
    EXPECT_LT(BytesRead() - nReadBefore, uint64_t(1) << 20) << "refused without reading it";
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Jobs, BadInputTest, testing::Combine(testing::ValuesIn(Jobs()), testing::ValuesIn(BadInputs())),
                         [](const testing::TestParamInfo<std::tuple<CJob, CBadInput>>& info) {
                             return std::string(std::get<0>(info.param).m_pszName) + "_" +
                                    std::get<1>(info.param).m_pszName;
                         });

// ---------------------------------------------------------------------------
// A FIFO has no size: it is refused at once, not opened and waited on.

class FifoInputTest : public testing::TestWithParam<CJob>
{
};

TEST_P(FifoInputTest, FailsWithoutWaitingForAWriter)
{
    const CJob& job = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const std::vector<fs::path> vecOutputs = ExistingOutputs(job, dir.Path());
    const fs::path fifo = dir / "pipe.smi";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    // A job that opened the FIFO would block until a writer comes; this
    // writer comes only to release such a job, and notes that it had to.
    std::atomic<bool> bDone{false};
    std::atomic<bool> bReaderWaited{false};
    std::thread releaser([&] {
        while (!bDone)
        {
            const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
            {
                bReaderWaited = true;
                close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const bool bResult = job.m_fnRun(fifo, vecOutputs, dir.Path());
    bDone = true;
    releaser.join();

    EXPECT_FALSE(bResult);
    EXPECT_FALSE(bReaderWaited);
}

INSTANTIATE_TEST_SUITE_P(Jobs, FifoInputTest, testing::ValuesIn(Jobs()), JobName);

// ---------------------------------------------------------------------------
// A NUL ends the text: the job gives exactly what it gives for the part
// before the NUL, in every encoding.

struct CNulCase
{
    const char* m_pszName;
    std::string m_strMark;  // byte-order mark
    bool m_bWide;           // UTF-16LE: every byte becomes a unit
    std::string m_strNul;   // how the NUL is written
};

void PrintTo(const CNulCase& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

std::string Encode(const CNulCase& encoding, std::string_view ascii)
{
    std::string strOut;
    for (char c : ascii)
    {
        strOut += c;
        if (encoding.m_bWide)
            strOut += '\0';
    }
    return strOut;
}

class NulInputTest : public testing::TestWithParam<std::tuple<CJob, CNulCase>>
{
};

TEST_P(NulInputTest, TextEndsAtTheNul)
{
    const auto& [job, encoding] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const std::vector<fs::path> vecOutputs = {dir / "out.1", dir / "out.2"};
    const fs::path input = dir / "movie.smi";
    // Cut in the middle of the second cue, event or paragraph.
    const size_t nCut = job.m_strSample.find("Second") + 3;
    const std::string strHead = encoding.m_strMark + Encode(encoding, job.m_strSample.substr(0, nCut));
    const std::string& strNul = encoding.m_strNul;
    const std::string strTail = Encode(encoding, job.m_strSample.substr(nCut));

    WriteBytes(input, strHead);
    const bool bExpected = job.m_fnRun(input, vecOutputs, dir.Path());
    const auto expected = Snapshot(dir.Path());
    for (const auto& path : {dir / "out.1", dir / "out.2", dir / "movie.KRCC.srt"})
        fs::remove(path);

    WriteBytes(input, strHead + strNul + strTail);
    EXPECT_EQ(job.m_fnRun(input, vecOutputs, dir.Path()), bExpected);
    auto actual = Snapshot(dir.Path());
    actual["movie.smi"] = expected.at("movie.smi");
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Jobs, NulInputTest,
                         testing::Combine(testing::ValuesIn(Jobs()),
                                          testing::Values(CNulCase{"Ansi", "", false, std::string(1, '\0')},
                                                          CNulCase{"Utf8Bom", std::string(kBom), false, std::string(1, '\0')},
                                                          // An overlong form decodes to a NUL unit.
                                                          CNulCase{"Utf8Overlong", std::string(kBom), false, "\xC0\x80"},
                                                          CNulCase{"Utf8Overlong3", std::string(kBom), false, "\xE0\x80\x80"},
                                                          CNulCase{"Utf16", "\xFF\xFE", true, std::string(2, '\0')})),
                         [](const testing::TestParamInfo<std::tuple<CJob, CNulCase>>& info) {
                             return std::string(std::get<0>(info.param).m_pszName) + "_" +
                                    std::get<1>(info.param).m_pszName;
                         });

// ---------------------------------------------------------------------------
// Outputs that cannot be written: the job fails and leaves no file behind.

std::vector<CJob> WritingJobs()
{
    std::vector<CJob> vecJobs;
    for (const CJob& job : Jobs())
    {
        if (job.m_nOutputs > 0)
            vecJobs.push_back(job);
    }
    return vecJobs;
}

struct COutputFault
{
    const char* m_pszName;
    // Prepares the folder and returns the output paths to use.
    std::function<std::vector<fs::path>(const fs::path& dir, size_t nOutputs)> m_fnMake;
};

void PrintTo(const COutputFault& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

std::vector<COutputFault> OutputFaults()
{
    auto named = [](const fs::path& folder, size_t nOutputs) {
        std::vector<fs::path> vecOutputs;
        for (size_t i = 1; i <= nOutputs; ++i)
            vecOutputs.push_back(folder / ("out." + std::to_string(i)));
        return vecOutputs;
    };
    return {
        {"MissingFolder", [=](const fs::path& dir, size_t n) { return named(dir / "nowhere", n); }},
        {"ParentIsAFile",
         [=](const fs::path& dir, size_t n) {
             WriteBytes(dir / "plain", "a file, not a folder");
             return named(dir / "plain", n);
         }},
        {"OutputIsAFolder",
         [=](const fs::path& dir, size_t n) {
             auto vecOutputs = named(dir, n);
             for (const auto& path : vecOutputs)
                 fs::create_directory(path);
             return vecOutputs;
         }},
        {"FullDevice",
         [](const fs::path&, size_t n) { return std::vector<fs::path>(n, FullDevice()); }},
    };
}

class OutputFaultTest : public testing::TestWithParam<std::tuple<CJob, COutputFault>>
{
};

TEST_P(OutputFaultTest, FailsAndLeavesNothingBehind)
{
    const auto& [job, fault] = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    WriteBytes(dir / "movie.in", job.m_strSample);
    const std::vector<fs::path> vecOutputs = fault.m_fnMake(dir.Path(), job.m_nOutputs);
    const auto before = Snapshot(dir.Path());

    EXPECT_FALSE(job.m_fnRun(dir / "movie.in", vecOutputs, dir.Path()));
    EXPECT_EQ(Snapshot(dir.Path()), before);
    struct stat st;
    ASSERT_EQ(stat(FullDevice().c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the full device is still a device";
}

INSTANTIATE_TEST_SUITE_P(Jobs, OutputFaultTest,
                         testing::Combine(testing::ValuesIn(WritingJobs()), testing::ValuesIn(OutputFaults())),
                         [](const testing::TestParamInfo<std::tuple<CJob, COutputFault>>& info) {
                             return std::string(std::get<0>(info.param).m_pszName) + "_" +
                                    std::get<1>(info.param).m_pszName;
                         });

// ---------------------------------------------------------------------------
// A write cut short by the file size limit: the job fails and every file
// that existed before is whole and unchanged.

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

class FileSizeLimitTest : public testing::TestWithParam<CJob>
{
};

TEST_P(FileSizeLimitTest, FailedWriteKeepsOldFiles)
{
    const CJob& job = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path(), true);
    const fs::path input = dir / "movie.smi";
    WriteBytes(input, job.m_strLarge);
    const std::vector<fs::path> vecOutputs = ExistingOutputs(job, dir.Path());
    WriteBytes(dir / "movie.KRCC.srt", "old SAMI output");
    const auto before = Snapshot(dir.Path());

    EXPECT_FALSE(RunWithFileSizeLimit(1024, [&] { return job.m_fnRun(input, vecOutputs, dir.Path()); }));
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

std::vector<CJob> SizeLimitJobs()
{
    std::vector<CJob> vecJobs;
    for (const CJob& job : Jobs())
    {
        if (std::string(job.m_pszName) != "Detect")
            vecJobs.push_back(job);
    }
    return vecJobs;
}

INSTANTIATE_TEST_SUITE_P(Jobs, FileSizeLimitTest, testing::ValuesIn(SizeLimitJobs()), JobName);

// ---------------------------------------------------------------------------
// The output may be the input: it is read whole before anything is written.

class SameFileTest : public testing::TestWithParam<CJob>
{
};

TEST_P(SameFileTest, OutputOverInputGivesTheSameResult)
{
    const CJob& job = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const fs::path input = dir / "movie.in";
    WriteBytes(input, job.m_strSample);
    ASSERT_TRUE(job.m_fnRun(input, {dir / "elsewhere"}, dir.Path()));
    const std::string strExpected = ReadBytes(dir / "elsewhere");

    EXPECT_TRUE(job.m_fnRun(input, {input}, dir.Path()));
    EXPECT_EQ(ReadBytes(input), strExpected);
}

std::vector<CJob> SameFileJobs()
{
    std::vector<CJob> vecJobs;
    for (const CJob& job : Jobs())
    {
        if (job.m_nOutputs == 1)
            vecJobs.push_back(job);
    }
    return vecJobs;
}

INSTANTIATE_TEST_SUITE_P(Jobs, SameFileTest, testing::ValuesIn(SameFileJobs()), JobName);

TEST(SameFile, MergeOutputOverItsTextFile)
{
    CTempDir dir;
    WriteMergePartners(dir.Path());
    ASSERT_TRUE(CSrtProcessor().MergeText(dir / "timing.srt", dir / "text.txt", dir / "elsewhere.srt"));
    EXPECT_TRUE(CSrtProcessor().MergeText(dir / "timing.srt", dir / "text.txt", dir / "text.txt"));
    EXPECT_EQ(ReadBytes(dir / "text.txt"), ReadBytes(dir / "elsewhere.srt"));
}

// ---------------------------------------------------------------------------
// Through Run: tiny inputs get the failure message of their mode, and an
// input that vanishes after the Run check gets the job's failure message.

struct CModeCase
{
    const char* m_pszName;
    int32_t m_nMode;
    MessageId m_nFailure;
};

void PrintTo(const CModeCase& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

const CModeCase kModes[] = {
    {"Correct", ModeCorrect, MsgCorrectFailed},
    {"Convert", ModeConvert, MsgFormatError},
    {"Extract", ModeExtract, MsgExtractFailed},
    {"Merge", ModeMerge, MsgMergeFailed},
};

struct CTinyInput
{
    const char* m_pszName;
    std::string m_strBytes;
};

void PrintTo(const CTinyInput& value, std::ostream* pOut)
{
    *pOut << value.m_pszName;
}

const CTinyInput kTinyInputs[] = {
    {"Empty", ""},
    {"OneByte", "1"},
    {"TwoBytes", "A\n"},
    {"Utf16MarkOnly", "\xFF\xFE"},
    {"Utf8MarkOnly", "\xEF\xBB\xBF"},
    {"NulFirst", std::string("\0", 1) + kSrt},
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

class TinyInputRunTest : public testing::TestWithParam<std::tuple<CModeCase, CTinyInput>>
{
};

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

INSTANTIATE_TEST_SUITE_P(Modes, TinyInputRunTest, testing::Combine(testing::ValuesIn(kModes), testing::ValuesIn(kTinyInputs)),
                         [](const testing::TestParamInfo<std::tuple<CModeCase, CTinyInput>>& info) {
                             return std::string(std::get<0>(info.param).m_pszName) + "_" +
                                    std::get<1>(info.param).m_pszName;
                         });

class VanishedInputTest : public testing::TestWithParam<CModeCase>
{
};

TEST_P(VanishedInputTest, InputGoneAfterTheCheckGivesTheJobsFailure)
{
    const CModeCase& mode = GetParam();
    CTempDir dir;
    WriteMergePartners(dir.Path());
    const fs::path input = dir / "movie.srt";
    WriteBytes(input, kSrt);
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

INSTANTIATE_TEST_SUITE_P(Modes, VanishedInputTest, testing::ValuesIn(kModes),
                         [](const testing::TestParamInfo<CModeCase>& info) { return info.param.m_pszName; });

}  // namespace
