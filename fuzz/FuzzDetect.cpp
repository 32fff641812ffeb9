// DetectFormat on arbitrary bytes: the format depends on the text, not on
// the encoding it was stored in.

#include "convert/FormatDetect.h"
#include "fuzz/FuzzSupport.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    const std::filesystem::path input = dir / "in.sub";
    const std::filesystem::path resaved = dir / "resaved.sub";
    fuzz::WriteFile(input, pData, nSize);

    const SubtitleFormat nFormat = fuzz::DetectFile(input);
    fuzz::Check(nFormat >= SubtitleFormat::Unrecognised && nFormat <= SubtitleFormat::Sami, "a known format value");
    fuzz::Check(fuzz::DetectFile(input) == nFormat, "detection is repeatable");

    CTextBuffer buffer;
    if (!buffer.Load(input))
    {
        fuzz::Check(nFormat == SubtitleFormat::Unrecognised, "a file that does not load is unrecognised");
        return 0;
    }
    fuzz::Check(buffer.Save(resaved), "the text saves");
    fuzz::Check(fuzz::DetectFile(resaved) == nFormat, "the same text as UTF-8 has the same format");
    return 0;
}
