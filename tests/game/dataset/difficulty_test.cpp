// How each dungeon's tables play, floor by floor, computed from the loaded data set with a model of
// the rules that use them: the monsters a floor makes get stronger with depth, what a floor yields
// grows with it, and the first road never puts a monster on a floor that the heroine, as strong as the
// floors above made her, cannot face with the weapon she is given at the start.

#include "game/dataset/built_data.h"
#include "game/world/appearance_tables.h"

#include <numeric>

namespace {

using DifficultyTest = BuiltDataTest;

struct SDungeon
{
    std::int32_t number;
    std::int32_t deepestFloor; // the last floor once cleared
    std::int32_t monsterBase;  // monsters made with a floor L: L / 10 + this
    double looseItems;         // items lying on a floor, on average
};
constexpr SDungeon kDungeons[] = {{1, 20, 4, 4.5}, {2, 99, 5, 4.5}, {3, 70, 5, 6.5}, {4, 70, 5, 3.5},
                                  {5, 50, 6, 4.5}, {6, 50, 8, 3.5}, {7, 99, 8, 4.5}};
constexpr double kGoldPiles = 1.0 / 3; // two piles one floor in nine, one in another nine

struct SFloor
{
    double experience = 0; // what a monster of the floor gives, on average: its kind's level
    double yield = 0;      // the price of what the floor holds: items, gold and the monsters' items
    std::vector<std::int32_t> kinds;
};

double MeanPrice(const CMapControl::SItemAppearance& list, const CItemControl& items)
{
    double total = 0, weights = 0;
    for (std::size_t i = 0; i < list.kinds.size(); ++i) {
        total += double(items.GetItemKind(list.kinds[i]).buyPrice) * list.weights[i];
        weights += list.weights[i];
    }
    return weights > 0 ? total / weights : 0;
}

std::vector<SFloor> PlayFloors(SGameResource& game, const SDungeon& dungeon)
{
    LoadItemAppearance(game.map, dungeon.number, game.CopyRecordTable(), game.items.kindByName);
    const double itemPrice = MeanPrice(game.map.itemAppearance[0], game.items);
    std::vector<SFloor> floors;
    for (std::int32_t floor = 1; floor <= dungeon.deepestFloor; ++floor) {
        LoadMonsterAppearance(game.map, dungeon.number, floor, game.characters.kindByName);
        SFloor& played = floors.emplace_back();
        played.kinds = game.map.monsterAppearance;
        const double gold = 10.0 * floor + 449.5; // from 4L + 400 up to 16L + 499
        double carried = 0;
        for (std::int32_t kind : played.kinds) {
            const SMonsterKind& monster = game.characters.GetMonsterKind(kind);
            played.experience += monster.experienceBase; // a monster is made at level 1
            const double price = monster.dropItem == 0        ? gold
                                 : monster.dropItem == 0xFFFF ? itemPrice
                                 : monster.dropItem > 0 ? game.items.GetItemKind(monster.dropItem).buyPrice
                                                        : 0;
            carried += monster.dropChance / 256.0 * price;
        }
        const double count = double(played.kinds.size());
        played.experience /= count;
        played.yield = dungeon.looseItems * itemPrice + kGoldPiles * gold +
                       (floor / 10 + dungeon.monsterBase) * carried / count;
    }
    return floors;
}

TEST_F(DifficultyTest, MonstersAndWhatFloorsYieldRiseWithDepth)
{
    const auto game = LoadGame();
    for (const SDungeon& dungeon : kDungeons) {
        const std::vector<SFloor> floors = PlayFloors(*game, dungeon);
        for (std::size_t i = 0; i < floors.size(); ++i) {
            ASSERT_FALSE(floors[i].kinds.empty()) << dungeon.number << " " << i + 1;
            if (i > 0) {
                EXPECT_GE(floors[i].experience, floors[i - 1].experience)
                    << "dungeon " << dungeon.number << " floor " << i + 1;
            }
        }
        // One item table serves a whole dungeon, so a floor's yield changes only with its gold and what
        // its monsters carry: it rises over the depth, and the deepest floors yield more than the first.
        const double n = double(floors.size());
        const double meanFloor = (n + 1) / 2;
        double meanYield = 0, slope = 0, spread = 0;
        for (const SFloor& floor : floors)
            meanYield += floor.yield / n;
        for (std::size_t i = 0; i < floors.size(); ++i) {
            slope += (double(i + 1) - meanFloor) * (floors[i].yield - meanYield);
            spread += (double(i + 1) - meanFloor) * (double(i + 1) - meanFloor);
        }
        EXPECT_GT(slope / spread, 0) << dungeon.number;
        const auto tenth = [&](std::size_t from) {
            double sum = 0;
            for (std::size_t i = from; i < from + 10; ++i)
                sum += floors[i].yield;
            return sum / 10;
        };
        EXPECT_GT(tenth(floors.size() - 10), tenth(0)) << dungeon.number;
    }
}

// The rules of a blow: the heroine's attack from her strength, level and weapon, and the damage a
// defence lets through, at the middle of the random factor.
std::int32_t HeroineAttack(std::int32_t strength, std::int32_t level, std::int32_t weapon)
{
    const std::int32_t k = 2 * level + 2;
    return (3 * k * weapon + 2 * (16 * (strength + 2 * k) + strength * level)) / 64;
}

std::int32_t Damage(std::int32_t defence, std::int32_t attack)
{
    const std::int64_t step = defence != 0 && attack != 0 ? 16777216 / (attack + 4 * defence + 128) : 0;
    std::int64_t value = std::int64_t(attack) * 1024, accumulated = 0;
    for (std::int32_t i = 0; i < defence; ++i) {
        accumulated += step;
        value = (value * 63) >> 6;
        if (accumulated >= 174762) {
            value &= ~std::int64_t(1023);
            accumulated -= 174762;
        }
    }
    return std::max<std::int32_t>(std::int32_t(value >> 10), 1);
}

std::int32_t BlowsToFell(std::int32_t hp, std::int32_t damage)
{
    return (hp + damage - 1) / damage;
}

// The first road is where she learns: on every floor, at the level the monsters of the floors above
// gave her, with the weapon of the opening and no shield, she fells each monster it can make within
// five blows and it needs at least four to fell her.
TEST_F(DifficultyTest, NoFloorOfTheFirstRoadIsBeyondTheHeroine)
{
    const auto game = LoadGame();
    const SDungeon& road = kDungeons[0];
    const std::int32_t weapon = game->items.GetItemKind(4).base;
    const std::vector<SFloor> floors = PlayFloors(*game, road);
    double experience = 0;
    for (std::size_t i = 0; i < floors.size(); ++i) {
        const SFloor& floor = floors[i];
        const std::int32_t number = std::int32_t(i) + 1;
        std::int32_t level = 1;
        while (level < 99 && experience >= game->experienceTable[std::size_t(level)])
            ++level;
        const std::int32_t hp = 20 + 5 * (level - 1);
        for (std::int32_t kind : floor.kinds) {
            const SMonsterKind& monster = game->characters.GetMonsterKind(kind);
            const std::int32_t felled = BlowsToFell(
                monster.baseHp, Damage(monster.baseDefence + 1, HeroineAttack(10, level, weapon)));
            const std::int32_t fells = BlowsToFell(hp, Damage(0, monster.baseAttack));
            EXPECT_LE(felled, 5) << "floor " << number << " " << monster.name.c_str();
            EXPECT_GE(fells, 4) << "floor " << number << " " << monster.name.c_str();
        }
        experience += (number / 10 + road.monsterBase) * floor.experience;
    }
}

} // namespace
