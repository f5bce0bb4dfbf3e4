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
#include "game/data/check_value.h"
#include "game/data/global_data.h"
#include "game/data/item_classes.h"
#include "game/dataset/built_data.h"
#include "game/turn/turn_phases.h"
#include "platform/host/little_endian.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A run: its dungeon and seed, the floor it gives up on reaching, and where a suspended run of it stops
// (the floor, and the commands given on it).
struct SRunCase
{
    std::int32_t dungeon;
    std::uint32_t seed;
    std::int32_t floors;
    std::int32_t suspendFloor;
    std::int32_t suspendTurns;
    std::int32_t autoTurn; // the automatic turn chosen in the options on the first floor
    // A dancer of this rank (-1 none) stands awake beside her as each play of the first floor begins,
    // and she has the HP to outlast it and things in her bag, so that her turns there are now and then
    // forced on her.
    std::int32_t dancerRank = -1;
};
// Pressed on every other frame so that a message waiting for a key goes on: the dash key, which alone
// gives no command (the decide key would attack whenever the scene found no command waiting, and so
// make the commands hang on the frame count).
constexpr std::uint32_t kPassKey = 1u << 1;
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

// Steps towards `target` from every cell: breadth first over floor cells, a diagonal only where both
// side cells are floor.
std::vector<std::int32_t> DistancesTo(SGameResource& game, std::int32_t targetX, std::int32_t targetY)
{
    std::vector<std::int32_t> distance(std::size_t(CMapControl::kWidth * CMapControl::kHeight), -1);
    const auto at = [&](std::int32_t x, std::int32_t y) -> std::int32_t& {
        return distance[std::size_t(x * CMapControl::kHeight + y)];
    };
    std::deque<std::pair<std::int32_t, std::int32_t>> queue{{targetX, targetY}};
    at(targetX, targetY) = 0;
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        for (std::int32_t d = 0; d < 8; ++d) {
            std::int32_t dx = 0, dy = 0;
            DirectionToStep(d, dx, dy);
            const std::int32_t nx = x + dx, ny = y + dy;
            if (!IsFloorCell(game, nx, ny) || at(nx, ny) != -1) continue;
            if (dx != 0 && dy != 0 && (!IsFloorCell(game, x + dx, y) || !IsFloorCell(game, x, y + dy)))
                continue;
            at(nx, ny) = at(x, y) + 1;
            queue.emplace_back(nx, ny);
        }
    }
    return distance;
}

// The item the heroine uses this turn, if any: every seventh turn of a floor the first potion, scroll,
// staff or food she carries (a scroll that works on an item is given the first other one).
bool ChooseItemUse(SGameResource& game, SPlayerCommand& out)
{
    if (game.floorTime / 6 % 7 != 3) return false;
    CCharacterControl::SPlayer& player = game.characters.player;
    for (const std::uint16_t index : game.inventory) {
        if (index == 0xFFFF) continue;
        const CItemControl::SItem& item = game.items.GetItem(index);
        if (item.itemClass != kItemClassPotion && item.itemClass != kItemClassScroll &&
            item.itemClass != kItemClassStaff && item.itemClass != kItemClassFood)
            continue;
        std::int32_t target = player.direction;
        if (game.items.UseNeedsTargetItem(item)) {
            target = 0xFFFF;
            for (const std::uint16_t other : game.inventory)
                if (other != 0xFFFF && other != index) {
                    target = other;
                    break;
                }
            if (target == 0xFFFF) continue;
        }
        out = MakePlayerCommand(8, target, index, 3);
        return true;
    }
    return false;
}

