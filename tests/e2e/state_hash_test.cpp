#include "e2e/state_hash.h"

#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Change = std::function<void(SGameResource&)>;
struct Case
{
    const char* what;
    Change change;
};

// A test game whose generator holds a fixed state (a new game seeds it from the clock).
std::unique_ptr<SGameResource> Fresh()
{
    auto game = MakeTestGame();
    game->random.SetSeed(7);
    game->random.seed = 7;
    return game;
}

CCharacterControl::SPlayer& Heroine(SGameResource& g)
{
    return g.characters.player;
}
CCharacterControl::SMonster& Slot(SGameResource& g, std::size_t i)
{
    return g.characters.monsters[i];
}

// What decides the play: each change must change the hash.
const Case kPlayState[] = {
    {"a draw from the generator", [](SGameResource& g) { g.random.Get(); }},
    {"the generator's seed", [](SGameResource& g) { g.random.SetSeed(99); }},
    {"a cell's terrain", [](SGameResource& g) { g.map.GetCell(10, 12).terrain = 5; }},
    {"a cell's room", [](SGameResource& g) { g.map.GetCell(63, 43).room = 3; }},
    {"a cell explored", [](SGameResource& g) { g.map.GetCell(0, 0).explored = 1; }},
    {"a cell's footprint", [](SGameResource& g) { g.map.GetCell(30, 20).mark = 1; }},
    {"a cell's object", [](SGameResource& g) { g.map.GetCell(30, 20).objectKind = kObjectItem; }},
    {"a cell's object id", [](SGameResource& g) { g.map.GetCell(30, 20).objectId = 7; }},
    {"the heroine's cell", [](SGameResource& g) { Heroine(g).x += 1; }},
    {"the heroine's direction", [](SGameResource& g) { Heroine(g).direction = 4; }},
    {"the heroine's HP", [](SGameResource& g) { Heroine(g).hp -= 1; }},
    {"the heroine's status", [](SGameResource& g) { Heroine(g).status.confusionTurns = 3; }},
    {"the heroine's fullness", [](SGameResource& g) { Heroine(g).fullness -= 1; }},
    {"the heroine's strength", [](SGameResource& g) { Heroine(g).strength += 1; }},
    {"the heroine's regeneration", [](SGameResource& g) { Heroine(g).hpRegenFraction = 5; }},
    {"slot 0's kind", [](SGameResource& g) { Slot(g, 0).kindId = 4; }},
    {"slot 63's HP", [](SGameResource& g) { Slot(g, 63).hp = 3; }},
    {"a monster's sleep", [](SGameResource& g) { Slot(g, 5).sleepState = 4; }},
    {"a monster's energy", [](SGameResource& g) { Slot(g, 5).actionEnergy = 2; }},
    {"a monster's goal", [](SGameResource& g) { Slot(g, 5).goalX = 9; }},
    {"a monster's goal known", [](SGameResource& g) { Slot(g, 5).viewFlags[0] = 1; }},
    {"a monster's held item", [](SGameResource& g) { Slot(g, 5).heldItem = 12; }},
    {"the slot count", [](SGameResource& g) { g.characters.monsterCount = 6; }},
    {"the phase counter", [](SGameResource& g) { g.characters.phaseCounter = 1; }},
    {"an item's kind", [](SGameResource& g) { g.items.items[0].kind = 3; }},
    {"the last item's value", [](SGameResource& g) { g.items.items[4999].value = 2; }},
    {"an item's seal", [](SGameResource& g) { g.items.items[10].slots[9] = 1; }},
    {"the item mark", [](SGameResource& g) { g.items.itemMark = 1; }},
    {"a warehouse item", [](SGameResource& g) { g.items.warehouse[4999].kind = 1; }},
    {"the warehouse list", [](SGameResource& g) { g.items.warehouseList[2] = 5; }},
    {"the warehouse count", [](SGameResource& g) { g.items.warehouseCount = 1; }},
    {"a kind identified", [](SGameResource& g) { g.items.kindState.assign(4, 0), g.items.kindState[2] = 2; }},
    {"an inventory slot", [](SGameResource& g) { g.inventory[19] = 4; }},
    {"the weapon", [](SGameResource& g) { g.equippedWeapon = 1; }},
    {"the shield", [](SGameResource& g) { g.equippedShield = 1; }},
    {"the arrows", [](SGameResource& g) { g.equippedArrows = 1; }},
    {"gold", [](SGameResource& g) { g.gold += 1; }},
    {"banked gold", [](SGameResource& g) { g.bankedGold += 1; }},
    {"the score", [](SGameResource& g) { g.goldCounter.low += 1; }},
    {"the progress record", [](SGameResource& g) { g.flag.values[29] += 1; }},
    {"the dungeon", [](SGameResource& g) { g.dungeon = 3; }},
    {"the floor", [](SGameResource& g) { g.floor += 1; }},
    {"the floor time", [](SGameResource& g) { g.floorTime += 1; }},
};

// What only the screen shows: no change of the hash.
const Case kDisplayState[] = {
    {"the heroine's motion frame", [](SGameResource& g) { Heroine(g).motionFrame = 3; }},
    {"the heroine's motion", [](SGameResource& g) { Heroine(g).motion = 2, Heroine(g).motionLength = 8; }},
    {"the heroine's drawing offset", [](SGameResource& g) { Heroine(g).offsetX = 16; }},
    {"the heroine's animation phase", [](SGameResource& g) { Heroine(g).animPhase = 2; }},
    {"the heroine's view offset", [](SGameResource& g) { Heroine(g).viewOffsetY = 4; }},
    {"the heroine's weapon sprite", [](SGameResource& g) { Heroine(g).weaponSprite = 3; }},
    {"a monster's queued step", [](SGameResource& g) { Slot(g, 1).queuedSteps.push_back({}); }},
    {"a monster's drawing offset", [](SGameResource& g) { Slot(g, 1).offsetY = -8; }},
    {"a monster's animation speed", [](SGameResource& g) { Slot(g, 1).animSpeed = 3; }},
    {"a monster seen this frame", [](SGameResource& g) { Slot(g, 1).viewFlags[1] = 1; }},
    {"a monster's tile shown", [](SGameResource& g) { Slot(g, 1).tileShown = 1; }},
    {"a cell's minimap symbol", [](SGameResource& g) { g.map.GetCell(8, 8).minimapMark = 1; }},
    {"a cell redrawn", [](SGameResource& g) { g.map.GetCell(8, 8).redraw = 0; }},
    {"a message frame counter", [](SGameResource& g) { g.frameCounter16 = 5; }},
};

TEST(StateHash, EqualStatesHashAlike)
{
    EXPECT_EQ(e2e::ComputeStateHash(*Fresh()), e2e::ComputeStateHash(*Fresh()));
}

// Whether the case's change of a fresh game changes its hash.
bool ChangesTheHash(const Case& c)
{
    auto changed = Fresh();
    c.change(*changed);
    return e2e::ComputeStateHash(*changed) != e2e::ComputeStateHash(*Fresh());
}

TEST(StateHash, EveryPlayFieldChangesIt)
{
    for (const Case& c : kPlayState)
        EXPECT_TRUE(ChangesTheHash(c)) << c.what;
}

TEST(StateHash, DisplayOnlyFieldsLeaveItAlone)
{
    for (const Case& c : kDisplayState)
        EXPECT_FALSE(ChangesTheHash(c)) << c.what;
}

} // namespace
