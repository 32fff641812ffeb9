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

std::u16string Base(std::u16string_view input)
{
    return std::u16string(input.substr(0, FindExtension(input)));
}

std::u16string Stem(std::u16string_view input, std::u16string_view targetExtension)
{
    const size_t nExt = FindExtension(input);
    if (EqualsNoCase(input.substr(nExt), targetExtension))
        return std::u16string(input);
    return std::u16string(input.substr(0, nExt));
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
    const CModeRow* pRow = FindMode(nMode);
    if (path.empty() || pRow == nullptr)
        return {};
    const std::u16string base = Base(path);
    switch (pRow->nNaming)
    {
    case NamingRule::Fixed:
        return base + u" (fixed).srt";
    case NamingRule::Extracted:
        return base + (EqualsNoCase(path.substr(base.size()), u".txt") ? u" (extracted).txt" : u".txt");
    case NamingRule::Merged:
        return base + u" (merged).srt";
    case NamingRule::None:
        break;
    }
    return {};
}

std::u16string SrtToSamiOutput(std::u16string_view input)
{
    return Stem(input, u".smi") + u".smi";
}

std::u16string SrtToUtf8SamiOutput(std::u16string_view input)
{
    return Stem(input, u".smi") + u".UTF8.smi";
}

std::u16string AssToSrtOutput(std::u16string_view input)
{
    return Stem(input, u".srt") + u".srt";
}

std::u16string SamiClassOutput(std::u16string_view input, std::u16string_view className)
{
    return Base(input) + u"." + std::u16string(className) + u".srt";
}

}  // namespace tavrel
