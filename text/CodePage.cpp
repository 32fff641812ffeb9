#include "text/CodePage.h"

#include "text/LargeBuffer.h"
#include "text/Unicode.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#ifdef _WIN32
#include <windows.h>
#else
#include <bit>
#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#endif

namespace tavrel
{

namespace
{

// Units of one character starting at text[i]: a surrogate pair is one.
size_t CharUnits(std::u16string_view text, size_t i)
{
    return (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ? 2 : 1;
}

// Without a usable converter: ASCII stays, every other byte is invalid.
std::u16string DecodeAsciiOnly(const char* pBytes, size_t nBytes)
{
    std::u16string out(nBytes, u'\0');
    for (size_t i = 0; i < nBytes; ++i)
    {
        const auto b = static_cast<unsigned char>(pBytes[i]);
        out[i] = b < 0x80 ? b : kReplacement;
    }
    return out;
}

// Without a usable converter: ASCII stays, every other character is missing.
std::string EncodeAsciiOnly(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); i += CharUnits(text, i))
        out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    return out;
}
}  // namespace

#ifdef _WIN32

namespace
{
constexpr size_t kPieceBytes = 64 * 1024;

// How the bytes of a code page make up characters, to cut the input into
// pieces that end between characters and to walk it character by character.
struct CByteForms
{
    UINT m_nCp = 0;
    UINT m_nMaxCharSize = 1;
    bool m_bLead[256] = {};  // double-byte code pages: the bytes that start a pair
};

bool GetByteForms(int nCodePage, CByteForms& forms)
{
    forms.m_nCp = nCodePage == 0 ? GetACP() : static_cast<UINT>(nCodePage);
    CPINFO info;
    if (!GetCPInfo(forms.m_nCp, &info))
        return false;
    forms.m_nMaxCharSize = info.MaxCharSize;
    for (size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b)
            forms.m_bLead[b] = true;
    return true;
}

// Appends the bytes as UTF-16; false, with out unchanged, when any byte is
// invalid or the bytes end inside a character.
bool DecodeStrict(UINT nCp, const char* pBytes, size_t nBytes, std::u16string& out)
{
    const int nIn = static_cast<int>(nBytes);
    const int nUnits = MultiByteToWideChar(nCp, MB_ERR_INVALID_CHARS, pBytes, nIn, nullptr, 0);
    if (nUnits <= 0)
        return false;
    const size_t nAt = out.size();
    out.resize(nAt + static_cast<size_t>(nUnits));
    auto* pOut = reinterpret_cast<wchar_t*>(out.data() + nAt);
    if (MultiByteToWideChar(nCp, MB_ERR_INVALID_CHARS, pBytes, nIn, pOut, nUnits) == nUnits)
        return true;
    out.resize(nAt);
    return false;
}

// The end of the piece that starts at nAt: about kPieceBytes long and never
// inside a character. Multi-byte code pages other than the double-byte ones
// and UTF-8 give no such place: the whole rest is one piece.
size_t PieceEnd(const CByteForms& forms, const unsigned char* pBytes, size_t nBytes, size_t nAt)
{
    if (nBytes - nAt <= kPieceBytes)
        return nBytes;
    size_t i = nAt + kPieceBytes;
    if (forms.m_nMaxCharSize == 2)
    {
        for (i = nAt; i < nAt + kPieceBytes;)
            i += forms.m_bLead[pBytes[i]] ? 2 : 1;
    }
    else if (forms.m_nCp == CP_UTF8)
    {
        while (i < nBytes && (pBytes[i] & 0xC0) == 0x80)
            ++i;
    }
    else if (forms.m_nMaxCharSize > 2)
    {
        i = nBytes;
    }
    return std::min(i, nBytes);
}

// Decodes [nAt, nEnd) one character at a time: each byte that starts no
// valid character becomes one U+FFFD and the walk goes on at the next byte
// (the converter itself would take the byte after a bad lead byte along).
// Returns where the walk stopped, which may be a little past nEnd.
size_t DecodeByCharacter(const CByteForms& forms, const char* pBytes, size_t nBytes, size_t nAt, size_t nEnd,
                         std::u16string& out)
{
    const auto* pUnsigned = reinterpret_cast<const unsigned char*>(pBytes);
    while (nAt < nEnd)
    {
        size_t nMin = 1;
        size_t nMax = forms.m_nMaxCharSize;
        if (nMax == 2)
            nMin = nMax = forms.m_bLead[pUnsigned[nAt]] ? 2 : 1;
        size_t nLength = 0;
        for (size_t n = nMin; n <= nMax && nAt + n <= nBytes && nLength == 0; ++n)
            nLength = DecodeStrict(forms.m_nCp, pBytes + nAt, n, out) ? n : 0;
        if (nLength == 0)
        {
            out.push_back(kReplacement);
            nLength = 1;
        }
        nAt += nLength;
    }
    return nAt;
}
}  // namespace

