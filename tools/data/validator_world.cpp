// The validator's rules over the monster table, the appearance tables and the experience table.

#include "tools/data/validator_rules.h"

#include "game/data/appearance_schema.h"
#include "game/data/experience_schema.h"
#include "game/data/fixed_kinds.h"
#include "game/data/monster_schema.h"

#include <algorithm>
#include <map>
#include <set>

namespace data_pipeline {

namespace {

using monster_kind::kKeeperSpecies;
using monster_kind::kLastHouseSpecies;
constexpr std::int32_t kMaximumExperience = 999999999;
constexpr std::int32_t kLevels = experience_schema::kLevels;
constexpr std::size_t kLongestMonsterName = 8;

using namespace monster_schema;

template <std::size_t N> bool IsWord(const table_text::SKeyword (&words)[N], std::string_view word)
{
    return std::any_of(std::begin(words), std::end(words),
                       [&](const table_text::SKeyword& keyword) { return keyword.word == word; });
}

bool IsTypeWord(const std::string& word)
{
    return word == kPlainType || IsWord(kTypeWords, word);
}

// The word of a type bit alone.
std::string TypeWord(std::int32_t bit)
{
    for (const table_text::SKeyword& keyword : kTypeWords)
        if (keyword.value == bit) return std::string(keyword.word);
    return {};
}

// The themes of the monster houses: type bits of rank 0 of species 1 to 40.
constexpr std::int32_t kHouseThemes[] = {kTypeDoll, kTypeBeast, kTypeFlier, kTypeDrainer, kTypeUndead};
// The second road's fixed floor types: ice on floors 20 to 23, lava on 24 to 26. A fire kind listed
// for a floor turns ice into lava, an ice kind lava into ice unless a fire kind is listed too.
constexpr std::int32_t kIceFloors[] = {20, 23};
constexpr std::int32_t kLavaFloors[] = {24, 26};

std::string KindName(const SMonsterLine& kind)
{
    return "monster kind " + std::to_string(kind.kindId) + " " + kind.name;
}

std::string FloorsText(std::int32_t first, std::int32_t last)
{
    return first == last ? "floor " + std::to_string(first)
                         : "floors " + std::to_string(first) + " to " + std::to_string(last);
}

bool Covers(const SAppearanceLine& line, std::int32_t floor)
{
    return line.firstFloor > 0 && line.firstFloor <= floor &&
           (line.lastFloor == 0 || floor <= line.lastFloor);
}

} // namespace

void CheckMonsterWords(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Monsters);
    if (source == nullptr) return;
    for (const SMonsterLine& kind : ReadMonsterTable(*source).kinds) {
        auto report = [&](const std::string& message) {
            Report(diagnostics, *source, kind.line, KindName(kind) + ": " + message);
        };
        if (!IsTypeWord(kind.type)) report("the type " + kind.type + " is no type word (普通 for none)");
        if (kind.behaviour != kPlainBehaviour && !IsWord(kBehaviourWords, kind.behaviour))
            report("the behaviour " + kind.behaviour + " is no behaviour word (通常 for plain chasing)");
        if (kind.abilities != kNoAbility)
            ForEachAbility(kind.abilities, [&](std::string_view piece) {
                if (!IsWord(kAbilityWords, piece))
                    report("the ability " + std::string(piece) + " is no ability word");
            });
        if (!IsWord(kLetterWords, kind.letter)) report("the letter " + kind.letter + " is none of s l p m");
        if (kind.specialChance < 0 || kind.specialChance > 255) report("a special chance runs from 0 to 255");
        if (CharacterCount(kind.name) > kLongestMonsterName || !IsDoubleByteOnly(kind.name))
            report("a name is at most 8 double-byte characters (messages add the level to it)");
    }
}

