#include "text/TextSink.h"

#include "text/Unicode.h"

namespace tavrel
{

bool CTextSink::Flush()
{
    if (m_strPending.size() < kFlushUnits)
        return false;
    WritePending(false);
    return true;
}

bool CTextSink::Write(std::u16string_view text)
{
    WritePending(false);
    if (!m_strPending.empty())
    {
        // A high surrogate left from the last piece meets its pair.
        if (text.empty())
            return m_bOk;
        m_strPending.push_back(text.front());
        text.remove_prefix(1);
        WritePending(!text.empty());
        if (text.empty())
            return m_bOk;
    }
    // A high surrogate at the end of this piece waits for the next one.
    size_t nUnits = text.size();
    if (nUnits > 0 && IsHighSurrogate(text[nUnits - 1]))
        --nUnits;
    if (nUnits > 0)
        m_bOk = m_bOk && WriteUnits(text.substr(0, nUnits));
    m_strPending.assign(text.substr(nUnits));
    return m_bOk;
}

bool CTextSink::Commit()
{
    WritePending(true);
    m_bOk = m_bOk && Finish();
    return m_bOk;
}

// Unless this is the end, a last high surrogate waits for its pair.
void CTextSink::WritePending(bool bEnd)
{
    size_t nUnits = m_strPending.size();
    if (nUnits > 0 && !bEnd && IsHighSurrogate(m_strPending[nUnits - 1]))
        --nUnits;
    if (nUnits == 0)
        return;
    if (m_bOk)
        m_bOk = TakeUnits(m_strPending, nUnits);
    else
        m_strPending.erase(0, nUnits);
}

bool CTextSink::TakeUnits(std::u16string& text, size_t nUnits)
{
    const bool bOk = WriteUnits(std::u16string_view(text).substr(0, nUnits));
    text.erase(0, nUnits);
    return bOk;
}

}  // namespace tavrel
