#include "convert/FormatDetect.h"

#include <new>
#include <string_view>
#include <system_error>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/Unicode.h"

namespace tavrel
{

// The tests read the text as if a CR stood before its first and after its
// last character, with every blank at the start or end of a line turned into
// a CR; the text is changed in place rather than copied.
namespace
{
bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

void BlanksToLineEnds(char16_t* pText, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (IsBlank(pText[i]) && (i == 0 || pText[i - 1] == u'\r'))
            pText[i] = u'\r';
    for (size_t i = n; i-- > 0;)
        if (IsBlank(pText[i]) && (i + 1 == n || pText[i + 1] == u'\r'))
            pText[i] = u'\r';
}

// The word on a line of its own.
bool HasLine(std::u16string_view text, std::u16string_view word)
{
    for (size_t i = text.find(word); i != std::u16string_view::npos; i = text.find(word, i + 1))
    {
        const size_t nEnd = i + word.size();
        if ((i == 0 || text[i - 1] == u'\r') && (nEnd == text.size() || text[nEnd] == u'\r'))
            return true;
    }
    return false;
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
bool IsSrt(const char16_t* pText, size_t n)
{
    if (n < 31)
        return false;
    const CSrtProcessor srt;
    for (size_t i = 0; i + 31 <= n; ++i)
        if ((i == 0 || pText[i - 1] == u'\r') && IsAsciiDigit(pText[i]) && srt.IsTimeLine(pText + i))
            return true;
    return false;
}

// The first place of word in text, ASCII letters in any case; the text is
// left as it is for the tolerant time line test that may follow.
size_t FindNoCase(std::u16string_view text, std::u16string_view word)
{
    for (size_t i = text.find(u'<'); i != std::u16string_view::npos; i = text.find(u'<', i + 1))
        if (StartsWithNoCase(text.substr(i), word))
            return i;
    return std::u16string_view::npos;
}

bool IsSami(std::u16string_view text)
{
    const size_t nSami = FindNoCase(text, u"<sami");
    if (nSami == std::u16string_view::npos || nSami + 5 >= text.size())
        return false;
    if (text[nSami + 5] != u' ' && text[nSami + 5] != u'>')
        return false;
    return FindNoCase(text, u"<sync ") != std::u16string_view::npos;
}

// A line that is a time line in a tolerant form, with at least one more
// character after the CR that ends it, as the strict test asks.
bool IsTolerantSrt(std::u16string_view text)
{
    const CSrtProcessor srt;
    size_t nLine = 0;
    for (size_t nCr; (nCr = text.find(u'\r', nLine)) != std::u16string_view::npos && nCr + 1 < text.size();
         nLine = nCr + 1)
        if (srt.IsTolerantTimeLine(text.substr(nLine, nCr - nLine)))
            return true;
    return false;
}

SubtitleFormat Detect(const std::filesystem::path& path)
{
    CTextBuffer buffer;
    if (!buffer.Load(path, 0))
        return SubtitleFormat::Unrecognised;
    if (buffer.Length() <= 0)
        return SubtitleFormat::Unrecognised;
    const size_t n = static_cast<size_t>(buffer.Length());
    BlanksToLineEnds(buffer.Data(), n);
    const std::u16string_view text = buffer.View();
    if (IsAss(text))
        return SubtitleFormat::Ass;
    if (IsSrt(buffer.Data(), n))
        return SubtitleFormat::Srt;
    if (IsSami(text))
        return SubtitleFormat::Sami;
    if (IsTolerantSrt(text))
        return SubtitleFormat::Srt;
    if (IsAssWithoutStyles(text))
        return SubtitleFormat::Ass;
    return SubtitleFormat::Unrecognised;
}
}  // namespace

SubtitleFormat DetectFormat(const std::filesystem::path& path)
{
    try
    {
        return Detect(path);
    }
    catch (const std::bad_alloc&)
    {
        return SubtitleFormat::Unrecognised;
    }
    catch (const std::system_error&)
    {
        return SubtitleFormat::Unrecognised;
    }
}

}  // namespace tavrel
