#pragma once

// The job layer the window and the command line share: a typed request in,
// an outcome with its message and, after a failure, the reason out.

#include <cstdint>
#include <filesystem>
#include <string>

#include "run/Messages.h"
#include "run/Modes.h"
#include "srt/SrtProcessor.h"
#include "text/CodePageName.h"
#include "text/Failure.h"

namespace tavrel
{

enum class ShiftKind : int32_t
{
    Basic = 0,     // a constant offset
    Detailed = 1,  // the two-point mapping s1 -> t1, s2 -> t2
};

struct CShift
{
    ShiftKind m_nKind = ShiftKind::Basic;
    int32_t m_nOffset = 0;  // ms
    uint32_t m_nSrc1 = 0;
    uint32_t m_nDst1 = 0;
    uint32_t m_nSrc2 = 0;
    uint32_t m_nDst2 = 0;

    // Factor and offset; false (a time error) when s1 = s2 or t1 = t2.
    bool Resolve(CTimeMap& timeMap) const;
};

struct CJobRequest
{
    Mode m_nMode = Mode::Correct;
    std::filesystem::path m_input;
    std::filesystem::path m_text;    // merge: the plain text
    std::filesystem::path m_output;  // unused by the conversion, which names its own
    CShift m_shift;
    COcrOptions m_ocr;
    CodePage m_codePage;  // for input without a byte-order mark, and the legacy .smi output
};

struct CJobOutcome
{
    MessageId m_nMessage = MessageId::None;  // MessageId::None: stopped without a message
    int32_t m_nCount = 0;                    // files written by SAMI to SRT
    CFailure m_failure;
    CSrtJobStats m_stats;

    bool IsSuccess() const { return IsSuccessMessage(m_nMessage); }
    std::u16string Text() const { return MessageText(m_nMessage, m_nCount); }
};

// True when the path names an existing object that is not a directory.
bool IsExistingFile(const std::filesystem::path& path);

// The Run button's checks: false when no job may run, with the message to
// show (MessageId::None: stop without one) in `stopped`.
bool CheckRun(const CJobRequest& request, CJobOutcome& stopped);

// Runs the request's job; nothing escapes: running out of memory or a system
// error is the mode's failure, with its reason.
CJobOutcome RunJob(const CJobRequest& request);

// CheckRun, then RunJob.
CJobOutcome CheckAndRunJob(const CJobRequest& request);

}  // namespace tavrel
