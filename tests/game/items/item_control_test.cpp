#include "game/items/item_control.h"

#include "game/support/archive_bytes.h"
#include "sdk/auxiliary/serialize.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ItemControl, LookupsNeverFail)
{
    auto items = std::make_unique<CItemControl>();
    items->GetItem(0xFFFF).kind = 5;
    items->GetItem(0xFFFF).itemClass = 3;
    for (std::uint32_t index : {5000u, 0xFFFFu}) {
        EXPECT_EQ(items->GetItem(index).kind, 0xFFFF) << index;
        EXPECT_EQ(items->GetItem(index).itemClass, 0) << index;
    }
    EXPECT_EQ(items->GetWarehouseItem(5000).kind, 0xFFFF);
    EXPECT_EQ(items->GetItemKind(-1).classId, 0);
    EXPECT_EQ(items->GetItemKind(-1).sealCode, 0xFFFF);
    EXPECT_EQ(items->GetItemKind(3).sealCode, 0xFFFF);
    EXPECT_TRUE(items->GetSealKind(2).name.empty());
    EXPECT_EQ(items->GetWarehouseListEntry(5000), 0xFFFF);

    EXPECT_EQ(items->FindFreeItem(), 0);
    for (auto& item : items->items)
        item.kind = 1;
    EXPECT_EQ(items->FindFreeItem(), 0xFFFF);
    items->items[4321].kind = 0xFFFF;
    EXPECT_EQ(items->FindFreeItem(), 4321);

    CItemControl::SItem gold;
    gold.itemClass = 11;
    gold.value = 16960;
    gold.extra[0] = 30;
    EXPECT_EQ(gold.GetValue(), 1000000);
}

