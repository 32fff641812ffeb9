#include "convert/SamiReader.h"

#include <algorithm>
#include <cstring>

#include "srt/SrtProcessor.h"
#include "text/LargeBuffer.h"
#include "text/TextBuffer.h"
#include "text/TextSink.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// The text at i, up to nEnd, starts with the word, ASCII case-insensitive.
// Inline: it runs for every tag.
inline bool MatchesNoCase(const char16_t* pText, int32_t i, int32_t nEnd, std::u16string_view word)
{
    if (i > nEnd || static_cast<size_t>(nEnd - i) < word.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (FoldAscii(pText[static_cast<size_t>(i) + k]) != FoldAscii(word[k]))
            return false;
    return true;
}

inline bool IsSyncTag(const char16_t* pText, int32_t nOpen, int32_t nClose)
{
    return MatchesNoCase(pText, nOpen + 1, nClose, u"sync");
}

inline bool IsParagraphTag(const char16_t* pText, int32_t nOpen, int32_t nClose)
{
    return nOpen + 1 < nClose && FoldAscii(pText[nOpen + 1]) == u'p';
}

inline bool IsBodyEndTag(const char16_t* pText, int32_t nOpen, int32_t nClose)
{
    if (pText[nOpen + 1] != u'/' ||
        (!MatchesNoCase(pText, nOpen + 1, nClose, u"/body") && !MatchesNoCase(pText, nOpen + 1, nClose, u"/sami")))
        return false;
    // </SAMIParam> is no end of the document.
    return !IsAsciiAlnum(pText[nOpen + 6]);
}

// A caption's lines: lines before the first visible character are joined to
// the next one, and the last line gets no line end.
void AppendCaptionLines(std::u16string& out, std::u16string_view text)
{
    const size_t n = text.size();
    size_t nLine = 0;
    size_t i = 0;
    while (i < n)
    {
        if (text[i] == u'\r')
        {
            out.append(text.substr(nLine, i - nLine));
            nLine = ++i;
            continue;
        }
        if (text[i] == u'<')
        {
            const size_t nGreater = text.find(u'>', i + 1);
            if (nGreater == std::u16string_view::npos)
                break;
            i = nGreater + 1;
            continue;
        }
        if (text[i] != u' ')
            break;  // from here on every line end stays: the rest is copied as it is
        ++i;
    }
    out.append(text.substr(nLine));
}

// Several P tags of one class in one SYNC are one caption: each text that is
// not empty goes on a line of its own.
template <class TCaption>
void AppendJoined(const CSamiReader& reader, const char16_t* pText, const TCaption& record, size_t nCaption,
                  std::u16string& pool)
{
    const size_t nBefore = pool.size();
    if (nBefore > nCaption && pool.back() != u'\r')
        pool.push_back(u'\r');
    const size_t nText = pool.size();
    reader.AppendSamiMarkup(pText, record.m_nFirst, record.m_nLast, pool);
    if (pool.size() == nText)
        pool.resize(nBefore);
}
// The class names of P tags as indices into a class list; the name buffer
// is kept from tag to tag.
class CClassIndex
{
public:
    explicit CClassIndex(CClassList& classes)
        : m_classes(classes)
    {}

    int32_t Add(const CSamiReader& reader, const char16_t* pText, int32_t nOpen, int32_t nClose)
    {
        m_strName.clear();
        int32_t nBegin = 0;
        int32_t nEnd = 0;
        if (reader.FindAttribute(pText, nOpen, nClose, u"class", nBegin, nEnd))
            for (int32_t i = nBegin; i < nEnd; ++i)
                if (IsAsciiAlnum(pText[i]))
                    m_strName.push_back(pText[i]);
        std::vector<std::u16string>& names = m_classes.m_vecNames;
        // Documents have a few classes: comparing is cheaper than hashing.
        if (names.size() <= kFewClasses)
        {
            for (size_t i = 0; i < names.size(); ++i)
                if (names[i] == m_strName)
                    return static_cast<int32_t>(i);
        }
        else
        {
            const auto it = m_classes.m_mapIndex.find(m_strName);
            if (it != m_classes.m_mapIndex.end())
                return it->second;
        }
        m_classes.Add(m_strName);
        return static_cast<int32_t>(names.size() - 1);
    }

private:
    static constexpr size_t kFewClasses = 8;

    CClassList& m_classes;
    std::u16string m_strName;
};

// Index of the first c in [i, nEnd), or nEnd. Four units at a time: the
// scan runs over every unit of the document.
inline int32_t FindFrom(const char16_t* pText, int32_t i, int32_t nEnd, char16_t c)
{
    constexpr uint64_t kOnes = 0x0001000100010001u;
    constexpr uint64_t kHighs = 0x8000800080008000u;
    const uint64_t pattern = kOnes * c;
    for (; i + 4 <= nEnd; i += 4)
    {
        uint64_t word = 0;
        std::memcpy(&word, pText + i, sizeof word);
        const uint64_t x = word ^ pattern;
        if (((x - kOnes) & ~x & kHighs) != 0)
            break;  // c is one of these four
    }
    while (i < nEnd && pText[i] != c)
        ++i;
    return i;
}

// Grows a list before it is full to what the rest of the document likely
// needs, judged by the part read so far (nAt of nLength): doubling would
// write most entries twice, each time into fresh pages.
void ReserveEntries(std::vector<CCaptionEntry>& entries, int32_t nAt, int32_t nLength)
{
    const size_t n = entries.size();
    if (n < entries.capacity())
        return;
    const uint64_t nEstimate = uint64_t{n} * static_cast<uint64_t>(nLength) / static_cast<uint64_t>(std::max(nAt, 1));
    entries.reserve(std::clamp(static_cast<size_t>(nEstimate + nEstimate / 16), n + n / 2 + 16, 8 * n + 64));
}

// A caption as the scan finds it, with its class as an index.
struct CScannedCaption
{
    uint32_t m_nStart = 0;
    int32_t m_nClass = 0;
    int32_t m_nFirst = 0;
    int32_t m_nLast = -1;
    int64_t m_nSync = 0;
};

// The one walk along the chain of tags (each found from just after the one
// before): the classes of all P tags and the captions, up to the body end
// when bToBodyEnd. A SYNC tag without a P tag borrows the next P tag, and
// the SYNC tags in between are passed over.
template <class TOnCaption>
void ScanDocument(const CSamiReader& reader, const char16_t* pText, int32_t nLength, bool bToBodyEnd,
                  CClassIndex& classes, TOnCaption onCaption)
{
    enum
    {
        BeforeSync,
        AwaitingParagraph,
        InCaption,
    } nState = BeforeSync;
    CScannedCaption caption;
    int32_t nEnd = nLength;
    for (int32_t i = 0;;)
    {
        const int32_t nOpen = FindFrom(pText, i, nLength, u'<');
        i = FindFrom(pText, nOpen, nLength, u'>');
        if (i >= nLength)
            break;
        const int32_t nClose = i++;
        if (bToBodyEnd && IsBodyEndTag(pText, nOpen, nClose))
        {
            nEnd = nOpen;
            break;
        }
        const bool bSync = IsSyncTag(pText, nOpen, nClose);
        const bool bParagraph = IsParagraphTag(pText, nOpen, nClose);
        if (!bSync && !bParagraph)
            continue;
        const int32_t nClass = bParagraph ? classes.Add(reader, pText, nOpen, nClose) : 0;
        if (nState == InCaption)
        {
            caption.m_nLast = nOpen - 1;
            onCaption(caption);
        }
        if (bSync && nState != AwaitingParagraph)
        {
            caption.m_nStart = reader.GetSyncStart(pText, nOpen, nClose);
            ++caption.m_nSync;
            nState = AwaitingParagraph;
        }
        else if (bParagraph && nState != BeforeSync)
        {
            caption.m_nClass = nClass;
            caption.m_nFirst = nClose + 1;
            nState = InCaption;
        }
    }
    if (nState == InCaption)
    {
        caption.m_nLast = nEnd - 1;
        onCaption(caption);
    }
}
}  // namespace

