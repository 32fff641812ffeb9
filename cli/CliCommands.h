#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavrel
{

// Exit codes of tavrel-cli.
enum class CliExit
{
    Success = 0,
    Failure = 1,
    UsageError = 2,
};

// Runs one command line (the arguments after the program name, as UTF-8).
// The job's message goes to out as one line; usage text and counts go to err.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavrel
