#include "game/characters/panel_rules.h"

#include "game/app/game_resource.h"
#include "game/characters/combat.h"

std::int32_t CGamePanelRules::GetAttackPower(SGameResource& game)
{
    return ::GetAttackPower(game, game.characters.GetPlayer());
}

std::int32_t CGamePanelRules::GetDefensePower(SGameResource& game)
{
    return ::GetDefensePower(game, game.characters.GetPlayer());
}

std::int32_t CGamePanelRules::GetStrengthWithBonus(SGameResource& game)
{
    return game.characters.GetPlayer().GetStrengthWithBonus(game);
}

std::int32_t CGamePanelRules::GetMaxStrengthWithBonus(SGameResource& game)
{
    return game.characters.GetPlayer().GetMaxStrengthWithBonus(game);
}

bool CGamePanelRules::HasAbility(SGameResource& game, std::uint16_t ability)
{
    return game.characters.GetPlayer().HasAbility(game, ability);
}

std::int32_t CGamePanelRules::CountCirclesAffecting(SGameResource& game, std::int32_t circleId)
{
    return game.characters.GetPlayer().CountCircles(game, circleId);
}
