#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "text/Failure.h"

namespace tavrel
{

// Reads a regular file front to back in pieces, so that a load never holds
// the file's bytes and its text at once. Bytes read but not yet used stay at
// the front of the window, and the next piece comes after them. While the
// caller works on one piece, the next is read on a second thread.
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

    const unsigned char* Data() const { return m_pWindow.get() + m_nStart; }
    size_t Length() const { return m_nLength; }
    // The window holds the last bytes of the file.
    bool AtEnd() const { return m_nRead == m_nSize; }
    const CFailure& Failure() const { return m_failure; }

private:
    // Room before a piece for the bytes the last one left.
    static constexpr size_t kHeadRoom = 4096;
    static constexpr size_t kBufferBytes = kHeadRoom + kPieceBytes;

    const CFailure& Unreadable(const std::string& strWhy);
    bool ReadFailed(int nErrno);
    void KeepRest(size_t nUsed);
    void EnsureRoom(size_t nBytes);
    bool TakeReadAhead(size_t nUsed);
    void StartReadAhead();
    void StopReadAhead();

    std::filesystem::path m_path;
    std::FILE* m_pFile = nullptr;
    int64_t m_nSize = 0;
    int64_t m_nRead = 0;
    std::unique_ptr<unsigned char[]> m_pWindow;
    size_t m_nCapacity = 0;
    size_t m_nStart = 0;
    size_t m_nLength = 0;
    CFailure m_failure;

    // The next piece, read at kHeadRoom by m_readAhead.
    std::unique_ptr<unsigned char[]> m_pAhead;
    std::thread m_readAhead;
    size_t m_nAheadWant = 0;
    size_t m_nAheadGot = 0;
    int m_nAheadErrno = 0;
};

}  // namespace tavrel
