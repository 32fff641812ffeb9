#include "text/TextFileStream.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "text/CodePage.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// Units handed to the writer at a time.
constexpr size_t kHandUnits = CTextSink::kFlushUnits;
}  // namespace

CTextFileStream::CTextFileStream(const std::filesystem::path& path, FileEncoding nEncoding, CodePage codePage)
    : m_path(path),
      m_file(path),
      m_nEncoding(nEncoding),
      m_legacyEncoder(codePage.m_nNumber)
{
    if (m_nEncoding == FileEncoding::Utf8Bom)
        m_file.Write("\xEF\xBB\xBF", 3);
}

CTextFileStream::~CTextFileStream()
{
    StopWriter();
}

CFailure CTextFileStream::Failure() const
{
    std::string strError;
    if (m_writer.joinable())
    {
        const std::lock_guard lock(m_mutex);
        strError = m_strWriterError;
    }
    else
    {
        strError = m_file.Error();
    }
    if (strError.empty())
        return {};
    return MakeFileFailure(FailureKind::OutputUnwritable, m_path, strError);
}

bool CTextFileStream::Finish()
{
    if (m_writer.joinable())
    {
        if (!m_strFill.empty())
            HandOver(m_strFill);
        const bool bWritten = StopWriter();
        if (m_pWriterException)
            std::rethrow_exception(std::exchange(m_pWriterException, nullptr));
        if (!bWritten)
            return false;
    }
    return m_file.Commit();
}

// Short outputs stay on the calling thread; the writer starts with the
// first long piece. Without a thread to be had, everything stays here.
bool CTextFileStream::UseWriter(size_t nUnits)
{
    if (!m_writer.joinable() && nUnits >= kHandUnits)
    {
        try
        {
            m_writer = std::thread(&CTextFileStream::RunWriter, this);
        }
        catch (const std::system_error&)
        {}
    }
    return m_writer.joinable();
}

bool CTextFileStream::WriteUnits(std::u16string_view text)
{
    if (!m_file.IsOpen())
        return false;
    if (!UseWriter(text.size() + m_strFill.size()))
        return Encode(text);
    // Copied in pieces that end between characters, so the writer's buffer
    // stays small however long the text.
    bool bOk = true;
    while (!text.empty() && bOk)
    {
        size_t nUnits = std::min(text.size(), kHandUnits - m_strFill.size());
        if (nUnits < text.size() && nUnits > 0 && IsHighSurrogate(text[nUnits - 1]))
            --nUnits;
        m_strFill.append(text.substr(0, nUnits));
        text.remove_prefix(nUnits);
        if (!text.empty() || m_strFill.size() >= kHandUnits)
            bOk = HandOver(m_strFill);
    }
    return bOk;
}

// A full pending buffer goes to the writer without a copy; a high
// surrogate left at its end stays for its pair. Short pieces are collected.
bool CTextFileStream::TakeUnits(std::u16string& text, size_t nUnits)
{
    const bool bFull = nUnits >= kHandUnits / 2 && nUnits + 1 >= text.size();
    if (!bFull || !m_file.IsOpen() || !m_strFill.empty() || !UseWriter(nUnits))
        return CTextSink::TakeUnits(text, nUnits);
    const std::u16string strRest = text.substr(nUnits);
    text.resize(nUnits);
    const bool bOk = HandOver(text);
    text.assign(strRest);
    return bOk;
}

// Waits until the writer is free and gives it the text; text gets the
// storage of the buffer written before. False once the writer failed.
bool CTextFileStream::HandOver(std::u16string& text)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return !m_bBusy; });
    if (m_pWriterException)
        std::rethrow_exception(std::exchange(m_pWriterException, nullptr));
    if (m_bFailed)
    {
        text.clear();
        return false;
    }
    m_strWork.swap(text);
    text.clear();
    m_bBusy = true;
    lock.unlock();
    m_cv.notify_all();
    return true;
}

// Lets the writer finish what it holds and joins it; false when a write
// failed. An exception on the writer is thrown again here.
bool CTextFileStream::StopWriter()
{
    if (!m_writer.joinable())
        return true;
    {
        const std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_cv.notify_all();
    m_writer.join();
    m_bStop = false;
    return !m_bFailed;
}

// Nothing may leave the thread: an exception (out of memory) goes to the
// caller with the next hand-over or the commit.
void CTextFileStream::RunWriter()
{
    std::unique_lock lock(m_mutex);
    for (;;)
    {
        m_cv.wait(lock, [this] { return m_bBusy || m_bStop; });
        if (!m_bBusy)
            return;
        lock.unlock();
        bool bOk = false;
        std::exception_ptr pException;
        try
        {
            bOk = Encode(m_strWork);
        }
        catch (...)
        {
            pException = std::current_exception();
        }
        m_strWork.clear();
        lock.lock();
        if (!bOk)
        {
            m_bFailed = true;
            m_strWriterError = m_file.Error();
            m_pWriterException = pException;
        }
        m_bBusy = false;
        m_cv.notify_all();
    }
}

// Encodes in slices, so the byte buffer stays small whatever the text's
// size; a surrogate pair is never split between two slices.
bool CTextFileStream::Encode(std::u16string_view text)
{
    bool bOk = true;
    for (size_t nAt = 0; nAt < text.size() && bOk;)
    {
        size_t nUnits = std::min(kFlushUnits, text.size() - nAt);
        if (nAt + nUnits < text.size() && IsHighSurrogate(text[nAt + nUnits - 1]))
            --nUnits;
        const std::u16string_view slice = text.substr(nAt, nUnits);
        if (m_nEncoding == FileEncoding::LegacyCode)
        {
            m_strLegacy.clear();
            m_legacyEncoder.Append(slice, m_strLegacy);
            bOk = m_file.Write(m_strLegacy.data(), m_strLegacy.size());
        }
        else
        {
            m_vecBytes.resize(nUnits * kMaxUtf8BytesPerUnit);
            const int64_t nBytes =
                EncodeUtf8(slice.data(), static_cast<int64_t>(nUnits), m_vecBytes.data(), CrEncoding::CrLf);
            bOk = m_file.Write(m_vecBytes.data(), static_cast<size_t>(nBytes));
        }
        nAt += nUnits;
    }
    return bOk;
}

}  // namespace tavrel
