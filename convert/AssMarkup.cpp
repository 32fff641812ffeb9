// ASS override tags and line-break codes to SRT markup.

#include <string>

#include "convert/AssConverter.h"
#include "text/Unicode.h"

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

// \n and \N become line ends; runs of line ends become one, and none is
// left at the end.
void ReplaceLineCodes(std::u16string_view text, std::u16string& out)
{
    out.clear();
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
    while (!out.empty() && out.back() == u'\r')
        out.pop_back();
}

// &HBBGGRR& (or with an alpha byte, or fewer digits) as a font tag.
void AppendColour(std::u16string& out, std::u16string_view value)
{
    if (value.empty() || value.front() != u'&' || value.back() != u'&')
        return;
    while (!value.empty() && value.front() == u'&')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == u'&')
        value.remove_suffix(1);
    if (!value.empty() && (value.front() == u'H' || value.front() == u'h'))
        value.remove_prefix(1);
    char16_t bgr[6] = {u'0', u'0', u'0', u'0', u'0', u'0'};
    const size_t nDigits = value.size() < 6 ? value.size() : 6;
    for (size_t k = 0; k < nDigits; ++k)
        bgr[6 - nDigits + k] = value[value.size() - nDigits + k];
    out += u"<font color=\"#";
    out.append({bgr[4], bgr[5], bgr[2], bgr[3], bgr[0], bgr[1]});
    out += u"\">";
}

void AppendOverrideTag(std::u16string& out, std::u16string_view tag)
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
    {
        if (tag == fixed.name)
        {
            out += fixed.markup;
            return;
        }
    }
    if (tag.size() > 1 && tag[0] == u'b' && IsDigits(tag.substr(1)))
        out += u"<b>";
    else if (tag.size() > 1 && tag[0] == u'c' && tag[1] == u'&')
        AppendColour(out, tag.substr(1));
    else if (tag.size() > 2 && tag[0] == u'1' && tag[1] == u'c' && tag[2] == u'&')
        AppendColour(out, tag.substr(2));
}

// Appends to out[nBase...]: line ends lose the blanks before them, and runs
// of line ends become one.
void AppendTidied(std::u16string& out, size_t nBase, std::u16string_view text)
{
    for (char16_t c : text)
    {
        if (c == u'\r')
        {
            while (out.size() > nBase && out.back() == u' ')
                out.pop_back();
            if (out.size() > nBase && out.back() == u'\r')
                continue;
        }
        out.push_back(c);
    }
}

// Keeps the last two characters of "00" + part.
void AppendTwo(std::u16string& out, std::u16string_view part)
{
    out.push_back(part.size() >= 2 ? part[part.size() - 2] : u'0');
    out.push_back(part.empty() ? u'0' : part.back());
}
}  // namespace

void CAssConverter::AppendOverrideBlock(std::u16string& out, std::u16string_view content) const
{
    // Blanks inside a block do not count; the rest splits at backslashes.
    std::u16string compact;
    compact.reserve(content.size());
    for (char16_t c : content)
        if (c != u' ')
            compact.push_back(c);
    size_t nAt = compact.find(u'\\');
    while (nAt != std::u16string::npos)
    {
        const size_t nNext = compact.find(u'\\', nAt + 1);
        const size_t nEnd = nNext == std::u16string::npos ? compact.size() : nNext;
        AppendOverrideTag(out, std::u16string_view(compact).substr(nAt + 1, nEnd - nAt - 1));
        nAt = nNext;
    }
}

std::u16string CAssConverter::TranslateOverrideBlock(std::u16string_view content) const
{
    std::u16string markup;
    AppendOverrideBlock(markup, content);
    return markup;
}

void CAssConverter::AppendAssText(std::u16string& out, std::u16string_view text, std::u16string& scratch) const
{
    ReplaceLineCodes(text, scratch);
    const std::u16string_view work = scratch;
    const size_t nBase = out.size();
    size_t nPos = 0;
    while (nPos < work.size())
    {
        const size_t nOpen = work.find(u'{', nPos);
        AppendTidied(out, nBase, work.substr(nPos, nOpen == std::u16string_view::npos ? nOpen : nOpen - nPos));
        if (nOpen == std::u16string_view::npos)
            break;
        const size_t nClose = work.find(u'}', nOpen + 1);
        if (nClose == std::u16string_view::npos)
            break;
        // A translation holds neither a line end nor a blank before one.
        AppendOverrideBlock(out, work.substr(nOpen + 1, nClose - nOpen - 1));
        nPos = nClose + 1;
    }
    while (out.size() > nBase && out.back() == u'\r')
        out.pop_back();
    if (out.size() == nBase)
        out += u"<b>";
}

std::u16string CAssConverter::ConvertAssText(std::u16string_view text) const
{
    std::u16string out;
    std::u16string scratch;
    AppendAssText(out, text, scratch);
    return out;
}

void CAssConverter::AppendAssTime(std::u16string& out, std::u16string_view field) const
{
    // Blanks do not count anywhere in the field.
    field = TrimWhiteSpace(field);
    std::u16string_view parts[4];
    size_t nPart = 0;
    char16_t compact[64];
    std::u16string longField;
    char16_t* pCompact = compact;
    if (field.size() > std::size(compact))
    {
        longField.resize(field.size());
        pCompact = longField.data();
    }
    size_t n = 0;
    size_t nPartStart = 0;
    const char16_t separators[3] = {u':', u':', u'.'};
    for (char16_t c : field)
    {
        if (c == u' ')
            continue;
        if (nPart < 3 && c == separators[nPart])
        {
            parts[nPart++] = std::u16string_view(pCompact + nPartStart, n - nPartStart);
            nPartStart = n;
            continue;
        }
        pCompact[n++] = c;
    }
    if (nPart < 3)
        return;
    parts[3] = std::u16string_view(pCompact + nPartStart, n - nPartStart);
    AppendTwo(out, parts[0]);
    out.push_back(u':');
    AppendTwo(out, parts[1]);
    out.push_back(u':');
    AppendTwo(out, parts[2]);
    out.push_back(u',');
    for (size_t k = 0; k < 3; ++k)
        out.push_back(k < parts[3].size() ? parts[3][k] : u'0');
}

std::u16string CAssConverter::ConvertAssTime(std::u16string_view field) const
{
    std::u16string out;
    AppendAssTime(out, field);
    return out;
}