// A monster is promoted once its experience passes the next rank's base, and it is made at level 1
// with its base: each rank must give more experience than the one below, or the lower one is promoted
// at its making. Its other numbers rise with the rank too. The shopkeeper's species is never promoted.
void CheckMonsterRanks(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Monsters);
    if (source == nullptr) return;
    const SMonsterTable table = ReadMonsterTable(*source);
    for (const SMonsterLine& kind : table.kinds) {
        if (kind.kindId / kRanks == monster_kind::kShopkeeperSpecies || kind.kindId % kRanks == 0) continue;
        const SMonsterLine* lower = table.Find(kind.kindId - 1);
        if (lower == nullptr) continue;
        if (kind.experience <= lower->experience)
            Report(diagnostics, *source, kind.line,
                   KindName(kind) + " gives no more experience than the rank below: that one would be "
                                    "promoted when it is made");
        if (kind.hp <= lower->hp || kind.attack < lower->attack || kind.defence < lower->defence)
            Report(diagnostics, *source, kind.line, KindName(kind) + " is weaker than the rank below");
    }
}

// A drop item that names no item gives a random item of the floor, so a misspelt name would too.
void CheckMonsterDrops(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Monsters);
    if (source == nullptr) return;
    const std::set<std::string> items = ItemNames(dataSet);
    for (const SMonsterLine& kind : ReadMonsterTable(*source).kinds) {
        if (kind.dropChance < 0 || kind.dropChance > 255)
            Report(diagnostics, *source, kind.line, KindName(kind) + ": a drop chance runs from 0 to 255");
        if (kind.dropItem == kNoDrop) {
            if (kind.dropChance != 0)
                Report(diagnostics, *source, kind.line,
                       KindName(kind) + ": なし drops nothing only with chance 0");
        } else if (kind.dropItem != kRandomDrop && !items.contains(kind.dropItem)) {
            Report(diagnostics, *source, kind.line,
                   KindName(kind) + ": the drop " + kind.dropItem +
                       " is no item (ランダム for a random one, なし for none)");
        }
    }
}

void CheckMonsterHouses(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Monsters);
    if (source == nullptr) return;
    const SMonsterTable table = ReadMonsterTable(*source);
    for (const std::int32_t bit : kHouseThemes) {
        std::vector<std::int32_t> lines;
        for (const SMonsterLine& kind : table.kinds)
            if (kind.kindId % kRanks == 0 && kind.kindId / kRanks >= 1 &&
                kind.kindId / kRanks <= kLastHouseSpecies && (TypeBits(kind.type) & bit) != 0)
                lines.push_back(kind.line);
        if (lines.size() < 2)
            Report(diagnostics, *source, lines.empty() ? 1 : lines[0],
                   "the monster house of type " + TypeWord(bit) + " needs at least two species of it");
    }
}

// The floors read the tables of dungeons 0 to 7 (a missing one leaves the floor empty), and the first
// list of table 7 serves every item made outside a dungeon.
void CheckAppearanceFiles(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    std::set<std::pair<TableKind, std::int32_t>> present;
    std::string folder;
    for (const SSource& source : dataSet.sources) {
        if (source.kind == TableKind::MonsterAppearance || source.kind == TableKind::ItemAppearance)
            present.emplace(source.kind, AppearanceTableNumber(source));
        folder = source.path.substr(0, source.path.size() - source.name.size());
        if (source.kind == TableKind::ItemAppearance && AppearanceTableNumber(source) == 7) {
            const std::vector<SAppearanceLine> lines = ReadAppearanceTable(source);
            const std::set<std::string> items = ItemNames(dataSet);
            if (std::none_of(lines.begin(), lines.end(),
                             [&](const SAppearanceLine& l) { return l.floorItem && items.contains(l.name); }))
                Report(diagnostics, source, 1, "the first list of table 7 is empty: the game does not start");
        }
    }
    for (const SDungeonFloors& dungeon : DungeonFloors())
        for (const auto& [kind, family] :
             {std::pair(TableKind::MonsterAppearance, appearance_schema::kMonsterFamily),
              std::pair(TableKind::ItemAppearance, appearance_schema::kItemFamily)})
            if (!present.contains({kind, dungeon.dungeon}))
                diagnostics.push_back(
                    {folder + std::string(family) + std::to_string(dungeon.dungeon) +
                         std::string(appearance_schema::kExtension),
                     0, "the table of dungeon " + std::to_string(dungeon.dungeon) + " is missing"});
}