std::u16string DecodeCodePage(const char* pBytes, size_t nBytes, int nCodePage)
{
    const void* pZero = std::memchr(pBytes, 0, nBytes);
    if (pZero != nullptr)
        nBytes = static_cast<size_t>(static_cast<const char*>(pZero) - pBytes);
    CByteForms forms;
    if (!GetByteForms(nCodePage, forms) || nBytes > 0x7FFFFFFF)
        return DecodeAsciiOnly(pBytes, nBytes);
    std::u16string out;
    ReserveLarge(out, nBytes + 2);
    const auto* pUnsigned = reinterpret_cast<const unsigned char*>(pBytes);
    for (size_t nAt = 0; nAt < nBytes;)
    {
        const size_t nEnd = PieceEnd(forms, pUnsigned, nBytes, nAt);
        const bool bValid = DecodeStrict(forms.m_nCp, pBytes + nAt, nEnd - nAt, out);
        nAt = bValid ? nEnd : DecodeByCharacter(forms, pBytes, nBytes, nAt, nEnd, out);
    }
    return out;
}

namespace
{
// Appends the bytes of the units; false, with out unchanged, when a
// character is missing from the code page.
bool EncodeWhole(UINT nCp, std::u16string_view text, std::string& out)
{
    const auto* pText = reinterpret_cast<const wchar_t*>(text.data());
    const int nUnits = static_cast<int>(text.size());
    // UTF-8 has every character: only a lone surrogate is refused. It takes
    // no default character, so it cannot tell that one was used.
    const bool bUtf8 = nCp == CP_UTF8;
    BOOL bUsedDefault = FALSE;
    const DWORD nFlags = bUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL* pUsedDefault = bUtf8 ? nullptr : &bUsedDefault;
    const int nBytes = WideCharToMultiByte(nCp, nFlags, pText, nUnits, nullptr, 0, nullptr, pUsedDefault);
    if (nBytes <= 0 || bUsedDefault)
        return false;
    const size_t nAt = out.size();
    out.resize(nAt + static_cast<size_t>(nBytes));
    if (WideCharToMultiByte(nCp, nFlags, pText, nUnits, out.data() + nAt, nBytes, nullptr, pUsedDefault) == nBytes)
        return true;
    out.resize(nAt);
    return false;
}
}  // namespace

std::string EncodeCodePage(std::u16string_view text, int nCodePage)
{
    constexpr size_t kChunkUnits = 64 * 1024;
    CByteForms forms;
    if (!GetByteForms(nCodePage, forms))
        return EncodeAsciiOnly(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t nAt = 0; nAt < text.size();)
    {
        size_t nUnits = std::min(kChunkUnits, text.size() - nAt);
        if (nAt + nUnits < text.size() && IsHighSurrogate(text[nAt + nUnits - 1]))
            --nUnits;
        if (!EncodeWhole(forms.m_nCp, text.substr(nAt, nUnits), out))
        {
            // Character by character, so that each missing one (also a
            // pair) becomes exactly one '?'.
            for (size_t i = nAt; i < nAt + nUnits;)
            {
                const size_t nChar = CharUnits(text, i);
                if (!EncodeWhole(forms.m_nCp, text.substr(i, nChar), out))
                    out.push_back('?');
                i += nChar;
            }
        }
        nAt += nUnits;
    }
    return out;
}

#else

