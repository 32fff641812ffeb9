#pragma once

#include <cstdint>
#include <filesystem>

namespace tavrel
{

enum SubtitleFormat : int32_t
{
    FormatUnrecognised = 0,
    FormatSrt = 1,
    FormatAss = 2,
    FormatSami = 3,
};

// Tells the format from the file's content, never from its name.
SubtitleFormat DetectFormat(const std::filesystem::path& path);

}  // namespace tavrel
