#pragma once

#include <cstdint>
#include <filesystem>

namespace tavrel
{

enum class SubtitleFormat : int32_t
{
    Unrecognised = 0,
    Srt = 1,
    Ass = 2,
    Sami = 3,
};

// Tells the format from the file's content, never from its name.
SubtitleFormat DetectFormat(const std::filesystem::path& path);

}  // namespace tavrel
