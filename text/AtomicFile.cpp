#include "text/AtomicFile.h"

#include "text/Failure.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavrel
{

namespace fs = std::filesystem;

namespace
{
std::atomic<unsigned> g_nTempCounter{0};

// A link is followed to the file it names, so that saving through a link
// replaces that file and keeps the link.
fs::path ResolveLinks(fs::path path)
{
    std::error_code ec;
    for (int nDepth = 0; nDepth < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++nDepth)
    {
        const fs::path link = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path;
}

// A unit that continues a character: a UTF-8 continuation byte, or the low
// half of a UTF-16 surrogate pair.
template <typename TUnit>
bool IsTrailingUnit(TUnit c)
{
    if constexpr (sizeof(TUnit) == 1)
        return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    else
        return c >= 0xDC00 && c <= 0xDFFF;
}

// The target's name cut short, never inside a character: a name near the
// file system's limit (255 bytes) must not push the temporary name past it.
fs::path::string_type ShortName(const fs::path& target)
{
    constexpr size_t kMaxKept = 64;
    fs::path::string_type name = target.filename().native();
    if (name.size() > kMaxKept)
    {
        size_t n = kMaxKept;
        while (n > 0 && IsTrailingUnit(name[n]))
            --n;
        name.resize(n);
    }
    return name;
}

fs::path TempName(const fs::path& target, unsigned nAttempt)
{
#ifdef _WIN32
    const unsigned long nProcess = GetCurrentProcessId();
#else
    const unsigned long nProcess = static_cast<unsigned long>(getpid());
#endif
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp%lu-%u-%u", nProcess, g_nTempCounter.fetch_add(1), nAttempt);
    fs::path name = ShortName(target);
    name += suffix;
    return target.parent_path() / name;
}

#ifdef _WIN32
FILE* CreateExclusive(const fs::path& path)
{
    const int nFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT;
    const int fd = _wopen(path.c_str(), nFlags, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    FILE* pFile = _fdopen(fd, "wb");
    if (pFile == nullptr)
        _close(fd);
    return pFile;
}

FILE* OpenDirect(const fs::path& path)
{
    return _wfopen(path.c_str(), L"wb");
}

// The attributes go along in ReplaceTarget.
void CopyPermissions(const fs::path&, FILE*) {}

// The old file's attributes (hidden, archive...) go to the new one, read-only aside: a read-only target is not
// replaced. A target that another program holds open without sharing deletion cannot be replaced either: the move
// fails and the target stays as it was. MoveFileExW rather than ReplaceFileW: under Wine, ReplaceFileW drops the
// attributes and leaves its backup file behind when it fails.
std::string ReplaceTarget(const fs::path& temp, const fs::path& target)
{
    const DWORD nAttributes = GetFileAttributesW(target.c_str());
    if (nAttributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(temp.c_str(), nAttributes & ~FILE_ATTRIBUTE_READONLY);
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return std::system_category().message(static_cast<int>(GetLastError()));
}
#else
FILE* CreateExclusive(const fs::path& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    FILE* pFile = fdopen(fd, "wb");
    if (pFile == nullptr)
        close(fd);
    return pFile;
}

// Without O_NONBLOCK a pipe that nobody reads would block the open forever;
// so it fails instead, and writes block as usual once it is open.
FILE* OpenDirect(const fs::path& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    const int nFlags = fcntl(fd, F_GETFL);
    FILE* pFile = nFlags < 0 || fcntl(fd, F_SETFL, nFlags & ~O_NONBLOCK) < 0 ? nullptr : fdopen(fd, "wb");
    if (pFile == nullptr)
        close(fd);
    return pFile;
}

void CopyPermissions(const fs::path& from, FILE* pTo)
{
    struct stat st;
    if (stat(from.c_str(), &st) == 0)
        fchmod(fileno(pTo), st.st_mode & 07777);
}

// Empty on success, else the system's reason.
std::string ReplaceTarget(const fs::path& temp, const fs::path& target)
{
    std::error_code ec;
    fs::rename(temp, target, ec);
    return ec ? ec.message() : std::string();
}
#endif
}  // namespace

CAtomicFile::CAtomicFile(const fs::path& target)
    : m_pathTarget(ResolveLinks(target)),
      m_pFile(nullptr),
      m_bFailed(false)
{
    std::error_code ec;
    const fs::file_status status = fs::status(m_pathTarget, ec);
    if (fs::is_directory(status))
    {
        Fail(SystemErrorText(EISDIR));
        return;
    }
    if (fs::exists(status) && !fs::is_regular_file(status))
    {
        // A device or a pipe: written in place, never renamed over.
        m_pFile = OpenDirect(m_pathTarget);
        if (m_pFile == nullptr)
            Fail(SystemErrorText(errno));
        return;
    }
    for (unsigned nAttempt = 0; nAttempt < 100 && m_pFile == nullptr; ++nAttempt)
    {
        m_pathTemp = TempName(m_pathTarget, nAttempt);
        m_pFile = CreateExclusive(m_pathTemp);
        if (m_pFile == nullptr && errno != EEXIST)
            break;
    }
    if (m_pFile == nullptr)
    {
        Fail(SystemErrorText(errno));
        m_pathTemp.clear();
        return;
    }
    if (fs::is_regular_file(status))
        CopyPermissions(m_pathTarget, static_cast<FILE*>(m_pFile));
}

CAtomicFile::~CAtomicFile()
{
    if (m_pFile != nullptr)
        std::fclose(static_cast<FILE*>(m_pFile));
    if (!m_pathTemp.empty())
    {
        std::error_code ec;
        fs::remove(m_pathTemp, ec);
    }
}

bool CAtomicFile::IsOpen() const
{
    return m_pFile != nullptr;
}

bool CAtomicFile::Write(const void* pData, size_t nBytes)
{
    if (m_pFile == nullptr || m_bFailed)
        return false;
    errno = 0;
    if (nBytes > 0 && std::fwrite(pData, 1, nBytes, static_cast<FILE*>(m_pFile)) != nBytes)
        Fail(SystemErrorText(errno != 0 ? errno : EIO));
    return !m_bFailed;
}

void CAtomicFile::Fail(const std::string& strError)
{
    m_bFailed = true;
    if (m_strError.empty())
        m_strError = strError;
}

bool CAtomicFile::Commit()
{
    if (m_pFile == nullptr)
        return false;
    FILE* pFile = static_cast<FILE*>(m_pFile);
    m_pFile = nullptr;
    errno = 0;
    if (std::fflush(pFile) != 0)
        Fail(SystemErrorText(errno != 0 ? errno : EIO));
    if (std::fclose(pFile) != 0)
        Fail(SystemErrorText(errno != 0 ? errno : EIO));
    if (m_pathTemp.empty())
        return !m_bFailed;
    if (m_bFailed)
        return false;  // the destructor removes the temporary file
    if (const std::string strError = ReplaceTarget(m_pathTemp, m_pathTarget); !strError.empty())
    {
        Fail(strError);
        return false;
    }
    m_pathTemp.clear();
    return true;
}

}  // namespace tavrel
