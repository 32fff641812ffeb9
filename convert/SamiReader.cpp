// Placeholder until implemented.
#include "convert/SamiReader.h"
int32_t CSamiReader::ConvertSamiToSrt(const std::filesystem::path&) const { return -1; }
