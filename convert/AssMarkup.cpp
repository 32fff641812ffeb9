// ASS override tags and line-break codes to SRT markup.

#include <string>
#include <vector>

#include "convert/AssConverter.h"

namespace
{
bool IsDigits(std::u16string_view text)
{
    if (text.empty())
        return false;
    for (char16_t c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

void DropTrailingBreaks(std::u16string& text)
{
    while (!text.empty() && text.back() == u'\r')
        text.pop_back();
}

// \n and \N become line ends; runs of line ends become one.
std::u16string ReplaceLineCodes(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        char16_t c = text[i];
        if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'N'))
        {
            c = u'\r';
            ++i;
        }
        if (c == u'\r' && !out.empty() && out.back() == u'\r')
            continue;
        out.push_back(c);
    }
    DropTrailingBreaks(out);
    return out;
}

// &HBBGGRR& (or with an alpha byte, or fewer digits) to a font tag.
std::u16string TranslateColour(std::u16string_view value)
{
    if (value.empty() || value.front() != u'&' || value.back() != u'&')
        return {};
    while (!value.empty() && value.front() == u'&')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == u'&')
        value.remove_suffix(1);
    if (!value.empty() && (value.front() == u'H' || value.front() == u'h'))
        value.remove_prefix(1);
    std::u16string digits = u"000000";
    digits.append(value);
    const std::u16string_view bgr = std::u16string_view(digits).substr(digits.size() - 6);
    std::u16string tag = u"<font color=\"#";
    tag.append(bgr.substr(4, 2));
    tag.append(bgr.substr(2, 2));
    tag.append(bgr.substr(0, 2));
    tag.append(u"\">");
    return tag;
}

std::u16string TranslateOverrideTag(std::u16string_view tag)
{
    struct CFixedTag
    {
        std::u16string_view name;
        std::u16string_view markup;
    };
    static constexpr CFixedTag kFixed[] = {
        {u"b0", u"</b>"}, {u"i1", u"<i>"}, {u"i0", u"</i>"}, {u"u1", u"<u>"}, {u"u0", u"</u>"},
    };
    for (const CFixedTag& fixed : kFixed)
        if (tag == fixed.name)
            return std::u16string(fixed.markup);
    if (tag.size() > 1 && tag[0] == u'b' && IsDigits(tag.substr(1)))
        return u"<b>";
    if (tag.size() > 1 && tag[0] == u'c' && tag[1] == u'&')
        return TranslateColour(tag.substr(1));
    if (tag.size() > 2 && tag[0] == u'1' && tag[1] == u'c' && tag[2] == u'&')
        return TranslateColour(tag.substr(2));
    return {};
}

// Line ends lose the blanks before them; runs of line ends become one.
void AppendTidied(std::u16string& out, std::u16string_view text)
{
    for (char16_t c : text)
    {
        if (c == u'\r')
        {
            while (!out.empty() && out.back() == u' ')
                out.pop_back();
            if (!out.empty() && out.back() == u'\r')
                continue;
        }
        out.push_back(c);
    }
}
}  // namespace

std::u16string CAssConverter::TranslateOverrideBlock(std::u16string_view content) const
{
    std::u16string compact;
    for (char16_t c : content)
        if (c != u' ')
            compact.push_back(c);
    std::u16string markup;
    size_t nAt = compact.find(u'\\');
    while (nAt != std::u16string::npos)
    {
        const size_t nNext = compact.find(u'\\', nAt + 1);
        const size_t nEnd = nNext == std::u16string::npos ? compact.size() : nNext;
        markup += TranslateOverrideTag(std::u16string_view(compact).substr(nAt + 1, nEnd - nAt - 1));
        nAt = nNext;
    }
    return markup;
}

std::u16string CAssConverter::ConvertAssText(std::u16string_view text) const
{
    const std::u16string lines = ReplaceLineCodes(text);
    const std::u16string_view work = lines;
    std::u16string out;
    out.reserve(work.size() + 16);
    size_t nPos = 0;
    while (nPos < work.size())
    {
        const size_t nOpen = work.find(u'{', nPos);
        if (nOpen == std::u16string_view::npos)
        {
            AppendTidied(out, work.substr(nPos));
            break;
        }
        AppendTidied(out, work.substr(nPos, nOpen - nPos));
        const size_t nClose = work.find(u'}', nOpen + 1);
        if (nClose == std::u16string_view::npos)
            break;
        AppendTidied(out, TranslateOverrideBlock(work.substr(nOpen + 1, nClose - nOpen - 1)));
        nPos = nClose + 1;
    }
    DropTrailingBreaks(out);
    if (out.empty())
        return u"<b>";
    return out;
}
