// Placeholder until implemented.
#include "srt/SrtProcessor.h"
bool CSrtProcessor::MergeText(const std::filesystem::path&, const std::filesystem::path&, const std::filesystem::path&, CSrtJobStats*) const { return false; }
std::u16string CleanText(std::u16string_view) { return {}; }