void CClassList::Add(const std::u16string& name)
{
    if (m_mapIndex.emplace(name, static_cast<int32_t>(m_vecNames.size())).second)
        m_vecNames.push_back(name);
}

std::u16string_view CCaptionList::Text(const CCaptionEntry& entry) const
{
    return std::u16string_view(*m_pPool).substr(entry.m_nOffset, entry.m_nLength);
}

std::u16string_view CCaptionList::Text(const CCaptionEntry& entry, std::u16string& scratch) const
{
    if (!entry.m_bMarkup)
        return Text(entry);
    scratch.clear();
    const auto nFirst = static_cast<int32_t>(entry.m_nOffset);
    CSamiReader().AppendSamiMarkup(m_pSource, nFirst, nFirst + static_cast<int32_t>(entry.m_nLength) - 1, scratch);
    return scratch;
}

void CCaptionList::Materialise(CCaptionEntry& entry)
{
    if (!entry.m_bMarkup)
        return;
    const size_t nOffset = m_pPool->size();
    const auto nFirst = static_cast<int32_t>(entry.m_nOffset);
    CSamiReader().AppendSamiMarkup(m_pSource, nFirst, nFirst + static_cast<int32_t>(entry.m_nLength) - 1, *m_pPool);
    entry.m_nOffset = nOffset;
    entry.m_nLength = static_cast<uint32_t>(m_pPool->size() - nOffset);
    entry.m_bMarkup = 0;
}

