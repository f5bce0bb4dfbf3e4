#include "game/items/item_commands.h"

#include <gtest/gtest.h>

namespace {

TEST(ItemCommands, OneLinePerCodeInOrder)
{
    const struct
    {
        std::vector<std::int32_t> codes;
        std::int32_t itemClass;
        bool equipped, blocked;
        const char* text;
    } cases[] = {
        {{}, 1, false, false, ""},
        {{1, 3, 12}, 5, false, true, "　装備\n#r　飲む\n　捨てる\n"},
        {{1, 2, 4, 7}, 3, true, false, "　外す\n　撃つ\n　見る\n　置く\n"},
        {{2, 3}, 1, false, false, "　投げる\n"}, // weapons have no use verb
        {{3}, 11, false, true, "#r"},            // the mark stays for the next line
        {{0, 13, -1}, 4, false, true, ""},
        {{5, 12}, 12, false, true, "#r　出す\n　壊す\n"},
        {{12}, 13, false, false, "　消す\n"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(BuildItemCommandList(c.codes, c.itemClass, c.equipped, c.blocked).c_str(), c.text);
}

} // namespace
