#include "game/app/game_resource.h"
#include "game/app/replay.h"
#include "game/app/save_game.h"
#include "game/app/suspend.h"
#include "game/core/play_mode.h"
#include "game/data/global_data.h"
#include "game/support/adventure_game.h"
#include "game/support/message_recorder.h"
#include "game/turn/turn_phases.h"
#include "gamebase/music.h"
#include "platform/host/file.h"
#include "platform/host/headless/headless.h"
#include "platform/host/little_endian.h"
#include "sdk/auxiliary/file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Seeds = std::pair<std::uint32_t, std::uint32_t>;

// The bytes of the run's log as the game names it.
std::vector<unsigned char> LogBytes(const SGameResource& game)
{
    const ZTL::string name = Auxiliary::CFile::ResolvePath(game.actionLog.GetFileName());
    std::vector<unsigned char> bytes;
    platform::ReadWholeFile(std::string_view(name.c_str(), name.size()), bytes);
    return bytes;
}

class DungeonStartTest : public AdventureGameTest
{
protected:
    void SetUp() override
    {
        AdventureGameTest::SetUp();
        game->dungeon = 1;
        game->floor = 1;
        game->lastFloor = 10;
        game->seed = 0x12345678;
        game->passwordValue = 0xABCD;
        // The floor "stands" once the failures asked for have been given; it takes the floor type and ice
        // flag asked for.
        scene.floorGenerator = [this](std::uint32_t a, std::uint32_t b) {
            seeds.emplace_back(a, b);
            if (failures > 0) {
                --failures;
                return 1;
            }
            game->map.floorType = floorType;
            game->map.floorFlag = iceFlag;
            return 0;
        };
    }

    std::vector<Seeds> seeds;
    std::int32_t failures = 0;
    std::int32_t floorType = 1;
    std::uint8_t iceFlag = 0;
    CSceneGameMain scene{*game};
};

TEST_F(DungeonStartTest, FloorSeedsFollowTheRunAndEachRetryAddsOneToBoth)
{
    const struct
    {
        std::int32_t floor;
        std::uint32_t s;
        std::uint16_t t;
        std::int32_t failures;
        Seeds first;
    } cases[] = {
        {1, 0x12345678, 0xABCD, 0, {0x12345678, 0xABCD}},
        {3, 0x12345678, 0xABCD, 2, {0x1A325678, 0xB3CD}},
        {6, 0xF0000000, 65000, 1, {0x03FB0000, 4584}},
    };
    for (const auto& c : cases) {
        seeds.clear();
        failures = c.failures;
        game->floor = c.floor;
        game->seed = c.s;
        game->passwordValue = c.t;
        EXPECT_TRUE(scene.StartDungeon());
        ASSERT_EQ(seeds.size(), std::size_t(c.failures + 1)) << c.floor;
        for (std::size_t i = 0; i < seeds.size(); ++i)
            EXPECT_EQ(seeds[i], Seeds(c.first.first + i, c.first.second + i)) << c.floor << " try " << i;
    }
}

// A replay's floor that never stands is not what its run saw: the replay goes to the title, never to the
// end of an adventure that would save its state. So does a save watched as a replay whose floor start
// (a silent one, as a resume's) could not build it: the scene's next frame leaves, saving nothing, with
// the replay's options gone.
TEST_F(DungeonStartTest, AFloorThatNeverStandsEndsTheAdventureAfterOneBox)
{
    const struct
    {
        std::int32_t mode, modeAfter;
        bool dungeonBox;
    } cases[] = {
        {kPlayNormal, kPlayNormal, true},
        {kPlayReplay, kPlayReplay, false},
        {kPlaySilentRerun, kPlayReplay, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        platform::headless::ScriptMessageBoxAnswers({});
        seeds.clear();
        game->playMode = c.mode;
        game->abortRun = 0;
        game->config.showMap = false;
        std::filesystem::remove(Exe() / "save" / "0012abc.main");
        failures = INT_MAX;
        EXPECT_FALSE(scene.StartDungeon());
        EXPECT_EQ(seeds.size(), 65536u);
        const auto boxes = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, Utf8(c.dungeonBox ? "ダンジョンが作成できませんでした"
                                                   : "リプレイファイルが読み込めませんでした"));
        EXPECT_EQ(boxes[0].caption, Utf8("エラー"));
        if (c.mode != c.modeAfter) {
            game->playMode = c.modeAfter;
            std::uint32_t keys = 0;
            scene.OnMove(&keys);
        }
        EXPECT_EQ(std::tuple(game->abortRun, scene.returnToTitle, game->config.showMap),
                  std::tuple(c.mode == kPlayNormal, c.modeAfter == kPlayReplay, c.modeAfter == kPlayReplay));
        EXPECT_EQ(game->dungeon, 1);
        // Only normal play saves, at the floor's start.
        EXPECT_EQ(std::filesystem::exists(Exe() / "save" / "0012abc.main"), c.mode == kPlayNormal);
    }
}

