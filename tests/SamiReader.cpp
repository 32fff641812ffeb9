#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "JobTestUtil.h"
#include "TestUtil.h"
#include "convert/SamiReader.h"
#include "text/TextFileStream.h"

using namespace tavrel;

using namespace testutil;

namespace
{
int32_t Length(const std::u16string& text)
{
    return static_cast<int32_t>(text.size());
}

// The same attribute text inside a SYNC tag and inside a P tag: {attributes, start time, class}.
TEST(SamiTagValue, ReadsStartTimeAndClassName)
{
    const std::tuple<std::u16string, uint32_t, std::u16string> cases[] = {
        {u"Start='1,500'", 1500, u""},
        {u"Start=-500", 500, u""},
        {u"Start=abc", 0, u""},
        {u"End=2000 start = \"1000\"", 1000, u""},
        {u"Start=4294967295", 4294967295u, u""},
        {u"Start=4294967296", 0, u""},   // wraps
        {u"Begin=7 Starts=9", 79, u""},  // no Start attribute: every digit
        {u"Class=KR-CC", 0, u"KRCC"},
        {u"Class=KRCC ID=Main", 0, u"KRCC"},
        {u"CLASS = \"En CC\" ID=2", 2, u"EnCC"},
        {u"Class", 0, u""},
        {u"Subclass=KRCC", 0, u""}};
    const CSamiReader reader;
    for (const auto& [tag, nStart, strClass] : cases)
    {
        const std::u16string sync = u"<SYNC " + tag + u">", paragraph = u"<P " + tag + u">";
        EXPECT_EQ(reader.GetSyncStart(sync.c_str(), 0, Length(sync) - 1), nStart) << testing::PrintToString(tag);
        EXPECT_EQ(reader.GetParagraphClass(paragraph.c_str(), 0, Length(paragraph) - 1), strClass);
    }
}

// {text, is a SYNC tag, is a P tag, body end (-1: the length)}.
TEST(SamiTagKind, TellsTagKinds)
{
    const std::tuple<std::u16string, bool, bool, int32_t> cases[] = {{u"<sync>", true, false, -1},
                                                                     {u"</SYNC>", false, false, -1},
                                                                     {u"< SYNC>", false, false, -1},
                                                                     {u"<pre>", false, true, -1},
                                                                     {u"</P>", false, false, -1},
                                                                     {u"ab</body x>", false, false, 2},
                                                                     {u"</SAMI>", false, false, 0},
                                                                     {u"</SAMIParam><x></Sami>", false, false, 15},
                                                                     {u"</bodyx></body1>", false, false, -1},
                                                                     {u"<SYNC Start=1", false, false, -1}};
    const CSamiReader reader;
    for (const auto& [text, bSync, bParagraph, nBodyEnd] : cases)
    {
        int32_t nOpen = 0, nClose = 0;
        EXPECT_EQ(reader.FindSyncTag(text.c_str(), Length(text), 0, nOpen, nClose), bSync)
            << testing::PrintToString(text);
        EXPECT_EQ(reader.FindParagraphTag(text.c_str(), Length(text), 0, nOpen, nClose), bParagraph);
        EXPECT_EQ(reader.FindBodyEnd(text.c_str(), Length(text), 0), nBodyEnd < 0 ? Length(text) : nBodyEnd);
    }
}

// Each record as "start|class|text".
TEST(SamiWalk, CutsCaptions)
{
    const std::pair<std::u16string, std::vector<std::u16string>> cases[] = {
        {u"<SYNC Start=1><P Class=A>one\r<SYNC Start=2><P Class=A>two\r", {u"1|A|one\r", u"2|A|two\r"}},
        // A SYNC tag without a P tag borrows the next P tag; the SYNC tags between are passed over.
        {u"<SYNC Start=1>x<SYNC Start=2>y<P Class=A>z", {u"1|A|z"}},
        {u"<P Class=A>before<SYNC Start=3><P Class=A>c", {u"3|A|c"}},
        {u"<SYNC Start=1><P Class=A>a<i>b<SYNC Start=2", {u"1|A|a<i>b<SYNC Start=2"}},
        {u"<SYNC Start=1><P Class=A>a < b<SYNC Start=2><P Class=A>c", {u"1|A|a < b<SYNC Start=2>", u"1|A|c"}},
        {u"<SYNC Start=1><P Class=A>a<PRE>b", {u"1|A|a", u"1||b"}},
        {u"<SYNC Start=1><SYNC Start=2>", {}},
        {u"<P Class=A>text", {}}};
    for (const auto& [text, records] : cases)
    {
        std::vector<std::u16string> got;
        CSamiReader().WalkCaptions(text.c_str(), Length(text), [&](const CaptionRecord& record) {
            const std::string start = std::to_string(record.m_nStart);
            got.push_back(std::u16string(start.begin(), start.end()) + u"|" + record.m_strClass + u"|" +
                          text.substr(static_cast<size_t>(record.m_nFirst),
                                      static_cast<size_t>(record.m_nLast - record.m_nFirst + 1)));
        });
        EXPECT_EQ(got, records);
    }
}

TEST(SamiCollectClasses, ListsDistinctClassesInOrderOfAppearance)
{
    const std::u16string text =
        u"<P Class=ENCC><SYNC Start=1><P Class=KRCC>a<P Class=krcc>b<P class=KRCC>c<P>d<P ID=1>e";
    const CClassList classes = CSamiReader().CollectClasses(text.c_str(), Length(text));
    EXPECT_EQ(classes.m_vecNames, (std::vector<std::u16string>{u"ENCC", u"KRCC", u"krcc", u""}));
    const CSamiReader reader;
    EXPECT_EQ(reader.IndexOfClass(classes, u"krcc"), 2);
    EXPECT_EQ(reader.IndexOfClass(classes, u""), 3);
    EXPECT_EQ(reader.IndexOfClass(classes, u"missing"), 0);
}

// Captions end at the next entry (an empty one too: see WritesOneSrtPerClass); 2^32-1 start times sort
// and print in full; lines before the first visible text are joined.
TEST(SamiBuildSrt, OrdersAndEndsCaptions)
{
    const std::pair<std::vector<std::pair<uint32_t, std::u16string>>, std::u16string> cases[] = {
        {{{1000, u"b"}, {1000, u"a"}},
         u"1\r00:00:01,000 --> 00:00:01,000\ra\r\r2\r00:00:01,000 --> 00:00:11,000\rb\r\r"},
        {{{1000, u"a"}, {1000, u"a"}}, u"1\r00:00:01,000 --> 00:00:11,000\ra\r\r"},
        {{{4294967295u, u"late"}, {0, u"a"}},
         u"1\r00:00:00,000 --> 1193:02:47,295\ra\r\r2\r1193:02:47,295 --> 1193:02:57,295\rlate\r\r"},
        {{{360000000, u"a"}, {1000000001, u"b"}, {999999999, u"c"}},
         u"1\r100:00:00,000 --> 277:46:39,999\ra\r\r2\r277:46:39,999 --> 277:46:40,001\rc\r\r"
         u"3\r277:46:40,001 --> 277:46:50,001\rb\r\r"},
        {{{0, u"<i>\rHello\r<b>x"}}, u"1\r00:00:00,000 --> 00:00:10,000\r<i>Hello\r<b>x\r\r"},
        {{{0, u"  \rA <font\rx> B"}}, u"1\r00:00:00,000 --> 00:00:10,000\r  A <font\rx> B\r\r"}};
    for (const auto& [entries, srt] : cases)
    {
        std::u16string pool;
        CCaptionList list(pool);
        for (const auto& [nStart, text] : entries)
            CSamiReader().InsertCaptionEntry(list, nStart, text);
        EXPECT_EQ(CSamiReader().BuildSrtText(list), srt);
    }
}

// Keeps what a class's output got once it is committed.
class CRecordingSink : public CStringSink
{
public:
    CRecordingSink(std::map<std::string, std::string>& outputs, std::string name)
        : m_outputs(outputs),
          m_name(std::move(name))
    {}

protected:
    bool Finish() override
    {
        CStringSink::Finish();
        m_outputs[m_name] = FileBytes(Text());
        return true;
    }

private:
    std::map<std::string, std::string>& m_outputs;
    std::string m_name;
};

class SamiConvertTest : public testing::Test
{
protected:
    int32_t Convert(std::string_view bytes, FailureKind nExpected = FailureKind::None)
    {
        CTextBuffer document;
        LoadInto(document, bytes);
        int32_t nClasses = -1;
        const CFailure failure = CSamiReader().ConvertSamiToSrt(
            document,
            [this](const std::u16string& className) -> std::unique_ptr<CTextSink> {
                if (className == m_unwritableClass)
                    return std::make_unique<CTextFileStream>(m_dir.Path());
                return std::make_unique<CRecordingSink>(m_outputs, U16ToUtf8(className));
            },
            &nClasses);
        EXPECT_EQ(failure.m_nKind, nExpected);
        return nClasses;
    }
    std::string Output(const std::string& className)
    {
        const auto it = m_outputs.find(className);
        return it == m_outputs.end() ? "(none)" : it->second;
    }

