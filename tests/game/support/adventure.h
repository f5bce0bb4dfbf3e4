#pragma once
// An adventure under way, for the tests of the files that keep one: stored fields, the heroine, items
// with their identification state, and password history all away from their reset values.

#include "game/app/game_resource.h"

inline void FillAdventure(SGameResource& game)
{
    game.userNumber = 12;
    game.saveName = "abc";
    game.runNumber = 3;
    game.saveKind = 4;
    game.dungeon = 2;
    game.floor = 7;
    game.seed = 0x12345678;
    game.passwordValue = 0xBEEF;
    game.gold = 1500;
    game.inventory[0] = 1;
    game.dungeonSlots[5].open = 1;
    game.flag.values[7] = 44;
    game.characters.player.hp = 33;
    game.characters.player.level = 5;
    game.characters.player.status.sleepTurns = 3;
    game.items.kindCount = 6;
    game.items.kindState = {2, 0, 1, 0, 0, 2};
    game.items.seen = {1, 1, 0, 0, 1, 0};
    game.items.nicknames[3] = "blue";
    game.items.itemMark = 2;
    game.items.items[0].kind = 4;
    game.items.items[1].kind = 5;
    game.items.items[1].value = -3;
    game.items.warehouseMark = 1;
    game.items.warehouse[0].kind = 2;
    game.items.warehouseCount = 1;
    game.items.warehouseList[0] = 0;
    game.items.appearanceOrder[0] = {0, 1, 2, 3, 4};
    game.passwordHistory = {{1, 2}, {3, 4}, {5, 6}};
}
