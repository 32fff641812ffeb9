// Inline markup of one SAMI caption to the SRT tag set.

#include <algorithm>
#include <string>
#include <vector>

#include "convert/SamiReader.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// StartsWithNoCase, inline: it runs several times for every tag.
inline bool StartsNoCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (FoldAscii(text[i]) != FoldAscii(prefix[i]))
            return false;
    return true;
}

// Length of the &nbsp; (or &nbsp) entity at the start of the text, or 0.
size_t EntityLength(std::u16string_view text)
{
    if (text.empty() || text[0] != u'&' || !StartsNoCase(text, u"&nbsp"))
        return 0;
    return text.size() > 5 && text[5] == u';' ? 6 : 5;
}

std::u16string ReplaceEntities(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
    {
        const size_t nEntity = EntityLength(text.substr(i));
        out.push_back(nEntity ? u' ' : text[i]);
        i += nEntity ? nEntity : 1;
    }
    return out;
}

enum TagKind
{
    KindNone,
    KindBreak,
    KindOpen,
    KindClose,
};

// One translated tag: a fixed tag, or a font tag with its attributes.
struct CTranslatedTag
{
    TagKind nKind = KindNone;
    char16_t style = 0;  // 'i', 'b', 'u' or 'f' for font
    std::u16string_view text;
    std::u16string_view fontAttributes;
};

struct CStyleName
{
    std::u16string_view prefix;  // as written in SAMI, lower case
    char16_t style;
    std::u16string_view srt;
};

// Order matters: the first matching prefix wins.
constexpr CStyleName kOpenStyles[] = {{u"b", u'b', u"<b>"}, {u"i", u'i', u"<i>"}, {u"u", u'u', u"<u>"}};
constexpr CStyleName kCloseStyles[] = {{u"/b", u'b', u"</b>"}, {u"/i", u'i', u"</i>"}, {u"/u", u'u', u"</u>"}};

CTranslatedTag TranslateTag(std::u16string_view tag)
{
    const std::u16string_view t = TrimIf(tag, IsAsciiSpace);
    if (t.empty())
        return {};
    if (t.size() >= 2 && StartsNoCase(t, u"br"))
        return {KindBreak, 0, u"\r", {}};
    for (const CStyleName& s : kOpenStyles)
        if (StartsNoCase(t, s.prefix))
            return {KindOpen, s.style, s.srt, {}};
    if (t.size() == 1)
        return {};
    for (const CStyleName& s : kCloseStyles)
        if (StartsNoCase(t, s.prefix))
            return {KindClose, s.style, s.srt, {}};
    if (StartsNoCase(t, u"font"))
        return {KindOpen, u'f', {}, TrimIf(t.substr(4), IsAsciiSpace)};
    if (StartsNoCase(t, u"/font"))
        return {KindClose, u'f', u"</font>", {}};
    return {};
}

// Appends the translation to a string and drops style tags that enclose
// nothing visible as it goes: an opening tag followed only by characters up
// to U+0020 and then its closing tag (or the end) goes together with that
// closing tag. Removing an inner pair can empty the one around it, which the
// stack of trailing opening tags handles without another pass.
class CMarkupBuilder
{
public:
    explicit CMarkupBuilder(std::u16string& out)
        : m_strOut(out),
          m_nBase(out.size())
    {}

    void AppendPlain(std::u16string_view text)
    {
        while (!text.empty())
        {
            const size_t nAmp = text.find(u'&');
            AppendRun(text.substr(0, nAmp));
            if (nAmp == std::u16string_view::npos)
                return;
            text.remove_prefix(nAmp);
            const size_t nEntity = EntityLength(text);
            AppendChar(nEntity ? u' ' : u'&');
            text.remove_prefix(nEntity ? nEntity : 1);
        }
    }

    void AppendLineEnd() { AppendChar(u'\r'); }

