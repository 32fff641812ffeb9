// gen-input srt|text|sami|ass SIZE_MB PATH: writes a generated input file.

#include <cstdio>
#include <cstdlib>

#include "InputGen.h"

using namespace tavrel;

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: gen-input srt|text|sami|ass SIZE_MB PATH\n");
        return 2;
    }
    char* pEnd = nullptr;
    const double dMegabytes = std::strtod(argv[2], &pEnd);
    if (pEnd == argv[2] || *pEnd != 0 || !(dMegabytes >= 0) || dMegabytes > 4096)
    {
        std::fprintf(stderr, "gen-input: bad size '%s'\n", argv[2]);
        return 2;
    }
    const auto nBytes = static_cast<size_t>(dMegabytes * 1024 * 1024);
    if (!benchinput::WriteInput(argv[1], nBytes, argv[3]))
    {
        std::fprintf(stderr, "gen-input: cannot write %s input to %s\n", argv[1], argv[3]);
        return 1;
    }
    return 0;
}
