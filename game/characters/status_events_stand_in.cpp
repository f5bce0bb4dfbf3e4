#include "game/app/game_resource.h"
#include "game/characters/status_events.h"

// Stand-in: the status events with their sounds, messages and side effects replace these; until then
// each only applies its status primitive to the character.

void CauseSleep(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    game.characters.GetCharacterOrPlayer(index).ApplySleepStatus(game, turns);
}

void CauseConfusion(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    game.characters.GetCharacterOrPlayer(index).ApplyConfusionStatus(game, turns);
}

void CauseHallucination(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    game.characters.GetCharacterOrPlayer(index).ApplyHallucinationStatus(game, turns);
}

void CauseBlindness(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    game.characters.GetCharacterOrPlayer(index).ApplyBlindStatus(game, turns);
}

void CauseSlowness(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    game.characters.GetCharacterOrPlayer(index).ApplySlowStatus(game, turns);
}

void CauseItemSeal(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    game.characters.GetCharacterOrPlayer(index).ApplySealStatus(game, turns);
}
