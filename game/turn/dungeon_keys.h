#pragma once
// The logical keys of the dungeon screen: bit numbers of the key mask the game-main scene reads while the
// heroine waits for a command.

#include <cstdint>

namespace DungeonKeys {
enum EDungeonKey : std::int32_t
{
    kKeyAct = 0,
    kKeyDash = 1,
    kKeyTurn = 2,
    kKeyMenu = 3,
    kKeyShoot = 4,
    kKeyDiagonal = 5,
    kKeyMap = 6,
    kKeySwap = 7,
    kKeyUp = 8,
    kKeyLeft = 9,
    kKeyDown = 10,
    kKeyRight = 11,
    kKeyUpLeft = 12,
    kKeyUpRight = 13,
    kKeyDownLeft = 14,
    kKeyDownRight = 15,
};
} // namespace DungeonKeys
