#include "run/RunDispatch.h"

#include <cstdint>
#include <system_error>

#include "text/Unicode.h"

namespace tavrel
{

namespace
{

CRunResult Outcome(bool bDone, MessageId nDone, MessageId nFailed, const CSrtJobStats& stats)
{
    CRunResult result;
    result.m_nMessage = bDone ? nDone : nFailed;
    result.m_stats = stats;
    return result;
}

CRunResult Message(MessageId nId)
{
    CRunResult result;
    result.m_nMessage = nId;
    return result;
}
}  // namespace

bool IsExistingFile(const std::filesystem::path& path)
{
    if (path.empty())
        return false;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return false;
    return !std::filesystem::is_directory(status);
}

int32_t ParseOffsetText(std::u16string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i]))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    {
        bNegative = text[i] == u'-';
        ++i;
    }
    // Kept just past the 32-bit range so that it saturates instead of wrapping.
    constexpr int64_t kCap = int64_t{INT32_MAX} + 1;
    int64_t nValue = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i)
    {
        nValue = nValue * 10 + (text[i] - u'0');
        if (nValue > kCap)
            nValue = kCap;
    }
    if (bNegative)
        return static_cast<int32_t>(-nValue);
    return static_cast<int32_t>(nValue > INT32_MAX ? INT32_MAX : nValue);
}

bool ComputeShift(uint32_t nSrc1, uint32_t nDst1, uint32_t nSrc2, uint32_t nDst2, double& dFactor, double& dOffset)
{
    if (nSrc1 == nSrc2 || nDst1 == nDst2)
        return false;
    const double dSrc1 = nSrc1;
    const double dDst1 = nDst1;
    dFactor = (static_cast<double>(nDst2) - dDst1) / (static_cast<double>(nSrc2) - dSrc1);
    dOffset = dDst1 - dSrc1 * dFactor;
    return true;
}

CRunResult RunCorrection(const CRunRequest& request)
{
    double dFactor = 1.0;
    double dOffset = 0.0;
    if (request.m_nShiftKind == ShiftKind::Detailed)
    {
        if (!ComputeShift(request.m_nSrc1, request.m_nDst1, request.m_nSrc2, request.m_nDst2, dFactor, dOffset))
            return Message(MessageId::TimeError);
    }
    else
    {
        dOffset = ParseOffsetText(TrimWhiteSpace(request.m_strOffset));
    }
    CSrtJobStats stats;
    const CSrtProcessor processor;
    const bool bDone = processor.CorrectSrt(PathFromU16(request.m_strInput), PathFromU16(request.m_strOutput), dFactor,
                                            dOffset, request.m_bReplace85, request.m_bFixQuotes, request.m_bFixLetterL,
                                            request.m_bRemoveDigitSpaces, 0, &stats);
    return Outcome(bDone, MessageId::CorrectDone, MessageId::CorrectFailed, stats);
}

CRunResult RunExtraction(const std::u16string& input, const std::u16string& output)
{
    CSrtJobStats stats;
    const CSrtProcessor processor;
    const bool bDone = processor.ExtractText(PathFromU16(input), PathFromU16(output), &stats);
    return Outcome(bDone, MessageId::ExtractDone, MessageId::ExtractFailed, stats);
}

CRunResult RunMerge(const std::u16string& input, const std::u16string& text, const std::u16string& output)
{
    CSrtJobStats stats;
    const CSrtProcessor processor;
    const bool bDone = processor.MergeText(PathFromU16(input), PathFromU16(text), PathFromU16(output), &stats);
    return Outcome(bDone, MessageId::MergeDone, MessageId::MergeFailed, stats);
}

bool CheckRun(const CRunRequest& request, CRunResult& stopped)
{
    const Mode nMode = request.m_nMode;
    stopped = Message(MessageId::None);
    if (request.m_strInput.empty())
        return false;
    if (nMode != Mode::Convert && request.m_strOutput.empty())
        return false;
    if (nMode == Mode::Merge && request.m_strText.empty())
        return false;
    if (!IsExistingFile(PathFromU16(request.m_strInput)))
    {
        stopped = Message(MessageId::SourceReadError);
        return false;
    }
    if (nMode == Mode::Merge && !IsExistingFile(PathFromU16(request.m_strText)))
    {
        stopped = Message(MessageId::TextReadError);
        return false;
    }
    return true;
}

CRunResult DispatchRun(const CRunRequest& request)
{
    CRunResult stopped;
    if (!CheckRun(request, stopped))
        return stopped;
    switch (request.m_nMode)
    {
    case Mode::Correct:
        return RunCorrection(request);
    case Mode::Convert:
        return RunConversion(request.m_strInput);
    case Mode::Extract:
        return RunExtraction(request.m_strInput, request.m_strOutput);
    case Mode::Merge:
        return RunMerge(request.m_strInput, request.m_strText, request.m_strOutput);
    default:
        return Message(MessageId::None);
    }
}

}  // namespace tavrel
