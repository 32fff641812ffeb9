// SAMI to SRT on arbitrary bytes: one well-formed SRT file per class.

#include <set>

#include "convert/SamiReader.h"
#include "fuzz/FuzzSupport.h"

using namespace tavrel;

namespace
{

// A P tag (from "<P" to the next ">", other "<" included) with more
// letters and digits than a file name can hold may carry a class whose file
// cannot be created: a class name is the letters and digits of its value.
bool HasLongName(const uint8_t* pData, size_t nSize)
{
    for (size_t i = 0; i + 1 < nSize; ++i)
    {
        if (pData[i] != '<' || (pData[i + 1] != 'P' && pData[i + 1] != 'p'))
            continue;
        size_t nAlnum = 0;
        for (size_t k = i + 1; k < nSize && pData[k] != '>'; ++k)
        {
            const uint8_t c = pData[k];
            nAlnum += (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        }
        if (nAlnum > 240)
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    dir.Clear();
    const std::filesystem::path input = dir / "movie.smi";
    fuzz::WriteFile(input, pData, nSize);

    const int32_t nClasses = fuzz::ConvertSamiFile(input);
    fuzz::Check(nClasses >= -1, "a count, or -1");
    if (nClasses == -1)
    {
        fuzz::Check(nSize < 2 || HasLongName(pData, nSize), "only a file that does not load fails");
        return 0;
    }

    std::set<std::filesystem::path> setOutputs;
    for (const auto& path : dir.Files())
    {
        if (path == input)
            continue;
        const std::string strName = path.filename().string();
        fuzz::Check(strName.rfind("movie.", 0) == 0 && path.extension() == ".srt", "outputs are named movie.CLASS.srt");
        const std::string strClass = strName.substr(6, strName.size() - 10);
        for (char c : strClass)
            fuzz::Check((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'),
                        "a class name is letters and digits");
        fuzz::CheckSavedText(fuzz::ReadFile(path));
        const std::u16string text = fuzz::LoadText(path);
        const auto vecCues = fuzz::ParseWrittenSrt(text, fuzz::IsWideTimeLine);
        for (const auto& cue : vecCues)
            fuzz::Check(!cue.m_text.empty(), "a caption without text writes no cue");
        setOutputs.insert(path);
    }
    fuzz::Check(static_cast<int64_t>(setOutputs.size()) == nClasses, "one file per class");
    return 0;
}
