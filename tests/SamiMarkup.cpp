#include <random>
#include <string>

#include <gtest/gtest.h>

#include "convert/SamiReader.h"

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
{
};

TEST_P(SamiMarkupTest, Translates)
{
    EXPECT_EQ(Translate(GetParam().caption), GetParam().srt);
}

INSTANTIATE_TEST_SUITE_P(
    TagRules, SamiMarkupTest,
    testing::Values(CMarkupCase{u"a<BR>b", u"a\rb"}, CMarkupCase{u"a<br/>b", u"a\rb"}, CMarkupCase{u"a<Br />b", u"a\rb"},
                    CMarkupCase{u"<B>x</B>", u"<b>x</b>"}, CMarkupCase{u"<BIG>x</BIG>", u"<b>x</b>"},
                    CMarkupCase{u"<body>x</BODY>", u"<b>x</b>"}, CMarkupCase{u"<I>x</I>", u"<i>x</i>"},
                    CMarkupCase{u"<img src=a>x", u"<i>x"}, CMarkupCase{u"<U>x</U>", u"<u>x</u>"},
                    CMarkupCase{u"x</BR>y", u"x</b>y"},
                    CMarkupCase{u"<FONT COLOR=#FF0000>red</FONT>", u"<font COLOR=#FF0000>red</font>"},
                    CMarkupCase{u"<font color=\"Red\" face='A'>x</font >", u"<font color=\"Red\" face='A'>x</font>"},
                    CMarkupCase{u"<FONT>x", u"<font >x"}, CMarkupCase{u"< b >x< /font >", u"<b>x</font>"},
                    CMarkupCase{u"<P>x</P><SYNC><SPAN>y</SPAN><RUBY><S>z<!-- c -->", u"xyz"},
                    CMarkupCase{u"&amp; &lt;", u"&amp; &lt;"}));

INSTANTIATE_TEST_SUITE_P(
    WhiteSpace, SamiMarkupTest,
    testing::Values(CMarkupCase{u"", u""}, CMarkupCase{u"&nbsp;", u""}, CMarkupCase{u"&NBSP", u""},
                    CMarkupCase{u" \r<p><span> \r", u""}, CMarkupCase{u"a&nbsp;&nbsp;b", u"a  b"},
                    CMarkupCase{u"Hello<br>World", u"Hello\rWorld"},
                    CMarkupCase{u"Hello<br>\rWorld", u"Hello\rWorld"}, CMarkupCase{u"\rHello", u"Hello"},
                    CMarkupCase{u"a  \r  b   ", u"a\r  b"}, CMarkupCase{u"a\t\rb", u"a\t\rb"},
                    CMarkupCase{u"a\r\r\r\rb", u"a\rb"}, CMarkupCase{u"a \r \r b", u"a\r b"}));

INSTANTIATE_TEST_SUITE_P(
    EmptyStyles, SamiMarkupTest,
    testing::Values(CMarkupCase{u"Hello <b></b>world", u"Hello world"}, CMarkupCase{u"<i> </i>Hello", u" Hello"},
                    CMarkupCase{u"<i>\r</i>Hello", u"\rHello"}, CMarkupCase{u"<i>Hello", u"<i>Hello"},
                    CMarkupCase{u"x<i> \r ", u"x"}, CMarkupCase{u"a < b", u"a"},
                    CMarkupCase{u"<i><b><u> </u></b></i>x", u" x"}, CMarkupCase{u"<i><b></i></b>x", u"<i><b></i></b>x"},
                    CMarkupCase{u"x<i><i><i><i>", u"x"}, CMarkupCase{u"<font color=red> </font>x", u" x"},
                    CMarkupCase{u"<font color=red><i></i></font>x<font>", u"x"},
                    CMarkupCase{u"</i><i>x</i></i>", u"</i><i>x</i></i>"}));

