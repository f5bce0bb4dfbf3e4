#pragma once
// Items: the item record every item of the game is (on the floor, carried, in a pot or in the
// warehouse), the kind and seal records of the data tables, and the item control that holds the tables
// and stores them in save sets.
//
// Creation, identification and names, values and prices, inventory, pots, seals and item states are
// yet to be added to these classes. The table loaders stand in item_tables.cpp.

#include "game/data/item_classes.h"
#include "game/data/item_schema.h"
#include "game/data/table_reader.h"
#include "game/items/item_kind.h"
#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/math/rand.h"
#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

// A seal (an ability of weapons and shields), by its code.
struct SSealKind
{
    ZTL::string name;
    std::int32_t size = 0; // seal slots it takes
    std::int32_t buyPrice = 0;
    std::int32_t sellPrice = 0;
    ZTL::string description;
};

struct SGameResource;

class CItemControl : public CBltSupport, public Auxiliary::IArchive
{
public:
    static constexpr std::int32_t kItemCount = 5000;
    static constexpr std::uint16_t kNone = 0xFFFF;
    static constexpr std::int32_t kClassCount = kItemTableClasses;
    // The classes with unidentified appearance names, in the order of their lists: potions, scrolls,
    // staffs, pens, pots, magic stones.
    static constexpr std::int32_t kAppearanceClasses = item_schema::kAppearanceLists;

    // Item flag bits.
    enum : std::uint16_t
    {
        kIdentified = 0x0001,
        kExamined = 0x0002,
        kCursed = 0x0004,
        kPlated = 0x0008,
        kShopGoods = 0x0020,
        kOwnEquipment = 0x0040,
        kWet = 0x0080,
        kFrozen = 0x0100,
        kClearedInWarehouse = 0x0200,
        kUsedUp = 0x0400,
        kUnpaid = 0x0800,
    };

    // One item; kind 0xFFFF is an empty slot.
    struct SItem : public Auxiliary::IArchive
    {
        // 32 bytes: kind, flags, class, value, seal count, the four extra bytes, the ten slots.
        void Serialize(Auxiliary::ISerialize& stream) override;
        // The empty item.
        void Clear() { *this = SItem(); }
        // Gold: extra[0] * 32768 + value; other classes the value.
        std::int32_t GetValue() const;

        std::uint16_t kind = kNone;
        std::uint16_t flags = 0;
        std::int8_t itemClass = 0;
        std::int8_t sealCount = 0;
        std::int16_t value = 0; // plus, count, charges, size or the low part of gold, by class
        std::array<std::uint16_t, 10> slots = {kNone, kNone, kNone, kNone, kNone,
                                               kNone, kNone, kNone, kNone, kNone};
        std::array<std::uint8_t, 4> extra = {0, 0, 0, 0};
    };

    // Everything emptied (Reset).
    CItemControl();
    CItemControl(const CItemControl&) = delete;
    CItemControl& operator=(const CItemControl&) = delete;

    // The item of that index; any other index gives a static empty item, made empty again on every such
    // lookup so that a write into it never reaches the next caller.
    SItem& GetItem(std::uint32_t index);
    // A second static empty item, stands for a warehouse item of a bad index.
    SItem& GetEmptyItem();
    SItem& GetWarehouseItem(std::uint32_t index);
    // Entry i of the warehouse list; a static dummy for i of 5000 or more.
    std::uint16_t& GetWarehouseListEntry(std::uint32_t i);
    // The kind record; a static empty record (sealCode 0xFFFF) for a bad kind.
    const SItemKind& GetItemKind(std::int32_t kind) const;
    const SSealKind& GetSealKind(std::int32_t code) const;
    // The lowest free index; 0xFFFF when the table is full.
    std::uint16_t FindFreeItem() const;
    std::uint16_t FindFreeWarehouseItem() const;
    // How often a seal stands on a weapon or shield: 1 when the kind's own seal is the code, plus each of
    // the first sealCount slots that holds it. 0 for other classes and for 0xFFFF (a free slot).
    std::uint32_t CountSeal(const SItem& item, std::uint16_t code) const;
    // The item and, for a pot other than the water jar, its contents are emptied (own equipment kept as a
    // copy first). 0.
    std::int32_t DeleteItem(std::uint32_t index);
    // An own weapon or shield (flag 0x0040) is copied into keptWeapon or keptShield. 0.
    std::int32_t KeepOwnEquipmentCopy(const SItem& item);
    // The item's price: buying 1 the buy price, 0 the sell price; inWarehouse for a warehouse item.
    std::int32_t GetItemPrice(const SItem& item, std::int32_t buying, std::int32_t inWarehouse);
    // The item at `index` rusts by `strength`, telling why not when showMessage is set.
    std::int32_t RustItem(SGameResource& game, std::uint16_t index, std::int32_t strength, bool showMessage);
    // The appearance number of a kind with unidentified names (classes 5 to 10): the index of its name in
    // its class's list; -1 for any other kind.
    std::int32_t GetAppearanceNumber(std::int32_t kind) const;
    // Bit 0 when the warehouse holds anything, bit c for each class c below 11 it holds, bit 11 for the
    // rest.
    void GetWarehouseClassesPresent(std::uint32_t& bits);