    CTempDir m_dir;
    std::u16string m_unwritableClass = u"-";
    std::map<std::string, std::string> m_outputs;
};

TEST_F(SamiConvertTest, WritesOneSrtPerClass)
{
    const std::string sami = Bytes(u8"<SAMI>\r\n<HEAD><SAMIParam>\r\n  Length: 1\r\n</SAMIParam></HEAD>\r\n<BODY>\r\n"
                                   u8"<SYNC Start=1000><P Class=KRCC>Hello<br>world\r\n"
                                   u8"<SYNC Start=3500><P Class=KRCC>&nbsp;\r\n"
                                   u8"<SYNC Start=5000><P Class=KRCC>Bye\r\n</BODY>\r\n</SAMI>\r\n");
    ASSERT_EQ(Convert(sami), 1);
    EXPECT_EQ(Output("KRCC"), Saved("1\n00:00:01,000 --> 00:00:03,500\nHello\nworld\n\n"
                                    "2\n00:00:05,000 --> 00:00:15,000\nBye\n\n"));
}

TEST_F(SamiConvertTest, KeepsTheClassesApart)
{
    const std::string sami =
        Bytes(u8"<SAMI><BODY><P Class=XX>\r\n<SYNC Start=2000><P Class=KRCC>안녕<P Class=ENCC>Hi\r\n"
              u8"<SYNC Start=1000 End=1500><P Class=ENCC>First\r\n"
              u8"<SYNC Start=4000><P Class=KRCC>&nbsp;<P Class=ENCC>&nbsp;\r\n</BODY></SAMI>");
    ASSERT_EQ(Convert(sami), 3);
    EXPECT_EQ(Output("XX"), kBom);
    EXPECT_EQ(Output("KRCC"), Saved(Bytes(u8"1\n00:00:02,000 --> 00:00:04,000\n안녕\n\n")));
    EXPECT_EQ(Output("ENCC"), Saved("1\n00:00:01,000 --> 00:00:02,000\nFirst\n\n"
                                    "2\n00:00:02,000 --> 00:00:04,000\nHi\n\n"));
}

// Several P tags of one class in one SYNC: {captions, the KRCC file's cues}. P tags in SYNC tags of their own stay
// apart, also at the same time.
TEST_F(SamiConvertTest, JoinsParagraphsOfOneSyncAndOrdersCaptionsOfOneTime)
{
    const std::pair<std::string, std::string> cases[] = {
        {"<SYNC Start=1000><P Class=KRCC>one<P Class=KRCC>two", "1\n00:00:01,000 --> 00:00:11,000\none\ntwo\n\n"},
        {"<SYNC Start=1000><P Class=KRCC>one<P Class=ENCC>en<P Class=KRCC>two",
         "1\n00:00:01,000 --> 00:00:11,000\none\ntwo\n\n"},
        {"<SYNC Start=1000><P Class=KRCC>&nbsp;<P Class=KRCC>two", "1\n00:00:01,000 --> 00:00:11,000\ntwo\n\n"},
        {"<SYNC Start=1000><P Class=KRCC>one<br><P Class=KRCC>two", "1\n00:00:01,000 --> 00:00:11,000\none\ntwo\n\n"},
        {"<SYNC Start=1000><P Class=KRCC>one<SYNC Start=1000><P Class=KRCC>two",
         "1\n00:00:01,000 --> 00:00:01,000\none\n\n2\n00:00:01,000 --> 00:00:11,000\ntwo\n\n"},
        {"<SYNC Start=1000><P Class=KRCC>one<SYNC Start=2000><P Class=KRCC>two",
         "1\n00:00:01,000 --> 00:00:02,000\none\n\n2\n00:00:02,000 --> 00:00:12,000\ntwo\n\n"},
        // Captions that start together are told apart by their texts: a caption equal to the greatest one before it
        // is dropped, a joined one too; ties left out of order are sorted by text.
        {"<SYNC Start=1000><P Class=KRCC>same<SYNC Start=1000><P Class=KRCC>same",
         "1\n00:00:01,000 --> 00:00:11,000\nsame\n\n"},
        {"<SYNC Start=2000><P Class=KRCC>b<SYNC Start=1000><P Class=KRCC>z<SYNC Start=1000><P Class=KRCC>a"
         "<SYNC Start=1000><P Class=KRCC>z",
         "1\n00:00:01,000 --> 00:00:01,000\na\n\n2\n00:00:01,000 --> 00:00:01,000\nz\n\n"
         "3\n00:00:01,000 --> 00:00:02,000\nz\n\n4\n00:00:02,000 --> 00:00:12,000\nb\n\n"},
        {"<SYNC Start=1000><P Class=KRCC>x<SYNC Start=1000><P Class=KRCC>x<P Class=KRCC>&nbsp;"
         "<SYNC Start=1000><P Class=KRCC>y",
         "1\n00:00:01,000 --> 00:00:01,000\nx\n\n2\n00:00:01,000 --> 00:00:11,000\ny\n\n"},
        {"<SYNC Start=1000><P Class=KRCC>&nbsp;<SYNC Start=1000><P Class=KRCC><br><SYNC Start=3000><P Class=KRCC>z",
         "1\n00:00:03,000 --> 00:00:13,000\nz\n\n"},
    };
    for (const auto& [captions, srt] : cases)
    {
        ASSERT_EQ(Convert("<SAMI><BODY>" + captions + "</BODY></SAMI>"),
                  captions.find("ENCC") == std::string::npos ? 1 : 2)
            << captions;
        EXPECT_EQ(Output("KRCC"), Saved(srt)) << captions;
    }
}

TEST_F(SamiConvertTest, ClasslessParagraphHasTheEmptyClass)
{
    ASSERT_EQ(Convert("<SYNC Start=1><P ID=nameless>x"), 1);
    EXPECT_EQ(Output(""), Saved("1\n00:00:00,001 --> 00:00:10,001\nx\n\n"));
}

TEST_F(SamiConvertTest, DocumentsWithoutCaptionsHaveNoCaptionClass)
{
    EXPECT_EQ(Convert("<SAMI><SYNC Start=1>text</SAMI>", FailureKind::NoCaptionClass), 0);
    EXPECT_TRUE(m_outputs.empty());
    EXPECT_EQ(Convert("<BODY></BODY><P Class=A>after the end", FailureKind::NoCaptionClass), 0);
}

TEST_F(SamiConvertTest, AnUnwritableOutputFailsAndTheOthersAreWritten)
{
    m_unwritableClass = u"A";
    EXPECT_EQ(Convert("<SYNC Start=1><P Class=A>a<P Class=B>b", FailureKind::OutputUnwritable), 2);
    EXPECT_EQ(Output("B"), Saved("1\n00:00:00,001 --> 00:00:10,001\nb\n\n"));
}

}  // namespace