TEST_F(DungeonStartTest, TheHungerWarningStartsFromTheFullness)
{
    const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 3}, {9999, 2}, {15000, 1}, {20000, 0}};
    for (const auto& [fullness, warning] : cases) {
        game->characters.player.fullness = fullness;
        scene.hungerWarning = 7;
        scene.StartDungeon();
        EXPECT_EQ(scene.hungerWarning, warning) << fullness;
    }
}

TEST_F(DungeonStartTest, AHeroineAlreadyHungryAtTheFloorStartIsNotToldAgainAtTheFirstEndOfTurn)
{
    game->characters.player.fullness = 15000;
    scene.StartDungeon();
    MessageRecorder messages(*game);
    scene.turnState = 6;
    scene.phaseStep = 0;
    for (int i = 0; i < 5 && !scene.PhaseEndTurn(); ++i) {
    }
    EXPECT_EQ(messages.Text().find("少し、お腹が減ってきた。"), std::string::npos) << messages.Text();
}

TEST_F(DungeonStartTest, AFloorStartsWithAFadeInAndTheBonusCountedAndTheDeepestFloorRecorded)
{
    game->floor = 4;
    game->floorTime = 600;
    game->pendingFloorBonus = 1234;
    game->dungeonSlots[1].values[SGameResource::SDungeonSlot::kBestFloor] = 2;
    scene.descending = 1;
    scene.fadedOut = 1;
    EXPECT_TRUE(scene.StartDungeon());
    EXPECT_EQ(game->goldCounter.low, 1234u);
    EXPECT_EQ(game->pendingFloorBonus, 0);
    EXPECT_EQ(game->floorTime, 0);
    EXPECT_EQ(game->dungeonSlots[1].values[SGameResource::SDungeonSlot::kBestFloor], 4);
    EXPECT_EQ(std::tuple(scene.fadeLength, scene.fadeOut, scene.fadeWhite, scene.fadedOut),
              std::tuple(30, 0, 0, 0));
    EXPECT_EQ(scene.descending, 0);
    EXPECT_EQ(scene.quakeMode, -1);

    // A training run leaves the record as it is.
    game->trainingRun = true;
    game->floor = 9;
    scene.StartDungeon();
    EXPECT_EQ(game->dungeonSlots[1].values[SGameResource::SDungeonSlot::kBestFloor], 4);
}

TEST_F(DungeonStartTest, NormalPlaySavesAtTheFloorStartAndAReplayDoesNot)
{
    for (const std::int32_t mode : {kPlayReplay, kPlayNormal}) {
        game->playMode = mode;
        game->floor = 2;
        scene.StartDungeon();
        const bool saved = std::filesystem::exists(Exe() / "save" / "0012abc.main");
        EXPECT_EQ(saved, mode == kPlayNormal) << mode;
    }
    const auto entry = g_globalData.saveEntries.find(12);
    ASSERT_NE(entry, g_globalData.saveEntries.end());
    EXPECT_FALSE(entry->second.flag);
    EXPECT_FALSE(game->actionLog.IsOff());
}

