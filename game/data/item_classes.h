#pragma once
// The item classes: the class byte of an item record and of its kind record. The item table's "<"
// lines open classes 1 to 11 in order, so a kind's class is its section; the game makes gold itself.
// Standard headers only: the data build reads it too.

#include <cstdint>

enum EItemClass : std::int32_t
{
    kItemClassNone = 0, // an empty slot, or a kind record that is only a table line
    kItemClassWeapon = 1,
    kItemClassShield = 2,
    kItemClassArrow = 3,
    kItemClassFood = 4,
    kItemClassPotion = 5,
    kItemClassScroll = 6,
    kItemClassStaff = 7,
    kItemClassPen = 8,
    kItemClassMagicStone = 9,
    kItemClassPot = 10,
    kItemClassGold = 11,
    // The item table's last section: the traps' descriptions, read as kinds of the gold's class.
    kItemClassTrapDescription = 11,
    // Not items of the table: the trap and the magic circle underfoot, as the item menu offers them.
    kItemClassTrap = 12,
    kItemClassCircle = 13,
};

// The classes of the item table and of the first-kind-of-class table: 0 to 11.
constexpr std::int32_t kItemTableClasses = 12;

// Weapons and shields: seal slots and a plus.
constexpr bool IsEquipmentClass(std::int32_t itemClass)
{
    return itemClass == kItemClassWeapon || itemClass == kItemClassShield;
}
