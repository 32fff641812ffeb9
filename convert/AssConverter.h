#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// ASS/SSA events to SRT. Holds no data.
class CAssConverter
{
public:
    CAssConverter() = default;
    virtual ~CAssConverter() = default;

    bool ConvertAssToSrt(const std::filesystem::path& input, const std::filesystem::path& output) const;
    // The SRT text of one event's text field.
    std::u16string ConvertAssText(std::u16string_view text) const;
};
