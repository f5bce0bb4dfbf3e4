// A run of the first dungeon played below the menus, by commands a small script chooses from the game
// state, then suspended, resumed by the silent re-run and watched as a replay: each of those must reach
// the states the run itself reached. The hashes name the states.

#include "e2e/state_hash.h"
#include "game/app/game_resource.h"
#include "game/app/ranking_table.h"
#include "game/app/replay.h"
#include "game/app/save_game.h"
#include "game/app/scene_control.h"
#include "game/app/suspend.h"
#include "game/characters/adventure.h"
#include "game/characters/monster_movement.h"
#include "game/core/directions.h"
#include "game/core/play_mode.h"
#include "game/data/global_data.h"
#include "game/dataset/built_data.h"
#include "game/turn/turn_phases.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t kRunSeed = 0x5EED1234;
constexpr std::uint16_t kRunValue = 0x4321;
constexpr std::int32_t kFloors = 6;        // the run gives up on reaching this floor
constexpr std::int32_t kSuspendFloor = 3;  // and a suspended run stops here
constexpr std::int32_t kSuspendTurns = 10; // after this many commands
constexpr std::int32_t kFloorCommandCap = 3000;
constexpr std::uint64_t kFrameCap = 400000;

// Hands the game-main scene its start parameter, as the title does; builds no scene.
class CParameterFactory : public CSceneFactory
{
public:
    void CreateScene(ZTL::smart_ptr<QuorlithGameBase::IScene>&, std::int32_t, CSceneControl*) override {}
};

bool IsFloorCell(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return CMapControl::IsOnMap(x, y) && game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain >= 5;
}

// The next command: attack a monster beside her, take the stairs under her, else a step on the
// shortest path to the stairs over floor cells. It reads the state and nothing else.
SPlayerCommand ChooseCommand(SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    for (std::int32_t d = 0; d < 8; ++d) {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(d, dx, dy);
        const std::uint16_t slot = game.characters.FindMonsterIndexAt(player.x + dx, player.y + dy);
        if (slot == CCharacterControl::kNoSlot || game.characters.monsters[slot].type != kCharacterHostile)
            continue;
        // A blow across a wall's corner does not land.
        if (dx != 0 && dy != 0 &&
            (!IsFloorCell(game, player.x + dx, player.y) || !IsFloorCell(game, player.x, player.y + dy)))
            continue;
        return MakePlayerCommand(7, d);
    }
    const SMapCell& under = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
    if (under.objectKind == kObjectStairs) return MakePlayerCommand(8, player.direction, 0xFFFF, 3);

    // Breadth first from the stairs, so that each cell knows its step towards them.
    const auto open = [&](std::int32_t x, std::int32_t y) { return IsFloorCell(game, x, y); };
    std::array<std::int32_t, CMapControl::kWidth * CMapControl::kHeight> distance;
    distance.fill(-1);
    std::deque<std::pair<std::int32_t, std::int32_t>> queue{{game.map.stairsX, game.map.stairsY}};
    distance[std::size_t(game.map.stairsX * CMapControl::kHeight + game.map.stairsY)] = 0;
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        for (std::int32_t d = 0; d < 8; ++d) {
            std::int32_t dx = 0, dy = 0;
            DirectionToStep(d, dx, dy);
            const std::int32_t nx = x + dx, ny = y + dy;
            if (!open(nx, ny) || (dx != 0 && dy != 0 && (!open(x + dx, y) || !open(x, y + dy)))) continue;
            std::int32_t& at = distance[std::size_t(nx * CMapControl::kHeight + ny)];
            if (at != -1) continue;
            at = distance[std::size_t(x * CMapControl::kHeight + y)] + 1;
            queue.emplace_back(nx, ny);
        }
    }
    // The nearest step she can take; where no cell nearer can be stepped on (a corner the map does not
    // let her cut), the step that loses least.
    std::int32_t best = -1;
    std::int32_t bestDistance = 0;
    for (std::int32_t d = 0; d < 8; ++d) {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(d, dx, dy);
        const std::int32_t nx = player.x + dx, ny = player.y + dy;
        if (!CMapControl::IsOnMap(nx, ny) || !CanStepInDirection(player, d, game, true)) continue;
        const std::int32_t there = distance[std::size_t(nx * CMapControl::kHeight + ny)];
        if (there == -1 || (best != -1 && there >= bestDistance)) continue;
        best = d;
        bestDistance = there;
    }
    if (best != -1) return MakePlayerCommand(5, best);
    return MakePlayerCommand(7, player.direction);
}

struct SRunLog
{
    std::vector<std::uint32_t> floorEnds; // the hash as each floor is left, from floor 1
    std::uint32_t atSuspend = 0;
    std::uint32_t rerunEnd = 0; // when the silent re-run handed back to normal play
    std::uint32_t runEnd = 0;
};

class LoggedRunTest : public BuiltDataTest
{
protected:
    std::unique_ptr<SGameResource> NewProgram()
    {
        // What the application does at its start: the global data read, the user's folders made.
        g_globalData = SGlobalData();
        LoadGlobalData(g_globalData);
        CreateUserFolders(g_globalData);
        auto game = LoadGame();
        game->random.SetSeed(1);
        return game;
    }

