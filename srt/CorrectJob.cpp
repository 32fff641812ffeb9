// Placeholder until implemented.
#include "srt/SrtProcessor.h"
bool CSrtProcessor::CorrectSrt(const std::filesystem::path&, const std::filesystem::path&, double, double, int, int, int, int, int, CSrtJobStats*) const { return false; }
