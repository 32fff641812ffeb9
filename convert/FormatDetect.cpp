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

bool IsSami(char16_t* pText, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        pText[i] = FoldAscii(pText[i]);
    const std::u16string_view text(pText, n);
    const size_t nSami = text.find(u"<sami");
    if (nSami == std::u16string_view::npos || nSami + 5 >= n)
        return false;
    if (text[nSami + 5] != u' ' && text[nSami + 5] != u'>')
        return false;
    return text.find(u"<sync ") != std::u16string_view::npos;
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
    if (IsAss(std::u16string_view(buffer.Data(), n)))
        return SubtitleFormat::Ass;
    if (IsSrt(buffer.Data(), n))
        return SubtitleFormat::Srt;
    if (IsSami(buffer.Data(), n))
        return SubtitleFormat::Sami;
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
