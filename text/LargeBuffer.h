#pragma once

#include <cstddef>
#include <string>

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

}  // namespace tavrel
