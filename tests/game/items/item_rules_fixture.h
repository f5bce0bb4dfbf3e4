#pragma once
// A test game whose item control has kinds and seals made in code (each class where the rules look for
// it), installed as the application's item control, and items made straight into the table.

#include "game/items/pre_identified.h"
#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

class ItemRulesTest : public ::testing::Test
{
protected:
    static constexpr std::int32_t kKinds = 362;
    static constexpr std::uint16_t kNone = 0xFFFF;

    void SetUp() override
    {
        InitPreIdentifiedClassSets();
        CItemControl& items = game->items;
        items.kinds.resize(kKinds);
        items.kindCount = kKinds;
        const auto classOf = [](std::int32_t k) {
            if (k == 0) return 11;
            if (k < 50) return 1;
            if (k < 100) return 2;
            if (k < 120) return 3;
            if (k < 135) return 4;
            if (k < 180) return 5;
            if (k < 230) return 6;
            if (k < 270) return 7;
            if (k < 310) return 8;
            if (k < 350) return 9;
            return 10;
        };
        for (std::int32_t k = 0; k < kKinds; ++k) {
            SItemKind& kind = items.kinds[std::size_t(k)];
            kind.number = k;
            kind.name = "品";
            kind.classId = classOf(k);
            kind.buyPrice = 100;
            kind.sellPrice = 40;
        }
        for (std::int32_t k = 3; k < 100; ++k) {
            items.kinds[std::size_t(k)].base = 3;
            items.kinds[std::size_t(k)].maximum = 99;
            items.kinds[std::size_t(k)].sealSlots = 3;
        }
        for (std::int32_t k = 230; k < 310; ++k) {
            items.kinds[std::size_t(k)].base = 4;
            items.kinds[std::size_t(k)].maximum = 6;
        }
        for (std::int32_t k = 350; k < kKinds; ++k) {
            items.kinds[std::size_t(k)].base = 3;
            items.kinds[std::size_t(k)].maximum = 5;
        }
        items.firstKindOfClass = {0, 3, 50, 100, 120, 135, 180, 230, 270, 310, 350, -1};
        for (std::size_t list = 0; list < items.appearanceNames.size(); ++list) {
            items.appearanceNames[list].assign(50, "謎の品");
            items.appearanceOrder[list].assign(50, 0);
        }
        items.seals.resize(80);
        for (SSealKind& seal : items.seals)
            seal.size = 1;
        items.seals[12].size = 2;
        items.seen.assign(kKinds, 0);
        items.kindState.assign(kKinds, 0);
        g_itemControl = &items;
    }
    void TearDown() override { g_itemControl = nullptr; }
    // A new game, for the next case of a table.
    void Fresh()
    {
        game = MakeTestGame();
        SetUp();
    }

    // A new item of the kind at the lowest free index, without any draw; its index.
    std::uint16_t New(std::int32_t kind, std::int16_t value = 0, std::uint16_t flags = 0)
    {
        const std::uint16_t index = MakeItem(*game, kind, game->items.kinds[std::size_t(kind)].classId);
        Item(index).value = value;
        Item(index).flags = flags;
        if (IsEquipmentClass(Item(index).itemClass)) Item(index).sealCount = 3;
        return index;
    }
    // A pot of that kind and size holding the items.
    std::uint16_t NewPot(std::int32_t kind, std::int16_t size, std::initializer_list<std::uint16_t> contents)
    {
        const std::uint16_t pot = New(kind, size);
        std::size_t i = 0;
        for (const std::uint16_t content : contents)
            Item(pot).slots[i++] = content;
        return pot;
    }
    CItemControl::SItem& Item(std::uint32_t index) { return game->items.GetItem(index); }
    std::string Name(std::uint16_t index) { return GetColoredItemNameByIndex(game->items, index).c_str(); }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};
