#pragma once
// The camp between adventures. Its item menus leave the player's commands in the game state's command
// sequence; when a menu returns, the camp applies the first waiting command (or group) at once. Only
// discarding has an effect at the camp: nothing is shown and nothing is logged.

#include "game/data/player_command.h"

struct SGameResource;

class CSceneCamp
{
public:
    // Stand-in: the camp scene's frame, drawing, menus and its place among the scenes join this class
    // when the camp scene itself is built; until then it only holds the game state its commands act on.
    explicit CSceneCamp(SGameResource& game) : m_game(game) {}

    SGameResource& GetGame() const { return m_game; }

    // Applies the first command of the sequence, or the first group (a kind-14 command and those after
    // it up to its kind-0 end), and removes it; afterwards only carried items are kept.
    void ApplyQueuedItemCommands();

private:
    SGameResource& m_game;
};

// Discards the command's item (arg2) from the inventory or from a carried pot, deleting it; an equipped
// cursed weapon or shield stays. Nothing is shown.
void CampDiscardItem(CSceneCamp& camp, const SPlayerCommand& command);
