// The monster table: the kinds of monsters, species by species.

#include "game/characters/character_control.h"
#include "game/data/table_reader.h"

#include <string_view>

namespace {

struct SKeyword
{
    std::string_view word;
    std::int32_t value;
};

// Column 8: one word each, the combined ones included.
constexpr SKeyword kTypeWords[] = {
    {"人形", 1}, {"獣", 2},      {"飛行", 4},    {"吸", 8},      {"死", 16},    {"火", 32},
    {"氷", 64},  {"死・火", 48}, {"死・吸", 24}, {"吸・飛", 12}, {"人・飛", 5},
};
// Column 12.
constexpr SKeyword kBehaviourWords[] = {
    {"不動", 1}, {"逃走", 2},   {"ゴールド", 3}, {"ランダム", 4}, {"間隔", 5},
    {"知的", 6}, {"穴掘り", 7}, {"回復", 8},     {"魔法陣", 9},
};
// Column 13, joined by ",".
constexpr SKeyword kAbilityWords[] = {
    {"無敵", 1},  {"魔法無効", 2}, {"跳ね返し", 4}, {"壁抜け", 8}, {"透明", 16},
    {"透過", 32}, {"反射", 64},    {"魚", 128},     {"不動", 256},
};

template <std::size_t N> std::int32_t FindKeyword(const SKeyword (&table)[N], std::string_view word)
{
    for (const SKeyword& keyword : table)
        if (keyword.word == word) return keyword.value;
    return 0;
}

std::uint16_t ReadAbilities(std::string_view list)
{
    std::uint16_t flags = 0;
    for (;;) {
        const std::size_t comma = list.find(',');
        flags |= std::uint16_t(FindKeyword(kAbilityWords, list.substr(0, comma)));
        if (comma == std::string_view::npos) return flags;
        list.remove_prefix(comma + 1);
    }
}

std::int32_t LetterCode(std::string_view word)
{
    if (word.starts_with('s')) return 1;
    if (word.starts_with('l')) return 2;
    if (word.starts_with('p')) return 4;
    return 0;
}

// The 14 columns of a monster line; false when the line is refused.
bool ReadMonsterLine(CTableLine& line, std::string_view name,
                     const std::map<ZTL::string, std::int32_t>& itemNames, SMonsterKind& kind)
{
    kind.name = ToTableString(name);
    kind.baseHp = line.Number();
    kind.baseAttack = line.Number();
    kind.baseDefence = line.Number();
    kind.speed = line.Number();
    kind.interval = line.Number();
    kind.experienceBase = line.Number();
    kind.typeFlags = std::uint16_t(FindKeyword(kTypeWords, line.Word()));
    kind.dropChance = line.Number();
    const auto item = itemNames.find(ToTableString(line.Word()));
    kind.dropItem = item != itemNames.end() ? item->second : 0xFFFF;
    kind.spriteMode = LetterCode(line.Word());
    kind.behaviour = FindKeyword(kBehaviourWords, line.Word());
    kind.abilities = ReadAbilities(line.Token());
    kind.specialChance = line.Number();
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
        std::string_view name;
        if (line.IsComment() || (name = line.Word()).empty()) {
            if (linesInSpecies == 0) continue;
            monsterKinds.resize(std::size_t(speciesBase) + 4);
            speciesBase += 4;
            linesInSpecies = 0;
            continue;
        }
        // A fifth line would take the next species' first id and shift every id after it.
        if (linesInSpecies == 4) return refuse();
        SMonsterKind& kind = monsterKinds.emplace_back();
        if (!ReadMonsterLine(line, name, itemNames, kind)) return refuse();
        sum += kind.baseHp;
        kindByName.emplace(kind.name, speciesBase + linesInSpecies);
        ++linesInSpecies;
    }
    kindCount = std::int32_t(monsterKinds.size());
    return sum == check ? kTableLoaded : kTableSumMismatch;
}
