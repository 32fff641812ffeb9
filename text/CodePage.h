#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel
{

// The legacy (ANSI) code page layer. Code page 0 is the system's legacy code
// page: the ANSI code page on Windows; elsewhere the locale's character set
// when it is a legacy one, otherwise CP949.

// Decodes up to the first zero byte. Every invalid byte becomes one U+FFFD
// and decoding goes on at the next byte; the byte after an invalid lead byte
// is decoded on its own, so that it never takes a third byte with it.
std::u16string DecodeCodePage(const char* pBytes, size_t nBytes, int nCodePage);

// Every character the code page lacks becomes one '?' (a surrogate pair is
// one character).
std::string EncodeCodePage(std::u16string_view text, int nCodePage);

// Encodes a file's text piece by piece: the bytes of EncodeCodePage with every
// CR as CR LF. For code pages where each character encodes on its own (the
// stateless single- and double-byte ones), what the code page makes of each
// unit is remembered, filled in as the units come.
class CFileEncoder
{
public:
    explicit CFileEncoder(int nCodePage);

    // Appends the bytes of text, which ends between characters.
    void Append(std::u16string_view text, std::string& out);

private:
    bool AppendRemembered(std::u16string_view text, std::string& out);
    bool Learn(char16_t c);
    void AppendConverted(std::u16string_view text, std::string& out) const;

    int m_nCodePage;
    bool m_bRemember;
    // Per unit: 0 while unknown, a single byte, or lead byte << 8 | trail byte.
    std::vector<uint16_t> m_vecBytes;
};

}  // namespace tavrel
