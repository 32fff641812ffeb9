#include "text/Unicode.h"

#include <cstdint>

namespace tavrel
{

namespace
{
bool IsSurrogate(uint32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// ASCII goes four units at a time while no CR comes; a short run (before a
// CR or another character) one by one. Three-byte characters (Hangul) go in
// runs.
template <CrEncoding kCrAs>
int64_t EncodeUtf8As(const char16_t* pText, int64_t nUnits, unsigned char* pOut)
{
    unsigned char* p = pOut;
    int64_t i = 0;
    while (i < nUnits)
    {
        uint32_t c = pText[i];
        if (c < 0x80)
        {
            i = static_cast<int64_t>(
                PutAscii(pText, static_cast<size_t>(i), static_cast<size_t>(nUnits), p, kCrAs == CrEncoding::CrLf));
            continue;
        }
        if (c >= 0x800 && !IsSurrogate(c))
        {
            do
            {
                p[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
                p[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
                p[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
                p += 3;
                ++i;
            } while (i < nUnits && (c = pText[i]) >= 0x800 && !IsSurrogate(c));
            continue;
        }
        ++i;
        if (c < 0x800)
        {
            *p++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            continue;
        }
        if (IsHighSurrogate(static_cast<char16_t>(c)) && i < nUnits && IsLowSurrogate(pText[i]))
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (pText[i++] - 0xDC00u);
            *p++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            continue;
        }
        // An unpaired surrogate becomes U+FFFD.
        *p++ = 0xEF;
        *p++ = 0xBF;
        *p++ = 0xBD;
    }
    return p - pOut;
}

void AppendCodePoint(std::u16string& out, uint32_t cp)
{
    if (cp >= 0x10000)
    {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
    else
    {
        out.push_back(static_cast<char16_t>(cp));
    }
}

}  // namespace

std::u16string Utf8ToU16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        const auto b = static_cast<unsigned char>(text[i]);
        int nTrail = 0;
        uint32_t cp = 0;
        uint32_t nMin = 0;
        if (b < 0x80)
        {
            out.push_back(b);
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF)
        {
            nTrail = 1;
            cp = b & 0x1F;
            nMin = 0x80;
        }
        else if (b >= 0xE0 && b <= 0xEF)
        {
            nTrail = 2;
            cp = b & 0x0F;
            nMin = 0x800;
        }
        else if (b >= 0xF0 && b <= 0xF4)
        {
            nTrail = 3;
            cp = b & 0x07;
            nMin = 0x10000;
        }
        else
        {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        int nSeen = 0;
        while (nSeen < nTrail && j < text.size() && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80)
        {
            cp = (cp << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
            ++j;
            ++nSeen;
        }
        if (nSeen < nTrail || cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        {
            out.push_back(kReplacement);
            i = (nSeen < nTrail) ? j : i + 1 + static_cast<size_t>(nTrail);
            continue;
        }
        AppendCodePoint(out, cp);
        i = j;
    }
    return out;
}

int64_t EncodeUtf8(const char16_t* pText, int64_t nUnits, unsigned char* pOut, CrEncoding nCr)
{
    return nCr == CrEncoding::CrLf ? EncodeUtf8As<CrEncoding::CrLf>(pText, nUnits, pOut)
                                   : EncodeUtf8As<CrEncoding::Cr>(pText, nUnits, pOut);
}

std::string U16ToUtf8(std::u16string_view text)
{
    std::string out(text.size() * static_cast<size_t>(kMaxUtf8BytesPerUnit), '\0');
    const int64_t nBytes = EncodeUtf8(text.data(), static_cast<int64_t>(text.size()),
                                      reinterpret_cast<unsigned char*>(out.data()), CrEncoding::Cr);
    out.resize(static_cast<size_t>(nBytes));
    return out;
}

std::filesystem::path PathFromU16(std::u16string_view text)
{
#ifdef _WIN32
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
    return std::filesystem::path(U16ToUtf8(text));
#endif
}

std::u16string PathToU16(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::wstring& s = path.native();
    return std::u16string(s.begin(), s.end());
#else
    return Utf8ToU16(path.native());
#endif
}

bool IsWhiteSpace(char16_t c)
{
    if ((c >= 0x09 && c <= 0x0D) || c == 0x20)
        return true;
    if (c < 0x1680)
        return false;
    return c == 0x1680 || (c >= 0x2000 && c <= 0x2006) || (c >= 0x2008 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x205F || c == 0x3000;
}

std::u16string_view TrimWhiteSpace(std::u16string_view text)
{
    return TrimIf(text, IsWhiteSpace);
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

void AppendDecimal(std::u16string& out, int64_t n)
{
    char16_t digits[21];
    char16_t* const pEnd = digits + 21;
    char16_t* p = pEnd;
    uint64_t v = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    // Most numbers written are cue numbers and times: 32-bit division is cheaper.
    for (; v > UINT32_MAX; v /= 10)
        *--p = static_cast<char16_t>(u'0' + v % 10);
    uint32_t v32 = static_cast<uint32_t>(v);
    do
    {
        *--p = static_cast<char16_t>(u'0' + v32 % 10);
        v32 /= 10;
    } while (v32 != 0);
    if (n < 0)
        *--p = u'-';
    out.append(p, static_cast<size_t>(pEnd - p));
}

size_t FindRareUnit(std::u16string_view text, char16_t c, size_t nFrom)
{
    // Looks for a byte of c that is not zero, whatever the byte order, and
    // keeps only hits at that byte of a unit equal to c.
    if (nFrom >= text.size())
        return std::u16string_view::npos;
    unsigned char bytes[sizeof(char16_t)];
    std::memcpy(bytes, &c, sizeof bytes);
    const size_t nByte = bytes[0] != 0 ? 0 : 1;
    const auto* const pBegin = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* const pEnd = pBegin + text.size() * sizeof(char16_t);
    for (const unsigned char* p = pBegin + nFrom * sizeof(char16_t) + nByte; p < pEnd;)
    {
        const auto* pHit =
            static_cast<const unsigned char*>(std::memchr(p, bytes[nByte], static_cast<size_t>(pEnd - p)));
        if (pHit == nullptr)
            break;
        const size_t nAt = static_cast<size_t>(pHit - pBegin);
        if (nAt % sizeof(char16_t) == nByte && text[nAt / sizeof(char16_t)] == c)
            return nAt / sizeof(char16_t);
        p = pHit + 1;
    }
    return std::u16string_view::npos;
}

}  // namespace tavrel
