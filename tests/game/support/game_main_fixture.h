#pragma once
// The dungeon screen's tests: the test game with its sounds recorded and the dungeon scene over it.

#include "game/support/game_with_kinds.h"
#include "game/support/sound_recorder.h"
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