    void AppendTag(const CTranslatedTag& tag)
    {
        switch (tag.nKind)
        {
        case KindBreak:
            AppendLineEnd();
            break;
        case KindOpen:
        {
            const size_t nPos = m_strOut.size();
            if (tag.style == u'f')
            {
                m_strOut += u"<font ";
                m_strOut += tag.fontAttributes;
                m_strOut += u'>';
            }
            else
            {
                m_strOut += tag.text;
            }
            m_vecOpen.push_back({nPos, m_strOut.size() - nPos, tag.style});
            m_bStarted = true;
            break;
        }
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
    // and white space at the end, in place.
    void Finish()
    {
        m_vecDeleted.insert(m_vecDeleted.end(), m_vecOpen.begin(), m_vecOpen.end());
        std::sort(m_vecDeleted.begin(), m_vecDeleted.end(),
                  [](const COpenTag& a, const COpenTag& b) { return a.nPos < b.nPos; });
        size_t w = m_nBase;
        size_t nNext = 0;
        for (size_t r = m_nBase; r < m_strOut.size(); ++r)
        {
            if (nNext < m_vecDeleted.size() && r == m_vecDeleted[nNext].nPos)
            {
                r += m_vecDeleted[nNext++].nLength - 1;
                continue;
            }
            const char16_t c = m_strOut[r];
            if (c == u'\r')
            {
                while (w > m_nBase && m_strOut[w - 1] == u' ')
                    --w;
                if (w > m_nBase && m_strOut[w - 1] == u'\r')
                    continue;
            }
            m_strOut[w++] = c;
        }
        while (w > m_nBase && IsAsciiSpace(m_strOut[w - 1]))
            --w;
        m_strOut.resize(w);
    }

private:
    struct COpenTag
    {
        size_t nPos;
        size_t nLength;
        char16_t style;
    };

    // Plain text without entities.
    void AppendRun(std::u16string_view run)
    {
        while (!m_bStarted && !run.empty())
        {
            AppendChar(run.front());
            run.remove_prefix(1);
        }
        if (run.empty())
            return;
        m_strOut.append(run);
        if (std::any_of(run.begin(), run.end(), [](char16_t c) { return c > u' '; }))
            m_vecOpen.clear();
    }

    void AppendChar(char16_t c)
    {
        if (!m_bStarted && IsAsciiSpace(c))
            return;
        m_bStarted = true;
        m_strOut.push_back(c);
        if (c > u' ')
            m_vecOpen.clear();
    }

    std::u16string& m_strOut;
    size_t m_nBase;
    std::vector<COpenTag> m_vecOpen;     // opening tags followed only by blanks
    std::vector<COpenTag> m_vecDeleted;  // ranges of m_strOut to drop
    bool m_bStarted = false;
};
}  // namespace

// The caption is read as if one CR followed it: it ends the last line, or
// belongs to a tag left open, whose text is trimmed anyway.
void CSamiReader::AppendSamiMarkup(const char16_t* pText, int32_t nFirst, int32_t nLast, std::u16string& out) const
{
    const int32_t nLength = std::max(nLast + 1, nFirst);
    CMarkupBuilder builder(out);
    int32_t p = nFirst;
    while (true)
    {
        int32_t nOpen = 0;
        int32_t nClose = 0;
        std::u16string_view tag;
        if (!ReadTag(pText, nLength, p, nOpen, nClose, tag))
        {
            builder.AppendPlain(std::u16string_view(pText + p, static_cast<size_t>(nLength - p)));
            builder.AppendLineEnd();
            break;
        }
        builder.AppendPlain(std::u16string_view(pText + p, static_cast<size_t>(nOpen - p)));
        if (tag.find(u'&') == std::u16string_view::npos)
        {
            builder.AppendTag(TranslateTag(tag));
        }
        else
        {
            const std::u16string replaced = ReplaceEntities(tag);
            builder.AppendTag(TranslateTag(replaced));
        }
        p = nClose + 1;
        if (p >= nLength && pText[nClose] != u'>')
            break;  // the open tag took the CR
    }
    builder.Finish();
}

std::u16string CSamiReader::TranslateSamiMarkup(const char16_t* pText, int32_t nFirst, int32_t nLast) const
{
    std::u16string out;
    AppendSamiMarkup(pText, nFirst, nLast, out);
    return out;
}

}  // namespace tavrel
