#pragma once

#include <cstdint>
#include <filesystem>

// SAMI to SRT: one SRT file per caption class. Holds no data.
class CSamiReader
{
public:
    CSamiReader() = default;
    virtual ~CSamiReader() = default;

    // The number of classes (one file written for each), 0 when the document
    // has no P tag, -1 when the input cannot be loaded or an output cannot
    // be written.
    int32_t ConvertSamiToSrt(const std::filesystem::path& path) const;
};
