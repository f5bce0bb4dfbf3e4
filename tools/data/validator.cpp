#include "tools/data/validator.h"

#include "game/data/fixed_kinds.h"
#include "game/data/item_schema.h"
#include "game/data/monster_schema.h"
#include "game/data/table_line.h"
#include "tools/data/table_model.h"
#include "tools/data/validator_rules.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace data_pipeline {

namespace {

constexpr SFixedKind Item(std::int32_t first, std::int32_t last, std::int32_t itemClass, const char* role)
{
    return {KindTable::Items, first, last, itemClass, role};
}
constexpr SFixedKind Item(std::int32_t kind, std::int32_t itemClass, const char* role)
{
    return Item(kind, kind, itemClass, role);
}
constexpr SFixedKind Monster(std::int32_t first, std::int32_t last, const char* role)
{
    return {KindTable::Monsters, first, last, -1, role};
}
constexpr SFixedKind Monster(std::int32_t kind, const char* role)
{
    return Monster(kind, kind, role);
}

using namespace item_kind;

// The kinds the game's rules name by their id, with what the rules make of them. Rows do not overlap.
// A seal given here is the one the kind's effect and description are built on: a kind carries the
// seal whose name equals its own.
constexpr SFixedKind kFixedKinds[] = {
    // Weapons.
    Item(kFirstRoadWeapon, kItemClassWeapon, "the first road's reward at its end").ByRule(),
    Item(kOpeningWeapon, kItemClassWeapon, "the weapon given at the opening").ByRule(),
    Item(kStoneRemadeWeapon, kItemClassWeapon, "the weapon that three equal stone seals remake").Slots(3),
    Item(kDiggingWeapon, kItemClassWeapon, "the digging weapon").Seal(4),
    Item(kGoldWeapon, kItemClassWeapon, "the gold weapon that plates").ByRule(),
    Item(kDollSlayer, kItemClassWeapon, "a slayer of dolls").Seal(5).Slots(4),
    Item(kBeastSlayer, kItemClassWeapon, "a slayer of beasts").Seal(6).Slots(4),
    Item(kFlierSlayer, kItemClassWeapon, "a slayer of fliers").Seal(7).Slots(4),
    Item(kDrainerSlayer, kItemClassWeapon, "a slayer of drainers").Seal(8).Slots(4),
    Item(kUndeadSlayer, kItemClassWeapon, "a slayer of the undead").Seal(9).Slots(4),
    Item(kMoonWeapon, kItemClassWeapon, "the moon half of a pair"),
    Item(kSunWeapon, kItemClassWeapon, "the sun half of a pair").ByRule(),
    Item(kCollectorWeapon1, kItemClassWeapon, "a weapon of the collector's shop").ByRule(),
    Item(kThreeWayWeapon, kItemClassWeapon, "the three-way weapon").Seal(13).ByRule(),
    Item(kEightWayWeapon, kItemClassWeapon, "the eight-way weapon made of three-way ones").Seal(14).ByRule(),
    Item(kLastingDiggingWeapon, kItemClassWeapon, "the digging weapon that never wears").Seal(15).ByRule(),
    Item(kPairWeapon, kItemClassWeapon, "the weapon the pair makes").ByRule(),
    Item(kStoneSealWeapon, kItemClassWeapon, "the weapon the stone seals make").ByRule(),
    Item(kSlayersWeapon, kItemClassWeapon, "the weapon the five slayers make").Seal(16).ByRule(),
    Item(kCollectorWeapon2, kItemClassWeapon, "a weapon of the collector's shop").ByRule(),
    Item(kFourthRoadWeapon, kItemClassWeapon, "the fourth road's reward").Seal(12).ByRule(),
    Item(kPlusNamedSword, kItemClassWeapon, "the sword named by its plus").NameHolds("剣").Plus(51),
    Item(kPiercingWeapon, kItemClassWeapon, "the piercing weapon").Seal(19),
    Item(kGrowingWeapon, kItemClassWeapon, "the weapon that grows with her level").ByRule(),
    Item(kSecondRoadWeapon, kItemClassWeapon, "the second road's reward").Seal(20).ByRule(),
    // Shields.
    Item(kFirstRoadShield, kItemClassShield, "the first road's reward at its end").ByRule(),
    Item(kRawStoneShield, kItemClassShield, "the raw-stone shield that stone seals remake")
        .NameHolds("原石")
        .Slots(1),
    Item(kTheftGuard, kItemClassShield, "a guard against theft").Seal(30).Slots(4),
    Item(kPoisonGuard, kItemClassShield, "a guard against poison").Seal(31).Slots(4),
    Item(kDanceGuard, kItemClassShield, "a guard against dances").Seal(32).Slots(4),
    Item(kCurseGuard, kItemClassShield, "a guard against curses").Seal(33).Slots(4),
    Item(kGoldShield, kItemClassShield, "the gold shield that plates").ByRule(),
    Item(kCollectorShield1, kItemClassShield, "a shield of the collector's shop").ByRule(),
    Item(kMagicGuard, kItemClassShield, "a guard against magic").Seal(39).Slots(4).ByRule(),
    Item(kCollectorShield2, kItemClassShield, "a shield of the collector's shop").ByRule(),
    Item(kColdProofShield, kItemClassShield, "the cold-proof shield").Seal(40).ByRule(),
    Item(kFireProofShield, kItemClassShield, "the fire-proof shield").Seal(41).ByRule(),
    Item(kProofsShield, kItemClassShield, "the shield the two proofs make").Seal(42).ByRule(),
    Item(kFromRawStoneShield, kItemClassShield, "the shield the raw stone becomes").ByRule(),
    Item(kStatusSealsShield, kItemClassShield, "the shield the status seals make").Seal(43).ByRule(),
    Item(kGuardsShield, kItemClassShield, "the shield the five guards make").Seal(44).ByRule(),
    Item(kThirdRoadShield, kItemClassShield, "the third road's reward").Seal(45).ByRule(),
    Item(kPlusNamedShield, kItemClassShield, "the shield named by its plus").NameHolds("盾").Plus(51),
    Item(kCursedShield, kItemClassShield, "the shield that is always cursed"),
    Item(kGrowingShield, kItemClassShield, "the shield that grows with her level").ByRule(),
    Item(kSeventhRoadShield, kItemClassShield, "the seventh road's reward").ByRule(),
    // Arrows and food.
    Item(kFirstNamedArrow, kLastNamedArrow, kItemClassArrow, "arrows the rules name"),
    Item(kFirstNamedFood, kLastNamedFood, kItemClassFood, "food the rules name"),
    // Potions, scrolls, staffs, pens, magic stones and pots: each class exactly these kinds.
    Item(kFirstPotion, kHealingPotion - 1, kItemClassPotion, "a potion"),
    Item(kHealingPotion, kItemClassPotion, "the healing potion")
        .Named("いやしの薬")
        .DescriptionHolds("４００"),
    Item(kHealingPotion + 1, kLastPotion, kItemClassPotion, "a potion"),
    Item(kFirstScroll, kEscapeScroll - 1, kItemClassScroll, "a scroll"),
    Item(kEscapeScroll, kItemClassScroll, "the scroll of escape").Named("脱出の巻物"),
    Item(kEscapeScroll + 1, kLastScroll, kItemClassScroll, "a scroll"),
    Item(kFirstStaff, kParalysisStaff - 1, kItemClassStaff, "a staff"),
    Item(kParalysisStaff, kItemClassStaff, "the staff of paralysis").Named("金縛りの杖"),
    Item(kSealingStaff, kItemClassStaff, "the staff of sealing").Named("封印の杖"),
    Item(kSealingStaff + 1, kSleepStaff - 1, kItemClassStaff, "a staff"),
    Item(kSleepStaff, kItemClassStaff, "the staff of sleep").Named("眠りの杖"),
    Item(kWeaknessStaff, kItemClassStaff, "the staff of weakness").Named("虚弱の杖"),
    Item(kWeaknessStaff + 1, kLastStaff, kItemClassStaff, "a staff"),
    Item(kFirstPen, kSpentKey - 1, kItemClassPen, "a pen that draws"),
    Item(kSpentKey, kItemClassPen, "the key that is used up").Range("無し"),
    Item(kSpentKey + 1, kItemClassPen, "a pen that draws"),
    Item(kKeptKey, kItemClassPen, "the key that is kept").Range("無し"),
    Item(kFirstMagicStone, kItemClassMagicStone, "a magic stone").Seal(61),
    Item(311, kItemClassMagicStone, "a magic stone").Seal(65),
    Item(312, kItemClassMagicStone, "a magic stone").Seal(77),
    Item(313, kItemClassMagicStone, "a magic stone").Seal(63),
    Item(314, kItemClassMagicStone, "a magic stone").Seal(64),
    Item(315, kItemClassMagicStone, "a magic stone").Seal(66),
    Item(316, kItemClassMagicStone, "a magic stone").Seal(62),
    Item(317, kItemClassMagicStone, "a magic stone").Seal(67),
    Item(kIceStone, kItemClassMagicStone, "the ice stone").NameHolds("氷").Seal(68),
    Item(kFireStone, kItemClassMagicStone, "the fire stone").Named("炎の石").Seal(69),
    Item(320, kItemClassMagicStone, "a magic stone").Seal(72),
    Item(321, kItemClassMagicStone, "a magic stone").Seal(60),
    Item(322, kItemClassMagicStone, "a magic stone").Seal(70),
    Item(323, kItemClassMagicStone, "a magic stone").Seal(71),
    Item(324, kItemClassMagicStone, "a magic stone").Seal(75),
    Item(325, kItemClassMagicStone, "a magic stone").Seal(76),
    Item(326, kItemClassMagicStone, "a magic stone").Seal(73),
    Item(327, kItemClassMagicStone, "a magic stone").Seal(74),
    Item(kFirstItemStone, kLastMagicStone, kItemClassMagicStone, "a magic stone that works on items")
        .Seal(kNoSeal),
    Item(kFirstPot, kLastPot, kItemClassPot, "a pot"),
    // The traps' descriptions (kind = trap id + 380..382; 380 and 386..388 are never reached).
    Item(381, 382, kItemClassTrapDescription, "a trap's description"),
    Item(kBindingTrap, kItemClassTrapDescription, "the binding trap").Named("トラバサミ"),
    Item(384, 385, kItemClassTrapDescription, "a trap's description"),
    Item(389, 406, kItemClassTrapDescription, "a trap's description"),
    Item(kPitTrap, kItemClassTrapDescription, "the pit").Named("落とし穴"),
    // Monsters: kind = species * 4 + rank. A kind with its species' special uses it only with a special
    // chance above 0 (for species 32 its critical blows, for 34 its split).
    Monster(monster_kind::kShopkeeper, "the shopkeeper").Named("店主"),
    Monster(monster_kind::kFirstGuard, "a guard sent after a theft"),
    Monster(2, 3, "a guard sent after a theft, with a borrowed special").Special(),
    Monster(12, 15, "a knockback").Special(),
    Monster(20, 23, "a warp of its group to the target").Special(),
    Monster(24, 27, "a pull that binds").Special(),
    Monster(28, 31, "a leap").Special(),
    Monster(32, 35, "a blinding flash").Special(),
    Monster(36, 39, "an archer of arrows 100 to 103").Special(),
    Monster(40, 43, "poisonous scales").Special(),
    Monster(44, 47, "an acid that rusts").Special(),
    Monster(52, 55, "a gold thief").Special(),
    Monster(56, 59, "a poison needle").Special(),
    Monster(60, 62, "a strange spell").Special(),
    Monster(68, 71, "an item thief").Special(),
    Monster(80, 83, "a staff user").Special(),
    Monster(84, 87, "a curse").Special(),
    Monster(88, 91, "a level drain").Special(),
    Monster(92, 95, "an energy drain").Special(),
    Monster(96, 96, "a fire raiser that sleeps deeper").Special(),
    Monster(97, 99, "a fire raiser").Special(),
    Monster(100, 103, "a hurl").Special(),
    Monster(104, 107, "a summons").Special(),
    Monster(112, 115, "a bomber").Special(),
    Monster(116, 119, "a sword dance").Special(),
    Monster(120, 122, "a strike").Special(),
    Monster(123, 123, "a strike, and notices the heroine on sight").Special(),
    Monster(124, 127, "a strange dance").Special(),
    Monster(128, 131, "critical blows").Special(),
    Monster(132, 135, "a breath").Special(),
    Monster(138, 138, "a split").Special(),
    Monster(139, 139, "a split, and always aware").Special(),
    Monster(144, 147, "a freezing touch").Special(),
    Monster(152, 155, "a water spit").Special(),
    Monster(156, 158, "a support spell").Special(),
    Monster(monster_kind::kWarehouseKeeper, "the warehouse keeper").Named("倉庫番").Letter("p").NoTypeBits(),
};

// Dungeon 0 is the warehouse floor: no monsters.
constexpr SDungeonFloors kDungeonFloors[] = {{0, 0},  {1, 20}, {2, 99}, {3, 70},
                                             {4, 70}, {5, 50}, {6, 50}, {7, 99}};

// The marker line of every table with a header; the build writes the check number.
void CheckHeaders(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    for (const SSource& source : dataSet.sources) {
        const std::string first = source.lines.empty() ? std::string() : source.lines[0].text;
        const bool marked = first.starts_with(table_text::kHeaderMarker);
        if (HasHeader(source.kind) && first != table_text::kHeaderMarker)
            Report(diagnostics, source, 1,
                   "line 1 must be the marker QRZN alone (the build writes the check number)");
        if (!HasHeader(source.kind) && marked)
            Report(diagnostics, source, 1, "no table of this name has a check number");
    }
}

void CheckLineLengths(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    for (const SSource& source : dataSet.sources) {
        if (!HasHeader(source.kind)) continue;
        for (std::size_t i = 0; i < source.lines.size(); ++i)
            if (source.lines[i].cp932.size() > table_text::kMaxLineBytes)
                Report(diagnostics, source, std::int32_t(i + 1),
                       "the line is " + std::to_string(source.lines[i].cp932.size()) +
                           " bytes in CP932; the loaders take at most 255");
    }
}

void ReportBroken(Diagnostics& diagnostics, const SSource& source, std::int32_t line)
{
    Report(diagnostics, source, line,
           "the line ends before a column its loader needs, or a number does not fit 32 bits");
}

template <typename Lines>
void ReportBrokenLines(Diagnostics& diagnostics, const SSource& source, const Lines& lines)
{
    for (const auto& line : lines)
        if (line.broken) ReportBroken(diagnostics, source, line.line);
}

void CheckFields(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    for (const SSource& source : dataSet.sources) {
        switch (source.kind) {
        case TableKind::Items:
            for (std::int32_t line : ReadItemTable(source).brokenLines)
                ReportBroken(diagnostics, source, line);
            break;
        case TableKind::Seals:
            ReportBrokenLines(diagnostics, source, ReadSealTable(source));
            break;
        case TableKind::WeaponWeights:
            ReportBrokenLines(diagnostics, source, ReadWeaponWeightTable(source));
            break;
        case TableKind::Monsters:
            ReportBrokenLines(diagnostics, source, ReadMonsterTable(source).kinds);
            break;
        case TableKind::Experience:
            ReportBrokenLines(diagnostics, source, ReadExperienceTable(source));
            break;
        case TableKind::MonsterAppearance:
        case TableKind::ItemAppearance:
            ReportBrokenLines(diagnostics, source, ReadAppearanceTable(source));
            break;
        default:
            break;
        }
    }
}

void CheckCheckNumbers(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    for (const SSource& source : dataSet.sources) {
        if (!HasHeader(source.kind)) continue;
        const std::int64_t sum = ComputeCheckSum(dataSet, source);
        if (sum < INT32_MIN || sum > INT32_MAX)
            Report(diagnostics, source, 1,
                   "the check number " + std::to_string(sum) + " does not fit 32 bits");
    }
}

// Kind ids count four per species, so a fifth line or a comment that splits a species shifts every
// id after it.
void CheckSpecies(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* monsters = dataSet.Find(TableKind::Monsters);
    if (monsters == nullptr) return;
    const SMonsterTable table = ReadMonsterTable(*monsters);
    for (std::int32_t line : table.fifthLines)
        Report(diagnostics, *monsters, line, "a species has more than four lines");
    for (std::int32_t line : table.commentsInSpecies)
        Report(diagnostics, *monsters, line,
               "a comment inside a species: close the species with an empty line first");
}

// An empty ability column makes the loader take the next column as the ability list.
void CheckAbilityColumns(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* monsters = dataSet.Find(TableKind::Monsters);
    if (monsters == nullptr) return;
    for (const SMonsterLine& kind : ReadMonsterTable(*monsters).kinds)
        if (kind.emptyAbilities)
            Report(diagnostics, *monsters, kind.line, "the ability column is empty (write なし for none)");
}

// The name maps keep the first of two equal names, so the second could never be named.
template <typename Lines>
void ReportRepeatedNames(Diagnostics& diagnostics, const SSource& source, const Lines& lines,
                         std::map<std::string, std::int32_t> seen)
{
    for (const auto& line : lines) {
        const auto [first, added] = seen.emplace(line.name, line.line);
        if (!added)
            Report(diagnostics, source, line.line,
                   "the name " + line.name +
                       (first->second > 0 ? " is already on line " + std::to_string(first->second)
                                          : " is the gold item's, which the game makes itself"));
    }
}

void CheckUniqueNames(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    if (const SSource* seals = dataSet.Find(TableKind::Seals))
        ReportRepeatedNames(diagnostics, *seals, ReadSealTable(*seals), {});
    if (const SSource* items = dataSet.Find(TableKind::Items))
        ReportRepeatedNames(diagnostics, *items, ReadItemTable(*items).kinds,
                            {{std::string(item_schema::kGoldName), 0}});
    if (const SSource* monsters = dataSet.Find(TableKind::Monsters))
        ReportRepeatedNames(diagnostics, *monsters, ReadMonsterTable(*monsters).kinds, {});
}

// What a row fixes of an item line beyond its place and class.
void CheckItemFacts(const SFixedKind& fixed, const SItemLine& kind, const std::vector<SSealLine>& seals,
                    const SSource& source, Diagnostics& diagnostics)
{
    const std::string what = "item kind " + std::to_string(kind.line) + " (" + fixed.role + ")";
    if (fixed.name != nullptr && kind.name != fixed.name)
        Report(diagnostics, source, kind.line, what + " must be named " + fixed.name);
    if (fixed.nameHolds != nullptr && kind.name.find(fixed.nameHolds) == std::string::npos)
        Report(diagnostics, source, kind.line, what + ": its name must hold " + fixed.nameHolds);
    if (fixed.descriptionHolds != nullptr &&
        kind.description.find(fixed.descriptionHolds) == std::string::npos)
        Report(diagnostics, source, kind.line,
               what + ": its description must hold " + fixed.descriptionHolds);
    if (fixed.seal != kAnySeal) {
        const SSealLine* seal = FindSeal(seals, kind.name);
        const std::int32_t code = seal != nullptr ? seal->line : kNoSeal;
        if (code != fixed.seal)
            Report(diagnostics, source, kind.line,
                   what + (fixed.seal == kNoSeal
                               ? " must carry no seal: no seal may be named " + kind.name
                               : " must carry seal " + std::to_string(fixed.seal) +
                                     ": the seal on that line of the seal table must be named " + kind.name));
    }
    if (kind.slots < fixed.minimumSlots)
        Report(diagnostics, source, kind.line,
               what + " needs at least " + std::to_string(fixed.minimumSlots) + " seal slots");
    if (kind.maximum < fixed.minimumMaximum)
        Report(diagnostics, source, kind.line,
               what + ": its highest plus must be at least " + std::to_string(fixed.minimumMaximum));
    if (fixed.range != nullptr && kind.column6 != fixed.range)
        Report(diagnostics, source, kind.line, what + " must have the range " + fixed.range);
}

bool SetsTypeBits(const std::string& type)
{
    return monster_schema::TypeBits(type) != 0;
}

void CheckMonsterFacts(const SFixedKind& fixed, const SMonsterLine& kind, const SSource& source,
                       Diagnostics& diagnostics)
{
    const std::string what = "monster kind " + std::to_string(kind.kindId) + " (" + fixed.role + ")";
    if (fixed.name != nullptr && kind.name != fixed.name)
        Report(diagnostics, source, kind.line, what + " must be named " + fixed.name);
    if (fixed.letter != nullptr && kind.letter != fixed.letter)
        Report(diagnostics, source, kind.line, what + " must have the letter " + fixed.letter);
    if (fixed.special && kind.specialChance == 0)
        Report(diagnostics, source, kind.line, what + " has a special chance of 0: it would never use it");
    if (fixed.noTypeBits && SetsTypeBits(kind.type))
        Report(diagnostics, source, kind.line,
               what + " must have no type (it would join the monster houses)");
}

void CheckFixedKinds(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* itemSource = dataSet.Find(TableKind::Items);
    const SSource* monsterSource = dataSet.Find(TableKind::Monsters);
    const SSource* sealSource = dataSet.Find(TableKind::Seals);
    const SItemTable items = itemSource != nullptr ? ReadItemTable(*itemSource) : SItemTable();
    const SMonsterTable monsters =
        monsterSource != nullptr ? ReadMonsterTable(*monsterSource) : SMonsterTable();
    const std::vector<SSealLine> seals =
        sealSource != nullptr ? ReadSealTable(*sealSource) : std::vector<SSealLine>();
    for (const SFixedKind& fixed : kFixedKinds) {
        for (std::int32_t id = fixed.first; id <= fixed.last; ++id) {
            const std::string what = std::to_string(id) + " (" + fixed.role + ")";
            if (fixed.table == KindTable::Monsters) {
                if (monsterSource == nullptr) continue;
                if (const SMonsterLine* kind = monsters.Find(id))
                    CheckMonsterFacts(fixed, *kind, *monsterSource, diagnostics);
                else
                    Report(diagnostics, *monsterSource, 0,
                           "monster kind " + what + " must be a line: species " +
                               std::to_string(id / monster_schema::kRanks) + ", rank " +
                               std::to_string(id % monster_schema::kRanks));
                continue;
            }
            if (itemSource == nullptr) continue;
            const SItemLine* kind = items.Find(id);
            if (kind == nullptr)
                Report(diagnostics, *itemSource, id,
                       "item kind " + what + " must be an item line on line " + std::to_string(id));
            else if (kind->classId != fixed.itemClass)
                Report(diagnostics, *itemSource, id,
                       "item kind " + what + " is in class " + std::to_string(kind->classId) +
                           "; it must be in class " + std::to_string(fixed.itemClass));
            else
                CheckItemFacts(fixed, *kind, seals, *itemSource, diagnostics);
        }
    }
}

void CheckAppearanceTables(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const std::set<std::string> itemNames = ItemNames(dataSet);
    const std::set<std::string> monsterNames = MonsterNames(dataSet);
    for (const SSource& source : dataSet.sources) {
        const bool monsters = source.kind == TableKind::MonsterAppearance;
        if (!monsters && source.kind != TableKind::ItemAppearance) continue;
        for (const SAppearanceLine& line : ReadAppearanceTable(source)) {
            if (!(monsters ? monsterNames : itemNames).contains(line.name))
                Report(diagnostics, source, line.line,
                       line.name + " is not in the " + (monsters ? "monster" : "item") + " table");
            if (line.groups > 1)
                Report(diagnostics, source, line.line,
                       "the line holds " + std::to_string(line.groups) +
                           " floor groups; write one per line (the check number counts the first only)");
        }
    }
}

constexpr SRule kRules[] = {
    {"header line", CheckHeaders},
    {"line length", CheckLineLengths},
    {"fields and numbers", CheckFields},
    {"check numbers", CheckCheckNumbers},
    {"item classes", CheckSections},
    {"class blocks", CheckClassBlocks},
    {"item words", CheckItemWords},
    {"built-in seals", CheckBuiltInSeals},
    {"class numbers", CheckClassNumbers},
    {"class names", CheckClassNames},
    {"seal table", CheckSealTable},
    {"description window", CheckDescriptionWindow},
    {"weapon weights", CheckWeaponWeights},
    {"reachable equipment", CheckReachableEquipment},
    {"monster species", CheckSpecies},
    {"ability column", CheckAbilityColumns},
    {"monster words", CheckMonsterWords},
    {"monster ranks", CheckMonsterRanks},
    {"monster drops", CheckMonsterDrops},
    {"monster houses", CheckMonsterHouses},
    {"unique names", CheckUniqueNames},
    {"fixed kinds", CheckFixedKinds},
    {"appearance tables", CheckAppearanceTables},
    {"appearance files", CheckAppearanceFiles},
    {"dungeon floors", CheckDungeonFloors},
    {"experience table", CheckExperienceTable},
    {"scenario scripts", CheckScenarioScripts},
    {"scenario lines", CheckScenarioLines},
};

// The code points of UTF-8 text (the sources converted, so they are well formed).
template <typename Visit> void ForEachCharacter(std::string_view utf8, Visit visit)
{
    for (std::size_t at = 0; at < utf8.size();) {
        const std::uint8_t lead = std::uint8_t(utf8[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length && at + i < utf8.size(); ++i)
            code = (code << 6) | (std::uint8_t(utf8[at + i]) & 0x3F);
        visit(code);
        at += length;
    }
}

// CP932 holds ASCII and the half-width katakana in one byte, everything else in two.
bool IsSingleByte(std::uint32_t code)
{
    return code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F);
}

} // namespace

