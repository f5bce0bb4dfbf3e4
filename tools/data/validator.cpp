#include "tools/data/validator.h"

#include "game/data/table_line.h"
#include "tools/data/table_model.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace data_pipeline {

namespace {

// The kinds the game's rules name by their id.
constexpr SFixedKind kFixedKinds[] = {
    {KindTable::Items, 3, 5, 1, "a weapon the rules name"},
    {KindTable::Items, 9, 17, 1, "a weapon the rules name"},
    {KindTable::Items, 19, 29, 1, "a weapon the rules name"},
    {KindTable::Items, 34, 35, 1, "a weapon the rules name"},
    {KindTable::Items, 50, 50, 2, "a shield the rules name"},
    {KindTable::Items, 52, 52, 2, "a shield the rules name"},
    {KindTable::Items, 55, 58, 2, "a shield the rules name"},
    {KindTable::Items, 61, 61, 2, "a shield the rules name"},
    {KindTable::Items, 64, 66, 2, "a shield the rules name"},
    {KindTable::Items, 68, 76, 2, "a shield the rules name"},
    {KindTable::Items, 81, 82, 2, "a shield the rules name"},
    {KindTable::Items, 100, 107, 3, "arrows the rules name"},
    {KindTable::Items, 120, 125, 4, "food the rules name"},
    {KindTable::Items, 135, 158, 5, "a potion"},
    {KindTable::Items, 180, 211, 6, "a scroll"},
    {KindTable::Items, 230, 253, 7, "a staff"},
    {KindTable::Items, 270, 292, 8, "a pen"},
    {KindTable::Items, 310, 330, 9, "a magic stone"},
    {KindTable::Items, 350, 361, 10, "a pot"},
    {KindTable::Items, 381, 385, 11, "a trap's description"},
    {KindTable::Items, 389, 407, 11, "a trap's description"},
    {KindTable::Monsters, 0, 0, -1, "the shopkeeper"},
    {KindTable::Monsters, 1, 3, -1, "a guard sent after a theft"},
    {KindTable::Monsters, 96, 96, -1, "a kind that sleeps deeper"},
    {KindTable::Monsters, 123, 123, -1, "a kind that notices the heroine on sight"},
    {KindTable::Monsters, 139, 139, -1, "a kind that is always aware"},
    {KindTable::Monsters, 164, 164, -1, "the warehouse keeper"},
};

constexpr std::int32_t kMaxSections = 11;

void Report(Diagnostics& diagnostics, const SSource& source, std::int32_t line, std::string message)
{
    diagnostics.push_back({source.path, line, std::move(message)});
}

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

// The item loader has class tables for classes 0 to 11.
void CheckSections(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* items = dataSet.Find(TableKind::Items);
    if (items == nullptr) return;
    const std::vector<std::int32_t> sections = ReadItemTable(*items).sectionLines;
    for (std::size_t i = kMaxSections; i < sections.size(); ++i)
        Report(diagnostics, *items, sections[i],
               "a twelfth \"<\" line: the item table has at most 11 classes");
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
        ReportRepeatedNames(diagnostics, *items, ReadItemTable(*items).kinds, {{kGoldName, 0}});
    if (const SSource* monsters = dataSet.Find(TableKind::Monsters))
        ReportRepeatedNames(diagnostics, *monsters, ReadMonsterTable(*monsters).kinds, {});
}

void CheckFixedKinds(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    std::map<std::int32_t, SItemLine> items;
    std::map<std::int32_t, SMonsterLine> monsters;
    const SSource* itemSource = dataSet.Find(TableKind::Items);
    const SSource* monsterSource = dataSet.Find(TableKind::Monsters);
    if (itemSource != nullptr)
        for (const SItemLine& kind : ReadItemTable(*itemSource).kinds)
            items.emplace(kind.line, kind);
    if (monsterSource != nullptr)
        for (const SMonsterLine& kind : ReadMonsterTable(*monsterSource).kinds)
            monsters.emplace(kind.kindId, kind);
    for (const SFixedKind& fixed : kFixedKinds) {
        for (std::int32_t id = fixed.first; id <= fixed.last; ++id) {
            const std::string what = std::to_string(id) + " (" + fixed.role + ")";
            if (fixed.table == KindTable::Monsters) {
                if (monsterSource != nullptr && !monsters.contains(id))
                    Report(diagnostics, *monsterSource, 0,
                           "monster kind " + what + " must be a line: species " + std::to_string(id / 4) +
                               ", rank " + std::to_string(id % 4));
                continue;
            }
            if (itemSource == nullptr) continue;
            const auto kind = items.find(id);
            if (kind == items.end())
                Report(diagnostics, *itemSource, id,
                       "item kind " + what + " must be an item line on line " + std::to_string(id));
            else if (kind->second.classId != fixed.itemClass)
                Report(diagnostics, *itemSource, id,
                       "item kind " + what + " is in class " + std::to_string(kind->second.classId) +
                           "; it must be in class " + std::to_string(fixed.itemClass));
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
    {"header line", CheckHeaders},           {"line length", CheckLineLengths},
    {"fields and numbers", CheckFields},     {"check numbers", CheckCheckNumbers},
    {"item classes", CheckSections},         {"monster species", CheckSpecies},
    {"ability column", CheckAbilityColumns}, {"unique names", CheckUniqueNames},
    {"fixed kinds", CheckFixedKinds},        {"appearance tables", CheckAppearanceTables},
};

} // namespace

std::span<const SFixedKind> FixedKinds()
{
    return kFixedKinds;
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