// The next command: attack a monster beside her; put on a weapon or shield she carries while she has
// none; now and then use an item; walk to the nearest item she has seen while the bag has room; take the
// stairs under her; else step towards them. It reads the state and nothing else, so a run and its
// resumed run choose alike.
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
    for (const std::uint16_t index : game.inventory) {
        if (index == 0xFFFF) continue;
        const std::int32_t itemClass = game.items.GetItem(index).itemClass;
        if ((itemClass == kItemClassWeapon && game.equippedWeapon == 0xFFFF) ||
            (itemClass == kItemClassShield && game.equippedShield == 0xFFFF))
            return MakePlayerCommand(8, player.direction, index, 1);
    }
    SPlayerCommand use;
    if (ChooseItemUse(game, use)) return use;

    const SMapCell& under = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
    std::int32_t targetX = game.map.stairsX, targetY = game.map.stairsY;
    const bool bagHasRoom =
        std::find(game.inventory.begin(), game.inventory.end(), 0xFFFF) != game.inventory.end();
    if (bagHasRoom) {
        const std::vector<std::int32_t> fromHer = DistancesTo(game, player.x, player.y);
        std::int32_t nearest = -1;
        for (std::int32_t x = 0; x < CMapControl::kWidth; ++x)
            for (std::int32_t y = 0; y < CMapControl::kHeight; ++y) {
                const SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
                const std::int32_t d = fromHer[std::size_t(x * CMapControl::kHeight + y)];
                if (cell.objectKind != kObjectItem || cell.explored == 0 || cell.objectShown == 0 || d <= 0 ||
                    cell.room == game.map.specialRoom || (nearest != -1 && d >= nearest))
                    continue;
                nearest = d;
                targetX = x;
                targetY = y;
            }
    }
    if (targetX == game.map.stairsX && targetY == game.map.stairsY && under.objectKind == kObjectStairs)
        return MakePlayerCommand(8, player.direction, 0xFFFF, 3);

    // The nearest step she can take; where no cell nearer can be stepped on (a corner the map does not
    // let her cut), the step that loses least.
    const std::vector<std::int32_t> distance = DistancesTo(game, targetX, targetY);
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

// The species that dances the heroine into acting against her will.
constexpr std::int32_t kDancerSpecies = 31;

void PlaceDancer(SGameResource& game, std::int32_t rank)
{
    CCharacterControl& characters = game.characters;
    CCharacterControl::SPlayer& player = characters.player;
    player.hp = player.maxHp = 999;
    const std::uint16_t slot = characters.CreateMonster(kDancerSpecies * 4 + rank, game);
    ASSERT_NE(slot, CCharacterControl::kNoSlot);
    SCellPosition cell;
    FindFreeCellNear(characters, cell, -1, game.map, player.x, player.y, 5, 1);
    ASSERT_NE(cell.x, -1);
    CCharacterControl::SMonster& dancer = characters.monsters[slot];
    dancer.x = cell.x;
    dancer.y = cell.y;
    dancer.sleepState = 0;
    dancer.hp = dancer.maxHp = 60; // she wins in the end and goes on to the stairs
    for (const std::int32_t itemClass :
         {kItemClassWeapon, kItemClassArrow, kItemClassPotion, kItemClassScroll}) {
        const auto& kinds = game.items.kinds;
        const auto kind = std::find_if(kinds.begin(), kinds.end(),
                                       [&](const SItemKind& k) { return k.classId == itemClass; });
        ASSERT_NE(kind, kinds.end());
        const std::uint16_t item = game.items.CreateItem(kind->number, game.random, game.dungeon);
        ASSERT_EQ(game.items.AddToInventory(game, item), 0);
    }
}

std::int32_t CountLoggedLines(const SGameResource& game, const char* text)
{
    std::int32_t count = 0;
    for (const CMessageWindow::SLine& line : game.messageWindow.log)
        count += std::string_view(line.text.c_str()).find(text) != std::string_view::npos;
    return count;
}

struct SRunLog
{
    std::vector<std::uint32_t> floorEnds; // the hash as each floor is left, from floor 1
    std::uint32_t atSuspend = 0;
    std::uint32_t rerunEnd = 0; // when the silent re-run handed back to normal play
    std::uint32_t runEnd = 0;
    std::int32_t forcedTurnsAtSuspend = 0; // the turns forced on her that the message log still shows
};

