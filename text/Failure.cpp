#include "text/Failure.h"

#include <system_error>

namespace tavrel
{

namespace
{
const char* KindText(FailureKind nKind)
{
    switch (nKind)
    {
    case FailureKind::None:
        return "no failure";
    case FailureKind::InputUnreadable:
        return "input unreadable";
    case FailureKind::InputTooLarge:
        return "input too large";
    case FailureKind::FormatUnrecognised:
        return "format not recognised";
    case FailureKind::NoTimeLine:
        return "no time line in the input";
    case FailureKind::NoCaptionClass:
        return "no caption (P tag) in the SAMI document";
    case FailureKind::NoEventsFormat:
        return "no Format line in the [Events] section";
    case FailureKind::TimeError:
        return "time error: the two source times or the two target times are equal";
    case FailureKind::OutputUnwritable:
        return "output not writable";
    case FailureKind::OutOfMemory:
        return "out of memory";
    case FailureKind::SystemError:
        return "system error";
    }
    return "failure";
}
}  // namespace

CFailure MakeFailure(FailureKind nKind, std::string strDetail)
{
    return CFailure{nKind, std::move(strDetail)};
}

CFailure MakeFileFailure(FailureKind nKind, const std::filesystem::path& path, const std::string& strWhat)
{
    const std::u8string name = path.u8string();
    return MakeFailure(nKind, std::string(name.begin(), name.end()) + ": " + strWhat);
}

std::string FailureReason(const CFailure& failure)
{
    std::string text = KindText(failure.m_nKind);
    if (!failure.m_strDetail.empty())
        text += " (" + failure.m_strDetail + ")";
    return text;
}

std::string SystemErrorText(int nErrno)
{
    return std::generic_category().message(nErrno);
}

}  // namespace tavrel
