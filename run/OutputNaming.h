#pragma once

// Every output name the program makes.

#include <cstdint>
#include <string>
#include <string_view>

#include "run/Modes.h"

namespace tavrel
{

// Index where the extension starts (its full stop), or the path's length
// when the last full stop does not come after the last folder separator
// ("/" everywhere, "\" too on Windows).
size_t FindExtension(std::u16string_view path);

// Output name the window proposes for an input path in a mode; the input is
// trimmed. Empty for modes that name their own outputs, for an empty input
// and for unknown modes.
std::u16string MakeOutputName(Mode nMode, std::u16string_view input);

// The conversion outputs beside the input: the input less its extension, or
// the whole input when its extension is already the target's, so the input
// is never overwritten.
std::u16string SrtToSamiOutput(std::u16string_view input);      // movie.smi
std::u16string SrtToUtf8SamiOutput(std::u16string_view input);  // movie.UTF8.smi
std::u16string AssToSrtOutput(std::u16string_view input);       // movie.srt
// One SRT file per SAMI caption class: movie.KRCC.srt (an empty class gives
// movie..srt).
std::u16string SamiClassOutput(std::u16string_view input, std::u16string_view className);

}  // namespace tavrel
