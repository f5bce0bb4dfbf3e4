// Resuming a suspended adventure on the built data set: from the title's load of the save to the end of
// the silent re-run of the suspended floor's log (meant to stay within 1 s for a 10,000-turn log).
//
// A resume re-runs the log of the floor it was suspended on, and the earthquake ends a floor once its
// clock reaches 2,000 turns of normal pace (12,000 clock units): a floor can log 10,000 turns only for a
// heroine at the highest pace (one clock unit a turn). The set-up therefore plays an adventure of the
// first dungeon whose heroine is sturdy and has a large stomach, written into the floor's save, and is
// hasted for good once the floor has started. No rule gives her a haste for good and a save holding one
// is refused, so each re-run gives her the same haste after the save has loaded and before the floor
// starts: the re-run starts from the same heroine. Its driver is the least that
// logs turns: she attacks a monster beside her and otherwise steps in place, until the floor's log holds
// the turns asked for; then the adventure is suspended as the menu suspends it. A second case logs 1,900
// turns at normal pace, near the 1,999 that a floor of normal pace can hold. Two more resume that run
// with the replay's live work files claiming much more than they hold: 4 GiB of zeros after the last
// snapshot (sparse), or 64 snapshots of the largest size, each a length and zeros, named after it. A
// resume looks at the work file's tail and at its snapshots, and at no more of either than one record.
#include "tests/game/support/suspended_run.h"

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/app/run_transitions.h"
#include "game/app/save_game.h"
#include "game/app/scene_control.h"
#include "game/app/suspend.h"
#include "game/characters/animation_periods.h"
#include "game/core/play_mode.h"
#include "game/data/action_log.h"
#include "game/data/global_data.h"
#include "game/items/pre_identified.h"
#include "game/turn/turn_phases.h"
#include "platform/host/clock.h"
#include "platform/host/headless/headless.h"
#include "platform/host/little_endian.h"
#include "platform/host/path.h"
#include "sdk/auxiliary/file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

using suspended_run::kUser;
constexpr std::int32_t kResumeParameter = 1;
constexpr std::int32_t kFrameLimit = 1000000;

// Where the run's saves go: a fresh folder with the built data set linked in, as beside the program.
void Prepare(const char* name)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home / "exe");
    std::filesystem::create_directory_symlink(std::filesystem::path(MAROVELLIN_BUILD_DIR) / "data",
                                              home / "exe" / "data");
    suspended_run::EnterHome(home);
}

// The game state as the application's set-up makes it.
std::unique_ptr<SGameResource> MakeGame()
{
    InitPreIdentifiedClassSets();
    InitAnimationPeriods();
    auto game = std::make_unique<SGameResource>();
    if (game->LoadDataTables() != 0) return nullptr;
    g_itemControl = &game->items;
    g_characterControl = &game->characters;
    return game;
}

// The highest haste, for good.
void HasteForGood(SGameResource& game)
{
    auto& player = game.characters.GetPlayer();
    player.hasteLevel = 3;
    player.hasteTurns = 255;
}

// What the re-run must reach again.
struct SOutcome
{
    std::int32_t floor = 0, floorTime = 0, x = 0, y = 0, hp = 0, level = 0, experience = 0;
    std::uint16_t monsters = 0;
    bool operator==(const SOutcome&) const = default;
};

SOutcome OutcomeOf(SGameResource& game)
{
    const auto& p = game.characters.GetPlayer();
    return {game.floor, game.floorTime, p.x, p.y, p.hp, p.level, p.experience, game.characters.monsterCount};
}

// Plays a new adventure until the floor's log holds `turns` turns and suspends it; its outcome, or an
// error text.
const char* PlayAndSuspend(SGameResource& game, std::int32_t turns, bool hasted, SOutcome& outcome)
{
    suspended_run::StartNewAdventure(game, "bench");
    auto& player = game.characters.GetPlayer();
    player.maxFullness = player.fullness = 100 * (turns + 1000);
    auto control = suspended_run::MakeControl();
    CSceneGameMain scene(control.get(), game);
    if (hasted) HasteForGood(game);
    game.messageWindow.logOnly = 1;

    std::int32_t floor = game.floor;
    std::int32_t logged = 0;
    for (std::int32_t frame = 0; logged < turns; ++frame) {
        if (frame > kFrameLimit || player.hp <= 0 || game.returnToCamp != 0) return "the driver's run ended";
        if (game.floor != floor) {
            floor = game.floor;
            logged = 0;
        }
        if (scene.turnState == 0 && game.playerCommands.empty() && scene.fadeLength == 0) {
            game.playerCommands.push_back(suspended_run::NextCommand(game));
            ++logged;
        }
        const std::uint32_t mask = 0;
        scene.OnMove(&mask);
    }
    // The last command's turn runs to its end before the suspend.
    for (std::int32_t frame = 0; scene.turnState != 0 || !game.playerCommands.empty(); ++frame) {
        if (frame > kFrameLimit) return "the last turn did not end";
        const std::uint32_t mask = 0;
        scene.OnMove(&mask);
    }
    if (UpdateGlobalDataEntry(game, true) != 0) return "the suspend was not recorded";
    outcome = OutcomeOf(game);
    return nullptr;
}

