#include "text/TextFileStream.h"

#include <algorithm>

#include "text/CodePage.h"
#include "text/Unicode.h"

namespace tavrel
{

CTextFileStream::CTextFileStream(const std::filesystem::path& path, FileEncoding nEncoding, CodePage codePage)
    : m_path(path),
      m_file(path),
      m_nEncoding(nEncoding),
      m_codePage(codePage)
{
    if (m_nEncoding == FileEncoding::Utf8Bom)
        m_file.Write("\xEF\xBB\xBF", 3);
}

CFailure CTextFileStream::Failure() const
{
    if (m_file.Error().empty())
        return {};
    return MakeFileFailure(FailureKind::OutputUnwritable, m_path, m_file.Error());
}

bool CTextFileStream::Finish()
{
    return m_file.Commit();
}

// Encodes in slices, so the byte buffer stays small whatever the text's
// size; a surrogate pair is never split between two slices.
bool CTextFileStream::WriteUnits(std::u16string_view text)
{
    bool bOk = m_file.IsOpen();
    for (size_t nAt = 0; nAt < text.size() && bOk;)
    {
        size_t nUnits = std::min(kFlushUnits, text.size() - nAt);
        if (nAt + nUnits < text.size() && IsHighSurrogate(text[nAt + nUnits - 1]))
            --nUnits;
        const std::u16string_view slice = text.substr(nAt, nUnits);
        if (m_nEncoding == FileEncoding::LegacyCode)
        {
            bOk = WriteLegacy(slice);
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

// Every CR byte of the legacy form is written as CR LF.
bool CTextFileStream::WriteLegacy(std::u16string_view text)
{
    const std::string bytes = EncodeCodePage(text, m_codePage.m_nNumber);
    m_strLegacy.clear();
    m_strLegacy.reserve(bytes.size() + bytes.size() / 4 + 16);
    for (size_t nAt = 0; nAt < bytes.size();)
    {
        const size_t nCr = bytes.find('\r', nAt);
        if (nCr == std::string::npos)
        {
            m_strLegacy.append(bytes, nAt);
            break;
        }
        m_strLegacy.append(bytes, nAt, nCr - nAt);
        m_strLegacy.append("\r\n", 2);
        nAt = nCr + 1;
    }
    return m_file.Write(m_strLegacy.data(), m_strLegacy.size());
}

}  // namespace tavrel