namespace
{
// "EUC-KR", "euc_kr", "eucKR" all become "euckr".
std::string Squeeze(const char* pName)
{
    std::string s;
    for (; *pName != 0; ++pName)
    {
        char c = *pName;
        if (c == '-' || c == '_')
            continue;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        s.push_back(c);
    }
    return s;
}

// The iconv name of a code page. Code page 0 is the locale's charset when it
// is a legacy one; EUC-KR is read as its superset CP949, whose decoder also
// takes syllables that EUC-KR lacks.
std::string CharsetName(int nCodePage)
{
    if (nCodePage == 949)
        return "CP949";
    if (nCodePage == 65001)
        return "UTF-8";
    if (nCodePage != 0)
        return "CP" + std::to_string(nCodePage);
    const char* pCodeset = nl_langinfo(CODESET);
    if (pCodeset == nullptr || *pCodeset == 0)
        return "CP949";
    const std::string squeezed = Squeeze(pCodeset);
    if (squeezed == "utf8" || squeezed == "ansix3.41968" || squeezed == "ascii" || squeezed == "usascii" ||
        squeezed == "euckr")
        return "CP949";
    return pCodeset;
}

const char* NativeUtf16()
{
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// Code points for the encoder. Where the C library's wide characters are
// code points, iconv's own form of them is read in one step; named as a
// byte order, a character the code page lacks makes it decode its input
// again, some microseconds each.
const char* NativeUtf32()
{
#if WCHAR_MAX > 0xFFFF
    return "WCHAR_T";
#else
    return std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
#endif
}

class CIconv
{
public:
    CIconv(const char* pTo, const char* pFrom)
        : m_cd(iconv_open(pTo, pFrom))
    {}
    ~CIconv()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as fits; returns 0 or the errno of the stop.
    int Convert(const char*& pIn, size_t& nIn, char*& pOut, size_t& nOut)
    {
        char* pInMutable = const_cast<char*>(pIn);
        const size_t r = iconv(m_cd, &pInMutable, &nIn, &pOut, &nOut);
        pIn = pInMutable;
        return r == static_cast<size_t>(-1) ? errno : 0;
    }
    void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }
    void Flush(char*& pOut, size_t& nOut) { iconv(m_cd, nullptr, nullptr, &pOut, &nOut); }

private:
    iconv_t m_cd;
};

// Room for the units of the bytes still to convert, plus the unit count done.
void EnsureRoom(std::u16string& out, size_t nDone, size_t nNeeded)
{
    if (out.size() - nDone < nNeeded)
        out.resize(nDone + nNeeded);
}

// ASCII runs at least this long skip the converter: most subtitle text is
// markup and Latin letters, and the converter is slow per character.
constexpr size_t kMinAsciiRun = 16;

// Whether the code page writes every ASCII character as that one byte, so
// that ASCII runs can be copied around the converter. Stateful encodings
// (which shift on some of these bytes) fail the test.
bool IsAsciiCompatible(CIconv& conv, bool bDecoding)
{
    char bytes[127];
    char16_t units[127];
    char32_t chars[127];  // the encoder reads code points, see NativeUtf32
    for (int i = 0; i < 127; ++i)
    {
        bytes[i] = static_cast<char>(i + 1);
        units[i] = static_cast<char16_t>(i + 1);
        chars[i] = static_cast<char32_t>(i + 1);
    }
    char result[sizeof units];
    const char* pIn = bDecoding ? bytes : reinterpret_cast<const char*>(chars);
    size_t nIn = bDecoding ? sizeof bytes : sizeof chars;
    char* pOut = result;
    size_t nOut = sizeof result;
    const bool bOk = conv.Convert(pIn, nIn, pOut, nOut) == 0 && nIn == 0;
    conv.Reset();
    const size_t nWritten = sizeof result - nOut;
    if (!bOk)
        return false;
    return bDecoding ? nWritten == sizeof units && std::memcmp(result, units, sizeof units) == 0
                     : nWritten == sizeof bytes && std::memcmp(result, bytes, sizeof bytes) == 0;
}

bool IsAsciiBlock(const unsigned char* p)
{
    uint64_t n;
    std::memcpy(&n, p, sizeof n);
    return (n & 0x8080808080808080ull) == 0;
}

bool IsAsciiBlock(const char16_t* p)
{
    uint64_t n;
    std::memcpy(&n, p, sizeof n);
    return (n & 0xFF80FF80FF80FF80ull) == 0;
}

// Where the next ASCII run of at least kMinAsciiRun items starts at or after
// nFrom (n if none); nRunEnd gets its end. With bSkipFirst, a run that does
// not start at nFrom leaves its first item to the converter: it may be the
// second byte of a double-byte character.
template <typename T>
size_t FindAsciiRun(const T* p, size_t n, size_t nFrom, bool bSkipFirst, size_t& nRunEnd)
{
    constexpr size_t kBlock = 8 / sizeof(T);
    size_t i = nFrom;
    while (i < n)
    {
        if (static_cast<uint32_t>(p[i]) >= 0x80)
        {
            ++i;
            continue;
        }
        size_t nStart = i;
        while (i + kBlock <= n && IsAsciiBlock(p + i))
            i += kBlock;
        while (i < n && static_cast<uint32_t>(p[i]) < 0x80)
            ++i;
        if (bSkipFirst && nStart > nFrom)
            ++nStart;
        if (i - nStart >= kMinAsciiRun)
        {
            nRunEnd = i;
            return nStart;
        }
    }
    nRunEnd = n;
    return n;
}

// The units one byte gives on its own, from a fresh state: 0 when it is no
// character alone. bIncomplete tells that it starts a longer character.
int DecodeAlone(CIconv& conv, const char* p, char16_t units[2], bool& bIncomplete)
{
    conv.Reset();
    const char* pIn = p;
    size_t nIn = 1;
    char* pOut = reinterpret_cast<char*>(units);
    size_t nOut = 2 * sizeof(char16_t);
    const int nError = conv.Convert(pIn, nIn, pOut, nOut);
    conv.Reset();
    bIncomplete = nError == EINVAL;
    if (nError != 0 || nIn != 0)
        return 0;
    return static_cast<int>((2 * sizeof(char16_t) - nOut) / sizeof(char16_t));
}

// Units the bytes [p, p + n) give, or -1 when they do not convert whole.
int64_t CountUnits(CIconv& conv, const char* p, size_t n)
{
    conv.Reset();
    int64_t nUnits = 0;
    char16_t scratch[1024];
    while (n > 0)
    {
        char* pOut = reinterpret_cast<char*>(scratch);
        size_t nOut = sizeof scratch;
        const int nError = conv.Convert(p, n, pOut, nOut);
        nUnits += static_cast<int64_t>((sizeof scratch - nOut) / sizeof(char16_t));
        if (nError != 0 && nError != E2BIG)
            nUnits = -1;
        if (nError != E2BIG)
            break;
    }
    conv.Reset();
    return nUnits;
}

// The pair at p is refused only after the converter has consumed it.
bool IsSwallowedPair(CIconv& conv, const char* p)
{
    conv.Reset();
    const char* pIn = p;
    size_t nIn = 2;
    char16_t units[2];
    char* pOut = reinterpret_cast<char*>(units);
    size_t nOut = sizeof units;
    const bool bSwallowed = conv.Convert(pIn, nIn, pOut, nOut) == EILSEQ && nIn == 0;
    conv.Reset();
    return bSwallowed;
}

// Where the invalid sequence that stopped a call begun at pBegin starts.
// glibc's CP949 consumes the invalid pair A2 E8 before it reports it, so
// pStop may lie past a pair that made no unit; then the bytes before that
// pair give all nUnits units the call made.
const char* FindErrorStart(CIconv& conv, const char* pBegin, const char* pStop, size_t nUnits)
{
    if (pStop - pBegin < 2 || !IsSwallowedPair(conv, pStop - 2))
        return pStop;
    const int64_t nBefore = CountUnits(conv, pBegin, static_cast<size_t>(pStop - 2 - pBegin));
    return nBefore == static_cast<int64_t>(nUnits) ? pStop - 2 : pStop;
}

// How an invalid lead byte is told apart: UTF-8 resynchronises by itself,
// so there the byte after a bad one is decoded as usual.
enum class LeadBytes
{
    Cp949,
    Probe,
    SelfSynchronising,
};

// Whether the byte starts a two-byte character. glibc refuses some CP949
// lead bytes on their own (C9, FE) that still take the byte after them.
bool IsLeadByte(CIconv& conv, LeadBytes nLeads, const char* p)
{
    const auto b = static_cast<unsigned char>(*p);
    if (b < 0x80 || nLeads == LeadBytes::SelfSynchronising)
        return false;
    if (nLeads == LeadBytes::Cp949)
        return b >= 0x81 && b <= 0xFE;
    char16_t units[2];
    bool bIncomplete = false;
    DecodeAlone(conv, p, units, bIncomplete);
    return bIncomplete;
}

// The invalid byte at p becomes one U+FFFD. When it is a lead byte, the byte
// after it is decoded on its own: paired with the byte after it in turn, it
// would take that byte (often a letter) with it. Returns where to go on.
const char* SkipInvalid(CIconv& conv, LeadBytes nLeads, const char* p, const char* pEnd, std::u16string& out,
                        size_t& nDone)
{
    EnsureRoom(out, nDone, static_cast<size_t>(pEnd - p) + 4);
    out[nDone++] = kReplacement;
    const char* pNext = p + 1;
    if (pNext == pEnd || static_cast<unsigned char>(*pNext) < 0x80 || !IsLeadByte(conv, nLeads, p))
        return pNext;
    char16_t units[2];
    bool bIncomplete = false;
    const int nUnits = DecodeAlone(conv, pNext, units, bIncomplete);
    if (nUnits == 0)
        out[nDone++] = kReplacement;
    for (int i = 0; i < nUnits; ++i)
        out[nDone++] = units[i];
    return pNext + 1;
}

// Decodes [pIn, pIn + nIn) through the converter, appending at out[nDone].
void DecodeSegment(CIconv& conv, LeadBytes nLeads, const char* pIn, size_t nIn, std::u16string& out, size_t& nDone)
{
    const char* const pEnd = pIn + nIn;
    while (pIn < pEnd)
    {
        size_t nLeft = static_cast<size_t>(pEnd - pIn);
        EnsureRoom(out, nDone, nLeft + 2);
        const char* const pBegin = pIn;
        const size_t nBefore = nDone;
        char* pOut = reinterpret_cast<char*>(out.data() + nDone);
        size_t nOut = (out.size() - nDone) * sizeof(char16_t);
        const int nError = conv.Convert(pIn, nLeft, pOut, nOut);
        nDone = (out.size() * sizeof(char16_t) - nOut) / sizeof(char16_t);
        if (nError == 0)
            break;
        if (nError == E2BIG)
        {
            out.resize(out.size() + nLeft + 16);
            continue;
        }
        // An invalid or cut-off sequence.
        pIn = FindErrorStart(conv, pBegin, pIn, nDone - nBefore);
        pIn = SkipInvalid(conv, nLeads, pIn, pEnd, out, nDone);
        conv.Reset();
    }
}

// Encodes units [nFrom, nTo) of text through the converter, appending at
// out[nDone]; each character it cannot take becomes one '?'. The converter
// reads whole code points (see NativeUtf32).
void EncodeSegment(CIconv& conv, std::u16string_view text, size_t nFrom, size_t nTo, std::string& out, size_t& nDone)
{
    constexpr size_t kChunk = 4096;
    char32_t chars[kChunk];
    for (size_t nAt = nFrom; nAt < nTo;)
    {
        // Whole characters: a pair becomes one code point, a lone surrogate
        // stays as it is and is refused like any missing character.
        size_t nChars = 0;
        for (; nAt < nTo && nChars < kChunk; ++nChars)
        {
            const size_t nUnits = std::min(CharUnits(text, nAt), nTo - nAt);
            chars[nChars] =
                nUnits == 2 ? static_cast<char32_t>(0x10000 + ((text[nAt] - 0xD800) << 10) + (text[nAt + 1] - 0xDC00))
                            : static_cast<char32_t>(text[nAt]);
            nAt += nUnits;
        }
        const char* pIn = reinterpret_cast<const char*>(chars);
        size_t nIn = nChars * sizeof(char32_t);
        while (nIn > 0)
        {
            // Two bytes a character hold the double-byte code pages; others
            // grow on demand.
            const size_t nLeft = nIn / sizeof(char32_t);
            if (out.size() - nDone < nLeft * 2 + 16)
                out.resize(nDone + nLeft * 2 + 16);
            char* pOut = out.data() + nDone;
            size_t nOut = out.size() - nDone;
            const int nError = conv.Convert(pIn, nIn, pOut, nOut);
            nDone = out.size() - nOut;
            if (nError == E2BIG)
                out.resize(out.size() + nLeft * 4 + 16);
            if (nError == 0 || nError == E2BIG)
                continue;
            out[nDone++] = '?';
            pIn += sizeof(char32_t);
            nIn -= sizeof(char32_t);
        }
    }
}
}  // namespace

