#pragma once
// The seal table ("能力.txt"): seal code = line number (the header is line 1, and codes 0 and 1 hold no
// seal); "//" lines and lines with an empty name hold none either. Its columns, read alike by the
// game's loader and the data build. Standard headers only.

#include "game/data/table_line.h"

#include <cstdint>
#include <string_view>

namespace seal_schema {

// The file, in the data set's text folder.
constexpr std::string_view kFileName = "能力.txt";

struct SColumns
{
    std::string_view name;        // 1: the weapon, shield or magic stone named so carries the seal
    std::int32_t size = 0;        // 2: the seal slots it takes
    std::int32_t buyPrice = 0;    // 3: summed into the check number
    std::int32_t sellPrice = 0;   // 4
    std::string_view description; // 5
};

// False, the rest unread, for a line that holds no seal. The cursor's marks tell whether the line held
// every column.
inline bool ReadSealLine(table_text::CTableLine& line, SColumns& columns)
{
    if (line.IsComment()) return false;
    columns.name = line.Word();
    if (columns.name.empty()) return false;
    columns.size = line.Number();
    columns.buyPrice = line.Number();
    columns.sellPrice = line.Number();
    columns.description = line.Word();
    return true;
}

} // namespace seal_schema
