#include "run/OutputNaming.h"

#include "text/Unicode.h"

namespace tavrel
{

namespace
{
bool IsFolderSeparator(char16_t c)
{
#ifdef _WIN32
    return c == u'/' || c == u'\\';
#else
    return c == u'/';
#endif
}
}  // namespace

size_t FindExtension(std::u16string_view path)
{
    for (size_t i = path.size(); i > 0; --i)
    {
        const char16_t c = path[i - 1];
        if (c == u'.')
            return i - 1;
        if (IsFolderSeparator(c))
            break;
    }
    return path.size();
}

std::u16string MakeOutputName(Mode nMode, std::u16string_view input)
{
    const std::u16string_view path = TrimWhiteSpace(input);
    if (path.empty())
        return {};
    const size_t nExt = FindExtension(path);
    std::u16string base(path.substr(0, nExt));
    const std::u16string_view ext = path.substr(nExt);
    switch (nMode)
    {
    case Mode::Correct:
        return base + u" (fixed).srt";
    case Mode::Extract:
        return base + (EqualsNoCase(ext, u".txt") ? u" (extracted).txt" : u".txt");
    case Mode::Merge:
        return base + u" (merged).srt";
    default:
        return {};
    }
}

}  // namespace tavrel
