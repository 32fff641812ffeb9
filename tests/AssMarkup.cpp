#include <string>

#include <gtest/gtest.h>

#include "convert/AssConverter.h"

using namespace tavrel;

namespace
{
struct CAssTextCase
{
    std::u16string_view text;
    std::u16string_view srt;
};

class AssMarkupTest : public testing::TestWithParam<CAssTextCase>
{};

TEST_P(AssMarkupTest, Converts)
{
    EXPECT_EQ(CAssConverter().ConvertAssText(GetParam().text), GetParam().srt);
}

INSTANTIATE_TEST_SUITE_P(
    Markup, AssMarkupTest,
    testing::Values(
        CAssTextCase{u"Hello\\Nworld", u"Hello\rworld"}, CAssTextCase{u"a\\N\\n\\Nb", u"a\rb"},
        CAssTextCase{u"end\\N", u"end"}, CAssTextCase{u"\\Nstart", u"\rstart"},
        CAssTextCase{u"word \\Nnext", u"word\rnext"}, CAssTextCase{u"a\\\\Nb", u"a\\\rb"},
        CAssTextCase{u"hard\\hspace", u"hard\\hspace"}, CAssTextCase{u"a }b", u"a }b"}, CAssTextCase{u"\\N\\N", u"<b>"},
        // Override blocks, split at backslashes.
        CAssTextCase{u"{\\b1}Bold{\\b0} text", u"<b>Bold</b> text"}, CAssTextCase{u"{\\i1}x{\\i0}", u"<i>x</i>"},
        CAssTextCase{u"{\\u1}x{\\u0}", u"<u>x</u>"}, CAssTextCase{u"{\\b1 }x", u"<b>x"},
        CAssTextCase{u"{\\b700}x", u"<b>x"}, CAssTextCase{u"{\\b1\\i1}x", u"<b><i>x"},
        CAssTextCase{u"{\\i1\\b1}x", u"<i><b>x"}, CAssTextCase{u"{\\bord2\\be1}x", u"x"},
        CAssTextCase{u"{\\an8}", u"<b>"}, CAssTextCase{u"{\\fnArial\\i1}x", u"<i>x"},
        CAssTextCase{u"{note\\i1}x", u"<i>x"}, CAssTextCase{u"{just a note}x", u"x"}, CAssTextCase{u"{\\b}x", u"x"},
        CAssTextCase{u"{\\i2}x{\\I1}", u"x"}, CAssTextCase{u"abc{\\i1", u"abc"}, CAssTextCase{u"{{\\i1}x", u"<i>x"},
        CAssTextCase{u"a {\\i1}\\N{\\i0}b", u"a <i>\r</i>b"}, CAssTextCase{u"{\\b1}\\N{\\b0}", u"<b>\r</b>"}));

// The colour rule: the value is BBGGRR, short values padded with zeros.
INSTANTIATE_TEST_SUITE_P(Colours, AssMarkupTest,
                         testing::Values(CAssTextCase{u"{\\c&H00FFFF&}", u"<font color=\"#FFFF00\">"},
                                         CAssTextCase{u"{\\c&H80FF8000&}", u"<font color=\"#0080FF\">"},
                                         CAssTextCase{u"{\\1c&H123456&}", u"<font color=\"#563412\">"},
                                         CAssTextCase{u"{\\c&HFF&}", u"<font color=\"#FF0000\">"},
                                         CAssTextCase{u"{\\c&Hff00&}", u"<font color=\"#00ff00\">"},
                                         CAssTextCase{u"{\\c&HFFFFFF}x", u"x"}, CAssTextCase{u"{\\2c&HFFFFFF&}x", u"x"},
                                         CAssTextCase{u"{\\c}x", u"x"},
                                         CAssTextCase{u"{\\b1\\c&H0000FF&\\i1}x", u"<b><font color=\"#FF0000\"><i>x"}));

}  // namespace
