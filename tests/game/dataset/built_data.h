#pragma once
// The game's data set as the build makes it, copied beside a test's own executable folder, and a game
// state that has loaded it.

#include "game/app/game_resource.h"
#include "game/support/temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

class BuiltDataTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        std::filesystem::copy(std::filesystem::path(MAROVELLIN_BUILT_DATA_DIR) / "data", Exe() / "data",
                              std::filesystem::copy_options::recursive);
    }

    // A game state with every table loaded at start-up; the test fails when the load did not.
    std::unique_ptr<SGameResource> LoadGame()
    {
        auto game = std::make_unique<SGameResource>();
        EXPECT_EQ(game->LoadDataTables(), 0);
        EXPECT_TRUE(platform::headless::GetShownMessageBoxes().empty());
        return game;
    }
};
