// Stand-in: the item rules replace every function of this file (rust and the wetting of carried
// items); delete the file when they come.
#include "game/app/game_resource.h"
#include "game/items/item_control.h"

std::int32_t CItemControl::RustItem(SGameResource&, std::uint16_t, std::int32_t, bool)
{
    return 0;
}

std::int32_t WetRandomCarriedItem(SGameResource&, std::int32_t)
{
    return 0;
}