// The translation done the long way: every step on its own, every removal
// pass repeated until nothing changes.
std::u16string TranslateSlowly(std::u16string_view caption)
{
    auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 11 || c == 12; };
    auto lower = [](std::u16string s) {
        for (char16_t& c : s)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c + 32);
        return s;
    };
    auto trim = [&](std::u16string s) {
        while (!s.empty() && isSpace(s.back()))
            s.pop_back();
        size_t b = 0;
        while (b < s.size() && isSpace(s[b]))
            ++b;
        return s.substr(b);
    };
    std::u16string work;
    for (size_t i = 0; i < caption.size();)
    {
        const std::u16string head = lower(std::u16string(caption.substr(i, 6)));
        if (head == u"&nbsp;" || head.substr(0, 5) == u"&nbsp")
        {
            work += u' ';
            i += head == u"&nbsp;" ? 6 : 5;
        }
        else
        {
            work += caption[i++];
        }
    }
    work += u'\r';
    std::u16string out;
    size_t p = 0;
    while (p < work.size())
    {
        const size_t nOpen = work.find(u'<', p);
        if (nOpen == std::u16string::npos)
        {
            out += work.substr(p);
            break;
        }
        out += work.substr(p, nOpen - p);
        size_t nClose = work.find(u'>', nOpen + 1);
        std::u16string tag;
        if (nClose == std::u16string::npos)
        {
            nClose = work.size() - 1;
            tag = work.substr(nOpen + 1);
        }
        else
        {
            tag = work.substr(nOpen + 1, nClose - nOpen - 1);
        }
        const std::u16string t = trim(tag);
        const std::u16string l = lower(t);
        if (l.size() >= 2 && l.substr(0, 2) == u"br")
            out += u'\r';
        else if (!l.empty() && (l[0] == u'b' || l[0] == u'i' || l[0] == u'u'))
            out += u"<" + l.substr(0, 1) + u">";
        else if (l.size() >= 2 && l[0] == u'/' && (l[1] == u'b' || l[1] == u'i' || l[1] == u'u'))
            out += u"</" + l.substr(1, 1) + u">";
        else if (l.size() >= 4 && l.substr(0, 4) == u"font")
            out += u"<font " + trim(t.substr(4)) + u">";
        else if (l.substr(0, 5) == u"/font")
            out += u"</font>";
        p = nClose + 1;
    }
    size_t b = 0;
    while (b < out.size() && isSpace(out[b]))
        ++b;
    out.erase(0, b);
    auto allLow = [&](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k)
            if (out[k] > u' ')
                return false;
        return true;
    };
    for (bool bRemoved = out.find(u'<') != std::u16string::npos; bRemoved;)
    {
        bRemoved = false;
        for (const std::u16string style : {u"i", u"b", u"u"})
        {
            const std::u16string open = u"<" + style + u">", close = u"</" + style + u">";
            for (size_t pos = 0, o; (o = out.find(open, pos)) != std::u16string::npos;)
            {
                const size_t c = out.find(close, o + 3);
                if (allLow(o + 3, c == std::u16string::npos ? out.size() : c))
                {
                    if (c != std::u16string::npos)
                        out.erase(c, 4);
                    out.erase(o, 3);
                    bRemoved = true;
                    pos = o + 1;
                }
                else
                {
                    pos = o + 3;
                }
            }
        }
        for (size_t pos = 0, f; (f = out.find(u"<font", pos)) != std::u16string::npos;)
        {
            const size_t g = out.find(u'>', f + 5);
            if (g == std::u16string::npos)
                break;
            const size_t c = out.find(u"</font>", g + 1);
            if (allLow(g + 1, c == std::u16string::npos ? out.size() : c))
            {
                if (c != std::u16string::npos)
                    out.erase(c, 7);
                out.erase(f, g - f + 1);
                bRemoved = true;
                pos = f + 1;
            }
            else
            {
                pos = g + 1;
            }
        }
    }
    for (size_t k; (k = out.find(u" \r")) != std::u16string::npos;)
        out.erase(k, 1);
    for (size_t k; (k = out.find(u"\r\r")) != std::u16string::npos;)
        out.erase(k, 1);
    while (!out.empty() && isSpace(out.back()))
        out.pop_back();
    return out;
}

TEST(SamiMarkup, AgreesWithStepByStepTranslation)
{
    const std::u16string_view pieces[] = {u"<i>", u"</i>", u"<B>", u"</b>", u"<u>", u"</U>", u"<font color=red>",
                                          u"</font>", u"<font>", u"<br>", u" ", u"\r", u"x", u"&nbsp;", u"<p>",
                                          u"\t", u"&nbsp", u"< i >", u"<"};
    std::mt19937 random(11);
    for (int nRound = 0; nRound < 20000; ++nRound)
    {
        std::u16string caption;
        const int nCount = static_cast<int>(random() % 10);
        for (int k = 0; k < nCount; ++k)
            caption += pieces[random() % std::size(pieces)];
        ASSERT_EQ(Translate(caption), TranslateSlowly(caption)) << "round " << nRound;
    }
}

TEST(SamiMarkup, StaysLinearOnNestedAndUnclosedStyles)
{
    std::u16string nested;
    for (int k = 0; k < 100000; ++k)
        nested += u"<i><b>";
    nested += u" ";
    for (int k = 0; k < 100000; ++k)
        nested += u"</b></i>";
    EXPECT_EQ(Translate(nested + u"x"), u" x");

    std::u16string unclosed = u"x";
    for (int k = 0; k < 200000; ++k)
        unclosed += u"<i>";
    EXPECT_EQ(Translate(unclosed), u"x");

    std::u16string breaks = u"a";
    for (int k = 0; k < 200000; ++k)
        breaks += u" \r";
    EXPECT_EQ(Translate(breaks + u"b"), u"a\rb");
}
}  // namespace
