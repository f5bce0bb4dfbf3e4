// Seals on weapons and shields, synthesis (pouring one item into another), the seal sets and pairs that
// turn an item into another kind, and the magic stones that work on items.

#include "game/app/game_resource.h"
#include "game/data/fixed_kinds.h"
#include "game/items/item_control.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr std::int32_t kMostSealSlots = 10;
constexpr std::uint16_t kEmptySlot = CItemControl::kNone;
constexpr std::uint16_t kContinuation = 0; // the slots a seal of size n takes after its own

constexpr std::uint16_t kSealRustProof = 61;
constexpr std::uint16_t kSealDigging = 4;
constexpr std::uint16_t kSealPiercing = 19;
constexpr std::uint16_t kSealThreeWay = 13;
constexpr std::uint16_t kSealCurseProof = 33;
constexpr std::uint8_t kDiggingCount = 100;
constexpr std::uint8_t kPiercingCount = 3;
// Seal codes from this one on are those of the magic stones.
constexpr std::uint16_t kFirstStoneSeal = 60;

constexpr std::int32_t kStoneValue = 328;
constexpr std::int32_t kStoneSealSlot = 329;
constexpr std::int32_t kStoneCopy = 330;

std::int32_t UsedSlots(const CItemControl::SItem& item)
{
    return std::clamp<std::int32_t>(item.sealCount, 0, kMostSealSlots);
}

bool IsStoneSeal(std::uint16_t code)
{
    return code >= kFirstStoneSeal && code != kEmptySlot;
}

bool IsOwnEquipment(const CItemControl::SItem& item)
{
    return (item.flags & CItemControl::kOwnEquipment) != 0;
}

// The murmur finaliser: every input bit reaches every output bit.
std::uint32_t Scramble(std::uint32_t h)
{
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

std::uint32_t Mix(std::uint32_t h, std::uint32_t value)
{
    return Scramble(h ^ (value + 0x9E3779B9u + (h << 6) + (h >> 2)));
}

} // namespace

bool CItemControl::AddSeal(SItem& item, std::uint16_t code)
{
    if (code == kContinuation || code == kEmptySlot) return true;
    // A code past the seal table has no size and is no seal.
    if (code >= seals.size()) return false;
    const std::int32_t size = std::max<std::int32_t>(GetSealKind(code).size, 1);
    const std::int32_t slots = UsedSlots(item);
    const std::int32_t used = std::int32_t(
        std::find(item.slots.begin(), item.slots.begin() + slots, kEmptySlot) - item.slots.begin());
    if (used + size > slots) return false;
    item.slots[std::size_t(used)] = code;
    for (std::int32_t i = 1; i < size; ++i)
        item.slots[std::size_t(used + i)] = kContinuation;
    if (code == kSealRustProof && item.value < 0) item.value = 0;
    if (code == kSealDigging) item.extra[0] = kDiggingCount;
    if (code == kSealPiercing) item.extra[1] = kPiercingCount;
    return true;
}

void CItemControl::RemoveSeal(SItem& item, std::int32_t slot)
{
    const std::int32_t slots = UsedSlots(item);
    if (slot < 0 || slot >= slots) return;
    item.slots[std::size_t(slot)] = kEmptySlot;
    for (std::int32_t i = slot + 1; i < slots && item.slots[std::size_t(i)] == kContinuation; ++i)
        item.slots[std::size_t(i)] = kEmptySlot;
    const auto end = std::stable_partition(item.slots.begin(), item.slots.begin() + slots,
                                           [](std::uint16_t code) { return code != kEmptySlot; });
    std::fill(end, item.slots.begin() + slots, kEmptySlot);
}

