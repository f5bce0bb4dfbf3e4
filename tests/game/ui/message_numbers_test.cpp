#include "game/ui/message_numbers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(MessageNumbers, FullWidthNumbers)
{
    EXPECT_STREQ(FormatFullWidthUnsigned(0).c_str(), "０");
    EXPECT_STREQ(FormatFullWidthUnsigned(4294967295u).c_str(), "４２９４９６７２９５");
    EXPECT_STREQ(FormatFullWidthNumber(-45).c_str(), "-４５");
    EXPECT_STREQ(FormatFullWidthNumber(INT_MIN).c_str(), "-２１４７４８３６４８");
    EXPECT_STREQ(FormatColoredNumber(907).c_str(), "#3９０７#");
}

} // namespace
