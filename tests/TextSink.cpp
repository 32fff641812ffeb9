#include "text/TextSink.h"

#include <string>

#include <gtest/gtest.h>

using namespace tavrel;

namespace
{
// Records each piece handed to the writer, so the tests see where the sink cut the text.
class CPieceSink : public CTextSink
{
public:
    std::u16string m_strPieces;
    CFailure Failure() const override { return {}; }

protected:
    bool WriteUnits(std::u16string_view text) override
    {
        m_strPieces += std::u16string(text) + u"|";
        return true;
    }
    bool Finish() override { return true; }
};

const std::u16string kPair = u"\U0001F600";

TEST(TextSink, NeverSplitsASurrogatePairBetweenWrites)
{
    CPieceSink sink;
    sink.Write(u"a" + kPair.substr(0, 1));
    sink.Write(kPair.substr(1) + u"b");
    sink.Write(kPair.substr(0, 1));
    sink.Write(u"");
    sink.Write(kPair.substr(1));
    ASSERT_TRUE(sink.Commit());
    EXPECT_EQ(sink.m_strPieces, u"a|" + kPair + u"|b|" + kPair + u"|");
}

TEST(TextSink, FlushWritesOnlyEnoughPendingTextAndKeepsAHighSurrogate)
{
    CPieceSink sink;
    sink.Pending() = u"short";
    EXPECT_FALSE(sink.Flush());
    EXPECT_EQ(sink.m_strPieces, u"");
    sink.Pending() = std::u16string(CTextSink::kFlushUnits - 1, u'x') + kPair.substr(0, 1);
    EXPECT_TRUE(sink.Flush());
    EXPECT_EQ(sink.Pending(), kPair.substr(0, 1));
    sink.Pending() += kPair.substr(1);
    ASSERT_TRUE(sink.Commit());
    EXPECT_EQ(sink.m_strPieces, std::u16string(CTextSink::kFlushUnits - 1, u'x') + u"|" + kPair + u"|");
}

// A lone high surrogate at the very end is written as it is; the encoder makes it U+FFFD.
TEST(TextSink, CommitWritesALastLoneHighSurrogate)
{
    CPieceSink sink;
    sink.Write(kPair.substr(0, 1));
    ASSERT_TRUE(sink.Commit());
    EXPECT_EQ(sink.m_strPieces, kPair.substr(0, 1) + u"|");
}
}  // namespace