bool CCaptionList::Less(const CCaptionEntry& a, const CCaptionEntry& b) const
{
    if (a.m_nStart != b.m_nStart)
        return a.m_nStart < b.m_nStart;
    return Text(a) < Text(b);
}

bool CCaptionList::Equal(const CCaptionEntry& a, const CCaptionEntry& b) const
{
    return a.m_nStart == b.m_nStart && Text(a) == Text(b);
}

void CCaptionList::Sort()
{
    if (m_bSorted)
        return;
    // By start time first; only entries that share a start are translated
    // and ordered by text, which keeps every tie in order of insertion.
    std::stable_sort(m_vecEntries.begin(), m_vecEntries.end(),
                     [](const CCaptionEntry& a, const CCaptionEntry& b) { return a.m_nStart < b.m_nStart; });
    for (auto it = m_vecEntries.begin(); it != m_vecEntries.end();)
    {
        auto itEnd = it + 1;
        while (itEnd != m_vecEntries.end() && itEnd->m_nStart == it->m_nStart)
            ++itEnd;
        if (itEnd - it > 1)
        {
            for (auto itTie = it; itTie != itEnd; ++itTie)
                Materialise(*itTie);
            std::stable_sort(it, itEnd, [this](const CCaptionEntry& a, const CCaptionEntry& b) { return Less(a, b); });
        }
        it = itEnd;
    }
    m_nGreatest = m_vecEntries.empty() ? 0 : m_vecEntries.size() - 1;
    m_bSorted = true;
}

bool CSamiReader::FindTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen, int32_t& nClose) const
{
    int32_t i = std::max(nStart, 0);
    while (i < nLength && pText[i] != u'<')
        ++i;
    if (i >= nLength)
        return false;
    nOpen = i;
    while (i < nLength && pText[i] != u'>')
        ++i;
    if (i >= nLength)
        return false;
    nClose = i;
    return true;
}

