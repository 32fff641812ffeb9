#include "run/Messages.h"

#include <gtest/gtest.h>

using namespace tavrel;

TEST(Messages, FormatsTheSamiFileCount)
{
    EXPECT_EQ(MessageText(MessageId::SamiToSrtDone, 3), u"SAMI → SRT 변환 완료! (3 개)");
}

TEST(Messages, TellsSuccessFromFailure)
{
    EXPECT_TRUE(IsSuccessMessage(MessageId::CorrectDone));
    EXPECT_TRUE(IsSuccessMessage(MessageId::SamiToSrtDone));
    EXPECT_FALSE(IsSuccessMessage(MessageId::CorrectFailed));
    EXPECT_FALSE(IsSuccessMessage(MessageId::TimeError));
    EXPECT_FALSE(IsSuccessMessage(MessageId::None));
}