std::u16string DecodeCodePage(const char* pBytes, size_t nBytes, int nCodePage)
{
    const void* pZero = std::memchr(pBytes, 0, nBytes);
    if (pZero != nullptr)
        nBytes = static_cast<size_t>(static_cast<const char*>(pZero) - pBytes);
    const std::string strName = CharsetName(nCodePage);
    CIconv conv(NativeUtf16(), strName.c_str());
    if (!conv.IsOpen())
        return DecodeAsciiOnly(pBytes, nBytes);

    // One unit per byte holds every ASCII-compatible and double-byte code
    // page; others (UTF-8's four-byte forms) grow the buffer on demand.
    std::u16string out;
    ReserveLarge(out, nBytes + 2);
    out.resize(nBytes + 2);
    size_t nDone = 0;
    const bool bFastAscii = IsAsciiCompatible(conv, true);
    const LeadBytes nLeads = strName == "CP949"   ? LeadBytes::Cp949
                             : strName == "UTF-8" ? LeadBytes::SelfSynchronising
                                                  : LeadBytes::Probe;
    const auto* pUnsigned = reinterpret_cast<const unsigned char*>(pBytes);
    for (size_t nAt = 0; nAt < nBytes;)
    {
        size_t nRunEnd = nBytes;
        const size_t nRun = bFastAscii ? FindAsciiRun(pUnsigned, nBytes, nAt, true, nRunEnd) : nBytes;
        DecodeSegment(conv, nLeads, pBytes + nAt, nRun - nAt, out, nDone);
        EnsureRoom(out, nDone, nRunEnd - nRun);
        for (size_t i = nRun; i < nRunEnd; ++i)
            out[nDone++] = pUnsigned[i];
        nAt = nRunEnd;
    }
    out.resize(nDone);
    return out;
}

