#include "tools/data/table_model.h"

#include "game/data/appearance_schema.h"
#include "game/data/experience_schema.h"
#include "game/data/item_schema.h"
#include "game/data/monster_schema.h"
#include "game/data/scenario_schema.h"
#include "game/data/seal_schema.h"
#include "game/data/table_line.h"
#include "game/data/weapon_weight_schema.h"

#include <algorithm>

namespace data_pipeline {

namespace {

using table_text::CTableLine;

// Calls read(line, lineNumber) for every line after the header.
template <typename Read> void ForEachDataLine(const SSource& source, Read read)
{
    for (std::size_t i = 1; i < source.lines.size(); ++i) {
        CTableLine line(source.lines[i].text);
        read(line, std::int32_t(i + 1));
    }
}

template <typename Line>
const Line* FindLine(const std::vector<Line>& lines, std::int32_t Line::*key, std::int32_t value)
{
    const auto found =
        std::find_if(lines.begin(), lines.end(), [&](const Line& line) { return line.*key == value; });
    return found != lines.end() ? &*found : nullptr;
}

} // namespace

const SItemLine* SItemTable::Find(std::int32_t kind) const
{
    return FindLine<SItemLine>(kinds, &SItemLine::line, kind);
}

const SMonsterLine* SMonsterTable::Find(std::int32_t kindId) const
{
    return FindLine<SMonsterLine>(kinds, &SMonsterLine::kindId, kindId);
}

SItemTable ReadItemTable(const SSource& source)
{
    SItemTable table;
    std::int32_t section = 0;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        if (line.IsComment()) return;
        if (line.IsSection()) {
            ++section;
            table.sectionLines.push_back(number);
            return;
        }
        item_schema::SColumns columns;
        if (item_schema::ReadKindLine(line, section, columns)) {
            SItemLine& kind = table.kinds.emplace_back();
            kind.line = number;
            kind.name = columns.name;
            kind.classId = section;
            kind.base = columns.base;
            kind.maximum = columns.maximum;
            kind.slots = columns.sealSlots;
            kind.column6 = columns.sealOrRange;
            kind.buyPrice = columns.buyPrice;
            kind.sellPrice = columns.sellPrice;
            kind.summed = columns.checkWeight;
            kind.weight = columns.appearanceWeight;
            kind.description = columns.description;
            kind.reading = columns.reading;
            kind.appearanceName = columns.appearanceName;
            kind.broken = line.IsBroken();
            kind.trailingText = !line.AtEnd();
        }
        if (line.IsBroken()) table.brokenLines.push_back(number);
    });
    return table;
}

std::vector<SSealLine> ReadSealTable(const SSource& source)
{
    std::vector<SSealLine> lines;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        seal_schema::SColumns columns;
        if (!seal_schema::ReadSealLine(line, columns)) return;
        SSealLine& seal = lines.emplace_back();
        seal.line = number;
        seal.name = columns.name;
        seal.size = columns.size;
        seal.buyPrice = columns.buyPrice;
        seal.summed = seal.buyPrice;
        seal.broken = line.IsBroken();
    });
    return lines;
}

std::vector<SWeightLine> ReadWeaponWeightTable(const SSource& source)
{
    std::vector<SWeightLine> lines;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        weapon_weight_schema::SColumns columns;
        if (!weapon_weight_schema::ReadWeightLine(line, columns)) return;
        SWeightLine& weight = lines.emplace_back();
        weight.line = number;
        weight.name = columns.name;
        weight.attackWeight = columns.attackWeight;
        weight.summed = weight.attackWeight;
        weight.swingSound = columns.moveWeight;
        weight.broken = line.IsBroken();
    });
    return lines;
}

