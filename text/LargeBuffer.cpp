#include "text/LargeBuffer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tavrel
{

namespace
{
constexpr size_t kMinBytes = size_t{4} << 20;
constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
// How far the warmer runs ahead of the filler: pages faulted in but never
// filled are given back with the tail of the array.
constexpr size_t kWarmAhead = size_t{16} << 20;

#if defined(__linux__) && !defined(MADV_POPULATE_WRITE)
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older systems refuse it and the warmer stops
#endif

// Faults [pBegin, pBegin + nBytes) in for writing; false where the system cannot.
bool FaultIn(char* pBegin, size_t nBytes)
{
#if defined(__linux__)
    const auto nPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto nStart = reinterpret_cast<uintptr_t>(pBegin) & ~(nPage - 1);
    const auto nEnd = reinterpret_cast<uintptr_t>(pBegin + nBytes);
    return madvise(reinterpret_cast<void*>(nStart), nEnd - nStart, MADV_POPULATE_WRITE) == 0;
#else
    (void)pBegin;
    (void)nBytes;
    return false;
#endif
}
}  // namespace

void AdviseLargeBuffer(void* pData, size_t nBytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (pData == nullptr || nBytes < kMinBytes)
        return;
    // Only whole huge pages inside the array: the advice never reaches memory
    // that belongs to somebody else.
    const auto nBegin = (reinterpret_cast<uintptr_t>(pData) + kHugePage - 1) & ~(kHugePage - 1);
    const auto nEnd = (reinterpret_cast<uintptr_t>(pData) + nBytes) & ~(kHugePage - 1);
    if (nEnd > nBegin)
        madvise(reinterpret_cast<void*>(nBegin), nEnd - nBegin, MADV_HUGEPAGE);
#else
    (void)pData;
    (void)nBytes;
#endif
}

void ReleaseLargeBufferTail(void* pData, size_t nUsed, size_t nBytes)
{
#if defined(__linux__)
    if (pData == nullptr || nBytes < kMinBytes || nUsed >= nBytes)
        return;
    const long nPageSize = sysconf(_SC_PAGESIZE);
    if (nPageSize <= 0)
        return;
    const auto nPage = static_cast<uintptr_t>(nPageSize);
    const auto nBegin = (reinterpret_cast<uintptr_t>(pData) + nUsed + nPage - 1) & ~(nPage - 1);
    const auto nEnd = (reinterpret_cast<uintptr_t>(pData) + nBytes) & ~(nPage - 1);
    if (nEnd > nBegin)
        madvise(reinterpret_cast<void*>(nBegin), nEnd - nBegin, MADV_DONTNEED);
#else
    (void)pData;
    (void)nUsed;
    (void)nBytes;
#endif
}

CPageWarmer::CPageWarmer(void* pData, size_t nBytes)
    : m_pData(static_cast<char*>(pData)),
      m_nBytes(nBytes)
{
#if defined(__linux__)
    if (m_pData != nullptr && m_nBytes >= kMinBytes)
        m_thread = std::thread([this] { Run(); });
#endif
}

CPageWarmer::~CPageWarmer()
{
    m_bStop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

void CPageWarmer::Run()
{
    constexpr size_t kStep = kHugePage;
    for (size_t nAt = 0; nAt < m_nBytes && !m_bStop.load(std::memory_order_relaxed);)
    {
        if (nAt >= m_nFilled.load(std::memory_order_relaxed) + kWarmAhead)
        {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            continue;
        }
        const size_t nStep = std::min(kStep, m_nBytes - nAt);
        if (!FaultIn(m_pData + nAt, nStep))
            return;
        nAt += nStep;
    }
}

void ReserveLarge(std::u16string& s, size_t nUnits)
{
    s.reserve(nUnits);
    AdviseLargeBuffer(s.data(), s.capacity() * sizeof(char16_t));
}

void ReserveLarge(std::string& s, size_t nBytes)
{
    s.reserve(nBytes);
    AdviseLargeBuffer(s.data(), s.capacity());
}

}  // namespace tavrel
