// Stand-in: the traps' trigger and the elemental states of carried items and cells replace this file.
#include "game/world/trap_stand_ins.h"

#include "game/app/game_resource.h"

void TriggerTrapAt(SGameResource&, std::int32_t, std::int32_t)
{}

std::int32_t TriggerTrapUnderCharacter(std::int32_t, SGameResource&, bool)
{
    return 0;
}

bool ApplyCellFire(SGameResource&, std::int32_t, std::int32_t, bool)
{
    return false;
}

std::int32_t MeltItem(SGameResource&)
{
    return 0;
}

std::int32_t BurnItem(SGameResource&)
{
    return 0;
}

void BurnUpItemInFire(SGameResource& game, std::int32_t, std::int32_t, std::uint16_t item)
{
    game.items.DeleteItem(item);
}

void SplashWaterAt(SGameResource&, std::int32_t, std::int32_t, bool, bool)
{}

void AnnounceIdentification(std::uint16_t item, SGameResource& game)
{
    if (item == CItemControl::kNone) return;
    game.items.IdentifyItem(game.items.GetItem(item), false);
}

void RemoveCarriedItem(SGameResource& game, std::uint16_t item)
{
    std::uint16_t slot = 0xFFFF;
    std::uint16_t pot = 0xFFFF;
    game.items.FindInInventory(game, item, slot, pot, true);
    if (slot < SGameResource::kInventorySize && pot == 0xFFFF)
        game.items.RemoveFromInventoryDelete(game, slot);
    else if (pot != 0xFFFF && slot != 0xFFFF)
        game.items.RemoveFromPotDelete(game, pot, slot);
}
