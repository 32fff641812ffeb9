// Placeholder until implemented.
#include "convert/FormatDetect.h"
SubtitleFormat DetectFormat(const std::filesystem::path&) { return FormatUnrecognised; }
