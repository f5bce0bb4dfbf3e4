#include "game/app/ranking_table.h"

#include "game/data/check_value.h"
#include "game/support/archive_bytes.h"
#include "game/support/temp_home.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

SRankingData Record(std::uint8_t category, std::uint32_t goldLow, std::int32_t gold, std::int32_t run,
                    std::int32_t number)
{
    SRankingData record;
    record.category = category;
    record.goldLow = goldLow;
    record.gold = gold;
    record.runNumber = run;
    record.recordNumber = number;
    return record;
}

SRankingData Seeded(SRankingData record, std::uint32_t seed)
{
    record.seed = seed;
    return record;
}

// Which record stands at each filled place, by record number.
std::vector<std::int32_t> Places(const CRankingTable& table, std::int32_t category)
{
    std::vector<std::int32_t> numbers;
    for (std::int32_t place = 0; place < table.Count(category); ++place)
        numbers.push_back(table.Get(category, place).recordNumber);
    return numbers;
}

class RankingTableTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        fs::create_directories(Exe() / "save");
    }
    Bytes FileBytes() const
    {
        const std::string text = GetFile(Exe() / "save" / "ranking.sav");
        return Bytes(text.begin(), text.end());
    }
    void PutBytes(const Bytes& bytes) const
    {
        PutFile(Exe() / "save" / "ranking.sav", std::string(bytes.begin(), bytes.end()));
    }
    // The file of a table holding these records, the way Save writes it.
    static Bytes RankingFile(std::int32_t format, const std::array<std::int32_t, 8>& counts,
                             std::vector<SRankingData> records)
    {
        Bytes bytes;
        const auto put = [&](std::int32_t value) {
            for (int i = 0; i < 4; ++i)
                bytes.push_back(std::uint8_t(std::uint32_t(value) >> (8 * i)));
        };
        put(format);
        for (std::int32_t count : counts)
            put(count);
        for (SRankingData& record : records) {
            const Bytes stored = StoreBytes(record);
            bytes.insert(bytes.end(), stored.begin(), stored.end());
        }
        AppendByteSum(bytes);
        return bytes;
    }
};

TEST_F(RankingTableTest, WithoutAFileEveryCategoryIsEmpty)
{
    auto table = std::make_unique<CRankingTable>();
    for (std::int32_t category = -1; category <= 8; ++category)
        EXPECT_EQ(table->Count(category), 0) << category;
    EXPECT_EQ(table->Get(3, 0).recordNumber, -1);
    EXPECT_FALSE(fs::exists(Exe() / "save" / "ranking.sav"));

    EXPECT_EQ(table->Insert(Record(3, 10, 0, 1, 1)), 0);
    EXPECT_EQ(std::make_unique<CRankingTable>()->Count(3), 1); // saved at once
}

TEST_F(RankingTableTest, RecordsTakeTheirPlacesByTheKeys)
{
    const struct
    {
        const char* what;
        std::vector<SRankingData> inserted;
        std::vector<std::int32_t> places; // what each insert returns
        std::vector<std::int32_t> order;  // record numbers by place at the end
    } cases[] = {
        {"more gold first", {Record(3, 10, 0, 1, 1), Record(3, 20, 0, 1, 2)}, {0, 0}, {2, 1}},
        {"gold compared unsigned", {Record(3, 5, 0, 1, 1), Record(3, 0x80000000u, 0, 1, 2)}, {0, 0}, {2, 1}},
        {"then the gold field", {Record(3, 10, 1, 1, 1), Record(3, 10, 2, 1, 2)}, {0, 0}, {2, 1}},
        {"then the higher run", {Record(3, 10, 2, 4, 1), Record(3, 10, 2, 5, 2)}, {0, 0}, {2, 1}},
        {"then the smaller record number",
         {Record(3, 10, 2, 4, 7), Record(3, 10, 2, 4, 3)},
         {0, 0}, // the first place equal in gold, gold field and run
         {3, 7}},
        {"ties on all four keep the order they came in",
         {Seeded(Record(3, 10, 2, 4, 7), 1), Seeded(Record(3, 10, 2, 4, 7), 2), Record(3, 11, 2, 4, 8)},
         {0, 0, 0},
         {8, 7, 7}},
        {"the same run again takes its record's slot",
         {Record(3, 10, 2, 4, 7), Record(3, 30, 2, 4, 8), Record(3, 40, 2, 4, 7)},
         {0, 0, 0},
         {7, 8}},
        {"less gold goes below", {Record(3, 20, 0, 1, 1), Record(3, 10, 0, 1, 2)}, {0, 1}, {1, 2}},
        {"category 0 and 8 take nothing", {Record(0, 10, 0, 1, 1), Record(8, 10, 0, 1, 2)}, {0, 0}, {}},
    };
    for (const auto& c : cases) {
        fs::remove(Exe() / "save" / "ranking.sav");
        auto table = std::make_unique<CRankingTable>();
        std::vector<std::int32_t> places;
        for (const SRankingData& record : c.inserted)
            places.push_back(table->Insert(record));
        EXPECT_EQ(places, c.places) << c.what;
        EXPECT_EQ(Places(*table, 3), c.order) << c.what;
        EXPECT_EQ(table->Count(0) + table->Count(8), 0) << c.what;
    }
}

