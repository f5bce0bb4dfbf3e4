// The whole game from the title, played by the road player in a fresh home: a new save, the camp, a run of
// the first dungeon suspended on floor 2 and resumed from the title, the end of the run with its replay
// saved, the dungeon's ranking and the replay watched from its file.
//
// Two plays run as ctest entries of their own, side by side; each keeps what the comparisons need in a
// folder of the build (road_first, road_second): the recorded state hashes ("hashes.txt"), the lines of
// the end-of-run screen and of the ranking's record, and the save and replay folders as the run left them.
// The comparisons are tests of their own on those folders.

#include "e2e/road_player.h"
#include "platform/host/encoding.h"
#include "sdk/appframe/object_creater.h"
#include "support/error_capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

fs::path Output(const char* name)
{
    return fs::path(MAROVELLIN_E2E_OUTPUT_DIR) / name;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Every file under the folder by its relative path, with its bytes.
std::map<std::string, std::string> ReadTree(const fs::path& root)
{
    std::map<std::string, std::string> files;
    if (!fs::exists(root)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = ReadFile(entry.path());
    return files;
}

std::string Utf8(const std::string& cp932)
{
    std::string utf8;
    platform::Cp932ToUtf8(cp932, utf8);
    return utf8;
}

// Plays the road in a fresh home and keeps its record in `out`.
void PlayRoad(const fs::path& out)
{
    fs::remove_all(out);
    e2e::CTempHome home;
    e2e::CRoadPlayer player;
    e2e::CHashRecorder recorder;
    player.SetRecorder(&recorder);
    e2e::SRunOptions options;
    // The suspend file lives only while the run is suspended: the folder is kept as the title shows it.
    bool suspendKept = false;
    options.observer = [&](const e2e::SPlayView& view) {
        recorder.Observe(view);
        if (player.Suspended() && !player.Resumed() && !suspendKept) {
            suspendKept = true;
            fs::create_directories(out / "suspended");
            fs::copy(home.Exe() / "save", out / "suspended" / "save", fs::copy_options::recursive);
            // The suspend's log lives in the user's data folder.
            fs::copy(home.Root() / "data", out / "suspended" / "user", fs::copy_options::recursive);
        }
    };
    // The music plays as the program's entry lets it play, through the Ogg plug-in.
    const std::string plugIn = std::string(MAROVELLIN_BUILT_DATA_DIR) + "/data/plugin/zelvogg.dll";
    auto* creater = zelvoranGameSDK3rd::AppFrame::CObjectCreater::GetInstance();
    creater->LoadPlugIn(plugIn.c_str());
    test_support::ErrorCapture errors;
    const e2e::SRunResult result = e2e::RunGame(player, options);
    creater->ReleasePlugIn(plugIn.c_str());

    ASSERT_TRUE(result.finished) << result.failure;
    // A clean run: no error box on the way, nothing written to the error output, and every frame drawn.
    EXPECT_EQ(JoinLines(result.messageBoxes), "");
    EXPECT_EQ(errors.Text(), "");
    EXPECT_EQ(result.undrawnFrames, 0u);
    EXPECT_TRUE(player.Suspended());
    EXPECT_TRUE(player.Resumed());
    EXPECT_TRUE(player.RunEnded());
    EXPECT_TRUE(player.RankingSeen());
    EXPECT_TRUE(player.ReplayWatched());

    WriteFile(out / "hashes.txt", recorder.Format());
    WriteFile(out / "run_end.txt", JoinLines(player.RunEndLines()));
    WriteFile(out / "ranking.txt", JoinLines(player.RankingLines()));
    fs::create_directories(out / "files");
    for (const char* folder : {"save", "replay"})
        if (fs::exists(home.Exe() / folder))
            fs::copy(home.Exe() / folder, out / "files" / folder, fs::copy_options::recursive);
    if (fs::exists(home.Root() / "data"))
        fs::copy(home.Root() / "data", out / "files" / "user", fs::copy_options::recursive);
    ::testing::Test::RecordProperty("frames", std::to_string(result.frames));
}

TEST(AdventureRun, First)
{
    PlayRoad(Output("road_first"));
}

TEST(AdventureRun, Second)
{
    PlayRoad(Output("road_second"));
}

// The settings files are the machine's, not the run's.
bool IsRunFile(const std::string& name)
{
    return fs::path(name).extension() != ".cfg";
}

TEST(AdventureTest, TwoRunsInFreshHomesGiveEqualHashesAndFiles)
{
    const fs::path first = Output("road_first"), second = Output("road_second");
    ASSERT_TRUE(fs::exists(first / "hashes.txt")) << "the first play left no record";
    ASSERT_TRUE(fs::exists(second / "hashes.txt")) << "the second play left no record";

    const std::string hashes = ReadFile(first / "hashes.txt");
    EXPECT_EQ(hashes, ReadFile(second / "hashes.txt"));
    // Every floor of the run ended, the run and its replay too.
    EXPECT_NE(hashes.find("floor 1 1 "), std::string::npos) << hashes;
    EXPECT_NE(hashes.find("\nrun "), std::string::npos) << hashes;
    EXPECT_NE(hashes.find("replay-"), std::string::npos) << hashes;

    auto a = ReadTree(first / "files"), b = ReadTree(second / "files");
    a.merge(ReadTree(first / "suspended"));
    b.merge(ReadTree(second / "suspended"));
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
    const fs::path first = Output("road_first");
    ASSERT_TRUE(fs::exists(first / "ranking.txt")) << "the first play left no record";
    const std::vector<std::string> record = SplitLines(ReadFile(first / "ranking.txt"));
    const std::vector<std::string> runEnd = SplitLines(ReadFile(first / "run_end.txt"));
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
