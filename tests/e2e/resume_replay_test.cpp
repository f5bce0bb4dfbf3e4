// Suspend and resume, and the replay, on the road's plays: the first play of the road (suspended on floor
// 2, resumed from the title, its replay watched at the end) against a third play that never suspends.
// The silent re-run must end in the state of the suspend, every later state must be the straight play's,
// and the replay must leave every floor in the state the run left it. Each play is made once in the
// process, by the first test that reads it.

#include "e2e/road_plays.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::string Describe(const e2e::SRecordedHash& r)
{
    std::ostringstream out;
    out << r.moment << " d" << r.dungeon << " f" << r.floor << " " << std::hex << r.hash;
    return out.str();
}

// The floor ends and the run's end, of the run itself or of its replay.
std::vector<e2e::SRecordedHash> Ends(const std::vector<e2e::SRecordedHash>& all, bool replay)
{
    std::vector<e2e::SRecordedHash> out;
    const std::string prefix = replay ? "replay-" : "";
    for (const e2e::SRecordedHash& r : all)
        if (r.moment == prefix + "floor" || r.moment == prefix + "run") out.push_back(r);
    return out;
}

// The third play: the same road without the suspend and without what follows the run.
TEST(ResumeReplayRun, Straight)
{
    const e2e::SRoadPlay& play = e2e::PlayedRoad(e2e::ERoadPlay::Straight);
    ASSERT_TRUE(play.result.finished) << play.result.failure;
    EXPECT_FALSE(play.suspended);
    EXPECT_TRUE(play.runEnded);
}

TEST(ResumeReplay, TheReRunEndsAtTheSuspendAndLaterStatesAreThoseOfAPlayThatNeverSuspends)
{
    const auto& suspended = e2e::PlayedRoad(e2e::ERoadPlay::First).hashes;
    const auto& straight = e2e::PlayedRoad(e2e::ERoadPlay::Straight).hashes;
    ASSERT_FALSE(suspended.empty()) << "the suspended play left no record";
    ASSERT_FALSE(straight.empty()) << "the straight play left no record";

    // Where the suspended play was suspended, and where its silent re-run ended.
    std::size_t suspend = suspended.size(), rerun = suspended.size();
    for (std::size_t i = 0; i < suspended.size(); ++i) {
        if (suspended[i].moment == "suspend" && suspend == suspended.size()) suspend = i;
        if (suspended[i].moment == "rerun" && rerun == suspended.size()) rerun = i;
    }
    ASSERT_LT(suspend, suspended.size()) << "no suspend recorded";
    ASSERT_LT(rerun, suspended.size()) << "no end of a silent re-run recorded";
    ASSERT_GT(rerun, suspend);
    EXPECT_EQ(suspended[rerun].hash, suspended[suspend].hash)
        << "suspended " << Describe(suspended[suspend]) << ", re-run ended " << Describe(suspended[rerun]);

    // Every floor end before the suspend and after the re-run, and the run's end, as the straight play's.
    const std::vector<e2e::SRecordedHash> before(suspended.begin(),
                                                 suspended.begin() + std::ptrdiff_t(suspend));
    const std::vector<e2e::SRecordedHash> after(suspended.begin() + std::ptrdiff_t(rerun) + 1,
                                                suspended.end());
    std::vector<e2e::SRecordedHash> joined = Ends(before, false);
    for (const e2e::SRecordedHash& r : Ends(after, false))
        joined.push_back(r);
    const std::vector<e2e::SRecordedHash> expected = Ends(straight, false);
    ASSERT_EQ(joined.size(), expected.size());
    for (std::size_t i = 0; i < joined.size(); ++i)
        EXPECT_EQ(joined[i], expected[i])
            << "suspended play " << Describe(joined[i]) << ", straight play " << Describe(expected[i]);
}

// A replay starts each floor from the run's own snapshot, so the floor it ends is judged where the heroine
// leaves it ("exit"), not by the next floor's first frame.
TEST(ResumeReplay, WatchingTheReplayEndsEachFloorAsTheRunDid)
{
    const auto& records = e2e::PlayedRoad(e2e::ERoadPlay::First).hashes;
    ASSERT_FALSE(records.empty()) << "the suspended play left no record";
    std::vector<e2e::SRecordedHash> run, replay;
    std::size_t descents = 0;
    for (const e2e::SRecordedHash& r : records) {
        if (r.moment == "exit") run.push_back(r);
        if (r.moment == "replay-exit") replay.push_back(r);
        descents += r.moment == "floor";
    }
    // Every floor the run went down from was left on a recorded frame.
    ASSERT_GE(run.size(), descents);
    ASSERT_GT(descents, 0u);
    ASSERT_EQ(replay.size(), run.size());
    for (std::size_t i = 0; i < run.size(); ++i) {
        EXPECT_EQ(std::tuple(replay[i].dungeon, replay[i].floor, replay[i].hash),
                  std::tuple(run[i].dungeon, run[i].floor, run[i].hash))
            << "run " << Describe(run[i]) << ", replay " << Describe(replay[i]);
    }
}

} // namespace
