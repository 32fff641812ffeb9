// CTextBuffer::Load on arbitrary bytes, then Save and Load again.

#include "fuzz/FuzzSupport.h"

using namespace tavrel;

namespace
{

// What a save and a load give back: a lone surrogate becomes U+FFFD.
std::u16string AfterRoundTrip(std::u16string_view text)
{
    std::u16string strOut(text);
    for (size_t i = 0; i < strOut.size(); ++i)
    {
        const char16_t c = strOut[i];
        const bool bHigh = c >= 0xD800 && c <= 0xDBFF;
        const bool bLow = c >= 0xDC00 && c <= 0xDFFF;
        if (bHigh && i + 1 < strOut.size() && strOut[i + 1] >= 0xDC00 && strOut[i + 1] <= 0xDFFF)
            ++i;
        else if (bHigh || bLow)
            strOut[i] = 0xFFFD;
    }
    return strOut;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    const std::filesystem::path input = dir / "in.txt";
    const std::filesystem::path saved = dir / "saved.txt";
    fuzz::WriteFile(input, pData, nSize);

    CTextBuffer buffer;
    const int nLoaded = buffer.Load(input);
    fuzz::Check((nLoaded != 0) == (nSize >= 2), "a readable file loads exactly when it has two bytes or more");
    if (!nLoaded)
    {
        fuzz::Check(buffer.Length() == 0, "a failed load leaves no text");
        return 0;
    }

    const std::u16string_view text = buffer.View();
    fuzz::Check(buffer.Data()[buffer.Length()] == 0, "the text ends with a NUL");
    fuzz::Check(text.find(u'\n') == std::u16string_view::npos, "a loaded text holds no LF");
    fuzz::Check(text.find(char16_t(0)) == std::u16string_view::npos, "a loaded text holds no NUL");

    fuzz::Check(buffer.Save(saved), "the text saves");
    fuzz::CheckSavedText(fuzz::ReadFile(saved));

    CTextBuffer reloaded;
    fuzz::Check(reloaded.Load(saved) != 0, "a saved text loads");
    fuzz::Check(reloaded.View() == AfterRoundTrip(text), "save and load give the text back");
    return 0;
}
