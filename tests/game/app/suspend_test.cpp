#include "game/app/suspend.h"

#include "game/app/replay.h"
#include "game/app/save_game.h"
#include "game/support/adventure.h"
#include "game/support/user_home.h"
#include "platform/host/file.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

SPlayerCommand Command(std::int32_t kind, std::int32_t arg1 = -1)
{
    SPlayerCommand command;
    command.kind = kind;
    command.arg1 = arg1;
    return command;
}

class SuspendTest : public UserHomeTest
{
protected:
    // A floor start of the adventure: its log begun, the save set written and the guard recorded; then
    // two turns of commands appended, and the suspend recording the guard again.
    void PlayAndSuspend()
    {
        FillAdventure(*game);
        ASSERT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, game->floor), 0);
        ASSERT_EQ(WriteSaveGame(*game), 0);
        ASSERT_EQ(UpdateGlobalDataEntry(*game, true), 0);
        for (const SPlayerCommand& command : played) {
            game->actionLog.WriteCommand(command);
            ASSERT_EQ(game->actionLog.AppendToFile(), CActionLog::kAppended);
        }
        ASSERT_EQ(UpdateGlobalDataEntry(*game, true), 0);
    }
    // The title's resume: the save set loaded, then the game-main scene's start of the silent re-run.
    std::unique_ptr<SGameResource> Resume()
    {
        auto resumed = std::make_unique<SGameResource>();
        resumed->userNumber = 12;
        resumed->saveName = "abc";
        resumed->items.kindCount = 6;
        resumed->items.appearanceOrder[0] = {0, 1, 2, 3, 4};
        EXPECT_EQ(LoadSaveGame(*resumed), kSaveDone);
        resumed->playMode = kPlaySilentRerun;
        RestartRunFromSeed(*resumed);
        EXPECT_EQ(resumed->actionLog.LoadSuspendData(resumed->userNumber, resumed->runNumber, resumed->floor),
                  0);
        return resumed;
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
    const std::vector<SPlayerCommand> played = {Command(5, 300), Command(2, 6)};
};

TEST_F(SuspendTest, AResumedRunReadsItsCommandsAndEndsWithTheGuardCleared)
{
    PlayAndSuspend();
    const SGlobalData::SSaveEntry guard = g_globalData.saveEntries.at(12);
    EXPECT_TRUE(guard.flag);
    EXPECT_EQ(guard.value, game->checkValue + game->actionLog.GetRunningSum());

    auto resumed = Resume();
    resumed->rerunCounter = 9;
    EXPECT_STREQ(resumed->actionLog.GetFileName().c_str(), game->actionLog.GetFileName().c_str());
    EXPECT_EQ(resumed->runRecord.recordNumber, -1);
    Math::CRand seeded;
    seeded.SetSeed(0x12345678);
    for (int i = 0; i < 5; ++i) // the five names shuffled
        seeded.Get();
    EXPECT_EQ(resumed->random.Get(), seeded.Get());
    for (const SPlayerCommand& command : played) {
        SPlayerCommand read;
        resumed->actionLog.ReadCommand(read);
        EXPECT_EQ(read.kind, command.kind);
        EXPECT_EQ(read.arg1, command.arg1);
    }

    resumed->messageWindow.logOnly = 1;
    ASSERT_EQ(EndSilentRerun(*resumed), kRerunDone);
    EXPECT_EQ(resumed->playMode, kPlayNormal);
    EXPECT_EQ(resumed->messageWindow.logOnly, 0);
    EXPECT_EQ(resumed->rerunCounterCopy, 9);
    EXPECT_EQ(resumed->rerunEndValue, 64);
    SGlobalData stored;
    ASSERT_EQ(LoadGlobalData(stored), kGlobalDataLoaded);
    EXPECT_FALSE(stored.saveEntries.at(12).flag);
    EXPECT_EQ(stored.saveEntries.at(12).value, guard.value);

    // The resumed run goes on appending to the same file, its sums following on.
    resumed->actionLog.WriteCommand(Command(1));
    ASSERT_EQ(resumed->actionLog.AppendToFile(), CActionLog::kAppended);
    CActionLog reader;
    ASSERT_EQ(reader.LoadSuspendData(12, 3, 7), 0);
    EXPECT_EQ(reader.GetReadWords().size(), 3u);
}

