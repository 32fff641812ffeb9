#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavrel
{

class CTextBuffer;

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

    // The SRT cue layout every SRT writer uses: k, CR, time line, CR, text, CR, CR.
    static void AppendCue(std::u16string& out, int64_t k, std::u16string_view timeLine, std::u16string_view text);
    // The same in two halves, for writers that make the text in between.
    static void AppendCueHead(std::u16string& out, int64_t k, std::u16string_view timeLine);
    static void AppendCueEnd(std::u16string& out);

    // OCR repairs of one cue text (lines separated by single CRs).
    void FixOcrLine(std::u16string& text, int bReplace85, int bFixQuotes, int bFixLetterL,
                    int bRemoveDigitSpaces) const;

    // Jobs: true when the output was written.
    bool CorrectSrt(const std::filesystem::path& input, const std::filesystem::path& output, double dFactor,
                    double dOffset, int bReplace85, int bFixQuotes, int bFixLetterL, int bRemoveDigitSpaces,
                    int nCodePage, CSrtJobStats* pStats = nullptr) const;
    bool ExtractText(const std::filesystem::path& input, const std::filesystem::path& output,
                     CSrtJobStats* pStats = nullptr) const;
    bool MergeText(const std::filesystem::path& srtPath, const std::filesystem::path& textPath,
                   const std::filesystem::path& output, CSrtJobStats* pStats = nullptr) const;
    bool WriteSami(const std::filesystem::path& input, const std::filesystem::path& samiPath,
                   const std::filesystem::path& utf8SamiPath, CSrtJobStats* pStats = nullptr) const;
};

// The merge job's text clean-up: every line trimmed and ended by one CR.
std::u16string CleanText(std::u16string_view text);

}  // namespace tavrel
