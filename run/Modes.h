#pragma once

// What each job is, in one place: the window, the command line and the
// output naming read these tables; adding a job means adding a row.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "run/Messages.h"
#include "srt/SrtProcessor.h"

namespace tavrel
{

enum class Mode : int32_t
{
    Correct = 0,
    Convert = 1,
    Extract = 2,
    Merge = 3,
};

// How the window proposes an output name beside the input.
enum class NamingRule : int32_t
{
    None,       // the job names its outputs itself (conversion)
    Fixed,      // "movie (fixed).srt"
    Extracted,  // "movie.txt", or "notes (extracted).txt" for a .txt input
    Merged,     // "movie (merged).srt"
};

// File dialog filters.
enum class FileFilter : int32_t
{
    Subtitle,
    Srt,
    Text,
};

// One job. Captions and labels are UTF-8.
struct CModeRow
{
    Mode nMode;
    std::string_view cliVerb;
    int32_t nPaths;  // paths on the command line; 0: one or more inputs
    int32_t nButtonId;
    const char* pszButton;
    const char* pszToolTip;
    const char* pszInputLabel;
    bool bTextRow;
    const char* pszOutputLabel;  // nullptr: unchanged
    bool bOutputRow;
    NamingRule nNaming;
    FileFilter nInputFilter;
    FileFilter nOutputFilter;
    bool bOcrOptions;   // the OCR and time-shift boxes are enabled
    MessageId nDone;    // after a success
    MessageId nFailed;  // after a failure (a conversion's format rows have their own)
};

// The window's control ids are numbers here (res/ checks them against its own).
inline constexpr std::array kModeTable = {
    CModeRow{Mode::Correct, "correct", 2, 1009, "SRT 교정", "SRT 자막 교정 / 시간 수정", "srt", false, "srt", true,
             NamingRule::Fixed, FileFilter::Srt, FileFilter::Srt, true, MessageId::CorrectDone,
             MessageId::CorrectFailed},
    CModeRow{Mode::Convert, "convert", 0, 1010, "자막 변환", "SAMI/SSA/ASS → SRT 및 SRT → SAMI 변환", "smi/ssa/srt",
             false, nullptr, false, NamingRule::None, FileFilter::Subtitle, FileFilter::Srt, false, MessageId::None,
             MessageId::FormatError},
    CModeRow{Mode::Extract, "extract", 2, 1011, "텍스트 추출", "SRT 자막에서 텍스트 추출", "srt", false, "TEXT", true,
             NamingRule::Extracted, FileFilter::Srt, FileFilter::Text, false, MessageId::ExtractDone,
             MessageId::ExtractFailed},
    CModeRow{Mode::Merge, "merge", 3, 1012, "텍스트 합치기", "SRT 자막과 텍스트 파일 합치기", "srt", true, "srt", true,
             NamingRule::Merged, FileFilter::Srt, FileFilter::Srt, false, MessageId::MergeDone, MessageId::MergeFailed},
};

std::span<const CModeRow> ModeRows();

// nullptr for a mode without a row.
const CModeRow* FindMode(Mode nMode);
const CModeRow* FindModeByVerb(std::string_view verb);

// One OCR repair of the correction.
struct COcrRow
{
    OcrRepair nRepair;
    int32_t nControlId;
    std::string_view cliFlag;
    const char* pszCheckBox;
    const char* pszToolTip;
};

inline constexpr std::array kOcrTable = {
    COcrRow{OcrRepair::Replace85, 1013, "--fix-0085", "0x85를 공백으로", "0x0085 문자를 공백으로 대체"},
    COcrRow{OcrRepair::FixQuotes, 1014, "--fix-quotes", "\\', \\'(x2), \" 수정", "OCR 오류 수정: 잘못된 따옴표 교정"},
    COcrRow{OcrRepair::FixLetterL, 1015, "--fix-l", "잘못된 l(L)을 I(i)로",
            "OCR 오류 수정: I(i)를 l(L)로 표기한 자막 교정)"},
    COcrRow{OcrRepair::RemoveDigitSpaces, 1016, "--fix-digits", "숫자 사이 공백 제거",
            "OCR 오류 수정: 숫자 사이에 들어간 불필요한 공백 제거"},
};

std::span<const COcrRow> OcrRows();

const char* FileFilterText(FileFilter nFilter);

}  // namespace tavrel