void Report(Diagnostics& diagnostics, const SSource& source, std::int32_t line, std::string message)
{
    diagnostics.push_back({source.path, line, std::move(message)});
}

std::size_t CharacterCount(std::string_view utf8)
{
    std::size_t count = 0;
    ForEachCharacter(utf8, [&](std::uint32_t) { ++count; });
    return count;
}

std::size_t DisplayWidth(std::string_view utf8)
{
    std::size_t width = 0;
    ForEachCharacter(utf8, [&](std::uint32_t code) { width += IsSingleByte(code) ? 1 : 2; });
    return width;
}

bool IsDoubleByteOnly(std::string_view utf8)
{
    bool doubleByte = !utf8.empty();
    ForEachCharacter(utf8, [&](std::uint32_t code) { doubleByte = doubleByte && !IsSingleByte(code); });
    return doubleByte;
}

bool StartsDoubleByte(std::string_view utf8)
{
    bool first = true, doubleByte = false;
    ForEachCharacter(utf8, [&](std::uint32_t code) {
        if (first) doubleByte = !IsSingleByte(code);
        first = false;
    });
    return doubleByte;
}

bool IsKanaOnly(std::string_view utf8)
{
    bool kana = !utf8.empty();
    ForEachCharacter(utf8, [&](std::uint32_t code) {
        kana = kana &&
               ((code >= 0x3041 && code <= 0x3096) || (code >= 0x30A1 && code <= 0x30FA) || code == 0x30FC);
    });
    return kana;
}

std::span<const SFixedKind> FixedKinds()
{
    return kFixedKinds;
}

std::span<const SDungeonFloors> DungeonFloors()
{
    return kDungeonFloors;
}

std::span<const SRule> Rules()
{
    return kRules;
}

Diagnostics Validate(const SDataSet& dataSet)
{
    Diagnostics diagnostics;
    for (const SRule& rule : kRules)
        rule.check(dataSet, diagnostics);
    return diagnostics;
}

} // namespace data_pipeline
