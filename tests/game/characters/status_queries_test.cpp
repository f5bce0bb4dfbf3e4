#include "game/characters/status_queries.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(CharacterStatus, MarkedCell)
{
    SCharacterStatus status;
    const std::array<int, 4> cases[] = {
        {0xFF, 1, 1, true}, {0, 5, 6, false}, {3, 5, 6, true}, {3, 5, 7, false}};
    for (auto [turns, x, y, at] : cases) {
        status.boundTurns = std::uint8_t(turns);
        status.boundX = std::uint8_t(x);
        status.boundY = std::uint8_t(y);
        EXPECT_EQ(IsAtMarkedCell(status, 5, 6), bool(at)) << turns << " " << x << " " << y;
    }
}

} // namespace