// One write of a floor start refused, every other one taken. A refused replay record leaves the floor
// out of the replay, and the run is saved as ever; a refused save keeps the floor before and its whole
// log on the disk, the new floor's commands never joining that log. Either way the player is told once,
// and the suspend that follows writes what the floor start could not: the disk then resumes floor 3
// with every command given on it. A later floor whose save is written owes nothing: the suspend leaves
// its save in place.
TEST_F(DungeonStartTest, AFloorStartWhoseSaveFailsKeepsTheFloorBeforeAndItsWholeLog)
{
    const struct
    {
        const char* refused; // the end of the one path refused, the first time it is written
        std::int32_t savedFloor;
        bool logOfFloor3; // before the suspend
        bool guardWritten;
        const char* box;
        std::int32_t suspendedFloor = 3; // the last floor started before the suspend
        std::int32_t refusals = 1;
    } cases[] = {
        {".rpl", 3, true, true, "リプレイデータの保存に失敗しました。\n前の階はリプレイに残りません。"},
        {".rpl", 3, true, true,
         "リプレイデータの保存に失敗しました。\nこの階と前の階はリプレイに残りません。", 3, 2},
        {".rpi", 3, true, true, "リプレイデータの保存に失敗しました。\nこの階はリプレイに残りません。"},
        {".main", 2, false, false, "セーブデータの保存に失敗しました。"},
        {".head", 2, false, false, "セーブデータの保存に失敗しました。"},
        {".act", 3, false, false, "セーブデータに保存できません"},
        {"main.cfg", 3, true, false, "セーブデータの保存に失敗しました。"},
        {".main", 2, false, false, "セーブデータの保存に失敗しました。", 4},
    };
    static std::string refused;
    static std::int32_t left;
    const auto refuse = [](const std::string& what, std::int32_t times) {
        refused = what;
        left = times;
        platform::SetFileWriteRefusal([](const std::string& path) {
            if (left == 0 || !path.ends_with(refused)) return false;
            return --left, true;
        });
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        game->replayGapRun = {-1, -1}; // told once a run: each row is a run of its own
        game->floor = 2;
        ASSERT_TRUE(scene.StartDungeon());
        game->actionLog.WriteCommand(MakePlayerCommand(5, 0));
        ASSERT_EQ(game->actionLog.AppendToFile(), 0);
        const std::vector<unsigned char> log = LogBytes(*game);
        const auto guard = g_globalData.saveEntries.at(12);
        const std::size_t boxes = platform::headless::GetShownMessageBoxes().size();

        refuse(c.refused, c.refusals);
        game->floor = 3;
        const bool started = scene.StartDungeon();
        game->actionLog.WriteCommand(MakePlayerCommand(5, 1));
        game->actionLog.AppendToFile();
        platform::SetFileWriteRefusal(nullptr);
        ASSERT_TRUE(started);
        ASSERT_EQ(left, 0);
        EXPECT_EQ(LogBytes(*game) == log, !c.logOfFloor3);
        SGlobalData onDisk;
        ASSERT_EQ(LoadGlobalData(onDisk), 0);
        EXPECT_EQ(onDisk.saveEntries.at(12).value != guard.value, c.guardWritten);
        const auto shown = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(shown.size(), boxes + 1);
        EXPECT_EQ(shown.back().text, Utf8(c.box));
        const auto disk = [] {
            auto on = MakeTestGame();
            on->userNumber = 12;
            on->saveName = "abc";
            EXPECT_EQ(LoadSaveGame(*on), kSaveDone);
            return on;
        };
        EXPECT_EQ(disk()->floor, c.savedFloor);
        if (c.suspendedFloor == 4) {
            game->floor = 4;
            ASSERT_TRUE(scene.StartDungeon());
            game->actionLog.WriteCommand(MakePlayerCommand(5, 2));
            ASSERT_EQ(game->actionLog.AppendToFile(), 0);
        }

        EXPECT_EQ(SuspendRun(*game), kGuardSaved);
        EXPECT_EQ(platform::headless::GetShownMessageBoxes().size(), boxes + 1);
        EXPECT_TRUE(g_globalData.saveEntries.at(12).flag);
        const std::uint32_t guardValue = g_globalData.saveEntries.at(12).value;
        const auto resumed = disk();
        EXPECT_EQ(resumed->floor, c.suspendedFloor);
        ASSERT_EQ(resumed->actionLog.LoadSuspendData(12, resumed->runNumber, c.suspendedFloor), 0);
        EXPECT_EQ(resumed->checkValue + resumed->actionLog.GetRunningSum(), guardValue);
        std::vector<std::int32_t> kinds;
        for (SPlayerCommand command; resumed->actionLog.ReadCommand(command), command.kind != -1;)
            kinds.push_back(command.kind);
        EXPECT_EQ(kinds, (std::vector<std::int32_t>{10, 5}));
    }
    // Told once a run: neither again on the same run, nor after its resume (the title's reset, then its
    // load).
    const std::size_t boxes = platform::headless::GetShownMessageBoxes().size();
    for (const std::int32_t floor : {5, 6, 7}) {
        if (floor == 7) {
            game->ResetForNewGame();
            game->userNumber = 12;
            game->saveName = "abc";
            ASSERT_EQ(LoadSaveGame(*game), kSaveDone);
        }
        refuse(".rpi", 1);
        game->floor = floor;
        EXPECT_TRUE(scene.StartDungeon());
        platform::SetFileWriteRefusal(nullptr);
        EXPECT_EQ(left, 0);
        EXPECT_EQ(platform::headless::GetShownMessageBoxes().size(), boxes + 1) << floor;
    }
}

