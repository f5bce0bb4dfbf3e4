// What the player knows of items: the identification state of kinds and items, nicknames, the
// catalogue of seen kinds, and the names that messages and menus show.

#include "game/data/fixed_kinds.h"
#include "game/items/item_control.h"
#include "game/items/pre_identified.h"
#include "sdk/ztl/sjis.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::int32_t kUnidentified = 0;
constexpr std::int32_t kTried = 1;
constexpr std::int32_t kKnown = 2;

// Kinds known in every dungeon: the escape scroll and the first pot.
constexpr std::int32_t kAlwaysKnown[] = {item_kind::kEscapeScroll, item_kind::kFirstPot};

// Potions, scrolls, magic stones and pots: identified through their kind alone.
bool IsKindNamedClass(std::int32_t itemClass)
{
    return itemClass == kItemClassPotion || itemClass == kItemClassScroll ||
           itemClass == kItemClassMagicStone || itemClass == kItemClassPot;
}

// The prefix of a nicknamed kind's name, by class.
const char* NicknamePrefix(std::int32_t itemClass)
{
    switch (itemClass) {
    case kItemClassPotion:
        return "水薬：";
    case kItemClassScroll:
        return "巻物：";
    case kItemClassMagicStone:
        return "魔法石：";
    case kItemClassStaff:
        return "杖：";
    case kItemClassPen:
        return "ペン：";
    case kItemClassPot:
        return "壺：";
    default:
        return "";
    }
}

ZTL::string Number(std::int32_t n)
{
    return std::to_string(n).c_str();
}

// The state of a kind in the states array, or -1 outside it.
std::int32_t StateOf(const std::vector<std::int32_t>& states, std::int32_t kind)
{
    return kind >= 0 && std::size_t(kind) < states.size() ? states[std::size_t(kind)] : -1;
}

} // namespace

// ---- The item records' tests, through the application's item control.

bool CItemControl::SItem::IsIdentified() const
{
    if (const CItemControl* control = g_itemControl) return control->IsIdentified(*this);
    return (flags & (kWet | kFrozen)) == 0 && (flags & kIdentified) != 0;
}

bool CItemControl::SItem::IsKnownOrTried() const
{
    if (const CItemControl* control = g_itemControl) return control->IsKnownOrTried(*this);
    return (flags & (kIdentified | kExamined)) != 0;
}

bool CItemControl::SItem::IsKindKnown() const
{
    if (const CItemControl* control = g_itemControl) return control->IsKindKnown(*this);
    return IsEquipmentClass(itemClass);
}

bool CItemControl::IsIdentified(const SItem& item) const
{
    if ((item.flags & (kWet | kFrozen)) != 0) return false;
    if ((item.flags & kIdentified) != 0) return true;
    return IsKindNamedClass(item.itemClass) && StateOf(kindState, item.kind) == kKnown;
}

bool CItemControl::IsKnownOrTried(const SItem& item) const
{
    if ((item.flags & (kIdentified | kExamined)) != 0) return true;
    return IsKindNamedClass(item.itemClass) && IsKindIdentified(item.kind, true);
}

bool CItemControl::IsKindKnown(const SItem& item) const
{
    return IsEquipmentClass(item.itemClass) || StateOf(kindState, item.kind) == kKnown;
}

// ---- Kinds.

void CItemControl::ResetIdentification(std::int32_t dungeon)
{
    nicknames.clear();
    if (dungeon < 0 || dungeon >= kPreIdentifiedDungeons) return;
    const std::set<std::int32_t>& known = g_preIdentifiedClassSets[std::size_t(dungeon)];
    kindState.resize(kinds.size(), kUnidentified);
    for (std::size_t kind = 0; kind < kinds.size(); ++kind)
        kindState[kind] = known.count(kinds[kind].classId) != 0 ? kKnown : kUnidentified;
    for (std::int32_t kind : kAlwaysKnown)
        if (std::size_t(kind) < kindState.size()) kindState[std::size_t(kind)] = kKnown;
}

void CItemControl::IdentifyItem(SItem& item, bool partial)
{
    if (item.kind >= kindState.size()) return;
    std::int32_t& state = kindState[item.kind];
    item.flags |= kExamined;
    if (IsEquipmentClass(item.itemClass) || !partial) {
        item.flags |= kIdentified | kExamined;
        state = kKnown;
        nicknames.erase(item.kind);
        for (std::int32_t i = 0; i < itemMark && i < kItemCount; ++i) {
            SItem& other = items[std::size_t(i)];
            if (other.kind == item.kind && (other.flags & kExamined) != 0) other.flags |= kIdentified;
        }
        return;
    }
    if (state == kUnidentified) state = kTried;
    if (state == kKnown) item.flags |= kIdentified;
}

