#include "game/app/game_resource.h"
#include "game/characters/level_changes.h"

#include <algorithm>

void AddExperience(SGameResource& game, std::int32_t amount)
{
    // Stand-in: the level rules with their messages and equipment growth replace this; until then only
    // the experience changes, within 0 .. 999999999.
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    player.experience =
        std::int32_t(std::clamp<std::int64_t>(std::int64_t(player.experience) + amount, 0, 999999999));
}

void ChangeCharacterRank(SGameResource& game, std::uint16_t index, std::int32_t delta)
{
    // Stand-in: the rank rules with their messages and the rank-down of a level-1 monster replace this;
    // until then the level setter alone takes the new level.
    if (index == 0xFFFF || delta == 0) return;
    CCharacterControl::SCharacter& character = game.characters.GetCharacter(index);
    character.SetLevel(character.level + delta, game);
}
