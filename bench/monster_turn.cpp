// One turn of a crowded floor on the built data set: a floor of dungeon 5 started as the game starts it,
// 30 monsters on it, all awake, and the heroine stepping in place. The play mode is the silent re-run's,
// so every motion and effect ends at once and a turn runs from its start (turn state 1) back to idle
// (turn state 0) without a frame in between. Meant to stay within 50 us a turn.
//
// The same turn in normal play, where every turn's command goes into the run's action log on disk
// before the turn runs, with the log already holding 0 or 10,000 turns, and with the log off (-1) for
// the turn's own cost: the log's write adds the same few microseconds at any length (the temporary home
// is under the system's temporary folder: TMPDIR=/dev/shm measures it on a memory file system).
//
// The heroine is kept full and unhurt and the floor's clock held at its start, so that the crowd neither
// ends the run nor grows; every 250 turns the floor is built anew, outside the timing.

#include "game/app/game_resource.h"
#include "game/characters/adventure.h"
#include "game/characters/character_control.h"
#include "game/characters/room_events.h"
#include "game/core/play_mode.h"
#include "game/data/global_data.h"
#include "game/turn/action_queue.h"
#include "game/turn/turn_phases.h"
#include "sdk/auxiliary/file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr std::int32_t kDungeon = 5;
constexpr std::int32_t kFloor = 10;
constexpr std::int32_t kMonsters = 30;
constexpr std::int32_t kStepInPlace = 9;
constexpr std::int32_t kTurnsPerFloor = 250;
constexpr std::int32_t kHeroineHp = 999;

void Prepare()
{
    static const std::filesystem::path home =
        std::filesystem::temp_directory_path() / "marovellin-bench-turn-home";
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    std::filesystem::current_path(MAROVELLIN_BUILD_DIR);
    zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
}

// Prepare, with the global data of a fresh start and the user's folders, where the action log goes.
void PrepareLogFolders()
{
    Prepare();
    g_globalData = SGlobalData();
    g_globalData.fileName = kGlobalDataFileName;
    CreateUserFolders(g_globalData);
}

bool IsMonster(const CCharacterControl::SMonster& m)
{
    return m.type != kCharacterEmpty && m.kindId != 0xFFFF;
}

std::int32_t CountMonsters(const SGameResource& game)
{
    std::int32_t count = 0;
    for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i)
        count += IsMonster(game.characters.monsters[i]) ? 1 : 0;
    return count;
}

// The floor of the seed as the floor start builds it in a re-run, then exactly kMonsters monsters on it,
// all awake. False when the floor did not come out so.
bool BuildFloor(SGameResource& game, CSceneGameMain& scene, std::uint32_t seed)
{
    game.playMode = kPlaySilentRerun;
    game.leaveFloor = 0; // as the floor change clears it
    game.dungeon = kDungeon;
    game.floor = kFloor;
    game.lastFloor = kLastFloorUncleared[kDungeon];
    game.seed = seed;
    game.passwordValue = std::uint16_t(seed >> 7);
    game.characters.player.Reset();
    game.random.SetSeed(seed);
    game.random.seed = seed;
    game.items.ResetIdentification(kDungeon);
    game.items.ShuffleUnidentifiedNames(game.random);
    game.inventory.fill(0xFFFF);
    game.reactionQueue.pending.clear();
    game.items.KeepOnlyCarriedItems(game);
    game.map.Clear();
    game.characters.ResetForNewFloor();
    if (!scene.StartDungeon()) return false;
    game.messageWindow.logOnly = 1;

    auto& characters = game.characters;
    const auto& player = characters.GetPlayer();
    const auto& points = game.map.candidateCells;
    for (std::int32_t tries = 0; CountMonsters(game) < kMonsters && tries < 1000 && !points.empty();
         ++tries) {
        const SCellPosition& p = points[std::size_t(tries * 7919) % points.size()];
        if (std::abs(p.x - player.x) + std::abs(p.y - player.y) < 6) continue;
        SpawnRandomMonster(characters, game, p.x, p.y, false, 1);
    }
    for (std::uint16_t i = characters.monsterCount; i-- > 0 && CountMonsters(game) > kMonsters;)
        if (IsMonster(characters.monsters[i])) characters.RemoveMonster(i, &game.items);
    for (std::uint16_t i = 0; i < characters.monsterCount; ++i) {
        auto& m = characters.monsters[i];
        m.sleepState = 0;
        m.status.sleepTurns = 0;
    }
    return CountMonsters(game) == kMonsters;
}

// One turn of the heroine stepping in place, as the game-main scene runs it between frames; the passes
// of the scene's turn loop it took.
std::int32_t RunTurn(SGameResource& game, CSceneGameMain& scene)
{
    std::int32_t passes = 0;
    game.playerCommands.push_back(MakePlayerCommand(kStepInPlace, game.characters.GetPlayer().direction));
    scene.DispatchCommand();
    while (scene.turnState != 0) {
        ++passes;
        UpdateDungeonFrame(game);
        game.characters.UpdateAnimation(game);
        if (IsWorldAnimating(game) || RunActionQueues(game) != 0) continue;
        scene.RunTurnMachine();
    }
    return passes;
}

