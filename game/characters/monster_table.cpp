// The monster table: the kinds of monsters, species by species.

#include "game/characters/character_control.h"
#include "game/data/monster_schema.h"
#include "game/data/table_reader.h"

namespace {

// The kind of a line's columns; false when the line is refused.
bool MakeMonsterKind(const monster_schema::SColumns& columns, const CTableLine& line,
                     const std::map<ZTL::string, std::int32_t>& itemNames, SMonsterKind& kind)
{
    kind.name = ToTableString(columns.name);
    kind.baseHp = columns.hp;
    kind.baseAttack = columns.attack;
    kind.baseDefence = columns.defence;
    kind.speed = columns.speed;
    kind.interval = columns.interval;
    kind.experienceBase = columns.experience;
    kind.typeFlags = std::uint16_t(monster_schema::TypeBits(columns.type));
    kind.dropChance = columns.dropChance;
    const auto item = itemNames.find(ToTableString(columns.dropItem));
    kind.dropItem = item != itemNames.end() ? item->second : 0xFFFF;
    kind.spriteMode = monster_schema::LetterCode(columns.letter);
    kind.behaviour = monster_schema::BehaviourCode(columns.behaviour);
    kind.abilities = monster_schema::AbilityBits(columns.abilities);
    kind.specialChance = columns.specialChance;
    return !line.IsBroken();
}

} // namespace

std::int32_t CCharacterControl::LoadMonsterTable(const ZTL::string& fileName,
                                                 const std::map<ZTL::string, std::int32_t>& itemNames)
{
    CTableFile file;
    if (file.Read(fileName) == 0) return LoadMonsterTable(file, itemNames);
    monsterKinds.emplace_back();
    return kTableUnreadable;
}

std::int32_t CCharacterControl::LoadMonsterTable(CTableFile& file,
                                                 const std::map<ZTL::string, std::int32_t>& itemNames)
{
    monsterKinds.clear();
    kindByName.clear();
    // The count always tells the records that are there, also when the table is refused.
    auto refuse = [this] {
        monsterKinds.clear();
        kindByName.clear();
        kindCount = 0;
        return kTableRefused;
    };
    std::int32_t check = 0;
    if (file.ReadHeader(check) != 0) return refuse();

    std::int32_t speciesBase = 0;
    std::int32_t linesInSpecies = 0;
    std::int64_t sum = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) != CTableFile::kEnd;) {
        if (result == CTableFile::kTooLong) return refuse();
        CTableLine line(text);
        monster_schema::SColumns columns;
        if (!monster_schema::ReadKindLine(line, columns)) {
            if (linesInSpecies == 0) continue;
            monsterKinds.resize(std::size_t(speciesBase) + monster_schema::kRanks);
            speciesBase += monster_schema::kRanks;
            linesInSpecies = 0;
            continue;
        }
        // A fifth line would take the next species' first id and shift every id after it.
        if (linesInSpecies == monster_schema::kRanks) return refuse();
        SMonsterKind& kind = monsterKinds.emplace_back();
        if (!MakeMonsterKind(columns, line, itemNames, kind)) return refuse();
        sum += kind.baseHp;
        kindByName.emplace(kind.name, speciesBase + linesInSpecies);
        ++linesInSpecies;
    }
    kindCount = std::int32_t(monsterKinds.size());
    return sum == check ? kTableLoaded : kTableSumMismatch;
}
