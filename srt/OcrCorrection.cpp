#include "srt/SrtProcessor.h"

#include <cstdint>
#include <string_view>

#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// Prefixes whose small l stands for a capital I.
// At the start of the text "ln" alone suffices (lnside -> Inside); after a
// delimiter the rule needs its space, so words like "lnk" are left alone.
constexpr std::u16string_view kStartPrefixes[] = {
    u"l ", u"ln", u"l'", u"lt ", u"lt'", u"lsn", u"lf ", u"ls ",
};
constexpr std::u16string_view kInnerPrefixes[] = {
    u"l ", u"l'", u"lt ", u"lt'", u"lsn", u"lf ", u"ls ", u"ln ",
};
constexpr std::u16string_view kLetterLDelimiters = u" -.\"'";

struct CWordRule
{
    std::u16string_view from;
    std::u16string_view to;
};

// Longest first, so that "War lll" does not become "War Ill".
constexpr CWordRule kWarRules[] = {
    {u"War lll", u"War III"}, {u"war lll", u"war III"}, {u"War ll", u"War II"},
    {u"war ll", u"war II"},   {u"War l", u"War I"},     {u"war l", u"war I"},
};

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool StartsWithAt(std::u16string_view text, size_t nAt, std::u16string_view prefix)
{
    return text.size() - nAt >= prefix.size() && text.compare(nAt, prefix.size(), prefix) == 0;
}

// Where the run of spaces, tags and CRs before the first text ends, and
// whether it holds a CR. A "<" without a closing ">" after it ends the run.
struct CLeadingRun
{
    size_t m_nEnd = 0;
    bool m_bCr = false;
};

CLeadingRun FindLeadingRun(std::u16string_view text)
{
    CLeadingRun run;
    size_t& i = run.m_nEnd;
    while (i < text.size())
    {
        const char16_t c = text[i];
        if (c == u'<')
        {
            const size_t nClose = text.find(u'>', i + 1);
            if (nClose == std::u16string_view::npos)
                break;
            i = nClose + 1;
            continue;
        }
        if (c == kCr)
            run.m_bCr = true;
        else if (c != u' ')
            break;
        ++i;
    }
    return run;
}

// Lines holding only spaces and tags before the first text are joined onto
// the first line with text. Only CRs are dropped, and only before the first
// text character, so the text is compacted in place.
void JoinLeadingNonTextLines(std::u16string& text)
{
    const CLeadingRun run = FindLeadingRun(text);
    if (!run.m_bCr)
        return;
    bool bInTag = false;
    size_t w = 0;
    for (size_t i = 0; i < run.m_nEnd; ++i)
    {
        const char16_t c = text[i];
        bInTag = bInTag ? c != u'>' : c == u'<';
        if (c != kCr || bInTag)
            text[w++] = c;
    }
    text.erase(w, run.m_nEnd - w);
}

void RemoveTrailingCrs(std::u16string& text)
{
    const size_t nKeep = text.find_last_not_of(kCr);
    text.resize(nKeep == std::u16string::npos ? 0 : nKeep + 1);
}

void ReplaceNextLine(std::u16string& text)
{
    for (char16_t& c : text)
        if (c == u'\x85')
            c = u' ';
}

void ReplaceDoubleApostrophes(std::u16string& text)
{
    size_t i = text.find(u"''");
    if (i == std::u16string::npos)
        return;
    size_t w = i;
    for (; i < text.size(); ++i)
    {
        if (text[i] == u'\'' && i + 1 < text.size() && text[i + 1] == u'\'')
        {
            text[w++] = u'"';
            ++i;
        }
        else
        {
            text[w++] = text[i];
        }
    }
    text.resize(w);
}

// Only the first quote followed by a space is looked at: an opening quote
// (at the start, or with a partner later on) loses the space after it.
void RemoveSpaceAfterOpeningQuote(std::u16string& text, char16_t quote)
{
    const char16_t pair[] = {quote, u' '};
    const size_t nAt = text.find(std::u16string_view(pair, 2));
    if (nAt == std::u16string::npos)
        return;
    if (nAt == 0 || text.find(quote, nAt + 1) != std::u16string::npos)
        text.erase(nAt + 1, 1);
}

// Deletes a space between a digit and a digit, "-" or "."; the character
// after a deleted space is tested next, so "1 2 3" becomes "123".
void RemoveDigitSpaces(std::u16string& text)
{
    size_t w = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char16_t c = text[i];
        if (c == u' ' && w > 0 && IsAsciiDigit(text[w - 1]) && i + 1 < text.size())
        {
            const char16_t next = text[i + 1];
            if (IsAsciiDigit(next) || next == u'-' || next == u'.')
                continue;
        }
        text[w++] = c;
    }
    text.resize(w);
}

template <size_t N>
bool StartsWithAny(std::u16string_view text, size_t nAt, const std::u16string_view (&prefixes)[N])
{
    for (std::u16string_view prefix : prefixes)
        if (StartsWithAt(text, nAt, prefix))
            return true;
    return false;
}

