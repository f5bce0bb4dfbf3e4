#include "game/items/item_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ItemNames, ItemColourMarks)
{
    const SItemMarkFacts plain{.itemClass = 1, .plus = 2, .identified = true, .kindMaxPlus = 5};
    const struct
    {
        const char* name;
        SItemMarkFacts item;
        const char* mark;
    } cases[] = {
        {"nothing", {}, ""},
        {"unidentified cursed weapon", {.itemClass = 1, .flags = 0x04, .kindMaxPlus = 5}, "#y"},
        {"cursed weapon",
         {.itemClass = 2, .flags = 0x04, .plus = 5, .identified = true, .kindMaxPlus = 5},
         "#b"},
        {"weapon at its maximum",
         {.itemClass = 1, .plus = 5, .firstSeal = 3, .identified = true, .kindMaxPlus = 5},
         "#r"},
        {"sealed shield", {.itemClass = 2, .firstSeal = 3, .identified = true, .kindMaxPlus = 5}, "#g"},
        {"unidentified cursed potion", {.itemClass = 5, .flags = 0x04}, "#b"},
        {"unidentified potion", {.itemClass = 5}, "#y"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetItemColorMark(c.item), c.mark) << c.name;

    EXPECT_STREQ(GetColoredItemName(plain, "剣").c_str(), "#7剣#");
    EXPECT_STREQ(GetColoredItemName({.itemClass = 5}, "青い薬").c_str(), "#y青い薬#");
}

struct FakeItems : IItemNaming
{
    SItemMarkFacts GetMarkFacts(std::uint16_t index) override
    {
        asked += index;
        return {.itemClass = 5, .flags = 0x04};
    }
    ZTL::string GetDisplayName(std::uint16_t) override { return "薬"; }
    ZTL::string GetKindName(std::int32_t kind) override { return std::to_string(kind).c_str(); }
    int asked = 0;
};

TEST(ItemNames, ItemsByIndex)
{
    FakeItems items;
    EXPECT_STREQ(GetItemColorMarkByIndex(items, kNoItem).c_str(), "");
    EXPECT_STREQ(GetColoredItemNameByIndex(items, kNoItem).c_str(), "");
    EXPECT_EQ(items.asked, 0);
    EXPECT_STREQ(GetItemColorMarkByIndex(items, 4).c_str(), "#b");
    EXPECT_STREQ(GetColoredItemNameByIndex(items, 4).c_str(), "#b薬#");
}

TEST(ItemNames, TrapKinds)
{
    const std::pair<int, int> kinds[] = {{2, 382},  {5, 385},  {6, 388},  {14, 396}, {15, 396},
                                         {23, 404}, {24, 404}, {26, 406}, {27, 407}};
    for (auto [trap, kind] : kinds)
        EXPECT_EQ(GetTrapDescriptionKind(trap), kind) << trap;
    FakeItems items;
    EXPECT_STREQ(GetColoredTrapName(items, 5).c_str(), "#6385#");
    EXPECT_STREQ(GetColoredTrapName(items, 6).c_str(), "#6388#");
}

} // namespace