class LoggedRunTest : public BuiltDataTest, public ::testing::WithParamInterface<SRunCase>
{
protected:
    const SRunCase run = GetParam();
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
        const bool watching = game.playMode == kPlayReplay;
        for (std::uint64_t frame = 0; frame < kFrameCap; ++frame) {
            const std::uint32_t keys = frame % 2 == 0 ? kPassKey : 0u;
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
            if (watching) {
                if (game.endOfPlay != 0 || scene.returnToTitle != 0) return;
                continue;
            }
            if (!idle || game.playMode != kPlayNormal) continue;
            if (game.floor >= run.floors) {
                game.characters.player.hp = 0;
                game.deathCause = 2;
                EndAdventure(game, ranking);
                log.runEnd = e2e::ComputeStateHash(game);
                return;
            }
            if (suspend && game.floor == run.suspendFloor && commandsOnFloor == run.suspendTurns) {
                log.atSuspend = e2e::ComputeStateHash(game);
                log.forcedTurnsAtSuspend = CountLoggedLines(game, "は　操られている！");
                UpdateGlobalDataEntry(game, true);
                return;
            }
            ASSERT_LT(commandsOnFloor, kFloorCommandCap) << "floor " << game.floor;
            game.playerCommands.push_back(ChooseCommand(game));
            ++commandsOnFloor;
        }
        FAIL() << "the run did not end within the frame cap: floor " << game.floor << ", play mode "
               << game.playMode << ", turn state " << scene.turnState << ", hp " << game.characters.player.hp;
    }

    // What the options menu does when the automatic turn is chosen.
    static void ChooseAutoTurn(SGameResource& game, std::int32_t choice)
    {
        game.autoTurn = choice;
        game.actionLog.WriteCommand(MakePlayerCommand(10, -1, choice, -1));
    }

    // A new run of the case's dungeon and seed, as the camp starts it.
    void StartRun(SGameResource& game)
    {
        game.ResetForNewGame();
        game.userNumber = 7;
        game.saveName = "e2e";
        StartAdventure(game, run.dungeon, run.seed, std::uint16_t(run.seed >> 16));
    }

    std::unique_ptr<CSceneGameMain> MakeScene(SGameResource& game, std::int32_t parameter)
    {
        control.SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CParameterFactory));
        if (parameter != 0) control.GetFactory()->SetSceneParameter(parameter);
        // As a run that ended in the turn of a dance would leave it: the new scene must not carry it out.
        game.forcedCommand = MakePlayerCommand(5, 0);
        auto scene = std::make_unique<CSceneGameMain>(&control, game);
        scene->ranking = &ranking;
        EXPECT_EQ(game.forcedCommand.kind, -1) << "a new scene kept a forced command";
        if (run.dancerRank >= 0 && game.floor == 1) PlaceDancer(game, run.dancerRank);
        return scene;
    }

    // The run's work file of the extension ("0007" + the run number + it) in the user's folder.
    fs::path RunFile(const SGameResource& game, const char* extension) const
    {
        char name[32];
        std::snprintf(name, sizeof name, "%04d/%04d%04d%s", g_globalData.userNumber, game.userNumber,
                      game.runNumber, extension);
        return GameData() / name;
    }

    CSceneControl control;
    CRankingTable ranking;
};

