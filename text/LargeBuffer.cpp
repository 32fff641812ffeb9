#include "text/LargeBuffer.h"

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
