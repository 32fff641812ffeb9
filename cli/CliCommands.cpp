#include "cli/CliCommands.h"

#include <cstdint>
#include <ostream>
#include <string_view>

#include "run/RunDispatch.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
constexpr std::string_view kUsage = "usage:\n"
                                    "  tavrel-cli correct INPUT OUTPUT [--offset TEXT | --map S1,T1,S2,T2]\n"
                                    "                     [--fix-0085] [--fix-quotes] [--fix-l] [--fix-digits]\n"
                                    "  tavrel-cli extract INPUT OUTPUT\n"
                                    "  tavrel-cli merge SRT TEXT OUTPUT\n"
                                    "  tavrel-cli convert INPUT...\n"
                                    "  tavrel-cli --help\n";

// The four OCR option boxes of the correction.
struct CFlagOption
{
    std::string_view name;
    int32_t CRunRequest::*pMember;
};

constexpr CFlagOption kFlagOptions[] = {
    {"--fix-0085", &CRunRequest::m_bReplace85},
    {"--fix-quotes", &CRunRequest::m_bFixQuotes},
    {"--fix-l", &CRunRequest::m_bFixLetterL},
    {"--fix-digits", &CRunRequest::m_bRemoveDigitSpaces},
};

struct CVerb
{
    std::string_view name;
    size_t nMinPaths;
    size_t nMaxPaths;  // 0: no limit
};

constexpr CVerb kVerbs[] = {
    {"correct", 2, 2},
    {"extract", 2, 2},
    {"merge", 3, 3},
    {"convert", 1, 0},
};

// What one command line asks for, before anything runs.
struct CCommand
{
    const CVerb* m_pVerb = nullptr;
    std::vector<std::string> m_vecPaths;
    CRunRequest m_request;
    bool m_bHelp = false;
    bool m_bOffsetGiven = false;
    bool m_bMapGiven = false;
};

bool IsHelp(std::string_view arg)
{
    return arg == "--help" || arg == "-h";
}

const CVerb* FindVerb(std::string_view name)
{
    for (const CVerb& verb : kVerbs)
        if (verb.name == name)
            return &verb;
    return nullptr;
}

// One unsigned 32-bit decimal number: digits only, no sign, no overflow.
bool ParseUnsigned32(std::string_view text, uint32_t& nValue)
{
    if (text.empty())
        return false;
    uint64_t n = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<uint64_t>(c - '0');
        if (n > UINT32_MAX)
            return false;
    }
    nValue = static_cast<uint32_t>(n);
    return true;
}

bool ParseMap(std::string_view text, CRunRequest& request)
{
    uint32_t* const values[] = {&request.m_nSrc1, &request.m_nDst1, &request.m_nSrc2, &request.m_nDst2};
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

// Options of the correction; false with a reason on a usage error.
bool ParseCorrectOption(const std::vector<std::string>& args, size_t& i, CCommand& command, std::string& strError)
{
    const std::string_view arg = args[i];
    for (const CFlagOption& flag : kFlagOptions)
    {
        if (arg == flag.name)
        {
            command.m_request.*flag.pMember = 1;
            return true;
        }
    }
    if (arg != "--offset" && arg != "--map")
    {
        strError = "unknown option " + std::string(arg);
        return false;
    }
    if (i + 1 >= args.size())
    {
        strError = std::string(arg) + " needs a value";
        return false;
    }
    const std::string& value = args[++i];
    if (arg == "--offset")
    {
        command.m_request.m_strOffset = Utf8ToU16(value);
        command.m_bOffsetGiven = true;
        return true;
    }
    if (!ParseMap(value, command.m_request))
    {
        strError = "--map takes four unsigned 32-bit numbers: S1,T1,S2,T2";
        return false;
    }
    command.m_request.m_nShiftKind = ShiftKind::Detailed;
    command.m_bMapGiven = true;
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
    command.m_pVerb = FindVerb(args[0]);
    if (command.m_pVerb == nullptr)
    {
        strError = "unknown command " + args[0];
        return false;
    }
    const bool bCorrect = command.m_pVerb->name == "correct";
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
        else if (!bCorrect)
        {
            strError = "unknown option " + arg;
            return false;
        }
        else if (!ParseCorrectOption(args, i, command, strError))
        {
            return false;
        }
    }
    if (command.m_bOffsetGiven && command.m_bMapGiven)
    {
        strError = "--offset and --map exclude each other";
        return false;
    }
    const CVerb& verb = *command.m_pVerb;
    if (command.m_vecPaths.size() < verb.nMinPaths)
    {
        strError = "missing argument";
        return false;
    }
    if (verb.nMaxPaths != 0 && command.m_vecPaths.size() > verb.nMaxPaths)
    {
        strError = "too many arguments";
        return false;
    }
    return true;
}

void PrintCounts(std::ostream& err, const CRunRequest& request, const CRunResult& result)
{
    const CSrtJobStats& stats = result.m_stats;
    err << "cues written: " << stats.m_nCuesWritten;
    if (request.m_nMode == Mode::Merge)
    {
        err << ", cues without paragraph: " << stats.m_nCuesWithoutParagraph
            << ", paragraphs left over: " << stats.m_nParagraphsLeft;
    }
    err << ", tolerant time lines: " << stats.m_nTolerantTimeLines;
    err << '\n';
}

CliExit RunSrtJob(const CCommand& command, std::ostream& out, std::ostream& err)
{
    CRunRequest request = command.m_request;
    const std::vector<std::string>& paths = command.m_vecPaths;
    request.m_strInput = Utf8ToU16(paths[0]);
    request.m_strOutput = Utf8ToU16(paths.back());
    const std::string_view verb = command.m_pVerb->name;
    if (verb == "correct")
    {
        request.m_nMode = Mode::Correct;
    }
    else if (verb == "extract")
    {
        request.m_nMode = Mode::Extract;
    }
    else
    {
        request.m_nMode = Mode::Merge;
        request.m_strText = Utf8ToU16(paths[1]);
    }
    const CRunResult result = DispatchRun(request);
    out << U16ToUtf8(result.Text()) << '\n';
    if (!result.IsSuccess())
        return CliExit::Failure;
    PrintCounts(err, request, result);
    return CliExit::Success;
}

// What a conversion repaired on its way: tolerant time lines of an SRT input,
// Dialogue lines of a script left out for times that cannot be read.
void PrintConversionCounts(std::ostream& err, const CRunResult& result)
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
        CRunRequest request;
        request.m_nMode = Mode::Convert;
        request.m_strInput = Utf8ToU16(path);
        const CRunResult result = DispatchRun(request);
        if (bPrefix)
            out << path << ": ";
        out << U16ToUtf8(result.Text()) << '\n';
        PrintConversionCounts(err, result);
        bAllDone = bAllDone && result.IsSuccess();
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
        command.m_pVerb->name == "convert" ? RunConvert(command, out, err) : RunSrtJob(command, out, err);
    out.flush();
    return static_cast<int>(nExit);
}

}  // namespace tavrel
