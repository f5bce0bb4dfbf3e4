#pragma once
// The sources' tables read line by line as the game's loaders read them (with the loaders' own field
// cursor), keeping what the check numbers and the validator's rules look at, with each line's number.

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
};
struct SItemTable
{
    std::vector<SItemLine> kinds; // the lines that make a kind record
    std::vector<std::int32_t> sectionLines;
    std::vector<std::int32_t> brokenLines; // of any kind of line
};
SItemTable ReadItemTable(const SSource& source);

// The seal and weapon-weight tables: code or kind id = line number.
std::vector<STableLine> ReadSealTable(const SSource& source);
std::vector<STableLine> ReadWeaponWeightTable(const SSource& source);

// The monster table: species of up to four lines closed by an empty or "//" line.
struct SMonsterLine : STableLine
{
    std::int32_t kindId = 0;
    bool emptyAbilities = false;
};
struct SMonsterTable
{
    std::vector<SMonsterLine> kinds;
    std::vector<std::int32_t> fifthLines;        // a fifth line of a species
    std::vector<std::int32_t> commentsInSpecies; // a "//" line right after a species' line
};
SMonsterTable ReadMonsterTable(const SSource& source);

// An appearance table's line that names something (a first byte "/", an empty line or first word are
// skipped as the loaders skip them).
struct SAppearanceLine : STableLine
{
    std::int32_t groups = 0; // monster tables: the (weight, first, last) groups on the line
    bool floorItem = false;  // item tables: column 2 is 1
};
std::vector<SAppearanceLine> ReadAppearanceTable(const SSource& source);

// The experience table's values, lines 2 to 100.
std::vector<STableLine> ReadExperienceTable(const SSource& source);

// The names the appearance tables are read against: the item table's (with the gold item, which the
// item loader makes itself) and the monster table's.
constexpr char kGoldName[] = "ゴールド";
std::set<std::string> ItemNames(const SDataSet& dataSet);
std::set<std::string> MonsterNames(const SDataSet& dataSet);

} // namespace data_pipeline
