#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// UTF-8 <-> UTF-16 for strings that are not files (paths, command lines,
// messages). Invalid input becomes U+FFFD; nothing throws.
std::u16string Utf8ToU16(std::string_view text);
std::string U16ToUtf8(std::u16string_view text);

std::filesystem::path PathFromU16(std::u16string_view text);
std::u16string PathToU16(const std::filesystem::path& path);

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// White space for every trim and test in the program: one fixed set that
// does not depend on the process locale.
bool IsWhiteSpace(char16_t c);
std::u16string_view TrimWhiteSpace(std::u16string_view text);