std::string EncodeCodePage(std::u16string_view text, int nCodePage)
{
    const std::string strName = CharsetName(nCodePage);
    CIconv conv(strName.c_str(), NativeUtf32());
    if (!conv.IsOpen())
        return EncodeAsciiOnly(text);
    std::string out;

    ReserveLarge(out, text.size() * 2 + 16);
    out.resize(text.size() * 2 + 16);
    size_t nDone = 0;
    const bool bFastAscii = IsAsciiCompatible(conv, false);
    for (size_t nAt = 0; nAt < text.size();)
    {
        size_t nRunEnd = text.size();
        const size_t nRun = bFastAscii ? FindAsciiRun(text.data(), text.size(), nAt, false, nRunEnd) : text.size();
        EncodeSegment(conv, text, nAt, nRun, out, nDone);
        if (out.size() - nDone < nRunEnd - nRun)
            out.resize(nDone + (nRunEnd - nRun));
        for (size_t i = nRun; i < nRunEnd; ++i)
            out[nDone++] = static_cast<char>(text[i]);
        nAt = nRunEnd;
    }
    // Ends a shift state, for the code pages that have one.
    out.resize(nDone + 16);
    char* pOut = out.data() + nDone;
    size_t nOut = 16;
    conv.Flush(pOut, nOut);
    out.resize(out.size() - nOut);
    return out;
}

