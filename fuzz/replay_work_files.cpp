// The work files of a run (".rpi", ".rpl" and ".act") of any content, as the end of a run and the
// replay browser's "make a replay of the suspended run" read them back: the suspended floor's log follows
// the ".rpl" in the replay alone (the work files stay as they were), the two become the replay file, and
// a replay that is written opens again with the floors its index names, each floor loading or refused
// with the readers' own codes.
//
// The input: a mode byte, the lengths of the ".rpi" and ".rpl" parts (u16 each), the two parts, then
// the ".act" part. Mode bit 0 wraps the ".act" part's words in a right header and chunk sums; bit 1
// puts one whole floor snapshot, made at start-up, in front of the ".rpl" part with its index pair.

#include "action_file_bytes.h"
#include "fuzz_reader.h"
#include "replay_floor_codes.h"

#include "game/app/game_resource.h"
#include "game/app/replay.h"
#include "game/data/action_log.h"
#include "game/data/global_data.h"
#include "platform/host/headless/headless.h"
#include "sdk/auxiliary/file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr std::int32_t kUser = 1;
constexpr std::int32_t kRun = 1;
constexpr std::int32_t kFloor = 3;
constexpr std::size_t kFloorsTried = 3;
const fs::path kWork = fs::path("temp") / "0001" / "00010001";

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::unique_ptr<SGameResource> NewGame()
{
    auto game = std::make_unique<SGameResource>();
    game->items.kindCount = 6;
    game->userNumber = kUser;
    game->runNumber = kRun;
    game->floor = kFloor;
    SRankingData& record = game->runRecord;
    record.recordNumber = kUser;
    record.runNumber = kRun;
    record.name = "fz";
    record.category = 2;
    record.seed = 0x12345678;
    return game;
}

// The run's folder beside the working folder, and one floor's snapshot record as the game writes it.
Bytes SetUp()
{
    zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(fs::current_path().string().c_str());
    g_globalData = SGlobalData();
    g_globalData.useLocalFolder = true;
    g_globalData.userNumber = kUser;
    fs::create_directories(kWork.parent_path());
    fs::create_directories("replay");
    fs::remove(fs::path(kWork).concat(".rpl"));
    fs::remove(fs::path(kWork).concat(".rpi"));
    auto game = NewGame();
    if (AppendFloorSnapshot(*game) != kSnapshotAppended) std::abort();
    return ReadBytes(fs::path(kWork).concat(".rpl"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Bytes snapshot = SetUp();
    platform::headless::ScriptMessageBoxAnswers({}); // forgets the boxes of the last input
    if (size < 5) return 0;
    fuzz_input::Reader reader{data, size};
    const std::uint32_t mode = reader.Take(1);
    const std::size_t indexLength = std::min<std::size_t>(reader.Take(2), reader.size);
    Bytes index(reader.data, reader.data + indexLength);
    reader.data += indexLength, reader.size -= indexLength;
    const std::size_t workLength = std::min<std::size_t>(reader.Take(2), reader.size);
    Bytes work(reader.data, reader.data + workLength);
    reader.data += workLength, reader.size -= workLength;
    const Bytes act = (mode & 1) != 0
                          ? fuzz_input::MakeActionFile(kUser, kFloor, reader.data, reader.size, 0x40)
                          : Bytes(reader.data, reader.data + reader.size);
    if ((mode & 2) != 0) {
        work.insert(work.begin(), snapshot.begin(), snapshot.end());
        Bytes pair;
        fuzz_input::PutLittle(pair, kFloor, 4);
        fuzz_input::PutLittle(pair, 0, 4);
        index.insert(index.begin(), pair.begin(), pair.end());
    }
    Put(fs::path(kWork).concat(".rpi"), index);
    Put(fs::path(kWork).concat(".rpl"), work);
    Put(fs::path(kWork).concat(".act"), act);

    // As the browser makes a replay of a suspended run: the floor's log joins the replay alone, and the
    // work files are only read.
    auto game = NewGame();
    game->actionLog.SetFileName(kUser, kRun);
    const bool suspended = game->actionLog.LoadSuspendData(kUser, kRun, kFloor) == 0;
    const Bytes lastLog = game->actionLog.MakeFloorLogRecord();
    ZTL::string name;
    int written = WriteReplay(*game, name, nullptr, suspended ? &lastLog : nullptr);
    if (ReadBytes(fs::path(kWork).concat(".rpl")) != work ||
        ReadBytes(fs::path(kWork).concat(".rpi")) != index)
        std::abort();
    if (written != kReplayWritten && written != kReplayNoIndex && written != kReplayNoWorkFile &&
        written != kReplayNoFloor)
        std::abort();
    // As the end of a run: the floor's log joins the work file, cut first to its whole records, and the
    // replay is made of the files.
    if (suspended) {
        if (game->actionLog.AppendFloorLog() != CActionLog::kFloorLogAppended) std::abort();
        // The log ends the work file, which kept at most what it held before.
        const Bytes after = ReadBytes(fs::path(kWork).concat(".rpl"));
        if (after.size() < 4 + act.size() || after.size() > work.size() + 4 + act.size() ||
            !std::equal(act.begin(), act.end(), after.end() - std::ptrdiff_t(act.size())))
            std::abort();
        written = WriteReplay(*game, name);
    }
    if (written == kReplayNoIndex || written == kReplayNoWorkFile || written == kReplayNoFloor) return 0;
    if (written != kReplayWritten) std::abort();

    auto viewer = NewGame();
    if (OpenReplay(*viewer, name) != kReplayOpened) std::abort();
    if (viewer->runStartValues.size() > index.size() / 8) std::abort();
    std::size_t floors = 0;
    for (const auto& [floor, offset] : viewer->runStartValues) {
        if (++floors > kFloorsTried) break;
        const int result = LoadReplayFloor(*viewer, floor);
        if (!fuzz_input::IsReplayFloorCode(result)) std::abort();
    }
    // The snapshot made at start-up loads whole when it leads the work file and the index names no
    // other place for its floor.
    if ((mode & 2) != 0 && index.size() == 8) {
        auto fresh = NewGame();
        fresh->runStartFileName = viewer->runStartFileName;
        fresh->runStartValues = viewer->runStartValues;
        const int result = LoadReplayFloor(*fresh, kFloor);
        if (result != kReplayFloorLoaded && result != kReplayFloorLogUnreadable) std::abort();
    }
    fs::remove(fs::path("replay") / "0001fz0001.rpl");
    return 0;
}
