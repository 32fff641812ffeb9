#include "convert/TextFileStream.h"

#include <algorithm>

#include "text/TextBuffer.h"

namespace
{
bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
}  // namespace

CTextFileStream::CTextFileStream(const std::filesystem::path& path) : m_file(path), m_bOk(m_file.IsOpen())
{
    m_bOk = m_bOk && m_file.Write("\xEF\xBB\xBF", 3);
    m_strPending.reserve(kFlushUnits * 2);
}

bool CTextFileStream::Flush()
{
    if (m_strPending.size() < kFlushUnits)
        return false;
    Write(false);
    return true;
}

bool CTextFileStream::Commit()
{
    Write(true);
    return m_bOk && m_file.Commit();
}

// Encodes in slices, so the byte buffer stays small whatever was appended;
// a surrogate pair is never split between two slices.
void CTextFileStream::Write(bool bEnd)
{
    size_t nAt = 0;
    const size_t nTotal = m_strPending.size();
    while (nAt < nTotal && m_bOk)
    {
        size_t nUnits = std::min(kFlushUnits, nTotal - nAt);
        if (IsHighSurrogate(m_strPending[nAt + nUnits - 1]) && (nAt + nUnits < nTotal || !bEnd))
            --nUnits;
        if (nUnits == 0)
            break;
        m_vecBytes.resize(nUnits * CTextBuffer::kMaxUtf8BytesPerUnit);
        const int64_t nBytes =
            CTextBuffer::EncodeUtf8(m_strPending.data() + nAt, static_cast<int64_t>(nUnits), m_vecBytes.data());
        m_bOk = m_file.Write(m_vecBytes.data(), static_cast<size_t>(nBytes));
        nAt += nUnits;
    }
    m_strPending.erase(0, m_bOk ? nAt : nTotal);
}
