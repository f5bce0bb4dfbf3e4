#include "game/items/item_names.h"

namespace {

constexpr std::uint16_t kCursed = 0x04;

} // namespace

const char* GetItemColorMark(const SItemMarkFacts& item)
{
    const bool cursed = (item.flags & kCursed) != 0;
    switch (item.itemClass) {
    case 0:
        return "";
    case 1:
    case 2:
        if (!item.identified) return "#y";
        if (cursed) return "#b";
        if (item.plus == item.kindMaxPlus) return "#r";
        if (item.firstSeal != 0xFFFF) return "#g";
        return "";
    default:
        if (cursed) return "#b";
        if (!item.identified) return "#y";
        return "";
    }
}

ZTL::string GetColoredItemName(const SItemMarkFacts& item, const ZTL::string& displayName)
{
    const char* mark = GetItemColorMark(item);
    return ZTL::string(*mark != '\0' ? mark : "#7") + displayName + "#";
}

ZTL::string GetItemColorMarkByIndex(IItemNaming& items, std::uint16_t index)
{
    return index == kNoItem ? "" : GetItemColorMark(items.GetMarkFacts(index));
}

ZTL::string GetColoredItemNameByIndex(IItemNaming& items, std::uint16_t index)
{
    if (index == kNoItem) return "";
    return GetColoredItemName(items.GetMarkFacts(index), items.GetDisplayName(index));
}

std::int32_t GetTrapDescriptionKind(std::int32_t trap)
{
    if (trap < 6) return trap + 380;
    if (trap <= 14) return trap + 382;
    if (trap <= 23) return trap + 381;
    if (trap <= 26) return trap + 380;
    return 407;
}

ZTL::string GetColoredTrapName(IItemNaming& items, std::int32_t trap)
{
    return ZTL::string("#6") + items.GetKindName(GetTrapDescriptionKind(trap)) + "#";
}
