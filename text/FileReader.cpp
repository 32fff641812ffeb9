#include "text/FileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace tavrel
{

namespace
{
constexpr int64_t kMaxFileBytes = int64_t{1} << 31;  // 2 GiB and more never load
}  // namespace

CFileReader::CFileReader(std::filesystem::path path)
    : m_path(std::move(path))
{}

CFileReader::~CFileReader()
{
    if (m_pFile != nullptr)
        std::fclose(m_pFile);
}

const CFailure& CFileReader::Unreadable(const std::string& strWhy)
{
    m_failure = MakeFileFailure(FailureKind::InputUnreadable, m_path, strWhy);
    return m_failure;
}

CFailure CFileReader::Open()
{
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(m_path, ec);
    if (!std::filesystem::exists(status))
        return Unreadable(ec && ec != std::errc::no_such_file_or_directory ? ec.message() : "missing");
    if (!std::filesystem::is_regular_file(status))
        return Unreadable("not a regular file");
    const uintmax_t nSize = std::filesystem::file_size(m_path, ec);
    if (ec)
        return Unreadable(ec.message());
    if (nSize >= static_cast<uintmax_t>(kMaxFileBytes))
        return MakeFileFailure(FailureKind::InputTooLarge, m_path, "2 GiB or more");
    m_nSize = static_cast<int64_t>(nSize);
    if (m_nSize < 2)
        return Unreadable("shorter than 2 bytes");
    errno = 0;
#ifdef _WIN32
    m_pFile = _wfopen(m_path.c_str(), L"rb");
#else
    m_pFile = std::fopen(m_path.c_str(), "rb");
#endif
    if (m_pFile == nullptr)
        return Unreadable(SystemErrorText(errno != 0 ? errno : EIO));
    // Pieces go straight into the window, not through the stream's own buffer.
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    return {};
}

bool CFileReader::ReadMore(size_t nUsed)
{
    nUsed = std::min(nUsed, m_nLength);
    if (nUsed > 0)
        std::memmove(m_pWindow.get(), m_pWindow.get() + nUsed, m_nLength - nUsed);
    m_nLength -= nUsed;
    if (m_nLength + kPieceBytes > m_nCapacity)
    {
        // Only a legacy line longer than a piece keeps more than a few bytes; the window doubles, so the bytes
        // such a line keeps are read again only a few times.
        const size_t nCapacity = std::max(m_nCapacity * 2, m_nLength + kPieceBytes);
        std::unique_ptr<unsigned char[]> pWindow(new unsigned char[nCapacity]);
        if (m_nLength > 0)
            std::memcpy(pWindow.get(), m_pWindow.get(), m_nLength);
        m_pWindow = std::move(pWindow);
        m_nCapacity = nCapacity;
    }
    const size_t nWant = static_cast<size_t>(std::min<int64_t>(m_nCapacity - m_nLength, m_nSize - m_nRead));
    errno = 0;
    const size_t nGot = nWant > 0 ? std::fread(m_pWindow.get() + m_nLength, 1, nWant, m_pFile) : 0;
    if (nGot != nWant)
    {
        Unreadable(errno != 0 ? SystemErrorText(errno) : "shorter than its size said");
        return false;
    }
    m_nLength += nGot;
    m_nRead += static_cast<int64_t>(nGot);
    return true;
}

bool CFileReader::Rewind()
{
    m_nLength = 0;
    m_nRead = 0;
    if (std::fseek(m_pFile, 0, SEEK_SET) == 0)
        return true;
    Unreadable(SystemErrorText(errno != 0 ? errno : EIO));
    return false;
}

}  // namespace tavrel
