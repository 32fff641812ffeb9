#include "run/Job.h"

#include <exception>
#include <memory>
#include <new>
#include <system_error>

#include "convert/AssConverter.h"
#include "convert/FormatDetect.h"
#include "convert/SamiReader.h"
#include "run/OutputNaming.h"
#include "text/TextBuffer.h"
#include "text/TextFileStream.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
CJobOutcome Outcome(MessageId nMessage, CFailure failure = {})
{
    CJobOutcome outcome;
    outcome.m_nMessage = nMessage;
    outcome.m_failure = std::move(failure);
    return outcome;
}

// The job's own failure first, then the sink's: a failed write is only
// worth telling when the job had something to write.
CFailure Finish(CFailure jobFailure, CTextSink& sink)
{
    if (jobFailure.IsFailure())
        return jobFailure;
    if (sink.Commit())
        return {};
    CFailure failure = sink.Failure();
    if (!failure.IsFailure())
        failure.m_nKind = FailureKind::OutputUnwritable;
    return failure;
}

CJobOutcome Decide(CFailure failure, MessageId nDone, MessageId nFailed)
{
    return Outcome(failure.IsFailure() ? nFailed : nDone, std::move(failure));
}

bool Load(CTextBuffer& buffer, const std::filesystem::path& path, const CJobRequest& request, CFailure& failure)
{
    return buffer.Load(path, request.m_codePage, &failure) != 0;
}

// Loads the input, runs an SRT job from it into the output and keeps the job's counts.
template <class TJob>
CJobOutcome RunOnInput(const CJobRequest& request, const CModeRow& row, TJob job)
{
    CFailure failure;
    CTextBuffer source;
    CSrtJobStats stats;
    if (Load(source, request.m_input, request, failure))
    {
        stats.m_nTolerantTimeLines = CSrtProcessor().NormaliseTimeLines(source);
        CTextFileStream out(request.m_output);
        failure = Finish(job(source, out, stats), out);
    }
    CJobOutcome outcome = Decide(std::move(failure), row.nDone, row.nFailed);
    outcome.m_stats = stats;
    return outcome;
}

CJobOutcome RunCorrection(const CJobRequest& request, const CModeRow& row)
{
    CTimeMap timeMap;
    if (!request.m_shift.Resolve(timeMap))
        return Outcome(MessageId::TimeError, MakeFailure(FailureKind::TimeError));
    return RunOnInput(request, row, [&](const CTextBuffer& source, CTextSink& out, CSrtJobStats& stats) {
        return CSrtProcessor().CorrectSrt(source, timeMap, request.m_ocr, out, &stats);
    });
}

CJobOutcome RunExtraction(const CJobRequest& request, const CModeRow& row)
{
    return RunOnInput(request, row, [](const CTextBuffer& source, CTextSink& out, CSrtJobStats& stats) {
        return CSrtProcessor().ExtractText(source, out, &stats);
    });
}

// The SRT file is the input; the plain text is loaded after it.
CJobOutcome RunMerge(const CJobRequest& request, const CModeRow& row)
{
    CTextBuffer plain;
    return RunOnInput(request, row, [&](const CTextBuffer& srt, CTextSink& out, CSrtJobStats& stats) {
        CFailure failure;
        if (!Load(plain, request.m_text, request, failure))
            return failure;
        return CSrtProcessor().MergeText(srt, plain, out, &stats);
    });
}

// SRT -> SAMI: both files are written even when the text has no cue.
CFailure ConvertSrt(const CJobRequest& request, CTextBuffer& source, int32_t&, CSrtJobStats& stats)
{
    stats.m_nTolerantTimeLines = CSrtProcessor().NormaliseTimeLines(source);
    const std::u16string input = PathToU16(request.m_input);
    CTextFileStream legacy(PathFromU16(SrtToSamiOutput(input)), FileEncoding::LegacyCode, request.m_codePage);
    if (!legacy.IsOpen())
        return legacy.Failure();
    CTextFileStream utf8(PathFromU16(SrtToUtf8SamiOutput(input)));
    const CFailure jobFailure = CSrtProcessor().WriteSami(source, input, legacy, utf8, &stats);
    const CFailure utf8Failure = Finish({}, utf8);
    const CFailure legacyFailure = Finish({}, legacy);
    if (jobFailure.IsFailure())
        return jobFailure;
    return utf8Failure.IsFailure() ? utf8Failure : legacyFailure;
}

CFailure ConvertAss(const CJobRequest& request, CTextBuffer& source, int32_t&, CSrtJobStats& stats)
{
    CTextFileStream out(PathFromU16(AssToSrtOutput(PathToU16(request.m_input))));
    return Finish(CAssConverter().ConvertAssToSrt(source, out, &stats), out);
}

