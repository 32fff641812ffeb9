#include "text/TextBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>

#include "text/CodePage.h"
#include "text/LargeBuffer.h"
#include "text/TextFileStream.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
constexpr int64_t kMaxFileBytes = int64_t{1} << 31;  // 2 GiB and more never load

uint64_t LoadWord(const unsigned char* p)
{
    uint64_t n;
    std::memcpy(&n, p, sizeof n);
    return n;
}

// The eight bytes at p are all below 0x80.
bool IsAsciiWord(const unsigned char* p)
{
    return (LoadWord(p) & 0x8080808080808080ull) == 0;
}

bool HasZeroByte(uint64_t n)
{
    return ((n - 0x0101010101010101ull) & ~n & 0x8080808080808080ull) != 0;
}

// Eight ASCII bytes without NUL, CR or LF: each is its own unit.
bool IsPlainAsciiWord(const unsigned char* p)
{
    const uint64_t n = LoadWord(p);
    return (n & 0x8080808080808080ull) == 0 && !HasZeroByte(n) && !HasZeroByte(n ^ 0x0D0D0D0D0D0D0D0Dull) &&
           !HasZeroByte(n ^ 0x0A0A0A0A0A0A0A0Aull);
}

char16_t* NewUnits(int64_t nUnits)
{
    char16_t* pOut = new char16_t[static_cast<size_t>(nUnits) + 1];
    AdviseLargeBuffer(pOut, static_cast<size_t>(nUnits) * sizeof(char16_t));
    return pOut;
}

// Reads the whole regular file into the upper half of a new array of about
// nBytes units, followed by two zero bytes, so that it can be decoded in
// place: no decoder makes more units than it has read bytes, so its writes
// stay below the bytes still to read. A failure says why the file cannot be
// read.
CFailure ReadWholeFile(const std::filesystem::path& path, std::unique_ptr<char16_t[]>& area, int64_t& nAreaUnits,
                       const unsigned char*& pBytes, int64_t& nBytes)
{
    auto Unreadable = [&](const std::string& strWhy) {
        return MakeFileFailure(FailureKind::InputUnreadable, path, strWhy);
    };
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return Unreadable(ec && ec != std::errc::no_such_file_or_directory ? ec.message() : "missing");
    if (!std::filesystem::is_regular_file(status))
        return Unreadable("not a regular file");
    const uintmax_t nSize = std::filesystem::file_size(path, ec);
    if (ec)
        return Unreadable(ec.message());
    if (nSize >= static_cast<uintmax_t>(kMaxFileBytes))
        return MakeFileFailure(FailureKind::InputTooLarge, path, "2 GiB or more");
    nBytes = static_cast<int64_t>(nSize);
    if (nBytes < 2)
        return Unreadable("shorter than 2 bytes");
    errno = 0;
#ifdef _WIN32
    FILE* pFile = _wfopen(path.c_str(), L"rb");
#else
    FILE* pFile = std::fopen(path.c_str(), "rb");
#endif
    if (pFile == nullptr)
        return Unreadable(SystemErrorText(errno != 0 ? errno : EIO));
    // Room for a cut-off four-byte form at the end and the NUL.
    nAreaUnits = nBytes + 3;
    area.reset(NewUnits(nAreaUnits - 1));
    unsigned char* pTop =
        reinterpret_cast<unsigned char*>(area.get()) + nAreaUnits * int64_t{sizeof(char16_t)} - (nBytes + 2);
    errno = 0;
    const size_t nRead = std::fread(pTop, 1, static_cast<size_t>(nBytes), pFile);
    const int nReadErrno = errno;
    std::fclose(pFile);
    if (nRead != static_cast<size_t>(nBytes))
        return Unreadable(nReadErrno != 0 ? SystemErrorText(nReadErrno) : "shorter than its size said");
    pTop[nBytes] = 0;
    pTop[nBytes + 1] = 0;
    pBytes = pTop;
    return {};
}

// CR LF and lone LF become CR, in place, up to the first NUL; returns the new length.
int64_t NormaliseLineEnds(char16_t* pText, int64_t nUnits)
{
    int64_t w = 0;
    for (int64_t r = 0; r < nUnits && pText[r] != 0; ++r)
    {
        const char16_t c = pText[r];
        if (c == kLf)
        {
            pText[w++] = kCr;
        }
        else
        {
            pText[w++] = c;
            if (c == kCr && r + 1 < nUnits && pText[r + 1] == kLf)
                ++r;
        }
    }
    pText[w] = 0;
    return w;
}