#endif

namespace
{
#ifdef _WIN32
int ResolvedNumber(int nCodePage)
{
    return nCodePage == 0 ? static_cast<int>(GetACP()) : nCodePage;
}
#else
int ResolvedNumber(int nCodePage)
{
    const std::string strName = CharsetName(nCodePage);
    if (strName.size() < 3 || strName.compare(0, 2, "CP") != 0)
        return -1;
    return std::atoi(strName.c_str() + 2);
}
#endif

// Stateless code pages of one or two bytes a character. 1255 and 1258 are left
// out: their converters may combine or split accented letters.
bool EncodesCharacterByCharacter(int nCodePage)
{
    switch (ResolvedNumber(nCodePage))
    {
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1256:
    case 1257:
        return true;
    default:
        return false;
    }
}

constexpr int kUnitsPerBlock = 256;
}  // namespace

CFileEncoder::CFileEncoder(int nCodePage)
    : m_nCodePage(nCodePage),
      m_bRemember(EncodesCharacterByCharacter(nCodePage))
{}

void CFileEncoder::Append(std::u16string_view text, std::string& out)
{
    const size_t nStart = out.size();
    if (m_bRemember && AppendRemembered(text, out))
        return;
    out.resize(nStart);
    AppendConverted(text, out);
}

// False when a surrogate comes (pairs and lone halves go through the
// converter) or the code page turns out not to encode as expected. ASCII
// goes as in EncodeUtf8.
bool CFileEncoder::AppendRemembered(std::u16string_view text, std::string& out)
{
    if (m_vecBytes.empty())
        m_vecBytes.assign(size_t{1} << 16, 0);
    const uint16_t* pKnown = m_vecBytes.data();
    const size_t nStart = out.size();
    out.resize(nStart + 2 * text.size());
    auto* p = reinterpret_cast<unsigned char*>(out.data() + nStart);
    const size_t nUnits = text.size();
    for (size_t i = 0; i < nUnits;)
    {
        const char16_t c = text[i];
        if (c < 0x80)
        {
            i = PutAscii(text.data(), i, nUnits, p, true);
            continue;
        }
        // Surrogates stay unknown, so they only cost a test here.
        if (pKnown[c] == 0 && (IsHighSurrogate(c) || IsLowSurrogate(c) || !Learn(c)))
            return false;
        const uint16_t nBytes = pKnown[c];
        if (nBytes > 0xFF)
            *p++ = static_cast<unsigned char>(nBytes >> 8);
        *p++ = static_cast<unsigned char>(nBytes & 0xFF);
        ++i;
    }
    out.resize(static_cast<size_t>(reinterpret_cast<char*>(p) - out.data()));
    return true;
}

