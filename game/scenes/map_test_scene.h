#pragma once
// The floor viewer: a developer's scene that builds a floor from the floor seed 101 and shows it
// explored and lit. A marker (the heroine) walks it in eight directions; the tester can reseed the
// game's generator, break the wall ahead, light a fire, collapse every wall, and move a cursor over the
// minimap instead of walking. It works on the application's game state.

#include "game/app/scene_control.h"
#include "game/ui/blt_support.h"
#include "gamebase/scene.h"
#include "gamebase/sdk_names.h"

#include <cstdint>

class CSceneTest2 : public QuorlithGameBase::IScene, public CBltSupport, public CSceneSupport
{
public:
    static constexpr std::uint32_t kFloorSeed = 101;
    // Frames no step is taken after the marker stepped onto an item.
    static constexpr std::int32_t kItemStepDelay = 8;
    // Terrain on which the marker slides on by a second cell in the same frame.
    static constexpr std::uint8_t kSlidingTerrain = 10;
    // Terrain below this is a wall of some kind, which the marker cannot stand on.
    static constexpr std::uint8_t kFirstWalkableTerrain = 5;

    // Builds the floor on the application's game state (or the one given); see the top of this file.
    explicit CSceneTest2(CSceneControl* control);
    CSceneTest2(CSceneControl* control, SGameResource* game);

    void OnMove(const std::uint32_t* keyMask) override;
    void OnDraw(Draw::ISurface* plane) override;
    void OnResume() override {}

    // 0 walking, 1 moving the minimap cursor.
    std::uint8_t GetMinimapMode() const { return m_minimapMode; }

    // The counters the scene keeps for the whole program: the seed counter (raised before each reseed),
    // the frames before the next step may be taken, and the frames updated.
    static std::uint32_t& SeedCounter();
    static std::int32_t& StepDelay();
    static std::int32_t& FrameCounter();

private:
    void SetUp();
    // One step of the marker in the direction; true when it ended on a cell of sliding terrain.
    bool StepMarker(std::int32_t direction);

    std::uint8_t m_minimapMode = 0;
};