// One non-ASCII sequence at i (continuation bytes taken as they come, those
// missing at the end counted as zero) into units[]; returns how many units
// (0 to 2) and sets nNext to where the next sequence starts.
int DecodeUtf8Sequence(const unsigned char* pBytes, int64_t nBytes, int64_t i, char16_t units[2], int64_t& nNext)
{
    auto Next = [&](int64_t k) -> uint32_t { return k < nBytes ? (pBytes[k] & 0x3Fu) : 0u; };
    const uint32_t b = pBytes[i];
    if (b >= 0xC0 && b <= 0xDF)
    {
        units[0] = static_cast<char16_t>(((b & 0x1F) << 6) | Next(i + 1));
        nNext = i + 2;
        return 1;
    }
    if (b >= 0xE0 && b <= 0xEF)
    {
        units[0] = static_cast<char16_t>(((b & 0x0F) << 12) | (Next(i + 1) << 6) | Next(i + 2));
        nNext = i + 3;
        return 1;
    }
    nNext = i + 1;
    if (b < 0xF0 || b > 0xF7)
        return 0;  // a stray continuation byte or F8-FF yields nothing
    nNext = i + 4;
    const uint32_t cp = ((b & 0x07) << 18) | (Next(i + 1) << 12) | (Next(i + 2) << 6) | Next(i + 3);
    if (cp > 0x10FFFF)
    {
        units[0] = kReplacement;
        return 1;
    }
    if (cp < 0x10000)
    {
        units[0] = static_cast<char16_t>(cp);
        return 1;
    }
    units[0] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    return 2;
}

// Takes decoded units and writes them with Load's line-end normalisation:
// CR LF and lone LF become CR, and a NUL unit ends the text (also one that
// an overlong form decodes to).
class CUnitWriter
{
public:
    explicit CUnitWriter(char16_t* pOut)
        : m_pOut(pOut)
    {}

    bool Put(char16_t c)
    {
        if (c == 0)
            return false;
        if (c == kLf && m_bAfterCr)
        {
            m_bAfterCr = false;
            return true;
        }
        m_bAfterCr = c == kCr;
        m_pOut[m_nCount++] = c == kLf ? kCr : c;
        return true;
    }
    // Eight units that are neither NUL, CR nor LF.
    void PutPlain(const unsigned char block[8])
    {
        for (int k = 0; k < 8; ++k)
            m_pOut[m_nCount + k] = block[k];
        m_nCount += 8;
        m_bAfterCr = false;
    }
    int64_t Finish()
    {
        m_pOut[m_nCount] = 0;
        return m_nCount;
    }

private:
    char16_t* m_pOut;
    int64_t m_nCount = 0;
    bool m_bAfterCr = false;
};

// Where a piece of legacy bytes may end: after the last CR or LF before
// nEnd (never part of a double-byte character), else after the first one
// from nEnd on, else at the end.
int64_t PieceEnd(const unsigned char* pBytes, int64_t nAt, int64_t nEnd, int64_t nBytes)
{
    for (int64_t i = nEnd; i > nAt; --i)
        if (pBytes[i - 1] == '\n' || pBytes[i - 1] == '\r')
            return i;
    for (int64_t i = nEnd; i < nBytes; ++i)
        if (pBytes[i] == '\n' || pBytes[i] == '\r')
            return i + 1;
    return nBytes;
}

// The legacy code page's units of the bytes, written to pOut piece by piece
// so that the whole text is never held twice: the bytes lie in the same area
// above pOut, and a piece gives no more units than it has bytes, so the text
// never overtakes the bytes still to be read. -1 when a piece would.
int64_t DecodeAnsiInto(const unsigned char* pBytes, int64_t nBytes, int nCodePage, char16_t* pOut)
{
    if (const void* pZero = std::memchr(pBytes, 0, static_cast<size_t>(nBytes)))
        nBytes = static_cast<const unsigned char*>(pZero) - pBytes;
    constexpr int64_t kPieceBytes = int64_t{1} << 20;
    int64_t nUnits = 0;
    for (int64_t nAt = 0; nAt < nBytes;)
    {
        const int64_t nEnd = PieceEnd(pBytes, nAt, std::min(nBytes, nAt + kPieceBytes), nBytes);
        const std::u16string piece =
            DecodeCodePage(reinterpret_cast<const char*>(pBytes + nAt), static_cast<size_t>(nEnd - nAt), nCodePage);
        const auto* pTextEnd = reinterpret_cast<const unsigned char*>(pOut + nUnits + piece.size() + 1);
        if (pTextEnd > pBytes + nEnd)
            return -1;
        std::memcpy(pOut + nUnits, piece.data(), piece.size() * sizeof(char16_t));
        nUnits += static_cast<int64_t>(piece.size());
        nAt = nEnd;
    }
    pOut[nUnits] = 0;
    return nUnits;
}

