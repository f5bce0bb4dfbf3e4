#include "game/app/ranking_table.h"
#include "game/app/save_game.h"
#include "game/characters/adventure.h"
#include "game/core/play_mode.h"
#include "game/support/adventure_game.h"
#include "platform/host/file.h"
#include "platform/host/headless/headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace {
using AdventureTest = AdventureGameTest;

TEST_F(AdventureTest, TheDungeonNumberIsCheckedAndAPurselessDungeonBanksTheGold)
{
    struct Case
    {
        std::int32_t dungeon;
        std::int32_t startedDungeon;
        std::uint32_t gold;
        std::uint32_t bank;
    };
    for (const Case c : {Case{9, 1, 500, 0}, Case{-1, 1, 500, 0}, Case{1, 1, 500, 0}, Case{3, 3, 0, 500}}) {
        Fresh();
        game->gold = 500;
        StartAdventure(*game, c.dungeon, 7, 0);
        EXPECT_EQ(game->dungeon, c.startedDungeon) << c.dungeon;
        EXPECT_EQ(game->floor, 1) << c.dungeon;
        EXPECT_EQ(game->gold, c.gold) << c.dungeon;
        EXPECT_EQ(game->bankedGold, c.bank) << c.dungeon;
    }
}

TEST_F(AdventureTest, TheLastFloorFollowsTheDungeonsClearsUnlessTheStartIsLocked)
{
    using Slot = SGameResource::SDungeonSlot;
    struct Case
    {
        std::int32_t dungeon;
        std::int32_t clears;
        bool training; // the start lock
        std::int32_t lastFloor;
        std::int32_t starts;
    };
    for (const Case c : {Case{1, 0, false, 10, 1}, Case{1, 1, false, 20, 1}, Case{8, 0, false, 121, 1},
                         Case{8, 2, false, 143, 1}, Case{8, 2, true, 55, 0}, Case{3, 0, true, 55, 0}}) {
        Fresh();
        game->FindDungeonSlot(c.dungeon)->values[Slot::kClears] = c.clears;
        game->trainingRun = c.training;
        game->lastFloor = 55;
        StartAdventure(*game, c.dungeon, 7, 0);
        EXPECT_EQ(game->lastFloor, c.lastFloor) << c.dungeon << " " << c.clears;
        EXPECT_EQ(game->FindDungeonSlot(c.dungeon)->values[Slot::kStarts], c.starts) << c.dungeon;
    }
    // Dungeon 8 keeps its record beside the eight the camp lists.
    EXPECT_EQ(game->FindDungeonSlot(8), &game->hiddenDungeonSlot);
    EXPECT_EQ(game->FindDungeonSlot(9), nullptr);
    EXPECT_EQ(game->FindDungeonSlot(-1), nullptr);
}

TEST_F(AdventureTest, CountsFromADamagedSaveStopAtTheirLargestValue)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    using Slot = SGameResource::SDungeonSlot;
    game->FindDungeonSlot(2)->values[Slot::kStarts] = kMax;
    StartAdventure(*game, 2, 7, 0);
    EXPECT_EQ(game->FindDungeonSlot(2)->values[Slot::kStarts], kMax);
    game->runNumber = kMax;
    game->characters.player.hp = 10;
    FinishAdventureAndSave(*game);
    EXPECT_EQ(game->runNumber, kMax);
}

TEST_F(AdventureTest, AStartBeginsTheRunsScoreAnew)
{
    AddGoldCounter(game->goldCounter, 123456);
    game->goldCounter.high = 2;
    game->value17 = 9;
    StartAdventure(*game, 2, 7, 0);
    EXPECT_EQ(game->goldCounter.low, 0u);
    EXPECT_EQ(game->goldCounter.high, 0u);
    EXPECT_EQ(game->value17, 0u);
}

TEST_F(AdventureTest, OnlyANormalRunIntoADungeonBringsTheStarterItem)
{
    struct Case
    {
        std::int32_t playMode;
        std::int32_t dungeon;
        bool fullBag;
        std::int32_t made;
    };
    for (const Case c :
         {Case{kPlayNormal, 1, false, 1}, Case{kPlayNormal, 1, true, 0}, Case{kPlaySilentRerun, 1, false, 0},
          Case{kPlayReplay, 1, false, 0}, Case{kPlayNormal, 0, false, 0}, Case{kPlayNormal, 8, false, 1}}) {
        Fresh();
        game->playMode = c.playMode;
        if (c.fullBag)
            for (std::size_t i = 0; i < SGameResource::kInventorySize; ++i)
                New(120);
        StartAdventure(*game, c.dungeon, 7, 0);
        EXPECT_EQ(CountKind(kStarterItemKind), c.made) << c.playMode << " " << c.dungeon;
        EXPECT_EQ(game->playMode, kPlayNormal);
        if (c.made == 1) {
            const std::uint16_t carried = game->inventory[0];
            ASSERT_NE(carried, kNone);
            EXPECT_EQ(Item(carried).kind, kStarterItemKind);
            EXPECT_EQ(Item(carried).flags & CItemControl::kCursed, 0);
        }
    }
}

