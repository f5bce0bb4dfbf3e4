#include "game/items/pre_identified.h"

std::array<std::set<std::int32_t>, kPreIdentifiedDungeons> g_preIdentifiedClassSets;

void InitPreIdentifiedClassSets()
{
    constexpr std::int32_t kArrows = 3, kFood = 4, kGold = 11;
    for (std::int32_t dungeon = 0; dungeon < kPreIdentifiedDungeons; ++dungeon) {
        std::set<std::int32_t>& known = g_preIdentifiedClassSets[static_cast<std::size_t>(dungeon)];
        known = {kArrows, kFood, kGold};
        switch (dungeon) {
        case 0:
        case 1:
        case 3:
        case 4:
            for (std::int32_t itemClass = 1; itemClass <= 11; ++itemClass)
                known.insert(itemClass);
            break;
        case 2:
            known.insert({5, 6});
            break;
        default:
            break;
        }
    }
}
