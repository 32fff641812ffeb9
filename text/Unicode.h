#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavrel
{

// The characters the text model names: lines end in a single CR; a NUL ends
// a loaded text; what cannot be decoded becomes U+FFFD.
inline constexpr char16_t kCr = u'\r';
inline constexpr char16_t kLf = u'\n';
inline constexpr char16_t kNul = u'\0';
inline constexpr char16_t kReplacement = 0xFFFD;

constexpr bool IsAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The one UTF-16 -> UTF-8 encoder: a valid pair is one 4-byte sequence, an
// unpaired surrogate U+FFFD. Files write each CR as CR LF, strings keep it.
// pOut holds at least kMaxUtf8BytesPerUnit bytes per unit; returns the bytes
// written.
enum class CrEncoding
{
    Cr,
    CrLf,
};
inline constexpr int64_t kMaxUtf8BytesPerUnit = 3;
int64_t EncodeUtf8(const char16_t* pText, int64_t nUnits, unsigned char* pOut, CrEncoding nCr);

// Writes the four units at p as four bytes when all are ASCII and none is a
// CR; false, with nothing written, otherwise. For the encoders' ASCII runs.
inline bool PackPlainAsciiQuad(const char16_t* p, unsigned char* pOut)
{
    uint64_t n;
    std::memcpy(&n, p, sizeof n);
    const uint64_t nCr = n ^ 0x000D000D000D000Dull;  // a CR lane becomes zero
    const bool bHasCr = ((nCr - 0x0001000100010001ull) & ~nCr & 0x8000800080008000ull) != 0;
    if ((n & 0xFF80FF80FF80FF80ull) != 0 || bHasCr)
        return false;
    if constexpr (std::endian::native == std::endian::little)
    {
        // The low byte of each lane, in order.
        n = (n | (n >> 8)) & 0x0000FFFF0000FFFFull;
        n = (n | (n >> 16)) & 0x00000000FFFFFFFFull;
        const auto nBytes = static_cast<uint32_t>(n);
        std::memcpy(pOut, &nBytes, sizeof nBytes);
    }
    else
    {
        for (int k = 0; k < 4; ++k)
            pOut[k] = static_cast<unsigned char>(p[k]);
    }
    return true;
}

// Writes ASCII from pText[i] on (pText[i] is below 0x80): four units at once
// when it can, else one by one up to a unit above 0x7F or after a CR, which
// becomes CR LF when bCrLf. Returns where it stopped; pOut moves on.
inline size_t PutAscii(const char16_t* pText, size_t i, size_t nUnits, unsigned char*& pOut, bool bCrLf)
{
    if (i + 4 <= nUnits && PackPlainAsciiQuad(pText + i, pOut))
    {
        pOut += 4;
        return i + 4;
    }
    for (char16_t c = pText[i];;)
    {
        *pOut++ = static_cast<unsigned char>(c);
        ++i;
        if (c == u'\r')
        {
            if (bCrLf)
                *pOut++ = '\n';
            return i;
        }
        if (i == nUnits || (c = pText[i]) >= 0x80)
            return i;
    }
}

// UTF-8 <-> UTF-16 for strings that are not files (paths, command lines,
// messages). Invalid input becomes U+FFFD; nothing throws.
std::u16string Utf8ToU16(std::string_view text);
std::string U16ToUtf8(std::u16string_view text);

std::filesystem::path PathFromU16(std::u16string_view text);
std::u16string PathToU16(const std::filesystem::path& path);

inline bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// White space for every trim and test in the program: one fixed set that
// does not depend on the process locale.
bool IsWhiteSpace(char16_t c);
std::u16string_view TrimWhiteSpace(std::u16string_view text);

// The text without the characters at both ends for which isTrimmed holds.
template <class TPredicate>
std::u16string_view TrimIf(std::u16string_view text, TPredicate isTrimmed)
{
    size_t nBegin = 0;
    size_t nEnd = text.size();
    while (nBegin < nEnd && isTrimmed(text[nBegin]))
        ++nBegin;
    while (nEnd > nBegin && isTrimmed(text[nEnd - 1]))
        --nEnd;
    return text.substr(nBegin, nEnd - nBegin);
}

// ASCII-only tests for markup, names and extensions: other characters are
// compared exactly, whatever the locale.
inline char16_t FoldAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
inline bool IsAsciiAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || IsAsciiDigit(c);
}
// Space, tab, CR, LF, vertical tab and form feed.
inline bool IsAsciiSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);
// n in decimal ("%d"/"%u" without padding).
void AppendDecimal(std::u16string& out, int64_t n);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

// The first c in [p, pEnd), or pEnd. Looks at four units at a time on
// little-endian machines: most searches in subtitle text run a long way.
inline const char16_t* FindUnit(const char16_t* p, const char16_t* pEnd, char16_t c)
{
    if constexpr (std::endian::native == std::endian::little)
    {
        constexpr uint64_t kOnes = 0x0001000100010001u;
        constexpr uint64_t kHighBits = 0x8000800080008000u;
        const uint64_t nPattern = kOnes * c;
        for (; pEnd - p >= 4; p += 4)
        {
            uint64_t nWord = 0;
            std::memcpy(&nWord, p, sizeof nWord);
            nWord ^= nPattern;
            // The lowest set bit marks the first unit equal to c; bits above it may be false.
            const uint64_t nFound = (nWord - kOnes) & ~nWord & kHighBits;
            if (nFound != 0)
                return p + std::countr_zero(nFound) / 16;
        }
    }
    while (p != pEnd && *p != c)
        ++p;
    return p;
}

// Index of the first c in text from nFrom on, or npos. A byte search (memchr
// speed) for units that are rare in the text; FindUnit above is cheaper for
// units that come every line.
size_t FindRareUnit(std::u16string_view text, char16_t c, size_t nFrom = 0);

}  // namespace tavrel
