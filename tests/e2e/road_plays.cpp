#include "e2e/road_plays.h"

#include "sdk/appframe/object_creater.h"
#include "support/error_capture.h"

#include <filesystem>
#include <fstream>
#include <memory>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Every file under the folder by its path under `prefix`, with its bytes.
void ReadTree(const fs::path& root, const std::string& prefix, std::map<std::string, std::string>& files)
{
    if (!fs::exists(root)) return;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[prefix + fs::relative(entry.path(), root).string()] =
                std::string(std::istreambuf_iterator<char>(in), {});
        }
}

// The home's run files: the save and replay folders beside the program and the user's data folder.
std::map<std::string, std::string> HomeFiles(const CTempHome& home)
{
    std::map<std::string, std::string> files;
    ReadTree(home.Exe() / "save", "save/", files);
    ReadTree(home.Exe() / "replay", "replay/", files);
    ReadTree(home.Root() / "data", "user/", files);
    return files;
}

SRoadPlay Play(ERoadPlay which)
{
    SRoadPlay play;
    CTempHome home;
    SRoadOptions road;
    const bool straight = which == ERoadPlay::Straight;
    road.suspend = !straight;
    road.afterwards = !straight;
    CRoadPlayer player(road);
    CHashRecorder recorder;
    player.SetRecorder(&recorder);
    SRunOptions options;
    // The suspend file lives only while the run is suspended: its files are kept as the title shows them.
    options.observer = [&](const SPlayView& view) {
        recorder.Observe(view);
        if (player.Suspended() && !player.Resumed() && play.suspendedFiles.empty())
            play.suspendedFiles = HomeFiles(home);
    };
    // The music plays as the program's entry lets it play, through the Ogg plug-in.
    const std::string plugIn = std::string(MAROVELLIN_BUILT_DATA_DIR) + "/data/plugin/zelvogg.dll";
    auto* creater = zelvoranGameSDK3rd::AppFrame::CObjectCreater::GetInstance();
    if (!straight) creater->LoadPlugIn(plugIn.c_str());
    {
        test_support::ErrorCapture errors;
        play.result = RunGame(player, options);
        play.errors = errors.Text();
    }
    if (!straight) creater->ReleasePlugIn(plugIn.c_str());

    play.suspended = player.Suspended();
    play.resumed = player.Resumed();
    play.runEnded = player.RunEnded();
    play.rankingSeen = player.RankingSeen();
    play.replayWatched = player.ReplayWatched();
    play.hashes = recorder.Hashes();
    play.hashText = recorder.Format();
    play.runEndLines = player.RunEndLines();
    play.rankingLines = player.RankingLines();
    play.files = HomeFiles(home);
    return play;
}

} // namespace

const SRoadPlay& PlayedRoad(ERoadPlay which)
{
    static std::map<ERoadPlay, std::unique_ptr<SRoadPlay>> played;
    std::unique_ptr<SRoadPlay>& play = played[which];
    if (!play) play = std::make_unique<SRoadPlay>(Play(which));
    return *play;
}

} // namespace e2e
