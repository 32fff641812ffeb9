#pragma once

#include <cstdint>
#include <string>

namespace tavrel
{

// Every message the jobs' run handlers show, in one table.
enum class MessageId
{
    None = 0,  // the run stopped without a message
    SourceReadError,
    TextReadError,
    TimeError,
    CorrectDone,
    CorrectFailed,
    ExtractDone,
    ExtractFailed,
    MergeDone,
    MergeFailed,
    FormatError,
    SrtToSamiDone,
    SrtToSamiFailed,
    AssToSrtDone,
    AssToSrtFailed,
    SamiToSrtDone,  // formatted with a count
    SamiToSrtFailed,
};

bool IsSuccessMessage(MessageId nId);
// The message text; nCount fills the count of MessageId::SamiToSrtDone.
std::u16string MessageText(MessageId nId, int32_t nCount = 0);

}  // namespace tavrel
