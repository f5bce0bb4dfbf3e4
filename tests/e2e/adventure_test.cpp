// The whole game from the title, played by the road player in a fresh home: a new save, the camp, a run of
// the first dungeon suspended on floor 2 and resumed from the title, the end of the run with its replay
// saved, the dungeon's ranking and the replay watched from its file.
//
// The road is played twice, each time in a fresh home, and the two plays must agree: the recorded state
// hashes, the lines of the end-of-run screen and of the ranking's record, and the save and replay folders
// as the run left them. Each play is made once in the process, by the first test that reads it.

#include "e2e/road_plays.h"
#include "platform/host/encoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::string Utf8(const std::string& cp932)
{
    std::string utf8;
    platform::Cp932ToUtf8(cp932, utf8);
    return utf8;
}

// A clean run: no error box on the way, nothing written to the error output, every frame drawn, and every
// part of the road reached.
void ExpectCleanPlay(const e2e::SRoadPlay& play)
{
    ASSERT_TRUE(play.result.finished) << play.result.failure;
    EXPECT_EQ(JoinLines(play.result.messageBoxes), "");
    EXPECT_EQ(play.errors, "");
    EXPECT_EQ(play.result.undrawnFrames, 0u);
    EXPECT_TRUE(play.suspended);
    EXPECT_TRUE(play.resumed);
    EXPECT_TRUE(play.runEnded);
    EXPECT_TRUE(play.rankingSeen);
    EXPECT_TRUE(play.replayWatched);
    ::testing::Test::RecordProperty("frames", std::to_string(play.result.frames));
}

TEST(AdventureRun, First)
{
    ExpectCleanPlay(e2e::PlayedRoad(e2e::ERoadPlay::First));
}

TEST(AdventureRun, Second)
{
    ExpectCleanPlay(e2e::PlayedRoad(e2e::ERoadPlay::Second));
}

// The settings files are the machine's, not the run's.
bool IsRunFile(const std::string& name)
{
    return fs::path(name).extension() != ".cfg";
}

TEST(AdventureTest, TwoRunsInFreshHomesGiveEqualHashesAndFiles)
{
    const e2e::SRoadPlay& first = e2e::PlayedRoad(e2e::ERoadPlay::First);
    const e2e::SRoadPlay& second = e2e::PlayedRoad(e2e::ERoadPlay::Second);
    ASSERT_TRUE(first.result.finished) << first.result.failure;
    ASSERT_TRUE(second.result.finished) << second.result.failure;

    const std::string& hashes = first.hashText;
    EXPECT_EQ(hashes, second.hashText);
    // Every floor of the run ended, the run and its replay too.
    EXPECT_NE(hashes.find("floor 1 1 "), std::string::npos) << hashes;
    EXPECT_NE(hashes.find("\nrun "), std::string::npos) << hashes;
    EXPECT_NE(hashes.find("replay-"), std::string::npos) << hashes;

    // The files at the end, and those that lived only while the run was suspended.
    auto a = first.files, b = second.files;
    a.insert(first.suspendedFiles.begin(), first.suspendedFiles.end());
    b.insert(second.suspendedFiles.begin(), second.suspendedFiles.end());
    std::map<std::string, int> kinds; // ".act", ".rpl", ".sav"...
    for (const auto& [name, bytes] : a) {
        if (!IsRunFile(name)) continue;
        ++kinds[fs::path(name).extension().string()];
        const auto other = b.find(name);
        ASSERT_NE(other, b.end()) << name << " is missing from the second run";
        EXPECT_TRUE(bytes == other->second) << name << " differs between the runs";
    }
    for (const auto& [name, bytes] : b)
        if (IsRunFile(name)) {
            EXPECT_TRUE(a.count(name)) << name << " is missing from the first run";
        }
    EXPECT_GE(kinds[".rpl"], 1);
    EXPECT_GE(kinds[".act"], 1);
    EXPECT_TRUE(a.count("save/ranking.sav")) << "no ranking file";
}

TEST(AdventureTest, TheRankingShowsTheRunFirstWithItsEndCauseAndScore)
{
    const e2e::SRoadPlay& first = e2e::PlayedRoad(e2e::ERoadPlay::First);
    ASSERT_TRUE(first.result.finished) << first.result.failure;
    const std::vector<std::string>& record = first.rankingLines;
    const std::vector<std::string>& runEnd = first.runEndLines;
    ASSERT_GE(record.size(), 3u);
    ASSERT_GE(runEnd.size(), 3u);
    // Place 1 under the save's name, with the score the end of the run showed.
    EXPECT_EQ(record[0].rfind("第１位　あいう　スコア　", 0), 0u) << Utf8(record[0]);
    EXPECT_EQ(Utf8(record[0]), Utf8(runEnd[0]));
    // The dungeon and the floor reached, and how the run ended.
    EXPECT_NE(record[1].find("初心の道"), std::string::npos) << Utf8(record[1]);
    EXPECT_EQ(Utf8(record[1]), Utf8(runEnd[1]));
    EXPECT_FALSE(record[2].empty());
    EXPECT_EQ(Utf8(record[2]), Utf8(runEnd[2]));
}

} // namespace
