#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/Failure.h"

namespace tavrel
{

class CTextBuffer;
class CTextSink;

// One caption as found in the document: its text is [m_nFirst, m_nLast],
// empty when m_nLast = m_nFirst - 1.
struct CaptionRecord
{
    uint32_t m_nStart = 0;
    std::u16string m_strClass;
    int32_t m_nFirst = 0;
    int32_t m_nLast = -1;
    int64_t m_nSync = 0;  // ordinal of the SYNC tag the caption stands in
};

// The distinct class names in order of first appearance.
struct CClassList
{
    std::vector<std::u16string> m_vecNames;
    std::unordered_map<std::u16string, int32_t> m_mapIndex;

    void Add(const std::u16string& name);
};

// A caption of one class. Its text lives in the pool of its list, or is
// still the SAMI markup [m_nOffset, m_nOffset + m_nLength) of the list's
// source when m_bMarkup: most captions are translated only to be written.
struct CCaptionEntry
{
    uint32_t m_nStart = 0;
    uint32_t m_nLength = 0;
    uint64_t m_nOffset : 63 = 0;
    uint64_t m_bMarkup : 1 = 0;
};

// The captions of one class, ordered by start time and then text once
// Sort has run.
class CCaptionList
{
public:
    // The pool holds the caption texts; several lists may share one.
    explicit CCaptionList(std::u16string& pool, const char16_t* pSource = nullptr)
        : m_pPool(&pool),
          m_pSource(pSource)
    {}

    // The text of a pooled entry.
    std::u16string_view Text(const CCaptionEntry& entry) const;
    // The text of any entry; markup is translated into scratch.
    std::u16string_view Text(const CCaptionEntry& entry, std::u16string& scratch) const;
    // Translates a markup entry into the pool.
    void Materialise(CCaptionEntry& entry);
    // Both entries pooled.
    bool Less(const CCaptionEntry& a, const CCaptionEntry& b) const;
    bool Equal(const CCaptionEntry& a, const CCaptionEntry& b) const;
    // Orders the entries; equal entries keep their order of insertion.
    void Sort();

    std::u16string* m_pPool;
    const char16_t* m_pSource;
    std::vector<CCaptionEntry> m_vecEntries;
    size_t m_nGreatest = 0;  // index of the greatest entry so far
    bool m_bSorted = true;
};

// SAMI to SRT: one SRT file per caption class. Holds no data.
class CSamiReader
{
public:
    CSamiReader() = default;
    virtual ~CSamiReader() = default;

    // Opens the output of one caption class; the caller names it.
    using ClassSinkOpener = std::function<std::unique_ptr<CTextSink>(const std::u16string& className)>;

    // One SRT output per caption class, each written and committed before
    // the next is opened. pClasses gets the number of classes. NoCaptionClass
    // when the document has no P tag; a failed output's failure otherwise.
    CFailure ConvertSamiToSrt(const CTextBuffer& document, const ClassSinkOpener& openClassSink,
                              int32_t* pClasses = nullptr) const;

    // Tag scanning. Every scan is bounded by nLength.
    bool FindTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen, int32_t& nClose) const;
    bool FindSyncTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen, int32_t& nClose) const;
    bool FindParagraphTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen,
                          int32_t& nClose) const;
    // Index of the first body-end tag's '<', or nLength.
    int32_t FindBodyEnd(const char16_t* pText, int32_t nLength, int32_t nStart) const;
    // Every digit in [nFirst, nEnd), wrapping modulo 2^32.
    uint32_t ParseSyncTime(const char16_t* pText, int32_t nFirst, int32_t nEnd) const;
    // The start time of a SYNC tag: its Start value, or every digit in the tag.
    uint32_t GetSyncStart(const char16_t* pText, int32_t nOpen, int32_t nClose) const;
    // The class of a P tag: the letters and digits of its Class value.
    std::u16string GetParagraphClass(const char16_t* pText, int32_t nOpen, int32_t nClose) const;
    // The value of the attribute strName (any case) inside a tag, as [nBegin, nEnd).
    bool FindAttribute(const char16_t* pText, int32_t nOpen, int32_t nClose, std::u16string_view strName,
                       int32_t& nBegin, int32_t& nEnd) const;
    // An unclosed tag runs to the end of the text.
    bool ReadTag(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen, int32_t& nClose,
                 std::u16string_view& tag) const;

    // The two passes over the document.
    CClassList CollectClasses(const char16_t* pText, int32_t nLength) const;
    void WalkCaptions(const char16_t* pText, int32_t nLength,
                      const std::function<void(const CaptionRecord&)>& onCaption) const;

    // The SRT text of the caption [nFirst, nLast].
    std::u16string TranslateSamiMarkup(const char16_t* pText, int32_t nFirst, int32_t nLast) const;
    // The same, appended to out.
    void AppendSamiMarkup(const char16_t* pText, int32_t nFirst, int32_t nLast, std::u16string& out) const;

    int32_t IndexOfClass(const CClassList& classes, const std::u16string& name) const;
    // A caption equal to the greatest one so far is dropped.
    void InsertCaptionEntry(CCaptionList& list, uint32_t nStart, std::u16string_view text) const;
    // The same for a text already appended to the list's pool from nOffset on.
    void InsertPooledEntry(CCaptionList& list, uint32_t nStart, size_t nOffset) const;
    // The same for the markup [nFirst, nLast] of the list's source.
    void InsertMarkupEntry(CCaptionList& list, uint32_t nStart, int32_t nFirst, int32_t nLast) const;
    // The whole SRT file of a class (CR line ends); sorts the list first.
    std::u16string BuildSrtText(CCaptionList& list) const;
    // With a stream, out is its pending text, written out cue by cue.
    void AppendSrtText(CCaptionList& list, std::u16string& out, CTextSink* pStream = nullptr) const;

private:
    void InsertEntry(CCaptionList& list, CCaptionEntry entry) const;
    bool FindTagOfKind(const char16_t* pText, int32_t nLength, int32_t nStart, int32_t& nOpen, int32_t& nClose,
                       bool (*pIsKind)(const char16_t*, int32_t, int32_t)) const;
};

}  // namespace tavrel
