#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/Failure.h"

namespace tavrel
{

class CTextBuffer;
class CTextSink;

// The OCR repairs a correction can make, as bits of COcrOptions.
enum class OcrRepair : uint32_t
{
    Replace85 = 1,          // U+0085 becomes "..."
    FixQuotes = 2,          // '' becomes ", no space after an opening quote
    FixLetterL = 4,         // I read as l
    RemoveDigitSpaces = 8,  // spaces inside numbers
};

struct COcrOptions
{
    uint32_t m_nRepairs = 0;

    bool Has(OcrRepair nRepair) const { return (m_nRepairs & static_cast<uint32_t>(nRepair)) != 0; }
    COcrOptions& Set(OcrRepair nRepair, bool bOn = true)
    {
        const uint32_t nBit = static_cast<uint32_t>(nRepair);
        m_nRepairs = bOn ? (m_nRepairs | nBit) : (m_nRepairs & ~nBit);
        return *this;
    }
};

// A correction's new times: t * factor + offset, in milliseconds.
struct CTimeMap
{
    double m_dFactor = 1.0;
    double m_dOffset = 0.0;
};

// One cue found by the cue scan: the 29-unit time line at m_nTimeLine and
// the cue text [m_nTextBegin, m_nTextEnd). m_nResume is where the search for
// the next time line starts, -1 when the scan ends after this cue.
struct CSrtCue
{
    int32_t m_nTimeLine = -1;
    int32_t m_nTextBegin = 0;
    int32_t m_nTextEnd = 0;
    int32_t m_nResume = -1;
};

// Counts a job can report besides its result (for the command line).
struct CSrtJobStats
{
    int64_t m_nCuesWritten = 0;
    int64_t m_nCuesWithoutParagraph = 0;  // merge: time lines left over
    int64_t m_nParagraphsLeft = 0;        // merge: paragraphs left over
    int64_t m_nTolerantTimeLines = 0;     // time lines read in a tolerant form
    int64_t m_nDialoguesLeftOut = 0;      // ASS: Dialogue lines whose times cannot be read
};

// The SRT scanners and the SRT jobs. Holds no data.
class CSrtProcessor
{
public:
    static constexpr int32_t kTimeLineLength = 29;

    CSrtProcessor() = default;
    virtual ~CSrtProcessor() = default;

    // Scanners. p must point into a NUL-terminated text.
    bool IsTimeLine(const char16_t* p) const;
    int32_t FindTimeLine(const char16_t* pText, int32_t nLength, int32_t nStart) const;
    int32_t FindBlankLine(const char16_t* pText, int32_t nLength, int32_t nStart) const;
    bool ParseTimeLine(const char16_t* p, int32_t& nStart, int32_t& nEnd) const;
    // hh:mm:ss,mmm, the hours in as many digits as they need (at least two).
    static void AppendTime(std::u16string& out, uint64_t nTime);
    // Writes 29 units and a NUL; pBuffer holds at least 30 units. Times below
    // zero are written as zero, from 100 hours on as 99:59:59,999.
    void FormatTimeLine(char16_t* pBuffer, int32_t nStart, int32_t nEnd) const;

    // A time line as real files write it: [H:]M:S[F] --> [H:]M:S[F] with H of 1-3 digits, M 1-2, S 1-3 and F a
    // full stop or comma and 1-3 digits, each time with H or F; blanks around the times and the arrow, and
    // "X1:n X2:n Y1:n Y2:n" after a blank at the end. line holds no CR.
    bool IsTolerantTimeLine(std::u16string_view line) const;
    // Rewrites every line that ends in a CR, holds no time line of the strict form and is a tolerant time line
    // to the strict form; every SRT reader runs it over the loaded text before the cue scan. Returns how many
    // lines it rewrote.
    int64_t NormaliseTimeLines(CTextBuffer& buffer) const;

    // The cue scan every SRT reader uses: FirstCue, then NextCue while true.
    bool FirstCue(const char16_t* pText, int32_t nLength, CSrtCue& cue) const;
    bool NextCue(const char16_t* pText, int32_t nLength, CSrtCue& cue) const;
    // The times of a cue the scan found: ParseTimeLine without testing the time line again.
    void CueTimes(const char16_t* pText, const CSrtCue& cue, int32_t& nStart, int32_t& nEnd) const;

    // The SRT cue layout every SRT writer uses: k, CR, time line, CR, text, CR, CR.
    static void AppendCue(std::u16string& out, int64_t k, std::u16string_view timeLine, std::u16string_view text);
    // The same in two halves, for writers that make the text in between.
    static void AppendCueHead(std::u16string& out, int64_t k, std::u16string_view timeLine);
    static void AppendCueEnd(std::u16string& out);

    // OCR repairs of one cue text (lines separated by single CRs).
    void FixOcrLine(std::u16string& text, COcrOptions options) const;
    // The text as FixOcrLine leaves it: a view of text itself when that would only drop its trailing CRs,
    // otherwise of scratch holding the repaired copy.
    std::u16string_view FixedOcrText(std::u16string_view text, COcrOptions options, std::u16string& scratch) const;

    // Jobs on loaded text. They stream their output into the sinks while they
    // build it and never commit them; a failure says why the job found
    // nothing to write (the sinks keep their own write failures).
    CFailure CorrectSrt(const CTextBuffer& text, const CTimeMap& timeMap, COcrOptions options, CTextSink& out,
                        CSrtJobStats* pStats = nullptr) const;
    CFailure ExtractText(const CTextBuffer& text, CTextSink& out, CSrtJobStats* pStats = nullptr) const;
    CFailure MergeText(const CTextBuffer& srtText, const CTextBuffer& plainText, CTextSink& out,
                       CSrtJobStats* pStats = nullptr) const;
    // The SAMI document of an SRT text, once in the legacy code page and once
    // in UTF-8; the title is written as it is given.
    CFailure WriteSami(const CTextBuffer& srtText, std::u16string_view title, CTextSink& legacyOut, CTextSink& utf8Out,
                       CSrtJobStats* pStats = nullptr) const;
};

// The merge job's text clean-up: every line trimmed and ended by one CR.
std::u16string CleanText(std::u16string_view text);

}  // namespace tavrel
