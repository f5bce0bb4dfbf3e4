#pragma once
// The dungeon screen's tests: the test game with its sounds recorded and the dungeon scene over it.

#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/sound_recorder.h"
#include "game/turn/action_queue.h"
#include "game/turn/turn_phases.h"

#include <gtest/gtest.h>

#include <memory>

class GameMainTest : public ::testing::Test
{
protected:
    void SetUp() override { game->soundEffects = &sounds; }
    CCharacterControl::SPlayer& Player() { return game->characters.player; }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    SoundRecorder sounds;
    CSceneGameMain scene{*game};
};

// The dungeon scene in the first dungeon with every action handler registered, on a room of eight by three
// floor cells from (11, 11) to (18, 13) walled round, the heroine on (14, 12) with 20 HP.
class GameMainRoomTest : public GameMainTest
{
protected:
    void SetUp() override
    {
        GameMainTest::SetUp();
        RegisterActionHandlers();
        game->dungeon = 1;
        DrawFloorArt(*game, 10, 10, {"##########", "#00000000#", "#000@0000#", "#00000000#", "##########"});
        Player().maxHp = Player().hp = 20;
    }
};