bool CItemControl::IsKindIdentified(std::int32_t kind, bool loose) const
{
    const std::int32_t state = StateOf(kindState, kind);
    if (state < 0) return false;
    if (loose && IsKindNamedClass(GetItemKind(kind).classId)) return state != kUnidentified;
    return state == kKnown;
}

bool CItemControl::IsKindUnidentified(std::int32_t kind) const
{
    if (kind < 0 || kind >= kindCount) return false;
    const std::int32_t itemClass = GetItemKind(kind).classId;
    return itemClass >= kItemClassPotion && itemClass <= kItemClassPot && !IsKindIdentified(kind, false);
}

void CItemControl::MarkKindSeen(std::int32_t kind)
{
    if (kind < 0 || std::size_t(kind) >= seen.size()) return;
    if (IsEquipmentClass(GetItemKind(kind).classId) || StateOf(kindState, kind) == kKnown)
        seen[std::size_t(kind)] = 1;
}

std::uint8_t CItemControl::IsKindSeen(std::int32_t kind) const
{
    return kind >= 0 && std::size_t(kind) < seen.size() ? seen[std::size_t(kind)] : 0;
}

void CItemControl::SetKindNickname(std::int32_t kind, const ZTL::string& text)
{
    if (text.empty())
        nicknames.erase(kind);
    else
        nicknames[kind] = text;
}

// ---- Names.

namespace {

// The unidentified name the kind shows this adventure; empty when the tables do not reach it.
ZTL::string AppearanceName(const CItemControl& control, std::int32_t kind)
{
    const std::int32_t name = control.GetAppearanceNumber(kind);
    if (name < 0) return "";
    const std::int32_t list = CItemControl::GetAppearanceList(control.GetItemKind(kind).classId);
    const std::vector<ZTL::string>& names = control.appearanceNames[std::size_t(list)];
    return std::size_t(name) < names.size() ? names[std::size_t(name)] : ZTL::string();
}

// The name of an item of a class that hides its kind: the true name once the kind is identified, else
// the nickname with its class's prefix, else the appearance name.
ZTL::string HiddenKindName(const CItemControl& control, const CItemControl::SItem& item)
{
    if (control.IsKindIdentified(item.kind, false)) return control.GetItemKind(item.kind).name;
    const auto nickname = control.nicknames.find(item.kind);
    if (nickname == control.nicknames.end()) return AppearanceName(control, item.kind);
    return ZTL::string(NicknamePrefix(item.itemClass)) + nickname->second;
}

// "[n]" for the pot's free slots: its size less the contents before the first empty slot.
ZTL::string PotSuffix(const CItemControl::SItem& pot)
{
    const std::int32_t size = std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
    std::int32_t used = 0;
    while (used < size && pot.slots[std::size_t(used)] != CItemControl::kNone)
        ++used;
    return ZTL::string("[") + Number(size - used) + "]";
}

} // namespace

ZTL::string CItemControl::GetDisplayName(const SItem& item) const
{
    const bool frozen = (item.flags & kFrozen) != 0;
    const bool wet = (item.flags & kWet) != 0;
    switch (item.itemClass) {
    case kItemClassScroll:
        if (frozen) return "凍った巻物";
        if (wet) return "ぬれた巻物";
        break;
    case kItemClassFood:
        if (frozen) return "凍ったおにぎり";
        if (wet) return "デロデロおにぎり";
        break;
    case kItemClassPotion:
        if (frozen) return "凍った水薬";
        break;
    case kItemClassPen:
        if (frozen) return "凍ったインクのペン";
        break;
    default:
        break;
    }

    const SItemKind& kind = GetItemKind(item.kind);
    switch (item.itemClass) {
    case kItemClassWeapon:
    case kItemClassShield: {
        ZTL::string name = kind.name;
        const bool sword = item.kind == item_kind::kPlusNamedSword;
        if ((sword || item.kind == item_kind::kPlusNamedShield) && item.value >= 0) {
            if (item.value <= 50)
                name = sword ? "磨き上げた剣" : "磨き上げた盾";
            else
                name = sword ? "鍛え抜かれた剣" : "鍛え抜かれた盾";
        }
        if ((item.flags & kIdentified) != 0 && item.value != 0)
            name += item.value > 0 ? ZTL::string("+") + Number(item.value) : Number(item.value);
        return name;
    }
    case kItemClassArrow:
        if (item.value > 1) return Number(item.value) + "本の" + kind.name;
        return kind.name;
    case kItemClassFood:
        return kind.name;
    case kItemClassPotion:
    case kItemClassScroll:
    case kItemClassMagicStone:
        return HiddenKindName(*this, item);
    case kItemClassStaff:
    case kItemClassPen: {
        ZTL::string name = HiddenKindName(*this, item);
        const std::int32_t count = std::int8_t(item.extra[0]);
        if ((item.flags & (kIdentified | kExamined)) != 0)
            name += ZTL::string("[") + Number(item.value) + "]";
        else if (count < 0)
            name += ZTL::string("[") + Number(count) + "]";
        return name;
    }
    case kItemClassPot:
        return HiddenKindName(*this, item) + PotSuffix(item);
    case kItemClassGold:
        return Number(item.GetValue()) + kind.name;
    default:
        return "";
    }
}

