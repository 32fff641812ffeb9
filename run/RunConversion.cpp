// The conversion mode's run handler: detection, output names, the converter
// and its message.

#include <new>
#include <system_error>

#include "convert/AssConverter.h"
#include "convert/FormatDetect.h"
#include "convert/SamiReader.h"
#include "run/RunDispatch.h"
#include "srt/SrtProcessor.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// The input less its extension, or the whole input when its extension is
// already the target's, so the input is never the output.
std::u16string OutputStem(const std::u16string& input, std::u16string_view targetExtension)
{
    const size_t nExt = FindExtension(input);
    if (EqualsNoCase(std::u16string_view(input).substr(nExt), targetExtension))
        return input;
    return input.substr(0, nExt);
}

MessageId Choose(bool bDone, MessageId nDone, MessageId nFailed)
{
    return bDone ? nDone : nFailed;
}

CRunResult Convert(const std::u16string& input)
{
    const std::filesystem::path path = PathFromU16(input);
    CRunResult result;
    switch (DetectFormat(path))
    {
    case SubtitleFormat::Srt:
    {
        const std::u16string stem = OutputStem(input, u".smi");
        const CSrtProcessor srt;
        result.m_nMessage =
            Choose(srt.WriteSami(path, PathFromU16(stem + u".smi"), PathFromU16(stem + u".UTF8.smi"), &result.m_stats),
                   MessageId::SrtToSamiDone, MessageId::SrtToSamiFailed);
        break;
    }
    case SubtitleFormat::Ass:
    {
        const CAssConverter ass;
        result.m_nMessage =
            Choose(ass.ConvertAssToSrt(path, PathFromU16(OutputStem(input, u".srt") + u".srt"), &result.m_stats),
                   MessageId::AssToSrtDone, MessageId::AssToSrtFailed);
        break;
    }
    case SubtitleFormat::Sami:
    {
        const CSamiReader sami;
        const int32_t nCount = sami.ConvertSamiToSrt(path);
        result.m_nMessage = Choose(nCount >= 1, MessageId::SamiToSrtDone, MessageId::SamiToSrtFailed);
        result.m_nCount = nCount >= 1 ? nCount : 0;
        break;
    }
    default:
        result.m_nMessage = MessageId::FormatError;
        break;
    }
    return result;
}
}  // namespace

CRunResult RunConversion(const std::u16string& input)
{
    try
    {
        return Convert(input);
    }
    catch (const std::bad_alloc&)
    {}
    catch (const std::system_error&)
    {}
    // Out of memory or a path the system cannot take: told like an unreadable input.
    CRunResult result;
    result.m_nMessage = MessageId::FormatError;
    return result;
}

}  // namespace tavrel
