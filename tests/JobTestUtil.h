#pragma once

// Helpers for the SRT job tests: files are written and compared with LF in
// the test source and CR LF on disk.

#include <string>
#include <string_view>

#include "TestUtil.h"
#include "text/TextBuffer.h"
#include "text/TextSink.h"
#include "text/Unicode.h"

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

// Loads bytes the way a job's input file is loaded.
inline void LoadInto(CTextBuffer& buffer, std::string_view bytes)
{
    CTempDir dir;
    WriteBytes(dir / "in", bytes);
    EXPECT_NE(buffer.Load(dir / "in"), 0);
}

// The bytes a file sink writes for a text.
inline std::string FileBytes(std::u16string_view text)
{
    std::string out(text.size() * kMaxUtf8BytesPerUnit, '\0');
    const int64_t nBytes = EncodeUtf8(text.data(), static_cast<int64_t>(text.size()),
                                      reinterpret_cast<unsigned char*>(out.data()), CrEncoding::CrLf);
    out.resize(static_cast<size_t>(nBytes));
    return std::string(kBom) + out;
}

// Commits the sink; the bytes a file sink would have written.
inline std::string SinkBytes(CStringSink& sink)
{
    EXPECT_TRUE(sink.Commit());
    return FileBytes(sink.Text());
}

}  // namespace testutil

}  // namespace tavrel
