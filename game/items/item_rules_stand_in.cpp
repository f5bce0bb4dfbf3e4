// Stand-in: the item rules replace every function of this file (prices and appearance numbers, rust,
// and the wetting of carried items); delete the file when they come.
#include "game/app/game_resource.h"
#include "game/items/item_control.h"

std::int32_t CItemControl::GetItemPrice(const SItem& item, std::int32_t buying, std::int32_t)
{
    const SItemKind& kind = GetItemKind(item.kind);
    return buying != 0 ? kind.buyPrice : kind.sellPrice;
}

std::int32_t CItemControl::RustItem(SGameResource&, std::uint16_t, std::int32_t, bool)
{
    return 0;
}

std::int32_t CItemControl::GetAppearanceNumber(std::int32_t kind) const
{
    const std::int32_t itemClass = GetItemKind(kind).classId;
    const std::int32_t list = GetAppearanceList(itemClass);
    if (list < 0 || itemClass < 0 || itemClass >= kClassCount) return -1;
    const std::int32_t j = kind - firstKindOfClass[std::size_t(itemClass)];
    const std::vector<std::int32_t>& order = appearanceOrder[std::size_t(list)];
    if (firstKindOfClass[std::size_t(itemClass)] < 0 || j < 0 || std::size_t(j) >= order.size()) return -1;
    return order[std::size_t(j)];
}

std::int32_t WetRandomCarriedItem(SGameResource&, std::int32_t)
{
    return 0;
}
