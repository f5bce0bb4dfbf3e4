#pragma once
// The game state's side of the return to the camp and the arrival there.

#include "game/app/run_transitions.h"

#include <cstdint>

struct SGameResource;

// What the return to the camp and the arrival there ask of the item control and the message window.
class CGameCampServices final : public ICampServices
{
public:
    explicit CGameCampServices(SGameResource& game) : m_game(game) {}
    void RecoverOwnEquipment() override;
    void ResetIdentification(std::int32_t dungeon) override;
    void SetFlagsOfAllItems(std::uint16_t flags) override;
    // The message window keeps no skip flag of its own.
    void ClearMessageSkip() override {}

private:
    SGameResource& m_game;
};
