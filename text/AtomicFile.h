#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tavrel
{

// Writes a file through a temporary file in the target's folder, renamed
// over the target only by Commit after every byte was written; so a failed
// write never leaves a truncated or changed file behind.
class CAtomicFile
{
public:
    explicit CAtomicFile(const std::filesystem::path& target);
    ~CAtomicFile();  // discards the temporary file unless committed
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    bool IsOpen() const;
    bool Write(const void* pData, size_t nBytes);  // false once any write failed
    bool Commit();                                 // flush, close, rename
    // The system's text of the first failure; empty while none happened.
    const std::string& Error() const { return m_strError; }

private:
    std::filesystem::path m_pathTarget;
    std::filesystem::path m_pathTemp;
    void* m_pFile;  // FILE*
    bool m_bFailed;
    std::string m_strError;

    void Fail(const std::string& strError);
};

}  // namespace tavrel
