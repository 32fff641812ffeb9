#pragma once

// Generated input files shared by the benchmarks of one run, kept in a
// scratch folder that is removed when the program ends.

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace tavrel
{

namespace benchinput
{

struct CInputFile
{
    std::filesystem::path m_path;
    size_t m_nBytes = 0;
};

// The file of this kind and size, generated on first use.
const CInputFile& CachedInput(std::string_view kind, size_t nBytes);

// A path in the scratch folder, for outputs.
std::filesystem::path ScratchPath(std::string_view name);

}  // namespace benchinput

}  // namespace tavrel
