#include "text/TextBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "text/CodePage.h"
#include "text/FileReader.h"
#include "text/LargeBuffer.h"
#include "text/TextFileStream.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
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

// How many bytes the sequence led by b takes: its continuation bytes are taken as they come.
size_t SequenceLength(unsigned char b)
{
    if (b >= 0xC0 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF7)
        return 4;
    return 1;  // ASCII, a stray continuation byte or F8-FF
}

// One non-ASCII sequence at i (continuation bytes missing at the end counted
// as zero) into units[]; returns how many units (0 to 2).
int DecodeUtf8Sequence(const unsigned char* pBytes, size_t nBytes, size_t i, char16_t units[2])
{
    auto Next = [&](size_t k) -> uint32_t { return k < nBytes ? (pBytes[k] & 0x3Fu) : 0u; };
    const uint32_t b = pBytes[i];
    switch (SequenceLength(pBytes[i]))
    {
    case 2:
        units[0] = static_cast<char16_t>(((b & 0x1F) << 6) | Next(i + 1));
        return 1;
    case 3:
        units[0] = static_cast<char16_t>(((b & 0x0F) << 12) | (Next(i + 1) << 6) | Next(i + 2));
        return 1;
    case 4:
        break;
    default:
        return 0;  // a stray continuation byte or F8-FF yields nothing
    }
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

// Decoders take the file piece by piece: Decode uses what it can of the bytes
// (all of them with the last piece) and says how many it used; the rest comes
// again at the front of the next piece. Ended() is true once the text is
// complete (a NUL ends it), so the rest of the file need not be read.

// UTF-8 with Load's line-end normalisation on the way: CR LF and lone LF
// become CR, and a NUL unit ends the text (also one an overlong form gives).
class CUtf8Decoder
{
public:
    explicit CUtf8Decoder(char16_t* pOut)
        : m_pOut(pOut)
    {}

    size_t Decode(const unsigned char* pBytes, size_t nBytes, bool bLast);
    bool Ended() const { return m_bEnded; }
    int64_t Units() const { return m_nCount; }
    int64_t Finish()
    {
        m_pOut[m_nCount] = 0;
        return m_nCount;
    }

private:
    void Put(char16_t c)
    {
        if (c == 0)
            m_bEnded = true;
        else if (c == kLf && m_bAfterCr)
            m_bAfterCr = false;
        else
        {
            m_bAfterCr = c == kCr;
            m_pOut[m_nCount++] = c == kLf ? kCr : c;
        }
    }

    char16_t* m_pOut;
    int64_t m_nCount = 0;
    bool m_bAfterCr = false;
    bool m_bEnded = false;
};

size_t CUtf8Decoder::Decode(const unsigned char* pBytes, size_t nBytes, bool bLast)
{
    char16_t* pOut = m_pOut + m_nCount;
    bool bAfterCr = m_bAfterCr;
    size_t i = 0;
    while (i < nBytes)
    {
        const uint32_t b = pBytes[i];
        if (b >= 0x20 && b < 0x80)
        {
            if (i + 8 <= nBytes && IsPlainAsciiWord(pBytes + i))
            {
                for (int k = 0; k < 8; ++k)
                    pOut[k] = pBytes[i + k];
                pOut += 8;
                i += 8;
            }
            else
            {
                // A short run between other characters, such as the blank between two words.
                do
                    *pOut++ = static_cast<char16_t>(pBytes[i++]);
                while (i < nBytes && pBytes[i] >= 0x20 && pBytes[i] < 0x80);
            }
            bAfterCr = false;
            continue;
        }
        if ((b & 0xF0) == 0xE0)
        {
            // The common case (Hangul) straight through, a run at a time; only an overlong form can give NUL,
            // CR or LF.
            const size_t nStart = i;
            for (; i + 3 <= nBytes && (pBytes[i] & 0xF0) == 0xE0; i += 3)
            {
                const auto c = static_cast<char16_t>(((pBytes[i] & 0x0Fu) << 12) | ((pBytes[i + 1] & 0x3Fu) << 6) |
                                                     (pBytes[i + 2] & 0x3Fu));
                if (c < 0x80)
                    break;
                *pOut++ = c;
            }
            if (i != nStart)
            {
                bAfterCr = false;
                continue;
            }
        }
        const size_t nLength = SequenceLength(pBytes[i]);
        if (i + nLength > nBytes && !bLast)
            break;
        m_nCount = pOut - m_pOut;
        m_bAfterCr = bAfterCr;
        if (b < 0x80)
        {
            Put(static_cast<char16_t>(b));
        }
        else
        {
            char16_t units[2];
            const int nUnits = DecodeUtf8Sequence(pBytes, nBytes, i, units);
            for (int k = 0; k < nUnits && !m_bEnded; ++k)
                Put(units[k]);
        }
        pOut = m_pOut + m_nCount;
        bAfterCr = m_bAfterCr;
        i += nLength;
        if (m_bEnded)
            break;
    }
    m_nCount = pOut - m_pOut;
    m_bAfterCr = bAfterCr;
    return std::min(i, nBytes);
}

// Whether the bytes are UTF-8: every sequence whole and with its continuation
// bytes, and at least one byte above 0x7F.
class CUtf8Check
{
public:
    size_t Decode(const unsigned char* pBytes, size_t nBytes, bool bLast);
    bool Ended() const { return m_bInvalid; }
    int64_t Units() const { return 0; }
    bool IsUtf8() const { return m_bHighBit && !m_bInvalid; }

private:
    bool m_bHighBit = false;
    bool m_bInvalid = false;
};

size_t CUtf8Check::Decode(const unsigned char* pBytes, size_t nBytes, bool bLast)
{
    size_t i = 0;
    while (i < nBytes)
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
        const size_t nLength = SequenceLength(b);
        m_bHighBit = true;
        m_bInvalid = nLength == 1 || (i + nLength > nBytes && bLast);
        if (m_bInvalid || i + nLength > nBytes)
            break;
        for (size_t k = 1; k < nLength; ++k)
            m_bInvalid = m_bInvalid || (pBytes[i + k] & 0xC0) != 0x80;
        if (m_bInvalid)
            break;
        i += nLength;
    }
    return i;
}

