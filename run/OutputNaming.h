#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel
{

enum Mode : int32_t
{
    ModeCorrect = 0,
    ModeConvert = 1,
    ModeExtract = 2,
    ModeMerge = 3,
};

// Index where the extension starts (its full stop), or the path's length
// when the last full stop does not come after the last folder separator
// ("/" everywhere, "\" too on Windows).
size_t FindExtension(std::u16string_view path);

// Output name proposed for an input path in a mode; the input is trimmed.
// Empty for ModeConvert, for an empty input and for unknown modes.
std::u16string MakeOutputName(int32_t nMode, std::u16string_view input);

}  // namespace tavrel
