#include "text/TextFileStream.h"

#include <algorithm>

#include "text/TextBuffer.h"
#include "text/Unicode.h"

namespace tavrel
{

CTextFileStream::CTextFileStream(const std::filesystem::path& path)
    : m_file(path),
      m_bOk(m_file.IsOpen())
{
    m_bOk = m_bOk && m_file.Write("\xEF\xBB\xBF", 3);
}

bool CTextFileStream::Flush()
{
    if (m_strPending.size() < kFlushUnits)
        return false;
    WritePending(false);
    return true;
}

bool CTextFileStream::Commit()
{
    WritePending(true);
    return m_bOk && m_file.Commit();
}

bool CTextFileStream::Write(std::u16string_view text)
{
    WritePending(true);
    Encode(text);
    return m_bOk;
}

// Encodes in slices, so the byte buffer stays small whatever the text's
// size; a surrogate pair is never split between two slices.
void CTextFileStream::Encode(std::u16string_view text)
{
    for (size_t nAt = 0; nAt < text.size() && m_bOk;)
    {
        size_t nUnits = std::min(kFlushUnits, text.size() - nAt);
        if (nAt + nUnits < text.size() && IsHighSurrogate(text[nAt + nUnits - 1]))
            --nUnits;
        m_vecBytes.resize(nUnits * kMaxUtf8BytesPerUnit);
        const int64_t nBytes =
            EncodeUtf8(text.data() + nAt, static_cast<int64_t>(nUnits), m_vecBytes.data(), CrEncoding::CrLf);
        m_bOk = m_file.Write(m_vecBytes.data(), static_cast<size_t>(nBytes));
        nAt += nUnits;
    }
}

// Unless this is the end, a last high surrogate waits for its pair.
void CTextFileStream::WritePending(bool bEnd)
{
    size_t nUnits = m_strPending.size();
    if (nUnits > 0 && !bEnd && IsHighSurrogate(m_strPending[nUnits - 1]))
        --nUnits;
    Encode(std::u16string_view(m_strPending).substr(0, nUnits));
    m_strPending.erase(0, nUnits);
}

}  // namespace tavrel