// The legacy code page, decoded in pieces that end after a CR or LF (never
// part of a double-byte character); a zero byte ends the text. The text goes
// into the room it has; a code page that gives more units than that goes on
// in a string of its own.
class CAnsiDecoder
{
public:
    CAnsiDecoder(char16_t* pOut, int64_t nRoom, int nCodePage)
        : m_pOut(pOut),
          m_nRoom(nRoom),
          m_nCodePage(nCodePage)
    {}

    size_t Decode(const unsigned char* pBytes, size_t nBytes, bool bLast);
    bool Ended() const { return m_bEnded; }
    bool Overflowed() const { return m_bOverflowed; }
    int64_t Units() const { return m_nCount; }
    // The whole text, when it did not fit.
    const std::u16string& Overflow() const { return m_strOverflow; }
    int64_t Finish()
    {
        if (!Overflowed())
            m_pOut[m_nCount] = 0;
        return m_nCount;
    }

private:
    char16_t* m_pOut;
    int64_t m_nRoom;
    int m_nCodePage;
    int64_t m_nCount = 0;
    bool m_bEnded = false;
    bool m_bOverflowed = false;
    std::u16string m_strOverflow;
};

size_t CAnsiDecoder::Decode(const unsigned char* pBytes, size_t nBytes, bool bLast)
{
    if (const void* pZero = std::memchr(pBytes, 0, nBytes))
    {
        nBytes = static_cast<size_t>(static_cast<const unsigned char*>(pZero) - pBytes);
        bLast = true;
        m_bEnded = true;
    }
    size_t nEnd = nBytes;
    if (!bLast)
    {
        while (nEnd > 0 && pBytes[nEnd - 1] != '\n' && pBytes[nEnd - 1] != '\r')
            --nEnd;
        if (nEnd == 0)
            return 0;
    }
    const std::u16string piece = DecodeCodePage(reinterpret_cast<const char*>(pBytes), nEnd, m_nCodePage);
    const auto nUnits = static_cast<int64_t>(piece.size());
    if (!m_bOverflowed && m_nCount + nUnits > m_nRoom)
    {
        m_strOverflow.assign(m_pOut, static_cast<size_t>(m_nCount));
        m_bOverflowed = true;
    }
    if (Overflowed())
        m_strOverflow += piece;
    else
        std::memcpy(m_pOut + m_nCount, piece.data(), piece.size() * sizeof(char16_t));
    m_nCount += nUnits;
    return nEnd;
}