// Full, unhurt and strong enough that no turn of the crowd brings her down: a fall would end the re-run's
// play mode.
void KeepHeroineGoing(SGameResource& game)
{
    auto& player = game.characters.GetPlayer();
    player.maxHp = kHeroineHp;
    player.hp = kHeroineHp;
    player.fullness = 100000;
    player.status = SCharacterStatus{};
    game.floorTime = 0;
}

// The game state on the built data set, or none (the benchmark skipped) when the data set does not load.
std::unique_ptr<SGameResource> LoadGame(benchmark::State& state)
{
    auto game = std::make_unique<SGameResource>();
    if (game->LoadDataTables() == 0) return game;
    state.SkipWithError("the built data set did not load");
    return nullptr;
}

void BM_TurnWithThirtyMonsters(benchmark::State& state)
{
    Prepare();
    auto game = LoadGame(state);
    if (!game) return;
    auto scene = std::make_unique<CSceneGameMain>(*game);
    std::uint32_t seed = 0x5EED0001u;
    std::int32_t turns = kTurnsPerFloor;
    std::int64_t crowd = 0;
    std::int64_t passes = 0;
    std::int64_t ended = 0;
    for (auto _ : state) {
        if (turns >= kTurnsPerFloor || CountMonsters(*game) < kMonsters / 2) {
            state.PauseTiming();
            while (!BuildFloor(*game, *scene, seed))
                ++seed;
            ++seed;
            turns = 0;
            state.ResumeTiming();
        }
        KeepHeroineGoing(*game);
        passes += RunTurn(*game, *scene);
        // A turn that ended the re-run's play mode (a fall, a floor left) ends the floor.
        if (game->playMode != kPlaySilentRerun || game->leaveFloor != 0 || scene->descending != 0) {
            turns = kTurnsPerFloor;
            ++ended;
        }
        crowd += CountMonsters(*game);
        ++turns;
    }
    state.counters["monsters"] = benchmark::Counter(double(crowd) / double(state.iterations()));
    state.counters["passes"] = benchmark::Counter(double(passes) / double(state.iterations()));
    state.counters["floors ended"] = double(ended);
}
BENCHMARK(BM_TurnWithThirtyMonsters)->Unit(benchmark::kMicrosecond);

// The floor of BuildFloor in normal play with the action log on, holding `turns` logged turns; with
// the log off when `turns` is -1, for the turn's own cost.
bool StartLoggedFloor(SGameResource& game, CSceneGameMain& scene, std::uint32_t seed, std::int64_t turns)
{
    if (!BuildFloor(game, scene, seed)) return false;
    game.playMode = kPlayNormal;
    game.userNumber = 1;
    game.runNumber = 1;
    game.actionLog.Reset();
    if (turns < 0) return true;
    if (game.actionLog.SaveSuspendData(game.userNumber, game.runNumber, game.floor) != 0) return false;
    for (std::int64_t i = 0; i < turns; ++i) {
        game.actionLog.WriteCommand(MakePlayerCommand(kStepInPlace, game.characters.GetPlayer().direction));
        if (game.actionLog.AppendToFile() != CActionLog::kAppended) return false;
    }
    return true;
}

void BM_LoggedTurn(benchmark::State& state)
{
    PrepareLogFolders();
    auto game = LoadGame(state);
    if (!game) return;
    auto scene = std::make_unique<CSceneGameMain>(*game);
    std::uint32_t seed = 0x5EED0001u;
    std::int32_t turns = kTurnsPerFloor;
    for (auto _ : state) {
        if (turns >= kTurnsPerFloor || game->playMode != kPlayNormal) {
            state.PauseTiming();
            while (!StartLoggedFloor(*game, *scene, seed, state.range(0)))
                ++seed;
            ++seed;
            turns = 0;
            state.ResumeTiming();
        }
        KeepHeroineGoing(*game);
        RunTurn(*game, *scene);
        if (game->leaveFloor != 0 || scene->descending != 0) turns = kTurnsPerFloor;
        ++turns;
    }
}
BENCHMARK(BM_LoggedTurn)->Arg(-1)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The log's part of a turn alone: one command logged and written to a log already holding 0 or 10,000
// turns.
void BM_LogWrite(benchmark::State& state)
{
    PrepareLogFolders();
    CActionLog log;
    const SPlayerCommand step = MakePlayerCommand(kStepInPlace, 2);
    if (log.SaveSuspendData(1, 1, kFloor) != 0) {
        state.SkipWithError("the log could not be started");
        return;
    }
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        log.WriteCommand(step);
        log.AppendToFile();
    }
    for (auto _ : state) {
        log.WriteCommand(step);
        if (log.AppendToFile() != CActionLog::kAppended) state.SkipWithError("an append failed");
    }
}
BENCHMARK(BM_LogWrite)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