bool CSamiReader::FindTagOfKind(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen, int32_t& nClose,
                                bool (*pIsKind)(const char16_t*, int32_t, int32_t)) const
{
    int32_t nAt = nStart;
    while (FindTag(pText, nLength, nAt, nOpen, nClose))
    {
        if (pIsKind(pText, nOpen, nClose))
            return true;
        nAt = nClose + 1;
    }
    return false;
}

bool CSamiReader::FindSyncTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen,
                              int32_t& nClose) const
{
    return FindTagOfKind(pText, nLength, nStart, nOpen, nClose, IsSyncTag);
}

bool CSamiReader::FindParagraphTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen,
                                   int32_t& nClose) const
{
    return FindTagOfKind(pText, nLength, nStart, nOpen, nClose, IsParagraphTag);
}

int32_t CSamiReader::FindBodyEnd(const char16_t* pText, int32_t nLength, int32_t nStart) const
{
    int32_t nOpen = 0;
    int32_t nClose = 0;
    return FindTagOfKind(pText, nLength, nStart, nOpen, nClose, IsBodyEndTag) ? nOpen : nLength;
}

uint32_t CSamiReader::ParseSyncTime(const char16_t* pText, int32_t nFirst, int32_t nEnd) const
{
    uint32_t nValue = 0;
    for (int32_t i = nFirst; i < nEnd; ++i)
        if (IsAsciiDigit(pText[i]))
            nValue = nValue * 10u + static_cast<uint32_t>(pText[i] - u'0');
    return nValue;
}

bool CSamiReader::FindAttribute(const char16_t* pText, int32_t nOpen, int32_t nClose, std::u16string_view strName,
                                int32_t& nBegin, int32_t& nEnd) const
{
    const int32_t nName = static_cast<int32_t>(strName.size());
    for (int32_t i = nOpen + 1; i < nClose; ++i)
    {
        if (pText[i] > u' ' || !IsAsciiSpace(pText[i]) || !MatchesNoCase(pText, i + 1, nClose, strName))
            continue;
        int32_t j = i + 1 + nName;
        while (j < nClose && IsAsciiSpace(pText[j]))
            ++j;
        if (j >= nClose || pText[j] != u'=')
            continue;
        ++j;
        while (j < nClose && IsAsciiSpace(pText[j]))
            ++j;
        if (j < nClose && (pText[j] == u'"' || pText[j] == u'\''))
        {
            const char16_t quote = pText[j];
            nBegin = ++j;
            while (j < nClose && pText[j] != quote)
                ++j;
        }
        else
        {
            nBegin = j;
            while (j < nClose && !IsAsciiSpace(pText[j]))
                ++j;
        }
        nEnd = j;
        return true;
    }
    return false;
}

uint32_t CSamiReader::GetSyncStart(const char16_t* pText, int32_t nOpen, int32_t nClose) const
{
    int32_t nBegin = 0;
    int32_t nEnd = 0;
    if (FindAttribute(pText, nOpen, nClose, u"start", nBegin, nEnd))
        return ParseSyncTime(pText, nBegin, nEnd);
    return ParseSyncTime(pText, nOpen, nClose);
}

std::u16string CSamiReader::GetParagraphClass(const char16_t* pText, int32_t nOpen, int32_t nClose) const
{
    std::u16string name;
    int32_t nBegin = 0;
    int32_t nEnd = 0;
    if (!FindAttribute(pText, nOpen, nClose, u"class", nBegin, nEnd))
        return name;
    for (int32_t i = nBegin; i < nEnd; ++i)
        if (IsAsciiAlnum(pText[i]))
            name.push_back(pText[i]);
    return name;
}

bool CSamiReader::ReadTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen, int32_t& nClose,
                          std::u16string_view& tag) const
{
    int32_t i = FindFrom(pText, std::max(nStart, 0), nLength, u'<');
    if (i >= nLength)
        return false;
    nOpen = i;
    i = FindFrom(pText, i + 1, nLength, u'>');
    nClose = i < nLength ? i : nLength - 1;
    int32_t nEnd = nClose + 1;
    if (pText[nClose] == u'>')
        --nEnd;
    tag = std::u16string_view(pText + nOpen + 1, static_cast<size_t>(std::max(nEnd - nOpen - 1, 0)));
    return true;
}

