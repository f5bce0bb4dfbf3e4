// The road played twice: once suspended on floor 2, resumed from the title and watched again from its
// replay, and once straight through. The suspended run's state when its silent re-run ends must be the
// state it was suspended in, every later state must be the straight run's, and the replay must reach
// every floor's end in the state the run did. Each run writes its moments to a file beside the test, so
// that the two runs go side by side and a third entry compares them.

#include "e2e/road_player.h"
#include "e2e/state_hash.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A moment of a run as its file keeps it.
struct SRecorded
{
    e2e::EMoment moment;
    std::int32_t dungeon;
    std::int32_t floor;
    std::uint32_t hash;

    bool operator==(const SRecorded&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SRecorded& r)
{
    static const char* const kNames[] = {"floor end", "suspend",          "resumed",
                                         "run end",   "replay floor end", "replay end"};
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", r.hash);
    return out << kNames[static_cast<int>(r.moment)] << " d" << r.dungeon << " f" << r.floor << " " << hash;
}

std::vector<SRecorded> Only(const std::vector<SRecorded>& all, e2e::EMoment moment)
{
    std::vector<SRecorded> out;
    for (const SRecorded& r : all)
        if (r.moment == moment) out.push_back(r);
    return out;
}

// Where the runs leave their moments: the folder the test program was started in.
std::filesystem::path ResultFile(const char* name)
{
    static const std::filesystem::path folder = std::filesystem::current_path();
    return folder / name;
}

void Write(const std::filesystem::path& file, const std::vector<SRecorded>& moments)
{
    std::ofstream out(file, std::ios::trunc);
    for (const SRecorded& r : moments)
        out << static_cast<int>(r.moment) << ' ' << r.dungeon << ' ' << r.floor << ' ' << r.hash << '\n';
}

std::vector<SRecorded> Read(const std::filesystem::path& file)
{
    std::vector<SRecorded> moments;
    std::ifstream in(file);
    int moment = 0;
    SRecorded r{};
    while (in >> moment >> r.dungeon >> r.floor >> r.hash) {
        r.moment = static_cast<e2e::EMoment>(moment);
        moments.push_back(r);
    }
    return moments;
}

// Plays the road in a home of its own and gives the hash of each moment, in order.
std::vector<SRecorded> PlayRoad(const e2e::SRoadOptions& options)
{
    ResultFile(""); // the folder is taken before the home changes it
    e2e::CTempHome home;
    e2e::CRoadPlayer player(options);
    std::vector<SRecorded> moments;
    player.SetMomentHandler([&](const e2e::SMoment& m) {
        moments.push_back({m.moment, m.dungeon, m.floor, e2e::ComputeStateHash(m.game)});
    });
    const e2e::SRunResult result = e2e::RunGame(player);
    EXPECT_TRUE(result.finished) << result.failure;
    EXPECT_TRUE(player.RunEnded());
    if (options.suspend) {
        EXPECT_TRUE(player.Suspended());
        EXPECT_TRUE(player.Resumed());
    }
    if (options.afterwards) {
        EXPECT_TRUE(player.ReplayWatched());
    }
    if (::testing::Test::HasFailure()) home.Keep();
    return moments;
}

constexpr const char* kSuspendedFile = "resume_replay_suspended.txt";
constexpr const char* kStraightFile = "resume_replay_straight.txt";

// The suspended run: its re-run ends where it was suspended, and its replay ends each floor as it did.
TEST(ResumeReplayRuns, Suspended)
{
    std::filesystem::remove(ResultFile(kSuspendedFile));
    e2e::SRoadOptions options;
    options.suspend = true;
    options.afterwards = true;
    const std::vector<SRecorded> moments = PlayRoad(options);
    Write(ResultFile(kSuspendedFile), moments);

    // Suspend and resume.
    const auto suspends = Only(moments, e2e::EMoment::Suspend);
    const auto resumes = Only(moments, e2e::EMoment::Resumed);
    ASSERT_EQ(suspends.size(), 1u);
    ASSERT_EQ(resumes.size(), 1u);
    EXPECT_EQ(resumes[0].hash, suspends[0].hash) << "suspended " << suspends[0] << ", resumed " << resumes[0];

    // Replay: every floor's end as the run reached it (a run that ends on a floor has no end of it).
    const auto floors = Only(moments, e2e::EMoment::FloorEnd);
    const auto replayed = Only(moments, e2e::EMoment::ReplayFloorEnd);
    ASSERT_FALSE(floors.empty());
    ASSERT_EQ(replayed.size(), floors.size());
    for (std::size_t i = 0; i < floors.size(); ++i)
        EXPECT_EQ(replayed[i].hash, floors[i].hash) << "run " << floors[i] << ", replay " << replayed[i];
}

// The same road without the suspend.
TEST(ResumeReplayRuns, Straight)
{
    std::filesystem::remove(ResultFile(kStraightFile));
    e2e::SRoadOptions options;
    options.suspend = false;
    options.afterwards = false;
    Write(ResultFile(kStraightFile), PlayRoad(options));
}

// After the suspend every moment of the suspended run is the straight run's.
TEST(ResumeReplay, LaterStatesAreThoseOfARunThatNeverSuspends)
{
    const std::vector<SRecorded> suspended = Read(ResultFile(kSuspendedFile));
    const std::vector<SRecorded> straight = Read(ResultFile(kStraightFile));
    ASSERT_FALSE(suspended.empty()) << "the suspended run left no moments";
    ASSERT_FALSE(straight.empty()) << "the straight run left no moments";
    std::vector<SRecorded> a, b;
    for (const SRecorded& r : suspended)
        if (r.moment == e2e::EMoment::FloorEnd || r.moment == e2e::EMoment::RunEnd) a.push_back(r);
    for (const SRecorded& r : straight)
        if (r.moment == e2e::EMoment::FloorEnd || r.moment == e2e::EMoment::RunEnd) b.push_back(r);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i], b[i]) << "suspended run " << a[i] << ", straight run " << b[i];
}

} // namespace