TEST_F(AdventureTest, CarriedItemsAreIdentifiedAndValuedAtTheirBuyingPricePlus500)
{
    game->items.kinds[120].buyPrice = 100;
    game->items.kinds[121].buyPrice = 200;
    const std::uint16_t food = New(120);
    const std::uint16_t other = New(121);
    const std::uint16_t potion = New(140, false);
    const std::uint16_t pot = New(350);
    Item(pot).value = 2;
    Item(pot).slots[0] = potion;
    game->items.kinds[350].buyPrice = 0;
    game->playMode = kPlayReplay;
    StartAdventure(*game, 1, 7, 0);
    for (const std::uint16_t index : {food, other, potion, pot})
        EXPECT_NE(Item(index).flags & CItemControl::kIdentified, 0) << index;
    // The pot's own price counts its contents; the two foods give 600 + 700.
    EXPECT_EQ(game->carriedValue, 1300 + game->items.GetItemPrice(Item(pot), 1, 0) + 500);
    EXPECT_EQ(game->startedWithItems, 0);
}

TEST_F(AdventureTest, TheSeedDecidesTheAppearanceNames)
{
    StartAdventure(*game, 1, 12345, 0x55);
    const auto names = game->items.appearanceOrder;
    EXPECT_EQ(game->random.seed, 12345u);
    EXPECT_EQ(game->seed, 12345u);
    EXPECT_EQ(game->passwordValue, 0x55);

    Fresh();
    game->random.Get(); // whatever was drawn before does not matter
    StartAdventure(*game, 1, 12345, 0);
    EXPECT_EQ(game->items.appearanceOrder, names);

    // The shuffle takes the generator's first draws after seeding.
    Fresh();
    Math::CRand generator;
    generator.SetSeed(12345);
    game->items.ShuffleUnidentifiedNames(generator);
    EXPECT_EQ(game->items.appearanceOrder, names);
}

TEST_F(AdventureTest, AFallenHeroineBanksAQuarterOfHerPurseAndLosesHerBag)
{
    struct Case
    {
        std::int32_t hp;
        std::uint32_t bank;
        std::uint32_t bankAfter;
        std::uint32_t goldAfter;
        std::int32_t itemsLeft;
    };
    for (const Case c :
         {Case{0, 0, 250, 0, 0}, Case{0, 999999900, 1000000000, 0, 0}, Case{5, 0, 0, 1000, 1}}) {
        Fresh();
        game->dungeon = 2;
        game->characters.player.hp = c.hp;
        game->gold = 1000;
        game->bankedGold = c.bank;
        New(3);
        New(4, false);
        FinishAdventureAndSave(*game);
        EXPECT_EQ(game->bankedGold, c.bankAfter) << c.hp << " " << c.bank;
        EXPECT_EQ(game->gold, c.goldAfter) << c.hp;
        EXPECT_EQ(CountKind(3) + CountKind(4), c.itemsLeft) << c.hp;
    }
}

TEST_F(AdventureTest, TheEndKeepsCarriedItemsIdentifiedAndCataloguedAndLeavesTheDungeon)
{
    struct Case
    {
        std::int32_t dungeon;
        std::int32_t adventures;
    };
    for (const Case c : {Case{0, 1}, Case{2, 2}}) {
        Fresh();
        game->dungeon = c.dungeon;
        game->floor = 5;
        game->characters.player.hp = 10;
        const std::uint16_t weapon = New(3);
        New(140);
        game->equippedWeapon = weapon;
        FinishAdventureAndSave(*game);
        EXPECT_EQ(game->runNumber, c.adventures) << c.dungeon;
        EXPECT_EQ(game->dungeon, 0);
        EXPECT_EQ(game->floor, 0);
        EXPECT_EQ(game->equippedWeapon, 0xFFFF);
        EXPECT_NE(Item(game->inventory[0]).flags & CItemControl::kIdentified, 0);
        EXPECT_EQ(game->items.IsKindSeen(3), 1);
        EXPECT_EQ(game->items.IsKindSeen(140), game->items.IsKindIdentified(140, false) ? 1 : 0);
    }
}

TEST_F(AdventureTest, TheLastFloorsLogJoinsTheReplayUnlessTheRunEndedBeyondTheLastFloor)
{
    struct Case
    {
        std::int32_t floor;
        bool appended;
    };
    for (const Case c : {Case{30, true}, Case{4, true}, Case{31, false}}) {
        Fresh();
        CRankingTable ranking;
        game->dungeon = 2;
        game->floor = c.floor;
        game->lastFloor = 30;
        game->characters.player.hp = 5;
        ASSERT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, c.floor), 0);
        const std::filesystem::path act = UserFolder() / "00120001.act";
        const std::filesystem::path work = UserFolder() / "00120001.rpl";
        ASSERT_TRUE(std::filesystem::exists(act));
        std::filesystem::remove(work);
        EndAdventure(*game, ranking);
        EXPECT_FALSE(std::filesystem::exists(act)) << c.floor;
        ASSERT_EQ(std::filesystem::exists(work), c.appended) << c.floor;
        if (c.appended) { // the log's length, then its 12-byte header
            EXPECT_EQ(std::filesystem::file_size(work), 4u + 12u) << c.floor;
        }
    }
}