CClassList CSamiReader::CollectClasses(const char16_t* pText, int32_t nLength) const
{
    CClassList classes;
    CClassIndex index(classes);
    ScanDocument(*this, pText, nLength, false, index, [](const CScannedCaption&) {});
    return classes;
}

void CSamiReader::WalkCaptions(const char16_t* pText, int32_t nLength,
                               const std::function<void(const CaptionRecord&)>& onCaption) const
{
    CClassList classes;
    CClassIndex index(classes);
    CaptionRecord record;
    ScanDocument(*this, pText, nLength, false, index, [&](const CScannedCaption& caption) {
        record.m_nStart = caption.m_nStart;
        record.m_strClass = classes.m_vecNames[static_cast<size_t>(caption.m_nClass)];
        record.m_nFirst = caption.m_nFirst;
        record.m_nLast = caption.m_nLast;
        record.m_nSync = caption.m_nSync;
        onCaption(record);
    });
}

int32_t CSamiReader::IndexOfClass(const CClassList& classes, const std::u16string& name) const
{
    const auto it = classes.m_mapIndex.find(name);
    return it == classes.m_mapIndex.end() ? 0 : it->second;
}

void CSamiReader::InsertCaptionEntry(CCaptionList& list, uint32_t nStart, std::u16string_view text) const
{
    const size_t nOffset = list.m_pPool->size();
    list.m_pPool->append(text);
    InsertPooledEntry(list, nStart, nOffset);
}

void CSamiReader::InsertPooledEntry(CCaptionList& list, uint32_t nStart, size_t nOffset) const
{
    CCaptionEntry entry;
    entry.m_nStart = nStart;
    entry.m_nLength = static_cast<uint32_t>(list.m_pPool->size() - nOffset);
    entry.m_nOffset = nOffset;
    InsertEntry(list, entry);
}

void CSamiReader::InsertMarkupEntry(CCaptionList& list, uint32_t nStart, int32_t nFirst, int32_t nLast) const
{
    CCaptionEntry entry;
    entry.m_nStart = nStart;
    entry.m_nLength = static_cast<uint32_t>(std::max(nLast - nFirst + 1, 0));
    entry.m_nOffset = static_cast<uint64_t>(nFirst);
    entry.m_bMarkup = 1;
    InsertEntry(list, entry);
}

// Only entries that start together are told apart by their texts, so only
// those are translated here.
void CSamiReader::InsertEntry(CCaptionList& list, CCaptionEntry entry) const
{
    if (!list.m_vecEntries.empty())
    {
        CCaptionEntry& greatest = list.m_vecEntries[list.m_nGreatest];
        if (greatest.m_nStart == entry.m_nStart)
        {
            list.Materialise(greatest);
            list.Materialise(entry);
            if (list.Equal(greatest, entry))
            {
                // A pooled text is dropped when nothing was pooled after it.
                if (entry.m_nOffset + entry.m_nLength == list.m_pPool->size())
                    list.m_pPool->resize(entry.m_nOffset);
                return;
            }
        }
        if (list.Less(entry, greatest))
            list.m_bSorted = false;
        else
            list.m_nGreatest = list.m_vecEntries.size();
    }
    list.m_vecEntries.push_back(entry);
}

std::u16string CSamiReader::BuildSrtText(CCaptionList& list) const
{
    std::u16string out;
    AppendSrtText(list, out);
    return out;
}

