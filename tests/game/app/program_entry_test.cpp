#include "game/app/program_entry.h"

#include "game/app/game_resource.h"
#include "game/support/adventure_game.h"
#include "game/support/temp_home.h"
#include "platform/host/file.h"
#include "platform/settings.h"
#include "sdk/appframe/object_creater.h"
#include "sdk/thread/singleton.h"
#include "support/error_capture.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using Answer = platform::Backend::MessageBoxAnswer;

TEST(ProgramEntry, TheFolderIsCutAtTheLastTrueSeparator)
{
    const struct
    {
        std::string path;
        std::string folder;
    } cases[] = {
        {"/opt/game/marovellin", "/opt/game"},
        {"C:\\game\\marovellin.exe", "C:\\game"},
        {"/opt/\x94\x5C/marovellin", "/opt/\x94\x5C"}, // 能: its second byte is a backslash
        {"/opt/\x94\x5C\x94\x5C", "/opt"},             // a name that ends in 能 is not cut inside it
        {"/marovellin", "/"},
        {"marovellin", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(ProgramEntry, TheWorkingFolderBecomesTheExecutablesFolder)
{
    const fs::path before = fs::current_path();
    fs::current_path("/");
    SetWorkingDirectoryToExe();
    std::string exe;
    ASSERT_TRUE(platform::GetExecutablePath(exe));
    EXPECT_EQ(fs::current_path(), fs::path(exe).parent_path());
    fs::current_path(before);
}

TEST(ProgramEntry, OnlyAnExactPrefixStartsTheCleanUpMode)
{
    const struct
    {
        const char* commandLine;
        bool cleanUp;
    } cases[] = {
        {"deletesave", true}, {"deletesave now", true}, {"deletesaves", true}, {"DeleteSave", false},
        {"deletesav", false}, {" deletesave", false},   {"", false},           {nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsCleanUpCommand(c.commandLine), c.cleanUp) << (c.commandLine ? c.commandLine : "null");
}

TEST(ProgramEntry, TheSceneSwitchPicksTheFirstSceneOrElseTheTitle)
{
    const struct
    {
        const char* commandLine;
        std::int32_t scene;
    } cases[] = {
        {"--scene 7", 7},  {"--scene 8", 8}, {"-x --scene  1", 1},       {"--scene 9", 2}, {"--scene 0", 2},
        {"--scene 77", 2}, {"--scene", 2},   {"--scene x", 2},           {"--scene7", 2},  {"a--scene 7", 2},
        {"", 2},           {nullptr, 2},     {"--scene 9 --scene 8", 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFirstSceneNumber(c.commandLine), c.scene) << (c.commandLine ? c.commandLine : "null");
}

TEST(ProgramEntry, TheDungeonSwitchTakesADungeonAndAnOptionalSeed)
{
    const struct
    {
        const char* commandLine;
        bool found;
        std::int32_t dungeon;
        std::uint32_t seed;
        bool seedGiven;
    } cases[] = {
        {"--dungeon 1", true, 1, 0, false},
        {"--dungeon 3 --seed 305419896", true, 3, 305419896, true},
        {"--seed 0x1234ABCD --dungeon 0", true, 0, 0x1234ABCD, true},
        {"--dungeon 8 --seed 4294967295", true, 8, 4294967295u, true},
        {"--dungeon 2 --seed 4294967296", true, 2, 0, false},
        {"--dungeon 2 --seed x1", true, 2, 0, false},
        {"--dungeon 9", false, 0, 0, false},
        {"--dungeon -1", false, 0, 0, false},
        {"--dungeon", false, 0, 0, false},
        {"a--dungeon 1", false, 0, 0, false},
        {"--scene 3", false, 0, 0, false},
        {nullptr, false, 0, 0, false},
    };
    for (const auto& c : cases) {
        SDungeonSwitch result;
        const char* line = c.commandLine ? c.commandLine : "null";
        ASSERT_EQ(GetDungeonSwitch(c.commandLine, result), c.found) << line;
        if (!c.found) continue;
        EXPECT_EQ(result.dungeon, c.dungeon) << line;
        EXPECT_EQ(result.seedGiven, c.seedGiven) << line;
        if (c.seedGiven) {
            EXPECT_EQ(result.seed, c.seed) << line;
        }
    }
}

using SwitchedAdventureTest = AdventureGameTest;

TEST_F(SwitchedAdventureTest, TheSwitchMakesANewGameWithTheNextSaveNumberAndStartsTheRunFromTheSeed)
{
    g_globalData.fileCounter = 5;
    game->gold = 300;
    game->floor = 7;
    StartSwitchedAdventure(*game, SDungeonSwitch{3, 0x12345678, true}, 0);
    EXPECT_EQ(std::tuple(game->userNumber, g_globalData.fileCounter), std::tuple(5, 6));
    EXPECT_EQ(std::tuple(game->dungeon, game->floor, game->gold), std::tuple(3, 1, 0u));
    EXPECT_EQ(std::tuple(game->seed, game->passwordValue), std::tuple(0x12345678u, std::uint16_t(0x5678)));
    EXPECT_TRUE(fs::exists(Exe() / "save" / "0005.main"));
}

TEST_F(SwitchedAdventureTest, ASaveCounterAtItsLargestValueStaysThere)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    g_globalData.fileCounter = kMax;
    StartSwitchedAdventure(*game, SDungeonSwitch{3, 1, true}, 0);
    EXPECT_EQ(std::tuple(game->userNumber, g_globalData.fileCounter), std::tuple(kMax, kMax));
}

TEST(ProgramEntry, TheStartEndsWithoutThePlugInAndLetsGoOfTheSingleInstanceLock)
{
    namespace AppFrame = zelvoranGameSDK3rd::AppFrame;
    const fs::path before = fs::current_path();
    test_support::ErrorCapture errors;
    char commandLine[] = "";
    EXPECT_EQ(WinMain(AppFrame::GetProgramInstance(), nullptr, commandLine, 1), 0);
    EXPECT_TRUE(errors.Has("zelvogg.dll")); // reported by the loader, and the start went on
    EXPECT_FALSE(zelvoranGameSDK3rd::Thread::IsMultiThreadFlagSet());
    zelvoranGameSDK3rd::Thread::CMutex held;
    ASSERT_TRUE(AppFrame::IsFirstAppInstance(held, ""));

    // A second copy ends at once and leaves the first one's lock alone.
    EXPECT_EQ(WinMain(AppFrame::GetProgramInstance(), nullptr, commandLine, 1), 0);
    zelvoranGameSDK3rd::Thread::CMutex third;
    EXPECT_FALSE(AppFrame::IsFirstAppInstance(third, ""));
    fs::current_path(before);
}

class CleanUpModeTest : public TempHomeTest
{
protected:
    // User 2 with a save entry (its sum in the store), its work files, another user's folder, a save and
    // a replay folder.
    void SetUp() override
    {
        TempHomeTest::SetUp();
        fs::create_directories(Exe() / "save");
        SGlobalData data;
        data.fileName = kGlobalDataFileName;
        data.userNumber = 2;
        data.saveEntries[2] = {true, 1234};
        ASSERT_EQ(SaveGlobalData(data), 0);
        PutFile(GameData() / "0002" / "00020001.act", "log");
        PutFile(GameData() / "0002" / "00020001.rpl", "floors");
        PutFile(Exe() / "save" / "0002abc.main", "save");
        PutFile(Exe() / "replay" / "0002abc0001.rpl", "replay");
    }

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : platform::headless::GetShownMessageBoxes())
            texts.push_back(box.text + " | " + box.caption);
        return texts;
    }
    static bool HasSettingsKey(const char* key)
    {
        platform::DWORD subKeys = 0, values = 0;
        return platform::CountSettings(key, subKeys, values);
    }
};

TEST_F(CleanUpModeTest, NoForSaveKeepsItAndAFolderThatCannotBeClearedIsReported)
{
    fs::create_directories(Exe() / "replay" / "inner"); // a subfolder is never deleted
    fs::create_directories(GameData() / "0005");        // another user's folder
    platform::headless::ScriptMessageBoxAnswers({Answer::No, Answer::Yes});
    SGlobalData data;
    EXPECT_EQ(RunCleanUpMode(data), 0);

    EXPECT_FALSE(fs::exists(GameData() / "0002"));
    EXPECT_TRUE(fs::exists(GameData() / "0005"));
    EXPECT_FALSE(HasSettingsKey(kMakerSettingsKey));
    EXPECT_TRUE(fs::exists(Exe() / "save" / "main.cfg"));
    EXPECT_TRUE(fs::exists(Exe() / "save" / "0002abc.main"));
    EXPECT_FALSE(fs::exists(Exe() / "replay" / "0002abc0001.rpl"));
    EXPECT_TRUE(fs::exists(Exe() / "replay" / "inner"));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                              Utf8("セーブデータを削除しますか？ | 確認"),
                              Utf8("リプレイデータを削除しますか？ | 確認"),
                              Utf8("一部のファイルが削除出来ませんでした。 | 確認"),
                          }));
    EXPECT_EQ(platform::headless::GetShownMessageBoxes().back().buttons,
              platform::Backend::MessageBoxButtons::Ok);
}