TEST(ItemControl, AResetControlWritesOnlyItsEmptyTables)
{
    auto items = std::make_unique<CItemControl>();
    Bytes expected(16, 0);                      // version, three marks of 0
    expected.insert(expected.end(), 162, 0xFF); // 81 grid entries
    for (int i = 0; i < 2; ++i) {               // two empty kept items
        const Bytes empty = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        expected.insert(expected.end(), empty.begin(), empty.end());
        expected.insert(expected.end(), 20, 0xFF);
    }
    EXPECT_EQ(StoreBytes(*items), expected);
    EXPECT_EQ(expected.size(), 242u);

    CItemControl::SItem item;
    item.kind = 300;
    item.flags = 0x0003;
    item.itemClass = 5;
    Bytes golden = {0x2C, 0x01, 0x03, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    golden.insert(golden.end(), 20, 0xFF);
    EXPECT_EQ(StoreBytes(item), golden);
}

TEST(ItemControl, ABusyControlRoundTripsAndBadCountsFailTheLoad)
{
    auto items = std::make_unique<CItemControl>();
    items->kindCount = 4;
    items->seen = {1, 0, 1, 0};
    items->kindState = {2, 0, 1, 0};
    items->nicknames[3] = "あれ";
    items->items[2].kind = 77;
    items->items[2].value = -3;
    items->itemMark = 3;
    items->warehouse[0].kind = 5;
    items->warehouseMark = 1;
    items->warehouseList[0] = 0;
    items->warehouseCount = 1;
    items->floorItemGrid[2][7] = 0;
    items->keptWeapon.kind = 28;
    Auxiliary::CSerialize stream;
    stream.Serialize(*items);
    items->SaveIdentification(stream);
    const Bytes stored = stream.GetBuffer();

    auto loaded = std::make_unique<CItemControl>();
    loaded->kindCount = 4;
    stream.SetStoring(false);
    stream.Serialize(*loaded);
    loaded->LoadIdentification(stream);
    ASSERT_FALSE(stream.HasLoadFailed());
    Auxiliary::CSerialize again;
    again.Serialize(*loaded);
    loaded->SaveIdentification(again);
    EXPECT_EQ(again.GetBuffer(), stored);
    EXPECT_EQ(loaded->items[2].value, -3);
    EXPECT_STREQ(loaded->nicknames[3].c_str(), "あれ");

    // A mark or count outside 0..5000 fails the load: itemMark at byte 4, warehouseMark after the three
    // items, warehouseCount after the warehouse item, the nickname count after the states.
    const std::size_t warehouseMarkAt = 8 + 3 * 32, warehouseCountAt = warehouseMarkAt + 4 + 32;
    const std::size_t nicknamesAt = stored.size() - 4 - 4 - std::strlen("あれ") - 1;
    const struct
    {
        std::size_t at;
        std::int32_t count;
    } bad[] = {{4, 5001}, {4, -1}, {warehouseMarkAt, 5001}, {warehouseCountAt, -2}, {nicknamesAt, -1}};
    auto target = std::make_unique<CItemControl>();
    for (const auto& c : bad) {
        Auxiliary::CSerialize stream;
        stream.GetBuffer() = stored;
        std::memcpy(stream.GetBuffer().data() + c.at, &c.count, 4);
        stream.SetStoring(false);
        target->Reset();
        target->kindCount = 4;
        target->Serialize(stream);
        target->LoadIdentification(stream);
        EXPECT_TRUE(stream.HasLoadFailed()) << c.at;
        for (std::int32_t mark : {target->itemMark, target->warehouseMark, target->warehouseCount})
            EXPECT_TRUE(mark >= 0 && mark <= 5000) << c.at;
    }
    // Every truncation of the stream fails cleanly.
    for (std::size_t size = 0; size < stored.size(); ++size) {
        Auxiliary::CSerialize cut;
        cut.GetBuffer().assign(stored.begin(), stored.begin() + std::ptrdiff_t(size));
        cut.SetStoring(false);
        target->Reset();
        target->kindCount = 4;
        target->Serialize(cut);
        target->LoadIdentification(cut);
        EXPECT_TRUE(cut.HasLoadFailed()) << size;
        EXPECT_EQ(target->kindState.size(), 4u);
    }
}

TEST(ItemControl, TheWarehouseClassesAndReservedEntries)
{
    auto items = std::make_unique<CItemControl>();
    std::uint32_t bits = 99;
    items->GetWarehouseClassesPresent(bits);
    EXPECT_EQ(bits, 0u);
    items->ReserveWarehouseEntries(2, 3);
    EXPECT_EQ(items->warehouse[1].kind, 0);
    EXPECT_EQ(items->warehouse[2].kind, 0xFFFF);
    EXPECT_EQ(items->warehouseList[2], 0);
    EXPECT_EQ(items->warehouseList[3], 0xFFFF);
    items->warehouse[0].itemClass = 3;
    items->warehouse[1].itemClass = 11;
    items->warehouseCount = 2;
    items->warehouseList[1] = 1;
    items->GetWarehouseClassesPresent(bits);
    EXPECT_EQ(bits, 1u | (1u << 3) | (1u << 11));
}

TEST(ItemControl, TheNameShuffleDependsOnTheGeneratorAlone)
{
    auto items = std::make_unique<CItemControl>();
    for (const std::vector<std::int32_t>& before :
         {std::vector<std::int32_t>{0, 1, 2, 3, 4}, {4, 2, 0, 3, 1}}) {
        items->appearanceOrder[0] = before;
        items->appearanceOrder[1] = {1, 0};
        Math::CRand generator;
        generator.SetSeed(4357);
        items->ShuffleUnidentifiedNames(generator);
        EXPECT_EQ(items->appearanceOrder[0], (std::vector<std::int32_t>{4, 3, 2, 0, 1}));
    }
    // Without draws every order is left sorted.
    Math::CRand fixed;
    fixed.noRandom = true;
    items->ShuffleUnidentifiedNames(fixed);
    EXPECT_EQ(items->appearanceOrder[0], (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(items->appearanceOrder[1], (std::vector<std::int32_t>{0, 1}));
}

} // namespace
