#include "text/TextBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>

#include "text/AtomicFile.h"
#include "text/CodePage.h"

namespace
{
constexpr int64_t kMaxFileBytes = int64_t{1} << 31;  // 2 GiB and more never load
constexpr int64_t kSaveChunkUnits = 64 * 1024;
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Reads the whole regular file; false when it cannot be read or is too big.
bool ReadWholeFile(const std::filesystem::path& path, std::unique_ptr<unsigned char[]>& bytes, int64_t& nBytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    const uintmax_t nSize = std::filesystem::file_size(path, ec);
    if (ec || nSize >= static_cast<uintmax_t>(kMaxFileBytes))
        return false;
    nBytes = static_cast<int64_t>(nSize);
    if (nBytes < 2)
        return false;
#ifdef _WIN32
    FILE* pFile = _wfopen(path.c_str(), L"rb");
#else
    FILE* pFile = std::fopen(path.c_str(), "rb");
#endif
    if (pFile == nullptr)
        return false;
    bytes.reset(new unsigned char[static_cast<size_t>(nBytes) + 2]);
    const size_t nRead = std::fread(bytes.get(), 1, static_cast<size_t>(nBytes), pFile);
    std::fclose(pFile);
    if (nRead != static_cast<size_t>(nBytes))
        return false;
    bytes[nBytes] = 0;
    bytes[nBytes + 1] = 0;
    return true;
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

char16_t* Utf16LeUnits(const unsigned char* pBytes, int64_t nBytes, int64_t* pnUnits)
{
    const int64_t nUnits = (nBytes + 1) / 2;
    char16_t* pOut = new char16_t[static_cast<size_t>(nUnits) + 1];
    for (int64_t i = 0; i < nUnits; ++i)
        pOut[i] = static_cast<char16_t>(pBytes[2 * i] | (pBytes[2 * i + 1] << 8));  // a zero pads an odd end
    pOut[nUnits] = 0;
    *pnUnits = nUnits;
    return pOut;
}

char16_t* CopyUnits(const char16_t* pText, int64_t nUnits)
{
    char16_t* pOut = new char16_t[static_cast<size_t>(nUnits) + 1];
    std::memcpy(pOut, pText, static_cast<size_t>(nUnits) * sizeof(char16_t));
    pOut[nUnits] = 0;
    return pOut;
}

// Bytes needed at most per unit by EncodeUtf8: CR as CR LF, 3 for the rest.
constexpr int64_t kMaxUtf8PerUnit = 3;

int64_t EncodeUtf8(const char16_t* pText, int64_t nUnits, unsigned char* pOut)
{
    unsigned char* p = pOut;
    for (int64_t i = 0; i < nUnits; ++i)
    {
        uint32_t c = pText[i];
        if (c < 0x80)
        {
            *p++ = static_cast<unsigned char>(c);
            if (c == kCr)
                *p++ = static_cast<unsigned char>(kLf);
            continue;
        }
        if (c < 0x800)
        {
            *p++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            continue;
        }
        if (IsHighSurrogate(static_cast<char16_t>(c)) && i + 1 < nUnits && IsLowSurrogate(pText[i + 1]))
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (pText[++i] - 0xDC00u);
            *p++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF)
            c = kReplacement;
        *p++ = static_cast<unsigned char>(0xE0 | (c >> 12));
        *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    return p - pOut;
}
}  // namespace

CTextBuffer::CTextBuffer() : m_nLength(0), m_pText(nullptr) {}

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

int CTextBuffer::Load(const std::filesystem::path& path, int nCodePage)
{
    Free();
    try
    {
        std::unique_ptr<unsigned char[]> bytes;
        int64_t nBytes = 0;
        if (!ReadWholeFile(path, bytes, nBytes))
            return 0;

        std::unique_ptr<char16_t[]> units;
        int64_t nUnits = 0;
        int64_t nCapacity = 0;
        switch (DetectEncoding(bytes.get(), nBytes))
        {
        case Utf16Le:
            units.reset(Utf16LeUnits(bytes.get() + 2, nBytes - 2, &nUnits));
            nCapacity = nUnits;
            break;
        case Utf8:
            units.reset(Utf8ToUtf16(bytes.get(), nBytes, &nUnits));
            nCapacity = nBytes;
            break;
        case Utf8Bom:
            units.reset(Utf8ToUtf16(bytes.get() + 3, nBytes - 3, &nUnits));
            nCapacity = nBytes;
            break;
        case Ansi:
        {
            const std::u16string decoded =
                DecodeCodePage(reinterpret_cast<const char*>(bytes.get()), static_cast<size_t>(nBytes), nCodePage);
            bytes.reset();
            nUnits = static_cast<int64_t>(decoded.size());
            nCapacity = nUnits;
            units.reset(CopyUnits(decoded.data(), nUnits));
            break;
        }
        }
        bytes.reset();

        nUnits = NormaliseLineEnds(units.get(), nUnits);
        // Multi-byte text needs far fewer units than it had bytes: give the rest back.
        if (nUnits < nCapacity / 2)
            units.reset(CopyUnits(units.get(), nUnits));
        if (nUnits > INT32_MAX)
            return 0;
        m_pText = units.release();
        m_nLength = static_cast<int32_t>(nUnits);
        return 1;
    }
    catch (const std::bad_alloc&)
    {
        Free();
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
        CAtomicFile file(path);
        if (!file.IsOpen() || !file.Write("\xEF\xBB\xBF", 3))
            return false;
        std::unique_ptr<unsigned char[]> chunk(new unsigned char[kSaveChunkUnits * kMaxUtf8PerUnit]);
        const int64_t nTotal = static_cast<int64_t>(text.size());
        for (int64_t nAt = 0; nAt < nTotal;)
        {
            int64_t nUnits = std::min(kSaveChunkUnits, nTotal - nAt);
            // A pair is never split over two chunks.
            if (nAt + nUnits < nTotal && IsHighSurrogate(text[static_cast<size_t>(nAt + nUnits - 1)]))
                --nUnits;
            const int64_t nBytes = EncodeUtf8(text.data() + nAt, nUnits, chunk.get());
            if (!file.Write(chunk.get(), static_cast<size_t>(nBytes)))
                return false;
            nAt += nUnits;
        }
        return file.Commit();
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

TextEncoding CTextBuffer::DetectEncoding(const unsigned char* pBytes, int64_t nBytes)
{
    if (nBytes >= 2 && pBytes[0] == 0xFF && pBytes[1] == 0xFE)
        return Utf16Le;
    if (nBytes >= 3 && pBytes[0] == 0xEF && pBytes[1] == 0xBB && pBytes[2] == 0xBF)
        return Utf8Bom;
    bool bHighBit = false;
    for (int64_t i = 0; i < nBytes;)
    {
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
            return Ansi;
        if (nTrail >= nBytes - i)
            return Ansi;  // cut off by the end of the file
        for (int k = 1; k <= nTrail; ++k)
        {
            if ((pBytes[i + k] & 0xC0) != 0x80)
                return Ansi;
        }
        i += 1 + nTrail;
    }
    return bHighBit ? Utf8 : Ansi;
}

char16_t* CTextBuffer::Utf8ToUtf16(const unsigned char* pBytes, int64_t nBytes, int64_t* pnUnits)
{
    // One unit per byte, and one more for a cut-off four-byte form at the end.
    char16_t* pOut = new char16_t[static_cast<size_t>(nBytes) + 2];
    // A continuation byte missing at the end of the data counts as zero.
    auto Next = [&](int64_t i) -> uint32_t { return i < nBytes ? (pBytes[i] & 0x3Fu) : 0u; };
    int64_t w = 0;
    for (int64_t i = 0; i < nBytes && pBytes[i] != 0;)
    {
        const uint32_t b = pBytes[i];
        if (b < 0x80)
        {
            pOut[w++] = static_cast<char16_t>(b);
            i += 1;
        }
        else if (b >= 0xC0 && b <= 0xDF)
        {
            pOut[w++] = static_cast<char16_t>(((b & 0x1F) << 6) | Next(i + 1));
            i += 2;
        }
        else if (b >= 0xE0 && b <= 0xEF)
        {
            pOut[w++] = static_cast<char16_t>(((b & 0x0F) << 12) | (Next(i + 1) << 6) | Next(i + 2));
            i += 3;
        }
        else if (b >= 0xF0 && b <= 0xF7)
        {
            const uint32_t cp = ((b & 0x07) << 18) | (Next(i + 1) << 12) | (Next(i + 2) << 6) | Next(i + 3);
            if (cp > 0x10FFFF)
            {
                pOut[w++] = kReplacement;
            }
            else if (cp >= 0x10000)
            {
                pOut[w++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                pOut[w++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            }
            else
            {
                pOut[w++] = static_cast<char16_t>(cp);
            }
            i += 4;
        }
        else
        {
            i += 1;  // a stray continuation byte or F8-FF
        }
    }
    pOut[w] = 0;
    *pnUnits = w;
    return pOut;
}

unsigned char* CTextBuffer::Utf16ToUtf8(const char16_t* pText, int64_t nUnits, int64_t* pnBytes)
{
    unsigned char* pOut = new unsigned char[static_cast<size_t>(nUnits * kMaxUtf8PerUnit) + 1];
    *pnBytes = EncodeUtf8(pText, nUnits, pOut);
    pOut[*pnBytes] = 0;
    return pOut;
}
