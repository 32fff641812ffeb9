// ASS/SSA to SRT on arbitrary bytes.

#include "convert/AssConverter.h"
#include "fuzz/FuzzSupport.h"

using namespace tavrel;

namespace
{

// The converter builds its time lines from the fields as they stand; only
// their place in the layout is fixed.
bool IsAssTimeLine(std::u16string_view line)
{
    return line.find(u" --> ") != std::u16string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    dir.Clear();
    const std::filesystem::path input = dir / "movie.ass";
    const std::filesystem::path output = dir / "movie.srt";
    fuzz::WriteFile(input, pData, nSize);

    const bool bWritten = fuzz::ConvertAssFile(input, output);
    fuzz::Check(bWritten == fuzz::Exists(output), "an output file exactly on success");
    if (!bWritten)
        return 0;
    fuzz::CheckSavedText(fuzz::ReadFile(output));
    const std::u16string text = fuzz::LoadText(output);
    for (const auto& cue : fuzz::ParseWrittenSrt(text, IsAssTimeLine))
    {
        const std::u16string_view lines = cue.m_text.substr(!cue.m_text.empty() && cue.m_text[0] == u'\r');
        fuzz::Check(!lines.empty() && lines.back() != u'\r', "a cue text has a line and no empty last line");
        fuzz::Check(lines.find(u"\r\r") == std::u16string_view::npos, "no empty line inside a cue text");
        fuzz::Check(lines.find(u" \r") == std::u16string_view::npos, "no blank before a line end");
    }
    return 0;
}
