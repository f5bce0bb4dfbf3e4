#pragma once
// A test's own machine with the game's folders made: "save" and "replay" beside the executable, and the
// user's folder (number 1) with the global data saved in "save\main.cfg". The global data goes back to
// its defaults when the test ends.

#include "game/data/global_data.h"
#include "game/support/temp_home.h"

#include <filesystem>

class UserHomeTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        g_globalData = SGlobalData();
        g_globalData.fileName = kGlobalDataFileName;
        CreateUserFolders(g_globalData);
    }
    void TearDown() override
    {
        g_globalData = SGlobalData();
        TempHomeTest::TearDown();
    }

    std::filesystem::path UserFolder() const { return GameData() / "0001"; }
};
