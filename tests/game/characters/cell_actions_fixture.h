#pragma once
// A game on an open floor of room floor for the tests of acting towards a cell: handlers run alone,
// the heroine at (20, 20) facing down, sounds recorded, fixed-random mode unless a test seeds a draw.

#include "game/characters/cell_actions.h"
#include "game/support/game_with_kinds.h"
#include "game/support/seed_search.h"
#include "game/support/sound_recorder.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <initializer_list>

class CellActionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterActionHandlers();
        game->soundEffects = &sounds;
        game->random.noRandom = true;
        for (std::int32_t y = 5; y < 35; ++y)
            for (std::int32_t x = 5; x < 35; ++x)
                Cell(x, y).terrain = 5;
        game->items.kinds.resize(400);
        game->items.kindCount = 400;
        game->items.moveWeights.assign(400, 0);
        game->items.attackWeights.assign(400, 0);
        game->items.kinds[4].classId = kItemClassWeapon;
        CCharacterControl::SPlayer& player = game->characters.player;
        player.hp = player.maxHp = 999;
        player.direction = 0;
    }

    // Runs the record alone until its handler is done; the frames it took.
    std::int32_t Run(const SActionRecord& record)
    {
        runner = CActionQueue();
        runner.current = record;
        std::int32_t frames = 1;
        while (GetActionHandler(record.kind)(runner, *game) != 0) {
            ++runner.step;
            ++frames;
        }
        return frames;
    }
    static SActionRecord Take(CActionQueue& queue)
    {
        SActionRecord record = queue.pending.back();
        queue.pending.pop_back();
        return record;
    }
    // Step 0 of the heroine's or a monster's act; its result.
    std::int32_t Decide(std::int32_t character)
    {
        runner = CActionQueue();
        PushActionMove(runner, character);
        runner.current = Take(runner);
        return HandleMove(runner, *game);
    }
    void Seed(std::uint32_t (*next)(Math::CRand&), std::uint32_t wanted)
    {
        const auto seed = FindSeed([&](Math::CRand& r) { return next(r) == wanted; });
        ASSERT_TRUE(seed);
        game->random.noRandom = false;
        game->random.SetSeed(*seed);
    }
    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    std::uint16_t EquipWeapon(std::initializer_list<std::uint16_t> seals, std::int32_t kind = 4)
    {
        const std::uint16_t weapon = MakeItem(*game, kind, kItemClassWeapon);
        CItemControl::SItem& item = game->items.GetItem(weapon);
        for (const std::uint16_t seal : seals)
            item.slots[std::size_t(item.sealCount++)] = seal;
        Carry(*game, weapon);
        game->equippedWeapon = weapon;
        return weapon;
    }
    CCharacterControl::SMonster& Monster(std::uint16_t slot, std::int32_t kindId, std::int32_t x,
                                         std::int32_t y)
    {
        AddMonsterKind(*game, kindId);
        CCharacterControl::SMonster& monster = PlaceMonster(*game, slot, kindId, x, y);
        monster.hp = monster.maxHp = 500;
        return monster;
    }
    const CMessageWindow::SLine& LastLine() const { return game->messageWindow.log.back(); }

    SoundRecorder sounds;
    std::unique_ptr<SGameResource> game = MakeTestGame();
    CActionQueue queue;
    CActionQueue runner;
};
