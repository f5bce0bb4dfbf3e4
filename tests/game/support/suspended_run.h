#pragma once
// What the programs that play an adventure and suspend it share (the floor re-run's fuzz target and the
// resume benchmark): a home of their own, the scene control the title hands the game-main scene, and the
// least driver that logs turns. Only game headers here, so that targets outside the tests include it too.

#include "game/app/game_resource.h"
#include "game/app/scene_control.h"
#include "game/characters/adventure.h"
#include "game/characters/character_control.h"
#include "game/core/directions.h"
#include "game/core/play_mode.h"
#include "game/data/global_data.h"
#include "game/data/player_command.h"
#include "sdk/auxiliary/file.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace suspended_run {

constexpr std::int32_t kUser = 1;
constexpr std::int32_t kAttack = 7;
constexpr std::int32_t kStepInPlace = 9;

// The program's home at `home`: exe/ is the working folder, data/ and config/ hold the user's data and
// settings; the global data is loaded from there and the user's folders are made.
inline void EnterHome(const std::filesystem::path& home)
{
    std::filesystem::create_directories(home / "exe");
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    std::filesystem::current_path(home / "exe");
    zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder((home / "exe").c_str());
    g_globalData = SGlobalData();
    LoadGlobalData(g_globalData);
    CreateUserFolders(g_globalData);
}

// A new adventure of the first dungeon, of the same seeds every time, for user kUser under the save name;
// the heroine has 999 HP, so that the driver's fights do not end it.
inline void StartNewAdventure(SGameResource& game, const char* saveName)
{
    game.ResetForNewGame();
    game.userNumber = kUser;
    game.saveName = saveName;
    game.runNumber = 1;
    game.playMode = kPlayNormal;
    StartAdventure(game, 1, 0x2545F491u, 0x4F6Cu);
    auto& player = game.characters.GetPlayer();
    player.maxHp = player.hp = 999;
}

inline std::unique_ptr<CSceneControl> MakeControl()
{
    auto control = std::make_unique<CSceneControl>();
    control->SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CSceneFactory));
    return control;
}

// The driver's command: an attack on a monster beside her, else a step in place.
inline SPlayerCommand NextCommand(SGameResource& game)
{
    auto& player = game.characters.GetPlayer();
    for (std::int32_t d = 0; d < 8; ++d) {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(d, dx, dy);
        if (game.characters.FindMonsterIndexAt(player.x + dx, player.y + dy) != CCharacterControl::kNoSlot)
            return MakePlayerCommand(kAttack, d);
    }
    return MakePlayerCommand(kStepInPlace, player.direction);
}

} // namespace suspended_run
