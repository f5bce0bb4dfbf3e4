#pragma once
// Item and trap names as messages embed them. Colour marks are those of the message and select windows:
// "#" and a code open a coloured run and the next "#" closes it.
//
// What a name depends on in the item records comes in as a small record of facts (the item control fills
// it), and the item control's lookups through IItemNaming.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

// What an item's colour mark is chosen from.
struct SItemMarkFacts
{
    std::int32_t itemClass = 0;       // 0 none, 1 weapon, 2 shield, ...
    std::uint16_t flags = 0;          // 0x04 cursed
    std::int32_t plus = 0;            // the item's value: its plus for weapons and shields
    std::uint16_t firstSeal = 0xFFFF; // the first seal slot, 0xFFFF empty
    bool identified = false;          // the item's identification test, which depends on its kind's state
    std::int32_t kindMaxPlus = 0;     // the kind's maximum plus
};

// The item control's lookups that the names by index need (the item control implements it).
class IItemNaming
{
public:
    // The facts of the item of that table index.
    virtual SItemMarkFacts GetMarkFacts(std::uint16_t index) = 0;
    // The name of the item of that table index as its state shows it.
    virtual ZTL::string GetDisplayName(std::uint16_t index) = 0;
    // The name of an item kind.
    virtual ZTL::string GetKindName(std::int32_t kind) = 0;

protected:
    ~IItemNaming() = default;
};

inline constexpr std::uint16_t kNoItem = 0xFFFF;

// Weapons and shields: "#y" unidentified, else "#b" cursed, else "#r" at the kind's maximum plus, else
// "#g" with a seal, else none. Other items: "#b" cursed, else "#y" unidentified, else none. Class 0:
// none.
const char* GetItemColorMark(const SItemMarkFacts& item);
// The mark ("#7" when there is none), the display name and "#".
ZTL::string GetColoredItemName(const SItemMarkFacts& item, const ZTL::string& displayName);
// The same for the item at a table index; "" for kNoItem.
ZTL::string GetItemColorMarkByIndex(IItemNaming& items, std::uint16_t index);
ZTL::string GetColoredItemNameByIndex(IItemNaming& items, std::uint16_t index);

// The item kind that names and describes trap t: t + 380 below 6, t + 382 for 6 to 14, t + 381 for 15
// to 23, t + 380 for 24 to 26, 407 from 27 on. (The treasure spot is named as trap 2.)
std::int32_t GetTrapDescriptionKind(std::int32_t trap);
// "#6", the name of the trap's item kind, "#".
ZTL::string GetColoredTrapName(IItemNaming& items, std::int32_t trap);
