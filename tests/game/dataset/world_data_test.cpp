// The whole data set through the game's start-up load, and every appearance table of every dungeon
// through the floors' loaders.

#include "game/data/table_reader.h"
#include "game/dataset/built_data.h"
#include "game/world/appearance_tables.h"

#include <map>
#include <set>
#include <string>

namespace {

using WorldDataTest = BuiltDataTest;

// The last floor each dungeon reaches once cleared (floors past 100 read its table from floor 1).
constexpr std::int32_t kDeepestFloors[] = {0, 20, 99, 70, 70, 50, 50, 99, 99};

TEST_F(WorldDataTest, TheWholeDataSetLoadsAtStartUp)
{
    const auto game = LoadGame();
    EXPECT_EQ(game->characters.GetMonsterKind(164).name, "倉庫番");
    EXPECT_EQ(game->characters.GetMonsterKind(0).name, "店主");
    EXPECT_GE(game->characters.kindCount, 165);
    ASSERT_EQ(game->scriptStarts.size(), 53u); // scripts 0 to 51, and the end of the last
    EXPECT_EQ(game->scriptStarts.back(), std::int32_t(game->scenarioLines.size()));
    EXPECT_EQ(game->scenarioLines[std::size_t(game->scriptStarts[1]) - 1], "end"); // script 0 is bare
    EXPECT_EQ(game->experienceTable[0], 0);
    for (std::size_t level = 1; level < game->experienceTable.size(); ++level)
        EXPECT_LT(game->experienceTable[level - 1], game->experienceTable[level]) << level;
}

// The names of an appearance table's lines, as its loader reads them.
std::vector<ZTL::string> NamesOf(const std::string& file)
{
    CTableFile table;
    std::vector<ZTL::string> names;
    if (table.Read(file.c_str()) != 0) return names;
    std::int32_t check = 0;
    table.ReadHeader(check);
    std::string_view text;
    while (table.NextLine(text) == CTableFile::kLine) {
        if (text.starts_with('/')) continue;
        CTableLine line(text);
        const std::string_view name = line.Word();
        if (!name.empty()) names.push_back(ToTableString(name));
    }
    return names;
}

// Every name resolves, every check number holds on every floor (a mismatch shows the data error box),
// and every floor a dungeon reaches has monsters.
TEST_F(WorldDataTest, EveryAppearanceTableResolvesAndHoldsItsSums)
{
    const auto game = LoadGame();
    for (std::int32_t dungeon = 0; dungeon <= 8; ++dungeon) {
        const std::string number = std::to_string(dungeon);
        for (const ZTL::string& name : NamesOf("data/text/モンスター出現" + number + ".txt"))
            EXPECT_TRUE(game->characters.kindByName.contains(name)) << dungeon << " " << name.c_str();
        for (const ZTL::string& name : NamesOf("data/text/アイテム出現" + number + ".txt"))
            EXPECT_TRUE(game->items.kindByName.contains(name)) << dungeon << " " << name.c_str();

        LoadItemAppearance(game->map, dungeon, game->CopyRecordTable(), game->items.kindByName);
        EXPECT_FALSE(game->map.itemAppearance[0].kinds.empty()) << dungeon;
        for (std::int32_t floor = 1; floor <= std::max(kDeepestFloors[dungeon], 1); ++floor) {
            LoadMonsterAppearance(game->map, dungeon, floor, game->characters.kindByName);
            EXPECT_EQ(game->map.monsterAppearance.empty(), kDeepestFloors[dungeon] == 0)
                << dungeon << " " << floor;
            for (std::int32_t kind : game->map.monsterAppearance)
                EXPECT_TRUE(kind / 4 != 0 && kind / 4 != 41) << dungeon << " " << floor;
        }
        EXPECT_TRUE(platform::headless::GetShownMessageBoxes().empty()) << dungeon;
    }
}

// Every kind a dungeon's item table puts in any of its lists.
std::set<std::int32_t> KindsDrawnIn(SGameResource& game, std::int32_t dungeon)
{
    LoadItemAppearance(game.map, dungeon, game.CopyRecordTable(), game.items.kindByName);
    std::set<std::int32_t> kinds;
    for (const CMapControl::SItemAppearance& list : game.map.itemAppearance)
        kinds.insert(list.kinds.begin(), list.kinds.end());
    return kinds;
}

// Each road draws its own items, as its keepers describe it: no two roads share a table, the deepest
// road's table holds every kind another road draws (it also serves every item made outside a dungeon),
// and what a road's hints rule out is not found there.
TEST_F(WorldDataTest, EachRoadDrawsItsOwnItemsAsItsKeepersDescribeIt)
{
    const auto game = LoadGame();
    std::map<std::int32_t, std::set<std::int32_t>> roads;
    for (std::int32_t dungeon = 1; dungeon <= 8; ++dungeon)
        roads[dungeon] = KindsDrawnIn(*game, dungeon);
    for (const auto& [dungeon, kinds] : roads) {
        for (const auto& [other, otherKinds] : roads)
            if (other > dungeon) {
                EXPECT_NE(kinds, otherKinds) << dungeon << " and " << other;
            }
        for (std::int32_t kind : kinds)
            EXPECT_TRUE(roads[7].contains(kind)) << "dungeon " << dungeon << " kind " << kind;
    }

    struct SRuledOut
    {
        std::int32_t dungeon;
        const char* why;
        std::vector<ZTL::string> names;
    };
    const SRuledOut ruledOut[] = {
        {3,
         "every kind is known on the road of knowledge",
         {"識別の巻物", "値踏みの巻物", "目利きのペン", "識別の壺"}},
        {4,
         "the road of courage has no way out",
         {"転移の薬", "脱出の巻物", "隠れ身の壺", "四散の巻物", "転送のペン", "転移の石"}},
        {5, "the road of trials is faced, not wiped out", {"根絶の巻物", "滅びの巻物", "死神の杖"}},
        {6, "the road of the strong has no makeshift gear", {"木刀", "竹の盾", "木の矢", "竹の矢"}},
    };
    for (const SRuledOut& rule : ruledOut)
        for (const ZTL::string& name : rule.names) {
            ASSERT_TRUE(game->items.kindByName.contains(name)) << name.c_str();
            EXPECT_FALSE(roads[rule.dungeon].contains(game->items.kindByName.at(name)))
                << rule.why << ": " << rule.dungeon << " " << name.c_str();
        }
}

} // namespace