void CSamiReader::AppendSrtText(CCaptionList& list, std::u16string& out, CTextSink* pStream) const
{
    list.Sort();
    const std::vector<CCaptionEntry>& entries = list.m_vecEntries;
    if (pStream == nullptr)
    {
        uint64_t nText = 0;
        for (const CCaptionEntry& entry : entries)
            nText += entry.m_nLength;
        out.reserve(out.size() + nText + entries.size() * 48);
    }
    int64_t nCount = 0;
    std::u16string timeLine;
    std::u16string scratch;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        const CCaptionEntry& entry = entries[i];
        const std::u16string_view text = list.Text(entry, scratch);
        if (text.empty())
            continue;
        const uint64_t nEnd = i + 1 < entries.size() ? entries[i + 1].m_nStart : uint64_t{entry.m_nStart} + 10000;
        timeLine.clear();
        CSrtProcessor::AppendTime(timeLine, entry.m_nStart);
        timeLine.append(u" --> ");
        CSrtProcessor::AppendTime(timeLine, nEnd);
        CSrtProcessor::AppendCueHead(out, ++nCount, timeLine);
        AppendCaptionLines(out, text);
        CSrtProcessor::AppendCueEnd(out);
        if (pStream)
            pStream->Flush();
    }
}

CFailure CSamiReader::ConvertSamiToSrt(const CTextBuffer& document, const ClassSinkOpener& openClassSink,
                                       int32_t* pClasses) const
{
    const char16_t* pText = document.Data();
    const int32_t nLength = document.Length();
    CClassList classes;
    CClassIndex index(classes);
    // Captions are shorter than their markup, and most stay markup until
    // they are written; pages reserved but never written cost nothing.
    std::u16string pool;
    ReserveLarge(pool, static_cast<size_t>(nLength));
    std::vector<CCaptionList> lists;
    std::vector<CScannedCaption> sync;  // the captions of one SYNC, pooled together per class
    const auto poolSync = [&] {
        if (sync.size() > 1)
            std::stable_sort(sync.begin(), sync.end(), [](const CScannedCaption& a, const CScannedCaption& b) {
                return a.m_nClass < b.m_nClass;
            });
        for (size_t i = 0; i < sync.size();)
        {
            size_t j = i + 1;
            while (j < sync.size() && sync[j].m_nClass == sync[i].m_nClass)
                ++j;
            const auto nClass = static_cast<size_t>(sync[i].m_nClass);
            while (lists.size() <= nClass)
                lists.emplace_back(pool, pText);
            ReserveEntries(lists[nClass].m_vecEntries, sync[i].m_nFirst, nLength);
            if (j == i + 1)
            {
                InsertMarkupEntry(lists[nClass], sync[i].m_nStart, sync[i].m_nFirst, sync[i].m_nLast);
            }
            else
            {
                const size_t nOffset = pool.size();
                for (size_t k = i; k < j; ++k)
                    AppendJoined(*this, pText, sync[k], nOffset, pool);
                InsertPooledEntry(lists[nClass], sync[i].m_nStart, nOffset);
            }
            i = j;
        }
        sync.clear();
    };
    ScanDocument(*this, pText, nLength, true, index, [&](const CScannedCaption& caption) {
        if (!sync.empty() && sync.back().m_nSync != caption.m_nSync)
            poolSync();
        sync.push_back(caption);
    });
    poolSync();
    if (pClasses)
        *pClasses = static_cast<int32_t>(classes.m_vecNames.size());
    if (classes.m_vecNames.empty())
        return MakeFailure(FailureKind::NoCaptionClass);
    while (lists.size() < classes.m_vecNames.size())
        lists.emplace_back(pool, pText);
    CFailure failure;
    for (size_t i = 0; i < lists.size(); ++i)
    {
        const std::unique_ptr<CTextSink> pSink = openClassSink(classes.m_vecNames[i]);
        AppendSrtText(lists[i], pSink->Pending(), pSink.get());
        lists[i].m_vecEntries = std::vector<CCaptionEntry>();
        if (!pSink->Commit() && !failure.IsFailure())
            failure = pSink->Failure();
    }
    return failure;
}

}  // namespace tavrel