// The UTF-16 units of the bytes in either byte order; a byte missing at an
// odd end reads as zero (the bytes are followed by a zero byte). May write
// over the bytes it has read. Returns the unit count.
int64_t DecodeUtf16Into(const unsigned char* pBytes, int64_t nBytes, bool bBigEndian, char16_t* pOut)
{
    const int nHigh = bBigEndian ? 0 : 1;
    const int64_t nUnits = (nBytes + 1) / 2;
    for (int64_t i = 0; i < nUnits; ++i)
        pOut[i] = static_cast<char16_t>((pBytes[2 * i + nHigh] << 8) | pBytes[2 * i + 1 - nHigh]);
    pOut[nUnits] = 0;
    return nUnits;
}

// Decodes up to the first NUL and normalises line ends on the way, saving
// Load a pass. May write over the bytes it has read: every sequence is read
// whole before its units are written. Returns the unit count.
int64_t DecodeUtf8Into(const unsigned char* pBytes, int64_t nBytes, char16_t* pOut)
{
    CUnitWriter out(pOut);
    for (int64_t i = 0; i < nBytes;)
    {
        const uint32_t b = pBytes[i];
        if (b < 0x80)
        {
            if (i + 8 <= nBytes && IsPlainAsciiWord(pBytes + i))
            {
                unsigned char block[8];
                std::memcpy(block, pBytes + i, sizeof block);
                out.PutPlain(block);
                i += 8;
                continue;
            }
            if (!out.Put(static_cast<char16_t>(b)))
                break;
            ++i;
            continue;
        }
        if (b >= 0xE0 && b <= 0xEF && i + 3 <= nBytes)
        {
            // The common case (Hangul) without the general decoder.
            if (!out.Put(static_cast<char16_t>(((b & 0x0F) << 12) | ((pBytes[i + 1] & 0x3Fu) << 6) |
                                               (pBytes[i + 2] & 0x3Fu))))
                break;
            i += 3;
            continue;
        }
        char16_t units[2];
        const int nUnits = DecodeUtf8Sequence(pBytes, nBytes, i, units, i);
        if ((nUnits > 0 && !out.Put(units[0])) || (nUnits > 1 && !out.Put(units[1])))
            break;
    }
    return out.Finish();
}

char16_t* CopyUnits(const char16_t* pText, int64_t nUnits)
{
    char16_t* pOut = NewUnits(nUnits);
    std::memcpy(pOut, pText, static_cast<size_t>(nUnits) * sizeof(char16_t));
    pOut[nUnits] = 0;
    return pOut;
}

}  // namespace

CTextBuffer::CTextBuffer()
    : m_nLength(0),
      m_pText(nullptr)
{}

CTextBuffer::~CTextBuffer()
{
    Free();
}

void CTextBuffer::Free()
{
    delete[] m_pText;
    m_pText = nullptr;
    m_nLength = 0;
}

