// The correction job. The first byte holds the four OCR options and the
// kind of shift, the next sixteen bytes the shift; the rest is the SRT file.

#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "run/Job.h"

using namespace tavrel;

namespace
{

constexpr size_t kHeaderSize = 17;

struct CCorrectParams
{
    COcrOptions m_options;
    CTimeMap m_timeMap;
};

CCorrectParams ReadParams(const uint8_t* pHeader)
{
    CCorrectParams params;
    params.m_options.m_nRepairs = pHeader[0] & 0xFu;
    uint32_t anValues[4];
    std::memcpy(anValues, pHeader + 1, sizeof(anValues));
    if (pHeader[0] & 0x10)
    {
        const CShift shift{ShiftKind::Detailed, 0, anValues[0], anValues[1], anValues[2], anValues[3]};
        if (!shift.Resolve(params.m_timeMap))
            params.m_timeMap = CTimeMap{};
    }
    else if (pHeader[0] & 0x20)
    {
        params.m_timeMap.m_dOffset = static_cast<int32_t>(anValues[0]);
    }
    return params;
}

bool Correct(const std::filesystem::path& input, const std::filesystem::path& output, const CCorrectParams& params)
{
    return fuzz::CorrectFile(input, output, params.m_timeMap, params.m_options);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < kHeaderSize)
        return 0;
    fuzz::CWorkDir& dir = fuzz::WorkDir();
    dir.Clear();
    const std::filesystem::path input = dir / "in.srt";
    const std::filesystem::path once = dir / "once.srt";
    const std::filesystem::path twice = dir / "twice.srt";
    fuzz::WriteFile(input, pData + kHeaderSize, nSize - kHeaderSize);
    const CCorrectParams params = ReadParams(pData);

    CTextBuffer buffer;
    const bool bLoads = fuzz::LoadSrt(buffer, input);
    const size_t nInputCues = bLoads ? fuzz::ScanCues(buffer.View()).size() : 0;

    const bool bWritten = Correct(input, once, params);
    fuzz::Check(bWritten == (nInputCues > 0), "correction succeeds exactly when the input has a cue");
    fuzz::Check(bWritten == fuzz::Exists(once), "an output file exactly on success");
    if (!bWritten)
        return 0;

    const std::string bytes = fuzz::ReadFile(once);
    fuzz::CheckSavedText(bytes);
    const std::u16string text = fuzz::LoadText(once);
    const auto vecCues = fuzz::ParseWrittenSrt(text, fuzz::IsStrictTimeLine);
    fuzz::Check(vecCues.size() == nInputCues, "one cue written per cue read");

    // A second pass with no shift and no options changes nothing. Not when
    // the input ends in a time line (strict or tolerant) without its line
    // end: the scan cannot see that one, but it can see the same line once
    // written with its CR.
    if (params.m_options.m_nRepairs != 0)
        return 0;
    const std::u16string_view loaded = buffer.View();
    if (loaded.size() >= 29 && fuzz::IsStrictTimeLine(loaded.substr(loaded.size() - 29)))
        return 0;
    if (CSrtProcessor().IsTolerantTimeLine(loaded.substr(loaded.rfind(u'\r') + 1)))
        return 0;
    fuzz::Check(Correct(once, twice, CCorrectParams()), "the output corrects again");
    fuzz::Check(fuzz::ReadFile(twice) == bytes, "correction without shift or options is idempotent");
    return 0;
}
