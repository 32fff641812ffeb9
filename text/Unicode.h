#pragma once

#include <cstdint>
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

// Index of the first c in text from nFrom on, or npos. A byte search (memchr
// speed) meant for units that are rare in the text.
size_t FindUnit(std::u16string_view text, char16_t c, size_t nFrom = 0);

}  // namespace tavrel
