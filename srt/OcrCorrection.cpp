// Placeholder until implemented.
#include "srt/SrtProcessor.h"
void CSrtProcessor::FixOcrLine(std::u16string&, int, int, int, int) const {}
