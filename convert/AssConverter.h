#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrel
{

class CTextFileStream;

// ASS/SSA events to SRT. Holds no data.
class CAssConverter
{
public:
    CAssConverter() = default;
    virtual ~CAssConverter() = default;

    bool ConvertAssToSrt(const std::filesystem::path& input, const std::filesystem::path& output) const;
    // The SRT text of one event's text field.
    std::u16string ConvertAssText(std::u16string_view text) const;

    // ConvertAssText appended to out; scratch is working space.
    void AppendAssText(std::u16string& out, std::u16string_view text, std::u16string& scratch) const;
    // The same into a stream's pending text, written out as it grows.
    void StreamAssText(CTextFileStream& stream, std::u16string_view text, std::u16string& scratch) const;

    // hh:mm:ss,mmm for an ASS time such as 0:00:01.50; empty when malformed.
    std::u16string ConvertAssTime(std::u16string_view field) const;
    void AppendAssTime(std::u16string& out, std::u16string_view field) const;
    // Appends the SRT markup of one override block's content, e.g. \b1\i1.
    void AppendOverrideBlock(std::u16string& out, std::u16string_view content) const;
};

}  // namespace tavrel
