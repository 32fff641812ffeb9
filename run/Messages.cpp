#include "run/Messages.h"

#include <string_view>

namespace tavrel
{

namespace
{
struct CMessage
{
    MessageId nId;
    bool bSuccess;
    std::u16string_view text;
};

constexpr CMessage kMessages[] = {
    {MsgNone, false, u""},
    {MsgSourceReadError, false, u"소스 파일 읽기 오류!"},
    {MsgTextReadError, false, u"텍스트 파일 읽기 오류!"},
    {MsgTimeError, false, u"시간 오류!"},
    {MsgCorrectDone, true, u"SRT 쓰기 작업 완료!"},
    {MsgCorrectFailed, false, u"SRT 쓰기 작업 실패!"},
    {MsgExtractDone, true, u"text 추출 완료!"},
    {MsgExtractFailed, false, u"text 추출 실패!"},
    {MsgMergeDone, true, u"SRT/text 합병 완료!"},
    {MsgMergeFailed, false, u"SRT/text 합병 실패!"},
    {MsgFormatError, false, u"자막 오류!"},
    {MsgSrtToSamiDone, true, u"SRT → SAMI 변환 완료!"},
    {MsgSrtToSamiFailed, false, u"SRT → SAMI 변환 실패!"},
    {MsgAssToSrtDone, true, u"ASS/SSA → SRT 변환 완료!"},
    {MsgAssToSrtFailed, false, u"ASS/SSA → SRT 변환 실패!"},
    {MsgSamiToSrtDone, true, u"SAMI → SRT 변환 완료! (%d 개)"},
    {MsgSamiToSrtFailed, false, u"SAMI → SRT 변환 실패!"},
};

const CMessage& Find(MessageId nId)
{
    for (const CMessage& m : kMessages)
        if (m.nId == nId)
            return m;
    return kMessages[0];
}
}  // namespace

bool IsSuccessMessage(MessageId nId)
{
    return Find(nId).bSuccess;
}

std::u16string MessageText(MessageId nId, int32_t nCount)
{
    std::u16string text(Find(nId).text);
    const size_t nAt = text.find(u"%d");
    if (nAt != std::u16string::npos)
    {
        const std::string digits = std::to_string(nCount);
        text.replace(nAt, 2, std::u16string(digits.begin(), digits.end()));
    }
    return text;
}

}  // namespace tavrel
