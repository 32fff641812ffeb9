#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text/AtomicFile.h"

namespace tavrel
{

// Writes a text file as UTF-8 with a byte-order mark and every CR as CR LF,
// through a temporary file that replaces the target only on Commit. Large
// outputs are written while they are built: writers append to Pending() and
// call Flush now and then, or hand whole pieces to Write.
class CTextFileStream
{
public:
    static constexpr size_t kFlushUnits = size_t{1} << 16;

    explicit CTextFileStream(const std::filesystem::path& path);
    CTextFileStream(const CTextFileStream&) = delete;
    CTextFileStream& operator=(const CTextFileStream&) = delete;

    std::u16string& Pending() { return m_strPending; }
    // Writes the pending text once there is enough of it; true when it did.
    bool Flush();
    // Writes text at once, after the pending text; a surrogate pair must
    // not be split between two calls.
    bool Write(std::u16string_view text);
    // Writes the rest; true when every byte was written and the file is in place.
    bool Commit();

private:
    void WritePending(bool bEnd);
    void Encode(std::u16string_view text);

    CAtomicFile m_file;
    std::u16string m_strPending;
    std::vector<unsigned char> m_vecBytes;
    bool m_bOk;
};

}  // namespace tavrel
