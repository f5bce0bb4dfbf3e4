#include "game/ui/message_window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The pending lines as "text sound wait page".
std::vector<std::string> Pending(const CMessageWindow& window)
{
    std::vector<std::string> lines;
    for (const CMessageWindow::SLine& line : window.pending)
        lines.push_back(std::string(line.text.c_str()) + " " + std::to_string(line.soundEffect) + " " +
                        std::to_string(line.wait) + " " + std::to_string(line.newPage));
    return lines;
}

TEST(MessageWindow, AddMessageQueuesEachLineWithItsSoundAndWait)
{
    const struct
    {
        const char* text;
        std::int32_t sound;
        std::int32_t rule;
        std::vector<std::string> lines;
    } cases[] = {
        {"one", -1, 1, {"one -1 18 1"}},
        {"one", 4, 0, {"one 4 0 1"}},
        {"one\ntwo\nthree", 4, -1, {"one 4 0 1", "two -1 0 0", "three -1 -1 0"}},
        {"one\n", -1, -1, {"one -1 0 1"}},
        {"one\n\ntwo", -1, 1, {"one -1 0 1"}}, // an empty line ends the message
        {"", 4, 1, {}},
    };
    for (const auto& c : cases) {
        CMessageWindow window;
        window.SetDefaultWait(18);
        window.AddMessage(c.sound, c.rule, c.text);
        EXPECT_EQ(Pending(window), c.lines) << c.text;
        EXPECT_EQ(window.pendingRevealWidths.size() + window.log.size(), 2 * c.lines.size()) << c.text;
    }

    // Log-only: nothing shown, and the log keeps the last 100 lines.
    CMessageWindow window;
    window.logOnly = 1;
    for (int i = 0; i < 101; ++i)
        window.AddMessage(-1, 1, std::to_string(i).c_str());
    EXPECT_TRUE(window.pending.empty());
    ASSERT_EQ(window.log.size(), 100u);
    EXPECT_STREQ(window.log.front().text.c_str(), "1");
}

} // namespace
