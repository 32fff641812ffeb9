#pragma once

#include <filesystem>
#include <string>

namespace tavrel
{

// Why a load, a job or a write did not succeed.
enum class FailureKind
{
    None,
    InputUnreadable,
    InputTooLarge,
    FormatUnrecognised,
    NoTimeLine,
    NoCaptionClass,
    NoEventsFormat,
    TimeError,
    OutputUnwritable,
    OutOfMemory,
    SystemError,
};

// A failure kind and what the system or the job said about it (a path and
// the system's error text, for instance).
struct CFailure
{
    FailureKind m_nKind = FailureKind::None;
    std::string m_strDetail;

    bool IsFailure() const { return m_nKind != FailureKind::None; }
};

CFailure MakeFailure(FailureKind nKind, std::string strDetail = {});
// "path: what" with the path in UTF-8.
CFailure MakeFileFailure(FailureKind nKind, const std::filesystem::path& path, const std::string& strWhat);
// One line for a person: the kind in words, then the detail.
std::string FailureReason(const CFailure& failure);
// The system's text for an errno value.
std::string SystemErrorText(int nErrno);

}  // namespace tavrel