// The save written at a floor start is where a resumed floor starts again: it must hold the last floor's
// bonus in the score and the floor's step of the progress record, or a resumed run loses both. A viewed
// replay's snapshot holds the bonus, so the bonus its own descent counted is dropped.
TEST_F(DungeonStartTest, TheFloorStartSavesTheBonusAndProgressStepAResumeStartsFrom)
{
    game->floor = 3;
    game->pendingFloorBonus = 1234;
    game->flag.values[0] = 7;
    ASSERT_TRUE(scene.StartDungeon());
    EXPECT_EQ(game->goldCounter.low, 1234u);
    EXPECT_EQ(game->flag.values[0], 8);

    game->goldCounter = SGoldCounter();
    game->flag.values[0] = 0;
    ASSERT_EQ(LoadSaveGame(*game), kSaveDone);
    EXPECT_EQ(game->goldCounter.low, 1234u);
    EXPECT_EQ(game->flag.values[0], 8);
    game->playMode = kPlaySilentRerun;
    ASSERT_TRUE(scene.StartDungeon());
    EXPECT_EQ(game->goldCounter.low, 1234u);
    EXPECT_EQ(game->flag.values[0], 8);

    game->playMode = kPlayReplay;
    game->pendingFloorBonus = 99;
    ASSERT_TRUE(scene.StartDungeon());
    EXPECT_EQ(game->goldCounter.low, 1234u);
    EXPECT_EQ(game->pendingFloorBonus, 0);
    EXPECT_EQ(game->flag.values[0], 8);
}

// The automatic turn belongs to the program, not to the save: a floor's log opens with it, written with
// the log's header so that a suspend before the floor's first turn keeps it, and a re-run of the floor,
// in a program that has another setting, takes it from there.
TEST_F(DungeonStartTest, AFloorsLogOpensWithTheAutomaticTurnThatAReRunTakes)
{
    game->floor = 2;
    game->autoTurn = 2;
    ASSERT_TRUE(scene.StartDungeon());

    game->autoTurn = 0;
    game->playMode = kPlaySilentRerun;
    ASSERT_EQ(game->actionLog.LoadSuspendData(game->userNumber, game->runNumber, 2), 0);
    SPlayerCommand first;
    game->actionLog.ReadCommand(first);
    EXPECT_EQ(std::tuple(first.kind, first.arg2), std::tuple(10, 2));
    game->playerCommands.push_back(first);
    EXPECT_TRUE(scene.DispatchCommand());
    EXPECT_EQ(game->autoTurn, 2);
}

// A power loss can take the floor's snapshot that was appended before its save, or leave its length with
// zeros for some of its bytes: the resume of that save appends it again, and a resume that finds it whole
// leaves the work files as they are.
TEST_F(DungeonStartTest, AResumeAppendsTheSnapshotOfItsFloorWhenTheWorkFilesLackIt)
{
    game->floor = 3;
    ASSERT_TRUE(scene.StartDungeon());
    const std::filesystem::path work = UserFolder() / "00120001.rpl", index = UserFolder() / "00120001.rpi";
    const std::string written = GetFile(work);
    const auto whole = written.size();
    const struct
    {
        const char* what;
        std::size_t zerosFrom, zerosTo; // of the snapshot's bytes
        bool indexLost = false;
    } cases[] = {
        {"its last byte and its pair lost", whole, whole, true},
        {"zeros from its middle", whole / 2, whole},
        {"64 zeros inside it", whole / 2, whole / 2 + 64},
        {"all zeros", 0, whole},
        {"whole", whole, whole},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string damaged = written;
        std::fill(damaged.begin() + std::ptrdiff_t(c.zerosFrom), damaged.begin() + std::ptrdiff_t(c.zerosTo),
                  '\0');
        PutFile(work, damaged.substr(0, whole - (c.indexLost ? 1 : 0)));
        if (c.indexLost) std::filesystem::resize_file(index, 0);
        ASSERT_EQ(LoadSaveGame(*game), kSaveDone);
        const std::uint32_t checkValue = game->checkValue;
        game->playMode = kPlaySilentRerun;
        RestartRunFromSeed(*game);
        scene.resumingSave = 1;
        ASSERT_TRUE(scene.StartDungeon());
        scene.resumingSave = 0;
        game->playMode = kPlayNormal;
        EXPECT_EQ(GetFile(work), written);
        EXPECT_EQ(std::filesystem::file_size(index), 8u);
        EXPECT_EQ(game->checkValue, checkValue);
    }
}