int CTextBuffer::Load(const std::filesystem::path& path, CodePage codePage, CFailure* pFailure)
{
    Free();
    CFailure failure;
    try
    {
        std::unique_ptr<char16_t[]> units;
        const unsigned char* pBytes = nullptr;
        int64_t nBytes = 0;
        int64_t nAreaUnits = 0;
        failure = ReadWholeFile(path, units, nAreaUnits, pBytes, nBytes);
        if (failure.IsFailure())
        {
            if (pFailure)
                *pFailure = failure;
            return 0;
        }

        int64_t nUnits = 0;
        const TextEncoding encoding = DetectEncoding(pBytes, nBytes);
        switch (encoding)
        {
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
        {
            const bool bBigEndian = encoding == TextEncoding::Utf16Be;
            nUnits = NormaliseLineEnds(units.get(), DecodeUtf16Into(pBytes + 2, nBytes - 2, bBigEndian, units.get()));
            break;
        }
        case TextEncoding::Utf8:
            nUnits = DecodeUtf8Into(pBytes, nBytes, units.get());
            break;
        case TextEncoding::Utf8Bom:
            nUnits = DecodeUtf8Into(pBytes + 3, nBytes - 3, units.get());
            break;
        case TextEncoding::Ansi:
        {
            nUnits = DecodeAnsiInto(pBytes, nBytes, codePage.m_nNumber, units.get());
            if (nUnits >= 0)
            {
                nUnits = NormaliseLineEnds(units.get(), nUnits);
                break;
            }
            // A code page whose bytes give more units than that: decoded whole, then copied.
            const std::u16string decoded =
                DecodeCodePage(reinterpret_cast<const char*>(pBytes), static_cast<size_t>(nBytes), codePage.m_nNumber);
            units.reset();
            nAreaUnits = static_cast<int64_t>(decoded.size()) + 1;
            units.reset(CopyUnits(decoded.data(), nAreaUnits - 1));
            nUnits = NormaliseLineEnds(units.get(), nAreaUnits - 1);
            break;
        }
        }
        if (nUnits > INT32_MAX)
        {
            if (pFailure)
                *pFailure = MakeFileFailure(FailureKind::InputTooLarge, path, "more than 2^31 - 1 characters");
            return 0;
        }
        // The file's bytes above the text are no longer needed.
        ReleaseLargeBufferTail(units.get(), static_cast<size_t>(nUnits + 1) * sizeof(char16_t),
                               static_cast<size_t>(nAreaUnits) * sizeof(char16_t));
        m_pText = units.release();
        m_nLength = static_cast<int32_t>(nUnits);
        return 1;
    }
    catch (const std::bad_alloc&)
    {
        Free();
        if (pFailure)
            *pFailure = MakeFailure(FailureKind::OutOfMemory);
        return 0;
    }
}

bool CTextBuffer::Save(const std::filesystem::path& path) const
{
    return SaveText(path, View());
}

bool CTextBuffer::SaveText(const std::filesystem::path& path, std::u16string_view text)
{
    try
    {
        CTextFileStream file(path);
        return file.Write(text) && file.Commit();
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

void CTextBuffer::Assign(std::u16string_view text)
{
    Free();
    if (text.size() > static_cast<size_t>(INT32_MAX))
        return;
    m_pText = CopyUnits(text.data(), static_cast<int64_t>(text.size()));
    m_nLength = static_cast<int32_t>(text.size());
}

void CTextBuffer::Truncate(int32_t nLength)
{
    if (nLength < 0 || nLength >= m_nLength)
        return;
    m_nLength = nLength;
    m_pText[nLength] = u'\0';
}

TextEncoding CTextBuffer::DetectEncoding(const unsigned char* pBytes, int64_t nBytes)
{
    if (nBytes >= 2 && pBytes[0] == 0xFF && pBytes[1] == 0xFE)
        return TextEncoding::Utf16Le;
    if (nBytes >= 2 && pBytes[0] == 0xFE && pBytes[1] == 0xFF)
        return TextEncoding::Utf16Be;
    if (nBytes >= 3 && pBytes[0] == 0xEF && pBytes[1] == 0xBB && pBytes[2] == 0xBF)
        return TextEncoding::Utf8Bom;
    bool bHighBit = false;
    for (int64_t i = 0; i < nBytes;)
    {
        if (i + 8 <= nBytes && IsAsciiWord(pBytes + i))
        {
            i += 8;
            continue;
        }
        const unsigned char b = pBytes[i];
        if (b < 0x80)
        {
            ++i;
            continue;
        }
        bHighBit = true;
        int nTrail = 0;
        if (b >= 0xC0 && b <= 0xDF)
            nTrail = 1;
        else if (b >= 0xE0 && b <= 0xEF)
            nTrail = 2;
        else if (b >= 0xF0 && b <= 0xF7)
            nTrail = 3;
        else
            return TextEncoding::Ansi;
        if (nTrail >= nBytes - i)
            return TextEncoding::Ansi;  // cut off by the end of the file
        for (int k = 1; k <= nTrail; ++k)
        {
            if ((pBytes[i + k] & 0xC0) != 0x80)
                return TextEncoding::Ansi;
        }
        i += 1 + nTrail;
    }
    return bHighBit ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

}  // namespace tavrel
