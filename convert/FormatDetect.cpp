#include "convert/FormatDetect.h"

#include <new>
#include <string>
#include <string_view>
#include <system_error>

#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"

namespace
{
bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// CR, the text, CR; blanks at the start and end of every line become CRs,
// so headings count with blanks around them and on the first or last line.
std::u16string MakeScratch(std::u16string_view text)
{
    std::u16string scratch;
    scratch.reserve(text.size() + 2);
    scratch.push_back(u'\r');
    scratch.append(text);
    scratch.push_back(u'\r');
    for (size_t i = 1; i < scratch.size(); ++i)
        if (scratch[i - 1] == u'\r' && IsBlank(scratch[i]))
            scratch[i] = u'\r';
    for (size_t i = scratch.size() - 1; i-- > 0;)
        if (IsBlank(scratch[i]) && scratch[i + 1] == u'\r')
            scratch[i] = u'\r';
    return scratch;
}

bool Contains(std::u16string_view text, std::u16string_view what)
{
    return text.find(what) != std::u16string_view::npos;
}

bool IsAss(std::u16string_view scratch)
{
    return Contains(scratch, u"\r[Script Info]\r") &&
           (Contains(scratch, u"\r[V4 Styles]\r") || Contains(scratch, u"\r[V4+ Styles]\r")) &&
           Contains(scratch, u"\r[Events]\r");
}

// A time line on a line of its own, with at least one more character after
// the CR that ends it.
bool IsSrt(const std::u16string& scratch, size_t n)
{
    if (n < 31)
        return false;
    const CSrtProcessor srt;
    const char16_t* p = scratch.c_str();
    for (size_t i = 0; i <= n - 31; ++i)
        if (p[i] == u'\r' && srt.IsTimeLine(p + i + 1))
            return true;
    return false;
}

bool IsSami(std::u16string& scratch)
{
    for (char16_t& c : scratch)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    const size_t nSami = scratch.find(u"<sami");
    if (nSami == std::u16string::npos)
        return false;
    const char16_t next = nSami + 5 < scratch.size() ? scratch[nSami + 5] : u'\0';
    if (next != u' ' && next != u'>')
        return false;
    return Contains(scratch, u"<sync ");
}

SubtitleFormat Detect(const std::filesystem::path& path)
{
    std::u16string scratch;
    {
        CTextBuffer buffer;
        if (!buffer.Load(path, 0))
            return FormatUnrecognised;
        scratch = MakeScratch(buffer.View());
    }
    const size_t n = scratch.size() - 2;
    if (IsAss(scratch))
        return FormatAss;
    if (IsSrt(scratch, n))
        return FormatSrt;
    if (IsSami(scratch))
        return FormatSami;
    return FormatUnrecognised;
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
        return FormatUnrecognised;
    }
    catch (const std::system_error&)
    {
        return FormatUnrecognised;
    }
}
