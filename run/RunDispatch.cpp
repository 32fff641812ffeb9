// Placeholder until implemented.
#include "run/RunDispatch.h"
bool IsExistingFile(const std::filesystem::path&) { return false; }
CRunResult DispatchRun(const CRunRequest&) { return {}; }
CRunResult RunCorrection(const CRunRequest&) { return {}; }
CRunResult RunExtraction(const std::u16string&, const std::u16string&) { return {}; }
CRunResult RunMerge(const std::u16string&, const std::u16string&, const std::u16string&) { return {}; }
int32_t ParseOffsetText(std::u16string_view) { return 0; }
bool ComputeShift(uint32_t, uint32_t, uint32_t, uint32_t, double&, double&) { return false; }
