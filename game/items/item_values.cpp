// The value field of items (plus, count, charges, size or gold) and what it changes: strengthening,
// seal slots, prices and whether a use asks for a second item.

#include "game/core/random.h"
#include "game/data/fixed_kinds.h"
#include "game/items/item_control.h"

#include <algorithm>

namespace {

constexpr std::int32_t kMostArrows = 10000;
constexpr std::int32_t kMostCharges = 99;
constexpr std::int32_t kMostPotSize = 8;
constexpr std::int32_t kMostGold = 1000000;
constexpr std::int32_t kMostSealSlots = 10;
constexpr std::int32_t kGoldPart = 32768;
constexpr std::int32_t kPotContentSlots = 8;

constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kEquippingPot = 359; // its contents count as free slots as well
// How deep pots inside pots are priced; deeper contents (only a damaged save holds them) count nothing.
constexpr std::int32_t kDeepestPot = 8;
constexpr std::int32_t kTargetFreePots[] = {354, 355};
constexpr std::int32_t kTargetScrolls[] = {180, 192, 193, 205, 206};

// The value within lo .. hi (hi wins should a kind's numbers cross).
std::int32_t Keep(std::int64_t value, std::int32_t lo, std::int32_t hi)
{
    return std::int32_t(std::min<std::int64_t>(std::max<std::int64_t>(value, lo), hi));
}

// The value field holds 16 bits.
std::int32_t KeepShort(std::int32_t value)
{
    return Keep(value, INT16_MIN, INT16_MAX);
}

// SItem::AddValue with the item's kind record.
std::int32_t AddValueOfKind(CItemControl::SItem& item, std::int32_t delta, const SItemKind& kind)
{
    if (item.kind == CItemControl::kNone) return -1;
    const std::int32_t old = item.value;
    // The sum is taken whole: a large change meets the class's limit rather than wrapping round 16 bits.
    const std::int64_t sum = std::int64_t(old) + delta;
    std::int32_t now = 0;
    switch (item.itemClass) {
    case kItemClassWeapon:
    case kItemClassShield:
        now = KeepShort(Keep(sum, -kind.base, kind.maximum));
        break;
    case kItemClassArrow:
        now = Keep(sum, 0, kMostArrows);
        break;
    case kItemClassStaff:
    case kItemClassPen:
        now = Keep(sum, 0, kMostCharges);
        break;
    case kItemClassPot:
        now = Keep(sum, 0, kMostPotSize);
        if (now == old) return 0;
        // Contents beyond the new size are no longer the pot's.
        for (std::int32_t slot = now; slot < kPotContentSlots; ++slot)
            item.slots[std::size_t(slot)] = CItemControl::kNone;
        break;
    case kItemClassGold: {
        const std::int32_t before = item.GetValue();
        const std::int32_t amount = Keep(std::int64_t(before) + delta, 0, kMostGold);
        item.value = std::int16_t(amount & 0x7FFF);
        item.extra[0] = std::uint8_t(amount / kGoldPart);
        return amount - before;
    }
    default:
        item.value = std::int16_t(std::uint16_t(std::uint32_t(old) + std::uint32_t(delta)));
        return -1;
    }
    item.value = std::int16_t(now);
    return now - old;
}

} // namespace

std::int32_t CItemControl::SItem::AddValue(std::int32_t delta)
{
    if (const CItemControl* control = g_itemControl) return control->AddValue(*this, delta);
    static const SItemKind unknown; // no kind known: the limits of an empty kind record
    return AddValueOfKind(*this, delta, unknown);
}

std::int32_t CItemControl::AddValue(SItem& item, std::int32_t delta) const
{
    return AddValueOfKind(item, delta, GetItemKind(item.kind));
}

std::int32_t CItemControl::AddSealSlot(SItem& item)
{
    if (item.kind == kNone || !IsEquipmentClass(item.itemClass)) return -1;
    const std::int32_t old = item.sealCount;
    const std::int32_t now = Keep(old + 1, 0, kMostSealSlots);
    if (now == old) return 0;
    item.sealCount = std::int8_t(now);
    for (std::int32_t slot = now; slot < kMostSealSlots; ++slot)
        item.slots[std::size_t(slot)] = kNone;
    return now - old;
}

void CItemControl::EnhanceItem(SItem& item, Math::CRand& generator)
{
    if (item.kind == kNone) return;
    switch (item.itemClass) {
    case kItemClassWeapon:
    case kItemClassShield:
        item.flags &= std::uint16_t(~kCursed);
        if (item.value < 0) item.value = 0;
        if (RandomBelow(generator, 2) == 0)
            AddValue(item, 4);
        else
            AddSealSlot(item);
        break;
    case kItemClassArrow:
        AddValue(item, item.value);
        break;
    case kItemClassStaff:
    case kItemClassPen:
        AddValue(item, GetItemKind(item.kind).base);
        break;
    case kItemClassPot:
        AddValue(item, 3);
        break;
    default:
        break;
    }
}