// A replacement counts only where the match ends a word, so "war lords"
// keeps its l.
void ReplaceAtWordEnd(std::u16string& text, const CWordRule& rule)
{
    size_t nAt = text.find(rule.from);
    while (nAt != std::u16string::npos)
    {
        const size_t nEnd = nAt + rule.from.size();
        if (nEnd == text.size() || !IsAsciiLetter(text[nEnd]))
        {
            text.replace(nAt, rule.from.size(), rule.to);
            nAt = text.find(rule.from, nEnd);
        }
        else
        {
            nAt = text.find(rule.from, nAt + 1);
        }
    }
}

void FixLetterL(std::u16string& text)
{
    if (StartsWithAny(text, 0, kStartPrefixes))
        text[0] = u'I';
    for (size_t j = 1; j + 1 < text.size(); ++j)
    {
        if (text[j] == u'l' && kLetterLDelimiters.find(text[j - 1]) != std::u16string_view::npos &&
            StartsWithAny(text, j, kInnerPrefixes))
            text[j] = u'I';
    }
    // Every rule's match holds "ar l"; most texts have none.
    if (text.find(u"ar l") == std::u16string::npos)
        return;
    for (const CWordRule& rule : kWarRules)
        ReplaceAtWordEnd(text, rule);
}
// The repairs whose trigger occurs in the text: a repair without its trigger
// changes nothing. With Replace85 a U+0085 counts as the space it becomes.
uint32_t FindTriggers(std::u16string_view text, COcrOptions options)
{
    const uint32_t nWanted = options.m_nRepairs;
    if (nWanted == 0)
        return 0;
    const bool b85 = options.Has(OcrRepair::Replace85);
    const auto unitBefore = [&](size_t i) -> char16_t {
        const char16_t c = i == 0 ? char16_t{0} : text[i - 1];
        return c == u'\x85' && b85 ? u' ' : c;
    };
    constexpr uint64_t kAsciiTriggers = (uint64_t{1} << u' ') | (uint64_t{1} << u'"') | (uint64_t{1} << u'\'');
    uint32_t nFound = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        char16_t c = text[i];
        if (c < 64 ? ((kAsciiTriggers >> c) & 1) == 0 : c != u'l')
        {
            if (c != u'\x85' || !b85)
                continue;  // most units of a text: nothing to look at
            c = u' ';
            nFound |= static_cast<uint32_t>(OcrRepair::Replace85);
        }
        if (c == u'\'' || c == u'"')
            nFound |= static_cast<uint32_t>(OcrRepair::FixQuotes);
        else if (c == u' ' && IsAsciiDigit(unitBefore(i)))
            nFound |= static_cast<uint32_t>(OcrRepair::RemoveDigitSpaces);
        else if (c == u'l' && (i == 0 || kLetterLDelimiters.find(unitBefore(i)) != std::u16string_view::npos))
            nFound |= static_cast<uint32_t>(OcrRepair::FixLetterL);
        if ((nFound & nWanted) == nWanted)
            break;
    }
    return nFound & nWanted;
}

std::u16string_view WithoutTrailingCrs(std::u16string_view text)
{
    while (!text.empty() && text.back() == kCr)
        text.remove_suffix(1);
    return text;
}
}  // namespace

namespace
{
// The repairs that found their trigger, in the order FixOcrLine makes them.
void MakeRepairs(std::u16string& text, COcrOptions triggered)
{
    if (triggered.Has(OcrRepair::Replace85))
        ReplaceNextLine(text);
    if (triggered.Has(OcrRepair::FixQuotes))
    {
        ReplaceDoubleApostrophes(text);
        RemoveSpaceAfterOpeningQuote(text, u'"');
        RemoveSpaceAfterOpeningQuote(text, u'\'');
    }
    // The digit repair runs before the l repair.
    if (triggered.Has(OcrRepair::RemoveDigitSpaces))
        RemoveDigitSpaces(text);
    if (triggered.Has(OcrRepair::FixLetterL))
        FixLetterL(text);
}
}  // namespace

void CSrtProcessor::FixOcrLine(std::u16string& text, COcrOptions options) const
{
    JoinLeadingNonTextLines(text);
    RemoveTrailingCrs(text);
    MakeRepairs(text, COcrOptions{FindTriggers(text, options)});
}

std::u16string_view CSrtProcessor::FixedOcrText(std::u16string_view text, COcrOptions options,
                                                std::u16string& scratch) const
{
    if (FindLeadingRun(text).m_bCr)
    {
        scratch.assign(text);
        FixOcrLine(scratch, options);
        return scratch;
    }
    // Trailing CRs trigger nothing, so the triggers hold for the text without them.
    const std::u16string_view kept = WithoutTrailingCrs(text);
    const uint32_t nTriggered = FindTriggers(kept, options);
    if (nTriggered == 0)
        return kept;
    scratch.assign(kept);
    MakeRepairs(scratch, COcrOptions{nTriggered});
    return scratch;
}

}  // namespace tavrel