Math::CRand CItemControl::MakeRemakeGenerator(const SGameResource& game, const SItem& item) const
{
    // The item's place tells one re-make from another within a turn; a warehouse item (or a copy) takes
    // a place outside the item table's.
    std::uint32_t place = kNone;
    if (&item >= items.data() && &item < items.data() + items.size())
        place = std::uint32_t(&item - items.data());
    else if (&item >= warehouse.data() && &item < warehouse.data() + warehouse.size())
        place = 0x10000u + std::uint32_t(&item - warehouse.data());
    std::uint32_t seed = Mix(game.random.seed, std::uint32_t(game.floor));
    seed = Mix(seed, std::uint32_t(game.floorTime));
    seed = Mix(seed, place);
    Math::CRand generator;
    generator.SetSeed(seed);
    generator.seed = seed;
    return generator;
}

bool CItemControl::TransformBySeals(SGameResource& game, SItem& item)
{
    if (item.kind == kNone || IsOwnEquipment(item)) return false;
    const auto all = [&](std::initializer_list<std::uint16_t> codes) {
        return std::all_of(codes.begin(), codes.end(),
                           [&](std::uint16_t code) { return CountSeal(item, code) > 0; });
    };
    const auto isKind = [&](std::initializer_list<std::int32_t> kindIds) {
        return std::find(kindIds.begin(), kindIds.end(), item.kind) != kindIds.end();
    };
    std::int32_t becomes = -1;
    if (item.kind == item_kind::kStoneRemadeWeapon && item.slots[0] == item.slots[1] &&
        item.slots[1] == item.slots[2] && IsStoneSeal(item.slots[0]))
        becomes = item_kind::kStoneSealWeapon;
    else if (item.kind >= item_kind::kDollSlayer && item.kind <= item_kind::kUndeadSlayer &&
             all({5, 6, 7, 8, 9}))
        becomes = item_kind::kSlayersWeapon;
    else if (isKind({55, 56, 57, 58, 65}) && all({30, 31, 32, 33, 39}))
        becomes = item_kind::kGuardsShield;
    else if (item.itemClass == kItemClassWeapon && CountSeal(item, kSealDigging) >= 4)
        becomes = item_kind::kLastingDiggingWeapon;
    else if (item.itemClass == kItemClassShield && all({62, 63, 64, 65, 66}))
        becomes = item_kind::kStatusSealsShield;
    else if (item.itemClass == kItemClassShield && CountSeal(item, 68) >= 3)
        becomes = item_kind::kFireProofShield;
    else if (item.itemClass == kItemClassShield && CountSeal(item, 69) >= 3)
        becomes = item_kind::kColdProofShield;
    if (becomes < 0) return false;
    if (item.kind != becomes) {
        Math::CRand generator = MakeRemakeGenerator(game, item);
        InitItem(item, generator, becomes, 0);
    }
    return true;
}

bool CItemControl::CombineItems(SGameResource& game, SItem& target, const SItem& source)
{
    if (target.kind == kNone || IsOwnEquipment(target)) return false;
    const auto pair = [&](std::int32_t a, std::int32_t b) {
        return (target.kind == a && source.kind == b) || (target.kind == b && source.kind == a);
    };
    const auto atMaximum = [&](const SItem& item) { return item.value >= GetItemKind(item.kind).maximum; };
    std::int32_t becomes = -1;
    if (pair(item_kind::kMoonWeapon, item_kind::kSunWeapon) && atMaximum(target) && atMaximum(source)) {
        becomes = item_kind::kPairWeapon;
    } else if (pair(item_kind::kColdProofShield, item_kind::kFireProofShield)) {
        becomes = item_kind::kProofsShield;
    } else if (target.kind == item_kind::kRawStoneShield && source.kind != kNone &&
               source.itemClass == kItemClassMagicStone && GetItemKind(source.kind).sealCode != kEmptySlot &&
               std::all_of(target.slots.begin(), target.slots.begin() + UsedSlots(target), IsStoneSeal)) {
        becomes = item_kind::kFromRawStoneShield;
    } else if (target.kind == item_kind::kThreeWayWeapon && CountSeal(target, kSealThreeWay) >= 2 &&
               source.kind == item_kind::kThreeWayWeapon) {
        becomes = item_kind::kEightWayWeapon;
    }
    if (becomes < 0) return false;
    Math::CRand generator = MakeRemakeGenerator(game, target);
    InitItem(target, generator, becomes, 0);
    return true;
}

