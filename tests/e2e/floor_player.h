#pragma once
// The scripted player of a floor: what it presses while the game-main scene shows a floor, or a menu
// opened over it. It reads only the game state and the scene control, never the generator or a clock, so
// the same state always gives the same keys. Its memory is what it did on this floor (the scroll it read,
// the item cells it gave up on, the monster it cannot hurt) and the turns of the floors before; the same
// player must therefore play a run from its first floor to its end, across a suspend and its resume.
//
// On an idle floor, in this order: it attacks an adjacent monster (facing it first); reads the first
// scroll it carries, once a floor, through the game menu, the item list and the item's command menu;
// walks onto the nearest seen item; goes down the stairs it stands on through the game menu's stairs
// entry and the prompt's first line; walks to the stairs by a breadth-first path over explored cells,
// otherwise towards the nearest unexplored cell; and, with nowhere to go, waits a turn where it stands.
// After kGiveUpTurns turns it gives the adventure up through the game menu's settings.

#include "e2e/e2e_harness.h"
#include "game/app/game_resource.h"
#include "game/turn/dungeon_keys.h"
#include "game/ui/message_window.h"

#include <bit>
#include <cstdint>
#include <set>

class CSceneControl;
class CSceneGameMain;
class CSceneMenu;

namespace e2e {

// The game state the scripted players read.
using CGameState = SGameResource;

class CFloorPlayer
{
public:
    // After this many turns on the run the player gives up through the game menu.
    static constexpr std::int32_t kGiveUpTurns = 20000;

    // The keys it presses on a floor (bit numbers of the key mask): the dungeon screen's act (a blow)
    // and dash, both together a turn waited where she stands; its menu key; and the message window's
    // skip, which shows a message line whole and ends its wait. In the menus it presses the menus' own.
    enum EKey : std::int32_t
    {
        kKeyAct = DungeonKeys::kKeyAct,
        kKeyCancel = DungeonKeys::kKeyDash,
        kKeyMenu = DungeonKeys::kKeyMenu,
        kKeySkip = std::countr_zero(CMessageWindow::kKeySkip),
    };

    // What it is doing in the menus it opened.
    enum EGoal : std::int32_t
    {
        kGoalNone = 0,
        kGoalDescend = 1,
        kGoalRead = 2,
        kGoalGiveUp = 3,
    };

    // The scene control whose current scene and menu state the player reads; null reads the running
    // application's.
    void SetSceneControl(const CSceneControl* control) { m_sceneControl = control; }

    // The key mask for the next press frame while the game-main scene or a menu over it shows; 0 when
    // nothing is to be pressed (another scene, or the floor waits for no key).
    std::uint32_t NextKeys(const CGameState& state);
    // The same for what the harness shows after a frame: the scenes of its application.
    std::uint32_t NextKeys(const SPlayView& view);
    // The heroine stands on a new floor: the scroll may be read again and every item is tried again. The
    // player also notices a new floor by itself (the dungeon or the floor number changed).
    void OnNewFloor();

    // On that floor the stairs wait until the heroine has spent that many turns there (a run that is to
    // be suspended there after those turns); a floor of 0 holds nowhere.
    void HoldOnFloor(std::int32_t floor, std::int32_t turns)
    {
        m_holdFloor = floor;
        m_holdTurns = turns;
    }

    // Turns played on the run so far: the floor time of the floors before and of this one.
    std::int32_t GetTurns(const CGameState& state) const;
    EGoal GetGoal() const { return m_goal; }
    bool HasGivenUp() const { return m_gaveUp; }

    // ---- The two halves, for tests that hold the scenes themselves.
    std::uint32_t FloorKeys(const CSceneGameMain& scene, const CGameState& state);
    std::uint32_t MenuKeys(const CSceneMenu& menu, const CGameState& state);

private:
    // Notices a new floor and counts the turns of the one left.
    void TrackFloor(const CGameState& state);
    // The key of the next step towards what the floor offers, 0 when nothing is reachable.
    std::uint32_t StepKeys(const CGameState& state, bool stairsOpen);
    // The monster beside the heroine that she attacks: its direction, -1 for none.
    std::int32_t FindAdjacentTarget(const CGameState& state, std::uint16_t& slot) const;

    const CSceneControl* m_sceneControl = nullptr;
    EGoal m_goal = kGoalNone;
    bool m_gaveUp = false;
    // This floor.
    std::int32_t m_floorKey = -1;
    bool m_scrollRead = false;
    std::int32_t m_readSlot = -1;
    std::set<std::int32_t> m_skippedItemCells; // x * 44 + y
    std::set<std::uint16_t> m_unhurtable;      // monster slots its blows do not harm
    std::uint16_t m_lastTarget = CCharacterControl::kNoSlot;
    std::int32_t m_lastTargetHp = 0;
    std::int32_t m_blowsWithoutHarm = 0;
    // Presses on an idle floor since the floor time last moved.
    std::int32_t m_lastFloorTime = -1;
    std::int32_t m_pressesWithoutTurn = 0;
    // Presses in the current menu visit.
    std::int32_t m_menuPresses = 0;
    std::int32_t m_holdFloor = 0;
    std::int32_t m_holdTurns = 0;
    // Turns of the floors left before this one.
    std::int32_t m_turnsBefore = 0;
};

} // namespace e2e
