// The states of items: curse and plating, wet and frozen food, scrolls and potions, the water jar's ice,
// fire on a carried item, rust, and the pot that soaks up puddles; and the sweeps over the whole table.

#include "game/app/game_resource.h"
#include "game/core/random.h"
#include "game/data/fixed_kinds.h"
#include "game/items/item_control.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::int32_t kNeverCursed = 189;
constexpr std::int32_t kBurntFood = 125;
constexpr std::int32_t kDriedFood = 123;
constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kPuddlePot = 352;
constexpr std::uint16_t kWater = 0;
constexpr std::uint16_t kIce = 1;
constexpr std::uint16_t kSealRustProof = 61;
constexpr std::int32_t kCircleRustGuard = 280;
constexpr std::int32_t kSealTakingRust = 4;
constexpr std::int32_t kTerrainWater = 4;

bool NeverRusts(std::int32_t kind)
{
    return kind == item_kind::kGoldWeapon || kind == item_kind::kGoldShield;
}

bool CanGetWet(const CItemControl::SItem& item)
{
    return (item.itemClass == kItemClassFood && item.kind != kBurntFood) ||
           item.itemClass == kItemClassScroll;
}

// The water jar's slots below its size.
std::int32_t JarSize(const CItemControl::SItem& jar)
{
    return std::clamp<std::int32_t>(jar.value, 0, std::int32_t(jar.slots.size()));
}

void MeltAllIce(CItemControl::SItem& item)
{
    if (item.kind != kWaterJar) return;
    for (std::uint16_t& slot : item.slots)
        if (slot == kIce) slot = kWater;
}

} // namespace

bool CItemControl::SItem::Curse()
{
    if ((flags & kCursed) != 0 || kind == item_kind::kCurseGuard || kind == kNeverCursed) return false;
    flags |= kCursed;
    return true;
}

bool CItemControl::SItem::Plate()
{
    if (kind == kNone || !IsEquipmentClass(itemClass) || (flags & kPlated) != 0 || NeverRusts(kind))
        return false;
    flags |= kPlated;
    return true;
}

bool CItemControl::SItem::MakeWet()
{
    if (!CanGetWet(*this) || (flags & kWet) != 0) return false;
    flags |= kWet;
    return true;
}

bool CItemControl::SItem::Freeze()
{
    if ((flags & kFrozen) != 0) return false;
    if (kind == kWaterJar && itemClass == kItemClassPot) {
        bool turned = false;
        for (std::int32_t i = 0; i < JarSize(*this); ++i)
            if (slots[std::size_t(i)] == kWater) {
                slots[std::size_t(i)] = kIce;
                turned = true;
            }
        return turned;
    }
    const bool freezes =
        itemClass == kItemClassPotion || (itemClass == kItemClassPen && value > 0) || (flags & kWet) != 0;
    if (!freezes) return false;
    flags = std::uint16_t((flags & ~kWet) | kFrozen);
    return true;
}

std::int32_t CItemControl::SItem::Heat()
{
    if ((flags & kWet) != 0) {
        flags &= std::uint16_t(~kWet);
        return 3;
    }
    if ((flags & kFrozen) != 0) {
        flags &= std::uint16_t(~kFrozen);
        MakeWet();
        return 2;
    }
    if (itemClass == kItemClassFood && kind != kBurntFood) {
        flags &= std::uint16_t(~(kWet | kFrozen));
        kind = kBurntFood;
        return 1;
    }
    if (itemClass == kItemClassScroll || itemClass == kItemClassStaff) return -1;
    return 0;
}