    // A new adventure: both item tables emptied, the marks 0, the warehouse list and floor grid 0xFFFF,
    // the nicknames gone, every kind unseen and unidentified.
    void Reset();
    // Marks warehouse items 0 .. n - 1 used (kind 0) and sets list entries 0 .. m - 1 to 0, so that a
    // stored warehouse can be read back into place.
    void ReserveWarehouseEntries(std::int32_t n, std::int32_t m);

    // ---- The data tables. Each loader gives 0 loaded, 1 file missing or unreadable, -1 bad header or a
    // line it refuses (the tables then stay as they were), 5 check number not the sum (what was read
    // stays). Kind ids and seal codes are the line numbers of the table files.
    // Each also reads from a table file already read, from its header on.
    // The seal table: name, slots, buy price (summed), sell price, description.
    std::int32_t LoadSealTable(const ZTL::string& fileName);
    std::int32_t LoadSealTable(CTableFile& table);
    // The item table, after the seal table: the kinds, the name map, the kind count, the first line of
    // each class and the unidentified names; "<" lines open the classes 1 to 11.
    std::int32_t LoadItemTable(const ZTL::string& fileName);
    std::int32_t LoadItemTable(CTableFile& table);
    // The weapon weights, line for line with the item table: attack weight (summed), move weight.
    std::int32_t LoadWeaponWeightTable(const ZTL::string& fileName);
    std::int32_t LoadWeaponWeightTable(CTableFile& table);
    // The list of appearanceNames and appearanceOrder that holds a class's unidentified names; -1 for
    // a class without them.
    static std::int32_t GetAppearanceList(std::int32_t classId);
    // Shuffles the appearance names of the six classes (potion, scroll, staff, pen, pot, magic stone,
    // in that order): each order is sorted first, so the result depends on the generator alone, then
    // entry i changes place with entry i + (a draw modulo (n - i)). Called whenever the game's generator
    // is seeded for a run, so that a run's names follow from its seed.
    void ShuffleUnidentifiedNames(Math::CRand& generator);

    // The item tables in the save set's order. A load whose marks or count fall outside 0..5000 fails
    // the stream and writes nothing past a table.
    void Serialize(Auxiliary::ISerialize& stream) override;
    // The identification state after it: seen and state per kind, then the nicknames.
    void SaveIdentification(Auxiliary::ISerialize& stream);
    void LoadIdentification(Auxiliary::ISerialize& stream);

    std::map<std::int32_t, ZTL::string> nicknames; // by kind id
    std::int32_t kindCount = 0;
    std::map<ZTL::string, std::int32_t> kindByName;
    std::array<SItem, kItemCount> items;
    std::array<SItem, kItemCount> warehouse;
    std::int32_t itemMark = 0;      // one past the highest item index used since the reset
    std::int32_t warehouseMark = 0; // the same for the warehouse
    std::int32_t warehouseCount = 0;
    std::array<std::uint16_t, kItemCount> warehouseList{}; // warehouse indices in stored order
    // The warehouse index of the item on cell (10 + i, 10 + j) of the warehouse floor, at [i][j].
    std::array<std::array<std::uint16_t, 9>, 9> floorItemGrid{};
    std::vector<std::uint8_t> seen; // by kind
    SItem keptWeapon;               // copies of the registered own equipment
    SItem keptShield;
    std::vector<SItemKind> kinds;
    std::vector<SSealKind> seals;
    std::vector<std::int32_t> attackWeights; // by kind id
    std::vector<std::int32_t> moveWeights;
    std::vector<std::int32_t> kindState; // by kind: 0 unidentified, 1 tried, 2 identified
    // By GetAppearanceList: the names in table order, and for the j-th kind of the class (kind id minus
    // the first kind of the class) the index of its name.
    std::array<std::vector<ZTL::string>, kAppearanceClasses> appearanceNames;
    std::array<std::vector<std::int32_t>, kAppearanceClasses> appearanceOrder;
    std::array<std::int32_t, kClassCount> firstKindOfClass; // -1 until the table has a line of the class
};

// Carried items of that kind that are neither cursed, wet nor frozen (pots' contents not counted).
std::int32_t CountInventoryKind(SGameResource& game, std::int32_t kind);
// Up to n carried items, in a random order, get wet; the number that did.
std::int32_t WetRandomCarriedItem(SGameResource& game, std::int32_t n);