TEST_P(LoggedRunTest, ResumedAndReplayedRunsReachTheRunsStates)
{
    // The run that never suspends, and its replay written.
    SRunLog whole;
    ZTL::string replayFile;
    {
        auto game = NewProgram();
        StartRun(*game);
        auto scene = MakeScene(*game, 0);
        ChooseAutoTurn(*game, run.autoTurn);
        Play(*game, *scene, whole, false);
        ASSERT_GE(whole.floorEnds.size(), std::size_t(run.suspendFloor)) << "the run ended too early";
        ASSERT_EQ(WriteReplay(*game, replayFile), kReplayWritten);
        // The resumed run below keeps its replay under the same name.
        fs::rename(Exe() / "replay" / (replayFile.c_str() + 7), Exe() / "replay" / "whole.rpl");
        replayFile = "replay\\whole.rpl";
    }

    // The same run suspended on floor 2, resumed in a new program.
    SRunLog first;
    {
        auto game = NewProgram();
        StartRun(*game);
        auto scene = MakeScene(*game, 0);
        ChooseAutoTurn(*game, run.autoTurn);
        Play(*game, *scene, first, true);
    }
    ASSERT_EQ(first.floorEnds.size(), std::size_t(run.suspendFloor - 1));
    for (std::size_t i = 0; i < first.floorEnds.size(); ++i)
        EXPECT_EQ(first.floorEnds[i], whole.floorEnds[i])
            << "two runs of one seed went apart on floor " << i + 1;
    SRunLog resumed;
    ZTL::string resumedReplayFile;
    {
        auto game = NewProgram();
        game->userNumber = 7;
        game->saveName = "e2e";
        ASSERT_EQ(LoadSaveGame(*game), kSaveDone);
        // A kill between the length of the floor's log and its bytes, as the replay work file took them
        // at the end of the floor: the resumed run's replay must still hold the floor whole.
        const std::string log = GetFile(RunFile(*game, ".act"));
        std::string torn = GetFile(RunFile(*game, ".rpl"));
        for (int i = 0; i < 4; ++i)
            torn.push_back(char(log.size() >> (8 * i)));
        PutFile(RunFile(*game, ".rpl"), torn + log.substr(0, log.size() / 2));
        game->playMode = kPlaySilentRerun;
        auto scene = MakeScene(*game, 1);
        Play(*game, *scene, resumed, false);
        ASSERT_EQ(WriteReplay(*game, resumedReplayFile), kReplayWritten);
    }
    ASSERT_NE(first.atSuspend, 0u) << "the run did not reach the suspend";
    if (run.dancerRank >= 0) {
        EXPECT_GT(first.forcedTurnsAtSuspend, 0) << "no dance before the suspend";
    }
    ASSERT_NE(resumed.rerunEnd, 0u) << "the silent re-run never handed back to normal play";
    EXPECT_EQ(resumed.rerunEnd, first.atSuspend) << "the silent re-run did not end where the suspend was";
    ASSERT_EQ(resumed.floorEnds.size(), whole.floorEnds.size() - (run.suspendFloor - 1));
    for (std::size_t i = 0; i < resumed.floorEnds.size(); ++i)
        EXPECT_EQ(resumed.floorEnds[i], whole.floorEnds[i + run.suspendFloor - 1])
            << "floor " << i + run.suspendFloor;
    EXPECT_EQ(resumed.runEnd, whole.runEnd);

    // Both replays, the whole run's and the resumed run's, watched: the same floors.
    const auto watchReplay = [&](const ZTL::string& file, const char* what) {
        SRunLog watched;
        {
            auto game = NewProgram();
            ASSERT_EQ(OpenReplay(*game, file), kReplayOpened) << what;
            game->replayStart = 1;
            game->floor = 1;
            auto scene = MakeScene(*game, 2);
            Play(*game, *scene, watched, false);
        }
        ASSERT_GE(watched.floorEnds.size(), whole.floorEnds.size()) << what;
        for (std::size_t i = 0; i < whole.floorEnds.size(); ++i)
            EXPECT_EQ(watched.floorEnds[i], whole.floorEnds[i]) << what << " floor " << i + 1;
    };
    watchReplay(replayFile, "replayed");
    watchReplay(resumedReplayFile, "replayed resumed");
}

// The run's files as a disk or another program may leave them: one run of the table above.
class RunFilesTest : public LoggedRunTest
{};

