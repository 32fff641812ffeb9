#pragma once

// Generators of large, realistic inputs for the benchmarks and the scale
// script. Deterministic: the same size always gives the same bytes.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavrel
{

namespace benchinput
{

// UTF-8 with byte-order mark, CR LF; mixed Korean/English cues of 1-3 lines,
// some in <i> tags, rising times. About nBytes long (whole cues).
std::string MakeSrt(size_t nBytes);

// Paragraphs as the extraction job writes them: UTF-8 with byte-order mark,
// lines ended by CR LF, each paragraph followed by three empty lines.
std::string MakeText(size_t nBytes);

// A SAMI document with the classes KRCC and ENCC, <br> line breaks,
// <font color=..> markup and &nbsp; end captions. UTF-8 with byte-order mark.
std::string MakeSami(size_t nBytes);

// An ASS script: [Script Info], [V4+ Styles] and [Events] with a Format line
// and Dialogue lines carrying override blocks ({\i1}, {\c&H00FFFF&}, \N).
std::string MakeAss(size_t nBytes);

// Kind is "srt", "text", "sami" or "ass"; false for another kind or a failed write.
bool WriteInput(std::string_view kind, size_t nBytes, const std::filesystem::path& path);

}  // namespace benchinput

}  // namespace tavrel
