#include "game/scenes/map_test_scene.h"

#include "game/app/game_resource.h"
#include "game/characters/character_drawing.h"
#include "game/characters/room_events.h"
#include "game/core/directions.h"
#include "game/scenes/screen_panels.h"
#include "game/world/dungeon_gen.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

namespace {

constexpr std::uint32_t Bit(int n)
{
    return 1u << n;
}

// Tries of the floor generator, each with the next seeds, before the scene shows what it has.
constexpr std::int32_t kGenerateTries = 65536;

// The direction keys (8 up, 9 left, 10 down, 11 right) as one of the eight directions; -1 for none.
std::int32_t ReadDirection(std::uint32_t keys)
{
    const bool up = (keys & Bit(8)) != 0, left = (keys & Bit(9)) != 0;
    const bool down = (keys & Bit(10)) != 0, right = (keys & Bit(11)) != 0;
    if (up && left) return 3;
    if (up && right) return 5;
    if (down && left) return 1;
    if (down && right) return 7;
    if (up) return 4;
    if (left) return 2;
    if (down) return 0;
    if (right) return 6;
    return -1;
}

// The floor of the game state's dungeon and floor from its floor seed, the seeds derived as a floor of
// a run derives them; a floor that cannot be finished is tried again with the next seeds.
void GenerateFloor(SGameResource& game)
{
    auto gen = std::make_unique<DungeonGen>();
    gen->Reset();
    const std::uint32_t depth = static_cast<std::uint32_t>(game.floor) - 1u;
    std::uint32_t seedA = depth * 0x3FF0000u + game.seed;
    std::uint32_t seedB = (depth * 1024u + game.passwordValue) & 0xFFFFu;
    for (std::int32_t tries = 0; tries < kGenerateTries && gen->Generate(game, seedA, seedB) != 0; ++tries) {
        ++seedA;
        ++seedB;
    }
}

} // namespace

std::uint32_t& CSceneTest2::SeedCounter()
{
    static std::uint32_t counter = kFloorSeed;
    return counter;
}

std::int32_t& CSceneTest2::StepDelay()
{
    static std::int32_t delay = 0;
    return delay;
}

std::int32_t& CSceneTest2::FrameCounter()
{
    static std::int32_t frames = 0;
    return frames;
}

CSceneTest2::CSceneTest2(CSceneControl* control) : CSceneSupport(control)
{
    SetUp();
}

CSceneTest2::CSceneTest2(CSceneControl* control, SGameResource* game) : CSceneSupport(control, game)
{
    SetUp();
}

void CSceneTest2::SetUp()
{
    DropSceneParameter();
    // The marker walks while a direction key is held; the other keys act once per press.
    if (m_sceneControl != nullptr && m_sceneControl->GetKeyObject().get() != nullptr) {
        CKeyThread& keys = *m_sceneControl->GetKeyObject();
        for (int key = 0; key < 8; ++key)
            keys.SetRepeatValue(key, 128);
        for (int key = 8; key < 12; ++key)
            keys.SetRepeatValue(key, 0);
    }
    m_minimapMode = 0;
    if (m_game == nullptr) return;
    SGameResource& game = *m_game;
    SeedGameRandom(game, kFloorSeed);
    game.seed = kFloorSeed;
    GenerateFloor(game);
    // Darkness does not fade, and the whole floor is explored, lit and drawn again.
    game.map.displayFlag = 1;
    game.map.RevealFloor();
}

bool CSceneTest2::StepMarker(std::int32_t direction)
{
    SGameResource& game = *m_game;
    CMapControl& map = game.map;
    CCharacterControl::SPlayer& marker = game.characters.GetPlayer();
    marker.direction = direction;
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(direction, dx, dy);
    const std::int32_t fromX = marker.x, fromY = marker.y;
    marker.x = std::clamp(fromX + dx, 0, CMapControl::kWidth - 1);
    marker.y = std::clamp(fromY + dy, 0, CMapControl::kHeight - 1);
    map.TickFires();
    bool slides = false;
    const SMapCell& cell = map.GetCell(std::uint32_t(marker.x), std::uint32_t(marker.y));
    if (cell.terrain < kFirstWalkableTerrain) {
        marker.x = fromX;
        marker.y = fromY;
    } else {
        slides = cell.terrain == kSlidingTerrain;
        map.MarkExplored(marker.x, marker.y);
    }
    map.UpdateMinimapMarks(game);
    if (map.GetCell(std::uint32_t(marker.x), std::uint32_t(marker.y)).objectKind == kObjectItem)
        StepDelay() = kItemStepDelay;
    return slides;
}

void CSceneTest2::OnMove(const std::uint32_t* keyMask)
{
    if (m_game == nullptr) return;
    const std::uint32_t keys = keyMask != nullptr ? *keyMask : 0;
    SGameResource& game = *m_game;
    CMapControl& map = game.map;
    CCharacterControl::SPlayer& marker = game.characters.GetPlayer();

    if ((keys & Bit(6)) != 0) {
        m_minimapMode ^= 1;
        map.SetMinimapCursor(marker.x, marker.y);
    }
    for (const int key : {18, 20}) {
        if ((keys & Bit(key)) == 0) continue;
        const std::uint32_t seed = ++SeedCounter();
        SeedGameRandom(game, seed);
        game.seed = seed;
    }

    if (m_minimapMode == 1) {
        if ((keys & Bit(8)) != 0) map.MoveMinimapCursor(0, -1);
        if ((keys & Bit(10)) != 0) map.MoveMinimapCursor(0, 1);
        if ((keys & Bit(9)) != 0) map.MoveMinimapCursor(-1, 0);
        if ((keys & Bit(11)) != 0) map.MoveMinimapCursor(1, 0);
        map.AdvanceAnimation();
    } else if (StepDelay() == 0) {
        const std::int32_t direction = ReadDirection(keys);
        // Ice carries the marker one cell further, unless it came to rest on an item.
        if (direction >= 0 && StepMarker(direction) && StepDelay() == 0) StepMarker(direction);
    } else {
        --StepDelay();
    }

    if ((keys & Bit(1)) != 0) StepDelay() = 0;
    if ((keys & Bit(2)) != 0) {
        // The wall ahead: any direction outside 0 to 7 gives no step, so the marker's own cell.
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(marker.direction, dx, dy);
        map.BreakWall(marker.x + dx, marker.y + dy);
        map.MarkExplored(marker.x, marker.y);
    }
    if ((keys & Bit(4)) != 0) map.PlaceFire(marker.x, marker.y, 0xFFFF);
    if ((keys & Bit(7)) != 0) map.CollapseAllWalls();

    UpdateDungeonFrame(game);
    map.AdvanceAnimation();
    game.characters.UpdateAnimation(game);
    map.UpdateMinimapMarks(game);
    ++FrameCounter();
}

void CSceneTest2::OnDraw(Draw::ISurface* plane)
{
    if (m_game == nullptr || plane == nullptr) return;
    SGameResource& game = *m_game;
    CMapControl& map = game.map;
    if (m_minimapMode == 0) {
        map.DrawMap(game, *plane);
        map.DrawDarkness(game, *plane);
        DrawAllCharacters(game.characters, *plane, game, true);
        map.DrawMinimapCells(*plane, false);
    } else {
        map.DrawMinimapCells(*plane, true);
        map.DrawMinimapCrossLines(*plane, true);
        map.DrawDarkness(game, *plane);
        DrawAllCharacters(game.characters, *plane, game, true);
    }
    DrawStatusBar(*plane, game);
}
