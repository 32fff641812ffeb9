#include "cli/CliCommands.h"

#include <cstdint>
#include <ostream>
#include <string_view>

#include "run/Job.h"
#include "run/Modes.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
constexpr std::string_view kUsage =
    "usage:\n"
    "  tavrel-cli correct INPUT OUTPUT [--offset MS | --map S1,T1,S2,T2]\n"
    "                     [--fix-0085] [--fix-quotes] [--fix-l] [--fix-digits] [--encoding NAME]\n"
    "  tavrel-cli extract INPUT OUTPUT [--encoding NAME]\n"
    "  tavrel-cli merge SRT TEXT OUTPUT [--encoding NAME]\n"
    "  tavrel-cli convert INPUT... [--encoding NAME]\n"
    "  tavrel-cli --help\n"
    "--encoding names the legacy code page (cp949, cp932, cp1252, utf-8, ...) of input without a\n"
    "byte-order mark that is not UTF-8, and of the .smi that convert writes; default: the system's.\n";

// What one command line asks for, before anything runs.
struct CCommand
{
    const CModeRow* m_pMode = nullptr;
    std::vector<std::string> m_vecPaths;
    CJobRequest m_request;
    bool m_bHelp = false;
    bool m_bOffsetGiven = false;
    bool m_bMapGiven = false;
};

bool IsHelp(std::string_view arg)
{
    return arg == "--help" || arg == "-h";
}

// Decimal digits, at least one, no more than nLimit; false otherwise.
bool ParseDigits(std::string_view text, uint64_t nLimit, uint64_t& nValue)
{
    if (text.empty())
        return false;
    uint64_t n = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<uint64_t>(c - '0');
        if (n > nLimit)
            return false;
    }
    nValue = n;
    return true;
}

bool ParseUnsigned32(std::string_view text, uint32_t& nValue)
{
    uint64_t n = 0;
    if (!ParseDigits(text, UINT32_MAX, n))
        return false;
    nValue = static_cast<uint32_t>(n);
    return true;
}

// An optional sign and decimal digits within the signed 32-bit range.
bool ParseOffset(std::string_view text, int32_t& nOffset)
{
    const bool bNegative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        text.remove_prefix(1);
    uint64_t n = 0;
    if (!ParseDigits(text, bNegative ? uint64_t{INT32_MAX} + 1 : uint64_t{INT32_MAX}, n))
        return false;
    nOffset = static_cast<int32_t>(bNegative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n));
    return true;
}

bool ParseMap(std::string_view text, CShift& shift)
{
    uint32_t* const values[] = {&shift.m_nSrc1, &shift.m_nDst1, &shift.m_nSrc2, &shift.m_nDst2};
    for (size_t i = 0; i < 4; ++i)
    {
        const size_t nComma = text.find(',');
        const bool bLast = i == 3;
        if (bLast != (nComma == std::string_view::npos))
            return false;
        if (!ParseUnsigned32(text.substr(0, nComma), *values[i]))
            return false;
        text = bLast ? std::string_view() : text.substr(nComma + 1);
    }
    return true;
}

const COcrRow* FindOcrFlag(std::string_view arg)
{
    for (const COcrRow& row : OcrRows())
        if (row.cliFlag == arg)
            return &row;
    return nullptr;
}

// An option that takes a value; false with a reason on a usage error.
bool ParseValueOption(std::string_view arg, const std::string& value, CCommand& command, std::string& strError)
{
    CJobRequest& request = command.m_request;
    if (arg == "--encoding")
    {
        if (ParseCodePageName(value, request.m_codePage))
            return true;
        strError = "unknown encoding " + value;
        return false;
    }
    if (arg == "--offset")
    {
        command.m_bOffsetGiven = true;
        if (ParseOffset(value, request.m_shift.m_nOffset))
            return true;
        strError =
            "--offset takes a whole number of milliseconds (optional sign, decimal digits, signed 32-bit): " + value;
        return false;
    }
    command.m_bMapGiven = true;
    request.m_shift.m_nKind = ShiftKind::Detailed;
    if (ParseMap(value, request.m_shift))
        return true;
    strError = "--map takes four unsigned 32-bit numbers: S1,T1,S2,T2";
    return false;
}

// One option; false with a reason on a usage error.
bool ParseOption(const std::vector<std::string>& args, size_t& i, CCommand& command, std::string& strError)
{
    const std::string_view arg = args[i];
    const bool bCorrect = command.m_pMode->nMode == Mode::Correct;
    if (const COcrRow* pFlag = FindOcrFlag(arg); pFlag != nullptr && bCorrect)
    {
        command.m_request.m_ocr.Set(pFlag->nRepair);
        return true;
    }
    if (arg != "--encoding" && (!bCorrect || (arg != "--offset" && arg != "--map")))
    {
        strError = "unknown option " + std::string(arg);
        return false;
    }
    if (i + 1 >= args.size())
    {
        strError = std::string(arg) + " needs a value";
        return false;
    }
    return ParseValueOption(arg, args[++i], command, strError);
}