SMonsterTable ReadMonsterTable(const SSource& source)
{
    SMonsterTable table;
    std::int32_t speciesBase = 0;
    std::int32_t linesInSpecies = 0;
    using monster_schema::kRanks;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        monster_schema::SColumns columns;
        if (!monster_schema::ReadKindLine(line, columns)) {
            if (line.IsComment() && linesInSpecies > 0) table.commentsInSpecies.push_back(number);
            if (linesInSpecies > 0) speciesBase += kRanks;
            linesInSpecies = 0;
            return;
        }
        if (linesInSpecies == kRanks) {
            table.fifthLines.push_back(number);
            speciesBase += kRanks; // go on as if a species began here, to check the rest
            linesInSpecies = 0;
        }
        SMonsterLine& kind = table.kinds.emplace_back();
        kind.line = number;
        kind.name = columns.name;
        kind.kindId = speciesBase + linesInSpecies++;
        kind.hp = columns.hp;
        kind.summed = kind.hp;
        kind.attack = columns.attack;
        kind.defence = columns.defence;
        kind.experience = columns.experience;
        kind.type = columns.type;
        kind.dropChance = columns.dropChance;
        kind.dropItem = columns.dropItem;
        kind.letter = columns.letter;
        kind.behaviour = columns.behaviour;
        kind.emptyAbilities = columns.emptyAbilities;
        kind.abilities = columns.abilities;
        kind.specialChance = columns.specialChance;
        kind.broken = line.IsBroken();
    });
    return table;
}

std::vector<SAppearanceLine> ReadAppearanceTable(const SSource& source)
{
    std::vector<SAppearanceLine> lines;
    const bool monsters = source.kind == TableKind::MonsterAppearance;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        const std::string_view name = appearance_schema::ReadName(line);
        if (name.empty()) return;
        SAppearanceLine& entry = lines.emplace_back();
        entry.line = number;
        entry.name = name;
        if (monsters) {
            // Only the first group's weight counts for every floor, so a line holds one group.
            while (!line.AtEnd()) {
                const appearance_schema::SMonsterGroup group = appearance_schema::ReadMonsterGroup(line);
                if (entry.groups++ > 0) continue;
                entry.summed = entry.weight = group.weight;
                entry.firstFloor = group.firstFloor;
                entry.lastFloor = group.lastFloor;
            }
        } else {
            const appearance_schema::SItemLists lists = appearance_schema::ReadItemLists(line);
            entry.floorItem = lists.floors;
            entry.anyList = lists.floors || lists.generation || lists.chests;
            entry.summed = entry.floorItem ? 1 : 0;
        }
        entry.broken = line.IsOutOfRange();
    });
    return lines;
}

std::int32_t AppearanceTableNumber(const SSource& source)
{
    std::int32_t number = -1;
    const std::size_t digits = source.name.find_first_of("0123456789");
    if (digits != std::string::npos)
        table_text::ConvertNumber(std::string_view(source.name).substr(digits), number);
    return number;
}

std::vector<STableLine> ReadExperienceTable(const SSource& source)
{
    std::vector<STableLine> values;
    const std::size_t first = experience_schema::kFirstLevelLine - 1;
    for (std::size_t i = first; i < source.lines.size() && i < first + experience_schema::kLevels; ++i) {
        STableLine& entry = values.emplace_back();
        entry.line = std::int32_t(i + 1);
        std::int32_t value = 0;
        entry.broken = !table_text::ConvertNumber(source.lines[i].text, value);
        entry.summed = value;
    }
    return values;
}

SScenario ReadScenario(const SSource& source)
{
    SScenario scenario;
    std::vector<SScenarioLine> script;
    for (std::size_t i = 0; i < source.lines.size(); ++i) {
        const std::string& text = source.lines[i].text;
        if (scenario_schema::IsSkipped(text)) continue;
        const std::int32_t number = std::int32_t(i + 1);
        if (text != scenario_schema::kEndLine) {
            script.push_back({number, text});
            continue;
        }
        scenario.scripts.push_back(std::move(script));
        scenario.endLines.push_back(number);
        script.clear();
    }
    scenario.afterLastEnd = std::move(script);
    return scenario;
}

std::set<std::string> ItemNames(const SDataSet& dataSet)
{
    std::set<std::string> names = {std::string(item_schema::kGoldName)};
    if (const SSource* items = dataSet.Find(TableKind::Items))
        for (const SItemLine& kind : ReadItemTable(*items).kinds)
            names.insert(kind.name);
    return names;
}

std::set<std::string> MonsterNames(const SDataSet& dataSet)
{
    std::set<std::string> names;
    if (const SSource* monsters = dataSet.Find(TableKind::Monsters))
        for (const SMonsterLine& kind : ReadMonsterTable(*monsters).kinds)
            names.insert(kind.name);
    return names;
}

} // namespace data_pipeline
