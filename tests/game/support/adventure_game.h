#pragma once
// A test game for the adventure's start and end and the camp: its own home with the game's folders
// (saves and logs are written), item kinds made in code (kind k of class 1 below 50, 2 below 100, 3 below
// 120, 4 below 135, 5 below 180, 6 below 230, 7 below 270, 8 below 310, 9 below 350, 10 from 350), each
// bought for 100, and the appearance lists long enough for a shuffle to show.

#include "game/items/pre_identified.h"
#include "game/support/game_with_kinds.h"
#include "game/support/user_home.h"

#include <filesystem>
#include <initializer_list>
#include <memory>

class AdventureGameTest : public UserHomeTest
{
protected:
    static constexpr std::int32_t kKinds = 362;
    static constexpr std::uint16_t kNone = 0xFFFF;

    void SetUp() override
    {
        UserHomeTest::SetUp();
        InitPreIdentifiedClassSets();
        Prepare();
    }
    void TearDown() override
    {
        g_itemControl = nullptr;
        UserHomeTest::TearDown();
    }
    // A new game, for the next case of a table.
    void Fresh()
    {
        game = MakeTestGame();
        Prepare();
    }

    void Prepare()
    {
        game->userNumber = 12;
        game->saveName = "abc";
        CItemControl& items = game->items;
        items.kinds.resize(kKinds);
        items.kindCount = kKinds;
        const std::int32_t firsts[] = {50, 100, 120, 135, 180, 230, 270, 310, 350};
        for (std::int32_t k = 0; k < kKinds; ++k) {
            SItemKind& kind = items.kinds[std::size_t(k)];
            kind.number = k;
            kind.name = "品";
            kind.classId = k == 0 ? 11 : 1;
            for (const std::int32_t first : firsts)
                if (k >= first) ++kind.classId;
            kind.buyPrice = 100;
            kind.sellPrice = 40;
        }
        for (std::int32_t k = 350; k < kKinds; ++k)
            items.kinds[std::size_t(k)].maximum = 8;
        items.firstKindOfClass = {0, 3, 50, 100, 120, 135, 180, 230, 270, 310, 350, -1};
        for (std::size_t list = 0; list < items.appearanceNames.size(); ++list) {
            items.appearanceNames[list].clear();
            items.appearanceOrder[list].clear();
            for (std::uint32_t i = 0; i < 12; ++i) {
                items.appearanceNames[list].push_back("謎の品");
                items.appearanceOrder[list].push_back(std::int32_t(i));
            }
        }
        items.seen.assign(kKinds, 0);
        items.kindState.assign(kKinds, 0);
        g_itemControl = &items;
    }

    // A new item of the kind, carried in the next free inventory slot when `carried`; its index.
    std::uint16_t New(std::int32_t kind, bool carried = true, std::uint16_t flags = 0)
    {
        const std::uint16_t index = MakeItem(*game, kind, game->items.kinds[std::size_t(kind)].classId);
        Item(index).flags = flags;
        if (carried)
            for (std::uint16_t& slot : game->inventory)
                if (slot == kNone) {
                    slot = index;
                    break;
                }
        return index;
    }
    CItemControl::SItem& Item(std::uint32_t index) { return game->items.GetItem(index); }
    std::int32_t CountKind(std::int32_t kind)
    {
        std::int32_t count = 0;
        for (std::int32_t i = 0; i < CItemControl::kItemCount; ++i)
            if (Item(std::uint32_t(i)).kind == kind) ++count;
        return count;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};