CFailure ConvertSami(const CJobRequest& request, CTextBuffer& source, int32_t& nCount, CSrtJobStats&)
{
    const std::u16string input = PathToU16(request.m_input);
    return CSamiReader().ConvertSamiToSrt(
        source,
        [&](const std::u16string& className) {
            return std::make_unique<CTextFileStream>(PathFromU16(SamiClassOutput(input, className)));
        },
        &nCount);
}

// What the conversion does with each format it recognises.
struct CFormatRow
{
    SubtitleFormat nFormat;
    CFailure (*pConvert)(const CJobRequest& request, CTextBuffer& source, int32_t& nCount, CSrtJobStats& stats);
    MessageId nDone;
    MessageId nFailed;
};

constexpr CFormatRow kFormats[] = {
    {SubtitleFormat::Srt, ConvertSrt, MessageId::SrtToSamiDone, MessageId::SrtToSamiFailed},
    {SubtitleFormat::Ass, ConvertAss, MessageId::AssToSrtDone, MessageId::AssToSrtFailed},
    {SubtitleFormat::Sami, ConvertSami, MessageId::SamiToSrtDone, MessageId::SamiToSrtFailed},
};

CJobOutcome RunConversion(const CJobRequest& request, const CModeRow& row)
{
    CFailure failure;
    CTextBuffer source;
    if (!Load(source, request.m_input, request, failure))
        return Outcome(row.nFailed, std::move(failure));
    const SubtitleFormat nFormat = DetectFormat(source);
    for (const CFormatRow& format : kFormats)
    {
        if (format.nFormat != nFormat)
            continue;
        int32_t nCount = 0;
        CSrtJobStats stats;
        CJobOutcome outcome = Decide(format.pConvert(request, source, nCount, stats), format.nDone, format.nFailed);
        outcome.m_nCount = outcome.IsSuccess() ? nCount : 0;
        outcome.m_stats = stats;
        return outcome;
    }
    return Outcome(row.nFailed, MakeFailure(FailureKind::FormatUnrecognised));
}

CJobOutcome RunMode(const CJobRequest& request, const CModeRow& row)
{
    switch (row.nMode)
    {
    case Mode::Correct:
        return RunCorrection(request, row);
    case Mode::Convert:
        return RunConversion(request, row);
    case Mode::Extract:
        return RunExtraction(request, row);
    case Mode::Merge:
        return RunMerge(request, row);
    }
    return Outcome(MessageId::None);
}
}  // namespace

bool CShift::Resolve(CTimeMap& timeMap) const
{
    timeMap = CTimeMap{};
    if (m_nKind == ShiftKind::Basic)
    {
        timeMap.m_dOffset = m_nOffset;
        return true;
    }
    if (m_nSrc1 == m_nSrc2 || m_nDst1 == m_nDst2)
        return false;
    const double dSrc1 = m_nSrc1;
    const double dDst1 = m_nDst1;
    timeMap.m_dFactor = (static_cast<double>(m_nDst2) - dDst1) / (static_cast<double>(m_nSrc2) - dSrc1);
    timeMap.m_dOffset = dDst1 - dSrc1 * timeMap.m_dFactor;
    return true;
}

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

bool CheckRun(const CJobRequest& request, CJobOutcome& stopped)
{
    const CModeRow* pRow = FindMode(request.m_nMode);
    stopped = Outcome(MessageId::None);
    if (pRow == nullptr || request.m_input.empty())
        return false;
    if (pRow->bOutputRow && request.m_output.empty())
        return false;
    if (pRow->bTextRow && request.m_text.empty())
        return false;
    auto Missing = [](const std::filesystem::path& path) {
        std::error_code ec;
        const bool bFolder = std::filesystem::is_directory(path, ec);
        return MakeFileFailure(FailureKind::InputUnreadable, path, bFolder ? "a folder" : "missing");
    };
    if (!IsExistingFile(request.m_input))
    {
        stopped = Outcome(MessageId::SourceReadError, Missing(request.m_input));
        return false;
    }
    if (pRow->bTextRow && !IsExistingFile(request.m_text))
    {
        stopped = Outcome(MessageId::TextReadError, Missing(request.m_text));
        return false;
    }
    return true;
}

// The one exception boundary of the jobs.
CJobOutcome RunJob(const CJobRequest& request)
{
    const CModeRow* pRow = FindMode(request.m_nMode);
    if (pRow == nullptr)
        return Outcome(MessageId::None);
    try
    {
        return RunMode(request, *pRow);
    }
    catch (const std::bad_alloc&)
    {
        return Outcome(pRow->nFailed, MakeFailure(FailureKind::OutOfMemory));
    }
    catch (const std::exception& e)
    {
        // A path the system cannot take, or another system error.
        return Outcome(pRow->nFailed, MakeFailure(FailureKind::SystemError, e.what()));
    }
}

CJobOutcome CheckAndRunJob(const CJobRequest& request)
{
    CJobOutcome stopped;
    if (!CheckRun(request, stopped))
        return stopped;
    return RunJob(request);
}

}  // namespace tavrel
