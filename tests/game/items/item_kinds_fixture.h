#pragma once
// An item control whose kinds the tests make in code, each named kind on its id, installed as the
// application's item control for the records' own rules.

#include "game/app/app.h"
#include "game/items/item_control.h"
#include "game/items/pre_identified.h"

#include <gtest/gtest.h>

#include <memory>

class ItemKindsTest : public ::testing::Test
{
protected:
    static constexpr std::int32_t kKinds = 362;

    void SetUp() override
    {
        InitPreIdentifiedClassSets();
        m_items->kinds.resize(kKinds);
        m_items->kindCount = kKinds;
        Kind(0, 11, "ゴールド");
        for (std::int32_t k = 3; k <= 35; ++k)
            Kind(k, 1, "長剣", 3, 99, 1000, 1000);
        Kind(28, 1, "錆びた剣", 5, 99);
        Kind(34, 1, "育つ剣");
        for (std::int32_t k = 50; k <= 82; ++k)
            Kind(k, 2, "木の盾", 2, 99);
        Kind(100, 3, "木の矢", 0, 15, 10, 4);
        Kind(101, 3, "鉄の矢", 0, 1);
        Kind(120, 4, "おにぎり");
        for (std::int32_t k = 135; k <= 139; ++k)
            Kind(k, 5, "回復薬");
        for (std::int32_t k = 180; k <= 211; ++k)
            Kind(k, 6, "識別の巻物");
        for (std::int32_t k = 230; k <= 232; ++k)
            Kind(k, 7, "雷の杖", 4, 6, 500, 200);
        Kind(270, 8, "平常のペン", 1, 3, 800, 300);
        Kind(310, 9, "炎の石");
        for (std::int32_t k = 350; k <= 361; ++k)
            Kind(k, 10, "保存の壺", 3, 5, 200, 100);
        m_items->firstKindOfClass = {-1, 3, 50, 100, 120, 135, 180, 230, 270, 310, 350, 380};
        m_items->appearanceNames[0] = {"赤い水薬", "青い水薬", "黄色い水薬", "白い水薬", "黒い水薬"};
        m_items->appearanceOrder[0] = {1, 2, 3, 4, 0};
        m_items->appearanceNames[1] = {"アの巻物", "イの巻物"};
        m_items->appearanceOrder[1] = {1, 0};
        m_items->appearanceNames[3] = {"青いインクのペン"};
        m_items->appearanceOrder[3] = {0};
        m_items->appearanceNames[4] = {"大きな壺"};
        m_items->appearanceOrder[4] = {0};
        m_items->seen.assign(kKinds, 0);
        m_items->kindState.assign(kKinds, 0);
        g_itemControl = m_items.get();
    }
    void TearDown() override { g_itemControl = nullptr; }

    void Kind(std::int32_t id, std::int32_t itemClass, const char* name, std::int32_t base = 0,
              std::int32_t maximum = 0, std::int32_t buy = 100, std::int32_t sell = 40)
    {
        SItemKind& kind = m_items->kinds[std::size_t(id)];
        kind.number = id;
        kind.classId = itemClass;
        kind.name = name;
        kind.base = base;
        kind.maximum = maximum;
        kind.buyPrice = buy;
        kind.sellPrice = sell;
    }

    // A record of the kind, as the table would hold it, without any draw.
    CItemControl::SItem Item(std::int32_t kind, std::int16_t value = 0, std::uint16_t flags = 0)
    {
        CItemControl::SItem item;
        item.kind = std::uint16_t(kind);
        item.itemClass = std::int8_t(m_items->kinds[std::size_t(kind)].classId);
        item.value = value;
        item.flags = flags;
        return item;
    }

    std::unique_ptr<CItemControl> m_items = std::make_unique<CItemControl>();
};
