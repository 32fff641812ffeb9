#include "convert/FormatDetect.h"

#include <string_view>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/Unicode.h"

namespace tavrel
{

// The tests read each line without the blanks at its ends, so a heading or
// a time line may be indented or followed by blanks; the text itself is
// never copied or changed.
namespace
{
bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// Calls onLine(line, nAt) for every line trimmed of blanks, with the index of
// its first unit, until onLine returns true; true when it did.
template <class TOnLine>
bool AnyLine(std::u16string_view text, TOnLine onLine)
{
    for (size_t nAt = 0; nAt <= text.size();)
    {
        size_t nEnd = text.find(kCr, nAt);
        if (nEnd == std::u16string_view::npos)
            nEnd = text.size();
        const std::u16string_view line = text.substr(nAt, nEnd - nAt);
        size_t nBegin = 0;
        while (nBegin < line.size() && IsBlank(line[nBegin]))
            ++nBegin;
        if (onLine(TrimIf(line, IsBlank), nAt + nBegin))
            return true;
        nAt = nEnd + 1;
    }
    return false;
}

// The end of the line that holds nAt: the index of its CR, or the length.
size_t LineEnd(std::u16string_view text, size_t nAt)
{
    const size_t nEnd = text.find(kCr, nAt);
    return nEnd == std::u16string_view::npos ? text.size() : nEnd;
}

// Only blanks between the start of its line and nAt.
bool StartsLine(std::u16string_view text, size_t nAt)
{
    while (nAt > 0 && IsBlank(text[nAt - 1]))
        --nAt;
    return nAt == 0 || text[nAt - 1] == kCr;
}

// The ASS headings found on lines of their own.
struct CAssHeadings
{
    bool m_bScriptInfo = false;
    bool m_bStyles = false;
    bool m_bEvents = false;

    bool IsAss() const { return m_bScriptInfo && m_bStyles && m_bEvents; }
    // A script whose styles heading is missing: the reader needs only the events.
    bool IsAssWithoutStyles() const { return m_bScriptInfo && m_bEvents; }
};

// Every heading starts with '[', so the walk goes from one '[' that starts
// a line to the next and looks at nothing else.
CAssHeadings FindAssHeadings(std::u16string_view text)
{
    CAssHeadings headings;
    for (size_t nAt = FindRareUnit(text, u'['); nAt != std::u16string_view::npos && !headings.IsAss();
         nAt = FindRareUnit(text, u'[', nAt))
    {
        if (!StartsLine(text, nAt))
        {
            ++nAt;
            continue;
        }
        const size_t nEnd = LineEnd(text, nAt);
        const std::u16string_view line = TrimIf(text.substr(nAt, nEnd - nAt), IsBlank);
        headings.m_bScriptInfo = headings.m_bScriptInfo || line == u"[Script Info]";
        headings.m_bStyles = headings.m_bStyles || line == u"[V4 Styles]" || line == u"[V4+ Styles]";
        headings.m_bEvents = headings.m_bEvents || line == u"[Events]";
        nAt = nEnd;
    }
    return headings;
}

// A time line on a line of its own, with at least one more character after
// the CR that ends it. Its arrow sits at a fixed place, so the walk goes from
// one '-' to the next.
bool IsSrt(std::u16string_view text)
{
    constexpr size_t kLength = CSrtProcessor::kTimeLineLength;
    constexpr size_t kArrow = 13;  // the first '-' of " --> "
    const CSrtProcessor srt;
    for (size_t nDash = FindRareUnit(text, u'-', kArrow); nDash != std::u16string_view::npos;
         nDash = FindRareUnit(text, u'-', nDash + 1))
    {
        const size_t nAt = nDash - kArrow;
        if (nAt + kLength + 2 > text.size())
            return false;
        if (text[nDash + 1] != u'-' || text[nDash + 2] != u'>')
            continue;
        char16_t timeLine[kLength + 2] = {};
        text.copy(timeLine, kLength, nAt);
        timeLine[kLength] = kCr;
        if (!srt.IsTimeLine(timeLine) || !StartsLine(text, nAt))
            continue;
        const std::u16string_view after = text.substr(nAt + kLength, LineEnd(text, nAt + kLength) - nAt - kLength);
        if (TrimIf(after, IsBlank).empty())
            return true;
    }
    return false;
}

// The first "<sami" must be followed by a blank or '>' on its line; a
// "<sync " must follow somewhere.
bool IsSami(std::u16string_view text)
{
    bool bSamiSeen = false;
    bool bSami = false;
    bool bSync = false;
    AnyLine(text, [&](std::u16string_view line, size_t) {
        for (size_t i = line.find(u'<'); i != std::u16string_view::npos && !(bSamiSeen && bSync);
             i = line.find(u'<', i + 1))
        {
            const std::u16string_view rest = line.substr(i);
            if (!bSamiSeen && StartsWithNoCase(rest, u"<sami"))
            {
                bSamiSeen = true;
                bSami = rest.size() > 5 && (rest[5] == u' ' || rest[5] == u'>');
            }
            bSync = bSync || StartsWithNoCase(rest, u"<sync ");
        }
        return bSamiSeen && bSync;
    });
    return bSami && bSync;
}

// A line that is a time line in a tolerant form, with at least one more
// character after the CR that ends it, as the strict test asks.
bool IsTolerantSrt(std::u16string_view text)
{
    const CSrtProcessor srt;
    return AnyLine(text, [&](std::u16string_view line, size_t nAt) {
        const size_t nCr = text.find(kCr, nAt);
        return nCr != std::u16string_view::npos && nCr + 1 < text.size() && srt.IsTolerantTimeLine(line);
    });
}
}  // namespace

SubtitleFormat DetectFormat(const CTextBuffer& buffer)
{
    const std::u16string_view text = buffer.View();
    if (text.empty())
        return SubtitleFormat::Unrecognised;
    const CAssHeadings headings = FindAssHeadings(text);
    if (headings.IsAss())
        return SubtitleFormat::Ass;
    if (IsSrt(text))
        return SubtitleFormat::Srt;
    if (IsSami(text))
        return SubtitleFormat::Sami;
    if (IsTolerantSrt(text))
        return SubtitleFormat::Srt;
    if (headings.IsAssWithoutStyles())
        return SubtitleFormat::Ass;
    return SubtitleFormat::Unrecognised;
}

}  // namespace tavrel
