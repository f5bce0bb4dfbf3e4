#pragma once
// Items: the item record every item of the game is (on the floor, carried, in a pot or in the
// warehouse), the kind and seal records of the data tables, and the item control that holds the tables
// and stores them in save sets.
//
// The table loaders stand in item_tables.cpp, creation in item_creation.cpp, identification and names in
// item_identification.cpp, values and prices in item_values.cpp.

#include "game/data/item_classes.h"
#include "game/data/item_schema.h"
#include "game/data/table_reader.h"
#include "game/items/item_kind.h"
#include "game/items/item_names.h"
#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"
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

// It names items by index for the messages (IItemNaming) through its display names.
class CItemControl : public CBltSupport, public Auxiliary::IArchive, public IItemNaming
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
        // Changes the value within its class's limits and gives the change made: weapons and shields
        // -base .. maximum of the kind, arrows 0 .. 10000, staffs and pens 0 .. 99, pots 0 .. 8 (the slots
        // from the new size to slot 7 emptied when it changed), gold 0 .. 1000000 as a whole amount. An
        // empty item gives -1 and keeps its value; any other class keeps the sum and gives -1.
        std::int32_t AddValue(std::int32_t delta);
        // Not while wet or frozen; with the identified flag; potions, scrolls, magic stones and pots also
        // once their kind is identified.
        bool IsIdentified() const;
        // With the identified or examined flag; potions, scrolls, magic stones and pots also once their
        // kind is tried.
        bool IsKnownOrTried() const;
        // Weapons and shields always; other items once their kind is identified.
        bool IsKindKnown() const;
        // (The four above read the kinds and states of g_itemControl, as the item control's own rules of
        // the same names read its own.)

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

    // The flags of DrawItemIcon.
    enum : std::uint32_t
    {
        kIconInWater = 0x01,    // the second column: the item lying in water
        kIconKeyed = 0x02,      // magenta left out (else copied whole)
        kIconBlended = 0x04,    // keyed and blended at rate 64
        kIconFollowZoom = 0x08, // drawn at twice the size while the double-size option is on
    };

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
    // The item's price: buying 1 from the buy price, 0 from the sell price; inWarehouse for a warehouse
    // item (a pot's contents are then read from the warehouse table). By class with the plus, seals and
    // plating, the count, the charges, or a pot's contents and free slots; a tenth off when cursed.
    // Selling shop goods gives 0 and the own equipment 1; never below 0.
    std::int32_t GetItemPrice(const SItem& item, std::int32_t buying, std::int32_t inWarehouse);
    // The item at `index` rusts by `strength`, telling why not when showMessage is set.
    std::int32_t RustItem(SGameResource& game, std::uint16_t index, std::int32_t strength, bool showMessage);
    // The appearance number of a kind with unidentified names (classes 5 to 10): the index of its name in
    // its class's list; -1 for any other kind.
    std::int32_t GetAppearanceNumber(std::int32_t kind) const;
    // Bit 0 when the warehouse holds anything, bit c for each class c below 11 it holds, bit 11 for the
    // rest.
    void GetWarehouseClassesPresent(std::uint32_t& bits);

    // A weapon's or shield's plus, the kind's base and 7 for each seal 67; 0 for other items.
    std::int32_t GetEquipmentPower(const SItem& item) const;
    // The weapon-weight table's numbers of a weapon kind; 0 for any other kind.
    std::int32_t GetWeaponAttackWeight(std::int32_t kind) const;
    std::int32_t GetWeaponMoveWeight(std::int32_t kind) const;
    // Icon n (1-based, the item's class) of the common picture at (x, y), as the flags choose.
    void DrawItemIcon(std::int32_t n, Draw::ISurface& plane, std::int32_t x, std::int32_t y,
                      std::uint32_t flags);

    // The item records' rules of the same names, with this control's kinds and identification states.
    std::int32_t AddValue(SItem& item, std::int32_t delta) const;
    bool IsIdentified(const SItem& item) const;
    bool IsKnownOrTried(const SItem& item) const;
    bool IsKindKnown(const SItem& item) const;

    // ---- Creation. Every random property comes from the generator the caller passes.
    // Makes the record a new item of the kind: 0 done; 1 kind not below kindCount (the record left as
    // it was); 2 a kind of no item class 1 to 10 (the record empty but for kind and class); 3 made, but
    // the dungeon has no pre-identified set. The draws: the plus of a weapon or shield, the extra
    // numbers of kinds 9 and 29, the arrow count, charges or pot size, then the curse.
    std::int32_t InitItem(SItem& item, Math::CRand& generator, std::int32_t kind, std::int32_t dungeon);
    // A new item of the kind in the lowest free slot (itemMark raised past it); 0xFFFF for a kind outside
    // the table, a full table or a kind that makes no item (the slot stays free).
    std::uint16_t CreateItem(std::int32_t kind, Math::CRand& generator, std::int32_t dungeon);
    // A new item of kinds[i], i drawn by the weights over the total; 0xFFFF when nothing is made.
    std::uint16_t CreateItemFromTable(Math::CRand& generator, const std::vector<std::int32_t>& weights,
                                      const std::vector<std::int32_t>& kindList, std::int32_t total,
                                      std::int32_t dungeon);
    // Gold of the amount, or, for an amount below 1, of 4L + 400 plus a draw below 12L + 100 with L the
    // floor (above 100 halfway back to 100); 0xFFFF when the table is full.
    std::uint16_t CreateGold(Math::CRand& generator, std::int32_t floor, std::int32_t amount);
    // The numbered item (kind 211) carrying the number, identified; made from a generator seeded from
    // the clock, so its properties differ between plays. 0xFFFF without kind 211.
    std::uint16_t CreateNumberedItem(std::int32_t number);
    // One arrow taken off a stack of more than one into a new slot; the new index, 0xFFFF when the table
    // is full. Any other item gives its own index back.
    std::uint16_t SplitOneArrow(std::uint16_t index);

    // ---- Identification and names.
    // Nicknames forgotten; for dungeons 0 to 7 each kind identified exactly when its class is known from
    // the start there, and the escape scroll and the first pot always. Other dungeons keep the states.
    void ResetIdentification(std::int32_t dungeon);
    // Marks the item examined. A weapon or shield, or a full identification, identifies the kind: its
    // nickname goes and every examined item of it becomes identified. A partial one marks an unknown
    // kind tried, and identifies the item only when its kind already is.
    void IdentifyItem(SItem& item, bool partial);
    // State 2; with loose set, potions, scrolls, magic stones and pots count once tried.
    bool IsKindIdentified(std::int32_t kind, bool loose) const;
    // A kind of classes 5 to 10 not yet identified.
    bool IsKindUnidentified(std::int32_t kind) const;
    // Enters the kind in the catalogue: weapons and shields always, other kinds once identified.
    void MarkKindSeen(std::int32_t kind);
    std::uint8_t IsKindSeen(std::int32_t kind) const;
    // Gives the kind the nickname, or takes its nickname away for an empty text.
    void SetKindNickname(std::int32_t kind, const ZTL::string& text);
    // The name every message and menu shows for the item, without colour marks.
    ZTL::string GetDisplayName(const SItem& item) const;
    // The same lookups by table index, for the coloured names of messages.
    SItemMarkFacts GetMarkFacts(std::uint16_t index) override;
    ZTL::string GetDisplayName(std::uint16_t index) override;
    ZTL::string GetKindName(std::int32_t kind) override;
    // The kind's name up to its last "の".
    ZTL::string GetKindShortName(std::int32_t kind) const;
    // The name of the magic circle the pen kind draws, as far as the kind is known.
    ZTL::string GetMagicCircleName(std::int32_t penKind) const;
    // The kinds of a class in the order of their number column; the growing weapon and shield only once
    // seen.
    void ListKindsOfClass(std::int32_t itemClass, std::vector<std::int32_t>& list) const;
    // The seen kinds of a class, in table order, whose reading begins with the text (all for "").
    void ListKindsOfClassMatching(const ZTL::string& text, std::vector<std::int32_t>& list,
                                  std::int32_t itemClass) const;

    // ---- Values.
    // Strengthens the item: a weapon or shield loses its curse and any negative plus, then gains 4 plus
    // or, on half the draws, a seal slot; arrows double; staffs and pens gain the kind's base; pots 3.
    void EnhanceItem(SItem& item, Math::CRand& generator);
    // One more seal slot on a weapon or shield, up to 10; the change made, -1 for other items.
    std::int32_t AddSealSlot(SItem& item);
    // Whether using the item asks for a second item.
    bool UseNeedsTargetItem(const SItem& item) const;

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

private:
    // GetItemPrice, for a pot's contents `depth` pots down.
    std::int32_t PriceOf(const SItem& item, bool buying, bool inWarehouse, std::int32_t depth) const;
};

// The game state's item control while the application runs (game/app/app.cpp sets it); the item
// records' own rules read their kinds and identification states through it, and find none without it.
extern CItemControl* g_itemControl;

// Carried items of that kind that are neither cursed, wet nor frozen (pots' contents not counted).
std::int32_t CountInventoryKind(SGameResource& game, std::int32_t kind);
// Up to n carried items, in a random order, get wet; the number that did.
std::int32_t WetRandomCarriedItem(SGameResource& game, std::int32_t n);