std::int32_t CItemControl::RustItem(SGameResource& game, std::uint16_t index, std::int32_t strength,
                                    bool showMessage)
{
    if (index == kNone) return 0;
    SItem& item = GetItem(index);
    const auto say = [&](const char* text, bool named = true) {
        if (!showMessage) return;
        game.messageWindow.AddMessage(
            -1, 1, (named ? GetColoredItemNameByIndex(*this, index) : ZTL::string()) + text);
    };
    if (!IsEquipmentClass(item.itemClass)) {
        item.MakeWet();
        return 0;
    }
    if (CountSeal(item, kSealRustProof) > 0 || NeverRusts(item.kind)) {
        say("は 錆びない。");
        return 0;
    }
    CCharacterControl::SPlayer& player = game.characters.player;
    if (game.rulesVersion >= 2 && player.CountCircles(game, kCircleRustGuard) > 0) {
        say("は 錆びなかった。");
        return 0;
    }
    if (strength == kSealTakingRust && RandomMask(game.random, 1) == 0) {
        std::vector<std::int32_t> sealSlots;
        for (std::size_t i = 0; i < item.slots.size(); ++i)
            if (item.slots[i] != 0 && item.slots[i] != kNone) sealSlots.push_back(std::int32_t(i));
        if (sealSlots.empty()) return 0;
        const std::int32_t slot =
            sealSlots[std::size_t(RandomBelow(game.random, std::int32_t(sealSlots.size())))];
        if (slot < item.sealCount) RemoveSeal(item, slot);
        say("の能力が\nひとつ　消えてしまった！");
        return 0;
    }
    if (item.kind == item_kind::kStoneRemadeWeapon || item.kind == item_kind::kStoneSealWeapon ||
        item.kind == item_kind::kRawStoneShield || item.kind == item_kind::kFromRawStoneShield) {
        say("は 錆びなかった。");
        return 0;
    }
    if (player.CountCircles(game, kCircleRustGuard) > 0) {
        say("は 錆びなかった。");
        return 0;
    }
    if ((item.flags & kPlated) != 0) {
        if (strength >= 3) {
            item.flags &= std::uint16_t(~kPlated);
            say("の\nメッキが はがれてしまった！");
        } else {
            say("は\nメッキされていて 錆びなかった。");
        }
        return 0;
    }
    if (AddValue(item, -1) == 0) {
        say("しかし　なんともなかった。", false);
        return 0;
    }
    const bool rots = item.kind == item_kind::kFirstRoadWeapon || item.kind == item_kind::kOpeningWeapon ||
                      item.kind == item_kind::kFirstRoadShield;
    say(rots ? "は\nくさって 弱くなってしまった。" : "は\n錆びて 弱くなってしまった。");
    return 0;
}

bool CItemControl::AbsorbPuddle(SGameResource& game, std::uint16_t index, std::int32_t x, std::int32_t y)
{
    SItem& pot = GetItem(index);
    if (pot.kind != kPuddlePot || pot.itemClass != kItemClassPot) return false;
    const std::int32_t size = std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
    if (size == 0 || pot.slots[std::size_t(size - 1)] != kNone) return false;
    if (x < 0 || y < 0 || x >= CMapControl::kWidth || y >= CMapControl::kHeight) return false;
    if (game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain != kTerrainWater) return false;
    game.map.DryWaterRegion(x, y);
    AddValue(pot, -1);
    game.map.RefreshViewRecords();
    return true;
}

void CItemControl::ClearAllItemStates()
{
    for (std::int32_t i = 0; i < itemMark && i < kItemCount; ++i) {
        SItem& item = items[std::size_t(i)];
        if (item.kind == kNone) continue;
        item.flags &= std::uint16_t(~(kWet | kFrozen | kShopGoods | kUsedUp | kUnpaid));
        MeltAllIce(item);
    }
}

void CItemControl::ClearElementalStates()
{
    for (std::int32_t i = 0; i < itemMark && i < kItemCount; ++i) {
        SItem& item = items[std::size_t(i)];
        if (item.kind == kNone) continue;
        item.flags &= std::uint16_t(~(kWet | kFrozen));
        MeltAllIce(item);
    }
}

void CItemControl::ThawAndDryAllItems()
{
    for (std::int32_t i = 0; i < itemMark && i < kItemCount; ++i) {
        SItem& item = items[std::size_t(i)];
        if (item.kind == kNone) continue;
        if ((item.flags & kFrozen) == 0) {
            if ((item.flags & kWet) != 0) {
                item.flags &= std::uint16_t(~kWet);
                if (item.itemClass == kItemClassFood) item.kind = kDriedFood;
            }
        } else {
            item.flags &= std::uint16_t(~kFrozen);
            item.MakeWet();
        }
        if (item.kind == kWaterJar) {
            for (std::int32_t slot = JarSize(item) - 1; slot >= 0; --slot)
                if (item.slots[std::size_t(slot)] == kIce) {
                    item.slots[std::size_t(slot)] = kWater;
                    break;
                }
        }
    }
}