// Every floor a dungeon reaches has monsters, and no line waits for a floor it never reaches; the
// shopkeeper's species and the keeper never appear.
void CheckDungeonFloors(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* monsterSource = dataSet.Find(TableKind::Monsters);
    if (monsterSource == nullptr) return;
    std::map<std::string, SMonsterLine> kinds;
    for (const SMonsterLine& kind : ReadMonsterTable(*monsterSource).kinds)
        kinds.emplace(kind.name, kind);
    for (const SSource& source : dataSet.sources) {
        if (source.kind != TableKind::MonsterAppearance) continue;
        const std::int32_t dungeon = AppearanceTableNumber(source);
        const auto floors = std::find_if(DungeonFloors().begin(), DungeonFloors().end(),
                                         [&](const SDungeonFloors& d) { return d.dungeon == dungeon; });
        if (floors == DungeonFloors().end()) continue;
        std::vector<SAppearanceLine> lines;
        for (const SAppearanceLine& line : ReadAppearanceTable(source)) {
            const auto kind = kinds.find(line.name);
            if (kind == kinds.end()) continue;
            const std::int32_t species = kind->second.kindId / kRanks;
            if (species == monster_kind::kShopkeeperSpecies || species == kKeeperSpecies)
                Report(diagnostics, source, line.line, line.name + " never appears on a floor");
            else if (line.weight > 0 && line.firstFloor > floors->deepestFloor)
                Report(diagnostics, source, line.line,
                       "dungeon " + std::to_string(dungeon) + " never reaches floor " +
                           std::to_string(line.firstFloor) +
                           (floors->deepestFloor == 0 ? ": it has no monsters" : ""));
            else if (line.weight > 0)
                lines.push_back(line);
        }
        for (std::int32_t floor = 1; floor <= floors->deepestFloor; ++floor) {
            if (std::any_of(lines.begin(), lines.end(),
                            [&](const SAppearanceLine& l) { return Covers(l, floor); }))
                continue;
            std::int32_t last = floor;
            while (last < floors->deepestFloor &&
                   std::none_of(lines.begin(), lines.end(),
                                [&](const SAppearanceLine& l) { return Covers(l, last + 1); }))
                ++last;
            Report(diagnostics, source, 1,
                   FloorsText(floor, last) + " of dungeon " + std::to_string(dungeon) + " have no monsters");
            floor = last;
        }
        if (dungeon != 2) continue;
        for (const SAppearanceLine& line : lines) {
            const std::int32_t bits = TypeBits(kinds.at(line.name).type);
            for (std::int32_t floor = kIceFloors[0]; floor <= kLavaFloors[1]; ++floor) {
                if (!Covers(line, floor)) continue;
                const bool ice = floor <= kIceFloors[1];
                const bool fireListed =
                    std::any_of(lines.begin(), lines.end(), [&](const SAppearanceLine& l) {
                        return Covers(l, floor) && (TypeBits(kinds.at(l.name).type) & kTypeFire) != 0;
                    });
                if ((ice && (bits & kTypeFire) != 0) || (!ice && (bits & kTypeIce) != 0 && !fireListed)) {
                    Report(diagnostics, source, line.line,
                           line.name + " on floor " + std::to_string(floor) + " turns its " +
                               (ice ? "ice" : "lava") + " floor into " + (ice ? "lava" : "ice"));
                    break;
                }
            }
        }
    }
}

void CheckExperienceTable(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Experience);
    if (source == nullptr) return;
    const std::vector<STableLine> values = ReadExperienceTable(*source);
    if (values.size() < std::size_t(kLevels))
        Report(diagnostics, *source, std::int32_t(source->lines.size()),
               "the table gives " + std::to_string(values.size()) + " levels; it needs 99");
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::int64_t value = values[i].summed;
        const std::string level = "level " + std::to_string(i + 1);
        if (i == 0 && value != 0)
            Report(diagnostics, *source, values[i].line, "level 1 starts at 0 experience");
        if (value > kMaximumExperience)
            Report(diagnostics, *source, values[i].line, level + " is beyond the most experience, 999999999");
        if (i == 0) continue;
        const std::int64_t step = value - values[i - 1].summed;
        if (step <= 0)
            Report(diagnostics, *source, values[i].line,
                   level + " needs more experience than the level below");
        else if (i >= 2 && step < values[i - 1].summed - values[i - 2].summed)
            Report(diagnostics, *source, values[i].line,
                   level + " costs less experience than the level before it did");
    }
}

} // namespace data_pipeline
