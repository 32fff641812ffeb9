#include "run/Messages.h"

#include <gtest/gtest.h>

using namespace tavrel;

TEST(Messages, FormatsTheSamiFileCount)
{
    EXPECT_EQ(MessageText(MsgSamiToSrtDone, 3), u"SAMI → SRT 변환 완료! (3 개)");
}

TEST(Messages, TellsSuccessFromFailure)
{
    EXPECT_TRUE(IsSuccessMessage(MsgCorrectDone));
    EXPECT_TRUE(IsSuccessMessage(MsgSamiToSrtDone));
    EXPECT_FALSE(IsSuccessMessage(MsgCorrectFailed));
    EXPECT_FALSE(IsSuccessMessage(MsgTimeError));
    EXPECT_FALSE(IsSuccessMessage(MsgNone));
}
