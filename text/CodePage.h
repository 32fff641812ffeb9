#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

}  // namespace tavrel
