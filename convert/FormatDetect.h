#pragma once

#include <cstdint>

namespace tavrel
{

class CTextBuffer;

enum class SubtitleFormat : int32_t
{
    Unrecognised = 0,
    Srt = 1,
    Ass = 2,
    Sami = 3,
};

// Tells the format from the loaded text, never from the file's name.
SubtitleFormat DetectFormat(const CTextBuffer& text);

}  // namespace tavrel
