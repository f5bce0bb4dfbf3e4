#include "game/app/game_resource.h"
#include "game/characters/character_control.h"

void RelocateCharacter(SGameResource& game, std::uint16_t index, std::int32_t, bool)
{
    // Stand-in: the world upkeep's relocation replaces this; it searches the same cell but pushes the
    // slide action to it (the warp action when none is free) instead of moving the character at once.
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    if (character.IsGone() || character.x == -1) return;
    std::int32_t cornerLimit = 0;
    std::int32_t terrainLimit = 0;
    character.GetTerrainLimits(game, cornerLimit, terrainLimit);
    SCellPosition cell;
    FindFreeCellNear(game.characters, cell, index, game.map, character.x, character.y, terrainLimit + 1,
                     cornerLimit);
    if (cell.x != -1) character.SetPosition(cell.x, cell.y);
}