    // Plays frames until the run reaches its last floor (then gives up) or, when `suspend`, reaches the
    // suspend point. Commands are chosen only in normal play; keys are pressed on every other frame so
    // that messages waiting for one go on.
    void Play(SGameResource& game, CSceneGameMain& scene, SRunLog& log, bool suspend)
    {
        std::int32_t commandsOnFloor = 0;
        std::int32_t floor = game.floor;
        bool wasDescending = false;
        bool wasRerun = game.playMode == kPlaySilentRerun;
        for (std::uint64_t frame = 0; frame < kFrameCap; ++frame) {
            const std::uint32_t keys = frame % 2 == 0 ? 1u : 0u;
            scene.OnMove(&keys);
            if (game.dungeon == 0) {
                log.runEnd = e2e::ComputeStateHash(game);
                return;
            }
            if (wasRerun && game.playMode == kPlayNormal) log.rerunEnd = e2e::ComputeStateHash(game);
            wasRerun = game.playMode == kPlaySilentRerun;
            if (scene.descending != 0 && !wasDescending) log.floorEnds.push_back(e2e::ComputeStateHash(game));
            wasDescending = scene.descending != 0;
            if (game.floor != floor) {
                floor = game.floor;
                commandsOnFloor = 0;
            }
            const bool idle = game.playerCommands.empty() && scene.turnState == 0 &&
                              game.commandQueue.IsIdle() && game.reactionQueue.IsIdle() &&
                              scene.descending == 0;
            if (game.playMode == kPlayReplay) {
                if (game.endOfPlay != 0 || scene.returnToTitle != 0) return;
                continue;
            }
            if (!idle || game.playMode != kPlayNormal) continue;
            if (game.floor >= kFloors) {
                game.characters.player.hp = 0;
                game.deathCause = 2;
                EndAdventure(game, ranking);
                log.runEnd = e2e::ComputeStateHash(game);
                return;
            }
            if (suspend && game.floor == kSuspendFloor && commandsOnFloor == kSuspendTurns) {
                log.atSuspend = e2e::ComputeStateHash(game);
                UpdateGlobalDataEntry(game, true);
                return;
            }
            ASSERT_LT(commandsOnFloor, kFloorCommandCap) << "floor " << game.floor;
            game.playerCommands.push_back(ChooseCommand(game));
            ++commandsOnFloor;
        }
        FAIL() << "the run did not end within the frame cap";
    }

    // A new run of dungeon 1 with a fixed seed, as the camp starts it.
    void StartRun(SGameResource& game)
    {
        game.ResetForNewGame();
        game.userNumber = 7;
        game.saveName = "e2e";
        StartAdventure(game, 1, kRunSeed, kRunValue);
    }

    std::unique_ptr<CSceneGameMain> MakeScene(SGameResource& game, std::int32_t parameter)
    {
        control.SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CParameterFactory));
        if (parameter != 0) control.GetFactory()->SetSceneParameter(parameter);
        auto scene = std::make_unique<CSceneGameMain>(&control, game);
        scene->ranking = &ranking;
        return scene;
    }

    CSceneControl control;
    CRankingTable ranking;
};

TEST_F(LoggedRunTest, ResumedAndReplayedRunsReachTheRunsStates)
{
    // The run that never suspends, and its replay written.
    SRunLog whole;
    ZTL::string replayFile;
    {
        auto game = NewProgram();
        StartRun(*game);
        auto scene = MakeScene(*game, 0);
        Play(*game, *scene, whole, false);
        ASSERT_GE(whole.floorEnds.size(), std::size_t(kSuspendFloor)) << "the run ended too early";
        ASSERT_EQ(WriteReplay(*game, replayFile), kReplayWritten);
    }

    // The same run suspended on floor 2, resumed in a new program.
    SRunLog first;
    {
        auto game = NewProgram();
        StartRun(*game);
        auto scene = MakeScene(*game, 0);
        Play(*game, *scene, first, true);
    }
    ASSERT_EQ(first.floorEnds.size(), std::size_t(kSuspendFloor - 1));
    EXPECT_EQ(first.floorEnds[0], whole.floorEnds[0]) << "two runs of one seed went apart on floor 1";
    SRunLog resumed;
    {
        auto game = NewProgram();
        game->userNumber = 7;
        game->saveName = "e2e";
        ASSERT_EQ(LoadSaveGame(*game), kSaveDone);
        game->playMode = kPlaySilentRerun;
        auto scene = MakeScene(*game, 1);
        Play(*game, *scene, resumed, false);
    }
    ASSERT_NE(first.atSuspend, 0u) << "the run did not reach the suspend";
    EXPECT_EQ(resumed.rerunEnd, first.atSuspend) << "the silent re-run did not end where the suspend was";
    ASSERT_EQ(resumed.floorEnds.size(), whole.floorEnds.size() - (kSuspendFloor - 1));
    for (std::size_t i = 0; i < resumed.floorEnds.size(); ++i)
        EXPECT_EQ(resumed.floorEnds[i], whole.floorEnds[i + kSuspendFloor - 1])
            << "floor " << i + kSuspendFloor;
    EXPECT_EQ(resumed.runEnd, whole.runEnd);

    // The replay of the whole run, watched.
    SRunLog watched;
    {
        auto game = NewProgram();
        ASSERT_EQ(OpenReplay(*game, replayFile), kReplayOpened);
        game->replayStart = 1;
        game->floor = 1;
        auto scene = MakeScene(*game, 2);
        Play(*game, *scene, watched, false);
    }
    ASSERT_GE(watched.floorEnds.size(), whole.floorEnds.size());
    for (std::size_t i = 0; i < whole.floorEnds.size(); ++i)
        EXPECT_EQ(watched.floorEnds[i], whole.floorEnds[i]) << "replayed floor " << i + 1;
}

} // namespace
