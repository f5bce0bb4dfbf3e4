// Stand-in: the elemental states of carried items replace this file; delete it when they come.
#include "game/items/carried_item_stand_in.h"

#include "game/app/game_resource.h"

void AnnounceIdentification(std::uint16_t item, SGameResource& game)
{
    if (item == 0xFFFF) return;
    game.items.IdentifyItem(game.items.GetItem(item), false);
}

void RemoveCarriedItem(SGameResource& game, std::uint16_t item)
{
    std::uint16_t slot = 0;
    std::uint16_t pot = 0;
    game.items.FindInInventory(game, item, slot, pot, false);
    if (pot != CItemControl::kNone)
        game.items.RemoveFromPotDelete(game, pot, slot);
    else if (slot < game.inventory.size())
        game.items.RemoveFromInventoryDelete(game, slot);
}
