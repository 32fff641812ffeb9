// Placeholder until implemented.
#include "text/CodePage.h"
std::u16string DecodeCodePage(const char*, size_t, int) { return {}; }
std::string EncodeCodePage(std::u16string_view, int) { return {}; }
