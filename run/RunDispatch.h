#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "run/Messages.h"
#include "run/OutputNaming.h"
#include "srt/SrtProcessor.h"

namespace tavrel
{

enum class ShiftKind : int32_t
{
    Basic = 0,
    Detailed = 1,
};

// What Run reads from the window, as it stands in the fields.
struct CRunRequest
{
    Mode m_nMode = Mode::Correct;
    std::u16string m_strInput;   // field 1001, untrimmed
    std::u16string m_strText;    // field 1004
    std::u16string m_strOutput;  // field 1007
    ShiftKind m_nShiftKind = ShiftKind::Basic;
    std::u16string m_strOffset = u"0";  // field 1020
    uint32_t m_nSrc1 = 0;
    uint32_t m_nDst1 = 0;
    uint32_t m_nSrc2 = 0;
    uint32_t m_nDst2 = 0;
    int32_t m_bReplace85 = 0;
    int32_t m_bFixQuotes = 0;
    int32_t m_bFixLetterL = 0;
    int32_t m_bRemoveDigitSpaces = 0;
};

struct CRunResult
{
    MessageId m_nMessage = MessageId::None;  // MessageId::None: stopped without a message
    int32_t m_nCount = 0;                    // files written by SAMI to SRT
    CSrtJobStats m_stats;

    bool IsSuccess() const { return IsSuccessMessage(m_nMessage); }
    std::u16string Text() const { return MessageText(m_nMessage, m_nCount); }
};

// True when the path names an existing object that is not a directory.
bool IsExistingFile(const std::filesystem::path& path);

// The Run button's checks: false when no job may run, with the message to
// show (MessageId::None: stop without one) in `stopped`.
bool CheckRun(const CRunRequest& request, CRunResult& stopped);

// The Run button: the field checks, then the run handler of the mode.
CRunResult DispatchRun(const CRunRequest& request);

// The run handlers.
CRunResult RunCorrection(const CRunRequest& request);
CRunResult RunConversion(const std::u16string& input);
CRunResult RunExtraction(const std::u16string& input, const std::u16string& output);
CRunResult RunMerge(const std::u16string& input, const std::u16string& text, const std::u16string& output);

// The millisecond field's text read as _wtoi does, saturating at the signed
// 32-bit bounds.
int32_t ParseOffsetText(std::u16string_view text);
// Factor and offset of the two-point mapping; false when s1 = s2 or t1 = t2.
bool ComputeShift(uint32_t nSrc1, uint32_t nDst1, uint32_t nSrc2, uint32_t nDst2, double& dFactor, double& dOffset);

}  // namespace tavrel
