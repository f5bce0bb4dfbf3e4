#include "game/app/names.h"

namespace {

constexpr std::uint16_t kCursed = 0x04;

} // namespace

ZTL::string FormatFullWidthUnsigned(std::uint32_t value)
{
    static const char kDigits[] = "０１２３４５６７８９";
    char text[2 * 10];
    int n = sizeof text;
    do {
        n -= 2;
        text[n] = kDigits[2 * (value % 10)];
        text[n + 1] = kDigits[2 * (value % 10) + 1];
        value /= 10;
    } while (value != 0);
    return ZTL::string(text + n, static_cast<ZTL::string::size_type>(sizeof text - n));
}

ZTL::string FormatFullWidthNumber(std::int32_t value)
{
    if (value >= 0) return FormatFullWidthUnsigned(static_cast<std::uint32_t>(value));
    return ZTL::string("-") + FormatFullWidthUnsigned(0u - static_cast<std::uint32_t>(value));
}

ZTL::string FormatColoredNumber(std::int32_t value)
{
    return ZTL::string("#3") + FormatFullWidthNumber(value) + "#";
}

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

ZTL::string GetPlayerDisplayName(bool alternateName)
{
    return alternateName ? "#1紗雪#" : "#1霞野#";
}

ZTL::string GetCharacterDisplayName(const SCharacterNameFacts* character, bool alternateName,
                                    bool playerBlindOrHallucinating)
{
    constexpr std::int32_t kHeroine = 1, kTreasureChest = 6, kIcePillar = 7;
    if (character == nullptr) return "";
    if (character->type == kHeroine) return GetPlayerDisplayName(alternateName);
    if (character->invisibleToPlayer) return "#4見えない敵#";
    if (playerBlindOrHallucinating) return "#4何者か#";
    if (character->type == kIcePillar) return "氷の柱";
    if (character->type == kTreasureChest) return "宝箱";
    if (character->kindId == 0xFFFF) return "";
    ZTL::string name = ZTL::string("#4") + character->kindName;
    if (character->level > 1) name += ZTL::string("Lv") + FormatFullWidthNumber(character->level);
    return name + "#";
}
