// The game's own files on a real disk: a save set of a full game state written and loaded, and
// 10,000 commands appended to a run's ".act" file and read back. Every write goes through a temporary
// file flushed to the disk, so the figures include that flush.
#include "game/app/save_game.h"
#include "game/data/action_log.h"
#include "game/data/global_data.h"
#include "game/scenes/menu_browser.h"
#include "platform/backend_chooser.h"
#include "platform/host/path.h"
#include "sdk/auxiliary/file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A working folder of its own with "save" and the user's folder, removed at the end.
class BenchHome
{
public:
    BenchHome()
    {
        platform::SelectBackend("headless");
        char pattern[] = "/tmp/marovellin_bench_XXXXXX";
        m_root = ::mkdtemp(pattern);
        fs::current_path(m_root);
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(m_root.c_str());
        setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
        g_globalData = SGlobalData();
        g_globalData.fileName = kGlobalDataFileName;
        CreateUserFolders(g_globalData);
    }
    ~BenchHome()
    {
        fs::current_path("/");
        fs::remove_all(m_root);
    }

private:
    fs::path m_root;
};

// Every item and warehouse slot used, a 500-kind identification state with nicknames, a full password
// history.
std::unique_ptr<SGameResource> FullGameState()
{
    auto game = std::make_unique<SGameResource>();
    game->userNumber = 12;
    game->saveName = "bench";
    game->seed = 0x12345678;
    CItemControl& items = game->items;
    items.kindCount = 500;
    items.kindState.assign(500, 1);
    items.seen.assign(500, 1);
    for (std::int32_t kind = 0; kind < 50; ++kind)
        items.nicknames[kind * 10] = "nickname";
    for (std::size_t i = 0; i < items.items.size(); ++i) {
        items.items[i].kind = std::uint16_t(i % 500);
        items.warehouse[i].kind = std::uint16_t(i % 500);
        items.warehouseList[i] = std::uint16_t(i);
    }
    items.itemMark = items.warehouseMark = items.warehouseCount = CItemControl::kItemCount;
    items.appearanceOrder[0] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    for (std::uint32_t i = 0; i < 100; ++i)
        game->passwordHistory.push_back({i, i * 7});
    return game;
}

void BM_WriteSaveSet(benchmark::State& state)
{
    BenchHome home;
    auto game = FullGameState();
    for (auto _ : state)
        if (WriteSaveGame(*game) != 0) state.SkipWithError("write failed");
    state.counters["bytes"] = double(fs::file_size("save/0012bench.main"));
}
BENCHMARK(BM_WriteSaveSet)->Unit(benchmark::kMillisecond);

void BM_LoadSaveSet(benchmark::State& state)
{
    BenchHome home;
    auto game = FullGameState();
    WriteSaveGame(*game);
    auto loaded = std::make_unique<SGameResource>();
    for (auto _ : state) {
        loaded->userNumber = 12;
        loaded->saveName = "bench";
        loaded->items.kindCount = 500;
        loaded->passwordHistory.clear();
        if (LoadSaveGame(*loaded) != kSaveDone) state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadSaveSet)->Unit(benchmark::kMillisecond);

// 10,000 commands of every encoding (kind 4 with its text among them).
void WriteCommands(CActionLog& log)
{
    SPlayerCommand command;
    command.text = "ab";
    for (std::int32_t i = 0; i < 10000; ++i) {
        command.kind = i % 16;
        command.arg1 = command.arg2 = command.arg3 = i & 0xFF;
        log.WriteCommand(command);
    }
}

void BM_AppendCommands(benchmark::State& state)
{
    BenchHome home;
    CActionLog log;
    for (auto _ : state) {
        state.PauseTiming();
        log.SaveSuspendData(12, 1, 1);
        state.ResumeTiming();
        WriteCommands(log);
        if (log.AppendToFile() != CActionLog::kAppended) state.SkipWithError("append failed");
    }
}
BENCHMARK(BM_AppendCommands)->Unit(benchmark::kMillisecond);

void BM_ReadCommandsBack(benchmark::State& state)
{
    BenchHome home;
    CActionLog log;
    log.SaveSuspendData(12, 1, 1);
    WriteCommands(log);
    log.AppendToFile();
    std::size_t commands = 0;
    for (auto _ : state) {
        CActionLog reader;
        if (reader.LoadSuspendData(12, 1, 1) != 0) state.SkipWithError("load failed");
        commands = 0;
        for (SPlayerCommand command; reader.ReadCommand(command), command.kind != -1;)
            ++commands;
    }
    state.counters["commands"] = double(commands);
}
BENCHMARK(BM_ReadCommandsBack)->Unit(benchmark::kMillisecond);

// The user's folder as the disk names it.
std::string UserFolderOnDisk(benchmark::State& state)
{
    const ZTL::string folder = Auxiliary::CFile::ResolvePath(GetUserFolder(g_globalData, false));
    std::string host;
    if (!platform::ToHostPath(std::string_view(folder.c_str(), folder.size()), host))
        state.SkipWithError("no user folder");
    return host;
}

// The start with the files of many past runs in the user's folder (0 or 3,000): settling the replay
// work files' backups there looks at every name.
void BM_StartAmongRunFiles(benchmark::State& state)
{
    BenchHome home;
    const std::string host = UserFolderOnDisk(state);
    for (std::int64_t i = 0; i < state.range(0); ++i)
        std::ofstream(host + "/" + std::to_string(i) + ".act") << "run";
    for (auto _ : state)
        CreateUserFolders(g_globalData);
}
BENCHMARK(BM_StartAmongRunFiles)->Arg(0)->Arg(3000)->Unit(benchmark::kMicrosecond);

// Opening the data menu with the files of many past runs of a listed save in the user's folder (0 or
// 3,000): the sweep of the run files no save owns reads every name, and asks the disk only about those
// it deletes.
void BM_DataMenuAmongRunFiles(benchmark::State& state)
{
    BenchHome home;
    const std::string host = UserFolderOnDisk(state);
    char name[32];
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        std::snprintf(name, sizeof name, "/0001%04d.act", int(i));
        std::ofstream(host + name) << "run";
    }
    for (auto _ : state)
        DeleteOrphanActionLogs({1});
}
BENCHMARK(BM_DataMenuAmongRunFiles)->Arg(0)->Arg(3000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
