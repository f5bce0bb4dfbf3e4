#include "game/app/game_camp_services.h"

#include "game/app/game_resource.h"
#include "game/items/item_control.h"

void CGameCampServices::RecoverOwnEquipment()
{
    m_game.items.RecoverOwnEquipment();
}

void CGameCampServices::ResetIdentification(std::int32_t dungeon)
{
    m_game.items.ResetIdentification(dungeon);
}

void CGameCampServices::SetFlagsOfAllItems(std::uint16_t flags)
{
    for (CItemControl::SItem& item : m_game.items.items)
        if (item.kind != CItemControl::kNone) item.flags = std::uint16_t(item.flags | flags);
}