// The ranking and the replay's last floor are written apart, each attempted. The camp's save waits for
// the ranking, whose record could not be made again, but never for the replay, which only loses the floor.
TEST_F(AdventureTest, TheEndWritesTheRankingAndTheLastFloorApartAndOnlyTheRankingHoldsTheSave)
{
    const struct
    {
        const char* refused;
        bool ranked, logged, campSaved;
        const char* box;
    } cases[] = {
        {"nothing", true, true, true, nullptr},
        {"ranking.sav", false, true, false, "セーブデータの保存に失敗しました。"},
        {".rpl", true, false, true, "リプレイデータの保存に失敗しました。\nこの階はリプレイに残りません。"},
    };
    static std::string refused;
    platform::SetFileWriteRefusal([](const std::string& what) { return what.ends_with(refused); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        refused = c.refused;
        Fresh();
        std::filesystem::create_directories(Exe() / "save");
        std::filesystem::remove(Exe() / "save" / "ranking.sav");
        CRankingTable ranking;
        game->dungeon = 2;
        game->floor = 4;
        game->lastFloor = 30;
        game->characters.player.hp = 5;
        ASSERT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, game->floor), 0);
        ASSERT_EQ(WriteSaveGame(*game), 0);
        const std::filesystem::path work = UserFolder() / "00120001.rpl";
        std::filesystem::remove(work);
        const std::size_t boxes = platform::headless::GetShownMessageBoxes().size();
        EndAdventure(*game, ranking);
        CRankingTable onDisk;
        EXPECT_EQ(onDisk.Count(2), c.ranked ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(work), c.logged);
        auto saved = MakeTestGame();
        saved->userNumber = 12;
        saved->saveName = "abc";
        ASSERT_EQ(LoadSaveGame(*saved), kSaveDone);
        EXPECT_EQ(saved->dungeon == 0, c.campSaved);
        EXPECT_EQ(std::filesystem::exists(UserFolder() / "00120001.act"), !c.campSaved);
        const auto shown = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(shown.size(), boxes + (c.box != nullptr ? 1 : 0));
        if (c.box != nullptr) EXPECT_EQ(shown.back().text, Utf8(c.box));
    }
    platform::SetFileWriteRefusal(nullptr);
}

TEST_F(AdventureTest, EndingARunSettlesTheCounterRanksTheRecordAndRequestsTheEnd)
{
    CRankingTable ranking;
    game->dungeon = 2;
    game->floor = 4;
    game->lastFloor = 30;
    game->characters.player.hp = 0;
    game->carriedValue = 50;
    AddGoldCounter(game->goldCounter, 20000);
    EndAdventure(*game, ranking);
    EXPECT_EQ(game->goldCounter.low, 15000u);
    EXPECT_EQ(game->startedWithItems, 1);
    EXPECT_EQ(game->endOfRunRequest.requested, 1);
    EXPECT_EQ(game->endOfRunRequest.fade, 1);
    EXPECT_EQ(game->endOfRunRequest.mode, 7);
    EXPECT_EQ(game->rankingPlace, 0);
    EXPECT_EQ(ranking.Count(2), 1);
    EXPECT_EQ(game->dungeon, 0);
}

// An end cut short before any of its changes on the disk leaves either the run's log beside its save in the
// dungeon, which a resume re-runs to the same end, or the camp's save.
TEST_F(AdventureTest, AnEndCutShortAnywhereLeavesTheRunsLogOrTheCampsSave)
{
    static int cutAt = 0, seen = 0;
    const auto stop = [](const std::string&) {
        if (seen++ == cutAt) throw cutAt;
    };
    bool finished = false;
    for (cutAt = 0; !finished; ++cutAt) {
        SCOPED_TRACE(cutAt);
        Fresh();
        std::filesystem::create_directories(Exe() / "save");
        CRankingTable ranking;
        game->dungeon = 2;
        game->floor = 4;
        game->lastFloor = 30;
        game->characters.player.hp = 0;
        ASSERT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, game->floor), 0);
        ASSERT_EQ(WriteSaveGame(*game), 0);
        seen = 0;
        platform::SetFileChangeObserver(stop);
        try {
            EndAdventure(*game, ranking);
            finished = true;
        } catch (int) {
        }
        platform::SetFileChangeObserver(nullptr);
        auto saved = MakeTestGame();
        saved->userNumber = 12;
        saved->saveName = "abc";
        ASSERT_EQ(LoadSaveGame(*saved), kSaveDone);
        const bool logKept = std::filesystem::exists(UserFolder() / "00120001.act");
        EXPECT_TRUE(logKept || saved->dungeon == 0) << "the save is still in dungeon " << saved->dungeon;
    }
    EXPECT_GE(cutAt, 3);
}
} // namespace
