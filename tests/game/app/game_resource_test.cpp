#include "game/app/game_resource.h"

#include "game/support/archive_bytes.h"
#include "sdk/auxiliary/serialize.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Load(Auxiliary::IArchive& object, const Bytes& bytes)
{
    Auxiliary::CSerialize stream;
    stream.GetBuffer() = bytes;
    stream.SetStoring(false);
    stream.Serialize(object);
    ASSERT_FALSE(stream.HasLoadFailed());
    ASSERT_EQ(stream.ReadPosition(), bytes.size());
}

TEST(GameResource, ANewGameStateStartsANewAdventure)
{
    auto game = std::make_unique<SGameResource>();
    EXPECT_EQ(game->playMode, kPlayNormal);
    EXPECT_EQ(game->floor, 1);
    EXPECT_EQ(game->userNumber, -1);
    EXPECT_EQ(game->runNumber, 1);
    EXPECT_EQ(game->checkValue, 0u);
    EXPECT_EQ(game->saveKind, 2);
    EXPECT_TRUE(game->passwordHistory.empty());
    EXPECT_EQ(game->sineTable[63], 65514);
    for (std::size_t slot = 0; slot < SGameResource::kDungeonSlots; ++slot)
        EXPECT_EQ(game->dungeonSlots[slot].open, slot < 2 ? 1 : 0) << slot;
    EXPECT_EQ(game->flag.values[0], 5);
    EXPECT_EQ(game->flag.values[9], -50);
    EXPECT_EQ(game->inventory[19], 0xFFFF);
    EXPECT_EQ(game->runRecord.recordNumber, -1);
    EXPECT_EQ(game->throwItem.GetObjectKind(), 8);
    EXPECT_EQ(game->throwItem.itemIndex, 0xFFFF);
}

TEST(GameResource, TheSeededGeneratorKeepsItsSeed)
{
    Math::CRand generator = ConstructSeededRand();
    EXPECT_FALSE(generator.noRandom);
    Math::CRand same;
    same.SetSeed(generator.seed);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(generator.Get(), same.Get());
}

TEST(GameResource, TheAdventureFieldsStoreAndLoadBackByteIdentical)
{
    auto game = std::make_unique<SGameResource>();
    const Bytes fresh = StoreBytes(*game);
    // 22 values (a 1-byte empty name, a u16 and a bool among them), 20 u16, 8 slots of 13, the flags.
    EXPECT_EQ(fresh.size(), 80u + 40u + 104u + 136u);

    game->userNumber = 12;
    game->saveName = "abc";
    game->dungeon = 3;
    game->floor = 27;
    game->seed = 0xDEADBEEF;
    game->passwordValue = 0x1234;
    game->gold = 999;
    game->goldCounter = SGoldCounter{15, 3};
    game->trainingRun = true;
    game->equippedWeapon = 7;
    game->inventory[4] = 42;
    game->dungeonSlots[6].open = 1;
    game->dungeonSlots[6].values = {1, -2, 3};
    game->flag.OnNewFloor();
    game->flag.words[3] = 0x80000001u;
    game->playMode = kPlayReplay; // not stored
    game->spareWeapon = 5;        // not stored
    const Bytes stored = StoreBytes(*game);

    auto loaded = std::make_unique<SGameResource>();
    Load(*loaded, stored);
    EXPECT_EQ(StoreBytes(*loaded), stored);
    EXPECT_STREQ(loaded->saveName.c_str(), "abc");
    EXPECT_EQ(loaded->inventory[4], 42);
    EXPECT_EQ(loaded->playMode, kPlayNormal);
    EXPECT_EQ(loaded->spareWeapon, 0xFFFF);
}

TEST(GameResource, ANewGameResetsTheControlsAndTheRecords)
{
    auto game = std::make_unique<SGameResource>();
    game->items.GetItem(3).kind = 10;
    game->items.itemMark = 4;
    game->characters.monsterCount = 5;
    game->characters.player.hp = 1;
    game->map.GetCell(10, 10).terrain = 5;
    game->messageWindow.log.push_back({});
    SPlayerCommand wait;
    wait.kind = 1;
    game->actionLog.WriteCommand(wait);
    game->passwordHistory.push_back({1, 2});
    game->runRecord.recordNumber = 4;
    game->dungeonSlots[1].open = 0;
    game->userNumber = 3;
    game->checkValue = 77;
    game->ResetForNewGame();
    EXPECT_EQ(game->items.GetItem(3).kind, 0xFFFF);
    EXPECT_EQ(game->items.itemMark, 0);
    EXPECT_EQ(game->characters.monsterCount, 0);
    EXPECT_EQ(game->characters.player.hp, 20);
    EXPECT_EQ(game->map.GetCell(10, 10).terrain, 0);
    EXPECT_TRUE(game->messageWindow.log.empty());
    EXPECT_TRUE(game->actionLog.GetWords().empty());
    EXPECT_TRUE(game->passwordHistory.empty());
    EXPECT_EQ(game->runRecord.recordNumber, -1);
    EXPECT_EQ(game->dungeonSlots[1].open, 1);
    EXPECT_EQ(game->userNumber, -1);
    EXPECT_EQ(game->checkValue, 0u);
}

TEST(GameResource, TheProgressRecordCountsFloorsUpToTheirCaps)
{
    SGameResource::SFlag flag;
    flag.ResetForNewGame();
    flag.values[1] = 99;
    flag.values[6] = 100;
    flag.values[7] = 250;
    flag.OnNewFloor();
    EXPECT_EQ(flag.values[0], 6);
    EXPECT_EQ(flag.values[8], -49);
    EXPECT_EQ(flag.values[13], 49);
    EXPECT_EQ(flag.values[23], 24);
    EXPECT_EQ(flag.values[10], 0);
    EXPECT_EQ(flag.values[1], 100);
    flag.OnNewFloor();
    EXPECT_EQ(flag.values[1], 100);
    EXPECT_EQ(flag.values[6], 100);
    EXPECT_EQ(flag.values[7], 250);
    EXPECT_EQ(StoreBytes(flag).size(), 4u * 4 + 30u * 4);
}

TEST(RankingData, TheRunsGoldIsStoredScaledAndHalvedForTrainingRuns)
{
    SRankingData record;
    record.StoreGold(SGoldCounter{15, 3});
    EXPECT_EQ(record.goldLow, 1u);
    EXPECT_EQ(record.goldHigh, 3u);
    record.trainingRun = true;
    record.StoreGold(SGoldCounter{15, 3});
    EXPECT_EQ(record.goldLow, 5000000u);
    EXPECT_EQ(record.goldHigh, 1u);
    record.StoreGold(SGoldCounter{99999999, 4});
    EXPECT_EQ(record.goldLow, 4999999u);
    EXPECT_EQ(record.goldHigh, 2u);
}

TEST(RankingData, ARecordStoresItsFieldsThenBothItems)
{
    SRankingData record;
    const Bytes cleared = StoreBytes(record);
    // 56 bytes of fields (a 1-byte empty name), then two 32-byte items.
    ASSERT_EQ(cleared.size(), 56u + 64u);
    EXPECT_EQ(Bytes(cleared.begin(), cleared.begin() + 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(cleared[56], 0xFF); // the first item's kind, 0xFFFF

    record.name = "霞野";
    record.category = 3;
    record.firstItem.kind = 28;
    record.secondItem.value = -2;
    SRankingData loaded;
    Load(loaded, StoreBytes(record));
    EXPECT_EQ(StoreBytes(loaded), StoreBytes(record));
    EXPECT_EQ(loaded.secondItem.value, -2);
}

} // namespace