// A replay from a file at its floor start: a floor it lacks goes on to the next one it holds, and the
// descent from its last one ends it where the run went deeper; a floor it cannot read ends it with one
// box and the title, never taken for play.
TEST_F(DungeonStartTest, AReplaysFloorStartShowsOnlyTheFloorsItHolds)
{
    // Floors 2 to 4, floor 3's snapshot unnamed (its pair refused); the run went on to floor 6.
    static bool refusing;
    platform::SetFileWriteRefusal([](const std::string& what) { return refusing && what.ends_with(".rpi"); });
    for (const std::int32_t floor : {2, 3, 4}) {
        refusing = floor == 3;
        game->floor = floor;
        ASSERT_TRUE(scene.StartDungeon());
    }
    platform::SetFileWriteRefusal(nullptr);
    ASSERT_EQ(game->actionLog.AppendFloorLog(), CActionLog::kFloorLogAppended);
    game->runRecord.recordNumber = 12;
    game->runRecord.runNumber = game->runNumber;
    game->runRecord.name = "abc";
    game->runRecord.floor = 6;
    std::filesystem::create_directories(Exe() / "replay");
    ZTL::string name;
    ASSERT_EQ(WriteReplay(*game, name), kReplayWritten);
    const std::filesystem::path file = Exe() / "replay" / (name.c_str() + 7);
    const std::string written = GetFile(file);
    ASSERT_EQ(OpenReplay(*game, name), kReplayOpened);
    const std::size_t snapshot = std::size_t(game->runStartValues.at(4));
    const std::size_t log =
        snapshot + 12 + platform::ReadU32(reinterpret_cast<const std::uint8_t*>(&written[snapshot]));
    const auto flipped = [&written](std::size_t at) {
        std::string bytes = written;
        bytes[at] = char(bytes[at] ^ 0xFF);
        return bytes;
    };
    const struct
    {
        const char* what;
        std::int32_t floor;
        std::string file;
        std::int32_t shown; // -1 none
        bool cut = false;   // once opened
    } cases[] = {
        {"a floor it lacks", 3, written, 4},
        {"a snapshot damaged", 4, flipped(snapshot + 40), -1},
        {"a log damaged", 4, flipped(log + 4), -1},
        {"cut short once opened", 4, written, -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutFile(file, c.file);
        ASSERT_EQ(OpenReplay(*game, name), kReplayOpened);
        if (c.cut) std::filesystem::resize_file(file, snapshot);
        platform::headless::ScriptMessageBoxAnswers({});
        game->playMode = kPlayReplay;
        game->floor = c.floor;
        scene.returnToTitle = 0;
        EXPECT_EQ(scene.StartDungeon(), c.shown != -1);
        EXPECT_EQ(platform::headless::GetShownMessageBoxes().size(), c.shown != -1 ? 0u : 1u);
        EXPECT_EQ(scene.returnToTitle, c.shown != -1 ? 0 : 1);
        EXPECT_EQ(game->playMode, kPlayReplay);
        if (c.shown == -1) continue;
        EXPECT_EQ(game->floor, c.shown);
        scene.BeginDescend();
        EXPECT_EQ(std::tuple(game->playMode, game->endOfPlay, scene.descending),
                  std::tuple(kPlayNormal, 1, 0));
    }
}

TEST_F(DungeonStartTest, TheFloorAfterTheLastIsTheGoalFloorWithAWhiteFadeAndEndsAViewedReplay)
{
    for (const std::int32_t mode : {kPlayNormal, kPlayReplay}) {
        seeds.clear();
        MessageRecorder messages(*game);
        scene.fadeLength = 0;
        game->playMode = mode;
        game->floor = game->lastFloor + 1;
        EXPECT_TRUE(scene.StartDungeon());
        EXPECT_TRUE(seeds.empty()) << mode;
        EXPECT_EQ(game->map.floorType, 22) << mode;
        EXPECT_EQ(std::tuple(scene.fadeLength, scene.fadeOut, scene.fadeWhite), std::tuple(120, 0, 1))
            << mode;
        EXPECT_EQ(messages.Text().find("リプレイを終了します。") != std::string::npos, mode == kPlayReplay);
        EXPECT_EQ(game->playMode, kPlayNormal);
    }
}

TEST_F(DungeonStartTest, ItemStatesOnTheNewFloorFollowItsTypeAndIce)
{
    // (floor type, ice flag, the flags a frozen item is left with)
    const struct
    {
        std::int32_t type;
        std::uint8_t ice;
        std::uint16_t flags;
    } cases[] = {
        {21, 0, 0},
        {21, 1, CItemControl::kFrozen},
        {5, 0, CItemControl::kWet},
        {5, 1, CItemControl::kFrozen},
    };
    for (const auto& c : cases) {
        const std::uint16_t item = New(200, true, CItemControl::kFrozen); // a scroll, which gets wet
        floorType = c.type;
        iceFlag = c.ice;
        scene.StartDungeon();
        EXPECT_EQ(Item(item).flags & (CItemControl::kFrozen | CItemControl::kWet), c.flags)
            << c.type << " " << int(c.ice);
    }
}

TEST_F(DungeonStartTest, LeavingTheWarehouseStoresWhatLiesThereAndGoesBackToCamp)
{
    game->dungeon = 0;
    game->floor = 2;
    game->playMode = kPlaySilentRerun;
    scene.descending = 1;
    const std::uint16_t sword = New(10, false);
    const std::uint16_t shield = New(60, false);
    game->map.GetFieldCell(10, 10) = SMapCell{5, 0, 1, 0, 1, kObjectItem, sword};
    game->map.GetFieldCell(12, 15) = SMapCell{5, 0, 1, 0, 1, kObjectItem, shield};
    game->items.floorItemGrid[4][4] = 77;

    EXPECT_TRUE(scene.StartDungeon());
    EXPECT_TRUE(seeds.empty());
    EXPECT_EQ(std::tuple(game->returnToCamp, game->playMode, scene.descending),
              std::tuple(1, kPlayNormal, 0));
    const auto& grid = game->items.floorItemGrid;
    ASSERT_NE(grid[0][0], kNone);
    ASSERT_NE(grid[2][5], kNone);
    EXPECT_EQ(game->items.GetWarehouseItem(grid[0][0]).kind, 10);
    EXPECT_EQ(game->items.GetWarehouseItem(grid[2][5]).kind, 60);
    EXPECT_EQ(grid[4][4], kNone);
    EXPECT_EQ(CountKind(10) + CountKind(60), 0);
}

TEST_F(DungeonStartTest, AnItemAFullWarehouseCannotTakeGoesIntoTheBag)
{
    game->dungeon = 0;
    game->floor = 2;
    for (CItemControl::SItem& stored : game->items.warehouse)
        stored.kind = 1;
    const std::uint16_t sword = New(10, false);
    game->map.GetFieldCell(11, 11) = SMapCell{5, 0, 1, 0, 1, kObjectItem, sword};

    EXPECT_TRUE(scene.StartDungeon());
    EXPECT_EQ(game->items.floorItemGrid[1][1], kNone);
    ASSERT_NE(game->inventory[0], kNone);
    EXPECT_EQ(Item(game->inventory[0]).kind, 10);
}

TEST_F(DungeonStartTest, AResumedFloorReadsItsLogAndFinishesTheRunWhenItCannot)
{
    game->playMode = kPlaySilentRerun;
    EXPECT_TRUE(scene.StartDungeon());
    EXPECT_EQ(game->rerunStarted, 1);
    EXPECT_EQ(scene.finishAfterRerun, 1);
    EXPECT_EQ(scene.fadeLength, 0);
}

TEST_F(DungeonStartTest, BeginDescendFadesOutAndFadesTheMusicOnlyForAnotherFloorClass)
{
    QuorlithGameBase::CMusic* music = QuorlithGameBase::CMusic::GetInstance();
    const bool enabled = music->IsEnabled();
    music->SetEnabled(false);
    // Dungeon 1's floors are all of class 1; the floor after the last is the goal floor, class 3.
    const struct
    {
        std::int32_t floor, playing, after;
    } cases[] = {{2, 1, 1}, {2, 2, -1}, {10, 3, 3}, {10, 1, -1}};
    for (const auto& c : cases) {
        music->PlayNow(c.playing);
        game->floor = c.floor;
        scene.fadeLength = 0;
        scene.descending = 0;
        scene.BeginDescend();
        EXPECT_EQ(music->GetCurrent(), c.after) << c.floor << " " << c.playing;
        EXPECT_EQ(std::tuple(scene.fadeLength, scene.fadeOut, scene.fadeWhite, scene.descending),
                  std::tuple(30, 1, 0, 1));
        EXPECT_EQ(game->floor, c.floor);
    }
    music->FadeOut(1);
    music->SetEnabled(enabled);
}

} // namespace

