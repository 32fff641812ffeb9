// Inline markup of one SAMI caption to the SRT tag set.

#include <algorithm>
#include <string>
#include <vector>

#include "convert/SamiReader.h"

namespace
{
// White space of the SAMI markup trims.
bool IsMarkupSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

char16_t FoldAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool StartsNoCase(std::u16string_view text, std::u16string_view word)
{
    if (text.size() < word.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (FoldAscii(text[k]) != word[k])
            return false;
    return true;
}

std::u16string_view TrimMarkupSpace(std::u16string_view text)
{
    size_t b = 0;
    size_t e = text.size();
    while (b < e && IsMarkupSpace(text[b]))
        ++b;
    while (e > b && IsMarkupSpace(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

// The caption with &nbsp; (or &nbsp) turned into blanks and one CR appended.
std::u16string ReplaceEntities(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + 1);
    size_t i = 0;
    while (i < text.size())
    {
        if (text[i] == u'&' && StartsNoCase(text.substr(i), u"&nbsp"))
        {
            out.push_back(u' ');
            i += (i + 5 < text.size() && text[i + 5] == u';') ? 6 : 5;
            continue;
        }
        out.push_back(text[i++]);
    }
    out.push_back(u'\r');
    return out;
}

enum TagKind
{
    KindNone,
    KindBreak,
    KindOpen,
    KindClose,
};

struct CTranslatedTag
{
    TagKind nKind = KindNone;
    char16_t style = 0;  // 'i', 'b', 'u' or 'f' for font
    std::u16string text;
};

struct CStyleName
{
    std::u16string_view prefix;  // as written in SAMI, lower case
    char16_t style;
    std::u16string_view open;
    std::u16string_view close;
};

// Order matters: the first matching prefix wins.
constexpr CStyleName kOpenStyles[] = {
    {u"b", u'b', u"<b>", u"</b>"},
    {u"i", u'i', u"<i>", u"</i>"},
    {u"u", u'u', u"<u>", u"</u>"},
};
constexpr CStyleName kCloseStyles[] = {
    {u"/b", u'b', u"<b>", u"</b>"},
    {u"/i", u'i', u"<i>", u"</i>"},
    {u"/u", u'u', u"<u>", u"</u>"},
};

CTranslatedTag TranslateTag(std::u16string_view tag)
{
    const std::u16string_view t = TrimMarkupSpace(tag);
    CTranslatedTag result;
    if (t.empty())
        return result;
    if (t.size() >= 2 && StartsNoCase(t, u"br"))
    {
        result.nKind = KindBreak;
        return result;
    }
    for (const CStyleName& s : kOpenStyles)
        if (StartsNoCase(t, s.prefix))
            return {KindOpen, s.style, std::u16string(s.open)};
    if (t.size() == 1)
        return result;
    for (const CStyleName& s : kCloseStyles)
        if (StartsNoCase(t, s.prefix))
            return {KindClose, s.style, std::u16string(s.close)};
    if (StartsNoCase(t, u"font"))
    {
        std::u16string text = u"<font ";
        text.append(TrimMarkupSpace(t.substr(4)));
        text.push_back(u'>');
        return {KindOpen, u'f', std::move(text)};
    }
    if (StartsNoCase(t, u"/font"))
        return {KindClose, u'f', u"</font>"};
    return result;
}

// Builds the output of the tag translation and drops style tags that enclose
// nothing visible as it goes: an opening tag followed only by characters up
// to U+0020 and then its closing tag (or the end) goes together with that
// closing tag. Removing an inner pair can empty the one around it, which the
// stack of trailing opening tags handles without another pass.
class CMarkupBuilder
{
public:
    explicit CMarkupBuilder(size_t nReserve) { m_strOut.reserve(nReserve); }

    void AppendPlain(std::u16string_view text)
    {
        for (char16_t c : text)
            AppendChar(c);
    }

    void AppendTag(const CTranslatedTag& tag)
    {
        switch (tag.nKind)
        {
        case KindBreak:
            AppendChar(u'\r');
            break;
        case KindOpen:
            m_vecOpen.push_back({m_strOut.size(), tag.text.size(), tag.style});
            m_strOut += tag.text;
            m_bStarted = true;
            break;
        case KindClose:
            if (!m_vecOpen.empty() && m_vecOpen.back().style == tag.style)
            {
                m_vecDeleted.push_back(m_vecOpen.back());
                m_vecOpen.pop_back();
                break;
            }
            m_strOut += tag.text;
            m_vecOpen.clear();
            m_bStarted = true;
            break;
        case KindNone:
            break;
        }
    }

    // Drops the removed tags, blanks before line ends, repeated line ends
    // and white space at the end.
    std::u16string Finish()
    {
        m_vecDeleted.insert(m_vecDeleted.end(), m_vecOpen.begin(), m_vecOpen.end());
        std::sort(m_vecDeleted.begin(), m_vecDeleted.end(),
                  [](const COpenTag& a, const COpenTag& b) { return a.nPos < b.nPos; });
        std::u16string result;
        result.reserve(m_strOut.size());
        size_t nNext = 0;
        for (size_t i = 0; i < m_strOut.size(); ++i)
        {
            if (nNext < m_vecDeleted.size() && i == m_vecDeleted[nNext].nPos)
            {
                i += m_vecDeleted[nNext++].nLength - 1;
                continue;
            }
            const char16_t c = m_strOut[i];
            if (c != u'\r')
            {
                result.push_back(c);
                continue;
            }
            while (!result.empty() && result.back() == u' ')
                result.pop_back();
            if (result.empty() || result.back() != u'\r')
                result.push_back(c);
        }
        while (!result.empty() && IsMarkupSpace(result.back()))
            result.pop_back();
        return result;
    }

private:
    struct COpenTag
    {
        size_t nPos;
        size_t nLength;
        char16_t style;
    };

    void AppendChar(char16_t c)
    {
        if (!m_bStarted && IsMarkupSpace(c))
            return;
        m_bStarted = true;
        m_strOut.push_back(c);
        if (c > u' ')
            m_vecOpen.clear();
    }

    std::u16string m_strOut;
    std::vector<COpenTag> m_vecOpen;     // opening tags followed only by blanks
    std::vector<COpenTag> m_vecDeleted;  // ranges of m_strOut to drop
    bool m_bStarted = false;
};
}  // namespace

std::u16string CSamiReader::TranslateSamiMarkup(const char16_t* pText, int32_t nFirst, int32_t nLast) const
{
    const size_t nCount = nLast >= nFirst ? static_cast<size_t>(nLast - nFirst) + 1 : 0;
    const std::u16string work = ReplaceEntities(std::u16string_view(pText + (nCount ? nFirst : 0), nCount));
    const int32_t nLength = static_cast<int32_t>(work.size());
    CMarkupBuilder builder(work.size());
    int32_t p = 0;
    while (p < nLength)
    {
        int32_t nOpen = 0;
        int32_t nClose = 0;
        std::u16string_view tag;
        if (!ReadTag(work.data(), nLength, p, nOpen, nClose, tag))
        {
            builder.AppendPlain(std::u16string_view(work).substr(static_cast<size_t>(p)));
            break;
        }
        builder.AppendPlain(std::u16string_view(work).substr(static_cast<size_t>(p), static_cast<size_t>(nOpen - p)));
        builder.AppendTag(TranslateTag(tag));
        p = nClose + 1;
    }
    return builder.Finish();
}
