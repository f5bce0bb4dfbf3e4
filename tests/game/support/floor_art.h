#pragma once
// Floors drawn as text for the rules' tests, one character a cell, rows downward from (left, top):
//   ' ' rock (0)   '#' wall (2)   'H' hard wall (3)   '~' water (4)   '.' corridor floor (6)
//   '0' to '9' room floor (5) of that room   '@' room 0's floor where the heroine stands
//   'F' room 0's floor on fire   'w' a puddle (terrain 11)
// The heroine is put on '@'.

#include "game/app/game_resource.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

inline void DrawFloorArt(SGameResource& game, std::int32_t left, std::int32_t top,
                         std::initializer_list<std::string_view> rows)
{
    std::int32_t y = top;
    for (std::string_view row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::int32_t x = left + std::int32_t(i);
            SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            const char c = row[i];
            cell.room = -1;
            cell.objectKind = 0;
            cell.objectId = 0;
            if (c >= '0' && c <= '9') {
                cell.terrain = 5;
                cell.room = std::int8_t(c - '0');
            } else if (c == '@' || c == 'F') {
                cell.terrain = 5;
                cell.room = 0;
                if (c == '@') {
                    game.characters.player.x = x;
                    game.characters.player.y = y;
                } else {
                    cell.objectKind = kObjectFire;
                    cell.objectId = 30;
                }
            } else {
                cell.terrain = c == '#' ? 2 : c == 'H' ? 3 : c == '~' ? 4 : c == '.' ? 6 : c == 'w' ? 11 : 0;
            }
        }
        ++y;
    }
}
