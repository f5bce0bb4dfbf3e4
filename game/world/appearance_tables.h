#pragma once
// The appearance tables: which monsters appear on a floor of a dungeon ("data/text/モンスター出現N.txt")
// and which items floors, chests, traps, monsters and a scroll draw from ("data/text/アイテム出現N.txt"),
// loaded into the floor map's appearance lists. A bad header, a wrong check number or a broken line is
// reported with the data error box and a request to close the application; a missing file is not.

#include "game/data/table_reader.h"
#include "game/items/item_kind.h"
#include "game/world/map_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <map>
#include <vector>

// The floor a monster table is read for: dungeon 6 repeats floors 1 to 50, the others 1 to 99 (floor
// 100 reads as floor 1).
std::int32_t FoldAppearanceFloor(std::int32_t dungeon, std::int32_t floor);

// Rebuilds the monster list for the floor: from the first group (weight, first floor, last floor, 0 no
// upper bound) of each line that covers it, the kind stands in the list weight times.
void LoadMonsterAppearance(CMapControl& map, std::int32_t dungeon, std::int32_t floor,
                           const std::map<ZTL::string, std::int32_t>& monsterNames);

// Fills the four item lists from table number tableNumber, with each kind's appearance weight taken
// from the copy of the kind records; nothing when the lists already hold that table.
void LoadItemAppearance(CMapControl& map, std::int32_t tableNumber, const std::vector<SItemKind>& kinds,
                        const std::map<ZTL::string, std::int32_t>& itemNames);

// The two loads from a table file already read, from its header on: the monster list (emptied before)
// for a folded floor, and the item lists (emptied before) whatever table number they hold.
void ReadMonsterAppearance(CMapControl& map, CTableFile& table, std::int32_t foldedFloor,
                           const std::map<ZTL::string, std::int32_t>& monsterNames);
void ReadItemAppearance(CMapControl& map, CTableFile& table, const std::vector<SItemKind>& kinds,
                        const std::map<ZTL::string, std::int32_t>& itemNames);
