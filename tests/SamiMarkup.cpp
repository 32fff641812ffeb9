#include <string>

#include <gtest/gtest.h>

#include "convert/SamiReader.h"

using namespace tavrel;

namespace
{
std::u16string Translate(std::u16string_view caption)
{
    const std::u16string text = u"<P>" + std::u16string(caption) + u"<P>";
    return CSamiReader().TranslateSamiMarkup(text.c_str(), 3, static_cast<int32_t>(text.size()) - 4);
}

struct CMarkupCase
{
    std::u16string_view caption;
    std::u16string_view srt;
};

class SamiMarkupTest : public testing::TestWithParam<CMarkupCase>
{};

TEST_P(SamiMarkupTest, Translates)
{
    EXPECT_EQ(Translate(GetParam().caption), GetParam().srt);
}

INSTANTIATE_TEST_SUITE_P(
    TagRules, SamiMarkupTest,
    testing::Values(CMarkupCase{u"a<BR>b", u"a\rb"}, CMarkupCase{u"a<br/>b", u"a\rb"},
                    CMarkupCase{u"a<Br />b", u"a\rb"}, CMarkupCase{u"<B>x</B>", u"<b>x</b>"},
                    CMarkupCase{u"<BIG>x</BIG>", u"<b>x</b>"}, CMarkupCase{u"<body>x</BODY>", u"<b>x</b>"},
                    CMarkupCase{u"<I>x</I>", u"<i>x</i>"}, CMarkupCase{u"<img src=a>x", u"<i>x"},
                    CMarkupCase{u"<U>x</U>", u"<u>x</u>"}, CMarkupCase{u"x</BR>y", u"x</b>y"},
                    CMarkupCase{u"<FONT COLOR=#FF0000>red</FONT>", u"<font COLOR=#FF0000>red</font>"},
                    CMarkupCase{u"<font color=\"Red\" face='A'>x</font >", u"<font color=\"Red\" face='A'>x</font>"},
                    CMarkupCase{u"<FONT>x", u"<font >x"}, CMarkupCase{u"< b >x< /font >", u"<b>x</font>"},
                    CMarkupCase{u"<P>x</P><SYNC><SPAN>y</SPAN><RUBY><S>z<!-- c -->", u"xyz"},
                    CMarkupCase{u"&amp; &lt;", u"&amp; &lt;"}, CMarkupCase{u"< i >x&nbspy", u"<i>x y"}));

INSTANTIATE_TEST_SUITE_P(WhiteSpace, SamiMarkupTest,
                         testing::Values(CMarkupCase{u"", u""}, CMarkupCase{u"&nbsp;", u""}, CMarkupCase{u"&NBSP", u""},
                                         CMarkupCase{u" \r<p><span> \r", u""}, CMarkupCase{u"a&nbsp;&nbsp;b", u"a  b"},
                                         CMarkupCase{u"Hello<br>World", u"Hello\rWorld"},
                                         CMarkupCase{u"Hello<br>\rWorld", u"Hello\rWorld"},
                                         CMarkupCase{u"\rHello", u"Hello"}, CMarkupCase{u"a  \r  b   ", u"a\r  b"},
                                         CMarkupCase{u"a\t\rb", u"a\t\rb"}, CMarkupCase{u"a\r\r\r\rb", u"a\rb"},
                                         CMarkupCase{u"a \r \r b", u"a\r b"}));

INSTANTIATE_TEST_SUITE_P(
    EmptyStyles, SamiMarkupTest,
    testing::Values(CMarkupCase{u"Hello <b></b>world", u"Hello world"}, CMarkupCase{u"<i> </i>Hello", u" Hello"},
                    CMarkupCase{u"<i>\r</i>Hello", u"\rHello"}, CMarkupCase{u"<i>Hello", u"<i>Hello"},
                    CMarkupCase{u"x<i> \r ", u"x"}, CMarkupCase{u"a < b", u"a"},
                    CMarkupCase{u"<i><b><u> </u></b></i>x", u" x"}, CMarkupCase{u"<i><b></i></b>x", u"<i><b></i></b>x"},
                    CMarkupCase{u"x<i><i><i><i>", u"x"}, CMarkupCase{u"<font color=red> </font>x", u" x"},
                    CMarkupCase{u"<font color=red><i></i></font>x<font>", u"x"},
                    CMarkupCase{u"</i><i>x</i></i>", u"</i><i>x</i></i>"}));

}  // namespace
