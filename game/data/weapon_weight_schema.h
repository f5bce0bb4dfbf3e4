#pragma once
// The weapon-weight table ("武器の重さ.txt"), line for line with the item table: line N gives the
// weights of item kind N, "//" lines and lines with an empty name none. Its columns, read alike by the
// game's loader and the data build. Standard headers only.

#include "game/data/table_line.h"

#include <cstdint>
#include <string_view>

namespace weapon_weight_schema {

// The file, in the data set's text folder.
constexpr std::string_view kFileName = "武器の重さ.txt";

struct SColumns
{
    std::string_view name;         // 1: the weapon's name, for the reader of the table
    std::int32_t attackWeight = 0; // 2: summed into the check number
    std::int32_t moveWeight = 0;   // 3: played as the swing's sound effect
};

// The entries of kinds 0 and 1 and of a line without weights.
constexpr std::int32_t kNoAttackWeight = 0;
constexpr std::int32_t kHeaderAttackWeight = 1;
constexpr std::int32_t kNoMoveWeight = -1;

// False, the rest unread, for a line without weights. The cursor's marks tell whether the line held
// every column.
inline bool ReadWeightLine(table_text::CTableLine& line, SColumns& columns)
{
    if (line.IsComment()) return false;
    columns.name = line.Word();
    if (columns.name.empty()) return false;
    columns.attackWeight = line.Number();
    columns.moveWeight = line.Number();
    return true;
}

} // namespace weapon_weight_schema
