#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/Failure.h"

namespace tavrel
{

// Where a job writes its output. Writers append to Pending() and call Flush
// now and then (so peak memory stays small however long the output), or
// hand whole pieces to Write; Commit writes the rest and makes the output
// final. After a failed write the rest is dropped and Failure says why.
class CTextSink
{
public:
    static constexpr size_t kFlushUnits = size_t{1} << 18;

    CTextSink() = default;
    virtual ~CTextSink() = default;
    CTextSink(const CTextSink&) = delete;
    CTextSink& operator=(const CTextSink&) = delete;

    std::u16string& Pending() { return m_strPending; }
    // Writes the pending text once there is enough of it; true when it did.
    bool Flush();
    // Writes text after the pending text; false once a write failed.
    bool Write(std::u16string_view text);
    // Writes the rest; true when every unit was written and the output is final.
    bool Commit();
    // Why a write or the commit failed (FailureKind::None while none did).
    virtual CFailure Failure() const = 0;

protected:
    // Writes whole characters: a surrogate pair is never split between calls.
    virtual bool WriteUnits(std::u16string_view text) = 0;
    // Writes the first nUnits of text (whole characters) and leaves the rest
    // in text; a sink may take the string's storage rather than copy it.
    virtual bool TakeUnits(std::u16string& text, size_t nUnits);
    virtual bool Finish() = 0;

private:
    void WritePending(bool bEnd);

    std::u16string m_strPending;
    bool m_bOk = true;
};

// A sink that keeps the text (CR line ends, as written): for tests and tools.
class CStringSink : public CTextSink
{
public:
    const std::u16string& Text() const { return m_strText; }
    bool IsCommitted() const { return m_bCommitted; }
    CFailure Failure() const override { return {}; }

protected:
    bool WriteUnits(std::u16string_view text) override
    {
        m_strText += text;
        return true;
    }
    bool Finish() override
    {
        m_bCommitted = true;
        return true;
    }

private:
    std::u16string m_strText;
    bool m_bCommitted = false;
};

}  // namespace tavrel