void BM_ResumeRun(benchmark::State& state)
{
    const std::int32_t turns = std::int32_t(state.range(0));
    const bool hasted = state.range(1) != 0;
    const std::uint64_t tail = std::uint64_t(state.range(2)) << 30;
    const std::uint32_t claimed = std::uint32_t(state.range(3));
    Prepare("marovellin-bench-resume-home");
    auto game = MakeGame();
    if (!game) {
        state.SkipWithError("the built data set did not load");
        return;
    }
    SOutcome suspended;
    if (const char* error = PlayAndSuspend(*game, turns, hasted, suspended)) {
        state.SkipWithError(error);
        return;
    }
    // The work files as the run left them, and what each resume starts from: grown by the claims.
    std::string work, index;
    const ZTL::string base =
        Auxiliary::CFile::ResolvePath(MakeSlotFilePath(game->userNumber, game->runNumber));
    if (!platform::ToHostPath(std::string_view(base.c_str(), base.size()), work)) {
        state.SkipWithError("the work files have no host path");
        return;
    }
    index = work + ".rpi";
    work += ".rpl";
    const std::uint64_t records = std::filesystem::file_size(work);
    std::string pairs;
    {
        std::ifstream in(index, std::ios::binary);
        pairs.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const auto claim = [&] {
        constexpr std::uint64_t kRecord = 4 + Auxiliary::CFile::kMaxReadSize + 8;
        std::filesystem::resize_file(work, records);
        std::ofstream named(index, std::ios::binary | std::ios::trunc);
        named << pairs;
        std::fstream out(work, std::ios::binary | std::ios::in | std::ios::out);
        for (std::uint32_t i = 0; i < claimed; ++i) {
            const std::uint32_t at = std::uint32_t(records + i * kRecord);
            std::uint8_t pair[8], length[4];
            platform::WriteU32(pair, 1000 + i);
            platform::WriteU32(pair + 4, at);
            platform::WriteU32(length, Auxiliary::CFile::kMaxReadSize);
            named.write(reinterpret_cast<const char*>(pair), sizeof pair);
            out.seekp(std::streamoff(at));
            out.write(reinterpret_cast<const char*>(length), sizeof length);
        }
        out.close();
        std::filesystem::resize_file(work, records + claimed * kRecord + tail);
    };
    const auto control = suspended_run::MakeControl();
    std::int32_t loggedWords = 0;
    for (auto _ : state) {
        claim();
        // The title's load, then the game-main scene it opens, up to the end of the silent re-run.
        const std::uint32_t start = platform::GetRealMilliseconds();
        game->ResetForNewGame();
        game->userNumber = kUser;
        game->saveName = "bench";
        if (LoadSaveGame(*game) != kSaveDone) {
            state.SkipWithError("the save did not load");
            break;
        }
        if (hasted) HasteForGood(*game);
        game->playMode = kPlaySilentRerun;
        SaveGlobalData(g_globalData);
        control->GetFactory()->SetSceneParameter(kResumeParameter);
        auto scene = std::make_unique<CSceneGameMain>(control.get(), *game);
        loggedWords = std::int32_t(game->actionLog.GetReadWords().size());
        for (std::int32_t frame = 0; game->playMode == kPlaySilentRerun && frame < kFrameLimit; ++frame) {
            const std::uint32_t mask = 0;
            scene->OnMove(&mask);
        }
        const std::uint32_t end = platform::GetRealMilliseconds();
        state.SetIterationTime((end - start) / 1000.0);

        if (game->playMode == kPlaySilentRerun || !platform::headless::GetShownMessageBoxes().empty() ||
            !(OutcomeOf(*game) == suspended)) {
            state.SkipWithError("the re-run did not end where the play was suspended");
            break;
        }
        // The guard as the suspend left it, for the next resume.
        UpdateGlobalDataEntry(*game, true);
    }
    state.counters["turns"] = turns;
    state.counters["log words"] = loggedWords;
}
BENCHMARK(BM_ResumeRun)
    ->Args({10000, 1, 0, 0})
    ->Args({1900, 0, 0, 0})
    ->Args({1900, 0, 4, 0})
    ->Args({1900, 0, 0, 64})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
