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
    {MessageId::None, false, u""},
    {MessageId::SourceReadError, false, u"소스 파일 읽기 오류!"},
    {MessageId::TextReadError, false, u"텍스트 파일 읽기 오류!"},
    {MessageId::TimeError, false, u"시간 오류!"},
    {MessageId::CorrectDone, true, u"SRT 쓰기 작업 완료!"},
    {MessageId::CorrectFailed, false, u"SRT 쓰기 작업 실패!"},
    {MessageId::ExtractDone, true, u"text 추출 완료!"},
    {MessageId::ExtractFailed, false, u"text 추출 실패!"},
    {MessageId::MergeDone, true, u"SRT/text 합병 완료!"},
    {MessageId::MergeFailed, false, u"SRT/text 합병 실패!"},
    {MessageId::FormatError, false, u"자막 오류!"},
    {MessageId::SrtToSamiDone, true, u"SRT → SAMI 변환 완료!"},
    {MessageId::SrtToSamiFailed, false, u"SRT → SAMI 변환 실패!"},
    {MessageId::AssToSrtDone, true, u"ASS/SSA → SRT 변환 완료!"},
    {MessageId::AssToSrtFailed, false, u"ASS/SSA → SRT 변환 실패!"},
    {MessageId::SamiToSrtDone, true, u"SAMI → SRT 변환 완료! (%d 개)"},
    {MessageId::SamiToSrtFailed, false, u"SAMI → SRT 변환 실패!"},
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
