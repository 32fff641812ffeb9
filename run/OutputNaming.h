#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel
{

enum class Mode : int32_t
{
    Correct = 0,
    Convert = 1,
    Extract = 2,
    Merge = 3,
};

// Index where the extension starts (its full stop), or the path's length
// when the last full stop does not come after the last folder separator
// ("/" everywhere, "\" too on Windows).
size_t FindExtension(std::u16string_view path);

// Output name proposed for an input path in a mode; the input is trimmed.
// Empty for Mode::Convert, for an empty input and for unknown modes.
std::u16string MakeOutputName(Mode nMode, std::u16string_view input);

}  // namespace tavrel