TEST_F(CleanUpModeTest, YesForBothLeavesNothingOfTheGame)
{
    platform::headless::ScriptMessageBoxAnswers({Answer::Yes, Answer::Yes});
    SGlobalData data;
    EXPECT_EQ(RunCleanUpMode(data), 0);
    EXPECT_FALSE(fs::exists(GameData()));
    EXPECT_FALSE(fs::exists(Exe() / "save"));
    EXPECT_FALSE(fs::exists(Exe() / "replay"));
    EXPECT_FALSE(HasSettingsKey(kMakerSettingsKey));
    EXPECT_EQ(BoxTexts().size(), 2u);
    EXPECT_TRUE(fs::is_empty(Exe()));
}

TEST_F(CleanUpModeTest, WithoutItsFileTheUsersDataStaysAndTheFoldersAreStillAskedFor)
{
    fs::remove(Exe() / "save" / "main.cfg");
    platform::headless::ScriptMessageBoxAnswers({Answer::No, Answer::No});
    SGlobalData data;
    EXPECT_EQ(RunCleanUpMode(data), 0);
    EXPECT_TRUE(fs::exists(GameData() / "0002" / "00020001.act"));
    EXPECT_TRUE(HasSettingsKey(kProductSettingsKey));
    EXPECT_EQ(BoxTexts().size(), 2u);
    EXPECT_TRUE(fs::exists(Exe() / "save" / "0002abc.main"));
    EXPECT_TRUE(fs::exists(Exe() / "replay" / "0002abc0001.rpl"));
}

} // namespace
