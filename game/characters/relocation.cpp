// Moving characters off cells they may no longer stand on.
#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/characters/room_events.h"
#include "game/world/trap_actions.h"

#include <algorithm>
#include <array>
#include <cstddef>

void RelocateCharacter(SGameResource& game, std::uint16_t index, std::int32_t, bool secondQueue)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    if (character.IsGone() || character.x == -1) return;
    std::int32_t cornerLimit = 0;
    std::int32_t terrainLimit = 0;
    character.GetTerrainLimits(game, cornerLimit, terrainLimit);
    SCellPosition cell;
    FindFreeCellNear(game.characters, cell, index, game.map, character.x, character.y, terrainLimit + 1,
                     cornerLimit);
    CActionQueue& queue = secondQueue ? game.commandQueue : game.reactionQueue;
    if (cell.x == -1)
        PushWarpAction(queue, index);
    else if (cell.x != character.x || cell.y != character.y)
        PushRelocateAction(queue, game, index, cell.x, cell.y, false);
}

void RelocateAllCharacters(SGameResource& game)
{
    const auto key = [](const CCharacterControl::SCharacter& c) { return c.x + 65536 * c.y; };
    RelocateCharacter(game, 0xFFFF, 0, false);
    // The taken cells: the heroine's and at most one a slot, few enough to look through in turn.
    std::array<std::int32_t, CCharacterControl::kSlots + 1> taken{};
    std::size_t takenCount = 0;
    const auto take = [&](std::int32_t cell) {
        if (takenCount < taken.size()) taken[takenCount++] = cell;
    };
    const auto isTaken = [&](std::int32_t cell) {
        return std::find(taken.begin(), taken.begin() + std::ptrdiff_t(takenCount), cell) !=
               taken.begin() + std::ptrdiff_t(takenCount);
    };
    take(key(game.characters.GetPlayer()));
    for (std::uint16_t slot = 0; slot < game.characters.monsterCount; ++slot) {
        CCharacterControl::SMonster& monster = game.characters.monsters[slot];
        if (monster.GetType() == 0) continue;
        if (!isTaken(key(monster))) {
            // A character alone on its cell stays while the cell's terrain lets it stand there. Its cell
            // is taken from then on, so that a later character on the same cell is the one that moves.
            std::int32_t cornerLimit = 0;
            std::int32_t terrainLimit = 0;
            monster.GetTerrainLimits(game, cornerLimit, terrainLimit);
            if (monster.x < 0 || monster.y < 0) continue;
            if (game.map.GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).terrain > terrainLimit) {
                take(key(monster));
                continue;
            }
        }
        RelocateCharacter(game, slot, 0, false);
        take(key(monster));
    }
}
