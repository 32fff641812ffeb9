#include "text/CodePage.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <bit>
#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#endif

namespace
{
constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Units of one character starting at text[i]: a surrogate pair is one.
size_t CharUnits(std::u16string_view text, size_t i)
{
    return (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ? 2 : 1;
}
}  // namespace

#ifdef _WIN32

std::u16string DecodeCodePage(const char* pBytes, size_t nBytes, int nCodePage)
{
    const UINT nCp = nCodePage == 0 ? CP_ACP : static_cast<UINT>(nCodePage);
    const void* pZero = std::memchr(pBytes, 0, nBytes);
    if (pZero != nullptr)
        nBytes = static_cast<size_t>(static_cast<const char*>(pZero) - pBytes);
    std::u16string out;
    if (nBytes == 0 || nBytes > 0x7FFFFFFF)
        return out;
    const int nIn = static_cast<int>(nBytes);
    const int nUnits = MultiByteToWideChar(nCp, 0, pBytes, nIn, nullptr, 0);
    if (nUnits <= 0)
        return out;
    out.resize(static_cast<size_t>(nUnits));
    MultiByteToWideChar(nCp, 0, pBytes, nIn, reinterpret_cast<wchar_t*>(out.data()), nUnits);
    return out;
}

std::string EncodeCodePage(std::u16string_view text, int nCodePage)
{
    const UINT nCp = nCodePage == 0 ? CP_ACP : static_cast<UINT>(nCodePage);
    std::string out;
    out.reserve(text.size() * 2);
    // Character by character through a small window, so that each missing
    // character (also a pair) becomes exactly one '?'.
    for (size_t i = 0; i < text.size();)
    {
        const size_t nUnits = CharUnits(text, i);
        char buffer[16];
        BOOL bUsedDefault = FALSE;
        const int n = WideCharToMultiByte(nCp, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data() + i),
                                          static_cast<int>(nUnits), buffer, sizeof buffer, "?", &bUsedDefault);
        if (n <= 0 || bUsedDefault)
            out.push_back('?');
        else
            out.append(buffer, static_cast<size_t>(n));
        i += nUnits;
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

class CIconv
{
public:
    CIconv(const char* pTo, const char* pFrom) : m_cd(iconv_open(pTo, pFrom)) {}
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

// Room for the units of the bytes still to convert, plus the unit count done.
void EnsureRoom(std::u16string& out, size_t nDone, size_t nNeeded)
{
    if (out.size() - nDone < nNeeded)
        out.resize(nDone + nNeeded);
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
    std::u16string out(nBytes + 2, u'\0');
    size_t nDone = 0;
    const char* pIn = pBytes;
    size_t nIn = nBytes;
    while (nIn > 0)
    {
        char* pOut = reinterpret_cast<char*>(out.data() + nDone);
        size_t nOut = (out.size() - nDone) * sizeof(char16_t);
        const int nError = conv.Convert(pIn, nIn, pOut, nOut);
        nDone = (out.size() * sizeof(char16_t) - nOut) / sizeof(char16_t);
        if (nError == 0)
            break;
        if (nError == E2BIG)
        {
            EnsureRoom(out, nDone, nIn + 8);
            continue;
        }
        // An invalid or cut-off sequence: one replacement for its first byte.
        EnsureRoom(out, nDone, nIn + 2);
        out[nDone++] = kReplacement;
        ++pIn;
        --nIn;
        conv.Reset();
    }
    out.resize(nDone);
    return out;
}

std::string EncodeCodePage(std::u16string_view text, int nCodePage)
{
    const std::string strName = CharsetName(nCodePage);
    CIconv conv(strName.c_str(), NativeUtf16());
    std::string out;
    if (!conv.IsOpen())
    {
        out.reserve(text.size());
        for (size_t i = 0; i < text.size(); i += CharUnits(text, i))
            out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
        return out;
    }

    out.resize(text.size() * 2 + 16);
    size_t nDone = 0;
    const char* pIn = reinterpret_cast<const char*>(text.data());
    size_t nIn = text.size() * sizeof(char16_t);
    while (nIn > 0)
    {
        char* pOut = out.data() + nDone;
        size_t nOut = out.size() - nDone;
        const int nError = conv.Convert(pIn, nIn, pOut, nOut);
        nDone = out.size() - nOut;
        if (nError == 0)
            break;
        if (nError == E2BIG)
        {
            out.resize(out.size() + nIn * 2 + 16);
            continue;
        }
        // A character the code page lacks, or a lone surrogate: one '?'.
        const size_t nAt = (text.size() * sizeof(char16_t) - nIn) / sizeof(char16_t);
        const size_t nSkip = CharUnits(text, nAt) * sizeof(char16_t);
        if (out.size() - nDone < 1)
            out.resize(out.size() + nIn + 16);
        out[nDone++] = '?';
        pIn += nSkip;
        nIn -= nSkip;
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
