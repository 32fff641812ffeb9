#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "text/Failure.h"

namespace tavrel
{

// Reads a regular file front to back in pieces, so that a load never holds
// the file's bytes and its text at once. Bytes read but not yet used stay at
// the front of the window, and the next piece is read after them.
class CFileReader
{
public:
    static constexpr size_t kPieceBytes = size_t{1} << 20;

    explicit CFileReader(std::filesystem::path path);
    ~CFileReader();
    CFileReader(const CFileReader&) = delete;
    CFileReader& operator=(const CFileReader&) = delete;

    // Checks that the file can be loaded (it exists, is a regular file of 2 to
    // 2^31 - 1 bytes) and opens it; the failure says why not.
    CFailure Open();
    int64_t Size() const { return m_nSize; }

    // Drops the first nUsed bytes of the window and reads the next piece after
    // the rest; the window grows when the rest leaves no room for a piece. False on a read
    // error or a file shorter than its size said (Failure says which).
    bool ReadMore(size_t nUsed);
    // Back to the start of the file with an empty window.
    bool Rewind();

    const unsigned char* Data() const { return m_pWindow.get(); }
    size_t Length() const { return m_nLength; }
    // The window holds the last bytes of the file.
    bool AtEnd() const { return m_nRead == m_nSize; }
    const CFailure& Failure() const { return m_failure; }

private:
    const CFailure& Unreadable(const std::string& strWhy);

    std::filesystem::path m_path;
    std::FILE* m_pFile = nullptr;
    int64_t m_nSize = 0;
    int64_t m_nRead = 0;
    std::unique_ptr<unsigned char[]> m_pWindow;
    size_t m_nCapacity = 0;
    size_t m_nLength = 0;
    CFailure m_failure;
};

}  // namespace tavrel
