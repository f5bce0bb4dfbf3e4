// The clipboard as the program reaches it, through the headless back end.

#include "platform/backend_chooser.h"
#include "platform/clipboard.h"
#include "platform/host/headless/headless.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

class ClipboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SelectBackend("headless"));
        headless::SetClipboardRefused(false);
        headless::ClearClipboard();
    }
    void TearDown() override
    {
        headless::SetClipboardRefused(false);
        headless::ClearClipboard();
    }
};

TEST_F(ClipboardTest, ACp932TextArrivesAsUtf8)
{
    ASSERT_TRUE(SetClipboardText("\x96\xB6\x92\x4A ABC")); // 霧谷 ABC
    EXPECT_EQ(headless::GetClipboardContents(), "\xE9\x9C\xA7\xE8\xB0\xB7 ABC");
    std::string read;
    ASSERT_TRUE(GetBackend().GetClipboardText(read));
    EXPECT_EQ(read, "\xE9\x9C\xA7\xE8\xB0\xB7 ABC");
}

TEST_F(ClipboardTest, ARefusedClipboardOrATextThatIsNotCp932LeavesItAsItWas)
{
    ASSERT_TRUE(SetClipboardText("old"));
    headless::SetClipboardRefused(true);
    EXPECT_FALSE(SetClipboardText("new"));
    std::string read;
    EXPECT_FALSE(GetBackend().GetClipboardText(read)) << "a refused clipboard cannot be read either";
    headless::SetClipboardRefused(false);
    EXPECT_FALSE(SetClipboardText("\x96")) << "a lead byte without its trail byte";
    EXPECT_EQ(headless::GetClipboardContents(), "old");
}

} // namespace
