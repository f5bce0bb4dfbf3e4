#pragma once
// The sources' tables read line by line as the game's loaders read them (through the same table schemas
// under game/data), keeping what the check numbers and the validator's rules look at, with each line's
// number.

#include "tools/data/data_pipeline.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace data_pipeline {

// A data line of a numbered table. The loader refuses a broken line: a field missing at its end or a
// number beyond 32 bits.
struct STableLine
{
    std::int32_t line = 0;
    std::string name;
    std::int64_t summed = 0; // the value the table's check number adds up
    bool broken = false;
};

// The item table: kind id = line number; each "<" line opens the next class.
struct SItemLine : STableLine
{
    std::int32_t classId = 0;
    std::int32_t base = 0;    // column 3
    std::int32_t maximum = 0; // column 4
    std::int32_t slots = 0;   // column 5
    std::string column6;      // the seal's name, a pen's range or "-"
    std::int32_t buyPrice = 0;
    std::int32_t sellPrice = 0;
    std::int32_t weight = 0; // column 10, the weight in the appearance lists
    std::string description; // line breaks as LF bytes
    std::string reading;
    std::string appearanceName; // classes 5 to 10
    bool trailingText = false;  // text after the last column the loader reads
};
struct SItemTable
{
    std::vector<SItemLine> kinds; // the lines that make a kind record
    std::vector<std::int32_t> sectionLines;
    std::vector<std::int32_t> brokenLines; // of any kind of line
    // The kind on line `kind`, or null.
    const SItemLine* Find(std::int32_t kind) const;
};
SItemTable ReadItemTable(const SSource& source);

// The seal table: code = line number.
struct SSealLine : STableLine
{
    std::int32_t size = 0;
    std::int32_t buyPrice = 0; // summed
};
std::vector<SSealLine> ReadSealTable(const SSource& source);

// The weapon-weight table, line for line with the item table.
struct SWeightLine : STableLine
{
    std::int32_t attackWeight = 0; // summed
    std::int32_t swingSound = 0;   // the move weight, played as the swing's sound effect
};
std::vector<SWeightLine> ReadWeaponWeightTable(const SSource& source);

// The monster table: species of up to four lines closed by an empty or "//" line.
struct SMonsterLine : STableLine
{
    std::int32_t kindId = 0;
    std::int32_t hp = 0; // summed
    std::int32_t attack = 0;
    std::int32_t defence = 0;
    std::int32_t experience = 0;
    std::string type;
    std::int32_t dropChance = 0;
    std::string dropItem;
    std::string letter;
    std::string behaviour;
    std::string abilities;
    bool emptyAbilities = false;
    std::int32_t specialChance = 0;
};
struct SMonsterTable
{
    std::vector<SMonsterLine> kinds;
    std::vector<std::int32_t> fifthLines;        // a fifth line of a species
    std::vector<std::int32_t> commentsInSpecies; // a "//" line right after a species' line
    // The kind of that id, or null.
    const SMonsterLine* Find(std::int32_t kindId) const;
};
SMonsterTable ReadMonsterTable(const SSource& source);

// An appearance table's line that names something (a first byte "/", an empty line or first word are
// skipped as the loaders skip them).
struct SAppearanceLine : STableLine
{
    std::int32_t groups = 0; // monster tables: the (weight, first, last) groups on the line
    std::int32_t weight = 0; // monster tables: the first group
    std::int32_t firstFloor = 0;
    std::int32_t lastFloor = 0; // 0 for no upper bound
    bool floorItem = false;     // item tables: column 2 is 1
    bool anyList = false;       // item tables: column 2, 3 or 4 is 1
};
std::vector<SAppearanceLine> ReadAppearanceTable(const SSource& source);
// The dungeon number of an appearance table's file name.
std::int32_t AppearanceTableNumber(const SSource& source);

// The experience table's values, lines 2 to 100.
std::vector<STableLine> ReadExperienceTable(const SSource& source);

// The scenario: the kept lines of each script (an "end" line closes one), and the lines after the last
// "end", which no script number reaches.
struct SScenarioLine
{
    std::int32_t line = 0;
    std::string text;
};
struct SScenario
{
    std::vector<std::vector<SScenarioLine>> scripts; // without their "end" lines
    std::vector<std::int32_t> endLines;
    std::vector<SScenarioLine> afterLastEnd;
};
SScenario ReadScenario(const SSource& source);

// The names the appearance tables are read against: the item table's (with the gold item, which the
// item loader makes itself) and the monster table's.
std::set<std::string> ItemNames(const SDataSet& dataSet);
std::set<std::string> MonsterNames(const SDataSet& dataSet);

} // namespace data_pipeline
