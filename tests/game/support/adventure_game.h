#pragma once
// A test game for the adventure's start and end and the camp: its own home with the game's folders
// (saves and logs are written) and the item kinds made in code.

#include "game/items/pre_identified.h"
#include "game/support/game_with_kinds.h"
#include "game/support/item_kinds_in_code.h"
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
        MakeItemKindsInCode(game->items, "品", "謎の品");
        g_itemControl = &game->items;
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
