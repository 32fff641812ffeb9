#pragma once

#include <string>
#include <string_view>

#include "text/Failure.h"

namespace tavrel
{

class CTextBuffer;
class CTextSink;
struct CSrtJobStats;

// ASS/SSA events to SRT. Holds no data.
class CAssConverter
{
public:
    CAssConverter() = default;
    virtual ~CAssConverter() = default;

    // Streams the SRT text of a loaded script into out; NoEventsFormat when
    // the script has no usable Format line in its [Events] section. pStats,
    // when given, gets the cues written and the Dialogue lines left out.
    CFailure ConvertAssToSrt(const CTextBuffer& script, CTextSink& out, CSrtJobStats* pStats = nullptr) const;
    // The SRT text of one event's text field.
    std::u16string ConvertAssText(std::u16string_view text) const;

    // ConvertAssText appended to out; scratch is working space.
    void AppendAssText(std::u16string& out, std::u16string_view text, std::u16string& scratch) const;
    // The same into a stream's pending text, written out as it grows.
    void StreamAssText(CTextSink& stream, std::u16string_view text, std::u16string& scratch) const;

    // hh:mm:ss,mmm for an ASS time such as 0:00:01.50 or 0:00:01:50; empty when malformed.
    std::u16string ConvertAssTime(std::u16string_view field) const;
    // The same appended to out; false (nothing appended) when malformed.
    bool AppendAssTime(std::u16string& out, std::u16string_view field) const;
    // Appends the SRT markup of one override block's content, e.g. \b1\i1.
    void AppendOverrideBlock(std::u16string& out, std::u16string_view content) const;
};

}  // namespace tavrel
