// Placeholder until implemented.
#include "srt/SrtProcessor.h"
bool CSrtProcessor::WriteSami(const std::filesystem::path&, const std::filesystem::path&, const std::filesystem::path&) const { return false; }
