// ASS override tags and line-break codes to SRT markup.

#include <algorithm>
#include <string>

#include "convert/AssConverter.h"
#include "text/TextSink.h"
#include "text/Unicode.h"

namespace tavrel
{

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

// A block splits into tags at each backslash (text before the first one is
// dropped); blanks inside a tag do not count.
template <typename TOnTag>
void ForEachOverrideTag(std::u16string_view content, TOnTag onTag)
{
    std::u16string compact;
    size_t nAt = content.find(u'\\');
    while (nAt != std::u16string_view::npos)
    {
        const size_t nNext = content.find(u'\\', nAt + 1);
        std::u16string_view tag = content.substr(nAt + 1, nNext == std::u16string_view::npos ? nNext : nNext - nAt - 1);
        if (tag.find(u' ') != std::u16string_view::npos)
        {
            compact.clear();
            for (char16_t c : tag)
                if (c != u' ')
                    compact.push_back(c);
            tag = compact;
        }
        onTag(tag);
        nAt = nNext;
    }
}
}  // namespace

void CAssConverter::AppendOverrideBlock(std::u16string& out, std::u16string_view content) const
{
    ForEachOverrideTag(content, [&out](std::u16string_view tag) { AppendOverrideTag(out, tag); });
}

namespace
{
// The text of one cue, appended to out from m_nBase on. With a stream (whose
// pending text out is), finished parts are written out while the cue grows:
// only when the text does not end in a blank or a line end, since those may
// still be removed.
class CCueText
{
public:
    CCueText(std::u16string& out, CTextSink* pStream)
        : m_out(out),
          m_pStream(pStream),
          m_nBase(out.size())
    {}

    void AppendPlain(std::u16string_view text)
    {
        while (!text.empty())
        {
            const size_t nSlice = std::min(text.size(), CTextSink::kFlushUnits);
            AppendTidied(m_out, m_nBase, text.substr(0, nSlice));
            text.remove_prefix(nSlice);
            FlushIfFinished();
        }
    }

    // A translation holds neither a line end nor a blank before one.
    void AppendBlock(std::u16string_view content)
    {
        ForEachOverrideTag(content, [this](std::u16string_view tag) {
            AppendOverrideTag(m_out, tag);
            FlushIfFinished();
        });
    }

    void Finish()
    {
        while (m_out.size() > m_nBase && m_out.back() == u'\r')
            m_out.pop_back();
        if (!m_bWritten && m_out.size() == m_nBase)
            m_out += u"<b>";
    }

private:
    void FlushIfFinished()
    {
        if (m_pStream == nullptr || m_out.size() <= m_nBase || m_out.back() == u' ' || m_out.back() == u'\r')
            return;
        if (m_pStream->Flush())
        {
            m_nBase = 0;
            m_bWritten = true;
        }
    }

    std::u16string& m_out;
    CTextSink* m_pStream;
    size_t m_nBase;
    bool m_bWritten = false;
};

void AppendCueText(CCueText& cue, std::u16string_view text, std::u16string& scratch)
{
    ReplaceLineCodes(text, scratch);
    const std::u16string_view work = scratch;
    size_t nPos = 0;
    while (nPos < work.size())
    {
        const size_t nOpen = work.find(u'{', nPos);
        cue.AppendPlain(work.substr(nPos, nOpen == std::u16string_view::npos ? nOpen : nOpen - nPos));
        if (nOpen == std::u16string_view::npos)
            break;
        const size_t nClose = work.find(u'}', nOpen + 1);
        if (nClose == std::u16string_view::npos)
            break;
        cue.AppendBlock(work.substr(nOpen + 1, nClose - nOpen - 1));
        nPos = nClose + 1;
    }
    cue.Finish();
}
}  // namespace

void CAssConverter::AppendAssText(std::u16string& out, std::u16string_view text, std::u16string& scratch) const
{
    CCueText cue(out, nullptr);
    AppendCueText(cue, text, scratch);
}

void CAssConverter::StreamAssText(CTextSink& stream, std::u16string_view text, std::u16string& scratch) const
{
    CCueText cue(stream.Pending(), &stream);
    AppendCueText(cue, text, scratch);
}

std::u16string CAssConverter::ConvertAssText(std::u16string_view text) const
{
    std::u16string out;
    std::u16string scratch;
    AppendAssText(out, text, scratch);
    return out;
}

bool CAssConverter::AppendAssTime(std::u16string& out, std::u16string_view field) const
{
    // Blanks do not count anywhere in the field.
    field = TrimWhiteSpace(field);
    // h:mm:ss:cc, as some scripts write it: the third colon stands for the full stop.
    const bool bColonFraction =
        field.find(u'.') == std::u16string_view::npos && std::count(field.begin(), field.end(), u':') == 3;
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
    const char16_t separators[3] = {u':', u':', bColonFraction ? u':' : u'.'};
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
        return false;
    parts[3] = std::u16string_view(pCompact + nPartStart, n - nPartStart);
    AppendTwo(out, parts[0]);
    out.push_back(u':');
    AppendTwo(out, parts[1]);
    out.push_back(u':');
    AppendTwo(out, parts[2]);
    out.push_back(u',');
    for (size_t k = 0; k < 3; ++k)
        out.push_back(k < parts[3].size() ? parts[3][k] : u'0');
    return true;
}

std::u16string CAssConverter::ConvertAssTime(std::u16string_view field) const
{
    std::u16string out;
    AppendAssTime(out, field);
    return out;
}

}  // namespace tavrel