TEST_F(SuspendTest, TheGuardDecidesHowTheReRunEnds)
{
    PlayAndSuspend();
    // A command logged after the suspend: the log no longer ends where the suspended game stood.
    game->actionLog.WriteCommand(Command(1));
    ASSERT_EQ(game->actionLog.AppendToFile(), CActionLog::kAppended);
    auto mismatched = Resume();
    EXPECT_EQ(EndSilentRerun(*mismatched), kRerunMismatch);
    EXPECT_EQ(mismatched->playMode, kPlayNormal);
    EXPECT_TRUE(g_globalData.saveEntries.at(12).flag);

    auto cleared = Resume();
    g_globalData.saveEntries[12].flag = false;
    EXPECT_EQ(EndSilentRerun(*cleared), kRerunDone); // a clear guard is not compared

    auto orphan = Resume();
    g_globalData.saveEntries.clear();
    EXPECT_EQ(EndSilentRerun(*orphan), kRerunNoEntry);

    auto viewing = Resume();
    viewing->playMode = kPlayReplay;
    EXPECT_EQ(EndSilentRerun(*viewing), kRerunDone);
    EXPECT_EQ(viewing->playMode, kPlayReplay);
    EXPECT_EQ(viewing->rerunEndValue, 0);
}

// A re-run whose guard could not be cleared holds the log as the disk has it. The suspend that follows
// writes it again only for its own run, takes the guard off before the longer log goes in (so that a
// guard refused at the end never names the old log), and a replay's commands never join the log.
TEST_F(SuspendTest, ASuspendAfterAHeldReRunLeavesADiskThatResumes)
{
    // Which guard the settings file refuses: none, a cleared one, a set one.
    enum
    {
        kNone,
        kCleared,
        kSet
    };
    // A replay's state writes nothing of the run, whether it is watched or has ended over the floor.
    enum
    {
        kNoReplay,
        kWatched,
        kEnded
    };
    const struct
    {
        const char* what;
        int refusedGuard; // at the suspend
        bool otherSave;
        int replay;
        int result;
        std::size_t commands; // on the disk afterwards
    } cases[] = {
        {"written", kNone, false, kNoReplay, kGuardSaved, 3},
        {"the set guard refused", kSet, false, kNoReplay, kGuardNotSaved, 3},
        {"another save's head read", kNone, true, kNoReplay, kGuardLogOff, 2},
        {"a replay watched", kNone, false, kWatched, kGuardLogOff, 2},
        {"a replay ended", kNone, false, kEnded, kGuardLogOff, 2},
    };
    static int refused = kNone;
    platform::SetFileWriteRefusal([](const std::string& what) {
        const auto entry = g_globalData.saveEntries.find(12);
        return what.ends_with("main.cfg") && refused != kNone && entry != g_globalData.saveEntries.end() &&
               entry->second.flag == (refused == kSet);
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game = std::make_unique<SGameResource>();
        PlayAndSuspend();
        auto resumed = Resume();
        refused = kCleared;
        ASSERT_EQ(EndSilentRerun(*resumed), kRerunDone);
        ASSERT_TRUE(resumed->actionLog.IsHeld());
        resumed->actionLog.WriteCommand(Command(1));
        resumed->actionLog.AppendToFile();
        if (c.otherSave) resumed->userNumber = 13;
        if (c.replay != kNoReplay) {
            resumed->playMode = kPlayReplay;
            resumed->actionLog.WriteCommand(Command(1));
        }
        if (c.replay == kEnded) {
            EXPECT_TRUE(EndReplay(*resumed));
        }
        refused = c.refusedGuard;
        EXPECT_EQ(SuspendRun(*resumed), c.result);
        refused = kNone;
        CActionLog reader;
        ASSERT_EQ(reader.LoadSuspendData(12, 3, 7), 0);
        EXPECT_EQ(reader.GetReadWords().size(), c.commands);
        if (c.otherSave) continue;
        // A new program: the guard as the disk has it.
        ASSERT_EQ(LoadGlobalData(g_globalData), kGlobalDataLoaded);
        auto again = Resume();
        for (SPlayerCommand command; again->actionLog.ReadCommand(command), command.kind != -1;) {
        }
        EXPECT_EQ(EndSilentRerun(*again), kRerunDone);
    }
    platform::SetFileWriteRefusal(nullptr);
}

TEST_F(SuspendTest, TheGuardIsRecordedOnlyWhileTheLogIsOn)
{
    FillAdventure(*game);
    EXPECT_EQ(UpdateGlobalDataEntry(*game, true), 1);
    EXPECT_TRUE(g_globalData.saveEntries.empty());
}

} // namespace
