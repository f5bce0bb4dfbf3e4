#include "tools/data/table_model.h"

#include "game/data/table_line.h"

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

} // namespace

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
            for (int column = 3; column <= 8; ++column)
                column == 6 ? void(line.Word()) : void(line.Number());
            kind.summed = line.Number();
            line.Number();
            line.AtQuote() ? line.Token() : line.TextToTab();
            line.Word();
            if (section >= 5 && section <= 10) line.Word(); // the unidentified name
            kind.broken = line.IsBroken();
        }
        if (line.IsBroken()) table.brokenLines.push_back(number);
    });
    return table;
}

namespace {

// A table whose data lines are a name and numbers, the first number summed.
std::vector<STableLine> ReadNamedNumbers(const SSource& source, int numbers, int summedNumber,
                                         bool lastIsWord)
{
    std::vector<STableLine> lines;
    ForEachDataLine(source, [&](CTableLine& line, std::int32_t number) {
        if (line.IsComment()) return;
        const std::string_view name = line.Word();
        if (name.empty()) return;
        STableLine& entry = lines.emplace_back();
        entry.line = number;
        entry.name = name;
        for (int i = 1; i <= numbers; ++i) {
            const std::int32_t value = line.Number();
            if (i == summedNumber) entry.summed = value;
        }
        if (lastIsWord) line.Word();
        entry.broken = line.IsBroken();
    });
    return lines;
}

} // namespace

std::vector<STableLine> ReadSealTable(const SSource& source)
{
    // Name, slots, buy price (summed), sell price, description.
    return ReadNamedNumbers(source, 3, 2, true);
}

std::vector<STableLine> ReadWeaponWeightTable(const SSource& source)
{
    // Name, attack weight (summed), move weight.
    return ReadNamedNumbers(source, 2, 1, false);
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
        kind.summed = line.Number();
        for (int column = 3; column <= 12; ++column)
            column == 8 || column >= 10 ? void(line.Word()) : void(line.Number());
        CTableLine abilities = line;
        kind.emptyAbilities = abilities.Word().empty();
        line.Token();
        line.Number();
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
                if (entry.groups++ == 0) entry.summed = weight;
                line.Number();
                line.Number();
            }
        } else {
            entry.floorItem = line.Number() == 1;
            entry.summed = entry.floorItem ? 1 : 0;
            line.Number();
            line.Number();
        }
        entry.broken = line.IsOutOfRange();
    });
    return lines;
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
