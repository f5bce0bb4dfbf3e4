#pragma once
// The game's rules as the status window and the parameter panel ask them of the heroine.

#include "game/ui/select_window.h"

class CGamePanelRules final : public IPanelRules
{
public:
    std::int32_t GetAttackPower(SGameResource& game) override;
    std::int32_t GetDefensePower(SGameResource& game) override;
    std::int32_t GetStrengthWithBonus(SGameResource& game) override;
    std::int32_t GetMaxStrengthWithBonus(SGameResource& game) override;
    bool HasAbility(SGameResource& game, std::uint16_t ability) override;
    std::int32_t CountCirclesAffecting(SGameResource& game, std::int32_t circleId) override;
};