std::int32_t CItemControl::GetAppearanceNumber(std::int32_t kind) const
{
    const std::int32_t itemClass = GetItemKind(kind).classId;
    const std::int32_t list = GetAppearanceList(itemClass);
    if (list < 0) return -1;
    const std::int32_t first = firstKindOfClass[std::size_t(itemClass)];
    const std::vector<std::int32_t>& order = appearanceOrder[std::size_t(list)];
    const std::int32_t j = kind - first;
    if (first < 0 || j < 0 || std::size_t(j) >= order.size()) return -1;
    return order[std::size_t(j)];
}

SItemMarkFacts CItemControl::GetMarkFacts(std::uint16_t index)
{
    const SItem& item = GetItem(index);
    return {.itemClass = item.itemClass,
            .flags = item.flags,
            .plus = item.value,
            .firstSeal = item.slots[0],
            .identified = IsIdentified(item),
            .kindMaxPlus = GetItemKind(item.kind).maximum};
}

ZTL::string CItemControl::GetDisplayName(std::uint16_t index)
{
    return GetDisplayName(GetItem(index));
}

ZTL::string CItemControl::GetKindName(std::int32_t kind)
{
    return GetItemKind(kind).name;
}

ZTL::string CItemControl::GetKindShortName(std::int32_t kind) const
{
    const ZTL::string& name = GetItemKind(kind).name;
    const std::string_view of = "の";
    const std::string_view text(name.c_str(), name.length());
    // Character by character, so that a trail byte is never taken for the start of "の".
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, of.size()) == of) last = i;
        i += ZTL::IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    if (last == std::string_view::npos) return name;
    return ZTL::string(name.c_str(), ZTL::string::size_type(last));
}

ZTL::string CItemControl::GetMagicCircleName(std::int32_t penKind) const
{
    if (StateOf(kindState, penKind) == kKnown) {
        ZTL::string name = GetItemKind(penKind).name;
        return name.replace("ペン", "魔法陣");
    }
    const auto nickname = nicknames.find(penKind);
    if (nickname != nicknames.end()) return ZTL::string("魔法陣：") + nickname->second;
    ZTL::string name = AppearanceName(*this, penKind);
    return name.replace("インクのペン", "魔法陣");
}

void CItemControl::ListKindsOfClass(std::int32_t itemClass, std::vector<std::int32_t>& list) const
{
    list.clear();
    if (itemClass < 0 || itemClass >= kClassCount) return;
    const std::int32_t first = firstKindOfClass[std::size_t(itemClass)];
    if (first < 0) return;
    for (std::size_t kind = std::size_t(first); kind < kinds.size(); ++kind) {
        const std::int32_t kindClass = kinds[kind].classId;
        if (kindClass > itemClass) break;
        if (kindClass != itemClass) continue;
        // The growing weapon and shield stay secret until met.
        if ((kind == std::size_t(item_kind::kGrowingWeapon) ||
             kind == std::size_t(item_kind::kGrowingShield)) &&
            IsKindSeen(std::int32_t(kind)) == 0)
            continue;
        list.push_back(std::int32_t(kind));
    }
    std::stable_sort(list.begin(), list.end(), [this](std::int32_t a, std::int32_t b) {
        return kinds[std::size_t(a)].number < kinds[std::size_t(b)].number;
    });
}

void CItemControl::ListKindsOfClassMatching(const ZTL::string& text, std::vector<std::int32_t>& list,
                                            std::int32_t itemClass) const
{
    list.clear();
    const std::string_view wanted(text.c_str(), text.length());
    for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
        const SItemKind& record = kinds[kind];
        if (record.classId != itemClass || IsKindSeen(std::int32_t(kind)) == 0) continue;
        const std::string_view token(record.token.c_str(), record.token.length());
        if (token.substr(0, wanted.size()) == wanted) list.push_back(std::int32_t(kind));
    }
}
