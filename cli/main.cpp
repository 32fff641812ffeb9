#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"

int main(int argc, char** argv)
{
    // The legacy code page of text without a byte-order mark follows the locale.
    std::setlocale(LC_CTYPE, "");
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return tavrel::RunCli(args, std::cout, std::cerr);
}
