#pragma once
// A game state for the rules' tests, on the heap (it is large), with monster kinds the test makes rather
// than the data set's, and characters put straight into the table.

#include "game/app/game_resource.h"
#include "game/support/sound_recorder.h"

#include <cstdint>
#include <memory>

// The seed of every test game: the game's own seed comes from the clock and the free memory, and a test
// must draw the same on every run. A test whose rule hangs on a draw picks its own seed.
constexpr std::uint32_t kTestGameSeed = 1;

// Its sound effects go to a recorder that nobody reads; a test that listens hands in its own.
inline std::unique_ptr<SGameResource> MakeTestGame()
{
    static SoundRecorder unheard;
    auto game = std::make_unique<SGameResource>();
    game->random.SetSeed(kTestGameSeed);
    game->random.seed = kTestGameSeed;
    game->soundEffects = &unheard;
    game->characters.player.x = 20;
    game->characters.player.y = 20;
    return game;
}

// A named kind at kindId (the kind table grows to hold it; the ids between get empty records).
inline SMonsterKind& AddMonsterKind(SGameResource& game, std::int32_t kindId, const char* name = "テスト")
{
    auto& kinds = game.characters.monsterKinds;
    if (kinds.size() <= std::size_t(kindId)) kinds.resize(std::size_t(kindId) + 1);
    SMonsterKind& kind = kinds[std::size_t(kindId)];
    kind.name = name;
    game.characters.kindCount = std::int32_t(kinds.size());
    return kind;
}

// Slot `slot` as a hostile monster of that kind on (x, y), with 20 HP.
inline CCharacterControl::SMonster& PlaceMonster(SGameResource& game, std::uint16_t slot, std::int32_t kindId,
                                                 std::int32_t x, std::int32_t y)
{
    CCharacterControl::SMonster& monster = game.characters.monsters[slot];
    monster.Reset();
    monster.type = kCharacterHostile;
    monster.kindId = kindId;
    monster.x = x;
    monster.y = y;
    if (game.characters.monsterCount <= slot) game.characters.monsterCount = std::uint16_t(slot + 1);
    return monster;
}

// A magic circle of that id and range on (x, y), listed and in its cell.
inline void PlaceCircle(SGameResource& game, std::int32_t id, std::int32_t range, std::int32_t x,
                        std::int32_t y)
{
    game.circles.circles.push_back({x, y, id, range});
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    cell.objectKind = kObjectCircle;
    cell.objectId = std::uint16_t(id);
}

// A new item of that kind and class at the lowest free index; its index.
inline std::uint16_t MakeItem(SGameResource& game, std::int32_t kind, std::int32_t itemClass)
{
    const std::uint16_t index = game.items.FindFreeItem();
    CItemControl::SItem& item = game.items.GetItem(index);
    item.kind = std::uint16_t(kind);
    item.itemClass = std::int8_t(itemClass);
    if (game.items.itemMark <= index) game.items.itemMark = index + 1;
    return index;
}

// A shield carrying the seals (its own kind has none) is equipped.
inline std::uint16_t EquipShieldWithSeals(SGameResource& game, std::initializer_list<std::uint16_t> seals)
{
    const std::uint16_t shield = MakeItem(game, 50, kItemClassShield);
    CItemControl::SItem& item = game.items.GetItem(shield);
    for (const std::uint16_t seal : seals)
        item.slots[std::size_t(item.sealCount++)] = seal;
    game.equippedShield = shield;
    return shield;
}

// Carries the item in the first empty inventory slot.
inline void Carry(SGameResource& game, std::uint16_t item)
{
    for (std::uint16_t& slot : game.inventory)
        if (slot == 0xFFFF) {
            slot = item;
            return;
        }
}