namespace {

std::int32_t Saturate(std::int64_t price)
{
    return std::int32_t(std::min<std::int64_t>(price, INT32_MAX));
}

} // namespace

std::int32_t CItemControl::GetItemPrice(const SItem& item, std::int32_t buying, std::int32_t inWarehouse)
{
    return PriceOf(item, buying != 0, inWarehouse != 0, 0);
}

std::int32_t CItemControl::PriceOf(const SItem& item, bool buying, bool inWarehouse, std::int32_t depth) const
{
    if (!buying && (item.flags & kShopGoods) != 0) return 0;
    const SItemKind& kind = GetItemKind(item.kind);
    const std::int64_t base = buying ? kind.buyPrice : kind.sellPrice;
    std::int64_t price = base;
    switch (item.itemClass) {
    case kItemClassWeapon:
    case kItemClassShield: {
        price = base + item.value * base / 10;
        const std::int32_t used =
            std::clamp<std::int32_t>(item.sealCount, 0, std::int32_t(item.slots.size()));
        for (std::int32_t slot = 0; slot < used; ++slot) {
            const std::uint16_t code = item.slots[std::size_t(slot)];
            if (code == 0 || code == kNone) continue;
            const SSealKind& seal = GetSealKind(code);
            price += buying ? seal.buyPrice : seal.sellPrice;
        }
        if ((item.flags & kPlated) != 0) price += price / 5;
        break;
    }
    case kItemClassArrow:
        price = item.value * base;
        break;
    case kItemClassStaff:
        price = base + item.value * base / 10;
        break;
    case kItemClassPen:
        price = base + item.value * base / 5;
        break;
    case kItemClassPot: {
        const std::int32_t size = std::clamp<std::int32_t>(item.value, 0, std::int32_t(item.slots.size()));
        std::int64_t free = 0;
        std::int64_t contents = 0;
        if (item.kind == kWaterJar) {
            free = size;
        } else {
            for (std::int32_t slot = 0; slot < size; ++slot) {
                const std::uint16_t index = item.slots[std::size_t(slot)];
                if (index == kNone) {
                    ++free;
                    continue;
                }
                if (item.kind == kEquippingPot) ++free;
                // An index outside the table names the empty item, worth nothing.
                if (index >= kItemCount || depth >= kDeepestPot) continue;
                const SItem& content = inWarehouse ? warehouse[index] : items[index];
                // A shop's pot is not sold with what of the heroine's own lies in it.
                if ((item.flags & kShopGoods) != 0 && (content.flags & kShopGoods) == 0) continue;
                contents += PriceOf(content, buying, inWarehouse, depth + 1);
            }
        }
        price = base + contents + free * base / 5;
        break;
    }
    default:
        break;
    }
    if ((item.flags & kCursed) != 0) price -= price / 10;
    if (!buying && (item.flags & kOwnEquipment) != 0) return 1;
    return price < 0 ? 0 : Saturate(price);
}

bool CItemControl::UseNeedsTargetItem(const SItem& item) const
{
    if (item.kind == kNone) return false;
    switch (item.itemClass) {
    case kItemClassScroll:
        return std::find(std::begin(kTargetScrolls), std::end(kTargetScrolls), item.kind) !=
               std::end(kTargetScrolls);
    case kItemClassMagicStone:
        return true;
    case kItemClassPot:
        if (item.kind == kWaterJar && IsKindIdentified(kWaterJar, false)) return false;
        if (std::find(std::begin(kTargetFreePots), std::end(kTargetFreePots), item.kind) !=
                std::end(kTargetFreePots) &&
            IsIdentified(item))
            return false;
        return true;
    default:
        return false;
    }
}

std::int32_t CItemControl::GetEquipmentPower(const SItem& item) const
{
    if (item.kind == kNone || !IsEquipmentClass(item.itemClass)) return 0;
    constexpr std::uint16_t kPowerSeal = 67;
    constexpr std::int32_t kPowerPerSeal = 7;
    return item.value + GetItemKind(item.kind).base +
           kPowerPerSeal * std::int32_t(CountSeal(item, kPowerSeal));
}

std::int32_t CItemControl::GetWeaponAttackWeight(std::int32_t kind) const
{
    if (GetItemKind(kind).classId != kItemClassWeapon || std::size_t(kind) >= attackWeights.size()) return 0;
    return attackWeights[std::size_t(kind)];
}

std::int32_t CItemControl::GetWeaponMoveWeight(std::int32_t kind) const
{
    if (GetItemKind(kind).classId != kItemClassWeapon || std::size_t(kind) >= moveWeights.size()) return 0;
    return moveWeights[std::size_t(kind)];
}
