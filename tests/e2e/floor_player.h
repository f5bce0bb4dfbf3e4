#pragma once
// The scripted player of a floor: what it presses while the game-main scene shows a floor, or a menu
// opened over it. It reads only the game state and the scene control, never the generator or a clock, so
// the same state always gives the same keys. Its only memory is what it did on this floor (the scroll it
// read, the menu walk it is in), which OnNewFloor forgets.

#include "game/app/game_resource.h"

#include <cstdint>

class CSceneControl;

namespace e2e {

// The game state the scripted players read.
using CGameState = SGameResource;

class CFloorPlayer
{
public:
    // After this many turns on the run the player gives up through the game menu.
    static constexpr std::int32_t kGiveUpTurns = 20000;

    // The scene control whose current scene and menu state the player reads; null reads the running
    // application's.
    void SetSceneControl(const CSceneControl* control) { m_sceneControl = control; }

    // The key mask for the next press frame while the game-main scene or a menu over it shows; 0 when
    // nothing is to be pressed yet (a message or an animation is playing out).
    std::uint32_t NextKeys(const CGameState& state);
    // The heroine stands on a new floor: the scroll may be read again there.
    void OnNewFloor();

    // Turns played on the run so far, as the player counts them.
    std::int32_t GetTurns() const { return m_turns; }

private:
    const CSceneControl* m_sceneControl = nullptr;
    bool m_scrollRead = false;
    std::int32_t m_turns = 0;
};

} // namespace e2e
