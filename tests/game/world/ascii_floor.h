#pragma once
// Floors drawn as text for the map tests, one character a cell, rows downward from (left, top):
//   ' ' rock (0)   '#' wall (2)   'H' hard wall (3)   '~' water (4)   '.' corridor floor (6)
//   '0' to '9' room floor (5) of that room
// and the way back, for comparing a floor with a picture after a change.

#include "game/world/map_control.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

inline void DrawFloor(CMapControl& map, std::int32_t left, std::int32_t top,
                      std::initializer_list<std::string_view> rows)
{
    std::int32_t y = top;
    for (std::string_view row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            SMapCell& cell = map.GetCell(std::uint32_t(left + std::int32_t(i)), std::uint32_t(y));
            const char c = row[i];
            cell.room = -1;
            if (c >= '0' && c <= '9') {
                cell.terrain = 5;
                cell.room = std::int8_t(c - '0');
            } else {
                cell.terrain = c == '#' ? 2 : c == 'H' ? 3 : c == '~' ? 4 : c == '.' ? 6 : 0;
            }
        }
        ++y;
    }
}

// The picture of a block of the floor: a room's floor shows its number, other floor '.', water '~',
// hard walls 'H', walls '#', rock ' '.
inline std::vector<std::string> FloorPicture(CMapControl& map, std::int32_t left, std::int32_t top,
                                             std::int32_t width, std::int32_t height)
{
    std::vector<std::string> rows;
    for (std::int32_t y = top; y < top + height; ++y) {
        std::string row;
        for (std::int32_t x = left; x < left + width; ++x) {
            const SMapCell& cell = map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.terrain >= 5)
                row += cell.room >= 0 && cell.room <= 9 ? char('0' + cell.room) : '.';
            else
                row += " #H~"[cell.terrain < 2 ? 0 : cell.terrain - 1];
        }
        rows.push_back(row);
    }
    return rows;
}