// The suspended run's log as a kill, a power cut or a damaged disk leaves it, resumed in a new program:
// a torn last append or zeros after the log resume every turn, zeros in place of the last append the
// turns before it; a damaged chunk refuses the log with the game's box instead of resuming silently with
// fewer turns.
TEST_P(RunFilesTest, ATornOrPaddedLogResumesWholeAndADamagedOneIsRefused)
{
    SRunLog first;
    fs::path act;
    {
        auto game = NewProgram();
        StartRun(*game);
        auto scene = MakeScene(*game, 0);
        ChooseAutoTurn(*game, run.autoTurn);
        Play(*game, *scene, first, true);
        act = RunFile(*game, ".act");
    }
    ASSERT_NE(first.atSuspend, 0u) << "the run did not reach the suspend";
    const std::string written = GetFile(act);
    std::vector<std::size_t> chunks; // where each chunk starts
    for (std::size_t at = 12; at + 2 <= written.size();
         at += 4 + 4 * (std::uint8_t(written[at]) | std::uint8_t(written[at + 1]) << 8))
        chunks.push_back(at);
    ASSERT_GE(chunks.size(), 5u);
    const auto flipCount = [](std::size_t chunk) {
        return [chunk](std::string& log) { log[chunk + 1] ^= 0x10; };
    };
    // The state once the silent re-run of the log hands back, and the boxes shown. A power cut in play
    // leaves the guard naming no suspend (a suspend's guard refuses a log that lost turns).
    const auto resume = [&](const std::string& log, bool inPlay) {
        PutFile(act, log);
        platform::headless::ScriptMessageBoxAnswers({});
        auto game = NewProgram();
        if (inPlay) g_globalData.saveEntries.at(7).flag = false;
        game->userNumber = 7;
        game->saveName = "e2e";
        EXPECT_EQ(LoadSaveGame(*game), kSaveDone);
        game->playMode = kPlaySilentRerun;
        auto scene = MakeScene(*game, 1);
        for (std::uint64_t frame = 0; frame < kFrameCap && game->playMode == kPlaySilentRerun; ++frame) {
            const std::uint32_t keys = frame % 2 == 0 ? kPassKey : 0u;
            scene->OnMove(&keys);
        }
        std::vector<std::string> boxes;
        for (const auto& box : platform::headless::GetShownMessageBoxes())
            boxes.push_back(box.text);
        return std::pair(boxes, e2e::ComputeStateHash(*game));
    };
    enum Outcome
    {
        kWhole,   // every turn
        kLastCut, // the turns before the last append
        kRefused,
    };
    const struct
    {
        const char* what;
        std::function<void(std::string&)> change;
        Outcome outcome;
    } cases[] = {
        {"as written", [](std::string&) {}, kWhole},
        {"a torn append: two words counted, one written", [](std::string& log) { log += {2, 0, 5, 0, 0, 0}; },
         kWhole},
        {"eight zero bytes after the log", [](std::string& log) { log += std::string(8, '\0'); }, kWhole},
        {"the last six bytes zeroed, as a power cut in play leaves an append",
         [](std::string& log) { log.replace(log.size() - 6, 6, 6, '\0'); }, kLastCut},
        {"the first chunk's count damaged", flipCount(chunks[0]), kRefused},
        {"a middle chunk's count damaged", flipCount(chunks[chunks.size() / 2]), kRefused},
    };
    const auto lastCut = resume(written.substr(0, chunks.back()), true);
    ASSERT_TRUE(lastCut.first.empty());
    ASSERT_NE(lastCut.second, first.atSuspend) << "the last append held no turn";
    for (const auto& c : cases) {
        std::string log = written;
        c.change(log);
        const auto [boxes, state] = resume(log, c.outcome == kLastCut);
        if (c.outcome != kRefused) {
            EXPECT_TRUE(boxes.empty()) << c.what;
            EXPECT_EQ(state, c.outcome == kWhole ? first.atSuspend : lastCut.second)
                << c.what << ": turns were lost";
        } else {
            EXPECT_EQ(boxes, std::vector<std::string>{Utf8("中断データが読み込めませんでした")}) << c.what;
        }
    }
}

