#pragma once

// Helpers for the SRT job tests: files are written and compared with LF in
// the test source and CR LF on disk.

#include <string>
#include <string_view>

#include "TestUtil.h"

namespace tavrel
{

namespace testutil
{

inline std::string Crlf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text)
    {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// What the jobs write for a text: a byte-order mark, then CR LF line ends.
inline std::string Saved(std::string_view text)
{
    return std::string(kBom) + Crlf(text);
}

}  // namespace testutil

}  // namespace tavrel