// Learns the block of 256 units around c with one call of the converter,
// each unit followed by a LF, which is no byte of any other character in
// these code pages. Anything unexpected turns remembering off for good.
bool CFileEncoder::Learn(char16_t c)
{
    const int nFirst = c & ~(kUnitsPerBlock - 1);
    const int nBegin = std::max(nFirst, 0x80);
    std::u16string units;
    for (int u = nBegin; u < nFirst + kUnitsPerBlock; ++u)
    {
        units.push_back(static_cast<char16_t>(u));
        units.push_back(kLf);
    }
    const std::string bytes = EncodeCodePage(units, m_nCodePage);
    size_t nAt = 0;
    for (int u = nBegin; u < nFirst + kUnitsPerBlock && m_bRemember; ++u)
    {
        const size_t nLf = bytes.find('\n', nAt);
        const size_t nLength = nLf == std::string::npos ? 0 : nLf - nAt;
        const auto nLead = nLength > 0 ? static_cast<unsigned char>(bytes[nAt]) : 0;
        const auto nLast = nLength > 0 ? static_cast<unsigned char>(bytes[nLf - 1]) : 0;
        m_bRemember = (nLength == 1 || (nLength == 2 && nLead >= 0x80)) && nLead != '\r' && nLast != '\r';
        m_vecBytes[u] = static_cast<uint16_t>(nLength == 2 ? (nLead << 8) | nLast : nLast);
        nAt = nLf + 1;
    }
    m_bRemember = m_bRemember && nAt == bytes.size();
    return m_bRemember;
}

// Every CR byte of the converter's bytes is written as CR LF.
void CFileEncoder::AppendConverted(std::u16string_view text, std::string& out) const
{
    const std::string bytes = EncodeCodePage(text, m_nCodePage);
    out.reserve(out.size() + bytes.size() + bytes.size() / 4 + 16);
    for (size_t nAt = 0; nAt < bytes.size();)
    {
        const size_t nCr = bytes.find('\r', nAt);
        if (nCr == std::string::npos)
        {
            out.append(bytes, nAt);
            break;
        }
        out.append(bytes, nAt, nCr - nAt);
        out.append("\r\n", 2);
        nAt = nCr + 1;
    }
}

}  // namespace tavrel
