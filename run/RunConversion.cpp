// Placeholder until implemented.
#include "run/RunDispatch.h"
CRunResult RunConversion(const std::u16string&) { CRunResult r; r.m_nMessage = MsgFormatError; return r; }
