#include "tools/data/table_model.h"

#include "game/data/table_line.h"

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
        const std::int32_t first = line.Number();
        const std::string_view name = first == 0 ? std::string_view() : line.Word();
        if (!name.empty()) {
            SItemLine& kind = table.kinds.emplace_back();
            kind.line = number;
            kind.name = name;
            kind.classId = section;
            kind.base = line.Number();
            kind.maximum = line.Number();
            kind.slots = line.Number();
            kind.column6 = line.Word();
            kind.buyPrice = line.Number();
            kind.sellPrice = line.Number();
            kind.summed = line.Number();
            kind.weight = line.Number();
            kind.description = line.AtQuote() ? line.Token() : line.TextToTab();
            kind.reading = line.Word();
            if (section >= 5 && section <= 10) kind.appearanceName = line.Word();
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
        if (line.IsComment()) return;
        const std::string_view name = line.Word();
        if (name.empty()) return;
        SSealLine& seal = lines.emplace_back();
        seal.line = number;
        seal.name = name;
        seal.size = line.Number();
        seal.buyPrice = line.Number();
        seal.summed = seal.buyPrice;
        line.Number(); // the sell price
        line.Word();   // the description
        seal.broken = line.IsBroken();
    });
    return lines;
}

std::vector<SWeightLine> ReadWeaponWeightTable(const SSource& source)
{
    std::vector<SWeightLine> lines;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        if (line.IsComment()) return;
        const std::string_view name = line.Word();
        if (name.empty()) return;
        SWeightLine& weight = lines.emplace_back();
        weight.line = number;
        weight.name = name;
        weight.attackWeight = line.Number();
        weight.summed = weight.attackWeight;
        weight.swingSound = line.Number();
        weight.broken = line.IsBroken();
    });
    return lines;
}

SMonsterTable ReadMonsterTable(const SSource& source)
{
    SMonsterTable table;
    std::int32_t speciesBase = 0;
    std::int32_t linesInSpecies = 0;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        std::string_view name;
        if (line.IsComment() || (name = line.Word()).empty()) {
            if (line.IsComment() && linesInSpecies > 0) table.commentsInSpecies.push_back(number);
            if (linesInSpecies > 0) speciesBase += 4;
            linesInSpecies = 0;
            return;
        }
        if (linesInSpecies == 4) {
            table.fifthLines.push_back(number);
            speciesBase += 4; // go on as if a species began here, to check the rest
            linesInSpecies = 0;
        }
        SMonsterLine& kind = table.kinds.emplace_back();
        kind.line = number;
        kind.name = name;
        kind.kindId = speciesBase + linesInSpecies++;
        kind.hp = line.Number();
        kind.summed = kind.hp;
        kind.attack = line.Number();
        kind.defence = line.Number();
        line.Number(); // speed
        line.Number(); // action interval
        kind.experience = line.Number();
        kind.type = line.Word();
        kind.dropChance = line.Number();
        kind.dropItem = line.Word();
        kind.letter = line.Word();
        kind.behaviour = line.Word();
        CTableLine abilities = line;
        kind.emptyAbilities = abilities.Word().empty();
        kind.abilities = line.Token();
        kind.specialChance = line.Number();
        kind.broken = line.IsBroken();
    });
    return table;
}

std::vector<SAppearanceLine> ReadAppearanceTable(const SSource& source)
{
    std::vector<SAppearanceLine> lines;
    const bool monsters = source.kind == TableKind::MonsterAppearance;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        if (line.Text().starts_with('/')) return;
        const std::string_view name = line.Word();
        if (name.empty()) return;
        SAppearanceLine& entry = lines.emplace_back();
        entry.line = number;
        entry.name = name;
        if (monsters) {
            // Only the first group's weight counts for every floor, so a line holds one group.
            while (!line.AtEnd()) {
                const std::int32_t weight = line.Number();
                const std::int32_t first = line.Number();
                const std::int32_t last = line.Number();
                if (entry.groups++ > 0) continue;
                entry.summed = entry.weight = weight;
                entry.firstFloor = first;
                entry.lastFloor = last;
            }
        } else {
            const bool lists[] = {line.Number() == 1, line.Number() == 1, line.Number() == 1};
            entry.floorItem = lists[0];
            entry.anyList = lists[0] || lists[1] || lists[2];
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
    for (std::size_t i = 1; i < source.lines.size() && i <= 99; ++i) {
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
        if (text.empty() || text.starts_with("//")) continue;
        const std::int32_t number = std::int32_t(i + 1);
        if (text != "end") {
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
    std::set<std::string> names = {kGoldName};
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
