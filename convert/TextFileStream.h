#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "text/AtomicFile.h"

// Writes a text as CTextBuffer::SaveText does (byte-order mark, UTF-8, CR as
// CR LF, the target replaced only by Commit) while the text is being built,
// so that a large output never has to be held whole. Writers append to
// Pending() and call Flush now and then.
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
    // Writes the rest; true when every byte was written and the file is in place.
    bool Commit();

private:
    void Write(bool bEnd);

    CAtomicFile m_file;
    std::u16string m_strPending;
    std::vector<unsigned char> m_vecBytes;
    bool m_bOk;
};
