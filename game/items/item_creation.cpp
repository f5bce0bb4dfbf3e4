// Making new items: from a kind, from an appearance table, as gold, the numbered item, and an arrow taken
// off a stack. Every random property comes from the generator the caller passes, so that a floor's items
// follow from the run's seed.

#include "game/app/game_resource.h"
#include "game/core/random.h"
#include "game/data/fixed_kinds.h"
#include "game/items/item_control.h"
#include "game/items/pre_identified.h"

namespace {

// The pluses a new weapon or shield draws from, with their weights (out of 128).
constexpr std::int32_t kPluses[] = {0, 1, 2, 3, -1};
const std::vector<std::int32_t> kPlusWeights = {64, 32, 16, 8, 8};
constexpr std::int32_t kPlusWeightTotal = 128;

constexpr std::int32_t kNeverCursed1 = item_kind::kCurseGuard; // 58
constexpr std::int32_t kNeverCursed2 = 189;
constexpr std::int32_t kNumberedItem = 211;

bool IsNeverCursed(std::int32_t kind)
{
    return kind == kNeverCursed1 || kind == kNeverCursed2;
}

} // namespace

std::int32_t CItemControl::InitItem(SItem& item, Math::CRand& generator, std::int32_t kind,
                                    std::int32_t dungeon)
{
    if (kind >= kindCount) return 1;
    item.Clear();
    item.kind = std::uint16_t(kind);
    const SItemKind& record = GetItemKind(kind);
    item.itemClass = std::int8_t(record.classId);

    switch (record.classId) {
    case kItemClassWeapon:
    case kItemClassShield: {
        item.sealCount = std::int8_t(record.sealSlots);
        const std::int32_t pick = PickWeightedIndexWithTotal(kPlusWeights, kPlusWeightTotal, generator);
        AddValue(item, pick >= 0 ? kPluses[pick] : 0);
        if (kind == item_kind::kDiggingWeapon) item.extra[0] = std::uint8_t(RandomRange(generator, 80, 100));
        if (kind == item_kind::kPiercingWeapon) item.extra[1] = std::uint8_t(RandomRange(generator, 3, 5));
        break;
    }
    case kItemClassArrow:
        item.value = std::int16_t(RandomRange(generator, record.maximum / 2, record.maximum) + 1);
        break;
    case kItemClassStaff:
    case kItemClassPen:
    case kItemClassPot:
        item.value = std::int16_t(RandomRange(generator, record.base, record.maximum + 1));
        break;
    case kItemClassFood:
    case kItemClassPotion:
    case kItemClassScroll:
    case kItemClassMagicStone:
        break;
    default:
        return 2;
    }

    // Deeper dungeons curse one item in 32; a weapon or shield below its plain strength always.
    if (dungeon > 1 && record.classId != kItemClassPot && !IsNeverCursed(kind)) {
        const bool cursed = IsEquipmentClass(record.classId) && item.value < 0
                                ? true
                                : !generator.noRandom && RandomMask(generator, 31) == 1;
        if (cursed) item.flags |= kCursed;
    }
    if (kind == item_kind::kCursedShield) item.flags |= kCursed;
    // The sword and shield named by their plus begin at their lowest, whatever plus was drawn: their names
    // grow with the plus, and a new one is never already polished.
    if (kind == item_kind::kPlusNamedSword || kind == item_kind::kPlusNamedShield)
        AddValue(item, -record.base - item.value);

    if (dungeon < 0 || dungeon >= kPreIdentifiedDungeons) return 3;
    if (g_preIdentifiedClassSets[std::size_t(dungeon)].count(record.classId) != 0)
        item.flags |= kIdentified | kExamined;
    switch (record.classId) {
    case kItemClassPotion:
    case kItemClassScroll:
    case kItemClassMagicStone:
    case kItemClassPot:
        if (IsKindIdentified(kind, false)) item.flags |= kIdentified;
        break;
    default:
        break;
    }
    return 0;
}

std::uint16_t CItemControl::CreateItem(std::int32_t kind, Math::CRand& generator, std::int32_t dungeon)
{
    if (kind < 0 || kind >= kindCount) return kNone;
    const std::uint16_t index = FindFreeItem();
    if (index == kNone) return kNone;
    SItem& item = items[index];
    const std::int32_t result = InitItem(item, generator, kind, dungeon);
    if (result == 1 || result == 2) {
        // A kind that makes no item leaves the slot free rather than holding a half-made record.
        item.Clear();
        return kNone;
    }
    itemMark = std::max(itemMark, std::int32_t(index) + 1);
    return index;
}

std::uint16_t CItemControl::CreateItemFromTable(Math::CRand& generator,
                                                const std::vector<std::int32_t>& weights,
                                                const std::vector<std::int32_t>& kindList, std::int32_t total,
                                                std::int32_t dungeon)
{
    const std::int32_t pick = PickWeightedIndexWithTotal(weights, total, generator);
    if (pick < 0 || std::size_t(pick) >= kindList.size()) return kNone;
    const std::int32_t kind = kindList[std::size_t(pick)];
    if (kind < 0) return kNone;
    return CreateItem(kind, generator, dungeon);
}

std::uint16_t CItemControl::CreateGold(Math::CRand& generator, std::int32_t floor, std::int32_t amount)
{
    const std::uint16_t index = FindFreeItem();
    if (index == kNone) return kNone;
    SItem& gold = items[index];
    gold.Clear();
    gold.kind = std::uint16_t(item_kind::kGold);
    gold.itemClass = kItemClassGold;
    gold.flags = kIdentified;
    if (amount < 1) {
        const std::int32_t level = floor > 100 ? (floor + 100) / 2 : floor;
        amount = 4 * level + 400 + RandomBelow(generator, 12 * level + 100);
    }
    AddValue(gold, amount);
    itemMark = std::max(itemMark, std::int32_t(index) + 1);
    return index;
}

std::uint16_t CItemControl::CreateNumberedItem(std::int32_t number)
{
    if (kindCount <= kNumberedItem) return kNone;
    // The goal floor's rewards are meant to differ from play to play: the clock seeds them.
    Math::CRand generator = ConstructSeededRand();
    const std::uint16_t index = CreateItem(kNumberedItem, generator, 0);
    if (index == kNone) return kNone;
    SItem& item = items[index];
    item.extra[0] = std::uint8_t(number);
    IdentifyItem(item, false);
    return index;
}

std::uint16_t CItemControl::SplitOneArrow(std::uint16_t index)
{
    SItem& stack = GetItem(index);
    // A stack of one (or an emptied one) has no arrow to spare.
    if (stack.kind == kNone || stack.itemClass != kItemClassArrow || stack.value <= 1) return index;
    const std::uint16_t single = FindFreeItem();
    if (single == kNone) return kNone;
    items[single] = stack;
    items[single].value = 1;
    AddValue(stack, -1);
    itemMark = std::max(itemMark, std::int32_t(single) + 1);
    return single;
}
