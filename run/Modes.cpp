#include "run/Modes.h"

#include <array>

namespace tavrel
{

namespace
{
constexpr std::array kFileFilters = {
    "subtitle files (*.smi *.ssa *.ass *.srt);;All files (*)",
    "SRT files (*.srt);;All files (*)",
    "text files (*.txt);;All files (*)",
};
}  // namespace

std::span<const CModeRow> ModeRows()
{
    return kModeTable;
}

const CModeRow* FindMode(Mode nMode)
{
    for (const CModeRow& row : kModeTable)
        if (row.nMode == nMode)
            return &row;
    return nullptr;
}

const CModeRow* FindModeByVerb(std::string_view verb)
{
    for (const CModeRow& row : kModeTable)
        if (row.cliVerb == verb)
            return &row;
    return nullptr;
}

std::span<const COcrRow> OcrRows()
{
    return kOcrTable;
}

const char* FileFilterText(FileFilter nFilter)
{
    return kFileFilters[static_cast<size_t>(nFilter)];
}

}  // namespace tavrel