TEST_F(RankingTableTest, AFullCategoryTakesOnlyARecordThatReachesItsLastPlace)
{
    auto table = std::make_unique<CRankingTable>();
    for (std::int32_t i = 0; i < CRankingTable::kPlaces; ++i)
        ASSERT_EQ(table->Insert(Record(5, 1000 + 10 * std::uint32_t(i), 0, 1, i)), 0);
    ASSERT_EQ(table->Count(5), 100);
    EXPECT_EQ(table->Get(5, 99).recordNumber, 0);
    EXPECT_EQ(table->Get(5, 100).recordNumber, -1);
    EXPECT_EQ(table->Get(5, -1).recordNumber, -1);
    EXPECT_EQ(table->Get(8, 0).recordNumber, -1);

    const Bytes full = FileBytes();
    EXPECT_EQ(table->Insert(Record(5, 999, 0, 1, 500)), -1);
    EXPECT_EQ(FileBytes(), full);
    EXPECT_EQ(table->Get(5, 99).recordNumber, 0);

    EXPECT_EQ(table->Insert(Record(5, 1001, 0, 1, 501)), 99);
    EXPECT_EQ(table->Get(5, 99).recordNumber, 501);
    EXPECT_EQ(table->Count(5), 100);
    // Equal on all four keys to the last place: it takes the place over.
    EXPECT_EQ(table->Insert(Record(5, 1001, 0, 1, 501)), 99);
    EXPECT_EQ(table->Insert(Record(5, 5000, 0, 1, 502)), 0);
    EXPECT_EQ(table->Get(5, 99).recordNumber, 1); // 1010 now stands last

    auto reloaded = std::make_unique<CRankingTable>();
    EXPECT_EQ(Places(*reloaded, 5), Places(*table, 5));
    const Bytes saved = FileBytes();
    reloaded->Save();
    EXPECT_EQ(FileBytes(), saved);
}

TEST_F(RankingTableTest, AFileThatDoesNotReadRightIsRefusedWhole)
{
    std::vector<SRankingData> records = {Record(2, 10, 0, 1, 1), Record(3, 20, 0, 1, 2)};
    records[0].name = "name";
    records[0].firstItem.kind = 7;
    const Bytes good = RankingFile(0, {0, 0, 1, 1, 0, 0, 0, 0}, records);
    PutBytes(good);
    auto table = std::make_unique<CRankingTable>();
    EXPECT_EQ(table->Count(2), 1);
    SRankingData loaded = table->Get(2, 0);
    EXPECT_EQ(StoreBytes(loaded), StoreBytes(records[0]));
    table->Save();
    EXPECT_EQ(FileBytes(), good);

    Bytes sumChanged(good.begin(), good.end() - 1);
    sumChanged.push_back(std::uint8_t(good.back() ^ 1));
    Bytes cut = good;
    cut.resize(cut.size() - 12);
    AppendByteSum(cut);
    const struct
    {
        const char* what;
        Bytes file;
        int result;
    } cases[] = {
        {"sum changed", sumChanged, kRankingBadSum},
        {"format 1", RankingFile(1, {0, 0, 1, 1, 0, 0, 0, 0}, records), kRankingBadFormat},
        {"101 records in a category", RankingFile(0, {0, 0, 101, 0, 0, 0, 0, 0}, records), kRankingBadFormat},
        {"a negative count", RankingFile(0, {0, 0, -1, 1, 0, 0, 0, 0}, records), kRankingBadFormat},
        {"records cut", cut, kRankingBadFormat},
    };
    for (const auto& c : cases) {
        PutBytes(c.file);
        auto damaged = std::make_unique<CRankingTable>();
        for (std::int32_t category = 0; category < 8; ++category)
            EXPECT_EQ(damaged->Count(category), 0) << c.what;
        EXPECT_EQ(table->Load(c.file), c.result) << c.what;
        EXPECT_EQ(Places(*table, 2), std::vector<std::int32_t>{1}) << c.what; // as it was
    }
    fs::remove(Exe() / "save" / "ranking.sav");
    EXPECT_EQ(table->Load(), kRankingUnreadable);
}

TEST_F(RankingTableTest, AnEmptyRecordAmongLiveOnesCostsNoLiveRecord)
{
    // A record numbered -1 between two live ones, in a file that reads right.
    PutBytes(RankingFile(0, {0, 0, 0, 3, 0, 0, 0, 0},
                         {Record(3, 30, 0, 1, 1), Record(3, 99, 0, 1, -1), Record(3, 10, 0, 1, 2)}));
    auto table = std::make_unique<CRankingTable>();
    EXPECT_EQ(Places(*table, 3), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(table->Insert(Record(3, 20, 0, 1, 3)), 1);
    EXPECT_EQ(Places(*table, 3), (std::vector<std::int32_t>{1, 3, 2}));
    EXPECT_EQ(Places(*std::make_unique<CRankingTable>(), 3), (std::vector<std::int32_t>{1, 3, 2}));
}

TEST(RankingRecord, ARunsRecordComesFromTheGameState)
{
    auto game = std::make_unique<SGameResource>();
    game->userNumber = 12;
    game->dungeon = 0x105;
    game->trainingRun = true;
    game->goldCounter = {15, 3};
    game->deathCause = 3;
    game->killerKind = 40;
    game->startedWithItems = 1;
    game->items.items[4].kind = 9;
    game->equippedWeapon = 4;
    game->characters.player.experience = 70000;
    game->characters.player.maxFullness = 150999;

    SRankingData record;
    record.secondItem.kind = 2; // no shield equipped: the record's own stays
    MakeRankingRecord(*game, record);
    EXPECT_EQ(record.recordNumber, 12);
    EXPECT_EQ(record.category, 5);
    EXPECT_EQ(record.goldLow, 5000000u); // halved for a training run
    EXPECT_EQ(record.endCause, 3);
    EXPECT_EQ(record.killerKind, 40);
    EXPECT_EQ(record.firstItem.kind, 9);
    EXPECT_EQ(record.secondItem.kind, 2);
    EXPECT_EQ(record.experience, 70000);
    EXPECT_EQ(record.maxFullness, 150);
    EXPECT_EQ(record.broughtItems, 1u);
}

} // namespace
