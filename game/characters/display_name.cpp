#include "game/characters/display_name.h"

#include "game/app/game_resource.h"
#include "game/characters/character_names.h"

ZTL::string GetDisplayName(SGameResource& game, std::uint16_t index)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    SCharacterNameFacts facts;
    facts.type = character.GetType();
    facts.kindId = std::uint16_t(character.kindId);
    facts.level = character.level;
    facts.invisibleToPlayer = index != 0xFFFF && character.IsCharacterInvisible(game);
    facts.kindName = game.characters.GetMonsterKind(character.kindId).name;
    const SCharacterStatus& sight = game.characters.GetPlayer().status;
    return GetCharacterDisplayName(&facts, game.heroineNameFlag != 0,
                                   sight.blindTurns != 0 || sight.hallucinationTurns != 0);
}
