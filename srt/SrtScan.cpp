// Placeholder until implemented.
#include "srt/SrtProcessor.h"
bool CSrtProcessor::IsTimeLine(const char16_t*) const { return false; }
int32_t CSrtProcessor::FindTimeLine(const char16_t*, int32_t, int32_t) const { return -1; }
int32_t CSrtProcessor::FindBlankLine(const char16_t*, int32_t, int32_t) const { return -1; }
bool CSrtProcessor::ParseTimeLine(const char16_t*, int32_t&, int32_t&) const { return false; }
void CSrtProcessor::FormatTimeLine(char16_t* p, int32_t, int32_t) const { p[0] = 0; }
bool CSrtProcessor::FirstCue(const char16_t*, int32_t, CSrtCue&) const { return false; }
bool CSrtProcessor::NextCue(const char16_t*, int32_t, CSrtCue&) const { return false; }
void CSrtProcessor::AppendCue(std::u16string&, int64_t, std::u16string_view, std::u16string_view) {}
