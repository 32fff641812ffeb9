// Placeholder until implemented.
#include "srt/SrtProcessor.h"
bool CSrtProcessor::ExtractText(const std::filesystem::path&, const std::filesystem::path&, CSrtJobStats*) const { return false; }
