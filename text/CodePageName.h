#pragma once

#include <string_view>

namespace tavrel
{

// A legacy code page by its number; 0 is the system's legacy code page.
struct CodePage
{
    int m_nNumber = 0;
};

inline constexpr CodePage kSystemCodePage{0};
inline constexpr CodePage kUtf8CodePage{65001};

// cp949, euc-kr, cp932, shift_jis, cp1252, windows-1252, utf-8, ... in any
// case; false for a name this program does not know.
bool ParseCodePageName(std::string_view name, CodePage& codePage);

}  // namespace tavrel
