#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace tavrel
{

// Large arrays are filled once from end to end. Where the platform allows,
// they are backed by huge pages, so that filling them does not cost one
// page fault per 4 KiB (on some machines that is most of a job's time).
// Small arrays are left alone. Never fails.
void AdviseLargeBuffer(void* pData, size_t nBytes);

// Gives the memory of [nUsed, nBytes) of such an array back to the system
// while the array stays allocated; those bytes must not be read again.
void ReleaseLargeBufferTail(void* pData, size_t nUsed, size_t nBytes);

// s.reserve(nUnits) plus the advice above.
void ReserveLarge(std::u16string& s, size_t nUnits);
void ReserveLarge(std::string& s, size_t nBytes);

// Faults the pages of a large array in on a second thread, a little ahead of
// the thread that fills it front to back, so that the system's zeroing of
// fresh pages runs beside the work instead of inside it. Only asks the system
// to fault pages in (it never touches the array), and does nothing where that
// cannot be asked or the array is small.
class CPageWarmer
{
public:
    CPageWarmer(void* pData, size_t nBytes);
    ~CPageWarmer();
    CPageWarmer(const CPageWarmer&) = delete;
    CPageWarmer& operator=(const CPageWarmer&) = delete;

    // The filler has filled the first nBytes bytes.
    void Advance(size_t nBytes) { m_nFilled.store(nBytes, std::memory_order_relaxed); }

private:
    void Run();

    char* m_pData;
    size_t m_nBytes;
    std::atomic<size_t> m_nFilled{0};
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

}  // namespace tavrel
