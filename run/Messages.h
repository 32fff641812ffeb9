#pragma once

#include <cstdint>
#include <string>

namespace tavrel
{

// Every message the jobs' run handlers show, in one table.
enum MessageId
{
    MsgNone = 0,  // the run stopped without a message
    MsgSourceReadError,
    MsgTextReadError,
    MsgTimeError,
    MsgCorrectDone,
    MsgCorrectFailed,
    MsgExtractDone,
    MsgExtractFailed,
    MsgMergeDone,
    MsgMergeFailed,
    MsgFormatError,
    MsgSrtToSamiDone,
    MsgSrtToSamiFailed,
    MsgAssToSrtDone,
    MsgAssToSrtFailed,
    MsgSamiToSrtDone,  // formatted with a count
    MsgSamiToSrtFailed,
};

bool IsSuccessMessage(MessageId nId);
// The message text; nCount fills the count of MsgSamiToSrtDone.
std::u16string MessageText(MessageId nId, int32_t nCount = 0);

}  // namespace tavrel