// UTF-16 in either byte order, line ends normalised afterwards; a byte
// missing at an odd end reads as zero.
class CUtf16Decoder
{
public:
    CUtf16Decoder(char16_t* pOut, bool bBigEndian)
        : m_pOut(pOut),
          m_nHigh(bBigEndian ? 0 : 1)
    {}

    size_t Decode(const unsigned char* pBytes, size_t nBytes, bool bLast)
    {
        const size_t nPairs = nBytes / 2;
        for (size_t i = 0; i < nPairs; ++i)
            m_pOut[m_nCount++] = static_cast<char16_t>((pBytes[2 * i + m_nHigh] << 8) | pBytes[2 * i + 1 - m_nHigh]);
        if (!bLast || nBytes % 2 == 0)
            return 2 * nPairs;
        const unsigned char last[2] = {pBytes[nBytes - 1], 0};
        m_pOut[m_nCount++] = static_cast<char16_t>((last[m_nHigh] << 8) | last[1 - m_nHigh]);
        return nBytes;
    }
    bool Ended() const { return false; }
    int64_t Units() const { return m_nCount; }
    int64_t Finish() { return NormaliseLineEnds(m_pOut, m_nCount); }

private:
    char16_t* m_pOut;
    int m_nHigh;
    int64_t m_nCount = 0;
};

// Runs a decoder over the file from its first piece (already read), nSkip
// bytes (a byte-order mark) left out.
template <class TDecoder>
bool DecodeFile(CFileReader& file, size_t nSkip, TDecoder& decoder, CPageWarmer* pWarmer = nullptr)
{
    size_t nUsed = nSkip;
    for (;;)
    {
        const bool bLast = file.AtEnd();
        nUsed += decoder.Decode(file.Data() + nUsed, file.Length() - nUsed, bLast);
        if (bLast || decoder.Ended())
            return true;
        if (pWarmer)
            pWarmer->Advance(static_cast<size_t>(decoder.Units()) * sizeof(char16_t));
        if (!file.ReadMore(nUsed))
            return false;
        nUsed = 0;
    }
}

TextEncoding DetectMark(const unsigned char* pBytes, size_t nBytes)
{
    if (nBytes >= 2 && pBytes[0] == 0xFF && pBytes[1] == 0xFE)
        return TextEncoding::Utf16Le;
    if (nBytes >= 2 && pBytes[0] == 0xFE && pBytes[1] == 0xFF)
        return TextEncoding::Utf16Be;
    if (nBytes >= 3 && pBytes[0] == 0xEF && pBytes[1] == 0xBB && pBytes[2] == 0xBF)
        return TextEncoding::Utf8Bom;
    return TextEncoding::Ansi;
}

// Whether the code page reads every ASCII byte as itself, so that ASCII-only
// text decodes the same way as UTF-8.
bool KeepsAscii(int nCodePage)
{
    char ascii[127];
    for (int i = 0; i < 127; ++i)
        ascii[i] = static_cast<char>(i + 1);
    const std::u16string decoded = DecodeCodePage(ascii, sizeof ascii, nCodePage);
    if (decoded.size() != sizeof ascii)
        return false;
    for (int i = 0; i < 127; ++i)
    {
        if (decoded[static_cast<size_t>(i)] != static_cast<char16_t>(i + 1))
            return false;
    }
    return true;
}

