#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "text/CodePageName.h"
#include "text/Failure.h"

namespace tavrel
{

enum class TextEncoding
{
    Utf16Le,
    Ansi,
    Utf8,
    Utf8Bom,
    Utf16Be,
};

// A UTF-16 text whose line breaks are single CRs. Loads any of the five
// encodings; saves as UTF-8 with a byte-order mark and CR LF line ends.
class CTextBuffer
{
public:
    CTextBuffer();
    virtual ~CTextBuffer();
    CTextBuffer(const CTextBuffer&) = delete;
    CTextBuffer& operator=(const CTextBuffer&) = delete;

    // Nonzero on success; otherwise pFailure, when given, says why. codePage
    // decodes text without a byte-order mark that is not UTF-8.
    int Load(const std::filesystem::path& path, CodePage codePage = kSystemCodePage, CFailure* pFailure = nullptr);
    // Writes the first m_nLength units; an existing file is replaced only
    // when the whole new file was written.
    bool Save(const std::filesystem::path& path) const;

    // Replaces the text with a copy of `text`.
    void Assign(std::u16string_view text);
    // Keeps the first nLength units (no more than there are).
    void Truncate(int32_t nLength);

    int32_t Length() const { return m_nLength; }
    // Never null: an empty buffer gives "". Readers may rewrite units in place but never the length.
    const char16_t* Data() const { return m_pText ? m_pText : u""; }
    char16_t* Data() { return m_pText ? m_pText : m_szEmpty; }
    std::u16string_view View() const { return {Data(), static_cast<size_t>(m_nLength)}; }

    // Save for a text that is not held in a buffer.
    static bool SaveText(const std::filesystem::path& path, std::u16string_view text);

private:
    int32_t m_nLength;
    char16_t* m_pText;
    char16_t m_szEmpty[1] = {};
    void Free();
};

}  // namespace tavrel
