// Stand-in: the elemental states of carried items replace this function (the wetting of carried items);
// delete the file when they come.
#include "game/app/game_resource.h"
#include "game/items/item_control.h"

std::int32_t WetRandomCarriedItem(SGameResource&, std::int32_t)
{
    return 0;
}
