// A suspended floor's log of any content, re-run over one fixed save as the title resumes a run: the
// silent re-run reads nothing past the log and always comes to its end by itself, whatever the
// commands, without a key pressed and within a number of frames in proportion to the log.
//
// The save is made once at start-up: a new adventure of the first dungeon, over item kinds made in
// code, whose heroine steps in place or attacks for a few turns, then suspends. Every input starts
// from that save and its files again. The first input byte chooses how the rest is taken: odd values
// wrap its words in the right header and chunk sums, so that the commands themselves are re-run; even
// values put the right header before the rest as it is. Its bit 1 gives the save the message speed
// that waits for a key.

#include "action_file_bytes.h"
#include "tests/game/support/item_kinds_in_code.h"
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
#include "platform/host/headless/headless.h"
#include "sdk/auxiliary/file.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using suspended_run::kUser;
constexpr std::int32_t kResumeParameter = 1;
constexpr std::int32_t kTurnsPlayed = 24;
constexpr std::int32_t kSetUpFrameLimit = 100000;
// A re-run takes a few frames to start and to fade; each logged word adds at most one command.
constexpr std::int32_t kFramesAtLeast = 600;
constexpr std::int32_t kFramesPerWord = 60;

struct SFixedRun
{
    std::unique_ptr<SGameResource> game;
    std::unique_ptr<CSceneControl> control;
    fs::path home;
    std::int32_t floor = 0;
    std::map<fs::path, Bytes> files; // the fixed folders' files as the suspend left them
};

// The folders whose files the run writes: the save folder and the user's data and settings (those that
// are there).
std::vector<fs::path> FixedFolders(const fs::path& home)
{
    std::vector<fs::path> folders;
    for (const fs::path& folder : {home / "exe" / "save", home / "data", home / "config"})
        if (fs::is_directory(folder)) folders.push_back(folder);
    return folders;
}

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A home of its own beside the fuzzer's folder, the adventure played and suspended there, and its files
// kept. The game works in its own folder, as the program does; the caller goes back to the fuzzer's.
SFixedRun SetUp()
{
    const fs::path home = fs::current_path() / "rerun-home";
    fs::remove_all(home);
    suspended_run::EnterHome(home);

    SFixedRun run;
    run.home = home;
    InitPreIdentifiedClassSets();
    InitAnimationPeriods();
    run.game = std::make_unique<SGameResource>();
    SGameResource& game = *run.game;
    // Item names of plain letters: the fuzz build's literals are not the data set's CP932.
    MakeItemKindsInCode(game.items, "item", "unknown");
    g_itemControl = &game.items;
    g_characterControl = &game.characters;
    run.control = suspended_run::MakeControl();

    suspended_run::StartNewAdventure(game, "fuzz");
    auto& player = game.characters.GetPlayer();
    {
        CSceneGameMain scene(run.control.get(), game);
        game.messageWindow.logOnly = 1;
        std::int32_t logged = 0;
        for (std::int32_t frame = 0;
             logged < kTurnsPlayed || scene.turnState != 0 || !game.playerCommands.empty(); ++frame) {
            if (frame > kSetUpFrameLimit || player.hp <= 0 || game.returnToCamp != 0) std::abort();
            if (logged < kTurnsPlayed && scene.turnState == 0 && game.playerCommands.empty() &&
                scene.fadeLength == 0) {
                game.playerCommands.push_back(suspended_run::NextCommand(game));
                ++logged;
            }
            const std::uint32_t mask = 0;
            scene.OnMove(&mask);
        }
        if (UpdateGlobalDataEntry(game, true) != 0) std::abort();
    }
    game.messageWindow.logOnly = 0; // as a program that has just started has it
    run.floor = game.floor;
    for (const fs::path& folder : FixedFolders(home))
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file()) run.files[entry.path()] = ReadBytes(entry.path());
    return run;
}

// The fixed save's files as the suspend left them, and nothing else in their folders.
void RestoreFiles(const SFixedRun& run)
{
    std::vector<fs::path> extra;
    for (const fs::path& folder : FixedFolders(run.home))
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && run.files.count(entry.path()) == 0) extra.push_back(entry.path());
    for (const fs::path& path : extra)
        fs::remove(path);
    for (const auto& [path, bytes] : run.files)
        Put(path, bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    // The fuzzer's folder, where it writes what it finds, is left as it was.
    const fs::path fuzzerFolder = fs::current_path();
    static SFixedRun run = SetUp();
    fs::current_path(run.home / "exe");
    struct SBack
    {
        fs::path folder;
        ~SBack() { fs::current_path(folder); }
    } back{fuzzerFolder};
    platform::headless::ScriptMessageBoxAnswers({}); // forgets the boxes of the last input
    RestoreFiles(run);
    Bytes act;
    if ((data[0] & 1) != 0) {
        act = fuzz_input::MakeActionFile(kUser, run.floor, data + 1, size - 1, 0x100);
    } else {
        act = fuzz_input::MakeActionFile(kUser, run.floor, nullptr, 0, 1);
        act.insert(act.end(), data + 1, data + size);
    }
    zelvoranGameSDK3rd::Auxiliary::CFile file;
    if (file.Write(MakeSlotFilePath(kUser, 1) + ".act", act.data(), std::uint32_t(act.size())) != 0)
        std::abort();
    SGameResource& game = *run.game;
    g_globalData = SGlobalData();
    if (LoadGlobalData(g_globalData) != kGlobalDataLoaded) std::abort();

    // As the title resumes: the save loads, the re-run is the play mode, the game-main scene starts.
    game.ResetForNewGame();
    game.userNumber = kUser;
    game.saveName = "fuzz";
    if (LoadSaveGame(game) != kSaveDone) std::abort();
    if ((data[0] & 2) != 0) {
        // As a save whose options wait for a key after every message.
        game.config.messageSpeed = -1;
        game.messageWindow.SetDefaultWait(-1);
    }
    game.playMode = kPlaySilentRerun;
    run.control->GetFactory()->SetSceneParameter(kResumeParameter);
    auto scene = std::make_unique<CSceneGameMain>(run.control.get(), game);
    const std::int32_t limit = kFramesAtLeast + kFramesPerWord * std::int32_t(act.size() / 4);
    std::int32_t frame = 0;
    for (; game.playMode == kPlaySilentRerun && frame < limit; ++frame) {
        const std::uint32_t mask = 0;
        scene->OnMove(&mask);
    }
    if (game.playMode == kPlaySilentRerun) std::abort(); // the re-run waits for something
    if (game.actionLog.GetReadIndex() < 0 ||
        std::size_t(game.actionLog.GetReadIndex()) > game.actionLog.GetReadWords().size())
        std::abort();
    return 0;
}
