// Placeholder until implemented.
#include "convert/AssConverter.h"
bool CAssConverter::ConvertAssToSrt(const std::filesystem::path&, const std::filesystem::path&) const { return false; }
std::u16string CAssConverter::ConvertAssText(std::u16string_view) const { return u"<b>"; }