// Links in the user's folder where the run's replay work files go, to files outside it: the run plays to
// its end and nothing outside is written.
TEST_P(RunFilesTest, NoWriteGoesThroughALinkInTheUsersFolder)
{
    auto game = NewProgram();
    StartRun(*game);
    // Empty, as a new work file would be, so that the game would append to it in place.
    const fs::path outside = m_root / "outside";
    PutFile(outside, "");
    const std::vector<fs::path> links = {RunFile(*game, ".rpl"), RunFile(*game, ".rpi")};
    for (const fs::path& link : links)
        fs::create_symlink(outside, link);
    auto scene = MakeScene(*game, 0);
    SRunLog log;
    Play(*game, *scene, log, false);
    EXPECT_NE(log.runEnd, 0u);
    EXPECT_EQ(fs::file_size(outside), 0u) << "a file outside the user's folder was written";
    for (const fs::path& link : links)
        EXPECT_TRUE(fs::is_symlink(link)) << link;
}

// The replay file with the floors it names put through `keep` (the floor and its offset in the body).
std::string WithFloors(const std::string& file, const std::function<bool(std::uint32_t)>& keep)
{
    const auto u32 = [](const std::string& bytes, std::size_t at) {
        return platform::ReadU32(reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
    };
    const auto put = [](std::string& bytes, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(char(value >> (8 * i)));
    };
    const std::uint32_t length = u32(file, 0);
    std::string header = file.substr(4, 20);
    const std::uint32_t count = u32(file, 20);
    std::uint32_t kept = 0;
    std::string pairs;
    for (std::uint32_t i = 0; i < count; ++i)
        if (keep(u32(file, 24 + 8 * i))) {
            pairs += file.substr(24 + 8 * i, 8);
            ++kept;
        }
    header.resize(16);
    put(header, kept);
    header += pairs + file.substr(24 + 8 * count, length - 24 - 8 * count);
    std::vector<std::uint8_t> checked(header.begin(), header.end());
    AppendCheckValue(checked);
    std::string out;
    put(out, std::uint32_t(checked.size()));
    out.append(checked.begin(), checked.end());
    put(out, std::uint32_t(out.size()));
    return out + file.substr(8 + length);
}

// Where a floor's snapshot record and its log record begin in the replay file.
std::pair<std::size_t, std::size_t> FloorRecords(const std::string& file, std::uint32_t floor)
{
    const auto u32 = [&file](std::size_t at) {
        return platform::ReadU32(reinterpret_cast<const std::uint8_t*>(file.data() + at));
    };
    const std::size_t body = u32(4 + u32(0)) + 4;
    for (std::uint32_t i = 0; i < u32(20); ++i)
        if (u32(24 + 8 * i) == floor) {
            const std::size_t snapshot = body + u32(28 + 8 * i);
            return {snapshot, snapshot + 4 + u32(snapshot) + 8};
        }
    return {0, 0};
}

// A replay that lacks a floor, or names one that will not load, watched from its file as the browser
// starts it: from its first floor to its end, and floor by floor with the next-floor and previous-floor
// keys. It shows the floors it holds in order, goes on past those it lacks, and ends at the title (after
// one box where a floor will not load); it never becomes play, and no file of the player's changes, the
// program's end included. Nor does a suspended save watched as a replay, whose resume would mend the
// snapshot the work files lack.
TEST_P(RunFilesTest, AReplayShowsOnlyTheFloorsItCanAndNeverTurnsIntoPlay)
{
    // The run played whole, then again suspended.
    std::string whole;
    for (const bool suspend : {false, true}) {
        auto game = NewProgram();
        StartRun(*game);
        auto scene = MakeScene(*game, 0);
        ChooseAutoTurn(*game, run.autoTurn);
        SRunLog log;
        Play(*game, *scene, log, suspend);
        if (!suspend) {
            ASSERT_EQ(game->runRecord.floor, 5);
            ZTL::string file;
            ASSERT_EQ(WriteReplay(*game, file), kReplayWritten);
            whole = GetFile(Exe() / "replay" / (file.c_str() + 7));
            continue;
        }
        ASSERT_NE(log.atSuspend, 0u);
        ASSERT_EQ(SuspendRun(*game), kGuardSaved);
        // A power loss took the suspended floor's snapshot.
        const fs::path index = RunFile(*game, ".rpi");
        fs::resize_file(index, fs::file_size(index) - 8);
    }
    // Every file of the save and user folders but the replay's own options.
    const auto files = [this] {
        std::map<fs::path, std::string> all;
        for (const fs::path& folder : {Exe() / "save", GameData()})
            for (const auto& entry : fs::recursive_directory_iterator(folder))
                if (entry.is_regular_file() && entry.path() != Exe() / "save" / "replay.cfg")
                    all[entry.path()] = GetFile(entry.path());
        return all;
    };
    const auto before = files();
    constexpr std::uint32_t kDecideKey = 1u << 0, kNextKey = 1u << 5, kPreviousKey = 1u << 4;
    const std::vector<std::string> box = {Utf8("リプレイファイルが読み込めませんでした")};
    // Plays the game-main scene of the start parameter, pressing `key` now and then; the floors shown.
    const auto show = [&](SGameResource& game, std::int32_t parameter, std::uint32_t key, bool unreadable) {
        CSceneControl control;
        control.SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CParameterFactory));
        control.GetFactory()->SetSceneParameter(parameter);
        auto scene = std::make_unique<CSceneGameMain>(&control, game);
        scene->ranking = &ranking;
        std::vector<std::int32_t> shown;
        // A floor whose log is used up at once ends the replay on the frame it is shown.
        const auto record = [&] {
            if (scene->fadedOut != 0 || (!shown.empty() && shown.back() == game.floor)) return false;
            shown.push_back(game.floor);
            return true;
        };
        record();
        std::uint64_t sinceShown = 0;
        for (std::uint64_t frame = 0;
             frame < kFrameCap && control.GetCommand() == CSceneControl::kCommandNone; ++frame) {
            // The decide key, which a replay takes for no command, ends the wait of its last message.
            const std::uint32_t keys = (frame % 2 == 0 ? kDecideKey : 0u) | (frame % 40 == 39 ? key : 0u);
            scene->OnMove(&keys);
            sinceShown = record() ? 0 : sinceShown + 1;
            const bool playing =
                game.playMode == kPlayNormal && game.endOfPlay == 0 && scene->returnToTitle == 0;
            EXPECT_FALSE(playing) << "play on floor " << game.floor;
            // A walk ends where the key leads nowhere.
            if (playing || (key != 0 && sinceShown > 200)) break;
        }
        // The program ending here suspends nothing.
        EXPECT_EQ(SuspendRun(game), kGuardLogOff);
        std::vector<std::string> boxes;
        for (const auto& shownBox : platform::headless::GetShownMessageBoxes())
            boxes.push_back(shownBox.text);
        // The title, or (a walk whose key led nowhere) a floor still shown.
        const bool title = control.GetCommand() == CSceneControl::kCommandCall &&
                           control.GetRequestedNumber() == kSceneTitle;
        EXPECT_TRUE(title || (key != 0 && control.GetCommand() == CSceneControl::kCommandNone))
            << "scene " << control.GetRequestedNumber();
        EXPECT_EQ(boxes, unreadable ? box : std::vector<std::string>{});
        // A replay that could not be read turns no turn after its box: it never reaches its own end.
        if (unreadable) EXPECT_EQ(game.playMode, kPlayReplay);
        std::vector<std::string> changed;
        for (const auto& [path, bytes] : files()) {
            const auto was = before.find(path);
            if (was == before.end() || was->second != bytes) changed.push_back(path.filename().string());
        }
        EXPECT_EQ(changed, std::vector<std::string>{}) << "the player's files changed";
        EXPECT_EQ(files().size(), before.size()) << "a file of the player's went";
        return shown;
    };

    const fs::path viewed = Exe() / "replay" / "gaps.rpl";
    const auto [floor3, log3] = FloorRecords(whole, 3);
    ASSERT_NE(floor3, 0u);
    const auto damaged = [&](std::size_t at) {
        std::string file = whole;
        file[at] = char(file[at] ^ 0xFF);
        return file;
    };
    const struct
    {
        const char* what;
        std::string file;
        bool cutAfterOpening;
        std::vector<std::int32_t> watched, forward, backward; // the floors shown
        bool unreadable;
    } cases[] = {
        {"as written", whole, false, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {4, 3, 2, 1}, false},
        {"the last floor missing behind one left by the stairs",
         WithFloors(whole, [](auto f) { return f != 5; }),
         false,
         {1, 2, 3, 4},
         {1, 2, 3, 4},
         {4, 3, 2, 1},
         false},
        {"a middle floor missing",
         WithFloors(whole, [](auto f) { return f != 3; }),
         false,
         {1, 2, 4, 5},
         {1, 2, 4, 5},
         {4, 2, 1},
         false},
        {"a snapshot damaged", damaged(floor3 + 40), false, {1, 2}, {1, 2}, {4}, true},
        {"a log damaged", damaged(log3 + 4), false, {1, 2}, {1, 2}, {4}, true},
        {"the file cut short once opened", whole, true, {1, 2}, {1, 2}, {}, true},
    };
    // Watches the case's file from `first` as the browser starts it. The run ends on reaching floor 5,
    // whose log is used up as it is shown: the walks back start on floor 4.
    const auto watch = [&](const auto& c, std::int32_t first, std::uint32_t key) {
        PutFile(viewed, c.file);
        platform::headless::ScriptMessageBoxAnswers({});
        auto game = NewProgram();
        EXPECT_EQ(OpenReplay(*game, "replay\\gaps.rpl"), kReplayOpened);
        if (c.cutAfterOpening) fs::resize_file(viewed, floor3);
        game->replayStart = game->replayFromList = 1;
        game->floor = first;
        return show(*game, 2, key, c.unreadable);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(watch(c, 1, 0), c.watched);
        EXPECT_EQ(watch(c, 1, kNextKey), c.forward);
        EXPECT_EQ(watch(c, 4, kPreviousKey), c.backward);
    }

    // The suspended save watched from its floor's start, as the title starts the browser's replay of it;
    // also after a replay file was watched in the same program. A save has no floors to go to: the next
    // floor key does nothing.
    for (const bool afterAFile : {false, true}) {
        SCOPED_TRACE(afterAFile ? "a suspended save after a file" : "a suspended save");
        platform::headless::ScriptMessageBoxAnswers({});
        auto game = NewProgram();
        if (afterAFile) {
            PutFile(viewed, whole);
            EXPECT_EQ(OpenReplay(*game, "replay\\gaps.rpl"), kReplayOpened);
            game->replayStart = game->replayFromList = 1;
            game->floor = 1;
            EXPECT_EQ(show(*game, 2, 0, false), cases[0].watched);
            game->ResetForNewGame(); // as the title does
        }
        game->userNumber = 7;
        game->saveName = "e2e";
        ASSERT_EQ(LoadSaveGame(*game), kSaveDone);
        game->playMode = kPlayReplay;
        EXPECT_EQ(show(*game, 1, afterAFile ? kNextKey : 0, false),
                  std::vector<std::int32_t>{run.suspendFloor});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, LoggedRunTest,
    ::testing::Values(SRunCase{1, 0x5EED1234, 6, 4, 10, 0}, SRunCase{1, 0x0BADF00D, 4, 2, 5, 1},
                      SRunCase{2, 0x13572468, 6, 4, 5, 2}, SRunCase{3, 0x2468ACE1, 5, 3, 30, 2},
                      SRunCase{1, 0x600DCAFE, 4, 1, 12, 1}, SRunCase{1, 0x0DA2CE31, 2, 1, 20, 0, 1}));
INSTANTIATE_TEST_SUITE_P(Runs, RunFilesTest, ::testing::Values(SRunCase{3, 0x2468ACE1, 5, 3, 30, 2}));

} // namespace
