#include "text/CodePageName.h"

#include <string>

namespace tavrel
{

namespace
{
struct CCodePageName
{
    std::string_view name;
    int nNumber;
};

// Names folded to lower case without '-' and '_'.
constexpr CCodePageName kNames[] = {
    {"cp949", 949},        {"euckr", 949},        {"uhc", 949},          {"cp932", 932},        {"shiftjis", 932},
    {"sjis", 932},         {"cp936", 936},        {"gbk", 936},          {"cp950", 950},        {"big5", 950},
    {"cp1250", 1250},      {"windows1250", 1250}, {"cp1251", 1251},      {"windows1251", 1251}, {"cp1252", 1252},
    {"windows1252", 1252}, {"cp1253", 1253},      {"windows1253", 1253}, {"cp1254", 1254},      {"windows1254", 1254},
    {"cp1255", 1255},      {"windows1255", 1255}, {"cp1256", 1256},      {"windows1256", 1256}, {"cp1257", 1257},
    {"windows1257", 1257}, {"cp1258", 1258},      {"windows1258", 1258}, {"cp874", 874},        {"windows874", 874},
    {"utf8", 65001},       {"cp65001", 65001},
};

std::string Fold(std::string_view name)
{
    std::string folded;
    for (char c : name)
    {
        if (c == '-' || c == '_')
            continue;
        folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}
}  // namespace

bool ParseCodePageName(std::string_view name, CodePage& codePage)
{
    const std::string folded = Fold(name);
    for (const CCodePageName& entry : kNames)
    {
        if (entry.name == folded)
        {
            codePage.m_nNumber = entry.nNumber;
            return true;
        }
    }
    return false;
}

}  // namespace tavrel