char16_t* CopyUnits(const char16_t* pText, int64_t nUnits)
{
    char16_t* pOut = NewUnits(nUnits);
    std::memcpy(pOut, pText, static_cast<size_t>(nUnits) * sizeof(char16_t));
    pOut[nUnits] = 0;
    return pOut;
}

// Decodes the whole file into units; returns the unit count, -1 when the file
// could not be read. A file without a byte-order mark is read twice: once to
// tell UTF-8 from the legacy code page, once to decode it.
int64_t DecodeWholeFile(CFileReader& file, int nCodePage, std::unique_ptr<char16_t[]>& units)
{
    if (!file.ReadMore(0))
        return -1;
    TextEncoding encoding = DetectMark(file.Data(), file.Length());
    if (encoding == TextEncoding::Ansi)
    {
        CUtf8Check check;
        if (!DecodeFile(file, 0, check) || !file.Rewind() || !file.ReadMore(0))
            return -1;
        encoding = check.IsUtf8() ? TextEncoding::Utf8 : TextEncoding::Ansi;
        // An ASCII-only text is the same in UTF-8; the decoder for it is much faster.
        if (!check.Ended() && encoding == TextEncoding::Ansi && KeepsAscii(nCodePage))
            encoding = TextEncoding::Utf8;
    }
    // No decoder makes more units than it reads bytes, but the legacy one.
    const int64_t nRoom = file.Size() + 1;
    units.reset(NewUnits(nRoom));
    CPageWarmer warmer(units.get(), static_cast<size_t>(nRoom) * sizeof(char16_t));
    switch (encoding)
    {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
    {
        CUtf16Decoder decoder(units.get(), encoding == TextEncoding::Utf16Be);
        return DecodeFile(file, 2, decoder, &warmer) ? decoder.Finish() : -1;
    }
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
    {
        CUtf8Decoder decoder(units.get());
        return DecodeFile(file, encoding == TextEncoding::Utf8Bom ? 3 : 0, decoder, &warmer) ? decoder.Finish() : -1;
    }
    case TextEncoding::Ansi:
        break;
    }
    CAnsiDecoder decoder(units.get(), nRoom - 1, nCodePage);
    if (!DecodeFile(file, 0, decoder, &warmer))
        return -1;
    if (!decoder.Overflowed())
        return NormaliseLineEnds(units.get(), decoder.Finish());
    units.reset(CopyUnits(decoder.Overflow().data(), static_cast<int64_t>(decoder.Overflow().size())));
    return NormaliseLineEnds(units.get(), static_cast<int64_t>(decoder.Overflow().size()));
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
    auto Fail = [&](CFailure failure) {
        Free();
        if (pFailure)
            *pFailure = std::move(failure);
        return 0;
    };
    try
    {
        CFileReader file(path);
        if (CFailure failure = file.Open(); failure.IsFailure())
            return Fail(std::move(failure));
        std::unique_ptr<char16_t[]> units;
        const int64_t nUnits = DecodeWholeFile(file, codePage.m_nNumber, units);
        if (nUnits < 0)
            return Fail(file.Failure());
        if (nUnits > INT32_MAX)
            return Fail(MakeFileFailure(FailureKind::InputTooLarge, path, "more than 2^31 - 1 characters"));
        // The room the text did not take is given back.
        ReleaseLargeBufferTail(units.get(), static_cast<size_t>(nUnits + 1) * sizeof(char16_t),
                               static_cast<size_t>(file.Size() + 1) * sizeof(char16_t));
        m_pText = units.release();
        m_nLength = static_cast<int32_t>(nUnits);
        return 1;
    }
    catch (const std::bad_alloc&)
    {
        return Fail(MakeFailure(FailureKind::OutOfMemory));
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

}  // namespace tavrel
