#pragma once
// The monster table ("モンスター.txt"): species of up to four lines (ranks 0 to 3, kind id = species * 4
// + rank), each closed by an empty line or a "//" line. Its columns and words, read alike by the
// game's loader and the data build. Standard headers only.

#include "game/data/table_line.h"

#include <cstdint>
#include <string_view>

namespace monster_schema {

// The file, in the data set's text folder.
constexpr std::string_view kFileName = "モンスター.txt";

constexpr std::int32_t kRanks = 4;

struct SColumns
{
    std::string_view name;          // 1
    std::int32_t hp = 0;            // 2: summed into the check number
    std::int32_t attack = 0;        // 3
    std::int32_t defence = 0;       // 4
    std::int32_t speed = 0;         // 5
    std::int32_t interval = 0;      // 6: the action interval
    std::int32_t experience = 0;    // 7
    std::string_view type;          // 8: a TypeWords word
    std::int32_t dropChance = 0;    // 9: in 256
    std::string_view dropItem;      // 10: an item's name, kNoDrop or kRandomDrop
    std::string_view letter;        // 11: a LetterWords word, the sprite's size
    std::string_view behaviour;     // 12: a BehaviourWords word
    std::string_view abilities;     // 13: AbilityWords joined by ",", or kNoAbility
    std::int32_t specialChance = 0; // 14: in 256
    // Column 13 is an empty word: the text token then takes the next column as the list.
    bool emptyAbilities = false;
};

// The type bits: a house of monsters gathers the species of one of the first five.
constexpr std::int32_t kTypeDoll = 0x01;
constexpr std::int32_t kTypeBeast = 0x02;
constexpr std::int32_t kTypeFlier = 0x04;
constexpr std::int32_t kTypeDrainer = 0x08;
constexpr std::int32_t kTypeUndead = 0x10;
constexpr std::int32_t kTypeFire = 0x20;
constexpr std::int32_t kTypeIce = 0x40;

// Column 8: one word each, the combined ones included; kPlainType sets no bit.
constexpr table_text::SKeyword kTypeWords[] = {
    {"人形", kTypeDoll},
    {"獣", kTypeBeast},
    {"飛行", kTypeFlier},
    {"吸", kTypeDrainer},
    {"死", kTypeUndead},
    {"火", kTypeFire},
    {"氷", kTypeIce},
    {"死・火", kTypeUndead | kTypeFire},
    {"死・吸", kTypeUndead | kTypeDrainer},
    {"吸・飛", kTypeDrainer | kTypeFlier},
    {"人・飛", kTypeDoll | kTypeFlier},
};
constexpr std::string_view kPlainType = "普通";

// Column 12; kPlainBehaviour (0) chases the heroine.
constexpr table_text::SKeyword kBehaviourWords[] = {
    {"不動", 1}, {"逃走", 2},   {"ゴールド", 3}, {"ランダム", 4}, {"間隔", 5},
    {"知的", 6}, {"穴掘り", 7}, {"回復", 8},     {"魔法陣", 9},
};
constexpr std::string_view kPlainBehaviour = "通常";

// Column 13, joined by ","; kNoAbility for none.
constexpr table_text::SKeyword kAbilityWords[] = {
    {"無敵", 1},  {"魔法無効", 2}, {"跳ね返し", 4}, {"壁抜け", 8}, {"透明", 16},
    {"透過", 32}, {"反射", 64},    {"魚", 128},     {"不動", 256},
};
constexpr std::string_view kNoAbility = "なし";
constexpr char kAbilitySeparator = ',';

// Column 11, by its first byte: small, large and person sprites; "m" the 32 x 32 sprites (code 0).
constexpr table_text::SKeyword kLetterWords[] = {{"s", 1}, {"l", 2}, {"p", 4}, {"m", 0}};

// Column 10: no drop, or an item of the floor's first list (no item has that name).
constexpr std::string_view kNoDrop = "なし";
constexpr std::string_view kRandomDrop = "ランダム";

// The type bits of a column 8 word; 0 for a word the table does not know.
constexpr std::int32_t TypeBits(std::string_view word)
{
    return table_text::FindKeyword(kTypeWords, word);
}

constexpr std::int32_t BehaviourCode(std::string_view word)
{
    return table_text::FindKeyword(kBehaviourWords, word);
}

// The letter code of the first letter word that begins column 11; 0 when none does.
constexpr std::int32_t LetterCode(std::string_view word)
{
    for (const table_text::SKeyword& letter : kLetterWords)
        if (word.starts_with(letter.word)) return letter.value;
    return 0;
}

// Calls visit(word) for each word of an ability list.
template <typename Visit> constexpr void ForEachAbility(std::string_view list, Visit visit)
{
    for (;;) {
        const std::size_t separator = list.find(kAbilitySeparator);
        visit(list.substr(0, separator));
        if (separator == std::string_view::npos) return;
        list.remove_prefix(separator + 1);
    }
}

// The ability bits of a column 13 list; words the table does not know add none.
constexpr std::uint16_t AbilityBits(std::string_view list)
{
    std::uint16_t bits = 0;
    ForEachAbility(list, [&](std::string_view word) {
        bits |= std::uint16_t(table_text::FindKeyword(kAbilityWords, word));
    });
    return bits;
}

// Reads a line of the table: false, the rest unread, for a line that closes a species (a comment or
// an empty name). The cursor's marks tell whether the line held every column.
inline bool ReadKindLine(table_text::CTableLine& line, SColumns& columns)
{
    if (line.IsComment()) return false;
    columns.name = line.Word();
    if (columns.name.empty()) return false;
    columns.hp = line.Number();
    columns.attack = line.Number();
    columns.defence = line.Number();
    columns.speed = line.Number();
    columns.interval = line.Number();
    columns.experience = line.Number();
    columns.type = line.Word();
    columns.dropChance = line.Number();
    columns.dropItem = line.Word();
    columns.letter = line.Word();
    columns.behaviour = line.Word();
    table_text::CTableLine abilities = line;
    columns.emptyAbilities = abilities.Word().empty();
    columns.abilities = line.Token();
    columns.specialChance = line.Number();
    return true;
}

} // namespace monster_schema