bool CItemControl::ApplyMagicStone(SGameResource& game, SItem& stone, SItem& target)
{
    switch (stone.kind) {
    case kStoneSealSlot:
        return IsEquipmentClass(target.itemClass) && target.kind != kNone && AddSealSlot(target) > 0;
    case kStoneCopy: {
        if (target.kind == kNone) return false;
        Math::CRand generator = MakeRemakeGenerator(game, stone);
        InitItem(stone, generator, target.kind, 0);
        IdentifyItem(stone, false);
        return false;
    }
    case kStoneValue: {
        std::int32_t delta = 0;
        switch (target.itemClass) {
        case kItemClassWeapon:
            delta = target.kind == item_kind::kGrowingWeapon ? 0 : 5;
            break;
        case kItemClassShield:
            delta = target.kind == item_kind::kGrowingShield ? 0 : 5;
            break;
        case kItemClassStaff:
            delta = 10;
            break;
        case kItemClassPen:
            delta = 5;
            break;
        case kItemClassPot:
            delta = 3;
            break;
        case kItemClassGold:
            delta = 10000;
            break;
        default:
            break;
        }
        return delta != 0 && target.kind != kNone && AddValue(target, delta) != 0;
    }
    default:
        return false;
    }
}

bool CItemControl::Synthesize(SGameResource& game, SItem& target, SItem& source)
{
    if (source.kind == kStoneValue || source.kind == kStoneSealSlot || source.kind == kStoneCopy)
        return ApplyMagicStone(game, source, target);
    if (CombineItems(game, target, source)) return true;
    if (target.kind == kNone || source.kind == kNone) return false;
    if (source.itemClass == kItemClassMagicStone ? !IsEquipmentClass(target.itemClass)
                                                 : source.itemClass != target.itemClass)
        return false;
    switch (target.itemClass) {
    case kItemClassStaff:
    case kItemClassPen:
        if (target.kind != source.kind) return false;
        AddValue(target, source.value + 1);
        target.extra[0] = std::uint8_t(target.extra[0] + source.extra[0]);
        return true;
    case kItemClassWeapon:
    case kItemClassShield: {
        const std::int32_t builtIn = GetItemKind(source.kind).sealCode;
        if (source.kind == item_kind::kGoldWeapon || source.kind == item_kind::kGoldShield)
            target.flags |= kPlated;
        else if (builtIn != kEmptySlot)
            AddSeal(target, std::uint16_t(builtIn));
        if (IsEquipmentClass(source.itemClass))
            for (std::int32_t i = 0; i < UsedSlots(source); ++i) {
                const std::uint16_t code = source.slots[std::size_t(i)];
                if (code != kContinuation && code != kEmptySlot) AddSeal(target, code);
            }
        if (target.kind != item_kind::kGrowingWeapon && target.kind != item_kind::kGrowingShield)
            AddValue(target, source.value);
        TransformBySeals(game, target);
        return true;
    }
    default:
        return false;
    }
}

bool CItemControl::SynthesizeByIndex(SGameResource& game, std::uint32_t target, std::uint32_t source)
{
    if (target >= std::uint32_t(kItemCount) || source >= std::uint32_t(kItemCount)) return false;
    SItem& into = items[target];
    SItem& from = items[source];
    if (IsOwnEquipment(from) || !Synthesize(game, into, from)) return false;
    IdentifyItem(into, false);
    into.flags |= kIdentified;
    if (CountSeal(into, kSealCurseProof) > 0) into.flags &= std::uint16_t(~kCursed);
    return true;
}