bool CheckPathCount(const CCommand& command, std::string& strError)
{
    const int32_t nWanted = command.m_pMode->nPaths;
    const size_t nGiven = command.m_vecPaths.size();
    if (nGiven < static_cast<size_t>(nWanted == 0 ? 1 : nWanted))
    {
        strError = "missing argument";
        return false;
    }
    if (nWanted != 0 && nGiven > static_cast<size_t>(nWanted))
    {
        strError = "too many arguments";
        return false;
    }
    return true;
}

bool ParseArguments(const std::vector<std::string>& args, CCommand& command, std::string& strError)
{
    if (args.empty())
    {
        strError = "missing command";
        return false;
    }
    if (IsHelp(args[0]))
    {
        command.m_bHelp = true;
        return true;
    }
    command.m_pMode = FindModeByVerb(args[0]);
    if (command.m_pMode == nullptr)
    {
        strError = "unknown command " + args[0];
        return false;
    }
    command.m_request.m_nMode = command.m_pMode->nMode;
    bool bOptionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        const bool bOption = !bOptionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!bOption)
        {
            if (arg.empty())
            {
                strError = "empty path";
                return false;
            }
            command.m_vecPaths.push_back(arg);
        }
        else if (arg == "--")
        {
            bOptionsEnded = true;
        }
        else if (IsHelp(arg))
        {
            command.m_bHelp = true;
            return true;
        }
        else if (!ParseOption(args, i, command, strError))
        {
            return false;
        }
    }
    if (command.m_bOffsetGiven && command.m_bMapGiven)
    {
        strError = "--offset and --map exclude each other";
        return false;
    }
    return CheckPathCount(command, strError);
}

void PrintCounts(std::ostream& err, const CJobRequest& request, const CJobOutcome& outcome)
{
    const CSrtJobStats& stats = outcome.m_stats;
    err << "cues written: " << stats.m_nCuesWritten;
    if (request.m_nMode == Mode::Merge)
    {
        err << ", cues without paragraph: " << stats.m_nCuesWithoutParagraph
            << ", paragraphs left over: " << stats.m_nParagraphsLeft;
    }
    err << ", tolerant time lines: " << stats.m_nTolerantTimeLines;
    err << '\n';
}

// The message on out; after a failure its reason on err.
bool Report(const CJobOutcome& outcome, std::string_view prefix, std::ostream& out, std::ostream& err)
{
    out << prefix << U16ToUtf8(outcome.Text()) << '\n';
    if (outcome.IsSuccess())
        return true;
    if (outcome.m_failure.IsFailure())
        err << "tavrel-cli: " << prefix << FailureReason(outcome.m_failure) << '\n';
    return false;
}

CliExit RunSrtJob(const CCommand& command, std::ostream& out, std::ostream& err)
{
    CJobRequest request = command.m_request;
    const std::vector<std::string>& paths = command.m_vecPaths;
    request.m_input = PathFromU16(Utf8ToU16(paths[0]));
    request.m_output = PathFromU16(Utf8ToU16(paths.back()));
    if (command.m_pMode->bTextRow)
        request.m_text = PathFromU16(Utf8ToU16(paths[1]));
    const CJobOutcome outcome = CheckAndRunJob(request);
    if (!Report(outcome, {}, out, err))
        return CliExit::Failure;
    PrintCounts(err, request, outcome);
    return CliExit::Success;
}

// What a conversion repaired on its way: tolerant time lines of an SRT input,
// Dialogue lines of a script left out for times that cannot be read.
void PrintConversionCounts(std::ostream& err, const CJobOutcome& result)
{
    const CSrtJobStats& stats = result.m_stats;
    if (result.m_nMessage == MessageId::SrtToSamiDone)
        err << "cues written: " << stats.m_nCuesWritten << ", tolerant time lines: " << stats.m_nTolerantTimeLines
            << '\n';
    else if (result.m_nMessage == MessageId::AssToSrtDone)
        err << "cues written: " << stats.m_nCuesWritten << ", dialogue lines left out: " << stats.m_nDialoguesLeftOut
            << '\n';
}

// Each input on its own, as Run does in the conversion mode.
CliExit RunConvert(const CCommand& command, std::ostream& out, std::ostream& err)
{
    const bool bPrefix = command.m_vecPaths.size() > 1;
    bool bAllDone = true;
    for (const std::string& path : command.m_vecPaths)
    {
        CJobRequest request = command.m_request;
        request.m_input = PathFromU16(Utf8ToU16(path));
        const CJobOutcome outcome = CheckAndRunJob(request);
        if (Report(outcome, bPrefix ? path + ": " : std::string(), out, err))
            PrintConversionCounts(err, outcome);
        else
            bAllDone = false;
    }
    return bAllDone ? CliExit::Success : CliExit::Failure;
}
}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CCommand command;
    std::string strError;
    if (!ParseArguments(args, command, strError))
    {
        err << "tavrel-cli: " << strError << '\n' << kUsage;
        return static_cast<int>(CliExit::UsageError);
    }
    if (command.m_bHelp)
    {
        out << kUsage;
        return static_cast<int>(CliExit::Success);
    }
    const CliExit nExit =
        command.m_pMode->nMode == Mode::Convert ? RunConvert(command, out, err) : RunSrtJob(command, out, err);
    out.flush();
    return static_cast<int>(nExit);
}

}  // namespace tavrel
