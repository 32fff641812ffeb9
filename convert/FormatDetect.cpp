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

bool HasLine(std::u16string_view text, std::u16string_view word)
{
    return AnyLine(text, [&](std::u16string_view line, size_t) { return line == word; });
}

bool IsAss(std::u16string_view text)
{
    return HasLine(text, u"[Script Info]") && (HasLine(text, u"[V4 Styles]") || HasLine(text, u"[V4+ Styles]")) &&
           HasLine(text, u"[Events]");
}

// A script whose styles heading is missing: the reader needs only the events.
bool IsAssWithoutStyles(std::u16string_view text)
{
    return HasLine(text, u"[Script Info]") && HasLine(text, u"[Events]");
}

// A time line on a line of its own, with at least one more character after
// the CR that ends it.
bool IsSrt(std::u16string_view text)
{
    const CSrtProcessor srt;
    return AnyLine(text, [&](std::u16string_view line, size_t nAt) {
        if (line.size() != CSrtProcessor::kTimeLineLength || nAt + CSrtProcessor::kTimeLineLength + 2 > text.size())
            return false;
        char16_t timeLine[CSrtProcessor::kTimeLineLength + 2] = {};
        line.copy(timeLine, line.size());
        timeLine[CSrtProcessor::kTimeLineLength] = kCr;
        return srt.IsTimeLine(timeLine);
    });
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
    if (IsAss(text))
        return SubtitleFormat::Ass;
    if (IsSrt(text))
        return SubtitleFormat::Srt;
    if (IsSami(text))
        return SubtitleFormat::Sami;
    if (IsTolerantSrt(text))
        return SubtitleFormat::Srt;
    if (IsAssWithoutStyles(text))
        return SubtitleFormat::Ass;
    return SubtitleFormat::Unrecognised;
}

}  // namespace tavrel
