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
    StopReadAhead();
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

bool CFileReader::ReadFailed(int nErrno)
{
    Unreadable(nErrno != 0 ? SystemErrorText(nErrno) : "shorter than its size said");
    return false;
}

// Moves the bytes not yet used to the front of the window.
void CFileReader::KeepRest(size_t nUsed)
{
    nUsed = std::min(nUsed, m_nLength);
    m_nLength -= nUsed;
    if (m_nLength > 0)
        std::memmove(m_pWindow.get(), Data() + nUsed, m_nLength);
    m_nStart = 0;
}

void CFileReader::EnsureRoom(size_t nBytes)
{
    if (nBytes <= m_nCapacity)
        return;
    // Only a legacy line longer than a piece keeps more than a few bytes; the window doubles, so the bytes
    // such a line keeps are read again only a few times.
    const size_t nCapacity = std::max({m_nCapacity * 2, nBytes, kBufferBytes});
    std::unique_ptr<unsigned char[]> pWindow(new unsigned char[nCapacity]);
    if (m_nLength > 0)
        std::memcpy(pWindow.get(), Data(), m_nLength);
    m_pWindow = std::move(pWindow);
    m_nCapacity = nCapacity;
    m_nStart = 0;
}

bool CFileReader::ReadMore(size_t nUsed)
{
    if (m_readAhead.joinable())
    {
        if (TakeReadAhead(nUsed))
            return true;
        if (m_failure.IsFailure())
            return false;
    }
    else
    {
        KeepRest(nUsed);
        EnsureRoom(m_nLength + kPieceBytes);
    }
    const size_t nWant = static_cast<size_t>(std::min<int64_t>(m_nCapacity - m_nLength, m_nSize - m_nRead));
    errno = 0;
    const size_t nGot = nWant > 0 ? std::fread(m_pWindow.get() + m_nLength, 1, nWant, m_pFile) : 0;
    if (nGot != nWant)
        return ReadFailed(errno);
    m_nLength += nGot;
    m_nRead += static_cast<int64_t>(nGot);
    StartReadAhead();
    return true;
}

// The piece read ahead becomes the window, the rest of the last one in front
// of it; true when that is all (the usual case). A rest too long for the room
// goes to the front of the window with the piece after it, and the caller
// fills the window up.
bool CFileReader::TakeReadAhead(size_t nUsed)
{
    m_readAhead.join();
    if (m_nAheadGot != m_nAheadWant)
        return ReadFailed(m_nAheadErrno);
    nUsed = std::min(nUsed, m_nLength);
    const size_t nRest = m_nLength - nUsed;
    if (nRest <= kHeadRoom && m_nCapacity == kBufferBytes)
    {
        std::memcpy(m_pAhead.get() + kHeadRoom - nRest, Data() + nUsed, nRest);
        std::swap(m_pWindow, m_pAhead);
        m_nStart = kHeadRoom - nRest;
        m_nLength = nRest + m_nAheadGot;
        m_nRead += static_cast<int64_t>(m_nAheadGot);
        StartReadAhead();
        return true;
    }
    KeepRest(nUsed);
    EnsureRoom(m_nLength + m_nAheadGot + kPieceBytes);
    std::memcpy(m_pWindow.get() + m_nLength, m_pAhead.get() + kHeadRoom, m_nAheadGot);
    m_nLength += m_nAheadGot;
    m_nRead += static_cast<int64_t>(m_nAheadGot);
    return false;
}

// Without a thread to be had, the next piece is read when it is asked for.
void CFileReader::StartReadAhead()
{
    if (m_nRead == m_nSize)
        return;
    if (!m_pAhead)
        m_pAhead.reset(new unsigned char[kBufferBytes]);
    m_nAheadWant = static_cast<size_t>(std::min<int64_t>(kPieceBytes, m_nSize - m_nRead));
    try
    {
        m_readAhead = std::thread([this] {
            errno = 0;
            m_nAheadGot = std::fread(m_pAhead.get() + kHeadRoom, 1, m_nAheadWant, m_pFile);
            m_nAheadErrno = errno;
        });
    }
    catch (const std::system_error&)
    {}
}

void CFileReader::StopReadAhead()
{
    if (m_readAhead.joinable())
        m_readAhead.join();
}

bool CFileReader::Rewind()
{
    StopReadAhead();
    m_nStart = 0;
    m_nLength = 0;
    m_nRead = 0;
    if (std::fseek(m_pFile, 0, SEEK_SET) == 0)
        return true;
    Unreadable(SystemErrorText(errno != 0 ? errno : EIO));
    return false;
}

}  // namespace tavrel
