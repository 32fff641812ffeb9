#pragma once

#include <string>
#include <string_view>

#include "text/Failure.h"

namespace tavrel
{

class CTextBuffer;
class CTextSink;

// ASS/SSA events to SRT. Holds no data.
class CAssConverter
{
public:
    CAssConverter() = default;
    virtual ~CAssConverter() = default;

    // Streams the SRT text of a loaded script into out; NoEventsFormat when
    // the script has no usable Format line in its [Events] section.
    CFailure ConvertAssToSrt(const CTextBuffer& script, CTextSink& out) const;
    // The SRT text of one event's text field.
    std::u16string ConvertAssText(std::u16string_view text) const;

    // ConvertAssText appended to out; scratch is working space.
    void AppendAssText(std::u16string& out, std::u16string_view text, std::u16string& scratch) const;
    // The same into a stream's pending text, written out as it grows.
    void StreamAssText(CTextSink& stream, std::u16string_view text, std::u16string& scratch) const;

    // hh:mm:ss,mmm for an ASS time such as 0:00:01.50; empty when malformed.
    std::u16string ConvertAssTime(std::u16string_view field) const;
    void AppendAssTime(std::u16string& out, std::u16string_view field) const;
    // Appends the SRT markup of one override block's content, e.g. \b1\i1.
    void AppendOverrideBlock(std::u16string& out, std::u16string_view content) const;
};

}  // namespace tavrel