namespace {

TEST_F(DungeonStartTest, WhenTheFadeOutEndsTheFloorBonusJoinsAndTheNextFloorStarts)
{
    game->messageWindow.logOnly = 1;
    game->floor = 3;
    game->floorTime = 600;
    scene.BeginDescend();
    std::uint32_t keys = 0;
    for (int frame = 0; frame < 29; ++frame)
        scene.OnMove(&keys);
    EXPECT_EQ(std::tuple(game->floor, scene.descending), std::tuple(3, 1));
    scene.OnMove(&keys);
    EXPECT_EQ(std::tuple(game->floor, scene.descending), std::tuple(4, 0));
    // ((12000 - 600) * 3) / 6 went through the pending bonus into the gold counter.
    EXPECT_EQ(game->goldCounter.low, 5700u);
    ASSERT_EQ(seeds.size(), 1u);
    EXPECT_EQ(seeds[0], Seeds(0x12345678u + 3u * 0x3FF0000u, (0xABCDu + 3u * 1024u) & 0xFFFFu));
}

// The frame a floor starts on is not a fade frame: its turn loop runs, so a viewed replay, whose next
// command is at hand, takes the floor's first logged commands on it, before the fade-in holds the turns.
// A replay's state on that frame is therefore a little past the floor's start (a player answers a frame
// later at the soonest): a replay is compared with its run where each floor is left.
TEST_F(DungeonStartTest, AViewedReplayTakesTheFloorsFirstLoggedCommandsOnTheFrameTheFloorStarts)
{
    game->messageWindow.logOnly = 1;
    game->floor = 4;
    ASSERT_TRUE(scene.StartDungeon()); // the floor's log opens with the automatic turn
    const std::int32_t facing = (game->characters.player.direction + 4) % 8;
    game->actionLog.WriteCommand(MakePlayerCommand(2, facing)); // she turns round
    ASSERT_EQ(game->actionLog.AppendToFile(), 0);
    ASSERT_EQ(game->actionLog.LoadSuspendData(game->userNumber, game->runNumber, 4), 0);

    game->playMode = kPlayReplay;
    game->floor = 3;
    scene.fadeLength = 0;
    scene.BeginDescend();
    std::uint32_t keys = 0;
    for (int frame = 0; frame < 30; ++frame)
        scene.OnMove(&keys);
    ASSERT_EQ(std::tuple(game->floor, scene.descending, scene.fadeLength), std::tuple(4, 0, 30));
    // The log was read to its end, which ends the replay (and lets its log go).
    EXPECT_EQ(game->playMode, kPlayNormal) << "the log is read on the start frame";
    EXPECT_EQ(game->characters.player.direction, facing);
}

TEST_F(DungeonStartTest, AThiefWhoFallsLeavesTheFloorThroughTheFloorChange)
{
    game->thief = 1;
    EXPECT_TRUE(scene.FinishFall());
    EXPECT_EQ(std::tuple(scene.descending, scene.fadeLength, scene.fadeOut), std::tuple(1, 30, 1));
    EXPECT_EQ(game->leaveFloor, 0);
}

} // namespace
